// The map command as a user meets it: land and ocean where they are for
// every centre, labels that never overlap, and an OUTPUT that is written
// whole or not at all, with nothing left behind whatever ends the command.
// Skipped where GMT is not installed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "great_circle.h"
#include "program_runner.h"

namespace {

const char* const CONTOUR = "dist-strike-contour.txt";

#define SKIP_WITHOUT_GMT()                                                       \
    if (std::system("command -v gmt >/dev/null 2>&1") != 0) {                    \
        GTEST_SKIP() << "GMT is not installed (packages gmt, gmt-gshhg-low, ghostscript)"; \
    }

// A run of the contour program in the directory, then the plot there with
// TMPDIR and HOME of its own, both expected to stay empty.
struct plot_place {
    scratch_dir dir;
    std::string tmp = dir.io_path("tmp");
    std::string home = dir.io_path("home");

    explicit plot_place(const std::string& input) {
        std::filesystem::create_directory(tmp);
        std::filesystem::create_directory(home);
        run_program(dir, input);
    }

    run_setup setup(std::vector<std::string> arguments) const {
        run_setup plot{closed_input()};
        plot.program = PLOT_PATH;
        plot.arguments = std::move(arguments);
        plot.environment = {"TMPDIR=" + tmp, "HOME=" + home};
        return plot;
    }

    program_run plot(std::vector<std::string> arguments) const {
        return run_program(dir, setup(std::move(arguments)));
    }

    bool nothing_left() const {
        return std::filesystem::is_empty(tmp) && std::filesystem::is_empty(home);
    }
};

struct picture {
    int width = 0;
    int height = 0;
    std::string rgb;
};

// A binary PPM as ghostscript writes it (P6, comment lines, maximum 255).
picture read_ppm(const std::string& path) {
    std::istringstream in(read_file(path));
    picture image;
    std::string token;
    std::vector<int> numbers;
    in >> token;
    while (numbers.size() < 3 && in >> token) {
        if (token[0] == '#') {
            std::getline(in, token);
        } else {
            numbers.push_back(std::stoi(token));
        }
    }
    in.get();
    image.width = numbers[0];
    image.height = numbers[1];
    image.rgb = in.str().substr(static_cast<std::size_t>(in.tellg()));
    return image;
}

struct box {
    std::string kind;
    int degrees;
    double x, y, width, height;
};

std::vector<box> read_boxes(const std::string& path) {
    std::vector<box> boxes;
    std::istringstream lines(read_file(path));
    box b;
    while (lines >> b.kind >> b.degrees >> b.x >> b.y >> b.width >> b.height) {
        boxes.push_back(b);
    }
    return boxes;
}

struct rgb {
    double r, g, b;
};

// Land (wheat) and ocean (light blue), and the same under a band of the
// first colour (purple, 160/32/240) at the bands' opacity of 0.35.
rgb under_band(const rgb& base) {
    return {0.65 * base.r + 0.35 * 160, 0.65 * base.g + 0.35 * 32, 0.65 * base.b + 0.35 * 240};
}
const rgb LAND{245, 222, 179};
const rgb OCEAN{173, 216, 230};

bool coloured(const picture& image, int x, int y, const rgb& colour) {
    if (x < 0 || y < 0 || x >= image.width ||
        static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 3 >= image.rgb.size()) {
        return false;
    }
    const auto* px = reinterpret_cast<const unsigned char*>(image.rgb.data()) +
                     3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                          static_cast<std::size_t>(x));
    return std::fabs(px[0] - colour.r) <= 4 && std::fabs(px[1] - colour.g) <= 4 &&
           std::fabs(px[2] - colour.b) <= 4;
}

// Whole-globe and regional maps (--max-distance 60 reaches 68 degrees), each
// with a band and points; land and ocean must be right under the band as
// elsewhere, the band must shade exactly the pixels between its two
// distances, and a point's triangle is filled exactly when it lies in it.
struct map_centre {
    double lon, lat;
    double max_distance;  // 0: the whole globe
    int step = 30;        // degrees between rings
};

