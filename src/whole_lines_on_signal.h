#pragma once

#include <atomic>
#include <cstdint>

// Every signal whose default action ends the process leaves the contour
// file ending in a whole line: its handler cuts the file back to the length
// recorded after the last complete write (ftruncate is async-signal-safe),
// then lets the signal end the process as it would have, so the exit status
// still tells which one. No signal waits: a run whose output stalls still
// stops at once. SIGPIPE and SIGXFSZ do so when another process sends them;
// those of the run's own failed writes show up as failed writes
// (write_signals.h).

// Installs the handlers for all of them (but those the run was started
// with ignored).
void install_whole_line_handlers();

// From now on a signal cuts the file at `fd` back to `length` bytes; the
// caller keeps `length` at the end of its last whole line.
void cut_back_on_signal(int fd, const std::atomic<std::uint64_t>& length);

// A signal no longer touches the file (it is being closed).
void stop_cutting_back();
