#include "ring_walk.h"

#include <cmath>
#include <cstdint>

#include "contour/destination_point.h"
#include "record_writer.h"

namespace {

// Largest ring distance in degrees; rings stop before passing it.
constexpr int MAX_RING_DIST = 175;

// Azimuths run 0..360 inclusive so that every ring closes on itself.
constexpr int LAST_AZIMUTH = 360;

// What every ring of a run shares: the input, the two outputs and the
// azimuth items, formatted once since every ring writes the same 361.
struct ring_context {
    const run_input& input;
    output_channel& contour;
    output_channel& errors;
    real_item azimuth_items[LAST_AZIMUTH + 1];
};

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

void write_record(ring_context& context, const ring_point& point, std::int32_t ring_dist,
                  int azimuth, std::int32_t dist_check) {
    char* line = channel_space(context.contour, CONTOUR_RECORD_LENGTH);
    channel_commit(context.contour,
                   put_contour_record(line, point.lon, point.lat, ring_dist,
                                      context.azimuth_items[azimuth], dist_check));
}

void write_error_line(output_channel& errors, float ring_dist, float azimuth) {
    char* line = channel_space(errors, ERROR_LINE_LENGTH);
    channel_commit(errors, put_error_line(line, ring_dist, azimuth));
}

// The centre ring repeats the centre itself at every azimuth.
void write_centre_ring(ring_context& context) {
    const ring_point centre{context.input.center_lon, context.input.center_lat, 0.0f};
    for (int a = 0; a <= LAST_AZIMUTH; ++a) {
        write_record(context, centre, 0, a, 0);
    }
}

// A ring at a nonzero distance: each position is solved; an unresolved one
// is reported and its record repeats the held point, the last accepted one.
void write_solved_ring(ring_context& context, std::int32_t ring_dist, ring_point& held) {
    const float ring_dist_value = static_cast<float>(ring_dist);
    for (int a = 0; a <= LAST_AZIMUTH; ++a) {
        const float azimuth = static_cast<float>(a);
        const ring_solution solution = destination_point(
            context.input.center_lon, context.input.center_lat, ring_dist_value, azimuth);
        if (solution.accepted) {
            held = solution.point;
        } else {
            write_error_line(context.errors, ring_dist_value, azimuth);
        }
        write_record(context, held, ring_dist, a, nearest_integer(held.dist));
    }
}

void write_separator(output_channel& contour) {
    char* line = channel_space(contour, SEPARATOR_LENGTH);
    channel_commit(contour, put_separator(line));
}

}  // namespace

int ring_count(int step) {
    return MAX_RING_DIST / step + 1;
}

void walk_rings(const run_input& input, output_channel& contour, output_channel& errors) {
    if (input.dist_step < 0) {
        return;
    }
    ring_context context{input, contour, errors, {}};
    for (int a = 0; a <= LAST_AZIMUTH; ++a) {
        context.azimuth_items[a] = make_real_item(static_cast<float>(a));
    }
    // Before any position is accepted the held point is the centre itself,
    // at verified distance 0.
    ring_point held{input.center_lon, input.center_lat, 0.0f};
    const int rings = ring_count(input.dist_step);
    for (int ring = 0; ring < rings && !contour.failed; ++ring) {
        // ring * step never exceeds 175, so it cannot overflow.
        const std::int32_t ring_dist = ring * input.dist_step;
        if (ring_dist == 0) {
            write_centre_ring(context);
        } else {
            write_solved_ring(context, ring_dist, held);
        }
        write_separator(contour);
    }
}