// The maps of the centres from `first` on, `count` of them: two tests, so
// that they draw side by side.
void check_maps(std::size_t first, std::size_t count) {
    // Open ocean far from any coast: the central, north and south Pacific,
    // the Indian Ocean, the north and south Atlantic, the Southern Ocean.
    const double ocean[][2] = {{-150, 0}, {-170, 30}, {-140, -30}, {-110, -50}, {170, 10},
                               {80, -25}, {65, -10},  {-25, -25},  {-40, 35},   {0, -50},
                               {160, -45}};
    // Eight whole-globe maps (one of rings every degree), then eight near a
    // pole or regional (the first of these across the antimeridian).
    const map_centre all_centres[] = {
        {125, 10, 0},      {140.25, 10, 0}, {120, 0, 0},  {500.25, 10, 0}, {120.5, -33.25, 0, 1},
        {0, 0, 0},         {-150, 20, 0},   {200, -45, 0}, {0, -89.9, 0},  {-77.3, 89.5, 0},
        {30, -60, 0},      {10, 80, 0},     {0, 90, 0},   {120, -90, 0},   {179.9, -20, 60},
        {-60, 88, 60}};
    // Land seen from a pole: Greenland and Siberia, East Antarctica (an
    // all-ocean disc passes every ocean point).
    const double land[][4] = {{0, 90, -40, 75}, {0, 90, 90, 65}, {120, -90, 45, -75},
                              {120, -90, 135, -75}};
    for (const map_centre& centre : std::vector<map_centre>(all_centres + first,
                                                            all_centres + first + count)) {
        char input[64];
        std::snprintf(input, sizeof input, "%g %g %d\n", centre.lon, centre.lat, centre.step);
        const plot_place place(input);
        std::ofstream(place.dir.work_path("points.csv"))
            << "lon,lat,code\n100,0,A\n-30,0,B\n0,30,C\n60,60,D\n-120,-60,E\n150,45,F\n"
               "-170,-10,G\n30,-30,H\n";
        const bool regional = centre.max_distance > 0;
        const double horizon = regional ? centre.max_distance * 1.1 + 2 : 179.9;
        const double band[] = {regional ? 20.0 : 40.0, regional ? 50.0 : 100.0};
        std::vector<std::string> arguments{"--band", std::to_string(band[0]) + ":" + std::to_string(band[1])};
        if (regional) {
            arguments.insert(arguments.end(), {"--max-distance", std::to_string(centre.max_distance)});
        }
        arguments.insert(arguments.end(),
                         {"--points", "points.csv", "--label-boxes", "boxes.txt", CONTOUR, "map.ppm"});
        const program_run run = place.plot(arguments);
        ASSERT_EQ(run.exit_status, 0) << input << run.err;
        const picture image = read_ppm(place.dir.work_path("map.ppm"));
        // Without a title the picture starts with the map's disc, cropped; the
        // colour scale and the legend lie below it.
        const double radius = image.width / 2.0;
        const auto pixel = [&](double distance, double azimuth_degrees, int& x, int& y) {
            const double azimuth = azimuth_degrees * M_PI / 180.0;
            const double r = distance / horizon * (radius - 2);
            x = static_cast<int>(radius + r * std::sin(azimuth));
            y = static_cast<int>(radius - r * std::cos(azimuth));
        };
        const auto coloured_as = [&](double lon, double lat, const rgb& colour) {
            const great_circle seen = measure(centre.lon, centre.lat, lon, lat);
            int x = 0;
            int y = 0;
            pixel(seen.dist, seen.az, x, y);
            const bool in_band = seen.dist >= band[0] && seen.dist <= band[1];
            return coloured(image, x, y, in_band ? under_band(colour) : colour);
        };
        for (const auto& point : ocean) {
            // The rim, the antipode's surroundings, is squeezed: not looked at.
            EXPECT_FALSE(measure(centre.lon, centre.lat, point[0], point[1]).dist <=
                             std::min(165.0, horizon) &&
                         coloured_as(point[0], point[1], LAND))
                << "centre " << input << " ocean at " << point[0] << ", " << point[1];
        }
        for (const auto& point : land) {
            EXPECT_TRUE(point[0] != centre.lon || point[1] != centre.lat ||
                        coloured_as(point[2], point[3], LAND))
                << "centre " << input << " land at " << point[2] << ", " << point[3];
        }
        // Each point's triangle (red) where no label covers it, and where the
        // map is not squeezed.
        const std::vector<box> boxes = read_boxes(place.dir.work_path("boxes.txt"));
        const double points[][2] = {{100, 0}, {-30, 0}, {0, 30}, {60, 60}, {-120, -60},
                                    {150, 45}, {-170, -10}, {30, -30}};
        for (const auto& point : points) {
            const great_circle seen = measure(centre.lon, centre.lat, point[0], point[1]);
            int x = 0;
            int y = 0;
            pixel(seen.dist, seen.az, x, y);
            const double cm = 15.0 / image.width;
            const bool covered = std::any_of(boxes.begin(), boxes.end(), [&](const box& b) {
                return b.kind != "mark" && std::fabs((x - radius) * cm - b.x) < b.width / 2 + 0.1 &&
                       std::fabs((radius - y) * cm - b.y) < b.height / 2 + 0.1;
            });
            if (!covered && seen.dist < std::min(165.0, 0.95 * horizon)) {
                EXPECT_EQ(coloured(image, x, y, {255, 0, 0}),
                          seen.dist >= band[0] && seen.dist <= band[1])
                    << input << " point " << point[0] << ", " << point[1] << " at "
                    << seen.dist << " degrees";
            }
        }
        // Along radii between the rings' labels: land or ocean seen plain
        // only outside the band, shaded only inside it (a pixel and a half of
        // slack at its edges), and shaded near both edges.
        const double slack = 1.5 / (radius - 2) * horizon;
        for (double azimuth = 22.5; azimuth < 360; azimuth += 45) {
            int shaded_near_edges = 0;
            for (double d = 0.5; d < horizon - 1; d += 0.05) {
                int x = 0;
                int y = 0;
                pixel(d, azimuth, x, y);
                const bool plain = coloured(image, x, y, LAND) || coloured(image, x, y, OCEAN);
                const bool shaded = coloured(image, x, y, under_band(LAND)) ||
                                    coloured(image, x, y, under_band(OCEAN));
                EXPECT_FALSE(plain && d > band[0] + slack && d < band[1] - slack)
                    << input << " unshaded at " << d << " degrees, azimuth " << azimuth;
                EXPECT_FALSE(shaded && (d < band[0] - slack || d > band[1] + slack))
                    << input << " shaded at " << d << " degrees, azimuth " << azimuth;
                shaded_near_edges += shaded && (std::fabs(d - band[0]) < 2 * slack ||
                                                std::fabs(d - band[1]) < 2 * slack);
            }
            EXPECT_GT(shaded_near_edges, 0) << input << " azimuth " << azimuth;
        }
    }
}

