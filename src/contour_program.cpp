#include "contour_program.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "diagnostic.h"
#include "input_reader.h"
#include "output_channel.h"
#include "ring_walk.h"

namespace {

// Opens the contour file for writing without truncating it. The descriptor
// is kept above the standard ones: if standard output was closed, the file
// must not take its place and receive the error lines.
int open_contour_file() {
    int fd;
    do {
        fd = ::open(CONTOUR_FILE_NAME, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 || fd > STDERR_FILENO) {
        return fd;
    }
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int saved_errno = errno;
    ::close(fd);
    errno = saved_errno;
    return moved;
}

// Completes the contour file: writes what is buffered and closes it.
// Reports and returns false when any write or the close failed.
bool finish_contour_file(output_channel& contour, const program_streams& streams) {
    channel_flush(contour);
    const int close_result = ::close(contour.fd);
    if (contour.failed) {
        report_problem(streams.diagnostic_fd, "cannot write %s: %s", CONTOUR_FILE_NAME,
                       std::strerror(contour.error_number));
        return false;
    }
    if (close_result != 0 && errno != EINTR) {
        report_problem(streams.diagnostic_fd, "cannot close %s: %s", CONTOUR_FILE_NAME,
                       std::strerror(errno));
        return false;
    }
    return true;
}

bool finish_error_lines(output_channel& errors, const program_streams& streams) {
    if (channel_flush(errors)) {
        return true;
    }
    report_problem(streams.diagnostic_fd, "cannot write standard output: %s",
                   std::strerror(errors.error_number));
    return false;
}

// The channels live for the whole run; static storage keeps their buffers
// off the stack.
output_channel contour_channel;
output_channel error_channel;

}  // namespace

int run_contour_program(const program_streams& streams) {
    const input_result read = read_run_input(streams.input_fd);
    if (read.status != input_status::ok) {
        report_problem(streams.diagnostic_fd, "%s", read.message);
        return read.status == input_status::bad_input ? EXIT_STATUS_BAD_INPUT
                                                      : EXIT_STATUS_IO_FAILURE;
    }

    const int contour_fd = open_contour_file();
    if (contour_fd < 0) {
        report_problem(streams.diagnostic_fd, "cannot open %s: %s", CONTOUR_FILE_NAME,
                       std::strerror(errno));
        return EXIT_STATUS_IO_FAILURE;
    }
    channel_init(contour_channel, contour_fd, true);
    channel_init(error_channel, streams.output_fd, false);

    walk_rings(read.input, contour_channel, error_channel);

    // Both are finished even when the first fails, so that nothing already
    // computed is held back.
    const bool contour_ok = finish_contour_file(contour_channel, streams);
    const bool errors_ok = finish_error_lines(error_channel, streams);
    return contour_ok && errors_ok ? EXIT_STATUS_OK : EXIT_STATUS_IO_FAILURE;
}
