#include "input_reader.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int END_OF_INPUT = -1;
constexpr int READ_ERROR = -2;

// Bytes taken from the descriptor per read call.
constexpr std::size_t CHUNK_SIZE = 4096;

// A byte source over either a file descriptor or text in memory.
struct byte_source {
    int fd;  // -1 for text in memory
    const unsigned char* data;
    std::size_t length;
    std::size_t position;
    int read_errno;
    bool exhausted;  // end of input or a read error seen: never read again
    unsigned char chunk[CHUNK_SIZE];
};

bool refill(byte_source& source) {
    if (source.fd < 0 || source.exhausted) {
        return false;
    }
    for (;;) {
        const ssize_t count = ::read(source.fd, source.chunk, CHUNK_SIZE);
        if (count > 0) {
            source.data = source.chunk;
            source.length = static_cast<std::size_t>(count);
            source.position = 0;
            return true;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            source.read_errno = errno;
        }
        source.exhausted = true;
        return false;
    }
}

int peek_byte(byte_source& source) {
    if (source.position == source.length && !refill(source)) {
        return source.read_errno != 0 ? READ_ERROR : END_OF_INPUT;
    }
    return source.data[source.position];
}

void skip_byte(byte_source& source) {
    ++source.position;
}

bool is_regular_file(int fd) {
    struct stat info {};
    return fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Passes over the rest of the third value's line, its newline included.
// Only for a regular file, whose end is always near: other input (a pipe,
// a terminal) may never send the newline.
void skip_rest_of_line(byte_source& source) {
    for (int c = peek_byte(source); c >= 0; c = peek_byte(source)) {
        skip_byte(source);
        if (c == '\n') {
            return;
        }
    }
}

// Gives back what was read ahead of the current position, so that a
// regular file's offset rests just after the last byte used.
void return_unused_bytes(byte_source& source) {
    const auto unused = static_cast<off_t>(source.length - source.position);
    if (unused > 0) {
        ::lseek(source.fd, -unused, SEEK_CUR);
    }
}

bool is_blank(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool ends_value(int c) {
    return c < 0 || is_blank(c) || c == ',' || c == '/';
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

const char* const ITEM_NAMES[3] = {"centre longitude", "centre latitude", "distance step"};

// A value as read: its characters, or a note that it was too long.
struct value_text {
    char chars[MAX_VALUE_LENGTH + 1];
    std::size_t length;
    bool too_long;
};

void read_value_text(byte_source& source, value_text& value) {
    value.length = 0;
    value.too_long = false;
    for (int c = peek_byte(source); !ends_value(c); c = peek_byte(source)) {
        if (value.length == MAX_VALUE_LENGTH) {
            value.too_long = true;
            return;
        }
        value.chars[value.length++] = static_cast<char>(c);
        skip_byte(source);
    }
    value.chars[value.length] = '\0';
}

void set_message(input_result& result, input_status status, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void set_message(input_result& result, input_status status, const char* format, ...) {
    result.status = status;
    va_list args;
    va_start(args, format);
    std::vsnprintf(result.message, INPUT_MESSAGE_SIZE, format, args);
    va_end(args);
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

// Optional sign, digits with an optional decimal point (at least one digit
// in all), optional exponent: E or e, optional sign, digits.
bool is_real_text(const char* s) {
    std::size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    std::size_t digits = 0;
    for (; is_digit(s[i]); ++i) {
        ++digits;
    }
    if (s[i] == '.') {
        for (++i; is_digit(s[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (s[i] == 'E' || s[i] == 'e') {
        ++i;
        i += (s[i] == '+' || s[i] == '-') ? 1 : 0;
        if (!is_digit(s[i])) {
            return false;
        }
        while (is_digit(s[i])) {
            ++i;
        }
    }
    return s[i] == '\0';
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
    if (!is_real_text(value.chars)) {
        return refuse_value(result, item, value, "is not a number");
    }
    out = std::strtof(value.chars, nullptr);
    if (std::isinf(out)) {
        return refuse_value(result, item, value, "is too large for single precision");
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

bool convert_value(input_result& result, int index, const value_text& value) {
    const char* item = ITEM_NAMES[index];
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

// Skips blanks and at most one comma before the value with the given index.
// Returns false, with the message set, when the input cannot go on to it.
bool skip_separators(byte_source& source, input_result& result, int index) {
    const char* item = ITEM_NAMES[index];
    // A comma before the first value, or a second one, leaves a value empty.
    bool comma_allowed = index > 0;
    for (int c = peek_byte(source);; c = peek_byte(source)) {
        if (is_blank(c)) {
            skip_byte(source);
        } else if (c == ',' && comma_allowed) {
            comma_allowed = false;
            skip_byte(source);
        } else if (c == ',') {
            set_message(result, input_status::bad_input,
                        "%s: empty value (a comma with no value before it)", item);
            return false;
        } else if (c == '/') {
            set_message(result, input_status::bad_input, "\"/\" ended the input before the %s",
                        item);
            return false;
        } else if (c == END_OF_INPUT) {
            set_message(result, input_status::bad_input, "input ended before the %s", item);
            return false;
        } else if (c == READ_ERROR) {
            set_message(result, input_status::read_failure, "cannot read standard input: %s",
                        std::strerror(source.read_errno));
            return false;
        } else {
            return true;
        }
    }
}

input_result read_from(byte_source& source) {
    input_result result{};
    result.status = input_status::ok;
    value_text value;
    for (int index = 0; index < 3; ++index) {
        if (!skip_separators(source, result, index)) {
            return result;
        }
        read_value_text(source, value);
        if (peek_byte(source) == READ_ERROR) {
            set_message(result, input_status::read_failure, "cannot read standard input: %s",
                        std::strerror(source.read_errno));
            return result;
        }
        if (!convert_value(result, index, value)) {
            return result;
        }
    }
    return result;
}

}  // namespace

input_result read_run_input(int fd) {
    byte_source source{};
    source.fd = fd;
    input_result result = read_from(source);
    if (is_regular_file(fd)) {
        if (result.status == input_status::ok) {
            skip_rest_of_line(source);
        }
        return_unused_bytes(source);
    }
    return result;
}

input_result parse_run_input(const char* text, std::size_t length) {
    byte_source source{};
    source.fd = -1;
    source.data = reinterpret_cast<const unsigned char*>(text);
    source.length = length;
    return read_from(source);
}
