#include "contour_program.h"

#include "contour_file.h"
#include "diagnostic.h"
#include "error_lines.h"
#include "input_reader.h"
#include "ring_walk.h"

int run_contour_program(const program_streams& streams) {
    const input_result read = read_run_input(streams.input_fd);
    if (read.status != input_status::ok) {
        report_problem(streams.diagnostic_fd, "%s", read.message);
        return read.status == input_status::bad_input ? EXIT_STATUS_BAD_INPUT
                                                      : EXIT_STATUS_IO_FAILURE;
    }

    contour_file contour(streams.diagnostic_fd);
    if (!contour.open(streams.output_fd)) {
        return EXIT_STATUS_IO_FAILURE;
    }
    error_lines errors(streams.output_fd, streams.diagnostic_fd);

    walk_rings(read.input, contour, errors);

    // Both are finished even when the first fails, so that nothing already
    // computed is held back.
    const bool contour_ok = contour.finish();
    const bool errors_ok = errors.finish();
    return contour_ok && errors_ok ? EXIT_STATUS_OK : EXIT_STATUS_IO_FAILURE;
}
