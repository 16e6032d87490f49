#include "run_file/locked_reading.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "diagnostic.h"
#include "base/read_chunks.h"
#include "run_file/contour_reader.h"

namespace {

int open_for_reading(const std::string& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

void lock_shared(int fd, const file_identity& identity, const std::string& name,
                 const char* program, int diagnostic_fd) {
    if (!identity.known || ::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        return;
    }
    if (errno == EWOULDBLOCK) {
        report_line(diagnostic_fd, program,
                    "warning: a run is writing " + name + "; waiting for it to finish");
    }
    while (::flock(fd, LOCK_SH) != 0 && errno == EINTR) {
    }
}

void release_shared(int fd, bool standard_input) {
    if (standard_input) {
        ::flock(fd, LOCK_UN);
    } else {
        ::close(fd);
    }
}

namespace {

bool read_all(int fd, const run_file& file, contour_reader& reader, std::string& problem) {
    bool taken = true;
    const int error = read_chunks(fd, [&](std::string_view bytes) {
        taken = reader.take(bytes);
        return taken;
    });
    if (error != 0) {
        problem = "cannot read " + file.name + ": " + std::strerror(error);
        return false;
    }
    if (!taken || !reader.finish()) {
        problem = reader.problem(file.name);
        return false;
    }
    return true;
}

}  // namespace

int open_input(const std::string& file, std::string& name, file_identity& identity,
               std::string& problem) {
    const bool standard_input = file == "-";
    name = standard_input ? "standard input" : file;
    const int fd = standard_input ? STDIN_FILENO : open_for_reading(file);
    if (fd < 0) {
        problem = "cannot open " + name + ": " + std::strerror(errno);
        return -1;
    }
    identity = identity_of_descriptor(fd);
    return fd;
}

bool read_run_file(const std::string& file, const char* program, int diagnostic_fd,
                   run_file& result, std::string& problem) {
    const bool standard_input = file == "-";
    const int fd = open_input(file, result.name, result.identity, problem);
    if (fd < 0) {
        return false;
    }
    if (same_file(result.identity, identity_of_descriptor(diagnostic_fd))) {
        const int null_fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        ::dup2(null_fd, diagnostic_fd);
        ::close(null_fd);
        result.error_stream_is_file = true;
        problem = "standard error is " + result.name + " itself";
        if (!standard_input) {
            ::close(fd);
        }
        return false;
    }
    lock_shared(fd, result.identity, result.name, program, diagnostic_fd);
    contour_reader reader(result.run);
    const bool whole = read_all(fd, result, reader, problem);
    release_shared(fd, standard_input);
    return whole;
}
