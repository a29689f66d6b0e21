// Level labels of height points and coordinate labels, through the host as a
// user would: the points are made by the height-point input (or typed in), the
// labels by b_label_input_point and b_label_coord with their dialogs. Expected
// texts and positions are worked out by hand: text height = 1.3 x scale / 1000;
// a TEXT made for the bearing b is turned by 90 - b degrees.
#include <cmath>
#include <string>
#include <vector>

#include "drawing_queries.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "test_entities.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class LevelLabelTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }
    std::vector<const host::Entity*> texts() { return queries::live(drawing(), "TEXT"); }
    // The text whose group 1 is given; null when none.
    const host::Entity* text_of(const std::string& content)
    {
        for (const host::Entity* e : texts())
            if (e->text(1) == content) return e;
        return nullptr;
    }
};

TEST_F(LevelLabelTest, FirstCallShowsTheDefaultsAndOnlyOkStoresThem)
{
    std::string out = run("(b_label_input_point)\nshow\ncancel\n");
    for (const char* shown :
         {"t_scale: edit_box, label \"Plot scale 1: \", value \"1000.0000\"",
          "t_txth: edit_box, label \"Text height :\", value \"1.3000\"",
          "t_rot: edit_box, label \"Rotation :\", value \"90.000000\"",
          "pick_text_btn: button, label \"90.000000\"", "t_decimal: edit_box",
          "level_spc_tg: toggle, label \"Blank between whole part and fraction\", value \"1\"",
          "level_pntlayer_tg: toggle, label \"Text on the point's own layer\", value \"0\""})
        EXPECT_NE(out.find(shown), std::string::npos) << shown << "\n" << out;
    EXPECT_EQ(out.find("Select objects"), std::string::npos) << "cancel ends the command";
    EXPECT_TRUE(queries::stored_setting(drawing(), "LABELARAS").empty());
    out = run("(b_label_input_point)\nok\n\n");
    EXPECT_NE(out.find("Dialog label_aras_dlg>"), std::string::npos) << "shown again after the cancel";
    EXPECT_EQ(queries::stored_setting(drawing(), "LABELARAS"), "1000.000,90.000000,1.300,1.000,3,1,0");
    // Loaded now: the next call goes straight to the selection.
    out = run("(b_label_input_point)\n\n");
    EXPECT_EQ(out.find("Dialog label_aras_dlg>"), std::string::npos) << out;
}

// Points made by the height-point input on its three layers, one on the invert
// layer spelt in another case, and one on a layer that the input-point settings
// name for drain points: only the two fixed names POINT-D and POINT-INV count.
TEST_F(LevelLabelTest, EachPointGetsItsLevelOnTheLayerOfItsKind)
{
    run("(b_treed_point)\nset t_pnt_d_layer "
        "DRAINS\nok\nP\n10,10\n12.345\nD\n20,10\n8.5\nI\n30,10\n-1.25\nX\n");
    ASSERT_TRUE(test_make_point("Point-Inv", 40, 10, 3.0));
    ASSERT_TRUE(test_make_point("POINT-D", 50, 10, 4.125));
    const std::string out = run("(b_label_input_point)\nset t_scale 500\nok\nALL\n\n\n");
    struct Want {
        const char* text;
        const char* layer;
        double x, z;
    } want[] = {{"12 345", "ARAS-P", 10, 12.345},
                {"8 500", "ARAS-P", 20, 8.5},  // on DRAINS: not a fixed drain layer
                {"-1 250iL", "ARAS-INV", 30, -1.25},
                {"3 000iL", "ARAS-INV", 40, 3.0},
                {"4 125", "ARAS-D", 50, 4.125}};
    ASSERT_EQ(texts().size(), std::size(want)) << out;
    for (const Want& w : want) {
        SCOPED_TRACE(w.text);
        const host::Entity* text = text_of(w.text);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->layer(), w.layer);
        EXPECT_EQ(text->integer(72), 4) << "middle";
        const host::Point3 at = text->point(11);
        EXPECT_DOUBLE_EQ(at.x, w.x);
        EXPECT_DOUBLE_EQ(at.y, 10);
        EXPECT_DOUBLE_EQ(at.z, w.z) << "the label keeps the point's level";
        EXPECT_NEAR(text->real(40), 0.65, 1e-12);
        EXPECT_NEAR(text->real(50), 0.0, 1e-12);
    }
    EXPECT_EQ(queries::stored_setting(drawing(), "LABELARAS"), "500.000,90.000000,1.300,1.000,3,1,0");
}

