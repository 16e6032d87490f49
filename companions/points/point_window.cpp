#include "points/point_window.h"

#include <string_view>

#include "decimal_real.h"

namespace {

bool read_bound(std::string_view text, float lowest, float highest, float& value) {
    return read_decimal_real(text, value) == real_reading::read && value >= lowest &&
           value <= highest;
}

}  // namespace

bool parse_angle_window(const std::string& text, const char* option, float lowest,
                        float highest, bool wraps, angle_window& window,
                        std::string& problem) {
    const std::string_view all = text;
    const std::size_t colon = all.find(':');
    const bool read = colon != std::string_view::npos &&
                      read_bound(all.substr(0, colon), lowest, highest, window.min) &&
                      read_bound(all.substr(colon + 1), lowest, highest, window.max) &&
                      (wraps || window.min <= window.max);
    if (!read) {
        const std::string high = std::to_string(static_cast<int>(highest));
        problem = std::string(option) + " needs MIN:MAX, two numbers of degrees from " +
                  std::to_string(static_cast<int>(lowest)) + " to " + high +
                  (wraps ? " (MIN above MAX wraps through " + high + ")" : ", MIN not above MAX") +
                  ", not \"" + text + "\"";
        return false;
    }
    window.any = false;
    return true;
}
