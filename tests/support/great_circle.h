#pragma once

#include <cmath>

// An independent double-precision great-circle measurement, for checking
// what the program and its commands place on the sphere.
struct great_circle {
    double dist;  // degrees
    double az;    // degrees clockwise from north, -180..180
};

inline great_circle measure(double lon1, double lat1, double lon2, double lat2) {
    const double rad = M_PI / 180.0;
    const double phi1 = lat1 * rad;
    const double phi2 = lat2 * rad;
    const double dlon = (lon2 - lon1) * rad;
    const double north = std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dlon);
    const double east = std::sin(dlon) * std::cos(phi2);
    const double up = std::sin(phi1) * std::sin(phi2) + std::cos(phi1) * std::cos(phi2) * std::cos(dlon);
    return {std::atan2(std::hypot(north, east), up) / rad, std::atan2(east, north) / rad};
}
