// The survey department's lot-file import through the host the way a caller
// reaches it: a command that runs import_jupem (here the script command
// "JUPEM"), its dialogs, and the hand-written boundary and lot files of
// data/ (lot1.bdy with CR LF line ends, an empty and a blank line, a line
// listed twice in opposite directions, a 360 bearing, a short line and bad
// numbers; lot1.lot with LF ends, every unit letter, a bad area and a short
// line). The columns are read with both bounds included, and a line that ends
// inside a field gives what it holds of it.
#include "jupem_import.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host_fixture.h"
#include "outside_readers.h"
#include "test_entities.h"

namespace {

namespace fs = std::filesystem;

class JupemImport : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        session().register_script_command("JUPEM", [](const std::string&) { import_jupem(); });
    }

    // The data file copied into the test's folder (with its lot file when asked).
    std::string copy_plan(const std::string& name, bool with_lot = true)
    {
        const fs::path data = fs::path(ORVIK_SOURCE_DIR) / "tests" / "jupem_import" / "data";
        const fs::path bdy = fs::path(home()) / (name + ".bdy");
        fs::copy_file(data / "lot1.bdy", bdy, fs::copy_options::overwrite_existing);
        if (with_lot)
            fs::copy_file(data / "lot1.lot", fs::path(home()) / (name + ".lot"),
                          fs::copy_options::overwrite_existing);
        return bdy.string();
    }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        return test_live_entities(drawing(), type, layer);
    }
    std::vector<std::string> texts(const std::string& layer)
    {
        std::vector<std::string> out;
        for (const host::Entity* e : live("TEXT", layer)) out.push_back(e->text(1));
        return out;
    }
};

TEST_F(JupemImport, FieldsHoldBothTheirBounds)
{
    // A field is what the line holds of it: empty only when the line ends
    // before it.
    EXPECT_EQ(jupem_field("0123456789", 2, 4), "234");
    EXPECT_EQ(jupem_field("0123456789", 7, 9), "789");
    EXPECT_EQ(jupem_field("0123456789", 8, 10), "89");
    EXPECT_EQ(jupem_field("0123456789", 9, 12), "9");
    EXPECT_EQ(jupem_field("0123456789", 10, 12), "");
    EXPECT_EQ(jupem_field("  ab  ", 0, 5), "ab");

    jupem_line_rec line;
    std::string problem;
    EXPECT_FALSE(jupem_line_parse("PT  12         1BKL", line, problem));
    EXPECT_EQ(problem, "no start x");
    EXPECT_EQ(jupem_area_text(1200.44, 1, "m"), "1200.4m\xC2\xB2");
    EXPECT_EQ(jupem_area_text(2.5, 2, "A"), "2.50Ek");
    EXPECT_EQ(jupem_area_text(2.6, 0, "f"), "3F");
    EXPECT_EQ(jupem_area_text(2.5, 1, "R"), "2.5R");
    EXPECT_EQ(jupem_area_text(0.125, 3, "h"), "0.125Ha");
    EXPECT_EQ(jupem_area_text(7, 0, "X"), "7m%%178");
    EXPECT_EQ(jupem_area_text(7, 0, ""), "7m%%178");
    // A unit letter the list lacks: the host's code for the square-metre sign.
    EXPECT_EQ(jupem_area_text(7, 0, "m\xb2"), "7m%%178");
}

