#include "formats/format_table.h"

#include <iterator>

// The writers, one file each.
void write_gmt(const contour_run& run, int strike_step, text_output& out);
void write_ogr_gmt(const contour_run& run, int strike_step, text_output& out);
void write_geojson(const contour_run& run, int strike_step, text_output& out);
void write_csv(const contour_run& run, int strike_step, text_output& out);
void write_kml(const contour_run& run, int strike_step, text_output& out);

namespace {

constexpr export_format FORMATS[] = {
    {"gmt",
     "GMT multisegment table (the default): a \"> -Z<distance>\n"
     "-L\"<distance>\"\" header before each piece of ring, then\n"
     "\"longitude latitude\" records, longitudes continuous",
     write_gmt},
    {"ogr",
     "GDAL's OGR/GMT vector format (save it as NAME.gmt): one feature\n"
     "per piece, fields line, distance and azimuth, WGS 84 longitude\n"
     "and latitude in -180..180, lines cut at the antimeridian",
     write_ogr_gmt},
    {"geojson", "RFC 7946 GeoJSON, the same features as ogr", write_geojson},
    {"csv",
     "one row per record: longitude (-180..180), latitude, distance,\n"
     "azimuth, resolved (1 or 0), line (ring or strike)",
     write_csv},
    {"kml",
     "OGC KML 2.2 for Google Earth: the features of geojson in a\n"
     "folder \"rings\", coloured by distance, and the centre in a\n"
     "folder \"centre\"",
     write_kml},
};

// Column of the help text after the format's name.
constexpr std::size_t HELP_COLUMN = 11;

}  // namespace

const export_format* find_format(std::string_view name) {
    for (const export_format& format : FORMATS) {
        if (name == format.name) {
            return &format;
        }
    }
    return nullptr;
}

const export_format& default_format() {
    return FORMATS[0];
}

std::string format_names() {
    std::string names;
    for (std::size_t i = 0; i < std::size(FORMATS); ++i) {
        names += i == 0 ? "" : i + 1 == std::size(FORMATS) ? " or " : ", ";
        names += FORMATS[i].name;
    }
    return names;
}

std::string format_help() {
    std::string help;
    for (const export_format& format : FORMATS) {
        std::string line = std::string("  ") + format.name;
        line.resize(HELP_COLUMN, ' ');
        for (const char* c = format.help; *c != '\0'; ++c) {
            line += *c;
            if (*c == '\n') {
                line.append(HELP_COLUMN, ' ');
            }
        }
        help += line + "\n";
    }
    return help;
}
