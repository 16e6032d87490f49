#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "line_layout.h"

// Bytes gathered before a write call: large enough that a run of 4.8 MB
// needs under a hundred writes.
inline constexpr std::size_t CHANNEL_BUFFER_SIZE = 1 << 16;

// A buffered writer of whole lines over a file descriptor. Its buffer only
// ever holds whole lines, each write call is given whole lines, and the
// length written up to the last whole line is kept where a signal handler
// can read it. After the first failed write it keeps the error and drops
// everything else given to it.
class line_channel {
public:
    explicit line_channel(int fd) : fd_(fd) {}
    line_channel(const line_channel&) = delete;
    line_channel& operator=(const line_channel&) = delete;

    template <std::size_t Length>
    void write(const text_line<Length>& line) {
        static_assert(text_line<Length>::size <= CHANNEL_BUFFER_SIZE, "a line fits the buffer");
        if (CHANNEL_BUFFER_SIZE - used_ < line.size) {
            flush();
        }
        if (!failed_) {
            // A copy of a size known here, which the compiler lays out inline.
            std::memcpy(buffer_ + used_, line.chars.data(), line.size);
            used_ += line.size;
        }
    }

    // Writes out everything buffered. False once any write has failed.
    bool flush();

    // Starts over on another descriptor; anything buffered is dropped.
    void attach(int fd);
    // Records a failure found outside the channel: nothing more is written.
    void fail(int error_number);

    int fd() const { return fd_; }
    bool failed() const { return failed_; }
    int error_number() const { return error_number_; }
    // Bytes written so far up to the end of the last whole line among them;
    // after a short write it falls short of what reached the descriptor.
    // Updated after each complete write call, and safe to read from a
    // signal handler.
    const std::atomic<std::uint64_t>& whole_line_bytes() const { return whole_line_bytes_; }

private:
    bool write_out(const char* data, std::size_t length);

    int fd_;
    bool failed_ = false;
    int error_number_ = 0;
    std::atomic<std::uint64_t> whole_line_bytes_{0};
    std::size_t used_ = 0;
    char buffer_[CHANNEL_BUFFER_SIZE];
};
