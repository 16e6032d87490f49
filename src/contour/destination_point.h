#pragma once

#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

// The ring point solver. Notation: lon0, lat0 the centre; D the ring
// distance and A the grid azimuth (whole degrees, 0 < D <= 175,
// 0 <= A <= 360); every angle x taken as x DEG with DEG = 0.017453292.
//   X = sin(lat0) cos(D) + cos(A) (sin(D) cos(lat0)), the sine of the latitude,
//   S = sqrt(1 - X X), lat = asin(X) / DEG,
//   Y = (sin(A) sin(D)) / S, delta = asin(Y) / DEG, the longitude offset.
// Of the two candidate longitudes delta + lon0 (A) and (lon0 + 180) - delta
// (B), each is measured back with the sphere routines and the first that
// reproduces D and A within 0.01 degree is accepted.

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

// The acceptance test for one candidate whose measured distance and azimuth
// are (dist, az).
bool candidate_passes(float dist, float az, float ring_dist, float ring_az);

// sin(lat0 DEG), the sine of the centre's latitude as the solver takes it:
// near +-1 the centre lies near a pole, whatever number gave the latitude
// (120 is the point 60 degrees beyond the north pole, -400 is -40).
float centre_latitude_sine(float center_lat);

// Within 0.6 degree of a pole the azimuths of written points can be more
// than 1 degree off, as scripts/measure-accuracy measures (0.95 degree at
// 89.4, 1.01 at 89.44, 5.7 at 89.9, 180 at 89.999): the sine of the
// latitude rounds towards +-1 in single precision, and the azimuth check can
// no longer tell a right point from a wrong one. Distances stay within
// 0.0102 degree everywhere. The test is on the sine the solver itself takes,
// so that a latitude beyond +-90 counts as the point it stands for.
inline constexpr float POLAR_DISTANCE = 0.6f;  // degrees
inline constexpr float POLAR_LATITUDE_SINE = 0.99994517f;  // sin(89.4 degrees)

// Whether a centre at this latitude (degrees) lies within POLAR_DISTANCE of
// a pole, by the sine the solver takes.
bool centre_near_pole(float center_lat);

// What solving needs of one grid azimuth A (degrees): the same for every
// centre and ring, so a walk makes the 361 of them once.
class grid_azimuth {
public:
    grid_azimuth() : grid_azimuth(0.0f) {}
    explicit grid_azimuth(float ring_az);
    float az() const { return az_; }

private:
    friend class ring_frame;
    float az_;
    float sin_az_;  // sin(A DEG)
    float cos_az_;  // cos(A DEG)
};

class ring_frame;

// The solver for one centre (degrees). Built once, it computes what every
// position around the centre shares; ring_at() gives the frame of one ring
// distance, and the frame solves that ring's positions. A frame always
// solves with the centre it came from.
class ring_solver {
public:
    ring_solver(float center_lon, float center_lat);

    // The frame of ring distance D (degrees).
    ring_frame ring_at(float ring_dist) const;

private:
    friend class ring_frame;
    float lon_;
    float lat_;
    float sin_lat_;                 // sin(lat0 DEG)
    float cos_lat_;                 // cos(lat0 DEG)
    colatitude_terms colatitude_;   // for measuring distances from the centre
    azimuth_point azimuth_;         // for measuring azimuths from the centre
    bool a_may_be_skipped_;         // the bound that skips candidate A holds here
};

// The two candidates of a grid position: the sine of their latitude X,
// their latitude and their longitude offset delta (degrees), and their
// longitudes, each made when asked for.
struct ring_candidates {
    float x;
    float lat;
    float delta;
    float lon0;
    float lon_a() const { return delta + lon0; }
    float lon_b() const { return (lon0 + 180.0f) - delta; }
};

// The terms of one ring distance around one centre.
class ring_frame {
public:
    float dist() const { return dist_; }

    // The candidates at grid azimuth A on this ring, before measuring.
    ring_candidates candidates(const grid_azimuth& azimuth) const;

    // The point at grid azimuth A on this ring, or unresolved.
    ring_solution solve(const grid_azimuth& azimuth) const;

private:
    friend class ring_solver;
    ring_frame(const ring_solver& centre, float ring_dist);
    ring_candidates candidates_inline(const grid_azimuth& azimuth) const;

    const ring_solver& centre_;
    float dist_;        // D
    float sin_dist_;    // sin(D DEG)
    float cos_dist_;    // cos(D DEG)
    float lat_term_;    // sin(lat0 DEG) cos(D DEG), the first term of X
    float slant_term_;  // sin(D DEG) cos(lat0 DEG), scaled by cos(A DEG) in X
};

// The point at great-circle distance ring_dist and azimuth ring_az from the
// centre (center_lon, center_lat), as the solver above finds it.
ring_solution destination_point(const float& center_lon, const float& center_lat,
                                const float& ring_dist, const float& ring_az);
