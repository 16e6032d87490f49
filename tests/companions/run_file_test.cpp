// The contour file read back, in process: a record the program cannot
// have written is refused at its line, every stored run is taken, and the
// quick checks of a record agree with the program's own measurement.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/double_angles.h"
#include "contour/nearest_integer.h"
#include "line_layout.h"
#include "run_file/contour_reader.h"
#include "run_file/distance_check.h"
#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

namespace {

// One record of a whole run edited: the run is refused at that line.
TEST(ContourReader, RefusesARecordTheProgramCannotWriteAtItsLine) {
    std::ostringstream file;
    file << std::ifstream(TEST_DATA_DIR "/classic-libm/lon120.5_lat-33.25_step10/dist-strike-contour.txt").rdbuf();
    const std::string whole = file.str();
    contour_run run;
    std::string problem;
    ASSERT_TRUE(read_contour_text(whole, "c.txt", run, problem)) << problem;
    const std::string centre = "the centre itself at every azimuth";
    const std::string longitude = "a longitude in columns 2-17";
    const struct {
        std::size_t line;
        std::size_t column;
        std::string text;
        std::string expected;
    } rows[] = {
        {6, CHECK_COLUMN, "          1", centre},
        {1, CHECK_COLUMN, "          3", centre},
        {6, LON_COLUMN, "  120.500008    ", centre},
        {3, LON_COLUMN, "        120.5   ", longitude},
        {3, LON_COLUMN, "  120.5000000   ", longitude},
        {3, LON_COLUMN, "  120.500001    ", longitude},   // between two singles
        {3, LON_COLUMN, "  1234567.13    ", longitude},   // 1234567.125, a tie: even is .12
        {400, LON_COLUMN, "     .1234567890", longitude},
        {400, LAT_COLUMN, "     .1234567890", "a latitude in columns 19-34"},
    };
    for (const auto& row : rows) {
        std::string text = whole;
        std::size_t start = 0;
        for (std::size_t line = 1; line < row.line; ++line) {
            start = text.find('\n', start) + 1;
        }
        text.replace(start + row.column, row.text.size(), row.text);
        ASSERT_FALSE(read_contour_text(text, "c.txt", run, problem)) << row.line << row.text;
        EXPECT_EQ(problem.rfind("c.txt:" + std::to_string(row.line) + ": expected ", 0), 0u) << problem;
        EXPECT_NE(problem.find(row.expected), std::string::npos) << problem;
    }
}

// The reader's check of a record settles most points without measuring
// them; where it does, it must agree with the measurement: points from
// just inside to just beyond each half degree around a check, from
// centres at the equator, near a pole and at longitudes the bounds allow.
TEST(DistanceCheck, AgreesWithTheMeasurementAtEveryHalfDegree) {
    const float centres[][2] = {{120.5f, -33.25f}, {0.0f, 0.0f}, {-700.0f, 89.9f}, {719.0f, -60.0f}};
    const int checks[] = {1, 2, 20, 90, 150, 178, 179};
    const double offsets[] = {-2e-2, -1e-3, -1e-4, -2e-5, 0.0, 2e-5, 1e-4, 1e-3, 2e-2};
    for (const auto& c : centres) {
        const distance_check check(c[0], c[1]);
        const double lat0 = static_cast<double>(c[1]) * RADIANS_PER_DEGREE;
        for (const int n : checks) {
            for (const double half : {-0.5, 0.5}) {
                for (const double offset : offsets) {
                    for (int az = 0; az < 360; az += 45) {
                        // The destination n + half + offset degrees away, in double.
                        const double d = (n + half + offset) * RADIANS_PER_DEGREE;
                        const double a = az * RADIANS_PER_DEGREE;
                        const double lat = std::asin(std::sin(lat0) * std::cos(d) +
                                                     std::cos(lat0) * std::sin(d) * std::cos(a));
                        const double dlon = std::atan2(std::sin(a) * std::sin(d) * std::cos(lat0),
                                                       std::cos(d) - std::sin(lat0) * std::sin(lat));
                        const contour_position p{
                            static_cast<float>(static_cast<double>(c[0]) + dlon / RADIANS_PER_DEGREE),
                            static_cast<float>(lat / RADIANS_PER_DEGREE), n};
                        float measured = 0.0f;
                        dist_calculation(c[1], c[0], p.lat, p.lon, measured);
                        std::int32_t reported = 0;
                        EXPECT_EQ(check.holds(p, reported), nearest_integer(measured) == n)
                            << c[0] << " " << c[1] << " to " << p.lon << " " << p.lat;
                    }
                }
            }
        }
    }
}

// Every stored run of both C library families is read as whole, its
// records all points of their rings or repeats: the reader's rule holds
// for another library's last digits too.
TEST(ContourReader, TakesEveryStoredRunOfBothCLibraryFamilies) {
    for (const char* family : {"/classic-libm", "/correctly-rounded-libm"}) {
        for (const auto& entry : std::filesystem::directory_iterator(TEST_DATA_DIR + std::string(family))) {
            std::ostringstream file;
            file << std::ifstream(entry.path() / "dist-strike-contour.txt").rdbuf();
            contour_run run;
            std::string problem;
            EXPECT_TRUE(!entry.is_directory() || read_contour_text(file.str(), "c.txt", run, problem))
                << entry.path() << ": " << problem;
        }
    }
}

}  // namespace
