// b_sel_cutting through the host: a top-edge and a toe LWPOLYLINE picked, the
// side picked, and one tongue per width of top edge. The saved drawing is read
// back by ezdxf; every HATCH path must be closed, and its area (its arcs
// followed closely) must equal, by shapely, the area of the tongue worked out
// in python from the polylines alone: the stretches by shapely's interpolate
// along the top edge, each foot as the toe's nearest point to the stretch's
// middle, the tip half a stretch towards it and the arcs through the points
// halfway to the chord's ends.
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "db/entities.h"
#include "db/sysvars.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "settings_store.h"
#include "test_entities.h"

namespace {

struct XY {
    double x, y;
};

std::string xy(double x, double y)
{
    char text[80];
    std::snprintf(text, sizeof text, "%.12f,%.12f", x, y);
    return text;
}

std::string coords(const std::vector<XY>& points)
{
    std::string text;
    for (const XY& p : points) text += (text.empty() ? "" : ";") + xy(p.x, p.y);
    return text;
}

// Compares every tongue of the saved drawing with the one worked out from the
// two polylines; prints "ok <count>" or why not.
const char* const kTongueCheck = R"(
import sys, math, ezdxf
from ezdxf import path as ezpath
from shapely.geometry import LineString, Polygon, Point
def pts(text): return [tuple(map(float, p.split(","))) for p in text.split(";")]
top, toe, width = LineString(pts(sys.argv[2])), LineString(pts(sys.argv[3])), float(sys.argv[4])
def arc(a, m, b, n=4000):
    ax, ay = a; mx, my = m; bx, by = b
    d = 2 * (ax * (my - by) + mx * (by - ay) + bx * (ay - my))
    cx = ((ax*ax + ay*ay) * (my - by) + (mx*mx + my*my) * (by - ay) + (bx*bx + by*by) * (ay - my)) / d
    cy = ((ax*ax + ay*ay) * (bx - mx) + (mx*mx + my*my) * (ax - bx) + (bx*bx + by*by) * (mx - ax)) / d
    r = math.hypot(ax - cx, ay - cy)
    t0, tm, t1 = (math.atan2(p[1] - cy, p[0] - cx) for p in (a, m, b))
    span = (t1 - t0) % (2 * math.pi)
    if (tm - t0) % (2 * math.pi) > span: span -= 2 * math.pi
    inner = [(cx + r * math.cos(t0 + span * k / n), cy + r * math.sin(t0 + span * k / n)) for k in range(1, n)]
    return [a] + inner + [b]
def ring(vertices):
    out = []
    for i, (x, y, b) in enumerate(vertices):
        x2, y2 = vertices[(i + 1) % len(vertices)][:2]
        out.append((x, y))
        if b:
            theta = 4 * math.atan(b); chord = math.hypot(x2 - x, y2 - y)
            r = chord / (2 * math.sin(abs(theta) / 2))
            off = r * math.cos(abs(theta) / 2) * (1 if b > 0 else -1)
            cx, cy = (x + x2) / 2 - (y2 - y) / chord * off, (y + y2) / 2 + (x2 - x) / chord * off
            a0 = math.atan2(y - cy, x - cx)
            out += [(cx + r * math.cos(a0 + theta * k / 4000), cy + r * math.sin(a0 + theta * k / 4000))
                    for k in range(1, 4000)]
    return out
doc = ezdxf.readfile(sys.argv[1])
hatches = list(doc.modelspace().query("HATCH[layer=='Cutting']"))
count = int(top.length // width)
assert len(hatches) == count, (len(hatches), count)
for i, hatch in enumerate(hatches):
    assert hatch.dxf.solid_fill == 1 and len(hatch.paths) == 1
    assert all(p.is_closed for p in ezpath.from_hatch(hatch)), i
    p1, p2 = top.interpolate(i * width), top.interpolate((i + 1) * width)
    m = ((p1.x + p2.x) / 2, (p1.y + p2.y) / 2)
    k = toe.interpolate(toe.project(Point(m)))
    dmk = math.hypot(k.x - m[0], k.y - m[1])
    length = min(p1.distance(p2) / 2, dmk)
    ux, uy = (k.x - m[0]) / dmk, (k.y - m[1]) / dmk
    t = (m[0] + length * ux, m[1] + length * uy)
    h = (m[0] + length / 2 * ux, m[1] + length / 2 * uy)
    q1, q2 = ((h[0] + p1.x) / 2, (h[1] + p1.y) / 2), ((h[0] + p2.x) / 2, (h[1] + p2.y) / 2)
    want = Polygon([(p1.x, p1.y)] + arc((p2.x, p2.y), q2, t) + arc(t, q1, (p1.x, p1.y))[1:])
    got = Polygon(ring([tuple(v) for v in hatch.paths[0].vertices]))
    assert got.is_valid and want.is_valid, i
    assert abs(got.area - want.area) <= 1e-4 * want.area, (i, got.area, want.area)
    assert got.symmetric_difference(want).area <= 1e-3 * want.area, (i, got.symmetric_difference(want).area)
    # The tongue points to the toe: its tip lies on the way from M to the foot.
    v = hatch.paths[0].vertices
    assert math.hypot(v[2][0] - t[0], v[2][1] - t[1]) < 1e-3, (i, v[2], t)
print("ok", len(hatches))
)";

class SelCutting : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }
    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        return test_live_entities(drawing(), type, layer);
    }
    void polyline(const char* layer, const std::vector<XY>& points)
    {
        ASSERT_TRUE(test_make_lwpolyline(layer, 0, points));
    }
    // Saves the drawing and checks its tongues against the polylines.
    void expect_tongues(const std::vector<XY>& top, const std::vector<XY>& toe, double width,
                        const std::string& name)
    {
        const std::string file = home() + "/" + name + ".dxf";
        run("SAVEAS " + file + "\n");
        outside::expect_ezdxf_reads(file, {"Orvik_survey_temp:CUTTING"});
        std::string output;
        EXPECT_EQ(outside::run_ezdxf_script(kTongueCheck,
                                            {file, coords(top), coords(toe), std::to_string(width)}, output),
                  0)
            << output;
        EXPECT_EQ(output.substr(0, 3), "ok ") << output;
    }
};

