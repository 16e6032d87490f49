// The export command as a user meets it: which files it takes, how it
// refuses the others (one line, exit 1, nothing on standard output), that a
// failed write is never a success, and what each format carries.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>
#include <fcntl.h>
#include <unistd.h>

#include "lines/great_circles.h"
#include "program_runner.h"
#include "record_writer.h"
#include "run_file/contour_reader.h"

namespace {

const char* const CONTOUR = "dist-strike-contour.txt";

// The contour file of "120.5 -33.25 10": 18 rings of 362 lines.
const std::string& perth_run() {
    static const std::string text = [] {
        scratch_dir dir;
        run_program(dir, "120.5 -33.25 10\n");
        return read_file(dir.work_path(CONTOUR));
    }();
    return text;
}

std::string first_lines(const std::string& text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < count; ++i) {
        end = text.find('\n', end) + 1;
    }
    return text.substr(0, end);
}

std::string replace_line(std::string text, std::size_t number, const std::string& line) {
    std::size_t start = 0;
    for (std::size_t i = 1; i < number; ++i) {
        start = text.find('\n', start) + 1;
    }
    return text.replace(start, text.find('\n', start) - start, line);
}

// Line `to` holding the point (longitude and latitude) of line `from`.
std::string point_copied(const std::string& text, std::size_t to, std::size_t from) {
    const std::string line = lines_of(text)[to - 1];
    return replace_line(text, to, line.substr(0, LON_COLUMN) +
                                      lines_of(text)[from - 1].substr(LON_COLUMN, DIST_COLUMN - LON_COLUMN) +
                                      line.substr(DIST_COLUMN));
}

// Line `number` with its point moved north, its latitude written as the
// program writes it.
std::string point_moved(const std::string& text, std::size_t number, float degrees) {
    std::string line = lines_of(text)[number - 1];
    const real_item lat = make_real_item(std::stof(line.substr(LAT_COLUMN, REAL_WIDTH)) + degrees);
    line.replace(LAT_COLUMN, REAL_WIDTH, lat.chars.data(), REAL_WIDTH);
    return replace_line(text, number, line);
}

program_run export_run(const scratch_dir& dir, std::vector<std::string> arguments,
                       program_output output = captured_output()) {
    run_setup setup{closed_input(), output};
    setup.program = EXPORT_PATH;
    setup.arguments = std::move(arguments);
    return run_program(dir, setup);
}

struct refusal {
    const char* name;
    std::function<std::string(const std::string&)> file;  // from the whole run
    std::vector<std::string> arguments;                   // the file's name added last
    const char* message;                                   // after "dist-strike-contour-export: "
};

