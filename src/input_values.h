#pragma once

#include "input_result.h"
#include "input_tokens.h"

// The three values of the input, each converted from its text with the
// rules of its kind, and the messages that refuse one.

// The number of values: centre longitude, centre latitude, distance step.
inline constexpr int VALUE_COUNT = 3;

// The value's name for messages, e.g. "centre latitude".
const char* value_name(int index);

// Converts the text of the value with this index into result.input. False,
// with result's status and message set, when the text is refused.
bool convert_value(input_result& result, int index, const value_text& value);

// Sets result's status and its message, printf style.
void set_message(input_result& result, input_status status, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
