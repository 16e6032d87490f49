#pragma once

#include <cstdint>
#include <vector>

#include "run_file/contour_run.h"

// The lines a contour file holds, as the tools of the field draw them:
// each ring broken into pieces where positions were unresolved, and
// optionally strike lines, one per azimuth, from the centre outwards.

// A vertex of a line, in degrees. Its longitude is lon + 360 x turns:
// `lon` is the point's own longitude brought into [-180, 180] and `turns`
// keeps the line continuous, each vertex the shorter way round from the
// one before. Both parts are exact, so the text of either is exact too.
struct line_vertex {
    float lon;
    std::int32_t turns;
    float lat;
};

enum class line_kind { ring, strike };

struct contour_line {
    line_kind kind;
    std::int32_t degrees;  // the ring distance, or the strike line's azimuth
    std::vector<line_vertex> vertices;
};

// A point of the sphere as (longitude in [-180, 180), latitude in
// [-90, 90]): the longitude reduced by whole turns, exactly; a latitude
// beyond +-90 (a centre given so) taken as the point the formulas use.
line_vertex surface_point(float lon, float lat);

// Whether the record at azimuth `az` holds a point of its own ring. With
// the run's error lines read, exactly as the run reported it. Otherwise
// from the records alone: a record of an unresolved position repeats the
// held point, so its distance check is that of an earlier ring, or it
// repeats the record before it. That can misjudge a resolved position whose
// point is, in single precision, the same as the one before it (near a
// pole, at step 1). The centre ring's records are all resolved.
bool position_resolved(const contour_ring& ring, int az);

// The most degrees of arc between the points of neighbouring azimuths of a
// ring (ring_lines.cpp says why): a ring holds no longer step, and a line
// breaks where two records lie further apart, both records kept.
double ring_step_bound(std::int32_t ring_dist);
// The same for consecutive points of a strike line, at ring distances
// `from_dist` and `to_dist`.
double strike_step_bound(std::int32_t from_dist, std::int32_t to_dist);
// Whether two vertices lie within `bound` degrees of arc.
bool joinable(const line_vertex& a, const line_vertex& b, double bound);

// The pieces of every ring but the centre ring: runs of resolved
// positions in azimuth order, broken also where two of them lie further
// apart than a ring's neighbours can (ring_step_bound), each with
// continuous longitudes starting within [-180, 180).
std::vector<contour_line> ring_pieces(const contour_run& run);

// Visits the records strike lines pass through, line by line: for each
// azimuth 0, strike_step, 2 x strike_step ... below 360 (none for a step of
// 0), the resolved records of that azimuth ring by ring outwards, as
// visit(azimuth, ring).
template <typename Visit>
void visit_strike_records(const contour_run& run, int strike_step, Visit visit) {
    for (int az = 0; strike_step > 0 && az < LAST_AZIMUTH; az += strike_step) {
        for (const contour_ring& ring : run.rings) {
            if (position_resolved(ring, az)) {
                visit(az, ring);
            }
        }
    }
}

// One line per strike azimuth that reaches beyond the centre: the centre,
// then the resolved positions of that azimuth ring by ring outwards, with
// continuous longitudes.
std::vector<contour_line> strike_lines(const contour_run& run, int strike_step);

// The ring pieces, then the strike lines every strike_step degrees (none
// for 0).
std::vector<contour_line> lines_of_run(const contour_run& run, int strike_step);

// Adds the point after the line's last vertex, the shorter way round.
void append_continuous(std::vector<line_vertex>& vertices, const line_vertex& point);
