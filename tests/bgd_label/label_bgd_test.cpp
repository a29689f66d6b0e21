// The label commands as a user runs them: the LISP call, the first dialog of a
// drawing, the selection; then the label texts, the table and the settings
// stored in the drawing. Bearings and distances were worked out by hand:
//   (0,0)-(30,40):     atan(30/40) = 36.869898 = 36d52'11.6" -> 36%%d52'12", 50.000
//   (200,200)-(240,230): atan(40/30) = 53.130102 = 53d07'48.4" -> 53%%d07'48", 50.000
// Offsets: text height 1.3 and spacing 0.5 at 1:1000 put a label 1.15 from
// the leg's midpoint; a leg of 24.375 or more gets one combined text.
#include "label_bgd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ads.h"
#include "bgd_test_support.h"
#include "db/selection.h"
#include "host_fixture.h"
#include "settings_store.h"

namespace {

class LabelBgd : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }
    std::string stored(const char* app, const char* layer)
    {
        std::string text;
        drawing_setting_read(app, layer, text);
        return text;
    }
};

void expect_at(const drawn_text& t, double x, double y, double angle_deg)
{
    EXPECT_NEAR(t.at.x, x, 2e-3) << t.text;
    EXPECT_NEAR(t.at.y, y, 2e-3) << t.text;
    EXPECT_NEAR(t.angle_deg, angle_deg, 2e-3) << t.text;
}

TEST_F(LabelBgd, AutoLabelsEveryLegOfLinesAndPolylines)
{
    make_line({0, 0, 0}, {30, 40, 0});
    make_line({0, 100, 0}, {10, 100, 0});  // short: bearing above, distance below
    make_lwpolyline({{100, 0, 0}, {100, 30, 0}, {140, 30, 0}, {140, 0, 0}}, true);
    make_polyline({{200, 200, 0}, {240, 230, 0}, {240, 280, 0}}, {0, 0, 0});
    const std::string shown = run("(b_selbgd \"Auto\")\nok\nALL\n\n");
    EXPECT_EQ(host::selection_sets_open(), 0u);

    EXPECT_NE(shown.find("\nlbgd_cfg.sbgdtype :Auto"), std::string::npos);
    EXPECT_NE(shown.find("Dialog label_bgd_dlg"), std::string::npos);
    for (const char* found : {"\nFound 2 LINE", "\nFound 1 LWPOLYLINE", "\nFound 1 POLYLINE"})
        EXPECT_NE(shown.find(found), std::string::npos) << found;

    const std::vector<drawn_text> t = texts_on("Bgd");
    ASSERT_EQ(t.size(), 9u);
    // (30,40): midpoint (15,20), above side 306.87: (15 - 0.92, 20 + 0.69); angle 90 - 36.87.
    expect_at(text_with(t, "36%%d52'12\" 50.000"), 14.08, 20.69, 53.13);
    expect_at(text_with(t, "90%%d00'00\""), 5, 101.15, 0);
    expect_at(text_with(t, "10.000"), 5, 98.85, 0);
    // The closed LWPOLYLINE: four legs, the closing one (bearing 270) too, its
    // label on the left of its way west, south of it.
    expect_at(text_with(t, "0%%d00'00\" 30.000"), 98.85, 15, 90);
    expect_at(text_with(t, "90%%d00'00\" 40.000"), 120, 31.15, 0);
    expect_at(text_with(t, "180%%d00'00\" 30.000"), 138.85, 15, 90);
    expect_at(text_with(t, "270%%d00'00\" 40.000"), 120, -1.15, 0);
    // The POLYLINE: midpoint (220,215), above side 323.13: (220 - 0.69, 215 + 0.92).
    expect_at(text_with(t, "53%%d07'48\" 50.000"), 219.31, 215.92, 36.87);
    expect_at(text_with(t, "0%%d00'00\" 50.000"), 238.85, 255, 90);
    EXPECT_NEAR(t[0].height, 1.3, 1e-9);

    // The dialog's OK stored the settings: the values on the label layer, its
    // name as the active layer and in the list of label layers.
    EXPECT_EQ(stored("LABEL_BGD", "Bgd"),
              "1000.000,1.300,1.000,METER,0.500,3,0,0,1.983,0,0.000,0.000,1,9,0,");
    EXPECT_EQ(stored("LABEL_BGD", "Orvik_survey_temp"), "Bgd");
    EXPECT_EQ(stored("LABEL_BGD_LIST", "Orvik_survey_temp"), "Bgd,");
}

