// Arbitrary centres (any single, NaN and infinities included) with ring
// distances 1..175 and azimuths 0..360: an accepted point always measures
// back within the tolerances it was accepted by.

#include <cmath>
#include <cstdint>
#include <cstring>

#include "contour/destination_point.h"
#include "fuzz_check.h"
#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t bytes[11] = {};
    std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    float center_lon;
    float center_lat;
    std::memcpy(&center_lon, bytes, sizeof center_lon);
    std::memcpy(&center_lat, bytes + 4, sizeof center_lat);
    const float ring_dist = static_cast<float>(1 + bytes[8] % 175);
    const float ring_az = static_cast<float>((bytes[9] | bytes[10] << 8) % 361);

    const ring_solution solution = destination_point(center_lon, center_lat, ring_dist, ring_az);
    if (!solution.accepted) {
        return 0;
    }
    const ring_point& point = solution.point;
    float dist = 0.0f;
    float az = 0.0f;
    dist_calculation(center_lat, center_lon, point.lat, point.lon, dist);
    azimuth_cal(center_lon, center_lat, point.lon, point.lat, az);
    require(std::memcmp(&dist, &point.dist, sizeof dist) == 0);
    require(std::fabs(dist - ring_dist) <= 0.01f);
    require(candidate_passes(dist, az, ring_dist, ring_az));
    return 0;
}
