#include "run_file/fixed_item_reader.h"

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

constexpr std::uint64_t POWERS_OF_TEN[] = {1,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};

// The digits from `start` to the end of the number, the first one not 0,
// with at most one point among them (its place in `point`, 0 for none):
// their value as an integer. False for any other text.
bool read_digits(const char* number, std::size_t start, std::uint64_t& digits,
                 std::size_t& point) {
    if (number[start] < '1' || number[start] > '9') {
        return false;
    }
    point = 0;
    digits = 0;
    for (std::size_t i = start; i < NUMBER_END; ++i) {
        const char c = number[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        } else if (c == '.' && point == 0) {
            point = i;
        } else {
            return false;
        }
    }
    return true;
}

// Whether the single's 9 significant digits are `digits` x 10^-decimals,
// with digits in [10^8, 10^9): whether its exact value M x 2^E lies
// strictly within half a unit of the ninth digit of it. A tie, which the
// writer rounds to even, is left to the caller.
bool rounds_to(float single, std::uint64_t digits, int decimals) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &single, sizeof bits);
    const std::uint64_t m = (bits & 0x7FFFFFu) | 0x800000u;
    const int e = static_cast<int>(bits >> 23) - 150;
    const std::uint64_t scale = POWERS_OF_TEN[decimals];
    if (e >= 0) {
        // A whole number (at least 2^23): exactly the digits or not.
        return (m << e) * scale == digits;
    }
    // |M x 10^decimals - digits x 2^-E| < 2^(-E-1), all below 2^59 for
    // singles from 0.1 (E >= -27) up.
    const int shift = -e;
    if (shift > 28) {
        return false;
    }
    const std::uint64_t exact = m * scale;
    const std::uint64_t written = digits << shift;
    const std::uint64_t difference = exact > written ? exact - written : written - exact;
    return difference < (std::uint64_t{1} << (shift - 1));
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
    std::size_t point = 0;
    if (!read_digits(number, start, digits, point) || (point == 0) != fraction) {
        return false;
    }
    const int decimals = fraction ? SIGNIFICANT_DIGITS : static_cast<int>(NUMBER_END - 1 - point);
    const double magnitude =
        static_cast<double>(digits) / static_cast<double>(POWERS_OF_TEN[decimals]);
    // The single nearest the number, or (double rounding) its neighbour;
    // either way kept only when its own 9 digits are these.
    const auto single = static_cast<float>(magnitude);
    if (!rounds_to(single, digits, decimals)) {
        return false;
    }
    value = negative ? -single : single;
    return true;
}
