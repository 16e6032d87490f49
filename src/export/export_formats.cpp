#include "export/export_formats.h"

#include "export/format_writers.h"
#include "export/map_geometry.h"
#include "export/ring_lines.h"

namespace {

std::vector<export_line> lines_of_run(const contour_run& run, int strike_step) {
    std::vector<export_line> lines = ring_pieces(run);
    if (strike_step > 0) {
        for (export_line& strike : strike_lines(run, strike_step)) {
            lines.push_back(std::move(strike));
        }
    }
    return lines;
}

// Strike lines follow their great circles; every line is cut at the
// antimeridian.
std::vector<map_feature> map_features(std::vector<export_line> lines) {
    std::vector<map_feature> features;
    features.reserve(lines.size());
    for (export_line& line : lines) {
        if (line.kind == line_kind::strike) {
            follow_great_circles(line.vertices, MAX_STRIKE_VERTEX_STEP);
        }
        features.push_back({line.kind, line.degrees, cut_at_antimeridian(line.vertices)});
    }
    return features;
}

}  // namespace

void put_description(const contour_run& run, text_output& out) {
    const contour_position& centre = run.rings[0].positions[0];
    out.put("Rings of equal great-circle distance (degrees) on a sphere around ");
    out.put_real(centre.lon);
    out.put(", ");
    out.put_real(centre.lat);
}

void write_export(const contour_run& run, export_format format, int strike_step,
                  text_output& out) {
    switch (format) {
        case export_format::gmt:
            write_gmt_table(run, lines_of_run(run, strike_step), out);
            break;
        case export_format::ogr:
            write_ogr_gmt(run, map_features(lines_of_run(run, strike_step)), out);
            break;
        case export_format::geojson:
            write_geojson(run, map_features(lines_of_run(run, strike_step)), out);
            break;
        case export_format::csv:
            write_csv(run, strike_step, out);
            break;
    }
}
