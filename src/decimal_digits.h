#pragma once

#include <cstdint>
#include <cstring>

// A positive single rounded to 9 significant decimal digits:
// significand x 10^(exponent - 8), with significand in [1e8, 1e9).
struct decimal_digits {
    std::uint32_t significand;
    int exponent;  // decimal exponent of the leading digit
};

// Rounds a positive, finite, nonzero single to 9 significant digits,
// correctly (the exact binary value, ties to even).
decimal_digits round_to_nine_digits(float magnitude);

// "00" "01" ... "99": digit pairs, so a significand is spelled with four
// divisions by 100 instead of eight by 10.
inline constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The 9 digit characters of a significand below 1e9 (leading zeros
// included), left to right, no terminating zero. The significand times
// ceil(2^57 / 10^8) holds significand / 10^8 as a fixed-point number with
// 57 fraction bits: its whole part is the first digit, and each
// multiplication of the fraction by 100 brings up the next two. The
// rounded-up scale adds less than 1e9 / 2^57 = 6.9e-9 to a value that is a
// whole number of 10^-8, so no digit is ever carried wrong (the range
// [1e8, 1e9) also checked one by one); bench/real_item_exhaustive_check
// compares whole items with the library.
inline void spell_digits(std::uint32_t significand, char* digits) {
    constexpr int FRACTION_BITS = 57;
    constexpr std::uint64_t FRACTION_MASK = (std::uint64_t{1} << FRACTION_BITS) - 1;
    constexpr std::uint64_t SCALE = 1441151881;  // ceil(2^57 / 10^8)
    std::uint64_t fixed = significand * SCALE;
    digits[0] = static_cast<char>('0' + (fixed >> FRACTION_BITS));
    const auto next_pair = [&fixed](char* pair) {
        fixed = (fixed & FRACTION_MASK) * 100;
        std::memcpy(pair, DIGIT_PAIRS + 2 * (fixed >> FRACTION_BITS), 2);
    };
    next_pair(digits + 1);
    next_pair(digits + 3);
    next_pair(digits + 5);
    next_pair(digits + 7);
}
