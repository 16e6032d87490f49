#include "plot/map_overlays.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "base/double_angles.h"

namespace {

// Vertices per circle: every quarter degree of azimuth, so that a chord
// strays from the circle by r (1 - cos 0.125 degree), under a thousandth of
// a millimetre on a 15 cm map.
constexpr int CIRCLE_VERTICES = 1440;

void put_xy(double x, double y, text_output& out) {
    char record[64];
    std::snprintf(record, sizeof record, "%.6f %.6f\n", x, y);
    out.put(record);
}

// A circle of radius r (cm) around the map's centre, clockwise from the top
// for the perimeter, anticlockwise for a hole.
void put_circle(double r, bool clockwise, text_output& out) {
    for (int k = 0; k <= CIRCLE_VERTICES; ++k) {
        const double turn = (clockwise ? k : CIRCLE_VERTICES - k) * 2.0 * PI / CIRCLE_VERTICES;
        put_xy(r * std::sin(turn), r * std::cos(turn), out);
    }
}

}  // namespace

void put_band_polygons(const azimuthal_map& map, const std::vector<distance_band>& bands,
                       text_output& out) {
    const double cm_per_degree = map.radius / map.horizon;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const distance_band& band = bands[i];
        if (!band_shown(map, band)) {
            continue;
        }
        out.put("> -G" + band_fill(i) + "\n");
        put_circle(std::min(band.max, map.horizon) * cm_per_degree, true, out);
        if (band.min > 0.0) {
            // GMT's mark for a hole in the polygon before it.
            out.put("> -Ph\n");
            put_circle(band.min * cm_per_degree, false, out);
        }
    }
}

void put_point_marks(const std::vector<point_mark>& points, bool filled, text_output& out) {
    // The largest circles first, so that the smaller events near them are
    // drawn over them and stay seen.
    std::vector<const point_mark*> order;
    for (const point_mark& point : points) {
        order.push_back(&point);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const point_mark* a, const point_mark* b) { return a->size > b->size; });
    char record[64];
    for (const point_mark* mark : order) {
        const point_mark& point = *mark;
        if (point.filled == filled && point.size > 0.0) {
            std::snprintf(record, sizeof record, "%.9g %.9g %.4g\n", point.at.lon, point.at.lat,
                          point.size);
            out.put(record);
        } else if (point.filled == filled) {
            std::snprintf(record, sizeof record, "%.9g %.9g\n", point.at.lon, point.at.lat);
            out.put(record);
        }
    }
}

namespace {

// Which triangles the legend shows: without bands every point is filled,
// and the triangles need no entry.
struct legend_marks {
    bool filled;
    bool hollow;
};

legend_marks legend_marks_of(const azimuthal_map& map, const std::vector<distance_band>& bands,
                             const std::vector<point_mark>& points) {
    const auto shown = [&](bool filled) {
        return std::any_of(points.begin(), points.end(), [&](const point_mark& p) {
            return p.filled == filled && on_map(map, p.at);
        });
    };
    return {!bands.empty() && shown(true), shown(false)};
}

// The magnitudes whose circles the legend of events shows.
constexpr float KEY_MAGNITUDES[] = {5.0f, 7.0f, 9.0f};

bool events_shown(const azimuthal_map& map, const std::vector<point_mark>& points) {
    return std::any_of(points.begin(), points.end(),
                       [&](const point_mark& p) { return p.size > 0.0 && on_map(map, p.at); });
}

}  // namespace

double event_circle_size(float magnitude) {
    if (!std::isfinite(magnitude)) {
        return 0.1;
    }
    return std::min(0.8, std::max(0.1, 0.15 + 0.09 * (static_cast<double>(magnitude) - 5.0)));
}

std::size_t legend_entries(const azimuthal_map& map, const std::vector<distance_band>& bands,
                           const std::vector<point_mark>& points) {
    const legend_marks marks = legend_marks_of(map, bands, points);
    const auto band_entries = std::count_if(
        bands.begin(), bands.end(), [&](const distance_band& b) { return band_shown(map, b); });
    return static_cast<std::size_t>(band_entries) + (marks.filled ? 1 : 0) +
           (marks.hollow ? 1 : 0) + (events_shown(map, points) ? std::size(KEY_MAGNITUDES) : 0);
}

void put_legend(const azimuthal_map& map, const std::vector<distance_band>& bands,
                const std::vector<point_mark>& points, text_output& out) {
    const std::size_t entries = legend_entries(map, bands, points);
    if (entries == 0) {
        return;
    }
    // Up to three entries a line: "S dx symbol size fill pen dx text".
    out.put("N " + std::to_string(std::min<std::size_t>(entries, 3)) + "\n");
    for (std::size_t i = 0; i < bands.size(); ++i) {
        if (band_shown(map, bands[i])) {
            out.put("S 0.3c r 0.45c " + band_fill(i) + " 0.25p,gray40 0.75c " + bands[i].label +
                    "\n");
        }
    }
    const legend_marks marks = legend_marks_of(map, bands, points);
    const bool events = !points.empty() && points[0].size > 0.0;
    const std::string symbol = events ? "S 0.3c c " + std::to_string(POINT_MARK_SIZE) + "c "
                                      : "S 0.3c t " + std::to_string(POINT_MARK_SIZE) + "c ";
    const std::string what = events ? "event" : "point";
    if (marks.filled) {
        out.put(symbol + POINT_COLOUR + " 0.5p,black 0.75c " + what + " in a band\n");
    }
    if (marks.hollow) {
        out.put(symbol + "- 1p," + POINT_COLOUR + " 0.75c " + what + " outside the bands\n");
    }
    if (events_shown(map, points)) {
        for (const float magnitude : KEY_MAGNITUDES) {
            char entry[96];
            std::snprintf(entry, sizeof entry, "S 0.3c c %.4gc %s 0.5p,black 0.75c magnitude %g\n",
                          event_circle_size(magnitude), POINT_COLOUR,
                          static_cast<double>(magnitude));
            out.put(entry);
        }
    }
}
