#pragma once

#include <cstddef>
#include <cstdint>

// The shortest decimal text of a single that reads back as the same single,
// as std::to_chars gives it, computed with exact 64-bit integer arithmetic
// for the magnitudes the commands write nearly always (coordinates in
// degrees) and by the standard library for the rest.

// A positive decimal: digits x 10^exponent, digits without trailing zeros.
struct shortest_decimal {
    std::uint64_t digits;
    int exponent;
};

// The shortest digits of a positive single in [2^-10, 2^23), the one
// nearest the single when several of that length read back to it. False,
// and nothing set, for any other value (or where the interval of decimals
// that read back to it is too narrow to tell at once: then the library
// decides).
bool shortest_decimal_of(float magnitude, shortest_decimal& decimal);

// Most characters write_shortest_real writes.
inline constexpr std::size_t SHORTEST_TEXT_SIZE = 32;

// The text std::to_chars(out, out + SHORTEST_TEXT_SIZE, value) writes
// (fixed or exponent form, whichever is shorter, fixed on a tie); returns
// its length.
std::size_t write_shortest_real(char* out, float value);
