// b_lot_number through the host as a user runs it: the dialog on first use in
// a drawing, numbers at picked points and in every lot a picked segment
// crosses, the reverse flag, each mode's own rotation, typed numbers, and the
// settings kept in the drawing. Which lot each number landed in is read back
// by shapely from the saved DXF: the LINEs polygonised into lots, and each
// number's alignment point inside exactly one of them.
#include <cmath>
#include <map>
#include <sstream>

#include "lot_tools_fixture.h"

namespace {

const char* const kLotsOfNumbers = R"PY(
import sys, ezdxf
from shapely.geometry import LineString, Point
from shapely.ops import polygonize, unary_union
doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
lines = [LineString([(e.dxf.start.x, e.dxf.start.y), (e.dxf.end.x, e.dxf.end.y)]) for e in msp.query("LINE")]
lots = sorted(polygonize(unary_union(lines)), key=lambda p: (round(p.centroid.y, 6), round(p.centroid.x, 6)))
numbers = [(t.dxf.text, Point(t.dxf.align_point.x, t.dxf.align_point.y)) for t in msp.query("TEXT") if t.dxf.layer == "LOT_NUMBER"]
for lot in lots:
    inside = [text for text, at in numbers if lot.contains(at)]
    print("lot %.3f,%.3f %s" % (lot.centroid.x, lot.centroid.y, " ".join(inside) if inside else "-"))
for text, at in numbers:
    if not any(lot.contains(at) for lot in lots):
        print("outside %s %.3f,%.3f" % (text, at.x, at.y))
)PY";

class LotNumber : public LotToolsTest {
protected:
    // A block of lots 0..60 x 0..40: rows split at y = 20, lots at x = 20 and
    // x = 40 (crosses at (20, 20) and (40, 20), T-junctions on the edges), and
    // the top right lot split at x = 50 by a line that ends on its neighbours.
    void block_plan()
    {
        for (double y : {0.0, 20.0, 40.0}) line(0, y, 60, y);
        for (double x : {0.0, 20.0, 40.0, 60.0}) line(x, 0, x, 40);
        line(50, 20, 50, 40);
    }
    // Four lots 100..140 x 0..40 around a cross at (120, 20).
    void cross_plan()
    {
        for (double y : {0.0, 20.0, 40.0}) line(100, y, 140, y);
        for (double x : {100.0, 120.0, 140.0}) line(x, 0, x, 40);
    }
    // "lot cx,cy numbers" per lot and "outside ..." per misplaced number.
    std::map<std::string, std::string> numbers_by_lot(std::string& outside)
    {
        std::istringstream lines(python_on_saved(kLotsOfNumbers));
        std::map<std::string, std::string> out;
        for (std::string l; std::getline(lines, l);) {
            if (l.rfind("lot ", 0) == 0) {
                const size_t blank = l.find(' ', 4);
                out[l.substr(4, blank - 4)] = l.substr(blank + 1);
            } else if (l.rfind("outside ", 0) == 0) {
                outside += l + "\n";
            }
        }
        return out;
    }
    std::string stored(const std::string& layer)
    {
        const host::Entity* record = drawing().get(drawing().find_record("LAYER", layer));
        const host::XDataApp* app = record ? record->xdata_of("LOT_NUMBER") : nullptr;
        if (!app) return {};
        for (const Group& g : app->items)
            if (g.code == 1000) return g.text;
        return {};
    }
};

TEST_F(LotNumber, EveryLotASegmentCrossesGetsOneNumberAlsoThroughJunctions)
{
    block_plan();
    cross_plan();
    const std::string out =
        run("(b_lot_number)\nok\n"
            // Along the bottom row from the west, along the top row from the east.
            "-5,10\n65,10\n65,30\n-5,30\n"
            // Reversed: the diagonal through the corner (100, 0), the cross
            // (120, 20) and the corner (140, 40) is numbered from its far end.
            "V\n95,-5\n145,45\n"
            // Through the T-junction (120, 0) into the lot 120..140 x 0..20.
            "115,-10\n130,20\n"
            "X\n");
    EXPECT_NE(
        out.find("Rot :90.0000 Num:1 \n<S>etting [<N>o Auto Lbl] e<X>it <R>otate Re<V>erse <Pick 1st point>"),
        std::string::npos)
        << out;
    EXPECT_NE(out.find("Now Reverse...Rot :90.0000 Num:8 "), std::string::npos) << out;
    std::string outside;
    const std::map<std::string, std::string> lots = numbers_by_lot(outside);
    EXPECT_EQ(outside, "");  // no number on a line or a junction
    const std::map<std::string, std::string> want = {
        {"10.000,10.000", "1"},  {"30.000,10.000", "2"},   {"50.000,10.000", "3"}, {"55.000,30.000", "4"},
        {"45.000,30.000", "5"},  {"30.000,30.000", "6"},   {"10.000,30.000", "7"}, {"130.000,30.000", "8"},
        {"110.000,10.000", "9"}, {"130.000,10.000", "10"}, {"110.000,30.000", "-"}};
    EXPECT_EQ(lots, want);
    // Middle-justified, 1.4 high at 1:1000, horizontal.
    const auto texts = live("TEXT", "LOT_NUMBER");
    ASSERT_EQ(texts.size(), 10u);
    EXPECT_EQ(texts[0]->integer(72), 4);
    EXPECT_NEAR(texts[0]->real(40), 1.4, 1e-12);
    EXPECT_NEAR(texts[0]->real(50), 0, 1e-12);
    EXPECT_EQ(stored("Orvik_survey_temp"), "LOT_NUMBER");
    EXPECT_EQ(stored("LOT_NUMBER"), "1000.000,90.000000,1.400,1.000,1,11,0,2.140,1,0,");
}

