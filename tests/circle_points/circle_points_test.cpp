// Circles or points at the vertices of lines and polylines, driven through the
// host as a user would: the LISP call, the settings dialog, the selection.
// Expected positions are worked out by hand: a leg a-b of length d gets the
// LINE from r along it to d - r along it, r = scale / 1000 x radius.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ads.h"
#include "host_fixture.h"
#include "test_entities.h"

namespace {

// Positions go through bearings in degrees; a micrometre is far below drawing
// precision.
constexpr double kTol = 1e-6;

struct xyz {
    double x, y, z;
};

class CirclePointsTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    void make_lwpolyline(int flags, const std::vector<xyz>& points)
    {
        ASSERT_TRUE(test_make_lwpolyline("LOT", flags, points));
    }

    // An LWPOLYLINE whose vertices carry bulges: {x, y, bulge of the side that
    // starts there}.
    void make_bulged_lwpolyline(int flags, const std::vector<xyz>& vertices)
    {
        resbuf* head = acutBuildList(RTDXF0, "LWPOLYLINE", 8, "LOT", 90, static_cast<int>(vertices.size()),
                                     70, flags, 0);
        resbuf* tail = head;
        while (tail->rbnext) tail = tail->rbnext;
        for (const xyz& v : vertices) {
            ads_point pt = {v.x, v.y, 0};
            tail->rbnext = acutBuildList(10, pt, 42, v.z, 0);
            while (tail->rbnext) tail = tail->rbnext;
        }
        ASSERT_TRUE(test_make(head));
    }

    // An old-style POLYLINE with its VERTEX entities and SEQEND; bulges[i],
    // when given, is the bulge of vertex i.
    void make_polyline(int flags, const std::vector<xyz>& vertices, const std::vector<double>& bulges = {})
    {
        ads_point origin = {0, 0, 0};
        resbuf* head = acutBuildList(RTDXF0, "POLYLINE", 8, "LOT", 66, 1, 10, origin, 70, flags, 0);
        ASSERT_EQ(acdbEntMake(head), RTNORM);
        acutRelRb(head);
        for (size_t i = 0; i < vertices.size(); ++i) {
            const xyz& v = vertices[i];
            ads_point pt = {v.x, v.y, v.z};
            const double bulge = i < bulges.size() ? bulges[i] : 0.0;
            resbuf* vertex = acutBuildList(RTDXF0, "VERTEX", 8, "LOT", 10, pt, 42, bulge, 70, 0, 0);
            ASSERT_EQ(acdbEntMake(vertex), RTNORM);
            acutRelRb(vertex);
        }
        resbuf* end = acutBuildList(RTDXF0, "SEQEND", 8, "LOT", 0);
        ASSERT_EQ(acdbEntMake(end), RTNORM);
        acutRelRb(end);
    }

    void make_line(const xyz& a, const xyz& b)
    {
        ads_point p1 = {a.x, a.y, a.z}, p2 = {b.x, b.y, b.z};
        resbuf* list = acutBuildList(RTDXF0, "LINE", 8, "LOT", 10, p1, 11, p2, 0);
        ASSERT_EQ(acdbEntMake(list), RTNORM);
        acutRelRb(list);
    }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = "")
    {
        std::vector<const host::Entity*> out;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased && e->type == type && (layer.empty() || e->layer() == layer))
                out.push_back(e);
        }
        return out;
    }

    // The circles' or points' centres, sorted.
    std::vector<xyz> centres(const std::string& type, const std::string& layer)
    {
        std::vector<xyz> out;
        for (const host::Entity* e : live(type, layer)) {
            const host::Point3 p = e->point(10);
            out.push_back({p.x, p.y, p.z});
        }
        std::sort(out.begin(), out.end(),
                  [](const xyz& a, const xyz& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
        return out;
    }

    // Each LINE as its two ends, the lower end first, sorted.
    std::vector<std::pair<xyz, xyz>> lines(const std::string& layer)
    {
        auto less = [](const xyz& a, const xyz& b) {
            return std::round(a.x * 1e6) != std::round(b.x * 1e6) ? a.x < b.x : a.y < b.y;
        };
        std::vector<std::pair<xyz, xyz>> out;
        for (const host::Entity* e : live("LINE", layer)) {
            xyz a{e->point(10).x, e->point(10).y, e->point(10).z};
            xyz b{e->point(11).x, e->point(11).y, e->point(11).z};
            if (less(b, a)) std::swap(a, b);
            out.push_back({a, b});
        }
        std::sort(out.begin(), out.end(),
                  [&](const auto& p, const auto& q) { return less(p.first, q.first); });
        return out;
    }
};

void expect_points(const std::vector<xyz>& got, const std::vector<xyz>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(got[i].x, want[i].x, kTol);
        EXPECT_NEAR(got[i].y, want[i].y, kTol);
        EXPECT_NEAR(got[i].z, want[i].z, kTol);
    }
}

