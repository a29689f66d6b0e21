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
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ads.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "test_entities.h"
#include "tin_contour.h"
#include "tin_generate.h"
#include "tin_predicates.h"
#include "tin_records.h"
#include "tin_triangulate.h"

namespace {

constexpr double kTol = 1e-9;
constexpr double kPi = 3.14159265358979323846;

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

// Sides 3, 4 and 5; with the fourth point (50, 0) a second triangle has a
// side of 50.16. A maximum distance of 0 or less is refused and asked again;
// eXit leaves the command and keeps the setting, so the next Enter takes it.
TEST_F(TinTest, MaximumDistanceDropsLongTrianglesAndSaysHowMany)
{
    struct {
        const char* answers;
        bool far_point;
        size_t faces;
        const char* message;  // printed as well
    } cases[] = {
        {"100", false, 1, "Triangle Created."},
        {"5", false, 1, "Triangle Created."},
        {"4.999", false, 0, "1 of 1 triangles have a side longer than the maximum distance 4.999"},
        {"10", true, 1, "1 of 2 triangles have a side longer than the maximum distance 10.000"},
        {"0\n-2\n6", false, 1, "The maximum distance must be above 0.000 (0.000 given)"},
        {"X", false, 0, ""},
        {"", false, 1, "Maximum Distance<6.000>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers);
        drawing().model.clear();
        make_point(0, 0, 1);
        make_point(3, 0, 2);
        make_point(0, 4, 3);
        if (c.far_point) make_point(50, 0, 4);
        const std::string out = generate(c.answers);
        EXPECT_EQ(faces().size(), c.faces) << out;
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
        // "Triangle Created." only when a face was written.
        EXPECT_EQ(out.find("Triangle Created.") != std::string::npos, c.faces > 0) << out;
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
        if (fs[0].c[k].x == 0 && fs[0].c[k].y == 0) {
            EXPECT_EQ(fs[0].c[k].z, 1.0);
        }
        if (fs[0].c[k].x == 10) {
            EXPECT_EQ(fs[0].c[k].z, 2.0);
        }
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
    EXPECT_EQ(faces().size(), 1u);  // the second TIN takes the first one's place
    // Cancelling the menu runs nothing.
    out = run("(b_dtm_main)\ncancel\n");
    EXPECT_EQ(out.find("<C>ancel"), std::string::npos);
    EXPECT_EQ(faces().size(), 1u);
}

// 100 points on a line and one 1e-9 off it, beside the middle of the line,
// near either end, above one of its points, and on a slanted line at survey
// coordinates (every coordinate exact, so the 100 lie exactly on one line):
// every point is a corner, and the only triangulation is the fan of 99
// triangles from the point off the line.
TEST_F(TinTest, NearlyCollinearPointsAreAllKept)
{
    struct {
        const char* name;
        double x0, y0, dx, dy;  // the line: (x0 + i dx, y0 + i dy)
        double ox, oy;          // the point off it
    } cases[] = {
        {"beside the middle", 0, 0, 1, 0, 49.5, 1e-9},
        {"near the end", 0, 0, 1, 0, 99.5, 1e-9},
        {"near the start", 0, 0, 1, 0, 0.5, 1e-9},
        {"above a point", 0, 0, 1, 0, 50, 1e-9},
        {"below the middle", 0, 0, 1, 0, 49.5, -1e-9},
        {"slanted at survey coordinates", 400000, 300000, 0.5, 0.25, 400049.25, 300024.625 + 1e-9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drawing().model.clear();
        for (int i = 0; i < 100; ++i) make_point(c.x0 + i * c.dx, c.y0 + i * c.dy, 10 + i * 0.01);
        make_point(c.ox, c.oy, 5);
        const std::string out = generate("100");
        const std::vector<face> fs = faces();
        ASSERT_EQ(fs.size(), 99u) << out;
        std::set<std::pair<double, double>> used;
        for (const face& f : fs) {
            int off = 0;
            for (int k = 0; k < 3; ++k) {
                used.insert({f.c[k].x, f.c[k].y});
                off += f.c[k].x == c.ox && f.c[k].y == c.oy;
            }
            EXPECT_EQ(off, 1);
        }
        EXPECT_EQ(used.size(), 101u);
    }
}

class ContourTest : public TinTest {
protected:
    // Runs the contour tool with the dialog lines given.
    // Runs the contour tool with the dialog lines given, after the default
    // settings, so that no test depends on what an earlier one left in the
    // loaded plug-in.
    std::string contour(const std::string& dialog_lines)
    {
        return run(
            "(b_dtm_main)\nselect s_progname 3\npick go_btn\nP\n"
            "set txt_min_level 1\nset txt_max_level 200\nset txt_major_intv 5\nset txt_minor_intv 1\n"
            "set txt_major_layer MAJOR\nset txt_minor_layer MINOR\nset tg_middle_pnt 1\n" +
            dialog_lines + "ok\n");
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

// Generating again, as after adding breakline points, replaces the earlier
// faces in the new TIN's area and leaves a TIN elsewhere alone. Grid A is
// 6 x 6 points at (0..50, 0..50): 50 faces; grid B the same at x + 1000. One
// more point inside A, at the middle of a cell, splits that cell in four: A's
// second TIN has 52 faces, and every level of A's contours is drawn once.
TEST_F(ContourTest, RunningTheTinAgainReplacesItsOwnAreaOnly)
{
    make_grid(6, 0.25);
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 6; ++i) make_point(1000.0 + 10.0 * i, 10.0 * j, i + j / 2.0 + 0.25);
    const std::string window_a = "W\n-1,-1\n51,51\n\n", window_b = "W\n999,-1\n1051,51\n\n";
    run("(b_dtm_main)\nselect s_progname 1\npick go_btn\nP\n100\n" + window_a);
    run("(b_dtm_main)\nselect s_progname 1\npick go_btn\nP\n100\n" + window_b);
    ASSERT_EQ(faces().size(), 100u);
    ASSERT_TRUE(test_make_point("TIN_BREAKLINE_POINTS", 25, 15, 2.5 + 0.75 + 0.25));
    const std::string out = run("(b_dtm_main)\nselect s_progname 1\npick go_btn\nP\n100\n" + window_a);
    EXPECT_NE(out.find("50 earlier faces within the new TIN's area replaced."), std::string::npos) << out;
    const std::vector<face> fs = faces();
    ASSERT_EQ(fs.size(), 102u);
    double area_a = 0, area_b = 0;
    for (const face& f : fs)
        (f.c[0].x < 500 ? area_a : area_b) += std::fabs(area2(f.c[0], f.c[1], f.c[2])) / 2;
    EXPECT_NEAR(area_a, 2500.0, 1e-6);  // no face twice
    EXPECT_NEAR(area_b, 2500.0, 1e-6);
    contour("set tg_middle_pnt 0\n");
    std::map<double, int> in_a;
    for (const host::Entity* e : live("LWPOLYLINE"))
        if (vertices(e).front().x < 500) ++in_a[e->real(38)];
    ASSERT_EQ(in_a.size(), 7u);
    for (const auto& [level, count] : in_a) EXPECT_EQ(count, 1) << level;
}

// A hill: an 11 x 11 grid of spacing 10 on z = 20.0037 - 0.01 r^2 about
// (50, 50). The highest point of the grid's edge is the middle of a side,
// r = 50, z = -4.9963, so every level from -4 up keeps inside the edge: one
// closed polyline round the peak, its first vertex not repeated at the end.
TEST_F(ContourTest, LevelsRoundAHillAreClosed)
{
    for (int j = 0; j <= 10; ++j)
        for (int i = 0; i <= 10; ++i) {
            const double dx = 10.0 * i - 50, dy = 10.0 * j - 50;
            make_point(10.0 * i, 10.0 * j, 20.0037 - 0.01 * (dx * dx + dy * dy));
        }
    generate("100");
    contour("set txt_min_level -20\nset tg_middle_pnt 1\n");
    std::map<double, int> per_level;
    for (const host::Entity* e : live("LWPOLYLINE")) {
        const double level = e->real(38);
        ++per_level[level];
        if (level < -4) continue;
        SCOPED_TRACE(level);
        EXPECT_EQ(e->integer(70), 1);
        const std::vector<host::Point3> v = vertices(e);
        ASSERT_GE(v.size(), 6u);
        EXPECT_EQ(v.size() % 2, 0u);  // a middle point after every vertex, the closing side's too
        EXPECT_GT(std::hypot(v.front().x - v.back().x, v.front().y - v.back().y), 0.0001);
        // Round the peak: the turning angle about (50, 50) adds up to a full turn.
        double turn = 0;
        for (size_t k = 0; k < v.size(); ++k) {
            const host::Point3& a = v[k];
            const host::Point3& b = v[(k + 1) % v.size()];
            turn += std::remainder(std::atan2(b.y - 50, b.x - 50) - std::atan2(a.y - 50, a.x - 50), 2 * kPi);
        }
        EXPECT_NEAR(std::fabs(turn), 2 * kPi, 1e-9);
    }
    for (double level = -4; level <= 20; level += 1) EXPECT_EQ(per_level[level], 1) << level;
}

// The saved drawing read by ezdxf, and its TIN contoured by matplotlib at the
// levels the tool drew (and at every whole level up to the highest z): per
// level as many lines as the tool drew, every vertex of each within 1e-4 of a
// line of the other. 400 surveyed points at survey coordinates on hills and a
// slope, the levels a metre apart.
const char* kMatplotlibContours = R"(import sys, collections, ezdxf, numpy
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
from matplotlib.tri import Triangulation
doc = ezdxf.readfile(sys.argv[1])
at, xs, ys, zs, tris = {}, [], [], [], []
for f in doc.modelspace().query("3DFACE[layer=='TIN']"):
    tri = []
    for v in (f.dxf.vtx0, f.dxf.vtx1, f.dxf.vtx2):
        key = (v[0], v[1])
        if key not in at:
            at[key] = len(xs)
            xs.append(v[0]); ys.append(v[1]); zs.append(v[2])
        tri.append(at[key])
    tris.append(tri)
ours = collections.defaultdict(list)
for p in doc.modelspace().query("LWPOLYLINE"):
    v = [(x, y) for x, y, *_ in p.get_points()]
    ours[round(p.dxf.elevation, 6)].append(v + [v[0]] if p.closed else v)
x0, y0 = min(xs), min(ys)
x, y = numpy.array(xs) - x0, numpy.array(ys) - y0
levels = sorted(set(ours) | set(float(l) for l in numpy.arange(0.0, numpy.floor(max(zs)) + 1.0)))
theirs = plt.tricontour(Triangulation(x, y, tris), numpy.array(zs), levels=levels).allsegs
def near(p, lines):
    best = float("inf")
    for line in lines:
        for a, b in zip(line[:-1], line[1:]):
            ax, ay, bx, by = a[0], a[1], b[0], b[1]
            dx, dy = bx - ax, by - ay
            t = 0.0 if dx == dy == 0 else max(0.0, min(1.0, ((p[0] - ax) * dx + (p[1] - ay) * dy) / (dx * dx + dy * dy)))
            best = min(best, ((p[0] - ax - t * dx) ** 2 + (p[1] - ay - t * dy) ** 2) ** 0.5)
    return best
bad, checked = [], 0
for level, segs in zip(levels, theirs):
    mine = [[(a - x0, b - y0) for a, b in line] for line in ours.get(round(level, 6), [])]
    mpl = [[tuple(p) for p in s] for s in segs]
    if len(mine) != len(mpl):
        bad.append(f"level {level}: {len(mine)} lines, matplotlib {len(mpl)}")
        continue
    for a, b, name in ((mine, mpl, "ours"), (mpl, mine, "matplotlib's")):
        for line in a:
            for p in line:
                checked += 1
                d = near(p, b)
                if d > 1e-4:
                    bad.append(f"level {level}: a vertex of {name} is {d:.2e} off")
print("\n".join(bad[:10]) if bad else f"same, {checked} vertices")
)";

TEST_F(ContourTest, SameContoursAsMatplotlib)
{
    std::mt19937 random(29);
    std::uniform_real_distribution<double> coord(0.0, 120.0);
    for (int i = 0; i < 400; ++i) {
        const double x = coord(random), y = coord(random);
        make_point(412000.0 + x, 301000.0 + y,
                   50.0 + 6.0 * std::sin(x / 25.0) * std::cos(y / 30.0) + x / 40.0);
    }
    generate("100");
    contour("set tg_middle_pnt 0\n");
    ASSERT_GT(live("LWPOLYLINE").size(), 5u);
    const std::string file = home() + "/contours.dxf";
    run("SAVEAS " + file + "\n");
    std::string output;
    ASSERT_EQ(outside::run_ezdxf_script(kMatplotlibContours, {file}, output), 0) << output;
    EXPECT_EQ(output.rfind("same, ", 0), 0u) << output;
}

// A near-line data set: 200 points 0.5 apart along a line at 30 degrees, each
// up to 2 cm off it, at survey coordinates, on the plane z = 70.0037 + 0.02 u +
// 50 v (u along the line, v across it). Every triangle is a sliver, and each
// level's contour runs along the strip nearly parallel to it, through a
// hundred slivers. On a plane over a convex TIN a level is one straight
// segment: one open polyline a level, every vertex on the line
// 0.02 u + 50 v = L - 70.0037, and the vertices in order along it.
TEST_F(ContourTest, SliversGiveOneUnbrokenContourALevel)
{
    const double c = std::cos(kPi / 6), s = std::sin(kPi / 6);
    const double x0 = 412345.678, y0 = 298765.432;
    for (int i = 0; i < 200; ++i) {
        const double u = 0.5 * i, v = 0.02 * std::sin(i * 2.39996);
        make_point(x0 + u * c - v * s, y0 + u * s + v * c, 70.0037 + 0.02 * u + 50 * v);
    }
    generate("100");
    contour("set txt_min_level 68\nset txt_major_intv 1\nset txt_minor_intv 0.25\nset tg_middle_pnt 0\n");
    std::map<double, int> per_level;
    for (const host::Entity* e : live("LWPOLYLINE")) {
        const double level = e->real(38);
        SCOPED_TRACE(level);
        ++per_level[level];
        EXPECT_EQ(e->integer(70), 0);
        double last_u = 0;
        const std::vector<host::Point3> v = vertices(e);
        ASSERT_GE(v.size(), 2u);
        const double direction = ((v.back().x - x0) * c + (v.back().y - y0) * s) >
                                         ((v.front().x - x0) * c + (v.front().y - y0) * s)
                                     ? 1.0
                                     : -1.0;
        for (size_t k = 0; k < v.size(); ++k) {
            const double u = (v[k].x - x0) * c + (v[k].y - y0) * s;
            const double w = -(v[k].x - x0) * s + (v[k].y - y0) * c;
            EXPECT_NEAR(0.02 * u + 50 * w, level - 70.0037, 1e-6);
            if (k > 0) {
                EXPECT_GT(direction * (u - last_u), 0.0) << k;  // never back
            }
            last_u = u;
        }
    }
    // Levels 69 to 72.75 cross the strip (z runs from about 69 to 73).
    ASSERT_FALSE(per_level.empty());
    for (const auto& [level, count] : per_level) EXPECT_EQ(count, 1) << level;
    EXPECT_GE(per_level.size(), 14u);
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

// Triangulates the nodes and checks that every triangle is empty of other
// nodes, and that the triangles fill the convex hull (2n - h - 2 of them for n
// nodes with h on the hull).
void expect_delaunay_over_the_hull(const tin_node_list& nodes)
{
    const tin_result r = tin_triangulate(nodes);
    ASSERT_EQ(r.status, tin_status::ok);
    const tin_tri_list triangles = tin_triangles_in_list(r);
    double area = 0;
    for (const tin_tri_rec& t : triangles) {
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
    // Nodes on the hull's edges between its corners count as on the hull.
    size_t on_hull = 0;
    for (int i : idx)
        for (size_t k = 0; k < hull.size(); ++k) {
            const tin_node_rec &p = nodes[hull[k]], &q = nodes[hull[(k + 1) % hull.size()]], &v = nodes[i];
            if (turn(hull[k], hull[(k + 1) % hull.size()], i) == 0 && std::min(p.x, q.x) <= v.x &&
                v.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= v.y && v.y <= std::max(p.y, q.y)) {
                ++on_hull;
                break;
            }
        }
    EXPECT_EQ(r.triangles.size(), 2 * static_cast<size_t>(r.unique) - on_hull - 2);
    // The order lists each node that stands for itself once, the earliest of
    // equal ones.
    ASSERT_EQ(r.order.size(), static_cast<size_t>(r.unique));
    std::vector<int> listed = r.order;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end());
    for (size_t k = 0; k < idx.size(); ++k) {
        const auto earliest = std::find_if(nodes.begin(), nodes.end(), [&](const tin_node_rec& p) {
            return p.x == nodes[idx[k]].x && p.y == nodes[idx[k]].y;
        });
        EXPECT_TRUE(
            std::binary_search(listed.begin(), listed.end(), static_cast<int>(earliest - nodes.begin())));
    }
}

// Random points.
TEST(TinTriangulate, RandomPointsAreDelaunayOverTheHull)
{
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % 100000 / 100.0;
    };
    tin_node_list nodes;
    for (int i = 0; i < 400; ++i) tin_node_push(nodes, next(), next());
    expect_delaunay_over_the_hull(nodes);
}

// Layouts where the order the nodes are taken in has ties and lines: rings of
// nodes at exact coordinates about one point, a line with one node off it, a
// grid with every node given twice, a cross of two lines, and two far clusters.
TEST(TinTriangulate, RingsLinesAndRepeatsAreDelaunayOverTheHull)
{
    const auto ring = [](double x0, double y0, tin_node_list& nodes) {
        const int offsets[][2] = {{5, 0},  {4, 3},   {3, 4},   {0, 5},  {-3, 4}, {-4, 3},
                                  {-5, 0}, {-4, -3}, {-3, -4}, {0, -5}, {3, -4}, {4, -3}};
        for (const auto& o : offsets) tin_node_push(nodes, x0 + o[0], y0 + o[1]);
    };
    std::vector<tin_node_list> layouts(5);
    ring(50, 50, layouts[0]);
    tin_node_push(layouts[0], 50, 50);
    for (int k = 0; k < 3; ++k) ring(50 + 10 * k, 50, layouts[0]);
    for (int k = 0; k < 15; ++k) tin_node_push(layouts[1], 3.0 * k, 2.0 * k);
    tin_node_push(layouts[1], 20, 3);
    for (int pass = 0; pass < 2; ++pass)
        for (int j = 0; j < 7; ++j)
            for (int i = 0; i < 9; ++i) tin_node_push(layouts[2], 2.0 * i, 3.0 * j);
    for (int k = -6; k <= 6; ++k) {
        tin_node_push(layouts[3], k, 0);
        if (k != 0) tin_node_push(layouts[3], 0, k);
    }
    for (int k = 0; k < 40; ++k) {
        tin_node_push(layouts[4], (k * 37 % 11) * 0.5, (k * 17 % 13) * 0.5);
        tin_node_push(layouts[4], 500 + (k * 29 % 7) * 0.5, 300 + (k * 13 % 9) * 0.5);
    }
    for (size_t k = 0; k < layouts.size(); ++k) {
        SCOPED_TRACE(k);
        expect_delaunay_over_the_hull(layouts[k]);
    }
}

}  // namespace

namespace {

// Large TINs, whose rounds are joined in parts at once: random places, a
// grid (four nodes on every circle of a cell) and places rounded to whole
// metres (many repeats). Every node is a corner, the triangles turn
// counter-clockwise, each edge lies in at most two of them and meets its
// twin, and across every inner edge the far corner lies on or outside the
// triangle's circle (exactly): so the triangles are the Delaunay
// triangulation; and there are 2n - b - 2 of them for b nodes on the hull.
TEST(TinTriangulate, LargeTinsJoinedInPartsAreDelaunayOverTheHull)
{
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE(kind);
        std::mt19937 random(9);
        std::uniform_real_distribution<double> coord(0.0, 700.0);
        tin_node_list nodes;
        for (int i = 0; i < 130000; ++i) {
            const double x = coord(random), y = coord(random);
            if (kind == 0) tin_node_push(nodes, 400000 + x, 300000 + y);
            if (kind == 1) tin_node_push(nodes, 400000 + 2.0 * (i % 361), 300000 + 2.0 * (i / 361));
            if (kind == 2) tin_node_push(nodes, 400000 + std::round(x), 300000 + std::round(y));
        }
        const tin_result r = tin_triangulate(nodes);
        ASSERT_EQ(r.status, tin_status::ok);
        const tin_tri_list triangles = tin_triangles_in_list(r);
        std::map<std::pair<int, int>, int> far;  // directed edge -> the corner across it
        std::set<int> corners;
        long turned = 0;
        for (const tin_tri_rec& t : triangles) {
            const int c[3] = {t.a, t.b, t.c};
            if (tin_orient(nodes[t.a].x, nodes[t.a].y, nodes[t.b].x, nodes[t.b].y, nodes[t.c].x,
                           nodes[t.c].y) <= 0)
                ++turned;
            for (int k = 0; k < 3; ++k) {
                corners.insert(c[k]);
                EXPECT_TRUE(far.emplace(std::make_pair(c[k], c[(k + 1) % 3]), c[(k + 2) % 3]).second);
            }
        }
        EXPECT_EQ(turned, 0);
        EXPECT_EQ(corners.size(), static_cast<size_t>(r.unique));
        long on_hull = 0, not_delaunay = 0;
        for (const auto& [edge, across] : far) {
            const auto twin = far.find({edge.second, edge.first});
            if (twin == far.end()) {
                ++on_hull;
                continue;
            }
            const tin_node_rec &a = nodes[edge.first], &b = nodes[edge.second], &c = nodes[across],
                               &d = nodes[twin->second];
            if (tin_in_circle(a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y) > 0) ++not_delaunay;
        }
        EXPECT_EQ(not_delaunay, 0);
        EXPECT_EQ(static_cast<long>(triangles.size()), 2L * r.unique - on_hull - 2);
    }
}

// A TIN large enough to be judged in parts: the faces kept, in their order,
// and the count left out are those of a plain pass over every side.
TEST(TinTriangulate, MaximumDistanceOverALargeTinKeepsTheFacesInOrder)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coord(0.0, 800.0);
    tin_point_list points;
    for (int i = 0; i < 60000; ++i)
        tin_point_push(points, 400000 + coord(random), 300000 + coord(random), 10);
    tin_node_list nodes;
    for (const tin_point_rec& p : points) tin_node_push(nodes, p.x, p.y);
    const tin_result r = tin_triangulate(nodes);
    ASSERT_EQ(r.status, tin_status::ok);
    tin_point_list ordered;
    for (int at : r.order) ordered.push_back(points[at]);
    tin_cfg().max_distance = 9.0;
    const tin_faces_rec faces = tin_faces_within_distance(r.triangles, ordered);
    std::vector<tin_tri_rec> kept;
    long dropped = 0;
    const auto side = [&](int a, int b) {
        return std::hypot(ordered[b].x - ordered[a].x, ordered[b].y - ordered[a].y);
    };
    for (const tin_tri_rec& t : r.triangles)
        if (side(t.a, t.b) > 9.0 || side(t.b, t.c) > 9.0 || side(t.c, t.a) > 9.0)
            ++dropped;
        else
            kept.push_back(t);
    EXPECT_GT(dropped, 0);
    EXPECT_EQ(faces.dropped, dropped);
    ASSERT_EQ(faces.kept.size(), kept.size());
    for (size_t k = 0; k < kept.size(); ++k) EXPECT_EQ(faces.kept[k].id, kept[k].id);
    tin_cfg().max_distance = 100.0;
}

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
    for (const tin_tri_rec& t : tin_triangles_in_list(r)) {
        const tin_node_rec &a = nodes[t.a], &b = nodes[t.b], &c = nodes[t.c];
        EXPECT_NEAR((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x), 25.0, 1e-6);
    }
}

// Signs that rounding would get wrong: points exactly on one line or one
// circle at survey coordinates, and the same points moved by one unit in the
// last place. The circle is the one of radius 5 about (x0, y0) through
// (x0 +- 3, y0 +- 4) and (x0 + 5, y0); every coordinate is exact.
TEST(TinPredicates, ExactOnLinesAndCircles)
{
    const double x0 = 412345.125, y0 = 298765.5;
    const double up = std::nextafter(y0 + 2.0, 1e9), down = std::nextafter(y0 + 2.0, 0.0);
    // (x0, y0), (x0 + 2, y0 + 1), (x0 + 4, y0 + 2) lie on one line.
    EXPECT_EQ(tin_orient(x0, y0, x0 + 2, y0 + 1, x0 + 4, y0 + 2), 0);
    EXPECT_EQ(tin_orient(x0, y0, x0 + 2, y0 + 1, x0 + 4, up), 1);
    EXPECT_EQ(tin_orient(x0, y0, x0 + 2, y0 + 1, x0 + 4, down), -1);
    EXPECT_EQ(tin_orient(x0 + 2, y0 + 1, x0, y0, x0 + 4, up), -1);
    // a, b, c counter-clockwise on the circle; d on it, just outside, just inside.
    const double ax = x0 + 3, ay = y0 + 4, bx = x0 - 3, by = y0 + 4, cx = x0 + 3, cy = y0 - 4;
    EXPECT_EQ(tin_in_circle(ax, ay, bx, by, cx, cy, x0 + 5, y0), 0);
    EXPECT_EQ(tin_in_circle(ax, ay, bx, by, cx, cy, std::nextafter(x0 + 5, 1e9), y0), -1);
    EXPECT_EQ(tin_in_circle(ax, ay, bx, by, cx, cy, std::nextafter(x0 + 5, 0.0), y0), 1);
    // Clockwise the sign turns.
    EXPECT_EQ(tin_in_circle(bx, by, ax, ay, cx, cy, std::nextafter(x0 + 5, 0.0), y0), -1);
}

TEST(TinContourLevels, FirstLevel)
{
    struct {
        double v, d, first;
    } cases[] = {{1, 1, 0},     {2.5, 1, 2},   {3, 1, 2},     {0.5, 1, -1},
                 {-0.5, 1, -2}, {0.25, 2, -2}, {10, 2.5, 7.5}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(cnt_level_floor(c.v, c.d), c.first) << c.v << " " << c.d;
}

// The square (0,0)-(2,2) on z = x split along its diagonal: the level-1
// pieces of the two faces, (1,0)-(1,1) and (1,1)-(1,2), meet on the shared
// diagonal and make one chain. The second face moved by (d, d) on z = x - d
// shares no edge with the first, and its piece stays a chain of its own
// however near its ends come.
TEST(TinContourLevels, PiecesJoinThroughSharedEdgesOnly)
{
    struct {
        double d;
        size_t chains;
    } cases[] = {{0.0, 1}, {0.009, 2}, {1e-12, 2}};
    for (const auto& c : cases) {
        const double d = c.d;
        tin_point_list corners;
        tin_point_push(corners, 0, 0, 0);
        tin_point_push(corners, 2, 0, 2);
        tin_point_push(corners, 2, 2, 2);
        tin_point_push(corners, d, d, 0);
        tin_point_push(corners, 2 + d, 2 + d, 2);
        tin_point_push(corners, d, 2 + d, 0);
        const auto chains = cnt_build_chains(corners, 1.0, 1.0, 1);
        ASSERT_EQ(chains.size(), c.chains) << d;
        if (c.chains != 1) continue;
        ASSERT_EQ(chains[0].vertices.size(), 3u);
        EXPECT_FALSE(chains[0].closed);
        const double ys[3] = {chains[0].vertices[0].y, chains[0].vertices[1].y, chains[0].vertices[2].y};
        EXPECT_DOUBLE_EQ(ys[1], 1.0);
        EXPECT_DOUBLE_EQ(std::min(ys[0], ys[2]), 0.0);
        EXPECT_DOUBLE_EQ(std::max(ys[0], ys[2]), 2.0);
        for (const tin_node_rec& v : chains[0].vertices) EXPECT_DOUBLE_EQ(v.x, 1.0);
    }
}

}  // namespace

// Corners of faces are matched by their x and y however the points crowd: a
// cluster of 400 points within half a metre, amid four points a kilometre
// apart, on the plane z = x + 0.37. Every level across the cluster (0.4 to
// 0.85, a twentieth apart) is one
// straight open chain, each vertex on the line x = L - 0.37 (a corner left
// unmatched would break its level into pieces).
TEST(TinContourLevels, CrowdedCornersStillJoin)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> near(0.0, 0.5);
    tin_node_list nodes;
    const double far[4][2] = {{-500, -500}, {500, -500}, {500, 500}, {-500, 500}};
    for (const auto& p : far) tin_node_push(nodes, 400000 + p[0], 300000 + p[1]);
    for (int i = 0; i < 400; ++i) tin_node_push(nodes, 400000 + near(random), 300000 + near(random));
    const tin_result result = tin_triangulate(nodes);
    ASSERT_EQ(result.status, tin_status::ok);
    tin_point_list corners;
    for (const tin_tri_rec& t : tin_triangles_in_list(result))
        for (int k = 0; k < 3; ++k) {
            const tin_node_rec& v = nodes[tin_tri_corner(t, k)];
            tin_point_push(corners, v.x, v.y, v.x - 400000 + 0.37);
        }
    const auto chains = cnt_build_chains(corners, 0.4, 0.05, 10);
    std::map<double, int> per_level;
    for (const cnt_chain_rec& chain : chains) {
        SCOPED_TRACE(chain.level);
        ++per_level[chain.level];
        EXPECT_FALSE(chain.closed);
        for (const tin_node_rec& v : chain.vertices) EXPECT_NEAR(v.x - 400000 + 0.37, chain.level, 1e-6);
    }
    EXPECT_EQ(per_level.size(), 10u);
    for (const auto& [level, count] : per_level) EXPECT_EQ(count, 1) << level;
}
