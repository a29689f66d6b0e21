// The number utility through the host as a user runs it: the menu dialog, its
// selection and setting buttons and the tools' own dialogs and prompts, by
// script. The tools that only the dispatch reaches (sum, angle, perimeter) are
// run through this program's copy of the menu with its remembered index set,
// the only way to them.
#include "number_util.h"

#include <cmath>
#include <string>
#include <vector>

#include "db/entities.h"
#include "host_fixture.h"
#include "test_entities.h"

namespace {

class NumberUtilTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    long text(const char* layer, double x, double y, const char* value, double height = 1.0)
    {
        ads_point at = {x, y, 0};
        resbuf* list = acutBuildList(RTDXF0, "TEXT", 8, layer, 10, at, 40, height, 1, value, 0);
        EXPECT_EQ(acdbEntMake(list), RTNORM);
        acutRelRb(list);
        return drawing().last_main();
    }

    const host::Entity* get(long id) { return drawing().get(id); }

    // The first call of the menu: the dialog opens; the lines given act in it.
    std::string menu(const std::string& dialog_lines) { return run("(b_number_util)\n" + dialog_lines); }
};

TEST_F(NumberUtilTest, AddAndMultiplyWithinInclusiveLimits)
{
    const long twelve = text("L", 0, 0, "12");
    const long at_max = text("L", 1, 0, "20");
    const long above = text("L", 2, 0, "20.001");
    const long blanks = text("L", 3, 0, "  12.5");
    const long invert = text("L", 4, 0, "12.25iL");
    const long split = text("L", 5, 0, "12 5");
    const long word = text("L", 6, 0, "MH");
    const std::string out = menu(
        "select s_progname 0\npick select_btn\nALL\n\npick go_btn\n"
        "select constant_type_pop 0\nset const_value_t 5\nset decimal_t 2\npick max_value_tg\nset "
        "max_value_t 20\n"
        "pick ok\npick exit\n");
    EXPECT_NE(out.find("Campur /tolak Number"), std::string::npos) << out;
    EXPECT_EQ(get(twelve)->text(1), "17.00");
    EXPECT_EQ(get(at_max)->text(1), "25.00") << "the maximum itself is changed";
    EXPECT_EQ(get(above)->text(1), "20.001");
    EXPECT_EQ(get(blanks)->text(1), " 17.50") << "one blank fewer than before";
    EXPECT_EQ(get(invert)->text(1), "17.25iL") << "the invert level mark stays";
    EXPECT_EQ(get(split)->text(1), "17 50") << "a blank for a blank decimal point";
    EXPECT_EQ(get(word)->text(1), "MH");

    // Multiply, through the setting button; the selection was used up, so the
    // tool asks for one.
    run("(b_number_util)\npick setting_btn\nselect constant_type_pop 1\nset const_value_t 2\npick ok\n"
        "pick go_btn\n0,0\n\npick ok\npick exit\n");
    EXPECT_EQ(get(twelve)->text(1), "34.00") << "only the picked text";
    EXPECT_EQ(get(at_max)->text(1), "25.00");
}

TEST_F(NumberUtilTest, RenumberInDrawingOrderAndAutoRun)
{
    const long a = text("N", 30, 5, "x"), b = text("N", 10, 1, "x"), c = text("N", 20, 9, "x");
    menu(
        "select s_progname 4\npick select_btn\nALL\n\npick go_btn\nset t_upd_text 1\nset t_upd_step 1\n"
        "pick left_rb\npick ok\npick exit\n");
    EXPECT_EQ(get(b)->text(1), "1");
    EXPECT_EQ(get(c)->text(1), "2");
    EXPECT_EQ(get(a)->text(1), "3");
    // Top down (y descending), start 10 step 0.5 with one decimal, auto run on.
    menu(
        "pick select_btn\nALL\n\npick auto_run_tg\npick go_btn\nset t_upd_text 10\nset t_upd_step 0.5\n"
        "set t_upd_decimal 1\npick top_rb\npick ok\npick exit\n");
    EXPECT_EQ(get(c)->text(1), "10.0");
    EXPECT_EQ(get(a)->text(1), "10.5");
    EXPECT_EQ(get(b)->text(1), "11.0");
    // With auto run on the next call selects and renumbers without the menu.
    std::string out = run("(b_number_util)\nALL\n\nset t_upd_step 0\npick ok\n");
    EXPECT_EQ(out.find("Dialog number_utility_dlg"), std::string::npos) << out;
    EXPECT_EQ(get(a)->text(1), "10.0") << "step 0 gives every text the start";
    EXPECT_EQ(get(b)->text(1), "10.0");
    // Nothing selected brings the menu back, where auto run is switched off.
    out = run("(b_number_util)\n\npick auto_run_tg\npick exit\n");
    EXPECT_NE(out.find("Dialog number_utility_dlg"), std::string::npos) << out;
    out = run("(b_number_util)\npick exit\n");
    EXPECT_NE(out.find("Dialog number_utility_dlg"), std::string::npos) << "auto run is off again";
}

