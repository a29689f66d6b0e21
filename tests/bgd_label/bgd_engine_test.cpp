// The label engine on its own: a style is installed and legs are labelled in a
// host session; positions, texts and rotations are checked against values
// worked out by hand (see each case).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "bgd_style.h"
#include "bgd_table.h"
#include "bgd_test_support.h"
#include "geometry.h"
#include "host_fixture.h"

namespace {

// Offsets used below: installed at 1:1000, text height 1.3 and spacing 0.5
// put the label 0.5 + 0.65 = 1.15 from the leg's midpoint; the combined text
// needs a leg of 1.3 x 30 x 0.625 = 24.375.
class BgdEngine : public HostFixture {
protected:
    bgd_style_rec style(int placement_mode, const char* code)
    {
        bgd_style_rec s;
        bgd_style_defaults(s);
        s.spacing = 0.5;
        s.placement_mode = placement_mode;
        std::strcpy(s.placement_code, code);
        return s;
    }
};

void expect_at(const drawn_text& t, double x, double y, double angle_deg)
{
    EXPECT_NEAR(t.at.x, x, 1e-3) << t.text;
    EXPECT_NEAR(t.at.y, y, 1e-3) << t.text;
    EXPECT_NEAR(t.angle_deg, angle_deg, 1e-3) << t.text;
}

TEST_F(BgdEngine, InstalledCopyHoldsScaledSizes)
{
    bgd_style_rec s;
    bgd_style_defaults(s);
    s.plot_scale = 500;
    bgd_style_set_scaled(s);
    EXPECT_DOUBLE_EQ(bgd_style_current.text_height, 0.65);
    EXPECT_DOUBLE_EQ(bgd_style_current.spacing, 0.5);
    EXPECT_DOUBLE_EQ(bgd_style_current.spread_factor, 1.983 * 0.5);
    EXPECT_DOUBLE_EQ(bgd_style_current.width_factor, 1.0);
    EXPECT_DOUBLE_EQ(s.text_height, 1.3);  // the caller's record keeps its values
}

// A leg from (0,0) at bearing 200, 30 long: p2 = (30 sin 200, 30 cos 200) =
// (-10.2606, -28.1908), midpoint (-5.1303, -14.0954). Its "above" side is 290
// (200 + 90): (-6.2109, -13.7021); the other side 110: (-4.0497, -14.4887).
// Text rotation 200 - 180 = 20, the entity angle 90 - 20 = 70.
struct code_case {
    int mode;
    const char* code;
    const char* at_290;  // text expected on the west-north-west side ("" none)
    const char* at_110;  // text expected on the east-south-east side
};

TEST_F(BgdEngine, PlacementByCodeAndAutomaticOnALegAtBearing200)
{
    const code_case cases[] = {
        {0, "BD/", "", "200%%d00'00\" 30.000"},  // automatic: bearing left of travel
        {1, "B/", "200%%d00'00\"", ""},
        {1, "/D", "", "30.000"},
        {1, "b/d", "200%%d00'00\"", "30.000"},
        {1, "D/B", "30.000", "200%%d00'00\""},
        {1, "DB/", "30.000 200%%d00'00\"", ""},
        {1, "/BD", "", "200%%d00'00\" 30.000"},
        {1, "XY", "", ""},
        {2, "BD/", "", ""},
    };
    point3d_rec p2;
    polar_point(200, 30, point3d_rec{0, 0, 0}, p2);
    for (const code_case& c : cases) {
        SCOPED_TRACE(c.code + std::string(" mode ") + std::to_string(c.mode));
        const size_t before = texts_on("Bgd").size();
        bgd_style_set_scaled(style(c.mode, c.code));
        bgd_label_leg(point3d_rec{0, 0, 0}, p2);
        std::vector<drawn_text> all = texts_on("Bgd");
        std::vector<drawn_text> made(all.begin() + static_cast<long>(before), all.end());
        const size_t wanted = (c.at_290[0] ? 1u : 0u) + (c.at_110[0] ? 1u : 0u);
        ASSERT_EQ(made.size(), wanted);
        if (c.at_290[0]) expect_at(text_with(made, c.at_290), -6.2109, -13.7021, 70);
        if (c.at_110[0]) expect_at(text_with(made, c.at_110), -4.0497, -14.4887, 70);
    }
}

TEST_F(BgdEngine, LegsAlongTheAxesAndTheCombinedTextLimit)
{
    bgd_style_set_scaled(style(0, "BD/"));
    // Due south: placed as bearing 0, text reading north (angle 90), west side.
    bgd_label_leg(point3d_rec{140, 30, 0}, point3d_rec{140, 0, 0});
    // Due east, exactly 24.375: the combined text, above (north).
    bgd_label_leg(point3d_rec{0, 50, 0}, point3d_rec{24.375, 50, 0});
    // Due east, 24.374: bearing above and distance below.
    bgd_label_leg(point3d_rec{0, 80, 0}, point3d_rec{24.374, 80, 0});
    const std::vector<drawn_text> t = texts_on("Bgd");
    ASSERT_EQ(t.size(), 4u);
    expect_at(text_with(t, "180%%d00'00\" 30.000"), 138.85, 15, 90);
    expect_at(text_with(t, "90%%d00'00\" 24.375"), 12.1875, 51.15, 0);
    expect_at(text_with(t, "90%%d00'00\""), 12.187, 81.15, 0);
    expect_at(text_with(t, "24.374"), 12.187, 78.85, 0);
    EXPECT_NEAR(t[0].height, 1.3, 1e-9);
    EXPECT_EQ(t[0].justification, 4);
}

// Feet and inches (unit factor 10.0): 3.81 m = 12.5 ft -> 12'6"; 12.99 ft
// (3.959352 m) has 11.88 inches, which round to 12 -> 13'00". Decimal feet
// (0.3048): 37.62756 m = 123.45 ft -> 123'.450. Links: 20.1168 m = 100 links.
TEST_F(BgdEngine, DistanceUnits)
{
    struct unit_case {
        double factor;
        double metres;
        const char* text;
    } cases[] = {{10.0, 3.81, "12'6\""},
                 {10.0, 3.959352, "13'00\""},
                 {0.3048, 37.62756, "123'.450"},
                 {0.201168, 20.1168, "100.000"}};
    for (const unit_case& c : cases) {
        bgd_style_rec s = style(1, "/D");
        s.unit_factor_value = c.factor;
        bgd_style_set_scaled(s);
        const size_t before = texts_on("Bgd").size();
        bgd_label_leg(point3d_rec{0, 0, 0}, point3d_rec{c.metres, 0, 0});
        const std::vector<drawn_text> t = texts_on("Bgd");
        ASSERT_EQ(t.size(), before + 1);
        EXPECT_EQ(t.back().text, c.text);
    }
    EXPECT_EQ(bgd_feet_inches_text(3.81), "12'6\"");
}

// Known bearing and distance texts: the points are used as they are, and the
// suffix is appended to the distance text.
TEST_F(BgdEngine, LegWithKnownTexts)
{
    bgd_style_rec s = style(0, "BD/");
    std::strcpy(s.distance_suffix, "m");
    bgd_style_set_scaled(s);
    bgd_label_leg_text(point3d_rec{0, 0, 0}, point3d_rec{30, 40, 0}, "36.5212", 50, "50.000");
    const std::vector<drawn_text> t = texts_on("Bgd");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, "36%%d52'12\" 50.000m");
    // Midpoint (15,20), above side 36.8699 + 270: (15 - 0.92, 20 + 0.69).
    expect_at(t[0], 14.08, 20.69, 53.1301);
}