TEST(PlotMap, OceanIsNeverPaintedAsLandAndBandsShadeTheirDistances) {
    SKIP_WITHOUT_GMT();
    check_maps(0, 8);
}

TEST(PlotMap, OceanIsNeverPaintedAsLandAndBandsShadeTheirDistancesNearPolesAndRegionally) {
    SKIP_WITHOUT_GMT();
    check_maps(8, 8);
}

TEST(PlotMap, LabelsNeverOverlapAndRingsAreLabelledOnce) {
    SKIP_WITHOUT_GMT();
    const struct {
        const char* input;
        std::vector<std::string> options;
        std::size_t least_ring_labels;
        int label_every;  // degrees: close rings are labelled every few
    } maps[] = {{"120.5 -33.25 1\n", {}, 15, 10},       {"120.5 -33.25 2\n", {}, 15, 10},
                {"120.5 -33.25 5\n", {"--strike-step", "15"}, 15, 10},
                {"120.5 -33.25 10\n", {}, 15, 10},      {"0 -89.9 5\n", {}, 15, 10},
                {"142.37 38.32 1\n", {"--max-distance", "30", "--strike-step", "30"}, 5, 2},
                {"142.37 38.30 10\n",
                 {"--band", "30:90", "--band", "104:140:shadow zone", "--points",
                  TEST_DATA_DIR "/../../examples/stations.csv"},
                 15, 10}};
    for (const auto& map : maps) {
        const plot_place place(map.input);
        std::vector<std::string> arguments = map.options;
        for (const char* argument : {"--label-boxes", "boxes.txt", CONTOUR, "map.png"}) {
            arguments.push_back(argument);
        }
        const program_run run = place.plot(arguments);
        ASSERT_EQ(run.exit_status, 0) << map.input << run.err;
        const std::vector<box> boxes = read_boxes(place.dir.work_path("boxes.txt"));
        std::size_t ring_labels = 0;
        int innermost = 180;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const box& a = boxes[i];
            ring_labels += a.kind == "ring";
            innermost = a.kind == "ring" ? std::min(innermost, a.degrees) : innermost;
            EXPECT_TRUE(a.kind != "ring" || a.degrees % map.label_every == 0)
                << map.input << "ring " << a.degrees << " labelled between every "
                << map.label_every;
            EXPECT_LE(std::hypot(std::fabs(a.x) + a.width / 2, std::fabs(a.y) + a.height / 2), 7.5)
                << map.input << a.kind << " " << a.degrees << " outside the map";
            for (std::size_t j = 0; j < i; ++j) {
                const box& b = boxes[j];
                EXPECT_FALSE(a.kind == b.kind && a.degrees == b.degrees)
                    << map.input << a.kind << " " << a.degrees << " labelled twice";
                // Marks may overlap each other and the centre: labels may not.
                const auto mark = [](const box& m) { return m.kind == "mark" || m.kind == "centre"; };
                EXPECT_FALSE(!(mark(a) && mark(b)) &&
                             std::fabs(a.x - b.x) * 2 < a.width + b.width &&
                             std::fabs(a.y - b.y) * 2 < a.height + b.height)
                    << map.input << a.kind << " " << a.degrees << " overlaps " << b.kind << " "
                    << b.degrees;
            }
        }
        EXPECT_GE(ring_labels, map.least_ring_labels) << map.input;
        // Labels keep clear of every station's triangle (23, all on the map).
        const bool stations = std::count(map.options.begin(), map.options.end(), "--points") > 0;
        EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(), [](const box& b) { return b.kind == "mark"; }),
                  stations ? 23 : 0) << map.input;
        EXPECT_EQ(innermost, map.label_every) << map.input << "the innermost labelled ring";
    }
}

