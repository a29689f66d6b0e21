// One rule for every size and decimals value, through the host as a user meets
// it: each dialog tile that takes a text height, width factor, plot or block
// scale, circle radius or decimals refuses 0, a negative value and letters,
// keeps the value it had, says why and stays open; the drawing saved after a
// refused value holds no TEXT or CIRCLE of a size of 0 or less (read with
// ezdxf); the stones of b_make_circle_point replace a lot only when every side
// was drawn again between them.
#include <cmath>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ads.h"
#include "drawing_queries.h"
#include "entity_makers.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "test_entities.h"

namespace {

using queries::live;

// A tile of a dialog: how the dialog is opened (the LISP call and the actions
// that enable the tile), its key, and whether it takes a size or decimals.
struct tile_case {
    const char* command;  // what opens the dialog, with its enabling actions
    const char* key;
    bool decimals;
};

const tile_case kTiles[] = {
    {"(b_find_area)\nset sec_tg 1", "t_mkpcscale", false},
    {"(b_find_area)\nset sec_tg 1", "t_txtwidth", false},
    {"(b_find_area)\nset sec_tg 1", "t_mkpctxth_a", false},
    {"(b_find_area)\nset sec_tg 1", "t_mkpctxth_b", false},
    {"(b_find_area)\nset sec_tg 1", "t_kpcdec_a", true},
    {"(b_find_area)\nset sec_tg 1", "t_kpcdec_b", true},
    {"(b_convert_area)", "t_cva_dec", true},
    {"(b_label_input_point)", "t_scale", false},
    {"(b_label_input_point)", "t_txth", false},
    {"(b_label_input_point)", "t_width", false},
    {"(b_label_input_point)", "t_decimal", true},
    {"(b_label_coord)", "scale_text", false},
    {"(b_label_coord)", "textheight_text", false},
    {"(b_label_coord)", "textwidth_text", false},
    {"(b_label_coord)", "decimal_text", true},
    {"(b_grid_auto_label)", "scale_text", false},
    {"(b_grid_auto_label)", "textheight_dist_text", false},
    {"(b_grid_auto_label)", "textwidth_dist_text", false},
    {"(b_grid_auto_label)", "decimal_text", true},
    {"(b_grid_auto_label)", "block_arrow_scale_text", false},
    {"(b_grid_auto_label)", "textheight_head_text", false},
    {"(b_grid_auto_label)", "textwidth_head_text", false},
    {"(b_grid_auto_label)", "circle_radius_text", false},
    {"(b_import_xyz)\nset tg_code 1", "text_plot_scale", false},
    {"(b_import_xyz)\nset tg_code 1", "text_noid", false},
    {"(b_import_xyz)\nset tg_code 1", "text_level", false},
    {"(b_import_xyz)\nset tg_code 1", "text_code", false},
    {"(b_make_circle_point 1)", "t_radius", false},
    {"(b_make_circle_point 1)", "t_cir_scale", false},
    {"(b_input_point)\nset plot_level_tg 1", "t_scale", false},
    {"(b_input_point)\nset plot_level_tg 1", "t_txth", false},
    {"(b_input_point)\nset plot_level_tg 1", "t_width", false},
    {"(b_input_point)\nset plot_level_tg 1", "t_decimal", true},
    {"(b_selbgd \"Auto\")", "t_scale", false},
    {"(b_selbgd \"Auto\")", "t_txt_h", false},
    {"(b_selbgd \"Auto\")", "t_txtwidth", false},
    {"(b_selbgd \"Auto\")", "t_decimal", true},
};

// The value a tile shows in the listing of "show" after the given place.
std::string shown_value(const std::string& out, size_t from, const std::string& key)
{
    std::smatch found;
    const std::string rest = out.substr(from);
    const std::regex line("\n *" + key + ": edit_box[^\n]*value \"([^\"]*)\"");
    return std::regex_search(rest, found, line) ? found[1].str() : "(no tile " + key + ")";
}

class ValueRules : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    void line(double x1, double y1, double x2, double y2, const char* layer = "LOT")
    {
        ads_point a = {x1, y1, 0}, b = {x2, y2, 0};
        resbuf* list = acutBuildList(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0);
        ASSERT_EQ(acdbEntMake(list), RTNORM);
        acutRelRb(list);
    }

