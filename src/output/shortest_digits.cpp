#include "output/shortest_digits.h"

#include "decimal_digits.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// A single in the range handled is M x 2^E with M in [2^23, 2^24) and E in
// [-33, -1]. The decimals that read back to it fill the interval from
// (4M - 2) x 2^(E-2) (4M - 1 at a power of two, where the single below is
// closer) to (4M + 2) x 2^(E-2), both ends included when M is even (ties
// read back to the even significand). With s = 2 - E, a value x 2^(E-2) is
// x 5^s units of 10^-s, and counting multiples of 10^t, t <= s, needs only
// x 5^(s-t) / 2^t: no division, and every product stays below 2^50.
constexpr int FIRST_EXPONENT = -33;
constexpr int LAST_EXPONENT = -1;

constexpr int SMALLEST_SCALE = 2 - LAST_EXPONENT;   // s = 3
constexpr int LARGEST_SCALE = 2 - FIRST_EXPONENT;  // s = 35

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

struct scale_row {
    int step = 0;                   // t = widest_step(s)
    std::uint64_t fives = 0;        // 5^(s - t)
    std::uint64_t fewer_fives = 0;  // 5^(s - t - 1), for multiples of 10^(t+1)
};

struct scale_table {
    scale_row rows[LARGEST_SCALE + 1];
    constexpr scale_table() {
        for (int s = SMALLEST_SCALE; s <= LARGEST_SCALE; ++s) {
            const int t = widest_step(s);
            rows[s] = {t, power_of_five(s - t), power_of_five(s - t - 1)};
        }
    }
};

constexpr scale_table SCALES;

// The products must stay within 64 bits with room to shift: the largest
// numerator is (2^26 + 2) x 5^(s - t).
static_assert(SCALES.rows[LARGEST_SCALE].fives < (std::uint64_t{1} << 36));
static_assert(SCALES.rows[SMALLEST_SCALE].step < SMALLEST_SCALE,
              "multiples of 10^(t+1) need t + 1 <= s");

bool within(std::uint64_t candidate, std::uint64_t low, std::uint64_t high, bool ends_included) {
    return ends_included ? candidate >= low && candidate <= high
                         : candidate > low && candidate < high;
}

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

// Text pieces are copied 16 characters at a time, the characters past
// their end overwritten or left beyond the length returned.
constexpr std::size_t PIECE = 16;

// The text of digits x 10^exponent in the form to_chars chooses: fixed
// when it is no longer than the exponent form.
std::size_t compose(char* out, const shortest_decimal& decimal) {
    const auto digits = static_cast<std::uint32_t>(decimal.digits);
    const int count = digit_count(digits);
    const int exponent = decimal.exponent;
    char spelled[2 * PIECE] = {};
    spell_digits(digits * POWERS_OF_TEN[MOST_DIGITS - count], spelled);
    const auto whole = static_cast<std::size_t>(count);
    const int leading = exponent + count - 1;  // exponent of the first digit
    // Leading exponents here lie within -4..6: two exponent digits.
    const int exponent_length = count + (count > 1 ? 1 : 0) + 4;
    if (exponent >= 0 && count + exponent <= exponent_length) {
        std::memcpy(out, spelled, PIECE);
        std::memset(out + whole, '0', static_cast<std::size_t>(exponent));
        return whole + static_cast<std::size_t>(exponent);
    }
    if (exponent < 0 && -exponent < count && count + 1 <= exponent_length) {
        const auto before = static_cast<std::size_t>(count + exponent);
        std::memcpy(out, spelled, PIECE);
        out[before] = '.';
        std::memcpy(out + before + 1, spelled + before, PIECE);
        return whole + 1;
    }
    if (exponent < 0 && -exponent >= count && 2 - exponent <= exponent_length) {
        const auto zeros = static_cast<std::size_t>(-exponent - count);
        std::memcpy(out, "0.000000", 8);  // at most 3 zeros where fixed is no longer
        std::memcpy(out + 2 + zeros, spelled, PIECE);
        return 2 + zeros + whole;
    }
    out[0] = spelled[0];
    std::size_t length = 1;
    if (count > 1) {
        out[1] = '.';
        std::memcpy(out + 2, spelled + 1, PIECE);
        length = whole + 1;
    }
    const int magnitude = leading < 0 ? -leading : leading;
    out[length++] = 'e';
    out[length++] = leading < 0 ? '-' : '+';
    out[length++] = static_cast<char>('0' + magnitude / 10);
    out[length++] = static_cast<char>('0' + magnitude % 10);
    return length;
}

}  // namespace

namespace {

// shortest_decimal_of, inlined into the writer below.
inline bool shortest_decimal_inline(float magnitude, shortest_decimal& decimal) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 23);
    const std::uint32_t fraction = bits & 0x7FFFFFu;
    const int e = biased - 150;  // magnitude = M x 2^e
    if (biased == 0 || e < FIRST_EXPONENT || e > LAST_EXPONENT) {
        return false;  // zero, subnormal, negative, out of range, Infinity or NaN
    }
    const std::uint64_t m = fraction | 0x800000u;
    const int s = 2 - e;
    const scale_row& row = SCALES.rows[s];
    const int t = row.step;
    const bool ends_included = m % 2 == 0;
    const std::uint64_t low_quarters = fraction == 0 ? 4 * m - 1 : 4 * m - 2;
    const std::uint64_t high_quarters = 4 * m + 2;

    // A multiple of 10^(t+1) in the interval, at most one: the shortest.
    {
        const std::uint64_t low = low_quarters * row.fewer_fives;
        const std::uint64_t high = high_quarters * row.fewer_fives;
        std::uint64_t count = high >> (t + 1);
        if (!ends_included && (count << (t + 1)) == high) {
            --count;
        }
        if (within(count << (t + 1), low, high, ends_included)) {
            int exponent = t + 1 - s;
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
    if (!within(count << t, low_quarters * row.fives, high_quarters * row.fives,
                ends_included)) {
        return false;
    }
    decimal = {count, t - s};
    return true;
}

}  // namespace

bool shortest_decimal_of(float magnitude, shortest_decimal& decimal) {
    return shortest_decimal_inline(magnitude, decimal);
}

std::size_t write_shortest_real(char* out, float value) {
    shortest_decimal decimal{};
    if (!shortest_decimal_inline(std::fabs(value), decimal)) {
        return static_cast<std::size_t>(std::to_chars(out, out + SHORTEST_TEXT_SIZE, value).ptr -
                                        out);
    }
    std::size_t length = 0;
    if (std::signbit(value)) {
        out[length++] = '-';
    }
    return length + compose(out + length, decimal);
}
