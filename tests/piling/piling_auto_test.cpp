// b_pile_auto through the host: a site of a few thousand proposed piles and
// their surveyed points, collected in the dialog by layer, matched through the
// nearest-point index and labelled. The expected eccentricities are worked out
// in the test from the grid's unit vectors; the matching from the site as the
// test laid it out.
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "db/entities.h"
#include "drawing_queries.h"
#include "host_fixture.h"
#include "settings_store.h"
#include "test_entities.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
const char* const kCollectBoth = "pick btn_select_proposed\nALL\n\npick btn_select_surveyed\nALL\n\n";

std::string mm(double metres)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", std::fabs(metres) * 1000.0);
    return text;
}

// Positions to a tenth of a millimetre, as map keys.
std::pair<long, long> key_of(double x, double y)
{
    return {std::lround(x * 1e4), std::lround(y * 1e4)};
}

class PilingAuto : public HostFixture {
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
    void point(const char* layer, double x, double y) { ASSERT_TRUE(test_make_point(layer, x, y, 0)); }
    void circle(const char* layer, double x, double y)
    {
        ads_point centre = {x, y, 0};
        ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "CIRCLE", 8, layer, 10, centre, 40, 0.3, 0)));
    }
    // The eccentricity texts by position.
    std::map<std::pair<long, long>, const host::Entity*> texts_by_position()
    {
        std::map<std::pair<long, long>, const host::Entity*> out;
        for (const host::Entity* t : live("TEXT", "Pile_ecc"))
            out[key_of(t->point(10).x, t->point(10).y)] = t;
        return out;
    }
};

struct Pile {
    double x, y;    // proposed
    double sx, sy;  // surveyed
};

// The texts a matched pile must get on the automatic default grid (rotation
// 90: grid north along the drawing's east, grid east along its south).
void expect_figure(std::map<std::pair<long, long>, const host::Entity*>& texts, const Pile& p)
{
    const double dx = p.sx - p.x, dy = p.sy - p.y;
    const double n = dx, e = -dy;
    const double arrow = 0.5;
    const double sn = n >= 0 ? 1 : -1, se = e >= 0 ? 1 : -1;
    const auto north = texts.find(key_of(p.x + sn * arrow, p.y));
    const auto east = texts.find(key_of(p.x, p.y - se * arrow));
    ASSERT_NE(north, texts.end()) << p.x << "," << p.y;
    ASSERT_NE(east, texts.end()) << p.x << "," << p.y;
    EXPECT_EQ(north->second->text(1), mm(n)) << p.x << "," << p.y;
    EXPECT_EQ(east->second->text(1), mm(e)) << p.x << "," << p.y;
    // Each text carries its value as a 32-bit integer.
    for (const host::Entity* t : {north->second, east->second}) {
        const host::XDataApp* tag = t->xdata_of("PILE_AUTO_DAT");
        ASSERT_NE(tag, nullptr);
        ASSERT_EQ(tag->items.size(), 1u);
        EXPECT_EQ(tag->items[0].code, 1071);
        EXPECT_EQ(std::to_string(tag->items[0].integer), t->text(1));
    }
    EXPECT_NEAR(north->second->real(50), 0.0, 1e-9);  // along grid north: the drawing's east
    EXPECT_NEAR(east->second->real(50), 3 * kPi / 2, 1e-9);
}

