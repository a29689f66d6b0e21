// b_moffset through the host as a user runs it: the step, the object, the side
// and the count; n copies at step, 2 x step, ... on the picked side of each
// kind of object the host's "_offset" takes, OFFSETDIST given back afterwards,
// and the copies read back from the saved DXF by ezdxf. Polyline copies are
// compared with shapely's own offsets of the original where shapely's offset is
// exact (mitred corners between straight legs, arcs meeting their neighbours
// tangentially, arcs followed every milliradian); where a straight leg meets an arc at
// a corner shapely mitres the arc's last chord instead of the arc, so those
// corners are worked here: the offset line crosses the offset circle. Lines,
// circles and arcs against the distances worked here.
#include <cmath>
#include <sstream>

#include "db/sysvars.h"
#include "lot_tools_fixture.h"

namespace {

const char* const kReadBack = R"PY(
import math, sys, ezdxf
from ezdxf.math import bulge_to_arc
from shapely.geometry import LineString, Point, Polygon
doc = ezdxf.readfile(sys.argv[1])
msp = list(doc.modelspace())
def pts(e):
    # The outline with each bulged leg followed every milliradian, from ezdxf's
    # own reading of the bulge (its paths would give Bezier approximations).
    v = e.get_points("xyb")
    out = []
    legs = len(v) if e.closed else len(v) - 1
    for i in range(legs):
        x0, y0, b = v[i]
        x1, y1 = v[(i + 1) % len(v)][:2]
        out.append((x0, y0))
        if b:
            c, a0, a1, r = bulge_to_arc((x0, y0), (x1, y1), b)
            sweep = (a1 - a0) % (2 * math.pi)
            n = max(2, int(sweep / 1e-3))
            arc = [(c[0] + r * math.cos(a0 + sweep * k / n), c[1] + r * math.sin(a0 + sweep * k / n))
                   for k in range(1, n)]
            if math.hypot(arc[0][0] - x0, arc[0][1] - y0) > math.hypot(arc[-1][0] - x0, arc[-1][1] - y0):
                arc.reverse()
            out.extend(arc)
    if not e.closed:
        out.append(v[-1][:2])
    return out
def gap(a, b):
    return max(b.distance(Point(c)) for c in a.coords)
for i, e in enumerate(msp):
    t = e.dxftype()
    if t == "LINE":
        print(i, t, "%.9f %.9f %.9f %.9f" % (e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y))
    elif t == "CIRCLE":
        print(i, t, "%.9f %.9f %.9f" % (e.dxf.center.x, e.dxf.center.y, e.dxf.radius))
    elif t == "ARC":
        print(i, t, "%.9f %.9f %.9f %.9f %.9f" % (e.dxf.center.x, e.dxf.center.y, e.dxf.radius,
                                                  e.dxf.start_angle, e.dxf.end_angle))
    elif t == "LWPOLYLINE":
        print(i, t, "%d %d %s" % (len(e), e.closed, e.dxf.layer),
              ";".join("%.9f,%.9f,%.9f" % p for p in e.get_points("xyb")))
# "original:copy:distance": the copy against shapely's offset of the original
# (distance > 0 to the left of an open polyline, outward of a closed one).
for spec in sys.argv[2:]:
    i, j, d = spec.split(":")
    o, c, d = msp[int(i)], msp[int(j)], float(d)
    if o.closed:
        expected = Polygon(pts(o)).buffer(d, join_style=2, mitre_limit=100).exterior
        got = LineString(pts(c) + [pts(c)[0]])
    else:
        expected = LineString(pts(o)).parallel_offset(abs(d), "left" if d > 0 else "right", join_style=2,
                                                        mitre_limit=100)
        got = LineString(pts(c))
    print("offset", spec, "%.9f" % max(gap(expected, got), gap(got, expected)))
)PY";

class MOffset : public LotToolsTest {
protected:
    // One run of the command: step, object pick, side, count.
    std::string moffset(const std::string& step, const std::string& pick, const std::string& side,
                        const std::string& count)
    {
        return run("(b_moffset)\n" + step + "\n" + pick + "\n" + side + "\n" + count + "\n");
    }
    double offsetdist() { return host::sysvar_real(drawing(), "OFFSETDIST"); }
};

