#pragma once

#include <string>
#include <string_view>

// One-line diagnostics of the companion commands: "PROGRAM: MESSAGE" on
// standard error in a single write. Control characters in the message (a
// file name may hold a newline) are written as \xHH, so it stays one line.
void report_line(const char* program, std::string_view message);

[[noreturn]] void report_and_exit(const char* program, std::string_view message, int status);

// Writes all of text to the descriptor. False when a write failed.
bool write_all(int fd, std::string_view text);
