# An independent computation of a route curve with transitions, for the
# route-curve tests, in two models:
#
# The clothoid ("exact"): the transitions are clothoids of parameter
# A^2 = R L, their points x(l) = A sqrt(pi) C(l / (A sqrt(pi))) and
# y(l) = A sqrt(pi) S(l / (A sqrt(pi))) from scipy.special.fresnel; spiral
# angle L / 2R; shift p = y(L) - R (1 - cos) and k = x(L) - R sin of the
# spiral angle; circular length R (D - phi1 - phi2).
#
# The textbook ("book"): shift L^2 / 24R and k = L / 2; a transition station
# l from T1 (or T4) at a deflection of l^2 / 6RL off the straight, the
# transition's end at L, chords taken as the lengths along the transition;
# the circle of radius R through the two ends of the transitions as set out,
# on the side the route turns to.
#
# In both, the centre of the shifted circle is found by construction, as the
# point R + p1 from the incoming straight and R + p2 from the outgoing one,
# and T1 lies k1 before the foot of the centre on the incoming straight, T4 k2
# after its foot on the outgoing one. Deflections of transition stations are
# taken at T1 (T4) from the straight; those of circle stations at T2 from the
# chord T1-T2 produced; circle chords are straight distances between points.
#
# Which chainages the stations take follows the rules the command states:
# the first station at the round chainage the interval reaches (counted down
# from T4 for the second transition), then whole intervals, no chord below
# the minimum chord ending a part (a short first chord on the circle also
# gives back one interval), and a station at the middle of the arc.
#
# Input: one JSON object (argv[1]). Output: a line "<name> <value>..." for each
# element and point, and a line "<model> <name> <part> <chainage> <chord>
# <deflection in degrees> <x> <y>" for each row of each model's table.
import json
import math
import sys

from scipy.special import fresnel


def direction(bearing):
    r = math.radians(bearing)
    return (math.sin(r), math.cos(r))


def add(p, v, s=1.0):
    return (p[0] + s * v[0], p[1] + s * v[1])


def bearing(a, b):
    return math.degrees(math.atan2(b[0] - a[0], b[1] - a[1])) % 360.0


def angle_between(b1, b2):
    d = abs(b1 - b2) % 360.0
    return 360.0 - d if d > 180.0 else d


def clothoid(l, R, L):
    """The point l along a clothoid that reaches radius R after L: (along, across)."""
    if L == 0 or l == 0:
        return (l, 0.0)
    a = math.sqrt(R * L) * math.sqrt(math.pi)
    s, c = fresnel(l / a)
    return (a * c, a * s)


def construct(c, p1, p2, k1, k2, turn):
    """T1, T4 and the centre of the shifted circle."""
    ip = (c["ip_x"], c["ip_y"])
    e1 = direction((c["bearing_in"] + 180.0) % 360.0)
    n1 = direction((c["bearing_in"] + 180.0 + 90.0 * turn) % 360.0)
    e2 = direction(c["bearing_out"])
    n2 = direction((c["bearing_out"] + 90.0 * turn) % 360.0)
    R = c["R"]
    # (O - IP).n1 = R + p1 and (O - IP).n2 = R + p2
    det = n1[0] * n2[1] - n1[1] * n2[0]
    ox = ((R + p1) * n2[1] - (R + p2) * n1[1]) / det
    oy = (n1[0] * (R + p2) - n2[0] * (R + p1)) / det
    centre = (ip[0] + ox, ip[1] + oy)
    t1 = add(add(centre, n1, -(R + p1)), e1, -k1)
    t4 = add(add(centre, n2, -(R + p2)), e2, k2)
    return t1, t4, centre, e1, n1, e2, n2


def round_to_ten(v, step):
    s = math.floor(step + 1e-9)
    t = math.floor(v + s + 1e-9)
    d = t % 10
    if s < 1:
        return t + (10 - d if d > 0 else 0)
    return t - d + (s if d > s else 0)


def first_chord(start, interval, backwards):
    v = -start if backwards else start
    chord = round_to_ten(v, interval) - v
    while chord <= 1e-6:
        chord += interval
    return chord


def positions(length, first, interval, min_chord, short_first):
    if length <= 1e-6 or first >= length - 1e-6:
        return []
    rest = length - first
    whole = math.floor(rest / interval + 1e-9)
    last = rest - whole * interval
    if short_first and first < min_chord and whole > 0:
        whole, last = whole - 1, last + interval
    while (last < min_chord or last <= 1e-6) and whole > 0:
        whole, last = whole - 1, last + interval
    if last < min_chord or last <= 1e-6:
        return []
    return [first + k * interval for k in range(whole + 1)]


