// dist-strike-contour-measure: the distance, azimuth and back-azimuth of
// each point of a table (stations, say) from a centre, or from every centre
// of a table (a catalogue of earthquakes), measured as the program measures
// its own points. Writes the table, or the pairs, to standard output.

#include <cmath>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "base/command_frame.h"
#include "base/locked_input.h"
#include "base/output_rule.h"
#include "base/text_output.h"
#include "contour/destination_point.h"
#include "diagnostic.h"
#include "measure/catalogue.h"
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
               "Usage: dist-strike-contour-measure [--centre LON LAT | --centres TABLE]\n"
               "                                   [--distance MIN:MAX] [--azimuth MIN:MAX]\n"
               "                                   [--columns LON,LAT] [--centre-columns LON,LAT]\n"
               "                                   [POINTS]\n"
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
           "  --centres TABLE     every centre of TABLE (a catalogue): one row per\n"
           "                      centre and point, the centre's fields, the point's\n"
           "                      fields and the three measurements\n"
           "  --distance MIN:MAX  keeps the points from MIN to MAX degrees away\n"
           "  --azimuth MIN:MAX   keeps the points whose azimuth from the centre lies\n"
           "                      from MIN to MAX degrees (330:30 wraps through north)\n"
           "  --columns LON,LAT   the columns of the points' longitude and latitude:\n"
           "                      numbers from 1 or names of the header\n"
           "  --centre-columns LON,LAT  the same for the table of centres\n"
           "\n"
           "A table: a point a line, fields separated by | (FDSN text), commas (CSV)\n"
           "or blanks, as its first line shows, kept as they are. A header that names\n"
           "lon, long, lng or longitude and lat or latitude chooses those columns, in\n"
           "any case, also on a line starting with #; otherwise the first two are\n"
           "longitude and latitude. The points' header gets the names distance,\n"
           "azimuth and back_azimuth. Empty lines and other lines starting with # are\n"
           "left out. Azimuths are in [0, 360). Exit status: 0 done, 1 wrong\n"
           "arguments or a line refused (nothing written), 2 standard output is a\n"
           "file read or could not be written.\n";
}

struct measure_options {
    bool centre_given = false;
    float centre_lon = 0.0f;
    float centre_lat = 0.0f;
    std::string centres;  // the table of centres, "" for none
    angle_window distance;
    angle_window azimuth;
    column_request columns;
    column_request centre_columns{"", "", "--centre-columns"};
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
        } else if (option_value(argc, argv, i, "--centres", value, refusal)) {
            options.centres = value;
            if (refusal.empty() && value.empty()) {
                refusal = "--centres needs a file name";
            }
        } else if (option_value(argc, argv, i, "--columns", value, refusal)) {
            if (refusal.empty()) {
                parse_column_request(value, "--columns", options.columns, refusal);
            }
        } else if (option_value(argc, argv, i, "--centre-columns", value, refusal)) {
            if (refusal.empty()) {
                parse_column_request(value, "--centre-columns", options.centre_columns, refusal);
            }
        } else {
            return false;
        }
        return true;
    };
    const command_request request =
        read_arguments(argc, argv, "one table of points", take_option, options.points, problem);
    if (request == command_request::run && options.centre_given && !options.centres.empty()) {
        problem = "--centre and --centres cannot both be given";
        return command_request::refused;
    }
    if (request == command_request::run && !options.centre_columns.lon.empty() &&
        options.centres.empty()) {
        problem = "--centre-columns chooses the columns of --centres TABLE, which is not given";
        return command_request::refused;
    }
    if (request == command_request::run && !options.centres.empty() &&
        (options.centres == options.points || names_one_stream(options.centres, options.points))) {
        const std::string& points = options.points;
        problem = names_standard_input(options.centres) && names_standard_input(points)
                      ? "the centres and the points cannot both be standard input"
                  : options.centres == points
                      ? "the centres and the points are the same table (" + points + ")"
                      : "the centres and the points are one stream (" + options.centres + " and " +
                            points + ")";
        return command_request::refused;
    }
    return request;
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

// Every centre of the catalogue with every point.
int measure_pairs(const measure_options& options, const point_file& points) {
    const catalogue_request request{options.centres, options.centre_columns, &points,
                                    options.distance, options.azimuth, PROGRAM};
    std::string problem;
    if (!standard_output_clear_of_input(points.identity, points.name, problem)) {
        return refuse(PROGRAM, problem, EXIT_STATUS_FAILED);
    }
    text_output out(STDOUT_FILENO);
    file_identity centres;
    const int status = measure_catalogue(request, centres, out, problem);
    if (status != EXIT_STATUS_OK) {
        return problem.empty() ? status : refuse(PROGRAM, problem, status);
    }
    return finish_standard_output(out, problem) ? EXIT_STATUS_OK
                                                : refuse(PROGRAM, problem, EXIT_STATUS_FAILED);
}

int measure_run(const measure_options& options) {
    std::string problem;
    run_file contour;
    float centre_lon = options.centre_lon;
    float centre_lat = options.centre_lat;
    if (!options.centre_given && options.centres.empty()) {
        if (!read_run_file(CONTOUR_FILE_NAME, "", PROGRAM, STDERR_FILENO, contour, problem)) {
            return refuse_run_file(PROGRAM, contour, problem);
        }
        const contour_position& centre = contour.run.rings.front().positions.front();
        centre_lon = centre.lon;
        centre_lat = centre.lat;
    }
    point_file points;
    if (!read_point_file(options.points, PROGRAM, STDERR_FILENO, options.columns, points,
                         problem)) {
        return refuse_input(PROGRAM, points.error_stream_is_file, problem);
    }
    if (!options.centres.empty()) {
        return measure_pairs(options, points);
    }
    std::vector<point_measurement> measurements;
    if (!measure_rows(points, point_measure(centre_lon, centre_lat), measurements, problem)) {
        return refuse(PROGRAM, problem, EXIT_STATUS_REFUSED);
    }
    if (centre_near_pole(centre_lat)) {
        report_problem(STDERR_FILENO, PROGRAM,
                       "warning: the centre lies within %.1f degree of a pole, where azimuths "
                       "can be more than 1 degree off",
                       static_cast<double>(POLAR_DISTANCE));
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
