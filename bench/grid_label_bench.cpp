// Grid labels over 1k to 100k parallel grid LINEs crossed by one main LINE, the
// lines selected as a whole ("ALL") as a user would: each pair of neighbours
// gets its distance text, dimension lines and arrows, each line its head and
// circle. The time per grid line stays the same as the drawing grows.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "ads.h"
#include "bench_session.h"
#include "grid_label.h"
#include "settings_store.h"

namespace {

void fresh_drawing_with(long n)
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document();
    // Drawn from the far end, so that the command has to order them.
    for (long i = n - 1; i >= 0; --i) {
        ads_point from = {double(i) * 10.0, -50, 0}, to = {double(i) * 10.0, 50, 0};
        resbuf* line = acutBuildList(RTDXF0, "LINE", 8, "GRID", 10, from, 11, to, 0);
        acdbEntMake(line);
        acutRelRb(line);
    }
    ads_point from = {-5, -20, 0}, to = {double(n) * 10.0 + 5, 20, 0};
    resbuf* main = acutBuildList(RTDXF0, "LINE", 8, "MAIN", 10, from, 11, to, 0);
    acdbEntMake(main);
    acutRelRb(main);
}

void BM_GridAutoLabel(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string arrow =
        (std::filesystem::path(__FILE__).parent_path().parent_path() / "install/drawing/Grid_Arrow.dwg").string();
    for (auto _ : state) {
        state.PauseTiming();
        fresh_drawing_with(n);
        // Settings as the first use's dialog leaves them.
        grd_lbl_cfg() = grd_lbl_cfg_rec{};
        grd_lbl_cfg().arrow_block = arrow;
        grd_lbl_state() = grd_lbl_state_rec{1, dwg_full_path()};
        quiet_session().set_input(host::script_input("-5,-20\n-5,30\nALL\n\n"));
        state.ResumeTiming();
        if (b_grid_auto_label() != 1) state.SkipWithError("the command did not run to its end");
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_GridAutoLabel)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

}  // namespace
