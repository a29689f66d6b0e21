// The terrain menu, TIN generation and contours, driven through the host as a
// user would: the LISP call, the menu dialog, the prompts and the selection,
// then the 3DFACEs and LWPOLYLINEs left in the drawing.
//
// Expected values are worked out by hand:
// - an n x n grid has (n-1)^2 cells of two triangles each, so 2(n-1)^2 faces
//   covering (n-1)^2 cell areas;
// - on the plane z = x/10 + y/20 + 0.25 over [0, 50] x [0, 50] (no grid corner
//   on a whole level) the contour of level L is the line y = 20(L - 0.25) - 2x
//   clipped to the square: L = 1 from (0, 15) to (7.5, 0), L = 3 from (2.5, 50)
//   to (27.5, 0), L = 5 from (22.5, 50) to (47.5, 0), L = 7 from (42.5, 50) to
//   (50, 35); the highest z is 7.75, so the levels 1 to 7 are drawn.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ads.h"
#include "host_fixture.h"
#include "test_entities.h"
#include "tin_contour.h"
#include "tin_records.h"
#include "tin_triangulate.h"

namespace {

constexpr double kTol = 1e-9;

struct face {
    host::Point3 c[4];
};

class TinTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    void make_point(double x, double y, double z) { ASSERT_TRUE(test_make_point("LEVELS", x, y, z)); }

    // An n x n grid of spacing 10 on z = x/10 + y/20 + dz.
    void make_grid(int n, double dz)
    {
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) make_point(10.0 * i, 10.0 * j, i + j / 2.0 + dz);
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

    std::vector<face> faces()
    {
        std::vector<face> out;
        for (const host::Entity* e : live("3DFACE", "TIN")) {
            face f;
            for (int k = 0; k < 4; ++k) f.c[k] = e->point(10 + k);
            out.push_back(f);
        }
        return out;
    }

    static std::vector<host::Point3> vertices(const host::Entity* e)
    {
        std::vector<host::Point3> out;
        for (const host::Group& g : e->groups)
            if (g.code == 10) out.push_back(g.point);
        return out;
    }

    // The TIN tool from the menu with the given maximum-distance answer.
    std::string generate(const std::string& max_distance)
    {
        return run("(b_dtm_main)\nselect s_progname 1\npick go_btn\nP\n" + max_distance + "\nALL\n\n");
    }
};

double area2(const host::Point3& a, const host::Point3& b, const host::Point3& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// True when p lies strictly inside the circle through a, b, c (any turn).
bool strictly_in_circle(const host::Point3& a, const host::Point3& b, const host::Point3& c,
                        const host::Point3& p)
{
    const double adx = a.x - p.x, ady = a.y - p.y, bdx = b.x - p.x, bdy = b.y - p.y, cdx = c.x - p.x,
                 cdy = c.y - p.y;
    const double det = (adx * adx + ady * ady) * (bdx * cdy - cdx * bdy) -
                       (bdx * bdx + bdy * bdy) * (adx * cdy - cdx * ady) +
                       (cdx * cdx + cdy * cdy) * (adx * bdy - bdx * ady);
    return (area2(a, b, c) > 0 ? det : -det) > 1e-6;
}

TEST_F(TinTest, GridGivesDelaunayTrianglesWithCornersAtThePoints)
{
    for (int n : {2, 6, 15}) {
        SCOPED_TRACE(n);
        drawing().model.clear();
        make_grid(n, 0.0);
        const std::string out = generate("");
        EXPECT_NE(out.find("Triangle Created."), std::string::npos);
        const std::vector<face> fs = faces();
        ASSERT_EQ(fs.size(), static_cast<size_t>(2 * (n - 1) * (n - 1)));
        double covered = 0;
        for (const face& f : fs) {
            EXPECT_EQ(f.c[3], f.c[2]);  // a triangle: the fourth corner repeats the third
            for (int k = 0; k < 3; ++k) {
                const double i = f.c[k].x / 10.0, j = f.c[k].y / 10.0;
                EXPECT_NEAR(i, std::round(i), kTol);
                EXPECT_NEAR(j, std::round(j), kTol);
                EXPECT_NEAR(f.c[k].z, f.c[k].x / 10.0 + f.c[k].y / 20.0, kTol);
            }
            const double a = std::fabs(area2(f.c[0], f.c[1], f.c[2])) / 2.0;
            EXPECT_NEAR(a, 50.0, kTol);  // half a 10 x 10 cell: no sliver, no overlap
            covered += a;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i)
                    EXPECT_FALSE(strictly_in_circle(f.c[0], f.c[1], f.c[2], {10.0 * i, 10.0 * j, 0}));
        }
        EXPECT_NEAR(covered, 100.0 * (n - 1) * (n - 1), 1e-6);
    }
}

