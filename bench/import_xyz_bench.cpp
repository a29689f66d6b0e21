// ASCII point import of 1k to 100k points: each point a POINT and its two
// texts (number and level), read from a file and made in a fresh drawing. The
// time per point stays the same as the file grows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_session.h"
#include "import_xyz.h"

namespace {

std::string points_file(long n)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("import_xyz_bench_" + std::to_string(n) + ".txt"))
            .string();
    std::ofstream out(path);
    char line[96];
    for (long i = 0; i < n; ++i) {
        // A grid of 1000 columns with levels that vary.
        std::snprintf(line, sizeof line, "%ld,%.3f,%.3f,%.3f\n", i + 1, 1000.0 + double(i % 1000) * 5.0,
                      2000.0 + double(i / 1000) * 5.0, 10.0 + double(i % 97) * 0.125);
        out << line;
    }
    return path;
}

void fresh_drawing()
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document();
}

void BM_ImportXyz(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string path = points_file(n);
    import_xyz_cfg() = import_xyz_cfg_rec{};
    for (auto _ : state) {
        state.PauseTiming();
        fresh_drawing();
        state.ResumeTiming();
        const xyz_import_result result = xyz_file_import(path);
        if (result.drawn != n) state.SkipWithError("points were not all drawn");
    }
    state.SetItemsProcessed(state.iterations() * n);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ImportXyz)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

}  // namespace
