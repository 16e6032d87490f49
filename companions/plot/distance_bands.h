#pragma once

#include <string>
#include <vector>

// Distance windows shaded on the map: the annulus between two distances from
// the centre (degrees of arc), such as 30 to 90 degrees for receiver
// functions or the 104 to 140 degree shadow zone.

struct distance_band {
    double min;         // degrees, 0..180
    double max;         // degrees, min < max <= 180
    std::string label;  // GMT text: the user's label, or "30-90°"
    std::string name;   // the label as the user reads it, for messages
};

// "MIN:MAX" or "MIN:MAX:LABEL" as --band takes it. False, with why, when the
// distances are not numbers with 0 <= MIN < MAX <= 180, or the label cannot
// be shown (see title_for_gmt).
bool parse_band(const std::string& text, distance_band& band, std::string& problem);

// Whether a distance lies in the band, both bounds included.
inline bool in_band(const distance_band& band, double distance) {
    return distance >= band.min && distance <= band.max;
}

// Whether a distance lies in any of the bands.
bool in_any_band(const std::vector<distance_band>& bands, double distance);

// The fill of the band at `index` as GMT takes it, translucent so that land
// and ocean show through: a colour of a short palette, then again.
std::string band_fill(std::size_t index);

// How much of the band's colour a shaded pixel holds (0..1): the palette's
// opacity. A pixel under a band is (1 - a) base + a band colour.
inline constexpr double BAND_OPACITY = 0.35;
