#include "contour_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "diagnostic.h"
#include "file_identity.h"
#include "file_lock.h"
#include "open_file.h"
#include "whole_lines_on_signal.h"

namespace {

// Opens the file for writing without truncating it. The descriptor is kept
// above the standard ones: if standard output was closed, the file must
// not take its place and receive the error lines.
int open_above_standard_descriptors() {
    const int fd = open_file(CONTOUR_FILE_NAME, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 || fd > STDERR_FILENO) {
        return fd;
    }
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int saved_errno = errno;
    ::close(fd);
    errno = saved_errno;
    return moved;
}

// Takes the exclusive lock, saying first when another run or a reader
// holds the file and this run has to wait.
void lock_exclusively(int fd, int diagnostic_fd) {
    lock_file(fd, lock_mode::exclusive, [diagnostic_fd] {
        report_problem(diagnostic_fd, CONTOUR_PROGRAM,
                       "warning: another run or a reader holds %s; waiting for it to finish",
                       CONTOUR_FILE_NAME);
    });
}

}  // namespace

bool contour_file::open(int output_fd) {
    const int fd = open_above_standard_descriptors();
    if (fd < 0) {
        report_problem(diagnostic_fd_, CONTOUR_PROGRAM, "cannot open %s: %s", CONTOUR_FILE_NAME,
                       std::strerror(errno));
        return false;
    }
    struct stat file_info {};
    if (::fstat(fd, &file_info) != 0) {
        report_problem(diagnostic_fd_, CONTOUR_PROGRAM, "cannot open %s: %s", CONTOUR_FILE_NAME,
                       std::strerror(errno));
        ::close(fd);
        return false;
    }
    regular_ = S_ISREG(file_info.st_mode);
    // Only a regular file is overwritten this way; a device both point to
    // (/dev/null, say) takes both streams as it would anyway. Diagnostics
    // into the file itself would land in the file: the run is refused
    // without a word there, and its exit status tells.
    const file_identity file = identity_of(file_info);
    if (same_file(file, identity_of_descriptor(diagnostic_fd_))) {
        ::close(fd);
        return false;
    }
    if (same_file(file, identity_of_descriptor(output_fd))) {
        report_problem(diagnostic_fd_, CONTOUR_PROGRAM,
                       "standard output is %s itself; the error lines would overwrite it",
                       CONTOUR_FILE_NAME);
        ::close(fd);
        return false;
    }
    lock_exclusively(fd, diagnostic_fd_);
    channel_.attach(fd);
    return true;
}

void contour_file::empty() {
    emptied_ = true;
    // Devices and pipes (a link to /dev/null, say) cannot be truncated and
    // need not be.
    if (regular_ && ::ftruncate(channel_.fd(), 0) != 0) {
        channel_.fail(errno);
    } else if (regular_) {
        cut_back_on_signal(channel_.fd(), channel_.whole_line_bytes());
    }
}

void contour_file::cut_back_to_whole_lines() {
    if (regular_ && channel_.failed()) {
        // The file was emptied and then written from its start, so whole
        // lines end where the channel counts them.
        const int ignored =
            ::ftruncate(channel_.fd(), static_cast<off_t>(channel_.whole_line_bytes().load()));
        (void)ignored;
    }
}

bool contour_file::finish() {
    finished_ = true;
    channel_.flush();
    cut_back_to_whole_lines();
    stop_cutting_back();
    // A close interrupted by a signal has still released the descriptor
    // (Linux), and every byte was written before it: not a failure.
    const int close_result = ::close(channel_.fd());
    const int close_errno = errno;
    if (channel_.failed()) {
        report_problem(diagnostic_fd_, CONTOUR_PROGRAM, "cannot write %s: %s", CONTOUR_FILE_NAME,
                       std::strerror(channel_.error_number()));
        return false;
    }
    if (close_result != 0 && close_errno != EINTR) {
        report_problem(diagnostic_fd_, CONTOUR_PROGRAM, "cannot close %s: %s", CONTOUR_FILE_NAME,
                       std::strerror(close_errno));
        return false;
    }
    return true;
}
