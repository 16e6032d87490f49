#include "reference_runs.h"

#include <gtest/gtest.h>

#include "program_runner.h"

namespace {

// Position and text of the first line where two texts differ.
std::string first_difference(const std::string& actual, const std::string& expected) {
    std::size_t line = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i < actual.size() && i < expected.size(); ++i) {
        if (actual[i] != expected[i]) {
            break;
        }
        if (actual[i] == '\n') {
            ++line;
            start = i + 1;
        }
    }
    const auto line_at = [start](const std::string& text) {
        return text.substr(start, text.find('\n', start) - start);
    };
    return "first difference on line " + std::to_string(line) + ":\n  got      \"" +
           line_at(actual) + "\"\n  expected \"" + line_at(expected) + "\"";
}

}  // namespace

std::string stored_run_path(const std::string& run, const std::string& file) {
    return family_data_path(run + "/" + file);
}

void expect_stored_run(const std::string& actual, const std::string& run,
                       const std::string& file) {
    const libm_family& family = running_libm_family();
    if (!family.known) {
        GTEST_SKIP() << family.description;
    }
    const std::string expected = read_file(stored_run_path(run, file));
    EXPECT_TRUE(actual == expected) << run << "/" << file << " (" << family.description
                                    << "): " << first_difference(actual, expected);
}
