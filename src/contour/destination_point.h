#pragma once

#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

// A ring point: a longitude and latitude (degrees) and the great-circle
// distance from the centre measured back for it (degrees).
struct ring_point {
    float lon;
    float lat;
    float dist;
};

// Outcome of solving one grid position. When `accepted` is false the
// position is unresolved and `point` holds nothing meaningful.
struct ring_solution {
    bool accepted;
    ring_point point;
};

// Finds the point at great-circle distance ring_dist and azimuth ring_az
// (whole degrees, 0 < ring_dist <= 175, 0 <= ring_az <= 360) from the centre
// (center_lon, center_lat):
//   X = sin(lat0) cos(D) + cos(A) (sin(D) cos(lat0)), the sine of the latitude,
//   S = sqrt(1 - X X), lat = asin(X) / DEG,
//   Y = (sin(A) sin(D)) / S, delta = asin(Y) / DEG, the longitude offset,
// with every angle x taken as x DEG. Of the two candidate longitudes
// delta + lon0 (A) and (lon0 + 180) - delta (B), each is measured back with
// the sphere routines and the first that reproduces the distance and
// azimuth within 0.01 degree is accepted.
ring_solution destination_point(const float& center_lon, const float& center_lat,
                                const float& ring_dist, const float& ring_az);

// The acceptance test for one candidate whose measured distance and azimuth
// are (dist, az).
bool candidate_passes(float dist, float az, float ring_dist, float ring_az);

// The same solver in stages, for a caller that solves many positions: what
// depends only on the centre, only on the ring distance, and only on the
// azimuth is computed once each. destination_point runs these stages.

struct solver_centre {
    float lon;
    float lat;
    float sin_lat;  // sin(lat DEG)
    float cos_lat;  // cos(lat DEG)
    colatitude_terms colatitude;  // for measuring distances from the centre
    azimuth_point azimuth;        // for measuring azimuths from the centre
};
solver_centre solver_centre_of(float center_lon, float center_lat);

struct solver_ring {
    float dist;         // D
    float sin_dist;     // sin(D DEG)
    float lat_term;     // sin(lat0 DEG) cos(D DEG), the first term of X
    float slant_term;   // sin(D DEG) cos(lat0 DEG), scaled by cos(A DEG) in X
};
solver_ring solver_ring_of(const solver_centre& centre, float ring_dist);

struct solver_azimuth {
    float az;      // A
    float sin_az;  // sin(A DEG)
    float cos_az;  // cos(A DEG)
};
solver_azimuth solver_azimuth_of(float ring_az);

ring_solution solve_position(const solver_centre& centre, const solver_ring& ring,
                             const solver_azimuth& azimuth);
