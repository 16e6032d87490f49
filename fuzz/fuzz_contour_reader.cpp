// Arbitrary bytes as a contour file: refused with one "NAME:LINE: expected
// ..." line naming a line of the file, or accepted as a whole run and then
// written in every export format without fault.

#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

#include "formats/format_table.h"
#include "fuzz_check.h"
#include "run_file/contour_reader.h"

namespace {

void write_every_format(const contour_run& run) {
    static const int null_fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    for (const char* name : {"gmt", "ogr", "geojson", "csv", "kml"}) {
        const export_format* format = find_format(name);
        require(format != nullptr);
        for (const int strike_step : {0, 30}) {
            text_output out(null_fd);
            format->write(run, strike_step, out);
            require(out.flush());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    contour_run run;
    std::string problem;
    if (read_contour_text(text, "c.txt", run, problem)) {
        require(!run.rings.empty() && run.rings[0].grid_dist == 0);
        write_every_format(run);
        return 0;
    }
    // "c.txt:LINE: expected ...".
    const std::size_t colon = require_line_of_text(problem, "c.txt", text);
    require(problem.compare(colon, 11, ": expected ") == 0);
    return 0;
}
