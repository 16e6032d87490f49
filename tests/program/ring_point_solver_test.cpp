// The ring point solver and its rounding to whole degrees, in process:
// which candidate it accepts, what it reports, its staged path against the
// named routines, and its points against an independent computation.

#include "contour/destination_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iomanip>
#include <random>
#include <vector>

#include "contour/nearest_integer.h"
#include "great_circle.h"

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

// The distance measured back for the point, to the last bit, not the ring
// distance it was measured against: here 69.9999619, not 70.
TEST(DestinationPoint, ReportsTheVerifiedDistance) {
    const ring_solution solution = solve(120.5f, -33.25f, 70, 123);
    ASSERT_TRUE(solution.accepted);
    float measured = 0.0f;
    dist_calculation(-33.25f, 120.5f, solution.point.lat, solution.point.lon, measured);
    ASSERT_NE(measured, 70.0f);
    EXPECT_EQ(solution.point.dist, measured)
        << std::setprecision(9) << solution.point.dist << " reported, " << measured << " measured";
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

// The solver's steps written out plainly over the named sphere routines.
ring_solution solved_plainly(float lon0, float lat0, float D, float A) {
    const float DEG = 0.017453292f;
    const float X = std::sin(lat0 * DEG) * std::cos(D * DEG) +
                    std::cos(A * DEG) * (std::sin(D * DEG) * std::cos(lat0 * DEG));
    const float S = std::sqrt(1.0f - X * X);
    const float lat = std::asin(X) / DEG;
    const float Y = (std::sin(A * DEG) * std::sin(D * DEG)) / S;
    const float delta = std::asin(Y) / DEG;
    for (const float lon : {delta + lon0, (lon0 + 180.0f) - delta}) {
        float dist = 0.0f;
        float az = 0.0f;
        dist_calculation(lat0, lon0, lat, lon, dist);
        azimuth_cal(lon0, lat0, lon, lat, az);
        if (candidate_passes(dist, az, D, A)) {
            return {true, {lon, lat, dist}};
        }
    }
    return {false, {0.0f, 0.0f, 0.0f}};
}

// The walk's path (one solver per centre, a frame per ring, the azimuth
// terms made once) gives what the plain steps give, bit for bit.
TEST(DestinationPoint, StagedPathAgreesWithTheNamedRoutinesBitForBit) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<float> lon_of(-540.0f, 540.0f);
    std::uniform_real_distribution<float> lat_of(-135.0f, 135.0f);
    std::vector<grid_azimuth> azimuths;
    for (int a = 0; a <= 360; ++a) {
        azimuths.emplace_back(static_cast<float>(a));
    }
    long accepted = 0;
    for (int c = 0; c < 40; ++c) {
        const float lon = lon_of(random);
        const float lat = lat_of(random);
        const ring_solver solver(lon, lat);
        for (int d = 1; d <= 175; d += 6) {
            const float dist = static_cast<float>(d);
            const ring_frame ring = solver.ring_at(dist);
            for (int a = 0; a <= 360; a += 5) {
                const ring_solution staged = ring.solve(azimuths[static_cast<std::size_t>(a)]);
                const ring_solution plain = solved_plainly(lon, lat, dist, static_cast<float>(a));
                ASSERT_EQ(staged.accepted, plain.accepted) << lon << " " << lat << " " << d << " " << a;
                EXPECT_EQ(std::memcmp(&staged.point, &plain.point, sizeof(ring_point)), 0)
                    << lon << " " << lat << " " << d << " " << a;
                accepted += staged.accepted;
            }
        }
    }
    EXPECT_GT(accepted, 40L * 30 * 73 * 3 / 4);
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

// Accepted points against an independent double-precision great-circle
// computation. The single-precision routines are coarse in places, so the
// tolerances are measured figures (seeded sweep of 3000 random centres,
// distances 1..175 by 2, azimuths by 5; worst deviations found):
//   distance, everywhere:                        0.0100289 -> allow 0.0102
//     (the 0.01 acceptance plus single-precision arccosine error, largest
//      at short distances: about 6e-8 / sin(1 degree) rad = 2e-4 degree)
//   azimuth, centre |lat| <= 60:                 0.0142    -> allow 0.02
//   azimuth, centre 60 < |lat| <= 80:            0.0480    -> allow 0.06
//   azimuth, centre |lat| > 80: grows without bound towards the pole
//     (0.94 degree at 89.4, 5.7 at 89.9, 180 at 89.999), because the sine
//     of the centre's latitude rounds towards +-1 and the azimuth check can
//     no longer tell directions apart; only the distance is checked there.

double azimuth_tolerance(float center_lat) {
    const float magnitude = std::fabs(center_lat);
    if (magnitude <= 60.0f) {
        return 0.02;
    }
    return magnitude <= 80.0f ? 0.06 : 360.0;
}

TEST(GeometryCrossCheck, AcceptedPointsLieAtTheRingDistanceAndAzimuth) {
    std::mt19937 generator(99);
    std::uniform_real_distribution<float> lon(-360.0f, 360.0f);
    std::uniform_real_distribution<float> lat(-90.0f, 90.0f);
    long accepted = 0;
    for (int c = 0; c < 150; ++c) {
        const float center_lon = lon(generator);
        const float center_lat = lat(generator);
        for (int d = 1; d <= 175; d += 3) {
            for (int a = 0; a <= 360; a += 5) {
                const auto dist = static_cast<float>(d);
                const auto az = static_cast<float>(a);
                const ring_solution solution = destination_point(center_lon, center_lat, dist, az);
                if (!solution.accepted) {
                    continue;
                }
                ++accepted;
                const great_circle check =
                    measure(center_lon, center_lat, solution.point.lon, solution.point.lat);
                ASSERT_NEAR(check.dist, d, 0.0102) << center_lon << " " << center_lat;
                ASSERT_LE(std::fabs(std::remainder(check.az - a, 360.0)),
                          azimuth_tolerance(center_lat))
                    << center_lon << " " << center_lat << " " << d << " " << a;
            }
        }
    }
    EXPECT_GT(accepted, 150L * 59 * 73 * 9 / 10);
}

}  // namespace
