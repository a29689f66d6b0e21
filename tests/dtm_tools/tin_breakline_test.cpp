// Breakline points, driven from the terrain-model menu: the TIN is the square
// (0,0)-(10,10) on the plane z = x + y, split along its diagonal into the faces
// T1 (0,0) (10,0) (10,10) and T2 (0,0) (10,10) (0,10), made in that order, so
// the height of every crossing is x + y wherever it lies on an edge.
//
// Worked by hand (crossings listed face by face, edges 1-2, 2-3, 3-1):
// - LINE (2,6)-(6,2) crosses only the diagonal, at (4,4), once for each face:
//   one POINT (4, 4, 8).
// - LINE y = c from x = -1 to 11: T1 gives (10,c) and (c,c), T2 gives (c,c) and
//   (0,c). For c = 0.8 the two (c,c) and (0,c) lie within 1.0 of a later one
//   except (0,c): POINTs (10, 0.8, 10.8) and (0, 0.8, 0.8). For c = 1.2 the
//   crossings are 1.2 apart: (10,1.2), (1.2,1.2), (0,1.2).
// - Closed LWPOLYLINE (6,2) (8,2) (8,9) (5,9): (8,2)-(8,9) crosses the diagonal
//   at (8,8); the closing side (5,9)-(6,2) would cross it at (5.5,5.5), but it is
//   not a piece: one POINT (8, 8, 16).
#include <algorithm>
#include <string>
#include <vector>

#include "ads.h"
#include "host_fixture.h"
#include "test_entities.h"

namespace {

constexpr double kTol = 1e-9;

struct xy {
    double x, y;
};

class BreaklineTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        make_face({0, 0, 0}, {10, 0, 10}, {10, 10, 20});
        make_face({0, 0, 0}, {10, 10, 20}, {0, 10, 10});
    }

    void make_face(host::Point3 a, host::Point3 b, host::Point3 c)
    {
        ads_point pa = {a.x, a.y, a.z}, pb = {b.x, b.y, b.z}, pc = {c.x, c.y, c.z};
        resbuf* list = acutBuildList(RTDXF0, "3DFACE", 8, "TIN", 10, pa, 11, pb, 12, pc, 13, pc, 0);
        ASSERT_EQ(acdbEntMake(list), RTNORM);
        acutRelRb(list);
    }

    void make_line(xy a, xy b)
    {
        ads_point pa = {a.x, a.y, 0}, pb = {b.x, b.y, 0};
        resbuf* list = acutBuildList(RTDXF0, "LINE", 8, "BRK", 10, pa, 11, pb, 0);
        ASSERT_EQ(acdbEntMake(list), RTNORM);
        acutRelRb(list);
    }

    void make_point(double x, double y, double z) { ASSERT_TRUE(test_make_point("LEVELS", x, y, z)); }

    void make_lwpolyline(int flags, const std::vector<xy>& points)
    {
        ASSERT_TRUE(test_make_lwpolyline("BRK", flags, points));
    }

    // The POINTs on the breakline layer, sorted by x then y.
    std::vector<host::Point3> breakline_points()
    {
        std::vector<host::Point3> out;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased && e->type == "POINT" && e->layer() == "TIN_BREAKLINE_POINTS")
                out.push_back(e->point(10));
        }
        std::sort(out.begin(), out.end(), [](const host::Point3& a, const host::Point3& b) {
            return a.x != b.x ? a.x < b.x : a.y < b.y;
        });
        return out;
    }

    std::string breakline() { return run("(b_dtm_main)\nselect s_progname 2\npick go_btn\nP\nALL\n\n"); }

    static void expect_points(const std::vector<host::Point3>& got, const std::vector<host::Point3>& want)
    {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_NEAR(got[i].x, want[i].x, kTol);
            EXPECT_NEAR(got[i].y, want[i].y, kTol);
            EXPECT_NEAR(got[i].z, want[i].z, kTol);
        }
    }
};

TEST_F(BreaklineTest, SharedEdgeGivesOnePointAndASecondRunNoMore)
{
    make_line({2, 6}, {6, 2});
    const std::string out = breakline();
    EXPECT_NE(out.find("This program point for breakline from TIN."), std::string::npos);
    EXPECT_NE(out.find("Processing selected items ..."), std::string::npos);
    expect_points(breakline_points(), {{4, 4, 8}});
    breakline();
    expect_points(breakline_points(), {{4, 4, 8}});
}

TEST_F(BreaklineTest, CrossingsNearerThanOneGiveTheLastOnly)
{
    struct row {
        double c;
        std::vector<host::Point3> want;
    };
    const row rows[] = {
        {0.8, {{0, 0.8, 0.8}, {10, 0.8, 10.8}}},
        {1.2, {{0, 1.2, 1.2}, {1.2, 1.2, 2.4}, {10, 1.2, 11.2}}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.c);
        for (long id : drawing().model)
            if (drawing().get(id)->type != "3DFACE") drawing().get(id)->erased = true;
        make_line({-1, r.c}, {11, r.c});
        breakline();
        expect_points(breakline_points(), r.want);
    }
}

TEST_F(BreaklineTest, ExistingPointNearTheCrossingIsNotRepeated)
{
    struct row {
        double dx;
        size_t made;
    };
    for (const row& r : {row{0.02, 0}, row{0.04, 1}}) {
        SCOPED_TRACE(r.dx);
        for (long id : drawing().model)
            if (drawing().get(id)->type != "3DFACE") drawing().get(id)->erased = true;
        make_point(4 + r.dx, 4, 8);
        make_line({2, 6}, {6, 2});
        breakline();
        EXPECT_EQ(breakline_points().size(), r.made);
    }
}

// A level piece has a flat bounding box; a POINT 0.02 beside it is found all the
// same. LINE y = 5 crosses (10,5), (5,5) twice and (0,5); (5,5) is not written.
TEST_F(BreaklineTest, ExistingPointBesideALevelPieceIsFound)
{
    make_point(5, 5.02, 10);
    make_line({-1, 5}, {11, 5});
    breakline();
    expect_points(breakline_points(), {{0, 5, 5}, {10, 5, 15}});
}

TEST_F(BreaklineTest, ClosedPolylineHasNoClosingPiece)
{
    make_lwpolyline(1, {{6, 2}, {8, 2}, {8, 9}, {5, 9}});
    breakline();
    expect_points(breakline_points(), {{8, 8, 16}});
}

TEST_F(BreaklineTest, CancelChangesNothing)
{
    make_line({2, 6}, {6, 2});
    const std::string out = run("(b_dtm_main)\nselect s_progname 2\npick go_btn\nC\n");
    EXPECT_EQ(out.find("Select breakline object"), std::string::npos);
    EXPECT_TRUE(breakline_points().empty());
}

}  // namespace
