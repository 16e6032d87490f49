#pragma once

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
    float distance;      // degrees of arc, 0..180; NaN where dist_calculation gives NaN
    float azimuth;       // from the centre to the point, degrees clockwise from north, [0, 360)
    float back_azimuth;  // from the point to the centre, [0, 360)
};

class point_measure {
public:
    point_measure(float centre_lon, float centre_lat);

    point_measurement measure(float lon, float lat) const;

private:
    float lon_;
    float lat_;
    colatitude_terms colatitude_;
    azimuth_point azimuth_;
};

// An azimuth of the sphere routines (-180..180, a last-place step beyond
// possible) brought into [0, 360): 360 is added to a negative one, in single
// precision, and a sum that rounds to 360 (a tiny negative) is 0, as is -0.
float azimuth_in_turn(float az);

// Every row of a point file measured from `centre`, in the rows' order.
// False, with "NAME:LINE: ..." in `problem`, at the first row whose
// longitude lies so far beyond +-180 degrees that its conversion to radians
// overflows: it has no direction from the centre. A NaN distance of a point
// very near the centre is kept: it is what the routine gives.
bool measure_rows(const point_file& points, const point_measure& centre,
                  std::vector<point_measurement>& measurements, std::string& problem);
