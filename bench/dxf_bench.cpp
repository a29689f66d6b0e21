// Large drawings: saving and reading DXF text of 1k to 100k entities, and the
// entity walks plug-ins make over such drawings (acdbEntNext with acdbEntGet
// on every entity, also while making a text at every point, and ssget "X"
// with and without a filter). All of them grow linearly with the drawing.
#include <benchmark/benchmark.h>

#include <string>

#include "ads.h"
#include "bench_session.h"
#include "dxf/dxf.h"

namespace {

// n entities on ten layers: lines, points with extended data, texts and
// three-vertex 3D polylines (each POLYLINE counts with its VERTEXes and SEQEND).
host::Drawing large_drawing(long n)
{
    using host::Group;
    host::Drawing d;
    host::Entity appid;
    appid.type = "APPID";
    appid.groups = {Group::of_text(2, "RADLISTING"), Group::of_int(70, 0)};
    d.add_record("APPID", appid);
    for (int k = 0; k < 10; ++k) {
        host::Entity layer;
        layer.type = "LAYER";
        layer.groups = {Group::of_text(2, "L" + std::to_string(k)), Group::of_int(70, 0),
                        Group::of_int(62, 7), Group::of_text(6, "CONTINUOUS")};
        d.add_record("LAYER", layer);
    }
    long made = 0;
    for (long i = 0; made < n; ++i) {
        const long column = i % 1000, row = i / 1000;  // a grid of 1000 columns
        const double x = double(column), y = double(row);
        const std::string layer = "L" + std::to_string(i % 10);
        host::Entity e;
        e.groups = {Group::of_text(8, layer)};
        switch (i % 4) {
            case 0:
                e.type = "LINE";
                e.groups.push_back(Group::of_point(10, {x, y, 0}));
                e.groups.push_back(Group::of_point(11, {x + 1, y + 1, 0}));
                break;
            case 1:
                e.type = "POINT";
                e.groups.push_back(Group::of_point(10, {x, y, 1.5}));
                e.xdata = {{"RADLISTING", {Group::of_int(1071, i)}}};
                break;
            case 2:
                e.type = "TEXT";
                e.groups.push_back(Group::of_text(1, std::to_string(i)));
                e.groups.push_back(Group::of_point(10, {x, y, 0}));
                e.groups.push_back(Group::of_real(40, 2.5));
                break;
            default: {
                e.type = "POLYLINE";
                e.groups.push_back(Group::of_int(66, 1));
                e.groups.push_back(Group::of_int(70, 8));
                const long id = d.add_entity(e).id;
                for (int v = 0; v < 3; ++v) {
                    host::Entity vertex;
                    vertex.type = "VERTEX";
                    vertex.parent = id;
                    vertex.groups = {Group::of_text(8, layer), Group::of_point(10, {x + v, y, double(v)}),
                                     Group::of_int(70, 32)};
                    d.add_entity(vertex);
                }
                host::Entity seqend;
                seqend.type = "SEQEND";
                seqend.parent = id;
                seqend.groups = {Group::of_text(8, layer)};
                d.add_entity(seqend);
                made += 5;
                continue;
            }
        }
        d.add_entity(e);
        ++made;
    }
    return d;
}

// Makes the drawing the session's current one.
void make_current(long n)
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document().drawing = large_drawing(n);
}

void BM_DxfWrite(benchmark::State& state)
{
    const host::Drawing d = large_drawing(state.range(0));
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = host::dxf_write(d, {});
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["bytes"] = double(bytes);
}

