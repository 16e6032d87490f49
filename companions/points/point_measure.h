#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "points/point_table.h"
#include "sphere/azimuth_cal.h"
#include "sphere/dist_calculation.h"

// Distances and azimuths of points seen from one centre, measured exactly as
// the program measures its own points: the distance is dist_calculation(
// centre lat, centre lon, point lat, point lon), the azimuth
// azimuth_cal(centre lon, centre lat, point lon, point lat) and the
// back-azimuth azimuth_cal(point lon, point lat, centre lon, centre lat),
// bit for bit. The centre's terms are computed once.

struct point_measurement {
    float distance;      // degrees of arc, 0..180 (see point_measure::measure)
    float azimuth;       // from the centre to the point, degrees clockwise from north, [0, 360)
    float back_azimuth;  // from the point to the centre, [0, 360)
};

// What measuring a point needs of the point alone, computed once when it
// is measured from many centres.
struct measured_point {
    float lon;
    float lat;
    colatitude_terms colatitude;
    azimuth_point azimuth;
};
measured_point measured_point_of(float lon, float lat);

class point_measure {
public:
    point_measure(float centre_lon, float centre_lat);

    // The point measured from the centre. Where dist_calculation gives NaN
    // because the cosine of the distance rounded beyond 1 (a point within
    // about 0.02 degree of the centre) or beyond -1 (within about 0.01 of
    // the antipode), the distance is 0, or 180: the point lies within the
    // routine's resolution of the centre, or of the antipode. Never more
    // than 180: the step beyond it the routine can give at the antipode is 180.
    point_measurement measure(const measured_point& point) const {
        return measure(point, distance(point));
    }
    // The two steps: the distance alone, then the azimuths with it.
    float distance(const measured_point& point) const;
    point_measurement measure(const measured_point& point, float distance) const;
    point_measurement measure(float lon, float lat) const {
        return measure(measured_point_of(lon, lat));
    }

private:
    // measure() where the sine's oddness is not known (longitudes more than
    // 128 radians apart): both azimuths in full.
    point_measurement measure_far(const measured_point& point, float distance) const;

    float lon_;
    float lat_;
    colatitude_terms colatitude_;
    azimuth_point azimuth_;
};

// An azimuth of the sphere routines (-180..180, a last-place step beyond
// possible) brought into [0, 360): 360 is added to a negative one, in single
// precision, and a sum that rounds to 360 (a tiny negative) is 0, as is -0.
inline float azimuth_in_turn(float az) {
    // Adding +0 turns -0 into +0 and leaves every other value as it is.
    const float turned = az < 0.0f ? az + 360.0f : az + 0.0f;
    return turned >= 360.0f ? 0.0f : turned;
}

// Whether a longitude (degrees) can be measured: its radians do not overflow.
inline bool measurable_longitude(float lon) {
    return std::isfinite(sphere_radians(lon));
}

// Every row of a point file measured from `centre`, in the rows' order.
// False, with "NAME:LINE: ..." in `problem`, at the first row whose
// longitude lies so far beyond +-180 degrees that its conversion to radians
// overflows: it has no direction from the centre.
bool measure_rows(const point_file& points, const point_measure& centre,
                  std::vector<point_measurement>& measurements, std::string& problem);

// Below this (radians) the C library's single-precision sine is odd,
// sin(-x) = -sin(x) bit for bit: checked for every single in both families
// of C library (the test suite checks a sample).
inline constexpr float ODD_SINE_BELOW = 128.0f;

inline point_measurement point_measure::measure(const measured_point& point,
                                                float distance) const {
    // azimuth_between(centre, point) and azimuth_between(point, centre)
    // share k, and the east component of one is the other's negated: the
    // longitude difference is negated exactly, the cosines' product is the
    // same either way round, and the sine is odd where it is so.
    const azimuth_point& p = azimuth_;
    const azimuth_point& q = point.azimuth;
    const float difference = q.lambda - p.lambda;
    if (!(std::fabs(difference) < ODD_SINE_BELOW)) {
        return measure_far(point, distance);
    }
    const float k = p.z * q.z + (p.x * q.x + p.y * q.y);
    const float east = std::sin(difference) * (p.lat.cos_phi * q.lat.cos_phi);
    const float north = q.lat.sin_phi - p.lat.sin_phi * k;
    const float back_north = p.lat.sin_phi - q.lat.sin_phi * k;
    return {distance, azimuth_in_turn((180.0f * std::atan2(east, north)) / SPHERE_PI),
            azimuth_in_turn((180.0f * std::atan2(-east, back_north)) / SPHERE_PI)};
}
