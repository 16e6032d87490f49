#pragma once

#include <sys/types.h>

// Every signal whose default action ends the process stops the plot at
// once, after it has cleaned up: the handler only records the signal and
// ends the GMT command in progress; the command then removes what it made
// and ends by the same signal, so the exit status still tells which one.
// A signal the plot's parent left ignored stays ignored. SIGPIPE and
// SIGXFSZ of the plot's own write (a picture into a closed pipe, past the
// file size limit) stop nothing: the write fails, and is reported.

void install_stop_handlers();

// The process group of the GMT command in progress, ended on a stop; 0 when
// none runs.
void set_running_group(pid_t group);

bool stop_requested();

// Ends the process by the signal that asked it to stop.
[[noreturn]] void stop_by_signal();
