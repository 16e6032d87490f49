#pragma once

#include <string>

#include "file_identity.h"
#include "run_file/contour_run.h"

// The run's standard output, saved: one error line per unresolved position
// (" error D A", the ring distance and azimuth as reals), in the order the
// run visited them. Read with the contour file, it says exactly which
// positions were resolved, where the records alone can only judge.

// Reads FILE and marks the unresolved positions in `run`. False, with one
// line in `problem`, when it cannot be read, when a line is not an error
// line the run could have written there ("FILE:LINE: expected ..."), or
// when the lines are not this run's: a position they call resolved whose
// distance check is not its ring's, or one they call unresolved whose
// record does not repeat the point before it. `identity` is the file read,
// for the outputs to keep clear of it.
bool read_saved_errors(const std::string& file, contour_run& run, file_identity& identity,
                       std::string& problem);
