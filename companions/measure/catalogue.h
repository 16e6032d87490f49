#pragma once

#include <string>

#include "base/text_output.h"
#include "points/point_table.h"
#include "points/point_window.h"

// A catalogue measured against a table of points: every centre of a table
// of centres (earthquakes, say) with every point (stations), one row per
// pair, centres in file order and the points in file order within each.
// The points are held in memory; the centres are read line by line, once
// from their file to check every line before anything is written, keeping
// each in a nameless temporary file (in TMPDIR, or /tmp), and once from
// there to measure, so that memory grows with the points, not with the
// centres, and what is measured is what was checked.

struct catalogue_request {
    std::string centres;           // the table of centres, "-" for standard input
    column_request centre_columns;
    const point_file* points;      // read whole
    angle_window distance;         // applied to each pair
    angle_window azimuth;
    const char* program;           // for the warning of a wait or of a pole
};

// The header: each centre column named "centre_" and its header's name
// (or longitude, latitude, fieldN when it has none), each point column
// likewise without the prefix, then distance, azimuth and back_azimuth,
// joined by the points table's separator. Then one row per pair kept by
// the windows: the centre's fields as written, quoted where they hold that
// separator, the point's line as written, and the measurements.
// Returns the exit status; nothing is written before every centre is read
// and checked. `identity` receives the centres' file, for standard output
// to keep clear of it.
int measure_catalogue(const catalogue_request& request, file_identity& identity, text_output& out,
                      std::string& problem);
