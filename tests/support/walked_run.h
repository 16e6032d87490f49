#pragma once

#include <cstddef>
#include <cstdint>

#include "contour/destination_point.h"
#include "contour/nearest_integer.h"
#include "run_file/contour_run.h"
#include "run_grid.h"

// The index of a position in a ring, from its azimuth.
inline std::size_t at(int az) {
    return static_cast<std::size_t>(az);
}

// A run as the program walks it, made in process: the centre ring repeats
// the centre, and an unresolved position repeats the last accepted point
// (the centre at first).
inline contour_run walked_run(float lon, float lat, std::int32_t step) {
    contour_run run{step, {}};
    const ring_solver solver(lon, lat);
    contour_position held{lon, lat, 0};
    for (std::int32_t dist = 0; dist <= LAST_RING_DIST; dist += step) {
        run.rings.push_back({dist, {}, false, {}});
        const ring_frame frame = solver.ring_at(static_cast<float>(dist));
        for (int az = 0; az < RING_POSITIONS; ++az) {
            const ring_solution s = frame.solve(grid_azimuth(static_cast<float>(az)));
            if (dist > 0 && s.accepted) {
                held = {s.point.lon, s.point.lat, nearest_integer(s.point.dist)};
            }
            run.rings.back().positions[at(az)] = dist > 0 ? held : contour_position{lon, lat, 0};
        }
    }
    return run;
}