// Engineering spacing on a 50 m leg at bearing 90: u = 1.0 x 1.983 x 1.3 =
// 2.5779; the three number texts "90", "00", "00" take 6u = 15.4674, the
// distance "50.000" another 15.4674; n = (50 - 30.9348) / 4 = 4.77 -> 5 blanks
// behind each mark. Code "B": n = (50 - 15.4674) / 4 = 8.63 -> 9, and none
// behind the seconds.
TEST_F(BgdEngine, SpreadBearing)
{
    bgd_style_rec s = style(0, "BD/");
    s.spread_bearing = 1;
    bgd_style_set_scaled(s);
    bgd_label_leg(point3d_rec{0, 0, 0}, point3d_rec{50, 0, 0});
    const std::vector<drawn_text> t = texts_on("Bgd");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text, "90%%d     00'     00\"      50.000");
    EXPECT_EQ(bgd_bearing_spread(50, "50.000", "B", "90", "00", "00"), "90%%d         00'         00\"");
    // A very long leg is capped at 149 blanks behind each mark.
    EXPECT_EQ(bgd_bearing_spread(1e6, "", "B", "90", "00", "00").size(),
              std::string("90%%d00'00\"").size() + 298);
}

// Table rows: row number at the leg's marker point, then number, bearing and
// distance at x, x + 15h, x + 29h (h = 1.3) and, with coordinates, northing and
// easting at x + 54h and x + 79h; rows 2 x 1.3 apart.
TEST_F(BgdEngine, TableRowsForShortLegs)
{
    bgd_style_rec s = style(0, "BD/");
    s.table_on = 1;
    s.table_new = 1;
    s.table_coords = 1;
    s.table_pos = point3d_rec{500, 400, 0};
    bgd_style_set_scaled(s);
    bgd_label_leg(point3d_rec{0, 0, 0}, point3d_rec{8.999, 0, 0});  // a row
    bgd_label_leg(point3d_rec{0, 20, 0}, point3d_rec{9, 20, 0});    // a label
    EXPECT_EQ(bgd_style_current.table_row, 2);
    EXPECT_EQ(bgd_style_current.table_new, 0);
    EXPECT_NEAR(bgd_style_current.table_pos.y, 397.4, 1e-9);

    const std::vector<drawn_text> table = texts_on("table");
    ASSERT_EQ(table.size(), 6u);
    expect_at(table[0], 4.4995, -1.15, 0);  // marker below the leg (side 180)
    EXPECT_EQ(table[0].text, "1");
    const struct {
        const char* text;
        double x;
    } columns[] = {{"1", 500}, {"90%%d00'00\"", 519.5}, {"8.999", 537.7}, {"0.000", 570.2}, {"8.999", 602.7}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(table[i + 1].text, columns[i].text);
        EXPECT_NEAR(table[i + 1].at.x, columns[i].x, 1e-6);
        EXPECT_NEAR(table[i + 1].at.y, 400, 1e-6);
    }
    const std::vector<drawn_text> labels = texts_on("Bgd");
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].text, "90%%d00'00\"");
    EXPECT_EQ(labels[1].text, "9.000");

    // Past 32760 the numbering starts again at 1.
    bgd_style_current.table_row = 32761;
    bgd_label_leg(point3d_rec{0, 40, 0}, point3d_rec{5, 40, 0});
    EXPECT_EQ(texts_on("table")[6].text, "1");
    EXPECT_EQ(bgd_style_current.table_row, 2);
}

