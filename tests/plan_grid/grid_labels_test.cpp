// Grid labels (b_grid_auto_label) through the host: five parallel grid LINEs
// 30 m apart, drawn in no particular order, crossed at an angle by a main LINE;
// the drawing is saved and read back with ezdxf. The crossings, the side
// point's offset and every position are worked out here from the lines'
// equations: distance texts at the offset beside the middle of two crossings,
// heads at twice the offset beside each crossing, arrows at the ends of each
// dimension pointing away from its text.
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "drawing_queries.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "test_entities.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kSurveyAngles = "(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n";

// Every entity but the grid lines, one row each: "TEXT layer text halign x y
// rotation height" (the alignment point of a justified text), "CIRCLE layer x y
// r", "INSERT layer block x y rotation xscale", "LINE layer x1 y1 x2 y2"; then
// "BLOCK n" with the number of entities of the arrow block's definition.
const char* kRowsScript = R"py(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
for e in doc.modelspace():
    t, layer = e.dxftype(), e.dxf.layer
    if t == "TEXT":
        p = e.dxf.align_point if (e.dxf.halign or e.dxf.valign) else e.dxf.insert
        print("TEXT", layer, e.dxf.text, e.dxf.halign, p.x, p.y, e.dxf.rotation % 360.0, e.dxf.height)
    elif t == "CIRCLE":
        print("CIRCLE", layer, e.dxf.center.x, e.dxf.center.y, e.dxf.radius)
    elif t == "INSERT":
        print("INSERT", layer, e.dxf.name, e.dxf.insert.x, e.dxf.insert.y, e.dxf.rotation % 360.0, e.dxf.xscale)
    elif t == "LINE" and layer != "GRID":
        print("LINE", layer, e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y)
print("BLOCK", len(doc.blocks.get("Grid_Arrow")) if "Grid_Arrow" in doc.blocks else -1)
)py";

struct row {
    std::string kind, layer, name;  // name: the text or block
    std::vector<double> values;
};

struct vec {
    double x = 0, y = 0;
};
vec operator+(vec a, vec b)
{
    return {a.x + b.x, a.y + b.y};
}
vec operator-(vec a, vec b)
{
    return {a.x - b.x, a.y - b.y};
}
vec operator*(double k, vec a)
{
    return {k * a.x, k * a.y};
}
double dot(vec a, vec b)
{
    return a.x * b.x + a.y * b.y;
}
double cross(vec a, vec b)
{
    return a.x * b.y - a.y * b.x;
}
double length(vec a)
{
    return std::hypot(a.x, a.y);
}

std::string point_text(vec p)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.9f,%.9f", p.x, p.y);
    return buffer;
}

// The labelling worked out from the main line (from its end nearer the pick),
// the side point and the grid lines x = xs[i].
struct expected_labels {
    vec normal;  // unit, toward the side point
    vec along;   // unit, along the main line from its start
    double offset = 0;
    std::vector<vec> crossings;  // in order along the main line
    double rotation = 0;         // of the texts, degrees counter-clockwise, reading left to right

    expected_labels(vec start, vec end, vec side, const std::vector<double>& xs)
    {
        along = (1.0 / length(end - start)) * (end - start);
        normal = {-along.y, along.x};
        if (dot(normal, side - start) < 0) normal = -1.0 * normal;
        offset = dot(normal, side - start);
        std::vector<std::pair<double, vec>> found;
        for (double x : xs) {
            const double t = (x - start.x) / (end.x - start.x);
            const vec at = start + t * (end - start);
            found.push_back({dot(at - start, along), at});
        }
        std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.first < b.first; });
        for (auto& f : found) crossings.push_back(f.second);
        rotation = std::atan2(along.y, along.x) * 180 / kPi;
        if (rotation <= -90 + 1e-9) rotation += 180;  // never upside down
        if (rotation > 90 + 1e-9) rotation -= 180;
        if (rotation < 0) rotation += 360;
    }
};

class GridLabelTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    static void line(vec a, vec b, const char* layer = "GRID")
    {
        ads_point p = {a.x, a.y, 0}, q = {b.x, b.y, 0};
        ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "LINE", 8, layer, 10, p, 11, q, 0)));
    }

    // The grid lines in no order of x, then the main line.
    void grid_and_main(vec main_from, vec main_to)
    {
        for (double x : {90.0, 0.0, 60.0, 120.0, 30.0}) line({x, -80}, {x, 80});
        line(main_from, main_to, "MAIN");
    }

    std::vector<row> saved_rows(const std::string& name)
    {
        const std::string file = home() + "/" + name + ".dxf";
        run("SAVEAS " + file + "\n");
        std::string output;
        EXPECT_EQ(outside::run_ezdxf_script(kRowsScript, {file}, output), 0) << output;
        std::vector<row> rows;
        std::istringstream lines(output);
        for (std::string text; std::getline(lines, text);) {
            std::istringstream fields(text);
            row r;
            fields >> r.kind;
            if (r.kind != "BLOCK") fields >> r.layer;
            if (r.kind == "TEXT" || r.kind == "INSERT") fields >> r.name;
            for (double v; fields >> v;) r.values.push_back(v);
            rows.push_back(r);
        }
        return rows;
    }

    static std::vector<row> of(const std::vector<row>& rows, const std::string& kind,
                               const std::string& layer)
    {
        std::vector<row> out;
        for (const row& r : rows)
            if (r.kind == kind && r.layer == layer) out.push_back(r);
        return out;
    }

    // Checks the saved drawing against the expected labelling, with the heads'
    // texts in order from the main line's start.
    void expect_labels(const std::vector<row>& rows, const expected_labels& want,
                       const std::vector<std::string>& heads)
    {
        const auto& c = want.crossings;
        // Distance texts: 1.3 high, middle-justified beside the middle.
        const auto distances = of(rows, "TEXT", "Grid_Dist");
        ASSERT_EQ(distances.size(), c.size() - 1);
        for (size_t i = 0; i + 1 < c.size(); ++i) {
            SCOPED_TRACE("distance " + std::to_string(i));
            const row& t = distances[i];
            char d[32];
            std::snprintf(d, sizeof d, "%.3f", length(c[i + 1] - c[i]));
            EXPECT_EQ(t.name, d);
            const vec at = 0.5 * (c[i] + c[i + 1]) + want.offset * want.normal;
            EXPECT_EQ(t.values[0], 4) << "middle";
            EXPECT_NEAR(t.values[1], at.x, 1e-6);
            EXPECT_NEAR(t.values[2], at.y, 1e-6);
            EXPECT_NEAR(t.values[3], want.rotation, 1e-6);
            EXPECT_NEAR(t.values[4], 1.3, 1e-9);
        }
        // Heads and their circles beside every crossing at twice the offset.
        const auto head_texts = of(rows, "TEXT", "Grid_Header");
        const auto circles = of(rows, "CIRCLE", "Grid_Header");
        ASSERT_EQ(head_texts.size(), heads.size());
        ASSERT_EQ(circles.size(), heads.size());
        for (size_t i = 0; i < heads.size(); ++i) {
            SCOPED_TRACE("head " + heads[i]);
            const vec at = c[i] + 2 * want.offset * want.normal;
            EXPECT_EQ(head_texts[i].name, heads[i]);
            EXPECT_NEAR(head_texts[i].values[1], at.x, 1e-6);
            EXPECT_NEAR(head_texts[i].values[2], at.y, 1e-6);
            EXPECT_NEAR(head_texts[i].values[3], want.rotation, 1e-6);
            EXPECT_NEAR(head_texts[i].values[4], 3.5, 1e-9);
            EXPECT_NEAR(circles[i].values[0], at.x, 1e-6);
            EXPECT_NEAR(circles[i].values[1], at.y, 1e-6);
            EXPECT_NEAR(circles[i].values[2], 4.375, 1e-9);
        }
        // Two arrows a dimension, at the offset beside its crossings, along the
        // main line and pointing away from the dimension's text.
        const auto arrows = of(rows, "INSERT", "Grid_Dist");
        ASSERT_EQ(arrows.size(), 2 * (c.size() - 1));
        for (size_t k = 0; k < arrows.size(); ++k) {
            SCOPED_TRACE("arrow " + std::to_string(k));
            const row& a = arrows[k];
            const size_t pair = k / 2;
            const vec at{a.values[0], a.values[1]};
            const vec ends[2] = {c[pair] + want.offset * want.normal,
                                 c[pair + 1] + want.offset * want.normal};
            EXPECT_NEAR(std::min(length(at - ends[0]), length(at - ends[1])), 0, 1e-6);
            const vec text_at = 0.5 * (ends[0] + ends[1]);
            const double r = a.values[2] * kPi / 180;
            const vec pointing{std::cos(r), std::sin(r)};
            EXPECT_NEAR(cross(pointing, want.along), 0, 1e-9) << "along the main line";
            EXPECT_GT(dot(pointing, at - text_at), 0) << "away from the text";
            EXPECT_EQ(a.name, "Grid_Arrow");
            EXPECT_NEAR(a.values[3], 1.0, 1e-12);
        }
        // Each dimension line joins an arrow's point to its text, along the main line.
        const auto lines = of(rows, "LINE", "Grid_Dist");
        ASSERT_EQ(lines.size(), arrows.size());
        for (const row& l : lines) {
            const vec from{l.values[0], l.values[1]}, to{l.values[2], l.values[3]};
            EXPECT_NEAR(cross(to - from, want.along), 0, 1e-6);
            bool at_arrow = false;
            for (const row& a : arrows) at_arrow |= length(from - vec{a.values[0], a.values[1]}) < 1e-6;
            EXPECT_TRUE(at_arrow);
        }
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.back().kind, "BLOCK");
        EXPECT_EQ(rows.back().values.at(0), 3) << "the arrow block's three lines";
    }
};

