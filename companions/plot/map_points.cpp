#include "plot/map_points.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <string_view>

#include "decimal_real.h"
#include "plot/map_labels.h"

#include "plot/title_text.h"
#include "points/point_measure.h"

namespace {

// A header's column named one of `names`, counted from 1; 0 for none.
std::size_t named_column(const point_table& table, std::initializer_list<std::string_view> names) {
    for (std::size_t k = 0; table.has_header && k < table.field_count; ++k) {
        const std::string name = column_name(table.field(table.header, k));
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            return k + 1;
        }
    }
    return 0;
}

// The magnitude column of an event table, counted from 1; 0 for none.
std::size_t magnitude_column(const point_table& table) {
    return named_column(table, {"mag", "magnitude"});
}

// An event's circle across (cm) for the magnitude as written: one that is
// not a number (not given) takes the smallest circle.
double circle_size(std::string_view magnitude) {
    float value = 0.0f;
    const bool read = read_decimal_real(field_value(magnitude), value) == real_reading::read;
    return event_circle_size(read ? value : std::numeric_limits<float>::quiet_NaN());
}

}  // namespace

bool label_column_of(const point_table& table, const std::string& column, std::size_t& index,
                     std::string& problem) {
    const std::size_t columns = table.field_count;
    const auto coordinate = [&](std::size_t k) {
        return k == table.lon_column + 1 || k == table.lat_column + 1;
    };
    index = 0;
    if (column == "none") {
        return true;
    }
    if (column.empty()) {
        // A station by its code; events unlabelled (their names are long and
        // many); otherwise the first column that is no coordinate.
        index = named_column(table, {"station", "sta", "code"});
        for (std::size_t k = 1; index == 0 && magnitude_column(table) == 0 && k <= columns; ++k) {
            index = coordinate(k) ? 0 : k;
        }
        return true;
    }
    char* end = nullptr;
    const unsigned long number = std::strtoul(column.c_str(), &end, 10);
    if (column[0] >= '0' && column[0] <= '9' && *end == '\0') {
        index = number >= 1 && number <= columns && !coordinate(number) ? number : 0;
    } else if (table.has_header) {
        for (std::size_t k = 1; k <= columns; ++k) {
            index = column_name(table.field(table.header, k - 1)) == column_name(column) &&
                            !coordinate(k)
                        ? k
                        : index;
        }
    }
    if (index == 0) {
        problem = "--point-label " + column + ": the table has no such column (the number of a "
                  "column other than the longitude and latitude, from 1 to " +
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
    const std::size_t magnitude = magnitude_column(points.table);
    for (std::size_t i = 0; i < points.table.rows.size(); ++i) {
        const point_row& row = points.table.rows[i];
        const float distance = measurements[i].distance;
        gmt_text label{true, "", ""};
        if (label_index > 0) {
            label = title_for_gmt(field_value(points.table.field(row, label_index - 1)));
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
                         label.text,
                         magnitude == 0 ? 0.0
                                        : circle_size(points.table.field(row, magnitude - 1))});
    }
    return true;
}
