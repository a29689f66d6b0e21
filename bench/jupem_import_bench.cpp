// The lot-file import of 1k to 64k boundary lines (a grid of lots, each inner
// boundary listed by both of its lots) with a lot per square: lines, labels,
// stones and lot texts made in a fresh drawing. The repeated lines are found
// through a grid of the end points, so the time per line stays the same as the
// file grows.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_session.h"
#include "jupem_import.h"

namespace {

// Fixed columns, both bounds included.
void put(std::string& line, int a, int b, const std::string& text)
{
    const size_t width = static_cast<size_t>(b - a + 1);
    if (line.size() < static_cast<size_t>(b + 1)) line.resize(static_cast<size_t>(b + 1), ' ');
    line.replace(static_cast<size_t>(a), width, std::string(width - text.size(), ' ') + text);
}

std::string number(double v, int decimals)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

std::string boundary_line(double x1, double y1, double x2, double y2, double bearing)
{
    std::string line;
    put(line, 0, 15, "PT  12        1");
    put(line, 16, 28, "PKT");
    put(line, 39, 50, number(x1, 3));
    put(line, 51, 62, number(y1, 3));
    put(line, 64, 72, number(bearing, 4));
    put(line, 73, 82, number(std::hypot(x2 - x1, y2 - y1), 3));
    put(line, 86, 98, "BKL");
    put(line, 109, 120, number(x2, 3));
    put(line, 121, 132, number(y2, 3));
    return line;
}

// A grid of side x side lots of 20 m, four lines each: about 4 side^2 lines.
std::string plan_files(int side)
{
    const std::string base =
        (std::filesystem::temp_directory_path() / ("jupem_bench_" + std::to_string(side))).string();
    std::ofstream bdy(base + ".bdy"), lot(base + ".lot");
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j) {
            const double x = 1000 + 20.0 * i, y = 2000 + 20.0 * j;
            bdy << boundary_line(x, y, x + 20, y, 90) << "\r\n"
                << boundary_line(x + 20, y, x + 20, y + 20, 0) << "\r\n"
                << boundary_line(x + 20, y + 20, x, y + 20, 270) << "\r\n"
                << boundary_line(x, y + 20, x, y, 180) << "\r\n";
            std::string l;
            put(l, 0, 15, "PT  12   " + std::to_string(i * side + j + 1));
            put(l, 16, 27, number(x + 10, 3));
            put(l, 28, 39, number(y + 10, 3));
            put(l, 40, 55, "400.0");
            put(l, 56, 58, "M");
            lot << l << "\n";
        }
    return base + ".bdy";
}

void fresh_drawing()
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document();
}

void BM_JupemImport(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const std::string path = plan_files(side);
    for (auto _ : state) {
        state.PauseTiming();
        fresh_drawing();
        jupem_settings() = jupem_settings_rec{};
        jupem_settings().boundary_file = path;
        jupem_stone_types_init();
        state.ResumeTiming();
        if (!jupem_import_run()) state.SkipWithError("the import did not run");
        // Half the lines are repeats; each drawn line has its line, label and stones.
        if (quiet_session().current().drawing.model.size() < 2UL * side * side)
            state.SkipWithError("the plan was not drawn");
    }
    state.SetItemsProcessed(state.iterations() * 4L * side * side);
    std::filesystem::remove(path);
    std::filesystem::remove(path.substr(0, path.size() - 3) + "lot");
}
BENCHMARK(BM_JupemImport)->RangeMultiplier(2)->Range(16, 128)->Unit(benchmark::kMillisecond);

}  // namespace