    void square_lot(double x, double y, double side)
    {
        line(x, y, x + side, y);
        line(x + side, y, x + side, y + side);
        line(x + side, y + side, x, y + side);
        line(x, y + side, x, y);
    }

    // Saves the drawing and reads it with ezdxf: every TEXT's height and width
    // factor and every CIRCLE's radius, one "TEXT h w text" or "CIRCLE r" line
    // each.
    std::string saved_sizes(const std::string& name)
    {
        const std::string file = home() + "/" + name + ".dxf";
        run("SAVEAS " + file + "\n");
        std::string output;
        const std::string script =
            "import sys, ezdxf\n"
            "doc = ezdxf.readfile(sys.argv[1])\n"
            "for e in doc.modelspace():\n"
            "    if e.dxftype() == 'TEXT':\n"
            "        print('TEXT', repr(e.dxf.height), repr(e.dxf.get('width', 1.0)), e.dxf.text)\n"
            "    elif e.dxftype() == 'CIRCLE':\n"
            "        print('CIRCLE', repr(e.dxf.radius))\n";
        EXPECT_EQ(outside::run_ezdxf_script(script, {file}, output), 0) << output;
        return output;
    }

    // No TEXT or CIRCLE of the saved drawing has a size of 0 or less; the
    // number of TEXTs and CIRCLEs read.
    size_t expect_all_sizes_above_zero(const std::string& name)
    {
        const std::string sizes = saved_sizes(name);
        std::istringstream lines(sizes);
        size_t count = 0;
        for (std::string l; std::getline(lines, l);) {
            std::istringstream fields(l);
            std::string kind;
            double a = 0, b = 1;
            fields >> kind >> a;
            if (kind == "TEXT") fields >> b;
            if (kind != "TEXT" && kind != "CIRCLE") continue;
            ++count;
            EXPECT_GT(a, 0) << name << ": " << l;
            EXPECT_GT(b, 0) << name << ": " << l;
        }
        return count;
    }
};

// Every tile that takes a size or decimals refuses 0 (sizes), a negative value,
// -0.0 and letters (and decimals above 10): the tile shows the value it had,
// the dialog says why in its error tile, and the dialog stays open for the
// next action.
TEST_F(ValueRules, EveryDialogTileForASizeOrDecimalsRefusesBadValues)
{
    const std::vector<std::string> bad_sizes = {"0", "-1", "-0.0", "abc"};
    const std::vector<std::string> bad_decimals = {"-1", "11", "2.5", "abc"};
    for (const tile_case& c : kTiles) {
        SCOPED_TRACE(std::string(c.command) + " " + c.key);
        run("NEW\n");
        const std::vector<std::string>& bad = c.decimals ? bad_decimals : bad_sizes;
        std::string script = std::string(c.command) + "\nshow\n";
        for (const std::string& value : bad) script += "set " + std::string(c.key) + " " + value + "\nshow\n";
        script += "cancel\n";
        const std::string out = run(script);
        const std::string before = shown_value(out, 0, c.key);
        ASSERT_EQ(before.find("(no tile"), std::string::npos) << out;
        const std::string why =
            c.decimals ? "The decimals must be 0 to 10." : "The value must be more than 0.";
        size_t at = out.find("show\n");
        for (const std::string& value : bad) {
            SCOPED_TRACE("typed " + value);
            at = out.find("set " + std::string(c.key) + " " + value, at);
            ASSERT_NE(at, std::string::npos) << out;
            // The value it had, perhaps shown with other decimals.
            EXPECT_DOUBLE_EQ(std::stod(shown_value(out, at, c.key)), std::stod(before)) << out;
            const std::string said = value == "abc" ? "\"abc\" is no number. " + why : why;
            const size_t error = out.find("error: text, value \"" + said + "\"", at);
            EXPECT_NE(error, std::string::npos) << out;
        }
        EXPECT_NE(out.find("cancel"), std::string::npos);
        EXPECT_EQ(out.find("no tile"), std::string::npos) << out;
        EXPECT_EQ(out.find("is disabled"), std::string::npos) << out;
    }
}

