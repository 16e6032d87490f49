#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plot/azimuthal_map.h"
#include "run_file/contour_run.h"

// Where the map's labels go: each drawn ring labelled at most once, on its
// longest piece, every `interval` degrees when rings are too close for one
// label each; strike lines labelled near the map's edge; no two labels'
// boxes overlapping each other or the centre mark.

// The label boxes file names them in this order.
enum class label_kind { centre, ring, strike, band, point, mark };

struct map_label {
    label_kind kind;
    std::int32_t degrees;  // ring distance or strike azimuth; a band's inner
                           // distance; a point's (or its mark's) row in its table
    std::string text;      // GMT text, "@." being the degree sign
    geo_point at;          // the box's centre on the sphere
    map_point centre;      // the same on the map, cm
    double width;          // cm
    double height;         // cm
};

struct label_plan {
    std::int32_t ring_interval;    // degrees between labelled rings
    std::int32_t strike_interval;  // degrees between labelled strike lines; 0 for none
    std::vector<map_label> labels; // the centre mark's box first
};

// Font size of ring and strike labels (points), and the blank kept around
// their text inside the box (points).
inline constexpr double LABEL_FONT_SIZE = 8.0;
inline constexpr double LABEL_CLEARANCE = 1.0;
// Size of the star that marks the centre (cm): no larger than a label's box
// with the gap on both sides, 0.39 cm, so that the first labelled ring,
// which lies at least that far out, has room for its label right below the
// centre.
inline constexpr double CENTRE_MARK_SIZE = 0.35;
// Size of the triangles that mark points (cm).
inline constexpr double POINT_MARK_SIZE = 0.3;

// A point's mark on the map: where, and how large across (cm).
struct mark_place {
    geo_point at;
    double size;
};

// Plans the labels of the rings drawn (ring distances up to max_distance)
// and of strike lines every strike_step degrees (0 for none), clear of the
// marks of points (`marks`, which the plan holds as boxes of kind mark,
// after the centre's).
label_plan plan_labels(const contour_run& run, const azimuthal_map& map,
                       std::int32_t max_distance, int strike_step,
                       const std::vector<mark_place>& marks = {});

// A label's box for GMT text (its width from the fonts' metrics) centred
// at a point.
map_label label_box(const azimuthal_map& map, label_kind kind, std::int32_t degrees,
                    const std::string& text, const geo_point& at);

// Whether the box lies inside the map and clear of every box placed.
bool label_fits(const map_label& label, const std::vector<map_label>& placed, double radius);

// The ring interval alone: the smallest multiple of the step whose rings lie
// far enough apart on the map for labels stacked along one azimuth, a round
// one (a multiple of 10 or 5) preferred when it is at most twice that.
std::int32_t ring_label_interval(std::int32_t dist_step, const azimuthal_map& map);
