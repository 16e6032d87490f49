#include "lines/great_circles.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "base/double_angles.h"

namespace {

struct unit_vector {
    double x;
    double y;
    double z;
};

unit_vector vector_of(const line_vertex& vertex) {
    const double phi = static_cast<double>(vertex.lat) * RADIANS_PER_DEGREE;
    const double lambda = static_cast<double>(vertex.lon) * RADIANS_PER_DEGREE;
    return {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)};
}

unit_vector cross(const unit_vector& a, const unit_vector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double dot(const unit_vector& a, const unit_vector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Angle between two unit vectors, in radians; exact also for small angles.
double angle_between(const unit_vector& a, const unit_vector& b) {
    const unit_vector c = cross(a, b);
    return std::atan2(std::sqrt(dot(c, c)), dot(a, b));
}

// The point a fraction t of the way from a to b along their great circle.
line_vertex along(const unit_vector& a, const unit_vector& b, double angle, double t) {
    const double wa = std::sin((1.0 - t) * angle) / std::sin(angle);
    const double wb = std::sin(t * angle) / std::sin(angle);
    const double x = wa * a.x + wb * b.x;
    const double y = wa * a.y + wb * b.y;
    const double z = wa * a.z + wb * b.z;
    const double lat = std::atan2(z, std::sqrt(x * x + y * y)) / RADIANS_PER_DEGREE;
    const double lon = std::atan2(y, x) / RADIANS_PER_DEGREE;
    return surface_point(static_cast<float>(lon), static_cast<float>(lat));
}

double unwrapped(const line_vertex& vertex) {
    return static_cast<double>(vertex.lon) + 360.0 * vertex.turns;
}

// Latitude, in degrees, where the great circle from a to b crosses the
// meridian of longitude 180: of the two points where the circle's plane
// meets that meridian's plane (y = 0), the one between a and b. A circle
// over a pole meets it at the pole.
double antimeridian_crossing_latitude(const line_vertex& a, const line_vertex& b) {
    const unit_vector p = vector_of(a);
    const unit_vector q = vector_of(b);
    const unit_vector normal = cross(p, q);
    // Direction of the planes' intersection: normal x (0, 1, 0).
    unit_vector c{-normal.z, 0.0, normal.x};
    if (c.x * (p.x + q.x) + c.z * (p.z + q.z) < 0.0) {
        c = {-c.x, 0.0, -c.z};
    }
    if (c.x == 0.0 && c.z == 0.0) {
        // The arc runs along the meridians 0 and 180 themselves.
        return (static_cast<double>(a.lat) + static_cast<double>(b.lat)) / 2.0;
    }
    return std::atan2(c.z, std::fabs(c.x)) / RADIANS_PER_DEGREE;
}

// How close (degrees) the arc between two vertices must come to a pole to
// be taken as passing over it: the vertices are singles, a few millionths
// of a degree off the great circle they were computed on.
constexpr double POLE_MARGIN = 1e-4;

// Degrees added to the bound below for the rounding of the test that
// follows it, which works in double precision (errors near 1e-13 degree).
constexpr double POLE_BOUND_SLACK = 1e-3;

// Whether the arc from a to b surely stays more than POLE_MARGIN from both
// poles, told without trigonometry. Its length is at most |dlat| + |dlon|
// degrees (a path along a meridian, then along a parallel, which is no
// longer than dlon), and an arc with a point within POLE_MARGIN of a pole
// is at least as long as both vertices' distances from that pole, less
// 2 POLE_MARGIN: 180 - lat_a - lat_b for the north pole, 180 + lat_a +
// lat_b for the south.
bool too_far_for_a_pole(const line_vertex& a, const line_vertex& b) {
    const auto lat_a = static_cast<double>(a.lat);
    const auto lat_b = static_cast<double>(b.lat);
    if (!(std::fabs(lat_a) <= 90.0 && std::fabs(lat_b) <= 90.0)) {
        return false;  // beyond the poles (or NaN): no bound from latitudes
    }
    const double longest_arc = std::fabs(lat_a - lat_b) + std::fabs(static_cast<double>(a.lon) -
                                                                     static_cast<double>(b.lon));
    const double shortest_reach = 180.0 - std::fabs(lat_a + lat_b) - 2.0 * POLE_MARGIN;
    return longest_arc + POLE_BOUND_SLACK < shortest_reach;
}

// The pole (90 north, -90 south) that the shorter great-circle arc from a
// to b passes over, or 0. The circle comes nearest the poles at the poles'
// directions within its plane; the arc passes over one when that point
// lies on the arc and within POLE_MARGIN of the pole.
float pole_between(const line_vertex& a, const line_vertex& b) {
    if (too_far_for_a_pole(a, b)) {
        return 0.0f;
    }
    const unit_vector p = vector_of(a);
    const unit_vector q = vector_of(b);
    const unit_vector n = cross(p, q);
    const double length = std::sqrt(dot(n, n));
    if (length == 0.0) {
        return 0.0f;  // the same point, or antipodes: no one arc between them
    }
    const double tilt = n.z / length;  // sine of the circle's nearest miss of the poles
    if (std::fabs(tilt) > std::sin(POLE_MARGIN * RADIANS_PER_DEGREE)) {
        return 0.0f;
    }
    for (const double pole : {1.0, -1.0}) {
        // The pole's direction within the circle's plane.
        const unit_vector nearest{-pole * tilt * n.x / length, -pole * tilt * n.y / length,
                                  pole * (1.0 - tilt * tilt)};
        // On the arc from p to q, which runs anticlockwise about n.
        if (dot(cross(p, nearest), n) >= 0.0 && dot(cross(nearest, q), n) >= 0.0) {
            return static_cast<float>(90.0 * pole);
        }
    }
    return 0.0f;
}

}  // namespace

void follow_great_circles(std::vector<line_vertex>& vertices, double max_step) {
    if (vertices.size() < 2) {
        return;
    }
    std::vector<line_vertex> dense{vertices.front()};
    dense.reserve(2 * vertices.size());  // most steps need one point between
    for (std::size_t i = 1; i < vertices.size(); ++i) {
        const unit_vector a = vector_of(vertices[i - 1]);
        const unit_vector b = vector_of(vertices[i]);
        const double angle = angle_between(a, b);
        // A margin of 0.1% keeps the spacing within max_step once the points
        // are rounded to single precision (a few millionths of a degree).
        const int steps =
            static_cast<int>(std::ceil(angle / (0.999 * max_step * RADIANS_PER_DEGREE)));
        for (int k = 1; k < steps; ++k) {
            append_continuous(dense, along(a, b, angle, static_cast<double>(k) / steps));
        }
        append_continuous(dense, {vertices[i].lon, 0, vertices[i].lat});
    }
    vertices.swap(dense);
}

std::vector<std::vector<line_vertex>> cut_at_antimeridian(
    const std::vector<line_vertex>& vertices) {
    std::vector<std::vector<line_vertex>> parts;
    if (vertices.empty()) {
        return parts;
    }
    std::vector<line_vertex> part;
    part.reserve(vertices.size() + 1);  // the whole line, and a crossing
    part.push_back({vertices[0].lon, 0, vertices[0].lat});
    for (std::size_t i = 1; i < vertices.size(); ++i) {
        const line_vertex& a = vertices[i - 1];
        const line_vertex& b = vertices[i];
        if (b.turns == a.turns) {
            part.push_back({b.lon, 0, b.lat});
            continue;
        }
        // Vertex longitudes lie in [-180, 180), so a vertex of turn t lies in
        // [-180 + 360 t, 180 + 360 t): the line leaves a's turn through its
        // upper or its lower boundary.
        const bool eastward = b.turns > a.turns;
        const double boundary = (eastward ? 180.0 : -180.0) + 360.0 * a.turns;
        const double ua = unwrapped(a);
        const double ub = unwrapped(b);
        double lat = 0.0;
        if (ub == boundary) {
            lat = static_cast<double>(b.lat);
        } else if (ua == boundary) {
            lat = static_cast<double>(a.lat);
        } else {
            lat = antimeridian_crossing_latitude(a, b);
        }
        const float end_lon = eastward ? 180.0f : -180.0f;
        const line_vertex crossing_end{end_lon, 0, static_cast<float>(lat)};
        const line_vertex crossing_start{-end_lon, 0, static_cast<float>(lat)};
        // a itself on the boundary already ends the part.
        if (ua != boundary) {
            part.push_back(crossing_end);
        }
        if (part.size() >= 2) {
            parts.push_back(part);
        }
        part.assign(1, crossing_start);
        // b itself on the boundary is the new part's first vertex.
        if (ub != boundary) {
            part.push_back({b.lon, 0, b.lat});
        }
    }
    // A last part of one vertex is the crossing of a line that ends on the
    // antimeridian, already the end of the part before; a line of a single
    // vertex is kept as it is.
    if (part.size() >= 2 || parts.empty()) {
        parts.push_back(part);
    }
    return parts;
}

std::vector<std::vector<line_vertex>> split_at_poles(const std::vector<line_vertex>& vertices) {
    std::vector<std::vector<line_vertex>> parts(1);
    parts[0].reserve(vertices.size() + 1);  // the whole line, and a pole
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const line_vertex& v = vertices[i];
        std::vector<line_vertex>& part = parts.back();
        if (std::fabs(v.lat) == 90.0f) {
            // A vertex at the pole ends the part at the longitude before it
            // and starts the next at the longitude after it.
            if (!part.empty()) {
                part.push_back({part.back().lon, part.back().turns, v.lat});
                parts.emplace_back();
            }
            if (i + 1 < vertices.size()) {
                parts.back().push_back({vertices[i + 1].lon, vertices[i + 1].turns, v.lat});
            }
            continue;
        }
        const float pole = part.empty() || std::fabs(part.back().lat) == 90.0f
                               ? 0.0f
                               : pole_between(part.back(), v);
        if (pole != 0.0f) {
            part.push_back({part.back().lon, part.back().turns, pole});
            parts.push_back({{v.lon, v.turns, pole}});
        }
        parts.back().push_back(v);
    }
    // A part of the pole alone (a line that ends there) says nothing more.
    parts.erase(std::remove_if(parts.begin(), parts.end(),
                               [](const std::vector<line_vertex>& part) { return part.size() < 2; }),
                parts.end());
    if (parts.empty() && !vertices.empty()) {
        parts.push_back({vertices.front()});
    }
    return parts;
}

