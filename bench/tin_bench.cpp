// The terrain tools' core: the triangulation of 1k to 100k random points, and
// contour cutting and joining over the triangles of a hilly surface. Both
// should grow about as n log n.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "tin_contour.h"
#include "tin_triangulate.h"

namespace {

tin_node_list random_nodes(int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coord(0.0, 1000.0);
    tin_node_list nodes;
    nodes.reserve(n);
    for (int i = 0; i < n; ++i) tin_node_push(nodes, 400000.0 + coord(random), 300000.0 + coord(random));
    return nodes;
}

double height(double x, double y)
{
    return 50.0 + 20.0 * std::sin(x / 150.0) * std::cos(y / 200.0) + x / 100.0;
}

void BM_TinTriangulate(benchmark::State& state)
{
    const tin_node_list nodes = random_nodes(static_cast<int>(state.range(0)), 7);
    for (auto _ : state) {
        tin_result result = tin_triangulate(nodes);
        benchmark::DoNotOptimize(result.triangles.data());
    }
    state.SetComplexityN(state.range(0));
}

void BM_TinContours(benchmark::State& state)
{
    const tin_node_list nodes = random_nodes(static_cast<int>(state.range(0)), 11);
    const tin_result result = tin_triangulate(nodes);
    tin_point_list corners;
    for (const tin_tri_rec& t : tin_triangles_in_list(result))
        for (int k = 0; k < 3; ++k) {
            const tin_node_rec& v = nodes[tin_tri_corner(t, k)];
            tin_point_push(corners, v.x, v.y, height(v.x - 400000.0, v.y - 300000.0));
        }
    for (auto _ : state) {
        auto chains = cnt_build_chains(corners, 20.0, 1.0, 70);
        benchmark::DoNotOptimize(chains.data());
    }
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_TinTriangulate)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(BM_TinContours)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
