// Reading polyline vertices: LWPOLYLINEs, old-style POLYLINEs and the spline
// choice asked in PolylineConfirm_dlg, answered from a script.
#include "polyline_read.h"

#include "../platform/platform_test_env.h"

namespace {

struct test_vertex {
    double x, y;
    int flags;
};

class PolylineReadTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        polyline_spline_choice = polyline_spline_choice_rec{};
    }

    // An LWPOLYLINE through the points, as a selection set of one.
    void make_lwpolyline(int flags, const std::vector<test_vertex>& points, double elevation = 0)
    {
        resbuf* head = acutBuildList(RTDXF0, "LWPOLYLINE", 8, "LOTS", 90, static_cast<int>(points.size()), 70,
                                     flags, 38, elevation, 0);
        resbuf* tail = head;
        while (tail->rbnext) tail = tail->rbnext;
        for (const test_vertex& p : points) {
            ads_point pt = {p.x, p.y, 0};
            tail->rbnext = acutBuildList(10, pt, 0);
            tail = tail->rbnext;
        }
        ASSERT_EQ(acdbEntMake(head), RTNORM);
        acutRelRb(head);
        ASSERT_EQ(acdbEntLast(entity), RTNORM);
    }

    // A POLYLINE with its VERTEX entities (z = 1 + index) and SEQEND.
    void make_polyline(int flags, const std::vector<test_vertex>& vertices)
    {
        ads_point origin = {0, 0, 0};
        resbuf* head = acutBuildList(RTDXF0, "POLYLINE", 8, "CONTOUR", 66, 1, 10, origin, 70, flags, 0);
        ASSERT_EQ(acdbEntMake(head), RTNORM);
        acutRelRb(head);
        for (size_t i = 0; i < vertices.size(); ++i) {
            ads_point pt = {vertices[i].x, vertices[i].y, 1.0 + i};
            resbuf* vertex = acutBuildList(RTDXF0, "VERTEX", 8, "CONTOUR", 10, pt, 70, vertices[i].flags, 0);
            ASSERT_EQ(acdbEntMake(vertex), RTNORM);
            acutRelRb(vertex);
        }
        resbuf* end = acutBuildList(RTDXF0, "SEQEND", 8, "CONTOUR", 0);
        ASSERT_EQ(acdbEntMake(end), RTNORM);
        acutRelRb(end);
        ASSERT_EQ(acdbEntLast(entity), RTNORM);
    }

    static std::vector<int> numbers(const numbered_point_list& list)
    {
        std::vector<int> out;
        for (const numbered_point& p : list) out.push_back(p.number);
        return out;
    }

    ads_name entity = {0, 0};
};

const std::vector<test_vertex> kSquare = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};

