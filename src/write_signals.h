#pragma once

// SIGPIPE and SIGXFSZ come for two reasons: a write of the process itself
// into a pipe nobody reads, or past the file size limit (the kernel sends
// them then), or another process sending them (kill -PIPE). The first kind
// must show up as a failed write, reported with a non-zero exit, instead of
// ending the process without a word part way through its output; the
// second must end the process as by default, as every other signal whose
// default is to end it does, even while a write waits on a full pipe.

// Installs the handler that tells them apart, for both signals, unless the
// process was started with the signal ignored (it stays ignored).
// `before_ending` (async-signal-safe, may be null) is called before a
// signal from another process ends the process, with its number.
void install_write_signal_handlers(void (*before_ending)(int));
