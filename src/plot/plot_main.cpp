// dist-strike-contour-plot: draws the rings of a whole contour file on an
// azimuthal equidistant map centred on the centre, with GMT.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

#include "command_line.h"
#include "export/contour_reader.h"
#include "export/text_output.h"
#include "plot/gmt_session.h"
#include "plot/map_drawing.h"
#include "plot/picture_output.h"
#include "plot/stop_signals.h"
#include "plot/title_text.h"

namespace {

constexpr const char* PROGRAM = "dist-strike-contour-plot";

constexpr int EXIT_OK = 0;
constexpr int EXIT_REFUSED = 1;     // arguments, input file or output refused
constexpr int EXIT_NOT_DRAWN = 2;   // GMT missing or failing, OUTPUT not written

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
    "  --strike-step N         strike lines every N degrees of azimuth from 0\n"
    "                          (N divides 360), labelled near the edge\n"
    "  --label-boxes FILE      also write where each label went (kind,\n"
    "                          degrees, x, y, width, height in cm from the\n"
    "                          map's centre)\n"
    "  --verbose               show GMT's own messages\n"
    "\n"
    "Needs GMT 6 with coastlines (Debian packages gmt, gmt-gshhg-low and\n"
    "ghostscript). Exit status: 0 done; 1 wrong arguments, a file that is not\n"
    "a whole contour file, or an OUTPUT that cannot be written (nothing\n"
    "drawn); 2 GMT missing or failing, or OUTPUT could not be written.\n";

struct plot_options {
    std::string title;
    double max_distance = 180.0;
    bool regional = false;
    int strike_step = 0;
    bool verbose = false;
    std::string label_boxes;
    std::string contour_file;
    std::string output;
};

void refuse(const std::string& message) {
    report_and_exit(PROGRAM, message, EXIT_REFUSED);
}

double parse_max_distance(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value > 0.0 && value <= 180.0)) {
        refuse("--max-distance must be a number of degrees above 0 and at most 180, not \"" +
               text + "\"");
    }
    return value;
}

plot_options parse_arguments(int argc, char** argv) {
    plot_options options;
    std::vector<std::string> files;
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::string value;
        if (options_done || argument == "-" || argument.empty() || argument[0] != '-') {
            files.emplace_back(argument);
        } else if (argument == "--") {
            options_done = true;
        } else if (answer_help_or_version(PROGRAM, argument, USAGE)) {
        } else if (argument == "--verbose") {
            options.verbose = true;
        } else if (option_value(PROGRAM, argc, argv, i, "--title", value)) {
            options.title = value;
        } else if (option_value(PROGRAM, argc, argv, i, "--max-distance", value)) {
            options.max_distance = parse_max_distance(value);
            options.regional = true;
        } else if (option_value(PROGRAM, argc, argv, i, "--strike-step", value)) {
            options.strike_step = strike_step_or_exit(PROGRAM, value);
        } else if (option_value(PROGRAM, argc, argv, i, "--label-boxes", value)) {
            options.label_boxes = value;
        } else {
            refuse("unknown option " + std::string(argument) + " (see --help)");
        }
    }
    if (files.size() != 2) {
        refuse("a contour file and an output file are required (see --help)");
    }
    options.contour_file = files[0];
    options.output = files[1];
    return options;
}

// The largest ring distance drawn; refused when no ring is that close.
std::int32_t largest_drawn_ring(const contour_run& run, const plot_options& options) {
    std::int32_t largest = 0;
    for (const contour_ring& ring : run.rings) {
        if (ring.grid_dist > 0 && ring.grid_dist <= options.max_distance) {
            largest = ring.grid_dist;
        }
    }
    if (largest == 0) {
        refuse(run.rings.size() < 2 ? "the contour file holds the centre ring only: no ring to draw"
                                    : "no ring lies within --max-distance " +
                                          std::to_string(options.max_distance) + " (the nearest is " +
                                          std::to_string(run.rings[1].grid_dist) + " degrees)");
    }
    return largest;
}

void write_label_boxes(const std::string& path, const label_plan& plan) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    text_output out(fd);
    const char* const kinds[] = {"centre", "ring", "strike"};
    char line[160];
    for (const map_label& label : plan.labels) {
        std::snprintf(line, sizeof line, "%s\t%d\t%.4f\t%.4f\t%.4f\t%.4f\n",
                      kinds[static_cast<int>(label.kind)], label.degrees, label.centre.x,
                      label.centre.y, label.width, label.height);
        out.put(line);
    }
    if (fd < 0 || !out.flush() || ::close(fd) != 0) {
        report_and_exit(PROGRAM, "cannot write " + path + ": " + std::strerror(errno),
                        EXIT_NOT_DRAWN);
    }
}

// Ends the plot after a failure, or a stop, once the session is gone.
[[noreturn]] void give_up(gmt_session& session, const std::string& problem) {
    session.close();
    if (stop_requested()) {
        stop_by_signal();
    }
    report_and_exit(PROGRAM, problem, EXIT_NOT_DRAWN);
}

}  // namespace

int main(int argc, char** argv) {
    const plot_options options = parse_arguments(argc, argv);
    const gmt_text title = title_for_gmt(options.title);
    if (!title.ok) {
        refuse("--title: " + title.problem);
    }
    const std::string output_refusal = output_problem(options.output, options.contour_file);
    if (!output_refusal.empty()) {
        refuse(output_refusal);
    }
    picture_format format;
    if (!picture_format_of(options.output, format)) {
        refuse(options.output + ": unknown picture format (png, pdf, jpg, eps, ps, tif, bmp or ppm)");
    }
    const contour_run run = contour_run_or_exit(PROGRAM, options.contour_file);
    const std::int32_t largest = largest_drawn_ring(run, options);
    if (!gmt_installed()) {
        report_and_exit(PROGRAM, "GMT is not installed (Debian packages gmt, gmt-gshhg-low and "
                                 "ghostscript)", EXIT_NOT_DRAWN);
    }

    install_stop_handlers();
    gmt_session session(options.verbose);
    std::string problem;
    if (!session.open(problem)) {
        give_up(session, problem);
    }
    // A regional map reaches a tenth beyond its largest ring, and 2 degrees.
    const double horizon = options.regional
                               ? std::min(WHOLE_GLOBE_HORIZON, options.max_distance * 1.1 + 2.0)
                               : WHOLE_GLOBE_HORIZON;
    const map_request request{&run,    largest, horizon, options.strike_step, title.text,
                              format};
    label_plan plan;
    if (!draw_map(session, request, plan, problem) ||
        !install_picture(session.path("picture." + format.gmt_name), options.output, problem)) {
        give_up(session, problem);
    }
    session.close();
    if (stop_requested()) {
        stop_by_signal();
    }
    if (!options.label_boxes.empty()) {
        write_label_boxes(options.label_boxes, plan);
    }
    return EXIT_OK;
}