TEST(ExportCommand, RefusesWhatIsNotAWholeContourFile) {
    const refusal cases[] = {
        {"cut after whole lines", [](const std::string& t) { return first_lines(t, 100); }, {},
         "c.txt:101: expected the rest of the centre ring, but the file ends after 100 of 361 "
         "records (a run cut short)"},
        {"cut mid-line", [](const std::string& t) { return t.substr(0, 1000); }, {},
         "c.txt:14: expected a whole line, not one cut short without its newline"},
        {"cut after a ring", [](const std::string& t) { return first_lines(t, 3620); }, {},
         "c.txt:3621: expected ring 100 (rings every 10 degrees up to 170), but the file ends "
         "after ring 90"},
        {"two runs joined", [](const std::string& t) { return t + t; }, {},
         "c.txt:6517: expected the end of the file after ring 170"},
        {"a record one character too long",
         [](const std::string& t) { return replace_line(t, 1000, lines_of(t)[999] + " "); }, {},
         "c.txt:1000: expected a contour record (75 characters) or the separator \" >\""},
        {"a crafted segment header",
         [](const std::string& t) { return replace_line(t, 362, ">-Zevil -W5p,red"); }, {},
         "c.txt:362: expected a contour record (75 characters) or the separator \" >\""},
        {"records out of azimuth order",
         [](const std::string& t) { return replace_line(t, 5, lines_of(t)[5]); },
         {}, "c.txt:5: expected azimuth 4 (the records of a ring run from azimuth 0 to 360), not \"5.00000000\""},
        {"a number not as the program writes it",
         [](const std::string& t) {
             std::string line = lines_of(t)[399];
             line.replace(line.find("127.1"), 5, "+27.1");
             return replace_line(t, 400, line);
         }, {}, "c.txt:400: expected a contour record with a longitude in columns 2-17, written as the contour program writes it"},
        {"an empty file", [](const std::string&) { return std::string(); }, {},
         "c.txt:1: expected the centre ring, not an empty file"},
        {"a point moved off its ring, written as the program writes",
         [](const std::string& t) {
             std::string line = lines_of(t)[999];
             line.replace(1, 16, "  10.0000000    ");
             return replace_line(t, 1000, line);
         }, {}, "c.txt:1000: expected distance check 89 (the point's distance from the centre"},
        {"a distance check edited",
         [](const std::string& t) {
             std::string line = lines_of(t)[999];
             line.replace(64, 11, "         29");
             return replace_line(t, 1000, line);
         }, {}, "c.txt:1000: expected distance check 20"},
        {"an unknown format", [](const std::string& t) { return t; }, {"--format", "shp"},
         "unknown format \"shp\": gmt, ogr, geojson, csv or kml"},
        {"a strike step that does not divide 360", [](const std::string& t) { return t; },
         {"--strike-step", "7"}, "--strike-step must be a whole number of degrees that divides 360"},
        {"an unknown option", [](const std::string& t) { return t; }, {"--colour"},
         "unknown option --colour (see --help)"},
        // Records the program writes, but not where they stand: ring 30
        // at azimuth 40 is line 1127, ring 50 at azimuth 50 line 1861.
        {"a point moved 0.02 degree, its check still right",
         [](const std::string& t) { return point_moved(t, 1127, 0.02f); }, {},
         "c.txt:1127: expected a point of ring 30 at azimuth 40, but this point measures back "
         "from the centre at distance 30.016775 and azimuth 39.978252"},
        {"a point copied from azimuth 100 to 11",
         [](const std::string& t) { return point_copied(t, 1098, 1187); }, {},
         "c.txt:1098: expected a point of ring 30 at azimuth 11, but this point measures back "
         "from the centre at distance 30.00001 and azimuth 100"},
        {"two neighbours swapped",
         [](const std::string& t) { return point_copied(point_copied(t, 1861, 1862), 1862, 1861); },
         {}, "c.txt:1861: expected a point of ring 50 at azimuth 50, but this point measures "
         "back from the centre at distance 50 and azimuth 51.00001"},
        {"a record copied from the ring before",
         [](const std::string& t) {
             std::string line = lines_of(t)[432];  // ring 10, azimuth 70
             line.replace(DIST_COLUMN, CHECK_COLUMN - DIST_COLUMN,
                          lines_of(t)[794].substr(DIST_COLUMN, CHECK_COLUMN - DIST_COLUMN));
             return replace_line(t, 795, line);
         }, {},
         "c.txt:795: expected a point of ring 20 at azimuth 70 (distance check 20) or the "
         "record before it repeated"},
        {"error lines of another run", [](const std::string& t) { return t; },
         {"--errors", "e.txt"},
         "e.txt: the error lines are not this contour file's: c.txt:3259: ring 90 azimuth 0 is "
         "called unresolved, but its record does not repeat the one before it"},
        {"error lines out of order", [](const std::string& t) { return t; },
         {"--errors", "e.txt", "--errors", "c.txt"}, "c.txt:1: expected an error line"},
        {"two files", [](const std::string& t) { return t; }, {"c.txt"},
         "one contour file only (see --help)"},
    };
    for (const refusal& c : cases) {
        scratch_dir dir;
        write_file(dir.work_path("c.txt"), c.file(perth_run()));
        write_file(dir.work_path("e.txt"), " error   90.0000000       0.00000000    \n");
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("c.txt");
        const program_run run = export_run(dir, arguments);
        EXPECT_EQ(run.exit_status, 1) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
        EXPECT_EQ(lines_of(run.err).size(), 1u) << c.name << ": " << run.err;
        EXPECT_EQ(run.err.rfind(std::string("dist-strike-contour-export: ") + c.message, 0), 0u)
            << c.name << ": " << run.err;
    }
}

