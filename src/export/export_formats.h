#pragma once

#include "export/contour_reader.h"
#include "export/text_output.h"

// The forms the export writes a whole run in.
enum class export_format {
    gmt,      // GMT multisegment table, continuous longitudes
    ogr,      // GDAL's OGR/GMT vector format, longitudes in [-180, 180]
    geojson,  // RFC 7946 GeoJSON
    csv       // one row per record, with a header line
};

// Most degrees of arc between neighbouring vertices of a strike line in the
// GIS formats, whose segments are straight in longitude and latitude.
inline constexpr double MAX_STRIKE_VERTEX_STEP = 1.0;

// Writes the run: each ring but the centre ring as its pieces (one segment,
// feature or row each), then, when strike_step is not 0, the strike lines
// every strike_step degrees of azimuth from 0.
void write_export(const contour_run& run, export_format format, int strike_step,
                  text_output& out);
