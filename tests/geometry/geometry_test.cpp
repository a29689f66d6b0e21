// Plane geometry: the bearing rules, angles at vertices, side of a line,
// perpendiculars, circles, bulges and heights, each against values worked out by
// hand (noted beside each case).
#include "geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ads.h"
#include "host_fixture.h"

namespace {

constexpr double kTol = 1e-9;

struct BearingCase {
    point3d_rec from, to;
    double bearing;
};

TEST(Bearing, AxesQuadrantsAndEqualPoints)
{
    const BearingCase cases[] = {
        {{0, 0}, {1, 1}, 45},   {{0, 0}, {-1, 0}, 270},
        {{0, 0}, {0, -5}, 180}, {{0, 0}, {0, 0}, 0},
        {{0, 0}, {0, 3}, 0},    {{0, 0}, {2, 0}, 90},
        {{0, 0}, {1, -1}, 135}, {{0, 0}, {-1, -1}, 225},
        {{0, 0}, {-1, 1}, 315}, {{5, 5}, {6, 5 + std::sqrt(3.0)}, 30},  // tan 30 = 1 / sqrt 3
        {{1, 2}, {1, 2}, 0},    {{-3, 7}, {-3, 1}, 180},
    };
    for (const auto& c : cases) {
        double b = bearing_deg(c.from, c.to);
        // Degrees come from radians with pi to ten decimals: 45 is off by about 1.3e-9.
        EXPECT_NEAR(b, c.bearing, 1e-8) << c.to.x << "," << c.to.y;
        EXPECT_GE(b, 0.0);
        EXPECT_LT(b, 360.0);
    }
    // The axes are exact, not merely close.
    EXPECT_EQ(bearing_deg({0, 0}, {-1, 0}), 270.0);
    EXPECT_EQ(bearing_deg({0, 0}, {0, -5}), 180.0);
    EXPECT_EQ(bearing_deg({0, 0}, {3, 0}), 90.0);
}

TEST(Bearing, NeverReachesThreeSixty)
{
    // A hair west of north: atan gives a tiny negative angle, 360 less it rounds to 360.
    double b = bearing_deg({0, 0}, {-1e-18, 1});
    EXPECT_GE(b, 0.0);
    EXPECT_LT(b, 360.0);
}

TEST(Polar, PointsAxesAndScaling)
{
    point3d_rec out;
    polar_point(90, 10, {1, 1, 7}, out);
    EXPECT_NEAR(out.x, 11, kTol);
    EXPECT_NEAR(out.y, 1, kTol);
    EXPECT_EQ(out.z, 0);
    polar_point(0, 10, {1, 1}, out);
    EXPECT_NEAR(out.x, 1, kTol);
    EXPECT_NEAR(out.y, 11, kTol);

    double dx, dy;
    bearing_to_dxdy(210, 2, dx, dy);  // sin 210 = -0.5, cos 210 = -sqrt3/2
    EXPECT_NEAR(dx, -1, 1e-9);
    EXPECT_NEAR(dy, -std::sqrt(3.0), 1e-9);

    EXPECT_NEAR(polar_axis(1, 5, 90, 3), 8, kTol);
    EXPECT_NEAR(polar_axis(2, 5, 180, 3), 2, kTol);
    EXPECT_EQ(polar_axis(3, 5, 180, 3), 3);

    // Bearing 135 over sqrt 2: dx = 1, dy = -1; abs(dx) x 0.5 and abs(dy) x 2 added.
    polar_point_scaled(135, std::sqrt(2.0), {10, 10}, out, 0.5, 2);
    EXPECT_NEAR(out.x, 11.5, 1e-9);
    EXPECT_NEAR(out.y, 11, 1e-9);
    EXPECT_NEAR(polar_axis_scaled(1, 10, 135, std::sqrt(2.0), 0.5, 2), 11.5, 1e-9);
    EXPECT_NEAR(polar_axis_scaled(2, 10, 135, std::sqrt(2.0), 0.5, 2), 11, 1e-9);
}

TEST(Distance, PlanAndLimit)
{
    EXPECT_NEAR(dist_2d({0, 0, 5}, {3, 4, -9}), 5, kTol);  // z is ignored
    EXPECT_EQ(dist_within({0, 0}, {3, 4}, 5), 1);          // the limit itself is within
    EXPECT_EQ(dist_within({0, 0}, {3, 4}, 4.999), 0);
}

TEST(AngleAtVertex, FoldedIntoHalfCircle)
{
    struct Case {
        double b1, b2, angle;
    } cases[] = {{10, 350, 20}, {350, 10, 20}, {90, 270, 180}, {0, 180, 180},
                 {30, 100, 70}, {45, 45, 0},   {300, 100, 160}};
    for (const auto& c : cases) {
        point3d_rec v{2, 3}, p1, p2;
        polar_point(c.b1, 10, v, p1);
        polar_point(c.b2, 5, v, p2);
        EXPECT_NEAR(angle_at_vertex(p1, v, p2), c.angle, 1e-7) << c.b1 << " " << c.b2;
    }
}

TEST(SideOfLine, RightLeftAheadBehind)
{
    struct Case {
        point3d_rec p2;
        int side;
    } cases[] = {
        {{5, 5, 3}, 1},    // right of the line going north
        {{-5, 5, 3}, -1},  // left
        {{0, 20, 3}, -1},  // straight ahead: equal bearings give t = 360
        {{0, -5, 3}, 1},   // straight behind: t = 180
        {{5, -5, 3}, 1},   // right and behind
    };
    for (auto c : cases) {
        EXPECT_EQ(geo_side_of_line({0, 0}, {0, 10}, c.p2), c.side) << c.p2.x << "," << c.p2.y;
        EXPECT_EQ(c.p2.z, 0);  // the point is made flat
    }
    // The midpoint of p0 and (10, 4) is (5, 2): right of the line going north.
    EXPECT_EQ(geo_side_of_midpoint({0, 0}, {0, 10}, {10, 4}), 1);
    EXPECT_EQ(geo_side_of_midpoint({0, 0}, {0, 10}, {-10, 4}), -1);
}

TEST(Perpendicular, OnTheSideOfTheThirdPoint)
{
    point3d_rec out;
    EXPECT_EQ(geo_perpendicular_at_vertex({0, 0}, {0, 10}, {5, 15}, 3, out), 1);
    EXPECT_NEAR(out.x, 3, kTol);
    EXPECT_NEAR(out.y, 10, kTol);
    geo_perpendicular_at_vertex({0, 0}, {0, 10}, {-5, 15}, 3, out);
    EXPECT_NEAR(out.x, -3, kTol);
    EXPECT_NEAR(out.y, 10, kTol);
    // Leg going east; a point south of it.
    geo_perpendicular_at_vertex({0, 0}, {10, 0}, {12, -1}, 2, out);
    EXPECT_NEAR(out.x, 10, kTol);
    EXPECT_NEAR(out.y, -2, kTol);
}

TEST(CircleCentre, GeneralAndAxisParallelChords)
{
    struct Case {
        point3d_rec p1, p2, p3, centre;
    } cases[] = {
        {{1, 0}, {0, 1}, {-1, 0}, {0, 0}},         // slopes -1 and 1
        {{3, 4}, {-4, 3}, {5, 0}, {0, 0}},         // all on the circle of radius 5
        {{0, 0}, {2, 0}, {0, 2}, {1, 1}},          // a chord along each axis
        {{0, 0}, {0, 2}, {2, 2}, {1, 1}},          // p1 and p2 share x
        {{7, 1}, {9, 3}, {7, 5}, {7, 3}},          // p1 and p3 share x
        {{10, 10}, {14, 10}, {12, 12}, {12, 10}},  // p1 and p2 share y
    };
    for (const auto& c : cases) {
        point3d_rec out{99, 99, 99};
        EXPECT_EQ(geo_circle_centre_3p(c.p1, c.p2, c.p3, out), 1);
        EXPECT_NEAR(out.x, c.centre.x, 1e-9) << c.p1.x << "," << c.p1.y;
        EXPECT_NEAR(out.y, c.centre.y, 1e-9) << c.p1.x << "," << c.p1.y;
    }
    point3d_rec out{99, 99, 99};
    EXPECT_EQ(geo_circle_centre_3p({0, 0}, {1, 1}, {2, 2}, out), 0);  // on one line
    EXPECT_EQ(out.x, 99);
}

TEST(ArcBulge, QuarterAndHalfCircles)
{
    // From east (bearing 90) to north (0) about the centre: D = 90, tan 22.5.
    EXPECT_NEAR(geo_arc_bulge({1, 0}, {0, 1}, {0, 0}), std::tan(22.5 / 180 * M_PI), 1e-9);
    EXPECT_NEAR(geo_arc_bulge({0, 1}, {1, 0}, {0, 0}), -std::tan(22.5 / 180 * M_PI), 1e-9);
    // From north (0) to west (270): D = -270 folded to 90.
    EXPECT_NEAR(geo_arc_bulge({0, 1}, {-1, 0}, {0, 0}), std::tan(22.5 / 180 * M_PI), 1e-9);
    EXPECT_NEAR(geo_arc_bulge({1, 0}, {-1, 0}, {0, 0}), -1, 1e-9);  // D = 90 - 270 = -180
}

TEST(HeightInterpolation, FromTheLowerPoint)
{
    EXPECT_NEAR(geo_z_interpolate({0, 0, 10}, {10, 0, 20}, {5, 0}), 15, kTol);
    EXPECT_NEAR(geo_z_interpolate({10, 0, 20}, {0, 0, 10}, {2, 0}), 12, kTol);
    // Beyond the lower point the unsigned distance still raises the height.
    EXPECT_NEAR(geo_z_interpolate({0, 0, 10}, {10, 0, 20}, {-5, 0}), 15, kTol);
    EXPECT_NEAR(geo_z_interpolate({0, 0, 4}, {10, 0, 4}, {3, 0}), 4, kTol);
    // One plan position: no slope, the lower height.
    EXPECT_NEAR(geo_z_interpolate({1, 1, 4}, {1, 1, 9}, {3, 0}), 4, kTol);
}

TEST(Points, CopyAndSwap)
{
    point3d_rec a{1, 2, 3}, b{4, 5, 6}, t;
    EXPECT_EQ(pt_copy(a, t, 1).z, 0);
    EXPECT_EQ(t.x, 1);
    EXPECT_EQ(pt_copy(a, t, 0).z, 3);
    pt_swap(a, b);
    EXPECT_EQ(a.x, 4);
    EXPECT_EQ(b.z, 3);
}

// Routines that go through the host: the intersection and the line maker.
class GeometryHost : public HostFixture {};

TEST_F(GeometryHost, OffsetCornerFootOrNearerEnd)
{
    struct Case {
        point3d_rec p3;
        int segment_only, result;
        point3d_rec out;
    } cases[] = {
        {{4, 3, 7}, 1, 3, {4, 0}},  // the foot lies on the segment
        {{4, -3}, 1, 3, {4, 0}},    // from the other side
        {{15, 5}, 1, 2, {10, 0}},   // beyond p2, segment only: the nearer end
        {{15, 5}, 0, 3, {15, 0}},   // the whole line: the foot itself
        {{-3, 2}, 1, 1, {0, 0}},    // beyond p1
    };
    for (const auto& c : cases) {
        point3d_rec out{99, 99, 99};
        EXPECT_EQ(geo_offset_corner({0, 0, 1}, {10, 0, 1}, c.p3, c.segment_only, out), c.result) << c.p3.x;
        EXPECT_NEAR(out.x, c.out.x, 1e-9) << c.p3.x;
        EXPECT_NEAR(out.y, c.out.y, 1e-9) << c.p3.x;
        EXPECT_EQ(out.z, 0);
    }
}

TEST_F(GeometryHost, TrimmedLine)
{
    // Scale 500: gaps of 2 and 4 become 1 and 2 drawing units.
    ASSERT_EQ(line_make_trimmed({0, 0, 5}, {10, 0, 5}, 500, 2, 4, "TRIM"), RTNORM);
    ads_name e;
    ASSERT_EQ(acdbEntLast(e), RTNORM);
    resbuf* list = acdbEntGet(e);
    point3d_rec start, end;
    std::string layer;
    for (resbuf* g = list; g; g = g->rbnext) {
        if (g->restype == 10) start = {g->resval.rpoint[0], g->resval.rpoint[1], g->resval.rpoint[2]};
        if (g->restype == 11) end = {g->resval.rpoint[0], g->resval.rpoint[1], g->resval.rpoint[2]};
        if (g->restype == 8) layer = g->resval.rstring;
    }
    acutRelRb(list);
    EXPECT_EQ(layer, "TRIM");
    EXPECT_NEAR(start.x, 1, 1e-9);
    EXPECT_NEAR(end.x, 8, 1e-9);
    EXPECT_EQ(start.z, 0);
}

}  // namespace
