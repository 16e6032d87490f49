#include "run_file/fixed_item_reader.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "line_layout.h"

namespace {

// The number ends at character 12 of the item; 4 blanks follow.
constexpr std::size_t NUMBER_END = 12;
// A number of 1 to 9 digits before the point starts at character 2 (9
// digits and the point); "0." and 9 decimals starts at character 1.
constexpr std::size_t WHOLE_START = 2;
constexpr std::size_t FRACTION_START = 1;
constexpr int SIGNIFICANT_DIGITS = 9;

constexpr double DOUBLE_POWERS_OF_TEN[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// Characters are taken 8 at a time as 64-bit integers, the first
// character in the lowest byte.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first character is the lowest byte");
constexpr std::uint64_t EVERY_BYTE = 0x0101010101010101ULL;

std::uint64_t eight_chars(const char* text) {
    std::uint64_t chars = 0;
    std::memcpy(&chars, text, sizeof chars);
    return chars;
}

bool all_digits(std::uint64_t chars) {
    // Each byte in '0'..'9': its high half is 3, and still 3 after adding 6.
    return (chars & (0xF0 * EVERY_BYTE)) == 0x30 * EVERY_BYTE &&
           ((chars + 0x06 * EVERY_BYTE) & (0xF0 * EVERY_BYTE)) == 0x30 * EVERY_BYTE;
}

// The value of 8 digit characters, the first the most significant: pairs,
// then groups of 4, then the 8, each step one multiplication per lane.
std::uint64_t eight_digits_value(std::uint64_t chars) {
    std::uint64_t value = chars - '0' * EVERY_BYTE;
    value = (value * 10) + (value >> 8);
    value = (((value & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
             (((value >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
            32;
    return value;
}

// Where the lowest byte equal to c lies among the 8, or 8 when none does.
int first_byte_equal(std::uint64_t chars, char c) {
    const std::uint64_t x = chars ^ (static_cast<std::uint64_t>(static_cast<unsigned char>(c)) *
                                     EVERY_BYTE);
    const std::uint64_t zeros = (x - EVERY_BYTE) & ~x & (0x80 * EVERY_BYTE);
    return zeros == 0 ? 8 : __builtin_ctzll(zeros) / 8;
}

// The 9 digits starting at `start`, the first one not 0, with a point
// among them or not (`with_point`): their value as an integer and, for a
// point, the count of digits before it. False for any other text.
bool read_nine_digits(const char* number, std::size_t start, bool with_point,
                      std::uint64_t& digits, int& whole) {
    if (number[start] < '1' || number[start] > '9') {
        return false;
    }
    std::uint64_t first_eight = eight_chars(number + start);
    char ninth = number[start + 8];
    whole = SIGNIFICANT_DIGITS;
    if (with_point) {
        // 10 characters: the point is taken out of them.
        const char tenth = number[start + 9];
        whole = first_byte_equal(first_eight, '.');
        if (whole < 8) {
            const std::uint64_t before = (std::uint64_t{1} << (8 * whole)) - 1;
            first_eight = (first_eight & before) | ((first_eight >> 8) & ~before) |
                          (static_cast<std::uint64_t>(static_cast<unsigned char>(ninth)) << 56);
            ninth = tenth;
        } else if (ninth == '.') {
            ninth = tenth;
        } else if (tenth == '.') {
            whole = SIGNIFICANT_DIGITS;
        } else {
            return false;
        }
    }
    if (!all_digits(first_eight) || ninth < '0' || ninth > '9') {
        return false;
    }
    digits = eight_digits_value(first_eight) * 10 + static_cast<std::uint64_t>(ninth - '0');
    return true;
}

// Whether the single's 9 significant digits are `digits` x 10^-decimals,
// with digits in [10^8, 10^9): whether single x 10^decimals lies strictly
// within half a unit of `digits`. In double that product is exact: with
// single = M x 2^E, M below 2^24, and 10^decimals = 5^decimals x
// 2^decimals, 5^9 below 2^21, it is M 5^decimals x 2^(E + decimals), 45
// significant bits at most. The difference from digits is exact too when
// it is below 1 (Sterbenz), and a larger one stays at least 1. A tie,
// which the writer rounds to even, is left to the caller.
bool rounds_to(float single, std::uint64_t digits, int decimals) {
    const double scaled = static_cast<double>(single) * DOUBLE_POWERS_OF_TEN[decimals];
    return std::fabs(scaled - static_cast<double>(digits)) < 0.5;
}

}  // namespace

bool read_fixed_item(std::string_view field, float& value) {
    if (field.size() != REAL_WIDTH ||
        std::memcmp(field.data() + NUMBER_END, "    ", REAL_WIDTH - NUMBER_END) != 0) {
        return false;
    }
    const char* number = field.data();
    const bool fraction = number[1] == '0' && number[2] == '.';
    const std::size_t start = fraction ? FRACTION_START + 2 : WHOLE_START;
    const std::size_t sign = fraction ? FRACTION_START - 1 : WHOLE_START - 1;
    for (std::size_t i = 0; i < sign; ++i) {
        if (number[i] != ' ') {
            return false;
        }
    }
    const bool negative = number[sign] == '-';
    if (!negative && number[sign] != ' ') {
        return false;
    }
    // "0." and 9 decimals, or 9 digits with the point among them.
    std::uint64_t digits = 0;
    int whole = 0;
    if (!read_nine_digits(number, start, !fraction, digits, whole)) {
        return false;
    }
    const int decimals = fraction ? SIGNIFICANT_DIGITS : SIGNIFICANT_DIGITS - whole;
    const double magnitude =
        static_cast<double>(digits) / DOUBLE_POWERS_OF_TEN[decimals];
    // The single nearest the number, or (double rounding) its neighbour;
    // either way kept only when its own 9 digits are these.
    const auto single = static_cast<float>(magnitude);
    if (!rounds_to(single, digits, decimals)) {
        return false;
    }
    value = negative ? -single : single;
    return true;
}
