#include "write_signals.h"

#include <atomic>
#include <csignal>
#include <initializer_list>
#include <signal.h>
#include <unistd.h>

namespace {

std::atomic<void (*)(int)> ending_action{nullptr};

void on_write_signal(int signal_number, siginfo_t* info, void*) {
    if (signal_from_own_write(info)) {
        return;  // the write fails with EPIPE or EFBIG, and is reported
    }
    if (void (*action)(int) = ending_action.load()) {
        action(signal_number);
    }
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    sigemptyset(&default_action.sa_mask);
    ::sigaction(signal_number, &default_action, nullptr);
    // SA_NODEFER leaves the signal unblocked: it ends the process here.
    ::raise(signal_number);
}

}  // namespace

bool signal_from_own_write(const siginfo_t* info) {
    return info != nullptr && info->si_code == SI_USER && info->si_pid == ::getpid();
}

void install_write_signal_handlers(void (*before_ending)(int)) {
    static_assert(std::atomic<void (*)(int)>::is_always_lock_free, "read in a signal handler");
    ending_action.store(before_ending);
    struct sigaction action {};
    action.sa_sigaction = on_write_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = static_cast<int>(SA_SIGINFO | SA_NODEFER);
    for (const int signal_number : {SIGPIPE, SIGXFSZ}) {
        struct sigaction previous {};
        if (::sigaction(signal_number, nullptr, &previous) == 0 &&
            previous.sa_handler != SIG_IGN) {
            ::sigaction(signal_number, &action, nullptr);
        }
    }
}
