// PROJ (proj-bin's cs2cs and cct) as an independent reference for the
// coordinate tests: points go through a PROJ definition and come back as
// numbers. proj-bin is installed by .ci/install-deps, so a missing tool fails
// the test instead of skipping it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "outside_readers.h"

namespace proj {

using xy = std::array<double, 2>;

// Runs the PROJ tool on the points (two or three columns a line) and returns
// the first two numbers of each output line; empty (with a test failure) when
// the tool fails or gives another number of lines.
inline std::vector<xy> run_points(const std::string& tool, const std::string& definition,
                                  const std::vector<std::array<double, 3>>& points)
{
    char name[] = "/tmp/proj_points_XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) {
        ADD_FAILURE() << "no temporary file";
        return {};
    }
    FILE* file = fdopen(fd, "w");
    for (const auto& p : points) std::fprintf(file, "%.12f %.12f %.6f\n", p[0], p[1], p[2]);
    std::fclose(file);
    std::string output;
    const int status = outside::run_tool(tool + " " + definition + " " + name, output);
    std::remove(name);
    std::vector<xy> out;
    if (status != 0) {
        ADD_FAILURE() << tool << " is needed (proj-bin; .ci/install-deps installs it): " << output;
        return out;
    }
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        xy value{};
        if (fields >> value[0] >> value[1]) out.push_back(value);
    }
    if (out.size() != points.size()) {
        ADD_FAILURE() << tool << " gave " << out.size() << " points for " << points.size() << ":\n" << output;
        out.clear();
    }
    return out;
}

// cs2cs from one definition to another ("+proj=... +to +proj=..."): longitude
// then latitude in degrees, easting then northing in metres.
inline std::vector<xy> cs2cs(const std::string& from_to, const std::vector<xy>& points)
{
    std::vector<std::array<double, 3>> with_height;
    for (const xy& p : points) with_height.push_back({p[0], p[1], 0.0});
    return run_points("cs2cs -f %.12f", from_to, with_height);
}

// cct through a pipeline; longitude, latitude (degrees) and height in.
inline std::vector<xy> cct(const std::string& pipeline, const std::vector<std::array<double, 3>>& points)
{
    return run_points("cct -d 12", pipeline, points);
}

// Metres per degree of latitude and of longitude near the equator, to state
// geographic differences in metres.
inline constexpr double metres_per_degree = 110600.0;
inline double lon_metres(double degrees, double latitude)
{
    return degrees * 111320.0 * std::cos(latitude * 3.14159265358979 / 180);
}

}  // namespace proj
