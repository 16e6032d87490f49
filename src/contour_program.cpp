#include "contour_program.h"

#include <cmath>

#include "contour/destination_point.h"
#include "contour_file.h"
#include "diagnostic.h"
#include "error_lines.h"
#include "exit_status.h"
#include "input_reader.h"
#include "ring_walk.h"
#include "run_grid.h"

namespace {

void warn_near_pole(const run_input& input, int diagnostic_fd) {
    if (centre_near_pole(input.center_lat)) {
        report_problem(diagnostic_fd, CONTOUR_PROGRAM,
                       "warning: the centre lies within %.1f degree of a pole, where azimuths "
                       "of written points can be more than 1 degree off",
                       static_cast<double>(POLAR_DISTANCE));
    }
}

// A latitude beyond +-90 degrees is a point of the sphere all the same (the
// formulas take it through its sine and cosine), but it is far more often a
// longitude and latitude given the other way round.
void warn_beyond_pole(const run_input& input, int diagnostic_fd) {
    if (std::fabs(input.center_lat) > 90.0f) {
        report_problem(diagnostic_fd, CONTOUR_PROGRAM,
                       "warning: latitude %g lies beyond +-90 degrees (longitude and latitude "
                       "swapped?)",
                       static_cast<double>(input.center_lat));
    }
}

// Numbers after the step on its line are ignored: far more often than a
// comment, they are what a decimal comma left over ("142,37 38,30 10" is
// read as 142, 37 and 38).
void warn_ignored_numbers(const input_result& read, int diagnostic_fd) {
    if (read.ignored_numbers > 0) {
        report_problem(diagnostic_fd, CONTOUR_PROGRAM,
                       "warning: %d more number%s after the step on its line %s ignored; the "
                       "decimal mark is a point, and a comma separates values",
                       read.ignored_numbers, read.ignored_numbers == 1 ? "" : "s",
                       read.ignored_numbers == 1 ? "was" : "were");
    }
}

}  // namespace

int run_contour_program(const program_streams& streams) {
    const input_result read = read_run_input(streams.input_fd);
    if (read.status != input_status::ok) {
        report_line(streams.diagnostic_fd, CONTOUR_PROGRAM, read.message);
        return read.status == input_status::bad_input ? EXIT_STATUS_REFUSED
                                                      : EXIT_STATUS_FAILED;
    }

    contour_file contour(streams.diagnostic_fd);
    if (!contour.open(streams.output_fd)) {
        return EXIT_STATUS_FAILED;
    }
    error_lines errors(streams.output_fd, streams.diagnostic_fd);
    warn_ignored_numbers(read, streams.diagnostic_fd);
    warn_beyond_pole(read.input, streams.diagnostic_fd);
    warn_near_pole(read.input, streams.diagnostic_fd);

    walk_rings(read.input, contour, errors);

    // Both are finished even when the first fails, so that nothing already
    // computed is held back.
    const bool contour_ok = contour.finish();
    const bool errors_ok = errors.finish();
    return contour_ok && errors_ok ? EXIT_STATUS_OK : EXIT_STATUS_FAILED;
}
