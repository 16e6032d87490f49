#include "base/locked_input.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/command_frame.h"
#include "diagnostic.h"
#include "file_lock.h"
#include "open_file.h"

int open_input(const std::string& file, std::string& name, file_identity& identity,
               bool& error_stream_is_input, std::string& problem) {
    const bool standard_input = file == "-";
    name = standard_input ? "standard input" : file;
    const int fd = standard_input ? STDIN_FILENO : open_file(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = "cannot open " + name + ": " + std::strerror(errno);
        return -1;
    }
    identity = identity_of_descriptor(fd);
    error_stream_is_input = same_file(identity, identity_of_descriptor(STDERR_FILENO));
    if (error_stream_is_input) {
        problem = "standard error is " + name + " itself";
        if (!standard_input) {
            ::close(fd);
        }
        return -1;
    }
    return fd;
}

bool names_standard_input(const std::string& file) {
    struct stat named {};
    struct stat input {};
    return file == "-" || (::stat(file.c_str(), &named) == 0 &&
                           ::fstat(STDIN_FILENO, &input) == 0 && named.st_dev == input.st_dev &&
                           named.st_ino == input.st_ino);
}

bool names_one_stream(const std::string& a, const std::string& b) {
    if (names_standard_input(a) && names_standard_input(b)) {
        return true;
    }
    const auto status_of = [](const std::string& file, struct stat& info) {
        return file == "-" ? ::fstat(STDIN_FILENO, &info) == 0 : ::stat(file.c_str(), &info) == 0;
    };
    struct stat first {};
    struct stat second {};
    return status_of(a, first) && status_of(b, second) && is_stream(first) &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

int refuse_input(const char* program, bool error_stream_is_input, const std::string& problem) {
    return error_stream_is_input ? EXIT_STATUS_FAILED
                                 : refuse(program, problem, EXIT_STATUS_REFUSED);
}

void lock_shared(int fd, const file_identity& identity, const std::string& name,
                 const char* program, int diagnostic_fd) {
    if (!identity.known) {
        return;
    }
    lock_file(fd, lock_mode::shared, [&] {
        report_line(diagnostic_fd, program,
                    "warning: a run is writing " + name + "; waiting for it to finish");
    });
}

void release_shared(int fd, bool standard_input) {
    if (standard_input) {
        ::flock(fd, LOCK_UN);
    } else {
        ::close(fd);
    }
}
