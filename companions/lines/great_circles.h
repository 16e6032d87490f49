#pragma once

#include <vector>

#include "lines/ring_lines.h"

// What the GIS formats need of a line beyond its vertices: straight
// segments in longitude and latitude, and longitudes within [-180, 180].

// Inserts points along the great circle between consecutive vertices, so
// that no two are more than `max_step` degrees of arc apart.
void follow_great_circles(std::vector<line_vertex>& vertices, double max_step);

// Cuts a continuous line where it crosses the antimeridian: each crossing
// ends one part at longitude 180 (or -180) and starts the next at -180 (or
// 180), at the latitude where the great circle between the vertices on
// either side crosses it. Every part's longitudes lie in [-180, 180], with turns 0.
std::vector<std::vector<line_vertex>> cut_at_antimeridian(
    const std::vector<line_vertex>& vertices);

// Splits a continuous line where it passes over a pole: the part before
// ends at (its last longitude, +-90) and the next starts at (its first
// longitude, +-90), so that no segment runs along the pole's latitude in a
// longitude-latitude view. A vertex at a pole splits the line the same way.
std::vector<std::vector<line_vertex>> split_at_poles(const std::vector<line_vertex>& vertices);

// A line as the GIS formats carry it: a multi-line of parts, each within
// [-180, 180] and between the poles.
struct map_feature {
    line_kind kind;
    std::int32_t degrees;
    std::vector<std::vector<line_vertex>> parts;
};

// Most degrees of arc between neighbouring vertices of a strike line in the
// GIS formats, whose segments are straight in longitude and latitude.
inline constexpr double MAX_STRIKE_VERTEX_STEP = 1.0;

// The lines as features, one per ring distance (all its pieces) and one per
// strike line: strike lines follow their great circles, with vertices at
// most MAX_STRIKE_VERTEX_STEP apart; every line is split at the poles and
// cut at the antimeridian; a lone resolved position is a part of zero
// length; a ring's last part joins its first where they meet at azimuth 0.
std::vector<map_feature> map_features(std::vector<contour_line> lines);

// The fields the features carry besides `line` (ring or strike): a
// field that would be empty on every feature is left out, so that each
// field present has a type (distance for rings, azimuth for strike lines).
struct feature_fields {
    bool distance;
    bool azimuth;
};
feature_fields fields_of(const std::vector<map_feature>& features);
