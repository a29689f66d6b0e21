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

    // An old-style POLYLINE with its VERTEX entities and SEQEND.
    void make_polyline(int flags, const std::vector<xyz>& vertices)
    {
        ads_point origin = {0, 0, 0};
        resbuf* head = acutBuildList(RTDXF0, "POLYLINE", 8, "LOT", 66, 1, 10, origin, 70, flags, 0);
        ASSERT_EQ(acdbEntMake(head), RTNORM);
        acutRelRb(head);
        for (const xyz& v : vertices) {
            ads_point pt = {v.x, v.y, v.z};
            resbuf* vertex = acutBuildList(RTDXF0, "VERTEX", 8, "LOT", 10, pt, 70, 0, 0);
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
