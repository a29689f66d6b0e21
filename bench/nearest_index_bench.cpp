// The nearest-point index: building (with its sort) and queries over 1k to 100k
// random points.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench_session.h"
#include "nearest_index.h"

namespace {

std::vector<point3d_rec> random_points(int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coord(0.0, 1000.0);
    std::vector<point3d_rec> points(n);
    for (auto& p : points) p = {coord(random), coord(random), 0};
    return points;
}

void build_index(const std::vector<point3d_rec>& points)
{
    nearest_index_ctl(0, 0, 0);
    for (const auto& p : points) nearest_index_ctl(p.x, p.y, 1);
    nearest_index_ctl(0, 0, 2);
    nearest_set_radius(20.0);
}

void BM_NearestIndexBuild(benchmark::State& state)
{
    quiet_session();
    auto points = random_points(static_cast<int>(state.range(0)), 1);
    for (auto _ : state) {
        build_index(points);
        quiet_session().transcript().clear();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_NearestIndexQuery(benchmark::State& state)
{
    quiet_session();
    auto points = random_points(static_cast<int>(state.range(0)), 2);
    build_index(points);
    auto queries = random_points(1024, 3);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(nearest_find_point(queries[i++ % queries.size()]));
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_NearestIndexBuild)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NearestIndexQuery)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMicrosecond);

}  // namespace
