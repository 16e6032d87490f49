// The export over a sweep of runs: each format carries the lines of the run
// as the line geometry (checked in process) makes them, in order, with kind
// and degrees, every vertex's text reading back as the vertex; CSV a row per
// record, reduced into [-180, 180), with ring, azimuth and resolution.
// Where GDAL is installed, its reader counts the same vertices.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "lines/great_circles.h"
#include "program_runner.h"
#include "run_file/contour_reader.h"

namespace {

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
