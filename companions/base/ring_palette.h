#pragma once

#include <cstdint>

// The one palette the rings are coloured by, on the map and in the KML
// alike: turbo (dark blue through green and yellow to dark red), spanning
// the ring distances of a file from the smallest to the largest.

struct rgb_colour {
    int red;  // 0..255 each
    int green;
    int blue;
};

// Turbo at t in 0..1, from the published polynomial approximation of its
// table: within 32/255 of the table on each channel, the most at its dark
// blue end.
rgb_colour turbo_colour(double t);

// The colour of the ring at `degrees` when the rings span low..high degrees
// (over at least 1 degree).
rgb_colour ring_colour(std::int32_t degrees, std::int32_t low, std::int32_t high);
