// The lines a run is drawn with, in process: where ring pieces break, how
// longitudes stay continuous and where lines are cut at the antimeridian,
// the great-circle points of strike lines and where strike lines start.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "great_circle.h"
#include "lines/great_circles.h"
#include "lines/ring_lines.h"
#include "walked_run.h"

namespace {

double unwrapped(const line_vertex& v) {
    return static_cast<double>(v.lon) + 360.0 * v.turns;
}

double arc(const line_vertex& a, const line_vertex& b) {
    return measure(unwrapped(a), a.lat, unwrapped(b), b.lat).dist;
}

std::vector<line_vertex> continuous(const std::vector<std::array<float, 2>>& points) {
    std::vector<line_vertex> vertices;
    for (const auto& p : points) {
        append_continuous(vertices, {p[0], 0, p[1]});
    }
    return vertices;
}

// Ring 10 of positions (100 + az / 4, 5), over the antimeridian at azimuth
// 320; each row turns some records into ones of unresolved positions and
// lists the pieces left, by their first and last azimuths.
TEST(RingPieces, BreakExactlyWhereARecordHoldsAnotherPoint) {
    enum edit { other_check, repeat, far };
    const struct {
        const char* name;
        std::vector<std::pair<int, edit>> edits;
        std::vector<std::pair<int, int>> pieces;
    } rows[] = {
        {"all resolved", {}, {{0, 360}}},
        {"another ring's check", {{50, other_check}}, {{0, 49}, {51, 360}}},
        {"the record before repeated", {{50, repeat}}, {{0, 49}, {51, 360}}},
        {"held over three", {{100, repeat}, {101, repeat}, {102, repeat}}, {{0, 99}, {103, 360}}},
        {"the first with the centre's check", {{0, other_check}}, {{1, 360}}},
        {"the last repeated", {{360, repeat}}, {{0, 359}}},
        {"a lone position", {{10, other_check}, {12, other_check}}, {{0, 9}, {11, 11}, {13, 360}}},
        {"a piece starting beyond 180", {{330, other_check}}, {{0, 329}, {331, 360}}},
        {"a step no ring holds", {{200, far}}, {{0, 199}, {200, 200}, {201, 360}}},
    };
    const auto lon_of = [](int az) { return 100.0 + az / 4.0; };
    for (const auto& row : rows) {
        contour_ring ring{10, {}, false, {}};
        for (int az = 0; az < RING_POSITIONS; ++az) {
            ring.positions[at(az)] = {static_cast<float>(lon_of(az)), 5.0f, 10};
        }
        for (const auto& [az, kind] : row.edits) {
            ring.positions[at(az)] =
                kind == repeat ? ring.positions[at(az - 1)]
                : kind == far  ? contour_position{static_cast<float>(lon_of(az)), 25.0f, 10}
                               : contour_position{static_cast<float>(lon_of(az)), 5.0f, 0};
        }
        const std::vector<contour_line> pieces = ring_pieces({10, {{0, ring.positions, false, {}}, ring}});
        ASSERT_EQ(pieces.size(), row.pieces.size()) << row.name;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            const auto [first, last] = row.pieces[i];
            ASSERT_EQ(pieces[i].vertices.size(), at(last - first + 1)) << row.name;
            // Continuous from a start within [-180, 180).
            const double shift = lon_of(first) >= 180.0 ? 360.0 : 0.0;
            for (int az = first; az <= last; ++az) {
                EXPECT_EQ(unwrapped(pieces[i].vertices[at(az - first)]), lon_of(az) - shift) << row.name << " " << az;
            }
        }
    }
}

// Latitude (degrees) where the great circle through two points crosses the
// meridian of longitude 180, from the circle's equation in latitude.
float crossing(double lon1, double lat1, double lon2, double lat2) {
    const double k = M_PI / 180.0;
    lon1 = std::remainder(lon1 - 180.0, 360.0) * k;
    lon2 = std::remainder(lon2 - 180.0, 360.0) * k;
    const double t = (std::tan(lat1 * k) * std::sin(lon2) - std::tan(lat2 * k) * std::sin(lon1)) /
                     std::sin(lon2 - lon1);
    return static_cast<float>(std::atan(t) / k);
}