TEST_F(LevelLabelTest, PlainDecimalsOwnLayerAndAPickedRotation)
{
    ASSERT_TRUE(test_make_point("POINT-INV", 5, 5, 7.5));
    ASSERT_TRUE(test_make_point("SURVEY", 6, 6, 2.25));
    // The pick from 0,0 to 10,10 is the bearing 45: the TEXT turns 45 degrees.
    run("(b_label_input_point)\nset t_decimal 2\nset level_spc_tg 0\nset level_pntlayer_tg 1\n"
        "pick pick_text_btn\n0,0\n10,10\nshow\nok\nALL\n\n\n");
    const host::Entity* inv = text_of("7.50iL");
    const host::Entity* other = text_of("2.25");
    ASSERT_NE(inv, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(inv->layer(), "POINT-INV") << "on the point's own layer";
    EXPECT_EQ(other->layer(), "SURVEY");
    EXPECT_NEAR(inv->real(50), 45.0 * kPi / 180.0, 1e-9);
    EXPECT_EQ(queries::stored_setting(drawing(), "LABELARAS"), "1000.000,45.000000,1.300,1.000,2,0,1");
}

TEST_F(LevelLabelTest, SettingsAreReadAgainFromTheirDrawing)
{
    run("(b_label_input_point)\nset t_txth 2.5\nok\n\n");
    run("NEW\n");
    std::string out = run("(b_label_input_point)\nshow\nok\n\n");
    EXPECT_NE(out.find("value \"1.3000\""), std::string::npos) << "the new drawing starts from the defaults";
    run("SWITCH 1\n");
    out = run("(b_label_input_point)\nshow\nok\n\n");
    EXPECT_NE(out.find("t_txth: edit_box, label \"Text height :\", value \"2.5000\""), std::string::npos)
        << out;
}

TEST_F(LevelLabelTest, ANumberTileRefusesAWordAndKeepsTheLastNumber)
{
    run("(b_label_input_point)\nset t_scale 250\nset t_scale abc\nset t_rot 1x\nok\n\n");
    EXPECT_EQ(queries::stored_setting(drawing(), "LABELARAS"), "250.000,90.000000,1.300,1.000,3,1,0");
}

TEST_F(LevelLabelTest, ASettingsTextTooLongToStoreIsRefusedWithAMessage)
{
    run("(b_label_input_point)\nok\n\n");
    const std::string huge = "1" + std::string(260, '0');
    const std::string out = run("NEW\n(b_label_input_point)\nset t_scale " + huge + "\nok\n\n");
    EXPECT_NE(out.find("\nLABELARAS settings not saved: the text is "), std::string::npos) << out;
    EXPECT_NE(out.find("characters long and at most 254 can be stored."), std::string::npos);
    EXPECT_TRUE(queries::stored_setting(drawing(), "LABELARAS").empty());
}

class CoordLabelTest : public LevelLabelTest {};

// English and Malay letters, signed and absolute values. The second line stands
// 1.5 text heights from the first along the bearing rotation + 90 (below the
// first line for horizontal texts).
TEST_F(CoordLabelTest, LettersAndSignsForEachLanguage)
{
    struct Case {
        int language, absolute;
        double x, y;
        const char* north;
        const char* east;
    } cases[] = {
        {1, 0, -5, -7, "N -7.000", "E -5.000"}, {1, 1, -5, -7, "S 7.000", "W 5.000"},
        {1, 1, 5, 7, "N 7.000", "E 5.000"},     {0, 0, -5, -7, "U -7.000", "T -5.000"},
        {0, 1, -5, -7, "S 7.000", "B 5.000"},   {0, 1, 1234.5678, 98.7654, "U 98.765", "T 1234.568"},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.north) + " " + c.east);
        const size_t before = texts().size();
        const std::string settings = "set abs_coord_tg " + std::to_string(c.absolute) +
                                     "\nselect language_pop " + std::to_string(c.language) + "\nok\n";
        const std::string point = std::to_string(c.x) + "," + std::to_string(c.y) + "\n";
        const std::string out =
            run("(b_label_coord)\n" + std::string(first ? "" : "S\n") + settings + point + "X\n");
        first = false;
        const auto all = texts();
        ASSERT_EQ(all.size(), before + 2) << out;
        const host::Entity& north = *all[before];
        const host::Entity& east = *all[before + 1];
        EXPECT_EQ(north.text(1), c.north);
        EXPECT_EQ(east.text(1), c.east);
        EXPECT_EQ(north.layer(), "LBL_COORD");
        EXPECT_NEAR(north.point(10).x, c.x, 1e-9);
        EXPECT_NEAR(north.point(10).y, c.y, 1e-9);
        EXPECT_NEAR(east.point(10).x, c.x, 1e-6);
        EXPECT_NEAR(east.point(10).y, c.y - 1.95, 1e-6);  // 1.5 x 1.3
        EXPECT_NEAR(north.real(40), 1.3, 1e-12);
        EXPECT_EQ(north.integer(72), 0) << "left-justified";
    }
}

// A text that reads up the sheet (bearing 0) has its second line to the right
// of the first; in a drawing set to survey angles the entity-made texts turn the
// same way, since their rotation is not in the drawing's angle units.
TEST_F(CoordLabelTest, RotationDecimalsAndScaleInBothAngleSettings)
{
    for (bool survey : {false, true}) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        if (survey) run("NEW\n(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n");
        const std::string dialog =
            survey
                ? "S\n"
                : "set rotation_text 0\nset decimal_text 1\nset scale_text 500\nselect language_pop 1\nok\n";
        run("(b_label_coord)\n" + dialog + (survey ? "ok\n" : "") + "100,200\nX\n");
        const auto all = texts();
        ASSERT_EQ(all.size(), 2u);
        EXPECT_EQ(all[0]->text(1), "N 200.0");
        EXPECT_EQ(all[1]->text(1), "E 100.0");
        EXPECT_NEAR(all[0]->real(50), kPi / 2, 1e-9) << "bearing 0: turned 90 degrees";
        EXPECT_NEAR(all[1]->point(10).x, 100 + 1.5 * 0.65, 1e-6);
        EXPECT_NEAR(all[1]->point(10).y, 200, 1e-6);
    }
}

