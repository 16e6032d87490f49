#pragma once

#include <cmath>

#include "sphere/sphere_constants.h"

// Azimuth from point 1 towards point 2, in degrees clockwise from north:
// 0 north, 90 east, -90 west, +-180 south (not brought into 0..360). Both
// points become unit vectors P and Q; with k = P.Q the cosine of their
// angular distance,
//   north = sin phi2 - sin phi1 k,  east = sin(lambda2 - lambda1) cos phi1 cos phi2,
//   az = (180 atan2(east, north)) / PI.
// Both components carry a common factor cos phi1, which leaves the
// direction unchanged while cos phi1 > 0.
//
// The computation comes in stages, so that a caller measuring many points
// from one centre, or several points on one latitude, computes what they
// share once; azimuth_cal runs the same stages in the same order.

// The cosine and sine of a latitude phi = rad(lat).
struct latitude_terms {
    float cos_phi;
    float sin_phi;
};

inline latitude_terms latitude_terms_of(float lat) {
    const float phi = sphere_radians(lat);
    return {std::cos(phi), std::sin(phi)};
}

// A point as the azimuth needs it: its longitude in radians, its latitude
// terms and its unit vector (cos phi cos lambda, cos phi sin lambda, sin phi).
struct azimuth_point {
    float lambda;
    latitude_terms lat;
    float x;
    float y;
    float z;
};

inline azimuth_point azimuth_point_of(float lon, const latitude_terms& lat) {
    const float lambda = sphere_radians(lon);
    return {lambda, lat, lat.cos_phi * std::cos(lambda), lat.cos_phi * std::sin(lambda),
            lat.sin_phi};
}

// The azimuth from p towards q, in degrees. The x and y products of k are
// summed first; the longitude difference is taken of the radian values.
inline float azimuth_between(const azimuth_point& p, const azimuth_point& q) {
    const float k = p.z * q.z + (p.x * q.x + p.y * q.y);
    const float north = q.lat.sin_phi - p.lat.sin_phi * k;
    const float east = std::sin(q.lambda - p.lambda) * (p.lat.cos_phi * q.lat.cos_phi);
    return (180.0f * std::atan2(east, north)) / SPHERE_PI;
}

// Arguments: lon1, lat1, lon2, lat2 (degrees; longitude first), result in az.
void azimuth_cal(const float& lon1, const float& lat1, const float& lon2,
                 const float& lat2, float& az);