// Lines cut at the antimeridian, at the latitude where they cross it, and
// split where they pass over a pole, at the longitudes on either side.
TEST(LineParts, CutAtTheAntimeridianAndSplitAtThePoles) {
    using part = std::vector<std::array<float, 2>>;
    const float west = crossing(-170, 10, 170, 10);
    const float north = crossing(170, 40, -160, 50);
    const float south = crossing(179, -60, -175, -30);
    const struct {
        const char* name;
        bool pole_split;
        part line;
        std::vector<part> parts;
    } rows[] = {
        {"over the equator", false, {{170, 0}, {-170, 0}}, {{{170, 0}, {180, 0}}, {{-180, 0}, {-170, 0}}}},
        {"westward", false, {{-170, 10}, {170, 10}}, {{{-170, 10}, {-180, west}}, {{180, west}, {170, 10}}}},
        {"north", false, {{170, 40}, {-160, 50}}, {{{170, 40}, {180, north}}, {{-180, north}, {-160, 50}}}},
        {"south", false, {{179, -60}, {-175, -30}}, {{{179, -60}, {180, south}}, {{-180, south}, {-175, -30}}}},
        {"crossing at the pole", false, {{170, 80}, {-10.00001f, 80}}, {{{170, 80}, {180, 90}}, {{-180, 90}, {-10.00001f, 80}}}},
        {"a vertex on it", false, {{170, 0}, {-180, 5}, {-170, 0}}, {{{170, 0}, {180, 5}}, {{-180, 5}, {-170, 0}}}},
        {"ending on it", false, {{170, 0}, {-180, 5}}, {{{170, 0}, {180, 5}}}},
        {"starting on it", false, {{-180, 5}, {170, 0}}, {{{180, 5}, {170, 0}}}},
        {"there and back", false, {{170, 0}, {-170, 0}, {170, 0}},
         {{{170, 0}, {180, 0}}, {{-180, 0}, {-170, 0}, {-180, 0}}, {{180, 0}, {170, 0}}}},
        {"no crossing", false, {{-80, 0}, {80, 0}}, {{{-80, 0}, {80, 0}}}},
        // The shorter way round on the exact difference: 180 keeps the turn,
        // and 180.0000047 (180 in single precision) crosses.
        {"180 apart", false, {{-90, 0}, {90, 0}, {-90, 0}}, {{{-90, 0}, {90, 0}, {-90, 0}}}},
        {"just over 180 apart", false, {{-2e-5f, 0}, {179.999985f, 0}}, {{{-2e-5f, 0}, {-180, 0}}, {{180, 0}, {179.999985f, 0}}}},
        {"one vertex", false, {{5, 5}}, {{{5, 5}}}},
        {"over the north pole", true, {{10, 80}, {-170, 80}}, {{{10, 80}, {10, 90}}, {{-170, 90}, {-170, 80}}}},
        {"over the south pole", true, {{0, -89}, {-180, -89}}, {{{0, -89}, {0, -90}}, {{-180, -90}, {-180, -89}}}},
        {"a vertex at the pole", true, {{10, 80}, {10, 90}, {-170, 80}}, {{{10, 80}, {10, 90}}, {{-170, 90}, {-170, 80}}}},
        {"ending at the pole", true, {{10, 80}, {10, 90}}, {{{10, 80}, {10, 90}}}},
        {"a tenth of a degree off the pole", true, {{10, 80}, {-169, 80}}, {{{10, 80}, {-169, 80}}}},
    };
    for (const auto& row : rows) {
        const std::vector<line_vertex> line = continuous(row.line);
        const auto parts = row.pole_split ? split_at_poles(line) : cut_at_antimeridian(line);
        ASSERT_EQ(parts.size(), row.parts.size()) << row.name;
        for (std::size_t p = 0; p < parts.size(); ++p) {
            ASSERT_EQ(parts[p].size(), row.parts[p].size()) << row.name << " part " << p;
            for (std::size_t i = 0; i < parts[p].size(); ++i) {
                EXPECT_TRUE(parts[p][i].lon == row.parts[p][i][0] && parts[p][i].turns == 0) << row.name << " " << p;
                EXPECT_NEAR(parts[p][i].lat, row.parts[p][i][1], 1e-4f) << row.name << " part " << p;
            }
        }
    }
}