void expect_lines(const std::vector<std::pair<xyz, xyz>>& got, const std::vector<std::pair<xyz, xyz>>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(got[i].first.x, want[i].first.x, kTol);
        EXPECT_NEAR(got[i].first.y, want[i].first.y, kTol);
        EXPECT_NEAR(got[i].second.x, want[i].second.x, kTol);
        EXPECT_NEAR(got[i].second.y, want[i].second.y, kTol);
    }
}

TEST_F(CirclePointsTest, ClosedLwpolylineGetsFourStonesAndFourTrimmedLegs)
{
    make_lwpolyline(1, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}});
    run("(b_make_circle_point 1)\npick ok\nALL\n\n");
    // The closing vertex repeats the first and is marked once.
    expect_points(centres("CIRCLE", "Lot-s"), {{0, 0, 0}, {0, 10, 0}, {10, 0, 0}, {10, 10, 0}});
    for (const host::Entity* c : live("CIRCLE")) EXPECT_DOUBLE_EQ(c->real(40), 0.7);
    // r = 0.7: every 10 m leg keeps 0.7 .. 9.3.
    expect_lines(lines("Lot-s"), {{{0, 0.7, 0}, {0, 9.3, 0}},
                                  {{0.7, 0, 0}, {9.3, 0, 0}},
                                  {{0.7, 10, 0}, {9.3, 10, 0}},
                                  {{10, 0.7, 0}, {10, 9.3, 0}}});
    EXPECT_TRUE(live("LWPOLYLINE").empty()) << "the original is erased with the delete flag on";
}

// The arc the ARC entity draws: its centre, radius and the points at its start
// and end angles.
struct arc_seen {
    xyz centre;
    double radius;
    xyz start, end;
};

std::vector<arc_seen> arcs_of(const std::vector<const host::Entity*>& entities)
{
    std::vector<arc_seen> out;
    for (const host::Entity* e : entities) {
        const host::Point3 c = e->point(10);
        const double r = e->real(40), a = e->real(50), b = e->real(51);
        out.push_back({{c.x, c.y, c.z},
                       r,
                       {c.x + r * std::cos(a), c.y + r * std::sin(a), 0},
                       {c.x + r * std::cos(b), c.y + r * std::sin(b), 0}});
    }
    return out;
}

