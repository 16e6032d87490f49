#include "contour/destination_point.h"

#include <cmath>

#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

namespace {

// Degrees to radians for the solver: the single nearest to pi/180
// (bit pattern 0x3C8EFA35). Arcsine results go back to degrees by dividing
// by it. It is deliberately not the conversion of the sphere routines.
constexpr float DEG = 0.017453292f;

// Tolerance in degrees for both the distance and the azimuth check.
constexpr float TOLERANCE = 0.01f;

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
    // azimuths of the sphere routines to grid azimuths 180..360. std::round
    // keeps NaN as NaN (never equal to 1) and needs no integer conversion.
    return std::round(az_diff / 360.0f) == 1.0f;
}

ring_solution destination_point(const float& center_lon, const float& center_lat,
                                const float& ring_dist, const float& ring_az) {
    const float sin_dist = std::sin(ring_dist * DEG);
    // X: sine of the latitude sought, from the spherical triangle.
    const float x = std::sin(center_lat * DEG) * std::cos(ring_dist * DEG) +
                    std::cos(ring_az * DEG) * (sin_dist * std::cos(center_lat * DEG));
    // S: cosine of that latitude; NaN when rounding makes X*X exceed 1.
    const float s = std::sqrt(1.0f - x * x);
    const float lat = std::asin(x) / DEG;
    // Y: sine of the longitude offset; infinite or NaN at a pole (S = 0).
    const float y = (std::sin(ring_az * DEG) * sin_dist) / s;
    const float delta = std::asin(y) / DEG;

    const float lon_a = delta + center_lon;
    const float lon_b = (center_lon + 180.0f) - delta;

    // All four measurements are taken before any test.
    float dist_a = 0.0f;
    float az_a = 0.0f;
    float dist_b = 0.0f;
    float az_b = 0.0f;
    dist_calculation(center_lat, center_lon, lat, lon_a, dist_a);
    azimuth_cal(center_lon, center_lat, lon_a, lat, az_a);
    dist_calculation(center_lat, center_lon, lat, lon_b, dist_b);
    azimuth_cal(center_lon, center_lat, lon_b, lat, az_b);

    if (candidate_passes(dist_a, az_a, ring_dist, ring_az)) {
        return {true, {lon_a, lat, dist_a}};
    }
    if (candidate_passes(dist_b, az_b, ring_dist, ring_az)) {
        return {true, {lon_b, lat, dist_b}};
    }
    return {false, {0.0f, 0.0f, 0.0f}};
}
