// GDAL's OGR/GMT vector format: GMT's table with the fields of each
// feature and its coordinate system in comments that GDAL reads.

#include "formats/description.h"
#include "formats/format_table.h"
#include "formats/gmt_table.h"
#include "lines/great_circles.h"

namespace {

// WGS 84 longitude and latitude, as GDAL writes it in OGR/GMT headers; the
// rings themselves are computed on a sphere (the description says so).
constexpr const char* OGR_COORDINATE_SYSTEM =
    "# @Je4326\n"
    "# @Jp\"+proj=longlat +datum=WGS84 +no_defs\"\n"
    "# @Jw\"GEOGCS[\\\"WGS 84\\\",DATUM[\\\"WGS_1984\\\",SPHEROID[\\\"WGS 84\\\",6378137,"
    "298.257223563,AUTHORITY[\\\"EPSG\\\",\\\"7030\\\"]],AUTHORITY[\\\"EPSG\\\",\\\"6326\\\"]],"
    "PRIMEM[\\\"Greenwich\\\",0,AUTHORITY[\\\"EPSG\\\",\\\"8901\\\"]],UNIT[\\\"degree\\\","
    "0.0174532925199433,AUTHORITY[\\\"EPSG\\\",\\\"9122\\\"]],AXIS[\\\"Latitude\\\",NORTH],"
    "AXIS[\\\"Longitude\\\",EAST],AUTHORITY[\\\"EPSG\\\",\\\"4326\\\"]]\"\n";

// "# @Nline|distance|azimuth" and their types, the fields present.
void put_field_names(const feature_fields& fields, text_output& out) {
    out.put("# @Nline");
    out.put(fields.distance ? "|distance" : "");
    out.put(fields.azimuth ? "|azimuth" : "");
    out.put("\n# @Tstring");
    out.put(fields.distance ? "|integer" : "");
    out.put(fields.azimuth ? "|integer" : "");
    out.put("\n");
}

// "# @Dring|10|" or "# @Dstrike||30": the feature's values, one per field.
void put_feature_values(const map_feature& feature, const feature_fields& fields,
                        text_output& out) {
    const bool ring = feature.kind == line_kind::ring;
    out.put(ring ? "# @Dring" : "# @Dstrike");
    if (fields.distance) {
        out.put('|');
        if (ring) {
            out.put_integer(feature.degrees);
        }
    }
    if (fields.azimuth) {
        out.put('|');
        if (!ring) {
            out.put_integer(feature.degrees);
        }
    }
    out.put('\n');
}

void write_ogr_gmt(const contour_run& run, int strike_step, text_output& out) {
    const std::vector<map_feature> features = map_features(lines_of_run(run, strike_step));
    const feature_fields fields = fields_of(features);
    out.put("# @VGMT1.0 @GMULTILINESTRING\n");
    out.put(OGR_COORDINATE_SYSTEM);
    put_field_names(fields, out);
    out.put("# ");
    put_description(run, out);
    out.put("\n# FEATURE_DATA\n");
    for (const map_feature& feature : features) {
        // A feature's first part carries its values; further parts follow
        // it, each after its own ">".
        for (std::size_t p = 0; p < feature.parts.size(); ++p) {
            out.put(">\n");
            if (p == 0) {
                put_feature_values(feature, fields, out);
            }
            put_vertices(feature.parts[p], out);
        }
    }
}

}  // namespace

const export_format OGR_FORMAT{
    "ogr",
    "GDAL's OGR/GMT vector format (save it as NAME.gmt): one feature\n"
    "per piece, fields line, distance and azimuth, WGS 84 longitude\n"
    "and latitude in -180..180, lines cut at the antimeridian",
    write_ogr_gmt};
