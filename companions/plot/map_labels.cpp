#include "plot/map_labels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/double_angles.h"
#include "lines/ring_lines.h"

namespace {

// Widths of label characters in Helvetica and Helvetica-Bold, in
// thousandths of the font size (the fonts' published metrics), the wider of
// the two where they differ: every digit 556, the degree sign 400; letters
// by their class, the widest of each class for the few wide ones; the wide
// signs (@ 1015, % 889, & 722) and ISO Latin-1's wide ones (AE 1000, ae
// 889, the fractions 834, copyright and registered 737, accented capitals
// 778) by their own.
double character_width(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return 0.556;
    }
    switch (c) {
        case 'M': case 'm': case '%': case 0xE6: return 0.889;
        case 'W': return 0.944;
        case 'w': return 0.778;
        case '@': return 1.015;
        case 0xC6: return 1.000;
        case 0xBC: case 0xBD: case 0xBE: return 0.834;
        case 0xA9: case 0xAE: return 0.737;
        case ' ': return 0.278;
        default: break;
    }
    if ((c >= 'A' && c <= 'Z') || c == '&') {
        return 0.722;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return 0.778;
    }
    if ((c >= 'a' && c <= 'z') || (c >= 0xDF && c != 0xF7)) {
        return 0.611;
    }
    return 0.584;
}
constexpr double DEGREE_WIDTH = 0.400;

// Width of GMT text in font sizes: "@." is the degree sign, "\ddd" the
// character of that octal code in the font.
double text_width(const std::string& text) {
    double width = 0.0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "@.") == 0) {
            width += DEGREE_WIDTH;
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size()) {
            width += character_width(static_cast<unsigned char>(
                std::strtol(text.substr(i + 1, 3).c_str(), nullptr, 8)));
            i += 3;
        } else {
            width += character_width(static_cast<unsigned char>(text[i]));
        }
    }
    return width;
}

// Space kept free between two labels' boxes (cm).
constexpr double LABEL_GAP = 0.02;

// Azimuth (degrees) along which ring labels are put when the ring allows:
// below the centre, where labels stack by their height, the narrow side.
constexpr double PREFERRED_AZIMUTH = 180.0;

// Strike labels sit this far out, as a share of the map's radius.
constexpr double STRIKE_LABEL_RADIUS = 0.92;

bool overlap(const map_label& a, const map_label& b) {
    return std::fabs(a.centre.x - b.centre.x) * 2 < a.width + b.width + 2 * LABEL_GAP &&
           std::fabs(a.centre.y - b.centre.y) * 2 < a.height + b.height + 2 * LABEL_GAP;
}

}  // namespace

bool label_fits(const map_label& label, const std::vector<map_label>& placed, double radius) {
    const double corner = std::hypot(std::fabs(label.centre.x) + label.width / 2,
                                     std::fabs(label.centre.y) + label.height / 2);
    return corner <= radius &&
           std::none_of(placed.begin(), placed.end(),
                        [&label](const map_label& other) { return overlap(label, other); });
}

map_label label_box(const azimuthal_map& map, label_kind kind, std::int32_t degrees,
                    const std::string& text, const geo_point& at) {
    const double font = LABEL_FONT_SIZE * CM_PER_POINT;
    const double clearance = LABEL_CLEARANCE * CM_PER_POINT;
    return {kind, degrees, text, at, project(map, at), text_width(text) * font + 2 * clearance,
            font + 2 * clearance};
}

