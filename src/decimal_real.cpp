#include "decimal_real.h"

#include <charconv>
#include <cmath>
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
