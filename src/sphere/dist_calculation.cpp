#include "sphere/dist_calculation.h"

void dist_calculation(const float& lat1, const float& lon1, const float& lat2,
                      const float& lon2, float& dist) {
    const latitude_pair_terms pair =
        latitude_pair_terms_of(colatitude_terms_of(lat1), colatitude_terms_of(lat2));
    dist = dist_from_terms(pair, lat1, lon1, lat2, lon2);
}
