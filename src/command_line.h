#pragma once

#include <string>
#include <string_view>

#include "export/contour_reader.h"

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

// Answers --help (with `usage`) and --version on standard output and ends
// the program; false for any other argument.
bool answer_help_or_version(const char* program, std::string_view argument, const char* usage);

// A strike step: a whole number of degrees that divides 360. Ends the
// program with one line and exit status 1 when `text` is not one.
int strike_step_or_exit(const char* program, const std::string& text);

// The whole contour file FILE ("-" for standard input). Ends the program
// with one line and exit status 1 when it cannot be read or is not whole:
// "FILE:LINE: expected ...".
contour_run contour_run_or_exit(const char* program, const std::string& file);
