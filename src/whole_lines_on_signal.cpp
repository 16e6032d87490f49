#include "whole_lines_on_signal.h"

#include <unistd.h>

#include "ending_signals.h"
#include "write_signals.h"

namespace {

std::atomic<int> watched_fd{-1};
std::atomic<const std::atomic<std::uint64_t>*> watched_length{nullptr};
static_assert(std::atomic<int>::is_always_lock_free &&
                  std::atomic<std::uint64_t>::is_always_lock_free,
              "read in a signal handler");

// Cuts the watched file back to its last whole line.
void cut_back(int) {
    const int fd = watched_fd.load();
    const std::atomic<std::uint64_t>* length = watched_length.load();
    if (fd >= 0 && length != nullptr) {
        const int ignored = ::ftruncate(fd, static_cast<off_t>(length->load()));
        (void)ignored;
    }
}

void on_ending_signal(int signal_number) {
    cut_back(signal_number);
    // SA_RESETHAND has restored the default action and SA_NODEFER leaves
    // the signal unblocked: it ends the process here.
    ::raise(signal_number);
}

void handle(int signal_number) {
    if (signal_number == SIGPIPE || signal_number == SIGXFSZ) {
        return;  // a write's own: see install_write_signal_handlers
    }
    struct sigaction action {};
    action.sa_handler = on_ending_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = static_cast<int>(SA_RESETHAND | SA_NODEFER);
    struct sigaction previous {};
    // A signal the caller's parent left ignored stays ignored.
    if (::sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
        ::sigaction(signal_number, &action, nullptr);
    }
}

}  // namespace

void install_whole_line_handlers() {
    // An ignored signal is left ignored.
    for_each_ending_signal(handle);
    install_write_signal_handlers(cut_back);
}

void cut_back_on_signal(int fd, const std::atomic<std::uint64_t>& length) {
    watched_length.store(&length);
    watched_fd.store(fd);
}

void stop_cutting_back() {
    watched_fd.store(-1);
}