// Two level texts nearest to the same POINT: only the nearer one sets its
// height; a text whose nearest POINT lies beyond its reach sets nothing.
TEST_F(NumberUtilTest, LevelTextsToPointHeights)
{
    ASSERT_TRUE(test_make_point("PTS", 0, 0, 0));
    ASSERT_TRUE(test_make_point("PTS", 20, 0, 0));
    ASSERT_TRUE(test_make_point("PTS", 60, 60, 0));
    const long nearer = text("ARAS-P", 0.2, 0.1, "12.345");
    const long farther = text("ARAS-P", 1.0, 1.0, "99.000");
    const long second = text("ARAS-P", 19.0, -0.5, "8.5");
    const long alone = text("ARAS-P", 40, 40, "7.0");
    const long other_layer = text("NOTES", 60, 60, "3.0");
    const std::string out = menu(
        "select s_progname 2\npick select_btn\npick setting_btn\nset t_pnt_color 3\npick pnt_layer_tg\n"
        "set t_pnt_out_layer LEVELLED\npick ok\npick go_btn\nALL\n\npick exit\n");
    EXPECT_NE(out.find("disabled"), std::string::npos) << "select_btn is off for this tool";
    std::vector<const host::Entity*> points;
    for (long id : drawing().model)
        if (get(id)->type == "POINT") points.push_back(get(id));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_DOUBLE_EQ(points[0]->point(10).z, 12.345);
    EXPECT_EQ(points[0]->integer(62), 3);
    EXPECT_EQ(points[0]->layer(), "LEVELLED");
    EXPECT_DOUBLE_EQ(points[1]->point(10).z, 8.5);
    EXPECT_DOUBLE_EQ(points[2]->point(10).z, 0.0)
        << "beyond reach of the text at 40,40; the other layer's text is not read";
    EXPECT_EQ(points[2]->layer(), "PTS");
    EXPECT_EQ(get(nearer)->integer(62), 2);
    EXPECT_EQ(get(second)->integer(62), 2);
    EXPECT_FALSE(get(farther)->find(62)) << "the farther text stays uncoloured";
    EXPECT_FALSE(get(alone)->find(62));
    EXPECT_FALSE(get(other_layer)->find(62));
    EXPECT_NE(out.find("2 points took the level of their text; 2 texts found no point of their own"),
              std::string::npos)
        << out;
}

TEST_F(NumberUtilTest, LinksToMetresAndAutaNumber)
{
    const long links = text("D", 0, 0, "100");
    const long word = text("D", 1, 0, "12.5m");
    menu("select s_progname 5\npick go_btn\nL\nALL\n\npick go_btn\nALL\n\npick exit\n");
    EXPECT_EQ(get(links)->text(1), "4.047") << "100 links twice over: 20.117, then 4.047";
    EXPECT_EQ(get(word)->text(1), "12.5m");
    menu("select s_progname 1\npick go_btn\npick exit\n");
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(), "Auta Number is not available.");
}

TEST_F(NumberUtilTest, FeetToMetres)
{
    const long feet = text("D", 0, 0, "100");
    menu("select s_progname 5\npick go_btn\nF\nALL\n\npick exit\n");
    EXPECT_EQ(get(feet)->text(1), "30.480");
    EXPECT_NE(session().transcript().text().find("Convert Feet to Meter"), std::string::npos);
}

TEST_F(NumberUtilTest, LabelArasFromTheMenu)
{
    ASSERT_TRUE(test_make_point("POINT-P", 5, 5, 12.345));
    menu("select s_progname 3\npick go_btn\npick ok\nALL\n\n\npick exit\n");
    std::vector<std::string> texts;
    for (long id : drawing().model)
        if (get(id)->type == "TEXT") texts.push_back(get(id)->text(1));
    EXPECT_EQ(texts, std::vector<std::string>{"12 345"});
}

