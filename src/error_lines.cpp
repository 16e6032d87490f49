#include "error_lines.h"

#include <cstring>

#include "diagnostic.h"
#include "run_grid.h"

bool error_lines::finish() {
    if (channel_.flush()) {
        return true;
    }
    report_problem(diagnostic_fd_, CONTOUR_PROGRAM, "cannot write standard output: %s",
                   std::strerror(channel_.error_number()));
    return false;
}
