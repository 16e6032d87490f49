#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <optional>

#include "contour/destination_point.h"
#include "run_file/contour_run.h"

// The points the solver finds around a run's centre, ring by ring: whether
// a record holds the point its position was solved to. A run writes, for
// every position it resolves, one of the solver's two candidates there,
// exactly; a point moved, or copied or swapped from another position, is
// none of them. A run made with the other family of C library differs in
// the last digits only (see SOLVED_UNITS).
class solved_points {
public:
    solved_points(float center_lon, float center_lat);

    // From now on, positions of ring `ring_dist` (degrees).
    void start_ring(std::int32_t ring_dist);

    // Whether the record at grid azimuth `az` (degrees) of the ring holds
    // one of the solver's candidates there.
    bool holds(const contour_position& position, int az) const;

private:
    ring_solver solver_;
    std::optional<ring_frame> frame_;
    std::array<grid_azimuth, RING_POSITIONS> azimuths_;
};

// How far a record of another C library's run may lie from the candidate
// this one solves: the two families' arcsines differ by at most one unit in
// the last place, and the latitude and the longitude offset are each one
// arcsine divided by a constant, the longitude that offset added to the
// centre's (the sines, cosines and square roots before are the same in
// both; the stored runs of the two differ by 2 units of the latitude and 1
// of the longitude at most). Four units in the last place of the value, or
// of 1 degree for the latitude and of 128 for the longitude where they are
// smaller, are more than that: 5e-7 degree of latitude near the equator
// (8e-6 near 30 degrees), 6e-5 of longitude within +-256, far less than
// any point moved.
inline constexpr int SOLVED_UNITS = 4;

// Whether two singles lie within SOLVED_UNITS units in the last place of
// `near`, or of `floor` (a power of two) where that is larger. The unit of a
// normal single is the power of two of its exponent field, over 2^23.
inline bool within_units(float value, float near, float floor) {
    const float scale = std::max(std::fabs(near), floor);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &scale, sizeof bits);
    bits &= 0x7F800000u;  // the power of two at or below the scale
    float power = 0.0f;
    std::memcpy(&power, &bits, sizeof power);
    constexpr float UNITS = static_cast<float>(SOLVED_UNITS) / 8388608.0f;  // 2^-23
    return std::fabs(value - near) <= UNITS * power;
}

inline bool solved_points::holds(const contour_position& position, int az) const {
    const ring_candidates candidate = frame_->candidates(azimuths_[static_cast<std::size_t>(az)]);
    return within_units(position.lat, candidate.lat, 1.0f) &&
           (within_units(position.lon, candidate.lon_a(), 128.0f) ||
            within_units(position.lon, candidate.lon_b(), 128.0f));
}
