// Arbitrary bytes as a table of points, its columns chosen by the header or
// by --columns (numbers or names, taken from the first byte): refused with
// one "NAME:LINE: ..." line naming a line of the table, or accepted with
// every row's coordinates finite, its latitude within +-90 degrees, its
// fields as many as the table's and each inside the text, and every point
// that has a direction from a centre measured without fault, its distance
// a number from 0 to 180.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "points/point_measure.h"
#include "points/point_table.h"

namespace {

bool inside(std::string_view part, const std::string& whole) {
    return part.empty() || (part.data() >= whole.data() &&
                            part.data() + part.size() <= whole.data() + whole.size());
}

void check_rows(const point_table& table) {
    const point_measure measure(142.37f, 38.30f);
    for (const point_row& row : table.rows) {
        require(std::isfinite(row.lon) && std::isfinite(row.lat) && std::fabs(row.lat) <= 90.0f);
        require(inside(row.text, *table.text));
        for (std::size_t k = 0; k < table.field_count; ++k) {
            require(inside(table.field(row, k), *table.text));
        }
        if (!std::isfinite(sphere_radians(row.lon))) {
            continue;  // no direction from the centre: the commands refuse the row
        }
        const point_measurement m = measure.measure(row.lon, row.lat);
        require(m.distance >= 0.0f && m.distance <= 180.0001f);
        require(m.azimuth >= 0.0f && m.azimuth < 360.0f);
        require(m.back_azimuth >= 0.0f && m.back_azimuth < 360.0f);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte chooses the columns: by the header, by number or by name.
    const column_request requests[] = {{}, {"2", "1"}, {"3", "1"}, {"lat", "lon"}, {"b", "a"}};
    const column_request& columns = requests[size > 0 ? data[0] % std::size(requests) : 0];
    const std::string text(reinterpret_cast<const char*>(data), size);
    point_table table;
    std::string problem;
    if (read_point_table(text, "p.csv", columns, table, problem)) {
        require(table.rows.empty() || table.field_count >= 2);
        check_rows(table);
        return 0;
    }
    require_line_of_text(problem, "p.csv", text);
    return 0;
}