TEST_F(CoordLabelTest, SelectedPointsAndSettingsSharedByEveryDrawing)
{
    ASSERT_TRUE(test_make_point("0", 10, 20, 5));
    ASSERT_TRUE(test_make_point("0", -30, 40, 0));
    std::string out = run("(b_label_coord)\nset select_point_tg 1\nset coordlayer_text COORDS\nok\nALL\n\n");
    auto all = texts();
    ASSERT_EQ(all.size(), 4u) << out;
    EXPECT_EQ(all[0]->text(1), "U 20.000");
    EXPECT_EQ(all[1]->text(1), "T 10.000");
    EXPECT_EQ(all[2]->text(1), "U 40.000");
    EXPECT_EQ(all[3]->text(1), "T -30.000");
    EXPECT_EQ(all[3]->layer(), "COORDS");
    // Another drawing: no dialog, the same settings (they live in the plug-in).
    run("NEW\n");
    ASSERT_TRUE(test_make_point("0", 1, 2, 0));
    out = run("(b_label_coord)\nALL\n\n");
    EXPECT_EQ(out.find("Dialog labelcoord_dlg>"), std::string::npos) << out;
    all = texts();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0]->layer(), "COORDS");
}

TEST_F(CoordLabelTest, CancelledFirstDialogAndTheStatusLine)
{
    std::string out = run("(b_label_coord)\nshow\ncancel\n");
    for (const char* shown : {"coordlayer_text: edit_box, label \"Layer :\", value \"LBL_COORD\"",
                              "rotation_text: edit_box, label \"Rotation :\", value \"90.0000\"",
                              "scale_text: edit_box, label \"Plot scale 1: \", value \"1000.0000\"",
                              "decimal_text: edit_box, label \"Decimals :\", value \"3\"",
                              "language_pop: popup_list, label \"Letters :\", value \"0\""})
        EXPECT_NE(out.find(shown), std::string::npos) << shown << "\n" << out;
    EXPECT_EQ(out.find("Label Coord version"), std::string::npos);
    out = run("(b_label_coord)\nset coordlayer_text BAD*LAYER\nok\n\n");
    EXPECT_NE(
        out.find("\nLabel Coord version cpp 1.0\nMalay Plot Scale 1:1000.000 Dec:3 Rot:90.0000 TxtH:1.3 "
                 "W:1.0 Layer:LBL_COORD\n<S>etting e<X>it <Pick Point>"),
        std::string::npos)
        << out;
    EXPECT_TRUE(texts().empty()) << "Enter ends like X";
}

// Height points of the point input labelled, with coordinate labels beside,
// in a default drawing and one set to survey angles; the saved drawings read
// back by ezdxf hold the same texts, layers, places and turns: the labels are
// made by entity list, whose rotation does not depend on the angle settings.
TEST_F(CoordLabelTest, LabelsReadBackAlikeInBothAngleSettings)
{
    const char* script = R"py(
import sys, ezdxf
for t in ezdxf.readfile(sys.argv[1]).modelspace().query("TEXT"):
    p = t.dxf.align_point if t.dxf.halign else t.dxf.insert
    print("%s|%s|%d|%.4f|%.4f|%.4f|%.4f" % (t.dxf.layer, t.dxf.text, t.dxf.halign, p.x, p.y, p.z,
                                           t.dxf.rotation % 360.0))
)py";
    const std::string want =
        "ARAS-P|12 345|4|10.0000|10.0000|12.3450|45.0000\n"
        "ARAS-INV|-1 250iL|4|30.0000|10.0000|-1.2500|45.0000\n"
        "LBL_COORD|S 7.000|0|-5.0000|-7.0000|0.0000|0.0000\n"
        "LBL_COORD|W 5.000|0|-5.0000|-8.9500|0.0000|0.0000\n";
    for (bool survey : {false, true}) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        if (survey) run("NEW\n(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n");
        run("(b_treed_point)\nok\nP\n10,10\n12.345\nI\n30,10\n-1.25\nX\n"
            "(b_label_input_point)\nset t_rot 45\nok\nALL\n\n\n");
        run(survey ? "(b_label_coord)\n-5,-7\nX\n"
                   : "(b_label_coord)\nset abs_coord_tg 1\nselect language_pop 1\nok\n-5,-7\nX\n");
        const std::string file = home() + (survey ? "/survey.dxf" : "/default.dxf");
        run("SAVEAS " + file + "\n");
        std::string output;
        ASSERT_EQ(outside::run_ezdxf_script(script, {file}, output), 0) << output;
        EXPECT_EQ(output, want);
    }
}

}  // namespace