TEST_F(TinTest, MaximumDistanceDropsLongTriangles)
{
    // Sides 3, 4 and 5.
    struct {
        const char* answer;
        size_t faces;
    } cases[] = {{"", 1}, {"5", 1}, {"4.999", 0}, {"X", 0}, {"", 0}};  // after eXit the 0 stays
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        drawing().model.clear();
        make_point(0, 0, 1);
        make_point(3, 0, 2);
        make_point(0, 4, 3);
        generate(c.answer);
        EXPECT_EQ(faces().size(), c.faces);
    }
}

TEST_F(TinTest, RepeatedPointsCountOnceWithTheFirstHeight)
{
    make_point(0, 0, 1);
    make_point(10, 0, 2);
    make_point(0, 0, 7);
    make_point(0, 10, 3);
    make_point(10, 0, 9);
    const std::string out = generate("100");
    EXPECT_NE(out.find("Triangle Created."), std::string::npos) << out;
    const std::vector<face> fs = faces();
    ASSERT_EQ(fs.size(), 1u);
    for (int k = 0; k < 3; ++k) {
        if (fs[0].c[k].x == 0 && fs[0].c[k].y == 0) EXPECT_EQ(fs[0].c[k].z, 1.0);
        if (fs[0].c[k].x == 10) EXPECT_EQ(fs[0].c[k].z, 2.0);
    }
}

TEST_F(TinTest, TooFewPointsOrOneLineWriteNothing)
{
    struct {
        std::vector<std::vector<double>> points;
        const char* message;  // empty: nothing printed but the prompts
    } cases[] = {
        {{}, ""},
        {{{0, 0, 1}, {5, 5, 2}}, ""},
        {{{0, 0, 1}, {0, 0, 2}, {5, 5, 1}, {5, 5, 3}}, "Less than 3 unique points! 2"},
        {{{0, 0, 1}, {5, 5, 2}, {10, 10, 1}, {2, 2, 0}}, "lie on one line"},
    };
    for (const auto& c : cases) {
        drawing().model.clear();
        for (const auto& p : c.points) make_point(p[0], p[1], p[2]);
        const std::string out = generate("100");
        SCOPED_TRACE(out);
        EXPECT_TRUE(faces().empty());
        if (*c.message) {
            EXPECT_NE(out.find(c.message), std::string::npos);
            EXPECT_NE(out.find("Triangulation Failed!"), std::string::npos);
        } else {
            EXPECT_EQ(out.find("Reading Nodes"), std::string::npos);
            EXPECT_EQ(out.find("Triangulation Failed!"), std::string::npos);
        }
    }
}

TEST_F(TinTest, MenuRemembersToolAndSettings)
{
    make_point(0, 0, 1);
    make_point(3, 0, 2);
    make_point(0, 4, 3);
    // Cancelling the opening question asks nothing more.
    std::string out = run("(b_dtm_main)\nselect s_progname 1\npick go_btn\nC\n");
    EXPECT_EQ(out.find("Maximum Distance"), std::string::npos);
    // The maximum distance starts at 100 and keeps the last answer.
    out = run("(b_dtm_main)\npick go_btn\nP\n50\nALL\n\n");
    EXPECT_NE(out.find("Maximum Distance<100.000>"), std::string::npos);
    out = run("(b_dtm_main)\nshow\npick go_btn\nP\n\nALL\n\n");
    EXPECT_NE(out.find("s_progname: list_box, label \"Tools :\", value \"1\""), std::string::npos);
    EXPECT_NE(out.find("Maximum Distance<50.000>"), std::string::npos);
    EXPECT_EQ(faces().size(), 2u);  // a second run adds a second set
    // Cancelling the menu runs nothing; a tool not built says so and draws nothing.
    out = run("(b_dtm_main)\ncancel\n");
    EXPECT_EQ(out.find("<C>ancel"), std::string::npos);
    for (int position : {4, 5}) {
        out = run("(b_dtm_main)\nselect s_progname " + std::to_string(position) + "\npick go_btn\n");
        EXPECT_NE(out.find("is not available in this version"), std::string::npos);
    }
    EXPECT_EQ(faces().size(), 2u);
}

