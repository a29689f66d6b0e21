// The plan tools and the plan-utility menu through the host as a user runs them:
// the LISP functions b_bscale and b_util_plan_prop with their dialogs and
// prompts answered by script. The tools that only the dispatch table reaches
// (indices 4 to 8) are run through the menu with its remembered index set, as
// a remembered index is the only way to them.
#include "plan_tools.h"

#include <cmath>
#include <string>
#include <vector>

#include "db/entities.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "plan_util_menu.h"
#include "test_entities.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class PlanToolsTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        // The menu and tool settings of this program's copy start afresh.
        util_plan_menu() = util_plan_menu_rec{};
        plan_tools_cfg() = plan_tools_cfg_rec{};
    }

    static void make(resbuf* list) { ASSERT_TRUE(test_make(list)); }

    long text(const char* layer, double x, double y, double height, const char* value = "12.5")
    {
        ads_point at = {x, y, 0};
        make(acutBuildList(RTDXF0, "TEXT", 8, layer, 10, at, 40, height, 1, value, 0));
        return drawing().last_main();
    }

    // Block "TREE" (base 0,0) with a CIRCLE on layer "TREES_L" first.
    void define_tree()
    {
        ads_point origin = {0, 0, 0}, right = {1, 0, 0};
        make(acutBuildList(RTDXF0, "BLOCK", 2, "TREE", 70, 0, 10, origin, 0));
        make(acutBuildList(RTDXF0, "CIRCLE", 8, "TREES_L", 10, origin, 40, 1.0, 0));
        make(acutBuildList(RTDXF0, "LINE", 8, "0", 10, origin, 11, right, 0));
        make(acutBuildList(RTDXF0, "ENDBLK", 0));
    }

    long insert(const char* block, double x, double y, double scale, double z_scale = 1.0)
    {
        ads_point at = {x, y, 0};
        make(acutBuildList(RTDXF0, "INSERT", 8, "0", 2, block, 10, at, 41, scale, 42, scale, 43, z_scale, 0));
        return drawing().last_main();
    }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        return test_live_entities(drawing(), type, layer);
    }

    // Runs a command of this program's copy with the answers given.
    template <class Command>
    std::string answer(Command command, const std::string& script, int* result = nullptr)
    {
        const size_t before = session().transcript().text().size();
        session().set_input(host::script_input(script));
        int rc = -1;
        try {
            rc = command();
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what() << "\n" << session().transcript().text().substr(before);
        }
        if (result) *result = rc;
        return session().transcript().text().substr(before);
    }

    // The menu with a remembered index (and auto run), then a call.
    std::string run_tool(int index, const std::string& script)
    {
        util_plan_menu_rec& menu = util_plan_menu();
        if (!menu.filled) answer(b_util_plan_prop, "pick exit\n");
        menu.selected = index;
        menu.auto_run = 1;
        return answer(b_util_plan_prop, script);
    }

    // A value read back with ezdxf from the saved drawing: the expression is
    // evaluated with `msp` the model space.
    std::string ezdxf_value(const std::string& expression)
    {
        const std::string file = home() + "/plan.dxf";
        run("SAVEAS " + file + "\n");
        const std::string python = outside::ezdxf_python();
        std::string output;
        EXPECT_EQ(
            outside::run_tool(python +
                                  " -c 'import sys, ezdxf\nmsp = ezdxf.readfile(sys.argv[1]).modelspace()\n"
                                  "print(" +
                                  expression + ")' " + file,
                              output),
            0)
            << output;
        if (!output.empty() && output.back() == '\n') output.pop_back();
        return output;
    }
};

