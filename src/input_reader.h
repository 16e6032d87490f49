#pragma once

#include <cstddef>

#include "input_result.h"

// Reads centre longitude, centre latitude and distance step from the file
// descriptor. Values are separated by blanks, tabs, carriage returns, line
// ends, or one comma with or without blanks. The rest of the third value's
// line is ignored and nothing after it is read: when the descriptor is a
// regular file its offset is left just after that line's newline (or at its
// end), so the next reader starts on the following line; other input is
// read no further than needed to reach the third value.
input_result read_run_input(int fd);

// The same rules applied to text held in memory (the text ends the input).
input_result parse_run_input(const char* text, std::size_t length);
