// RFC 7946 GeoJSON: a FeatureCollection of one feature per piece of ring or
// strike line, longitudes in [-180, 180], lines cut at the antimeridian.

#include "base/text_output.h"
#include "formats/description.h"
#include "formats/format_table.h"
#include "lines/great_circles.h"
#include "run_file/contour_run.h"

namespace {

void put_position(const line_vertex& vertex, text_output& out) {
    out.put('[');
    out.put_real(vertex.lon);
    out.put(',');
    out.put_real(vertex.lat);
    out.put(']');
}

void put_positions(const std::vector<line_vertex>& vertices, text_output& out) {
    out.put('[');
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        if (i > 0) {
            out.put(',');
        }
        put_position(vertices[i], out);
    }
    out.put(']');
}

// Always a MultiLineString, so that the layer has one geometry type.
void put_geometry(const map_feature& feature, text_output& out) {
    out.put("{\"type\":\"MultiLineString\",\"coordinates\":[");
    for (std::size_t p = 0; p < feature.parts.size(); ++p) {
        if (p > 0) {
            out.put(',');
        }
        put_positions(feature.parts[p], out);
    }
    out.put("]}");
}

void put_field(const char* name, bool present, bool own, std::int32_t degrees,
               text_output& out) {
    if (!present) {
        return;
    }
    out.put(",\"");
    out.put(name);
    out.put("\":");
    if (own) {
        out.put_integer(degrees);
    } else {
        out.put("null");
    }
}

void put_properties(const map_feature& feature, const feature_fields& fields,
                    text_output& out) {
    const bool ring = feature.kind == line_kind::ring;
    out.put(ring ? "{\"line\":\"ring\"" : "{\"line\":\"strike\"");
    put_field("distance", fields.distance, ring, feature.degrees, out);
    put_field("azimuth", fields.azimuth, !ring, feature.degrees, out);
    out.put('}');
}

void write_geojson(const contour_run& run, int strike_step, text_output& out) {
    const std::vector<map_feature> features = map_features(lines_of_run(run, strike_step));
    const feature_fields fields = fields_of(features);
    out.put("{\"type\":\"FeatureCollection\",\"name\":\"rings\",\"description\":\"");
    put_description(run, out);
    out.put("\",\"features\":[");
    for (std::size_t f = 0; f < features.size(); ++f) {
        out.put(f == 0 ? "\n" : ",\n");
        out.put("{\"type\":\"Feature\",\"properties\":");
        put_properties(features[f], fields, out);
        out.put(",\"geometry\":");
        put_geometry(features[f], out);
        out.put('}');
    }
    out.put("\n]}\n");
}

}  // namespace

const export_format GEOJSON_FORMAT{"geojson", "RFC 7946 GeoJSON, the same features as ogr",
                                   write_geojson};
