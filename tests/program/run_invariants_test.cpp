// Properties every run must have, over a sweep of centres (equator,
// mid-latitudes, near and at both poles, longitudes beyond +-180, huge
// magnitudes, negative zero, and seeded random ones) and steps.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "program_runner.h"

namespace {

std::vector<std::string> sweep_centres() {
    std::vector<std::string> centres = {
        "0 0",      "120.5 -33.25", "-77.3 45",   "10 89.5",  "10 -89.99", "0 90",
        "33 -90",   "200 -45",      "-540.25 12", "1e30 30",  "30 1e30",   "-0 -0",
        "-1e-5 60"};
    std::mt19937 generator(20261208);
    std::uniform_real_distribution<float> lon(-400.0f, 400.0f);
    std::uniform_real_distribution<float> lat(-90.0f, 90.0f);
    for (int i = 0; i < 4; ++i) {
        std::ostringstream centre;
        centre.precision(9);
        centre << lon(generator) << ' ' << lat(generator);
        centres.push_back(centre.str());
    }
    return centres;
}

// Checks one run's contour file and error lines against its step.
void check_run(const std::string& contour, const std::string& errors, long long step) {
    const long long rings = 175 / step + 1;
    const std::vector<std::string> lines = lines_of(contour);
    ASSERT_EQ(static_cast<long long>(lines.size()), rings * 362);

    std::vector<std::string> error_lines = lines_of(errors);
    std::size_t next_error = 0;
    for (long long ring = 0; ring < rings; ++ring) {
        const long long ring_dist = ring * step;
        for (int a = 0; a <= 360; ++a) {
            const std::string& record = lines[static_cast<std::size_t>(ring * 362 + a)];
            ASSERT_EQ(record.size(), 75u) << record;
            ASSERT_EQ(std::stoll(record.substr(35, 11)), ring_dist) << record;
            ASSERT_EQ(std::stof(record.substr(47, 16)), static_cast<float>(a)) << record;
            // An error line for this position comes next in visiting order.
            bool reported = false;
            if (next_error < error_lines.size()) {
                const std::string& error = error_lines[next_error];
                ASSERT_EQ(error.size(), 40u) << error;
                ASSERT_EQ(error.substr(0, 6), " error");
                if (std::stof(error.substr(7, 16)) == static_cast<float>(ring_dist) &&
                    std::stof(error.substr(24, 16)) == static_cast<float>(a)) {
                    reported = true;
                    ++next_error;
                }
            }
            ASSERT_FALSE(reported && ring_dist == 0) << "the centre ring is never solved";
            if (!reported) {
                ASSERT_EQ(std::stoll(record.substr(64, 11)), ring_dist) << record;
            }
        }
        ASSERT_EQ(lines[static_cast<std::size_t>(ring * 362 + 361)], " >");
    }
    EXPECT_EQ(next_error, error_lines.size()) << "error lines out of visiting order";
}

TEST(RunInvariants, HoldOverTheSweepOfCentresAndSteps) {
    const long long steps[] = {1, 7, 25, 90, 175, 176, 2147483647};
    int runs = 0;
    for (const std::string& centre : sweep_centres()) {
        for (long long step : steps) {
            scratch_dir dir;
            const program_run run = run_program(dir, centre + " " + std::to_string(step));
            ASSERT_EQ(run.exit_status, 0) << centre << " " << step << ": " << run.err;
            SCOPED_TRACE(centre + " step " + std::to_string(step));
            check_run(read_file(dir.work_path("dist-strike-contour.txt")), run.out, step);
            ++runs;
        }
    }
    EXPECT_EQ(runs, 17 * 7);
}

}  // namespace
