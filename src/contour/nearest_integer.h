#pragma once

#include <cstdint>

// Rounds to the nearest integer, halves away from zero, for the values the
// program rounds: verified distances (0 up to just above 180) and azimuth
// differences in turns (0 up to 1.5). The whole part, plus one when the
// fraction (value - whole part, which is exact) is at least a half. Values
// outside 0..2^24, and NaN, give 0: neither kind ever lies there, and 0 is
// what no caller takes for a match.
inline std::int32_t nearest_integer(float value) {
    if (!(value >= 0.0f && value < 16777216.0f)) {
        return 0;
    }
    const auto whole = static_cast<std::int32_t>(value);
    return value - static_cast<float>(whole) >= 0.5f ? whole + 1 : whole;
}
