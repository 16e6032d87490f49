// Throughput of the two costly parts of a run: writing contour records
// (real-number formatting included) and solving ring positions.

#include <benchmark/benchmark.h>

#include <vector>

#include "contour/destination_point.h"
#include "record_writer.h"

namespace {

// Points spread like a real run's: longitudes and latitudes of a ring around
// a mid-latitude centre, with fraction digits in every place.
std::vector<ring_point> sample_points() {
    std::vector<ring_point> points;
    for (int a = 0; a <= 360; ++a) {
        const ring_solution solution =
            destination_point(120.5f, -33.25f, 70.0f, static_cast<float>(a));
        if (solution.accepted) {
            points.push_back(solution.point);
        }
    }
    return points;
}

void write_records(benchmark::State& state) {
    const std::vector<ring_point> points = sample_points();
    const real_item azimuth = make_real_item(123.0f);
    const integer_item ring_dist = make_integer_item(70);
    for (auto _ : state) {
        for (const ring_point& point : points) {
            benchmark::DoNotOptimize(make_contour_record(make_real_item(point.lon),
                                                         make_real_item(point.lat), ring_dist,
                                                         azimuth, ring_dist));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(points.size()));
}
BENCHMARK(write_records);

void solve_positions(benchmark::State& state) {
    const float center_lon = 120.5f;
    const float center_lat = -33.25f;
    for (auto _ : state) {
        for (int ring = 5; ring <= 175; ring += 10) {
            for (int a = 0; a <= 360; ++a) {
                benchmark::DoNotOptimize(destination_point(
                    center_lon, center_lat, static_cast<float>(ring), static_cast<float>(a)));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * 18 * 361);
}
BENCHMARK(solve_positions);

}  // namespace

BENCHMARK_MAIN();
