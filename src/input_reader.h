#pragma once

#include <cstddef>
#include <cstdint>

// The three values a run starts from.
struct run_input {
    float center_lon;        // degrees east
    float center_lat;        // degrees north
    std::int32_t dist_step;  // whole degrees between rings, never 0
};

enum class input_status {
    ok,
    bad_input,    // the text is not three valid values
    read_failure  // standard input could not be read
};

// Longest diagnostic the reader composes, including its terminating NUL.
inline constexpr std::size_t INPUT_MESSAGE_SIZE = 256;

struct input_result {
    input_status status;
    run_input input;
    // What is wrong, naming the item, without the program name; empty on ok.
    char message[INPUT_MESSAGE_SIZE];
};

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