// From 1:500 to 1:1000 every text height and block x and y scale doubles; the
// z scale stays. Checked in the saved drawing by ezdxf.
TEST_F(PlanToolsTest, RescaleDoublesTextHeightsAndBlockScales)
{
    define_tree();
    text("T", 0, 0, 0.65);
    text("T", 5, 0, 1.0);
    insert("TREE", 10, 10, 0.5, 0.25);
    std::string out = run("(b_bscale)\n1\n500\n1000\nALL\n\n");
    EXPECT_NE(out.find("Verify TEXT"), std::string::npos) << out;
    EXPECT_NE(out.find("Rescale Text entities...."), std::string::npos);
    EXPECT_NE(out.find("Rescale Block entities...."), std::string::npos);
    EXPECT_EQ(ezdxf_value("sorted(round(t.dxf.height, 9) for t in msp.query(\"TEXT\"))"), "[1.3, 2.0]");
    EXPECT_EQ(ezdxf_value("[(i.dxf.xscale, i.dxf.yscale, i.dxf.zscale) for i in msp.query(\"INSERT\")]"),
              "[(1.0, 1.0, 0.25)]");

    // Mode 2 (texts only) back from 1:1000 to 1:500, the defaults now those
    // typed last: the block stays.
    run("(b_bscale)\n2\n1000\n500\nALL\n\n");
    EXPECT_NEAR(live("TEXT")[0]->real(40), 0.65, 1e-12);
    EXPECT_NEAR(live("INSERT")[0]->real(41), 1.0, 1e-12);
    // Mode 3 (blocks only), through the menu's first entry.
    run("(b_util_plan_prop)\nselect s_progname 0\npick go_btn\n3\n\n\nALL\n\n");
    EXPECT_NEAR(live("INSERT")[0]->real(41), 0.5, 1e-12);
    EXPECT_NEAR(live("TEXT")[0]->real(40), 0.65, 1e-12);
}

