#pragma once

#include <string>
#include <sys/types.h>

// A small process that outlives the plot to clean up after it: when the
// plot ends without saying it is done (killed by SIGKILL, say), the watcher
// ends the GMT command then running, with everything it started, and
// removes what the plot made: the private directory and the new files
// beside the outputs. It runs in a session of its own, with every signal
// blocked, so that what ends the plot's process group or its terminal does
// not end it first.
class session_watcher {
public:
    session_watcher() = default;
    // Tells the watcher the plot is done and waits for it to end.
    ~session_watcher() { release(); }
    session_watcher(const session_watcher&) = delete;
    session_watcher& operator=(const session_watcher&) = delete;

    // Starts the watcher. False when it cannot be started; the plot goes on
    // without one.
    bool start();
    // PATH (a file, or a directory with all it holds) is removed should the
    // plot end without being done.
    void remove_if_abandoned(const std::string& path);
    // The process group of the GMT command now running; 0 for none.
    void watch_group(pid_t group);
    // The plot has cleaned up itself: the watcher ends without a word.
    void release();

private:
    void tell(char kind, const std::string& text);

    pid_t pid_ = 0;
    int fd_ = -1;  // the socket on which the plot tells the watcher
};
