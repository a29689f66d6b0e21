// Road cutting tongues from picked points (b_pick_cutting), the settings
// dialog, and what either command does with bad input: each is said on the
// command line or in the dialog, and the drawing keeps what it had.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "db/entities.h"
#include "drawing_queries.h"
#include "host_fixture.h"
#include "road_cutting.h"
#include "settings_store.h"
#include "test_entities.h"

namespace {

struct XY {
    double x, y;
};

class CuttingInput : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }
    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        return test_live_entities(drawing(), type, layer);
    }
    void polyline(const char* layer, const std::vector<XY>& points)
    {
        ASSERT_TRUE(test_make_lwpolyline(layer, 0, points));
    }
    size_t cutting_entities() { return live("LINE", "Cutting").size() + live("HATCH", "Cutting").size(); }
};

double length(const host::Entity* line)
{
    return std::hypot(line->point(11).x - line->point(10).x, line->point(11).y - line->point(10).y);
}

// Auto on: a stretch of 20 and a foot 15 from its middle give a tongue 10
// long and a line of 5. Auto off with the path 1.5: a foot 3 away gives a
// tongue of 2. Each Akhir is the next Mula.
TEST_F(CuttingInput, PickedTonguesOfBothLengthRules)
{
    std::string out = run("(b_pick_cutting)\nok\n0,0\n20,0\n10,15\n40,0\n30,-3\n^C\n");
    EXPECT_NE(out.find("Pick Cutting"), std::string::npos);
    auto lines = live("LINE", "Cutting");
    ASSERT_EQ(lines.size(), 2u) << out;
    EXPECT_NEAR(lines[0]->point(10).x, 10, 1e-9);
    EXPECT_NEAR(lines[0]->point(10).y, 10, 1e-9);
    EXPECT_NEAR(length(lines[0]), 5.0, 1e-9);
    EXPECT_NEAR(lines[1]->point(10).y, -3.0, 1e-9);  // auto: 10 long, capped at the foot
    EXPECT_NEAR(length(lines[1]), 0.0, 1e-9);
    ASSERT_EQ(live("HATCH", "Cutting").size(), 2u);

    // The settings: auto off (the dialog shows again with the path enabled).
    out = run("(b_pick_cutting)\nS\npick auto_tg\nshow\nok\n100,0\n104,0\n102,3\n^C\n");
    EXPECT_NE(out.find("t_path: edit_box, label \"Path divisor :\", value \"1.5000\", enabled"),
              std::string::npos)
        << out;
    lines = live("LINE", "Cutting");
    ASSERT_EQ(lines.size(), 3u) << out;
    EXPECT_NEAR(lines[2]->point(10).y, 2.0, 1e-9);
    EXPECT_NEAR(length(lines[2]), 1.0, 1e-9);
    const host::Entity* layer = drawing().get(drawing().find_record("LAYER", "Cutting"));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(queries::xdata_text(*layer, "CUTTING"), "15.1230,1.5000,0");
    EXPECT_EQ(queries::stored_setting(drawing(), "CUTTING"), "Cutting");
}

// The dialog: width and path refuse what is no sound value and show the last
// good one; the width is disabled for the picked tongues; a cancelled first
// dialog ends b_sel_cutting but not b_pick_cutting.
TEST_F(CuttingInput, DialogRefusesBadValues)
{
    polyline("NA", {{0, 0}, {50, 0}});
    polyline("NC", {{0, -10}, {50, -10}});
    std::string out =
        run("(b_sel_cutting)\npick auto_tg\nset t_path 9.0\nset t_path 0.5\nset t_path abc\n"
            "set t_lebar abc\nset t_lebar 0\nset t_lebar -5\nset t_lebar 1234567890123456789012345\n"
            "set t_cutlayer bad*name\nshow\ncancel\n");
    EXPECT_NE(out.find("t_path: edit_box, label \"Path divisor :\", value \"1.5000\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("t_lebar: edit_box, label \"Width (lebar) :\", value \"15.1230\""), std::string::npos);
    EXPECT_NE(out.find("error: text, value \"The width must be a number above 0.\""), std::string::npos);
    EXPECT_NE(out.find("t_cutlayer: edit_box, label \"Cutting layer :\", value \"Cutting\""),
              std::string::npos);
    EXPECT_EQ(out.find("Select NA LWpolyline"), std::string::npos)
        << "a cancelled first dialog ends the command";
    EXPECT_EQ(cutting_entities(), 0u);

    // The pick command goes on after a cancel; its width tiles are disabled.
    out = run("(b_pick_cutting)\nset t_lebar 20\npick p_picklebar\ncancel\nX\n");
    EXPECT_NE(out.find("Tile \"t_lebar\" is disabled; the action is refused."), std::string::npos) << out;
    EXPECT_NE(out.find("Tile \"p_picklebar\" is disabled; the action is refused."), std::string::npos) << out;
    EXPECT_NE(out.find("Pick point Mula"), std::string::npos) << out;

    out = run("(b_sel_cutting)\n1,0\n^C\n");  // the first use was done by the pick command
    EXPECT_NE(out.find("Select NC LWpolyline"), std::string::npos) << out;
    EXPECT_EQ(cutting_entities(), 0u);
}