// 3000 piles on a 3 m grid, each surveyed within 80 mm of its place, and
// three piles off the grid: one whose only surveyed point lies 25 m away (no
// match), and two at equal distance from one surveyed point (the later keeps it).
TEST_F(PilingAuto, SiteOfThousandsMatchedThroughTheIndex)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> off(-0.08, 0.08);
    std::vector<Pile> piles;
    for (int i = 0; i < 60; ++i)
        for (int j = 0; j < 50; ++j) {
            Pile p{1000 + 3.0 * i, 2000 + 3.0 * j, 0, 0};
            p.sx = p.x + off(random);
            p.sy = p.y + off(random);
            piles.push_back(p);
        }
    for (const Pile& p : piles) point("Pile_Proposed", p.x, p.y);
    point("Pile_Proposed", 500, 500);
    point("Pile_Proposed", 700, 700);
    point("Pile_Proposed", 700, 704);
    for (const Pile& p : piles) point("Pile_surveyed", p.sx, p.sy);
    point("Pile_surveyed", 525, 500);
    point("Pile_surveyed", 700, 702);
    point("OTHER", 1001, 2001);  // on neither layer

    const std::string out = run(std::string("(b_pile_auto)\n") + kCollectBoth + "show\nok\n");
    EXPECT_NE(out.find("text_proposed_obj_selected: text, value \"3003 object selected\""),
              std::string::npos);
    EXPECT_NE(out.find("text_surveyed_obj_selected: text, value \"3002 object selected\""),
              std::string::npos);
    EXPECT_NE(
        out.find("Pile 3001 at 500.000,500.000 has no surveyed point within 20.000; it is not labelled."),
        std::string::npos)
        << out.substr(0, 3000);
    EXPECT_NE(out.find("Pile 3002 at 700.000,700.000: its nearest surveyed point 700.000,702.000 is kept by "
                       "pile 3003, nearer to it; it is not labelled."),
              std::string::npos);
    EXPECT_NE(
        out.find("3001 pile(s) labelled, 1 without a surveyed point within 20.000, 1 whose surveyed point a "
                 "nearer pile kept."),
        std::string::npos);

    auto texts = texts_by_position();
    ASSERT_EQ(live("TEXT", "Pile_ecc").size(), 2u * 3001);
    ASSERT_EQ(live("INSERT", "Pile_ecc").size(), 2u * 3001);
    for (const Pile& p : piles) expect_figure(texts, p);
    expect_figure(texts, Pile{700, 704, 700, 702});

    // The settings as a KEY=VALUE list on the settings layer.
    const host::Entity* layer = drawing().get(drawing().find_record("LAYER", "Orvik_survey_temp"));
    ASSERT_NE(layer, nullptr);
    std::vector<std::string> entries;
    for (const host::Group& g : layer->xdata_of("PILE_AUTO")->items)
        if (g.code == 1000) entries.push_back(g.text);
    ASSERT_EQ(entries.size(), 10u);
    EXPECT_EQ(entries[0], "INDEX=10");
    EXPECT_EQ(entries[1], "PILE_ECC_LAYER=Pile_ecc");
    EXPECT_EQ(entries[2], "PROPOSED_LAYER=Pile_Proposed");
    EXPECT_EQ(entries[3], "SURVEYED_LAYER=Pile_surveyed");
    EXPECT_NE(entries[4].find("/drawing/Pile_Arrow.dwg"), std::string::npos);
    EXPECT_EQ(entries[5], "SCALE=100.000");
    EXPECT_EQ(entries[8], "GRID_ROT=90.000");
    EXPECT_EQ(entries[9], "OBJECT_POSITION=0");
}

// A stored list is read back over the defaults: keys without regard to case,
// unknown keys skipped, the count taken from the first entry.
TEST_F(PilingAuto, StoredListReadBack)
{
    ASSERT_EQ(acdbRegApp("PILE_AUTO"), RTNORM);
    std::vector<key_string_rec> list;
    for (const char* entry :
         {"INDEX=5", "pile_ecc_layer=SITE_ECC", "COLOUR=7", "Scale=250", "GRID_ROT=45.5", "TEXT_HEIGHT=9"})
        key_string_push(list, 0, entry);
    ASSERT_EQ(layer_xdata_save_list("Orvik_survey_temp", "PILE_AUTO", 0, list), 1);
    const std::string out = run("(b_pile_auto)\nshow\ncancel\n");
    EXPECT_NE(out.find("text_layer_ecc: edit_box, label \"Eccentricity layer :\", value \"SITE_ECC\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("text_scale: edit_box, label \"Scale 1:\", value \"250.000\""), std::string::npos);
    EXPECT_NE(out.find("text_grid_rot: edit_box, label \"Grid rotation (bearing) :\", value \"45.500000\""),
              std::string::npos);
    // Entry 5 is past the count of 5: the height stays the default.
    EXPECT_NE(out.find("text_txth: edit_box, label \"Text height :\", value \"1.300\""), std::string::npos);
}

