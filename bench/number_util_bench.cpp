// Level texts to point heights over 1k to 100k POINTs, each with its level
// text beside it, selected by the user as a whole ("ALL"): the matching goes
// through the nearest-point index, so the time per point stays the same as the
// drawing grows.
#include <benchmark/benchmark.h>

#include <string>

#include "ads.h"
#include "bench_session.h"
#include "number_util.h"

namespace {

void fresh_drawing_with(long n)
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document();
    for (long i = 0; i < n; ++i) {
        ads_point at = {1000.0 + double(i % 1000) * 5.0, 2000.0 + double(i / 1000) * 5.0, 0};
        resbuf* point = acutBuildList(RTDXF0, "POINT", 8, "PTS", 10, at, 0);
        acdbEntMake(point);
        acutRelRb(point);
        ads_point text_at = {at[0] + 0.3, at[1] + 0.2, 0};
        const std::string level = std::to_string(10 + i % 97) + ".125";
        resbuf* text = acutBuildList(RTDXF0, "TEXT", 8, "ARAS-P", 10, text_at, 40, 1.0, 1, level.c_str(), 0);
        acdbEntMake(text);
        acutRelRb(text);
    }
}

void BM_LevelTextToPoint3d(benchmark::State& state)
{
    const long n = state.range(0);
    level_point() = level_point_rec{};
    for (auto _ : state) {
        state.PauseTiming();
        fresh_drawing_with(n);
        quiet_session().set_input(host::script_input("ALL\n\n"));
        state.ResumeTiming();
        if (level_text_to_point3d() != 1) state.SkipWithError("the tool did not run to its end");
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LevelTextToPoint3d)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

}  // namespace
