#include "plot/map_points.h"

#include <cmath>
#include <cstdlib>

#include "plot/title_text.h"
#include "points/point_measure.h"

namespace {

// The first column after the longitude and the latitude, counted from 1.
constexpr std::size_t FIRST_TEXT_COLUMN = 3;

}  // namespace

bool label_column_of(const point_table& table, const std::string& column, std::size_t& index,
                     std::string& problem) {
    const std::size_t columns = table.field_count;
    index = 0;
    if (column == "none" || (column.empty() && columns < FIRST_TEXT_COLUMN)) {
        return true;
    }
    if (column.empty()) {
        index = FIRST_TEXT_COLUMN;
        return true;
    }
    char* end = nullptr;
    const unsigned long number = std::strtoul(column.c_str(), &end, 10);
    if (column[0] >= '0' && column[0] <= '9' && *end == '\0') {
        index = number >= FIRST_TEXT_COLUMN && number <= columns ? number : 0;
    } else if (table.has_header) {
        for (std::size_t i = FIRST_TEXT_COLUMN; i <= columns; ++i) {
            index = table.field(table.header, i - 1) == column ? i : index;
        }
    }
    if (index == 0) {
        problem = "--point-label " + column + ": the table has no such column (a number from 3 to " +
                  std::to_string(columns) + (table.has_header ? ", or a name of its header)" : ")");
        return false;
    }
    return true;
}

bool point_marks_of(const point_file& points, const contour_run& run,
                    const std::vector<distance_band>& bands, std::size_t label_index,
                    std::vector<point_mark>& marks, std::string& problem) {
    const contour_position& centre = run.rings[0].positions[0];
    std::vector<point_measurement> measurements;
    if (!measure_rows(points, point_measure(centre.lon, centre.lat), measurements, problem)) {
        return false;
    }
    marks.clear();
    for (std::size_t i = 0; i < points.table.rows.size(); ++i) {
        const point_row& row = points.table.rows[i];
        const float distance = measurements[i].distance;
        gmt_text label{true, "", ""};
        if (label_index > 0) {
            label = title_for_gmt(points.table.field(row, label_index - 1));
        }
        if (!label.ok) {
            problem = points.name + ":" + std::to_string(row.line) + ": the label in column " +
                      std::to_string(label_index) + " cannot be drawn: " + label.problem;
            return false;
        }
        // The meridian in -180..180 (an exact remainder): GMT takes a
        // longitude such as 1e30 a turn at a time.
        marks.push_back({{std::remainder(static_cast<double>(row.lon), 360.0),
                          static_cast<double>(row.lat)},
                         bands.empty() || in_any_band(bands, static_cast<double>(distance)),
                         label.text});
    }
    return true;
}
