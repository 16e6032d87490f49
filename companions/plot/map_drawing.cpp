#include "plot/map_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "base/output_rule.h"
#include "base/ring_palette.h"
#include "base/text_output.h"
#include "formats/gmt_table.h"
#include "lines/ring_lines.h"
#include "plot/overlay_labels.h"

namespace {

// The map is a disc 15 cm across; raster pictures have 200 dots per inch.
constexpr double MAP_WIDTH = 15.0;
constexpr const char* RASTER_RESOLUTION = "E200";

// Ring pens (points): rings further apart on the map than a few points all
// get the full pen; closer ones a pen to their spacing, thinner for the
// rings without a label, so that step 1 still shows separate rings.
constexpr double FULL_PEN = 1.2;
constexpr double WIDE_SPACING = 4.0;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string pen(double width, const char* colour = nullptr) {
    return number(width) + "p" + (colour != nullptr ? std::string(",") + colour : "");
}

// A table in the session's directory, written whole under the one output
// rule, as every file the plot writes.
class table_file {
public:
    explicit table_file(const std::string& path)
        : opened_(file_.open(path, problem_)), out_(file_.fd()) {}
    text_output& out() { return out_; }
    // False, with why, when the table could not be written whole.
    bool finish(std::string& problem) {
        if (opened_ && !out_.flush()) {
            problem_ = "cannot write " + file_.path() + ": " + std::strerror(out_.error_number());
        } else if (opened_ && file_.commit(problem_)) {
            return true;
        }
        problem = "cannot write GMT's tables: " + problem_;
        return false;
    }

private:
    // For GMT alone, and readable to it whatever the umask.
    output_file file_{"dist-strike-contour-plot", 0600};
    std::string problem_;
    bool opened_;
    text_output out_;
};

// Writes a table in the session's directory: `put` fills it.
template <typename Put>
bool write_table(gmt_session& session, const char* name, std::string& problem, Put put) {
    table_file file(session.path(name));
    put(file.out());
    return file.finish(problem);
}

bool write_lines(gmt_session& session, const char* name, const contour_run& run,
                 const std::vector<contour_line>& lines, std::string& problem) {
    return write_table(session, name, problem,
                       [&](text_output& out) { write_gmt_table(run, lines, out); });
}

// "lon lat text" records for GMT's text command, of the labels of the kinds
// given (the centre's box has no text).
bool write_labels(gmt_session& session, const char* name, const label_plan& plan,
                  std::initializer_list<label_kind> kinds, std::string& problem) {
    return write_table(session, name, problem, [&](text_output& out) {
        char position[64];
        for (const map_label& label : plan.labels) {
            if (std::find(kinds.begin(), kinds.end(), label.kind) != kinds.end()) {
                std::snprintf(position, sizeof position, "%.9g %.9g ", label.at.lon, label.at.lat);
                out.put(position);
                out.put(label.kind == label_kind::centre ? std::string() : label.text);
                out.put('\n');
            }
        }
    });
}

bool write_text(gmt_session& session, const char* name, const std::string& text,
                std::string& problem) {
    return write_table(session, name, problem, [&](text_output& out) {
        out.put(text);
        out.put('\n');
    });
}

// The bands, the points and the legend.
bool write_overlays(gmt_session& session, const map_request& request, const azimuthal_map& map,
                    std::string& problem) {
    return write_table(session, "bands.txt", problem,
                       [&](text_output& out) { put_band_polygons(map, request.bands, out); }) &&
           write_table(session, "filled-points.txt", problem,
                       [&](text_output& out) { put_point_marks(request.points, true, out); }) &&
           write_table(session, "hollow-points.txt", problem,
                       [&](text_output& out) { put_point_marks(request.points, false, out); }) &&
           write_table(session, "legend.txt", problem, [&](text_output& out) {
               put_legend(map, request.bands, request.points, out);
           });
}

// Ring pieces up to the largest distance drawn, labelled or not.
void split_rings(const map_request& request, std::int32_t interval,
                 std::vector<contour_line>& labelled, std::vector<contour_line>& others) {
    for (contour_line& piece : ring_pieces(*request.run)) {
        if (piece.degrees <= request.max_distance) {
            (piece.degrees % interval == 0 ? labelled : others).push_back(std::move(piece));
        }
    }
}

// The rings' palette as GMT's colour table, spanning the rings drawn: a
// slice a degree wide from each whole degree, from its colour to the next
// one's, so that each ring takes exactly the colour the KML gives it.
void put_ring_palette(const std::vector<contour_line>& a, const std::vector<contour_line>& b,
                      text_output& out) {
    std::int32_t low = 180;
    std::int32_t high = 0;
    for (const auto* lines : {&a, &b}) {
        for (const contour_line& line : *lines) {
            low = std::min(low, line.degrees);
            high = std::max(high, line.degrees);
        }
    }
    high = std::max(high, low + 1);
    char slice[96];
    for (std::int32_t d = low; d < high; ++d) {
        const rgb_colour from = ring_colour(d, low, high);
        const rgb_colour to = ring_colour(d + 1, low, high);
        std::snprintf(slice, sizeof slice, "%d %d/%d/%d %d %d/%d/%d\n", static_cast<int>(d),
                      from.red, from.green, from.blue, static_cast<int>(d + 1), to.red, to.green,
                      to.blue);
        out.put(slice);
    }
}

struct ring_pens {
    double labelled;  // points
    double others;
    int others_transparency;  // percent
};

// Rings closer than a few points: the labelled ones (index rings) keep a
// pen to their spacing, the others are hairlines, mostly transparent, so
// that land, ocean and bands read through them as on a map of wide steps.
constexpr double HAIRLINE = 0.25;           // points
constexpr int HAIRLINE_TRANSPARENCY = 75;  // percent

ring_pens pens_for(const map_request& request, const azimuthal_map& map) {
    const double spacing = request.run->dist_step / request.horizon * map.radius / CM_PER_POINT;
    if (spacing >= WIDE_SPACING) {
        return {FULL_PEN, FULL_PEN, 0};
    }
    return {std::clamp(spacing * 0.8, 0.8, FULL_PEN), HAIRLINE, HAIRLINE_TRANSPARENCY};
}

// The latitude of the projection's centre as GMT is given it. Centred
// exactly on a pole (or on what prints as one), GMT 6 paints the whole disc
// as ocean, without a frame and without a word; a ten-thousandth of a
// degree away (0.004 mm on the map) it draws the map right.
double projection_latitude(double lat) {
    constexpr double NEAREST_TO_POLE = 89.9999;  // degrees
    return std::fabs(lat) > NEAREST_TO_POLE ? std::copysign(NEAREST_TO_POLE, lat) : lat;
}

// "gmt begin": raster formats at the raster resolution, vector ones as they
// are. Ghostscript 10 draws translucent fills (the bands) only when told it
// may: GMT 6.4 leaves the option out for that version and the bands came
// out opaque.
std::vector<std::string> begin_command(const picture_format& format) {
    const std::string& name = format.gmt_name;
    const std::string translucent = "C-dALLOWPSTRANSPARENCY";
    if (name == "pdf" || name == "eps" || name == "ps") {
        return {"begin", "picture", name, translucent};
    }
    return {"begin", "picture", name, std::string(RASTER_RESOLUTION) + "," + translucent};
}

// The map's square in its own centimetres, for what is drawn in them.
std::vector<std::string> cartesian_frame(const azimuthal_map& map) {
    const std::string r = number(map.radius);
    return {"-R-" + r + "/" + r + "/-" + r + "/" + r, "-Jx1c"};
}

// The points' triangles (or the events' circles, sized by their records),
// over the rings and under every label.
void point_commands(const map_request& request, std::vector<std::vector<std::string>>& commands) {
    const bool events = !request.points.empty() && request.points[0].size > 0.0;
    const std::string symbol = events ? "-Sc" : "-St" + number(POINT_MARK_SIZE) + "c";
    if (!request.points.empty()) {
        commands.push_back({"plot", "hollow-points.txt", symbol, "-W1p," + std::string(POINT_COLOUR)});
        commands.push_back({"plot", "filled-points.txt", symbol, "-G" + std::string(POINT_COLOUR),
                            "-W0.5p,black"});
    }
}

// What is drawn last: the bands' and points' labels, the colour scale and
// the legend.
void overlay_commands(const map_request& request, const azimuthal_map& map,
                      const std::string& font,
                      const std::string& clearance,
                      std::vector<std::vector<std::string>>& commands) {
    const bool overlays = !request.bands.empty() || !request.points.empty();
    if (overlays) {
        commands.push_back({"text", "overlay-labels.txt", "-F" + font + "Helvetica,black+jMC",
                            "-Gwhite@30", clearance});
    }
    commands.push_back({"colorbar", "-DJBC+w10c/0.25c+o0/0.5c+h",
                        "-Bxaf+ldistance from the centre (degrees)"});
    if (legend_entries(map, request.bands, request.points) > 0) {
        commands.push_back({"legend", "legend.txt", "-DJBC+o0/2.1c+w13c", "-F+gwhite+p0.25p,gray50"});
    }
}

std::vector<std::vector<std::string>> gmt_commands(const map_request& request,
                                                   const azimuthal_map& map,
                                                   bool other_rings) {
    const bool strike_lines = request.strike_step > 0;
    const std::string projection = "-JE" + number(map.centre.lon) + "/" +
                                   number(projection_latitude(map.centre.lat)) + "/" +
                                   number(request.horizon) + "/" + number(MAP_WIDTH) + "c";
    // Crude coastlines for the globe, the low resolution ones closer in.
    const bool global = request.horizon >= 60.0;
    const ring_pens pens = pens_for(request, map);
    const std::string font = "+f" + number(LABEL_FONT_SIZE) + "p,";
    const std::string clearance =
        "-C" + number(LABEL_CLEARANCE) + "p/" + number(LABEL_CLEARANCE) + "p";
    std::vector<std::vector<std::string>> commands{
        begin_command(request.format),
        {"set", "MAP_FRAME_PEN", "1p,black", "PS_CHAR_ENCODING", "ISOLatin1+",
         "FONT_ANNOT_PRIMARY", "8p,Helvetica", "FONT_LABEL", "9p,Helvetica"},
        {"coast", "-Rg", projection, global ? "-Dc" : "-Dl", global ? "-A10000" : "-A1000",
         "-Gwheat", "-Slightblue", "-W0.25p,gray40", "-B0"},
        {"makecpt", "-Crings.cpt"}};
    if (!request.bands.empty()) {
        std::vector<std::string> bands{"plot", "bands.txt"};
        for (std::string& argument : cartesian_frame(map)) {
            bands.push_back(std::move(argument));
        }
        commands.push_back(bands);
    }
    // The rings back on the map's own projection, the labelled ones on top.
    if (other_rings) {
        commands.push_back({"plot", "other-rings.txt", "-Rg", projection, "-C",
                            "-W" + pen(pens.others) + "+z",
                            "-t" + std::to_string(pens.others_transparency)});
    }
    commands.push_back({"plot", "labelled-rings.txt", "-Rg", projection, "-C",
                        "-W" + pen(pens.labelled) + "+z"});
    if (strike_lines) {
        commands.push_back({"plot", "strike-lines.txt", "-W" + pen(0.6, "gray25")});
    }
    // The centre under the points, so that a station beside it shows whole.
    commands.push_back({"plot", "centre.txt", "-Sa" + number(CENTRE_MARK_SIZE) + "c", "-Gred",
                        "-W0.5p,black"});
    point_commands(request, commands);
    commands.push_back({"text", "ring-labels.txt", "-F" + font + "Helvetica-Bold,black+jMC",
                        "-Gwhite", clearance});
    if (strike_lines) {
        commands.push_back({"text", "strike-labels.txt",
                            "-F" + font + "Helvetica-Oblique,gray20+jMC", "-Gwhite", clearance});
    }
    overlay_commands(request, map, font, clearance, commands);
    if (!request.title.empty()) {
        commands.push_back(
            {"text", "title.txt", "-F+cTC+jBC+f14p,Helvetica-Bold", "-D0/0.4c", "-N"});
    }
    commands.push_back({"end"});
    return commands;
}

}  // namespace

