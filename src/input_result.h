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
    // Numbers the third value's line holds after it, ignored ("120,5 -33,25
    // 10" reads 120, 5 and -33, and leaves 25 and 10): a decimal comma.
    int ignored_numbers;
};