// After refused values the dialog's OK goes on with the values it kept: the
// drawing saved holds texts and circles of sizes above 0 only, and the area
// text converted with refused decimals keeps the lot's area.
TEST_F(ValueRules, ADrawingAfterRefusedValuesHoldsNoTextOrCircleOfNoSize)
{
    for (const bool survey : {false, true}) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        run("NEW\n");
        if (survey) run("(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n");
        square_lot(0, 0, 40);
        // The lot-area dialog: text height -2, width factor 0, plot scale 0, decimals -1.
        run("(b_find_area)\nset sec_tg 1\nset t_mkpctxth_a -2\nset t_txtwidth 0\nset t_mkpcscale 0\n"
            "set t_kpcdec_a -1\nset t_mkpctxth_b -0.0\nok\n20,20\n\nX\n");
        // Level and coordinate labels with heights of -1 and -0.0 and a width factor of 0.
        ads_point p = {50, 60, 12.345};
        resbuf* point = acutBuildList(RTDXF0, "POINT", 8, "0", 10, p, 0);
        ASSERT_EQ(acdbEntMake(point), RTNORM);
        acutRelRb(point);
        run("(b_label_input_point)\nset t_txth -1\nset t_txth -0.0\nset t_width 0\nok\nALL\n\n\n");
        run("(b_label_coord)\nset textheight_text -1\nset textwidth_text 0\nset scale_text -0.0\nok\n"
            "70,80\nX\n");
        // Stones with a radius of -1 and a scale of 0 refused.
        square_lot(100, 0, 20);
        run("(b_make_circle_point 1)\nset t_radius -1\nset t_cir_scale 0\nset del_tg 0\nok\nALL\n\n");
        const std::string name = survey ? "survey" : "default";
        const size_t drawn = expect_all_sizes_above_zero(name);
        EXPECT_GE(drawn, 2u + 2u + 2u + 1u) << "area, level and coordinate texts and a stone";
        // The area texts carry the decimals kept (1 for m2, 3 for acres).
        const std::string sizes = saved_sizes(name + "_again");
        EXPECT_NE(sizes.find("1600.0m%%178"), std::string::npos) << sizes;
        EXPECT_NE(sizes.find("0.395Ac"), std::string::npos) << sizes;  // 1600 / 4046.85642 = 0.3954
    }
}

// b_convert_area with decimals of -3 would have made "1Ha" of "12345m%%178":
// the decimals are refused and the lot's area stays in the drawing, converted
// with the decimals kept.
TEST_F(ValueRules, ConvertingAnAreaWithRefusedDecimalsKeepsTheArea)
{
    ads_point at = {0, 0, 0};
    resbuf* text = acutBuildList(RTDXF0, "TEXT", 8, "Area", 10, at, 40, 2.0, 1, "12345m%%178", 0);
    ASSERT_EQ(acdbEntMake(text), RTNORM);
    acutRelRb(text);
    const std::string out = run("(b_convert_area)\nselect s_to 3\nset t_cva_dec -3\nshow\nok\nall\n\n");
    EXPECT_NE(out.find("The decimals must be 0 to 10."), std::string::npos) << out;
    const auto texts = live(drawing(), "TEXT");
    ASSERT_EQ(texts.size(), 1u);
    // 12345 m2 = 1.2345 ha, at the 3 decimals kept.
    EXPECT_EQ(texts[0]->text(1), "1.235Ha") << out;
}

