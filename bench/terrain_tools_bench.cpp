// The terrain tools as the menu runs them, on drawings of 10k and 100k POINTs
// or TIN faces: the duplicated-points check over every POINT (each with its
// own small window), TIN generation through the user's selection (with the
// search for earlier faces to replace), and one breakline piece picked on a
// TIN, whose cost should not grow with the TIN around it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "ads.h"
#include "bench_session.h"
#include "dtm_duplicates.h"
#include "tin_breakline.h"
#include "tin_generate.h"
#include "tin_triangulate.h"

namespace {

void fresh_drawing()
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document();
}

// n survey points on a 2 m grid at survey coordinates, with a little jitter so
// that the TIN has no cocircular cells, on a gentle hill.
void point_at(long i, long side, double& x, double& y, double& z)
{
    const double jx = std::sin(i * 12.9898) * 0.3, jy = std::cos(i * 78.233) * 0.3;
    x = 400000.0 + 2.0 * double(i % side) + jx;
    y = 300000.0 + 2.0 * double(i / side) + jy;
    z = 50.0 + 10.0 * std::sin(x / 70.0) * std::cos(y / 90.0);
}

void make_point(double x, double y, double z)
{
    ads_point at = {x, y, z};
    resbuf* point = acutBuildList(RTDXF0, "POINT", 8, "LEVELS", 10, at, 0);
    acdbEntMake(point);
    acutRelRb(point);
}

// n POINTs, every 50th of them shot twice 0.003 m apart.
void points_with_repeats(long n)
{
    fresh_drawing();
    const long side = static_cast<long>(std::sqrt(double(n)));
    for (long i = 0; i < n; ++i) {
        double x, y, z;
        point_at(i, side, x, y, z);
        make_point(x, y, z);
        if (i % 50 == 0) make_point(x + 0.003, y, z);
    }
}

void BM_DtmCheckDuplicates(benchmark::State& state)
{
    const long n = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        points_with_repeats(n);
        quiet_session().set_input(host::script_input("P\n0.005\nALL\n\n"));
        quiet_session().transcript().clear();
        state.ResumeTiming();
        dtm_check_duplicates();
        state.PauseTiming();
        const std::string done = "(" + std::to_string((n + 49) / 50) + " duplicated";
        if (quiet_session().transcript().text().find(done) == std::string::npos)
            state.SkipWithError("the repeated points were not all found");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DtmCheckDuplicates)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_TinGenerate(benchmark::State& state)
{
    const long n = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        fresh_drawing();
        const long side = static_cast<long>(std::sqrt(double(n)));
        for (long i = 0; i < n; ++i) {
            double x, y, z;
            point_at(i, side, x, y, z);
            make_point(x, y, z);
        }
        quiet_session().set_input(host::script_input("P\n100\nALL\n\n"));
        quiet_session().transcript().clear();
        state.ResumeTiming();
        tin_generate_cmd();
        state.PauseTiming();
        if (quiet_session().transcript().text().find("Triangle Created.") == std::string::npos)
            state.SkipWithError("no TIN was made");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_TinGenerate)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A TIN of about 2n faces from n points, and a 20 m LINE across its middle
// that crosses some thirty face edges whatever the TIN's size.
std::string tin_with_breakline(long n)
{
    fresh_drawing();
    const long side = static_cast<long>(std::sqrt(double(n)));
    tin_node_list nodes;
    tin_point_list points;
    for (long i = 0; i < n; ++i) {
        double x, y, z;
        point_at(i, side, x, y, z);
        tin_node_push(nodes, x, y);
        tin_point_push(points, x, y, z);
    }
    for (const tin_tri_rec& t : tin_triangulate(nodes).triangles) {
        const tin_point_rec &a = points[t.a], &b = points[t.b], &c = points[t.c];
        ads_point pa = {a.x, a.y, a.z}, pb = {b.x, b.y, b.z}, pc = {c.x, c.y, c.z};
        resbuf* face = acutBuildList(RTDXF0, "3DFACE", 8, "TIN", 10, pa, 11, pb, 12, pc, 13, pc, 0);
        acdbEntMake(face);
        acutRelRb(face);
    }
    const double mid_x = 400000.0 + double(side), mid_y = 300000.0 + double(n / side);
    ads_point from = {mid_x - 10.0, mid_y + 0.37, 0}, to = {mid_x + 10.0, mid_y + 0.37, 0};
    resbuf* line = acutBuildList(RTDXF0, "LINE", 8, "BRK", 10, from, 11, to, 0);
    acdbEntMake(line);
    acutRelRb(line);
    // A pick on the line, away from every face corner.
    return std::to_string(mid_x + 0.123) + "," + std::to_string(mid_y + 0.37);
}

void BM_BreaklinePiece(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string pick = tin_with_breakline(n);
    // The LINE picked on the line; after the first run its points stand, and
    // each run finds them again and adds none.
    for (auto _ : state) {
        quiet_session().set_input(host::script_input("P\n" + pick + "\n\n"));
        quiet_session().transcript().clear();
        tin_breakline_cmd();
    }
}
BENCHMARK(BM_BreaklinePiece)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
