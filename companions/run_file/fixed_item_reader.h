#pragma once

#include <string_view>

// A real item in the fixed form the record writer gives most values
// ("   -33.2500000    ", " 0.100000001    "), read with exact integer
// arithmetic.

// True, with the single in `value`, only when the 16 characters of `field`
// are exactly the item the record writer makes for that single: its 9
// significant digits, point, sign and blanks. False for every other text,
// including zero, the exponent form, the special values and ties at the
// ninth digit, which the caller then reads the long way.
bool read_fixed_item(std::string_view field, float& value);