// Any name works: the default, standard input, and names a shell or awk
// would take for something else.
TEST(ExportCommand, ReadsTheFileByAnyName) {
    scratch_dir dir;
    write_file(dir.work_path(CONTOUR), perth_run());
    const program_run by_default = export_run(dir, {});
    ASSERT_EQ(by_default.exit_status, 0) << by_default.err;
    for (const std::string name : {"step=10.txt", "a b.txt", "-x.txt"}) {
        write_file(dir.work_path(name), perth_run());
        const program_run run = export_run(dir, {"--", name});
        EXPECT_EQ(run.exit_status, 0) << name << run.err;
        EXPECT_EQ(run.out, by_default.out) << name;
    }
    run_setup from_stdin{input_path(dir.work_path(CONTOUR))};
    from_stdin.program = EXPORT_PATH;
    from_stdin.arguments = {"-"};
    EXPECT_EQ(run_program(dir, from_stdin).out, by_default.out);
    const program_run missing = export_run(dir, {"no such.txt"});
    EXPECT_EQ(missing.exit_status, 1);
    EXPECT_EQ(missing.err,
              "dist-strike-contour-export: cannot open no such.txt: No such file or directory\n");
}

// What GDAL reads from a file's layer "rings", one line per value: each
// feature's fields line, distance and azimuth (those it holds) and its
// geometry. Exit status 99 without ogrinfo; 1 for a KML that xmllint, where
// installed, finds not well-formed.
program_run gdal_rings(const scratch_dir& dir, const std::string& path) {
    run_setup setup{closed_input()};
    setup.program = "/bin/sh";
    setup.arguments = {
        "-c",
        "case $0 in *.kml) ! command -v xmllint >/dev/null || xmllint --noout \"$0\" || exit 1;; "
        "esac; command -v ogrinfo >/dev/null || exit 99; ogrinfo -ro -al -q -geom=ISO_WKT \"$0\" "
        "rings | grep -E '^  (MULTI|LINE|POINT|line |distance |azimuth )' | grep -v '(null)$'",
        path};
    return run_program(dir, setup);
}

// GDAL finds in the KML's layer "rings" the GeoJSON's features, field for
// field and vertex for vertex, in a run whose rings and strike lines pass
// over the north pole and cross the antimeridian.
TEST(ExportCommand, KmlHoldsTheFeaturesOfTheGeojson) {
    scratch_dir dir;
    ASSERT_EQ(run_program(dir, "142.37 38.30 10\n").exit_status, 0);
    program_run read[2];
    for (const int i : {0, 1}) {
        const std::string format = i == 0 ? "geojson" : "kml";
        const program_run run = export_run(dir, {"--format", format, "--strike-step", "30"});
        ASSERT_EQ(run.exit_status, 0) << run.err;
        write_file(dir.io_path("rings." + format), run.out);
        read[i] = gdal_rings(dir, dir.io_path("rings." + format));
    }
    if (read[1].exit_status == 99) {
        GTEST_SKIP() << "GDAL's ogrinfo is not installed";
    }
    ASSERT_EQ(read[1].exit_status, 0) << read[1].err;
    const std::vector<std::string> geojson = lines_of(read[0].out);
    const std::vector<std::string> kml = lines_of(read[1].out);
    EXPECT_EQ(geojson.size(), 17u * 3 + 12u * 3);  // 17 rings, 12 strike lines
    for (std::size_t i = 0; i < std::max(kml.size(), geojson.size()); ++i) {
        ASSERT_EQ(i < kml.size() ? kml[i] : "", i < geojson.size() ? geojson[i] : "") << i;
    }
}

