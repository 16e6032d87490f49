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

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "contour/destination_point.h"
#include "great_circle.h"

namespace {

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