class ContourTest : public TinTest {
protected:
    // Runs the contour tool with the dialog lines given.
    std::string contour(const std::string& dialog_lines)
    {
        return run("(b_dtm_main)\nselect s_progname 3\npick go_btn\nP\n" + dialog_lines + "ok\n");
    }
    const host::Entity* at_level(double level)
    {
        for (const host::Entity* e : live("LWPOLYLINE"))
            if (e->real(38) == level) return e;
        return nullptr;
    }
};

TEST_F(ContourTest, PlaneGivesStraightContoursAtTheirLevels)
{
    make_grid(6, 0.25);
    generate("100");
    ASSERT_EQ(faces().size(), 50u);
    const std::string out = contour("set tg_middle_pnt 0\n");
    ASSERT_EQ(live("LWPOLYLINE").size(), 7u) << out;
    struct {
        double level;
        double x1, y1, x2, y2;
    } lines[] = {{1, 0, 15, 7.5, 0}, {3, 2.5, 50, 27.5, 0}, {5, 22.5, 50, 47.5, 0}, {7, 42.5, 50, 50, 35}};
    for (const auto& l : lines) {
        SCOPED_TRACE(l.level);
        const host::Entity* e = at_level(l.level);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->integer(70), 0);  // open
        EXPECT_EQ(e->layer(), l.level == 5 ? "MAJOR" : "MINOR");
        const std::vector<host::Point3> v = vertices(e);
        ASSERT_GE(v.size(), 2u);
        double length = 0;
        for (size_t k = 0; k < v.size(); ++k) {
            EXPECT_NEAR(v[k].y, 20.0 * (l.level - 0.25) - 2.0 * v[k].x, 1e-9);
            if (k > 0) length += std::hypot(v[k].x - v[k - 1].x, v[k].y - v[k - 1].y);
        }
        // The ends lie on the square's sides, and the line never turns back.
        const bool forward = std::fabs(v.front().x - l.x1) < 1e-9;
        const host::Point3 first = forward ? host::Point3{l.x1, l.y1, 0} : host::Point3{l.x2, l.y2, 0};
        const host::Point3 last = forward ? host::Point3{l.x2, l.y2, 0} : host::Point3{l.x1, l.y1, 0};
        EXPECT_NEAR(v.front().x, first.x, 1e-9);
        EXPECT_NEAR(v.front().y, first.y, 1e-9);
        EXPECT_NEAR(v.back().x, last.x, 1e-9);
        EXPECT_NEAR(v.back().y, last.y, 1e-9);
        EXPECT_NEAR(length, std::hypot(l.x2 - l.x1, l.y2 - l.y1), 1e-9);
    }
}

TEST_F(ContourTest, MiddlePointsMajorLayerAndLevelsFromTheTin)
{
    make_grid(6, 0.25);
    generate("100");
    // "Get from TIN" fills the level range and shows the dialog again.
    std::string out = contour(
        "pick Btn_GetIt\nshow\nset txt_major_intv 2\nset txt_minor_intv 2\nset txt_major_layer BIG\n");
    EXPECT_NE(out.find("txt_min_level: edit_box, label \"Min level :\", value \"0.250\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("txt_max_level: edit_box, label \"Max level :\", value \"7.750\""), std::string::npos);
    // Minor interval 2 from min level 0.25: the first level is -2, then 0, 2, 4, 6.
    std::vector<double> levels;
    for (const host::Entity* e : live("LWPOLYLINE")) {
        levels.push_back(e->real(38));
        EXPECT_EQ(e->layer(), "BIG");  // every level a multiple of the major interval 2
        const std::vector<host::Point3> v = vertices(e);
        EXPECT_EQ(v.size() % 2, 1u);  // a middle point between every two vertices
        for (size_t k = 1; k + 1 < v.size(); k += 2) {
            EXPECT_NEAR(v[k].x, (v[k - 1].x + v[k + 1].x) / 2, 1e-9);
            EXPECT_NEAR(v[k].y, (v[k - 1].y + v[k + 1].y) / 2, 1e-9);
        }
    }
    std::sort(levels.begin(), levels.end());
    EXPECT_EQ(levels, (std::vector<double>{2, 4, 6}));
    // The dialog keeps the accepted values; a wrong entry is refused.
    out = run("(b_dtm_main)\nselect s_progname 3\npick go_btn\nP\nset txt_minor_intv abc\nshow\ncancel\n");
    EXPECT_NE(out.find("txt_minor_intv: edit_box, label \"Minor interval :\", value \"2.000\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("txt_major_layer: edit_box, label \"Major layer :\", value \"BIG\""),
              std::string::npos);
}

