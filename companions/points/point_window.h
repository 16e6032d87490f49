#pragma once

#include <string>

// A window of distances or azimuths, in degrees, both bounds inclusive.
// An azimuth window whose lower bound lies above its upper one wraps
// through north: 330:30 holds 330 up to 360 and 0 up to 30.
struct angle_window {
    float min = 0.0f;
    float max = 0.0f;
    bool any = true;  // no window given: every value is inside, NaN too

    bool contains(float value) const {
        if (any) {
            return true;
        }
        return min <= max ? min <= value && value <= max : min <= value || value <= max;
    }
};

// Reads "MIN:MAX" (two decimal reals) for `option` ("--distance"), each
// within lowest..highest degrees. MIN above MAX is taken as a wrap when
// `wraps`, and refused otherwise. False, with one line in `problem`.
bool parse_angle_window(const std::string& text, const char* option, float lowest,
                        float highest, bool wraps, angle_window& window,
                        std::string& problem);
