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

// "00" "01" ... "99": digit pairs, for small integers spelled two digits
// at a time.
inline constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The 8 digit characters of a value below 1e8, the first in the lowest
// byte of the integer returned: split into halves of 4 digits in 32-bit
// lanes, each into pairs in 16-bit lanes, each into digits in bytes.
// x / 100 is (x * 10486) >> 20 for x below 10^4 (the error, x * 2.3e-7,
// stays below 0.0023) and x / 10 is (x * 103) >> 10 for x below 100
// (x * 5.9e-4, below 0.059); neither product reaches the next lane, and
// the mask drops what the shift brings down from it.
inline std::uint64_t eight_digit_chars(std::uint32_t value) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
                  "the first character is the integer's lowest byte");
    const std::uint64_t high = value / 10000;
    const std::uint64_t halves = high | ((value - high * 10000) << 32);
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007FULL;
    const std::uint64_t pairs = hundreds | ((halves - 100 * hundreds) << 16);
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000FULL;
    const std::uint64_t digits = tens | ((pairs - 10 * tens) << 8);
    return digits + 0x3030303030303030ULL;
}

// The 9 digit characters of a significand below 1e9 (leading zeros
// included), left to right, no terminating zero: the first digit, then
// the other 8 at once. bench/real_item_exhaustive_check compares whole
// items with the library.
inline void spell_digits(std::uint32_t significand, char* digits) {
    constexpr std::uint32_t LAST_EIGHT = 100000000;  // 1e8
    const std::uint32_t first = significand / LAST_EIGHT;
    const std::uint64_t rest = eight_digit_chars(significand - first * LAST_EIGHT);
    digits[0] = static_cast<char>('0' + first);
    std::memcpy(digits + 1, &rest, sizeof rest);
}
