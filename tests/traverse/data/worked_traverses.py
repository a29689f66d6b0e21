#!/usr/bin/env python3
"""Works out the expected results of the worked traverses by hand rules, apart
from the C++ code: coordinates of every station, the closure figures
(misclosures, length, accuracy ratio) and the route area, for the adjust flag
off and on and for rounding decimals 0 and 3.

Rules used (the surveyor's usual ones, written out here on their own):
  * D.MMSS -> degrees: DD + MM/60 + SS/3600 from the 4-decimal text.
  * pi = 3.1415926535; a leg's dE = d sin(b), dN = d cos(b).
  * with rounding decimals n > 0, dE and dN are rounded to n decimals, then the
    new coordinates; with n = 0 nothing is rounded.
  * misclosure = known - computed; ratio = length / sqrt(dx^2 + dy^2), cut.
  * Transit rule: x correction of a leg = |dE| * dx / sum|dE|, y correction =
    |dN| * dy / sum|dN|, with unrounded dE, dN, running from the start station.
  * area: double parallel distances times departures over the computed
    (unadjusted) polygon, positive clockwise; the start leg is turned until
    the last double distance is positive. The shoelace area of the same
    points is shown beside it as a check.

Run:  python3 worked_traverses.py   (writes loop.trv, link.trv and
worked_expected.txt beside itself; the working goes to worked_expected.txt as
lines starting with '#').
"""
import math
import os

PI = 3.1415926535
HERE = os.path.dirname(os.path.abspath(__file__))

FILES = {
    # A closed loop: 1 -> 2 -> 3 -> 4 -> back to 1, closing on fixed station 1.
    "loop.trv": """KOLVA4
P,1,1,5000.0000000000,3000.0000000000,0.000,METER,BM1
T,1,2,45.3015,120.456,0.000,METER,
T,2,3,135.1020,98.765,0.000,METER,
T,3,4,225.4510,130.002,0.000,METER,
T,4,1,320.4320,98.620,0.000,METER,
C,1,1,0.0000,0.000,0.000,METER,
""",
    # A link traverse from fixed 10 to fixed 20, closing on 20, with a
    # radiation from 11.
    "link.trv": """KOLVA4
P,10,10,2000.0000000000,1000.0000000000,0.000,METER,A
P,20,20,2345.1000000000,1064.3400000000,0.000,METER,B
T,10,11,62.1540,150.250,0.000,METER,
T,11,12,118.3005,87.335,0.000,METER,
T,12,20,75.0520,140.118,0.000,METER,
C,20,20,0.0000,0.000,0.000,METER,
R,11,101,10.0000,25.000,0.000,METER,
""",
}

# (file, first station, fixed stations, legs, closing station, radiations)
TRAVERSES = {
    "loop": ("loop.trv", {1: (5000.0, 3000.0)},
             [(1, 2, 45.3015, 120.456), (2, 3, 135.1020, 98.765), (3, 4, 225.4510, 130.002),
              (4, 1, 320.4320, 98.620)], 1, []),
    "link": ("link.trv", {10: (2000.0, 1000.0), 20: (2345.1, 1064.34)},
             [(10, 11, 62.1540, 150.250), (11, 12, 118.3005, 87.335), (12, 20, 75.0520, 140.118)], 20,
             [(11, 101, 10.0, 25.0)]),
}


def dms_deg(v):
    text = "%.4f" % v
    d, f = text.split(".")
    return float(d) + float(f[:2]) / 60 + float(f[2:4]) / 3600


def rnd(v, n):
    return float("%.*f" % (n, v)) if n > 0 else v


def area_dpd(points):
    legs = [(points[i][1] - points[i - 1][1], points[i][0] - points[i - 1][0]) for i in range(1, len(points))]
    n = len(legs)
    first = None
    for turn in range(n):
        order = legs[turn:] + legs[:turn]
        s = -1.0 if order[0][0] < 0 else 1.0
        d = 0.0
        total = 0.0
        for i, (dy, dx) in enumerate(order):
            d = s * dy if i == 0 else s * order[i - 1][0] + s * dy + d
            total += s * dx * d
        if first is None:
            first = 0.5 * total
        if d > 0:
            return 0.5 * total, turn
    return first, None


def shoelace_cw(points):
    pts = points[:-1] if points[0] == points[-1] else points
    s = 0.0
    for i in range(len(pts)):
        x1, y1 = pts[i]
        x2, y2 = pts[(i + 1) % len(pts)]
        s += x1 * y2 - x2 * y1
    return -0.5 * s