// As GIS tools see the layer: one geometry type and typed fields, whatever
// the run (a lone resolved position, lines over both poles, centres on the
// antimeridian and at a pole), and without strike lines no azimuth field.
TEST(ExportCommand, GisLayersHaveOneGeometryTypeAndTypedFields) {
    const struct {
        const char* input;
        const char* strike_step;  // nullptr for none
        const char* fields;
    } runs[] = {{"142.37 38.30 10\n", "30", "distance: Integer azimuth: Integer "},
                {"0 90 10\n", "45", "distance: Integer azimuth: Integer "},
                {"180 -30 5\n", nullptr, "distance: Integer "}};
    for (const auto& run : runs) {
        scratch_dir dir;
        ASSERT_EQ(run_program(dir, run.input).exit_status, 0);
        for (const std::string format : {"geojson", "ogr"}) {
            const std::string path = dir.io_path("rings." + (format == "ogr" ? "gmt" : format));
            std::vector<std::string> arguments{"--format", format};
            if (run.strike_step != nullptr) {
                arguments.insert(arguments.end(), {"--strike-step", run.strike_step});
            }
            write_file(path, export_run(dir, arguments).out);
            run_setup setup{closed_input()};
            setup.program = "/bin/sh";
            setup.arguments = {"-c",
                               "command -v ogrinfo >/dev/null || exit 99; ogrinfo -ro -so \"$0\" "
                               "rings | sed -n -e 's/ (.*//' -e "
                               "'/^\\(Geometry\\|distance\\|azimuth\\): /p' | tr '\\n' ' '",
                               path};
            const program_run layer = run_program(dir, setup);
            if (layer.exit_status == 99) {
                GTEST_SKIP() << "GDAL's ogrinfo is not installed";
            }
            EXPECT_EQ(layer.out, std::string("Geometry: Multi Line String ") + run.fields)
                << run.input << format << layer.err;
        }
    }
}

// Output that cannot take it all, or that is the contour file itself (">>"
// and "1<>" in a shell), is never a success, and the file is left as it was.
TEST(ExportCommand, AFailedWriteIsNeverASuccess) {
    scratch_dir dir;
    write_file(dir.work_path(CONTOUR), perth_run());
    const struct {
        program_output output;
        std::vector<std::string> arguments;
        const char* message;  // after "dist-strike-contour-export: "
        long file_size_limit = -1;
    } cases[] = {
        {output_path(dir.io_path("limited")), {}, "cannot write standard output: ", 4096},
        {output_path("/dev/full"), {"--format", "gmt"}, "cannot write standard output: "},
        {output_path("/dev/full"), {"--format", "geojson"}, "cannot write standard output: "},
        {closed_output(), {"--format", "gmt"}, "cannot write standard output: "},
        {output_path("/dev/full"), {"--help"}, "cannot write standard output: "},
        {closed_output(), {"--version"}, "cannot write standard output: "},
        {appended_output(dir.work_path(CONTOUR)), {},
         "standard output is dist-strike-contour.txt itself"},
        {appended_output(dir.work_path(CONTOUR)), {"-"},
         "standard output is standard input itself"},
    };
    for (const auto& c : cases) {
        run_setup setup{input_path(dir.work_path(CONTOUR)), c.output};
        setup.program = EXPORT_PATH;
        setup.arguments = c.arguments;
        setup.file_size_limit = c.file_size_limit;
        const program_run run = run_program(dir, setup);
        EXPECT_EQ(run.exit_status, 2) << c.message;
        EXPECT_EQ(lines_of(run.err).size(), 1u) << run.err;
        EXPECT_EQ(run.err.rfind(std::string("dist-strike-contour-export: ") + c.message, 0), 0u)
            << run.err;
    }
    // Standard error into the file itself: nothing said there, a failure.
    run_setup into_itself{closed_input(), appended_output(dir.work_path(CONTOUR))};
    into_itself.program = EXPORT_PATH;
    into_itself.error_path = dir.work_path(CONTOUR);
    EXPECT_EQ(run_program(dir, into_itself).exit_status, 2);
    EXPECT_EQ(read_file(dir.work_path(CONTOUR)), perth_run());
}

