#include "input_values.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "decimal_real.h"

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The value quoted for a diagnostic: at most 40 characters shown, bytes
// outside printable ASCII written as \xHH so binary input stays readable.
void quote_value(const value_text& value, char* out, std::size_t out_size) {
    constexpr std::size_t SHOWN = 40;
    std::size_t used = 0;
    out[used++] = '"';
    for (std::size_t i = 0; i < value.length && i < SHOWN; ++i) {
        const auto c = static_cast<unsigned char>(value.chars[i]);
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
            out[used++] = static_cast<char>(c);
        } else {
            std::snprintf(out + used, out_size - used, "\\x%02X", c);
            used += 4;
        }
    }
    if (value.length > SHOWN) {
        std::memcpy(out + used, "...", 3);
        used += 3;
    }
    out[used++] = '"';
    out[used] = '\0';
}

// Optional sign and digits.
bool is_integer_text(const char* s) {
    std::size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (!is_digit(s[i])) {
        return false;
    }
    while (is_digit(s[i])) {
        ++i;
    }
    return s[i] == '\0';
}

bool refuse_value(input_result& result, const char* item, const value_text& value,
                  const char* problem) {
    char quoted[200];
    quote_value(value, quoted, sizeof quoted);
    set_message(result, input_status::bad_input, "%s: %s %s", item, quoted, problem);
    return false;
}

// Converts a checked real text to single precision with one correct
// rounding. Magnitudes beyond the largest single are refused rather than
// turned into Infinity; tiny ones round to a subnormal or zero as usual.
bool convert_real(input_result& result, const char* item, const value_text& value,
                  float& out) {
    switch (read_decimal_real(std::string_view(value.chars, value.length), out)) {
        case real_reading::not_a_number:
            return refuse_value(result, item, value, "is not a number");
        case real_reading::too_large:
            return refuse_value(result, item, value, "is too large for single precision");
        case real_reading::read:
            break;
    }
    return true;
}

bool convert_step(input_result& result, const char* item, const value_text& value,
                  std::int32_t& out) {
    if (!is_integer_text(value.chars)) {
        return refuse_value(result, item, value, "is not a whole number");
    }
    const bool negative = value.chars[0] == '-';
    // Accumulate the magnitude, stopping growth once it is past the range.
    constexpr long long LIMIT = 2147483648LL;  // |INT32_MIN|
    long long magnitude = 0;
    for (const char* p = value.chars; *p != '\0'; ++p) {
        if (is_digit(*p) && magnitude <= LIMIT) {
            magnitude = magnitude * 10 + (*p - '0');
        }
    }
    if (magnitude > LIMIT || (!negative && magnitude == LIMIT)) {
        return refuse_value(result, item, value, "is outside the 32-bit integer range");
    }
    if (magnitude == 0) {
        set_message(result, input_status::bad_input, "the distance step must not be zero");
        return false;
    }
    out = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

}  // namespace

const char* value_name(int index) {
    static const char* const NAMES[VALUE_COUNT] = {"centre longitude", "centre latitude",
                                                   "distance step"};
    return NAMES[index];
}

void set_message(input_result& result, input_status status, const char* format, ...) {
    result.status = status;
    va_list args;
    va_start(args, format);
    std::vsnprintf(result.message, INPUT_MESSAGE_SIZE, format, args);
    va_end(args);
}

bool convert_value(input_result& result, int index, const value_text& value) {
    const char* item = value_name(index);
    if (std::memchr(value.chars, '\0', value.length) != nullptr) {
        return refuse_value(result, item, value, "contains a NUL byte");
    }
    if (value.too_long) {
        set_message(result, input_status::bad_input,
                    "%s: value is longer than %zu characters", item, MAX_VALUE_LENGTH);
        return false;
    }
    if (std::memchr(value.chars, '*', value.length) != nullptr) {
        return refuse_value(result, item, value, "is a repeat count, which is not accepted");
    }
    switch (index) {
        case 0:
            return convert_real(result, item, value, result.input.center_lon);
        case 1:
            return convert_real(result, item, value, result.input.center_lat);
        default:
            return convert_step(result, item, value, result.input.dist_step);
    }
}

