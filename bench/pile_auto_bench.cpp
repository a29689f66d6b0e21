// The automatic piling eccentricity over sites of 1k to 16k piles, as a user
// runs it: the dialog collects the proposed piles and the surveyed points by
// selection, each pile is matched through the nearest-point index, and every
// matched pile gets its two arrows and two texts. The time per pile stays the
// same as the site grows.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ads.h"
#include "bench_session.h"
#include "folders_registry.h"
#include "pile_ecc.h"

namespace {

// A registry of its own, so that the installation folder is this build's.
void own_home()
{
    static const bool done = [] {
        const auto home = std::filesystem::temp_directory_path() / "pile_auto_bench_home";
        std::filesystem::remove_all(home);
        std::filesystem::create_directories(home);
        setenv("CADHOST_HOME", home.c_str(), 1);
        app_folders = app_folder_rec{};
        return true;
    }();
    (void)done;
}

void point(const char* layer, double x, double y)
{
    ads_point at = {x, y, 0};
    resbuf* list = acutBuildList(RTDXF0, "POINT", 8, layer, 10, at, 0);
    acdbEntMake(list);
    acutRelRb(list);
}

// A square site of piles 3 m apart, each surveyed a few centimetres off.
void fresh_site(long n)
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document();
    const long side = static_cast<long>(std::ceil(std::sqrt(double(n))));
    for (long i = 0; i < n; ++i)
        point("Pile_Proposed", 1000.0 + 3.0 * double(i % side), 2000.0 + 3.0 * double(i / side));
    for (long i = 0; i < n; ++i)
        point("Pile_surveyed", 1000.0 + 3.0 * double(i % side) + 0.001 * double(i % 37),
              2000.0 + 3.0 * double(i / side) - 0.001 * double(i % 53));
}

void BM_PileAuto(benchmark::State& state)
{
    own_home();
    const long n = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        fresh_site(n);
        pile_auto() = pile_auto_rec{};
        quiet_session().set_input(
            host::script_input("pick btn_select_proposed\nALL\n\npick btn_select_surveyed\nALL\n\nok\n"));
        state.ResumeTiming();
        if (b_pile_auto() != 1) state.SkipWithError("the command did not run to its end");
        state.PauseTiming();
        if (quiet_session().current().drawing.model.size() < static_cast<size_t>(6 * n))
            state.SkipWithError("the piles were not all labelled");
        quiet_session().transcript().clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PileAuto)->RangeMultiplier(4)->Range(1024, 16384)->Unit(benchmark::kMillisecond);

}  // namespace