TEST_F(MOffset, EachKindIsCopiedAtEqualStepsOnThePickedSide)
{
    line(0, 0, 10, 0);
    make("CIRCLE", {Group::of_text(8, "LOT"), Group::of_point(10, {50, 0, 0}), Group::of_real(40, 10)});
    make("ARC", {Group::of_text(8, "LOT"), Group::of_point(10, {100, 0, 0}), Group::of_real(40, 10),
                 Group::of_real(50, 0), Group::of_real(51, M_PI / 2)});  // radians, as the API takes them
    // Open: a straight leg, a quarter circle turning left, a leg going on
    // tangentially, and a corner between two straight legs.
    lwpolyline({{0, 50}, {20, 50, std::tan(M_PI / 8)}, {30, 60}, {30, 80}, {10, 90}}, false);
    // Closed: a lot whose north side is an arc meeting the east and west sides
    // at corners (arc centre (20, 109), radius 29).
    lwpolyline({{0, 100}, {40, 100}, {40, 130, 0.4}, {0, 130}}, true);
    // Closed: straight sides with half circles at the ends.
    lwpolyline({{0, 200}, {40, 200, 1}, {40, 220}, {0, 220, 1}}, true);
    run("(setvar \"OFFSETDIST\" 4.0)\n");

    std::string out = moffset("2.5", "5,0", "5,3", "3");
    EXPECT_NE(out.find("offset distance :<0.0000>:"), std::string::npos) << out;
    EXPECT_DOUBLE_EQ(offsetdist(), 4.0);
    // The next call offers the step and the count of the last one.
    out = moffset("2.5", "60,0", "70,0", "2");
    EXPECT_NE(out.find("offset distance :<2.5000>:"), std::string::npos) << out;
    EXPECT_NE(out.find("How many times<3>:"), std::string::npos) << out;
    // Inward the fourth copy would have no radius: three are made, and said so.
    out = moffset("2.5", "40,0", "45,0", "5");
    EXPECT_NE(out.find("Copy 4 of 5 at 10.0000 could not be made; the 3 before it stay."), std::string::npos)
        << out;
    EXPECT_DOUBLE_EQ(offsetdist(), 4.0);
    moffset("3", "107.0710678,7.0710678", "102,2", "2");
    moffset("1", "10,50", "24,57", "2");
    moffset("2", "20,100", "20,110", "3");
    moffset("2", "20,100", "20,90", "1");
    moffset("1.5", "20,200", "20,210", "2");
    moffset("3", "20,200", "20,195", "1");
    EXPECT_DOUBLE_EQ(offsetdist(), 4.0);

    const std::string shown =
        python_on_saved(kReadBack, {"3:16:1", "3:17:2", "5:22:-1.5", "5:23:-3", "5:24:3"});
    std::istringstream lines(shown);
    std::vector<std::vector<std::string>> rows;
    for (std::string l; std::getline(lines, l);) {
        std::istringstream words(l);
        std::vector<std::string> row;
        for (std::string w; words >> w;) row.push_back(w);
        rows.push_back(row);
    }
    ASSERT_EQ(rows.size(), 25u + 5u) << shown;
    auto value = [&](size_t row, size_t field) { return std::stod(rows[row][field]); };
    // LINE copies 2.5 apart above the line.
    for (int k = 1; k <= 3; ++k) {
        const size_t r = 5 + k;
        ASSERT_EQ(rows[r][1], "LINE");
        EXPECT_NEAR(value(r, 2), 0, 1e-9);
        EXPECT_NEAR(value(r, 3), 2.5 * k, 1e-9);
        EXPECT_NEAR(value(r, 4), 10, 1e-9);
        EXPECT_NEAR(value(r, 5), 2.5 * k, 1e-9);
    }
    // Circles: two outward, three inward; the arc inward by 3 and 6, its ends kept.
    const double radii[] = {12.5, 15, 7.5, 5, 2.5};
    for (int k = 0; k < 5; ++k) {
        ASSERT_EQ(rows[9 + k][1], "CIRCLE");
        EXPECT_NEAR(value(9 + k, 2), 50, 1e-9);
        EXPECT_NEAR(value(9 + k, 4), radii[k], 1e-9);
    }
    for (int k = 0; k < 2; ++k) {
        ASSERT_EQ(rows[14 + k][1], "ARC");
        EXPECT_NEAR(value(14 + k, 4), 7 - 3 * k, 1e-9);
        EXPECT_NEAR(value(14 + k, 5), 0, 1e-9);
        EXPECT_NEAR(value(14 + k, 6), 90, 1e-9);
    }
    for (size_t r = 16; r <= 24; ++r) {
        ASSERT_EQ(rows[r][1], "LWPOLYLINE");
        EXPECT_EQ(rows[r][4], "LOT");  // the object's layer
        EXPECT_EQ(rows[r][3], r <= 17 ? "0" : "1");
    }
    // The lot with the arc side: each corner where the offset side meets the
    // offset arc, and the arc's bulge from its new sweep about the same centre.
    const double steps[] = {2, 4, 6, -2};
    for (int k = 0; k < 4; ++k) {
        const double d = steps[k], r = 29 - d, half = 20 - d;
        const double y = 109 + std::sqrt(r * r - half * half);
        const double bulge = std::tan(std::atan2(half, y - 109) / 2);
        const double want[4][3] = {{d, 100 + d, 0}, {40 - d, 100 + d, 0}, {40 - d, y, bulge}, {d, y, 0}};
        std::vector<double> got;
        std::string vertex_text = rows[18 + k][5];
        for (char& c : vertex_text)
            if (c == ';' || c == ',') c = ' ';
        std::istringstream numbers(vertex_text);
        for (double v; numbers >> v;) got.push_back(v);
        ASSERT_EQ(got.size(), 12u) << rows[18 + k][5];
        for (int i = 0; i < 12; ++i)
            EXPECT_NEAR(got[i], want[i / 3][i % 3], 1e-9) << "copy " << k << " " << i;
    }
    for (size_t r = 25; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r][0], "offset");
        EXPECT_LT(value(r, 2), 1e-4) << rows[r][1];
    }
}

