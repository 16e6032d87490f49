#include "output_channel.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void fail(output_channel& channel, int error_number) {
    channel.failed = true;
    channel.error_number = error_number;
}

// Empties a regular file before the run's first bytes go in. Devices and
// pipes (a link to /dev/full, say) cannot be truncated and need not be.
bool empty_regular_file(output_channel& channel) {
    struct stat info {};
    if (::fstat(channel.fd, &info) != 0) {
        fail(channel, errno);
        return false;
    }
    if (S_ISREG(info.st_mode) && ::ftruncate(channel.fd, 0) != 0) {
        fail(channel, errno);
        return false;
    }
    return true;
}

bool write_all(output_channel& channel, const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t count = ::write(channel.fd, data, length);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            // A write that takes nothing without an error is treated as an
            // I/O error rather than retried for ever.
            fail(channel, count < 0 ? errno : EIO);
            return false;
        }
        data += count;
        length -= static_cast<std::size_t>(count);
    }
    return true;
}

}  // namespace

void channel_init(output_channel& channel, int fd, bool empty_before_first_write) {
    channel.fd = fd;
    channel.empty_before_first_write = empty_before_first_write;
    channel.written = false;
    channel.failed = false;
    channel.error_number = 0;
    channel.used = 0;
}

char* channel_space(output_channel& channel, std::size_t needed) {
    if (CHANNEL_BUFFER_SIZE - channel.used < needed) {
        channel_flush(channel);
    }
    return channel.buffer + channel.used;
}

void channel_commit(output_channel& channel, const char* end) {
    channel.used = static_cast<std::size_t>(end - channel.buffer);
}

bool channel_flush(output_channel& channel) {
    const std::size_t length = channel.used;
    channel.used = 0;
    if (channel.failed || length == 0) {
        return !channel.failed;
    }
    if (!channel.written && channel.empty_before_first_write &&
        !empty_regular_file(channel)) {
        return false;
    }
    channel.written = true;
    return write_all(channel, channel.buffer, length);
}