// The engineering table: two rows for kind 0 (station and first point, then
// both stations, bearing, distance and second point); no alert box.
TEST_F(BgdEngine, EngineeringTable)
{
    bgd_style_rec s = style(0, "BD/");
    bgd_style_set_scaled(s);
    EXPECT_EQ(bgd_table_eng_style({0, 0, 0}, {30, 40, 0}, "36.5212", "50.000", "1", "2", 0), 1);
    s.eng_table = 1;
    s.table_pos = point3d_rec{0, 100, 0};
    bgd_style_set_scaled(s);
    EXPECT_EQ(bgd_table_eng_style({0, 0, 0}, {30, 40, 0}, "36.5212", "50.000", "1", "2", 0), 2);
    const std::vector<drawn_text> t = texts_on("table");
    ASSERT_EQ(t.size(), 9u);  // 1, N, E / 1, 2, bearing, distance, N, E
    EXPECT_EQ(t[5].text, "36%%d52'12\"");
    EXPECT_NEAR(t[5].at.x, 18 * 1.3, 1e-6);
    EXPECT_NEAR(t[5].at.y, 100 - 2.6, 1e-6);
    EXPECT_EQ(t[7].text, "40.000");
    EXPECT_NEAR(bgd_style_current.table_pos.y, 100 - 5.2, 1e-9);
    EXPECT_EQ(session().transcript().text().find("labelbgd_make_table_eng_style"), std::string::npos);
}

}  // namespace
