// The DXF-lot import of 1k to 16k points (a quarter of them symbols, with a
// traverse station every hundredth) through the path a caller runs: the file
// dialog's answer, the converter's start and wait (a stand-in that leaves the
// prepared temporary files and answers "done"), then the drawing of every
// point with its texts and tags in a fresh drawing. The time per point stays
// the same as the data grows.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bench_session.h"
#include "folders_registry.h"
#include "merrow.h"
#include "platform/siblings.h"
#include "session/input.h"

namespace {

namespace fs = std::filesystem;

// The converter's files for n points, written once into a folder of their own.
std::string prepared_files(int n)
{
    const fs::path folder = fs::temp_directory_path() / ("merrow_bench_" + std::to_string(n));
    fs::create_directories(folder);
    std::ofstream(folder / "dx3c.tmp") << "0,0,1000,1000\r\n";
    std::ofstream(folder / "parameter.cfg") << "1000,1.0,1.0,1.0,1.0,90.0,1.3,90.0\r\n";
    std::ofstream(folder / "block.tmp") << "CODE,NAME,DESCRIPTION,BLOCK\r\nTR,TREE,Tree,"
                                        << ORVIK_INSTALL_TREE << "\\drawing\\symbol\\TREE.dwg\r\n";
    std::ofstream points(folder / "dx3a.tmp"), stations(folder / "trv1.tmp"),
        descriptions(folder / "dxfdesc.tmp");
    std::ofstream(folder / "ch1.tmp") << "";
    for (int i = 0; i < n; ++i) {
        const double x = 1000 + (i % 100) * 5.0, y = 2000 + (i / 100) * 5.0;
        const std::string where = std::to_string(x) + "," + std::to_string(y);
        if (i % 100 == 99)
            stations << i << "," << where << ",14.000,14.000,TRV," << i * 5.0 << "\r\n";
        else
            points << i << "," << where << ",12.500,12.500," << (i % 4 ? "STR,POINT" : "TR,SYMBOL") << "\r\n";
        if (i % 50 == 0) descriptions << where << ",Note " << i << "\r\n";
    }
    return folder.string();
}

void fresh_drawing()
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document();
}

void BM_MerrowImport(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::string prepared = prepared_files(n);
    quiet_session().install_folder = ORVIK_INSTALL_TREE;
    quiet_session().pump_second_ms = 1;
    for (auto _ : state) {
        state.PauseTiming();
        fresh_drawing();
        const std::string temp = app_temp_folder();
        register_sibling_standin("Merrow", [prepared, temp] {
            char native[4096];
            win_native_path(temp.c_str(), native, sizeof native);
            for (const auto& file : fs::directory_iterator(prepared))
                fs::copy_file(file.path(), fs::path(native) / file.path().filename(),
                              fs::copy_options::overwrite_existing);
            reg_write_string(ORVIK_REGISTRY_SUBKEY, "merrow_status", "done");
        });
        quiet_session().set_input(host::script_input(prepared + "/data.csv\n"));
        state.ResumeTiming();
        if (!merrow_import()) state.SkipWithError("the import did not run");
        if (quiet_session().current().drawing.model.size() < 3UL * n)
            state.SkipWithError("the points were not drawn");
    }
    state.SetItemsProcessed(state.iterations() * n);
    clear_sibling_standins();
    fs::remove_all(prepared);
}
BENCHMARK(BM_MerrowImport)->RangeMultiplier(4)->Range(1024, 16384)->Unit(benchmark::kMillisecond);

}  // namespace