def table(c, turn, spiral1, spiral2, centre, arc, circular, deflection, straight_chords):
    """The setting-out rows: spiral1(l) and spiral2(l) give transition points,
    the circle of the centre runs an arc from spiral1(L1) to spiral2(L2), and
    the chainage of T3 is T2's plus `circular`. Transition chords are the
    straight distances between the points, or (straight_chords False, as the
    textbook sets them out) the lengths along the transition."""
    L1, L2 = c["L1"], c["L2"]
    it, ic, mc = c["interval_t"], c["interval_c"], c["min_chord"]
    t1, t2, t3 = spiral1(0.0), spiral1(L1), spiral2(L2)
    ch1 = c["ch_T1"]
    ch2 = ch1 + L1
    ch4 = ch2 + circular + L2
    rows = []
    number = [0]

    def name():
        number[0] += 1
        return "C%d" % number[0]

    def row(label, part, ch, chord, defl, point):
        rows.append((label, part, ch, chord, defl, point[0], point[1]))

    def chord(spiral, a, b):
        return math.dist(spiral(a), spiral(b)) if straight_chords else abs(b - a)

    row("T1", 1, ch1, 0.0, 0.0, t1)
    prev = 0.0
    for l in positions(L1, first_chord(ch1, it, False), it, mc, False) if L1 > 0 else []:
        row(name(), 1, ch1 + l, chord(spiral1, prev, l), deflection(l, L1), spiral1(l))
        prev = l
    row("T2", 1, ch2, chord(spiral1, prev, L1), deflection(L1, L1), t2)

    row("T2", 2, ch2, 0.0, 0.0, t2)
    arcs = positions(circular, first_chord(ch2, ic, False), ic, mc, True)
    if not any(abs(a - circular / 2) < 1e-4 for a in arcs):
        arcs = sorted(arcs + [circular / 2])
    reference = bearing(t1, t2) if L1 > 0 else (c["bearing_in"] + 180.0) % 360.0
    start = bearing(centre, t2)
    prev = t2
    for a in arcs + [circular]:
        # The chainage runs `circular` along an arc of length `arc`.
        turned = math.degrees(a * arc / circular / c["R"])
        point = t3 if a == circular else add(centre, direction(start + turn * turned), c["R"])
        row("T3" if a == circular else name(), 2, ch2 + a, math.dist(prev, point),
            angle_between(reference, bearing(t2, point)), point)
        prev = point

    back = positions(L2, first_chord(ch4, it, True), it, mc, False) if L2 > 0 else []
    listed = [L2] + back[::-1] + [0.0]
    for i, l in enumerate(listed):
        label = "T3" if i == 0 else "T4" if i == len(listed) - 1 else name()
        row(label, 3, ch4 - l, 0.0 if i == 0 else chord(spiral2, listed[i - 1], l),
            deflection(l, L2) if l > 0 else 0.0, spiral2(l))
    return rows


def main():
    c = json.loads(sys.argv[1])
    R, L1, L2 = c["R"], c["L1"], c["L2"]
    d_in, d_out = c["bearing_in"], c["bearing_out"]
    D = abs(180.0 - angle_between(d_in, d_out))
    th1, th2 = L1 / (2 * R), L2 / (2 * R)
    x1, y1 = clothoid(L1, R, L1)
    x2, y2 = clothoid(L2, R, L2)
    p1, p2 = y1 - R * (1 - math.cos(th1)), y2 - R * (1 - math.cos(th2))
    k1, k2 = x1 - R * math.sin(th1), x2 - R * math.sin(th2)
    # The route turns right when the outgoing straight lies clockwise of the
    # direction of travel.
    travel = (d_in + 180.0) % 360.0
    turn = 1 if ((d_out - travel) % 360.0) < 180.0 else -1
    ip = (c["ip_x"], c["ip_y"])

    t1, t4, centre, e1, n1, e2, n2 = construct(c, p1, p2, k1, k2, turn)
    b_t1, b_t4, b_shifted, *_ = construct(c, L1 * L1 / (24 * R), L2 * L2 / (24 * R), L1 / 2, L2 / 2, turn)

    def exact1(l):
        x, y = clothoid(l, R, L1)
        return add(add(t1, e1, x), n1, y)

    def exact2(l):
        x, y = clothoid(l, R, L2)
        return add(add(t4, e2, -x), n2, y)

    def book1(l):
        d = math.degrees(l * l / (6 * R * L1)) if L1 > 0 else 0.0
        return add(b_t1, direction((travel + turn * d) % 360.0), l)

    def book2(l):
        d = math.degrees(l * l / (6 * R * L2)) if L2 > 0 else 0.0
        return add(b_t4, direction((d_out + 180.0 - turn * d) % 360.0), l)

    def exact_deflection(l, L):
        x, y = clothoid(l, R, L)
        return math.degrees(math.atan2(y, x))

    def book_deflection(l, L):
        return math.degrees(l * l / (6 * R * L)) if L > 0 else 0.0

    lc = R * math.radians(D - math.degrees(th1 + th2))
    exact_rows = table(c, turn, exact1, exact2, centre, lc, lc, exact_deflection, True)

    b2, b3 = book1(L1), book2(L2)
    half = math.dist(b2, b3) / 2
    middle = ((b2[0] + b3[0]) / 2, (b2[1] + b3[1]) / 2)
    b_centre = add(middle, direction((bearing(b2, b3) + 90.0 * turn) % 360.0),
                   math.sqrt(max(R * R - half * half, 0.0)))
    b_arc = 2 * R * math.asin(min(half / R, 1.0))
    book_rows = table(c, turn, book1, book2, b_centre, b_arc, lc if c.get("curve_length") else b_arc,
                      book_deflection, False)

    values = {
        "D": D, "phi1": math.degrees(th1), "phi2": math.degrees(th2), "turn": turn,
        "shift1": p1, "shift2": p2, "k1": k1, "k2": k2,
        "Ts1": math.dist(ip, t1), "Ts2": math.dist(ip, t4),
        "book_Ts1": math.dist(ip, b_t1), "book_Ts2": math.dist(ip, b_t4),
        "book_T1": b_t1, "book_T4": b_t4, "book_centre": b_centre, "book_lc2": b_arc,
        "T1": t1, "T2": exact1(L1), "T3": exact2(L2), "T4": t4, "centre": centre, "lc": lc,
    }
    for key, value in values.items():
        numbers = value if isinstance(value, (list, tuple)) else [value]
        print(key, " ".join(repr(float(v)) for v in numbers))
    for model, rows in (("exact", exact_rows), ("book", book_rows)):
        for r in rows:
            print(model, r[0], r[1], " ".join(repr(float(v)) for v in r[2:]))


main()
