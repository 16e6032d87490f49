#include "contour/destination_point.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

ring_solution solve(float lon, float lat, float dist, float az) {
    return destination_point(lon, lat, dist, az);
}

void expect_accepted_at(const ring_solution& solution, float lon, float lat, float tolerance) {
    ASSERT_TRUE(solution.accepted);
    EXPECT_NEAR(solution.point.lon, lon, tolerance);
    EXPECT_NEAR(solution.point.lat, lat, tolerance);
}

TEST(DestinationPoint, AcceptsTheNearCandidateAroundTheEquator) {
    expect_accepted_at(solve(0, 0, 10, 90), 10.0f, 0.0f, 1e-4f);
    // Measured azimuths of about -90 and -180 match 270 and 180 by a whole turn.
    expect_accepted_at(solve(0, 0, 10, 270), -10.0f, 0.0f, 1e-4f);
    expect_accepted_at(solve(0, 0, 10, 180), 0.0f, -10.0f, 1e-4f);
    expect_accepted_at(solve(120, 30, 20, 45), 139.24f, 42.79f, 0.01f);
}

TEST(DestinationPoint, FallsBackToTheFarCandidate) {
    expect_accepted_at(solve(0, 0, 100, 45), 104.0f, 44.14f, 0.01f);
    // Past the pole: the far candidate, on the other side of the globe.
    expect_accepted_at(solve(0, 0, 175, 0), 180.0f, 5.0f, 1e-3f);
}

// Centre (0, -79), distance 43, azimuth 258: both candidates, at longitudes
// -89.98 and 269.98, pass; the near one is taken.
TEST(DestinationPoint, TakesTheNearCandidateWhenBothPass) {
    const ring_solution solution = solve(0, -79, 43, 258);
    ASSERT_TRUE(solution.accepted);
    EXPECT_EQ(solution.point.lon, -0x1.67ebbep+6f);
}

TEST(DestinationPoint, ReportsTheVerifiedDistance) {
    const ring_solution solution = solve(120.5f, -33.25f, 70, 123);
    ASSERT_TRUE(solution.accepted);
    EXPECT_NEAR(solution.point.dist, 70.0f, 0.01f);
}

TEST(DestinationPoint, LeavesPolesUnresolved) {
    EXPECT_FALSE(solve(0, 0, 90, 0).accepted);
    EXPECT_FALSE(solve(0, 0, 90, 180).accepted);
    EXPECT_FALSE(solve(0, 0, 90, 360).accepted);
    EXPECT_FALSE(solve(0, 90, 15, 1).accepted);
}

TEST(CandidateTest, ToleranceAndWholeTurnClause) {
    EXPECT_TRUE(candidate_passes(10.005f, 45.0f, 10.0f, 45.0f));
    EXPECT_FALSE(candidate_passes(10.02f, 45.0f, 10.0f, 45.0f));
    EXPECT_TRUE(candidate_passes(10.0f, 45.005f, 10.0f, 45.0f));
    EXPECT_FALSE(candidate_passes(10.0f, 45.02f, 10.0f, 45.0f));
    // Differences from 180 up to, not including, 540 round to one turn.
    EXPECT_TRUE(candidate_passes(10.0f, -90.0f, 10.0f, 270.0f));
    EXPECT_TRUE(candidate_passes(10.0f, 0.0f, 10.0f, 180.0f));
    EXPECT_FALSE(candidate_passes(10.0f, 0.0f, 10.0f, 179.0f));
    EXPECT_TRUE(candidate_passes(10.0f, -179.0f, 10.0f, 360.0f));
    EXPECT_FALSE(candidate_passes(10.0f, -180.0f, 10.0f, 360.0f));
}

// Differences of exactly 0.01 in single precision pass.
TEST(CandidateTest, TolerancesIncludeTheirBoundary) {
    EXPECT_TRUE(candidate_passes(0.01f, 0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(candidate_passes(1.0f, 0.01f, 1.0f, 0.0f));
}

TEST(CandidateTest, NanMeasurementsFail) {
    EXPECT_FALSE(candidate_passes(NAN, 45.0f, 10.0f, 45.0f));
    EXPECT_FALSE(candidate_passes(10.0f, NAN, 10.0f, 45.0f));
    EXPECT_FALSE(candidate_passes(10.0f, INFINITY, 10.0f, 45.0f));
}

}  // namespace
