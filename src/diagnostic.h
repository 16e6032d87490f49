#pragma once

#include <string_view>

// One-line diagnostics of every command: "PROGRAM: MESSAGE" and a newline,
// in a single write. Control characters in the message (a file name may
// hold a newline) are shown as \xHH, so that it stays one line. Failures to
// write it are ignored: there is nowhere left to report them, and the exit
// status still tells.
void report_line(int fd, std::string_view program, std::string_view message);

// The same with the message composed printf style.
void report_problem(int fd, const char* program, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
