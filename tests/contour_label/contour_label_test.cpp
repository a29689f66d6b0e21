// Contour labels and spline contours from the terrain menu, on contours the
// menu itself made: a grid of POINTs on the plane z = f(x, y) = 0.05 x +
// 0.03 y - 2.13 (no grid point on a half-metre level), its TIN, and contours
// every 0.5 m with the major interval 1, so that whole levels are major and
// half-metre levels minor, from -2 up to 5.5.
//
// Worked independently of the command: on a plane the TIN is the plane, so
// the contour of level L is the line f = L. A path segment A-B meets it at
// A + t (B - A) with t = (L - f(A)) / (f(B) - f(A)); the contour runs along
// (0.03, -0.05) or (-0.03, 0.05). A label's baseline runs along the contour;
// where a segment crosses several contours each label's top faces rising
// ground: its up direction (-sin r, cos r) for the rotation r has a positive
// dot product with the gradient (0.05, 0.03). The text is the level with as
// few decimals as it needs, then "m"; its height 1000 x 0.001 x 1.3 = 1.3.
// Labels are 0.8 x 1.3 = 1.04 wide a glyph, and the guide lines lie half the
// widest label of a segment off the path on either side.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ads.h"
#include "db/sysvars.h"
#include "host_fixture.h"
#include "settings_store.h"
#include "test_entities.h"
#include "tin_contour_label.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct xy {
    double x, y;
};

double f(const xy& p)
{
    return 0.05 * p.x + 0.03 * p.y - 2.13;
}

// The text a level is labelled with, written out for the levels used here.
std::string level_text(double level)
{
    const double whole = std::round(level);
    if (std::fabs(level - whole) < 1e-9) return std::to_string(static_cast<long>(whole)) + "m";
    std::string half =
        (level < 0 ? "-" : "") + std::to_string(static_cast<long>(std::fabs(std::trunc(level))));
    return half + ".5m";
}

struct expected_label {
    double level;
    xy at;
    bool rising;  // the segment's levels rise
};

// The labels of a path: every half-metre level strictly between the ends of
// each segment.
std::vector<expected_label> expected_labels(const std::vector<xy>& path)
{
    std::vector<expected_label> out;
    for (size_t k = 1; k < path.size(); ++k) {
        const xy a = path[k - 1], b = path[k];
        const double fa = f(a), fb = f(b);
        for (double level = -4.0; level <= 8.0; level += 0.5) {
            if (level <= std::min(fa, fb) || level >= std::max(fa, fb)) continue;
            const double t = (level - fa) / (fb - fa);
            out.push_back({level, {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}, fb > fa});
        }
    }
    return out;
}

class ContourLabelTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        save_as("labels");
    }

    // The drawing under a name of this test's own: the label settings belong
    // to a drawing's full path.
    void save_as(const std::string& name) { run("SAVEAS " + home() + "/" + name + ".dxf\n"); }

    void set_survey_angles()
    {
        ASSERT_TRUE(host::set_sysvar_real(drawing(), "ANGBASE", kPi / 2));
        ASSERT_TRUE(host::set_sysvar_short(drawing(), "ANGDIR", 1));
    }

    // The grid, its TIN and its contours, all through the menu.
    void make_contours(bool middle_points = true)
    {
        for (int j = 0; j <= 10; ++j)
            for (int i = 0; i <= 10; ++i) {
                const xy p{10.0 * i, 10.0 * j};
                ASSERT_TRUE(test_make_point("LEVELS", p.x, p.y, f(p)));
            }
        std::string out = run("(b_dtm_main)\nselect s_progname 1\npick go_btn\nP\n100\nALL\n\n");
        ASSERT_NE(out.find("Triangle Created."), std::string::npos) << out;
        out = run(std::string("(b_dtm_main)\nselect s_progname 3\npick go_btn\nP\n") +
                  "set txt_min_level -3\nset txt_major_intv 1\nset txt_minor_intv 0.5\n" +
                  "set txt_major_layer MAJOR\nset txt_minor_layer MINOR\nset tg_middle_pnt " +
                  (middle_points ? "1" : "0") + "\nok\n");
        ASSERT_EQ(live("LWPOLYLINE").size(), 16u) << out;  // levels -2 to 5.5
    }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = "")
    {
        return test_live_entities(drawing(), type, layer);
    }

    static std::string path_lines(const std::vector<xy>& path)
    {
        std::string lines;
        for (const xy& p : path) lines += std::to_string(p.x) + "," + std::to_string(p.y) + "\n";
        return lines + "X\n";
    }

    // The label tool from the menu: the dialog lines (on its first use in a
    // drawing), then the path.
    std::string label(const std::string& dialog_lines, const std::vector<xy>& path)
    {
        return run("(b_dtm_main)\nselect s_progname 4\npick go_btn\n" + dialog_lines + path_lines(path));
    }

    // Every TEXT matches one expected label, one for one.
    void expect_labels(const std::vector<xy>& path)
    {
        const std::vector<expected_label> want = expected_labels(path);
        std::vector<const host::Entity*> texts = live("TEXT");
        ASSERT_EQ(texts.size(), want.size());
        for (const expected_label& w : want) {
            SCOPED_TRACE(w.level);
            const host::Entity* found = nullptr;
            for (const host::Entity* t : texts) {
                const host::Point3 at = t->point(11);
                if (std::hypot(at.x - w.at.x, at.y - w.at.y) < 1e-6) found = t;
            }
            ASSERT_NE(found, nullptr) << w.at.x << "," << w.at.y;
            EXPECT_EQ(found->text(1), level_text(w.level));
            const bool whole = std::fabs(w.level - std::round(w.level)) < 1e-9;
            EXPECT_EQ(found->layer(), whole ? "MAJOR_LABEL" : "MINOR_LABEL");
            EXPECT_EQ(found->integer(72), 4);  // middle
            EXPECT_NEAR(found->real(40), 1.3, 1e-12);
            const double r = found->real(50);
            // Along the contour, and its top towards rising ground.
            EXPECT_NEAR(0.05 * std::cos(r) + 0.03 * std::sin(r), 0.0, 1e-9);
            EXPECT_GT(-0.05 * std::sin(r) + 0.03 * std::cos(r), 0.0);
        }
    }
};

// Two segments rising from below level 0 to above 5, and one falling back:
// negative, whole and half-metre levels, each crossing labelled once.
const std::vector<xy> kPath = {{2, 3}, {60, 20}, {90, 95}, {30, 90}};

TEST_F(ContourLabelTest, OneLabelPerCrossingWithItsLevelAndTurnedUphill)
{
    for (bool survey : {false, true}) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        if (survey) {
            run("NEW\n");
            save_as("survey");
            set_survey_angles();
        }
        make_contours();
        const std::string out = label("ok\n", kPath);
        // Levels -2 and 5.5 lie outside the path's box.
        EXPECT_NE(out.find("Found 14 LWPOLYLINE(s)."), std::string::npos) << out;
        expect_labels(kPath);
        const std::vector<expected_label> want = expected_labels(kPath);
        EXPECT_EQ(want.size(), 20u);  // 6 + 8 + 6 crossings
    }
}

// The guide lines: half the widest label off the path, on either side, the
// segments' offset lines meeting at the path's corners.
TEST_F(ContourLabelTest, GuideLinesBesideTheLabels)
{
    make_contours();
    label("ok\n", kPath);
    // Widest labels: "-1.5m" (5 glyphs) on the first segment, "1.5m" (4) on
    // the others.
    const double half[3] = {0.5 * 5 * 1.04, 0.5 * 4 * 1.04, 0.5 * 4 * 1.04};
    std::vector<const host::Entity*> guides = live("LWPOLYLINE", "MAJOR_LABEL");
    ASSERT_EQ(guides.size(), 2u);
    for (int side : {1, -1}) {
        // The offset of segment k: to the right of the path's direction for
        // bearing + 90 (side 1), to the left for bearing + 270.
        struct line {
            xy a, b;
        };
        std::vector<line> lines;
        for (size_t k = 1; k < kPath.size(); ++k) {
            const xy a = kPath[k - 1], b = kPath[k];
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            const xy n{side * (b.y - a.y) / len * half[k - 1], -side * (b.x - a.x) / len * half[k - 1]};
            lines.push_back({{a.x + n.x, a.y + n.y}, {b.x + n.x, b.y + n.y}});
        }
        std::vector<xy> want = {lines.front().a};
        for (size_t k = 1; k < lines.size(); ++k) {
            const line &p = lines[k - 1], &q = lines[k];
            const double d1x = p.b.x - p.a.x, d1y = p.b.y - p.a.y, d2x = q.b.x - q.a.x, d2y = q.b.y - q.a.y;
            const double s = ((q.a.x - p.a.x) * d2y - (q.a.y - p.a.y) * d2x) / (d1x * d2y - d1y * d2x);
            want.push_back({p.a.x + s * d1x, p.a.y + s * d1y});
        }
        want.push_back(lines.back().b);
        bool matched = false;
        for (const host::Entity* g : guides) {
            std::vector<xy> got;
            for (const host::Group& grp : g->groups)
                if (grp.code == 10) got.push_back({grp.point.x, grp.point.y});
            if (got.size() != want.size()) continue;
            bool same = true;
            for (size_t i = 0; i < got.size(); ++i)
                same = same && std::hypot(got[i].x - want[i].x, got[i].y - want[i].y) < 1e-6;
            matched = matched || same;
        }
        EXPECT_TRUE(matched) << "side " << side;
    }
}

