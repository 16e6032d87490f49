#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "byte_source.h"

// The free-format input as tokens: values, and the separators between them
// (blanks, tabs, carriage returns, line ends, at most one comma).

// Longest value accepted, in characters; anything longer is refused without
// reading the rest of it.
inline constexpr std::size_t MAX_VALUE_LENGTH = 1024;

// A value as read: its characters, or a note that it was too long.
struct value_text {
    char chars[MAX_VALUE_LENGTH + 1];
    std::size_t length;
    bool too_long;
};

// What comes after the separators before a value.
enum class separator_end {
    value,         // a value starts here
    second_comma,  // a comma where a value belongs: the value is empty
    slash,         // "/" ends the list before the value
    end_of_input,
    read_error
};

// Skips blanks and, when comma_allowed, at most one comma.
separator_end skip_separators(byte_source& source, bool comma_allowed);

// Takes the characters of one value, up to a separator, a "/" or the end.
void read_value_text(byte_source& source, value_text& value);

// Passes over the rest of the line, its newline included; keeps its first
// characters (up to MAX_VALUE_LENGTH) in `rest` when given.
void skip_rest_of_line(byte_source& source, std::string* rest = nullptr);

// How many numbers (decimal reals) the text starts with, separated as
// values are: the numbers a line holds after its third value.
int leading_numbers(std::string_view text);