double plan_distance(const xyz& a, const xyz& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// A 20 x 20 lot whose top side bulges out as an arc of 60 degrees: radius 20
// (a chord of 20 under 60 degrees), centre 20 cos 30 = 17.3205 below the
// chord's middle. Its ARC keeps that circle and stops where the stones' edges
// cross it, 0.7 from each corner, running counter-clockwise from the right
// corner (bulge positive from (20,20) to (0,20)).
TEST_F(CirclePointsTest, AnArcSideIsRedrawnAsAnArcBetweenTheStones)
{
    const double bulge = std::tan(60.0 / 4.0 * M_PI / 180.0);
    make_bulged_lwpolyline(1, {{0, 0, 0}, {20, 0, 0}, {20, 20, bulge}, {0, 20, 0}});
    run("(b_make_circle_point 1)\nok\nALL\n\n");
    EXPECT_EQ(live("CIRCLE", "Lot-s").size(), 4u);
    const auto arcs = arcs_of(live("ARC", "Lot-s"));
    ASSERT_EQ(arcs.size(), 1u);
    const arc_seen& arc = arcs[0];
    EXPECT_NEAR(arc.centre.x, 10.0, kTol);
    EXPECT_NEAR(arc.centre.y, 20.0 - 20.0 * std::cos(M_PI / 6.0), kTol);
    EXPECT_NEAR(arc.radius, 20.0, kTol);
    EXPECT_NEAR(plan_distance(arc.start, {20, 20, 0}), 0.7, kTol);
    EXPECT_NEAR(plan_distance(arc.end, {0, 20, 0}), 0.7, kTol);
    EXPECT_GT(arc.start.y, 20.0) << "the arc keeps to the outside of the chord";
    expect_lines(lines("Lot-s"),
                 {{{0, 0.7, 0}, {0, 19.3, 0}}, {{0.7, 0, 0}, {19.3, 0, 0}}, {{20, 0.7, 0}, {20, 19.3, 0}}});
    EXPECT_TRUE(live("LWPOLYLINE").empty()) << "every side was redrawn";
}

// Two lots side by side share their middle side, an arc that the second lot
// runs the other way (the bulge with the other sign), and an old-style
// POLYLINE with a bulged vertex beside them: each side is drawn once.
TEST_F(CirclePointsTest, ASideThatTwoLotsShareIsDrawnOnce)
{
    make_bulged_lwpolyline(1, {{0, 0, 0}, {10, 0, 0.25}, {10, 10, 0}, {0, 10, 0}});
    make_bulged_lwpolyline(1, {{10, 0, 0}, {20, 0, 0}, {20, 10, 0}, {10, 10, -0.25}});
    make_polyline(0, {{30, 0, 0}, {40, 0, 0}}, {-1.0});
    run("(b_make_circle_point 1)\nok\nALL\n\n");
    EXPECT_EQ(live("CIRCLE", "Lot-s").size(), 8u);
    EXPECT_EQ(live("LINE", "Lot-s").size(), 6u);
    const auto arcs = arcs_of(live("ARC", "Lot-s"));
    ASSERT_EQ(arcs.size(), 2u);
    for (const arc_seen& arc : arcs) {
        const bool shared = arc.centre.x < 25;
        const xyz a = shared ? xyz{10, 0, 0} : xyz{30, 0, 0}, b = shared ? xyz{10, 10, 0} : xyz{40, 0, 0};
        // Each end 0.7 from one of its corners.
        EXPECT_NEAR(std::min(plan_distance(arc.start, a), plan_distance(arc.start, b)), 0.7, kTol);
        EXPECT_NEAR(std::min(plan_distance(arc.end, a), plan_distance(arc.end, b)), 0.7, kTol);
    }
    // A half circle of bulge -1 from (30,0) to (40,0) turns clockwise: it lies
    // above the chord, about (35,0) with radius 5.
    const arc_seen& half = arcs[0].centre.x > 25 ? arcs[0] : arcs[1];
    EXPECT_NEAR(half.centre.x, 35, kTol);
    EXPECT_NEAR(half.centre.y, 0, kTol);
    EXPECT_NEAR(half.radius, 5, kTol);
    EXPECT_GT((half.start.y + half.end.y) / 2, 0.0);
    EXPECT_TRUE(live("LWPOLYLINE").empty());
    EXPECT_TRUE(live("POLYLINE").empty());
}

// An arc side so short that the stones cover it leaves nothing to redraw: its
// lot is kept as it was, with a message, while the LINE beside it goes.
TEST_F(CirclePointsTest, WhatCannotBeRedrawnIsNeverErased)
{
    make_bulged_lwpolyline(0, {{0, 0, 0.1}, {1, 0, 0}, {1, 10, 0}});
    make_line({5, 0, 0}, {15, 0, 0});
    const std::string out = run("(b_make_circle_point 1)\nok\nALL\n\n");
    EXPECT_NE(out.find("\n1 side(s) could not be redrawn between the circles: their objects are kept."),
              std::string::npos)
        << out;
    EXPECT_EQ(live("LWPOLYLINE").size(), 1u);
    EXPECT_TRUE(live("LINE", "LOT").empty());
    EXPECT_TRUE(live("ARC").empty());
    expect_lines(lines("Lot-s"), {{{1, 0.7, 0}, {1, 9.3, 0}}, {{5.7, 0, 0}, {14.3, 0, 0}}});
}

TEST_F(CirclePointsTest, ClosedOldStylePolylineGetsStonesAndTrimmedLegs)
{
    // A 6-8-10 triangle. The hypotenuse from (8,6) to (0,0) runs along
    // (-0.8, -0.6): 0.7 along it is (7.44, 5.58), 9.3 along it (0.56, 0.42).
    make_polyline(1, {{0, 0, 0}, {8, 0, 0}, {8, 6, 0}});
    run("(b_make_circle_point 1)\nok\nALL\n\n");
    expect_points(centres("CIRCLE", "Lot-s"), {{0, 0, 0}, {8, 0, 0}, {8, 6, 0}});
    expect_lines(
        lines("Lot-s"),
        {{{0.56, 0.42, 0}, {7.44, 5.58, 0}}, {{0.7, 0, 0}, {7.3, 0, 0}}, {{8, 0.7, 0}, {8, 5.3, 0}}});
    EXPECT_TRUE(live("POLYLINE").empty());
    EXPECT_TRUE(live("VERTEX").empty()) << "its vertices go with it";
}

TEST_F(CirclePointsTest, OldStylePolylineGetsPointsAtItsVerticesWithTheirZ)
{
    make_polyline(0, {{0, 0, 5}, {20, 0, 6}, {20, 15, 7}});
    run("(b_make_circle_point 2)\nok\nALL\n\n");
    expect_points(centres("POINT", "Points"), {{0, 0, 5}, {20, 0, 6}, {20, 15, 7}});
    EXPECT_TRUE(live("CIRCLE").empty());
    EXPECT_TRUE(live("LINE").empty());
    EXPECT_EQ(live("POLYLINE").size(), 1u) << "points leave the originals";
}

TEST_F(CirclePointsTest, CoincidingVerticesAreMarkedOnce)
{
    // Two LINEs meeting at (5,0); and ends at x 1.0001 and 1.0004 that round to
    // 1.000 (the later one is kept).
    make_line({0, 0, 0}, {5, 0, 0});
    make_line({5, 0, 0}, {5, 5, 0});
    make_line({1.0001, 2, 0}, {8, 2, 0});
    make_line({1.0004, 2, 0}, {1.0004, 9, 0});
    run("(b_make_circle_point 2)\nok\nALL\n\n");
    expect_points(centres("POINT", "Points"),
                  {{0, 0, 0}, {1.0004, 2, 0}, {1.0004, 9, 0}, {5, 0, 0}, {5, 5, 0}, {8, 2, 0}});
}

TEST_F(CirclePointsTest, DialogSettingsScaleTheRadiusAndShortLegsRunBack)
{
    // Scale 500, radius 1.2: r = 0.6. The 1 m leg runs back from 0.6 to 0.4;
    // the 4 m leg keeps 0.6 .. 3.4. Originals kept with the delete flag off.
    make_line({0, 0, 0}, {1, 0, 0});
    make_line({0, 5, 0}, {4, 5, 0});
    run("(b_make_circle_point 1)\nset t_cirlayer STONES\nset t_radius 1.2\nset t_cir_scale 500\n"
        "set del_tg 0\nok\nALL\n\n");
    for (const host::Entity* c : live("CIRCLE", "STONES")) EXPECT_DOUBLE_EQ(c->real(40), 0.6);
    EXPECT_EQ(live("CIRCLE", "STONES").size(), 4u);
    expect_lines(lines("STONES"), {{{0.4, 0, 0}, {0.6, 0, 0}}, {{0.6, 5, 0}, {3.4, 5, 0}}});
    EXPECT_EQ(live("LINE", "LOT").size(), 2u);
}

TEST_F(CirclePointsTest, DialogKeepsItsSettingsAndRefusesOverlongEntries)
{
    make_line({0, 0, 0}, {10, 0, 0});
    // A radius of 10 characters is refused and the tile shows the last good one;
    // cancel changes nothing and ends the command.
    std::string out = run("(b_make_circle_point 1)\nset t_radius 1234567.89\nset t_radius 2\ncancel\n");
    EXPECT_TRUE(live("CIRCLE").empty());
    out = run("(b_make_circle_point 1)\nset t_radius 1234567.89\nok\nALL\n\n");
    for (const host::Entity* c : live("CIRCLE")) EXPECT_DOUBLE_EQ(c->real(40), 0.7);
    EXPECT_EQ(live("CIRCLE").size(), 2u);
}

TEST_F(CirclePointsTest, KeepZOnlyForPointsAndClearedByCircles)
{
    make_line({0, 0, 3}, {10, 0, 4});
    run("(b_make_circle_point 2)\nset maketd_tg 1\nok\nALL\n\n");
    expect_points(centres("POINT", "Points"), {{0, 0, 3}, {10, 0, 4}});
    // A call with circles clears the flag: the next points are flat.
    run("(b_make_circle_point 1)\nset del_tg 0\nok\n\n");
    run("(b_make_circle_point 2)\nok\n5,0\n\n");
    const auto points = centres("POINT", "Points");
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(std::count_if(points.begin(), points.end(), [](const xyz& p) { return p.z == 0; }), 2);
}

TEST_F(CirclePointsTest, WrapperArgumentsAndEmptySelection)
{
    make_line({0, 0, 0}, {10, 0, 0});
    struct Case {
        const char* script;
        const char* transcript_has;
    } cases[] = {
        {"(b_make_circle_point)\n", "nil"},
        {"(b_make_circle_point 1.5)\n", "Unknown return code from ads_getreal \n"},
        {"(b_make_circle_point 1)\nok\n\n", "Nothing select.."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string out = run(c.script);
        EXPECT_NE(out.find(c.transcript_has), std::string::npos) << out;
        EXPECT_TRUE(live("CIRCLE").empty());
        EXPECT_EQ(live("LINE").size(), 1u);
    }
}

}  // namespace
