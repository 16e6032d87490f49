// The measuring command as a user meets it: the points of stored runs
// measure back exactly as the program measured them, windows keep their
// bounds, and what it cannot read or write is refused as the other
// commands refuse it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "great_circle.h"
#include "contour/nearest_integer.h"
#include "program_runner.h"
#include "reference_runs.h"
#include "sphere/dist_calculation.h"

namespace {

const char* const CONTOUR = "dist-strike-contour.txt";

program_run measure_run(const scratch_dir& dir, const std::string& table,
                        std::vector<std::string> arguments,
                        program_output output = captured_output()) {
    run_setup setup{text_input(table), output};
    setup.program = MEASURE_PATH;
    setup.arguments = std::move(arguments);
    return run_program(dir, setup);
}

std::vector<std::string> fields_of(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::size_t start = line.find_first_not_of(separator);
    while (start != std::string::npos) {
        const std::size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end - start));
        start = end == std::string::npos ? end : line.find_first_not_of(separator, end);
    }
    return fields;
}

// How far apart two azimuths are, through north when that is shorter.
double azimuth_gap(double a, double b) {
    const double gap = std::fmod(std::fabs(a - b), 360.0);
    return std::min(gap, 360.0 - gap);
}

// Every record of a stored run (no position of these runs is unresolved),
// given as a table with the centre taken from the contour file: its
// distance is dist_calculation's to the last bit, so it rounds to the
// record's distance check; its azimuth is the ring azimuth within 0.01
// degree and its back-azimuth a double-precision one within 0.01 degree.
TEST(MeasureCommand, RecordsOfStoredRunsMeasureAsTheProgramMeasuredThem) {
    if (!running_libm_family().known) {
        GTEST_SKIP() << running_libm_family().description;
    }
    for (const char* stored : {"lon120.5_lat-33.25_step10", "lon120_lat30_step25",
                               "lon200_lat-45_step7"}) {
        scratch_dir dir;
        const std::string contour = read_file(stored_run_path(stored, CONTOUR));
        write_file(dir.work_path(CONTOUR), contour);
        std::string records;
        for (const std::string& line : lines_of(contour)) {
            records += line == " >" ? "" : line + "\n";
        }
        const program_run run = measure_run(dir, records, {});
        ASSERT_EQ(run.exit_status, 0) << stored << ": " << run.err;
        const std::vector<std::string> lines = lines_of(run.out);
        ASSERT_EQ(lines.size(), lines_of(records).size()) << stored;
        const std::vector<std::string> centre = fields_of(lines[0], ' ');
        const float lon0 = std::strtof(centre[0].c_str(), nullptr);
        const float lat0 = std::strtof(centre[1].c_str(), nullptr);
        for (const std::string& line : lines) {
            const std::vector<std::string> f = fields_of(line, ' ');
            ASSERT_EQ(f.size(), 8u) << line;
            const float lon = std::strtof(f[0].c_str(), nullptr);
            const float lat = std::strtof(f[1].c_str(), nullptr);
            const float distance = std::strtof(f[5].c_str(), nullptr);
            float expected = 0.0f;
            dist_calculation(lat0, lon0, lat, lon, expected);
            EXPECT_EQ(distance, expected) << stored << ": " << line;
            EXPECT_EQ(nearest_integer(distance), std::atoi(f[4].c_str())) << line;
            EXPECT_TRUE(std::atof(f[6].c_str()) < 360.0 && std::atof(f[7].c_str()) < 360.0)
                << line;
            if (std::atoi(f[2].c_str()) == 0) {
                continue;  // the centre itself: no direction
            }
            EXPECT_LE(azimuth_gap(std::atof(f[6].c_str()), std::atof(f[3].c_str())), 0.01)
                << stored << ": " << line;
            const double back = measure(lon, lat, lon0, lat0).az;
            EXPECT_LE(azimuth_gap(std::atof(f[7].c_str()), back), 0.01) << stored << ": " << line;
        }
    }
}

