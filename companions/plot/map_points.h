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
// when there are no bands); labelled with one of its columns.

// The column that labels the points: "" for the default (the third, when
// the table has one), a column number from 3, a header's column name, or
// "none". False, with why, when the table has no such column.
bool label_column_of(const point_table& table, const std::string& column, std::size_t& index,
                     std::string& problem);

// The marks of the table's points. `label_index` 0 for no labels. False,
// with "NAME:LINE: ..." in `problem`, when a label cannot be shown.
bool point_marks_of(const point_file& points, const contour_run& run,
                    const std::vector<distance_band>& bands, std::size_t label_index,
                    std::vector<point_mark>& marks, std::string& problem);
