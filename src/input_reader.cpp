#include "input_reader.h"

#include <cstring>

#include "byte_source.h"
#include "input_tokens.h"
#include "input_values.h"

namespace {

void set_read_failure(input_result& result, const byte_source& source) {
    set_message(result, input_status::read_failure, "cannot read standard input: %s",
                std::strerror(source.read_errno()));
}

// Goes over the separators before the value with the given index. False,
// with the message set, when the input cannot go on to it.
bool reach_value(byte_source& source, input_result& result, int index) {
    const char* item = value_name(index);
    // A comma before the first value, or a second one, leaves a value empty.
    switch (skip_separators(source, index > 0)) {
        case separator_end::value:
            return true;
        case separator_end::second_comma:
            set_message(result, input_status::bad_input,
                        "%s: empty value (a comma with no value before it)", item);
            return false;
        case separator_end::slash:
            set_message(result, input_status::bad_input, "\"/\" ended the input before the %s",
                        item);
            return false;
        case separator_end::end_of_input:
            set_message(result, input_status::bad_input, "input ended before the %s", item);
            return false;
        case separator_end::read_error:
            set_read_failure(result, source);
            return false;
    }
    return false;
}

// The three values, each after its separators. A read error inside a value
// fails the input even when the characters read so far would make a value.
input_result read_from(byte_source& source) {
    input_result result{};
    result.status = input_status::ok;
    value_text value;
    for (int index = 0; index < VALUE_COUNT; ++index) {
        if (!reach_value(source, result, index)) {
            return result;
        }
        read_value_text(source, value);
        if (source.peek() == READ_ERROR) {
            set_read_failure(result, source);
            return result;
        }
        if (!convert_value(result, index, value)) {
            return result;
        }
    }
    return result;
}

// The rest of the third value's line as far as it is at hand: the bytes
// already read, up to its newline.
std::string_view rest_at_hand(const byte_source& source) {
    const std::string_view bytes = source.buffered();
    return bytes.substr(0, bytes.find('\n'));
}

}  // namespace

input_result read_run_input(int fd) {
    byte_source source(fd);
    input_result result = read_from(source);
    // Only a regular file's rest of line is passed over: its end is always
    // near, while a pipe or a terminal may never send the newline, and of
    // it only what has come with the values is looked at.
    if (source.regular_file()) {
        std::string rest;
        if (result.status == input_status::ok) {
            skip_rest_of_line(source, &rest);
            result.ignored_numbers = leading_numbers(rest);
        }
        source.return_unused();
    } else if (result.status == input_status::ok) {
        result.ignored_numbers = leading_numbers(rest_at_hand(source));
    }
    return result;
}

input_result parse_run_input(const char* text, std::size_t length) {
    byte_source source(text, length);
    input_result result = read_from(source);
    if (result.status == input_status::ok) {
        result.ignored_numbers = leading_numbers(rest_at_hand(source));
    }
    return result;
}
