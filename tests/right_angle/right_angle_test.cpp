// Right-angle points and lines through the host as a surveyor runs them. The
// expected points are worked out in the test from the picked points: unit
// vectors along and across the base line.
#include "right_angle.h"

#include <cmath>
#include <string>
#include <vector>

#include "db/entities.h"
#include "host_fixture.h"
#include "test_entities.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string xy(double x, double y)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.12f,%.12f", x, y);
    return text;
}

class RightAngleTest : public HostFixture {
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
};

// The POINT at chainage c and offset o from P along bearing b, on the right
// (side +1) or the left (-1) of the base line.
host::Point3 right_angle_point(double px, double py, double b_deg, double c, double o, int side)
{
    const double b = b_deg * kPi / 180;
    const double ax = std::sin(b), ay = std::cos(b);  // along
    const double rx = ay, ry = -ax;                   // to the right
    return {px + c * ax + side * o * rx, py + c * ay + side * o * ry, 0};
}

TEST_F(RightAngleTest, PointsByChainageAndOffsetOnABaseLineAtAnAngle)
{
    for (bool survey : {false, true}) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        if (survey) run("(setvar \"ANGBASE\" (/ pi 2))\n(setvar \"ANGDIR\" 1)\n");
        const size_t before = live("POINT").size();
        const double b = 30;
        const host::Point3 ahead = right_angle_point(100, 200, b, 10, 0, 1);
        const host::Point3 right_side = right_angle_point(100, 200, b, 25, 3, 1);
        const host::Point3 left_side = right_angle_point(100, 200, b, 40, 3, -1);
        // A base point, the direction; then chainage 25, a side point on the
        // right, offset 7.5; then chainage 40 on the left with the last offset.
        const std::string out =
            run("(b_pnt_right_angle)\nS\n100,200\n" + xy(ahead.x, ahead.y) + "\n25\n" +
                xy(right_side.x, right_side.y) + "\n7.5\n40\n" + xy(left_side.x, left_side.y) + "\n\nX\n");
        EXPECT_NE(out.find("Point Right Angle ver cpp"), std::string::npos);
        EXPECT_NE(out.find("ra_pnt.dist1 :25.000000"), std::string::npos) << out;
        const auto points = live("POINT");
        ASSERT_EQ(points.size(), before + 2) << out;
        const host::Point3 want1 = right_angle_point(100, 200, b, 25, 7.5, 1);
        const host::Point3 want2 = right_angle_point(100, 200, b, 40, 7.5, -1);
        EXPECT_NEAR(points[before]->point(10).x, want1.x, 1e-9);
        EXPECT_NEAR(points[before]->point(10).y, want1.y, 1e-9);
        EXPECT_NEAR(points[before + 1]->point(10).x, want2.x, 1e-9);
        EXPECT_NEAR(points[before + 1]->point(10).y, want2.y, 1e-9);
        EXPECT_EQ(points[before]->layer(), "Point_tp");
    }
}

TEST_F(RightAngleTest, ChainageZeroSetsOffFromAPointJustAlongTheBase)
{
    // Base along bearing 90 (east); chainage 0; side point north; offset 4.
    run("(b_pnt_right_angle)\n0,0\n10,0\n0\n0,5\n4\nX\n");
    const auto points = live("POINT");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_NEAR(points[0]->point(10).x, 0.00001, 1e-12);
    EXPECT_NEAR(points[0]->point(10).y, 4.0, 1e-12);
    // Esc at the chainage ends; nothing more is made.
    run("(b_pnt_right_angle)\n0,0\n10,0\n^C\n");
    EXPECT_EQ(live("POINT").size(), 1u);
}