namespace {

// Whether splitting a line at the poles leaves it whole: two vertices or
// more, none at a pole, and every segment surely too far from both poles
// to pass over one (such a segment spans less than 180 degrees of
// longitude, so it does not cross the antimeridian either). Most lines
// are such lines.
bool clear_of_poles(const std::vector<line_vertex>& vertices) {
    if (vertices.size() < 2) {
        return false;
    }
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        if (std::fabs(vertices[i].lat) == 90.0f ||
            (i > 0 && !too_far_for_a_pole(vertices[i - 1], vertices[i]))) {
            return false;
        }
    }
    return true;
}

bool on_one_turn(const std::vector<line_vertex>& vertices) {
    return std::all_of(vertices.begin(), vertices.end(), [&](const line_vertex& v) {
        return v.turns == vertices.front().turns;
    });
}

void add_part(std::vector<line_vertex>&& part, map_feature& feature) {
    if (part.size() == 1) {
        part.push_back(part.front());
    }
    feature.parts.push_back(std::move(part));
}

// The parts of a line in the GIS formats: split at the poles, cut at the
// antimeridian, a lone vertex drawn as a part of zero length (a line needs
// two positions). A line clear of the poles, on one turn, is its own part
// (with turns 0, as the cut gives it), taken over without the copies of
// the general way.
void add_parts(std::vector<line_vertex>& vertices, map_feature& feature) {
    if (clear_of_poles(vertices) && on_one_turn(vertices)) {
        for (line_vertex& v : vertices) {
            v.turns = 0;
        }
        feature.parts.push_back(std::move(vertices));
        return;
    }
    for (const std::vector<line_vertex>& piece : split_at_poles(vertices)) {
        for (std::vector<line_vertex>& part : cut_at_antimeridian(piece)) {
            add_part(std::move(part), feature);
        }
    }
}

