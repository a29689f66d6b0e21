#!/usr/bin/env python3
"""The peer the terrain path's contours are held against: matplotlib's
tricontour over the Delaunay triangles of the same points at the same levels
(interval 1 from 0 up to the whole part of the highest z, as the contour tool
takes them with its default settings). Used by the benchmark only.

Usage: matplotlib_contours.py POINTS_FILE [REPEATS]
Prints the median seconds of the contouring (reading the file and finding the
triangles left out), the number of triangles and the median seconds of the
contouring alone (again on the same triangulation, its mesh of neighbours
made); the number of contour lines goes to standard error.
"""
import statistics
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy  # noqa: E402
from matplotlib.tri import Triangulation  # noqa: E402


def main():
    path = sys.argv[1]
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    data = numpy.loadtxt(path, delimiter=",", usecols=(1, 2, 3))
    x, y, z = data[:, 0], data[:, 1], data[:, 2]
    # The Delaunay triangles (qhull's), made once; each contouring starts from
    # them as a new triangulation, so that it builds its own mesh (neighbours,
    # boundaries) as the contour tool does from the faces.
    triangles = Triangulation(x, y).triangles
    levels = numpy.arange(0.0, numpy.floor(z.max()) + 1.0, 1.0)
    figure, axes = plt.subplots()
    seconds, alone, lines = [], [], 0
    for _ in range(repeats):
        start = time.perf_counter()
        triangulation = Triangulation(x, y, triangles)
        contours = axes.tricontour(triangulation, z, levels=levels)
        seconds.append(time.perf_counter() - start)
        for collection in contours.collections:
            collection.remove()
        # Again on the same triangulation, whose mesh is now made: the
        # contouring alone.
        start = time.perf_counter()
        contours = axes.tricontour(triangulation, z, levels=levels)
        alone.append(time.perf_counter() - start)
        # A path may hold several lines of its level, each begun by a move.
        lines = sum(int(numpy.count_nonzero(path.codes == 1)) if path.codes is not None else 1
                    for collection in contours.collections for path in collection.get_paths())
        for collection in contours.collections:
            collection.remove()
    plt.close(figure)
    print(f"{statistics.median(seconds):.6f} {len(triangles)} {statistics.median(alone):.6f}", flush=True)
    print(f"{lines} contour lines", file=sys.stderr)

if __name__ == "__main__":
    main()
