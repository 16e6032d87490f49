#include "points/point_measure.h"

#include <cmath>

point_measure::point_measure(float centre_lon, float centre_lat)
    : lon_(centre_lon),
      lat_(centre_lat),
      colatitude_(colatitude_terms_of(centre_lat)),
      azimuth_(azimuth_point_of(centre_lon, latitude_terms_of(centre_lat))) {}

point_measurement point_measure::measure(float lon, float lat) const {
    const latitude_pair_terms pair = latitude_pair_terms_of(colatitude_, colatitude_terms_of(lat));
    const azimuth_point point = azimuth_point_of(lon, latitude_terms_of(lat));
    return {dist_from_terms(pair, lat_, lon_, lat, lon),
            azimuth_in_turn(azimuth_between(azimuth_, point)),
            azimuth_in_turn(azimuth_between(point, azimuth_))};
}

float azimuth_in_turn(float az) {
    // Adding +0 turns -0 into +0 and leaves every other value as it is.
    const float turned = az < 0.0f ? az + 360.0f : az + 0.0f;
    return turned >= 360.0f ? 0.0f : turned;
}

bool measure_rows(const point_file& points, const point_measure& centre,
                  std::vector<point_measurement>& measurements, std::string& problem) {
    measurements.clear();
    measurements.reserve(points.table.rows.size());
    for (const point_row& row : points.table.rows) {
        // The distance alone may be NaN for a point very near the centre
        // (the routine's cosine rounded above 1): that is its measurement,
        // written as nan. A longitude whose radians overflow has none.
        if (!std::isfinite(sphere_radians(row.lon))) {
            problem = points.name + ":" + std::to_string(row.line) +
                      ": expected a point that can be measured from the centre, not longitude " +
                      std::string(points.table.field(row, 0)) +
                      " (too far beyond -180..180 degrees)";
            return false;
        }
        measurements.push_back(centre.measure(row.lon, row.lat));
    }
    return true;
}
