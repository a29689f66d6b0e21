// The plan grid (b_block_grid) through the host as a user runs it: the dialog
// answered by script, the frame picked from it, the drawing saved and read back
// with ezdxf. Expected ticks and texts are worked out in the test from the
// frame: a tick runs 10 x scale / 1000 from where a grid value crosses an edge,
// into the frame; northings stand 2 x spacing below their tick (above for a
// negative value), eastings one text height and spacing before theirs, reading
// down the sheet (up for a negative value).
#include "plan_grid.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "drawing_queries.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "test_entities.h"

namespace {

constexpr const char* kSurveyAngles = "(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n";

// The LINEs and TEXTs of a layer as ezdxf reads them from a saved drawing, one
// row each, sorted: "LINE x1 y1 x2 y2" and "TEXT text halign x y rotation",
// where the point is the alignment point of a justified text and the insertion
// point of a left-justified one, and the rotation lies in 0 to 360.
const char* kRowsScript = R"py(
import sys, ezdxf
msp = ezdxf.readfile(sys.argv[1]).modelspace()
rows = []
def n(v):
    v = round(v, 4)
    return "%.4f" % (0.0 if v == 0 else v)
for e in msp:
    if e.dxf.layer != sys.argv[2]:
        continue
    if e.dxftype() == "LINE":
        rows.append("LINE %s %s %s %s" % (n(e.dxf.start.x), n(e.dxf.start.y), n(e.dxf.end.x), n(e.dxf.end.y)))
    elif e.dxftype() == "TEXT":
        p = e.dxf.align_point if e.dxf.halign else e.dxf.insert
        rows.append("TEXT %s %d %s %s %s" % (e.dxf.text, e.dxf.halign, n(p.x), n(p.y), n(e.dxf.rotation % 360.0)))
    else:
        rows.append("OTHER " + e.dxftype())
for r in sorted(rows):
    print(r)
)py";

std::string num(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4f", std::fabs(v) < 5e-5 ? 0.0 : v);
    return buffer;
}

std::string line_row(double x1, double y1, double x2, double y2)
{
    return "LINE " + num(x1) + " " + num(y1) + " " + num(x2) + " " + num(y2);
}

std::string text_row(const std::string& text, int halign, double x, double y, double rotation)
{
    return "TEXT " + text + " " + std::to_string(halign) + " " + num(x) + " " + num(y) + " " + num(rotation);
}

struct letters {
    const char *north, *east, *west;
};
constexpr letters kMalay{"U", "T", "B"};
constexpr letters kEnglish{"N", "E", "W"};

// The rows an axis-aligned frame from (x0, y0) to (x1, y1) must give with the
// interval and the sizes at 1:1000 times s (text height 2, spacing 2, tick 10).
std::vector<std::string> axis_frame_rows(double x0, double y0, double x1, double y1, double interval,
                                         double s, const letters& l)
{
    const double h = 2 * s, g = 2 * s, tick = 10 * s;
    std::vector<std::string> rows;
    auto value_text = [](const char* positive, const char* negative, double v) {
        return std::string(v < 0 ? negative : positive) + " " +
               std::to_string(static_cast<long>(std::fabs(v)));
    };
    for (long k = static_cast<long>(std::ceil(y0 / interval)); k * interval <= y1; ++k) {
        const double y = k * interval;
        const std::string text = value_text(l.north, "S", y);
        const double ty = y >= 0 ? y - 2 * g : y + g;
        rows.push_back(line_row(x0, y, x0 + tick, y));
        rows.push_back(text_row(text, 0, x0 + g, ty, 0));
        rows.push_back(line_row(x1, y, x1 - tick, y));
        rows.push_back(text_row(text, 2, x1 - g, ty, 0));
    }
    for (long k = static_cast<long>(std::ceil(x0 / interval)); k * interval <= x1; ++k) {
        const double x = k * interval;
        const std::string text = value_text(l.east, l.west, x);
        const double tx = x >= 0 ? x - (h + g) : x + (h + g);
        const double rotation = x >= 0 ? 270 : 90;
        rows.push_back(line_row(x, y1, x, y1 - tick));
        rows.push_back(text_row(text, x >= 0 ? 0 : 2, tx, y1 - g, rotation));
        rows.push_back(line_row(x, y0, x, y0 + tick));
        rows.push_back(text_row(text, x >= 0 ? 2 : 0, tx, y0 + g, rotation));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string point_text(double x, double y)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.9f,%.9f", x, y);
    return buffer;
}

class PlanGridTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    // The command with dialog lines before the frame pick, the frame, then OK.
    std::string grid(double x1, double y1, double x2, double y2, double x3, double y3,
                     const std::string& dialog = "")
    {
        return run("(b_block_grid)\n" + dialog + "pick pick_grd_btn\n" + point_text(x1, y1) + "\n" +
                   point_text(x2, y2) + "\n" + point_text(x3, y3) + "\nok\n");
    }

    std::vector<std::string> saved_rows(const std::string& name, const std::string& layer = "BLOCK_GRID")
    {
        const std::string file = home() + "/" + name + ".dxf";
        run("SAVEAS " + file + "\n");
        std::string output;
        EXPECT_EQ(outside::run_ezdxf_script(kRowsScript, {file, layer}, output), 0) << output;
        std::vector<std::string> rows;
        size_t start = 0;
        for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
            rows.push_back(output.substr(start, end - start));
        return rows;
    }

    size_t entity_count() { return drawing().model.size(); }
};

