#pragma once

#include <vector>

#include "base/text_output.h"
#include "lines/ring_lines.h"
#include "run_file/contour_run.h"

// GMT's multisegment table of the lines: the description as a comment, then
// "> -Z10 -L"10"" before each piece of ring (its distance for colouring and
// as a label) and "> strike -L"30"" before each strike line, then
// "longitude latitude" records, longitudes continuous.
void write_gmt_table(const contour_run& run, const std::vector<contour_line>& lines,
                     text_output& out);

// The "longitude latitude" records of the vertices, one a line, as GMT's
// tables and GDAL's OGR/GMT format both have them.
void put_vertices(const std::vector<line_vertex>& vertices, text_output& out);
