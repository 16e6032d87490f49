#include "points/point_measure.h"

#include <cmath>

point_measure::point_measure(float centre_lon, float centre_lat)
    : lon_(centre_lon),
      lat_(centre_lat),
      colatitude_(colatitude_terms_of(centre_lat)),
      azimuth_(azimuth_point_of(centre_lon, latitude_terms_of(centre_lat))) {}

measured_point measured_point_of(float lon, float lat) {
    return {lon, lat, colatitude_terms_of(lat), azimuth_point_of(lon, latitude_terms_of(lat))};
}

float point_measure::distance(const measured_point& point) const {
    const latitude_pair_terms pair = latitude_pair_terms_of(colatitude_, point.colatitude);
    const float cosine = distance_cosine(pair, lon_, point.lon);
    const float distance = dist_from_cosine(cosine, lat_, lon_, point.lat, point.lon);
    if (std::isnan(distance)) {
        return cosine > 1.0f ? 0.0f : cosine < -1.0f ? 180.0f : distance;
    }
    // Near the antipode the routine can give the single above 180 (its
    // arccosine of -1 converted with the single nearest pi): 180, within its
    // resolution, so that a window up to 180 keeps the point.
    return distance > 180.0f ? 180.0f : distance;
}

point_measurement point_measure::measure_far(const measured_point& point, float distance) const {
    return {distance, azimuth_in_turn(azimuth_between(azimuth_, point.azimuth)),
            azimuth_in_turn(azimuth_between(point.azimuth, azimuth_))};
}

bool measure_rows(const point_file& points, const point_measure& centre,
                  std::vector<point_measurement>& measurements, std::string& problem) {
    measurements.clear();
    measurements.reserve(points.table.rows.size());
    for (const point_row& row : points.table.rows) {
        // A longitude whose radians overflow has no measurement.
        if (!measurable_longitude(row.lon)) {
            problem = points.name + ":" + std::to_string(row.line) +
                      ": expected a point that can be measured from the centre, not longitude " +
                      std::string(points.table.field(row, points.table.lon_column)) +
                      " (too far beyond -180..180 degrees)";
            return false;
        }
        measurements.push_back(centre.measure(row.lon, row.lat));
    }
    return true;
}
