#pragma once

// Great-circle distance between two points on the sphere, in degrees of arc.
// Arguments: lat1, lon1, lat2, lon2 (degrees; latitude first), result in dist.
// The result lies in 0..180 (a last-place step above 180 is possible because
// the degree conversion uses a value of pi one unit below the nearest single).
// Points closer than 0.01 degree (|dlat| + |dlon|) count as coincident: 0.
// When rounding pushes the cosine of the distance above 1 the result is NaN.
void dist_calculation(const float& lat1, const float& lon1, const float& lat2,
                      const float& lon2, float& dist);