// Near a pole a resolved point can land on the same single-precision point
// as the one before it, which the records alone take for a repeated held
// point; with the run's error lines every position is as the run said.
TEST(ExportCommand, ErrorLinesSayExactlyWhichPositionsWereResolved) {
    scratch_dir dir;
    const program_run run = run_program(dir, "0 90 1\n");
    write_file(dir.work_path("errors.txt"), run.out);
    for (const bool with_errors : {false, true}) {
        const program_run csv = export_run(
            dir, with_errors ? std::vector<std::string>{"--format", "csv", "--errors", "errors.txt"}
                             : std::vector<std::string>{"--format", "csv"});
        ASSERT_EQ(csv.exit_status, 0) << csv.err;
        std::size_t unresolved = 0;
        for (const std::string& row : lines_of(csv.out)) {
            unresolved += row.find(",0,ring") != std::string::npos;
        }
        const std::size_t reported = lines_of(run.out).size();
        if (with_errors) {
            EXPECT_EQ(unresolved, reported);
        } else {
            EXPECT_GT(unresolved, reported);  // the records alone misjudge some
        }
    }
    // Error lines that leave unresolved positions out disagree with their
    // records: an empty file is not this run's.
    write_file(dir.work_path("none.txt"), "");
    EXPECT_EQ(export_run(dir, {"--errors", "none.txt"}).exit_status, 1);
    // Straight from the run's pipe: its error lines (1.2 MB) fill the pipe
    // while the run holds its file, so they are read before the file's
    // lock is waited for. Once the reader waited for the lock first.
    const std::string saved = export_run(dir, {"--format", "csv", "--errors", "errors.txt"}).out;
    run_setup pipeline{closed_input()};
    pipeline.program = "/bin/sh";
    pipeline.arguments = {"-c", "echo '0 90 1' | \"$0\" 2>/dev/null | \"$1\" --format csv --errors /dev/stdin",
                          PROGRAM_PATH, EXPORT_PATH};
    for (int attempt = 0; attempt < 5; ++attempt) {
        const program_run piped = run_program(dir, pipeline);
        EXPECT_EQ(piped.exit_status, 0) << piped.err;
        EXPECT_TRUE(piped.out == saved) << "attempt " << attempt;
    }
    // Standard input named for both is refused before any of it is read,
    // while its writer (this test) holds it open: once it was read to its
    // end first.
    int held[2];
    ASSERT_EQ(::pipe2(held, O_CLOEXEC), 0);
    run_setup both{input_path("/dev/fd/" + std::to_string(held[0]))};
    both.program = EXPORT_PATH;
    both.arguments = {"--errors", "-", "-"};
    const program_run refused = run_program(dir, both);
    ::close(held[0]);
    ::close(held[1]);
    EXPECT_EQ(refused.exit_status, 1) << refused.err;
}

// The export over a sweep of runs: each format carries the lines of the run
// as the line geometry (checked in process) makes them, in order, with kind
// and degrees, every vertex's text reading back as the vertex; CSV a row per
// record, reduced into [-180, 180), with ring, azimuth and resolution.
// Where GDAL is installed, its reader counts the same vertices.

// What the export wrote, format aside: lines of parts of (lon, lat).
struct vertex {
    long double lon;  // the 64-bit significand keeps "-360.000009542769" less 360 exact enough
    float lat;
};
struct parsed_line {
    bool strike;
    int degrees;
    std::vector<std::vector<vertex>> parts;
};

vertex vertex_of(const char* text) {
    vertex v{};
    char* end = nullptr;
    v.lon = std::strtold(text, &end);
    v.lat = std::strtof(end + 1, nullptr);
    return v;
}

std::vector<parsed_line> parse_gmt_tables(const std::string& text) {
    std::vector<parsed_line> lines;
    std::istringstream input(text);
    bool part_begins = false;  // after an OGR/GMT ">"
    for (std::string row; std::getline(input, row);) {
        if (row.rfind("> -Z", 0) == 0 || row.rfind("> strike", 0) == 0) {  // gmt
            const bool strike = row[2] == 's';
            lines.push_back({strike, std::atoi(row.c_str() + (strike ? 12 : 4)), {{}}});
        } else if (row.rfind("# @D", 0) == 0) {  // ogr: a feature's values
            const bool strike = row[4] == 's';
            lines.push_back({strike, std::atoi(row.c_str() + (strike ? 12 : 9)), {{}}});
            part_begins = false;
        } else if (row == ">") {
            part_begins = true;
        } else if (row[0] != '#') {
            if (part_begins) {
                lines.back().parts.emplace_back();
                part_begins = false;
            }
            lines.back().parts.back().push_back(vertex_of(row.c_str()));
        }
    }
    return lines;
}

