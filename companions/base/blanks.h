#pragma once

#include <string_view>

// Blanks as the tables the companions read have them between fields.
inline constexpr std::string_view BLANKS = " \t";

// The text without the blanks around it: any of the characters of
// `blanks`, spaces and tabs unless told.
inline std::string_view without_blanks(std::string_view text,
                                       std::string_view blanks = BLANKS) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
