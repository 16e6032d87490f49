#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "run_file/contour_run.h"

// A contour file read back, accepted only when it is whole: every ring of
// its run, each of 361 records in azimuth order and closed by its
// separator, every record exactly as the program writes it. Reading stops
// at the first line that a whole run could not have there, and never holds
// more than one run's rings.

class run_builder;

// What tells which positions of the run were resolved.
enum class resolution_source {
    // The records alone: each record of a ring beyond the centre either
    // repeats the record before it (an unresolved position repeats the
    // held point), or holds the point the solver finds at its position
    // (solved_points), the one the run wrote there. A point moved off its
    // place, copied from another azimuth or ring, or swapped with another,
    // is refused with its line.
    records,
    // The run's saved error lines, read afterwards (saved_errors), which
    // check every record against what they say.
    error_lines
};

// Takes the file's bytes in pieces, in order, and builds the run.
class contour_reader {
public:
    contour_reader(contour_run& run, resolution_source source);
    ~contour_reader();
    contour_reader(const contour_reader&) = delete;
    contour_reader& operator=(const contour_reader&) = delete;

    // The next bytes of the file. False from the first line that cannot
    // come where it is.
    bool take(std::string_view bytes);
    // After the last bytes. False when the run is not whole.
    bool finish();
    // "NAME:LINE: expected ...", after take() or finish() said false.
    std::string problem(const std::string& name) const;

private:
    std::unique_ptr<run_builder> builder_;
    std::string partial_;     // a line not yet ended by its newline
    std::size_t line_ = 1;    // number of the line being read, from 1
    std::string expected_;    // what the first wrong line should have been
};

// The whole file held in memory; `name` is the file's name for the problem.
bool read_contour_text(std::string_view text, const std::string& name, contour_run& run,
                       std::string& problem,
                       resolution_source source = resolution_source::records);
