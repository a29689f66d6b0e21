// The text utility and the text commands through the host as a user runs them:
// the menu dialog with its selection, the operations' prompts and dialogs, and
// the LISP commands b_ddedit_text, b_rotext, b_rotext_reverse and
// b_rotext_byline, by script. Expected places come from the host's font
// model: a text of n glyphs is 0.8 n h w wide and h high.
#include "text_util.h"

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "db/entities.h"
#include "host_fixture.h"
#include "test_entities.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class TextUtilTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    long text(const char* layer, double x, double y, const char* value, double height = 1.0,
              double rotation = 0)
    {
        ads_point at = {x, y, 0};
        resbuf* list = acutBuildList(RTDXF0, "TEXT", 8, layer, 10, at, 40, height, 1, value, 50, rotation, 0);
        EXPECT_EQ(acdbEntMake(list), RTNORM);
        acutRelRb(list);
        return drawing().last_main();
    }

    const host::Entity* get(long id) { return drawing().get(id); }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        return test_live_entities(drawing(), type, layer);
    }

    // The menu, a selection of every text and operation `index` run by "go".
    std::string operation(int index, const std::string& answers, const std::string& select = "ALL\n\n")
    {
        return run("(b_text_util)\nselect s_progname " + std::to_string(index) + "\npick select_btn\n" +
                   select + "pick go_btn\n" + answers + "pick exit\n");
    }
};

TEST_F(TextUtilTest, CaseFindAndReplace)
{
    const long a = text("T", 0, 0, "Lot 12"), b = text("T", 0, 5, "lot"), c = text("T", 0, 10, "PLOT");
    operation(1, "\n");
    EXPECT_EQ(get(a)->text(1), "LOT 12");
    EXPECT_EQ(get(c)->text(1), "PLOT");
    operation(2, "\n");
    EXPECT_EQ(get(a)->text(1), "lot 12");
    run("(b_text_util)\nselect s_progname 1\npick select_btn\n0,0.5\n0,10.5\n\npick go_btn\n\npick exit\n");
    EXPECT_EQ(get(a)->text(1), "LOT 12");
    EXPECT_EQ(get(c)->text(1), "PLOT");
    EXPECT_EQ(get(b)->text(1), "lot");

    // Whole word: the whole text equals the find text, in any case: only "lot".
    std::string out = operation(3, "LOT\nYes\n\n");
    EXPECT_EQ(out.find("not found"), std::string::npos) << out;
    size_t stops = 0;
    for (size_t at = out.find("<S>top"); at != std::string::npos; at = out.find("<S>top", at + 1)) ++stops;
    EXPECT_EQ(stops, 1u) << out;
    // Not whole word: the texts that contain it, case-sensitive: "LOT 12" and
    // "PLOT"; S stops at the first.
    out = operation(3, "\nNo\nS\n");
    stops = 0;
    for (size_t at = out.find("<S>top"); at != std::string::npos; at = out.find("<S>top", at + 1)) ++stops;
    EXPECT_EQ(stops, 1u) << "S stops the search";
    out = operation(3, "\n\n\n\n");
    EXPECT_NE(out.find("Whole Word Only <Y>es/<N>o <NO>"), std::string::npos)
        << "the last answer is the default";
    EXPECT_TRUE(session().current().highlighted.empty())
        << "each match is highlighted only while it is shown";
    out = operation(3, "ROAD\nNo\n");
    EXPECT_NE(out.find("String ROAD not found."), std::string::npos) << out;

    // A replacement that holds what it replaces: the search goes on after it.
    out = operation(4, "LOT\nLOTS LOT\n\n");
    EXPECT_EQ(get(a)->text(1), "LOTS LOT 12");
    EXPECT_EQ(get(c)->text(1), "PLOTS LOT");
    EXPECT_NE(out.find("Changed 2 text lines"), std::string::npos) << out;
}

TEST_F(TextUtilTest, PrefixSuffixAndTheLengthATextHolds)
{
    const long a = text("T", 0, 0, "12"), b = text("T", 0, 5, std::string(253, 'x').c_str());
    std::string out = operation(6, "LOT \n\n");
    EXPECT_EQ(get(a)->text(1), "LOT 12");
    EXPECT_NE(out.find("more than a TEXT holds (255); it was left as it was"), std::string::npos) << out;
    EXPECT_EQ(get(b)->text(1), std::string(253, 'x'));
    out = operation(7, "m2\n\n");
    EXPECT_EQ(get(a)->text(1), "LOT 12m2");
    EXPECT_EQ(get(b)->text(1), std::string(253, 'x') + "m2") << "255 characters fit";
    out = operation(4, "x\nxyz\n\n");
    EXPECT_NE(out.find("it was left as it was"), std::string::npos);
    EXPECT_EQ(get(b)->text(1).size(), 255u);
}