TEST_F(PolylineReadTest, LwpolylinesClosedOrNotWithOrWithoutLinetypeGeneration)
{
    struct Case {
        int flags;
        size_t entries;
    } cases[] = {{0, 4}, {1, 5}, {128, 4}, {129, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        make_lwpolyline(c.flags, kSquare, 12.5);
        ads_name set;
        ASSERT_EQ(acedSSAdd(entity, nullptr, set), RTNORM);
        EXPECT_EQ(lwpoly_read_vertices(set, 0), 1);
        acedSSFree(set);
        const auto& v = lwpoly_vertices.vertices;
        ASSERT_EQ(v.size(), c.entries);
        EXPECT_EQ(v[1].point.x, 10);
        EXPECT_EQ(v[1].point.y, 0);
        // Closed: the first vertex (0, 0) again; open: the last one (0, 10).
        EXPECT_EQ(v.back().point.x, 0);
        EXPECT_EQ(v.back().point.y, c.entries == 5 ? 0 : 10);
        EXPECT_EQ(lwpoly_vertices.layer, "LOTS");
        EXPECT_EQ(lwpoly_vertices.flags, c.flags);
        EXPECT_EQ(lwpoly_vertices.elevation, 12.5);
        EXPECT_EQ(numbers(v), std::vector<int>(c.entries, 0));
    }
}

TEST_F(PolylineReadTest, PlainPolylinesKeepEveryVertex)
{
    struct Case {
        int flags;
        std::vector<int> expected;  // vertex flags read, in order
    } cases[] = {{0, {0, 0, 0, 0}},     {1, {0, 0, 0, 0, 0}},      {129, {0, 0, 0, 0, 0}},
                 {8, {32, 32, 32, 32}}, {9, {32, 32, 32, 32, 32}}, {16, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        std::vector<test_vertex> vertices = kSquare;
        for (auto& v : vertices) v.flags = (c.flags & 8) ? 32 : 0;
        make_polyline(c.flags, vertices);
        EXPECT_EQ(polyline_read_vertices(entity, -1), 0);
        EXPECT_EQ(numbers(polyline_vertices.vertices), c.expected);
        EXPECT_EQ(polyline_vertices.layer, "CONTOUR");
        if (c.expected.size() == 5) {
            EXPECT_EQ(polyline_vertices.vertices.back().point.z, 1.0);  // the first vertex again
        }
    }
}

// A spline-fitted polyline holds its control frame (flags 16 in 2D, 48 in 3D)
// and the fitted curve (8 in 2D, 40 in 3D); the dialog says which count.
const std::vector<test_vertex> kSpline2d = {{0, 0, 16}, {1, 1, 8}, {2, 2, 8},
                                            {5, 0, 16}, {6, 1, 8}, {9, 9, 16}};

TEST_F(PolylineReadTest, TheDialogChoosesFrameCurveOrBoth)
{
    struct Case {
        std::string answers;
        int mode;
        std::vector<int> expected;
    } cases[] = {
        {"set rb_CoordFrame 1\npick exit\n", spline_mode_frame, {16, 16, 16}},
        {"pick exit\n", spline_mode_curve, {8, 8, 8}},
        {"set rb_CoordFrameSpline 1\npick exit\n", spline_mode_both, {16, 8, 8, 16, 8, 16}},
        {"set rb_CoordFrame 1\nset rb_CoordSpline 1\npick exit\n", spline_mode_curve, {8, 8, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answers);
        polyline_spline_choice = polyline_spline_choice_rec{};
        make_polyline(4, kSpline2d);
        answers(c.answers);
        polyline_read_vertices(entity, -1);
        EXPECT_EQ(polyline_spline_choice.mode, c.mode);
        EXPECT_EQ(polyline_spline_choice.never_ask, 0);
        EXPECT_EQ(numbers(polyline_vertices.vertices), c.expected);
        EXPECT_FALSE(session().input()->next_line());  // every answer was used
    }
}

// The line of a tile in the dialog as "show" printed it last.
std::string shown_tile(const std::string& transcript, const std::string& key)
{
    size_t at = transcript.rfind(key + ": ");
    if (at == std::string::npos) return "";
    return transcript.substr(at, transcript.find('\n', at) - at);
}

TEST_F(PolylineReadTest, TheDialogSaysWhichSplineAndShowsTheCurrentChoice)
{
    const std::vector<test_vertex> spline3d = {{0, 0, 48}, {1, 1, 40}, {5, 0, 48}};
    struct Case {
        int flags;
        int mode;  // the choice before the dialog, kept by "exit"
        const char* message;
        const char* radio_on;
    } cases[] = {
        {4, spline_mode_frame, "This is a 2D polyline with SPLINE.", "rb_CoordFrame"},
        {5, spline_mode_curve, "This is a 2D polyline closed with SPLINE.", "rb_CoordSpline"},
        {12, spline_mode_both, "This is a 3D polyline with SPLINE.", "rb_CoordFrameSpline"},
        {13, spline_mode_frame, "This is a 3D polyline closed with SPLINE.", "rb_CoordFrame"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        polyline_spline_choice = polyline_spline_choice_rec{c.mode, 0};
        make_polyline(c.flags, c.flags < 8 ? kSpline2d : spline3d);
        session().transcript().clear();
        answers("show\npick exit\n");
        polyline_read_vertices(entity, -1);
        const std::string shown = transcript();
        EXPECT_NE(shown_tile(shown, "t_msg").find(c.message), std::string::npos) << shown;
        for (const char* radio : {"rb_CoordFrame", "rb_CoordSpline", "rb_CoordFrameSpline"}) {
            const char* expected = std::string(radio) == c.radio_on ? "value \"1\"" : "value \"0\"";
            EXPECT_NE(shown_tile(shown, radio).find(expected), std::string::npos) << shown_tile(shown, radio);
        }
        EXPECT_NE(shown_tile(shown, "tg_neverAsk").find("value \"0\""), std::string::npos);
        EXPECT_EQ(polyline_spline_choice.mode, c.mode);
    }
}

TEST_F(PolylineReadTest, AClosed3dSplineReadsItsFrameAndClosesIt)
{
    make_polyline(13, {{0, 0, 48}, {1, 1, 40}, {5, 0, 48}, {6, 1, 40}, {9, 9, 48}});
    answers("show\nset rb_CoordFrame 1\npick exit\n");
    polyline_read_vertices(entity, -1);
    EXPECT_EQ(numbers(polyline_vertices.vertices), (std::vector<int>{48, 48, 48, 48}));
    EXPECT_EQ(polyline_vertices.vertices.back().point.x, 0);
    EXPECT_NE(transcript().find("This is a 3D polyline closed with SPLINE."), std::string::npos);
}

TEST_F(PolylineReadTest, NeverAskIsKeptForLaterPolylines)
{
    make_polyline(5, kSpline2d);
    answers("set rb_CoordFrameSpline 1\nset tg_neverAsk 1\npick exit\nnot for the dialog\n");
    polyline_read_vertices(entity, -1);
    EXPECT_EQ(polyline_spline_choice.never_ask, 1);
    EXPECT_EQ(polyline_vertices.vertices.size(), 7u);

    make_polyline(4, kSpline2d);
    polyline_read_vertices(entity, -1);  // no dialog: the next line is still unread
    EXPECT_EQ(numbers(polyline_vertices.vertices), (std::vector<int>{16, 8, 8, 16, 8, 16}));
    EXPECT_EQ(session().input()->next_line(), std::optional<std::string>("not for the dialog"));
}

// Esc leaves the dialog (it is not shown for ever) and keeps the choice as it was.
TEST_F(PolylineReadTest, EscKeepsTheFormerChoice)
{
    make_polyline(4, kSpline2d);
    answers("set rb_CoordFrame 1\nset tg_neverAsk 1\n^C\n");
    polyline_read_vertices(entity, -1);
    EXPECT_EQ(polyline_spline_choice.mode, spline_mode_curve);
    EXPECT_EQ(polyline_spline_choice.never_ask, 0);
    EXPECT_EQ(numbers(polyline_vertices.vertices), (std::vector<int>{8, 8, 8}));
}

TEST_F(PolylineReadTest, AMissingDialogFileReadsOnWithTheCurrentChoice)
{
    const std::string install = home + "/empty_install";
    std::filesystem::create_directories(install);
    host::platform::registry_write_text(host::platform::kProductKey, "Installation folder", install);
    polyline_spline_choice.mode = spline_mode_frame;
    make_polyline(4, kSpline2d);
    const size_t entities = drawing().model.size();
    polyline_read_vertices(entity, -1);
    EXPECT_EQ(drawing().model.size(), entities);
    EXPECT_NE(transcript().find("\n Error Loading " + install + "/dcl/PolylineConfirm.dcl"),
              std::string::npos);
    EXPECT_EQ(numbers(polyline_vertices.vertices), (std::vector<int>{16, 16, 16}));
}

}  // namespace
