// CSV: a header line, then one row per record of the contour file, its
// longitude brought into [-180, 180), and after them a row per point of
// each strike line.

#include "base/text_output.h"
#include "formats/format_table.h"
#include "lines/ring_lines.h"
#include "run_file/contour_run.h"

namespace {

void put_row(const contour_position& position, std::int32_t grid_dist, int az, bool resolved,
             const char* line, text_output& out) {
    const line_vertex point = surface_point(position.lon, position.lat);
    out.put_real(point.lon);
    out.put(',');
    out.put_real(point.lat);
    out.put(',');
    out.put_integer(grid_dist);
    out.put(',');
    out.put_integer(az);
    out.put(resolved ? ",1," : ",0,");
    out.put(line);
    out.put('\n');
}

void write_csv(const contour_run& run, int strike_step, text_output& out) {
    out.put("longitude,latitude,distance,azimuth,resolved,line\n");
    for (const contour_ring& ring : run.rings) {
        for (int az = 0; az < RING_POSITIONS; ++az) {
            put_row(ring.positions[static_cast<std::size_t>(az)], ring.grid_dist, az,
                    position_resolved(ring, az), "ring", out);
        }
    }
    visit_strike_records(run, strike_step, [&](int az, const contour_ring& ring) {
        put_row(ring.positions[static_cast<std::size_t>(az)], ring.grid_dist, az, true, "strike",
                out);
    });
}

}  // namespace

const export_format CSV_FORMAT{
    "csv",
    "one row per record: longitude (-180..180), latitude, distance,\n"
    "azimuth, resolved (1 or 0), line (ring or strike)",
    write_csv};
