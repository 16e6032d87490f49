#pragma once

#include <string>
#include <string_view>

#include "base/text_output.h"
#include "run_file/contour_run.h"

// The forms the export writes a whole run in, one row each: a format is one
// file holding its writer and its row, named in the list below and in the
// table's order in format_table.cpp.
struct export_format {
    const char* name;  // as --format takes it
    const char* help;  // what it is, for --help: lines of at most 64 characters
    // Writes the run: each ring but the centre ring as its pieces, broken
    // where positions are unresolved, then, when strike_step is not 0, the
    // strike lines every strike_step degrees of azimuth from 0.
    void (*write)(const contour_run& run, int strike_step, text_output& out);
};

// The rows, each defined in its format's file.
extern const export_format GMT_FORMAT;
extern const export_format OGR_FORMAT;
extern const export_format GEOJSON_FORMAT;
extern const export_format CSV_FORMAT;
extern const export_format KML_FORMAT;

// The format of this name; nullptr when there is none.
const export_format* find_format(std::string_view name);

// The first format, used when none is asked for.
const export_format& default_format();

// "gmt, ogr, geojson, csv or kml".
std::string format_names();

// Each format's name and help, for --help.
std::string format_help();
