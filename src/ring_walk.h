#pragma once

#include "input_reader.h"
#include "output_channel.h"

// Walks every ring distance 0, step, 2 x step ... up to 175 degrees and,
// within each ring, every azimuth 0..360. Writes one contour record per
// position and a separator after each ring to `contour`, and one error line
// per unresolved position to `errors`, each before its position's record.
// Stops early once the contour channel has failed. A negative step walks
// no rings.
void walk_rings(const run_input& input, output_channel& contour, output_channel& errors);

// Number of rings for a positive step: 175 / step + 1.
int ring_count(int step);
