#pragma once

#include <csignal>
#include <signal.h>

// The signals whose default action ends the process, other than SIGKILL
// and SIGSTOP (they cannot be caught): every command that must clean up
// before it ends handles all of them. The real-time signals, whose default
// action ends the process too, follow from SIGRTMIN to SIGRTMAX.
inline constexpr int ENDING_SIGNALS[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,    SIGTRAP, SIGABRT,
                                         SIGBUS,  SIGFPE,  SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE,
                                         SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU, SIGXFSZ, SIGVTALRM,
                                         SIGPROF, SIGIO,   SIGPWR,  SIGSYS};

// Calls handle(signal) for each of them, the real-time signals included.
template <typename Handle>
void for_each_ending_signal(Handle handle) {
    for (const int signal_number : ENDING_SIGNALS) {
        handle(signal_number);
    }
    for (int signal_number = SIGRTMIN; signal_number <= SIGRTMAX; ++signal_number) {
        handle(signal_number);
    }
}

// Signals raised by a fault of the process itself: a handler that returns
// would meet the fault again, so theirs is reset to the default first.
inline bool is_fault_signal(int signal_number) {
    return signal_number == SIGILL || signal_number == SIGTRAP || signal_number == SIGBUS ||
           signal_number == SIGFPE || signal_number == SIGSEGV || signal_number == SIGSYS;
}
