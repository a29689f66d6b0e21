// The host's "area" command and its "bpoly" LISP function on their own.
#include <array>
#include <cmath>
#include <vector>

#include "ads.h"
#include "commands/commands.h"
#include "db/entities.h"
#include "host_fixture.h"
#include "db/sysvars.h"

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
};

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

}  // namespace
