#pragma once

#include <string>
#include <vector>

#include "base/text_output.h"
#include "plot/azimuthal_map.h"
#include "plot/distance_bands.h"
#include "plot/map_labels.h"

// What the map shows over land, ocean and rings: distance bands, the
// points of a table (stations, events) and the legend that names them.

// A point of a table as the map marks it: a triangle (a station), or a
// circle (an event) of `size` centimetres across; filled when the point
// lies in a band (or when there are no bands), hollow otherwise.
struct point_mark {
    geo_point at;
    bool filled;
    std::string label;  // GMT text, "" for none
    double size = 0.0;  // a circle's size in cm; 0 for a triangle
};

// Whether the map shows some of the band: a regional map leaves out a band
// that lies wholly beyond its edge.
inline bool band_shown(const azimuthal_map& map, const distance_band& band) {
    return band.min < map.horizon;
}

// The bands as polygons in the map's own centimetres (x east, y north of
// the centre), one with a hole per band, each headed by its fill. On an
// azimuthal equidistant map a distance from the centre is a radius, so the
// band is exactly the annulus between its two radii, whatever the centre:
// across the antimeridian and around a pole alike. A band reaching beyond
// the map's edge is cut at the edge; one wholly beyond it is left out.
void put_band_polygons(const azimuthal_map& map, const std::vector<distance_band>& bands,
                       text_output& out);

// "lon lat" records of the marks filled (or hollow), with "size" for
// circles, the largest first.
void put_point_marks(const std::vector<point_mark>& points, bool filled, text_output& out);

// An event's circle across (cm) for its magnitude: 0.15 at magnitude 5
// and 0.09 more a unit (0.375 at 7.5, 0.52 at 9.1), so that large events
// stand out, from 0.1 (magnitude 4.4 and less) to 0.8 (above 12.2, no
// real event); 0.1 too for a magnitude that is not a number (not given).
double event_circle_size(float magnitude);

// A point's mark across (cm): the event's circle, or the triangle.
inline double mark_size(const point_mark& point) {
    return point.size > 0.0 ? point.size : POINT_MARK_SIZE;
}

// How many entries the legend has (see put_legend): none, and no legend,
// for a map of stations without bands.
std::size_t legend_entries(const azimuthal_map& map, const std::vector<distance_band>& bands,
                           const std::vector<point_mark>& points);

// GMT's legend: one entry per band the map shows, the filled and hollow
// marks when there are bands and the map shows points of each kind, and
// for events the circles of magnitudes 5, 7 and 9. Nothing when there is
// none of these. A band or a point wholly beyond the edge of a
// regional map is not shown, and has no entry.
void put_legend(const azimuthal_map& map, const std::vector<distance_band>& bands,
                const std::vector<point_mark>& points, text_output& out);

// Colour of the triangles.
inline constexpr const char* POINT_COLOUR = "red";
