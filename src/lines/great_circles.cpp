#include "lines/great_circles.h"

#include <cmath>
#include <cstddef>

#include "lines/double_angles.h"

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

// Angle between two unit vectors, in radians; exact also for small angles.
double angle_between(const unit_vector& a, const unit_vector& b) {
    const double cx = a.y * b.z - a.z * b.y;
    const double cy = a.z * b.x - a.x * b.z;
    const double cz = a.x * b.y - a.y * b.x;
    return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), a.x * b.x + a.y * b.y + a.z * b.z);
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
    const unit_vector normal{p.y * q.z - p.z * q.y, p.z * q.x - p.x * q.z, p.x * q.y - p.y * q.x};
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

}  // namespace

void follow_great_circles(std::vector<line_vertex>& vertices, double max_step) {
    if (vertices.size() < 2) {
        return;
    }
    std::vector<line_vertex> dense{vertices.front()};
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
    std::vector<line_vertex> part{{vertices[0].lon, 0, vertices[0].lat}};
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

std::vector<map_feature> map_features(std::vector<contour_line> lines) {
    std::vector<map_feature> features;
    features.reserve(lines.size());
    for (contour_line& line : lines) {
        if (line.kind == line_kind::strike) {
            follow_great_circles(line.vertices, MAX_STRIKE_VERTEX_STEP);
        }
        features.push_back({line.kind, line.degrees, cut_at_antimeridian(line.vertices)});
    }
    return features;
}
