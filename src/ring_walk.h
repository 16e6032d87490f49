#pragma once

#include "contour_file.h"
#include "error_lines.h"
#include "input_result.h"

// Walks every ring distance 0, step, 2 x step ... up to 175 degrees and,
// within each ring, every azimuth 0..360. Writes one contour record per
// position and a separator after each ring to the contour file, and one
// error line per unresolved position, each before its position's record.
// Stops early once the contour file has failed. A negative step walks no
// rings.
void walk_rings(const run_input& input, contour_file& contour, error_lines& errors);