// Each justification keeps the text where it is drawn: the alignment point is
// that place of the box ("ABCD" at height 2: 6.4 wide, 2 high).
TEST_F(TextUtilTest, JustifyKeepsTheTextInPlace)
{
    struct Case {
        const char* key;
        int code;
        double ax, ay;  // the alignment point for rotation 0
    } cases[] = {{"R", 2, 16.4, 20}, {"C", 1, 13.2, 20}, {"M", 4, 13.2, 21}, {"L", 0, 10, 20}};
    for (double rotation : {0.0, kPi / 2}) {
        const long id = text("T", 10, 20, "ABCD", 2.0, rotation);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.key);
            const std::string out = operation(8, std::string(c.key) + "\n\n", "10.1,20.1\n\n");
            EXPECT_NE(out.find("Changed 1 text lines"), std::string::npos) << out;
            EXPECT_EQ(get(id)->integer(72), c.code);
            const double dx = c.ax - 10, dy = c.ay - 20;
            const double x = 10 + dx * std::cos(rotation) - dy * std::sin(rotation);
            const double y = 20 + dx * std::sin(rotation) + dy * std::cos(rotation);
            if (c.code != 0) {
                EXPECT_NEAR(get(id)->point(11).x, x, 1e-9);
                EXPECT_NEAR(get(id)->point(11).y, y, 1e-9);
            }
            EXPECT_NEAR(get(id)->point(10).x, 10, 1e-9) << "the text stays where it is drawn";
            EXPECT_NEAR(get(id)->point(10).y, 20, 1e-9);
        }
        drawing().get(id)->erased = true;
    }
}

TEST_F(TextUtilTest, HeightWidthObliqueStyleAndLayer)
{
    const long a = text("T", 0, 0, "A"), b = text("T", 0, 5, "B");
    std::string out = operation(9, "2.5\n\n");
    EXPECT_NE(out.find("txtutil_wk.itxtselect [2]"), std::string::npos) << out;
    EXPECT_NE(out.find("Changed [2] Failed [0]"), std::string::npos) << out;
    EXPECT_DOUBLE_EQ(get(a)->real(40), 2.5);
    operation(10, "0.8\n\n");
    EXPECT_DOUBLE_EQ(get(b)->real(41), 0.8);
    operation(11, "15\n\n");
    EXPECT_NEAR(get(a)->real(51), 15 * kPi / 180, 1e-9);
    // Bad answers: a word is asked again; 0 or less ends without changes.
    operation(9, "abc\n0\n");
    operation(10, "-1\n");
    operation(11, "-5\n");
    operation(11, "90\n");
    EXPECT_NEAR(get(a)->real(51), 15 * kPi / 180, 1e-9);
    EXPECT_DOUBLE_EQ(get(a)->real(40), 2.5);
    EXPECT_DOUBLE_EQ(get(b)->real(41), 0.8);

    // A style made by the host's Style command, chosen from the drawing's styles.
    run("(command \"Style\" \"ROMANS\" \"romans\" \"\" \"0.9\" \"\" \"\" \"\")\n(setvar \"TEXTSTYLE\" "
        "\"Standard\")\n");
    out = operation(12, "select style_list 0\npick ok_btn\n\n");
    EXPECT_EQ(get(a)->text(7), "ROMANS");
    EXPECT_EQ(get(b)->text(7), "ROMANS");
    // Layers sorted: "0", "T", "X".
    text("X", 50, 50, "C");
    out = operation(13, "select style_list 2\npick ok_btn\n\n");
    EXPECT_NE(out.find("Iret [X]"), std::string::npos) << out;
    EXPECT_EQ(get(a)->layer(), "X");
    EXPECT_EQ(get(b)->layer(), "X");
    // Cancelled chooser: nothing changes.
    operation(12, "pick cancel_btn\n");
    EXPECT_EQ(get(a)->text(7), "ROMANS");
}