void BM_DxfRead(benchmark::State& state)
{
    const std::string text = host::dxf_write(large_drawing(state.range(0)), {});
    for (auto _ : state) {
        host::DxfReadResult result = host::dxf_read(text);
        if (!result.drawing) state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(result.drawing.get());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A file of a double-byte code page opened and saved again: n TEXTs of
// Japanese (Shift-JIS) text on a layer of a Japanese name, each decoded into
// the drawing and encoded back into the file's code page.
void BM_DxfCodePageOpenSave(benchmark::State& state)
{
    const std::string layer = "\x8B\xAB\x8A\x45\x90\xFC";  // a boundary line
    const std::string words =
        "\x91\xAA\x97\xCA\x90\x7D \x83\x5C\x95\x5C";  // survey plan, with trail bytes 0x5C
    std::string text =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$DWGCODEPAGE\n3\nANSI_932\n0\nENDSEC\n"
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n1\n0\nLAYER\n2\n" +
        layer + "\n70\n0\n62\n7\n6\nCONTINUOUS\n0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
    for (long i = 0; i < state.range(0); ++i)
        text += "0\nTEXT\n8\n" + layer + "\n10\n" + std::to_string(i) + "\n20\n0\n40\n2.5\n1\n" + words +
                " " + std::to_string(i) + "\n";
    text += "0\nENDSEC\n0\nEOF\n";
    for (auto _ : state) {
        host::DxfReadResult read = host::dxf_read(text);
        if (!read.drawing) state.SkipWithError(read.error.c_str());
        std::string saved = host::dxf_write(*read.drawing, {}, read.kept.get());
        benchmark::DoNotOptimize(saved.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The whole drawing walked as plug-ins walk it: acdbEntNext from the first
// entity, acdbEntGet on each.
void BM_EntNextEntGet(benchmark::State& state)
{
    make_current(state.range(0));
    for (auto _ : state) {
        long count = 0;
        ads_name entity;
        for (int status = acdbEntNext(nullptr, entity); status == RTNORM;
             status = acdbEntNext(entity, entity)) {
            resbuf* list = acdbEntGet(entity);
            benchmark::DoNotOptimize(list);
            acutRelRb(list);
            ++count;
        }
        if (count != state.range(0)) state.SkipWithError("the walk missed entities");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A walk that labels as it goes: acdbEntNext over the drawing, a TEXT made by
// acdbEntMake beside every POINT met (the new texts are walked too, at the end).
void BM_EntNextWhileMaking(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        make_current(state.range(0));
        state.ResumeTiming();
        ads_name entity;
        for (int status = acdbEntNext(nullptr, entity); status == RTNORM;
             status = acdbEntNext(entity, entity)) {
            resbuf* list = acdbEntGet(entity);
            const resbuf* type = list ? list->rbnext : nullptr;  // -1, then 0
            if (type && type->restype == 0 && std::string(type->resval.rstring) == "POINT") {
                ads_point at = {0, 0, 0};
                for (const resbuf* node = list; node; node = node->rbnext)
                    if (node->restype == 10) ads_point_set(node->resval.rpoint, at);
                resbuf* text = acutBuildList(RTDXF0, "TEXT", 8, "LABELS", 1, "P", 10, at, 40, 1.0, 0);
                acdbEntMake(text);
                acutRelRb(text);
            }
            acutRelRb(list);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// ssget "X" over the whole drawing, then acdbEntGet on every item of the set.
void BM_SsgetAllEntGet(benchmark::State& state)
{
    make_current(state.range(0));
    for (auto _ : state) {
        ads_name set;
        if (acedSSGet("X", nullptr, nullptr, nullptr, set) != RTNORM) state.SkipWithError("ssget X failed");
        long length = 0;
        acedSSLength(set, &length);
        for (long i = 0; i < length; ++i) {
            ads_name entity;
            acedSSName(set, i, entity);
            resbuf* list = acdbEntGet(entity);
            benchmark::DoNotOptimize(list);
            acutRelRb(list);
        }
        acedSSFree(set);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// ssget "X" with a filter of type and layer, as the commands select their points.
void BM_SsgetFiltered(benchmark::State& state)
{
    make_current(state.range(0));
    resbuf* filter = acutBuildList(RTDXF0, "POINT", 8, "L1", 0);
    for (auto _ : state) {
        ads_name set;
        if (acedSSGet("X", nullptr, nullptr, filter, set) != RTNORM) state.SkipWithError("ssget X failed");
        long length = 0;
        acedSSLength(set, &length);
        benchmark::DoNotOptimize(length);
        acedSSFree(set);
    }
    acutRelRb(filter);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_DxfWrite)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DxfRead)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DxfCodePageOpenSave)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EntNextEntGet)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EntNextWhileMaking)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SsgetAllEntGet)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SsgetFiltered)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
