#pragma once

#include <string>

// The picture file: its format from its extension, the checks that keep it
// from replacing what it must not, and its writing, whole or not at all.

struct picture_format {
    std::string gmt_name;  // the format as "gmt begin" takes it, also the
                           // extension of the file GMT makes
};

// The format for OUTPUT's extension (png, pdf, jpg or jpeg, eps, ps, tif or
// tiff, bmp, ppm, in any case). False when it has none of them.
bool picture_format_of(const std::string& output, picture_format& format);

// What keeps OUTPUT from being written, or "" when nothing does: "-", an
// existing directory, the contour file itself, a missing directory.
std::string output_problem(const std::string& output, const std::string& contour_file);

// Copies the picture GMT made to a new file beside OUTPUT and renames it
// over OUTPUT, so that OUTPUT is only ever replaced by a whole picture. On
// failure (or a stop) the new file is removed and OUTPUT left as it was.
bool install_picture(const std::string& made, const std::string& output, std::string& problem);
