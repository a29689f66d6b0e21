// The host's tables, blocks and registry at sizes that double, so that time
// that doubles with them shows that no lookup grows with the square:
// - nested blocks made by acdbEntMake (each block a LINE and a reference to the
//   block before it), the last one inserted, then SAVEAS and OPEN;
// - layers: a layer record and an entity on it for each, then acdbTblSearch of each;
// - the registry file of n lines: what a session does with it at the start (the
//   folder values it sets up), then a value written and read back through the
//   registry functions.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "ads.h"
#include "bench_session.h"
#include "platform/win_platform.h"
#include "winplat.h"

namespace {

void make(resbuf* list)
{
    acdbEntMake(list);
    acutRelRb(list);
}

void BM_NestedBlocks(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string file = bench_file("nested_" + std::to_string(n) + ".dxf");
    ads_point origin = {0, 0, 0}, end = {1, 1, 0};
    for (auto _ : state) {
        state.PauseTiming();
        fresh_drawing();
        state.ResumeTiming();
        for (long i = 0; i < n; ++i) {
            const std::string name = "B" + std::to_string(i);
            make(acutBuildList(RTDXF0, "BLOCK", 2, name.c_str(), 10, origin, 70, 0, 0));
            make(acutBuildList(RTDXF0, "LINE", 8, "0", 10, origin, 11, end, 0));
            if (i > 0) {
                const std::string inner = "B" + std::to_string(i - 1);
                make(acutBuildList(RTDXF0, "INSERT", 8, "0", 2, inner.c_str(), 10, end, 0));
            }
            make(acutBuildList(RTDXF0, "ENDBLK", 0));
        }
        const std::string top = "B" + std::to_string(n - 1);
        make(acutBuildList(RTDXF0, "INSERT", 8, "0", 2, top.c_str(), 10, origin, 0));
        const std::string shown = run_script("SAVEAS " + file + "\nCLOSE\nOPEN " + file + "\n");
        if (shown.find("Opened") == std::string::npos) {
            std::fprintf(stderr, "%s\n", shown.c_str());
            state.SkipWithError("the blocks did not come back");
        }
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_NestedBlocks)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_LayerTable(benchmark::State& state)
{
    const long n = state.range(0);
    ads_point at = {0, 0, 0};
    for (auto _ : state) {
        state.PauseTiming();
        fresh_drawing();
        state.ResumeTiming();
        for (long i = 0; i < n; ++i) {
            const std::string name = "LAYER_" + std::to_string(i);
            make(acutBuildList(RTDXF0, "LAYER", 2, name.c_str(), 70, 0, 62, int(i % 255) + 1, 0));
            make(acutBuildList(RTDXF0, "POINT", 8, name.c_str(), 10, at, 0));
        }
        for (long i = 0; i < n; ++i) {
            resbuf* found = acdbTblSearch("LAYER", ("layer_" + std::to_string(i)).c_str(), 0);
            if (!found) state.SkipWithError("a layer was not found");
            acutRelRb(found);
        }
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_LayerTable)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// A registry of n lines: keys of other programs, each with one value.
void registry_of(long n)
{
    std::ofstream out(host::platform::registry_file(), std::ios::trunc);
    out << "# The host's registry: key, or key TAB value name TAB type TAB data.\n";
    for (long i = 0; i < n; ++i)
        out << "HKEY_CURRENT_USER\\Software\\Other\\Program" << i / 10 << "\\Part" << i % 10
            << "\tValue\tREG_SZ\t" << i << "\n";
}

void BM_RegistrySession(benchmark::State& state)
{
    const long n = state.range(0);
    quiet_session();  // the home of the run
    for (auto _ : state) {
        state.PauseTiming();
        registry_of(n);
        state.ResumeTiming();
        platform_first_run_setup(quiet_session().install_folder);
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\PelmoraSoftware\\Bench", 0, nullptr, 0, 0, nullptr,
                        &key, nullptr);
        const char text[] = "value";
        RegSetValueExA(key, "Setting", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
        char back[16] = {};
        DWORD size = sizeof back;
        if (RegQueryValueExA(key, "Setting", nullptr, nullptr, reinterpret_cast<BYTE*>(back), &size) !=
            ERROR_SUCCESS)
            state.SkipWithError("the value did not come back");
        RegCloseKey(key);
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_RegistrySession)
    ->Arg(4000)
    ->Arg(8000)
    ->Arg(16000)
    ->Arg(32000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
