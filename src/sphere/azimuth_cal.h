#pragma once

// Azimuth from point 1 towards point 2, in degrees clockwise from north:
// 0 north, 90 east, -90 west, +-180 south (not brought into 0..360).
// Arguments: lon1, lat1, lon2, lat2 (degrees; longitude first), result in az.
void azimuth_cal(const float& lon1, const float& lat1, const float& lon2,
                 const float& lat2, float& az);
