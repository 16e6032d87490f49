#include "plot/gmt_session.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "plot/stop_signals.h"

namespace {

// Exit status of the child when "gmt" could not be started at all.
constexpr int NOT_STARTED = 127;

constexpr const char* LOG_NAME = "gmt.log";

// The base for the private directory: TMPDIR when it names a directory
// (made absolute: GMT runs elsewhere), else /tmp.
std::string temporary_base() {
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir != nullptr && *tmpdir != '\0') {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::absolute(tmpdir, error);
        if (!error && std::filesystem::is_directory(base, error)) {
            return base.string();
        }
    }
    return "/tmp";
}

// In the child: the private directory as working directory, standard input
// from /dev/null, the log (or standard error) for what GMT prints. GMT
// keeps its session, temporary files and user settings in the directory,
// and so does anything it starts (ghostscript). Every command runs there,
// so they are named relative to it: GMT makes no picture, and says
// nothing, once a path of its session is over 255 characters, which a long
// TMPDIR would otherwise reach.
[[noreturn]] void exec_gmt(const std::string& directory, bool verbose, char** argv) {
    ::setpgid(0, 0);
    std::signal(SIGPIPE, SIG_DFL);
    if (::chdir(directory.c_str()) != 0) {
        ::_exit(NOT_STARTED);
    }
    ::setenv("GMT_TMPDIR", ".", 1);
    ::setenv("GMT_USERDIR", ".", 1);
    ::setenv("GMT_SESSION_NAME", "plot", 1);
    ::setenv("TMPDIR", ".", 1);
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
    std::string pattern = temporary_base() + "/dist-strike-contour-plot.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        problem = "cannot make a temporary directory in " + temporary_base() + ": " +
                  std::strerror(errno);
        return false;
    }
    directory_ = pattern;
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
    const pid_t child = ::fork();
    if (child < 0) {
        problem = std::string("cannot start GMT: ") + std::strerror(errno);
        return false;
    }
    if (child == 0) {
        exec_gmt(directory_, verbose_, argv.data());
    }
    ::setpgid(child, child);  // also here, so that a stop can reach it at once
    set_running_group(child);
    if (stop_requested()) {
        ::kill(-child, SIGTERM);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    set_running_group(0);
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
