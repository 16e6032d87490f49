#pragma once

#include <string>
#include <string_view>

// What the companion commands share on their command lines.

// One-line diagnostics: "PROGRAM: MESSAGE" on
// standard error in a single write. Control characters in the message (a
// file name may hold a newline) are written as \xHH, so it stays one line.
void report_line(const char* program, std::string_view message);

[[noreturn]] void report_and_exit(const char* program, std::string_view message, int status);

// Writes all of text to the descriptor. False when a write failed.
bool write_all(int fd, std::string_view text);

// Reads the option `name` at argv[i], given as "--name VALUE" or
// "--name=VALUE", and moves i past its value. False when argv[i] is another
// argument; ends the program with one line when the value is missing.
bool option_value(const char* program, int argc, char** argv, int& i, std::string_view name,
                  std::string& value);
