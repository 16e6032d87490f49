// End-to-end runs of the program, compared with stored reference runs and
// with the shape every run must have.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "program_runner.h"
#include "reference_runs.h"

namespace {

const char* const CONTOUR_FILE = "dist-strike-contour.txt";

class ReferenceRun : public testing::TestWithParam<const char*> {};

TEST_P(ReferenceRun, ReproducesTheContourFileAndErrorLinesByteForByte) {
    const std::string reference = GetParam();
    if (!running_libm_family().known) {
        GTEST_SKIP() << running_libm_family().description;
    }
    scratch_dir dir;
    const program_run run = run_program(dir, read_file(stored_run_path(reference, "input.txt")));
    EXPECT_EQ(run.exit_status, 0);
    // Near a pole, a warning; nothing else.
    for (const std::string& line : lines_of(run.err)) {
        EXPECT_EQ(line.rfind("dist-strike-contour: warning: ", 0), 0u) << line;
    }
    expect_stored_run(run.out, reference, "stdout.txt");
    expect_stored_run(read_file(dir.work_path(CONTOUR_FILE)), reference, CONTOUR_FILE);
}

INSTANTIATE_TEST_SUITE_P(
    StoredRuns, ReferenceRun,
    testing::Values("lon-77.3_lat89.5_step5", "lon0_lat0_step10", "lon0_lat0_step90",
                    "lon0_lat90_step15", "lon10_lat80_step10", "lon120.5_lat-33.25_step10",
                    "lon120_lat30_step25", "lon200_lat-45_step7"),
    [](const testing::TestParamInfo<const char*>& param_info) {
        std::string name = param_info.param;
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

TEST(ProgramOutput, SameRunWhateverTheSeparators) {
    for (const char* input : {"120.5\n-33.25\n10\n", "120.5, -33.25,10 trailing words\n"}) {
        scratch_dir dir;
        EXPECT_EQ(run_program(dir, input).exit_status, 0);
        expect_stored_run(read_file(dir.work_path(CONTOUR_FILE)), "lon120.5_lat-33.25_step10",
                          CONTOUR_FILE);
    }
}

TEST(ProgramOutput, CentreRingRepeatsTheInputExactly) {
    scratch_dir dir;
    EXPECT_EQ(run_program(dir, "-0 1e-5 500").exit_status, 0);
    const std::vector<std::string> lines = lines_of(read_file(dir.work_path(CONTOUR_FILE)));
    ASSERT_EQ(lines.size(), 362u);
    EXPECT_EQ(lines[0],
              "  -0.00000000       9.99999975E-06           0   0.00000000               0");
}

// Near a pole the azimuths of written points can be off by more than a
// degree: one warning line, and the run goes on as usual. The pole is
// where the computation sees it: 120 is 60 degrees beyond it, -400 is -40.
// A latitude beyond +-90 is most likely swapped with the longitude: one
// more line, and the run goes on too.
TEST(ProgramOutput, WarnsOnceForACentreNearAPoleOrBeyondIt) {
    const struct {
        const char* input;
        bool near_pole;
        const char* beyond;  // the latitude as the warning gives it, or nullptr
    } cases[] = {{"0 89.5 90", true, nullptr},  {"0 -89.9 90", true, nullptr},
                 {"0 0 90", false, nullptr},    {"0 60 90", false, nullptr},
                 {"0 89.3 90", false, nullptr}, {"0 120 90", false, "120"},
                 {"0 -400 90", false, "-400"},  {"38.30 142.37 90", false, "142.37"},
                 {"0 90.3 90", true, "90.3"}};
    for (const auto& c : cases) {
        scratch_dir dir;
        const program_run run = run_program(dir, c.input);
        EXPECT_EQ(run.exit_status, 0) << c.input;
        const std::string beyond = c.beyond == nullptr ? "" :
            std::string("dist-strike-contour: warning: latitude ") + c.beyond +
            " lies beyond +-90 degrees (longitude and latitude swapped?)\n";
        EXPECT_EQ(run.err.rfind(beyond, 0), 0u) << c.input << ": " << run.err;
        EXPECT_EQ(run.err.find("dist-strike-contour: warning: the centre lies within 0.6 degree "
                               "of a pole") == beyond.size(),
                  c.near_pole)
            << c.input << ": " << run.err;
        EXPECT_EQ(lines_of(run.err).size(), (c.near_pole ? 1u : 0u) + (c.beyond ? 1u : 0u))
            << c.input;
    }
}

TEST(ProgramOutput, UnresolvedPositionRepeatsTheHeldPoint) {
    scratch_dir dir;
    const program_run run = run_program(dir, "0 0 10");
    const std::vector<std::string> lines = lines_of(read_file(dir.work_path(CONTOUR_FILE)));
    const std::vector<std::string> errors = lines_of(run.out);
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0], " error   90.0000000       0.00000000    ");
    // Ring 80 ends on line 9 * 362 - 1; ring 90 starts right after it.
    const std::string& held = lines[8 * 362 + 360];
    const std::string& repeated = lines[9 * 362];
    EXPECT_EQ(repeated.substr(0, 34), held.substr(0, 34));
    EXPECT_EQ(repeated.substr(34),
              "          90   0.00000000              80");
}

}  // namespace