TEST_F(PlanToolsTest, RescaleAsksAgainOnBadAnswersAndExitsWithoutChanges)
{
    text("T", 0, 0, 1.0);
    int rc = -1;
    // Not a number, out of range, then eXit.
    std::string out = answer(b_bscale, "abc\n4\n-1\nX\n", &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_NE(out.find("Answer 1, 2 or 3."), std::string::npos) << out;
    // A negative scale is asked again; 0 ends.
    out = answer(b_bscale, "2\n-500\n0\n", &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_NE(out.find("A scale must be more than 0.\ne<X>it"), std::string::npos) << out;
    // An empty selection ends without changes.
    answer(b_bscale, "2\n500\n1000\n\n", &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_DOUBLE_EQ(live("TEXT")[0]->real(40), 1.0);
}

TEST_F(PlanToolsTest, MenuFirstCallShowsTheDialogAndAutoRunRunsTheToolAtOnce)
{
    text("T", 0, 0, 1.0);
    int rc = -1;
    // The first call: the dialog; "Change Circle Radius" chosen with auto run.
    ads_point c = {3, 3, 0};
    make(acutBuildList(RTDXF0, "CIRCLE", 8, "0", 10, c, 40, 1.0, 0));
    std::string out =
        answer(b_util_plan_prop, "select s_progname 3\npick auto_run_tg\npick go_btn\n2.5\nALL\n\n", &rc);
    EXPECT_EQ(rc, 0) << "the first call gives 0 even though a tool ran";
    EXPECT_NEAR(live("CIRCLE")[0]->real(40), 2.5, 1e-12);
    EXPECT_NE(out.find("Changed [1] Failed [0]"), std::string::npos) << out;
    // The next call runs the tool without the dialog.
    out = answer(b_util_plan_prop, "4\nALL\n\n", &rc);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(out.find("Dialog"), std::string::npos) << out;
    EXPECT_NEAR(live("CIRCLE")[0]->real(40), 4.0, 1e-12);
    // eXit at the tool's first prompt brings the dialog back: auto run off there.
    out = answer(b_util_plan_prop, "X\npick auto_run_tg\nselect s_progname 0\npick go_btn\nX\n", &rc);
    EXPECT_EQ(util_plan_menu().auto_run, 0);
    EXPECT_EQ(util_plan_menu().selected, 0);
    // Without auto run every call shows the dialog; "exit" runs nothing.
    out = answer(b_util_plan_prop, "select s_progname 1\npick exit\n", &rc);
    EXPECT_EQ(util_plan_menu().selected, 0) << "exit drops the tile values";
    EXPECT_NE(out.find("Dialog utility_plan_prop_dlg"), std::string::npos) << out;
}

TEST_F(PlanToolsTest, CopyBlockToPointsOnMatchingLayers)
{
    define_tree();
    ASSERT_TRUE(test_make_point("TREE_A", 10, 20, 5));
    ASSERT_TRUE(test_make_point("TREE_B", 30, 40, 0));
    ASSERT_TRUE(test_make_point("MANHOLE", 50, 60, 0));
    const std::string out = run(
        "(b_util_plan_prop)\nselect s_progname 1\npick go_btn\n"
        "select block_name_listbox 0\nset scale_text 500\nset rotation_text abc\npick select_by_layer_tg\n"
        "set select_layer_text TREE*\nok\nALL\n\n");
    const auto inserts = live("INSERT");
    ASSERT_EQ(inserts.size(), 2u) << out;
    for (const host::Entity* e : inserts) {
        EXPECT_EQ(e->text(2), "TREE");
        EXPECT_EQ(e->layer(), "TREES_L") << "the layer of the block's first entity";
        EXPECT_NEAR(e->real(41), 0.5, 1e-12);
        EXPECT_NEAR(e->real(42), 0.5, 1e-12);
        EXPECT_NEAR(e->real(50), 0.0, 1e-12) << "the default bearing 90 draws the block as it is";
    }
    EXPECT_NEAR(inserts[0]->point(10).x, 10, 1e-12);
    EXPECT_NEAR(inserts[0]->point(10).z, 5, 1e-12);
    EXPECT_NEAR(inserts[1]->point(10).y, 40, 1e-12);
    EXPECT_NE(out.find("2 blocks copied to points"), std::string::npos) << out;

    // A picked rotation (bearing 0: north) and the current layer.
    run("(setvar \"CLAYER\" \"0\")\n");
    run("(b_util_plan_prop)\nselect s_progname 1\npick go_btn\nselect block_name_listbox 0\npick "
        "pick_text_btn\n"
        "0,0\n0,10\npick force_block_layer_tg\npick select_by_layer_tg\nok\nALL\n\n");
    const auto all = live("INSERT");
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[4]->layer(), "0");
    EXPECT_NEAR(all[4]->real(50), kPi / 2, 1e-9) << "bearing 0 turns the block's x axis to north";
}

TEST_F(PlanToolsTest, CopyBlockWithoutBlocksOrChoiceChangesNothing)
{
    ASSERT_TRUE(test_make_point("P", 0, 0, 0));
    run("(b_util_plan_prop)\nselect s_progname 1\npick go_btn\n");
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(), "Sorry no blocks");
    define_tree();
    // OK is disabled until a block is chosen; cancel ends.
    const std::string out = run("(b_util_plan_prop)\nselect s_progname 1\npick go_btn\nok\ncancel\n");
    EXPECT_NE(out.find("disabled"), std::string::npos) << out;
    EXPECT_TRUE(live("INSERT").empty());
}

TEST_F(PlanToolsTest, ExplodeBlocksThroughTheMenu)
{
    define_tree();
    insert("TREE", 100, 50, 2.0);
    run("(b_util_plan_prop)\nselect s_progname 2\npick go_btn\nALL\n\n");
    EXPECT_TRUE(live("INSERT").empty());
    ASSERT_EQ(live("CIRCLE").size(), 1u);
    EXPECT_NEAR(live("CIRCLE")[0]->real(40), 2.0, 1e-12);
    ASSERT_EQ(live("LINE").size(), 1u);
    EXPECT_NEAR(live("LINE")[0]->point(11).x, 102.0, 1e-12);
    // Nothing selected: nothing changes.
    const size_t before = drawing().model.size();
    run("(b_util_plan_prop)\nselect s_progname 2\npick go_btn\n\n");
    EXPECT_EQ(drawing().model.size(), before);
}

TEST_F(PlanToolsTest, ChangeCircleRadiusCountsFailures)
{
    ads_point c = {0, 0, 0};
    make(acutBuildList(RTDXF0, "CIRCLE", 8, "A", 10, c, 40, 1.0, 0));
    make(acutBuildList(RTDXF0, "CIRCLE", 8, "SHUT", 10, c, 40, 1.0, 0));
    run("(command \"Layer\" \"lock\" \"SHUT\" \"\")\n");
    const std::string out = run("(b_util_plan_prop)\nselect s_progname 3\npick go_btn\n-2\nabc\n3\nALL\n\n");
    EXPECT_NE(out.find("A radius must be more than 0.\ne<X>it"), std::string::npos) << out;
    EXPECT_NE(out.find("Changed [1] Failed [1]"), std::string::npos) << out;
    EXPECT_NEAR(live("CIRCLE", "A")[0]->real(40), 3.0, 1e-12);
    EXPECT_NEAR(live("CIRCLE", "SHUT")[0]->real(40), 1.0, 1e-12);
}

TEST_F(PlanToolsTest, MarkerTextIsAttachedAndShown)
{
    ASSERT_TRUE(test_make_point("0", 5, 5, 0));
    // No text and no last text: nothing is attached.
    EXPECT_NE(run_tool(4, "5,5\n\npick exit\n").find("No text was given; nothing was attached."),
              std::string::npos);
    EXPECT_EQ(live("POINT")[0]->xdata_of("MARKX"), nullptr);
    run_tool(4, "5,5\nMH12\n");
    const host::Entity* point = live("POINT")[0];
    const host::XDataApp* data = point->xdata_of("MARKX");
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->items.size(), 1u);
    EXPECT_EQ(data->items[0].text, "MH12");
    EXPECT_NE(run_tool(5, "5,5\n").find("Value is :MH12"), std::string::npos);
    // The last text is the default; an object without a marker shows nothing.
    ASSERT_TRUE(test_make_point("0", 9, 9, 0));
    run_tool(4, "9,9\n\n");
    EXPECT_EQ(live("POINT")[1]->xdata_of("MARKX")->items[0].text, "MH12");
    ASSERT_TRUE(test_make_point("0", 20, 20, 0));
    const std::string none = run_tool(5, "20,20\n");
    EXPECT_EQ(none.substr(none.size() - 10), "Value is :") << none;
}

