#pragma once

// Exit statuses of a run.
inline constexpr int EXIT_STATUS_OK = 0;
inline constexpr int EXIT_STATUS_BAD_INPUT = 1;  // input refused, no file touched
inline constexpr int EXIT_STATUS_IO_FAILURE = 2;  // input, contour file or output unusable

// The descriptors a run uses besides the contour file.
struct program_streams {
    int input_fd;
    int output_fd;      // error lines for unresolved positions
    int diagnostic_fd;  // one-line diagnostics
};

// The whole run: read the input, open the contour file, walk the rings,
// close. Returns the exit status.
int run_contour_program(const program_streams& streams);
