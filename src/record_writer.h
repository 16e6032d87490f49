#pragma once

#include <cstdint>

#include "line_layout.h"

// The items and lines of the layout, from the values they show.

// A real item: 9 significant digits, correctly rounded; fixed form for zero
// and for rounded magnitudes in [0.1, 1e9) (right-aligned in 12, then 4
// blanks), exponent form otherwise (right-aligned in 16); "NaN", "Infinity",
// "-Infinity" for the special values.
real_item make_real_item(float value);

// An integer item, right-aligned.
integer_item make_integer_item(std::int32_t value);

// One contour record from its five items.
contour_record make_contour_record(const real_item& lon, const real_item& lat,
                                   const integer_item& grid_dist, const real_item& azimuth,
                                   const integer_item& dist_check);

// The line reporting an unresolved position at ring distance `ring_dist`
// and azimuth `ring_az` (degrees).
error_line make_error_line(float ring_dist, float ring_az);

// The line that closes a ring.
separator_line make_separator_line();
