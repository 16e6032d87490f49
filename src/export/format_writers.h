#pragma once

#include <vector>

#include "export/contour_reader.h"
#include "export/ring_lines.h"
#include "export/text_output.h"

// The writers of each export format, over the lines of a run.

// A line as the GIS formats carry it: its parts, cut at the antimeridian.
struct map_feature {
    line_kind kind;
    std::int32_t degrees;
    std::vector<std::vector<line_vertex>> parts;
};

// "Rings of equal great-circle distance (degrees) on a sphere around LON, LAT",
// the centre as the file gives it.
void put_description(const contour_run& run, text_output& out);

void write_gmt_table(const contour_run& run, const std::vector<export_line>& lines,
                     text_output& out);
void write_ogr_gmt(const contour_run& run, const std::vector<map_feature>& features,
                   text_output& out);
void write_geojson(const contour_run& run, const std::vector<map_feature>& features,
                   text_output& out);
void write_csv(const contour_run& run, int strike_step, text_output& out);