// Degrees of longitude and latitude within which a ring's last vertex
// (azimuth 360) and its first (azimuth 0) are the same point: both are
// singles computed apart, a few millionths of a degree from each other.
constexpr float CLOSING_MARGIN = 1e-3f;

bool meet(const line_vertex& a, const line_vertex& b) {
    return std::fabs(a.lon - b.lon) <= CLOSING_MARGIN && std::fabs(a.lat - b.lat) <= CLOSING_MARGIN;
}

// Whether a part is a lone vertex, drawn twice (see add_part).
bool lone_vertex(const std::vector<line_vertex>& part) {
    return part.size() == 2 && part[0].lon == part[1].lon && part[0].lat == part[1].lat &&
           part[0].turns == part[1].turns;
}

// A ring's last part ends where its first begins (azimuth 360 is azimuth 0)
// unless a cut or an unresolved position falls there: the two are one line,
// every vertex of both kept once (a lone vertex's second copy dropped).
void close_across_azimuth_zero(map_feature& ring) {
    auto& parts = ring.parts;
    if (parts.size() < 2 || !meet(parts.back().back(), parts.front().front())) {
        return;
    }
    std::vector<line_vertex> joined = std::move(parts.back());
    if (lone_vertex(joined)) {
        joined.pop_back();
    }
    const std::vector<line_vertex>& first = parts.front();
    joined.insert(joined.end(), first.begin() + (lone_vertex(first) ? 1 : 0), first.end());
    parts.front() = std::move(joined);
    parts.pop_back();
}

}  // namespace

std::vector<map_feature> map_features(std::vector<contour_line> lines) {
    std::vector<map_feature> features;
    for (contour_line& line : lines) {
        if (line.kind == line_kind::strike) {
            follow_great_circles(line.vertices, MAX_STRIKE_VERTEX_STEP);
        }
        if (features.empty() || features.back().kind != line.kind ||
            features.back().degrees != line.degrees) {
            features.push_back({line.kind, line.degrees, {}});
        }
        add_parts(line.vertices, features.back());
    }
    for (map_feature& feature : features) {
        if (feature.kind == line_kind::ring) {
            close_across_azimuth_zero(feature);
        }
    }
    return features;
}

feature_fields fields_of(const std::vector<map_feature>& features) {
    feature_fields fields{false, false};
    for (const map_feature& feature : features) {
        (feature.kind == line_kind::ring ? fields.distance : fields.azimuth) = true;
    }
    return fields;
}
