#pragma once

#include <vector>

#include "plot/azimuthal_map.h"
#include "plot/distance_bands.h"
#include "plot/map_labels.h"
#include "plot/map_overlays.h"

// Labels of the bands and of the points, placed after those of the rings
// and strike lines and, like them, never over another label or the centre:
// - a band's label in the middle of the band (of its part on the map), at
//   the first azimuth from the top of the map round either way that is free;
// - a point's label beside its triangle: right, left, above or below,
//   whichever is free first. A label with no free place is left out.
void plan_overlay_labels(const azimuthal_map& map, const std::vector<distance_band>& bands,
                         const std::vector<point_mark>& points, label_plan& plan);
