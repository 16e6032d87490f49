#include "sphere/dist_calculation.h"

#include <cmath>

#include "sphere/sphere_constants.h"

void dist_calculation(const float& lat1, const float& lon1, const float& lat2,
                      const float& lon2, float& dist) {
    // Spherical law of cosines on the colatitudes theta = 90 - lat:
    // cos(dist) = cos t1 cos t2 + sin t1 sin t2 cos(dlon).
    const float theta1 = sphere_radians(90.0f - lat1);
    const float theta2 = sphere_radians(90.0f - lat2);
    const float cos_product = std::cos(theta1) * std::cos(theta2);
    const float sin_product = std::sin(theta1) * std::sin(theta2);
    const float lon_term = std::cos(sphere_radians(lon1 - lon2)) * sin_product;
    dist = std::acos(cos_product + lon_term) * (180.0f / SPHERE_PI);

    // Coincidence rule: a NaN sum fails the comparison and keeps dist.
    const float separation = std::fabs(lat1 - lat2) + std::fabs(lon1 - lon2);
    if (separation < 0.01f) {
        dist = 0.0f;
    }
}