// Old-style POLYLINEs by the first vertex's flag: 0 all vertices; 16 the
// flag-8 vertices after it; the 3D polyline's vertex flag 32 counting for
// nothing, so a 3D POLYLINE is labelled in plan. Anything else, and meshes,
// are not labelled, and that is said.
TEST_F(LabelBgd, PolylineVerticesByTheFirstVertexFlag)
{
    make_polyline({{0, 0, 0}, {0, 20, 0}, {50, 50, 0}, {30, 60, 0}}, {16, 8, 16, 8});
    // A 3D POLYLINE (header flag 8, vertex flag 32), closed: its legs in plan,
    // the closing one too: (500,0,5)-(530,40,12) is 50 in plan.
    make_polyline({{500, 0, 5}, {530, 40, 12}, {500, 40, 3}}, {32, 32, 32}, 8 | 1);
    // A spline-fitted 3D POLYLINE: frame points 48, fitted vertices 40.
    make_polyline({{700, 0, 1}, {700, 9, 2}, {740, 30, 4}, {730, 49, 5}}, {48, 40, 48, 40}, 8 | 4);
    make_polyline({{900, 0, 0}, {930, 40, 0}}, {1, 0});
    make_polyline({{1000, 0, 0}, {1030, 40, 0}, {1000, 40, 0}, {1030, 0, 0}}, {64, 64, 64, 64}, 16);
    const std::string shown = run("(b_selbgd \"auto\")\nok\nALL\n\n");
    std::vector<std::string> labels;
    for (const drawn_text& text : texts_on("Bgd")) labels.push_back(text.text);
    std::sort(labels.begin(), labels.end());
    const std::vector<std::string> expected = {"180%%d00'00\" 40.000", "270%%d00'00\" 30.000",
                                               "36%%d52'12\" 50.000", "36%%d52'12\" 50.000",
                                               "36%%d52'12\" 50.000"};
    EXPECT_EQ(labels, expected) << shown;
    EXPECT_NE(
        shown.find("\n1 polygon or polyface mesh(es) not labelled."
                   "\n1 POLYLINE(s) not labelled: the first vertex is neither a plain vertex nor a spline "
                   "frame point."),
        std::string::npos)
        << shown;
}

// A placement code: the bearing above, the distance below, never the table.
TEST_F(LabelBgd, PlacementCodeNeverUsesTheTable)
{
    make_line({0, 0, 0}, {0, 5, 0});
    run("(b_selbgd \"B/D\")\npick table_tg\nok\nALL\n\n");
    EXPECT_TRUE(texts_on("table").empty());
    const std::vector<drawn_text> t = texts_on("Bgd");
    ASSERT_EQ(t.size(), 2u);
    expect_at(text_with(t, "0%%d00'00\""), -1.15, 2.5, 90);
    expect_at(text_with(t, "5.000"), 1.15, 2.5, 90);
}

