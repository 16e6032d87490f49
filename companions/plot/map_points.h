#pragma once

#include <string>
#include <vector>

#include "plot/distance_bands.h"
#include "plot/map_overlays.h"
#include "points/point_table.h"
#include "run_file/contour_run.h"

// The points of a table as the map marks them: each measured from the
// run's centre with the program's own routines, as the measuring command
// measures it, and filled when that distance lies in a band (every point
// when there are no bands); labelled with one of its columns. A table with
// a magnitude column (`mag`, `magnitude`) holds events, drawn as circles
// sized by their magnitude; any other, stations, drawn as triangles.

// The column that labels the points, counted from 1: for "" the default
// (a station column, `station`, `sta` or `code`; none for events; else the
// first column that is not a coordinate), a column number, a header's
// column name (in any case), or "none" (0). False, with why, when the
// table has no such column or it is a coordinate.
bool label_column_of(const point_table& table, const std::string& column, std::size_t& index,
                     std::string& problem);

// The marks of the table's points. `label_index` 0 for no labels. False,
// with "NAME:LINE: ..." in `problem`, when a label cannot be shown.
bool point_marks_of(const point_file& points, const contour_run& run,
                    const std::vector<distance_band>& bands, std::size_t label_index,
                    std::vector<point_mark>& marks, std::string& problem);
