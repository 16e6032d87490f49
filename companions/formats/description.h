#pragma once

#include "base/text_output.h"
#include "run_file/contour_run.h"

// "Rings of equal great-circle distance (degrees) on a sphere around LON, LAT",
// the centre as the file gives it: the line every format describes itself by.
void put_description(const contour_run& run, text_output& out);
