#include "plot/distance_bands.h"

#include <cmath>

#include "decimal_real.h"
#include "plot/title_text.h"

namespace {

// Colours that stay apart from the rings' turbo scale, from land (wheat)
// and from ocean (light blue), and from each other.
constexpr const char* BAND_COLOURS[] = {"purple", "darkgreen", "darkorange3", "navy", "firebrick"};

// A distance of a band: a finite number of degrees in 0..180, taken as the
// nearest single, as the measuring command takes its window, so that a
// point is in a band exactly when it is in that window.
bool parse_distance(const std::string& text, double& value) {
    float distance = 0.0f;
    if (read_decimal_real(text, distance) != real_reading::read) {
        return false;
    }
    value = static_cast<double>(distance);
    return value >= 0.0 && value <= 180.0;
}

// "30-90°", or with decimals "104.5-140°", as GMT text ("@." is the degree
// sign).
std::string default_label(const std::string& min, const std::string& max) {
    return min + "-" + max + "@.";
}

}  // namespace

bool parse_band(const std::string& text, distance_band& band, std::string& problem) {
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    const std::string min = text.substr(0, first);
    const std::string max = first == std::string::npos
                                ? std::string()
                                : text.substr(first + 1, second == std::string::npos
                                                             ? std::string::npos
                                                             : second - first - 1);
    if (first == std::string::npos || !parse_distance(min, band.min) ||
        !parse_distance(max, band.max) || !(band.min < band.max)) {
        problem = "--band must be MIN:MAX[:LABEL] with distances in degrees, 0 <= MIN < MAX <= "
                  "180, not \"" + text + "\"";
        return false;
    }
    band.name = second == std::string::npos ? min + "-" + max : text.substr(second + 1);
    if (second == std::string::npos) {
        band.label = default_label(min, max);
        return true;
    }
    const gmt_text label = title_for_gmt(band.name);
    if (!label.ok || band.name.empty()) {
        problem = "--band " + text + ": " + (label.ok ? "the label is empty" : label.problem);
        return false;
    }
    band.label = label.text;
    return true;
}

bool in_any_band(const std::vector<distance_band>& bands, double distance) {
    for (const distance_band& band : bands) {
        if (in_band(band, distance)) {
            return true;
        }
    }
    return false;
}

std::string band_fill(std::size_t index) {
    constexpr std::size_t colours = sizeof BAND_COLOURS / sizeof BAND_COLOURS[0];
    // GMT takes transparency in percent: 100 - opacity.
    const long transparency = std::lround((1.0 - BAND_OPACITY) * 100.0);
    return std::string(BAND_COLOURS[index % colours]) + "@" + std::to_string(transparency);
}