// A segment across one contour: the label lies along the contour piece it
// crosses, as the polyline runs, without turning. A path through a vertex of
// a contour meets the pieces on both sides of it and still gets one label.
TEST_F(ContourLabelTest, OneCrossingKeepsThePieceDirection)
{
    make_contours(false);
    // Level 1 runs through (50, 34.33...) and (62, 14.33...); pick its
    // polyline and a vertex inside it.
    const host::Entity* contour = nullptr;
    for (const host::Entity* e : live("LWPOLYLINE"))
        if (std::fabs(e->real(38) - 1.0) < 1e-9) contour = e;
    ASSERT_NE(contour, nullptr);
    std::vector<xy> v;
    for (const host::Group& g : contour->groups)
        if (g.code == 10) v.push_back({g.point.x, g.point.y});
    ASSERT_GE(v.size(), 3u);
    const size_t k = v.size() / 2;  // an inner vertex
    // Across the piece k-1..k at its middle, and then through vertex k.
    const xy mid{(v[k - 1].x + v[k].x) / 2, (v[k - 1].y + v[k].y) / 2};
    const double bearing = std::atan2(v[k].x - v[k - 1].x, v[k].y - v[k - 1].y) * 180.0 / kPi;
    bool first = true;
    for (const xy& through : {mid, v[k]}) {
        SCOPED_TRACE(through.x);
        for (const host::Entity* t : live("TEXT")) drawing().get(t->id)->erased = true;
        // A short segment along the gradient: it crosses level 1 only.
        const xy a{through.x - 0.5, through.y - 0.3}, b{through.x + 0.5, through.y + 0.3};
        label(first ? "ok\n" : "", {a, b});
        first = false;
        const std::vector<const host::Entity*> texts = live("TEXT");
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0]->text(1), "1m");
        EXPECT_NEAR(texts[0]->point(11).x, through.x, 1e-6);
        EXPECT_NEAR(texts[0]->point(11).y, through.y, 1e-6);
        double want = (90.0 - bearing) * kPi / 180.0;
        want = std::fmod(want + 4 * kPi, 2 * kPi);
        EXPECT_NEAR(std::fmod(texts[0]->real(50) + 2 * kPi, 2 * kPi), want, 1e-9);
    }
    EXPECT_TRUE(live("LWPOLYLINE", "MAJOR_LABEL").empty());  // one label: no guide lines
}

