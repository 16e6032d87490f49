#pragma once

#include <csignal>

// SIGPIPE and SIGXFSZ come for two reasons: a write of the process itself
// into a pipe nobody reads, or past the file size limit (the kernel sends
// them then), or another process sending them (kill -PIPE). The first kind
// must show up as a failed write, reported with a non-zero exit, instead of
// ending the process without a word part way through its output; the
// second must end the process as by default, as every other signal whose
// default is to end it does, even while a write waits on a full pipe.

// Whether the signal described is the kernel's for a write of this process
// itself (SI_USER from its own PID; kill() from another process carries
// that process's PID, raise() and tgkill SI_TKILL).
bool signal_from_own_write(const siginfo_t* info);

// Installs the handler that tells them apart, for both signals, unless the
// process was started with the signal ignored (it stays ignored).
// `before_ending` (async-signal-safe, may be null) is called before a
// signal from another process ends the process, with its number.
void install_write_signal_handlers(void (*before_ending)(int));
