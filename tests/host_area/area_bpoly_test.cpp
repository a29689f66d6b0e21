// The host's "area" command and its "bpoly" LISP function on their own.
#include <array>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "ads.h"
#include "commands/commands.h"
#include "db/entities.h"
#include "db/sysvars.h"
#include "host_fixture.h"
#include "outside_readers.h"

namespace {

using host::Group;
using host::Point3;

class HostArea : public HostFixture {
protected:
    long make(const char* type, std::vector<Group> groups)
    {
        long id = 0;
        EXPECT_EQ(host::entity_make(drawing(), type, std::move(groups), {}, &id), RTNORM);
        return id;
    }
    long line(double x1, double y1, double x2, double y2)
    {
        return make("LINE", {Group::of_text(8, "0"), Group::of_point(10, {x1, y1, 0}),
                             Group::of_point(11, {x2, y2, 0})});
    }
    // An LWPOLYLINE from (x, y, bulge) vertices.
    long lwpoly(const std::vector<std::array<double, 3>>& vertices, bool closed)
    {
        std::vector<Group> groups = {Group::of_text(8, "0"),
                                     Group::of_int(90, static_cast<long>(vertices.size())),
                                     Group::of_int(70, closed ? 1 : 0)};
        for (const auto& v : vertices) {
            groups.push_back(Group::of_point(10, {v[0], v[1], 0}));
            groups.push_back(Group::of_real(42, v[2]));
        }
        return make("LWPOLYLINE", groups);
    }
    int area(std::vector<std::string> args) { return host::run_called_command(session(), "area", args); }
    int area_of(long id) { return area({"e", host::entity_name_text(id)}); }
    double sysvar(const char* name) { return host::sysvar_real(drawing(), name); }

    // Runs bpoly at (x, y): the entity it made, 0 for nil.
    long bpoly(double x, double y)
    {
        resbuf* args = acutBuildList(RTSTR, "bpoly", RTPOINT, std::array<double, 3>{x, y, 0}.data(), 0);
        resbuf* result = nullptr;
        EXPECT_EQ(acedInvoke(args, &result), RTNORM);
        acutRelRb(args);
        long id = 0;
        if (result && result->restype == RTENAME) id = result->resval.rlname[0];
        if (result) acutRelRb(result);
        return id;
    }
    std::vector<Point3> vertices(long id)
    {
        std::vector<Point3> out;
        for (const Group& g : drawing().get(id)->groups)
            if (g.code == 10) out.push_back(g.point);
        return out;
    }
    double bulge_total(long id)
    {
        double total = 0;
        for (const Group& g : drawing().get(id)->groups)
            if (g.code == 42) total += std::fabs(g.real);
        return total;
    }
    long arc(double cx, double cy, double r, double start, double end)
    {
        return make("ARC", {Group::of_text(8, "0"), Group::of_point(10, {cx, cy, 0}), Group::of_real(40, r),
                            Group::of_real(50, start), Group::of_real(51, end)});
    }
    // The area of the boundary bpoly makes at (x, y), by the area command; -1 when none.
    double bpoly_area(double x, double y)
    {
        const long id = bpoly(x, y);
        if (!id) return -1;
        EXPECT_EQ(area_of(id), RTNORM);
        host::entity_erase_toggle(drawing(), id);
        return sysvar("AREA");
    }
};

// shapely's area of a polygon (a WKT text built by the script from its
// arguments), worked by the system python; NAN when it cannot be worked.
double shapely_area(const std::string& script)
{
    std::string output;
    const int status = outside::run_tool("/usr/bin/python3 -c '" + script + "'", output);
    EXPECT_EQ(status, 0) << "shapely (python3-shapely) is needed:\n" << output;
    return status == 0 ? std::stod(output) : NAN;
}

// The lot of the arc cases: 40 wide and 30 deep from (e, n), its south side not
// the chord but an arc of 60 degrees (radius 40) bulging out of it, or into it.
// shapely gets the arc as 50000 chords.
std::string arc_lot_script(double e, double n, bool outward, const std::string& cut = "")
{
    std::ostringstream s;
    s.precision(17);
    s << "import math\n"
         "from shapely.geometry import Polygon, box\n"
      << "e, n, outward = " << e << ", " << n << ", " << (outward ? "True" : "False") << "\n"
      << "r = 40.0\n"
         "cy = n + r * math.cos(math.radians(30)) * (1 if outward else -1)\n"
         "a0, a1 = (math.radians(240), math.radians(300)) if outward else (math.radians(120), "
         "math.radians(60))\n"
         "k = 50000\n"
         "arc = [(e + 20 + r * math.cos(a0 + (a1 - a0) * i / k), cy + r * math.sin(a0 + (a1 - a0) * i / k))"
         " for i in range(k + 1)]\n"
         "lot = Polygon(arc + [(e + 40, n + 30), (e, n + 30)])\n"
      << cut << "print(repr(lot.area))\n";
    return s.str();
}

struct OutlineCase {
    const char* what;
    std::vector<std::array<double, 3>> vertices;
    bool closed;
    double area, perimeter;
};

TEST_F(HostArea, EntityOutlineTakenAsClosedPerimeterWithoutClosingLegWhenOpen)
{
    const double pi = M_PI;
    // Worked by hand: a bulge of 1 is a half circle on its chord.
    const std::vector<OutlineCase> cases = {
        {"closed square 10", {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, true, 100, 40},
        {"open right triangle 10/10", {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}}, false, 50, 20},
        {"closed circle of two half arcs, r 5", {{0, 0, 1}, {10, 0, 1}}, true, 25 * pi, 10 * pi},
        {"open half circle, r 5, chord closes it", {{0, 0, 1}, {10, 0, 0}}, false, 12.5 * pi, 5 * pi},
        // Square 10 with a half circle (r 5) bulging out of its bottom side (bulge 1:
        // counter-clockwise from (0,0) to (10,0), through (5,-5)).
        {"closed square with outward arc",
         {{0, 0, 1}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}},
         true,
         100 + 12.5 * pi,
         30 + 5 * pi},
    };
    for (const OutlineCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(area_of(lwpoly(c.vertices, c.closed)), RTNORM);
        EXPECT_NEAR(sysvar("AREA"), c.area, 1e-9);
        EXPECT_NEAR(sysvar("PERIMETER"), c.perimeter, 1e-9);
    }
}