// The frame of the example: northings 2100 to 2500 on the left and right edges
// only, eastings 1100 to 1500 on the top and bottom edges only; in Malay and
// English letters, and the same in a drawing set to survey angles (the texts
// made through the TEXT command are answered in the drawing's angle units).
TEST_F(PlanGridTest, AxisAlignedFrameInBothLanguagesAndAngleSettings)
{
    struct Case {
        const char* name;
        bool survey;
        int language;
    } cases[] = {
        {"malay", false, 0}, {"english", false, 1}, {"malay_survey", true, 0}, {"english_survey", true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run("NEW\n" + std::string(c.survey ? kSurveyAngles : ""));
        const std::string out = grid(1050, 2030, 1050, 2530, 1550, 2030,
                                     "select language_pop " + std::to_string(c.language) + "\n");
        EXPECT_NE(out.find("Plan grid: 20 ticks and 20 labels on layer BLOCK_GRID."), std::string::npos)
            << out;
        const auto want = axis_frame_rows(1050, 2030, 1550, 2530, 100, 1, c.language ? kEnglish : kMalay);
        ASSERT_EQ(want.size(), 40u);
        EXPECT_EQ(saved_rows(c.name), want);
    }
}

// Values on both sides of zero at 1:500: the first values of negative minima
// are truncated toward zero (-250 starts at -200), negative northings read "S"
// above their tick, negative eastings read up the sheet from the other side.
TEST_F(PlanGridTest, NegativeValuesScaleAndLayer)
{
    struct Case {
        int language;
        const letters& l;
    } cases[] = {{0, kMalay}, {1, kEnglish}};
    for (const Case& c : cases) {
        run("NEW\n");
        grid(-250, -250, -250, 150, 150, -250,
             "set scale_text 500\nset layer_text GRID_500\nselect language_pop " +
                 std::to_string(c.language) + "\n");
        const auto rows = saved_rows("negative" + std::to_string(c.language), "GRID_500");
        EXPECT_EQ(rows, axis_frame_rows(-250, -250, 150, 150, 100, 0.5, c.l));
        EXPECT_NE(std::find(rows.begin(), rows.end(), text_row("S 200", 0, -249, -199, 0)), rows.end());
    }
}

// A frame turned by 30 degrees: every crossing of a grid value with an edge
// gets a tick into the frame; labels only where northings cross the left and
// right edges and eastings the top and bottom ones. Crossings are worked out
// here from the edges' equations.
TEST_F(PlanGridTest, TurnedFrameTicksEveryCrossingInward)
{
    const double pi = 3.14159265358979323846, turn = 30 * pi / 180;
    struct P {
        double x, y;
    };
    const P p1{1000, 2000}, p2{1000 + 400 * std::sin(turn), 2000 + 400 * std::cos(turn)},
        p3{1000 + 300 * std::cos(turn), 2000 - 300 * std::sin(turn)},
        p4{p3.x + p2.x - p1.x, p3.y + p2.y - p1.y};
    const std::string out = grid(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y);
    const P corners[4] = {p1, p2, p4, p3};  // left, top, right, bottom edges from each corner
    std::multiset<std::string> want_ticks;
    int want_labels = 0;
    for (int axis = 0; axis < 2; ++axis) {  // 0 northings, 1 eastings
        for (int v = 900; v <= 2600; v += 100) {
            for (int edge = 0; edge < 4; ++edge) {
                const P a = corners[edge], b = corners[(edge + 1) % 4];
                const double ca = axis == 0 ? a.y : a.x, cb = axis == 0 ? b.y : b.x;
                if ((v - ca) * (v - cb) > 0 || ca == cb) continue;
                const double t = (v - ca) / (cb - ca);
                const double qx = a.x + t * (b.x - a.x), qy = a.y + t * (b.y - a.y);
                // The tick runs 10 along the axis to the frame's side of the
                // edge: the right of an edge of this clockwise frame.
                const double dx = axis == 0 ? 10 : 0, dy = axis == 0 ? 0 : 10;
                const double side = (b.x - a.x) * dy - (b.y - a.y) * dx;
                const double ex = side < 0 ? qx + dx : qx - dx, ey = side < 0 ? qy + dy : qy - dy;
                want_ticks.insert(line_row(qx, qy, ex, ey));
                const bool label_edge = axis == 0 ? (edge == 0 || edge == 2) : (edge == 1 || edge == 3);
                if (label_edge) ++want_labels;
            }
        }
    }
    std::multiset<std::string> ticks;
    int labels = 0;
    for (const std::string& row : saved_rows("turned")) {
        if (row.rfind("LINE", 0) == 0) ticks.insert(row);
        if (row.rfind("TEXT", 0) == 0) ++labels;
    }
    EXPECT_EQ(ticks, want_ticks) << out;
    EXPECT_EQ(labels, want_labels);
    EXPECT_GT(want_ticks.size(), static_cast<size_t>(want_labels)) << "tick-only marks on the other edges";
}

// A frame whose first edge drifts a hundred-millionth of a metre off north is
// axis-aligned: its edges along grid values get no stray ticks where they run
// along a grid line.
TEST_F(PlanGridTest, AFrameWithinATinyDriftOfNorthIsAxisAligned)
{
    grid(1000, 2000, 1000, 2500, 1500, 2000);
    const auto exact = saved_rows("exact");
    run("NEW\n");
    grid(1000, 2000, 1000.00000001, 2500, 1500, 2000);
    EXPECT_EQ(saved_rows("drift"), exact);
    EXPECT_EQ(exact, axis_frame_rows(1000, 2000, 1500, 2500, 100, 1, kMalay));
}

// An interval of 0 or less would never reach the frame's far side: the command
// refuses it after the dialog and draws nothing.
TEST_F(PlanGridTest, AnIntervalOfZeroOrLessIsRefused)
{
    for (const char* interval : {"0", "-100"}) {
        SCOPED_TRACE(interval);
        const size_t before = entity_count();
        const std::string out =
            grid(1050, 2030, 1050, 2530, 1550, 2030, std::string("set sela_text ") + interval + "\n");
        EXPECT_NE(out.find("The grid interval must be more than 0"), std::string::npos) << out;
        EXPECT_NE(out.find("nothing was drawn."), std::string::npos);
        EXPECT_EQ(entity_count(), before);
    }
    // Put right in the dialog, the same settings draw.
    const std::string out = grid(1050, 2030, 1050, 2530, 1550, 2030, "show\nset sela_text 250\n");
    EXPECT_NE(out.find("sela_text: edit_box, label \"Grid interval :\", value \"-100.0000\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Plan grid: 8 ticks and 8 labels"), std::string::npos) << out;
}

// Bad answers: OK waits for the frame, a word at a point prompt is asked again,
// a frame of three points on a line is refused, a word in a number tile puts
// the number back, a cancelled dialog draws nothing and keeps the settings.
TEST_F(PlanGridTest, BadAnswersAreAskedAgainOrRefused)
{
    std::string out =
        run("(b_block_grid)\nok\nset textheight_text big\nset layer_text BAD*NAME\npick pick_grd_btn\n"
            "0,0\n0,100\n0,50\nshow\nok\ncancel\n");
    EXPECT_NE(out.find("The OK button is disabled"), std::string::npos) << out;
    EXPECT_NE(out.find("make no frame"), std::string::npos) << out;
    EXPECT_NE(out.find("textheight_text: edit_box, label \"Text height :\", value \"2.0000\""),
              std::string::npos);
    EXPECT_NE(out.find("layer_text: edit_box, label \"Layer :\", value \"BLOCK_GRID\""), std::string::npos);
    EXPECT_EQ(queries::count(out, "The OK button is disabled"), 2u) << "no frame, still no OK";
    EXPECT_EQ(entity_count(), 0u);

    out =
        run("(b_block_grid)\nset sela_text 50\npick pick_grd_btn\nnorth\n1050,2030\n1050,2530\n1550,2030\n"
            "cancel\n");
    EXPECT_NE(out.find("Pick origin point 1:north"), std::string::npos) << out;
    EXPECT_EQ(entity_count(), 0u);
    out = grid(1050, 2030, 1050, 2530, 1550, 2030, "show\n");
    EXPECT_NE(out.find("value \"100.0000\""), std::string::npos) << "the cancelled interval was not kept";
    EXPECT_NE(out.find("Plan grid: 20 ticks"), std::string::npos);
}

// The settings live in the plug-in: another drawing starts from them.
TEST_F(PlanGridTest, SettingsAreSharedByEveryDrawing)
{
    grid(1050, 2030, 1050, 2530, 1550, 2030, "set sela_text 250\nselect language_pop 1\n");
    run("NEW\n");
    const std::string out = grid(1050, 2030, 1050, 2530, 1550, 2030, "show\n");
    EXPECT_NE(out.find("sela_text: edit_box, label \"Grid interval :\", value \"250.0000\""),
              std::string::npos);
    EXPECT_NE(out.find("language_pop: popup_list, label \"Letters :\", value \"1\""), std::string::npos);
    const auto rows = saved_rows("shared");
    EXPECT_NE(std::find(rows.begin(), rows.end(), text_row("N 2250", 0, 1052, 2246, 0)), rows.end());
}

// A picture of the frame and its grid, as a user would look at it.
TEST_F(PlanGridTest, PictureOfTheGridFrame)
{
    const std::vector<host::Point3> frame = {
        {1050, 2030, 0}, {1050, 2530, 0}, {1550, 2530, 0}, {1550, 2030, 0}};
    ASSERT_TRUE(test_make_lwpolyline("FRAME", 1, frame));
    grid(1050, 2030, 1050, 2530, 1550, 2030, "select language_pop 1\n");
    const std::string png = home() + "/grid_frame.png";
    const std::string out = run("PICTURE " + png + " 1030,2010 1570,2550\n");
    ASSERT_TRUE(std::filesystem::exists(png)) << out;
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
}

// The grid-value alignment that no command calls, worked by hand: within one
// interval the candidate stays; from a start above the base the candidate
// steps down past the base and one step back; from below it steps up past it.
TEST_F(PlanGridTest, GridValueAlignment)
{
    struct Case {
        double base, start, candidate, interval, want;
    } cases[] = {
        {1000, 1050, 1100, 100, 1100},  // start within one interval of the base
        {1000, 1500, 1370, 100, 1070},  // 1370 -> 970 below the base; one step back
        {1000, 1500, 1300, 100, 1000},  // 1000 is not below the base: the last value not below it
        {1000, 500, 630, 100, 1030},    // 630 -> 1030, the first value above the base
        {1000, 1000, 630, 100, 630},    // start at the base
        {1000, 1500, 1370, 0, 1370},    // no interval to step by
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.candidate);
        EXPECT_DOUBLE_EQ(grid_value_align(c.base, c.start, c.candidate, c.interval), c.want);
    }
    const std::string& said = session().transcript().text();
    EXPECT_NE(said.find("\ndist[500.000000] startx[1500.000000] px[1370.000000] pbase[1000.000000]"),
              std::string::npos)
        << said;
}

}  // namespace
