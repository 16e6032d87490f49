#include "plot/gmt_session.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/abandoned_files.h"
#include "base/temporary_directory.h"
#include "plot/stop_signals.h"

namespace {

// Exit status of the child when "gmt" could not be started at all.
constexpr int NOT_STARTED = 127;

constexpr const char* LOG_NAME = "gmt.log";

// The private directories' names: this prefix, the plot's PID, a dot and
// 6 characters of mkdtemp's (abandoned_files.h).
constexpr std::string_view DIRECTORY_PREFIX = "dist-strike-contour-plot.";

// In the child: the private directory as working directory, standard input
// from /dev/null, the log (or standard error) for what GMT prints. GMT
// keeps its session, temporary files and user settings in the directory,
// and so does anything it starts (ghostscript). Every command runs there,
// so they are named relative to it: GMT makes no picture, and says
// nothing, once a path of its session is over 255 characters, which a long
// TMPDIR would otherwise reach.
[[noreturn]] void exec_gmt(const std::string& directory, bool verbose, char** argv,
                           pid_t plot) {
    ::setpgid(0, 0);
    // Ended with the plot, however the plot ends (the plot may have ended
    // already, before this was asked).
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != plot) {
        ::_exit(NOT_STARTED);
    }
    std::signal(SIGPIPE, SIG_DFL);
    if (::chdir(directory.c_str()) != 0) {
        ::_exit(NOT_STARTED);
    }
    ::setenv("GMT_TMPDIR", ".", 1);
    ::setenv("GMT_USERDIR", ".", 1);
    ::setenv("GMT_SESSION_NAME", "plot", 1);
    ::setenv("TMPDIR", ".", 1);
    // GMT's own files are for GMT alone, and must stay readable to it and
    // removable whatever umask the plot was started with.
    ::umask(077);
    const int null_fd = ::open("/dev/null", O_RDONLY);
    ::dup2(null_fd, STDIN_FILENO);
    if (!verbose) {
        const int log_fd = ::open(LOG_NAME, O_WRONLY | O_CREAT | O_APPEND, 0600);
        ::dup2(log_fd, STDOUT_FILENO);
        ::dup2(log_fd, STDERR_FILENO);
    } else {
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
    }
    ::execvp("gmt", argv);
    ::_exit(NOT_STARTED);
}

}  // namespace

bool gmt_installed() {
    const char* path = std::getenv("PATH");
    std::string directories = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        const std::string dir = directories.substr(start, end - start);
        const std::string candidate = (dir.empty() ? "." : dir) + "/gmt";
        if (::access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool gmt_session::open(std::string& problem) {
    const std::string base = temporary_base();
    remove_abandoned(base, DIRECTORY_PREFIX);
    std::string pattern = own_name_pattern(base, DIRECTORY_PREFIX);
    if (::mkdtemp(pattern.data()) == nullptr) {
        problem = "cannot make a temporary directory in " + base + ": " + std::strerror(errno);
        return false;
    }
    directory_ = pattern;
    // Its owner may list and empty it whatever the umask (0477 left it
    // unreadable, so that it could not be removed).
    ::chmod(directory_.c_str(), 0700);
    if (watcher_ != nullptr) {
        watcher_->remove_if_abandoned(directory_);
    }
    return true;
}

void gmt_session::close() {
    if (!directory_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
        directory_.clear();
    }
}

bool gmt_session::run(const std::vector<std::string>& arguments, std::string& problem) {
    std::vector<char*> argv{const_cast<char*>("gmt")};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    if (stop_requested()) {
        problem = "stopped";
        return false;
    }
    const pid_t plot = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        problem = std::string("cannot start GMT: ") + std::strerror(errno);
        return false;
    }
    if (child == 0) {
        exec_gmt(directory_, verbose_, argv.data(), plot);
    }
    ::setpgid(child, child);  // also here, so that a stop can reach it at once
    set_running_group(child);
    if (watcher_ != nullptr) {
        watcher_->watch_group(child);
    }
    if (stop_requested()) {
        ::kill(-child, SIGTERM);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    set_running_group(0);
    if (watcher_ != nullptr) {
        watcher_->watch_group(0);
    }
    if (stop_requested()) {
        problem = "stopped";
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return true;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == NOT_STARTED) {
        problem = "cannot run GMT (Debian packages gmt, gmt-gshhg-low and ghostscript)";
        return false;
    }
    if (WIFSIGNALED(status)) {
        // Ended from outside: whatever its log says last is not the cause.
        problem = "GMT could not draw the map (gmt " + arguments[0] + " was ended by signal " +
                  std::to_string(WTERMSIG(status)) + ", " + ::strsignal(WTERMSIG(status)) + ")";
        return false;
    }
    const std::string line = last_error_line();
    problem = "GMT could not draw the map (gmt " + arguments[0] + " failed" +
              (line.empty() ? std::string(")") : "): " + line);
    return false;
}

// The log's last line that reports an error, or its last line.
std::string gmt_session::last_error_line() const {
    std::ifstream log(path(LOG_NAME));
    std::string last;
    std::string last_error;
    for (std::string line; std::getline(log, line);) {
        if (!line.empty()) {
            last = line;
        }
        if (line.find("[ERROR]") != std::string::npos) {
            last_error = line;
        }
    }
    return last_error.empty() ? last : last_error;
}