TEST_F(HostArea, OldStylePolylineAndObjectOption)
{
    ASSERT_EQ(host::entity_make(drawing(), "POLYLINE", {Group::of_text(8, "0"), Group::of_int(70, 0)}, {}),
              RTNORM);
    for (Point3 p : {Point3{0, 0, 0}, Point3{6, 0, 0}, Point3{6, 4, 0}})
        ASSERT_EQ(
            host::entity_make(drawing(), "VERTEX", {Group::of_text(8, "0"), Group::of_point(10, p)}, {}),
            RTNORM);
    long id = 0;
    ASSERT_EQ(host::entity_make(drawing(), "SEQEND", {Group::of_text(8, "0")}, {}, &id), RTNORM);
    ASSERT_EQ(area({"o", host::entity_name_text(drawing().last_main())}), RTNORM);
    EXPECT_NEAR(sysvar("AREA"), 12.0, 1e-9);
    EXPECT_NEAR(sysvar("PERIMETER"), 10.0, 1e-9);  // open: 6 + 4
}

TEST_F(HostArea, PointsEndedByEmptyAnswerGiveThePolygon)
{
    std::vector<std::string> args = {"0,0", "4,0", "4,3", "", "stays"};
    ASSERT_EQ(area(args), RTNORM);
    EXPECT_NEAR(sysvar("AREA"), 6.0, 1e-12);
    EXPECT_NEAR(sysvar("PERIMETER"), 12.0, 1e-12);
}

TEST_F(HostArea, FailedMeasurementKeepsTheLastValues)
{
    ASSERT_EQ(area({"0,0", "4,0", "4,3", ""}), RTNORM);
    EXPECT_EQ(area_of(line(0, 0, 5, 5)), RTERROR);
    EXPECT_EQ(area({"e", "@ename:999999"}), RTERROR);
    EXPECT_EQ(area({"0,0", "1,1", ""}), RTERROR);
    EXPECT_NEAR(sysvar("AREA"), 6.0, 1e-12);
}

TEST_F(HostArea, BpolyFindsTheRectangleOfLinesAndLeavesItLast)
{
    line(0, 0, 40, 0);
    line(40, 0, 40, 25);
    line(40, 25, 0, 25);
    line(0, 25, 0, 0);
    host::set_sysvar_string(drawing(), "CLAYER", "0");
    const long id = bpoly(12.5, 7.5);
    ASSERT_NE(id, 0);
    EXPECT_EQ(drawing().last_main(), id);
    const host::Entity& boundary = *drawing().get(id);
    EXPECT_EQ(boundary.type, "LWPOLYLINE");
    EXPECT_EQ(boundary.integer(70) & 1, 1);
    EXPECT_EQ(vertices(id).size(), 4u);
    ASSERT_EQ(area_of(id), RTNORM);
    EXPECT_NEAR(sysvar("AREA"), 1000.0, 1e-9);
    EXPECT_NEAR(sysvar("PERIMETER"), 130.0, 1e-9);
}

