#pragma once

#include <array>
#include <cstdint>

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
               float& azimuth) const;

private:
    bool surely_holds(const contour_position& position, std::int32_t grid_dist, int az) const;

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
