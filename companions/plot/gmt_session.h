#pragma once

#include <string>
#include <vector>

#include "plot/session_watcher.h"

// GMT run in a private directory: every command's working directory, and
// GMT's own session files, temporary files and user directory (GMT's
// isolation mode), so that nothing is left in the home directory or TMPDIR
// once the directory is removed, whatever happens: a GMT command ends when
// the plot does, and the plot's watcher (session_watcher.h) ends what it
// started and removes the directory when the plot could not. Should even the watcher
// be ended, the next plot removes the directories of plots that no longer
// run ("dist-strike-contour-plot.PID.XXXXXX", of the same user).
class gmt_session {
public:
    // verbose: GMT's log goes to standard error as it comes; otherwise it is
    // kept, and only its last error line is told when a command fails.
    // `watcher`, when not null, is told the private directory and each GMT
    // command's process group.
    gmt_session(bool verbose, session_watcher* watcher)
        : verbose_(verbose), watcher_(watcher) {}
    ~gmt_session() { close(); }
    gmt_session(const gmt_session&) = delete;
    gmt_session& operator=(const gmt_session&) = delete;

    // Makes the private directory in TMPDIR (or /tmp), after removing those
    // of plots that no longer run. False, with why.
    bool open(std::string& problem);
    // Removes the private directory with everything in it.
    void close();

    std::string path(const std::string& name) const { return directory_ + "/" + name; }

    // Runs "gmt ARGUMENTS..." there and waits for it. False, with one line
    // saying why, when it could not start, failed, or was stopped.
    bool run(const std::vector<std::string>& arguments, std::string& problem);

private:
    std::string last_error_line() const;

    bool verbose_;
    std::string directory_;
    session_watcher* watcher_;
};

// Whether a "gmt" program is on PATH.
bool gmt_installed();
