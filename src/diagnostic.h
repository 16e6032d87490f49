#pragma once

// Writes one line "dist-strike-contour: <message>" to the descriptor in a
// single write. Failures to write it are ignored: there is nowhere left to
// report them, and the exit status still tells.
void report_problem(int fd, const char* format, ...) __attribute__((format(printf, 2, 3)));