TEST_F(JupemImport, ALotPlanIsDrawnFromItsFiles)
{
    std::vector<double> label_rotations;
    for (int survey = 0; survey < 2; ++survey) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        if (survey) {
            run("NEW\n(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n");
        }
        const std::string bdy = copy_plan(survey ? "survey" : "plan");
        const std::string out = run("JUPEM\npick file_jupem_btn\n" + bdy + "\nok\n");
        // Each bad line is named, and the rest imported.
        EXPECT_NE(out.find("Line 11 of " + bdy + ": no end x; the line is left out."), std::string::npos)
            << out;
        EXPECT_NE(
            out.find("Line 12 of " + bdy + ": start x \"10a0.000\" is not a number; the line is left out."),
            std::string::npos)
            << out;
        EXPECT_NE(out.find("Line 13 of " + bdy +
                           ": bearing \"45.7500\" is no D.MMSS bearing; the line is drawn "
                           "without its label."),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("Line 14 of " + bdy + ": distance \"abc\" is not a number"), std::string::npos)
            << out;
        const std::string lot = bdy.substr(0, bdy.size() - 3) + "lot";
        EXPECT_NE(out.find("Line 4 of " + lot +
                           ": area \"12,5\" is not a number; lot 1204 is drawn without its area."),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("Line 6 of " + lot + ": no label y; the lot is left out."), std::string::npos)
            << out;
        EXPECT_EQ(out.find("Line 7 of " + lot), std::string::npos) << "its unit is read: " << out;
        EXPECT_NE(out.find("\nChecking Duplicated Lines"), std::string::npos);
        EXPECT_NE(out.find("\nChecking Stone Type"), std::string::npos);
        EXPECT_NE(out.find("\nCreating Line"), std::string::npos);
        EXPECT_NE(out.find("\nCreating Stone"), std::string::npos);
        EXPECT_NE(out.find("\nCreating Lot Number and area.."), std::string::npos);
        EXPECT_NE(out.find("9 boundary line(s) drawn (1 repeated line(s) left out), 6 stone(s), 6 lot(s)."),
                  std::string::npos)
            << out;

        // B to C is listed twice: the later listing (C to B) is drawn.
        const auto lines = live("LINE", "Lot_line");
        ASSERT_EQ(lines.size(), 9u);
        // A to B, shortened by the BKL stone (0.7) at A and the PKT stone (0.35) at B.
        EXPECT_NEAR(lines[0]->point(10).x, 1000.7, 1e-9);
        EXPECT_NEAR(lines[0]->point(11).x, 1029.65, 1e-9);
        EXPECT_NEAR(lines[0]->point(10).y, 2000.0, 1e-9);
        bool c_to_b = false;
        for (const host::Entity* l : lines) {
            EXPECT_FALSE(std::fabs(l->point(10).y - 2000.35) < 1e-6 &&
                         std::fabs(l->point(10).x - 1030) < 1e-6)
                << "B to C is not drawn";
            c_to_b |=
                std::fabs(l->point(10).y - 2039.65) < 1e-6 && std::fabs(l->point(11).y - 2000.35) < 1e-6;
        }
        EXPECT_TRUE(c_to_b);

        // Stones: circles at A (BKL), E (an unknown code: DEFAULT) and F (PgKL);
        // donuts at B (PKT) and C (pkL); nothing at D (TT) but its mark.
        const auto circles = live("CIRCLE", "Lot_line");
        ASSERT_EQ(circles.size(), 3u);
        for (const host::Entity* c : circles) EXPECT_NEAR(c->real(40), 0.7, 1e-12);
        EXPECT_NEAR(circles[1]->point(10).x, 1060.0, 1e-9);
        EXPECT_NEAR(circles[1]->point(10).y, 2000.0, 1e-9);
        EXPECT_EQ(live("LWPOLYLINE", "Lot_line").size(), 2u);
        EXPECT_EQ(texts("Lot_stone_desc"), (std::vector<std::string>{"pk", "TT", "Pg"}));

        // Bearings and distances: legs of 30 take two texts, legs of 40 (from
        // 18.75 text heights of 2.0 on) one; the 360 bearing reads 0.
        EXPECT_EQ(
            texts("Lot_bgd"),
            (std::vector<std::string>{"90%%d00'00\"", "30.000", "270%%d00'00\"", "30.000",
                                      "180%%d00'00\" 40.000", "90%%d00'00\"", "30.000", "0%%d00'00\" 40.000",
                                      "270%%d00'00\"", "30.000", "180%%d00'00\" 40.000"}));
        for (const host::Entity* t : live("TEXT", "Lot_bgd")) EXPECT_NEAR(t->real(40), 2.0, 1e-12);

        // Lots: the number above its label point, the area below.
        EXPECT_EQ(texts("Lot_num"),
                  (std::vector<std::string>{"1201", "1202", "1203", "1204", "1205", "1207"}));
        EXPECT_EQ(texts("Lot_area"),
                  (std::vector<std::string>{"1200m\xC2\xB2", "0Ha", "0Ek", "7m%%178", "0Ha"}));
        const auto number = live("TEXT", "Lot_num")[0];
        const auto area = live("TEXT", "Lot_area")[0];
        EXPECT_NEAR(number->real(40), 3.5, 1e-12);
        EXPECT_NEAR(area->real(40), 2.5, 1e-12);
        EXPECT_NEAR(number->point(11).x, 1015.0, 1e-9);
        EXPECT_NEAR(area->point(11).x, 1015.0, 1e-9);
        EXPECT_GT(number->point(11).y - 3.5 / 2, area->point(11).y + 2.5 / 2) << "the two do not overlap";
        EXPECT_NEAR((number->point(11).y + area->point(11).y) / 2, 2020.0 + (3.5 - 2.5) / 4, 1e-9);
        for (const char* layer : {"Lot_num", "Lot_area", "Lot_stone_desc"})
            for (const host::Entity* t : live("TEXT", layer))
                EXPECT_NEAR(t->real(50), 0.0, 1e-9) << t->text(1);
        // The labels lie along their legs whatever the drawing's angles.
        std::vector<double> turned;
        for (const host::Entity* t : live("TEXT", "Lot_bgd")) turned.push_back(t->real(50));
        if (survey) {
            EXPECT_EQ(turned, label_rotations);
        }
        label_rotations = turned;
        EXPECT_NEAR(turned[0], 0.0, 1e-9);
        EXPECT_NEAR(turned[4], 3.14159265358979 / 2, 1e-9);

        // The view shows the plan.
        resbuf centre{};
        ASSERT_EQ(acedGetVar("VIEWCTR", &centre), RTNORM);
        EXPECT_NEAR(centre.resval.rpoint[0], 1030.0, 1e-9);
        EXPECT_NEAR(centre.resval.rpoint[1], 2020.0, 1e-9);
    }
}

