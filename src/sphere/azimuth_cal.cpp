#include "sphere/azimuth_cal.h"

void azimuth_cal(const float& lon1, const float& lat1, const float& lon2,
                 const float& lat2, float& az) {
    const azimuth_point p = azimuth_point_of(lon1, latitude_terms_of(lat1));
    const azimuth_point q = azimuth_point_of(lon2, latitude_terms_of(lat2));
    az = azimuth_between(p, q);
}
