#include "base/text_output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "base/shortest_digits.h"
#include "decimal_digits.h"

#include "write_all.h"

namespace {

// Longest text of a single in fixed notation: 39 digits before the point
// (3.4e38), or 45 decimals after "0." (the smallest subnormal), and a sign.
constexpr std::size_t FIXED_TEXT_SIZE = 64;

// Most decimals the exact decimal sum below handles: 180 x 10^30 plus a
// few turns stays far below the 1.7e38 an unsigned 128-bit integer holds.
constexpr int MAX_SUM_DECIMALS = 30;

constexpr int NINE_DIGITS = 9;
constexpr std::uint32_t NINE_DIGITS_LIMIT = 1000000000;

// write_scaled for a magnitude below 1e9 and fewer than 9 decimals: its 9
// digits spelled at once, the leading zeros dropped down to the one
// before the point.
std::size_t write_nine_or_fewer(char* out, bool negative, std::uint32_t magnitude,
                                int decimals) {
    char digits[NINE_DIGITS];
    spell_digits(magnitude, digits);
    int first = 0;
    while (first < NINE_DIGITS - decimals - 1 && digits[first] == '0') {
        ++first;
    }
    std::size_t length = 0;
    if (negative) {
        out[length++] = '-';
    }
    const auto whole = static_cast<std::size_t>(NINE_DIGITS - decimals - first);
    std::memcpy(out + length, digits + first, whole);
    length += whole;
    if (decimals > 0) {
        out[length++] = '.';
        std::memcpy(out + length, digits + NINE_DIGITS - decimals,
                    static_cast<std::size_t>(decimals));
        length += static_cast<std::size_t>(decimals);
    }
    return length;
}

// Writes value as decimal digits with `decimals` digits after the point.
// Digits are taken in 64 bits whenever the value fits, as it nearly always
// does: 128-bit division is a library call.
std::size_t write_scaled(char* out, __int128 value, int decimals) {
    char digits[48];
    int count = 0;
    const bool negative = value < 0;
    unsigned __int128 magnitude = negative ? static_cast<unsigned __int128>(-value)
                                           : static_cast<unsigned __int128>(value);
    if (magnitude < NINE_DIGITS_LIMIT && decimals < NINE_DIGITS) {
        return write_nine_or_fewer(out, negative, static_cast<std::uint32_t>(magnitude),
                                   decimals);
    }
    while (magnitude > UINT64_MAX) {
        digits[count++] = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    }
    auto small = static_cast<std::uint64_t>(magnitude);
    do {
        digits[count++] = static_cast<char>('0' + static_cast<int>(small % 10));
        small /= 10;
    } while (small != 0 || count <= decimals);
    std::size_t length = 0;
    if (negative) {
        out[length++] = '-';
    }
    while (count > 0) {
        if (count == decimals) {
            out[length++] = '.';
        }
        out[length++] = digits[--count];
    }
    return length;
}

}  // namespace

void text_output::put_in_parts(std::string_view text) {
    while (!text.empty()) {
        if (used_ == BUFFER_SIZE) {
            flush();
        }
        const std::size_t part = std::min(text.size(), BUFFER_SIZE - used_);
        std::memcpy(buffer_ + used_, text.data(), part);
        used_ += part;
        text.remove_prefix(part);
    }
}

void text_output::put_integer(std::int32_t value) {
    // Ring distances and azimuths, nearly every integer written: up to 3
    // digits, from the table of digit pairs.
    constexpr std::int32_t SMALL = 1000;
    if (value >= 0 && value < SMALL && BUFFER_SIZE - used_ >= 3) {
        char* const at = buffer_ + used_;
        const auto pair = static_cast<std::size_t>(value % 100);
        if (value < 10) {
            at[0] = static_cast<char>('0' + value);
            used_ += 1;
        } else if (value < 100) {
            std::memcpy(at, DIGIT_PAIRS + 2 * pair, 2);
            used_ += 2;
        } else {
            at[0] = static_cast<char>('0' + value / 100);
            std::memcpy(at + 1, DIGIT_PAIRS + 2 * pair, 2);
            used_ += 3;
        }
        return;
    }
    constexpr std::size_t INTEGER_TEXT_SIZE = 16;  // "-2147483648" and room
    if (BUFFER_SIZE - used_ >= INTEGER_TEXT_SIZE) {
        char* const at = buffer_ + used_;
        used_ += static_cast<std::size_t>(std::to_chars(at, at + INTEGER_TEXT_SIZE, value).ptr - at);
        return;
    }
    char text[INTEGER_TEXT_SIZE];
    const auto result = std::to_chars(text, text + sizeof text, value);
    put(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

void text_output::put_real(float value) {
    if (BUFFER_SIZE - used_ >= SHORTEST_TEXT_SIZE) {
        used_ += write_shortest_real(buffer_ + used_, value);  // in place, no copy
        return;
    }
    char text[SHORTEST_TEXT_SIZE];
    put(std::string_view(text, write_shortest_real(text, value)));
}

// Flattened: the shortest text spelled in the loop, without a call for each.
[[gnu::flatten]] void text_output::put_separated_reals(char separator, const float* values,
                                                     std::size_t count) {
    if (BUFFER_SIZE - used_ < count * (SHORTEST_TEXT_SIZE + 1)) {
        flush();
    }
    for (std::size_t i = 0; i < count; ++i) {
        buffer_[used_++] = separator;
        used_ += write_shortest_real(buffer_ + used_, values[i]);  // in place, no copy
    }
}

// The shortest fixed text of lon as a whole number of 10^-decimals.
bool text_output::scaled_shortest(float lon, __int128& scaled, int& decimals) {
    shortest_decimal decimal{};
    if (shortest_decimal_of(std::fabs(lon), decimal)) {
        scaled = static_cast<__int128>(decimal.digits);
        for (int i = 0; i < decimal.exponent; ++i) {
            scaled *= 10;
        }
        decimals = decimal.exponent < 0 ? -decimal.exponent : 0;
        if (std::signbit(lon)) {
            scaled = -scaled;
        }
        return true;
    }
    char fixed[FIXED_TEXT_SIZE];
    const auto result = std::to_chars(fixed, fixed + sizeof fixed, lon,
                                      std::chars_format::fixed);
    scaled = 0;
    decimals = 0;
    bool after_point = false;
    for (const char* p = fixed; p != result.ptr; ++p) {
        if (*p == '.') {
            after_point = true;
        } else if (*p != '-') {
            scaled = scaled * 10 + (*p - '0');
            decimals += after_point ? 1 : 0;
        }
    }
    if (fixed[0] == '-') {
        scaled = -scaled;
    }
    return decimals <= MAX_SUM_DECIMALS;
}

void text_output::put_longitude(float lon, std::int32_t turns) {
    if (turns == 0) {
        put_real(lon);
        return;
    }
    __int128 scaled = 0;
    int decimals = 0;
    if (!scaled_shortest(lon, scaled, decimals)) {
        // Within 1e-21 degree of a meridian of whole turns: the turns alone.
        put_integer(360 * turns);
        return;
    }
    __int128 unit = 1;
    for (int i = 0; i < decimals; ++i) {
        unit *= 10;
    }
    char text[64];
    const std::size_t length = write_scaled(text, scaled + 360 * turns * unit, decimals);
    put(std::string_view(text, length));
}

bool text_output::flush() {
    if (!failed_ && used_ > 0) {
        const write_outcome outcome = write_all(fd_, buffer_, used_, stopped_);
        failed_ = outcome.error_number != 0;
        error_number_ = outcome.error_number;
    }
    used_ = 0;
    return !failed_;
}