TEST_F(JupemImport, SettingsScaleAndANoStoneImport)
{
    const std::string bdy = copy_plan("settings");
    // A plot scale or height of 0 or less and 11 decimals are put back, and said so.
    const std::string out =
        run("JUPEM\npick file_jupem_btn\n" + bdy +
            "\nset plot_scale_t 0\nshow\nset plot_scale_t 500\npick nomark_tg\npick setting_btn\n"
            "set lot_th_t -1\nset lot_area_t 11\nshow\nset lot_area_t 3\n"
            "set bgd_layer_t BGD2\nset stone_file_t other.txt\nok\nok\n");
    EXPECT_NE(out.find("disabled"), std::string::npos) << "the stone file is shown only: " << out;
    EXPECT_NE(out.find("error: text, value \"The value must be more than 0.\""), std::string::npos) << out;
    EXPECT_NE(out.find("error: text, value \"The area decimals must be 0 to 10.\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("lot_th_t: edit_box, label \"Lot number height :\", value \"3.5000\""),
              std::string::npos)
        << out;
    EXPECT_TRUE(live("CIRCLE").empty());
    EXPECT_TRUE(live("LWPOLYLINE").empty());
    const auto lines = live("LINE", "Lot_line");
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_NEAR(lines[0]->point(10).x, 1000.0, 1e-9) << "not shortened without stones";
    EXPECT_EQ(texts("Lot_area"), (std::vector<std::string>{"1200.400m\xC2\xB2", "0.120Ha", "0.300Ek",
                                                           "7.000m%%178", "0.500Ha"}));
    // At 1:500 every leg is longer than 18.75 text heights: one text each.
    EXPECT_EQ(texts("BGD2").size(), 7u);
    for (const host::Entity* t : live("TEXT", "BGD2")) EXPECT_NEAR(t->real(40), 1.0, 1e-12);  // 2.0 at 1:500
    EXPECT_NEAR(live("TEXT", "Lot_num")[0]->real(40), 1.75, 1e-12);
}

