#include "plot/stop_signals.h"

#include <cstdlib>
#include <unistd.h>

#include "ending_signals.h"
#include "write_signals.h"

namespace {

volatile std::sig_atomic_t stop_signal = 0;
volatile pid_t running_group = 0;

void on_stop(int signal_number, siginfo_t* info, void*) {
    // The plot's own write into a closed pipe, or past the file size limit:
    // the write fails, and is reported.
    if ((signal_number == SIGPIPE || signal_number == SIGXFSZ) && signal_from_own_write(info)) {
        return;
    }
    stop_signal = signal_number;
    const pid_t group = running_group;
    if (group > 0) {
        ::kill(-group, SIGTERM);
    }
}

void handle(int signal_number) {
    struct sigaction previous {};
    if (::sigaction(signal_number, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction action {};
    action.sa_sigaction = on_stop;
    sigemptyset(&action.sa_mask);
    // No restart: a wait in progress returns at once. A fault of the plot
    // itself would come back after the handler: the next one ends it.
    action.sa_flags = static_cast<int>(SA_SIGINFO) |
                      (is_fault_signal(signal_number) ? static_cast<int>(SA_RESETHAND) : 0);
    ::sigaction(signal_number, &action, nullptr);
}

}  // namespace

void install_stop_handlers() {
    for_each_ending_signal(handle);
}

void set_running_group(pid_t group) {
    running_group = group;
}

bool stop_requested() {
    return stop_signal != 0;
}

void stop_by_signal() {
    const int signal_number = stop_signal;
    std::signal(signal_number, SIG_DFL);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signal_number);
    ::sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
    ::raise(signal_number);
    std::_Exit(128 + signal_number);
}
