#pragma once

// The map's projection: azimuthal equidistant, centred on the contour's
// centre, so that every ring comes out as a circle around it. Distances are
// degrees of arc on the sphere; map positions are centimetres from the
// map's centre, x to the east (right) and y to the north (up) of it.

// Centimetres per point (1/72 inch), the unit of pens and fonts.
inline constexpr double CM_PER_POINT = 2.54 / 72.0;

struct geo_point {
    double lon;  // degrees east
    double lat;  // degrees north
};

struct map_point {
    double x;  // cm
    double y;  // cm
};

struct azimuthal_map {
    geo_point centre;
    double horizon;  // degrees of arc from the centre to the map's edge
    double radius;   // cm from the centre to the map's edge
};

// Where a point of the sphere falls on the map.
map_point project(const azimuthal_map& map, const geo_point& point);

// Whether a point of the sphere lies on the map, its edge included.
bool on_map(const azimuthal_map& map, const geo_point& point);

// The point at `distance` degrees of arc and `azimuth` degrees clockwise
// from north, seen from the map's centre.
geo_point point_towards(const azimuthal_map& map, double distance, double azimuth);