TEST(GreatCircles, StrikeVerticesAtMostOneDegreeApartOnTheCircle) {
    const std::vector<std::array<float, 2>> rows[] = {
        {{0, 0}, {10, 0}},  {{0, 0}, {1, 0}},  {{0, 0}, {0.5f, 0.5f}},  {{170, 60}, {-10, 60}},
        {{179.5f, 10}, {-179.5f, -10}},  {{120.5f, -33.25f}, {-60, 30}},  {{-40, -89}, {140, 20}, {141, 21}},
    };
    for (const auto& row : rows) {
        const std::vector<line_vertex> given = continuous(row);
        std::vector<line_vertex> dense = given;
        follow_great_circles(dense, MAX_STRIKE_VERTEX_STEP);
        std::size_t next = 1;  // the given vertex the dense ones lead to
        for (std::size_t i = 1; i < dense.size() && next < given.size(); ++i) {
            const line_vertex& a = given[next - 1];
            const line_vertex& b = given[next];
            EXPECT_LE(arc(dense[i - 1], dense[i]), 1.0) << row[0][0] << " vertex " << i;
            EXPECT_NEAR(arc(a, dense[i]) + arc(dense[i], b), arc(a, b), 1e-4) << row[0][0] << " vertex " << i;
            next += dense[i].lon == b.lon && dense[i].lat == b.lat;
        }
        EXPECT_TRUE(dense[0].lon == given[0].lon && next == given.size()) << row[0][0] << ": a given vertex lost";
    }
    // One feature per ring distance and per strike line, a lone position a
    // part of zero length, a ring's last part joined to its first where they
    // meet at azimuth 0 (a lone first position once), a ring over a pole
    // split there; only strike lines
    // follow their circles.
    const std::vector<map_feature> features = map_features(
        {{line_kind::ring, 10, continuous({{0, 0}, {10, 0}})}, {line_kind::ring, 10, continuous({{20, 0}})},
         {line_kind::ring, 10, continuous({{30, 0}, {0, 0}})}, {line_kind::ring, 20, continuous(rows[0])},
         {line_kind::ring, 30, continuous({{10, 80}, {-170, 80}})},
         {line_kind::ring, 40, continuous({{0, 0}})}, {line_kind::ring, 40, continuous({{10, 0}, {20, 0}})},
         {line_kind::ring, 40, continuous({{30, 0}, {0, 0}})},
         {line_kind::strike, 0, continuous(rows[0])}});
    std::vector<std::vector<std::size_t>> sizes;
    for (const map_feature& feature : features) {
        sizes.emplace_back();
        for (const auto& part : feature.parts) {
            sizes.back().push_back(part.size());
        }
    }
    EXPECT_EQ(sizes, (std::vector<std::vector<std::size_t>>{{4, 2}, {2}, {2, 2}, {3, 2}, {12}}));
    EXPECT_EQ(features[0].parts[0][0].lon, 30.0f);
}

// Strike lines start at the point the solver took the centre for, a
// latitude beyond +-90 being the point its sine and cosine stand for.
TEST(StrikeLines, StartAtTheCentreTheSolverTook) {
    const struct {
        float lon, lat, start_lon, start_lat;
    } rows[] = {
        {10, 120, -170, 60}, {30, -400, 30, -40}, {190, -33.25f, -170, -33.25f}, {-540.25f, 12, 179.75f, 12},
    };
    // A run of the centre ring alone has no line to draw.
    EXPECT_TRUE(strike_lines(walked_run(10, 20, 176), 90).empty());
    for (const auto& row : rows) {
        const std::vector<contour_line> lines = strike_lines(walked_run(row.lon, row.lat, 30), 90);
        ASSERT_EQ(lines.size(), 4u) << row.lat;
        for (const contour_line& line : lines) {
            EXPECT_NEAR(line.vertices[0].lon, row.start_lon, 1e-4f) << row.lat;
            EXPECT_NEAR(line.vertices[0].lat, row.start_lat, 1e-4f) << row.lat;
        }
    }
}

// Around centres at and near both poles, and ordinary ones: no step between
// consecutive vertices of a ring piece is longer than a ring's neighbours
// can lie apart, and every resolved record is a vertex of exactly one piece.
TEST(RingPieces, HoldNoStepARingCannotHave) {
    const struct {
        float lon, lat;
        std::int32_t step;
    } centres[] = {{0, 90, 10},          {0, 90.0001f, 10}, {0, 89.99f, 10},   {158.75f, 89.9666f, 5},
                   {-120, -90, 5},       {0, -89.9f, 10},   {10, 89.4f, 15},    {10, 80, 10},
                   {120.5f, -33.25f, 10}, {0, 0, 30}};
    for (const auto& c : centres) {
        const contour_run run = walked_run(c.lon, c.lat, c.step);
        std::size_t resolved = 0;
        for (const contour_ring& ring : run.rings) {
            for (int az = 0; ring.grid_dist > 0 && az < RING_POSITIONS; ++az) {
                resolved += position_resolved(ring, az) ? 1 : 0;
            }
        }
        std::size_t vertices = 0;
        for (const contour_line& piece : ring_pieces(run)) {
            vertices += piece.vertices.size();
            for (std::size_t i = 1; i < piece.vertices.size(); ++i) {
                EXPECT_TRUE(joinable(piece.vertices[i - 1], piece.vertices[i],
                                     ring_step_bound(piece.degrees)))
                    << c.lon << " " << c.lat << ": ring " << piece.degrees;
            }
        }
        EXPECT_EQ(vertices, resolved) << c.lon << " " << c.lat;
    }
}

}  // namespace
