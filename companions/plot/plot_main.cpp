// dist-strike-contour-plot: draws the rings of a whole contour file on an
// azimuthal equidistant map centred on the centre, with GMT.

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

#include "base/command_frame.h"
#include "base/locked_input.h"
#include "base/output_rule.h"
#include "base/text_output.h"
#include "lines/ring_lines.h"
#include "plot/distance_bands.h"
#include "plot/gmt_session.h"
#include "plot/map_drawing.h"
#include "plot/map_points.h"
#include "plot/picture_output.h"
#include "plot/session_watcher.h"
#include "plot/stop_signals.h"
#include "plot/title_text.h"
#include "run_file/locked_reading.h"

namespace {

constexpr const char* PROGRAM = "dist-strike-contour-plot";

// How far a whole-globe map reaches: the rim of an azimuthal equidistant
// map is the antipode, and at a full 180 degrees GMT fills some centres'
// land and ocean wrongly (125 E 10 N: half the globe as land); a tenth of a
// degree short, every centre tried came out right.
constexpr double WHOLE_GLOBE_HORIZON = 179.9;

constexpr const char* USAGE =
    "Usage: dist-strike-contour-plot [OPTIONS] CONTOUR_FILE OUTPUT\n"
    "\n"
    "Draws the rings of a contour file (as dist-strike-contour writes it; - for\n"
    "standard input) on an azimuthal equidistant map centred on the centre:\n"
    "land and ocean, rings coloured by distance and labelled in degrees (every\n"
    "few rings when they are close), the centre as a star. A ring is broken\n"
    "where a position was unresolved.\n"
    "\n"
    "OUTPUT's extension chooses the format: .png, .pdf, .jpg (.jpeg), .eps,\n"
    ".ps, .tif (.tiff), .bmp or .ppm. It is replaced only by a whole picture.\n"
    "\n"
    "  --title TEXT            a title above the map, shown as written\n"
    "                          (characters of ISO Latin-1)\n"
    "  --max-distance DEGREES  only the rings up to this distance, on a map\n"
    "                          reaching just beyond it; by default the globe\n"
    "  --band MIN:MAX[:LABEL]  shade the distances from MIN to MAX degrees from\n"
    "                          the centre (0 <= MIN < MAX <= 180), labelled\n"
    "                          \"MIN-MAX°\" or LABEL; repeatable\n"
    "  --points TABLE          mark the points of a table (stations as\n"
    "                          triangles; events, a table with a magnitude\n"
    "                          column, as circles sized by it), filled when\n"
    "                          in a band (or when there is none); FDSN text,\n"
    "                          CSV or blank-separated, columns by the header's\n"
    "                          names (lat, lon ...) or longitude first\n"
    "  --point-columns LON,LAT the table's longitude and latitude columns:\n"
    "                          numbers from 1 or names of its header\n"
    "  --point-label COLUMN    the column that labels the points: a number, a\n"
    "                          header's name, or none (default: the station\n"
    "                          column; none for events; else the first column\n"
    "                          that is no coordinate)\n"
    "  --strike-step N         strike lines every N degrees of azimuth from 0\n"
    "                          (N divides 360), labelled near the edge\n"
    "  --label-boxes FILE      also write where each label went (kind,\n"
    "                          degrees, x, y, width, height in cm from the\n"
    "                          map's centre), written as OUTPUT is\n"
    "  --errors ERRORS         the run's standard output, saved: its error\n"
    "                          lines say exactly where rings are broken\n"
    "  --verbose               show GMT's own messages\n"
    "\n"
    "Needs GMT 6 with coastlines (Debian packages gmt, gmt-gshhg-low and\n"
    "ghostscript). The contour file is read under a shared lock: while a run\n"
    "is writing it, the plot waits. OUTPUT and the label boxes are checked\n"
    "before anything is drawn: neither may be the contour file, a directory,\n"
    "the other, or a file the user may not write; an existing file keeps its\n"
    "mode and owner. Exit status: 0 done; 1 wrong arguments, a file that is\n"
    "not a whole contour file, a table of points refused, no ring to draw, or\n"
    "an output refused (nothing drawn); 2 GMT missing or failing, or an\n"
    "output could not be written (nothing replaced).\n";

struct plot_options {
    std::string title;
    double max_distance = 180.0;
    std::string max_distance_text = "180";  // as given, for messages
    bool regional = false;
    shared_options shared;
    bool verbose = false;
    std::vector<distance_band> bands;
    std::string points;       // the table of points, "" for none
    std::string point_label;  // its column that labels them, "" for the default
    column_request point_columns{"", "", "--point-columns"};  // its longitude and latitude columns
    bool label_boxes_given = false;
    std::string label_boxes;
    std::string contour_file;
    std::string output;
};

bool parse_max_distance(const std::string& text, double& value, std::string& problem) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value > 0.0 && value <= 180.0)) {
        problem = "--max-distance must be a number of degrees above 0 and at most 180, not \"" +
                  text + "\"";
        return false;
    }
    return true;
}

