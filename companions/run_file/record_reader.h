#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "line_layout.h"
#include "run_file/contour_run.h"

// One line of a contour file read back with the record layout the program
// writes: the five items at their columns, each holding exactly the text the
// program writes for its value, so that any other line is told apart.

// Reads the line (of record length) into `position` and `grid_dist`. False,
// with what is wrong in `problem` (e.g. "a latitude in columns 19-34"), when
// an item is not the text the program writes for any value. The ring
// distance the record most likely has, `likely` laid out as `likely_item`,
// is tried first for both integer items: it is nearly always right.
bool read_record(std::string_view line, std::int32_t likely, const integer_item& likely_item,
                 contour_position& position, std::int32_t& grid_dist, std::string& problem);

// Reads the line (of record length) when it is the record nearly every
// line of a ring is: its ring distance and its check both `ring_item`, its
// azimuth `azimuth_item`, and its longitude and latitude in the fixed form.
// Every one of the line's characters is checked against the layout, so a
// line read so holds no newline. False for any other line, which
// read_record then reads in full.
bool read_usual_record(std::string_view line, const integer_item& ring_item,
                       const real_item& azimuth_item, contour_position& position);

// The record's azimuth item, as written.
std::string_view azimuth_field(std::string_view line);
