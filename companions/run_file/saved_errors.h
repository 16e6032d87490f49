#pragma once

#include <string>

#include "file_identity.h"
#include "run_file/contour_run.h"

// The run's standard output, saved: one error line per unresolved position
// (" error D A", the ring distance and azimuth as reals), in the order the
// run visited them. Read with the contour file, it says exactly which
// positions were resolved, where the records alone can only judge.
class saved_errors {
public:
    saved_errors() = default;
    ~saved_errors();
    saved_errors(const saved_errors&) = delete;
    saved_errors& operator=(const saved_errors&) = delete;

    // Opens FILE. A stream (a pipe from the run itself, as in
    // "dist-strike-contour | COMMAND --errors /dev/stdin") is read whole at
    // once: the run holds the contour file's lock until it has written its
    // error lines, so they are read before the lock is waited for. A
    // regular file is read by apply(). False, with one line in `problem`,
    // when it cannot be opened or read.
    bool open(const std::string& file, std::string& problem);

    // Whether standard error is the file (open() refused it then).
    bool error_stream_is_input() const { return error_stream_is_input_; }
    // The file read, for the outputs to keep clear of it.
    const file_identity& identity() const { return identity_; }

    // Reads what is left and marks the unresolved positions in `run`, the
    // contour file `contour_name`. False, with one line in `problem`, when
    // it cannot be read, when a line is not an error line the run could
    // have written there ("FILE:LINE: expected ..."), or when the lines are
    // not this run's: a position they call resolved that holds no point of
    // its ring, or one they call unresolved whose record does not repeat
    // the record before it (with that record's line of the contour file).
    bool apply(contour_run& run, const std::string& contour_name, std::string& problem);

private:
    bool read_rest(std::string& problem);

    std::string name_;
    file_identity identity_;
    bool error_stream_is_input_ = false;
    int fd_ = -1;  // open until read whole
    std::string text_;
};
