#include "error_lines.h"

#include <cstring>

#include "diagnostic.h"

bool error_lines::finish() {
    if (channel_.flush()) {
        return true;
    }
    report_problem(diagnostic_fd_, "cannot write standard output: %s",
                   std::strerror(channel_.error_number()));
    return false;
}
