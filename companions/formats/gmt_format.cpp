// GMT's own multisegment table of the lines of a run.

#include "formats/description.h"
#include "formats/format_table.h"
#include "formats/gmt_table.h"

namespace {

// "> -Z10 -L"10"" before a ring's piece: its distance for colouring with a
// colour table and as a label; "> strike -L"30"" before a strike line.
void put_segment_header(const contour_line& line, text_output& out) {
    if (line.kind == line_kind::ring) {
        out.put("> -Z");
        out.put_integer(line.degrees);
        out.put(" -L\"");
    } else {
        out.put("> strike -L\"");
    }
    out.put_integer(line.degrees);
    out.put("\"\n");
}

void write_gmt(const contour_run& run, int strike_step, text_output& out) {
    write_gmt_table(run, lines_of_run(run, strike_step), out);
}

}  // namespace

void put_vertices(const std::vector<line_vertex>& vertices, text_output& out) {
    for (const line_vertex& vertex : vertices) {
        out.put_longitude(vertex.lon, vertex.turns);
        out.put(' ');
        out.put_real(vertex.lat);
        out.put('\n');
    }
}

void write_gmt_table(const contour_run& run, const std::vector<contour_line>& lines,
                     text_output& out) {
    out.put("# ");
    put_description(run, out);
    out.put('\n');
    for (const contour_line& line : lines) {
        put_segment_header(line, out);
        put_vertices(line.vertices, out);
    }
}

const export_format GMT_FORMAT{
    "gmt",
    "GMT multisegment table (the default): a \"> -Z<distance>\n"
    "-L\"<distance>\"\" header before each piece of ring, then\n"
    "\"longitude latitude\" records, longitudes continuous",
    write_gmt};
