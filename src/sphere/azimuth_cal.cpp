#include "sphere/azimuth_cal.h"

#include <cmath>

#include "sphere/sphere_constants.h"

void azimuth_cal(const float& lon1, const float& lat1, const float& lon2,
                 const float& lat2, float& az) {
    const float lambda1 = sphere_radians(lon1);
    const float phi1 = sphere_radians(lat1);
    const float lambda2 = sphere_radians(lon2);
    const float phi2 = sphere_radians(lat2);

    // Unit vectors of both points; k is the cosine of their angular distance,
    // the x and y products summed first.
    const float p_x = std::cos(phi1) * std::cos(lambda1);
    const float p_y = std::cos(phi1) * std::sin(lambda1);
    const float p_z = std::sin(phi1);
    const float q_x = std::cos(phi2) * std::cos(lambda2);
    const float q_y = std::cos(phi2) * std::sin(lambda2);
    const float q_z = std::sin(phi2);
    const float k = p_z * q_z + (p_x * q_x + p_y * q_y);

    // North and east components of the direction, both scaled by cos(phi1);
    // the common factor leaves the direction unchanged while cos(phi1) > 0.
    const float north = std::sin(phi2) - std::sin(phi1) * k;
    const float east = std::sin(lambda2 - lambda1) * (std::cos(phi1) * std::cos(phi2));
    az = (180.0f * std::atan2(east, north)) / SPHERE_PI;
}
