// b_piling_pick through the host as a surveyor runs it: the settings dialog,
// then pile cap, surveyed point and label point, one pile after another. The
// expected eccentricities are worked out in the test from the site grid's unit
// vectors (north along the grid's bearing, east a right angle clockwise from
// it), not from bearings.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "db/entities.h"
#include "drawing_queries.h"
#include "host_fixture.h"
#include "settings_store.h"
#include "test_entities.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string xy(double x, double y)
{
    char text[80];
    std::snprintf(text, sizeof text, "%.12f,%.12f", x, y);
    return text;
}

std::string mm(double metres)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", std::fabs(metres) * 1000.0);
    return text;
}

struct Grid {
    double north_x, north_y, east_x, east_y;
};
Grid grid_at(double bearing_deg)
{
    const double b = bearing_deg * kPi / 180;
    return {std::sin(b), std::cos(b), std::cos(b), -std::sin(b)};
}

// The figure the test expects for a pile: texts at B (east) and A (north).
struct Figure {
    host::Point3 east_at, north_at;
    std::string east_text, north_text;
};
Figure expected(const Grid& g, host::Point3 cap, host::Point3 surveyed, host::Point3 label, double arrow)
{
    const double dx = surveyed.x - cap.x, dy = surveyed.y - cap.y;
    const double e = dx * g.east_x + dy * g.east_y, n = dx * g.north_x + dy * g.north_y;
    const double se = e >= -1e-12 ? 1 : -1, sn = n >= -1e-12 ? 1 : -1;
    return {{label.x + se * arrow * g.east_x, label.y + se * arrow * g.east_y, 0},
            {label.x + sn * arrow * g.north_x, label.y + sn * arrow * g.north_y, 0},
            mm(e),
            mm(n)};
}

class PilingPick : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }
    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        return test_live_entities(drawing(), type, layer);
    }
    // The text at the point (to a micrometre), or null.
    const host::Entity* text_at(const host::Point3& at, size_t from = 0)
    {
        const auto texts = live("TEXT", "pile_ecc");
        for (size_t i = from; i < texts.size(); ++i)
            if (std::hypot(texts[i]->point(10).x - at.x, texts[i]->point(10).y - at.y) < 1e-6)
                return texts[i];
        return nullptr;
    }
};

