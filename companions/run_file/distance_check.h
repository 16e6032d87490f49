#pragma once

#include <array>
#include <cstdint>

#include "run_file/contour_run.h"
#include "sphere/dist_calculation.h"

// The distance check of a record: the distance of its point from the
// centre as the program measured it (dist_calculation), rounded to the
// nearest integer. An edited coordinate or check is told apart.
class distance_check {
public:
    distance_check() = default;
    distance_check(float center_lon, float center_lat);

    // Whether the record's check is its point's measured distance,
    // rounded; when not, that rounded distance is in `measured`.
    bool holds(const contour_position& position, std::int32_t& measured) const;

private:
    bool surely_rounds_to_check(const contour_position& position) const;

    float lon_ = 0.0f;
    float lat_ = 0.0f;
    colatitude_terms centre_{};
    // The centre's latitude, sine and cosine, in double; whether the
    // centre lies where the bounds of distance_check.cpp hold.
    double sin_lat_ = 0.0;
    double cos_lat_ = 0.0;
    bool bounded_centre_ = false;
    // For each check n from 1 to 179, the open interval of true cosines
    // of the distance whose measurement surely rounds to n (see
    // distance_check.cpp).
    std::array<double, 180> lowest_cosine_{};
    std::array<double, 180> highest_cosine_{};
};
