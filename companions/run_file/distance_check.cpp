#include "run_file/distance_check.h"

#include <cmath>

#include "base/double_angles.h"
#include "contour/nearest_integer.h"

// A record's check is settled without measuring the point the program's
// way (three single-precision sines and cosines, an arccosine) where the
// true cosine of its distance from the centre, computed in double, lies
// well inside the cosines of the check's half-degrees. Every record a run
// writes lies within 0.01 degree of its ring, so nearly all are settled
// so; the rest are measured as the program measures.
//
// How far the program's measurement can stray, for points with latitudes
// within +-90 and longitudes within +-720 degrees:
// - each colatitude 90 - lat is rounded (under 7.7e-6 degree) and taken to
//   radians with two roundings and a pi 4.8e-8 below pi (relatively):
//   within 6.7e-7 radian, so each sine and cosine of it within 7.9e-7 with
//   the routine's last-place error (1.2e-7), and each product of two
//   within 1.7e-6;
// - the longitude difference is rounded (under 6.1e-5 degree, below 2048)
//   and taken to radians (relatively 1.7e-7 of at most 25.2 radians):
//   within 5.4e-6 radian, so its cosine within 5.5e-6, and the longitude
//   term within 7.2e-6;
// - so the cosine of the distance lies within 9e-6 of the true one;
// - and its arccosine, in degrees, within 5e-5 degree of the true
//   arccosine of that cosine (the routine's last-place error of 1.4e-5
//   degree, the conversion's roundings and its pi, 3.1e-5 at 180).
// A true cosine more than COSINE_SLACK inside the cosines of
// n - 0.5 + ANGLE_SLACK and n + 0.5 - ANGLE_SLACK degrees therefore gives
// a measured distance in [n - 0.5, n + 0.5), which rounds to n; such a
// point is over half a degree from the centre, never coincident with it.

namespace {

constexpr double COSINE_SLACK = 2e-5;  // over twice the 9e-6 above and the series' 1.3e-7
constexpr double ANGLE_SLACK = 1e-4;   // degrees, twice the 5e-5 above
constexpr float MOST_BOUNDED_LONGITUDE = 720.0f;
constexpr std::int32_t FIRST_BOUNDED = 1;
constexpr std::int32_t LAST_BOUNDED = 179;

bool bounded(float lon, float lat) {
    return std::fabs(lon) <= MOST_BOUNDED_LONGITUDE && std::fabs(lat) <= 90.0f;
}

// Sine and cosine of x in [-pi/2, pi/2] by their Taylor series through
// x^11 and x^12: alternating with falling terms, so within the first term
// left out, (pi/2)^13 / 13! = 5.7e-8 and (pi/2)^14 / 14! = 6.4e-9, which
// the slack above leaves room for.
constexpr double factorial(int k) {
    return k <= 1 ? 1.0 : k * factorial(k - 1);
}

double taylor_sine(double x) {
    const double x2 = x * x;
    return x * (1.0 + x2 * (-1.0 / factorial(3) +
                            x2 * (1.0 / factorial(5) +
                                  x2 * (-1.0 / factorial(7) +
                                        x2 * (1.0 / factorial(9) +
                                              x2 * (-1.0 / factorial(11)))))));
}

double taylor_cosine(double x) {
    const double x2 = x * x;
    return 1.0 + x2 * (-1.0 / factorial(2) +
                       x2 * (1.0 / factorial(4) +
                             x2 * (-1.0 / factorial(6) +
                                   x2 * (1.0 / factorial(8) +
                                         x2 * (-1.0 / factorial(10) +
                                               x2 * (1.0 / factorial(12)))))));
}

// Cosine of a longitude difference of at most 1440 degrees: whole turns
// taken off, then cos x = -cos(180 - x) beyond 90.
double cosine_of_degrees(double difference) {
    double x = std::fabs(difference);
    x = std::fabs(x - 360.0 * static_cast<double>(static_cast<int>(x / 360.0 + 0.5)));
    if (x > 90.0) {
        return -taylor_cosine((180.0 - x) * RADIANS_PER_DEGREE);
    }
    return taylor_cosine(x * RADIANS_PER_DEGREE);
}

}  // namespace

distance_check::distance_check(float center_lon, float center_lat)
    : lon_(center_lon),
      lat_(center_lat),
      centre_(colatitude_terms_of(center_lat)),
      sin_lat_(std::sin(static_cast<double>(center_lat) * RADIANS_PER_DEGREE)),
      cos_lat_(std::cos(static_cast<double>(center_lat) * RADIANS_PER_DEGREE)),
      bounded_centre_(bounded(center_lon, center_lat)) {
    for (std::int32_t n = FIRST_BOUNDED; n <= LAST_BOUNDED; ++n) {
        lowest_cosine_[static_cast<std::size_t>(n)] =
            std::cos((n + 0.5 - ANGLE_SLACK) * RADIANS_PER_DEGREE) + COSINE_SLACK;
        highest_cosine_[static_cast<std::size_t>(n)] =
            std::cos((n - 0.5 + ANGLE_SLACK) * RADIANS_PER_DEGREE) - COSINE_SLACK;
    }
}

bool distance_check::surely_rounds_to_check(const contour_position& position) const {
    const std::int32_t n = position.dist_check;
    if (!bounded_centre_ || !bounded(position.lon, position.lat) || n < FIRST_BOUNDED ||
        n > LAST_BOUNDED) {
        return false;  // NaN fails the bounds too
    }
    const double lat = static_cast<double>(position.lat) * RADIANS_PER_DEGREE;
    const double lon_difference =
        static_cast<double>(position.lon) - static_cast<double>(lon_);
    const double cosine = sin_lat_ * taylor_sine(lat) +
                          cos_lat_ * taylor_cosine(lat) * cosine_of_degrees(lon_difference);
    const auto index = static_cast<std::size_t>(n);
    return cosine > lowest_cosine_[index] && cosine < highest_cosine_[index];
}

bool distance_check::holds(const contour_position& position, std::int32_t& measured) const {
    if (surely_rounds_to_check(position)) {
        return true;
    }
    const latitude_pair_terms pair =
        latitude_pair_terms_of(centre_, colatitude_terms_of(position.lat));
    measured = nearest_integer(dist_from_terms(pair, lat_, lon_, position.lat, position.lon));
    return measured == position.dist_check;
}