TEST_F(PlanToolsTest, SplineAndPickedPointThroughTheMenu)
{
    ASSERT_TRUE(test_make_lwpolyline(
        "C", 0, std::vector<host::Point3>{{0, 0, 0}, {10, 5, 0}, {20, 0, 0}, {30, 5, 0}}));
    std::string out = run_tool(6, "ALL\n\n");
    EXPECT_NE(out.find("Found 1 LWPOLYLINE"), std::string::npos) << out;
    ASSERT_EQ(live("POLYLINE").size(), 1u);
    EXPECT_EQ(live("POLYLINE")[0]->integer(70), 4);
    out = run_tool(7, "1234.56789,-98.7654\n");
    EXPECT_NE(out.find("\n1234.568,-98.765"), std::string::npos) << out;
    // An index the table does not have runs nothing.
    util_plan_menu().selected = 9;
    EXPECT_EQ(util_plan_prop_run(), -1);
}

// Min Z -99 (typed as 0) and Max Z 0: an LWPOLYLINE at -5 is marked, one at 0
// is not (the bounds are exclusive); POINTs and 3D polylines by their heights.
TEST_F(PlanToolsTest, ElevationCheckMarksWhatLiesStrictlyInTheRange)
{
    ASSERT_TRUE(test_make_lwpolyline("C", 0, std::vector<host::Point3>{{0, 0, 0}, {10, 0, 0}, {10, 10, 0}}));
    drawing().get(drawing().last_main())->groups.push_back(host::Group::of_real(38, -5.0));
    const long low = drawing().last_main();
    ASSERT_TRUE(test_make_lwpolyline("C", 0, std::vector<host::Point3>{{0, 20, 0}, {10, 20, 0}}));
    const long level = drawing().last_main();
    ASSERT_TRUE(test_make_point("P", 1, 1, -3));
    ASSERT_TRUE(test_make_point("P", 2, 2, 4));
    std::string out = run_tool(8, "0\n\n\nALL\n\n");
    EXPECT_EQ(drawing().get(low)->layer(), "CHECK_3D");
    EXPECT_EQ(drawing().get(level)->layer(), "C");
    EXPECT_EQ(live("POINT", "CHECK_3D").size(), 1u);
    EXPECT_NE(out.find("2 objects between -99.000 and 0.000"), std::string::npos) << out;

    // With circles: one at each vertex of the polyline at -5 and at the point.
    out = run_tool(8, "-10\n-1\nNo\n0.5\nALL\n\n");
    EXPECT_NE(out.find("CHECK_3D already exists"), std::string::npos) << out;
    const auto circles = live("CIRCLE", "CHECK_3D");
    ASSERT_EQ(circles.size(), 4u);
    EXPECT_NEAR(circles[0]->real(40), 0.5, 1e-12);
    EXPECT_NEAR(circles[2]->point(10).z, -5.0, 1e-12);
    EXPECT_NEAR(circles[3]->point(10).z, -3.0, 1e-12);
}

