#include "contour/destination_point.h"

#include <cmath>

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

// Measures the candidate at longitude lon and tests it: the distance as
// dist_calculation(center_lat, center_lon, lat, lon) and the azimuth as
// azimuth_cal(center_lon, center_lat, lon, lat) would give them.
inline bool measure_candidate(const solver_centre& centre, const candidate_latitude& latitude,
                       float lon, const solver_ring& ring, const solver_azimuth& azimuth,
                       ring_point& point) {
    const float dist = dist_from_terms(latitude.pair, centre.lat, centre.lon, latitude.lat, lon);
    const float az = azimuth_between(centre.azimuth, azimuth_point_of(lon, latitude.terms));
    point = {lon, latitude.lat, dist};
    return candidate_passes(dist, az, ring.dist, azimuth.az);
}

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
    // with halves away from zero, equals one, i.e. the quotient lies in
    // [0.5, 1.5). This matches the -180..180 azimuths of the sphere routines
    // to grid azimuths 180..360. A NaN quotient fails both comparisons.
    const float turns = az_diff / 360.0f;
    return turns >= 0.5f && turns < 1.5f;
}

solver_centre solver_centre_of(float center_lon, float center_lat) {
    return {center_lon,
            center_lat,
            std::sin(center_lat * DEG),
            std::cos(center_lat * DEG),
            colatitude_terms_of(center_lat),
            azimuth_point_of(center_lon, latitude_terms_of(center_lat))};
}

solver_ring solver_ring_of(const solver_centre& centre, float ring_dist) {
    const float sin_dist = std::sin(ring_dist * DEG);
    return {ring_dist, sin_dist, centre.sin_lat * std::cos(ring_dist * DEG),
            sin_dist * centre.cos_lat};
}

solver_azimuth solver_azimuth_of(float ring_az) {
    return {ring_az, std::sin(ring_az * DEG), std::cos(ring_az * DEG)};
}

ring_solution solve_position(const solver_centre& centre, const solver_ring& ring,
                             const solver_azimuth& azimuth) {
    // X: sine of the latitude sought, from the spherical triangle.
    const float x = ring.lat_term + azimuth.cos_az * ring.slant_term;
    // S: cosine of that latitude; NaN when rounding makes X*X exceed 1.
    const float s = std::sqrt(1.0f - x * x);
    const float lat = std::asin(x) / DEG;
    // Y: sine of the longitude offset; infinite or NaN at a pole (S = 0).
    const float y = (azimuth.sin_az * ring.sin_dist) / s;
    const float delta = std::asin(y) / DEG;

    const candidate_latitude latitude{
        lat, latitude_pair_terms_of(centre.colatitude, colatitude_terms_of(lat)),
        latitude_terms_of(lat)};
    // The measurements have no effects, so candidate B is measured only
    // when candidate A fails: the result is the same as measuring both first.
    ring_solution solution{true, {}};
    if (measure_candidate(centre, latitude, delta + centre.lon, ring, azimuth, solution.point)) {
        return solution;
    }
    const float lon_b = (centre.lon + 180.0f) - delta;
    if (measure_candidate(centre, latitude, lon_b, ring, azimuth, solution.point)) {
        return solution;
    }
    return {false, {0.0f, 0.0f, 0.0f}};
}

ring_solution destination_point(const float& center_lon, const float& center_lat,
                                const float& ring_dist, const float& ring_az) {
    const solver_centre centre = solver_centre_of(center_lon, center_lat);
    return solve_position(centre, solver_ring_of(centre, ring_dist), solver_azimuth_of(ring_az));
}
