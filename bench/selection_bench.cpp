// Selections on drawings of 10k to 1M entities (POINTs, LINEs, TEXTs and
// 3DFACEs spread over a square, one every 3 m) as a command asks the user for
// them: "ALL" (and ssget "X" with a filter, as commands select their points),
// which cost what the drawing holds, and a window, a crossing, a fence and a
// pick over a small part of it, which should cost what they find. Then bpoly
// picks inside one lot of a town plan of 2k to 100k boundary lines, as the lot
// area labels ask the host for it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "ads.h"
#include "bench_session.h"
#include "db/entities.h"

namespace {

double side_of(long n)
{
    return 3.0 * std::sqrt(double(n));
}

void mixed_drawing(long n)
{
    fresh_drawing();
    host::Drawing& drawing = plugin_session().current().drawing;
    using host::Group;
    const long columns = long(std::sqrt(double(n))) + 1;
    for (long i = 0; i < n; ++i) {
        const double x = 3.0 * double(i % columns), y = 3.0 * double(i / columns);
        const host::Point3 at{x, y, 10.0};
        switch (i % 4) {
            case 0:
                host::entity_make(drawing, "POINT", {Group::of_text(8, "PNT"), Group::of_point(10, at)}, {});
                break;
            case 1:
                host::entity_make(drawing, "LINE",
                                  {Group::of_text(8, "LIN"), Group::of_point(10, at),
                                   Group::of_point(11, {x + 2, y + 1, 10})},
                                  {});
                break;
            case 2:
                host::entity_make(drawing, "TEXT",
                                  {Group::of_text(8, "TXT"), Group::of_point(10, at), Group::of_real(40, 0.5),
                                   Group::of_text(1, std::to_string(i))},
                                  {});
                break;
            default:
                host::entity_make(drawing, "3DFACE",
                                  {Group::of_text(8, "TIN"), Group::of_point(10, at),
                                   Group::of_point(11, {x + 2, y, 11}), Group::of_point(12, {x, y + 2, 12})},
                                  {});
                break;
        }
    }
}

// The user's selection with these answers; how many entities it holds.
long user_selection(const std::string& answers)
{
    plugin_session().transcript().clear();  // the prompts of earlier selections
    plugin_session().set_input(host::script_input(answers));
    ads_name set;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, set) != RTNORM) return 0;
    long length = 0;
    acedSSLength(set, &length);
    acedSSFree(set);
    return length;
}

std::string at(double x, double y)
{
    return std::to_string(x) + "," + std::to_string(y) + "\n";
}

// A selection by the user's answers on the drawing of the benchmark's size;
// answers is given the middle of the drawing.
template <class Answers>
void select_by(benchmark::State& state, Answers answers)
{
    const long n = state.range(0);
    mixed_drawing(n);
    const double middle = side_of(n) / 2;
    const std::string script = answers(middle);
    // A first selection brings the spatial index up to date with the entities
    // just made (once per drawing, in step with its size); the others use it.
    long found = user_selection(script);
    for (auto _ : state) found = user_selection(script);
    if (found == 0) state.SkipWithError("nothing was selected");
    state.counters["found"] = double(found);
}

void BM_SelectAll(benchmark::State& state)
{
    select_by(state, [](double) { return std::string("ALL\n\n"); });
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SelectAll)->Apply(survey_sizes)->Unit(benchmark::kMillisecond);

void BM_SelectWindow(benchmark::State& state)
{
    select_by(state, [](double m) { return "W\n" + at(m, m) + at(m + 30, m + 30) + "\n"; });
}
BENCHMARK(BM_SelectWindow)->Apply(survey_sizes)->Unit(benchmark::kMicrosecond);

void BM_SelectCrossing(benchmark::State& state)
{
    select_by(state, [](double m) { return "C\n" + at(m, m) + at(m + 30, m + 30) + "\n"; });
}
BENCHMARK(BM_SelectCrossing)->Apply(survey_sizes)->Unit(benchmark::kMicrosecond);

void BM_SelectFence(benchmark::State& state)
{
    select_by(state, [](double m) { return "F\n" + at(m, m) + at(m + 60, m + 45) + at(m + 90, m) + "\n\n"; });
}
BENCHMARK(BM_SelectFence)->Apply(survey_sizes)->Unit(benchmark::kMicrosecond);

void BM_SelectPick(benchmark::State& state)
{
    // On a POINT in the middle of the drawing.
    const long columns = long(std::sqrt(double(state.range(0)))) + 1;
    const long middle = (columns / 2 * columns + columns / 2) / 4 * 4;
    const std::string pick = at(3.0 * double(middle % columns), 3.0 * double(middle / columns)) + "\n";
    select_by(state, [&](double) { return pick; });
}
BENCHMARK(BM_SelectPick)->Apply(survey_sizes)->Unit(benchmark::kMicrosecond);

// ssget "X" with a filter of type and layer, as the commands gather their points.
void BM_SsgetXFiltered(benchmark::State& state)
{
    mixed_drawing(state.range(0));
    resbuf* filter = acutBuildList(RTDXF0, "POINT", 8, "PNT", 0);
    long found = 0;
    for (auto _ : state) {
        ads_name set;
        if (acedSSGet("X", nullptr, nullptr, filter, set) != RTNORM) continue;
        acedSSLength(set, &found);
        acedSSFree(set);
    }
    acutRelRb(filter);
    if (found == 0) state.SkipWithError("nothing was selected");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SsgetXFiltered)->Apply(survey_sizes)->Unit(benchmark::kMillisecond);

// A town plan: square lots of 20 m side by side, each side a LINE, n lines in all.
void town_plan(long lines)
{
    fresh_drawing();
    host::Drawing& drawing = plugin_session().current().drawing;
    const long lots = lines / 4, columns = long(std::sqrt(double(lots))) + 1;
    for (long k = 0; k < lots; ++k) {
        const double x = 20.0 * double(k % columns), y = 20.0 * double(k / columns);
        const host::Point3 c[4] = {{x, y, 0}, {x + 20, y, 0}, {x + 20, y + 20, 0}, {x, y + 20, 0}};
        for (int s = 0; s < 4; ++s)
            host::entity_make(drawing, "LINE",
                              {host::Group::of_text(8, "LOT"), host::Group::of_point(10, c[s]),
                               host::Group::of_point(11, c[(s + 1) % 4])},
                              {});
    }
}

void BM_BpolyPick(benchmark::State& state)
{
    const long lines = state.range(0);
    town_plan(lines);
    const long columns = long(std::sqrt(double(lines / 4))) + 1;
    const double middle = 20.0 * double(columns / 2) + 7.0;
    ads_point pick = {middle, middle, 0};
    for (auto _ : state) {
        resbuf* args = acutBuildList(RTSTR, "bpoly", RT3DPOINT, pick, 0);
        resbuf* result = nullptr;
        const int status = acedInvoke(args, &result);
        acutRelRb(args);
        if (status != RTNORM || !result || result->restype != RTENAME) {
            state.SkipWithError("bpoly found no boundary");
        } else {
            acdbEntDel(result->resval.rlname);  // the boundary made goes again
        }
        if (result) acutRelRb(result);
    }
}
BENCHMARK(BM_BpolyPick)->Arg(2000)->Arg(16000)->Arg(48000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