TEST_F(PlanToolsTest, ZeroElevationMarksAndAngleLabel)
{
    ads_point a = {0, 0, 0}, b = {10, 0, 2};
    make(acutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0));
    ASSERT_TRUE(test_make_point("0", 5, 5, 0));
    ASSERT_TRUE(test_make_point("0", 6, 6, 1));
    std::string out = answer(zero_elevation_marks, "\nALL\n\n");
    EXPECT_NE(out.find("Found 1 LINEs"), std::string::npos) << out;
    EXPECT_NE(out.find("Found 2 POINTs"), std::string::npos) << out;
    EXPECT_NE(out.find("0.000,0.000==>Z=0"), std::string::npos) << out;
    EXPECT_NE(out.find("5.000,5.000==>Z=0"), std::string::npos) << out;
    const auto marks = live("CIRCLE", "CHECK_3D");
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_NEAR(marks[0]->real(40), 7.0, 1e-12);

    // The angle between bearings 90 (east) and 30 is 60 degrees, labelled
    // along the bisector, bearing 60 (text angle 30 degrees).
    out = answer(angle_label, "T\n2\n100,100\n110,100\n" + std::to_string(100 + 10 * std::sin(kPi / 6)) +
                                  "," + std::to_string(100 + 10 * std::cos(kPi / 6)) + "\n");
    const auto texts = live("TEXT");
    ASSERT_EQ(texts.size(), 1u) << out;
    EXPECT_EQ(texts[0]->text(1), "60%%d00'00\"");
    EXPECT_NEAR(texts[0]->real(40), 2.0, 1e-12);
    EXPECT_NEAR(texts[0]->real(50), kPi / 6, 1e-6);
}

// With auto run on, leaving a tool at its first question (an exit, nothing
// picked or selected, a cancelled dialog) brings the menu back, and nothing in
// the drawing changes.
TEST_F(PlanToolsTest, LeavingAnAutoRunToolAtOnceBringsTheMenuBack)
{
    define_tree();
    insert("TREE", 10, 10, 1.0);
    text("T", 0, 0, 1.0);
    ads_point c = {3, 3, 0};
    make(acutBuildList(RTDXF0, "CIRCLE", 8, "0", 10, c, 40, 1.0, 0));
    ASSERT_TRUE(
        test_make_lwpolyline("C", 0, std::vector<host::Point3>{{0, 0, 0}, {10, 5, 0}, {20, 0, 0}}, -5));
    const struct {
        int index;
        const char* leave;  // the answers that leave the tool
    } cases[] = {{0, "X\n"}, {1, "cancel\n"}, {2, "\n"}, {3, "X\n"},     {4, "\n"},
                 {5, "\n"},  {6, "\n"},       {7, "\n"}, {8, "\n\n\n\n"}};
    const test_model_state before = test_model_snapshot(drawing());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        const std::string out = run_tool(c.index, std::string(c.leave) + "pick exit\n");
        EXPECT_NE(out.find("Dialog utility_plan_prop_dlg"), std::string::npos) << out;
        EXPECT_EQ(test_model_snapshot(drawing()), before) << out;
    }
    EXPECT_FALSE(drawing().find_record("LAYER", "CHECK_3D")) << "the check leaves before it makes its layer";
}

// Wrong answers at the tools' prompts and dialog tiles are asked again or put
// back, and the tool then does what the good answers say.
TEST_F(PlanToolsTest, WrongAnswersAreAskedAgainOrPutBack)
{
    define_tree();
    ASSERT_TRUE(test_make_point("P", 1, 2, 0));
    // A scale of 0, a negative one and a word are put back to 1:1000.
    std::string out = run_tool(1,
                               "select block_name_listbox 0\nset scale_text 0\nset scale_text -5\n"
                               "set scale_text abc\nok\nALL\n\n");
    ASSERT_EQ(live("INSERT").size(), 1u) << out;
    EXPECT_NEAR(live("INSERT")[0]->real(41), 1.0, 1e-12);

    // Elevation check: words asked again, a negative radius asked again, 0 the
    // default radius 2.
    ASSERT_TRUE(test_make_lwpolyline("C", 0, std::vector<host::Point3>{{0, 0, 0}, {10, 0, 0}}, -5));
    out = run_tool(8, "abc\n-10\nabc\n-1\nmaybe\nNo\n-3\n0\nALL\n\n");
    EXPECT_NE(out.find("Requires a numeric value."), std::string::npos) << out;
    EXPECT_NE(out.find("A radius must be more than 0.\ne<X>it"), std::string::npos) << out;
    const auto circles = live("CIRCLE", "CHECK_3D");
    ASSERT_EQ(circles.size(), 2u) << out;
    EXPECT_NEAR(circles[0]->real(40), 2.0, 1e-12);
    EXPECT_NEAR(circles[1]->point(10).x, 10.0, 1e-12);
}

}  // namespace
