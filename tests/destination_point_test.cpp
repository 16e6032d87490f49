#include "contour/destination_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "nearest_integer.h"

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

bool same_bits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The walk's path (one solver per centre, a frame per ring, the azimuth
// terms made once) gives what the named routines give, bit for bit: the
// solution, and the distance and azimuth measured back for its point.
TEST(DestinationPoint, StagedPathAgreesWithTheNamedRoutinesBitForBit) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<float> lon_of(-540.0f, 540.0f);
    std::uniform_real_distribution<float> lat_of(-90.0f, 90.0f);
    std::vector<grid_azimuth> azimuths;
    for (int a = 0; a <= 360; ++a) {
        azimuths.emplace_back(static_cast<float>(a));
    }
    for (int c = 0; c < 40; ++c) {
        const float lon = lon_of(random);
        const float lat = lat_of(random);
        const ring_solver solver(lon, lat);
        for (int d = 1; d <= 175; d += 6) {
            const float dist = static_cast<float>(d);
            const ring_frame ring = solver.ring_at(dist);
            for (int a = 0; a <= 360; a += 5) {
                const float az = static_cast<float>(a);
                const ring_solution staged = ring.solve(azimuths[static_cast<std::size_t>(a)]);
                const ring_solution named = destination_point(lon, lat, dist, az);
                ASSERT_EQ(staged.accepted, named.accepted) << lon << " " << lat << " " << d << " " << a;
                if (!staged.accepted) {
                    continue;
                }
                const ring_point& p = staged.point;
                float measured = 0.0f;
                float measured_az = 0.0f;
                dist_calculation(lat, lon, p.lat, p.lon, measured);
                azimuth_cal(lon, lat, p.lon, p.lat, measured_az);
                EXPECT_TRUE(same_bits(p.lon, named.point.lon) && same_bits(p.lat, named.point.lat) &&
                            same_bits(p.dist, named.point.dist) && same_bits(p.dist, measured))
                    << lon << " " << lat << " " << d << " " << a;
                EXPECT_TRUE(candidate_passes(measured, measured_az, dist, az));
            }
        }
    }
}

// Halves away from zero; what no distance or turn count can be gives 0.
TEST(NearestInteger, RoundsHalvesAwayFromZero) {
    const float cases[][2] = {{0.0f, 0}, {0.49999997f, 0}, {0.5f, 1}, {1.4999999f, 1}, {1.5f, 2},
                              {179.5f, 180}, {180.000015f, 180}, {-0.5f, 0}, {NAN, 0},
                              {16777216.0f, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(nearest_integer(c[0]), static_cast<std::int32_t>(c[1])) << c[0];
    }
}

}  // namespace
