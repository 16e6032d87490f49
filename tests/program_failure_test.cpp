// The contour file's life cycle, refused input and failing surroundings:
// nothing may be reported as success that was not done.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "program_runner.h"
#include "reference_runs.h"

namespace {

const char* const CONTOUR_FILE = "dist-strike-contour.txt";

std::size_t line_count(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

void expect_one_diagnostic(const program_run& run, const std::string& expected) {
    EXPECT_EQ(run.err.rfind("dist-strike-contour: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
    EXPECT_EQ(line_count(run.err), 1u) << run.err;
}

// A failure of the surroundings: exit status 2 and one diagnostic.
void expect_io_failure(const program_run& run, const std::string& expected) {
    EXPECT_EQ(run.exit_status, 2) << expected;
    expect_one_diagnostic(run, expected);
}

TEST(ContourFile, AnOlderLongerFileIsFullyReplaced) {
    scratch_dir dir;
    write_file(dir.work_path(CONTOUR_FILE), std::string(3'000'000, 'x'));
    EXPECT_EQ(run_program(dir, "120 30 25").exit_status, 0);
    expect_stored_run(read_file(dir.work_path(CONTOUR_FILE)), "lon120_lat30_step25", CONTOUR_FILE);
}

TEST(ContourFile, NegativeStepKeepsAnExistingFileAndCreatesAMissingOne) {
    scratch_dir dir;
    program_run run = run_program(dir, "0 0 -5");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(file_exists(dir.work_path(CONTOUR_FILE)));
    EXPECT_EQ(read_file(dir.work_path(CONTOUR_FILE)), "");

    write_file(dir.work_path(CONTOUR_FILE), "earlier content\n");
    run = run_program(dir, "0 0 -2147483648");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(read_file(dir.work_path(CONTOUR_FILE)), "earlier content\n");
}

TEST(ContourFile, RefusedInputLeavesTheFileAlone) {
    scratch_dir dir;
    for (const char* input : {"", "1 2", "0 0 0", "0 0 10.5", "1e39 0 1", "2*0 1", ",1 2 3"}) {
        const program_run run = run_program(dir, input);
        EXPECT_EQ(run.exit_status, 1) << input;
        EXPECT_EQ(run.out, "") << input;
        expect_one_diagnostic(run, "");
        EXPECT_FALSE(file_exists(dir.work_path(CONTOUR_FILE))) << input;
    }
    write_file(dir.work_path(CONTOUR_FILE), "kept\n");
    expect_one_diagnostic(run_program(dir, "0 0 0"), "the distance step must not be zero");
    EXPECT_EQ(read_file(dir.work_path(CONTOUR_FILE)), "kept\n");
}

TEST(ContourFile, UnwritableFileFailsTheRun) {
    scratch_dir dir;
    ::mkdir(dir.work_path(CONTOUR_FILE).c_str(), 0755);
    program_run run = run_program(dir, "0 0 10");
    expect_io_failure(run, "cannot open dist-strike-contour.txt");
    ::rmdir(dir.work_path(CONTOUR_FILE).c_str());

    ASSERT_EQ(::symlink("/dev/full", dir.work_path(CONTOUR_FILE).c_str()), 0);
    run = run_program(dir, "0 0 10");
    expect_io_failure(run, "cannot write dist-strike-contour.txt: No space left on device");
}

// The file system filling part way through the run, as a file size limit
// of 100 blocks: the run stops with a diagnostic and a failure status.
TEST(ContourFile, FillingUpPartWayFailsTheRun) {
    scratch_dir dir;
    run_setup setup{text_input("120.5 -33.25 1")};
    setup.file_size_limit = 100 * 1024;
    const program_run run = run_program(dir, setup);
    expect_io_failure(run, "cannot write dist-strike-contour.txt: File too large");
    const std::size_t written = read_file(dir.work_path(CONTOUR_FILE)).size();
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, 4829264u);  // the complete file
}

TEST(StandardOutput, WriteFailuresWhileErrorLinesAreDueFailTheRun) {
    for (const program_output& output : {output_path("/dev/full"), closed_output()}) {
        scratch_dir dir;
        const program_run run = run_program(dir, {text_input("0 0 10"), output});
        expect_io_failure(run, "cannot write standard output");
        // The contour file is still complete.
        expect_stored_run(read_file(dir.work_path(CONTOUR_FILE)), "lon0_lat0_step10",
                          CONTOUR_FILE);
    }
}

TEST(StandardOutput, ClosedOutputIsFineWhenNoErrorLinesAreDue) {
    scratch_dir dir;
    EXPECT_EQ(run_program(dir, {text_input("120 30 25"), closed_output()}).exit_status, 0);
}

TEST(StandardInput, ClosedOrUnreadableInputFailsTheRun) {
    for (const program_input& input : {closed_input(), input_path("/")}) {
        scratch_dir dir;
        const program_run run = run_program(dir, run_setup{input});
        expect_io_failure(run, "cannot read standard input");
        EXPECT_FALSE(file_exists(dir.work_path(CONTOUR_FILE)));
    }
}

TEST(StandardInput, EndlessOrHugeInputIsHandledWithoutReadingItAll) {
    scratch_dir dir;
    EXPECT_EQ(run_program(dir, run_setup{repeated_input("0 0 90\n")}).exit_status, 0);
    expect_one_diagnostic(run_program(dir, run_setup{input_path("/dev/zero")}),
                          "contains a NUL byte");
    expect_one_diagnostic(run_program(dir, run_setup{repeated_input("7")}),
                          "longer than 1024 characters");
}

// The rest of the third value's line belongs to this run; the next line is
// left for whatever reads standard input next.
TEST(StandardInput, WhatFollowsTheThirdValuesLineIsLeftUnread) {
    scratch_dir dir;
    const program_run run = run_program(dir, "0 0 500 # rest\nnext\n");
    EXPECT_EQ(run.input_offset, 15);
}

}  // namespace
