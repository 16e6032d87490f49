#pragma once

#include <cmath>

#include "sphere/sphere_constants.h"

// Great-circle distance between two points on the sphere, in degrees of arc,
// by the spherical law of cosines on the colatitudes theta = 90 - lat:
//   cos(dist) = cos t1 cos t2 + sin t1 sin t2 cos(lon1 - lon2).
// The result lies in 0..180 (a last-place step above 180 is possible because
// the degree conversion uses a value of pi one unit below the nearest single).
// Points closer than 0.01 degree (|dlat| + |dlon|) count as coincident: 0.
// When rounding pushes the cosine of the distance above 1 the result is NaN.
//
// The computation comes in stages, so that a caller measuring many points
// from one centre, or several points on one latitude, computes what they
// share once; dist_calculation runs the same stages in the same order.

// Step 1, for one point: the cosine and sine of its colatitude.
struct colatitude_terms {
    float cos_theta;
    float sin_theta;
};

inline colatitude_terms colatitude_terms_of(float lat) {
    const float theta = sphere_radians(90.0f - lat);
    return {std::cos(theta), std::sin(theta)};
}

// Steps 2 and 3, for a pair of latitudes: cos t1 cos t2 and sin t1 sin t2.
struct latitude_pair_terms {
    float cos_product;
    float sin_product;
};

inline latitude_pair_terms latitude_pair_terms_of(const colatitude_terms& point1,
                                                  const colatitude_terms& point2) {
    return {point1.cos_theta * point2.cos_theta, point1.sin_theta * point2.sin_theta};
}

// Step 4: the longitude term and the cosine of the distance.
inline float distance_cosine(const latitude_pair_terms& pair, float lon1, float lon2) {
    const float lon_term = std::cos(sphere_radians(lon1 - lon2)) * pair.sin_product;
    return pair.cos_product + lon_term;
}

// The coincidence rule's test: a NaN sum fails the comparison.
inline bool coincident(float lat1, float lon1, float lat2, float lon2) {
    const float separation = std::fabs(lat1 - lat2) + std::fabs(lon1 - lon2);
    return separation < 0.01f;
}

// Steps 5 and 6: the arccosine of the cosine and the coincidence rule.
inline float dist_from_cosine(float cosine, float lat1, float lon1, float lat2, float lon2) {
    const float dist = std::acos(cosine) * (180.0f / SPHERE_PI);
    return coincident(lat1, lon1, lat2, lon2) ? 0.0f : dist;
}

// Steps 4 to 6.
inline float dist_from_terms(const latitude_pair_terms& pair, float lat1, float lon1,
                             float lat2, float lon2) {
    return dist_from_cosine(distance_cosine(pair, lon1, lon2), lat1, lon1, lat2, lon2);
}

// Arguments: lat1, lon1, lat2, lon2 (degrees; latitude first), result in dist.
void dist_calculation(const float& lat1, const float& lon1, const float& lat2,
                      const float& lon2, float& dist);
