// The export over many runs, in every format: every resolved record comes
// out exactly once, in its ring's order, and nothing else does but the
// points the formats call for (antimeridian crossings, and great-circle
// points of strike lines in the GIS formats); pieces break exactly where
// positions are unresolved; no segment spans more than 180 degrees of
// longitude. Where GDAL is installed, its reader counts the same points.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "program_runner.h"

namespace {

// The test's own reading of a contour file: records by ring and azimuth.
struct record {
    float lon;
    float lat;
    int check;
};
struct test_ring {
    int dist;
    std::array<record, 361> records;
};

std::vector<test_ring> rings_of(const std::string& contour) {
    std::vector<test_ring> rings;
    std::istringstream lines(contour);
    int az = 361;
    for (std::string line; std::getline(lines, line);) {
        if (line == " >") {
            continue;
        }
        record r{};
        int dist = 0;
        float ignored = 0;
        std::sscanf(line.c_str(), "%f %f %d %f %d", &r.lon, &r.lat, &dist, &ignored, &r.check);
        if (az == 361) {
            rings.push_back({dist, {}});
            az = 0;
        }
        rings.back().records[static_cast<std::size_t>(az++)] = r;
    }
    return rings;
}

// A record of an unresolved position repeats an earlier point: its
// distance check is another ring's, or it equals the record before it.
bool resolved(const test_ring& ring, int az) {
    const record& r = ring.records[static_cast<std::size_t>(az)];
    const record* before = az > 0 ? &ring.records[static_cast<std::size_t>(az - 1)] : nullptr;
    return ring.dist == 0 ||
           (r.check == ring.dist && !(before && before->lon == r.lon && before->lat == r.lat));
}

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

// The writer puts one feature per line; its coordinates are read by depth
// of brackets: a position closes at depth 3 within a line's array.
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
        const bool point = row.find("\"Point\"") != std::string::npos;
        const bool multi = row.find("\"MultiLineString\"") != std::string::npos;
        const int part_depth = multi ? 2 : 1;
        int depth = point ? 1 : 0;
        for (std::size_t i = row.find("\"coordinates\":") + 14; i < row.size(); ++i) {
            if (row[i] == '[') {
                if (++depth == part_depth) {
                    line.parts.emplace_back();
                }
                if (depth == part_depth + 1) {
                    if (point) {
                        line.parts.emplace_back();
                    }
                    line.parts.back().push_back(vertex_of(row.c_str() + i + 1));
                }
            } else if (row[i] == ']' && --depth == (point ? 1 : 0)) {
                break;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

// The record's point, its longitude written as the shortest text of a
// single reduced by whole turns, plus whole turns (gmt): the text less those
// turns reads back as the record's single.
bool same_point(const vertex& v, const record& r) {
    const long double turns = std::round((v.lon - static_cast<long double>(r.lon)) / 360.0L);
    return v.lat == r.lat && static_cast<float>(v.lon - 360.0L * turns) == r.lon;
}

double unit_dot(const vertex& a, const vertex& b) {
    const double k = M_PI / 180.0;
    const double pa = static_cast<double>(a.lat) * k, pb = static_cast<double>(b.lat) * k;
    const double la = static_cast<double>(a.lon) * k, lb = static_cast<double>(b.lon) * k;
    return std::cos(pa) * std::cos(pb) * std::cos(la - lb) + std::sin(pa) * std::sin(pb);
}

// On the great circle between a and b, and between them.
bool between_on_great_circle(const vertex& v, const vertex& a, const vertex& b) {
    const double ab = std::acos(std::min(1.0, unit_dot(a, b)));
    const double av = std::acos(std::min(1.0, unit_dot(a, v)));
    const double vb = std::acos(std::min(1.0, unit_dot(v, b)));
    return std::fabs(av + vb - ab) < 1e-6;
}

vertex as_vertex(const record& r) {
    return {static_cast<long double>(r.lon), r.lat};
}

struct export_case {
    std::string name;
    bool gis;  // longitudes in [-180, 180], lines cut at the antimeridian
};

// Checks one line against the records it must carry, in order. Returns the
// azimuths (or ring indices) of the records matched, -1 for others.
std::string check_line(const parsed_line& line, const std::vector<record>& expected,
                       std::size_t& next, bool gis, std::vector<int>& matched_index) {
    for (const auto& part : line.parts) {
        for (std::size_t i = 0; i < part.size(); ++i) {
            const vertex& v = part[i];
            if (gis && std::fabs(v.lon) > 180.0) {
                return "longitude beyond 180";
            }
            // (Shortest texts of two singles can differ by a little more than
            // the singles do: a line over a pole steps exactly 180.)
            if (i > 0 && std::fabs(v.lon - part[i - 1].lon) > 180.0 + 1e-4) {
                return "a segment spans more than 180 degrees of longitude";
            }
            if (i > 0 && gis && line.strike && unit_dot(v, part[i - 1]) < std::cos(M_PI / 180.0) - 1e-12) {
                return "strike line vertices more than 1 degree apart";
            }
            if (next < expected.size() && same_point(v, expected[next])) {
                matched_index.push_back(static_cast<int>(next++));
                continue;
            }
            const bool crossing = gis && std::fabs(v.lon) == 180.0 && (i == 0 || i + 1 == part.size());
            const bool on_circle = gis && line.strike && next > 0 && next < expected.size() &&
                                   between_on_great_circle(v, as_vertex(expected[next - 1]), as_vertex(expected[next]));
            if (!crossing && !on_circle) {
                return "a vertex that is no record: " + std::to_string(v.lon) + " " +
                       std::to_string(v.lat);
            }
            matched_index.push_back(-1);
        }
    }
    return "";
}

// Every ring piece and strike line of one export against the records.
std::string check_lines(const std::vector<test_ring>& rings, const std::vector<parsed_line>& lines,
                        int strike_step, bool gis) {
    std::size_t line_index = 0;
    for (std::size_t r = 1; r < rings.size(); ++r) {
        std::vector<record> expected;
        std::vector<int> azimuths;
        int runs = 0;
        for (int az = 0; az <= 360; ++az) {
            if (resolved(rings[r], az)) {
                runs += az == 0 || !resolved(rings[r], az - 1);
                expected.push_back(rings[r].records[static_cast<std::size_t>(az)]);
                azimuths.push_back(az);
            }
        }
        std::size_t next = 0;
        for (int piece = 0; piece < runs; ++piece, ++line_index) {
            if (line_index >= lines.size() || lines[line_index].strike ||
                lines[line_index].degrees != rings[r].dist) {
                return "ring " + std::to_string(rings[r].dist) + ": not " + std::to_string(runs) + " pieces";
            }
            std::vector<int> matched;
            const std::string problem = check_line(lines[line_index], expected, next, gis, matched);
            if (!problem.empty()) {
                return "ring " + std::to_string(rings[r].dist) + ": " + problem;
            }
            int last = -2;
            for (int m : matched) {
                if (m >= 0 && last >= 0 && azimuths[static_cast<std::size_t>(m)] != last + 1) {
                    return "ring " + std::to_string(rings[r].dist) + " joined across a gap";
                }
                last = m >= 0 ? azimuths[static_cast<std::size_t>(m)] : last;
            }
        }
        if (next != expected.size()) {
            return "ring " + std::to_string(rings[r].dist) + ": " +
                   std::to_string(expected.size() - next) + " points lost";
        }
    }
    for (int az = 0; strike_step > 0 && az < 360 && rings.size() > 1; az += strike_step) {
        std::vector<record> expected;
        for (const test_ring& ring : rings) {
            if (resolved(ring, az)) {
                expected.push_back(ring.records[static_cast<std::size_t>(az)]);
            }
        }
        if (expected.size() < 2) {
            continue;
        }
        if (line_index >= lines.size() || !lines[line_index].strike || lines[line_index].degrees != az) {
            return "no strike line at azimuth " + std::to_string(az);
        }
        std::size_t next = 0;
        std::vector<int> matched;
        std::string problem = check_line(lines[line_index++], expected, next, gis, matched);
        if (problem.empty() && next != expected.size()) {
            problem = "points lost";
        }
        if (!problem.empty()) {
            return "strike line " + std::to_string(az) + ": " + problem;
        }
    }
    return line_index == lines.size() ? "" : "more lines than pieces and strike lines";
}

// Every record once, in the file's order, with its ring, azimuth and
// resolution; strike rows after them.
std::string check_csv(const std::vector<test_ring>& rings, const std::string& text) {
    std::istringstream input(text);
    std::string row;
    std::getline(input, row);
    for (const test_ring& ring : rings) {
        for (int az = 0; az <= 360; ++az) {
            const record& r = ring.records[static_cast<std::size_t>(az)];
            std::getline(input, row);
            vertex v = vertex_of(row.c_str());
            int dist = -1, azimuth = -1, flag = -1;
            std::sscanf(std::strchr(std::strchr(row.c_str(), ',') + 1, ',') + 1, "%d,%d,%d", &dist,
                        &azimuth, &flag);
            if (!same_point(v, r) || std::fabs(v.lon) > 180.0 || dist != ring.dist ||
                azimuth != az || flag != (resolved(ring, az) ? 1 : 0)) {
                return "row \"" + row + "\" for ring " + std::to_string(ring.dist) + " azimuth " +
                       std::to_string(az);
            }
        }
    }
    return "";
}

// Vertices GDAL reads from a file, counted from ogrinfo's geometries; -1
// without GDAL.
long gdal_vertex_count(const std::string& path) {
    if (std::system("command -v ogrinfo >/dev/null 2>&1") != 0) {
        return -1;
    }
    FILE* pipe = ::popen(("ogrinfo -ro -al -q '" + path + "' 2>&1").c_str(), "r");
    long numbers = 0;
    char buffer[1 << 16];
    std::string text;
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        text.append(buffer, n);
    }
    ::pclose(pipe);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
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
    return numbers / 2;
}

long vertex_count(const std::vector<parsed_line>& lines) {
    long count = 0;
    for (const parsed_line& line : lines) {
        for (const auto& part : line.parts) {
            count += static_cast<long>(part.size());
        }
    }
    return count;
}

// A centre from the places that stress the rings: anywhere, near and at a
// pole, on the antimeridian, and longitudes beyond +-180.
std::string random_input(std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float lon = std::floor((unit(random) * 1080.0f - 540.0f) * 100.0f) / 100.0f;
    float lat = unit(random) * 180.0f - 90.0f;
    switch (random() % 6) {
        case 0: lat = std::copysign(89.0f + unit(random), lat); break;
        case 1: lat = std::copysign(90.0f, lat); break;
        default: break;
    }
    const float lon_choice = random() % 5 == 0 ? (random() % 2 ? 180.0f : -180.0f) : lon;
    char text[64];
    std::snprintf(text, sizeof text, "%.4f %.4f %d\n", static_cast<double>(lon_choice),
                  static_cast<double>(lat), static_cast<int>(1 + random() % 60));
    return text;
}

TEST(ExportProperty, EveryResolvedRecordOnceAndNothingInvented) {
    const int strike_steps[] = {0, 10, 30, 45, 90};
    std::mt19937 random(20261208);
    // Runs with a pole at azimuth 0 of ring 45 (its record repeats ring 40's
    // last point), with many unresolved positions, and the step-1 run.
    const char* const fixed_inputs[] = {"0 45 5\n", "0 -89.9 5\n", "120.5 -33.25 1\n"};
    for (int run_number = 0; run_number < 203; ++run_number) {
        const std::string input = run_number < 3 ? fixed_inputs[run_number] : random_input(random);
        scratch_dir dir;
        ASSERT_EQ(run_program(dir, input).exit_status, 0) << input;
        const std::string contour = dir.work_path("dist-strike-contour.txt");
        const std::vector<test_ring> rings = rings_of(read_file(contour));
        const int strike_step = strike_steps[run_number % 5];
        for (const export_case& format : {export_case{"gmt", false}, export_case{"ogr", true},
                                          export_case{"geojson", true}, export_case{"csv", true}}) {
            run_setup setup{closed_input()};
            setup.program = EXPORT_PATH;
            setup.arguments = {"--format", format.name, "--strike-step", std::to_string(strike_step),
                               contour};
            if (strike_step == 0) {
                setup.arguments.erase(setup.arguments.begin() + 2, setup.arguments.begin() + 4);
            }
            const program_run exported = run_program(dir, setup);
            ASSERT_EQ(exported.exit_status, 0) << input << exported.err;
            if (format.name == "csv") {
                EXPECT_EQ(check_csv(rings, exported.out), "") << input;
                continue;
            }
            const std::vector<parsed_line> lines = format.name == "geojson"
                                                       ? parse_geojson(exported.out)
                                                       : parse_gmt_tables(exported.out);
            EXPECT_EQ(check_lines(rings, lines, strike_step, format.gis), "")
                << format.name << ", input " << input << " strike step " << strike_step;
            if (format.gis && run_number % 4 == 0) {
                const std::string path = dir.io_path(format.name == "ogr" ? "e.gmt" : "e.geojson");
                write_file(path, exported.out);
                const long gdal = gdal_vertex_count(path);
                if (gdal >= 0) {
                    EXPECT_EQ(gdal, vertex_count(lines)) << format.name << ", input " << input;
                }
            }
        }
    }
}

}  // namespace