TEST_F(TextUtilTest, MatchTextXAndY)
{
    const long base = text("T", 100, 50, "BASE");
    const long a = text("T", 3, 7, "A"), b = text("T", 8, 9, "B");
    run("(b_text_util)\nselect s_progname 14\npick select_btn\n3.2,7.2\n8.2,9.2\n\npick "
        "go_btn\n100.5,50.5\npick exit\n");
    EXPECT_DOUBLE_EQ(get(a)->point(10).x, 100);
    EXPECT_DOUBLE_EQ(get(a)->point(10).y, 7);
    EXPECT_DOUBLE_EQ(get(b)->point(10).x, 100);
    // Match Y asks for its own texts.
    run("(b_text_util)\nselect s_progname 15\npick go_btn\n100.5,50.5\n100.2,7.2\n\npick exit\n");
    EXPECT_DOUBLE_EQ(get(a)->point(10).y, 50);
    EXPECT_DOUBLE_EQ(get(b)->point(10).y, 9);
    EXPECT_DOUBLE_EQ(get(base)->point(10).y, 50);
}

TEST_F(TextUtilTest, TextToTableRowsFromPickedTexts)
{
    text("LOTS", 0, 0, "A1", 2.0);
    text("LOTS", 0, 10, "A2", 2.0);
    run("(b_text_util)\nselect s_progname 16\npick go_btn\n0.3,0.3\nLot one\n100,100\n20\n0.3,10.3\n\n\npick "
        "exit\n");
    const auto table = live("TEXT", "LOTS");
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[2]->text(1), "A1");
    EXPECT_EQ(table[2]->integer(72), 2) << "right-justified";
    EXPECT_NEAR(table[2]->point(11).x, 100, 1e-9);
    EXPECT_NEAR(table[2]->point(11).y, 100, 1e-9);
    EXPECT_EQ(table[3]->text(1), "Lot one");
    EXPECT_NEAR(table[3]->point(11).x, 80, 1e-9);
    EXPECT_EQ(table[4]->text(1), "A2");
    EXPECT_NEAR(table[4]->point(11).y, 96, 1e-9) << "the next row is twice the height down";
    EXPECT_NEAR(table[2]->real(40), 2.0, 1e-12);
    for (size_t i = 2; i < 5; ++i) EXPECT_NEAR(table[i]->real(50), 0.0, 1e-9) << "rows read horizontally";

    // Later uses go on with the same table, also in a drawing set to survey
    // angles, where the rows still read horizontally.
    run("(setvar \"ANGBASE\" (/ pi 2))\n(setvar \"ANGDIR\" 1)\n");
    run("(b_text_util)\nselect s_progname 16\npick go_btn\n0.3,0.3\n\n\npick exit\n");
    const auto more = live("TEXT", "LOTS");
    ASSERT_EQ(more.size(), 6u);
    EXPECT_EQ(more[5]->text(1), "A1");
    EXPECT_NEAR(more[5]->point(11).y, 92, 1e-9);
    EXPECT_NEAR(more[5]->real(50), 0.0, 1e-9);
}

// The file is read as the point import reads one: a byte-order mark, CR LF
// line ends and blank lines; a line with fewer fields than the first writes
// only its first field, and says so.
TEST_F(TextUtilTest, CsvFileToTable)
{
    const std::string path = home() + "/table.csv";
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF"
                                             "LOT,AREA,OWNER\r\n12, 450.5,\tAli\r\n\r\n13\r\n14,300,Bee\r\n";
    const std::string out =
        run("(b_text_util)\nselect s_progname 17\npick go_btn\n" + path + "\n0,0\n10,0\n25,0\npick exit\n");
    EXPECT_NE(out.find("iCount :3"), std::string::npos) << out;
    EXPECT_NE(out.find("Line 4 has 1 fields, not 3: only its first field was written"), std::string::npos)
        << out;
    const auto texts = live("TEXT", "xx");
    std::vector<std::string> got;
    for (const host::Entity* t : texts) {
        char line[128];
        std::snprintf(line, sizeof line, "%s@%.1f,%.1f", t->text(1).c_str(), t->point(10).x, t->point(10).y);
        got.push_back(line);
        EXPECT_NEAR(t->real(40), 1.3, 1e-12);
        EXPECT_NEAR(t->real(50), 0.0, 1e-12);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"LOT@0.0,0.0", "AREA@10.0,0.0", "OWNER@25.0,0.0", "12@0.0,-2.6",
                                             "450.5@10.0,-2.6", "Ali@25.0,-2.6", "13@0.0,-5.2", "14@0.0,-7.8",
                                             "300@10.0,-7.8", "Bee@25.0,-7.8"}));
}