// The table is off for code placements ("table_tg" disabled in that dialog),
// so the toggle above was refused; with "Auto" it is taken. Two runs continue
// one table: 2 x 1.3 between rows, the row number going on.
TEST_F(LabelBgd, TableForShortLegsContinuesAcrossRuns)
{
    make_line({0, 0, 0}, {8.999, 0, 0});
    make_line({0, 20, 0}, {9, 20, 0});
    run("(b_selbgd \"Auto\")\npick table_tg\npick p_pickxy\n500,400\nok\nALL\n\n");
    EXPECT_EQ(stored("LABEL_BGD", "Bgd"),
              "1000.000,1.300,1.000,METER,0.500,3,0,0,1.983,1,500.000,397.400,2,9,0,");
    make_line({0, 40, 0}, {0, 45, 0});
    run("(b_selbgd \"Auto\")\nL\n\n");

    const std::vector<drawn_text> table = texts_on("table");
    ASSERT_EQ(table.size(), 8u);  // two rows of marker, number, bearing, distance
    EXPECT_EQ(table[1].text, "1");
    EXPECT_NEAR(table[1].at.x, 500, 1e-6);
    EXPECT_NEAR(table[1].at.y, 400, 1e-6);
    EXPECT_EQ(table[2].text, "90%%d00'00\"");
    EXPECT_NEAR(table[2].at.x, 519.5, 1e-6);
    EXPECT_EQ(table[3].text, "8.999");
    EXPECT_NEAR(table[3].at.x, 537.7, 1e-6);
    EXPECT_EQ(table[4].text, "2");  // the second run's marker, at the 5 m leg
    expect_at(table[4], 1.15, 42.5, 0);
    EXPECT_EQ(table[5].text, "2");
    EXPECT_NEAR(table[5].at.y, 397.4, 1e-6);
    EXPECT_EQ(table[7].text, "5.000");
    EXPECT_EQ(stored("LABEL_BGD", "Bgd"),
              "1000.000,1.300,1.000,METER,0.500,3,0,0,1.983,1,500.000,394.800,3,9,0,");
    // The 9 m leg is labelled at the leg.
    EXPECT_EQ(texts_on("Bgd").size(), 2u);
}

// The layers used so far are offered in the dialog; choosing one loads the
// values stored on it. b_pickbgd's "S" shows the dialog in the middle of a chain.
TEST_F(LabelBgd, ChoosingAStoredLabelLayerLoadsItsValues)
{
    run("(b_selbgd \"Auto\")\nok\n\n");  // defaults stored on "Bgd"
    run("(b_pickbgd \"Auto\")\nset t_layer BGD_B\nset t_txt_h 3\nok\n0,0\n30,40\nS\n"
        "select pop_active_layer 1\nok\n30,90\nX\n");
    EXPECT_EQ(stored("LABEL_BGD_LIST", "Orvik_survey_temp"), "BGD_B,Bgd,");
    EXPECT_EQ(stored("LABEL_BGD", "Orvik_survey_temp"), "Bgd");
    const std::vector<drawn_text> first = texts_on("BGD_B");
    // Height 3 needs a leg of 3 x 18.75 = 56.25 for the combined text.
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].text, "36%%d52'12\"");
    EXPECT_EQ(first[1].text, "50.000");
    EXPECT_NEAR(first[0].height, 3, 1e-9);
    const std::vector<drawn_text> second = texts_on("Bgd");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].text, "0%%d00'00\" 50.000");
    EXPECT_NEAR(second[0].height, 1.3, 1e-9);
}

// Settings saved with the drawing come back when it is opened again: the
// dialog shows them and OK labels with them.
TEST_F(LabelBgd, SettingsReloadFromASavedDrawing)
{
    const std::string file = home() + "/labels.dxf";
    run("(b_selbgd \"Auto\")\nset t_txt_h 2.5\nset t_layer BGD_A\nselect s_unit 1\nok\n\n"
        "SAVEAS " +
        file + "\n");
    EXPECT_EQ(stored("LABEL_BGD", "BGD_A"),
              "1000.000,2.500,1.000,LINK,0.500,3,0,0,1.983,0,0.000,0.000,1,9,0,");

    run("OPEN " + file + "\n");
    make_line({0, 0, 0}, {30, 40, 0});
    const std::string shown = run("(b_selbgd \"Auto\")\nok\nL\n\n");
    EXPECT_NE(shown.find("Dialog label_bgd_dlg"), std::string::npos);
    const std::vector<drawn_text> t = texts_on("BGD_A");
    ASSERT_EQ(t.size(), 1u);
    // 50 m = 248.548 links (50 / 0.201168 = 248.5484).
    EXPECT_EQ(t[0].text, "36%%d52'12\" 248.548");
    EXPECT_NEAR(t[0].height, 2.5, 1e-9);
}

