#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A contour file read back: the rings exactly as the contour program wrote
// them, accepted only when the file is whole (every ring of the run, each
// of 361 records in azimuth order and closed by its separator).

// Positions per ring: azimuths 0, 1, ... 360 degrees.
inline constexpr int RING_POSITIONS = 361;

// Largest ring distance a run reaches, in degrees.
inline constexpr std::int32_t LAST_RING_DIST = 175;

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
};

// A whole run: the centre ring first, then a ring every `dist_step`
// degrees up to 175.
struct contour_run {
    std::int32_t dist_step;  // 0 when the run has only its centre ring
    std::vector<contour_ring> rings;
};

enum class read_status {
    whole,       // the run is in `run`
    not_whole,   // `line` and `expected` say where and what
    read_failure // `error_number` says why
};

struct read_outcome {
    read_status status;
    std::size_t line;      // line number, from 1, of the first problem
    std::string expected;  // what that line should have been
    int error_number;
};

// Reads a contour file from the descriptor to its end. Stops at the first
// line that a whole run could not have there; never holds more than one
// run's rings.
read_outcome read_contour_file(int fd, contour_run& run);
