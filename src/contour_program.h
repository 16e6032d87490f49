#pragma once

// The descriptors a run uses besides the contour file.
struct program_streams {
    int input_fd;
    int output_fd;      // error lines for unresolved positions
    int diagnostic_fd;  // one-line diagnostics
};

// The whole run: read the input, open the contour file, walk the rings,
// close. Returns the exit status (exit_status.h): refused input touches no
// file; unreadable input or an output that cannot be written fails the run.
int run_contour_program(const program_streams& streams);