std::vector<std::string> files_in(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

TEST(PlotOutput, RefusesWhatItMustNotWrite) {
    SKIP_WITHOUT_GMT();
    const plot_place place("120.5 -33.25 15\n");
    std::filesystem::create_directory(place.dir.work_path("pictures.png"));
    const std::string contour = read_file(place.dir.work_path(CONTOUR));
    write_file(place.dir.work_path("rings.png"), contour);
    // A link to the picture that is yet to be made.
    ASSERT_EQ(::symlink("map.png", place.dir.work_path("to-map").c_str()), 0);
    {
        // A centre whose every position beyond the centre is unresolved.
        scratch_dir elsewhere;
        run_program(elsewhere, "3.4e38 0 10\n");
        write_file(place.dir.work_path("unresolved.txt"),
                   read_file(elsewhere.work_path(CONTOUR)));
    }
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } refusals[] = {
        {{"rings.png", "rings.png"}, "rings.png: is the contour file itself"},
        {{CONTOUR, "pictures.png"}, "pictures.png: is a directory"},
        {{CONTOUR, "-"}, "the picture cannot go to standard output"},
        {{CONTOUR, "map.svg"}, "map.svg: unknown picture format"},
        {{CONTOUR, "missing/map.png"}, "missing: no such directory for missing/map.png"},
        {{"--max-distance", "5", CONTOUR, "map.png"}, "no ring lies within --max-distance 5"},
        {{"--strike-step", "7", CONTOUR, "map.png"}, "--strike-step must be a whole number"},
        {{"--band", "0x1E:90", CONTOUR, "map.png"}, "--band must be MIN:MAX[:LABEL] with distances"},
        {{"--points", "-", "-", "map.png"}, "the contour file and the table of points cannot both"},
        {{"--title", "two\nlines", CONTOUR, "map.png"}, "--title: it holds a control character"},
        {{"--title", "\xe2\x86\x92", CONTOUR, "map.png"}, "--title: \"\xe2\x86\x92\" (U+2192) is not"},
        {{"unresolved.txt", "map.png"}, "no ring to draw: every position of the rings up to 170"},
        {{"--label-boxes", "rings.png", "rings.png", "map.png"}, "rings.png: is the contour file"},
        {{"--label-boxes", "map.png", CONTOUR, "map.png"}, "map.png: is the same file as map.png"},
        {{"--label-boxes", "./map.png", CONTOUR, "map.png"}, "./map.png: is the same file as"},
        {{"--label-boxes", "missing/boxes", CONTOUR, "map.png"}, "missing: no such directory"},
        {{"--label-boxes", "pictures.png", CONTOUR, "map.png"}, "pictures.png: is a directory"},
        {{"--label-boxes", "-", CONTOUR, "map.png"}, "\"-\" is not a file name"},
        {{"--label-boxes=", CONTOUR, "map.png"}, "\"\" is not a file name"},
        {{"--label-boxes", "to-map", CONTOUR, "map.png"}, "to-map: is the same file as map.png"},
        {{CONTOUR, std::string(252, 'n') + ".png"}, "cannot write nnn"},
    };
    for (const auto& refusal : refusals) {
        const program_run run = place.plot(refusal.arguments);
        EXPECT_EQ(run.exit_status, 1) << refusal.message;
        EXPECT_EQ(lines_of(run.err).size(), 1u) << run.err;
        EXPECT_EQ(run.err.rfind(std::string("dist-strike-contour-plot: ") + refusal.message, 0), 0u)
            << run.err;
    }
    EXPECT_EQ(read_file(place.dir.work_path("rings.png")), contour);
    EXPECT_FALSE(file_exists(place.dir.work_path("map.png")));
    EXPECT_EQ(files_in(place.dir.work_path("")).size(), 5u) << "a file left beside the outputs";
    EXPECT_TRUE(place.nothing_left());
}