namespace {

// A box for "<degrees>°" at a point.
map_label label_at(const azimuthal_map& map, label_kind kind, std::int32_t degrees,
                   const geo_point& at) {
    return label_box(map, kind, degrees, std::to_string(degrees) + "@.", at);
}

double box_height() {
    return (LABEL_FONT_SIZE + 2 * LABEL_CLEARANCE) * CM_PER_POINT;
}

// Azimuths of the ring's longest run of resolved positions (its longest
// piece), in order; empty when no position is resolved.
std::vector<int> longest_piece(const contour_ring& ring) {
    std::vector<int> best;
    std::vector<int> current;
    for (int az = 0; az <= RING_POSITIONS; ++az) {
        if (az < RING_POSITIONS && position_resolved(ring, az)) {
            current.push_back(az);
            continue;
        }
        if (current.size() > best.size()) {
            best = current;
        }
        current.clear();
    }
    return best;
}

// The piece's length on the map (cm), along its points.
double map_length(const azimuthal_map& map, const contour_ring& ring, const std::vector<int>& piece) {
    double length = 0.0;
    for (std::size_t i = 1; i < piece.size(); ++i) {
        const auto& a = ring.positions[static_cast<std::size_t>(piece[i - 1])];
        const auto& b = ring.positions[static_cast<std::size_t>(piece[i])];
        const map_point p = project(map, {static_cast<double>(a.lon), static_cast<double>(a.lat)});
        const map_point q = project(map, {static_cast<double>(b.lon), static_cast<double>(b.lat)});
        length += std::hypot(q.x - p.x, q.y - p.y);
    }
    return length;
}

double azimuth_distance(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

// Labels one ring on its longest piece, at the first point from the
// preferred azimuth outwards whose box is free; none when the piece is
// shorter than twice the label or no point is free.
void place_ring_label(const azimuthal_map& map, const contour_ring& ring,
                      std::vector<map_label>& placed) {
    std::vector<int> piece = longest_piece(ring);
    map_label probe = label_at(map, label_kind::ring, ring.grid_dist, map.centre);
    if (piece.empty() || map_length(map, ring, piece) < 2 * probe.width) {
        return;
    }
    std::stable_sort(piece.begin(), piece.end(), [](int a, int b) {
        return azimuth_distance(a, PREFERRED_AZIMUTH) < azimuth_distance(b, PREFERRED_AZIMUTH);
    });
    for (int az : piece) {
        const auto& p = ring.positions[static_cast<std::size_t>(az)];
        const map_label label = label_at(map, label_kind::ring, ring.grid_dist,
                                         {static_cast<double>(p.lon), static_cast<double>(p.lat)});
        if (label_fits(label, placed, map.radius)) {
            placed.push_back(label);
            return;
        }
    }
}

// The smallest multiple of `step` (which divides 360) whose labels, around a
// circle of the given radius, lie at least `width` apart.
int strike_label_interval(int step, double radius, double width) {
    for (int interval = step; interval < 360; interval += step) {
        const double arc = 2.0 * PI * radius * interval / 360.0;
        if (360 % interval == 0 && arc >= width + 2 * LABEL_GAP) {
            return interval;
        }
    }
    return 360;
}

}  // namespace

std::int32_t ring_label_interval(std::int32_t dist_step, const azimuthal_map& map) {
    const double needed = (box_height() + 2 * LABEL_GAP) * map.horizon / map.radius;
    std::int32_t smallest = dist_step;
    while (smallest < needed) {
        smallest += dist_step;
    }
    for (std::int32_t round : {10, 5}) {
        for (std::int32_t interval = smallest; interval <= 2 * smallest; interval += dist_step) {
            if (interval % round == 0) {
                return interval;
            }
        }
    }
    return smallest;
}

label_plan plan_labels(const contour_run& run, const azimuthal_map& map,
                       std::int32_t max_distance, int strike_step,
                       const std::vector<mark_place>& marks) {
    label_plan plan{run.dist_step > 0 ? ring_label_interval(run.dist_step, map) : 0, 0, {}};
    const double star = CENTRE_MARK_SIZE;
    plan.labels.push_back({label_kind::centre, 0, "", map.centre, {0.0, 0.0}, star, star});
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const map_point at = project(map, marks[i].at);
        if (std::hypot(at.x, at.y) <= map.radius) {
            plan.labels.push_back({label_kind::mark, static_cast<std::int32_t>(i + 1), "",
                                   marks[i].at, at, marks[i].size, marks[i].size});
        }
    }
    if (strike_step > 0) {
        const double width = label_at(map, label_kind::strike, 360, map.centre).width;
        const double radius = STRIKE_LABEL_RADIUS * map.radius;
        plan.strike_interval = strike_label_interval(strike_step, radius, width);
        for (int az = 0; az < 360; az += plan.strike_interval) {
            const double distance = STRIKE_LABEL_RADIUS * map.horizon;
            const map_label label =
                label_at(map, label_kind::strike, az, point_towards(map, distance, az));
            if (label_fits(label, plan.labels, map.radius)) {
                plan.labels.push_back(label);
            }
        }
    }
    for (std::size_t r = 1; r < run.rings.size(); ++r) {
        const contour_ring& ring = run.rings[r];
        if (ring.grid_dist <= max_distance && ring.grid_dist % plan.ring_interval == 0) {
            place_ring_label(map, ring, plan.labels);
        }
    }
    return plan;
}