// A file written with every field one column shorter (its last column left
// out, so that a line ends one column before the last field's end) and the
// same file with the fields as wide as their columns give the same drawing:
// the boundary line whose end y ends at column 131 is drawn, and the lot whose
// unit letter ends at column 57 keeps its unit.
TEST_F(JupemImport, LinesOfEitherLengthGiveTheSameDrawing)
{
    struct field {
        int a, b;
        std::string value;
        bool right;  // aligned to the field's end
    };
    // The line with each field placed; shorter, each field ends at b - 1.
    auto layout = [](const std::vector<field>& fields, bool shorter) {
        std::string line;
        for (const field& f : fields) {
            const int end = shorter ? f.b - 1 : f.b;
            const int width = end - f.a + 1;
            std::string value = f.value;
            if (f.right && static_cast<int>(value.size()) < width)
                value = std::string(static_cast<size_t>(width) - value.size(), ' ') + value;
            line.resize(static_cast<size_t>(f.a), ' ');
            line += value;
            line.resize(static_cast<size_t>(end + 1), ' ');
        }
        return line;
    };
    struct leg {
        const char *x1, *y1, *bearing, *distance, *x2, *y2;
    };
    const leg legs[] = {
        {"400000.000", "300000.000", "90.0000", "30.000", "400030.000", "300000.000"},
        {"400030.000", "300000.000", "0.0000", "40.000", "400030.000", "300040.000"},
        {"400030.000", "300040.000", "270.0000", "30.000", "400000.000", "300040.000"},
        {"400000.000", "300040.000", "180.0000", "40.000", "400000.000", "300000.000"},
    };
    struct lot {
        const char *number, *x, *y, *area, *unit;
    };
    const lot lots[] = {{"1301", "400010.000", "300020.000", "1.2345", "H"},
                        {"1302", "400020.000", "300020.000", "1200.4", "M"}};
    std::vector<std::vector<std::string>> drawings;
    for (bool shorter : {false, true}) {
        SCOPED_TRACE(shorter ? "fields one column shorter" : "fields as wide as their columns");
        std::string bdy_text, lot_text;
        int number = 1;
        for (const leg& l : legs)
            bdy_text += layout({{0, 8, "PT  12", false},
                                {9, 15, std::to_string(number++), true},
                                {16, 28, "BKL", false},
                                {39, 50, l.x1, true},
                                {51, 62, l.y1, true},
                                {64, 72, l.bearing, true},
                                {73, 82, l.distance, true},
                                {83, 85, "m", false},
                                {86, 98, "BKL", false},
                                {109, 120, l.x2, true},
                                {121, 132, l.y2, true}},
                               shorter) +
                        "\r\n";
        for (const lot& l : lots)
            lot_text += layout({{0, 8, "PT  12", false},
                                {9, 15, l.number, true},
                                {16, 27, l.x, true},
                                {28, 39, l.y, true},
                                {40, 55, l.area, true},
                                {56, 58, l.unit, true}},
                               shorter) +
                        "\n";
        EXPECT_EQ(bdy_text.find("\r\n"), shorter ? 132u : 133u);
        EXPECT_EQ(lot_text.find('\n'), shorter ? 58u : 59u);
        const std::string name = home() + (shorter ? "/short" : "/wide");
        std::ofstream(name + ".bdy", std::ios::binary) << bdy_text;
        std::ofstream(name + ".lot", std::ios::binary) << lot_text;
        run("NEW\n");
        const std::string out =
            run("JUPEM\npick file_jupem_btn\n" + name + ".bdy\npick setting_btn\nset lot_area_t 2\nok\nok\n");
        EXPECT_EQ(out.find("is left out"), std::string::npos) << out;
        EXPECT_NE(out.find("4 boundary line(s) drawn (0 repeated line(s) left out), 4 stone(s), 2 lot(s)."),
                  std::string::npos)
            << out;
        EXPECT_EQ(texts("Lot_area"), (std::vector<std::string>{"1.23Ha", "1200.40m\xC2\xB2"}));
        std::vector<std::string> shown;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (!e || e->erased) continue;
            char line[200];
            std::snprintf(line, sizeof line, "%s %s %.6f %.6f", e->type.c_str(), e->layer().c_str(),
                          e->point(10).x, e->point(10).y);
            shown.push_back(line + (e->type == "TEXT" ? " " + e->text(1) : std::string()));
        }
        drawings.push_back(shown);
    }
    // Lines, stones, bearing-distance labels (two on legs of 30, one on legs of
    // 40), lot numbers and areas.
    EXPECT_EQ(drawings[0].size(), 4u + 4u + 6u + 4u);
    EXPECT_EQ(drawings[0], drawings[1]);
}