// The writer puts one feature per line, its properties before its
// coordinates.
std::vector<parsed_line> parse_geojson(const std::string& text) {
    std::vector<parsed_line> lines;
    std::istringstream input(text);
    for (std::string row; std::getline(input, row);) {
        const std::size_t properties = row.find("\"line\":\"");
        if (properties == std::string::npos) {
            continue;
        }
        const bool strike = row[properties + 8] == 's';
        const std::size_t value = row.find(strike ? "\"azimuth\":" : "\"distance\":");
        parsed_line line{strike, std::atoi(row.c_str() + value + (strike ? 10 : 11)), {}};
        // A part starts at each position not after another one's ",".
        for (std::size_t i = row.find("\"coordinates\":"); (i = row.find('[', i + 1)) != std::string::npos;) {
            if (row[i + 1] != '[') {
                if (row[i - 1] != ',') {
                    line.parts.emplace_back();
                }
                line.parts.back().push_back(vertex_of(row.c_str() + i + 1));
            }
        }
        lines.push_back(line);
    }
    return lines;
}

// The lines as a format carries them: the GMT table continuous, the GIS
// formats cut at the antimeridian.
std::vector<map_feature> features_of(const contour_run& run, int strike_step, bool gis) {
    std::vector<contour_line> lines = lines_of_run(run, strike_step);
    if (gis) {
        return map_features(std::move(lines));
    }
    std::vector<map_feature> features;
    for (contour_line& line : lines) {
        features.push_back({line.kind, line.degrees, {line.vertices}});
    }
    return features;
}

// The text read back: the latitude exactly, the longitude less its whole
// turns too (the 64-bit significand keeps that difference exact enough).
bool same_vertex(const vertex& v, const line_vertex& w) {
    return v.lat == w.lat && std::round((v.lon - w.lon) / 360.0L) == w.turns &&
           static_cast<float>(v.lon - 360.0L * w.turns) == w.lon;
}

std::string compare(const std::vector<parsed_line>& written, const std::vector<map_feature>& features) {
    for (std::size_t i = 0; i < written.size() && i < features.size(); ++i) {
        const parsed_line& line = written[i];
        const map_feature& feature = features[i];
        if (line.strike != (feature.kind == line_kind::strike) || line.degrees != feature.degrees ||
            line.parts.size() != feature.parts.size()) {
            return "line " + std::to_string(i) + ": another kind, degrees or number of parts";
        }
        for (std::size_t p = 0; p < line.parts.size(); ++p) {
            for (std::size_t k = 0; k < line.parts[p].size() || k < feature.parts[p].size(); ++k) {
                if (k >= line.parts[p].size() || k >= feature.parts[p].size() ||
                    !same_vertex(line.parts[p][k], feature.parts[p][k])) {
                    return "line " + std::to_string(i) + " part " + std::to_string(p) +
                           ": vertex " + std::to_string(k);
                }
            }
        }
    }
    return written.size() == features.size() ? "" : "another number of lines";
}

std::string check_csv(const contour_run& run, const std::string& text) {
    std::istringstream input(text);
    std::string row;
    std::getline(input, row);
    for (const contour_ring& ring : run.rings) {
        for (int az = 0; az < RING_POSITIONS; ++az) {
            const contour_position& r = ring.positions[static_cast<std::size_t>(az)];
            std::getline(input, row);
            const vertex v = vertex_of(row.c_str());
            int dist = -1, azimuth = -1, flag = -1;
            std::sscanf(std::strchr(std::strchr(row.c_str(), ',') + 1, ',') + 1, "%d,%d,%d", &dist,
                        &azimuth, &flag);
            if (!same_vertex(v, surface_point(r.lon, r.lat)) || dist != ring.grid_dist ||
                azimuth != az || flag != (position_resolved(ring, az) ? 1 : 0)) {
                return "row \"" + row + "\" for ring " + std::to_string(ring.grid_dist) +
                       " azimuth " + std::to_string(az);
            }
        }
    }
    return "";
}