// The settings: the dialog on the first use in a drawing, stored in the
// drawing; later only through "S"; a new drawing asks again.
TEST_F(ContourLabelTest, SettingsStoredInTheDrawing)
{
    make_contours();
    std::string out =
        label("set txt_TextHeight 2\nset txt_Unit M\nset tg_MakeParallelLine 0\nok\n", {{2, 3}, {60, 20}});
    std::string stored;
    ASSERT_EQ(drawing_setting_read("CNT_LABEL", "Orvik_survey_temp", stored), 1);
    EXPECT_EQ(stored, "0,0,1000.000,2.000,MAJOR_LABEL,MINOR_LABEL,MAJOR,MINOR,M,");
    std::vector<const host::Entity*> texts = live("TEXT");
    ASSERT_EQ(texts.size(), 6u);
    for (const host::Entity* t : texts) {
        EXPECT_NEAR(t->real(40), 2.0, 1e-12);
        EXPECT_EQ(t->text(1).back(), 'M');
    }
    EXPECT_TRUE(live("LWPOLYLINE", "MAJOR_LABEL").empty());
    // The second run goes straight to the path; "S" opens the dialog there.
    out = label("", {{2, 3}, {60, 20}});
    EXPECT_EQ(out.find("TinContourLabel_dlg"), std::string::npos) << out;
    out = run("(b_dtm_main)\nselect s_progname 4\npick go_btn\nS\nset txt_Unit m\nok\nX\n");
    EXPECT_NE(out.find("TinContourLabel_dlg"), std::string::npos) << out;
    ASSERT_EQ(drawing_setting_read("CNT_LABEL", "Orvik_survey_temp", stored), 1);
    EXPECT_EQ(stored, "0,0,1000.000,2.000,MAJOR_LABEL,MINOR_LABEL,MAJOR,MINOR,m,");
    // Another drawing has its own settings: the defaults and the dialog again.
    run("NEW\n");
    save_as("another");
    out = run("(b_dtm_main)\nselect s_progname 4\npick go_btn\nshow\ncancel\n");
    EXPECT_NE(out.find("txt_TextHeight: edit_box, label \"Text height :\", value \"1.300\""),
              std::string::npos)
        << out;
}

// Bad entries are refused and the tile shows the last good value; settings
// too long to store are refused whole with a message, and the drawing keeps
// what it had.
TEST_F(ContourLabelTest, BadEntriesAndOverlongSettingsAreRefused)
{
    make_contours();
    std::string out = label(
        "set txt_TextHeight 0\nset txt_PlotScale abc\nset txt_Unit toolongunit\nset txt_Unit a,b\n"
        "set txt_MajorCntLayer A*B\nshow\nok\n",
        {{2, 3}, {60, 20}});
    EXPECT_NE(out.find("txt_TextHeight: edit_box, label \"Text height :\", value \"1.300\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("txt_PlotScale: edit_box, label \"Plot scale 1 :\", value \"1000.000\""),
              std::string::npos);
    EXPECT_NE(out.find("txt_Unit: edit_box, label \"Unit text :\", value \"m\""), std::string::npos);
    EXPECT_NE(out.find("txt_MajorCntLayer: edit_box, label \"Major contour layer :\", value \"MAJOR\""),
              std::string::npos);
    EXPECT_EQ(live("TEXT").size(), 6u);
    std::string stored;
    ASSERT_EQ(drawing_setting_read("CNT_LABEL", "Orvik_survey_temp", stored), 1);
    const std::string before = stored;
    const std::string name(59, 'L');
    out = run("(b_dtm_main)\nselect s_progname 4\npick go_btn\nS\nset txt_MajorLblLayer " + name +
              "\nset txt_MinorLblLayer " + name + "\nset txt_MajorCntLayer MAJOR" + std::string(54, 'C') +
              "\nset txt_MinorCntLayer " + name + "\nok\nX\n");
    EXPECT_NE(out.find("Contour label settings not saved"), std::string::npos) << out;
    ASSERT_EQ(drawing_setting_read("CNT_LABEL", "Orvik_survey_temp", stored), 1);
    EXPECT_EQ(stored, before);
}

TEST_F(ContourLabelTest, AlignOptionSaysItIsNotAvailableAndLabelsNothing)
{
    make_contours();
    const std::string out = label("set tg_SelectAlgn 1\nok\n", {});
    EXPECT_NE(out.find("not available yet"), std::string::npos) << out;
    EXPECT_EQ(out.find("Pick Point"), std::string::npos);
    EXPECT_TRUE(live("TEXT").empty());
}

// A contour on another layer is never labelled; an empty path labels nothing.
TEST_F(ContourLabelTest, OnlyTheContourLayersAreLabelled)
{
    make_contours();
    ASSERT_TRUE(test_make_lwpolyline("OTHER", 0, std::vector<xy>{{30, 0}, {30, 100}}, 1.25));
    label("ok\n", {{2, 3}, {60, 20}});
    EXPECT_EQ(live("TEXT").size(), 6u);
    label("", {});
    EXPECT_EQ(live("TEXT").size(), 6u);
}

