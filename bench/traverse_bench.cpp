// A large traverse as a surveyor works it in b_trav: the file opened (read,
// computed, drawn on the work layer), the computation listed (Prn: routes,
// listing, stations) and plotted into the drawing through the plot dialog
// (lines, labels, station numbers). The traverse is a closed loop of n legs
// with a closing record every thousand legs, so that it has many routes and
// closures as well as one long chain.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_session.h"

namespace {

// n legs round a ring of stations 20 m apart, a little off the true bearing
// as a field traverse is; every thousandth station closes a route on itself.
std::string traverse_file(long n)
{
    const std::string path = bench_file("traverse_" + std::to_string(n) + ".trv");
    if (std::filesystem::exists(path)) return path;
    std::ofstream out(path);
    out << "KOLVA4\nP,1,1,400000.0000000000,300000.0000000000,0.000,METER,\n";
    char line[128];
    for (long i = 1; i <= n; ++i) {
        const double degrees = std::fmod(360.0 * double(i) / double(n) + 90.0, 360.0);
        const int whole = int(degrees);
        const int minutes = int((degrees - whole) * 60.0);
        const int seconds = int(((degrees - whole) * 60.0 - minutes) * 60.0);
        std::snprintf(line, sizeof line, "T,%ld,%ld,%d.%02d%02d,%.3f,0.000,METER,\n", i, i + 1, whole,
                      minutes, seconds, 20.0 + double(i % 7) * 0.001);
        out << line;
        if (i % 1000 == 0) {
            std::snprintf(line, sizeof line, "C,%ld,%ld,0.0000,0.000,0.000,METER,\n", i + 1, i + 1);
            out << line;
        }
    }
    return path;
}

void run_traverse(benchmark::State& state, const std::string& after_open, const std::string& expect)
{
    const long n = state.range(0);
    const std::string file = traverse_file(n);
    for (auto _ : state) {
        state.PauseTiming();
        fresh_drawing();
        state.ResumeTiming();
        const std::string shown = run_script("(b_trav)\nO\n" + file + "\n" + after_open + "X\n");
        if (shown.find(expect) == std::string::npos || shown.find("skipped") != std::string::npos)
            state.SkipWithError("the traverse was not worked through");
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// Open alone: read, computed and drawn.
void BM_TraverseOpen(benchmark::State& state)
{
    run_traverse(state, "", "TRAV <" + std::to_string(state.range(0) + 1) + ">");
}

// Open, then Prn: routes, the computation listing and the stations.
void BM_TraverseOpenPrint(benchmark::State& state)
{
    run_traverse(state, "P\nP\n", "\nstn=" + std::to_string(state.range(0) + 1) + ",");
}

// Open, then Save to Dwg with the dialog's defaults: the route lines, the
// bearing and distance labels and the station numbers.
void BM_TraverseOpenPlot(benchmark::State& state)
{
    run_traverse(state, "S\npick yes\n", "NOT ADJUST");
}

void traverse_sizes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Arg(10000)->Arg(20000)->Arg(50000)->Arg(100000);
}

BENCHMARK(BM_TraverseOpen)->Apply(traverse_sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TraverseOpenPrint)->Apply(traverse_sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TraverseOpenPlot)->Apply(traverse_sizes)->Unit(benchmark::kMillisecond);

}  // namespace
