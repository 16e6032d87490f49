#include "write_all.h"

#include <cerrno>
#include <unistd.h>

write_outcome write_all(int fd, const char* data, std::size_t length, bool (*stopped)()) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t count = ::write(fd, data + done, length - done);
        if (count < 0 && errno == EINTR && (stopped == nullptr || !stopped())) {
            continue;
        }
        if (count <= 0) {
            // A write that takes nothing without an error is treated as an
            // I/O error rather than retried for ever.
            return {done, count < 0 ? errno : EIO};
        }
        done += static_cast<std::size_t>(count);
        // A signal that lands after part of a write cuts it short instead
        // of failing it: the stop must not wait for the next write.
        if (done < length && stopped != nullptr && stopped()) {
            return {done, EINTR};
        }
    }
    return {done, 0};
}
