#pragma once

#include <string_view>

// A decimal real as the commands read one: an optional sign, digits with an
// optional decimal point (at least one digit in all: ".5" and "5." are
// reals), an optional exponent (E or e, an optional sign, digits). Nothing
// else: no blanks, no "inf" or "nan", no hexadecimal.
bool is_decimal_real(std::string_view text);

enum class real_reading {
    read,          // the value holds the nearest single
    not_a_number,  // the text is not a decimal real
    too_large      // beyond the largest single: refused, not made infinite
};

// The single nearest to a decimal real (one correct rounding). Tiny values
// round to a subnormal or to zero as usual.
real_reading read_decimal_real(std::string_view text, float& value);