// Cancelling the first dialog ends the command; the next call in the same
// drawing goes straight to the selection with the stored (default) settings.
TEST_F(LabelBgd, CancelledFirstDialogAndATooLongArgument)
{
    make_line({0, 0, 0}, {30, 40, 0});
    const std::string refused = run("(b_selbgd \"ABCDEFGHIJ\")\n");
    EXPECT_NE(refused.find("too long"), std::string::npos);
    EXPECT_EQ(refused.find("Dialog"), std::string::npos);

    run("(b_selbgd \"Auto\")\ncancel\n");
    EXPECT_TRUE(texts_on("Bgd").empty());
    const std::string second = run("(b_selbgd \"Auto\")\nALL\n\n");
    EXPECT_EQ(second.find("Dialog"), std::string::npos);
    EXPECT_EQ(texts_on("Bgd").size(), 1u);
}

// A settings text longer than a layer's extended data holds (six values of
// 1e50, each 55 characters with "%.3f") is refused with a message; the
// stored text stays.
TEST_F(LabelBgd, TooLongSettingsAreRefusedAndTheStoredOnesKept)
{
    run("(b_selbgd \"Auto\")\nok\n\n");
    const std::string before = stored("LABEL_BGD", "Bgd");
    const std::string big = "1" + std::string(50, '0');
    std::string answers = "(b_pickbgd \"Auto\")\npick table_tg\n";
    for (const char* key : {"t_scale", "t_txt_h", "t_txtwidth", "t_spacing", "t_x", "t_y"})
        answers += std::string("set ") + key + " " + big + "\n";
    const std::string shown = run(answers + "ok\nX\n");
    EXPECT_NE(shown.find("\nFailed save cfg to layer Bgd"), std::string::npos);
    EXPECT_EQ(stored("LABEL_BGD", "Bgd"), before);
}

// b_pickbgd: legs between picked points.
TEST_F(LabelBgd, PickedPointsAreLabelled)
{
    const std::string shown = run("(b_pickbgd \"Auto\")\nok\n0,0\n30,40\n30,90\nX\n");
    EXPECT_NE(shown.find("e<X>it <S>etting <A>uto spc <Pick Point>"), std::string::npos);
    const std::vector<drawn_text> t = texts_on("Bgd");
    ASSERT_EQ(t.size(), 2u);
    expect_at(text_with(t, "36%%d52'12\" 50.000"), 14.08, 20.69, 53.13);
    expect_at(text_with(t, "0%%d00'00\" 50.000"), 28.85, 65, 90);
}

// b_autodist: a base LINE along y = 0 crossed at x = 10 and x = 40 gives one
// text "30.000" at the pair's midpoint (25,0), 0.65 + 0.5 = 1.15 towards the
// picked side (y > 0), width factor 0.8.
TEST_F(LabelBgd, DistancesBetweenCrossings)
{
    make_line({0, 0, 0}, {100, 0, 0});
    make_line({10, -5, 0}, {10, 5, 0});
    make_line({40, -5, 0}, {40, 5, 0});
    run("(b_autodist)\nok\n50,0\n50,10\nALL\n\n");
    const std::vector<drawn_text> t = texts_on("Bgd");
    ASSERT_EQ(t.size(), 1u);
    expect_at(t[0], 25, 1.15, 0);
    EXPECT_EQ(t[0].text, "30.000");
}

TEST_F(LabelBgd, AutodistNeedsALineAndTwoCrossings)
{
    make_lwpolyline({{0, 0, 0}, {100, 0, 0}}, false);
    make_line({0, 50, 0}, {100, 50, 0});
    make_line({10, 45, 0}, {10, 55, 0});
    const std::string shown = run("(b_autodist)\nok\n50,0\n50,10\n(b_autodist)\n50,50\n50,60\nALL\n\n");
    EXPECT_NE(shown.find("Sorry Hanya LINE"), std::string::npos);
    EXPECT_TRUE(texts_on("Bgd").empty());  // one crossing only
    EXPECT_EQ(host::selection_sets_open(), 0u);
}

}  // namespace
