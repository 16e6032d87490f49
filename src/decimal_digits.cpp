#include "decimal_digits.h"

#include <charconv>
#include <cstring>

namespace {

constexpr std::uint32_t NINE_DIGIT_FLOOR = 100000000;  // 1e8
constexpr std::uint64_t NINE_DIGIT_LIMIT = 1000000000;  // 1e9

constexpr std::uint64_t POWERS_OF_TEN[] = {1ULL,
                                           10ULL,
                                           100ULL,
                                           1000ULL,
                                           10000ULL,
                                           100000ULL,
                                           1000000ULL,
                                           10000000ULL,
                                           100000000ULL,
                                           1000000000ULL,
                                           10000000000ULL,
                                           100000000000ULL,
                                           1000000000000ULL};

// Binary exponents b (value in [2^b, 2^(b+1))) handled with 64-bit integers.
// Below 2^-10 the scaled significand m x 10^s would pass 2^64; from 2^29 up
// the value can reach 1e9 and would need division instead of scaling. The
// range holds every longitude, latitude, distance and azimuth of a run.
constexpr int FAST_MIN_BINARY_EXPONENT = -10;
constexpr int FAST_MAX_BINARY_EXPONENT = 28;

// Any single: 9 digits from the standard library's correctly rounded
// scientific form "d.dddddddde+xx".
decimal_digits round_with_library(float magnitude) {
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 8);
    decimal_digits rounded{static_cast<std::uint32_t>(text[0] - '0'), 0};
    for (int i = 2; i < 10; ++i) {
        rounded.significand = rounded.significand * 10 + static_cast<std::uint32_t>(text[i] - '0');
    }
    const bool negative_exponent = text[11] == '-';
    int exponent = 0;
    for (const char* p = text + 12; p < result.ptr; ++p) {
        exponent = exponent * 10 + (*p - '0');
    }
    rounded.exponent = negative_exponent ? -exponent : exponent;
    return rounded;
}

// Exact rounding of m x 2^e x 10^s, a value in [1e8, 1e9) before rounding,
// to an integer, ties to even. Here e <= 0 and m x 10^s < 2^64.
std::uint64_t round_scaled(std::uint64_t scaled_m, int shift) {
    if (shift == 0) {
        return scaled_m;
    }
    const std::uint64_t quotient = scaled_m >> shift;
    const std::uint64_t remainder = scaled_m & ((1ULL << shift) - 1);
    const std::uint64_t half = 1ULL << (shift - 1);
    const bool round_up = remainder > half || (remainder == half && (quotient & 1) != 0);
    return quotient + (round_up ? 1 : 0);
}

}  // namespace

decimal_digits round_to_nine_digits(float magnitude) {
    std::uint32_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased_exponent = static_cast<int>(bits >> 23);
    const int binary_exponent = biased_exponent - 127;
    if (biased_exponent == 0 || binary_exponent < FAST_MIN_BINARY_EXPONENT ||
        binary_exponent > FAST_MAX_BINARY_EXPONENT) {
        return round_with_library(magnitude);
    }
    // magnitude = m x 2^e exactly, m a 24-bit integer.
    const std::uint64_t m = (bits & 0x7FFFFFu) | 0x800000u;
    const int e = binary_exponent - 23;  // -33..5

    // Decimal exponent: floor(b log10 2) (1233 / 4096 ~ log10 2, exact for
    // these b), or one more when the value reaches the next power of ten.
    int exponent = (binary_exponent * 1233) >> 12;
    int scale = 8 - exponent;  // 0..12: m x 10^scale stays below 2^64
    std::uint64_t scaled = m * POWERS_OF_TEN[scale];
    // One decimal place fewer when m x 2^e x 10^scale >= 1e9, compared exactly.
    const bool reaches_next_power =
        e >= 0 ? (scaled << e) >= NINE_DIGIT_LIMIT : scaled >= (NINE_DIGIT_LIMIT << -e);
    if (reaches_next_power) {
        ++exponent;
        --scale;
        scaled = m * POWERS_OF_TEN[scale];
    }
    std::uint64_t significand = e >= 0 ? (scaled << e) : round_scaled(scaled, -e);
    if (significand == NINE_DIGIT_LIMIT) {  // rounding carried into a tenth digit
        significand = NINE_DIGIT_FLOOR;
        ++exponent;
    }
    return {static_cast<std::uint32_t>(significand), exponent};
}