// A straight cutting 50 long: three tongues of the default width 15.123, the
// last 4.631 none; each tip 7.5615 from the top edge towards the toe 10 away,
// with a line from the tip to the foot. The same in a drawing set to survey
// angles, and CMDECHO is left as it was.
TEST_F(SelCutting, StraightCuttingThreeTongues)
{
    const std::vector<XY> top = {{0, 0}, {50, 0}}, toe = {{0, -10}, {50, -10}};
    polyline("NA", top);
    polyline("NC", toe);
    const std::string out = run("(b_sel_cutting)\nok\n1,0\n1,-10\n25,-5\n");
    EXPECT_NE(out.find("Auto Cutting ver. cpp 1.0"), std::string::npos) << out;
    EXPECT_NE(out.find("lebar : 15.123000 path 1.500000"), std::string::npos) << out;
    EXPECT_NE(out.find("For setting Type command: (setcut) Unload : pku"), std::string::npos);
    EXPECT_EQ(out.find("Command: Hatch"), std::string::npos) << "the Hatch calls run without echo";
    const auto lines = live("LINE", "Cutting");
    ASSERT_EQ(lines.size(), 3u) << out;
    for (int i = 0; i < 3; ++i) {
        const double mx = 15.123 * (i + 0.5);
        // (to the rounding of the product's pi of ten decimals)
        EXPECT_NEAR(lines[i]->point(10).x, mx, 1e-8);
        EXPECT_NEAR(lines[i]->point(10).y, -7.5615, 1e-8);
        EXPECT_NEAR(lines[i]->point(11).x, mx, 1e-8);
        EXPECT_NEAR(lines[i]->point(11).y, -10.0, 1e-8);
    }
    EXPECT_EQ(live("HATCH", "Cutting").size(), 3u);
    EXPECT_EQ(host::sysvar_string(drawing(), "CLAYER", "0"), "0");
    expect_tongues(top, toe, 15.123, "straight");

    // Survey angles, the same cutting 100 further north.
    run("(setvar \"ANGBASE\" (/ pi 2))\n(setvar \"ANGDIR\" 1)\n");
    polyline("NA", {{0, 100}, {50, 100}});
    polyline("NC", {{0, 90}, {50, 90}});
    run("(b_sel_cutting)\n1,100\n1,90\n25,95\n");
    const auto more = live("LINE", "Cutting");
    ASSERT_EQ(more.size(), 6u);
    EXPECT_NEAR(more[3]->point(10).y, 92.4385, 1e-8);
}