// Vertices GDAL reads from a file, counted from ogrinfo's geometries; -1
// without GDAL.
long gdal_vertex_count(const scratch_dir& dir, const std::string& path) {
    run_setup setup{closed_input()};
    setup.program = "/bin/sh";
    setup.arguments = {"-c", "command -v ogrinfo >/dev/null || exit 99; ogrinfo -ro -al -q \"$0\"", path};
    const program_run run = run_program(dir, setup);
    long numbers = 0;
    for (const std::string& line : lines_of(run.out)) {
        if (line.rfind("  MULTILINESTRING", 0) == 0 || line.rfind("  LINESTRING", 0) == 0 ||
            line.rfind("  POINT", 0) == 0) {
            bool in_number = false;
            for (char c : line) {
                const bool part = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e';
                numbers += part && !in_number && c != 'e';
                in_number = part;
            }
        }
    }
    return run.exit_status == 99 ? -1 : numbers / 2;
}

TEST(ExportProperty, EveryFormatCarriesTheLinesOfTheRun) {
    const int strike_steps[] = {0, 10, 30, 45, 90};
    // A pole at azimuth 0 of ring 45 (its record repeats ring 40's last
    // point), many unresolved positions, the step-1 run, a centre at a pole,
    // on the antimeridian and beyond it, and lines over both poles.
    const char* const inputs[] = {"0 45 5\n",   "0 -89.9 5\n",      "120.5 -33.25 1\n",
                                  "10 90 15\n", "180 30 10\n",      "-540.25 12 7\n",
                                  "-180 -60 20\n", "77.7 89.5 3\n", "200 -45 45\n",
                                  "-33.3 -70 11\n"};
    for (std::size_t run_number = 0; run_number < std::size(inputs); ++run_number) {
        const std::string input = inputs[run_number];
        scratch_dir dir;
        ASSERT_EQ(run_program(dir, input).exit_status, 0) << input;
        const std::string contour = dir.work_path("dist-strike-contour.txt");
        contour_run run;
        std::string problem;
        ASSERT_TRUE(read_contour_text(read_file(contour), "contour", run, problem)) << problem;
        const int strike_step = strike_steps[run_number % 5];
        for (const std::string format : {"gmt", "ogr", "geojson", "csv"}) {
            run_setup setup{closed_input()};
            setup.program = EXPORT_PATH;
            setup.arguments = {"--format", format, "--strike-step", std::to_string(strike_step),
                               contour};
            if (strike_step == 0) {
                setup.arguments.erase(setup.arguments.begin() + 2, setup.arguments.begin() + 4);
            }
            const program_run exported = run_program(dir, setup);
            ASSERT_EQ(exported.exit_status, 0) << input << exported.err;
            if (format == "csv") {
                EXPECT_EQ(check_csv(run, exported.out), "") << input;
                continue;
            }
            const std::vector<parsed_line> lines = format == "geojson"
                                                       ? parse_geojson(exported.out)
                                                       : parse_gmt_tables(exported.out);
            EXPECT_EQ(compare(lines, features_of(run, strike_step, format != "gmt")), "")
                << format << ", input " << input << " strike step " << strike_step;
            if (format != "gmt" && run_number % 4 == 0) {
                const std::string path = dir.io_path(format == "ogr" ? "e.gmt" : "e.geojson");
                write_file(path, exported.out);
                long count = 0;
                for (const parsed_line& line : lines) {
                    for (const auto& part : line.parts) {
                        count += static_cast<long>(part.size());
                    }
                }
                const long gdal = gdal_vertex_count(dir, path);
                EXPECT_TRUE(gdal < 0 || gdal == count) << gdal << " vertices, " << count << " written: " << format << ", input " << input;
            }
        }
    }
}

}  // namespace