struct RegionCase {
    const char* what;
    double x, y;
    double area;  // 0: no region
};

TEST_F(HostArea, BpolyTakesTheSmallestRegionAroundThePoint)
{
    // Outer 40 x 25 as a closed LWPOLYLINE, split by a LINE at x = 20 that overshoots
    // both sides; the right half has an L cut by two LINEs (from (30,25) down to
    // (30,10), then to (40,10)); a small square island sits in the left half.
    lwpoly({{0, 0, 0}, {40, 0, 0}, {40, 25, 0}, {0, 25, 0}}, true);
    line(20, -3, 20, 28);
    line(30, 25, 30, 10);
    line(30, 10, 40, 10);
    lwpoly({{5, 5, 0}, {10, 5, 0}, {10, 10, 0}, {5, 10, 0}}, true);
    line(50, 0, 60, 0);  // stray line far away
    const std::vector<RegionCase> cases = {
        // left half (islands are not cut out): 20 x 25
        {"left half", 2, 2, 500},
        {"island", 7, 7, 25},
        // right L: 20 x 25 less the 10 x 15 corner = 500 - 150
        {"right L", 25, 5, 350},
        {"corner", 35, 20, 150},
        {"outside", 45, 5, 0},
        {"beside the stray line", 55, 1, 0},
    };
    for (const RegionCase& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = drawing().model.size();
        const long id = bpoly(c.x, c.y);
        if (c.area == 0) {
            EXPECT_EQ(id, 0);
            EXPECT_EQ(drawing().model.size(), before);
            continue;
        }
        ASSERT_NE(id, 0);
        ASSERT_EQ(area_of(id), RTNORM);
        EXPECT_NEAR(sysvar("AREA"), c.area, 1e-9);
        host::entity_erase_toggle(drawing(), id);
    }
}

TEST_F(HostArea, BpolyFollowsBulgesAndArcsAndGivesTheTrueArea)
{
    const double e = 400000, n = 600000;
    const double sixty = M_PI / 3, bulge = std::tan(sixty / 4);
    const double outward = shapely_area(arc_lot_script(e, n, true));
    EXPECT_NEAR(outward, 1344.938, 5e-4);  // 1200 and the segment 800 (pi/3 - sin 60)

    // A closed LWPOLYLINE whose south side is a bulge.
    lwpoly({{e, n, bulge}, {e + 40, n, 0}, {e + 40, n + 30, 0}, {e, n + 30, 0}}, true);
    long id = bpoly(e + 20, n + 10);
    ASSERT_NE(id, 0);
    EXPECT_EQ(vertices(id).size(), 4u);
    EXPECT_NEAR(bulge_total(id), bulge, 1e-12);
    ASSERT_EQ(area_of(id), RTNORM);
    EXPECT_NEAR(sysvar("AREA"), outward, 1e-6);
    EXPECT_NEAR(sysvar("PERIMETER"), 40 * sixty + 100, 1e-6);
    // The point in the arc's own segment, below the chord, is in the lot too.
    host::entity_erase_toggle(drawing(), id);
    EXPECT_NEAR(bpoly_area(e + 20, n - 3), outward, 1e-6);
}

