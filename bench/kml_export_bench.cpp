// The KML export of 10k to 1M vertices (paths of 100 vertices in a GDM2000
// state grid): every vertex converted to WGS84 and written. The time per
// vertex stays the same as the paths grow in number.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_session.h"
#include "kml_export.h"

namespace {

void BM_KmlExport(benchmark::State& state)
{
    const long vertices = state.range(0);
    kml_settings_rec& s = kml_settings();
    kml_settings_init(s);
    s.file_name = (std::filesystem::temp_directory_path() / "kml_export_bench.kml").string();
    s.state_name = "Johor";
    s.projection_name = "Cassini-Soldner Geocentric";
    for (long p = 0; p < vertices / 100; ++p) {
        kml_path_rec path;
        path.name = "Line" + std::to_string(p + 1);
        for (long v = 0; v < 100; ++v)
            numbered_point_push(path.vertices, 0, {1000.0 + double(v) * 3.0, 2000.0 + double(p) * 5.0, 0});
        path.first_point = path.vertices.front().point;
        s.paths.push_back(std::move(path));
    }
    quiet_session();
    for (auto _ : state)
        if (!kml_export_write()) state.SkipWithError("the file was not written");
    state.SetItemsProcessed(state.iterations() * vertices);
    std::filesystem::remove(s.file_name);
    s.paths.clear();
}
BENCHMARK(BM_KmlExport)->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);

}  // namespace
