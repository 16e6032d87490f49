#include "base/command_frame.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text_output.h"
#include "diagnostic.h"
#include "write_all.h"
#include "write_signals.h"

// The companion commands' version, given by the build.
#ifndef PROJECT_VERSION
#error "PROJECT_VERSION must be defined by the build"
#endif

namespace {

// Read once by prepare_process(); until then the usual 022.
mode_t umask_at_start = 022;

void occupy_closed_standard_descriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
            if (opened >= 0 && opened != fd) {
                ::dup2(opened, fd);
                ::close(opened);
            }
        }
    }
}

// Closes standard output, where some file systems report a failed write
// only now. 0, or the error number.
int close_standard_output() {
    // A close interrupted by a signal has still released the descriptor.
    return ::close(STDOUT_FILENO) == 0 || errno == EINTR ? 0 : errno;
}

std::string cannot_write_standard_output(int error_number) {
    return std::string("cannot write standard output: ") + std::strerror(error_number);
}

}  // namespace

int refuse(const char* program, std::string_view problem, int status) {
    report_line(STDERR_FILENO, program, problem);
    return status;
}

int answer_on_standard_output(const char* program, std::string_view text) {
    const write_outcome outcome = write_all(STDOUT_FILENO, text.data(), text.size());
    const int closed = close_standard_output();
    const int error = outcome.error_number != 0 ? outcome.error_number : closed;
    return error != 0 ? refuse(program, cannot_write_standard_output(error), EXIT_STATUS_FAILED)
                      : EXIT_STATUS_OK;
}

std::string version_line(const char* program) {
    return std::string(program) + " " + PROJECT_VERSION + "\n";
}

bool finish_standard_output(text_output& out, std::string& problem) {
    const bool written = out.flush();
    const int closed = close_standard_output();
    if (!written || closed != 0) {
        problem = cannot_write_standard_output(written ? closed : out.error_number());
        return false;
    }
    return true;
}

mode_t new_file_mode() {
    return 0666 & ~umask_at_start;
}

void prepare_process() {
    install_write_signal_handlers(nullptr);
    occupy_closed_standard_descriptors();
    umask_at_start = ::umask(0);
    ::umask(umask_at_start);
}
