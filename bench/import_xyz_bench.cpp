// The ASCII point import on 10k to 1M points as a surveyor runs it: the LISP
// call, the dialog with the file named, each point made a POINT with its
// number and level texts in a fresh drawing; beside a plain parse of the same
// file by the import's own reader (its lines read and taken apart, nothing
// made), the figure the import is held against. Then the drawing it saves:
// OPEN of that file (its bytes a second) and SAVEAS of the drawing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "bench_session.h"
#include "import_xyz.h"
#include "survey_data.h"
#include "text_lines.h"

namespace {

// Runs the script in a fresh drawing, timing the script alone, and raises the
// peak to the most memory the process held while it ran.
std::string run_in_fresh_drawing(benchmark::State& state, const std::string& script, double& peak)
{
    state.PauseTiming();
    fresh_drawing();
    reset_peak_memory();
    state.ResumeTiming();
    const std::string shown = run_script(script);
    state.PauseTiming();
    peak = std::max(peak, peak_memory_mb());
    state.ResumeTiming();
    return shown;
}

void BM_ImportXyz(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string file = survey_points_file(n);
    double peak = 0;
    for (auto _ : state) {
        const std::string shown = run_in_fresh_drawing(state, import_dialog(file, false), peak);
        if (shown.find(std::to_string(n) + " points imported") == std::string::npos)
            state.SkipWithError("the points were not all imported");
    }
    state.counters["peak_MB"] = peak;
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ImportXyz)->Apply(survey_sizes)->Unit(benchmark::kMillisecond);

void BM_XyzPlainParse(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string file = survey_points_file(n);
    for (auto _ : state) {
        long parsed = 0;
        text_file_lines(file, [&](long, std::string_view line) { parsed += xyz_line_parse(line, 0).ok; });
        if (parsed != n) state.SkipWithError("the lines were not all parsed");
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_XyzPlainParse)->Apply(survey_sizes)->Unit(benchmark::kMillisecond);

void BM_OpenImported(benchmark::State& state)
{
    const std::string file = survey_points_dxf(state.range(0), false);
    double peak = 0;
    for (auto _ : state) {
        const std::string shown = run_in_fresh_drawing(state, "OPEN " + file + "\n", peak);
        if (shown.find("Opened") == std::string::npos) state.SkipWithError("the drawing did not open");
    }
    state.counters["peak_MB"] = peak;
    state.counters["file_MB"] = double(std::filesystem::file_size(file)) / 1e6;
    state.SetBytesProcessed(state.iterations() * long(std::filesystem::file_size(file)));
}
BENCHMARK(BM_OpenImported)->Apply(survey_sizes)->Unit(benchmark::kMillisecond);

void BM_SaveImported(benchmark::State& state)
{
    const std::string file = survey_points_dxf(state.range(0), false);
    const std::string copy = bench_file("saved_" + std::to_string(state.range(0)) + ".dxf");
    fresh_drawing();
    run_script("OPEN " + file + "\n");
    for (auto _ : state)
        if (run_script("SAVEAS " + copy + "\n").find("Saved as") == std::string::npos)
            state.SkipWithError("the drawing was not saved");
    state.SetBytesProcessed(state.iterations() * long(std::filesystem::file_size(file)));
    fresh_drawing();
}
BENCHMARK(BM_SaveImported)->Apply(survey_sizes)->Unit(benchmark::kMillisecond);

}  // namespace
