#include "plot/azimuthal_map.h"

#include <cmath>

#include "base/double_angles.h"

map_point project(const azimuthal_map& map, const geo_point& point) {
    const double phi0 = map.centre.lat * RADIANS_PER_DEGREE;
    const double phi = point.lat * RADIANS_PER_DEGREE;
    const double dlambda = (point.lon - map.centre.lon) * RADIANS_PER_DEGREE;
    // Distance by the haversine-free vector form, exact near the centre too.
    const double north = std::cos(phi0) * std::sin(phi) - std::sin(phi0) * std::cos(phi) * std::cos(dlambda);
    const double east = std::cos(phi) * std::sin(dlambda);
    const double along = std::sin(phi0) * std::sin(phi) + std::cos(phi0) * std::cos(phi) * std::cos(dlambda);
    const double distance = std::atan2(std::hypot(north, east), along) / RADIANS_PER_DEGREE;
    const double azimuth = std::atan2(east, north);
    const double r = distance / map.horizon * map.radius;
    return {r * std::sin(azimuth), r * std::cos(azimuth)};
}

bool on_map(const azimuthal_map& map, const geo_point& point) {
    const map_point at = project(map, point);
    return std::hypot(at.x, at.y) <= map.radius;
}

geo_point point_towards(const azimuthal_map& map, double distance, double azimuth) {
    const double phi0 = map.centre.lat * RADIANS_PER_DEGREE;
    const double delta = distance * RADIANS_PER_DEGREE;
    const double alpha = azimuth * RADIANS_PER_DEGREE;
    const double sin_phi =
        std::sin(phi0) * std::cos(delta) + std::cos(phi0) * std::sin(delta) * std::cos(alpha);
    const double phi = std::asin(std::fmax(-1.0, std::fmin(1.0, sin_phi)));
    // tan(dlambda) = sin(alpha) sin(delta) cos(phi0) / (cos(delta) - sin(phi0)
    // sin(phi)), the denominator being cos(phi0) (cos(delta) cos(phi0) -
    // sin(phi0) sin(delta) cos(alpha)): with cos(phi0) taken out of both, as
    // here, nothing cancels at a pole, where the difference above rounds to
    // 0 and every point came out due east or west.
    const double side = std::cos(phi0) < 0.0 ? -1.0 : 1.0;  // a centre beyond +-90
    const double dlambda = std::atan2(
        side * std::sin(alpha) * std::sin(delta),
        side * (std::cos(delta) * std::cos(phi0) - std::sin(phi0) * std::sin(delta) * std::cos(alpha)));
    return {map.centre.lon + dlambda / RADIANS_PER_DEGREE, phi / RADIANS_PER_DEGREE};
}