def work(name, decimals, adjust, out):
    _, fixed, legs, closing, rads = TRAVERSES[name]
    out.append("# ---- %s, decimals %d, adjust %s" % (name, decimals, "on" if adjust else "off"))
    coords = {k: v for k, v in fixed.items()}
    status = {k: "FIXED" for k in fixed}
    x, y = coords[legs[0][0]]
    length = 0.0
    sum_e = sum_n = 0.0
    polygon = [(x, y)]
    steps = []
    for frm, to, brg, dist in legs:
        b = dms_deg(brg)
        de = rnd(dist * math.sin(b * (1 / 180) * PI), decimals)
        dn = rnd(dist * math.cos(b * (1 / 180) * PI), decimals)
        x, y = rnd(rnd(x, decimals) + de, decimals), rnd(rnd(y, decimals) + dn, decimals)
        out.append("# %d->%d  b=%.4f (%.10f deg) d=%.3f  dE=%.6f dN=%.6f  -> (%.6f, %.6f)" %
                   (frm, to, brg, b, dist, de, dn, x, y))
        length += dist
        sum_e += abs(de)
        sum_n += abs(dn)
        steps.append((frm, to, b, dist))
        polygon.append((x, y))
        if to not in status:
            coords[to] = (x, y)
            status[to] = "CAL"
    kx0, ky0 = coords[closing]
    difdip, diflat = kx0 - x, ky0 - y
    mis = math.sqrt(difdip ** 2 + diflat ** 2)
    ratio = int(length / mis)
    out.append("# computed end (%.6f, %.6f), known (%.6f, %.6f)" % (x, y, kx0, ky0))
    out.append("# diflat = %.6f, difdip = %.6f, misclosure %.6f, length %.3f, ratio %.3f" %
               (diflat, difdip, mis, length, length / mis))
    if adjust:
        kx, ky = difdip / sum_e, diflat / sum_n
        out.append("# Transit: kx = %.10f / %.6f = %.12f, ky = %.10f / %.6f = %.12f" %
                   (difdip, sum_e, kx, diflat, sum_n, ky))
        ax, ay = fixed[legs[0][0]]
        for frm, to, b, dist in steps:
            de = dist * math.sin(b * (1 / 180) * PI)
            dn = dist * math.cos(b * (1 / 180) * PI)
            ax, ay = ax + de + abs(de) * kx, ay + dn + abs(dn) * ky
            out.append("# adjusted %d = (%.6f, %.6f)" % (to, ax, ay))
            if status.get(to) != "FIXED":
                coords[to] = (ax, ay)
                status[to] = "ADJUSTED"
    for frm, to, brg, dist in rads:
        fx, fy = coords[frm]
        b = dms_deg(brg)
        rx = rnd(fx + rnd(dist * math.sin(b * (1 / 180) * PI), decimals), decimals)
        ry = rnd(rnd(dist * math.cos(b * (1 / 180) * PI), decimals) + fy, decimals)
        out.append("# radiation %d->%d from (%.6f, %.6f) -> (%.6f, %.6f)" % (frm, to, fx, fy, rx, ry))
        coords[to] = (rx, ry)
        status[to] = "CAL"
    if polygon and legs[0][0] != closing:
        polygon.append(polygon[0])
    area, turn = area_dpd(polygon)
    out.append("# area (double distances, start leg turned %s) %.6f; shoelace %.6f" %
               (turn, area, shoelace_cw(polygon)))
    case = "%s_d%d_%s" % (name, decimals, "adj" if adjust else "noadj")
    for number in sorted(coords):
        out.append("station %s %d %.6f %.6f %s" % (case, number, coords[number][0], coords[number][1],
                                                   status[number]))
    out.append("route %s 0 %.6f %.6f %.6f %d %.6f" % (case, length, diflat, difdip, ratio, area))


def main():
    for name, text in FILES.items():
        with open(os.path.join(HERE, name), "w") as f:
            f.write(text)
    out = ["# Expected results of the worked traverses (written by worked_traverses.py).",
           "# station <case> <number> <x> <y> <status>",
           "# route <case> <index> <length> <diflat> <difdip> <ratio> <area>"]
    for name in TRAVERSES:
        for decimals in (0, 3):
            for adjust in (False, True):
                work(name, decimals, adjust, out)
    with open(os.path.join(HERE, "worked_expected.txt"), "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
