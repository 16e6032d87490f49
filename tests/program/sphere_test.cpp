#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

float distance(float lat1, float lon1, float lat2, float lon2) {
    float dist = -1.0f;
    dist_calculation(lat1, lon1, lat2, lon2, dist);
    return dist;
}

float azimuth(float lon1, float lat1, float lon2, float lat2) {
    float az = -1.0f;
    azimuth_cal(lon1, lat1, lon2, lat2, az);
    return az;
}

// The bits of a result, for a message that shows them.
std::string hex(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%a", static_cast<double>(value));
    return text;
}

float above(float value) {
    return std::nextafter(value, 1000.0f);
}

TEST(Azimuth, CardinalDirectionsCarryTheShortPi) {
    EXPECT_EQ(azimuth(0, 0, 0, 10), 0.0f);
    // atan2 returns the single nearest pi/2 or pi; dividing by the smaller
    // pi lands one step above 90 and 180.
    EXPECT_EQ(azimuth(0, 0, 90, 0), above(90.0f));
    EXPECT_EQ(azimuth(0, 0, -90, 0), -above(90.0f));
    EXPECT_EQ(azimuth(0, 0, 0, -10), above(180.0f));
    EXPECT_EQ(azimuth(0, 0, 0, 0), 0.0f);
}

TEST(Distance, CoincidentAndNearbyPoints) {
    EXPECT_EQ(distance(0, 0, 0, 0), 0.0f);
    EXPECT_EQ(distance(0, 0, 0, 0.005f), 0.0f);
    // Nearby points outside the rule: rounding can push the cosine above 1,
    // and the NaN from the arccosine is returned as it is.
    EXPECT_TRUE(std::isnan(distance(-69, 0, -68.996f, 0.007f)));
    // NaN coordinates skip the coincidence rule and come out NaN.
    EXPECT_TRUE(std::isnan(distance(0, 0, NAN, 0)));
}

// Exact operands, with the same results in both C library families.
// |dlat| + |dlon| is exactly 0.01 in single precision: outside the rule.
TEST(Distance, ASeparationOfExactlyAHundredthIsNotCoincident) {
    EXPECT_EQ(distance(-0x1.031d7p+4f, -0x1.654p-6f, -0x1.02f732p+4f, -0x1.5a60f6p-6f),
              0x1.441d28p-6f);
}

// Degrees become radians as (x * PI) / 180, the product rounded first; the
// grouping x * (PI / 180) changes these results.
TEST(SphereRoutines, ConvertDegreesWithTheProductFirst) {
    EXPECT_EQ(distance(-0x1.dda92ap+5f, 0x1.7ae148p+0f, -0x1.5342c4p+5f, 0x1.5970a4p+5f),
              0x1.ea37fp+4f);
    EXPECT_EQ(azimuth(0x1.7ae148p-2f, -0x1.df6a4ap+5f, 0x1.508f5cp+5f, -0x1.5503e4p+5f),
              0x1.29dd62p+6f);
}

TEST(Distance, LargeSeparations) {
    EXPECT_NEAR(distance(0, 0, 0, 90), 90.0f, 3e-5f);
    EXPECT_EQ(distance(0, 0, 0, 180), above(180.0f));
    EXPECT_NEAR(distance(30, 120, 42.79f, 139.24f), 20.0f, 0.01f);
}

// Rows of the routine vectors whose results are the same in both C library
// families, so that they hold where the vectors cannot be compared: the
// distance converts the difference of the longitudes, not each longitude,
// and scales the arccosine by 180 / PI taken as one factor; the azimuth
// multiplies the two cosines first, and the arctangent by 180 before
// dividing by PI. Any other grouping changes these results.
TEST(SphereRoutines, GroupTheirOperationsAsWrittenInEitherCLibraryFamily) {
    EXPECT_EQ(hex(distance(-0x1.db0d54p+3f, 0x1.174466p+8f, 0x1.65ddaep+5f, 0x1.5d6782p+8f)),
              "0x1.5bd99cp+6");
    EXPECT_EQ(hex(azimuth(-0x1.68p+7f, 0x1.28077ep+6f, 0x1.532f12p+8f, 0x1.66p+6f)),
              "0x1.410fcep-1");
}

}  // namespace
