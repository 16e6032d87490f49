// Whole runs against a table from an independent implementation: for each
// input, the exit status and the sha256 digest and line count of the
// contour file and of standard output, in the running C library's family.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "libm_family.h"
#include "program_runner.h"

namespace {

// sha256 of a file, by the coreutils command every Debian system has.
std::string sha256_of(const std::string& path) {
    FILE* pipe = ::popen(("sha256sum < '" + path + "'").c_str(), "r");
    char digest[65] = {};
    if (pipe == nullptr || std::fread(digest, 1, 64, pipe) != 64) {
        digest[0] = '\0';
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    return digest;
}

std::string line_count(const std::string& text) {
    return std::to_string(lines_of(text).size());
}

TEST(ReferenceDigests, EveryRunMatchesItsDigest) {
    const libm_family& family = running_libm_family();
    if (!family.known) {
        GTEST_SKIP() << family.description;
    }
    std::ifstream table(family_data_path("run-digests.tsv"));
    ASSERT_TRUE(table) << family_data_path("run-digests.tsv");
    std::string row;
    std::getline(table, row);  // the column names
    int runs = 0;
    while (std::getline(table, row)) {
        std::istringstream fields(row);
        std::string input, status, contour_sum, contour_lines, out_sum, out_lines;
        std::getline(fields, input, '\t');
        fields >> status >> contour_sum >> contour_lines >> out_sum >> out_lines;
        scratch_dir dir;
        const program_run run = run_program(dir, input + "\n");
        const std::string contour_path = dir.work_path("dist-strike-contour.txt");
        std::string got_sum = "-";
        std::string got_lines = "-";
        if (file_exists(contour_path)) {
            got_sum = sha256_of(contour_path);
            got_lines = line_count(read_file(contour_path));
        }
        write_file(dir.io_path("stdout"), run.out);
        EXPECT_EQ(std::to_string(run.exit_status) + " " + got_sum + " " + got_lines + " " +
                      sha256_of(dir.io_path("stdout")) + " " + line_count(run.out),
                  status + " " + contour_sum + " " + contour_lines + " " + out_sum + " " +
                      out_lines)
            << family.description << ", input \"" << input << "\"";
        ++runs;
    }
    EXPECT_EQ(runs, 400);
}

}  // namespace
