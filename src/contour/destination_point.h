#pragma once

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
// (center_lon, center_lat). Two candidate longitudes come out of an arcsine;
// each is measured back with the sphere routines and the first that
// reproduces the distance and azimuth within 0.01 degree is accepted.
ring_solution destination_point(const float& center_lon, const float& center_lat,
                                const float& ring_dist, const float& ring_az);

// The acceptance test for one candidate whose measured distance and azimuth
// are (dist, az). Exposed for testing.
bool candidate_passes(float dist, float az, float ring_dist, float ring_az);
