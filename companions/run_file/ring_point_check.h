#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "run_file/angle_series.h"
#include "run_file/contour_run.h"
#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

// Whether a record holds a point of its ring: measured back from the centre
// with the sphere routines, as the run measured every point it accepted, it
// lies at the ring's distance and the record's azimuth by the rule the run
// accepted points with (a tolerance, and an azimuth difference of a whole
// turn, as the routines give -180..180), with a little slack. A point moved
// off its ring, or copied or swapped to another azimuth, is told apart.
class ring_point_check {
public:
    ring_point_check() = default;
    ring_point_check(float center_lon, float center_lat);

    // Whether the record at grid azimuth `az` (degrees) of ring `grid_dist`
    // holds a point of it; when not, the point's measured distance and
    // azimuth (degrees) are in `dist` and `azimuth`.
    bool holds(const contour_position& position, std::int32_t grid_dist, int az, float& dist,
               float& azimuth) const {
        return surely_holds(position, grid_dist, az) ||
               measured_holds(position, grid_dist, az, dist, azimuth);
    }

    // Whether the point lies, in double precision, so well inside the
    // tolerance that the program's measurement surely does (the bound is
    // in ring_point_check.cpp). Inline: nearly every record is settled so.
    bool surely_holds(const contour_position& position, std::int32_t grid_dist, int az) const;

    // Longitudes and latitudes within which the bound holds.
    static bool bounded(float lon, float lat) {
        return std::fabs(lon) <= 720.0f && std::fabs(lat) <= 90.0f;
    }

private:
    // The point measured as the program measures it.
    bool measured_holds(const contour_position& position, std::int32_t grid_dist, int az,
                        float& dist, float& azimuth) const;

    float lon_ = 0.0f;
    float lat_ = 0.0f;
    colatitude_terms colatitude_{};
    azimuth_point azimuth_{};
    // The centre's latitude, sine and cosine, in double; whether the centre
    // lies where the bounds of ring_point_check.cpp hold.
    double sin_lat_ = 0.0;
    double cos_lat_ = 0.0;
    bool bounded_centre_ = false;
    // For each ring distance D from 1 to 175: the open interval of true
    // cosines of a distance surely measured within the tolerance of D, and
    // the tangent of the angle within which a true azimuth is surely
    // measured within the tolerance (0 where none is).
    std::array<double, LAST_RING_DIST + 1> lowest_cosine_{};
    std::array<double, LAST_RING_DIST + 1> highest_cosine_{};
    std::array<double, LAST_RING_DIST + 1> azimuth_slack_tangent_{};
    // The cosine and sine of each grid azimuth.
    std::array<double, RING_POSITIONS> cos_az_{};
    std::array<double, RING_POSITIONS> sin_az_{};
};

inline bool ring_point_check::surely_holds(const contour_position& position,
                                           std::int32_t grid_dist, int az) const {
    if (!bounded_centre_ || !bounded(position.lon, position.lat) || grid_dist < 1 ||
        grid_dist > LAST_RING_DIST) {
        return false;  // NaN fails the bounds too
    }
    const auto d = static_cast<std::size_t>(grid_dist);
    const double lat = static_cast<double>(position.lat) * RADIANS_PER_DEGREE;
    const double sin_lat = taylor_sine(lat);
    const double cos_lat = taylor_cosine(lat);
    double sin_lon = 0.0;
    double cos_lon = 0.0;
    sine_and_cosine_of_degrees(static_cast<double>(position.lon) - static_cast<double>(lon_),
                               sin_lon, cos_lon);
    const double cosine = sin_lat_ * sin_lat + cos_lat_ * cos_lat * cos_lon;
    if (!(cosine > lowest_cosine_[d] && cosine < highest_cosine_[d])) {
        return false;
    }
    // The azimuth's vector divided by cos phi1, as the routine's, and its
    // angle from the grid azimuth's: within the slack where the cross
    // product is under the slack's tangent times the dot product.
    const double north = cos_lat_ * sin_lat - sin_lat_ * cos_lat * cos_lon;
    const double east = sin_lon * cos_lat;
    const auto a = static_cast<std::size_t>(az);
    const double dot = north * cos_az_[a] + east * sin_az_[a];
    const double cross = east * cos_az_[a] - north * sin_az_[a];
    return dot > 0.0 && std::fabs(cross) < azimuth_slack_tangent_[d] * dot;
}
