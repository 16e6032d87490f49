#include "decimal_digits.h"

#include <array>
#include <charconv>
#include <cstddef>
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

// The values m x 2^(b-23), m in [2^23, 2^24), of one binary exponent b have
// the decimal exponent floor(b log10 2) (1233 / 4096 ~ log10 2, exact for
// these b), or one more from the significand m that reaches the next power
// of ten, 10^(floor + 1), on.
struct decimal_exponent_row {
    int decimal_exponent;
    std::uint64_t next_power_from;  // the least m reaching the next power
};

constexpr decimal_exponent_row decimal_exponent_row_of(int b) {
    const int decimal_exponent = (b * 1233) >> 12;
    // The least m with m x 2^(b-23) >= 10^(decimal_exponent + 1), that is
    // m >= numerator / denominator with both sides made whole.
    const int next_power = decimal_exponent + 1;
    const std::uint64_t numerator = POWERS_OF_TEN[next_power > 0 ? next_power : 0]
                                    << (b < 23 ? 23 - b : 0);
    const std::uint64_t denominator = POWERS_OF_TEN[next_power < 0 ? -next_power : 0]
                                      << (b > 23 ? b - 23 : 0);
    return {decimal_exponent, (numerator + denominator - 1) / denominator};
}

constexpr int FAST_RANGE_SIZE = FAST_MAX_BINARY_EXPONENT - FAST_MIN_BINARY_EXPONENT + 1;

constexpr std::array<decimal_exponent_row, FAST_RANGE_SIZE> make_decimal_exponent_rows() {
    std::array<decimal_exponent_row, FAST_RANGE_SIZE> rows{};
    for (int i = 0; i < FAST_RANGE_SIZE; ++i) {
        rows[static_cast<std::size_t>(i)] =
            decimal_exponent_row_of(FAST_MIN_BINARY_EXPONENT + i);
    }
    return rows;
}

constexpr std::array<decimal_exponent_row, FAST_RANGE_SIZE> DECIMAL_EXPONENT_ROWS =
    make_decimal_exponent_rows();

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

    const decimal_exponent_row& row =
        DECIMAL_EXPONENT_ROWS[static_cast<std::size_t>(binary_exponent - FAST_MIN_BINARY_EXPONENT)];
    int exponent = row.decimal_exponent + (m >= row.next_power_from ? 1 : 0);
    // m x 10^(8 - exponent) x 2^e lies in [1e8, 1e9) and stays below 2^64.
    const std::uint64_t scaled = m * POWERS_OF_TEN[8 - exponent];
    std::uint64_t significand = e >= 0 ? (scaled << e) : round_scaled(scaled, -e);
    if (significand == NINE_DIGIT_LIMIT) {  // rounding carried into a tenth digit
        significand = NINE_DIGIT_FLOOR;
        ++exponent;
    }
    return {static_cast<std::uint32_t>(significand), exponent};
}
