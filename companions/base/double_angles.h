#pragma once

// Degrees and radians in double precision, for the points the export and
// the map place themselves (great-circle vertices, antimeridian crossings,
// the map's projection and labels); never for the contour's own points,
// which keep the program's single-precision conversions.
inline constexpr double PI = 3.14159265358979323846;
inline constexpr double RADIANS_PER_DEGREE = PI / 180.0;
