#pragma once

#include <string>

#include "base/output_rule.h"

// The picture file: its format from its extension, and the picture GMT
// made copied into it.

struct picture_format {
    std::string gmt_name;  // the format as "gmt begin" takes it, also the
                           // extension of the file GMT makes
};

// The format for OUTPUT's extension (png, pdf, jpg or jpeg, eps, ps, tif or
// tiff, bmp, ppm, in any case). False when it has none of them.
bool picture_format_of(const std::string& output, picture_format& format);

// Copies the picture GMT made (the file `made`) into the output. False, with
// why, when GMT made none, when the copy failed, or on a stop.
bool copy_picture(const std::string& made, const output_file& output, std::string& problem);
