#include "file_lock.h"

#include <cerrno>
#include <sys/file.h>

void lock_file(int fd, lock_mode mode, const std::function<void()>& before_waiting) {
    const int operation = mode == lock_mode::exclusive ? LOCK_EX : LOCK_SH;
    if (::flock(fd, operation | LOCK_NB) == 0) {
        return;
    }
    if (errno == EWOULDBLOCK) {
        before_waiting();
    }
    while (::flock(fd, operation) != 0 && errno == EINTR) {
    }
}
