#include "base/ring_palette.h"

#include <algorithm>
#include <cmath>

namespace {

// Coefficients of the polynomial: red, green and blue in 0..1 from t in
// 0..1, constant term first.
constexpr double TURBO[3][6] = {
    {0.13572138, 4.61539260, -42.66032258, 132.13108234, -152.94239396, 59.28637943},
    {0.09140261, 2.19418839, 4.84296658, -14.18503333, 4.27729857, 2.82956604},
    {0.10667330, 12.64194608, -60.58204836, 110.36276771, -89.90310912, 27.34824973},
};

int channel_level(int channel, double t) {
    double value = 0.0;
    for (int power = 5; power >= 0; --power) {
        value = value * t + TURBO[channel][power];
    }
    return static_cast<int>(std::lround(255.0 * std::fmin(1.0, std::fmax(0.0, value))));
}

}  // namespace

rgb_colour turbo_colour(double t) {
    return {channel_level(0, t), channel_level(1, t), channel_level(2, t)};
}

rgb_colour ring_colour(std::int32_t degrees, std::int32_t low, std::int32_t high) {
    const double span = std::max(high, low + 1) - low;
    return turbo_colour((degrees - low) / span);
}