const std::vector<double> kGridXs = {0, 30, 60, 90, 120};

// Numbered heads 1 to 5, the first one at the first crossing (the main line
// starts before it); the same in a drawing set to survey angles.
TEST_F(GridLabelTest, DistancesHeadsAndArrowsAlongAnAngledMainLine)
{
    const vec start{-20, -50}, end{150, 40}, side{40, 5};
    const vec pick = start + (5.0 / 170) * (end - start);
    const expected_labels want(start, end, side, kGridXs);
    for (bool survey : {false, true}) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        run("NEW\n" + std::string(survey ? kSurveyAngles : ""));
        grid_and_main(start, end);
        const std::string out =
            run("(b_grid_auto_label)\nok\n" + point_text(pick) + "\n" + point_text(side) + "\nALL\n\n");
        EXPECT_NE(out.find("Pick Arah:"), std::string::npos) << out;
        const auto rows = saved_rows(survey ? "survey" : "default");
        expect_labels(rows, want, {"1", "2", "3", "4", "5"});
        EXPECT_NEAR(length(want.crossings[1] - want.crossings[0]), 30 * std::hypot(170, 90) / 170, 1e-9);
    }
}

// The main line drawn from right to left and picked near its right end: the
// texts keep their reading direction, and the heads run from the right. With
// lettered heads from "A" behind the leading text "G".
TEST_F(GridLabelTest, LetteredHeadsFromAMainLineDrawnRightToLeft)
{
    const vec start{150, 40}, end{-20, -50}, side{40, 5};
    const vec pick = start + (5.0 / 170) * (end - start);
    grid_and_main(start, end);
    run("(b_grid_auto_label)\npick rd_start_text\npick tg_leadingtext\nset leadingtext_text G\nok\n" +
        point_text(pick) + "\n" + point_text(side) + "\nALL\n\n");
    const expected_labels want(start, end, side, kGridXs);
    EXPECT_LT(want.rotation, 90);
    expect_labels(saved_rows("lettered"), want, {"GA", "GB", "GC", "GD", "GE"});
}

// Bad answers leave the drawing as it was: a main entity that is no LINE, a
// pick on nothing, an exit at the side prompt, an empty selection, a side point
// on the main line (asked again), lines that do not cross.
TEST_F(GridLabelTest, BadAnswersLeaveTheDrawingUnchanged)
{
    grid_and_main({-20, -50}, {150, 40});
    ads_point centre = {300, 300, 0};
    ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "CIRCLE", 8, "0", 10, centre, 40, 5.0, 0)));
    const size_t before = drawing().model.size();
    run("(b_grid_auto_label)\nok\n");
    std::string out = run("(b_grid_auto_label)\n305,300\n40,5\n");
    EXPECT_NE(out.find("** Alert: Sorry Hanya LINE"), std::string::npos) << out;
    run("(b_grid_auto_label)\n500,500\n");
    run("(b_grid_auto_label)\n-15,-47.352941176\nX\n");
    run("(b_grid_auto_label)\n-15,-47.352941176\n40,5\n\n");
    EXPECT_EQ(drawing().model.size(), before);
    // A side point on the main line is asked again; only lines that do not cross.
    line({200, 0}, {200, 10});
    line({210, 0}, {210, 10});
    out = run("(b_grid_auto_label)\n-15,-47.352941176\n65,-5\n40,5\nW\n190,-5\n215,15\n\n");
    EXPECT_NE(out.find("The side point lies on the main line: pick a point beside it."), std::string::npos)
        << out;
    EXPECT_NE(out.find("2 selected LINE(s) do not cross the main line and are left out."), std::string::npos);
    EXPECT_NE(out.find("Fewer than two of the selected LINEs cross the main line: nothing to label."),
              std::string::npos);
    EXPECT_EQ(drawing().model.size(), before + 2);
}

