#pragma once

#include <cstddef>

// Bytes gathered before a write call: large enough that a run of 4.8 MB
// needs under a hundred writes.
inline constexpr std::size_t CHANNEL_BUFFER_SIZE = 1 << 16;

// A buffered writer over a file descriptor. After the first failed write it
// keeps the error and drops everything else given to it.
struct output_channel {
    int fd;
    // Regular files are emptied just before their first write, so a file
    // that is never written keeps its content and one that is written holds
    // only this run's lines.
    bool empty_before_first_write;
    bool written;
    bool failed;
    int error_number;
    std::size_t used;
    char buffer[CHANNEL_BUFFER_SIZE];
};

void channel_init(output_channel& channel, int fd, bool empty_before_first_write);

// Returns where at least `needed` bytes (at most CHANNEL_BUFFER_SIZE) may be
// placed, writing out what is buffered when room is short.
char* channel_space(output_channel& channel, std::size_t needed);

// Marks the bytes up to `end`, placed from channel_space, as ready.
void channel_commit(output_channel& channel, const char* end);

// Writes out everything buffered. False once any write has failed.
bool channel_flush(output_channel& channel);
