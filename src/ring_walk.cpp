#include "ring_walk.h"

#include <cstdint>

#include "contour/destination_point.h"
#include "contour/nearest_integer.h"
#include "record_writer.h"
#include "run_grid.h"

namespace {

// The grid of a run: its input, its outputs, and what the rings repeat,
// computed or laid out once: the solver's centre and azimuth terms, the
// azimuth items, and the integer items of every ring distance.
struct ring_grid {
    const run_input& input;
    contour_file& contour;
    error_lines& errors;
    ring_solver solver;
    grid_azimuth azimuths[LAST_AZIMUTH + 1];
    real_item azimuth_items[LAST_AZIMUTH + 1];
    integer_item distance_items[LAST_RING_DIST + 1];
};

integer_item distance_item(const ring_grid& grid, std::int32_t degrees) {
    if (degrees >= 0 && degrees <= LAST_RING_DIST) {
        return grid.distance_items[degrees];
    }
    return make_integer_item(degrees);
}

// The point the records repeat, as its items, laid out once when it is
// accepted: longitude, latitude and distance check.
struct held_point {
    real_item lon;
    real_item lat;
    integer_item dist_check;
};

void hold(const ring_grid& grid, const ring_point& point, held_point& held) {
    held.lon = make_real_item(point.lon);
    held.lat = make_real_item(point.lat);
    held.dist_check = distance_item(grid, nearest_integer(point.dist));
}

void write_record(ring_grid& grid, const held_point& held, const integer_item& grid_dist,
                  std::int32_t grid_az) {
    grid.contour.write(make_contour_record(held.lon, held.lat, grid_dist,
                                           grid.azimuth_items[grid_az], held.dist_check));
}

// The centre ring repeats the centre itself at every azimuth, with ring
// distance and distance check 0.
void write_centre_ring(ring_grid& grid) {
    held_point centre;
    hold(grid, {grid.input.center_lon, grid.input.center_lat, 0.0f}, centre);
    for (std::int32_t grid_az = 0; grid_az <= LAST_AZIMUTH; ++grid_az) {
        write_record(grid, centre, grid.distance_items[0], grid_az);
    }
}

// A ring at a nonzero distance: each position is solved; an unresolved one
// is reported and its record repeats the held point, the last accepted one.
void write_solved_ring(ring_grid& grid, std::int32_t grid_dist, held_point& held) {
    const ring_frame ring = grid.solver.ring_at(static_cast<float>(grid_dist));
    const integer_item grid_dist_item = distance_item(grid, grid_dist);
    for (std::int32_t grid_az = 0; grid_az <= LAST_AZIMUTH; ++grid_az) {
        const grid_azimuth& azimuth = grid.azimuths[grid_az];
        const ring_solution solution = ring.solve(azimuth);
        if (solution.accepted) {
            hold(grid, solution.point, held);
        } else {
            grid.errors.write(make_error_line(ring.dist(), azimuth.az()));
        }
        write_record(grid, held, grid_dist_item, grid_az);
    }
}

}  // namespace

void walk_rings(const run_input& input, contour_file& contour, error_lines& errors) {
    // A negative step walks no rings. The input reader refuses a step of 0;
    // here it would walk none either, rather than divide by zero below.
    if (input.dist_step <= 0) {
        return;
    }
    ring_grid grid{input, contour, errors, ring_solver(input.center_lon, input.center_lat),
                   {}, {}, {}};
    for (std::int32_t grid_az = 0; grid_az <= LAST_AZIMUTH; ++grid_az) {
        const float ring_az = static_cast<float>(grid_az);
        grid.azimuths[grid_az] = grid_azimuth(ring_az);
        grid.azimuth_items[grid_az] = make_real_item(ring_az);
    }
    for (std::int32_t degrees = 0; degrees <= LAST_RING_DIST; ++degrees) {
        grid.distance_items[degrees] = make_integer_item(degrees);
    }
    // Before any position is accepted the held point is the centre itself,
    // at verified distance 0.
    held_point held;
    hold(grid, {input.center_lon, input.center_lat, 0.0f}, held);
    const std::int32_t rings = LAST_RING_DIST / input.dist_step + 1;
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
