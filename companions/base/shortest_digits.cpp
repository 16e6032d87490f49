#include "base/shortest_digits.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "decimal_digits.h"

namespace {

// A single in the range handled is M x 2^E with M in [2^23, 2^24) and E in
// [-33, -1]. The decimals that read back to it fill the interval from
// (4M - 2) x 2^(E-2) (4M - 1 at a power of two, where the single below is
// closer) to (4M + 2) x 2^(E-2), both ends included when M is even (ties
// read back to the even significand). With s = 2 - E, a value x 2^(E-2) is
// x 5^s units of 10^-s, and counting multiples of 10^t, t <= s, needs only
// x 5^(s-t) / 2^t: no division, and every product stays below 2^62.
constexpr int FIRST_EXPONENT = -33;
constexpr int LAST_EXPONENT = -1;
constexpr int EXPONENT_BIAS = 150;  // a single's exponent field, less M's 23 bits and 127
constexpr int FIRST_FIELD = FIRST_EXPONENT + EXPONENT_BIAS;
constexpr int LAST_FIELD = LAST_EXPONENT + EXPONENT_BIAS;

constexpr std::uint64_t power_of_five(int k) {
    std::uint64_t power = 1;
    for (int i = 0; i < k; ++i) {
        power *= 5;
    }
    return power;
}

// floor(log10(4 x 5^s)): the interval is 4 x 5^s units of 10^-s wide, so
// it holds at least one multiple of 10^t for this t, and at most one of
// 10^(t+1).
constexpr int widest_step(int s) {
    unsigned __int128 width = 4;
    for (int i = 0; i < s; ++i) {
        width *= 5;
    }
    int t = 0;
    unsigned __int128 power = 10;
    while (power <= width) {
        power *= 10;
        ++t;
    }
    return t;
}

// What a binade needs, by its exponent field.
struct binade_row {
    int step = 0;                   // t = widest_step(s)
    int exponent = 0;               // t - s: the exponent of 10^t units of 10^-s
    std::uint64_t fives = 0;        // 5^(s - t)
    std::uint64_t fewer_fives = 0;  // 5^(s - t - 1), for multiples of 10^(t+1)
};

struct binade_table {
    binade_row rows[LAST_FIELD + 1];
    constexpr binade_table() {
        for (int field = FIRST_FIELD; field <= LAST_FIELD; ++field) {
            const int s = 2 - (field - EXPONENT_BIAS);
            const int t = widest_step(s);
            rows[field] = {t, t - s, power_of_five(s - t), power_of_five(s - t - 1)};
        }
    }
};

constexpr binade_table BINADES;

// The products must stay within 64 bits with room to shift: the largest
// numerator is (2^26 + 2) x 5^(s - t).
static_assert(BINADES.rows[FIRST_FIELD].fives < (std::uint64_t{1} << 36));
static_assert(BINADES.rows[LAST_FIELD].step + 1 <= 2 - LAST_EXPONENT,
              "multiples of 10^(t+1) need t + 1 <= s");

constexpr std::uint32_t POWERS_OF_TEN[] = {1,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};
constexpr int MOST_DIGITS = 9;  // every single's shortest digits

// The number of digits of a positive integer below 1e9: from its bit
// length, times log10(2) as 1233 / 4096, then one comparison.
int digit_count(std::uint32_t digits) {
    const int bits = 32 - __builtin_clz(digits | 1);
    const int guess = (bits * 1233) >> 12;
    return guess + (digits >= POWERS_OF_TEN[guess] ? 1 : 0);
}

// The text of digits x 10^exponent in the form to_chars chooses: fixed
// when it is no longer than the exponent form. Writes up to 17 characters
// from `out` (within SHORTEST_TEXT_SIZE), those beyond the length returned
// overwritten later or left beyond the text.
std::size_t compose(char* out, std::uint32_t digits, int exponent) {
    const int count = digit_count(digits);
    const std::uint32_t leading_digits = digits * POWERS_OF_TEN[MOST_DIGITS - count];
    const auto whole = static_cast<std::size_t>(count);
    if (exponent < 0 && -exponent < count) {
        // The point among the digits, as in nearly every value written:
        // the 9 characters, then those after the point moved one on.
        const auto before = static_cast<std::size_t>(count + exponent);
        spell_digits(leading_digits, out);
        std::uint64_t after = 0;
        std::memcpy(&after, out + before, sizeof after);
        std::memcpy(out + before + 1, &after, sizeof after);
        out[before] = '.';
        return whole + 1;
    }
    char spelled[MOST_DIGITS];
    spell_digits(leading_digits, spelled);
    const int leading = exponent + count - 1;  // exponent of the first digit
    // Leading exponents here lie within -4..6: two exponent digits.
    const int exponent_length = count + (count > 1 ? 1 : 0) + 4;
    if (exponent >= 0 && count + exponent <= exponent_length) {
        std::memcpy(out, spelled, MOST_DIGITS);
        std::memset(out + whole, '0', static_cast<std::size_t>(exponent));
        return whole + static_cast<std::size_t>(exponent);
    }
    if (exponent < 0 && 2 - exponent <= exponent_length) {
        const auto zeros = static_cast<std::size_t>(-exponent - count);
        std::memcpy(out, "0.000000", 8);  // at most 3 zeros where fixed is no longer
        std::memcpy(out + 2 + zeros, spelled, MOST_DIGITS);
        return 2 + zeros + whole;
    }
    out[0] = spelled[0];
    std::size_t length = 1;
    if (count > 1) {
        out[1] = '.';
        std::memcpy(out + 2, spelled + 1, MOST_DIGITS - 1);
        length = whole + 1;
    }
    const int magnitude = leading < 0 ? -leading : leading;
    out[length++] = 'e';
    out[length++] = leading < 0 ? '-' : '+';
    out[length++] = static_cast<char>('0' + magnitude / 10);
    out[length++] = static_cast<char>('0' + magnitude % 10);
    return length;
}

// shortest_decimal_of on the bits of a positive single.
inline bool shortest_decimal_of_bits(std::uint32_t bits, shortest_decimal& decimal) {
    const auto field = static_cast<int>(bits >> 23);
    if (field < FIRST_FIELD || field > LAST_FIELD) {
        return false;  // zero, subnormal, out of range, Infinity or NaN
    }
    const binade_row& row = BINADES.rows[field];
    const std::uint32_t fraction = bits & 0x7FFFFFu;
    const std::uint64_t m = fraction | 0x800000u;
    const bool ends_included = m % 2 == 0;
    const std::uint64_t low_quarters = fraction == 0 ? 4 * m - 1 : 4 * m - 2;
    const std::uint64_t high_quarters = 4 * m + 2;
    const int t = row.step;

    // A multiple of 10^(t+1) in the interval, at most one: the shortest.
    // The largest multiple up to the upper end (below it when the end is
    // excluded) is in the interval when it reaches the lower end.
    {
        const std::uint64_t low = low_quarters * row.fewer_fives;
        const std::uint64_t high = high_quarters * row.fewer_fives;
        std::uint64_t count = high >> (t + 1);
        if (!ends_included && (count << (t + 1)) == high) {
            --count;
        }
        const std::uint64_t multiple = count << (t + 1);
        if (ends_included ? multiple >= low : multiple > low) {
            int exponent = row.exponent + 1;
            while (count % 10 == 0) {
                count /= 10;
                ++exponent;
            }
            decimal = {count, exponent};
            return true;
        }
    }
    // Otherwise the multiple of 10^t nearest the single (ties to even), all
    // of the same length; it lies in the interval unless the interval is
    // lopsided (a power of two) or its ends are excluded just there.
    const std::uint64_t exact = 4 * m * row.fives;
    std::uint64_t count = exact >> t;
    const std::uint64_t rest = exact - (count << t);
    const std::uint64_t half = std::uint64_t{1} << (t - 1);
    if (rest > half || (rest == half && count % 2 == 1)) {
        ++count;
    }
    const std::uint64_t multiple = count << t;
    const std::uint64_t low = low_quarters * row.fives;
    const std::uint64_t high = high_quarters * row.fives;
    if (ends_included ? multiple < low || multiple > high : multiple <= low || multiple >= high) {
        return false;
    }
    decimal = {count, row.exponent};
    return true;
}

std::uint32_t bits_of(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

bool shortest_decimal_of(float magnitude, shortest_decimal& decimal) {
    const std::uint32_t bits = bits_of(magnitude);
    return bits >> 31 == 0 && shortest_decimal_of_bits(bits, decimal);
}

std::size_t write_shortest_real(char* out, float value) {
    const std::uint32_t bits = bits_of(value);
    shortest_decimal decimal{};
    if (!shortest_decimal_of_bits(bits & 0x7FFFFFFFu, decimal)) {
        return static_cast<std::size_t>(std::to_chars(out, out + SHORTEST_TEXT_SIZE, value).ptr -
                                        out);
    }
    out[0] = '-';
    const std::size_t sign = bits >> 31;
    return sign + compose(out + sign, static_cast<std::uint32_t>(decimal.digits), decimal.exponent);
}
