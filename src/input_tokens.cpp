#include "input_tokens.h"

#include "decimal_real.h"

namespace {

bool is_blank(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool ends_value(int c) {
    return c < 0 || is_blank(c) || c == ',' || c == '/';
}

}  // namespace

separator_end skip_separators(byte_source& source, bool comma_allowed) {
    for (int c = source.peek();; c = source.peek()) {
        if (is_blank(c)) {
            source.skip();
        } else if (c == ',' && comma_allowed) {
            comma_allowed = false;
            source.skip();
        } else if (c == ',') {
            return separator_end::second_comma;
        } else if (c == '/') {
            return separator_end::slash;
        } else if (c == END_OF_INPUT) {
            return separator_end::end_of_input;
        } else if (c == READ_ERROR) {
            return separator_end::read_error;
        } else {
            return separator_end::value;
        }
    }
}

void read_value_text(byte_source& source, value_text& value) {
    value.length = 0;
    value.too_long = false;
    for (int c = source.peek(); !ends_value(c); c = source.peek()) {
        if (value.length == MAX_VALUE_LENGTH) {
            value.too_long = true;
            return;
        }
        value.chars[value.length++] = static_cast<char>(c);
        source.skip();
    }
    value.chars[value.length] = '\0';
}

void skip_rest_of_line(byte_source& source, std::string* rest) {
    for (int c = source.peek(); c >= 0; c = source.peek()) {
        source.skip();
        if (c == '\n') {
            return;
        }
        if (rest != nullptr && rest->size() < MAX_VALUE_LENGTH) {
            *rest += static_cast<char>(c);
        }
    }
}

int leading_numbers(std::string_view text) {
    int count = 0;
    std::size_t start = 0;
    for (;;) {
        while (start < text.size() && (is_blank(text[start]) || text[start] == ',')) {
            ++start;
        }
        std::size_t end = start;
        while (end < text.size() && !ends_value(text[end])) {
            ++end;
        }
        if (end == start || !is_decimal_real(text.substr(start, end - start))) {
            return count;
        }
        ++count;
        start = end;
    }
}
