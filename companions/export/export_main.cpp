// dist-strike-contour-export: turns a whole contour file into what GMT,
// GDAL and GIS tools, and Python, read. Writes to standard output.

#include <string>
#include <unistd.h>

#include "base/command_frame.h"
#include "base/output_rule.h"
#include "base/text_output.h"
#include "formats/format_table.h"
#include "run_file/locked_reading.h"

namespace {

constexpr const char* PROGRAM = "dist-strike-contour-export";

std::string usage() {
    return std::string(
               "Usage: dist-strike-contour-export [--format FORMAT] [--strike-step N]\n"
               "                                  [--errors ERRORS] [FILE]\n"
               "\n"
               "Writes the rings of a contour file (as dist-strike-contour writes it; by\n"
               "default ") +
           CONTOUR_FILE_NAME +
           " here, - for standard input) to standard\n"
           "output, each ring broken where a position was unresolved:\n"
           "\n" +
           format_help() +
           "\n"
           "  --strike-step N  adds a strike line every N degrees of azimuth from 0 (N\n"
           "                   divides 360): from the centre outwards through the\n"
           "                   resolved points of that azimuth, following the great\n"
           "                   circle (vertices at most 1 degree apart in ogr,\n"
           "                   geojson and kml)\n"
           "  --errors ERRORS  the run's standard output, saved: its error lines say\n"
           "                   exactly which positions were unresolved (without it\n"
           "                   a record that repeats the one before it is taken for\n"
           "                   one, which near a pole can misjudge a resolved point)\n"
           "\n"
           "The file must be whole: every ring of its run, 361 records each, azimuths\n"
           "0 to 360, each ring closed by its separator. It is read under a shared\n"
           "lock: while a run is writing it, the export waits. Exit status: 0 done,\n"
           "1 wrong arguments or a file that is not a whole contour file (nothing\n"
           "written), 2 standard output is the file itself or could not be written.\n";
}

struct export_options {
    const export_format* format = &default_format();
    shared_options shared;
    std::string file = CONTOUR_FILE_NAME;
};

command_request parse_arguments(int argc, char** argv, export_options& options,
                                std::string& problem) {
    const auto take_option = [&](int& i, std::string& refusal) {
        std::string value;
        if (option_value(argc, argv, i, "--format", value, refusal)) {
            options.format = find_format(value);
            if (refusal.empty() && options.format == nullptr) {
                refusal = "unknown format \"" + value + "\": " + format_names();
            }
            return true;
        }
        return shared_option(argc, argv, i, options.shared, refusal);
    };
    return read_arguments(argc, argv, "one contour file", take_option, options.file, problem);
}

int export_run(const export_options& options) {
    run_file input;
    std::string problem;
    if (!read_run_file(options.file, options.shared.errors, PROGRAM, STDERR_FILENO, input,
                       problem)) {
        return refuse_run_file(PROGRAM, input, problem);
    }
    if (!standard_output_clear_of_input(input.identity, input.name, problem) ||
        !standard_output_clear_of_input(input.errors_identity, options.shared.errors, problem)) {
        return refuse(PROGRAM, problem, EXIT_STATUS_FAILED);
    }
    text_output out(STDOUT_FILENO);
    options.format->write(input.run, options.shared.strike_step, out);
    return finish_standard_output(out, problem) ? EXIT_STATUS_OK
                                                : refuse(PROGRAM, problem, EXIT_STATUS_FAILED);
}

}  // namespace

int main(int argc, char** argv) {
    return run_command(argc, argv, PROGRAM, usage(), parse_arguments, export_run);
}
