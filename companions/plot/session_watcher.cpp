#include "plot/session_watcher.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// What the plot tells the watcher: a kind, the length of the text (32 bits)
// and the text.
constexpr char REMOVE = 'r';  // a path to remove
constexpr char GROUP = 'g';   // the running GMT command's group, "0" for none
constexpr char DONE = 'd';    // the plot has cleaned up itself

// Longest text told: a path.
constexpr std::uint32_t LONGEST_TEXT = 1 << 16;

// Closes every descriptor from `first` up, where close_range is missing.
void close_from(int first) {
    if (::close_range(static_cast<unsigned>(first), ~0U, 0) == 0) {
        return;
    }
    for (long fd = first, most = ::sysconf(_SC_OPEN_MAX); fd < most; ++fd) {
        ::close(static_cast<int>(fd));
    }
}

// Exactly `size` bytes from standard input; false at its end.
bool read_exactly(void* data, std::size_t size) {
    char* bytes = static_cast<char*>(data);
    std::size_t taken = 0;
    while (taken < size) {
        const ssize_t count = ::read(STDIN_FILENO, bytes + taken, size - taken);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        taken += static_cast<std::size_t>(count);
    }
    return true;
}

// The next message; false at the end of what the plot tells.
bool read_message(char& kind, std::string& text) {
    std::uint32_t length = 0;
    if (!read_exactly(&kind, 1) || !read_exactly(&length, sizeof length) ||
        length > LONGEST_TEXT) {
        return false;
    }
    text.assign(length, '\0');
    return read_exactly(text.data(), length);
}

// The watcher itself: reads what the plot tells it until the plot closes
// its end of the socket, by ending or by being ended.
[[noreturn]] void watch(int fd) {
    ::setsid();
    sigset_t every;
    sigfillset(&every);
    ::sigprocmask(SIG_BLOCK, &every, nullptr);
    // Nothing of the plot's kept open but the socket: a reader of the
    // plot's standard output or error sees their end when the plot ends.
    ::dup2(fd, STDIN_FILENO);
    const int null_fd = ::open("/dev/null", O_RDWR);
    ::dup2(null_fd, STDOUT_FILENO);
    ::dup2(null_fd, STDERR_FILENO);
    close_from(STDERR_FILENO + 1);
    std::vector<std::string> made;
    pid_t group = 0;
    char kind = 0;
    std::string text;
    while (read_message(kind, text)) {
        if (kind == DONE) {
            ::_exit(0);
        }
        if (kind == GROUP) {
            group = static_cast<pid_t>(std::atol(text.c_str()));
        } else if (kind == REMOVE) {
            made.push_back(text);
        }
    }
    // The plot ended without being done: the GMT command first, so that it
    // makes nothing more.
    if (group > 0) {
        ::kill(-group, SIGKILL);
    }
    for (const std::string& path : made) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ::_exit(0);
}

}  // namespace

bool session_watcher::start() {
    // A socket rather than a pipe: what is told to a watcher that is gone
    // fails without a SIGPIPE, which would stop the plot.
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[1]);
        watch(ends[0]);
    }
    ::close(ends[0]);
    if (child < 0) {
        ::close(ends[1]);
        return false;
    }
    pid_ = child;
    fd_ = ends[1];
    return true;
}

void session_watcher::tell(char kind, const std::string& text) {
    if (fd_ < 0 || text.size() > LONGEST_TEXT) {
        return;
    }
    const auto length = static_cast<std::uint32_t>(text.size());
    std::string message(1, kind);
    message.append(reinterpret_cast<const char*>(&length), sizeof length);
    message += text;
    std::size_t sent = 0;
    while (sent < message.size()) {
        const ssize_t count =
            ::send(fd_, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;  // the watcher is gone
        }
        sent += static_cast<std::size_t>(count);
    }
}

void session_watcher::remove_if_abandoned(const std::string& path) {
    tell(REMOVE, path);
}

void session_watcher::watch_group(pid_t group) {
    tell(GROUP, std::to_string(group));
}

void session_watcher::release() {
    if (fd_ < 0) {
        return;
    }
    tell(DONE, "");
    ::close(fd_);
    fd_ = -1;
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = 0;
}
