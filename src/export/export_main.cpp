// dist-strike-contour-export: turns a whole contour file into what GMT,
// GDAL and GIS tools, and Python, read. Writes to standard output.

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

#include "export/contour_reader.h"
#include "export/export_formats.h"
#include "export/text_output.h"
#include "command_line.h"

namespace {

constexpr const char* PROGRAM = "dist-strike-contour-export";
constexpr const char* DEFAULT_FILE = "dist-strike-contour.txt";

constexpr int EXIT_OK = 0;
constexpr int EXIT_REFUSED = 1;        // arguments, or input that is not a whole contour file
constexpr int EXIT_WRITE_FAILURE = 2;  // standard output could not take it all

constexpr const char* USAGE =
    "Usage: dist-strike-contour-export [--format FORMAT] [--strike-step N] [FILE]\n"
    "\n"
    "Writes the rings of a contour file (as dist-strike-contour writes it; by\n"
    "default dist-strike-contour.txt here, - for standard input) to standard\n"
    "output, each ring broken where a position was unresolved:\n"
    "\n"
    "  gmt      GMT multisegment table (the default): a \"> -Z<distance>\n"
    "           -L\"<distance>\"\" header before each piece of ring, then\n"
    "           \"longitude latitude\" records, longitudes continuous\n"
    "  ogr      GDAL's OGR/GMT vector format (save it as NAME.gmt): one feature\n"
    "           per piece, fields line, distance and azimuth, WGS 84 longitude\n"
    "           and latitude in -180..180, lines cut at the antimeridian\n"
    "  geojson  RFC 7946 GeoJSON, the same features as ogr\n"
    "  csv      one row per record: longitude (-180..180), latitude, distance,\n"
    "           azimuth, resolved (1 or 0), line (ring or strike)\n"
    "\n"
    "  --strike-step N  adds a strike line every N degrees of azimuth from 0 (N\n"
    "                   divides 360): from the centre outwards through the\n"
    "                   resolved points of that azimuth, following the great\n"
    "                   circle (vertices at most 1 degree apart in ogr and\n"
    "                   geojson)\n"
    "\n"
    "The file must be whole: every ring of its run, 361 records each, azimuths\n"
    "0 to 360, each ring closed by its separator. Exit status: 0 done, 1 wrong\n"
    "arguments or a file that is not a whole contour file (nothing written),\n"
    "2 standard output could not be written.\n";

struct export_options {
    export_format format = export_format::gmt;
    int strike_step = 0;
    std::string file = DEFAULT_FILE;
};

bool parse_format(std::string_view name, export_format& format) {
    const std::pair<std::string_view, export_format> names[] = {
        {"gmt", export_format::gmt},
        {"ogr", export_format::ogr},
        {"geojson", export_format::geojson},
        {"csv", export_format::csv}};
    for (const auto& [text, value] : names) {
        if (name == text) {
            format = value;
            return true;
        }
    }
    return false;
}

export_options parse_arguments(int argc, char** argv) {
    export_options options;
    bool file_given = false;
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::string value;
        if (options_done || argument == "-" || argument.empty() || argument[0] != '-') {
            if (file_given) {
                report_and_exit(PROGRAM, "one contour file only (see --help)", EXIT_REFUSED);
            }
            options.file = argv[i];
            file_given = true;
        } else if (argument == "--") {
            options_done = true;
        } else if (answer_help_or_version(PROGRAM, argument, USAGE)) {
        } else if (option_value(PROGRAM, argc, argv, i, "--format", value)) {
            if (!parse_format(value, options.format)) {
                report_and_exit(PROGRAM, "unknown format \"" + value +
                                             "\": gmt, ogr, geojson or csv", EXIT_REFUSED);
            }
        } else if (option_value(PROGRAM, argc, argv, i, "--strike-step", value)) {
            options.strike_step = strike_step_or_exit(PROGRAM, value);
        } else {
            report_and_exit(PROGRAM, "unknown option " + std::string(argument) + " (see --help)",
                            EXIT_REFUSED);
        }
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away shows up as a failed write, reported, rather
    // than ending the command without a word.
    std::signal(SIGPIPE, SIG_IGN);
    const export_options options = parse_arguments(argc, argv);
    const contour_run run = contour_run_or_exit(PROGRAM, options.file);
    text_output out(STDOUT_FILENO);
    write_export(run, options.format, options.strike_step, out);
    const bool written = out.flush();
    // Some file systems report a failed write only when the file is closed.
    const bool closed = ::close(STDOUT_FILENO) == 0 || errno == EINTR;
    if (!written || !closed) {
        report_and_exit(PROGRAM, std::string("cannot write standard output: ") +
                                     std::strerror(written ? errno : out.error_number()),
                        EXIT_WRITE_FAILURE);
    }
    return EXIT_OK;
}