// A curved road: the top edge a 60-degree arc of radius 100 in 200 legs, the
// toe the concentric arc of radius 92 in 150 legs, picked near their far ends
// so that both run from there.
TEST_F(SelCutting, CurvedCuttingFromTheFarEnd)
{
    std::vector<XY> top, toe;
    for (int i = 0; i <= 200; ++i) {
        const double a = M_PI / 3 * i / 200;
        top.push_back({100 * std::cos(a), 100 * std::sin(a)});
    }
    for (int i = 0; i <= 150; ++i) {
        const double a = M_PI / 3 * i / 150;
        toe.push_back({92 * std::cos(a), 92 * std::sin(a)});
    }
    polyline("NA", top);
    polyline("NC", toe);
    const std::string out =
        run("(b_sel_cutting)\nok\n" + xy(top.back().x, top.back().y) + "\n" + xy(toe.back().x, toe.back().y) +
            "\n" + xy(top.back().x * 0.96, top.back().y * 0.96) + "\n");
    const std::vector<XY> top_reversed(top.rbegin(), top.rend()), toe_reversed(toe.rbegin(), toe.rend());
    ASSERT_EQ(live("HATCH", "Cutting").size(), 6u) << out;  // 104.6 long: six widths
    // The first tongue stands at the far end (60 degrees).
    const host::Entity* first = live("LINE", "Cutting").front();
    EXPECT_GT(std::atan2(first->point(11).y, first->point(11).x), M_PI / 3 - 0.16);
    for (const host::Entity* line : live("LINE", "Cutting"))
        EXPECT_NEAR(std::hypot(line->point(11).x, line->point(11).y), 92.0, 0.01);
    expect_tongues(top_reversed, toe_reversed, 15.123, "curved");
    run("PICTURE " + home() + "/road_cutting.png\n");
}

// Feet north of a top edge that climbs steeply, then runs due east. The side
// taken from the first leg comes out a hair off 270 degrees
// (-269.99999999999994), so the direction to the toe of the eastbound
// stretches is 359.99999999999994 while their perpendiculars point at exactly
// 0: the two differ by a hair, not by 360. The toe lies 1500 north, out of
// the line search's reach, so the feet come from the forward search alone
// (no stretch has a line candidate).
TEST_F(SelCutting, FeetFoundAcrossNorthWithoutALineCandidate)
{
    const std::vector<XY> top = {{0, 0}, {5, 25}, {105, 25}};
    polyline("NA", top);
    polyline("NC", {{-100, 1525}, {300, 1525}});
    const std::string out = run("(b_sel_cutting)\nok\n0,0\n0,1525\n2.5,40\n");
    const auto lines = live("LINE", "Cutting");
    const double first_leg = std::hypot(5.0, 25.0), width = 15.123;
    ASSERT_EQ(lines.size(), static_cast<size_t>((first_leg + 100) / width)) << out;
    for (size_t j = 2; j < lines.size(); ++j) {
        // (the foot to the product's pi of ten decimals, over 1500)
        const double mx = 5 + (j + 0.5) * width - first_leg;
        EXPECT_NEAR(lines[j]->point(11).x, mx, 1e-6) << j;
        EXPECT_NEAR(lines[j]->point(11).y, 1525, 1e-8) << j;
        EXPECT_NEAR(lines[j]->point(10).x, mx, 1e-8) << j;
        EXPECT_NEAR(lines[j]->point(10).y, 25 + width / 2, 1e-8) << j;
    }
}

// A long top edge: 2000 along in 3000 legs, the first stretch alone over 200
// of them; 132 stretches, each with its tongue and its foot 10 across.
TEST_F(SelCutting, LongTopEdgeOfManyVertices)
{
    std::vector<XY> top;
    for (int i = 0; i <= 200; ++i) top.push_back({15.0 * i / 200, 0});
    for (int i = 1; i <= 2800; ++i) top.push_back({15.0 + 1985.0 * i / 2800, 0});
    polyline("NA", top);
    polyline("NC", {{0, -10}, {2000, -10}});
    const std::string out = run("(b_sel_cutting)\nok\n0,0\n0,-10\n10,-5\n");
    EXPECT_NE(out.find("132 tongue(s) drawn for 132 stretch(es)."), std::string::npos)
        << out.substr(out.size() - 400);
    const auto lines = live("LINE", "Cutting");
    ASSERT_EQ(lines.size(), 132u);
    ASSERT_EQ(live("HATCH", "Cutting").size(), 132u);
    for (size_t j = 0; j < lines.size(); ++j) {
        EXPECT_NEAR(lines[j]->point(11).x, (j + 0.5) * 15.123, 1e-7) << j;
        EXPECT_NEAR(lines[j]->point(11).y, -10, 1e-8) << j;
    }
}

}  // namespace
