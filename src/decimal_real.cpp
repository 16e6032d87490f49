#include "decimal_real.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Moves i past the digits at text[i]; returns how many there were.
std::size_t skip_digits(std::string_view text, std::size_t& i) {
    const std::size_t start = i;
    while (i < text.size() && is_digit(text[i])) {
        ++i;
    }
    return i - start;
}

bool is_sign(std::string_view text, std::size_t i) {
    return i < text.size() && (text[i] == '+' || text[i] == '-');
}

// The exact powers of ten of single precision: 5^10 < 2^24.
constexpr float POWERS_OF_TEN[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                   1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr int MOST_EXACT_POWER = 10;
constexpr std::uint32_t MOST_EXACT_DIGITS = 1u << 24;

// The common case, such as "142.3700": a decimal real whose digits, taken
// as a whole number m, are at most 2^24, and whose value is m x 10^e with
// |e| at most 10. Both m and 10^|e| are then exact singles, so one
// multiplication or division, itself correctly rounded, gives the nearest
// single to the decimal. False, with nothing set, for any other text,
// which may still be a decimal real.
bool read_short_decimal(std::string_view text, float& value) {
    std::size_t i = is_sign(text, 0) ? 1 : 0;
    std::uint32_t digits = 0;
    std::size_t digit_count = 0;
    int exponent = 0;
    bool point = false;
    for (; i < text.size() && (is_digit(text[i]) || (text[i] == '.' && !point)); ++i) {
        if (text[i] == '.') {
            point = true;
            continue;
        }
        digits = digits * 10 + static_cast<std::uint32_t>(text[i] - '0');
        ++digit_count;
        exponent -= point ? 1 : 0;
        if (digits > MOST_EXACT_DIGITS) {
            return false;
        }
    }
    if (digit_count == 0 || i != text.size() || exponent < -MOST_EXACT_POWER) {
        return false;  // no digit, an exponent part, or too many decimals
    }
    const auto whole = static_cast<float>(digits);
    const float magnitude = exponent < 0 ? whole / POWERS_OF_TEN[-exponent] : whole;
    value = text[0] == '-' ? -magnitude : magnitude;
    return true;
}

}  // namespace

bool is_decimal_real(std::string_view text) {
    std::size_t i = is_sign(text, 0) ? 1 : 0;
    std::size_t digits = skip_digits(text, i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += skip_digits(text, i);
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        i += is_sign(text, i) ? 1 : 0;
        if (skip_digits(text, i) == 0) {
            return false;
        }
    }
    return i == text.size();
}

real_reading read_decimal_real(std::string_view text, float& value) {
    if (read_short_decimal(text, value)) {
        return real_reading::read;
    }
    if (!is_decimal_real(text)) {
        return real_reading::not_a_number;
    }
    // from_chars takes no plus sign; what is left is a plain decimal real,
    // which it rounds correctly.
    const std::string_view digits = text[0] == '+' ? text.substr(1) : text;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc()) {
        return real_reading::read;
    }
    // Out of range: a magnitude beyond the largest single, or one so small
    // that from_chars declines it where strtof rounds it to zero.
    value = std::strtof(std::string(text).c_str(), nullptr);
    return std::isinf(value) ? real_reading::too_large : real_reading::read;
}
