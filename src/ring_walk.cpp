#include "ring_walk.h"

#include <cmath>
#include <cstdint>

#include "contour/destination_point.h"
#include "record_writer.h"

namespace {

// Largest ring distance in degrees; rings stop before passing it.
constexpr std::int32_t MAX_RING_DIST = 175;

// Azimuths run 0..360 inclusive so that every ring closes on itself.
constexpr std::int32_t LAST_AZIMUTH = 360;

// Rounds to the nearest integer, halves away from zero. Values that do not
// fit (never a verified distance, which lies within 0.01 of a ring
// distance or is the centre's 0) give 0 instead of undefined behaviour.
std::int32_t nearest_integer(float value) {
    const float rounded = std::round(value);
    if (!(rounded >= -2147483648.0f && rounded < 2147483648.0f)) {
        return 0;
    }
    return static_cast<std::int32_t>(rounded);
}

// The grid of a run: its input, its outputs, and what every ring repeats
// for each azimuth: the solver's azimuth terms and the azimuth item.
struct ring_grid {
    const run_input& input;
    contour_file& contour;
    error_lines& errors;
    solver_centre centre;
    solver_azimuth azimuths[LAST_AZIMUTH + 1];
    real_item azimuth_items[LAST_AZIMUTH + 1];
};

void write_record(ring_grid& grid, const ring_point& point, std::int32_t grid_dist,
                  std::int32_t grid_az, std::int32_t dist_check) {
    grid.contour.write(make_contour_record(make_real_item(point.lon), make_real_item(point.lat),
                                           make_integer_item(grid_dist),
                                           grid.azimuth_items[grid_az],
                                           make_integer_item(dist_check)));
}

// The centre ring repeats the centre itself at every azimuth.
void write_centre_ring(ring_grid& grid) {
    const ring_point centre{grid.input.center_lon, grid.input.center_lat, 0.0f};
    for (std::int32_t grid_az = 0; grid_az <= LAST_AZIMUTH; ++grid_az) {
        write_record(grid, centre, 0, grid_az, 0);
    }
}

// A ring at a nonzero distance: each position is solved; an unresolved one
// is reported and its record repeats the held point, the last accepted one.
void write_solved_ring(ring_grid& grid, std::int32_t grid_dist, ring_point& held) {
    const solver_ring ring = solver_ring_of(grid.centre, static_cast<float>(grid_dist));
    for (std::int32_t grid_az = 0; grid_az <= LAST_AZIMUTH; ++grid_az) {
        const solver_azimuth& azimuth = grid.azimuths[grid_az];
        const ring_solution solution = solve_position(grid.centre, ring, azimuth);
        if (solution.accepted) {
            held = solution.point;
        } else {
            grid.errors.write(make_error_line(ring.dist, azimuth.az));
        }
        write_record(grid, held, grid_dist, grid_az, nearest_integer(held.dist));
    }
}

}  // namespace

void walk_rings(const run_input& input, contour_file& contour, error_lines& errors) {
    // A negative step walks no rings. The input reader refuses a step of 0;
    // here it would walk none either, rather than divide by zero below.
    if (input.dist_step <= 0) {
        return;
    }
    ring_grid grid{input, contour, errors, solver_centre_of(input.center_lon, input.center_lat),
                   {}, {}};
    for (std::int32_t grid_az = 0; grid_az <= LAST_AZIMUTH; ++grid_az) {
        const float ring_az = static_cast<float>(grid_az);
        grid.azimuths[grid_az] = solver_azimuth_of(ring_az);
        grid.azimuth_items[grid_az] = make_real_item(ring_az);
    }
    // Before any position is accepted the held point is the centre itself,
    // at verified distance 0.
    ring_point held{input.center_lon, input.center_lat, 0.0f};
    const std::int32_t rings = MAX_RING_DIST / input.dist_step + 1;
    const separator_line separator = make_separator_line();
    for (std::int32_t ring = 0; ring < rings && !contour.failed(); ++ring) {
        // ring * step never exceeds 175, so it cannot overflow.
        const std::int32_t grid_dist = ring * input.dist_step;
        if (grid_dist == 0) {
            write_centre_ring(grid);
        } else {
            write_solved_ring(grid, grid_dist, held);
        }
        contour.write(separator);
    }
}
