// The terrain tools as a surveyor runs them, on 10k to 1M surveyed points:
// - the whole path: OPEN the drawing of the points, the TIN from the terrain
//   menu over the user's selection "ALL", the contours, SAVEAS; each step timed
//   through the same script, with the most memory the process held on the way;
// - the peers a surveyor's colleague would script the same job with, on the
//   same points in the same run: scipy's Delaunay triangulation, CGAL's (a
//   program of its own, built only where CGAL is installed) and matplotlib's
//   contours over the same triangles and levels;
// - the duplicated-points check from the menu over "ALL" (every 50th point taken twice);
// - one breakline piece (a LINE of 30 m) on TINs of growing size, whose cost
//   should not grow with the TIN.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_session.h"
#include "db/entities.h"
#include "entity_makers.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "survey_data.h"

namespace {

const std::string kTinFromMenu = "(b_dtm_main)\nselect s_progname 1\npick go_btn\nP\n\nALL\n\n";
const std::string kContoursFromMenu = "(b_dtm_main)\nselect s_progname 3\npick go_btn\nP\nok\n";

void close_drawings()
{
    host::Session& session = plugin_session();
    while (session.has_document()) session.close_document(0);
}

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The whole path, each step typed as its own part of the script, so that the
// steps' times add up to the path's: "open_s", "tin_s" (selection, reading the
// nodes, triangulating, writing the faces), "contours_s" (reading the faces,
// cutting, joining, writing the polylines) and "saveas_s", each the median of
// the repetitions, and "path_s" their sum's median.
void BM_TerrainPath(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string in = survey_points_dxf(n);
    const std::string out = bench_file("terrain_" + std::to_string(n) + ".dxf");
    const std::string steps[] = {"OPEN " + in + "\n", kTinFromMenu, kContoursFromMenu,
                                 "SAVEAS " + out + "\n"};
    const char* names[] = {"open_s", "tin_s", "contours_s", "saveas_s"};
    std::vector<double> times[4], whole;
    double peak = 0, start = 0;
    bool ran = true;
    for (auto _ : state) {
        state.PauseTiming();
        close_drawings();
        reset_peak_memory();
        start = resident_memory_mb();
        state.ResumeTiming();
        std::string shown;
        double sum = 0;
        for (int k = 0; k < 4; ++k) {
            const auto begun = std::chrono::steady_clock::now();
            shown += run_script(steps[k]);
            times[k].push_back(seconds_since(begun));
            sum += times[k].back();
        }
        whole.push_back(sum);
        state.PauseTiming();
        peak = std::max(peak, peak_memory_mb());
        ran = ran && shown.find("Triangle Created.") != std::string::npos &&
              shown.find("Saved as") != std::string::npos;
        state.ResumeTiming();
    }
    if (!ran) state.SkipWithError("the terrain path did not run through");
    for (int k = 0; k < 4; ++k) state.counters[names[k]] = median(times[k]);
    state.counters["path_s"] = median(whole);
    state.counters["peak_MB"] = peak;
    state.counters["start_MB"] = start;
    state.SetItemsProcessed(state.iterations() * n);
}
// Three runs of the path at every size: the steps' figures are their medians.
BENCHMARK(BM_TerrainPath)->Apply(survey_sizes)->Iterations(3)->Unit(benchmark::kMillisecond);

// The host's side of the TIN step, as the terrain tool drives it through the
// host's API, each part timed on its own: "select_s" the user's selection
// "ALL" filtered to POINTs, "read_s" each point's list read (acedSSName,
// acdbEntGet, the group 10, acutRelRb) and "write_s" two triangular faces
// made per point on the layer "TIN", each the median of the repetitions; the
// drawing is opened anew for each.
void BM_TinHostSteps(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string in = survey_points_dxf(n);
    std::vector<double> times[3];
    long made = 0;
    for (auto _ : state) {
        state.PauseTiming();
        close_drawings();
        run_script("OPEN " + in + "\n");
        plugin_session().set_input(host::script_input("ALL\n\n"));
        state.ResumeTiming();
        auto begun = std::chrono::steady_clock::now();
        ads_name set;
        long length = 0;
        ss_select_type("POINT", set, length);
        times[0].push_back(seconds_since(begun));

        begun = std::chrono::steady_clock::now();
        std::vector<point3d_rec> points;
        points.reserve(size_t(length));
        for (long i = 0; i < length; ++i) {
            ads_name entity;
            if (acedSSName(set, i, entity) != RTNORM) continue;
            resbuf* list = acdbEntGet(entity);
            if (!list) continue;
            point3d_rec p;
            rb_get_point(list, 10, p, 1);
            acutRelRb(list);
            points.push_back(p);
        }
        times[1].push_back(seconds_since(begun));
        if (length) acedSSFree(set);

        begun = std::chrono::steady_clock::now();
        face_list_maker face("TIN");
        made = 0;
        for (size_t i = 0; i + 3 < points.size(); ++i) {
            made += face.make(points[i], points[i + 1], points[i + 2]) == RTNORM;
            made += face.make(points[i + 1], points[i + 3], points[i + 2]) == RTNORM;
        }
        times[2].push_back(seconds_since(begun));
    }
    if (made < 2 * (n - 3)) state.SkipWithError("not every face was made");
    const char* names[] = {"select_s", "read_s", "write_s"};
    for (int k = 0; k < 3; ++k) state.counters[names[k]] = median(times[k]);
    state.counters["faces"] = double(made);
    state.SetItemsProcessed(state.iterations() * n);
    close_drawings();
}
BENCHMARK(BM_TinHostSteps)->Apply(survey_sizes)->Iterations(5)->Unit(benchmark::kMillisecond);

// Runs a peer's command, which prints its median seconds, a count and
// optionally more seconds; the first seconds are the benchmark's time, the
// count the counter named, the more seconds the counter `more_name`.
void run_peer(benchmark::State& state, const std::string& command, const char* count_name,
              const char* missing, const char* more_name = nullptr)
{
    for (auto _ : state) {
        FILE* pipe = ::popen(command.c_str(), "r");
        double seconds = 0, more = 0;
        long count = 0;
        const bool read = pipe && std::fscanf(pipe, "%lf %ld", &seconds, &count) == 2 &&
                          (!more_name || std::fscanf(pipe, "%lf", &more) == 1);
        if (pipe) ::pclose(pipe);
        if (!read) {
            state.SkipWithError(missing);
            break;
        }
        state.SetIterationTime(seconds);
        state.counters[count_name] = double(count);
        if (more_name) state.counters[more_name] = more;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The python that has scipy: ORVIK_PYTHON, else the system's.
std::string python()
{
    const char* given = std::getenv("ORVIK_PYTHON");
    return given && *given ? given : "/usr/bin/python3";
}

void BM_ScipyDelaunay(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string points = survey_points_file(n);
    // The mean of a few triangulations in one python, the reading of the file left out.
    const int repeats = n >= 1000000 ? 1 : 3;
    const std::string command = python() +
                                " -c 'import sys, time, numpy\n"
                                "from scipy.spatial import Delaunay\n"
                                "xy = numpy.loadtxt(sys.argv[1], delimiter=\",\", usecols=(1, 2))\n"
                                "t = time.perf_counter()\n"
                                "for _ in range(int(sys.argv[2])): d = Delaunay(xy)\n"
                                "print((time.perf_counter() - t) / int(sys.argv[2]), len(d.simplices))' " +
                                points + " " + std::to_string(repeats);
    run_peer(state, command, "triangles", "python with scipy is not there (set ORVIK_PYTHON)");
}
// A peer runs once at each size, timing its own repetitions.
void peer_runs(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Apply(survey_sizes)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_ScipyDelaunay)->Apply(peer_runs);

// CGAL's Delaunay triangulation of the same points (exact predicates, range
// insert), the median of three in one process, the reading of the file left out.
void BM_CgalDelaunay(benchmark::State& state)
{
#ifdef ORVIK_CGAL_PEER
    const std::string points = survey_points_file(state.range(0));
    run_peer(state, std::string(ORVIK_CGAL_PEER) + " " + points + " 3", "triangles",
             "the CGAL peer did not run");
#else
    for (auto _ : state) {
        state.SkipWithError("CGAL was not found when the benchmarks were built (libcgal-dev)");
        break;
    }
#endif
}
BENCHMARK(BM_CgalDelaunay)->Apply(peer_runs);

// matplotlib's tricontour over the same points' Delaunay triangles at the
// levels the contour tool takes by default (interval 1 from 0 up to the
// highest z), the median of three; reading the file and finding the
// triangles left out. The time includes making matplotlib's mesh from the
// triangles, as the contour tool makes its own from the faces; "alone_s" is
// the contouring again on the mesh made.
void BM_MatplotlibContours(benchmark::State& state)
{
    const long n = state.range(0);
    const std::string command = python() + " " + ORVIK_BENCH_DIR + "/peers/matplotlib_contours.py " +
                                survey_points_file(n) + " " + (n >= 1000000 ? "1" : "3");
    run_peer(state, command, "triangles", "python with matplotlib is not there (set ORVIK_PYTHON)",
             "alone_s");
}
BENCHMARK(BM_MatplotlibContours)->Apply(peer_runs);

// The survey's points as POINTs, every 50th made twice.
void points_with_doubles(long n)
{
    fresh_drawing();
    host::Drawing& drawing = plugin_session().current().drawing;
    std::mt19937 random(11);
    const double side = 3.0 * std::sqrt(double(n));
    std::uniform_real_distribution<double> coord(0.0, side);
    for (long i = 0; i < n; ++i) {
        const double x = coord(random), y = coord(random);
        const host::Point3 at{400000.0 + x, 300000.0 + y, survey_height(x, y)};
        for (int k = 0; k < (i % 50 == 0 ? 2 : 1); ++k)
            host::entity_make(drawing, "POINT",
                              {host::Group::of_text(8, "DATA_PNT"), host::Group::of_point(10, at)}, {});
    }
}

void BM_DuplicatedPoints(benchmark::State& state)
{
    const long n = state.range(0);
    long found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        points_with_doubles(n);
        state.ResumeTiming();
        const std::string shown = run_script("(b_dtm_main)\nselect s_progname 0\npick go_btn\nP\n\nALL\n\n");
        // The last progress line: "Processing n of m points (k duplicated at tolorence t)".
        const size_t at = shown.rfind(" points (");
        found = at == std::string::npos ? 0 : std::atol(shown.c_str() + at + 9);
    }
    // Random points may also fall together by chance.
    if (found < (n + 49) / 50) state.SkipWithError("the doubles were not all found");
    state.counters["duplicated"] = double(found);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DuplicatedPoints)->Apply(survey_sizes)->Unit(benchmark::kMillisecond);

void BM_BreaklinePiece(benchmark::State& state)
{
    const long n = state.range(0);
    close_drawings();
    run_script("OPEN " + survey_points_dxf(n) + "\n" + kTinFromMenu);
    host::Drawing& drawing = plugin_session().current().drawing;
    const double side = 3.0 * std::sqrt(double(n));
    std::mt19937 random(13);
    std::uniform_real_distribution<double> place(0.25 * side, 0.75 * side);
    const auto breakline_piece = [&] {
        const double x = 400000.0 + place(random), y = 300000.0 + place(random);
        host::entity_make(drawing, "LINE",
                          {host::Group::of_text(8, "BRK"), host::Group::of_point(10, {x, y, 0}),
                           host::Group::of_point(11, {x + 24.0, y + 18.0, 0})},
                          {});
    };
    const std::string breakline_tool = "(b_dtm_main)\nselect s_progname 2\npick go_btn\nP\nL\n\n";
    // The first piece after the TIN also brings the spatial index up to date
    // with the faces just made (once, in step with the drawing): left out.
    breakline_piece();
    run_script(breakline_tool);
    long pieces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        breakline_piece();
        state.ResumeTiming();
        const std::string shown = run_script(breakline_tool);
        if (shown.find("Processing selected items") == std::string::npos)
            state.SkipWithError("the breakline tool did not run");
        ++pieces;
    }
    state.SetItemsProcessed(pieces);
    close_drawings();
}
BENCHMARK(BM_BreaklinePiece)->Apply(survey_sizes)->Unit(benchmark::kMillisecond);

}  // namespace