// The square-metre sign is the superscript-two character in the drawing, and
// readers of the saved file read it so: ezdxf, and GDAL's DXF driver.
TEST_F(JupemImport, TheSquareMetreSignIsReadBackByOtherPrograms)
{
    const std::string bdy = copy_plan("sign");
    run("JUPEM\npick file_jupem_btn\n" + bdy + "\nok\n");
    const std::string saved = home() + "/sign.dxf";
    run("SAVEAS " + saved + "\n");
    const std::string texts = outside::ezdxf_layer_texts(saved, "Lot_area");
    EXPECT_NE(texts.find("'1200m\\xb2'"), std::string::npos) << texts;
    EXPECT_NE(texts.find("'7m%%178'"), std::string::npos) << texts;
    outside::expect_ogrinfo_reads(saved);
    const std::string features = outside::ogrinfo_layer_features(saved, "Lot_area");
    EXPECT_NE(features.find("Text (String) = 1200m\xC2\xB2"), std::string::npos) << features;
}

TEST_F(JupemImport, MissingFilesAreReported)
{
    // A boundary file without its lot file: the plan is drawn, the lot file named.
    const std::string bdy = copy_plan("alone", false);
    std::string out = run("JUPEM\npick file_jupem_btn\n" + bdy + "\nok\n");
    const std::string lot = bdy.substr(0, bdy.size() - 3) + "lot";
    EXPECT_NE(out.find("The lot file \"" + lot + "\" cannot be opened: no lot numbers or areas are drawn."),
              std::string::npos)
        << out;
    EXPECT_EQ(live("LINE", "Lot_line").size(), 9u);
    EXPECT_TRUE(live("TEXT", "Lot_num").empty());

    // No boundary file: nothing at all.
    const size_t before = drawing().model.size();
    out = run("JUPEM\nset file_jupem_t " + home() + "/none.bdy\nok\n");
    EXPECT_NE(
        out.find("The boundary file \"" + home() + "/none.bdy\" cannot be opened: nothing is imported."),
        std::string::npos)
        << out;
    EXPECT_EQ(drawing().model.size(), before);

    // Cancel draws nothing either.
    out = run("JUPEM\npick file_jupem_btn\n" + bdy + "\ncancel\n");
    EXPECT_EQ(drawing().model.size(), before);

    // Beside a boundary file named in capitals the lot file is looked for in capitals.
    const fs::path data = fs::path(ORVIK_SOURCE_DIR) / "tests" / "jupem_import" / "data";
    fs::copy_file(data / "lot1.bdy", fs::path(home()) / "CAPS.BDY", fs::copy_options::overwrite_existing);
    fs::copy_file(data / "lot1.lot", fs::path(home()) / "CAPS.LOT", fs::copy_options::overwrite_existing);
    out = run("JUPEM\npick file_jupem_btn\n" + home() + "/CAPS.BDY\nok\n");
    EXPECT_NE(out.find(", 6 lot(s)."), std::string::npos) << out;
}

TEST_F(JupemImport, RepeatedLinesAreFoundAmongMany)
{
    // A grid of 200 x 200 unit squares: each inner edge listed by both of its
    // squares, in opposite directions.
    std::vector<jupem_line_rec> lines;
    auto add = [&lines](double x1, double y1, double x2, double y2) {
        jupem_line_rec l;
        l.start = {x1, y1, 0};
        l.end = {x2, y2, 0};
        lines.push_back(l);
    };
    const int n = 200;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            add(i, j, i + 1, j);
            add(i + 1, j, i + 1, j + 1);
            add(i + 1.004, j + 1, i, j + 1.003);  // within 0.005 of the corners
            add(i, j + 1, i, j);
        }
    const std::vector<bool> kept = jupem_lines_retained(lines, 0.005);
    const long drawn = std::count(kept.begin(), kept.end(), true);
    EXPECT_EQ(drawn, 2L * n * (n + 1));  // every edge once
    // Of two coinciding lines the later one stays.
    jupem_line_rec a, b;
    a.start = {0, 0, 0};
    a.end = {10, 0, 0};
    b.start = {10.004, 0.0049, 0};
    b.end = {0.004, -0.005, 0};
    EXPECT_TRUE(lines_coincide(a, b, 0.005));
    b.end = {0.0051, 0, 0};
    EXPECT_FALSE(lines_coincide(a, b, 0.005));
    const std::vector<bool> pair = jupem_lines_retained({a, a}, 0.005);
    EXPECT_EQ(pair, (std::vector<bool>{false, true}));
}

}  // namespace
