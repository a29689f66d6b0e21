// The radiation number tools on 1k to 100k numbered points (each a POINT and
// its number TEXT), as the menu runs them: the duplicated-numbers check, the
// sequence check, and renumbering every point through the user's selection
// "ALL". The tools' own work per point stays the same as the points grow; the
// renumbering's figure also holds the host's gathering of that selection.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ads.h"
#include "bench_session.h"
#include "db/entities.h"
#include "rad_number_tools.h"
#include "session/session.h"

namespace {

// A fresh drawing with n numbered points on a grid; every 97th number is used
// twice and every 89th left out, so that both checks have something to say.
void numbered_drawing(long n)
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document();
    acdbRegApp("RADLISTING");
    host::Drawing& drawing = session.current().drawing;
    for (long i = 0; i < n; ++i) {
        const long number = i % 97 == 1 ? i : (i % 89 == 5 ? i + 2 : i + 1);
        const std::vector<host::XDataApp> tag = {{"RADLISTING", {host::Group::of_int(1071, number)}}};
        const host::Point3 at{1000.0 + double(i % 1000) * 5.0, 2000.0 + double(i / 1000) * 5.0, 0};
        host::entity_make(drawing, "POINT",
                          {host::Group::of_text(8, "RAD_LISTING_PNT"), host::Group::of_point(10, at)}, tag);
        host::entity_make(drawing, "TEXT",
                          {host::Group::of_text(8, "RAD_LISTING_TXT"), host::Group::of_point(10, at),
                           host::Group::of_real(40, 1.3), host::Group::of_text(1, std::to_string(number))},
                          tag);
    }
}

void BM_RadCheckDuplicated(benchmark::State& state)
{
    const long n = state.range(0);
    numbered_drawing(n);
    for (auto _ : state) {
        quiet_session().transcript().clear();
        radlisting_menu_dispatch(3);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RadCheckDuplicated)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

void BM_RadCheckSequence(benchmark::State& state)
{
    const long n = state.range(0);
    numbered_drawing(n);
    for (auto _ : state) {
        quiet_session().transcript().clear();
        radlisting_menu_dispatch(4);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RadCheckSequence)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

void BM_RadRenumberAll(benchmark::State& state)
{
    const long n = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        numbered_drawing(n);
        // From the first number on, 20000 up: every point moves, so none clashes.
        quiet_session().set_input(host::script_input("1\n20001\nALL\n\n"));
        quiet_session().transcript().clear();
        state.ResumeTiming();
        radlisting_menu_dispatch(1);
        state.PauseTiming();
        if (quiet_session().transcript().text().find(std::to_string(n) + " points and") == std::string::npos)
            state.SkipWithError("the points were not renumbered");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RadRenumberAll)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

}  // namespace
