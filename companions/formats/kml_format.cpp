// OGC KML 2.2, the format of Google Earth: a Document holding a Folder
// "rings" of one Placemark per ring distance and per strike line (the
// features of the GeoJSON, in its order, with its fields and vertices) and a
// Folder "centre" holding the centre as a Point. Readers that make a layer
// per folder, as GDAL does, so find the rings alone in layer "rings".

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_output.h"
#include "base/ring_palette.h"
#include "formats/description.h"
#include "formats/format_table.h"
#include "lines/great_circles.h"
#include "run_file/contour_run.h"

namespace {

// KML's colour "aabbggrr": opaque, then blue, green and red as two hex
// digits each.
std::string kml_colour(const rgb_colour& colour) {
    static constexpr char HEX[] = "0123456789abcdef";
    std::string text = "ff";
    for (const int level : {colour.blue, colour.green, colour.red}) {
        text += HEX[level / 16];
        text += HEX[level % 16];
    }
    return text;
}

// "30°": the degree sign in UTF-8.
void put_degrees_name(std::int32_t degrees, text_output& out) {
    out.put("<name>");
    out.put_integer(degrees);
    out.put("\xc2\xb0</name>");
}

// One style per ring distance, turbo spanning the ring distances from the
// smallest to the largest (over at least 1 degree), as the map's colour
// table does; strike lines grey; the centre a red star.
void put_styles(const std::vector<map_feature>& features, text_output& out) {
    std::int32_t low = 180;
    std::int32_t high = 0;
    for (const map_feature& feature : features) {
        if (feature.kind == line_kind::ring) {
            low = std::min(low, feature.degrees);
            high = std::max(high, feature.degrees);
        }
    }
    for (const map_feature& feature : features) {
        if (feature.kind == line_kind::ring) {
            out.put("<Style id=\"ring");
            out.put_integer(feature.degrees);
            out.put("\"><LineStyle><color>");
            out.put(kml_colour(ring_colour(feature.degrees, low, high)));
            out.put("</color><width>2</width></LineStyle></Style>\n");
        }
    }
    out.put("<Style id=\"strike\"><LineStyle><color>ff808080</color><width>1</width>"
            "</LineStyle></Style>\n"
            "<Style id=\"centre\"><IconStyle><color>ff0000ff</color><Icon>"
            "<href>http://maps.google.com/mapfiles/kml/shapes/star.png</href>"
            "</Icon></IconStyle></Style>\n");
}

// The fields as the GeoJSON carries them, typed by a Schema: `line`, and
// `distance` and `azimuth` where some feature holds them.
void put_schema(const feature_fields& fields, text_output& out) {
    out.put("<Schema name=\"rings\" id=\"fields\">"
            "<SimpleField name=\"line\" type=\"string\"/>");
    if (fields.distance) {
        out.put("<SimpleField name=\"distance\" type=\"int\"/>");
    }
    if (fields.azimuth) {
        out.put("<SimpleField name=\"azimuth\" type=\"int\"/>");
    }
    out.put("</Schema>\n");
}

// A line's name, style and fields; the field it has no value for left out.
void put_placemark_head(const map_feature& feature, text_output& out) {
    const bool ring = feature.kind == line_kind::ring;
    out.put("<Placemark>");
    put_degrees_name(feature.degrees, out);
    if (ring) {
        out.put("<styleUrl>#ring");
        out.put_integer(feature.degrees);
        out.put("</styleUrl><ExtendedData><SchemaData schemaUrl=\"#fields\">"
                "<SimpleData name=\"line\">ring</SimpleData><SimpleData name=\"distance\">");
    } else {
        out.put("<styleUrl>#strike</styleUrl><ExtendedData><SchemaData schemaUrl=\"#fields\">"
                "<SimpleData name=\"line\">strike</SimpleData><SimpleData name=\"azimuth\">");
    }
    out.put_integer(feature.degrees);
    out.put("</SimpleData></SchemaData></ExtendedData>");
}

// The parts as LineStrings draped on the ground (tessellate), so that
// Google Earth draws each segment along the surface.
void put_geometry(const map_feature& feature, text_output& out) {
    out.put("<MultiGeometry>");
    for (const std::vector<line_vertex>& part : feature.parts) {
        out.put("<LineString><tessellate>1</tessellate><coordinates>");
        for (std::size_t i = 0; i < part.size(); ++i) {
            if (i > 0) {
                out.put(' ');
            }
            out.put_real(part[i].lon);
            out.put(',');
            out.put_real(part[i].lat);
        }
        out.put("</coordinates></LineString>");
    }
    out.put("</MultiGeometry>");
}

void write_kml(const contour_run& run, int strike_step, text_output& out) {
    const std::vector<map_feature> features = map_features(lines_of_run(run, strike_step));
    out.put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
            "<Document><name>dist-strike-contour</name><description>");
    // Digits, letters and punctuation only: nothing to escape for XML.
    put_description(run, out);
    out.put("</description>\n");
    put_styles(features, out);
    put_schema(fields_of(features), out);
    out.put("<Folder><name>rings</name>\n");
    for (const map_feature& feature : features) {
        put_placemark_head(feature, out);
        put_geometry(feature, out);
        out.put("</Placemark>\n");
    }
    const contour_position& given = run.rings[0].positions[0];
    const line_vertex centre = surface_point(given.lon, given.lat);
    out.put("</Folder>\n"
            "<Folder><name>centre</name><Placemark><name>centre</name>"
            "<styleUrl>#centre</styleUrl><Point><coordinates>");
    out.put_real(centre.lon);
    out.put(',');
    out.put_real(centre.lat);
    out.put("</coordinates></Point></Placemark></Folder>\n"
            "</Document>\n"
            "</kml>\n");
}

}  // namespace

const export_format KML_FORMAT{
    "kml",
    "OGC KML 2.2 for Google Earth: the features of geojson in a\n"
    "folder \"rings\", coloured by distance, and the centre in a\n"
    "folder \"centre\"",
    write_kml};
