// RFC 7946 GeoJSON: a FeatureCollection of one feature per piece of ring or
// strike line, longitudes in [-180, 180], lines cut at the antimeridian.

#include "formats/description.h"
#include "lines/great_circles.h"
#include "output/text_output.h"
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

// A LineString, a MultiLineString when the antimeridian cut the line, or a
// Point for a piece of a single position (a line needs two).
void put_geometry(const map_feature& feature, text_output& out) {
    const auto& parts = feature.parts;
    if (parts.size() == 1 && parts[0].size() == 1) {
        out.put("{\"type\":\"Point\",\"coordinates\":");
        put_position(parts[0][0], out);
    } else if (parts.size() == 1) {
        out.put("{\"type\":\"LineString\",\"coordinates\":");
        put_positions(parts[0], out);
    } else {
        out.put("{\"type\":\"MultiLineString\",\"coordinates\":[");
        for (std::size_t p = 0; p < parts.size(); ++p) {
            if (p > 0) {
                out.put(',');
            }
            put_positions(parts[p], out);
        }
        out.put(']');
    }
    out.put('}');
}

void put_properties(const map_feature& feature, text_output& out) {
    if (feature.kind == line_kind::ring) {
        out.put("{\"line\":\"ring\",\"distance\":");
        out.put_integer(feature.degrees);
        out.put(",\"azimuth\":null}");
    } else {
        out.put("{\"line\":\"strike\",\"distance\":null,\"azimuth\":");
        out.put_integer(feature.degrees);
        out.put('}');
    }
}

}  // namespace

// The writer of the format table.
void write_geojson(const contour_run& run, int strike_step, text_output& out);

void write_geojson(const contour_run& run, int strike_step, text_output& out) {
    const std::vector<map_feature> features = map_features(lines_of_run(run, strike_step));
    out.put("{\"type\":\"FeatureCollection\",\"name\":\"rings\",\"description\":\"");
    put_description(run, out);
    out.put("\",\"features\":[");
    for (std::size_t f = 0; f < features.size(); ++f) {
        out.put(f == 0 ? "\n" : ",\n");
        out.put("{\"type\":\"Feature\",\"properties\":");
        put_properties(features[f], out);
        out.put(",\"geometry\":");
        put_geometry(features[f], out);
        out.put('}');
    }
    out.put("\n]}\n");
}
