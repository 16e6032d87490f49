#include "lines/ring_lines.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/double_angles.h"

namespace {

// The longitude brought into [-180, 180) by whole turns. fmod is exact, and
// so is the final turn: both operands lie within a factor of two. Within a
// turn and a half, no fmod is needed: the value itself, or one turn less
// (or more), is what fmod gives, exactly for the same reason.
float reduced_longitude(float lon) {
    float reduced = lon;
    if (lon >= 360.0f && lon < 540.0f) {
        reduced = lon - 360.0f;  // what fmod gives, and as exact
    } else if (lon < -360.0f && lon >= -540.0f) {
        reduced = lon + 360.0f;
    } else if (!(lon > -360.0f && lon < 360.0f)) {
        reduced = std::fmod(lon, 360.0f);
    }
    if (reduced >= 180.0f) {
        reduced -= 360.0f;
    } else if (reduced < -180.0f) {
        reduced += 360.0f;
    }
    return reduced + 0.0f;  // -0 becomes 0
}

// How far the azimuths of written points may stray from their grid's,
// for the bounds below: within 1 degree wherever the centre lies more than
// 0.6 degree from a pole (scripts/measure-accuracy: 0.95 at 89.4), twice
// that here. Nearer a pole they stray further, and more lines break there:
// a break loses no record.
constexpr double AZIMUTH_STRAY = 2.0;  // degrees
// The written points' distances from the centre stray from their ring's
// by at most 0.0102 degree (the same measurements): two of them, and room.
constexpr double DISTANCE_STRAY = 0.05;  // degrees

// The great-circle arc (degrees) between two points of the sphere, in
// double, or a bound above it where that already settles the question:
// |dlat| + |dlon| (the longitude difference taken the shorter way) is never
// less than the arc.
double arc_between(const line_vertex& a, const line_vertex& b, double within) {
    const double dlat = std::fabs(static_cast<double>(a.lat) - static_cast<double>(b.lat));
    double dlon = std::fabs(static_cast<double>(a.lon) - static_cast<double>(b.lon));
    dlon = dlon > 180.0 ? 360.0 - dlon : dlon;
    if (dlat + dlon <= within) {
        return dlat + dlon;
    }
    const double phi_a = static_cast<double>(a.lat) * RADIANS_PER_DEGREE;
    const double phi_b = static_cast<double>(b.lat) * RADIANS_PER_DEGREE;
    const double half_dlat = std::sin((phi_b - phi_a) / 2.0);
    const double half_dlon = std::sin(dlon * RADIANS_PER_DEGREE / 2.0);
    const double h = half_dlat * half_dlat + std::cos(phi_a) * std::cos(phi_b) * half_dlon * half_dlon;
    return 2.0 * std::asin(std::sqrt(std::fmin(1.0, h))) / RADIANS_PER_DEGREE;
}

// The chord (degrees of arc) between two points `distance` degrees from the
// centre whose azimuths differ by `turn` degrees.
double chord(double distance, double turn) {
    return 2.0 * std::asin(std::fabs(std::sin(distance * RADIANS_PER_DEGREE)) *
                           std::sin(turn * RADIANS_PER_DEGREE / 2.0)) /
           RADIANS_PER_DEGREE;
}

}  // namespace

double ring_step_bound(std::int32_t ring_dist) {
    return chord(ring_dist, 1.0 + 2.0 * AZIMUTH_STRAY) + DISTANCE_STRAY;
}

double strike_step_bound(std::int32_t from_dist, std::int32_t to_dist) {
    const double farther = std::max(std::fabs(std::sin(from_dist * RADIANS_PER_DEGREE)),
                                    std::fabs(std::sin(to_dist * RADIANS_PER_DEGREE)));
    return std::abs(to_dist - from_dist) +
           2.0 * std::asin(farther * std::sin(AZIMUTH_STRAY * RADIANS_PER_DEGREE)) /
               RADIANS_PER_DEGREE +
           DISTANCE_STRAY;
}

bool joinable(const line_vertex& a, const line_vertex& b, double bound) {
    return arc_between(a, b, bound) <= bound;
}

