#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plot/distance_bands.h"
#include "plot/gmt_session.h"
#include "plot/map_labels.h"
#include "plot/map_overlays.h"
#include "plot/picture_output.h"
#include "run_file/contour_run.h"

// What a map shows.
struct map_request {
    const contour_run* run;
    std::int32_t max_distance;  // rings up to this distance are drawn
    double horizon;             // degrees of arc from the centre to the edge
    int strike_step;            // 0 for no strike lines
    std::string title;          // GMT text, "" for none
    picture_format format;
    std::vector<distance_band> bands;  // shaded, in the order given
    std::vector<point_mark> points;    // marked with triangles
};

// The map's projection for a run and a horizon.
azimuthal_map map_of(const contour_run& run, double horizon);

// Writes the map's tables in the session's directory and draws the picture
// there with GMT ("picture.<format>"). The labels it put are in `plan`.
bool draw_map(gmt_session& session, const map_request& request, label_plan& plan,
              std::string& problem);