TEST_F(LotNumber, PointModeTypedNumbersAndEachModesOwnRotation)
{
    std::string out =
        run("(b_lot_number)\npick auto_number_tg\nok\n"
            // Auto mode's rotation turned to 45 by two points; point mode keeps 90.
            "R\n0,0\n10,10\nN\n"
            "5,5\n0\n25\n"  // 0 is no lot number; 25 is written, 26 comes next
            "15,5\n\n"      // Enter takes 26
            "A\nX\n");
    EXPECT_NE(out.find("A lot number is a whole number from 1 up."), std::string::npos) << out;
    EXPECT_NE(out.find("Enter Number<26>:"), std::string::npos) << out;
    EXPECT_NE(out.find("Rot :45.0000 Num:1 "), std::string::npos) << out;
    EXPECT_NE(out.find("Rot :90.0000 Num:1 \n<S>etting e<X>it <A>uto Lbl <Pick Point>"), std::string::npos)
        << out;
    EXPECT_NE(out.find("Rot :45.0000 Num:27 \n<S>etting [<N>o Auto Lbl]"), std::string::npos) << out;
    const auto texts = live("TEXT", "LOT_NUMBER");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->text(1), "25");
    EXPECT_EQ(texts[1]->text(1), "26");
    EXPECT_NEAR(texts[0]->point(11).x, 5, 1e-12);
    EXPECT_NEAR(texts[0]->real(50), 0, 1e-12);
    // Stored: auto mode on again with its rotation, numbers typed, next 27.
    EXPECT_EQ(stored("LOT_NUMBER"), "1000.000,45.000000,1.400,1.000,0,27,0,2.140,1,0,");
    // The next call in this drawing asks no dialog; another drawing does.
    out = run("(b_lot_number)\nX\n");
    EXPECT_EQ(out.find("Dialog lot_number_dlg"), std::string::npos) << out;
    out = run("NEW\n(b_lot_number)\ncancel\n");
    EXPECT_NE(out.find("Dialog lot_number_dlg"), std::string::npos) << out;
}

TEST_F(LotNumber, RotationsAreBearingsAlsoInADrawingSetToSurveyAngles)
{
    for (const char* setup : {"", "(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n"}) {
        run(std::string("NEW\n") + setup);
        drawing().name = std::string(*setup ? "survey" : "default") + "_rotation.dwg";
        // A rotation picked along the bearing 45 (north-east): the text's baseline
        // runs that way, 45 degrees above east in plan.
        run("(b_lot_number)\nok\nN\nR\n0,0\n10,10\n5,5\nX\n");
        const auto texts = live("TEXT", "LOT_NUMBER");
        ASSERT_EQ(texts.size(), 1u) << setup;
        EXPECT_NEAR(texts[0]->real(50), M_PI / 4, 1e-9) << setup;
    }
}

TEST_F(LotNumber, TheDialogRefusesBadValuesAndASegmentWithoutLinesEndsCleanly)
{
    line(0, 0, 0, 20);
    const std::string out =
        run("(b_lot_number)\n"
            "set t_scale abc\nset t_scale 0\nshow\nset t_text_height -1\nset t_startnum -3\nshow\n"
            "set t_startnum 12.5\nset t_layer bad*name\nshow\nok\n"
            "50,50\n60,50\n");
    // The dialog's error line says why a value was put back.
    EXPECT_NE(out.find("error: text, value \"The value must be more than 0.\""), std::string::npos) << out;
    EXPECT_NE(out.find("error: text, value \"The next number is a whole number from 1 up.\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("t_scale: edit_box, label \"Plot scale 1: \", value \"1000.0000\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("t_text_height: edit_box, label \"Text height :\", value \"1.4000\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("t_startnum: edit_box, label \"Next number :\", value \"12\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("t_layer: edit_box, label \"Layer :\", value \"LOT_NUMBER\""), std::string::npos)
        << out;
    // The segment crossed no LINE: the command ended, nothing written.
    EXPECT_TRUE(live("TEXT").empty());
    EXPECT_EQ(stored("LOT_NUMBER"), "1000.000,90.000000,1.400,1.000,1,12,0,2.140,1,0,");
}

}  // namespace
