#include "diagnostic.h"

#include <cstdarg>
#include <cstdio>
#include <unistd.h>

void report_problem(int fd, const char* format, ...) {
    char line[512];
    int length = std::snprintf(line, sizeof line, "dist-strike-contour: ");
    va_list args;
    va_start(args, format);
    const int message_length =
        std::vsnprintf(line + length, sizeof line - static_cast<std::size_t>(length) - 1,
                       format, args);
    va_end(args);
    if (message_length > 0) {
        length += message_length;
    }
    if (length > static_cast<int>(sizeof line) - 2) {
        length = static_cast<int>(sizeof line) - 2;  // message was cut short
    }
    line[length++] = '\n';
    const ssize_t ignored = ::write(fd, line, static_cast<std::size_t>(length));
    (void)ignored;
}