TEST_F(MOffset, APolylineSeenFromBelowIsOffsetTowardsTheSidePickedInPlan)
{
    // The square 300..320 x 0..20 in plan, kept in a plane of extrusion
    // (0, 0, -1), where its x coordinates are negated.
    make("LWPOLYLINE", {Group::of_text(8, "LOT"), Group::of_int(90, 4), Group::of_int(70, 1),
                        Group::of_point(10, {-300, 0, 0}), Group::of_point(10, {-320, 0, 0}),
                        Group::of_point(10, {-320, 20, 0}), Group::of_point(10, {-300, 20, 0}),
                        Group::of_point(210, {0, 0, -1})});
    moffset("2", "310,0", "310,10", "1");
    const auto copies = live("LWPOLYLINE");
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[1]->point(210).z, -1);
    std::vector<host::Point3> corners;
    for (const host::Group& g : host::shown_groups(drawing(), *copies[1]))
        if (g.code == 10) corners.push_back(g.point);
    ASSERT_EQ(corners.size(), 4u);
    for (const host::Point3& c : corners) {  // inside the square: 302..318 x 2..18 in plan
        EXPECT_TRUE(std::fabs(-c.x - 302) < 1e-9 || std::fabs(-c.x - 318) < 1e-9) << c.x;
        EXPECT_TRUE(std::fabs(c.y - 2) < 1e-9 || std::fabs(c.y - 18) < 1e-9) << c.y;
    }
}

TEST_F(MOffset, BadAnswersAreRefusedAndTheDrawingStaysAsItWas)
{
    line(0, 0, 10, 0);
    run("(setvar \"OFFSETDIST\" 1.5)\n");
    // A step of 0, a negative step and a word are asked again.
    std::string out = run("(b_moffset)\n0\n-2\nabc\n2\n5,0\n5,1\n0\n");
    EXPECT_NE(out.find("The offset distance must be more than 0."), std::string::npos) << out;
    EXPECT_NE(out.find("No copy made: the number of copies must be 1 or more."), std::string::npos) << out;
    EXPECT_EQ(live("LINE").size(), 1u);
    EXPECT_DOUBLE_EQ(offsetdist(), 1.5);
    out = run("(b_moffset)\n2\n5,0\n5,1\n-3\n");
    EXPECT_NE(out.find("No copy made"), std::string::npos) << out;
    // Nothing picked, and eXit at the side: nothing made.
    run("(b_moffset)\n2\n50,50\n");
    run("(b_moffset)\n2\n5,0\nX\n");
    EXPECT_EQ(live("LINE").size(), 1u);
    EXPECT_DOUBLE_EQ(offsetdist(), 1.5);
    // A kind the host cannot offset is said so; nothing made, OFFSETDIST back.
    text("LOT", 20, 20, "12");
    out = run("(b_moffset)\n2\n20.5,20.5\n30,30\n1\n");
    EXPECT_NE(out.find("a TEXT cannot be offset."), std::string::npos) << out;
    EXPECT_EQ(entity_count(), 2u);
    EXPECT_DOUBLE_EQ(offsetdist(), 1.5);
}

}  // namespace
