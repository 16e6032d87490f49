// The map's parts in process, without GMT: titles reach GMT literally (its
// escape character and octal codes are escaped, so are what a text table
// would take for a comment or a segment header and trailing blanks; Latin-1
// is spelled as GMT's fonts hold it, the rest refused), distance bands, and
// the labels' boxes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "plot/distance_bands.h"
#include "plot/map_drawing.h"
#include "plot/map_labels.h"
#include "plot/map_points.h"
#include "plot/overlay_labels.h"
#include "plot/title_text.h"
#include "walked_run.h"

namespace {

TEST(PlotTitle, ShownAsWritten) {
    const struct {
        const char* utf8;
        const char* gmt;
    } cases[] = {
        {"M@9", "M\\1009"},                     // "@" starts GMT's escapes
        {"@;red;X", "\\100;red;X"},             // even its colours, after "@@"
        {"#c", "\\043c"},                       // a comment as a record's start
        {"> h", "\\076 h"},                     // a segment header
        {"it's a`b", "it\\234s a\\221b"},        // the straight quote, the grave accent
        {" a  ", " a\\040\\040"},                 // blanks GMT drops at the end
        {"Rings+sSUB 50%", "Rings+sSUB 50%"},  // no modifiers in a text record
        {"a\\260b", "a\\134260b"},             // a backslash is no octal code
        {"10\xc2\xb0 caf\xc3\xa9", "10\\260 caf\\351"},
    };
    for (const auto& c : cases) {
        const gmt_text text = title_for_gmt(c.utf8);
        EXPECT_TRUE(text.ok) << c.utf8;
        EXPECT_EQ(text.text, c.gmt) << c.utf8;
    }
}

TEST(PlotTitle, RefusesWhatGmtCannotShow) {
    for (const std::string& utf8 : std::vector<std::string>{"two\nlines", "tab\there", "\xe2\x86\x92", "\xff", "\xc3",
                                   "\xc0\x80", std::string(251, '@')}) {
        EXPECT_FALSE(title_for_gmt(utf8).ok) << utf8;
    }
}

// A band's label is GMT text as a title is; its distances are refused
// unless 0 <= MIN < MAX <= 180.
TEST(PlotBand, TakesDistancesAndALabel) {
    const struct {
        const char* text;
        bool ok;
        double min, max;
        const char* label;
    } cases[] = {
        {"30:90", true, 30, 90, "30-90@."},         {"0:180:all", true, 0, 180, "all"},
        {"104:140:@ shadow", true, 104, 140, "\\100 shadow"},
        {"90:30", false, 0, 0, ""},  {"30:30", false, 0, 0, ""},  {"-1:30", false, 0, 0, ""},
        {"30:181", false, 0, 0, ""}, {"30", false, 0, 0, ""},     {"30:", false, 0, 0, ""},
        {"nan:90", false, 0, 0, ""}, {"30:90:", false, 0, 0, ""}, {"30:90:a\nb", false, 0, 0, ""},
    };
    for (const auto& c : cases) {
        distance_band band;
        std::string problem;
        ASSERT_EQ(parse_band(c.text, band, problem), c.ok) << c.text;
        EXPECT_TRUE(!c.ok || (band.min == c.min && band.max == c.max && band.label == c.label))
            << c.text;
    }
}

TEST(MapLabels, BoxesApartInsideTheMapAndEachRingOnce) {
    const struct {
        float lon, lat;
        std::int32_t step;
        double horizon;
        int strike_step;
    } rows[] = {
        {120.5f, -33.25f, 10, 90, 30}, {120.5f, -33.25f, 1, 175, 10}, {10, 89.5f, 5, 60, 45},
        {-77.3f, 45, 25, 175, 90},     {0, 0, 2, 20, 0},
    };
    for (const auto& row : rows) {
        const contour_run run = walked_run(row.lon, row.lat, row.step);
        const azimuthal_map map = map_of(run, row.horizon);
        const auto max_distance = static_cast<std::int32_t>(row.horizon);
        const label_plan plan = plan_labels(run, map, max_distance, row.strike_step);
        std::set<std::int32_t> rings;
        for (std::size_t i = 0; i < plan.labels.size(); ++i) {
            const map_label& a = plan.labels[i];
            for (std::size_t j = 0; j < i; ++j) {
                const map_label& b = plan.labels[j];
                EXPECT_FALSE(std::fabs(a.centre.x - b.centre.x) * 2 < a.width + b.width &&
                             std::fabs(a.centre.y - b.centre.y) * 2 < a.height + b.height)
                    << row.step << ": " << a.text << " over " << b.text;
            }
            EXPECT_LE(std::hypot(std::fabs(a.centre.x) + a.width / 2, std::fabs(a.centre.y) + a.height / 2),
                      map.radius) << a.text;
            if (a.kind == label_kind::ring) {
                EXPECT_TRUE(rings.insert(a.degrees).second && a.degrees % plan.ring_interval == 0 &&
                            a.degrees <= max_distance) << row.step << ": " << a.text;
            }
        }
        EXPECT_GE(rings.size(), 2u) << row.step;
    }
}

// The marks of a table: stations as triangles labelled by their station
// column, wherever it stands; events as circles sized by magnitude and
// unlabelled; any other table labelled by its first column that is no
// coordinate; a label asked for by name in any case.
TEST(MapPoints, StationsAndEventsTakeTheirMarksAndLabels) {
    const std::string fdsn_events = "#EventID | Time | Latitude | Longitude | Magnitude\n";
    const struct {
        std::string table;
        std::string label;
        std::string first_label;  // "" for none
        double first_size;        // 0 for a triangle
    } rows[] = {
        {"station,latitude,longitude\nMAJO,36.5457,138.2041\n", "", "MAJO", 0.0},
        {"#Network | Station | Latitude | Longitude\nIU|KONO|59.6491|9.5982\n", "", "KONO", 0.0},
        {"lon lat name\n1 2 A\n", "", "A", 0.0},
        {"lat lon\n1 2\n", "", "", 0.0},
        {fdsn_events + "a|2011|38.297|142.373|9.1\nb|2011|3.295|95.982|5.0\n", "", "", 0.519},
        {fdsn_events + "a|2011|38.297|142.373|9.1\n", "eventid", "a", 0.519},
        {"time,latitude,longitude,mag\n2011,1,2,x\n", "", "", 0.1},
    };
    const contour_run run = walked_run(142.37f, 38.3f, 30);
    for (const auto& row : rows) {
        point_file points{"t", {}, {}, false};
        std::string problem;
        ASSERT_TRUE(read_point_table(row.table, "t", {}, points.table, problem)) << problem;
        std::size_t label = 0;
        std::vector<point_mark> marks;
        ASSERT_TRUE(label_column_of(points.table, row.label, label, problem)) << problem;
        ASSERT_TRUE(point_marks_of(points, run, {}, label, marks, problem)) << problem;
        EXPECT_EQ(marks[0].label, row.first_label) << row.table;
        EXPECT_NEAR(marks[0].size, row.first_size, 1e-6) << row.table;
        EXPECT_LE(marks.back().size, marks[0].size) << "the smaller event, the smaller circle";
    }
    point_table table;
    std::string problem;
    ASSERT_TRUE(read_point_table("lat lon\n1 2\n", "t", {}, table, problem));
    std::size_t label = 0;
    EXPECT_FALSE(label_column_of(table, "1", label, problem)) << "a coordinate is no label";
}

// Each point's label lies beside its own mark, clear of it however large,
// on maps centred at and near both poles as on others: the label's place
// on the sphere, which GMT projects, comes back to where it was put beside
// the mark. At a pole it
// once came back on the line through the centre, far from its mark.
TEST(MapLabels, PointLabelsBesideTheirMarksAtThePolesToo) {
    const geo_point stations[] = {{138.2041, 36.5457}, {9.5982, 59.6491}, {-106.4572, 34.94591},
                                  {174.7043, -41.3087}, {27.0035, 69.7565}, {166.7573, -77.8491}};
    const geo_point centres[] = {{0, 90}, {0, 90.0001}, {-120, -90}, {0, -89.99}, {142.37, 38.3}};
    for (const geo_point& centre : centres) {
        const contour_run run = walked_run(static_cast<float>(centre.lon),
                                           static_cast<float>(centre.lat), 30);
        const azimuthal_map map = map_of(run, 179.9);
        std::vector<point_mark> marks;
        for (const geo_point& at : stations) {
            // Triangles and, every other one, an event's largest circle.
            marks.push_back({at, true, "ABCD", marks.size() % 2 == 0 ? 0.0 : 0.8});
        }
        label_plan plan = plan_labels(run, map, 175, 0);
        plan_overlay_labels(map, {}, marks, plan);
        std::size_t placed = 0;
        for (const map_label& label : plan.labels) {
            if (label.kind != label_kind::point) {
                continue;
            }
            ++placed;
            const point_mark& point = marks[static_cast<std::size_t>(label.degrees - 1)];
            const map_point mark = project(map, point.at);
            const double dx = std::fabs(label.centre.x - mark.x);
            const double dy = std::fabs(label.centre.y - mark.y);
            const double half_x = (mark_size(point) + label.width) / 2;
            const double half_y = (mark_size(point) + label.height) / 2;
            EXPECT_TRUE(dx <= half_x + 0.1 && dy <= half_y + 0.1 && (dx >= half_x || dy >= half_y))
                << centre.lat << ": " << label.degrees << " beside its mark, not on it";
        }
        EXPECT_GE(placed, 4u) << centre.lat;
    }
}

}  // namespace
