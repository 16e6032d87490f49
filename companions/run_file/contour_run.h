#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "run_grid.h"

// A contour file read back: the rings exactly as the program wrote them.

// One record: the point written (degrees) and its distance check.
struct contour_position {
    float lon;
    float lat;
    std::int32_t dist_check;
};

// The records of one ring; position a is at azimuth a degrees.
struct contour_ring {
    std::int32_t grid_dist;  // ring distance, degrees
    std::array<contour_position, RING_POSITIONS> positions;
    // Which positions the run reported unresolved, when its error lines
    // were read with the file; otherwise the records alone tell.
    bool resolution_known = false;
    std::bitset<RING_POSITIONS> unresolved;
};

// A whole run: the centre ring first, then a ring every `dist_step`
// degrees up to 175.
struct contour_run {
    std::int32_t dist_step;  // 0 when the run has only its centre ring
    std::vector<contour_ring> rings;
};

// The line of the contour file that holds the record at azimuth `az` of the
// ring with index `ring` (from 0, the centre ring): 361 records and a
// separator a ring, lines counted from 1.
inline std::size_t record_line(std::size_t ring, int az) {
    return ring * (RING_POSITIONS + 1) + static_cast<std::size_t>(az) + 1;
}
