#pragma once

#include <cerrno>
#include <fcntl.h>
#include <sys/types.h>

// open(2), going on when a signal interrupts it (opening a pipe or a slow
// device waits, and a handled signal may end the wait early). The file
// descriptor, or -1 with errno set.
inline int open_file(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}