// Four piles on a site grid turned 30 degrees: one displacement in each
// quadrant of the grid, labelled away from the pile. Run again in a drawing
// set to survey angles, the figures are the same.
TEST_F(PilingPick, EccentricityOnARotatedSiteGrid)
{
    const Grid g = grid_at(30);
    const struct {
        host::Point3 cap, surveyed, label;
    } piles[] = {
        {{100, 200, 0}, {100.012, 200.034, 0}, {103, 204, 0}},
        {{110, 200, 0}, {109.981, 200.007, 0}, {113, 204, 0}},
        {{120, 200, 0}, {119.975, 199.948, 0}, {123, 204, 0}},
        {{130, 200, 0}, {130.041, 199.993, 0}, {133, 204, 0}},
    };
    std::string picks;
    for (const auto& p : piles)
        picks += xy(p.cap.x, p.cap.y) + "\n" + xy(p.surveyed.x, p.surveyed.y) + "\n" +
                 xy(p.label.x, p.label.y) + "\n";
    for (bool survey : {false, true}) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        const size_t texts_before = live("TEXT").size();
        std::string script = "(b_piling_pick)\n";
        if (survey) {
            run("(setvar \"ANGBASE\" (/ pi 2))\n(setvar \"ANGDIR\" 1)\n");
        } else {
            // The grid's bearing by two picks, 30 degrees east of north.
            script += "pick pick_gridrot_btn\n0,0\n" + xy(50, 50 * std::sqrt(3.0)) + "\nok\n";
        }
        const std::string out = run(script + picks + "X\n");
        EXPECT_NE(out.find("Pile Ecc version sds 1.0"), std::string::npos) << out;
        EXPECT_NE(out.find("Exit Thank you come again.."), std::string::npos) << out;
        ASSERT_EQ(live("TEXT").size(), texts_before + 8) << out;
        ASSERT_EQ(live("INSERT", "pile_ecc").size(), (texts_before / 8 + 1) * 8) << out;
        for (const auto& p : piles) {
            const Figure f = expected(g, p.cap, p.surveyed, p.label, 0.5);
            const host::Entity* east = text_at(f.east_at, texts_before);
            const host::Entity* north = text_at(f.north_at, texts_before);
            ASSERT_NE(east, nullptr) << p.cap.x;
            ASSERT_NE(north, nullptr) << p.cap.x;
            EXPECT_EQ(east->text(1), f.east_text) << p.cap.x;
            EXPECT_EQ(north->text(1), f.north_text) << p.cap.x;
            // North texts run along the grid's north (bearing 30: 60 degrees
            // from the x axis), east texts along its east (330 degrees).
            EXPECT_NEAR(north->real(50), 60 * kPi / 180, 1e-9);
            EXPECT_NEAR(east->real(50), 330 * kPi / 180, 1e-9);
            EXPECT_NEAR(north->real(40), 0.13, 1e-12);
            EXPECT_EQ(north->xdata_of("PILE_AUTO_DAT"), nullptr);
        }
    }
    // The arrows: one at each text, scaled 100 / 1000, pointing away from the
    // label point (the block's arrow points along its x axis).
    for (const host::Entity* arrow : live("INSERT", "pile_ecc")) {
        EXPECT_EQ(arrow->text(2), "Pile_Arrow");
        EXPECT_NEAR(arrow->real(41), 0.1, 1e-12);
        EXPECT_NE(text_at(arrow->point(10)), nullptr);
    }
    // The settings went to the eccentricity layer, its name to the settings layer.
    EXPECT_EQ(queries::stored_setting(drawing(), "PILE"), "pile_ecc");
    const host::Entity* layer = drawing().get(drawing().find_record("LAYER", "pile_ecc"));
    ASSERT_NE(layer, nullptr);
    const std::string stored = queries::xdata_text(*layer, "PILE");
    EXPECT_EQ(stored.substr(0, 33), "100.000,1.300,1.000,30.000000,1,/") << stored;
    EXPECT_NE(stored.find("/drawing/Pile_Arrow.dwg,"), std::string::npos) << stored;
}

// Due east of the cap on an unturned grid: the east text is the distance, the
// north one "0", and the north arrow points north (zero counts as positive).
// A displacement due west keeps the north arrow north too.
TEST_F(PilingPick, ZeroComponentCountsAsPositive)
{
    const std::string out = run("(b_piling_pick)\nok\n50,50\n51,50\n50,50\n60,50\n59.5,50\n60,50\nX\n");
    const Grid g = grid_at(0);
    for (const auto& c : {std::pair<double, double>{50, 51}, {60, 59.5}}) {
        const Figure f = expected(g, {c.first, 50, 0}, {c.second, 50, 0}, {c.first, 50, 0}, 0.5);
        const host::Entity* north = text_at(f.north_at);
        const host::Entity* east = text_at(f.east_at);
        ASSERT_NE(north, nullptr) << out;
        ASSERT_NE(east, nullptr) << out;
        EXPECT_EQ(north->text(1), "0");
        EXPECT_GT(north->point(10).y, 50.0);
        EXPECT_EQ(east->text(1), c.first == 50 ? "1000" : "500");
    }
}

// Every field of the dialog refuses what is no sound value, with a reason on
// its error line, and cancelling leaves the drawing as it was; the next call
// asks again and takes what was typed.
TEST_F(PilingPick, DialogRefusesBadValuesAndCancelDrawsNothing)
{
    const size_t entities = live("TEXT").size() + live("INSERT").size();
    std::string out =
        run("(b_piling_pick)\nset t_scale abc\nset t_scale 0\nset t_txth -1.3\nset t_width x\n"
            "set t_layer bad*name\nset t_rot 45\nshow\nset t_scale -2\nshow\ncancel\n");
    EXPECT_NE(out.find("error: text, value \"\"x\" is no number. The value must be more than 0.\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("error: text, value \"The value must be more than 0.\""), std::string::npos) << out;
    EXPECT_NE(out.find("t_scale: edit_box, label \"Scale 1:\", value \"100.0000\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("t_txth: edit_box, label \"Text height :\", value \"1.3000\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("t_layer: edit_box, label \"Eccentricity layer :\", value \"pile_ecc\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Tile \"t_rot\" is disabled; the action is refused."), std::string::npos) << out;
    EXPECT_EQ(live("TEXT").size() + live("INSERT").size(), entities);

    out = run("(b_piling_pick)\nset t_scale 500\nset t_layer ECC_500\nok\n0,0\n0,0.02\n0,0\nX\n");
    const auto texts = live("TEXT", "ECC_500");
    ASSERT_EQ(texts.size(), 2u) << out;
    EXPECT_NEAR(texts[0]->real(40), 1.3 * 0.5, 1e-12);
    EXPECT_EQ(queries::stored_setting(drawing(), "PILE"), "ECC_500");
}

