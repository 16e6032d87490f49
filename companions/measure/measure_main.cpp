// dist-strike-contour-measure: the distance, azimuth and back-azimuth of
// each point of a table (stations, say) from a centre, measured as the
// program measures its own points. Writes the table to standard output.

#include <cmath>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "base/command_frame.h"
#include "base/locked_input.h"
#include "base/output_rule.h"
#include "base/text_output.h"
#include "decimal_real.h"
#include "points/point_measure.h"
#include "points/point_table.h"
#include "points/point_window.h"
#include "run_file/locked_reading.h"
#include "sphere/sphere_constants.h"

namespace {

constexpr const char* PROGRAM = "dist-strike-contour-measure";

std::string usage() {
    return std::string(
               "Usage: dist-strike-contour-measure [--centre LON LAT] [--distance MIN:MAX]\n"
               "                                   [--azimuth MIN:MAX] [POINTS]\n"
               "\n"
               "Writes each point of the table POINTS (- or none for standard input) as\n"
               "read, followed by its distance from the centre, its azimuth from the\n"
               "centre and its back-azimuth (from the point to the centre), in degrees,\n"
               "measured as dist-strike-contour measures its own points.\n"
               "\n"
               "  --centre LON LAT    the centre (degrees); without it, the centre of the\n"
               "                      contour file ") +
           CONTOUR_FILE_NAME +
           " here\n"
           "  --distance MIN:MAX  keeps the points from MIN to MAX degrees away\n"
           "  --azimuth MIN:MAX   keeps the points whose azimuth from the centre lies\n"
           "                      from MIN to MAX degrees (330:30 wraps through north)\n"
           "\n"
           "The table: longitude, latitude, then any further fields, kept as they\n"
           "are; separated by commas (CSV) or blanks, as its first line shows; a\n"
           "first line whose first two fields are not numbers is its header and gets\n"
           "the names distance, azimuth and back_azimuth. Empty lines and lines\n"
           "starting with # are left out; quoted fields are refused. Azimuths are in\n"
           "[0, 360). Exit status: 0 done, 1 wrong arguments or a line refused\n"
           "(nothing written), 2 standard output is a file read or could not be\n"
           "written.\n";
}

struct measure_options {
    bool centre_given = false;
    float centre_lon = 0.0f;
    float centre_lat = 0.0f;
    angle_window distance;
    angle_window azimuth;
    std::string points = "-";
};

bool parse_centre(int argc, char** argv, int& i, measure_options& options,
                  std::string& problem) {
    if (i + 2 >= argc) {
        problem = "--centre needs a longitude and a latitude (see --help)";
        return false;
    }
    const std::string lon = argv[++i];
    const std::string lat = argv[++i];
    if (read_decimal_real(lon, options.centre_lon) != real_reading::read ||
        read_decimal_real(lat, options.centre_lat) != real_reading::read ||
        !(options.centre_lat >= -90.0f && options.centre_lat <= 90.0f) ||
        std::isinf(sphere_radians(options.centre_lon))) {
        problem = "--centre needs a longitude and a latitude from -90 to 90, in degrees, not \"" +
                  lon + "\" \"" + lat + "\"";
        return false;
    }
    options.centre_given = true;
    return true;
}

command_request parse_arguments(int argc, char** argv, measure_options& options,
                                std::string& problem) {
    const auto take_option = [&](int& i, std::string& refusal) {
        std::string value;
        if (std::string_view(argv[i]) == "--centre") {
            parse_centre(argc, argv, i, options, refusal);
        } else if (option_value(argc, argv, i, "--distance", value, refusal)) {
            if (refusal.empty()) {
                parse_angle_window(value, "--distance", 0.0f, 180.0f, false, options.distance,
                                   refusal);
            }
        } else if (option_value(argc, argv, i, "--azimuth", value, refusal)) {
            if (refusal.empty()) {
                parse_angle_window(value, "--azimuth", 0.0f, 360.0f, true, options.azimuth,
                                   refusal);
            }
        } else {
            return false;
        }
        return true;
    };
    return read_arguments(argc, argv, "one table of points", take_option, options.points,
                          problem);
}

void put_measurement(text_output& out, char separator, const point_measurement& m) {
    out.put(separator);
    out.put_real(m.distance);
    out.put(separator);
    out.put_real(m.azimuth);
    out.put(separator);
    out.put_real(m.back_azimuth);
}

// The table as read, each row kept followed by its measurements.
void write_table(const point_table& table, const measure_options& options,
                 const std::vector<point_measurement>& measurements, text_output& out) {
    const char separator = table.separator;
    if (!table.byte_order_mark.empty()) {
        out.put(table.byte_order_mark);
    }
    if (table.has_header) {
        out.put(table.header.text);
        for (const char* name : {"distance", "azimuth", "back_azimuth"}) {
            out.put(separator);
            out.put(name);
        }
        out.put(table.header.crlf ? "\r\n" : "\n");
    }
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const point_row& row = table.rows[i];
        const point_measurement& m = measurements[i];
        if (options.distance.contains(m.distance) && options.azimuth.contains(m.azimuth)) {
            out.put(row.text);
            put_measurement(out, separator, m);
            out.put(row.crlf ? "\r\n" : "\n");
        }
    }
}

int measure_run(const measure_options& options) {
    std::string problem;
    run_file contour;
    float centre_lon = options.centre_lon;
    float centre_lat = options.centre_lat;
    if (!options.centre_given) {
        if (!read_run_file(CONTOUR_FILE_NAME, "", PROGRAM, STDERR_FILENO, contour, problem)) {
            return refuse_run_file(PROGRAM, contour, problem);
        }
        const contour_position& centre = contour.run.rings.front().positions.front();
        centre_lon = centre.lon;
        centre_lat = centre.lat;
    }
    point_file points;
    std::vector<point_measurement> measurements;
    if (!read_point_file(options.points, PROGRAM, STDERR_FILENO, points, problem) ||
        !measure_rows(points, point_measure(centre_lon, centre_lat), measurements, problem)) {
        return refuse_input(PROGRAM, points.error_stream_is_file, problem);
    }
    if (!standard_output_clear_of_input(contour.identity, contour.name, problem) ||
        !standard_output_clear_of_input(points.identity, points.name, problem)) {
        return refuse(PROGRAM, problem, EXIT_STATUS_FAILED);
    }
    text_output out(STDOUT_FILENO);
    write_table(points.table, options, measurements, out);
    return finish_standard_output(out, problem) ? EXIT_STATUS_OK
                                                : refuse(PROGRAM, problem, EXIT_STATUS_FAILED);
}

}  // namespace

int main(int argc, char** argv) {
    return run_command(argc, argv, PROGRAM, usage(), parse_arguments, measure_run);
}
