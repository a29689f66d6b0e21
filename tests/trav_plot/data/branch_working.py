#!/usr/bin/env python3
"""Works out a traverse with side legs apart from the C++ code, and checks the
traverse lines of a plotted drawing against it.

    branch_working.py TRV [DXF]

TRV is read as a surveyor would: the fixed point, then legs "T,from,to,
bearing D.MMSS,distance" in order, then a closing record on station 1. A leg
from a station that is not the end of the line so far leaves the line at that
station: the legs between (a spur) are side legs. The main line is the chain
of legs from station 1 back to station 1; side legs hang off their
from-station as measured.

Printed, one per line, in the traverse command's own formats:
  * the closure line of the main line (length, misclosures known - computed,
    ratio length / misclosure cut to a whole number);
  * the area of the main line's polygon by shapely ("Loop 0 Area=...");
  * every station, computed and, when the plot is adjusted, by the Transit
    rule over the main line's legs only (corrections |dE| dx / sum|dE|,
    |dN| dy / sum|dN|); side stations from their adjusted from-station.
With DXF, the LWPOLYLINEs of layer LotLine are read with ezdxf and must be the
main line (station 1 round to station 1) and one line for each spur (its
from-station and the spur's stations), with the adjusted points when the
drawing was plotted adjusted (a third argument "adjusted"); then "plotted ok".
"""
import math
import sys

from shapely.geometry import Polygon

PI = 3.1415926535  # the traverse computation's pi


def dms(value):
    text = "%.4f" % value
    whole, frac = text.split(".")
    return int(whole) + int(frac[:2]) / 60.0 + int(frac[2:4]) / 3600.0


def main():
    path = sys.argv[1]
    dxf = sys.argv[2] if len(sys.argv) > 2 else None
    adjusted = len(sys.argv) > 3 and sys.argv[3] == "adjusted"
    fixed = {}
    legs = []
    for line in open(path):
        f = line.strip().split(",")
        if f[0] == "P":
            fixed[int(f[2])] = (float(f[3]), float(f[4]))
        elif f[0] == "T":
            legs.append((int(f[1]), int(f[2]), dms(float(f[3])), float(f[4])))
    start = 1
    # The line as entered: a leg from an earlier station cuts the line back to it.
    line_so_far = [start]
    side = set()
    for i, (a, b, _, _) in enumerate(legs):
        if a != line_so_far[-1]:
            cut = line_so_far.index(a)
            for later in line_so_far[cut + 1:]:
                side.add(later)
            line_so_far = line_so_far[:cut + 1]
        line_so_far.append(b)
    main_legs = [leg for leg in legs if leg[1] not in side]
    side_legs = [leg for leg in legs if leg[1] in side]

    def step(leg):
        b = leg[2] * (1 / 180.0) * PI
        return leg[3] * math.sin(b), leg[3] * math.cos(b)

    computed = {start: fixed[start]}
    for leg in legs:
        de, dn = step(leg)
        x, y = computed[leg[0]]
        computed.setdefault(leg[1], (x + de, y + dn))
    end = main_legs[-1]
    de, dn = step(end)
    x, y = computed[end[0]]
    end_point = (x + de, y + dn)
    known = fixed[start]
    dx, dy = known[0] - end_point[0], known[1] - end_point[1]
    length = sum(leg[3] for leg in main_legs)
    misclosure = math.hypot(dx, dy)
    ratio = 2147483647 if misclosure == 0 or length / misclosure >= 2147483647 else int(length / misclosure)
    print("\n[1--1]Tikai 1: %d   dist=%.3f  diflat= %.3f  difdip= %.3f" % (ratio, length, dy, dx))
    polygon = [computed[start]] + [computed[leg[1]] for leg in main_legs[:-1]]
    print("\nLoop 0 Area=%.3f" % Polygon(polygon).area)

    points = dict(computed)
    if adjusted:
        sum_e = sum(abs(step(leg)[0]) for leg in main_legs)
        sum_n = sum(abs(step(leg)[1]) for leg in main_legs)
        kx, ky = dx / sum_e, dy / sum_n
        points = {start: fixed[start]}
        for leg in legs:
            de, dn = step(leg)
            share = 0.0 if leg in side_legs else 1.0
            x, y = points[leg[0]]
            points.setdefault(leg[1], (x + de + abs(de) * kx * share, y + dn + abs(dn) * ky * share))
    for number in sorted(points):
        print("\nstn=%d,%.3f,%.3f," % (number, points[number][0], points[number][1]))

    if dxf:
        import ezdxf
        doc = ezdxf.readfile(dxf)
        drawn = [[(round(x, 6), round(y, 6)) for x, y in p.get_points("xy")]
                 for p in doc.modelspace().query("LWPOLYLINE") if p.dxf.layer == "LotLine"]
        expected = [[start] + [leg[1] for leg in main_legs]]
        for leg in side_legs:
            if expected[-1][-1] == leg[0] and len(expected) > 1:
                expected[-1].append(leg[1])
            else:
                expected.append([leg[0], leg[1]])
        want = [[(round(points[n][0], 6), round(points[n][1], 6)) for n in chain] for chain in expected]
        assert sorted(drawn) == sorted(want), (drawn, want)
        print("\nplotted ok")


if __name__ == "__main__":
    main()