// Bad values and empty selections are said in the dialog, OK waits for both
// collections, the object type BLOCK collects nothing, and cancelling draws
// nothing.
TEST_F(PilingAuto, BadInputIsSaidAndNothingIsDrawn)
{
    point("Pile_Proposed", 0, 0);
    const size_t entities = drawing().model.size();
    const std::string out =
        run("(b_pile_auto)\nset text_scale abc\nset text_txth 0\nset text_width -1\nshow\nset text_layer_ecc "
            "a*b\n"
            "pick btn_select_surveyed\n\nok\n"
            "select pop_object_type 2\npick btn_select_proposed\n"
            "set text_grid_rot 10\nshow\ncancel\n");
    EXPECT_NE(out.find("error: text, value \"The value must be more than 0.\""), std::string::npos) << out;
    EXPECT_NE(out.find("No POINT on layer Pile_surveyed was selected."), std::string::npos) << out;
    EXPECT_NE(out.find("The OK button is disabled; the action is refused."), std::string::npos) << out;
    EXPECT_NE(out.find("The object type BLOCK collects nothing; choose POINT or CIRCLE."), std::string::npos);
    EXPECT_NE(out.find("Tile \"text_grid_rot\" is disabled; the action is refused."), std::string::npos);
    EXPECT_NE(out.find("text_scale: edit_box, label \"Scale 1:\", value \"100.000\""), std::string::npos);
    EXPECT_NE(out.find("text_layer_ecc: edit_box, label \"Eccentricity layer :\", value \"Pile_ecc\""),
              std::string::npos);
    EXPECT_NE(out.find("text_proposed_obj_selected: text, value \"0 object selected\""), std::string::npos);
    EXPECT_EQ(drawing().model.size(), entities);
    EXPECT_EQ(queries::stored_setting(drawing(), "PILE_AUTO"), "INDEX=1");
}

// Circles as proposed piles on a layer chosen from the layer list; a rotated
// grid picked by two points.
TEST_F(PilingAuto, CirclesOnALayerFromTheList)
{
    const double b = 35 * kPi / 180;
    const std::vector<Pile> piles = {
        {10, 10, 10.021, 9.987}, {20, 10, 19.95, 10.03}, {30, 10, 30.004, 10.061}};
    for (const Pile& p : piles) {
        circle("AAA_CAPS", p.x, p.y);
        point("Pile_surveyed", p.sx, p.sy);
    }
    char second[64];
    std::snprintf(second, sizeof second, "%.15f,%.15f", 100 * std::sin(b), 100 * std::cos(b));
    const std::string out = run(std::string("(b_pile_auto)\nselect pop_object_type 1\n") +
                                "pick btn_object_layer\nselect listbox_layer 1\nok\n"
                                "pick btn_pick_gridrot\n0,0\n" +
                                second + "\n" + kCollectBoth + "ok\n");
    const auto texts = live("TEXT", "Pile_ecc");
    ASSERT_EQ(texts.size(), 6u) << out;
    for (size_t i = 0; i < piles.size(); ++i) {
        const double dx = piles[i].sx - piles[i].x, dy = piles[i].sy - piles[i].y;
        const double n = dx * std::sin(b) + dy * std::cos(b);
        const double e = dx * std::cos(b) - dy * std::sin(b);
        EXPECT_EQ(texts[2 * i]->text(1), mm(e)) << i;
        EXPECT_EQ(texts[2 * i + 1]->text(1), mm(n)) << i;
    }
}

}  // namespace