TEST_F(RightAngleTest, LinesTurnAtExactRightAngles)
{
    const std::string first =
        run("(b_line_tepat)\nset t_lineplayer LEGS\npick newline_tg\npick yes\n"
            // base, next point: the first leg east (drawn: new line)
            "0,0\n10,0\n"
            // a direction point north of the leg, a typed distance (bad ones first)
            "13,4\n-2\n0\n5\n"
            // mouse mode; a point 5 away 45 degrees off the perpendicular (east)
            "M\n" +
            xy(10 + 5 * std::sin(kPi / 4), 5 + 5 * std::cos(kPi / 4)) +
            "\n"
            // straight on with a typed distance, even in mouse mode
            "T\n3\nX\n");
    EXPECT_NE(first.find("linetp_app.defaultLayer Orvik_survey_temp"), std::string::npos) << first;
    EXPECT_NE(first.find("A distance must be above 0."), std::string::npos) << first;
    const auto lines = live("LINE");
    ASSERT_EQ(lines.size(), 4u) << first;
    const host::Point3 want[][2] = {{{0, 0, 0}, {10, 0, 0}},
                                    {{10, 0, 0}, {10, 5, 0}},
                                    {{10, 5, 0}, {15, 5, 0}},
                                    {{15, 5, 0}, {18, 5, 0}}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[i]->layer(), "LEGS");
        EXPECT_NEAR(lines[i]->point(10).x, want[i][0].x, 1e-9) << i;
        EXPECT_NEAR(lines[i]->point(10).y, want[i][0].y, 1e-9) << i;
        EXPECT_NEAR(lines[i]->point(11).x, want[i][1].x, 1e-9) << i;
        EXPECT_NEAR(lines[i]->point(11).y, want[i][1].y, 1e-9) << i;
    }
    // Each turn is a right angle: the legs' directions are perpendicular (to the
    // product's pi of ten decimals).
    for (size_t i = 1; i < 3; ++i) {
        const double ax = lines[i - 1]->point(11).x - lines[i - 1]->point(10).x;
        const double ay = lines[i - 1]->point(11).y - lines[i - 1]->point(10).y;
        const double bx = lines[i]->point(11).x - lines[i]->point(10).x;
        const double by = lines[i]->point(11).y - lines[i]->point(10).y;
        EXPECT_NEAR((ax * bx + ay * by) / std::hypot(ax, ay) / std::hypot(bx, by), 0.0, 1e-9);
    }
    // The settings layer keeps the "LINETP" setting.
    const host::Entity* layer = drawing().get(drawing().find_record("LAYER", "Orvik_survey_temp"));
    ASSERT_NE(layer, nullptr);
    ASSERT_NE(layer->xdata_of("LINETP"), nullptr);
    EXPECT_EQ(layer->xdata_of("LINETP")->items.at(0).text, "xx");

    // A second run: no dialog; the new-line flag is off, so the first leg only
    // gives the direction; the mode is still mouse.
    run("(b_line_tepat)\n100,0\n100,10\n" + xy(103, 10) + "\nX\n");
    const auto more = live("LINE");
    ASSERT_EQ(more.size(), 5u);
    EXPECT_NEAR(more[4]->point(11).x, 103.0, 1e-9);
    EXPECT_NEAR(more[4]->point(11).y, 10.0, 1e-9);
}

TEST_F(RightAngleTest, SavedSettingsText)
{
    session().set_input(host::script_input(""));
    linetp_app().line_layer = "Line_tp_line";
    linetp_app().scale = 500;
    EXPECT_EQ(right_angle_save_cfg(), RTNORM);
    EXPECT_NE(session().transcript().text().find("xsave Line_tp_line,500.000,"), std::string::npos);
    const host::Entity* layer = drawing().get(drawing().find_record("LAYER", "Orvik_survey_temp"));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->xdata_of("LINETP")->items.at(0).text, "Line_tp_line,500.000,");
}

// Wrong answers are asked again: a word at the base point, a direction point on
// the base point, an empty or negative chainage, a negative offset, a first leg
// of no length and a distance that is no number.
TEST_F(RightAngleTest, WrongAnswersAreAskedAgain)
{
    std::string out = run("(b_pnt_right_angle)\nabc\n0,0\n0,0\n10,0\n\n-5\n4\nabc\n4,3\n-2\n2\nword\nX\n");
    EXPECT_NE(out.find("gives no direction"), std::string::npos) << out;
    EXPECT_NE(out.find("A value is needed here"), std::string::npos) << out;
    EXPECT_NE(out.find("Value must be positive."), std::string::npos) << out;
    EXPECT_NE(out.find("ra_pnt.dist1 :4.000000\n"), std::string::npos) << "a word keeps the chainage";
    auto points = live("POINT");
    ASSERT_EQ(points.size(), 1u) << out;
    EXPECT_NEAR(points[0]->point(10).x, 4.0, 1e-9);
    EXPECT_NEAR(points[0]->point(10).y, 2.0, 1e-9);

    out = run("(b_line_tepat)\npick yes\n0,0\n0,0\n10,0\nabc\n13,4\nabc\n5\nX\n");
    EXPECT_NE(out.find("gives no direction"), std::string::npos) << out;
    EXPECT_NE(out.find("A distance must be above 0."), std::string::npos) << out;
    const auto lines = live("LINE");
    ASSERT_EQ(lines.size(), 1u) << out;
    EXPECT_NEAR(lines[0]->point(10).x, 10.0, 1e-12);
    EXPECT_NEAR(lines[0]->point(11).x, 10.0, 1e-12);
    EXPECT_NEAR(lines[0]->point(11).y, 5.0, 1e-12);
}

}  // namespace
