// The three named routines against a table from an independent
// implementation: arguments and results as IEEE single bit patterns, so
// that a change in any operation's grouping or constant shows up in the
// last bit, in the running C library's family.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "contour/destination_point.h"
#include "libm_family.h"
#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

namespace {

float from_bits(const std::string& hex) {
    const auto bits = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string bits_of(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    char text[9];
    std::snprintf(text, sizeof text, "%08X", bits);
    return text;
}

// The result of one row's routine, written as the table writes it: one
// bit pattern, or for the solver "T lon lat dist" and "F" when unresolved.
std::string computed_result(const std::string& routine, const float (&arg)[4]) {
    float result = 0.0f;
    if (routine == "dist_calculation") {
        dist_calculation(arg[0], arg[1], arg[2], arg[3], result);
        return bits_of(result);
    }
    if (routine == "azimuth_cal") {
        azimuth_cal(arg[0], arg[1], arg[2], arg[3], result);
        return bits_of(result);
    }
    const ring_solution solution = destination_point(arg[0], arg[1], arg[2], arg[3]);
    if (!solution.accepted) {
        return "F";
    }
    return "T " + bits_of(solution.point.lon) + " " + bits_of(solution.point.lat) + " " +
           bits_of(solution.point.dist);
}

TEST(ReferenceVectors, NamedRoutinesAgreeBitForBit) {
    const libm_family& family = running_libm_family();
    if (!family.known) {
        GTEST_SKIP() << family.description;
    }
    std::ifstream table(family_data_path("routine-vectors.tsv"));
    ASSERT_TRUE(table) << family_data_path("routine-vectors.tsv");
    int rows = 0;
    std::string row;
    while (std::getline(table, row)) {
        if (row.empty() || row[0] == '#') {
            continue;
        }
        // routine, arguments, result, then the same in decimal for reading.
        std::istringstream fields(row);
        std::string routine;
        std::string arguments;
        std::string expected;
        std::getline(fields, routine, '\t');
        std::getline(fields, arguments, '\t');
        std::getline(fields, expected, '\t');
        std::istringstream words(arguments);
        float arg[4];
        for (float& value : arg) {
            std::string word;
            words >> word;
            value = from_bits(word);
        }
        EXPECT_EQ(computed_result(routine, arg), expected) << family.description << ": " << row;
        ++rows;
    }
    EXPECT_EQ(rows, 1000);
}

}  // namespace
