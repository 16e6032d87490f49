#include "plot/map_drawing.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "export/format_writers.h"
#include "export/ring_lines.h"
#include "export/text_output.h"

namespace {

// The map is a disc 15 cm across; raster pictures have 200 dots per inch.
constexpr double MAP_WIDTH = 15.0;
constexpr const char* RASTER_RESOLUTION = "E200";

// Centimetres per point (1/72 inch).
constexpr double CM_PER_POINT = 2.54 / 72.0;

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

// A text file in the session's directory, written through one output.
class table_file {
public:
    explicit table_file(const std::string& path)
        : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)), out_(fd_) {}
    text_output& out() { return out_; }
    bool finish() {
        const bool written = fd_ >= 0 && out_.flush();
        return (fd_ >= 0 && ::close(fd_) == 0) && written;
    }

private:
    int fd_;
    text_output out_;
};

bool write_lines(gmt_session& session, const char* name, const contour_run& run,
                 const std::vector<export_line>& lines) {
    table_file file(session.path(name));
    write_gmt_table(run, lines, file.out());
    return file.finish();
}

// "lon lat text" records for GMT's text command.
bool write_labels(gmt_session& session, const char* name, const label_plan& plan,
                  label_kind kind) {
    table_file file(session.path(name));
    char position[64];
    for (const map_label& label : plan.labels) {
        if (label.kind == kind) {
            std::snprintf(position, sizeof position, "%.9g %.9g ", label.at.lon, label.at.lat);
            file.out().put(position);
            file.out().put(kind == label_kind::centre ? std::string() : label.text);
            file.out().put('\n');
        }
    }
    return file.finish();
}

bool write_text(gmt_session& session, const char* name, const std::string& text) {
    table_file file(session.path(name));
    file.out().put(text);
    file.out().put('\n');
    return file.finish();
}

// Ring pieces up to the largest distance drawn, labelled or not.
void split_rings(const map_request& request, std::int32_t interval,
                 std::vector<export_line>& labelled, std::vector<export_line>& others) {
    for (export_line& piece : ring_pieces(*request.run)) {
        if (piece.degrees <= request.max_distance) {
            (piece.degrees % interval == 0 ? labelled : others).push_back(std::move(piece));
        }
    }
}

// The colour table spans the rings drawn.
std::string colour_range(const std::vector<export_line>& a, const std::vector<export_line>& b) {
    std::int32_t low = 180;
    std::int32_t high = 0;
    for (const auto* lines : {&a, &b}) {
        for (const export_line& line : *lines) {
            low = std::min(low, line.degrees);
            high = std::max(high, line.degrees);
        }
    }
    return "-T" + std::to_string(low) + "/" + std::to_string(std::max(high, low + 1));
}

struct ring_pens {
    double labelled;  // points
    double others;
};

ring_pens pens_for(const map_request& request, const azimuthal_map& map) {
    const double spacing = request.run->dist_step / request.horizon * map.radius / CM_PER_POINT;
    if (spacing >= WIDE_SPACING) {
        return {FULL_PEN, FULL_PEN};
    }
    return {std::clamp(spacing * 0.8, 0.8, FULL_PEN), std::clamp(spacing * 0.3, 0.25, FULL_PEN)};
}

// "gmt begin": raster formats at the raster resolution, vector ones as they are.
std::vector<std::string> begin_command(const picture_format& format) {
    const std::string& name = format.gmt_name;
    if (name == "pdf" || name == "eps" || name == "ps") {
        return {"begin", "picture", name};
    }
    return {"begin", "picture", name, RASTER_RESOLUTION};
}

std::vector<std::vector<std::string>> gmt_commands(const map_request& request,
                                                   const azimuthal_map& map,
                                                   const std::string& colours, bool other_rings) {
    const bool strike_lines = request.strike_step > 0;
    const std::string projection = "-JE" + number(map.centre.lon) + "/" + number(map.centre.lat) +
                                   "/" + number(request.horizon) + "/" + number(MAP_WIDTH) + "c";
    // Crude coastlines for the globe, the low resolution ones closer in.
    const bool global = request.horizon >= 60.0;
    const ring_pens pens = pens_for(request, map);
    const std::string font = "+f" + number(LABEL_FONT_SIZE) + "p,";
    const std::string clearance =
        "-C" + number(LABEL_CLEARANCE) + "p/" + number(LABEL_CLEARANCE) + "p";
    std::vector<std::vector<std::string>> commands{
        begin_command(request.format),
        {"set", "MAP_FRAME_PEN", "1p,black", "PS_CHAR_ENCODING", "ISOLatin1+"},
        {"coast", "-Rg", projection, global ? "-Dc" : "-Dl", global ? "-A10000" : "-A1000",
         "-Gwheat", "-Slightblue", "-W0.25p,gray40", "-B0"},
        {"makecpt", "-Cturbo", colours}};
    if (other_rings) {
        commands.push_back({"plot", "other-rings.txt", "-C", "-W" + pen(pens.others) + "+z"});
    }
    commands.push_back({"plot", "labelled-rings.txt", "-C", "-W" + pen(pens.labelled) + "+z"});
    if (strike_lines) {
        commands.push_back({"plot", "strike-lines.txt", "-W" + pen(0.6, "gray25")});
    }
    commands.push_back({"text", "ring-labels.txt", "-F" + font + "Helvetica-Bold,black+jMC",
                        "-Gwhite", clearance});
    if (strike_lines) {
        commands.push_back({"text", "strike-labels.txt",
                            "-F" + font + "Helvetica-Oblique,gray20+jMC", "-Gwhite", clearance});
    }
    commands.push_back({"plot", "centre.txt", "-Sa" + number(CENTRE_MARK_SIZE) + "c", "-Gred",
                        "-W0.5p,black"});
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
    plan = plan_labels(*request.run, map, request.max_distance, request.strike_step);
    std::vector<export_line> labelled;
    std::vector<export_line> others;
    split_rings(request, plan.ring_interval, labelled, others);
    bool written = write_lines(session, "labelled-rings.txt", *request.run, labelled) &&
                   write_lines(session, "other-rings.txt", *request.run, others) &&
                   write_labels(session, "ring-labels.txt", plan, label_kind::ring) &&
                   write_labels(session, "strike-labels.txt", plan, label_kind::strike) &&
                   write_text(session, "centre.txt", number(map.centre.lon) + " " + number(map.centre.lat)) &&
                   write_text(session, "title.txt", request.title);
    if (written && request.strike_step > 0) {
        written = write_lines(session, "strike-lines.txt", *request.run,
                              strike_lines(*request.run, request.strike_step));
    }
    if (!written) {
        problem = std::string("cannot write GMT's tables: ") + std::strerror(errno);
        return false;
    }
    for (const std::vector<std::string>& command :
         gmt_commands(request, map, colour_range(labelled, others), !others.empty())) {
        if (!session.run(command, problem)) {
            return false;
        }
    }
    return true;
}
