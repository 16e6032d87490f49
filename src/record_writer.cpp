#include "record_writer.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "decimal_digits.h"

namespace {

// Width of the fixed-form number field; 4 blanks follow it to make 16.
constexpr int FIXED_FIELD_WIDTH = 12;

// Significant digits written for a real: 9 always identify a single.
constexpr int SIGNIFICANT_DIGITS = 9;

void put_text_right_aligned(char* out, const char* text, std::size_t length) {
    std::memset(out, ' ', REAL_WIDTH);
    std::memcpy(out + REAL_WIDTH - length, text, length);
}

void put_special_real(char* out, float value) {
    if (std::isnan(value)) {
        put_text_right_aligned(out, "NaN", 3);
    } else if (value < 0.0f) {
        put_text_right_aligned(out, "-Infinity", 9);
    } else {
        put_text_right_aligned(out, "Infinity", 8);
    }
}

// Fixed form with IntegerDigits digits before the point, in a field of 16
// already blank: the 9 digits and the point end at column 12, so they start
// at FIXED_START whatever the split. Returns where the number starts.
template <int IntegerDigits>
char* place_fixed_digits(char* field, const char* digits) {
    constexpr int FIXED_START = FIXED_FIELD_WIDTH - SIGNIFICANT_DIGITS - 1;
    std::memcpy(field + FIXED_START, digits, IntegerDigits);
    field[FIXED_START + IntegerDigits] = '.';
    std::memcpy(field + FIXED_START + IntegerDigits + 1, digits + IntegerDigits,
                SIGNIFICANT_DIGITS - IntegerDigits);
    return field + FIXED_START;
}

// Fixed form with 1 to 7 digits before the point (exponents 0 to 6, the
// longitudes and latitudes of a run): the 9 digits spelled one place to
// the right of where they start, then their first 8 characters, taken as
// one 64-bit integer, written back one place to the left with the point
// between the whole part and the decimals, which stay where they are.
constexpr int SHORT_WHOLE_PARTS = 7;

void compose_short_fixed(char* field, bool negative, const decimal_digits& rounded) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
                  "the first character is the integer's lowest byte");
    constexpr int FIXED_START = FIXED_FIELD_WIDTH - SIGNIFICANT_DIGITS - 1;
    char* start = field + FIXED_START;
    spell_digits(rounded.significand, start + 1);
    std::uint64_t first_eight = 0;
    std::memcpy(&first_eight, start + 1, sizeof first_eight);
    const int point = 8 * (rounded.exponent + 1);  // bits of the whole part
    const std::uint64_t whole = (std::uint64_t{1} << point) - 1;
    const std::uint64_t text = (first_eight & whole) |
                               (std::uint64_t{'.'} << point) |
                               ((first_eight << 8) & (~whole << 8));
    std::memcpy(start, &text, sizeof text);
    if (negative) {
        *--start = '-';
    }
}

// Fixed form in a field of 16 already blank: exponent + 1 digits before
// the point (a single "0" when the exponent is -1), the rest after it,
// right-aligned in the first 12 characters.
void compose_fixed(char* field, bool negative, const decimal_digits& rounded) {
    if (rounded.exponent >= 0 && rounded.exponent < SHORT_WHOLE_PARTS) {
        compose_short_fixed(field, negative, rounded);
        return;
    }
    char digits[SIGNIFICANT_DIGITS];
    spell_digits(rounded.significand, digits);
    char* start = nullptr;
    // One case per length of the integer part, so that every copy has a
    // size known at compile time.
    switch (rounded.exponent) {
        case -1: start = place_fixed_digits<0>(field, digits); *--start = '0'; break;
        case 0: start = place_fixed_digits<1>(field, digits); break;
        case 1: start = place_fixed_digits<2>(field, digits); break;
        case 2: start = place_fixed_digits<3>(field, digits); break;
        case 3: start = place_fixed_digits<4>(field, digits); break;
        case 4: start = place_fixed_digits<5>(field, digits); break;
        case 5: start = place_fixed_digits<6>(field, digits); break;
        case 6: start = place_fixed_digits<7>(field, digits); break;
        case 7: start = place_fixed_digits<8>(field, digits); break;
        default: start = place_fixed_digits<9>(field, digits); break;
    }
    if (negative) {
        *--start = '-';
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

// Writes a real item of exactly REAL_WIDTH characters at out.
void put_real(char* out, float value) {
    if (!std::isfinite(value)) {
        put_special_real(out, value);
        return;
    }
    std::memset(out, ' ', REAL_WIDTH);
    const bool negative = std::signbit(value);
    if (value == 0.0f) {
        // Zero: one digit before the point and 8 after, sign kept.
        compose_fixed(out, negative, decimal_digits{0, 0});
        return;
    }
    const decimal_digits rounded = round_to_nine_digits(std::fabs(value));
    // Fixed form covers rounded magnitudes 0.1 <= m < 1e9, i.e. decimal
    // exponents -1 to 8.
    if (rounded.exponent >= -1 && rounded.exponent <= SIGNIFICANT_DIGITS - 1) {
        compose_fixed(out, negative, rounded);
    } else {
        compose_exponent(out, negative, rounded);
    }
}

}  // namespace

real_item make_real_item(float value) {
    real_item item;
    put_real(item.chars.data(), value);
    return item;
}

integer_item make_integer_item(std::int32_t value) {
    integer_item item;
    item.chars.fill(' ');
    // Digits from the right; the magnitude of INT32_MIN needs 64 bits.
    std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
    char* p = item.chars.data() + INTEGER_WIDTH;
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        *--p = '-';
    }
    return item;
}

contour_record make_contour_record(const real_item& lon, const real_item& lat,
                                   const integer_item& grid_dist, const real_item& azimuth,
                                   const integer_item& dist_check) {
    return join_items(lon, lat, grid_dist, azimuth, dist_check);
}

error_line make_error_line(float ring_dist, float ring_az) {
    return join_items(ERROR_WORD, make_real_item(ring_dist), make_real_item(ring_az));
}

separator_line make_separator_line() {
    return join_items(SEPARATOR_MARK);
}