// One option; false, with the problem, when refused.
bool take_option(int argc, char** argv, int& i, plot_options& options, std::string& problem) {
    const std::string_view argument = argv[i];
    std::string value;
    if (argument == "--verbose") {
        options.verbose = true;
    } else if (option_value(argc, argv, i, "--title", value, problem)) {
        options.title = value;
    } else if (option_value(argc, argv, i, "--max-distance", value, problem)) {
        options.regional = problem.empty() &&
                           parse_max_distance(value, options.max_distance, problem);
        options.max_distance_text = value;
    } else if (option_value(argc, argv, i, "--band", value, problem)) {
        distance_band band;
        if (problem.empty() && parse_band(value, band, problem)) {
            options.bands.push_back(band);
        }
    } else if (option_value(argc, argv, i, "--points", value, problem)) {
        options.points = value;
    } else if (option_value(argc, argv, i, "--point-label", value, problem)) {
        options.point_label = value;
    } else if (option_value(argc, argv, i, "--point-columns", value, problem)) {
        if (problem.empty()) {
            parse_column_request(value, "--point-columns", options.point_columns, problem);
        }
    } else if (option_value(argc, argv, i, "--label-boxes", value, problem)) {
        options.label_boxes = value;
        options.label_boxes_given = true;
    } else if (!shared_option(argc, argv, i, options.shared, problem)) {
        problem = "unknown option " + std::string(argument) + " (see --help)";
    }
    return problem.empty();
}

command_request parse_arguments(int argc, char** argv, plot_options& options,
                                std::string& problem) {
    std::vector<std::string> files;
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (options_done || argument == "-" || argument.empty() || argument[0] != '-') {
            files.emplace_back(argument);
        } else if (argument == "--") {
            options_done = true;
        } else if (answer_request(argument) != command_request::run) {
            return answer_request(argument);
        } else if (!take_option(argc, argv, i, options, problem)) {
            return command_request::refused;
        }
    }
    if (files.size() != 2) {
        problem = files.size() < 2
                      ? "a contour file and an output file are required (see --help)"
                      : "one contour file and one output file only, not " +
                            std::to_string(files.size()) + " names (see --help)";
        return command_request::refused;
    }
    options.contour_file = files[0];
    options.output = files[1];
    if ((!options.point_label.empty() || !options.point_columns.lon.empty()) &&
        options.points.empty()) {
        problem = std::string(options.point_label.empty() ? "--point-columns" : "--point-label") +
                  " is for the points of --points TABLE: give the table";
        return command_request::refused;
    }
    return command_request::run;
}

// The largest ring distance drawn. False, with why, when no ring is that
// close, or no ring that close has a piece to draw (every position
// unresolved).
bool largest_drawn_ring(const contour_run& run, const plot_options& options,
                        std::int32_t& largest, std::string& problem) {
    largest = 0;
    for (const contour_ring& ring : run.rings) {
        if (ring.grid_dist > 0 && ring.grid_dist <= options.max_distance) {
            largest = ring.grid_dist;
        }
    }
    if (largest == 0) {
        problem = run.rings.size() < 2
                      ? "the contour file holds the centre ring only: no ring to draw"
                      : "no ring lies within --max-distance " +
                            options.max_distance_text + " (the nearest is " +
                            std::to_string(run.rings[1].grid_dist) + " degrees)";
        return false;
    }
    for (const contour_line& piece : ring_pieces(run)) {
        if (piece.degrees <= largest && piece.vertices.size() >= 2) {
            return true;
        }
    }
    problem = "no ring to draw: every position of the rings up to " + std::to_string(largest) +
              " degrees is unresolved";
    return false;
}

void put_label_boxes(const label_plan& plan, text_output& out) {
    // In the order of label_kind.
    const char* const kinds[] = {"centre", "ring", "strike", "band", "point", "mark"};
    char line[160];
    for (const map_label& label : plan.labels) {
        std::snprintf(line, sizeof line, "%s\t%d\t%.4f\t%.4f\t%.4f\t%.4f\n",
                      kinds[static_cast<int>(label.kind)], label.degrees, label.centre.x,
                      label.centre.y, label.width, label.height);
        out.put(line);
    }
}

// What the arguments ask that can be refused before the contour file is
// read.
bool check_request(const plot_options& options, gmt_text& title, picture_format& format,
                   std::string& problem) {
    title = title_for_gmt(options.title);
    if (!title.ok) {
        problem = "--title: " + title.problem;
        return false;
    }
    // Refused before any is read: one would take the other's lines.
    const bool errors_shared = !options.points.empty() && !options.shared.errors.empty() &&
                               names_one_stream(options.points, options.shared.errors);
    if (errors_shared ||
        (!options.points.empty() && names_one_stream(options.points, options.contour_file))) {
        problem = std::string("the ") + (errors_shared ? "error lines" : "contour file") +
                  " and the table of points cannot both be standard input or one stream";
        return false;
    }
    if (options.output == "-") {
        problem = "the picture cannot go to standard output (\"-\"): give a file name";
        return false;
    }
    if (!picture_format_of(options.output, format)) {
        problem = options.output +
                  ": unknown picture format (png, pdf, jpg, eps, ps, tif, bmp or ppm)";
        return false;
    }
    return true;
}

