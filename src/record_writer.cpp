#include "record_writer.h"

#include <cmath>
#include <cstring>

#include "decimal_digits.h"

namespace {

// Width of the fixed-form number field; 4 blanks follow it to make 16.
constexpr int FIXED_FIELD_WIDTH = 12;

// Significant digits written for a real: 9 always identify a single.
constexpr int SIGNIFICANT_DIGITS = 9;

char* put_text_right_aligned(char* out, const char* text, std::size_t length) {
    std::memset(out, ' ', REAL_WIDTH);
    std::memcpy(out + REAL_WIDTH - length, text, length);
    return out + REAL_WIDTH;
}

char* put_special_real(char* out, float value) {
    if (std::isnan(value)) {
        return put_text_right_aligned(out, "NaN", 3);
    }
    if (value < 0.0f) {
        return put_text_right_aligned(out, "-Infinity", 9);
    }
    return put_text_right_aligned(out, "Infinity", 8);
}

// "00" "01" ... "99": digit pairs, so a significand is spelled with four
// divisions by 100 instead of eight by 10.
constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The 9 digit characters of a significand in [1e8, 1e9).
void spell_digits(std::uint32_t significand, char* digits) {
    for (int i = SIGNIFICANT_DIGITS - 2; i > 0; i -= 2) {
        std::memcpy(digits + i, DIGIT_PAIRS + 2 * (significand % 100), 2);
        significand /= 100;
    }
    digits[0] = static_cast<char>('0' + significand);
}

// Fixed form in a field of 16 already blank: exponent + 1 digits before
// the point (a single "0" when the exponent is -1), the rest after it,
// right-aligned in the first 12 characters. Written from the right.
void compose_fixed(char* field, bool negative, const decimal_digits& rounded) {
    char digits[SIGNIFICANT_DIGITS];
    spell_digits(rounded.significand, digits);
    const int integer_digits = rounded.exponent < 0 ? 0 : rounded.exponent + 1;
    char* p = field + FIXED_FIELD_WIDTH;
    for (int i = SIGNIFICANT_DIGITS - 1; i >= integer_digits; --i) {
        *--p = digits[i];
    }
    *--p = '.';
    for (int i = integer_digits - 1; i >= 0; --i) {
        *--p = digits[i];
    }
    if (integer_digits == 0) {
        *--p = '0';
    }
    if (negative) {
        *--p = '-';
    }
}

// Exponent form "d.ddddddddE+xx" right-aligned in a field of 16 already
// blank, with a sign in front when negative.
void compose_exponent(char* field, bool negative, const decimal_digits& rounded) {
    // 15 characters after the leading blank: sign or blank, then 14.
    field[1] = negative ? '-' : ' ';
    char digits[SIGNIFICANT_DIGITS];
    spell_digits(rounded.significand, digits);
    field[2] = digits[0];
    field[3] = '.';
    std::memcpy(field + 4, digits + 1, SIGNIFICANT_DIGITS - 1);
    field[12] = 'E';
    field[13] = rounded.exponent < 0 ? '-' : '+';
    // Singles have decimal exponents from -45 to 38: always two digits.
    const int exponent = rounded.exponent < 0 ? -rounded.exponent : rounded.exponent;
    field[14] = static_cast<char>('0' + exponent / 10);
    field[15] = static_cast<char>('0' + exponent % 10);
}

}  // namespace

char* put_real(char* out, float value) {
    if (!std::isfinite(value)) {
        return put_special_real(out, value);
    }
    std::memset(out, ' ', REAL_WIDTH);
    const bool negative = std::signbit(value);
    if (value == 0.0f) {
        // Zero: one digit before the point and 8 after, sign kept.
        compose_fixed(out, negative, decimal_digits{0, 0});
        return out + REAL_WIDTH;
    }
    const decimal_digits rounded = round_to_nine_digits(std::fabs(value));
    // Fixed form covers rounded magnitudes 0.1 <= m < 1e9, i.e. decimal
    // exponents -1 to 8.
    if (rounded.exponent >= -1 && rounded.exponent <= SIGNIFICANT_DIGITS - 1) {
        compose_fixed(out, negative, rounded);
    } else {
        compose_exponent(out, negative, rounded);
    }
    return out + REAL_WIDTH;
}

char* put_integer(char* out, std::int32_t value) {
    std::memset(out, ' ', INTEGER_WIDTH);
    // Digits from the right; the magnitude of INT32_MIN needs 64 bits.
    std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
    char* p = out + INTEGER_WIDTH;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        *--p = '-';
    }
    return out + INTEGER_WIDTH;
}

real_item make_real_item(float value) {
    real_item item;
    put_real(item.text, value);
    return item;
}

char* put_contour_record(char* out, float lon, float lat, std::int32_t ring_dist,
                         const real_item& azimuth, std::int32_t dist_check) {
    *out++ = ' ';
    out = put_real(out, lon);
    *out++ = ' ';
    out = put_real(out, lat);
    *out++ = ' ';
    out = put_integer(out, ring_dist);
    *out++ = ' ';
    std::memcpy(out, azimuth.text, REAL_WIDTH);
    out += REAL_WIDTH;
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