// Bad answers of b_sel_cutting, each said, each leaving nothing drawn.
TEST_F(CuttingInput, SelCuttingBadPicks)
{
    polyline("NA", {{0, 0}, {50, 0}});
    polyline("NC", {{0, -10}, {50, -10}});
    polyline("SHORT", {{0, 50}, {10, 50}});
    ads_point a = {0, 30, 0}, b = {50, 30, 0};
    ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0)));
    // The first use: the width asked as a distance, a negative one refused.
    std::string out = run("(b_sel_cutting)\npick p_picklebar\n-5\npick p_picklebar\n12.5\nok\n^C\n");
    EXPECT_NE(out.find("A width must be above 0; it stays 15.1230."), std::string::npos) << out;
    EXPECT_NE(out.find("lebar : 12.500000 path 1.500000"), std::string::npos) << out;
    const struct {
        const char* answers;
        const char* said;
    } cases[] = {
        {"500,500\n", "Nothing was picked."},       {"10,30\n", "That is no LWPOLYLINE."},
        {"1,0\n10,30\n", "That is no LWPOLYLINE."}, {"1,50\n1,-10\n", "Lebar melebihi panjang LwPolyline."},
        {"1,0\n1,-10\n^C\n", "Pick Arah"},
    };
    for (const auto& c : cases) {
        session().transcript().clear();
        session().transcript().alerts.clear();
        out = run(std::string("(b_sel_cutting)\n") + c.answers);
        const std::string alerts =
            session().transcript().alerts.empty() ? "" : session().transcript().alerts[0];
        EXPECT_TRUE(out.find(c.said) != std::string::npos || alerts == c.said) << c.said << "\n" << out;
        EXPECT_EQ(cutting_entities(), 0u) << c.said;
    }
}

// A width of 0 stored in a drawing is said and the default taken; the
// command does not divide by it.
TEST_F(CuttingInput, StoredZeroWidthIsRefused)
{
    ASSERT_EQ(acdbRegApp("CUTTING"), RTNORM);
    ASSERT_EQ(layer_xdata_put("Orvik_survey_temp", "CUTTING", "Cutting", 0), RTNORM);
    ASSERT_EQ(layer_xdata_put("Cutting", "CUTTING", "0,1.5,1", 0), RTNORM);
    polyline("NA", {{0, 0}, {50, 0}});
    polyline("NC", {{0, -10}, {50, -10}});
    const std::string out = run("(b_sel_cutting)\nok\n1,0\n1,-10\n25,-5\n");
    EXPECT_NE(out.find("The stored cutting width \"0\" is no width above 0; 15.1230 is taken."),
              std::string::npos)
        << out;
    EXPECT_EQ(live("HATCH", "Cutting").size(), 3u);
}