TEST_F(HostArea, BpolyFindsTheBoundaryOfLinesAndAnArc)
{
    const double e = 400000, n = 600000;
    const double outward = shapely_area(arc_lot_script(e, n, true));
    const double inward = shapely_area(arc_lot_script(e, n, false));
    const double rise = 40 * std::cos(M_PI / 6);
    struct Case {
        const char* what;
        bool outward;
        double expected;
    };
    for (const Case& c : {Case{"arc bulging out", true, outward}, Case{"arc bulging in", false, inward}}) {
        SCOPED_TRACE(c.what);
        drawing().model.clear();
        line(e + 40, n, e + 40, n + 30);
        line(e + 40, n + 30, e, n + 30);
        line(e, n + 30, e, n);
        if (c.outward)
            arc(e + 20, n + rise, 40, 4 * M_PI / 3,
                5 * M_PI / 3);  // counter-clockwise from 240 to 300 degrees
        else
            arc(e + 20, n - rise, 40, M_PI / 3, 2 * M_PI / 3);
        EXPECT_NEAR(bpoly_area(e + 20, n + 15), c.expected, 1e-6);
    }
    // A LINE across the lot cuts the arc: the two parts hold the lot between them.
    drawing().model.clear();
    line(e + 40, n, e + 40, n + 30);
    line(e + 40, n + 30, e, n + 30);
    line(e, n + 30, e, n);
    arc(e + 20, n + rise, 40, 4 * M_PI / 3, 5 * M_PI / 3);
    line(e + 12, n + 40, e + 12, n - 20);
    const double west =
        shapely_area(arc_lot_script(e, n, true, "lot = lot.intersection(box(0, 0, e + 12, 1e7))\n"));
    EXPECT_NEAR(bpoly_area(e + 5, n + 15), west, 1e-6);
    EXPECT_NEAR(bpoly_area(e + 30, n + 15), outward - west, 1e-6);
    // A circle alone bounds its disc.
    drawing().model.clear();
    make("CIRCLE", {Group::of_text(8, "0"), Group::of_point(10, {e, n, 0}), Group::of_real(40, 12.5)});
    EXPECT_NEAR(bpoly_area(e + 3, n - 4), M_PI * 12.5 * 12.5, 1e-6);
}

TEST_F(HostArea, BpolyFindsTheSameRegionAmongManyOtherCurves)
{
    // A lot in a drawing whose other entities lie all around it (but none
    // crosses it) and reach far away, so that the region is larger than the
    // first window looked in.
    const double e = 400000, n = 600000;
    lwpoly({{e, n, 0}, {e + 300, n, 0}, {e + 300, n + 200, 0.2}, {e, n + 200, 0}}, true);
    const double alone = bpoly_area(e + 150, n + 100);
    ASSERT_GT(alone, 60000);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> place(-20000, 20000);
    for (int i = 0; i < 3000; ++i) {
        const double x = e + place(random), y = n + place(random);
        if (x > e - 50 && x < e + 350 && y > n - 50 && y < n + 300) continue;
        line(x, y, x + 10, y + 3);
    }
    make("POINT", {Group::of_text(8, "0"), Group::of_point(10, {e + 90000, n - 90000, 0})});
    EXPECT_NEAR(bpoly_area(e + 150, n + 100), alone, 1e-9);
    EXPECT_NEAR(bpoly_area(e + 1, n + 1), alone, 1e-9);
    EXPECT_EQ(bpoly(e + 500, n + 100), 0);
}

TEST_F(HostArea, AreaAtSurveyCoordinatesKeepsItsLastDigits)
{
    // A lot of 24 corners at E 400000 N 600000, its coordinates in whole
    // millimetres; its exact area by the shoelace in integers of square millimetres.
    std::mt19937 random(11);
    std::uniform_int_distribution<long> wobble(-4000, 4000);
    std::vector<std::array<long long, 2>> corners;
    for (int i = 0; i < 24; ++i) {
        const double a = 2 * M_PI * i / 24;
        corners.push_back({400000000LL + std::llround(60000 * std::cos(a)) + wobble(random),
                           600000000LL + std::llround(45000 * std::sin(a)) + wobble(random)});
    }
    __int128 twice = 0;
    for (size_t i = 0; i < corners.size(); ++i) {
        const auto& a = corners[i];
        const auto& b = corners[(i + 1) % corners.size()];
        twice += static_cast<__int128>(a[0]) * b[1] - static_cast<__int128>(b[0]) * a[1];
    }
    const double exact = static_cast<double>(twice) / 2 / 1e6;  // square metres
    std::vector<std::array<double, 3>> lot;
    std::vector<std::string> points;
    for (const auto& c : corners) {
        lot.push_back({c[0] / 1000.0, c[1] / 1000.0, 0});
        points.push_back(std::to_string(c[0] / 1000) + "." + std::to_string(c[0] % 1000 + 1000).substr(1) +
                         "," + std::to_string(c[1] / 1000) + "." +
                         std::to_string(c[1] % 1000 + 1000).substr(1));
    }
    ASSERT_EQ(area_of(lwpoly(lot, true)), RTNORM);
    EXPECT_NEAR(sysvar("AREA"), exact, 1e-7);
    points.push_back("");
    ASSERT_EQ(area(points), RTNORM);
    EXPECT_NEAR(sysvar("AREA"), exact, 1e-7);
}

}  // namespace
