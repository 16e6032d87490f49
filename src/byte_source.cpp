#include "byte_source.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

bool byte_source::refill() {
    if (fd_ < 0 || exhausted_) {
        return false;
    }
    for (;;) {
        const ssize_t count = ::read(fd_, chunk_, CHUNK_SIZE);
        if (count > 0) {
            data_ = chunk_;
            length_ = static_cast<std::size_t>(count);
            position_ = 0;
            return true;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            read_errno_ = errno;
        }
        exhausted_ = true;
        return false;
    }
}

bool byte_source::regular_file() const {
    struct stat info {};
    return fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
}

void byte_source::return_unused() {
    const auto unused = static_cast<off_t>(length_ - position_);
    if (fd_ >= 0 && unused > 0) {
        ::lseek(fd_, -unused, SEEK_CUR);
    }
}
