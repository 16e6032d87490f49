#include "plot/stop_signals.h"

#include <csignal>
#include <cstdlib>
#include <signal.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stop_signal = 0;
volatile pid_t running_group = 0;

constexpr int STOP_SIGNALS[] = {SIGHUP, SIGINT, SIGTERM};

void on_stop(int signal_number) {
    stop_signal = signal_number;
    const pid_t group = running_group;
    if (group > 0) {
        ::kill(-group, SIGTERM);
    }
}

}  // namespace

void install_stop_handlers() {
    struct sigaction action {};
    action.sa_handler = on_stop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a wait in progress returns at once
    for (int signal_number : STOP_SIGNALS) {
        ::sigaction(signal_number, &action, nullptr);
    }
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
    ::raise(signal_number);
    std::_Exit(128 + signal_number);
}