// Windows keep both bounds and wrap through north; rows keep their text,
// separator and line ends, and a longitude beyond +-180 is measured as it
// comes. Around (0, 0): N lies due north (azimuth exactly 0), E due east,
// S due south, W due west, F 40 degrees north-east; X is W given as 350;
// T lies a hair west of north (a tiny negative azimuth, 0 and not 360),
// Z at longitude -0 (azimuth -0, written 0).
TEST(MeasureCommand, WindowsKeepTheirBoundsAndRowsTheirText) {
    const std::string table = "# around the equator\nlon lat name\n0 10 N\n10 0 E\n"
                              "0 -20 S\n-10 0 W\n30 30 F\n350 0 X\n-0.000001 10 T\n-0 10 Z\n";
    scratch_dir dir;
    const std::vector<std::string> centre = {"--centre", "0", "0"};
    const std::vector<std::string> all = lines_of(measure_run(dir, table, centre).out);
    ASSERT_EQ(all.size(), 9u);
    const auto value = [&](std::size_t row, std::size_t field) {
        return fields_of(all[row], ' ')[field];
    };
    EXPECT_EQ(all[0], "lon lat name distance azimuth back_azimuth");
    EXPECT_EQ(value(1, 4), "0");
    EXPECT_EQ(value(7, 4), "0");
    EXPECT_EQ(value(8, 4), "0");
    EXPECT_EQ(value(6, 3), value(4, 3)) << "350 measures as -10";
    const std::string e = value(2, 3);   // E's distance
    const std::string s = value(3, 3);   // S's distance
    const std::string ea = value(2, 4);  // E's azimuth
    const struct {
        std::vector<std::string> arguments;
        const char* kept;  // names of the rows kept
    } cases[] = {
        {{"--distance", e + ":" + s}, "NESWXTZ"},  // N, W, X, T, Z at E's distance
        {{"--distance=0:" + e}, "NEWXTZ"},
        {{"--azimuth", "0:" + ea}, "NEFTZ"},
        {{"--azimuth", ea + ":" + ea}, "E"},
        {{"--azimuth", "330:30"}, "NTZ"},
        {{"--azimuth", ea + ":30"}, "NESWXTZ"},
        {{"--azimuth", "260:50", "--distance", "0:30"}, "NWXTZ"},
        {{"--azimuth", "0:0", "-"}, "NTZ"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = centre;
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const program_run run = measure_run(dir, table, arguments);
        std::string kept;
        for (const std::string& line : lines_of(run.out)) {
            kept += line.substr(0, 4) == "lon " ? "" : fields_of(line, ' ')[2];
        }
        EXPECT_EQ(kept, c.kept) << arguments[3] << " " << arguments[4];
    }
    const program_run csv =
        measure_run(dir, "lon,lat,code\r\n0,10,N\r\n\r\n 10 , 0 ,E\n", centre);
    const std::vector<std::string> rows = lines_of(csv.out);
    ASSERT_EQ(rows.size(), 3u) << csv.err;
    EXPECT_EQ(rows[0], "lon,lat,code,distance,azimuth,back_azimuth\r");
    EXPECT_EQ(rows[1].substr(0, 7), "0,10,N,");
    EXPECT_EQ(rows[1].back(), '\r');
    EXPECT_EQ(fields_of(rows[2], ',').size(), 6u);
    const std::string tabs = measure_run(dir, "\xEF\xBB\xBF" "1\t2\tA B\n", centre).out;
    ASSERT_EQ(tabs.substr(0, 4), "\xEF\xBB\xBF" "1") << "a spreadsheet's byte order mark kept";
    EXPECT_EQ(fields_of(lines_of(tabs)[0], '\t').size(), 6u);
    // Very near the centre, or the antipode, the distance routine gives NaN
    // (its cosine rounded beyond 1 or -1): the point lies within its
    // resolution of the centre or the antipode, at 0 or 180, and windows
    // take it so.
    const program_run near = measure_run(dir, "119.989544 29.998826\n",
                                         {"--centre", "120", "30", "--distance", "0:0.5"});
    ASSERT_EQ(near.exit_status, 0) << near.err;
    EXPECT_EQ(fields_of(lines_of(near.out)[0], ' ')[2], "0") << near.out;
    // At the antipode itself it gives the single above 180: 180 as well.
    const program_run antipode = measure_run(dir, "54.996563 -38.0015526\n55 -38\n",
                                             {"--centre", "-125", "38", "--distance", "179.5:180"});
    ASSERT_EQ(lines_of(antipode.out).size(), 2u) << antipode.out;
    for (const std::string& row : lines_of(antipode.out)) {
        EXPECT_EQ(fields_of(row, ' ')[2], "180") << row;
    }
}

// A row or an argument refused: one line naming it, exit 1, nothing written.
TEST(MeasureCommand, RefusesWhatItCannotRead) {
    const struct {
        const char* table;
        std::vector<std::string> arguments;
        const char* message;  // after "dist-strike-contour-measure: "
    } cases[] = {
        {"lon,lat\n1,2\n3,x\n", {}, "standard input:3: expected a latitude in degrees (a decimal number), not \"x\""},
        {"x,2\n1,2\n", {}, "standard input:1: expected a longitude in degrees (a decimal number), not \"x\""},
        {"1 2\nnan 2\n", {}, "standard input:2: expected a longitude in degrees (a decimal number), not \"nan\""},
        {"1 2\n1 inf\n", {}, "standard input:2: expected a latitude in degrees (a decimal number), not \"inf\""},
        {"1 1e39\n", {}, "standard input:1: expected a latitude within the range of single precision, not \"1e39\""},
        {"# c\n142.37 38.3 A\n38.3 142.37 B\n", {}, "standard input:3: expected a latitude from -90 to 90 degrees, not \"142.37\" (longitude and latitude swapped?)"},
        {"1,2,A\n\n3,4\n", {}, "standard input:3: expected 3 fields, as on line 1, not 2"},
        {"1,2,\"A, B\n", {}, "standard input:1: expected a quoted field closed by a quote on its line and followed by the separator \",\""},
        {"1 2 \"A\"\n", {}, "standard input:1: expected fields without double quotes (a table whose fields are separated by blanks has no quoted fields)"},
        {"name,lat\nA,1\n", {}, "standard input:1: expected a longitude column (lon, long, lng or longitude) as well as the latitude in the header"},
        {"#lat,depth\n10,20\n", {}, "standard input:1: expected a longitude column (lon, long, lng or longitude) as well as the latitude in the header"},
        {"lon|lat|latitude\n1|2|3\n", {}, "standard input:1: expected one latitude column in the header, not two (--columns LON,LAT chooses)"},
        {"x y\n1 2\n", {"--centre", "0", "0", "--columns", "x,z"}, "standard input:1: expected a header naming the column \"z\" once (--columns)"},
        {"x,x,lat\n1,2,3\n", {"--centre", "0", "0", "--columns", "x,lat"}, "standard input:1: expected a header naming the column \"x\" once (--columns)"},
        {"1 2\n", {"--centre", "0", "0", "--columns", "1"}, "--columns needs LON,LAT, two column numbers from 1 or names of the header, not \"1\""},
        {"1 2\n", {"--centre", "0", "0", "--centres", "-"}, "--centre and --centres cannot both be given"},
        {"1 2\n", {"--centres", "-", "-"}, "the centres and the points cannot both be standard input"},
        {"1 2\r3 4\n", {}, "standard input:1: expected a line end (LF or CR LF), not a CR inside the line"},
        {"12\n", {}, "standard input:1: expected a longitude and a latitude, and any further fields, separated by |, commas or blanks"},
        {"1 2\n", {"--distance", "30"}, "--distance needs MIN:MAX, two numbers of degrees from 0 to 180, MIN not above MAX, not \"30\""},
        {"1 2\n", {"--distance", "90:30"}, "--distance needs MIN:MAX, two numbers of degrees from 0 to 180, MIN not above MAX, not \"90:30\""},
        {"1 2\n", {"--azimuth", "0:361"}, "--azimuth needs MIN:MAX, two numbers of degrees from 0 to 360 (MIN above MAX wraps through 360), not \"0:361\""},
        {"1 2\n3.4e38 0\n", {}, "standard input:2: expected a point that can be measured from the centre, not longitude 3.4e38 (too far beyond -180..180 degrees)"},
        {"1 2\n", {"--centre", "3.4e38", "0"}, "--centre needs a longitude and a latitude from -90 to 90, in degrees, not \"3.4e38\" \"0\""},
        {"1 2\n", {"--centre", "1"}, "--centre needs a longitude and a latitude (see --help)"},
        {"1 2\n", {"--centre", "1", "nan"}, "--centre needs a longitude and a latitude from -90 to 90, in degrees, not \"1\" \"nan\""},
        {"1 2\n", {"-"}, "cannot open dist-strike-contour.txt: No such file or directory"},
        {"1 2\n", {"--centre", "0", "0", "a", "b"}, "one table of points only (see --help)"},
    };
    scratch_dir dir;
    for (const auto& c : cases) {
        const std::vector<std::string> centre = {"--centre", "0", "0"};
        const program_run run =
            measure_run(dir, c.table, c.arguments.empty() ? centre : c.arguments);
        EXPECT_EQ(run.exit_status, 1) << c.message;
        EXPECT_EQ(run.out, "") << c.message;
        EXPECT_EQ(run.err, std::string("dist-strike-contour-measure: ") + c.message + "\n");
    }
}

TEST(MeasureCommand, AFailedWriteIsNeverASuccess) {
    scratch_dir dir;
    write_file(dir.work_path("points.txt"), "1 2\n");
    std::string centres = "lon,lat\n";
    for (int i = 0; i < 40000; ++i) {
        centres += "1,2\n";  // 160 KB: more than the copy of them may hold
    }
    write_file(dir.work_path("centres.csv"), centres);
    const struct {
        program_output output;
        std::vector<std::string> arguments;
        const char* message;  // after "dist-strike-contour-measure: "
        long file_size_limit;
    } cases[] = {
        {output_path("/dev/full"), {"--centre", "0", "0"}, "cannot write standard output: ", -1},
        {closed_output(), {"--version"}, "cannot write standard output: ", -1},
        {appended_output(dir.work_path("points.txt")), {"--centre", "0", "0", "points.txt"},
         "standard output is points.txt itself; writing to it would destroy the file being read",
         -1},
        {captured_output(), {"--centres", "centres.csv"},
         "cannot keep centres.csv in a temporary file in ", 64 * 1024},
    };
    for (const auto& c : cases) {
        run_setup setup{text_input("1 2\n"), c.output};
        setup.program = MEASURE_PATH;
        setup.arguments = c.arguments;
        setup.file_size_limit = c.file_size_limit;
        const program_run run = run_program(dir, setup);
        EXPECT_EQ(run.exit_status, 2) << c.message;
        EXPECT_EQ(run.out, "") << c.message;
        EXPECT_EQ(run.err.rfind(std::string("dist-strike-contour-measure: ") + c.message, 0), 0u)
            << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_EQ(read_file(dir.work_path("points.txt")), "1 2\n");
}

// The same stations in every form a table comes in: longitude or latitude
// first, CSV, blanks, FDSN station (station and channel level) and event
// text, quoted fields, columns chosen by number or by name. Every row
// measures alike, and keeps its own fields.
TEST(MeasureCommand, EveryFormOfTableMeasuresAlike) {
    const std::string fdsn = "#Network | Station | Latitude | Longitude | Elevation | SiteName | "
                             "StartTime | EndTime\n";
    const struct {
        const char* form;
        std::string table;
        std::vector<std::string> columns;
        char separator;
    } forms[] = {
        {"CSV, longitude first", "lon,lat,code\n138.2041,36.5457,MAJO\n9.5982,59.6491,KONO\n", {}, ','},
        {"CSV, latitude first", "code,Latitude,Longitude\nMAJO,36.5457,138.2041\nKONO,59.6491,9.5982\n", {}, ','},
        {"blanks, latitude first", "lat\tlng\tsta\n36.5457\t138.2041\tMAJO\n59.6491\t9.5982\tKONO\n", {}, '\t'},
        {"FDSN station text", fdsn + "IU|MAJO|36.5457|138.2041|399.0|Matsushiro, Japan|1990-01-01T00:00:00|\n"
                                     "IU|KONO|59.6491|9.5982|216.0|Kongsberg, Norway|1991-03-01T00:00:00|\n", {}, '|'},
        {"FDSN station text, columns by number", fdsn + "IU|MAJO|36.5457|138.2041|399.0|M|1990|\n"
                                                        "IU|KONO|59.6491|9.5982|216.0|K|1991|\n", {"--columns", "4,3"}, '|'},
        {"FDSN channel text", "# Network | Station | Location | Channel | Latitude | Longitude\n"
                              "IU | MAJO | 00 | BHZ | 36.5457 | 138.2041\nIU | KONO | 00 | BHZ | 59.6491 | 9.5982\n", {}, '|'},
        {"FDSN event text", "#EventID | Time | Latitude | Longitude | Depth/km | Author | Catalog | "
                            "Contributor | ContributorID | MagType | Magnitude | MagAuthor | "
                            "EventLocationName\na|2011-03-11T05:46:24|36.5457|138.2041|29.0|us|us|us|a|mww|9.1|us|"
                            "near Honshu, Japan\nb|2011-03-11T05:46:24|59.6491|9.5982|10.0|us|us|us|b|mww|7.0|us|Norway\n", {}, '|'},
        {"quoted CSV, as catalogues write it", "time,latitude,longitude,place\n"
                                               "2011,\"36.5457\",138.2041,\"Matsushiro, \"\"J\"\"\"\n"
                                               "2011,59.6491,9.5982,\"Kongsberg, Norway\"\n", {}, ','},
        {"CSV, a | quoted in the header", "lon,lat,\"code|net\"\n138.2041,36.5457,\"MAJO|IU\"\n9.5982,59.6491,KONO\n", {}, ','},
        {"columns by number", "x y\n36.5457 138.2041\n59.6491 9.5982\n", {"--columns", "2,1"}, ' '},
        {"columns by name", "A,B\n36.5457,138.2041\n59.6491,9.5982\n", {"--columns", "b,a"}, ','},
    };
    scratch_dir dir;
    std::vector<std::string> reference;
    for (const auto& form : forms) {
        std::vector<std::string> arguments = {"--centre", "142.37", "38.30"};
        arguments.insert(arguments.end(), form.columns.begin(), form.columns.end());
        const program_run run = measure_run(dir, form.table, arguments);
        ASSERT_EQ(run.exit_status, 0) << form.form << ": " << run.err;
        const std::vector<std::string> rows = lines_of(run.out);
        const std::vector<std::string> given = lines_of(form.table);
        ASSERT_EQ(rows.size(), given.size()) << form.form;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].rfind(given[i] + form.separator, 0), 0u) << form.form;
            const std::vector<std::string> f = fields_of(rows[i], form.separator);
            const std::string measured = f[f.size() - 3] + " " + f[f.size() - 2] + " " + f.back();
            if (reference.size() < i) {
                reference.push_back(measured);
            }
            EXPECT_EQ(measured, reference[i - 1]) << form.form;
        }
    }
    EXPECT_EQ(reference[1].substr(0, 9), "74.60025 ") << "KONO from Tohoku";
}

