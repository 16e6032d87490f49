#include "plot/overlay_labels.h"

#include <algorithm>
#include <cmath>

#include "base/double_angles.h"

namespace {

// Azimuths tried for a band's label: from the top of the map, where ring
// labels (below the centre) are not, in steps of this many degrees.
constexpr int BAND_LABEL_AZIMUTH_STEP = 5;

void place_band_label(const azimuthal_map& map, const distance_band& band,
                      std::vector<map_label>& placed) {
    const double middle = (band.min + std::min(band.max, map.horizon)) / 2.0;
    const auto degrees = static_cast<std::int32_t>(std::lround(band.min));
    for (int turn = 0; turn <= 180; turn += BAND_LABEL_AZIMUTH_STEP) {
        for (const int azimuth : {turn, -turn}) {
            const map_label label = label_box(map, label_kind::band, degrees, band.label,
                                              point_towards(map, middle, azimuth));
            if (label_fits(label, placed, map.radius)) {
                placed.push_back(label);
                return;
            }
        }
    }
}

// The point of the sphere under a place of the map (cm from its centre).
geo_point point_under(const azimuthal_map& map, const map_point& at) {
    const double distance = std::hypot(at.x, at.y) / map.radius * map.horizon;
    return point_towards(map, distance, std::atan2(at.x, at.y) / RADIANS_PER_DEGREE);
}

void place_point_label(const azimuthal_map& map, const point_mark& point, std::int32_t row,
                       std::vector<map_label>& placed) {
    if (!on_map(map, point.at)) {
        return;  // beyond the map's edge, not drawn
    }
    const map_point mark = project(map, point.at);
    const map_label probe = label_box(map, label_kind::point, row, point.label, map.centre);
    // From the mark's centre to the label's: half of each, and a gap.
    const double across = (mark_size(point) + probe.width) / 2.0 + 0.05;
    const double up = (mark_size(point) + probe.height) / 2.0 + 0.05;
    // Right, left, above, below, then the four corners.
    const map_point offsets[] = {{across, 0.0},  {-across, 0.0}, {0.0, up},     {0.0, -up},
                                 {across, up},   {-across, up},  {across, -up}, {-across, -up}};
    for (const map_point& offset : offsets) {
        const map_point at{mark.x + offset.x, mark.y + offset.y};
        const map_label label = label_box(map, label_kind::point, row, point.label,
                                          point_under(map, at));
        if (label_fits(label, placed, map.radius)) {
            placed.push_back(label);
            return;
        }
    }
}

}  // namespace

void plan_overlay_labels(const azimuthal_map& map, const std::vector<distance_band>& bands,
                         const std::vector<point_mark>& points, label_plan& plan) {
    for (const distance_band& band : bands) {
        if (band_shown(map, band)) {
            place_band_label(map, band, plan.labels);
        }
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!points[i].label.empty()) {
            place_point_label(map, points[i], static_cast<std::int32_t>(i + 1), plan.labels);
        }
    }
}
