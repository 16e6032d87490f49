#pragma once

#include <vector>

#include "export/ring_lines.h"

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
