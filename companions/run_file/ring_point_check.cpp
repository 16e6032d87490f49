#include "run_file/ring_point_check.h"

#include <algorithm>
#include <cmath>

#include "contour/nearest_integer.h"

// Most records are settled without measuring the point the program's way
// (five single-precision sines and cosines, an arccosine, an arctangent):
// where the true distance and azimuth of the point, computed in double,
// lie well inside the tolerance, the program's measurement does too. The
// rest are measured as the program measures.
//
// The distance: the program's cosine of it lies within 9e-6 of the true
// one and its arccosine in degrees within 5e-5 of the true arccosine of
// that cosine (distance_check.cpp), so a true cosine COSINE_SLACK inside
// the cosines of D + TOLERANCE - ANGLE_SLACK and D - TOLERANCE +
// ANGLE_SLACK is measured within the tolerance of D.
//
// The azimuth, for a centre (phi1) and a point (phi2, distance d) with
// latitudes within +-90 and longitudes within +-720 degrees: the routine
// takes atan2 of east = sin(dlambda) cos phi1 cos phi2 and north = sin phi2
// - sin phi1 k, k the cosine of the distance, a vector of length
// cos phi1 sin d. Each latitude in radians is within 2.7e-7 and its sine
// and cosine within 3.3e-7; each longitude in radians within 1.5e-6 but for
// a rotation both share (pi's 4.8e-8, which k does not see), and their
// difference within 5.2e-6. So k is within 3e-6 cos phi1 + 1.7e-6, north
// within 2.5e-6 + 3e-6 cos phi1 and east within 5.3e-6 cos phi1 + 8e-7:
// the vector turns by at most 3.3e-6 / (cos phi1 sin d) + 8.3e-6 / sin d
// radian; atan2 adds 7.5e-7 and the conversion to degrees 3e-5 degree.
// AZIMUTH_SLACK below takes twice the first two and 1e-4 degree for the
// rest and for the series (1.3e-7). A true azimuth within the tolerance of
// A less that slack is measured within the tolerance of A, or of A - 360,
// which the whole-turn clause takes.

namespace {

// The run's tolerance, 0.01 degree, and a little more, so that a file made
// with another C library's last digits passes.
constexpr float TOLERANCE = 0.011f;

constexpr double COSINE_SLACK = 2e-5;  // as distance_check.cpp
constexpr double ANGLE_SLACK = 1e-4;   // degrees, as distance_check.cpp
constexpr double CENTRE_TURN = 7e-6;   // radian, over twice 3.3e-6 / (cos phi1 sin d)
constexpr double POINT_TURN = 1.7e-5;  // radian, over twice 8.3e-6 / sin d
constexpr double AZIMUTH_SLACK = 1e-4;  // degrees
double radians(float degrees) {
    return static_cast<double>(degrees) * RADIANS_PER_DEGREE;
}

}  // namespace

ring_point_check::ring_point_check(float center_lon, float center_lat)
    : lon_(center_lon),
      lat_(center_lat),
      colatitude_(colatitude_terms_of(center_lat)),
      azimuth_(azimuth_point_of(center_lon, latitude_terms_of(center_lat))),
      sin_lat_(std::sin(radians(center_lat))),
      cos_lat_(std::cos(radians(center_lat))),
      bounded_centre_(bounded(center_lon, center_lat)) {
    const double tolerance = static_cast<double>(TOLERANCE);
    for (std::size_t d = 1; d <= static_cast<std::size_t>(LAST_RING_DIST); ++d) {
        const double ring = static_cast<double>(d);
        lowest_cosine_[d] =
            std::cos((ring + tolerance - ANGLE_SLACK) * RADIANS_PER_DEGREE) + COSINE_SLACK;
        highest_cosine_[d] =
            std::cos((ring - tolerance + ANGLE_SLACK) * RADIANS_PER_DEGREE) - COSINE_SLACK;
        // The azimuth's slack: the tolerance less how far the routine's
        // vector can turn at the least sine of a distance within it.
        const double least_sine = std::min(std::sin((ring - tolerance) * RADIANS_PER_DEGREE),
                                           std::sin((ring + tolerance) * RADIANS_PER_DEGREE));
        const double turn = (CENTRE_TURN / cos_lat_ + POINT_TURN) / least_sine;
        const double slack = tolerance - turn / RADIANS_PER_DEGREE - AZIMUTH_SLACK;
        azimuth_slack_tangent_[d] = slack > 0.0 ? std::tan(slack * RADIANS_PER_DEGREE) : 0.0;
    }
    for (std::size_t az = 0; az < RING_POSITIONS; ++az) {
        cos_az_[az] = std::cos(static_cast<double>(az) * RADIANS_PER_DEGREE);
        sin_az_[az] = std::sin(static_cast<double>(az) * RADIANS_PER_DEGREE);
    }
}

bool ring_point_check::measured_holds(const contour_position& position, std::int32_t grid_dist,
                                      int az, float& dist, float& azimuth) const {
    const latitude_pair_terms pair =
        latitude_pair_terms_of(colatitude_, colatitude_terms_of(position.lat));
    dist = dist_from_terms(pair, lat_, lon_, position.lat, position.lon);
    azimuth = azimuth_between(azimuth_,
                              azimuth_point_of(position.lon, latitude_terms_of(position.lat)));
    const float az_diff = std::fabs(azimuth - static_cast<float>(az));
    return std::fabs(dist - static_cast<float>(grid_dist)) <= TOLERANCE &&
           (az_diff <= TOLERANCE || nearest_integer(az_diff / 360.0f) == 1);
}