// A catalogue: each pair of a centre and a point measures bit for bit as
// the point does from that centre alone, centres in file order and points
// within each; a window keeps exactly the pairs inside it.
TEST(MeasureCommand, EveryPairOfACatalogueMeasuresAsItsCentreAlone) {
    scratch_dir dir;
    const std::vector<std::array<const char*, 2>> centres = {
        {"142.373", "38.297"}, {"-72.898", "-36.122"}, {"95.982", "3.295"}};
    std::string events = "#EventID | Time | Latitude | Longitude | Magnitude | EventLocationName\n";
    for (std::size_t c = 0; c < centres.size(); ++c) {
        events += "e" + std::to_string(c) + "| \"2011\" |" + centres[c][1] + "|" + centres[c][0] +
                  "|9.0|a, b\n";
    }
    write_file(dir.work_path("events.txt"), events);
    const std::string stations =
        "station,latitude,longitude\nMAJO,36.5457,138.2041\nKONO,59.6491,9.5982\n"
        "ANMO,34.94591,-106.4572\nSNZO,-41.3087,174.7043\n";
    const std::vector<std::string> pairs =
        lines_of(measure_run(dir, stations, {"--centres", "events.txt"}).out);
    ASSERT_EQ(pairs.size(), 1 + centres.size() * 4);
    EXPECT_EQ(pairs[0], "centre_EventID,centre_Time,centre_Latitude,centre_Longitude,"
                        "centre_Magnitude,centre_EventLocationName,station,latitude,longitude,"
                        "distance,azimuth,back_azimuth");
    std::vector<std::string> inside;
    for (std::size_t c = 0; c < centres.size(); ++c) {
        const std::vector<std::string> alone =
            lines_of(measure_run(dir, stations, {"--centre", centres[c][0], centres[c][1]}).out);
        for (std::size_t p = 0; p < 4; ++p) {
            const std::string& pair = pairs[1 + c * 4 + p];
            EXPECT_EQ(pair.rfind("e" + std::to_string(c) + ", \"2011\" ,", 0), 0u) << pair;
            EXPECT_NE(pair.find(",\"a, b\","), std::string::npos) << "quoted in CSV: " << pair;
            EXPECT_EQ(pair.substr(pair.size() - (alone[1 + p].size())), alone[1 + p]);
            const std::vector<std::string> f = fields_of(pair, ',');
            const double distance = std::atof(f[f.size() - 3].c_str());
            if (distance >= 30.0 && distance <= 90.0) {
                inside.push_back(pair);
            }
        }
    }
    std::vector<std::string> windowed =
        lines_of(measure_run(dir, stations, {"--centres", "events.txt", "--distance", "30:90"}).out);
    windowed.erase(windowed.begin());
    EXPECT_EQ(windowed, inside);
    EXPECT_FALSE(inside.empty());
}

}  // namespace
