#pragma once

#include <string>
#include <vector>

// GMT run in a private directory: every command's working directory, and
// GMT's own session files, temporary files and user directory (GMT's
// isolation mode), so that nothing is left in the home directory or TMPDIR
// once the directory is removed, whatever happens.
class gmt_session {
public:
    // verbose: GMT's log goes to standard error as it comes; otherwise it is
    // kept, and only its last error line is told when a command fails.
    explicit gmt_session(bool verbose) : verbose_(verbose) {}
    ~gmt_session() { close(); }
    gmt_session(const gmt_session&) = delete;
    gmt_session& operator=(const gmt_session&) = delete;

    // Makes the private directory in TMPDIR (or /tmp). False, with why.
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
};

// Whether a "gmt" program is on PATH.
bool gmt_installed();