azimuthal_map map_of(const contour_run& run, double horizon) {
    const contour_position& centre = run.rings[0].positions[0];
    const line_vertex point = surface_point(centre.lon, centre.lat);
    return {{static_cast<double>(point.lon), static_cast<double>(point.lat)}, horizon, MAP_WIDTH / 2};
}

bool draw_map(gmt_session& session, const map_request& request, label_plan& plan,
              std::string& problem) {
    const azimuthal_map map = map_of(*request.run, request.horizon);
    std::vector<mark_place> marks;
    for (const point_mark& point : request.points) {
        marks.push_back({point.at, mark_size(point)});
    }
    plan = plan_labels(*request.run, map, request.max_distance, request.strike_step, marks);
    plan_overlay_labels(map, request.bands, request.points, plan);
    std::vector<contour_line> labelled;
    std::vector<contour_line> others;
    split_rings(request, plan.ring_interval, labelled, others);
    const bool written =
        write_lines(session, "labelled-rings.txt", *request.run, labelled, problem) &&
        write_lines(session, "other-rings.txt", *request.run, others, problem) &&
        write_table(session, "rings.cpt", problem,
                    [&](text_output& out) { put_ring_palette(labelled, others, out); }) &&
        write_labels(session, "ring-labels.txt", plan, {label_kind::ring}, problem) &&
        write_labels(session, "strike-labels.txt", plan, {label_kind::strike}, problem) &&
        write_labels(session, "overlay-labels.txt", plan, {label_kind::band, label_kind::point},
                     problem) &&
        write_overlays(session, request, map, problem) &&
        write_text(session, "centre.txt", number(map.centre.lon) + " " + number(map.centre.lat),
                   problem) &&
        write_text(session, "title.txt", request.title, problem) &&
        (request.strike_step == 0 ||
         write_lines(session, "strike-lines.txt", *request.run,
                     strike_lines(*request.run, request.strike_step), problem));
    if (!written) {
        return false;
    }
    for (const std::vector<std::string>& command :
         gmt_commands(request, map, !others.empty())) {
        if (!session.run(command, problem)) {
            return false;
        }
    }
    return true;
}
