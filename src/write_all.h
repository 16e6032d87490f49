#pragma once

#include <cstddef>

// The one write loop of every command: all `length` bytes to the
// descriptor, going on after short writes and after calls interrupted by a
// signal, unless `stopped` (when given) says the signal asked the command
// to stop: a write blocked on a pipe nobody reads must not hold it.
struct write_outcome {
    std::size_t written;  // bytes the descriptor took
    int error_number;     // 0 when all were written; EIO for a write that took nothing
};

write_outcome write_all(int fd, const char* data, std::size_t length,
                        bool (*stopped)() = nullptr);