// With a refused radius or scale the stones are drawn with the values kept,
// each side of the lot runs exactly between its stones, and only then is the
// lot erased; a lot whose side is shorter than two stones stays.
TEST_F(ValueRules, ALotIsErasedOnlyWhenEachSideWasRedrawnBetweenItsStones)
{
    square_lot(0, 0, 10);
    // A lot of sides 1.0 long: two stones of radius 0.7 overlap on each side.
    square_lot(20, 0, 1);
    const std::string out = run("(b_make_circle_point 1)\nset t_radius -1\nset t_cir_scale 0\nok\nALL\n\n");
    const double r = 0.7;
    const auto lines = live(drawing(), "LINE");
    size_t between = 0, originals = 0;
    for (const host::Entity* e : lines) {
        const auto a = e->point(10), b = e->point(11);
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (e->text(8) == "LOT") {
            ++originals;
            EXPECT_GE(a.x, 20 - 1e-9) << "only the small lot's sides stay";
        } else if (std::fabs(length - (10 - 2 * r)) < 1e-9) {
            ++between;
        }
    }
    EXPECT_EQ(between, 4u) << out;
    EXPECT_EQ(originals, 4u) << out;
    EXPECT_NE(out.find("4 side(s) could not be redrawn between the circles: their objects are kept."),
              std::string::npos)
        << out;
    const auto circles = live(drawing(), "CIRCLE");
    ASSERT_EQ(circles.size(), 8u);
    for (const host::Entity* c : circles) EXPECT_DOUBLE_EQ(c->real(40), r);
}

// The entity makers are the last guard: no text of a height or width factor
// of 0 or less, no circle or arc of a radius of 0 or less and no insert of
// scale 0 is written, each with a message; a negative insert scale (a mirrored
// block) is made.
TEST_F(ValueRules, TheEntityMakersRefuseSizesOfZeroOrLess)
{
    const point3d_rec at{1, 2, 0};
    struct maker_case {
        const char* what;
        std::function<int()> make;
        bool made;
    } cases[] = {
        {"text height 0", [&] { return text_make(at, 0.0, 1.0, 90, "T", "A"); }, false},
        {"text height -1", [&] { return text_make_justified(4, at, -1.0, 1.0, 90, "T", "A", 1); }, false},
        {"text height -0.0", [&] { return text_list_maker(-0.0, 1.0, 90, "T").make(at, "A"); }, false},
        {"text width 0", [&] { return text_make_xdata(at, 1.0, 0.0, 90, "T", "A", "ACAD"); }, false},
        {"text by command of height -2", [&] { return text_make_on_layer(at, -2.0, 1.0, 90, "T", "A", 0); },
         false},
        {"circle radius 0", [&] { return circle_make(at, 0.0, "C"); }, false},
        {"circle radius -1", [&] { return circle_make(at, -1.0, "C"); }, false},
        {"arc radius 0", [&] { return arc_make(at, 0.0, 0, 1, "C"); }, false},
        {"insert of scale 0", [&] { return insert_make("B", at, 0, 0.0, "I"); }, false},
        {"text of height 2", [&] { return text_make(at, 2.0, 0.8, 90, "T", "A"); }, true},
        {"circle of radius 0.5", [&] { return circle_make(at, 0.5, "C"); }, true},
    };
    for (const maker_case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = drawing().model.size();
        const int rc = c.make();
        EXPECT_EQ(rc == RTNORM || rc == 1, c.made) << rc;
        EXPECT_EQ(drawing().model.size() > before, c.made);
    }
    const std::string said = session().transcript().text();
    EXPECT_NE(said.find("The text \"A\" is not drawn: its height (0.000) must be more than 0.\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("The text \"A\" is not drawn: its width factor (0.000) must be more than 0.\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("The circle at 1.000,2.000 is not drawn: its radius (-1.000) must be more than 0.\n"),
              std::string::npos)
        << said;
}

}  // namespace
