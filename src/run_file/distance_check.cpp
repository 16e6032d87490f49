#include "run_file/distance_check.h"

#include <cmath>

#include "lines/double_angles.h"
#include "nearest_integer.h"

namespace {

// Degrees by which the true arccosine of the measured cosine must clear
// the half-degrees around the check for the arccosine to be skipped. The
// measurement then adds far less: the single-precision arccosine is within
// a few units in the last place (1e-6 radian, 6e-5 degree), and its
// conversion with 180 / PI (PI a unit below the single nearest pi, a
// relative 3e-8) and the rounding of that product add under 2e-5 degree
// at 180. So the distance measured lies within n - 0.5 and n + 0.5, and
// rounds to n, whenever the cosine lies strictly between the cosines of
// n + 0.5 - MARGIN and n - 0.5 + MARGIN degrees (computed in double,
// within 1e-16 of their values, against a margin worth at least 1e-7 of
// cosine at half a degree).
constexpr double MARGIN = 1e-3;
constexpr std::int32_t FIRST_BOUNDED = 1;
constexpr std::int32_t LAST_BOUNDED = 179;

}  // namespace

distance_check::distance_check(float center_lon, float center_lat)
    : lon_(center_lon), lat_(center_lat), centre_(colatitude_terms_of(center_lat)) {
    for (std::int32_t n = FIRST_BOUNDED; n <= LAST_BOUNDED; ++n) {
        cosine_above_[static_cast<std::size_t>(n)] =
            std::cos((n + 0.5 - MARGIN) * RADIANS_PER_DEGREE);
        cosine_below_[static_cast<std::size_t>(n)] =
            std::cos((n - 0.5 + MARGIN) * RADIANS_PER_DEGREE);
    }
}

bool distance_check::holds(const contour_position& position, std::int32_t& measured) const {
    const latitude_pair_terms pair =
        latitude_pair_terms_of(centre_, colatitude_terms_of(position.lat));
    const float cosine = distance_cosine(pair, lon_, position.lon);
    const std::int32_t n = position.dist_check;
    const bool apart = !coincident(lat_, lon_, position.lat, position.lon);
    if (n >= FIRST_BOUNDED && n <= LAST_BOUNDED && apart) {
        // A NaN cosine fails both comparisons.
        const double c = static_cast<double>(cosine);
        if (c > cosine_above_[static_cast<std::size_t>(n)] &&
            c < cosine_below_[static_cast<std::size_t>(n)]) {
            return true;
        }
    }
    measured = nearest_integer(dist_from_cosine(cosine, lat_, lon_, position.lat, position.lon));
    return measured == n;
}