line_vertex surface_point(float lon, float lat) {
    if (std::fabs(lat) <= 90.0f) {
        return {reduced_longitude(lon), 0, lat};
    }
    // The formulas take a latitude through its sine and cosine, that is, as
    // the point of the unit vector below, on the other side of the pole.
    const double phi = static_cast<double>(lat) * RADIANS_PER_DEGREE;
    const double lambda = static_cast<double>(reduced_longitude(lon)) * RADIANS_PER_DEGREE;
    const double x = std::cos(phi) * std::cos(lambda);
    const double y = std::cos(phi) * std::sin(lambda);
    return {reduced_longitude(static_cast<float>(std::atan2(y, x) / RADIANS_PER_DEGREE)), 0,
            static_cast<float>(std::asin(std::sin(phi)) / RADIANS_PER_DEGREE)};
}

bool position_resolved(const contour_ring& ring, int az) {
    if (ring.grid_dist == 0) {
        return true;
    }
    if (ring.resolution_known) {
        return !ring.unresolved[static_cast<std::size_t>(az)];
    }
    const contour_position& position = ring.positions[static_cast<std::size_t>(az)];
    if (position.dist_check != ring.grid_dist) {
        return false;
    }
    if (az == 0) {
        return true;
    }
    const contour_position& before = ring.positions[static_cast<std::size_t>(az - 1)];
    return !(position.lon == before.lon && position.lat == before.lat);
}

void append_continuous(std::vector<line_vertex>& vertices, const line_vertex& point) {
    if (vertices.empty()) {
        vertices.push_back(point);
        return;
    }
    const line_vertex& last = vertices.back();
    // In double the difference is exact (in single it would round, and a
    // step just beyond 180 degrees could count as 180).
    const double step = static_cast<double>(point.lon) - static_cast<double>(last.lon);
    std::int32_t turns = last.turns;
    if (step > 180.0) {
        --turns;
    } else if (step < -180.0) {
        ++turns;
    }
    vertices.push_back({point.lon, turns, point.lat});
}

std::vector<contour_line> ring_pieces(const contour_run& run) {
    std::vector<contour_line> pieces;
    for (std::size_t r = 1; r < run.rings.size(); ++r) {
        const contour_ring& ring = run.rings[r];
        contour_line piece{line_kind::ring, ring.grid_dist, {}};
        piece.vertices.reserve(RING_POSITIONS);
        const double bound = ring_step_bound(ring.grid_dist);
        for (int az = 0; az < RING_POSITIONS; ++az) {
            if (position_resolved(ring, az)) {
                const contour_position& p = ring.positions[static_cast<std::size_t>(az)];
                const line_vertex point = surface_point(p.lon, p.lat);
                if (!piece.vertices.empty() && !joinable(piece.vertices.back(), point, bound)) {
                    pieces.push_back(piece);  // a step no ring holds: the line breaks
                    piece.vertices.clear();
                }
                append_continuous(piece.vertices, point);
            } else if (!piece.vertices.empty()) {
                pieces.push_back(piece);
                piece.vertices.clear();
            }
        }
        if (!piece.vertices.empty()) {
            pieces.push_back(piece);
        }
    }
    return pieces;
}

std::vector<contour_line> strike_lines(const contour_run& run, int strike_step) {
    std::vector<contour_line> lines;
    std::int32_t last_dist = 0;
    visit_strike_records(run, strike_step, [&](int az, const contour_ring& ring) {
        const contour_position& p = ring.positions[static_cast<std::size_t>(az)];
        const line_vertex point = surface_point(p.lon, p.lat);
        if (lines.empty() || lines.back().degrees != az ||
            !joinable(lines.back().vertices.back(), point,
                      strike_step_bound(last_dist, ring.grid_dist))) {
            lines.push_back({line_kind::strike, az, {}});
            lines.back().vertices.reserve(run.rings.size());
        }
        last_dist = ring.grid_dist;
        append_continuous(lines.back().vertices, point);
    });
    // A line of the centre alone (a run of the centre ring, or every other
    // position of its azimuth unresolved) has nothing to draw.
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const contour_line& line) { return line.vertices.size() < 2; }),
                lines.end());
    return lines;
}

std::vector<contour_line> lines_of_run(const contour_run& run, int strike_step) {
    std::vector<contour_line> lines = ring_pieces(run);
    for (contour_line& strike : strike_lines(run, strike_step)) {
        lines.push_back(std::move(strike));
    }
    return lines;
}