// The settings stored in the drawing: the whole text, read again when the
// drawing changes; a text over 250 characters is refused with the alert and
// not stored; a comma, which would split the stored text, is refused.
TEST_F(GridLabelTest, StoredSettingsTheirLimitAndCommas)
{
    std::string out =
        run("(b_grid_auto_label)\nset start_number_text 7\nset block_arrow_text "
            "/a,b/Grid_Arrow.dwg\nshow\nok\n^C\n");
    EXPECT_NE(out.find("A comma cannot be kept in this setting."), std::string::npos) << out;
    EXPECT_NE(out.find("block_arrow_text: edit_box, label \"Arrow block :\", value \"" +
                       std::string(ORVIK_INSTALL_TREE)),
              std::string::npos);
    const std::string arrow = std::string(ORVIK_INSTALL_TREE) + "/drawing/Grid_Arrow.dwg";
    const std::string stored = "1000.000,1,Grid_Dist,1.300,1.000,0,0,3," + arrow +
                               ",1.000,1,Grid_Header,3.500,1.000,1,Grid_Header,4.375,1,7,0,A,A,0,";
    EXPECT_EQ(queries::stored_setting(drawing(), "GRD_LBL"), stored);
    EXPECT_NE(out.find("\nssave " + stored), std::string::npos);

    // Another drawing starts from the defaults; the first one's are read again.
    out = run("NEW\n(b_grid_auto_label)\nshow\ncancel\n");
    EXPECT_NE(out.find("start_number_text: edit_box, value \"1\""), std::string::npos) << out;
    out = run("SWITCH 1\n(b_grid_auto_label)\nshow\ncancel\n");
    EXPECT_NE(out.find("start_number_text: edit_box, value \"7\""), std::string::npos) << out;

    // A long arrow path makes the text too long: refused whole, nothing stored.
    const std::string long_path = "/" + std::string(200, 'a') + "/Grid_Arrow.dwg";
    out = run("SWITCH 2\n(b_grid_auto_label)\nset block_arrow_text " + long_path + "\nok\n^C\n");
    EXPECT_NE(out.find("** Alert: Sorry Cannot save setting - to string exceed 250"), std::string::npos)
        << out;
    EXPECT_EQ(queries::stored_setting(drawing(), "GRD_LBL"), "");
    // The settings in memory keep the path: the arrows cannot be had.
    grid_and_main({-20, -50}, {150, 40});
    out = run("(b_grid_auto_label)\n-15,-47.352941176\n40,5\nALL\n\n");
    EXPECT_NE(out.find("The arrow block " + long_path +
                       " cannot be found: the distances are drawn without arrows."),
              std::string::npos)
        << out;
    EXPECT_EQ(test_live_entities(drawing(), "INSERT").size(), 0u);
    EXPECT_EQ(test_live_entities(drawing(), "TEXT", "Grid_Dist").size(), 4u);
}

// The enable rules: heads off clears and disables the head kinds; the number
// and letter buttons exclude each other; a new head height sets the circle.
TEST_F(GridLabelTest, DialogEnableRules)
{
    const std::string out = run(
        "(b_grid_auto_label)\nset textheight_head_text 4\npick rd_start_text\nshow\npick tg_text_head\nshow\n"
        "pick tg_dist\nshow\ncancel\n");
    EXPECT_NE(out.find("circle_radius_text: edit_box, label \"Circle radius :\", value \"5.0000\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("rd_start_number: radio_button, label \"Numbers from\", value \"0\", enabled"),
              std::string::npos);
    EXPECT_NE(out.find("start_text_text: edit_box, value \"A\", enabled"), std::string::npos);
    EXPECT_NE(out.find("rd_start_text: radio_button, label \"Letters from\", value \"0\", disabled"),
              std::string::npos);
    EXPECT_NE(out.find("tg_headcircle: toggle, label \"Circle round the head\", value \"0\", disabled"),
              std::string::npos);
    EXPECT_NE(out.find("unit_pop: popup_list, label \"Unit :\", value \"0\", disabled"), std::string::npos);
}

}  // namespace