// The tools that only the dispatch reaches, run by a remembered index; in auto
// run each starts from a new text selection.
TEST_F(NumberUtilTest, SumAngleAndPerimeterCheck)
{
    text("S", 0, 0, "12.5");
    text("S", 1, 0, "word");
    text("S", 2, 0, "0");
    number_util_rec& state = number_util();
    state = number_util_rec{};
    auto call = [&](int index, const std::string& script) {
        session().transcript().clear();
        state.filled = 1;
        state.index = index;
        state.auto_run = 1;
        session().set_input(host::script_input(script));
        b_number_util();
        return session().transcript().text();
    };
    std::string out = call(6, "ALL\n\n");
    EXPECT_NE(out.find("Text [12.5] --> 12.500000"), std::string::npos) << out;
    EXPECT_NE(out.find("Jumlah : 12.500000"), std::string::npos) << out;
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(), "Error found \n2");

    // The third direction bearing 59 30' (from the east one: 30 30').
    out = call(7, "ALL\n\n0,0\n10,0\n0,10\n-10,-10\n8.616291604415,5.075383629607\n\n");
    EXPECT_NE(out.find("Angle :90.0000 =>270.0000"), std::string::npos) << out;
    EXPECT_NE(out.find("Angle :135.0000 =>225.0000"), std::string::npos) << out;
    EXPECT_NE(out.find("Angle :30.3000 =>329.3000"), std::string::npos) << out;

    // A lot of perimeter 400 that closes within 0.05.
    out = call(8, "ALL\n\n-1\nabc\n0.05\n400\n");
    EXPECT_NE(out.find("A distance cannot be below 0."), std::string::npos) << out;
    EXPECT_NE(out.find("ERROR PER CHAIN= 0.012500 PER 20 METERS= 0.002515"), std::string::npos) << out;
    EXPECT_NE(
        out.find(
            "Acceptable  ERROR within 0.025 links/0.006 meter per chain/20 meters per minute K.P.U 3/76"),
        std::string::npos);
    // eXit at the first prompt: the menu comes back.
    out = call(8, "ALL\n\nX\npick exit\n");
    EXPECT_NE(out.find("Dialog number_utility_dlg"), std::string::npos) << out;
    EXPECT_EQ(run_number_tool(9), -1);
}

// With auto run on, every tool but the constant one starts from a new text
// selection: selecting nothing there (or, for the constant tool, at its own
// selection) brings the menu back and changes nothing.
TEST_F(NumberUtilTest, AutoRunWithNothingSelectedBringsTheMenuBack)
{
    text("S", 0, 0, "12.5");
    ASSERT_TRUE(test_make_point("PTS", 0, 0, 0));
    const test_model_state before = test_model_snapshot(drawing());
    number_util_rec& state = number_util();
    for (int index = 0; index <= 8; ++index) {
        SCOPED_TRACE(index);
        session().transcript().clear();
        state = number_util_rec{};
        state.filled = 1;
        state.index = index;
        state.auto_run = 1;
        session().set_input(host::script_input("\npick exit\n"));
        b_number_util();
        const std::string out = session().transcript().text();
        EXPECT_NE(out.find("Dialog number_utility_dlg"), std::string::npos) << out;
        EXPECT_EQ(test_model_snapshot(drawing()), before) << out;
    }
}

// Wrong values in the tools' dialogs are put back to the last good ones, and
// a word at the unit question is asked again.
TEST_F(NumberUtilTest, WrongDialogValuesArePutBack)
{
    const long twelve = text("L", 0, 0, "12");
    menu(
        "select s_progname 0\npick select_btn\nALL\n\npick go_btn\n"
        "set const_value_t abc\nset const_value_t 5\nset decimal_t -1\nset decimal_t x\nset decimal_t 1.5\n"
        "set decimal_t 1\npick ok\npick exit\n");
    EXPECT_EQ(get(twelve)->text(1), "17.0");
    menu(
        "select s_progname 4\npick select_btn\nALL\n\npick go_btn\nset t_upd_text abc\nset t_upd_text 7\n"
        "set t_upd_decimal -2\npick ok\npick exit\n");
    EXPECT_EQ(get(twelve)->text(1), "7") << "start 7, no decimals";
    const std::string out = menu("select s_progname 5\npick go_btn\nmetres\nF\nALL\n\npick exit\n");
    EXPECT_EQ(get(twelve)->text(1), "2.134") << out;
}

}  // namespace