// Both outputs opened and checked before anything is drawn.
bool open_outputs(const plot_options& options, const std::array<file_identity, 3>& inputs,
                  output_file& picture, output_file& boxes, std::string& problem) {
    const auto clear = [&](const output_file& output) {
        return output.clear_of_input(inputs[0], "the contour file", problem) &&
               output.clear_of_input(inputs[1], "the file of error lines", problem) &&
               output.clear_of_input(inputs[2], "the table of points", problem);
    };
    if (!picture.open(options.output, problem) || !clear(picture)) {
        return false;
    }
    return !options.label_boxes_given ||
           (boxes.open(options.label_boxes, problem) && clear(boxes) &&
            boxes.clear_of(picture, problem));
}

// Draws the map into the outputs' new files and puts them in place.
bool draw_and_write(const plot_options& options, const map_request& request,
                    output_file& picture, output_file& boxes, session_watcher& watcher,
                    std::string& problem) {
    if (stop_requested()) {
        return false;
    }
    gmt_session session(options.verbose, &watcher);
    label_plan plan;
    if (!session.open(problem) || !draw_map(session, request, plan, problem) ||
        !copy_picture(session.path("picture." + request.format.gmt_name), picture, problem)) {
        return false;
    }
    session.close();
    if (options.label_boxes_given) {
        text_output out(boxes.fd(), stop_requested);
        put_label_boxes(plan, out);
        if (!out.flush()) {
            problem = "cannot write " + options.label_boxes + ": " +
                      std::strerror(out.error_number());
            return false;
        }
    }
    if (stop_requested()) {
        return false;
    }
    return commit_together(picture, options.label_boxes_given ? &boxes : nullptr, problem);
}

// The table of points and their marks on the map.
bool read_points(const plot_options& options, const contour_run& run, point_file& points,
                 std::vector<point_mark>& marks, std::string& problem) {
    std::size_t label_index = 0;
    return read_point_file(options.points, PROGRAM, STDERR_FILENO, options.point_columns, points,
                           problem) &&
           label_column_of(points.table, options.point_label, label_index, problem) &&
           point_marks_of(points, run, options.bands, label_index, marks, problem);
}

int plot(const plot_options& options) {
    gmt_text title;
    picture_format format;
    std::string problem;
    if (!check_request(options, title, format, problem)) {
        return refuse(PROGRAM, problem, EXIT_STATUS_REFUSED);
    }
    run_file input;
    std::int32_t largest = 0;
    if (!read_run_file(options.contour_file, options.shared.errors, PROGRAM, STDERR_FILENO,
                       input, problem)) {
        return refuse_run_file(PROGRAM, input, problem);
    }
    point_file points;
    std::vector<point_mark> marks;
    if (!largest_drawn_ring(input.run, options, largest, problem) ||
        (!options.points.empty() && !read_points(options, input.run, points, marks, problem))) {
        return refuse_input(PROGRAM, points.error_stream_is_file, problem);
    }
    // From here on a signal stops the plot once what it made is removed.
    install_stop_handlers();
    // Whatever the plot makes from here on is removed should it be ended
    // before it can remove it itself.
    session_watcher watcher;
    watcher.start();
    output_file picture(PROGRAM, new_file_mode());
    output_file boxes(PROGRAM, new_file_mode());
    const std::array<file_identity, 3> inputs{input.identity, input.errors_identity,
                                              points.identity};
    if (!open_outputs(options, inputs, picture, boxes, problem)) {
        return stop_requested() ? EXIT_STATUS_REFUSED
                                : refuse(PROGRAM, problem, EXIT_STATUS_REFUSED);
    }
    for (const output_file* output : {&picture, &boxes}) {
        if (!output->new_file().empty()) {
            watcher.remove_if_abandoned(output->new_file());
        }
    }
    if (!gmt_installed()) {
        return refuse(PROGRAM,
                      "GMT is not installed (Debian packages gmt, gmt-gshhg-low and ghostscript)",
                      EXIT_STATUS_FAILED);
    }
    // A regional map reaches a tenth beyond its largest ring, and 2 degrees.
    const double horizon = options.regional
                               ? std::min(WHOLE_GLOBE_HORIZON, options.max_distance * 1.1 + 2.0)
                               : WHOLE_GLOBE_HORIZON;
    const map_request request{&input.run, largest, horizon,       options.shared.strike_step,
                              title.text, format,  options.bands, std::move(marks)};
    if (!draw_and_write(options, request, picture, boxes, watcher, problem)) {
        // A stop is told by the signal itself, once everything made is gone.
        return stop_requested() ? EXIT_STATUS_FAILED
                                : refuse(PROGRAM, problem, EXIT_STATUS_FAILED);
    }
    return EXIT_STATUS_OK;
}

// The plot; a stop ends the command as the signal would have, once
// everything the plot made is gone.
int plot_unless_stopped(const plot_options& options) {
    const int status = plot(options);
    if (stop_requested()) {
        stop_by_signal();
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    return run_command(argc, argv, PROGRAM, USAGE, parse_arguments, plot_unless_stopped);
}