TEST_F(TextUtilTest, SurveySheetConvertersAndTextHeight)
{
    const long bearing = text("T", 0, 0, "123.4530"), short_one = text("T", 0, 5, "123.45"),
               word = text("T", 0, 10, "A1");
    operation(18, "\n");
    EXPECT_EQ(get(bearing)->text(1), "123%%d45'30''");
    EXPECT_EQ(get(short_one)->text(1), "123.45");
    operation(19, "\n\n");
    EXPECT_EQ(get(short_one)->layer(), "Lot_number");
    EXPECT_EQ(get(word)->layer(), "T");
    EXPECT_EQ(get(bearing)->layer(), "T") << "a label is no number any more";
    const std::string out = run("(b_text_util)\nselect s_progname 0\npick go_btn\nabc\n500\n\n\npick exit\n");
    EXPECT_NE(out.find("Cal Text Height :0.650000"), std::string::npos) << out;
    // "Spacing" changes nothing.
    const size_t before = drawing().model.size();
    operation(5, "");
    EXPECT_EQ(drawing().model.size(), before);
    EXPECT_EQ(get(word)->text(1), "A1");
}

TEST_F(TextUtilTest, AutoRunAndTheWayBackToTheMenu)
{
    const long a = text("T", 0, 0, "abc");
    run("(b_text_util)\nselect s_progname 1\npick auto_run_tg\npick exit\n");
    std::string out = run("(b_text_util)\nALL\n\n\n");
    EXPECT_EQ(get(a)->text(1), "ABC");
    EXPECT_EQ(out.find("Dialog text_utility_dlg"), std::string::npos) << out;
    // Nothing selected: the menu comes back; auto run off there.
    out = run("(b_text_util)\n\npick auto_run_tg\npick exit\n");
    EXPECT_NE(out.find("Dialog text_utility_dlg"), std::string::npos) << out;
    out = run("(b_text_util)\npick exit\n");
    EXPECT_NE(out.find("Dialog text_utility_dlg"), std::string::npos);
    // Text height with auto run: "M" at its prompt is the way back.
    run("(b_text_util)\nselect s_progname 0\npick auto_run_tg\npick exit\n");
    out = run("(b_text_util)\nM\npick exit\n");
    EXPECT_NE(out.find("Dialog text_utility_dlg"), std::string::npos) << out;
}

TEST_F(TextUtilTest, EditAndTurnTexts)
{
    const long a = text("T", 0, 0, "OLD"), b = text("T", 20, 0, "B");
    run("(b_ddedit_text)\n0.5,0.5\nset text_t NEW\npick btn_ok\n0.5,0.5\nset text_t \"\"\npick btn_ok\n\n");
    EXPECT_EQ(get(a)->text(1), "NEW") << "an empty text is refused";

    // Many texts turned by two points, then again from the last point.
    run("(b_rotext)\nM\nALL\n\n0,0\n10,10\n20,10\n\n");
    EXPECT_NEAR(get(a)->real(50), 0.0, 1e-9) << "bearing 90 last";
    run("(b_rotext)\nALL\n\n0,0\n10,10\n\n");
    EXPECT_NEAR(get(b)->real(50), kPi / 4, 1e-9);

    // Turned round: 45 degrees becomes 225; 300 becomes 120.
    drawing().get(a)->find(50)->real = 300 * kPi / 180;
    run("(b_rotext_reverse)\nALL\n\n");
    EXPECT_NEAR(get(a)->real(50), 120 * kPi / 180, 1e-9);
    EXPECT_NEAR(get(b)->real(50), 225 * kPi / 180, 1e-9);

    // Along a line, reading away from the picked end.
    ads_point s = {100, 0, 0}, e = {110, 10, 0};
    resbuf* line = acutBuildList(RTDXF0, "LINE", 8, "0", 10, s, 11, e, 0);
    ASSERT_EQ(acdbEntMake(line), RTNORM);
    acutRelRb(line);
    run("(b_rotext_byline)\n101,1\nALL\n\n");
    EXPECT_NEAR(get(a)->real(50), kPi / 4, 1e-9);
    EXPECT_NEAR(get(b)->real(50), kPi / 4, 1e-9);
    run("(b_rotext_byline)\n109,9\nALL\n\n");
    EXPECT_NEAR(get(a)->real(50), 225 * kPi / 180, 1e-9);
    ads_point p = {50, 50, 0};
    resbuf* point = acutBuildList(RTDXF0, "POINT", 8, "0", 10, p, 0);
    ASSERT_EQ(acdbEntMake(point), RTNORM);
    acutRelRb(point);
    run("(b_rotext_byline)\n50,50\n");
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(), "Not LINE");
    EXPECT_TRUE(session().current().highlighted.empty());

    // One picked text (this program's copy, asked afresh): only it turns, to
    // the bearing 180 of the two points.
    text_util().rotext_mode.clear();
    session().set_input(host::script_input("O\n20.2,0.2\n0,0\n0,-10\n\n"));
    EXPECT_EQ(b_rotext(), 1);
    EXPECT_NEAR(get(b)->real(50), 270 * kPi / 180, 1e-9);
    EXPECT_NEAR(get(a)->real(50), 225 * kPi / 180, 1e-9);
    EXPECT_TRUE(session().current().highlighted.empty());
}