// A foot on the line of the top edge leaves no room for a tongue: it is said
// and nothing is drawn there (the arcs' three points would lie on one line).
TEST_F(CuttingInput, FootOnTheTopEdgeLine)
{
    const std::string out = run("(b_pick_cutting)\nok\n0,0\n10,0\n30,0\n10,0\n^C\n");
    EXPECT_NE(out.find("The foot 30.000,0.000 lies on the line of the top edge; no tongue is drawn there."),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Point Akhir is point Mula"), std::string::npos) << out;
    EXPECT_EQ(cutting_entities(), 0u);
}

// The arcs' bulges of a tongue made by entity list (the drawing mode other
// than the Hatch command): the arc through three points, also beyond a half
// circle, and none for three points on a line.
TEST_F(CuttingInput, BulgesOfTheEntityListTongue)
{
    EXPECT_NEAR(cutting_arc_bulge({2, 0, 0}, {1, 1, 0}, {0, 0, 0}), 1.0, 1e-12);
    EXPECT_NEAR(cutting_arc_bulge({0, 0, 0}, {1, 1, 0}, {2, 0, 0}), -1.0, 1e-12);
    // Three quarters of a circle about the origin, from (1,0) round by (0,1)
    // and (-1,0) to (0,-1): counter-clockwise, 270 degrees.
    EXPECT_NEAR(cutting_arc_bulge({1, 0, 0}, {-1, 0, 0}, {0, -1, 0}), std::tan(3 * M_PI / 8), 1e-9);
    EXPECT_EQ(cutting_arc_bulge({0, 0, 0}, {1, 0, 0}, {2, 0, 0}), 0.0);

    session().set_input(host::script_input(""));
    cutting_cfg_rec cfg;
    ASSERT_TRUE(cutting_tongue_draw(cfg, {0, 0, 0}, {20, 0, 0}, {10, 15, 0}, 1));
    const auto hatches = live("HATCH", "Cutting");
    ASSERT_EQ(hatches.size(), 1u);
    std::vector<double> bulges;
    for (const host::Group& g : hatches[0]->groups)
        if (g.code == 42) bulges.push_back(g.real);
    // The tip (10,10), H (10,5); the arc from (20,0) through Q2 (15,2.5) to
    // (10,10). At Q2 the chords to the ends, (5,-2.5) and (-5,7.5), meet at
    // acos(-43.75 / (5.5902 x 9.0139)) = 150.255 degrees, so the arc spans
    // 2 (180 - 150.255) = 59.490 degrees: bulge tan(14.872) = 0.26556. It
    // bends in towards the tongue's axis: clockwise on the way round, negative.
    ASSERT_EQ(bulges.size(), 3u);
    EXPECT_EQ(bulges[0], 0.0);
    EXPECT_NEAR(bulges[1], -0.26556, 1e-5);
    EXPECT_NEAR(bulges[2], bulges[1], 1e-12);  // the tongue is symmetric
}

// The routines no LISP function reaches, as a caller runs them.
TEST_F(CuttingInput, RoutinesOutsideTheLispTable)
{
    session().set_input(host::script_input(""));
    EXPECT_EQ(cutting_setting_cmd(), 0);
    ASSERT_EQ(session().transcript().alerts.size(), 1u);
    EXPECT_EQ(session().transcript().alerts[0], "Run auto Cutting first!");

    session().set_input(host::script_input("-3\n"));
    EXPECT_EQ(cutting_width_prompt(), 0);
    EXPECT_NE(session().transcript().text().find("A width must be above 0; it stays 15.1230."),
              std::string::npos);
    session().set_input(host::script_input("12.5\n"));
    EXPECT_EQ(cutting_width_prompt(), 1);
    EXPECT_EQ(cutting_cfg().width, 12.5);

    // The offset corner of (3,4) on the line (0,0)-(10,0): a LINE down to (3,0).
    session().set_input(host::script_input("0,0\n10,0\n3,4\n"));
    EXPECT_EQ(cutting_arc_test(), 1);
    const auto lines = live("LINE", "xx");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0]->point(11).x, 3.0, 1e-9);
    EXPECT_NEAR(lines[0]->point(11).y, 0.0, 1e-9);

    // The point test knows the extremes of the polylines picked last.
    polyline("NA", {{0, 0}, {50, 0}, {50, 20}});
    session().set_input(host::script_input("50,10\n"));
    cutting_polyline_rec picked;
    ASSERT_TRUE(cutting_pick_polyline("\nSelect NA LWpolyline :", picked));
    EXPECT_EQ(picked.vertices.front().y, 20.0);  // picked nearer its last vertex
    EXPECT_NEAR(picked.length, 70.0, 1e-9);
    EXPECT_EQ(cutting_point_test({25, 10, 0}), 0);
    EXPECT_EQ(cutting_point_test({60, 10, 0}), 1);
    EXPECT_NE(session().transcript().text().find("perror 60.000000,10.000000"), std::string::npos);
}

}  // namespace
