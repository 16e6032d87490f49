#include "record_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Width of the fixed-form number field; 4 blanks follow it to make 16.
constexpr std::size_t FIXED_FIELD_WIDTH = 12;

// Significant digits written for a real: 9 always identify a single.
constexpr int SIGNIFICANT_DIGITS = 9;

char* put_right_aligned(char* out, const char* text, std::size_t length,
                        std::size_t width) {
    const std::size_t padding = width - length;
    std::memset(out, ' ', padding);
    std::memcpy(out + padding, text, length);
    return out + width;
}

char* put_blanks(char* out, std::size_t count) {
    std::memset(out, ' ', count);
    return out + count;
}

// Rounded decimal form of |value|: 9 digits d0 d1 ... d8 and the decimal
// exponent of d0, so that the magnitude is d0.d1...d8 x 10^exponent.
struct decimal_digits {
    char digits[SIGNIFICANT_DIGITS];
    int exponent;
};

decimal_digits round_to_digits(float magnitude) {
    // Scientific form with 8 digits after the point, e.g. "1.00000001e-01",
    // correctly rounded from the exact binary value.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, magnitude,
                                      std::chars_format::scientific,
                                      SIGNIFICANT_DIGITS - 1);
    decimal_digits rounded{};
    rounded.digits[0] = text[0];
    std::memcpy(rounded.digits + 1, text + 2, SIGNIFICANT_DIGITS - 1);
    const char* exponent_text = text + 2 + (SIGNIFICANT_DIGITS - 1) + 1;  // after 'e'
    const bool negative_exponent = *exponent_text == '-';
    int exponent = 0;
    for (const char* p = exponent_text + 1; p < result.ptr; ++p) {
        exponent = exponent * 10 + (*p - '0');
    }
    rounded.exponent = negative_exponent ? -exponent : exponent;
    return rounded;
}

// Fixed form: digits before the point as the exponent says, the rest after
// it; magnitudes below 1 get a single "0" before the point.
std::size_t compose_fixed(char* text, bool negative, const decimal_digits& rounded) {
    std::size_t length = 0;
    if (negative) {
        text[length++] = '-';
    }
    if (rounded.exponent < 0) {
        text[length++] = '0';
        text[length++] = '.';
        std::memcpy(text + length, rounded.digits, SIGNIFICANT_DIGITS);
        return length + SIGNIFICANT_DIGITS;
    }
    const std::size_t integer_digits = static_cast<std::size_t>(rounded.exponent) + 1;
    std::memcpy(text + length, rounded.digits, integer_digits);
    length += integer_digits;
    text[length++] = '.';
    const std::size_t fraction_digits = SIGNIFICANT_DIGITS - integer_digits;
    std::memcpy(text + length, rounded.digits + integer_digits, fraction_digits);
    return length + fraction_digits;
}

// Exponent form: "d.ddddddddE+xx" with a sign in front when negative.
std::size_t compose_exponent(char* text, bool negative, const decimal_digits& rounded) {
    std::size_t length = 0;
    if (negative) {
        text[length++] = '-';
    }
    text[length++] = rounded.digits[0];
    text[length++] = '.';
    std::memcpy(text + length, rounded.digits + 1, SIGNIFICANT_DIGITS - 1);
    length += SIGNIFICANT_DIGITS - 1;
    text[length++] = 'E';
    text[length++] = rounded.exponent < 0 ? '-' : '+';
    // Singles have decimal exponents from -45 to 38: always two digits.
    const int exponent = rounded.exponent < 0 ? -rounded.exponent : rounded.exponent;
    text[length++] = static_cast<char>('0' + exponent / 10);
    text[length++] = static_cast<char>('0' + exponent % 10);
    return length;
}

char* put_special_real(char* out, float value) {
    if (std::isnan(value)) {
        return put_right_aligned(out, "NaN", 3, REAL_WIDTH);
    }
    if (value < 0.0f) {
        return put_right_aligned(out, "-Infinity", 9, REAL_WIDTH);
    }
    return put_right_aligned(out, "Infinity", 8, REAL_WIDTH);
}

}  // namespace

char* put_real(char* out, float value) {
    if (!std::isfinite(value)) {
        return put_special_real(out, value);
    }
    const bool negative = std::signbit(value);
    char text[24];
    if (value == 0.0f) {
        // Zero: one digit before the point, 8 after; negative zero keeps its sign.
        const decimal_digits zero{{'0', '0', '0', '0', '0', '0', '0', '0', '0'}, 0};
        const std::size_t length = compose_fixed(text, negative, zero);
        out = put_right_aligned(out, text, length, FIXED_FIELD_WIDTH);
        return put_blanks(out, REAL_WIDTH - FIXED_FIELD_WIDTH);
    }
    const decimal_digits rounded = round_to_digits(std::fabs(value));
    // Fixed form covers rounded magnitudes 0.1 <= m < 1e9, i.e. decimal
    // exponents -1 to 8.
    if (rounded.exponent >= -1 && rounded.exponent <= SIGNIFICANT_DIGITS - 1) {
        const std::size_t length = compose_fixed(text, negative, rounded);
        out = put_right_aligned(out, text, length, FIXED_FIELD_WIDTH);
        return put_blanks(out, REAL_WIDTH - FIXED_FIELD_WIDTH);
    }
    const std::size_t length = compose_exponent(text, negative, rounded);
    return put_right_aligned(out, text, length, REAL_WIDTH);
}

char* put_integer(char* out, std::int32_t value) {
    char text[INTEGER_WIDTH + 1];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return put_right_aligned(out, text, static_cast<std::size_t>(result.ptr - text),
                             INTEGER_WIDTH);
}

char* put_contour_record(char* out, float lon, float lat, std::int32_t ring_dist,
                         float azimuth, std::int32_t dist_check) {
    *out++ = ' ';
    out = put_real(out, lon);
    *out++ = ' ';
    out = put_real(out, lat);
    *out++ = ' ';
    out = put_integer(out, ring_dist);
    *out++ = ' ';
    out = put_real(out, azimuth);
    *out++ = ' ';
    out = put_integer(out, dist_check);
    *out++ = '\n';
    return out;
}

char* put_separator(char* out) {
    std::memcpy(out, " >\n", SEPARATOR_LENGTH);
    return out + SEPARATOR_LENGTH;
}

char* put_error_line(char* out, float ring_dist, float azimuth) {
    std::memcpy(out, " error ", 7);
    out = put_real(out + 7, ring_dist);
    *out++ = ' ';
    out = put_real(out, azimuth);
    *out++ = '\n';
    return out;
}
