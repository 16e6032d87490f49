#pragma once

#include <string>

#include "file_identity.h"
#include "run_file/contour_run.h"

// A contour file read whole under a shared lock, held from before the first
// byte to after the last: a run writing the file holds it exclusively, so
// the file is never read while a run is part way through it, and a run that
// starts meanwhile waits until the reading is done. When a run holds the
// lock the reader says so in one warning line and waits; a signal that ends
// the process ends the wait. Files that take no lock are read without one.

struct run_file {
    std::string name;        // as messages give it: the path, or "standard input"
    file_identity identity;  // the file read, for the outputs to keep clear of it
    file_identity errors_identity;  // the file of error lines read, if any
    contour_run run;
    // Standard error is the contour file or the error lines: nothing was
    // said there (it would have landed in the file), and the command ends
    // with a failure.
    bool error_stream_is_file = false;
};

// Reads FILE ("-" for standard input) and, when ERRORS is not "", the
// run's saved error lines with it (saved_errors: a stream is read whole
// before the lock is waited for). Without error lines the records alone
// tell which positions were resolved (resolution_source::records). False,
// with one line in `problem`, when either cannot be opened or read ("cannot
// open FILE: ..."), when FILE is not a whole contour file ("FILE:LINE:
// expected ..."), when the error lines are not its run's, when both are
// standard input, or when the diagnostic descriptor is the contour file
// itself (error_stream_is_file). The warning of a wait goes to the
// diagnostic descriptor under the program's name.
bool read_run_file(const std::string& file, const std::string& errors, const char* program,
                   int diagnostic_fd, run_file& result, std::string& problem);

// The exit status that ends a command whose contour file read_run_file did
// not take, after one line "PROGRAM: PROBLEM" on standard error; nothing is
// said when standard error is the file itself, where the line would land.
int refuse_run_file(const char* program, const run_file& file, const std::string& problem);
