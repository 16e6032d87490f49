#pragma once

// The standard library's text of a single, to check the companions' own
// shortest digits against: std::to_chars in its shortest form, and the
// fixed form of the same digits.

#include <charconv>
#include <cstddef>
#include <string>

#include "base/shortest_digits.h"

// std::to_chars of the value, shortest (or shortest fixed, when `fixed`).
inline std::string library_text(float value, bool fixed = false) {
    char text[64];
    char* end = fixed ? std::to_chars(text, text + sizeof text, value,
                                      std::chars_format::fixed).ptr
                      : std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// digits x 10^exponent in fixed notation.
inline std::string fixed_text(const shortest_decimal& decimal) {
    std::string digits = std::to_string(decimal.digits);
    if (decimal.exponent >= 0) {
        return digits + std::string(static_cast<std::size_t>(decimal.exponent), '0');
    }
    const auto decimals = static_cast<std::size_t>(-decimal.exponent);
    if (digits.size() <= decimals) {
        digits.insert(0, decimals - digits.size() + 1, '0');
    }
    digits.insert(digits.size() - decimals, 1, '.');
    return digits;
}
