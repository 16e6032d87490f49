#pragma once

#include <cstdint>

// A positive single rounded to 9 significant decimal digits:
// significand x 10^(exponent - 8), with significand in [1e8, 1e9).
struct decimal_digits {
    std::uint32_t significand;
    int exponent;  // decimal exponent of the leading digit
};

// Rounds a positive, finite, nonzero single to 9 significant digits,
// correctly (the exact binary value, ties to even).
decimal_digits round_to_nine_digits(float magnitude);

// The 9 digit characters of a significand in [1e8, 1e9), left to right
// (no terminating zero).
void spell_digits(std::uint32_t significand, char* digits);