// "Find" asks whole word with the default "Yes" on its first use: an empty
// answer takes it, so only the text that is the word itself matches.
TEST_F(TextUtilTest, FindTakesTheWholeWordDefault)
{
    text("T", 0, 0, "lot 12");
    text("T", 0, 5, "lot 13");
    text("T", 0, 10, "LOT");
    const std::string out = operation(3, "lot\n\n\n");
    EXPECT_NE(out.find("Whole Word Only <Y>es/<N>o <YES>"), std::string::npos) << out;
    size_t stops = 0;
    for (size_t at = out.find("<S>top"); at != std::string::npos; at = out.find("<S>top", at + 1)) ++stops;
    EXPECT_EQ(stops, 1u) << out;
}

// With auto run on "Text to Table" goes on with its table; picking no text at
// once brings the menu back.
TEST_F(TextUtilTest, AutoRunTableLeftAtOnceBringsTheMenuBack)
{
    text("LOTS", 0, 0, "A1", 2.0);
    run("(b_text_util)\nselect s_progname 16\npick auto_run_tg\npick go_btn\n0.3,0.3\n\n100,100\n20\n\n"
        "pick exit\n");
    ASSERT_EQ(live("TEXT", "LOTS").size(), 2u);
    const std::string out = run("(b_text_util)\n\npick exit\n");
    EXPECT_NE(out.find("Select Next Text"), std::string::npos) << out;
    EXPECT_NE(out.find("Dialog text_utility_dlg"), std::string::npos) << out;
    EXPECT_EQ(live("TEXT", "LOTS").size(), 2u);
}

// Wrong answers are asked again or end the operation with a message, and
// leave the texts as they were.
TEST_F(TextUtilTest, WrongAnswersChangeNothing)
{
    const long a = text("T", 0, 0, "12", 1.0, 0.5);
    std::string out = run("(b_text_util)\nselect s_progname 0\npick go_btn\n0\n-1\n500\n-2\n\n\npick exit\n");
    EXPECT_NE(out.find("The value must be more than 0.\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Cal Text Height :0.650000"), std::string::npos) << out;

    const test_model_state before = test_model_snapshot(drawing());
    operation(6, "\n");  // nothing to add
    operation(19, "A*B\n");
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_NE(session().transcript().alerts.back().find("Invalid characters in layer name"),
              std::string::npos);
    out = operation(17, home() + "/missing.csv\n");
    EXPECT_NE(out.find("Cannot open"), std::string::npos) << out;
    // Turned by two points that coincide: no direction, the text stays.
    out = run("(b_rotext)\nM\nALL\n\n5,5\n5,5\n\n");
    EXPECT_NE(out.find("gives no direction"), std::string::npos) << out;
    ads_point s = {100, 0, 0};
    resbuf* line = acutBuildList(RTDXF0, "LINE", 8, "0", 10, s, 11, s, 0);
    ASSERT_EQ(acdbEntMake(line), RTNORM);
    acutRelRb(line);
    test_model_state with_line = before;
    with_line.emplace_back("LINE", drawing().get(drawing().last_main())->groups,
                           std::vector<host::XDataApp>{});
    out = run("(b_rotext_byline)\n100,0\n");
    EXPECT_NE(out.find("The LINE has no length"), std::string::npos) << out;
    EXPECT_EQ(test_model_snapshot(drawing()), with_line);
    EXPECT_NEAR(get(a)->real(50), 0.5, 1e-12);

    // A negative column distance is asked again.
    out =
        run("(b_text_util)\nselect s_progname 16\npick go_btn\n0.3,0.3\nDesc\n50,50\n-5\n10\n\npick exit\n");
    EXPECT_NE(out.find("Value must be positive."), std::string::npos) << out;
    const auto rows = live("TEXT");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_NEAR(rows[2]->point(11).x, 40.0, 1e-9) << "the description 10 to the west";
}

}  // namespace