TEST_F(ContourTest, CornerOnALevelIsPassedBeside)
{
    // On z = x/10 + y/20 many corners lie on whole levels; the contour passes
    // within 0.02 of them and every level still gives one unbroken line.
    make_grid(6, 0.0);
    generate("100");
    contour("set txt_min_level 2\nset tg_middle_pnt 0\n");
    for (double level : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0}) {
        SCOPED_TRACE(level);
        int count = 0;
        for (const host::Entity* e : live("LWPOLYLINE"))
            if (e->real(38) == level) {
                ++count;
                for (const host::Point3& p : vertices(e)) EXPECT_NEAR(p.y, 20.0 * level - 2.0 * p.x, 0.03);
            }
        EXPECT_EQ(count, 1);
    }
}

TEST_F(ContourTest, NoTinDrawsNothing)
{
    const std::string out = contour("");
    EXPECT_TRUE(live("LWPOLYLINE").empty()) << out;
}

// The records' small routines where a slip is easy.
TEST(TinRecords, GeometryAndSort)
{
    tin_tri_rec tri;
    tin_tri_set_corners(tri, 4, 5, 6);
    EXPECT_EQ(tin_tri_corner(tri, 3), -1);
    EXPECT_EQ(tin_tri_corner(tri, -1), -1);
    EXPECT_EQ(tin_tri_corner(tri, 2), 6);
    const double pi = 3.141592653589793;
    EXPECT_NEAR(node_angle_ccw(tin_node_make(0, 0, 0), tin_node_make(1, 1, 0), tin_node_make(2, 2, 0)), pi,
                1e-12);
    EXPECT_NEAR(node_angle_ccw(tin_node_make(0, 0, 0), tin_node_make(1, 2, 0), tin_node_make(2, 1, 0)), 0.0,
                1e-12);
    // The turn at each corner is measured from the ray back to the one before
    // it: listed (0,0), (0,1), (1,1), (1,0) every corner measures pi/2, so
    // the sum is (4 - 2) pi; listed the other way each measures 3 pi/2.
    tin_node_list square = {tin_node_make(0, 0, 0), tin_node_make(1, 0, 1), tin_node_make(2, 1, 1),
                            tin_node_make(3, 1, 0)};
    EXPECT_EQ(poly_winding(square), 0);
    std::reverse(square.begin(), square.end());
    EXPECT_EQ(poly_winding(square), 1);
    std::vector<double> key = {3, 1, 2};
    std::vector<int> index = {0, 1, 2};
    quicksort_index(key, 0, 2, index);
    EXPECT_EQ(key, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(index, (std::vector<int>{1, 2, 0}));
}

// Random points: every triangle empty of other points, and the triangles fill
// the convex hull (2n - h - 2 of them for n points with h on the hull).
TEST(TinTriangulate, RandomPointsAreDelaunayOverTheHull)
{
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % 100000 / 100.0;
    };
    tin_node_list nodes;
    for (int i = 0; i < 400; ++i) tin_node_push(nodes, next(), next());
    const tin_result r = tin_triangulate(nodes);
    ASSERT_EQ(r.status, tin_status::ok);
    double area = 0;
    for (const tin_tri_rec& t : r.triangles) {
        const host::Point3 a{nodes[t.a].x, nodes[t.a].y, 0}, b{nodes[t.b].x, nodes[t.b].y, 0},
            c{nodes[t.c].x, nodes[t.c].y, 0};
        EXPECT_GT(area2(a, b, c), 0.0);
        area += area2(a, b, c) / 2;
        for (const tin_node_rec& p : nodes) EXPECT_FALSE(strictly_in_circle(a, b, c, {p.x, p.y, 0}));
    }
    // The hull's area by a gift wrap worked out independently.
    std::vector<int> idx(nodes.size());
    for (size_t i = 0; i < idx.size(); ++i) idx[i] = static_cast<int>(i);
    std::sort(idx.begin(), idx.end(), [&](int p, int q) {
        return nodes[p].x < nodes[q].x || (nodes[p].x == nodes[q].x && nodes[p].y < nodes[q].y);
    });
    idx.erase(std::unique(idx.begin(), idx.end(),
                          [&](int p, int q) { return nodes[p].x == nodes[q].x && nodes[p].y == nodes[q].y; }),
              idx.end());
    std::vector<int> hull;
    auto turn = [&](int o, int p, int q) {
        return (nodes[p].x - nodes[o].x) * (nodes[q].y - nodes[o].y) -
               (nodes[p].y - nodes[o].y) * (nodes[q].x - nodes[o].x);
    };
    for (int pass = 0; pass < 2; ++pass) {
        const size_t base = hull.size();
        for (int i : idx) {
            while (hull.size() >= base + 2 && turn(hull[hull.size() - 2], hull.back(), i) <= 0)
                hull.pop_back();
            hull.push_back(i);
        }
        hull.pop_back();
        std::reverse(idx.begin(), idx.end());
    }
    double hull_area = 0;
    for (size_t k = 0; k < hull.size(); ++k) {
        const tin_node_rec &p = nodes[hull[k]], &q = nodes[hull[(k + 1) % hull.size()]];
        hull_area += (p.x * q.y - q.x * p.y) / 2;
    }
    EXPECT_NEAR(area, hull_area, 1e-6);
    EXPECT_EQ(r.triangles.size(), 2 * static_cast<size_t>(r.unique) - hull.size() - 2);
}

}  // namespace