// "Spline Contour" splines the contours through PEDIT; the splined contours
// (old-style POLYLINEs at their level) are labelled like the others. On a
// plane the fitted curve stays on the contour's line.
TEST_F(ContourLabelTest, SplinedContoursAreLabelled)
{
    make_contours();
    std::string out = run("(b_dtm_main)\nselect s_progname 5\npick go_btn\nALL\n\n");
    EXPECT_NE(out.find("This program to spline LWPOLYLINES/POLYLINE."), std::string::npos) << out;
    EXPECT_NE(out.find("Found 16 LWPOLYLINE"), std::string::npos);
    EXPECT_TRUE(live("LWPOLYLINE").empty());
    ASSERT_EQ(live("POLYLINE").size(), 16u);
    for (const host::Entity* p : live("POLYLINE")) EXPECT_EQ(p->integer(70) & 4, 4);
    // The polyline reader asks which vertices of a splined polyline count.
    out = run("(b_dtm_main)\nselect s_progname 4\npick go_btn\nok\n" + path_lines(kPath) +
              "pick rb_CoordSpline\npick tg_neverAsk\npick exit\n");
    EXPECT_NE(out.find("Found 0 LWPOLYLINE(s)."), std::string::npos) << out;
    EXPECT_NE(out.find("Processing POLYLINEs 14 of 14 objects"), std::string::npos);
    expect_labels(kPath);
}

// Nothing in the menu says it is not available.
TEST_F(ContourLabelTest, EveryMenuToolRuns)
{
    const char* leave[6] = {"C\n", "C\n", "C\n", "C\n", "cancel\n", "\n"};
    for (int position = 0; position < 6; ++position) {
        const std::string out = run("(b_dtm_main)\nselect s_progname " + std::to_string(position) +
                                    "\npick go_btn\n" + leave[position]);
        EXPECT_EQ(out.find("not available"), std::string::npos) << position << out;
    }
}

TEST(ContourLabelText, LevelWithItsOwnDecimals)
{
    struct {
        double level;
        const char* text;
    } cases[] = {{10, "10"},         {10.5, "10.5"},   {11.5, "11.5"},       {-0.5, "-0.5"},
                 {-2, "-2"},         {0.25, "0.25"},   {-0.0000001, "0"},    {12.499999999, "12.5"},
                 {0.1 + 0.2, "0.3"}, {7.125, "7.125"}, {100.0001, "100.000"}};
    for (const auto& c : cases) EXPECT_EQ(cnt_label_level_text(c.level), c.text) << c.level;
}

// Along a path bearing 90 (east) with rising levels the reference is 180:
// a contour piece of bearing 10 is turned to 190, one of 170 stays; with the
// path bearing 260 the reference is 350 and a piece of bearing 10 lies 20
// from it, so it stays (and 190 is turned to 10).
TEST(ContourLabelText, TurnedWithinARightAngleOfTheReference)
{
    auto hits = [](double a1, double a2) {
        std::vector<cnt_label_hit_rec> h(2);
        h[0].angle = a1;
        h[0].level = 1;
        h[1].angle = a2;
        h[1].level = 2;
        return h;
    };
    const point3d_rec origin{0, 0, 0};
    std::vector<double> got = cnt_label_angles(hits(10, 170), origin, point3d_rec{1, 0, 0});
    EXPECT_DOUBLE_EQ(got[0], 190);
    EXPECT_DOUBLE_EQ(got[1], 170);
    const double r = 260.0 * kPi / 180.0;
    got = cnt_label_angles(hits(10, 190), origin, point3d_rec{std::sin(r), std::cos(r), 0});
    EXPECT_DOUBLE_EQ(got[0], 10);
    EXPECT_DOUBLE_EQ(got[1], 10);
    // One hit keeps its angle whatever the path.
    std::vector<cnt_label_hit_rec> one(1);
    one[0].angle = 300;
    EXPECT_DOUBLE_EQ(cnt_label_angles(one, origin, point3d_rec{1, 0, 0})[0], 300);
}

}  // namespace
