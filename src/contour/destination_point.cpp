#include "contour/destination_point.h"

#include <cmath>

#include "contour/nearest_integer.h"

namespace {

// Degrees to radians for the solver: the single nearest to pi/180
// (bit pattern 0x3C8EFA35). Arcsine results go back to degrees by dividing
// by it. It is deliberately not the conversion of the sphere routines.
constexpr float DEG = 0.017453292f;

// Tolerance in degrees for both the distance and the azimuth check.
constexpr float TOLERANCE = 0.01f;

// What measuring a candidate needs of the latitude both candidates share.
struct candidate_latitude {
    float lat;
    latitude_pair_terms pair;  // the centre's and this latitude's, for distances
    latitude_terms terms;      // for azimuths
};

// Candidate A need not be measured where its distance cannot pass. On the
// sphere, with the latitude's sine X and offset delta,
//   cos(dist A) = sin(lat0) X + cos(lat0) cos(lat) cos(delta),
// and the last term is never negative for a centre within +-90 degrees of
// latitude, as |delta| <= 90 for candidate A. So where
//   g = cos(D) - sin(lat0) X < -1e-3,
// cos(dist A) exceeds cos(D) by more than 1e-3, and as |cos a - cos b| <=
// |a - b|, dist A falls short of D by more than 1e-3 radian, 0.057 degree.
// What the singles change is far less: X, sin(lat0), cos(D) and g within a
// few 1e-7 of their values; the point measured is (lonA, lat) as rounded,
// whose sine of latitude lies within 1e-6 of X and whose offset from the
// centre stays within 90.0002 degrees for |lon0| <= 1000 (cos(delta) >=
// -4e-6); the measurement's cosine is within 1e-6 of the point's, its
// arccosine and degree conversion within 1e-6 radian. Together under 2e-5
// of the 1e-3, so the measured distance is still more than 0.05 degree
// short of D, beyond the 0.01 tolerance: candidate A fails whether
// measured or not, and the measurements have no effects.
constexpr float CANDIDATE_A_BOUND = -1e-3f;
constexpr float BOUNDED_CENTRE_LONGITUDE = 1000.0f;

}  // namespace

bool candidate_passes(float dist, float az, float ring_dist, float ring_az) {
    // Every comparison with NaN is false, so a NaN measurement fails.
    if (!(std::fabs(dist - ring_dist) <= TOLERANCE)) {
        return false;
    }
    const float az_diff = std::fabs(az - ring_az);
    if (az_diff <= TOLERANCE) {
        return true;
    }
    // Whole-turn clause: the difference divided by 360, rounded to nearest
    // with halves away from zero, equals one. This matches the -180..180
    // azimuths of the sphere routines to grid azimuths 180..360. A NaN
    // quotient rounds to 0.
    return nearest_integer(az_diff / 360.0f) == 1;
}

float centre_latitude_sine(float center_lat) {
    return std::sin(center_lat * DEG);
}

bool centre_near_pole(float center_lat) {
    return std::fabs(centre_latitude_sine(center_lat)) > POLAR_LATITUDE_SINE;
}

grid_azimuth::grid_azimuth(float ring_az)
    : az_(ring_az), sin_az_(std::sin(ring_az * DEG)), cos_az_(std::cos(ring_az * DEG)) {}

ring_solver::ring_solver(float center_lon, float center_lat)
    : lon_(center_lon),
      lat_(center_lat),
      sin_lat_(centre_latitude_sine(center_lat)),
      cos_lat_(std::cos(center_lat * DEG)),
      colatitude_(colatitude_terms_of(center_lat)),
      azimuth_(azimuth_point_of(center_lon, latitude_terms_of(center_lat))),
      a_may_be_skipped_(std::fabs(center_lat) <= 90.0f &&
                        std::fabs(center_lon) <= BOUNDED_CENTRE_LONGITUDE) {}

ring_frame ring_solver::ring_at(float ring_dist) const {
    return ring_frame(*this, ring_dist);
}

ring_frame::ring_frame(const ring_solver& centre, float ring_dist)
    : centre_(centre),
      dist_(ring_dist),
      sin_dist_(std::sin(ring_dist * DEG)),
      cos_dist_(std::cos(ring_dist * DEG)),
      lat_term_(centre.sin_lat_ * cos_dist_),
      slant_term_(sin_dist_ * centre.cos_lat_) {}

ring_candidates ring_frame::candidates(const grid_azimuth& azimuth) const {
    return candidates_inline(azimuth);
}

// candidates(), inline where the solver calls it for every position.
[[gnu::always_inline]] inline ring_candidates ring_frame::candidates_inline(
    const grid_azimuth& azimuth) const {
    // X: sine of the latitude sought, from the spherical triangle.
    const float x = lat_term_ + azimuth.cos_az_ * slant_term_;
    // S: cosine of that latitude; NaN when rounding makes X*X exceed 1.
    const float s = std::sqrt(1.0f - x * x);
    const float lat = std::asin(x) / DEG;
    // Y: sine of the longitude offset; infinite or NaN at a pole (S = 0).
    const float y = (azimuth.sin_az_ * sin_dist_) / s;
    const float delta = std::asin(y) / DEG;
    return {x, lat, delta, centre_.lon_};
}

ring_solution ring_frame::solve(const grid_azimuth& azimuth) const {
    const ring_candidates candidate = candidates_inline(azimuth);
    const float x = candidate.x;
    const float lat = candidate.lat;

    const candidate_latitude latitude{
        lat, latitude_pair_terms_of(centre_.colatitude_, colatitude_terms_of(lat)),
        latitude_terms_of(lat)};
    // Measures the candidate at longitude lon and tests it: the distance as
    // dist_calculation(lat0, lon0, lat, lon) and the azimuth as
    // azimuth_cal(lon0, lat0, lon, lat) would give them.
    ring_solution solution{true, {}};
    const auto passes = [&](float lon) {
        const float dist = dist_from_terms(latitude.pair, centre_.lat_, centre_.lon_, lat, lon);
        const float az = azimuth_between(centre_.azimuth_, azimuth_point_of(lon, latitude.terms));
        solution.point = {lon, lat, dist};
        return candidate_passes(dist, az, dist_, azimuth.az_);
    };
    // The measurements have no effects, so candidate B is measured only
    // when candidate A fails, and candidate A only where it can pass (see
    // CANDIDATE_A_BOUND): the result is the same as measuring both first.
    const bool a_cannot_pass =
        centre_.a_may_be_skipped_ && cos_dist_ - centre_.sin_lat_ * x < CANDIDATE_A_BOUND;
    if ((!a_cannot_pass && passes(candidate.lon_a())) || passes(candidate.lon_b())) {
        return solution;
    }
    return {false, {0.0f, 0.0f, 0.0f}};
}

ring_solution destination_point(const float& center_lon, const float& center_lat,
                                const float& ring_dist, const float& ring_az) {
    return ring_solver(center_lon, center_lat).ring_at(ring_dist).solve(grid_azimuth(ring_az));
}
