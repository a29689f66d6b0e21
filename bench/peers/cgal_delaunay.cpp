// The peer the terrain path's triangulation is held against: CGAL's Delaunay
// triangulation with exact predicates, the points inserted as one range (so
// that CGAL sorts them along a space-filling curve first), on the same points
// file the benchmark makes. Built only when CGAL is installed; the product
// never uses it.
//   Usage: cgal_delaunay POINTS_FILE [REPEATS]
// Prints the median seconds of the triangulations (reading the file left out)
// and the number of finite triangles.
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Triangulation = CGAL::Delaunay_triangulation_2<Kernel>;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s POINTS_FILE [REPEATS]\n", argv[0]);
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    std::FILE* in = std::fopen(argv[1], "r");
    if (!in) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<Kernel::Point_2> points;
    long number = 0;
    double x = 0, y = 0, z = 0;
    while (std::fscanf(in, "%ld,%lf,%lf,%lf", &number, &x, &y, &z) == 4) points.emplace_back(x, y);
    std::fclose(in);
    std::vector<double> seconds;
    std::size_t faces = 0;
    for (int r = 0; r < repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        Triangulation triangulation;
        triangulation.insert(points.begin(), points.end());
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        faces = triangulation.number_of_faces();
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("%.6f %zu\n", seconds[seconds.size() / 2], faces);
    return 0;
}
