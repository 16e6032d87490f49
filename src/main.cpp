#include <unistd.h>

#include "contour_program.h"
#include "whole_lines_on_signal.h"

// Reads a centre point and a distance step from standard input and writes
// the distance contours around it to dist-strike-contour.txt. Arguments
// are ignored.
int main() {
    // Every signal that ends the run leaves the contour file ending in a
    // whole line; a closed pipe on standard output, or a file size limit
    // reached part way through the contour file, shows up as a failed
    // write, reported with a non-zero exit.
    install_whole_line_handlers();
    return run_contour_program({STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO});
}
