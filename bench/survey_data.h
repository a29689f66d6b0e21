// Survey data of the benchmarks: n surveyed points scattered over a square
// (about one every 3 m, as a terrain survey takes them) on a rolling surface,
// as an ASCII point file ("number,x,y,z") and as the drawing of their POINTs
// that the point import saves. Each is made once per size and kept in the
// run's folder.
#pragma once

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bench_session.h"

// The surface the points lie on: hills of 20 m over a slope.
inline double survey_height(double x, double y)
{
    return 50.0 + 20.0 * std::sin(x / 150.0) * std::cos(y / 200.0) + x / 100.0;
}

inline std::string survey_points_file(long n)
{
    const std::string path = bench_file("points_" + std::to_string(n) + ".txt");
    if (std::filesystem::exists(path)) return path;
    std::mt19937 random(7);
    const double side = 3.0 * std::sqrt(double(n));
    std::uniform_real_distribution<double> coord(0.0, side);
    std::ofstream out(path);
    char line[128];
    for (long i = 0; i < n; ++i) {
        const double x = coord(random), y = coord(random);
        std::snprintf(line, sizeof line, "%ld,%.3f,%.3f,%.3f\n", i + 1, 400000.0 + x, 300000.0 + y,
                      survey_height(x, y));
        out << line;
    }
    return path;
}

// The import's dialog lines for the file: every option as it comes, or only
// the POINTs at their levels (no number or level texts).
inline std::string import_dialog(const std::string& file, bool points_only)
{
    std::string lines = "(b_import_xyz)\nset text_file_open " + file + "\n";
    if (points_only) lines += "set tg_noid 0\nset tg_level 0\nset tg_z 1\n";
    return lines + "ok\n";
}

// The drawing the import saves: POINTs only, or POINTs with their number and level texts.
inline std::string survey_points_dxf(long n, bool points_only = true)
{
    const std::string path = bench_file((points_only ? "points_" : "imported_") + std::to_string(n) + ".dxf");
    if (std::filesystem::exists(path)) return path;
    fresh_drawing();
    run_script(import_dialog(survey_points_file(n), points_only) + "SAVEAS " + path + "\n");
    fresh_drawing();
    return path;
}
