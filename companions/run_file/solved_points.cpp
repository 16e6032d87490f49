#include "run_file/solved_points.h"

solved_points::solved_points(float center_lon, float center_lat)
    : solver_(center_lon, center_lat) {
    for (std::size_t az = 0; az < azimuths_.size(); ++az) {
        azimuths_[az] = grid_azimuth(static_cast<float>(az));
    }
}

void solved_points::start_ring(std::int32_t ring_dist) {
    frame_.emplace(solver_.ring_at(static_cast<float>(ring_dist)));
}
