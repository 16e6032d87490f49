#pragma once

#include <cstddef>

// The one write loop of every command: all `length` bytes to the
// descriptor, going on after short writes and interrupted calls.
struct write_outcome {
    std::size_t written;  // bytes the descriptor took
    int error_number;     // 0 when all were written; EIO for a write that took nothing
};

write_outcome write_all(int fd, const char* data, std::size_t length);
