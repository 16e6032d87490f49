#pragma once

#include <cstddef>
#include <string_view>

// The bytes of the input, one at a time, from a file descriptor (read in
// chunks) or from text in memory.

inline constexpr int END_OF_INPUT = -1;
inline constexpr int READ_ERROR = -2;

class byte_source {
public:
    explicit byte_source(int fd) : fd_(fd) {}
    byte_source(const char* text, std::size_t length)
        : data_(reinterpret_cast<const unsigned char*>(text)), length_(length) {}
    byte_source(const byte_source&) = delete;
    byte_source& operator=(const byte_source&) = delete;

    // The next byte (0..255) without taking it, END_OF_INPUT, or READ_ERROR
    // once a read has failed (read_errno() says why). After either, nothing
    // more is read.
    int peek() {
        if (position_ == length_ && !refill()) {
            return read_errno_ != 0 ? READ_ERROR : END_OF_INPUT;
        }
        return data_[position_];
    }
    void skip() { ++position_; }

    int read_errno() const { return read_errno_; }

    // The bytes already read and not yet taken, without reading more.
    std::string_view buffered() const {
        return {reinterpret_cast<const char*>(data_) + position_, length_ - position_};
    }

    // Whether the descriptor is a regular file, whose offset can be set.
    bool regular_file() const;
    // Gives back what was read ahead of the current byte, so that a regular
    // file's offset rests just after the last byte taken.
    void return_unused();

private:
    // Bytes taken from the descriptor per read call.
    static constexpr std::size_t CHUNK_SIZE = 4096;

    bool refill();

    int fd_ = -1;  // -1 for text in memory
    const unsigned char* data_ = nullptr;
    std::size_t length_ = 0;
    std::size_t position_ = 0;
    int read_errno_ = 0;
    bool exhausted_ = false;  // end of input or a read error seen
    unsigned char chunk_[CHUNK_SIZE];
};