namespace {

// A grid at survey coordinates far from the origin keeps whole cells: no
// sliver from rounding in the circle tests.
TEST(TinTriangulate, GridFarFromTheOrigin)
{
    const int n = 20;
    tin_node_list nodes;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) tin_node_push(nodes, 412345.5 + 5.0 * i, 298765.25 + 5.0 * j);
    const tin_result r = tin_triangulate(nodes);
    ASSERT_EQ(r.status, tin_status::ok);
    ASSERT_EQ(r.triangles.size(), static_cast<size_t>(2 * (n - 1) * (n - 1)));
    for (const tin_tri_rec& t : r.triangles) {
        const tin_node_rec &a = nodes[t.a], &b = nodes[t.b], &c = nodes[t.c];
        EXPECT_NEAR((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x), 25.0, 1e-6);
    }
}

TEST(TinContourLevels, FirstLevel)
{
    struct {
        double v, d, first;
    } cases[] = {{1, 1, 0},     {2.5, 1, 2},   {3, 1, 2},     {0.5, 1, -1},
                 {-0.5, 1, -2}, {0.25, 2, -2}, {10, 2.5, 7.5}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(cnt_level_floor(c.v, c.d), c.first) << c.v << " " << c.d;
}

// Two faces on z = x - shift whose level-1 pieces run from (1, 0) to (1, 1) and
// from (1 + d, 1 + d) to (1 + d, 2 + d): their ends are d apart in x and in y.
TEST(TinContourLevels, PiecesJoinOnlyWithinTheTolerance)
{
    struct {
        double d;
        size_t chains;
    } cases[] = {{0.009, 1}, {0.01, 2}, {0.0, 1}};
    for (const auto& c : cases) {
        tin_point_list corners;
        tin_point_push(corners, 0, 0, 0);
        tin_point_push(corners, 2, 0, 2);
        tin_point_push(corners, 0, 2, 0);
        const double d = c.d;
        tin_point_push(corners, d, 1 + d, 0);
        tin_point_push(corners, 2 + d, 1 + d, 2);
        tin_point_push(corners, d, 3 + d, 0);
        const auto chains = cnt_build_chains(corners, 1.0, 1.0, 1, 0.01);
        ASSERT_EQ(chains.size(), c.chains) << d;
        if (c.chains == 1) EXPECT_EQ(chains[0].vertices.size(), 3u);
    }
}

}  // namespace
