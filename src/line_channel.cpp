#include "line_channel.h"

#include "write_all.h"

namespace {

// Position just after the last newline among the first `length` bytes of
// `data`, or 0 when there is none.
std::size_t end_of_last_line(const char* data, std::size_t length) {
    for (std::size_t i = length; i > 0; --i) {
        if (data[i - 1] == '\n') {
            return i;
        }
    }
    return 0;
}

}  // namespace

void line_channel::attach(int fd) {
    fd_ = fd;
    used_ = 0;
}

void line_channel::fail(int error_number) {
    if (!failed_) {
        failed_ = true;
        error_number_ = error_number;
    }
}

bool line_channel::flush() {
    const std::size_t length = used_;
    used_ = 0;
    if (!failed_ && length > 0) {
        write_out(buffer_, length);
    }
    return !failed_;
}

bool line_channel::write_out(const char* data, std::size_t length) {
    const write_outcome outcome = write_all(fd_, data, length);
    if (outcome.error_number != 0) {
        fail(outcome.error_number);
        whole_line_bytes_ += end_of_last_line(data, outcome.written);
        return false;
    }
    whole_line_bytes_ += length;
    return true;
}
