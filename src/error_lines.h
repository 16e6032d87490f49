#pragma once

#include "line_channel.h"
#include "line_layout.h"

// The error lines on standard output, one per unresolved position, in the
// order the positions are visited. Failures are reported on the diagnostic
// descriptor when the lines are finished.
class error_lines {
public:
    error_lines(int output_fd, int diagnostic_fd)
        : diagnostic_fd_(diagnostic_fd), channel_(output_fd) {}
    // Writes out what the run did not finish: no error line is lost on an
    // early return. (After finish() nothing is left to write.)
    ~error_lines() { channel_.flush(); }
    error_lines(const error_lines&) = delete;
    error_lines& operator=(const error_lines&) = delete;

    void write(const error_line& line) { channel_.write(line); }

    // Writes out what is buffered. False, reported, when a write failed.
    bool finish();

private:
    int diagnostic_fd_;
    line_channel channel_;
};
