#pragma once

#include <sys/types.h>

// Hang-up, interrupt and termination stop the plot at once, after it has
// cleaned up: the handler only records the signal and ends the GMT command
// in progress; the command then removes what it made and ends by the same
// signal, so the exit status still tells which one.

void install_stop_handlers();

// The process group of the GMT command in progress, ended on a stop; 0 when
// none runs.
void set_running_group(pid_t group);

bool stop_requested();

// Ends the process by the signal that asked it to stop.
[[noreturn]] void stop_by_signal();