// A GMT that fails, or none at all: one line, exit 2, the earlier picture
// kept, nothing left beside it or in TMPDIR and HOME.
TEST(PlotOutput, AFailureKeepsTheEarlierPicture) {
    SKIP_WITHOUT_GMT();
    const plot_place place("120.5 -33.25 15\n");
    write_file(place.dir.work_path("map.png"), "earlier picture");
    const std::string fake = place.dir.io_path("fake-gmt");
    std::filesystem::create_directory(fake);
    write_file(fake + "/gmt", "#!/bin/sh\necho 'coast [ERROR]: out of coastlines' >&2\nexit 1\n");
    std::filesystem::permissions(fake + "/gmt", std::filesystem::perms::owner_all);
    // A GMT that says nothing and draws nothing is not taken for a success.
    const std::string silent = place.dir.io_path("silent-gmt");
    std::filesystem::create_directory(silent);
    write_file(silent + "/gmt", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(silent + "/gmt", std::filesystem::perms::owner_all);
    // One ended by a signal is said to be so, not by its log's last line.
    const std::string killed = place.dir.io_path("killed-gmt");
    std::filesystem::create_directory(killed);
    write_file(killed + "/gmt", "#!/bin/sh\necho 'begin [WARNING]: unrelated' >&2\nkill -KILL $$\n");
    std::filesystem::permissions(killed + "/gmt", std::filesystem::perms::owner_all);
    for (const std::string& path : {fake + ":/usr/bin:/bin", silent + ":/usr/bin:/bin",
                                    killed + ":/usr/bin:/bin", place.dir.io_path("empty")}) {
        run_setup setup = place.setup({CONTOUR, "map.png"});
        setup.environment.push_back("PATH=" + path);
        const program_run run = run_program(place.dir, setup);
        EXPECT_EQ(run.exit_status, 2) << run.err;
        EXPECT_EQ(lines_of(run.err).size(), 1u) << run.err;
        EXPECT_EQ(run.err.find("cannot write map.png"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("unrelated"), std::string::npos) << run.err;
        EXPECT_EQ(read_file(place.dir.work_path("map.png")), "earlier picture");
        EXPECT_TRUE(place.nothing_left());
    }
    const std::vector<std::string> work = files_in(place.dir.work_path(""));
    EXPECT_EQ(work.size(), 2u) << "left beside the picture: " << work.size() - 2 << " files";
}

// Processes whose working directory lies in `directory`: GMT's commands
// run in the plot's private directory.
std::size_t processes_in(const std::string& directory) {
    std::size_t count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const auto cwd = std::filesystem::read_symlink(entry.path() / "cwd", error);
        count += !error && cwd.string().rfind(directory, 0) == 0 ? 1 : 0;
    }
    return count;
}

// Whatever ends the plot, whole or by any signal that ends a process,
// SIGKILL included, it leaves nothing behind: no private directory, no GMT
// still running, no new file beside OUTPUT. An OUTPUT it replaces keeps its mode.
TEST(PlotOutput, NothingLeftAfterSuccessOrASignalMidPlot) {
    SKIP_WITHOUT_GMT();
    const plot_place place("120.5 -33.25 5\n");
    write_file(place.dir.work_path("map.pdf"), "earlier picture");
    std::filesystem::permissions(place.dir.work_path("map.pdf"),
                                 std::filesystem::perms::owner_read |
                                     std::filesystem::perms::group_read);
    // A relative TMPDIR, and a long one: GMT's own paths stay short.
    const std::string long_tmp = "../tmp/" + std::string(200, 'd');
    std::filesystem::create_directory(place.dir.work_path(long_tmp));
    run_setup relative_tmp = place.setup({CONTOUR, "map.pdf"});
    relative_tmp.environment[0] = "TMPDIR=" + long_tmp;
    const program_run done = run_program(place.dir, relative_tmp);
    EXPECT_TRUE(std::filesystem::is_empty(place.dir.work_path(long_tmp)));
    std::filesystem::remove(place.dir.work_path(long_tmp));
    if (::geteuid() == 0) {
        // Root may write it, as cp would: replaced, its mode kept.
        EXPECT_EQ(done.exit_status, 0) << done.err;
        EXPECT_EQ(read_file(place.dir.work_path("map.pdf")).rfind("%PDF-", 0), 0u);
        struct stat info {};
        ASSERT_EQ(::stat(place.dir.work_path("map.pdf").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0440u);
    } else {
        EXPECT_EQ(done.exit_status, 1) << done.err;
        EXPECT_EQ(read_file(place.dir.work_path("map.pdf")), "earlier picture");
    }
    EXPECT_TRUE(place.nothing_left());
    // At the GMT command of each row a stand-in says so and waits for ever in
    // GMT's place, and the signal lands then; GMT runs every other command.
    const std::string waiting = place.dir.io_path("waiting-gmt");
    const std::string mark = place.dir.io_path("gmt-waits");
    std::filesystem::create_directory(waiting);
    write_file(waiting + "/gmt", "#!/bin/sh\nif [ \"$1\" = \"$STOP_AT\" ]; then : > " + mark +
                                     "; exec sleep 100000; fi\nPATH=${PATH#*:} exec gmt \"$@\"\n");
    std::filesystem::permissions(waiting + "/gmt", std::filesystem::perms::owner_all);
    const struct {
        int signal_number;
        const char* command;
    } stops[] = {{SIGTERM, "begin"}, {SIGQUIT, "coast"}, {SIGPIPE, "end"}, {SIGKILL, "coast"}};
    for (const auto& stop : stops) {
        run_setup setup = place.setup({CONTOUR, "stopped.png"});
        setup.environment.push_back("PATH=" + waiting + ":/usr/bin:/bin");
        setup.environment.push_back(std::string("STOP_AT=") + stop.command);
        std::filesystem::remove(mark);
        started_run started = start_program(place.dir, setup);
        while (!file_exists(mark) && !has_ended(started)) {
            ::usleep(2 * 1000);
        }
        EXPECT_TRUE(file_exists(mark)) << "the plot ended before gmt " << stop.command;
        ::kill(started.pid, stop.signal_number);
        const program_run stopped = finish_program(started);
        EXPECT_EQ(stopped.end_signal, stop.signal_number) << stopped.err;
        // After SIGKILL the plot's watcher cleans up, in its own time: a
        // minute bounds the wait only so that a fault fails rather than hangs.
        for (int wait = 0; stop.signal_number == SIGKILL && wait < 30000 &&
                           !(place.nothing_left() && processes_in(place.tmp) == 0);
             ++wait) {
            ::usleep(2 * 1000);
        }
        EXPECT_TRUE(place.nothing_left()) << stop.signal_number;
        EXPECT_EQ(processes_in(place.tmp), 0u) << stop.signal_number;
        EXPECT_FALSE(file_exists(place.dir.work_path("stopped.png")));
    }
    EXPECT_EQ(files_in(place.dir.work_path("")).size(), 2u);
}

// A stop ends the plot at once even while its picture waits on a pipe that
// nobody reads (a GMT that makes a large picture at once stands in).
TEST(PlotOutput, AStopEndsAWriteThatWaits) {
    const plot_place place("120.5 -33.25 15\n");
    const std::string fake = place.dir.io_path("quick-gmt");
    std::filesystem::create_directory(fake);
    write_file(fake + "/gmt",
               "#!/bin/sh\n[ \"$1\" = end ] && head -c 1000000 /dev/zero > picture.png\nexit 0\n");
    std::filesystem::permissions(fake + "/gmt", std::filesystem::perms::owner_all);
    const std::string pipe = place.dir.work_path("pipe.png");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int unread = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    // The picture's first 64 KiB fill the pipe, and its next write waits for
    // ever.
    const int capacity = ::fcntl(unread, F_GETPIPE_SZ);
    run_setup setup = place.setup({CONTOUR, "pipe.png"});
    setup.environment.push_back("PATH=" + fake + ":/usr/bin:/bin");
    started_run started = start_program(place.dir, setup);
    int queued = 0;
    while (::ioctl(unread, FIONREAD, &queued) == 0 && queued < capacity && !has_ended(started)) {
        ::usleep(2 * 1000);
    }
    EXPECT_EQ(queued, capacity) << "the plot ended with its picture unread";
    ::kill(started.pid, SIGTERM);
    const program_run stopped = finish_program(started);
    ::close(unread);
    EXPECT_EQ(stopped.end_signal, SIGTERM) << stopped.err;
    EXPECT_TRUE(place.nothing_left());
}

}  // namespace
