#include "diagnostic.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "write_all.h"

void report_line(int fd, std::string_view program, std::string_view message) {
    std::string line(program);
    line += ": ";
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            line += escaped;
        } else {
            line += c;
        }
    }
    line += '\n';
    write_all(fd, line.data(), line.size());
}

void report_problem(int fd, const char* program, const char* format, ...) {
    char message[512];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    report_line(fd, program, length > 0 ? message : "");
}