// An arrow drawing that cannot be found is said and nothing is drawn; the
// fixed path older drawings stored stands for the installed drawing.
TEST_F(PilingPick, ArrowDrawingFoundOrSaid)
{
    std::string out =
        run("(b_piling_pick)\nset t_blockname /no/such/Pile_Arrow.dwg\nok\n0,0\n0,0.02\n0,0\nX\n");
    EXPECT_NE(
        out.find(
            "The arrow block drawing /no/such/Pile_Arrow.dwg cannot be found; no eccentricity is drawn."),
        std::string::npos)
        << out;
    EXPECT_TRUE(live("TEXT").empty());
    EXPECT_TRUE(live("INSERT").empty());
}

// A drawing whose stored settings name the fixed path older drawings kept:
// the installed arrow drawing is used, and the dialog shows it.
TEST_F(PilingPick, FixedProgramFilesPathStandsForTheInstalledDrawing)
{
    ASSERT_EQ(acdbRegApp("PILE"), RTNORM);
    ASSERT_EQ(layer_xdata_put("Orvik_survey_temp", "PILE", "pile_ecc", 0), RTNORM);
    ASSERT_EQ(
        layer_xdata_put(
            "pile_ecc", "PILE",
            "200.000,2.000,0.800,0.000000,0,c:\\Program Files\\OrvikSurvey\\drawing\\Pile_Arrow.dwg,", 0),
        RTNORM);
    const std::string out = run("(b_piling_pick)\nshow\nok\n0,0\n0.003,0.004\n0,0\nX\n");
    EXPECT_NE(out.find("/drawing/Pile_Arrow.dwg\""), std::string::npos) << out;
    EXPECT_NE(out.find("t_scale: edit_box, label \"Scale 1:\", value \"200.0000\""), std::string::npos)
        << out;
    ASSERT_EQ(live("INSERT", "pile_ecc").size(), 2u) << out;
    EXPECT_NEAR(live("INSERT", "pile_ecc")[0]->real(41), 0.2, 1e-12);
    std::vector<std::string> values;
    for (const host::Entity* t : live("TEXT", "pile_ecc")) values.push_back(t->text(1));
    EXPECT_EQ(values, (std::vector<std::string>{"3", "4"}));
}

// Status 4 of the first dialog runs the over-limit tool: every eccentricity
// text above the limit goes to "<layer>_<limit>"; texts that are no numbers
// and those at or below the limit stay. An empty selection moves nothing.
TEST_F(PilingPick, OverLimitToolMovesLargeEccentricities)
{
    for (const char* value : {"12", "75", "76", "120", "abc"}) {
        ads_point at = {0, 0, 0};
        ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "TEXT", 8, "pile_ecc", 10, at, 40, 1.0, 1, value, 0)));
    }
    std::string out = run("(b_piling_pick)\npick extra_btn\n\n\nALL\n\n");
    EXPECT_NE(out.find("Layer=pile_ecc eccx=75 nsel=5"), std::string::npos) << out;
    std::vector<std::string> moved;
    for (const host::Entity* t : live("TEXT", "pile_ecc_75")) moved.push_back(t->text(1));
    EXPECT_EQ(moved, (std::vector<std::string>{"76", "120"}));
    EXPECT_EQ(live("TEXT", "pile_ecc").size(), 3u);

    out = run("(b_piling_pick)\npick extra_btn\nNOTHING_HERE\n100\nALL\n\n");
    EXPECT_NE(out.find("No TEXT on layer NOTHING_HERE was selected; nothing moved."), std::string::npos)
        << out;
}

}  // namespace
