// Bearings in degrees, their D.MMSS and label forms, the bearing-label parser,
// and the length units. D.MMSS values are worked out by hand: e.g. 10 deg 20 min
// 56 s = 10 + 20/60 + 56/3600 degrees.
#include <gtest/gtest.h>

#include <string>

#include "angles.h"
#include "constants.h"
#include "units.h"

namespace {

TEST(AngleArithmetic, WholeCircle)
{
    EXPECT_DOUBLE_EQ(angle_deg_to_rad(180.0), ORVIK_PI);
    EXPECT_DOUBLE_EQ(angle_rad_to_deg(ORVIK_PI / 2), 90.0);
    EXPECT_DOUBLE_EQ(angle_add(350, 20), 10);
    EXPECT_DOUBLE_EQ(angle_add(10, -20), 350);
    EXPECT_DOUBLE_EQ(angle_add(180, 180), 0);
    EXPECT_DOUBLE_EQ(angle_reverse(200), 20);
    EXPECT_DOUBLE_EQ(angle_reverse(10), 190);
    EXPECT_DOUBLE_EQ(angle_reverse(180), 0);
    EXPECT_DOUBLE_EQ(angle_diff(10, 350), 20);
    EXPECT_DOUBLE_EQ(angle_diff(350, 10), 20);
    EXPECT_DOUBLE_EQ(angle_diff(0, 180), 180);
    EXPECT_DOUBLE_EQ(angle_diff(100, 40), 60);
    EXPECT_DOUBLE_EQ(angle_diff(5, 5), 0);
    EXPECT_DOUBLE_EQ(angle_dms_parts_to_deg("123", "45", "30"), 123 + 45 / 60.0 + 30 / 3600.0);
}

TEST(AngleToDms, TableOfCases)
{
    const struct {
        double angle;
        int round;
        const char* dms;
    } cases[] = {
        {359.99999, 0, "0.0000"},  // seconds carry into minutes, minutes into degrees, 360 -> 0
        {90, 0, "90.0000"},
        {12.5, 0, "12.3000"},
        {10 + 20 / 60.0 + 56 / 3600.0, 1, "10.2100"},  // 56 s rounds to 60 and carries
        {10 + 20 / 60.0 + 56 / 3600.0, 0, "10.2056"},
        {123 + 45 / 60.0 + 30 / 3600.0, 0, "123.4530"},
        {45 + 30 / 60.0 + 15 / 3600.0, 1, "45.3020"},  // 15 s -> 20
        {45 + 30 / 60.0 + 14 / 3600.0, 1, "45.3010"},  // 14 s -> 10
        {45 + 30 / 60.0 + 4 / 3600.0, 1, "45.3000"},
        {45 + 30 / 60.0 + 15 / 3600.0, 0, "45.3015"},
        {0, 0, "0.0000"},
        {360, 0, "0.0000"},
        {270, 0, "270.0000"},
        {5.1, 0, "5.0600"},
        {29.999999, 0, "30.0000"},
        {1 + 5 / 60.0 + 7 / 3600.0, 0, "1.0507"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(angle_deg_to_dms_text(c.angle, c.round), c.dms) << c.angle << " round " << c.round;
    EXPECT_EQ(angle_deg_to_dms_label(123 + 45 / 60.0 + 30 / 3600.0, 0), "123%%d45'30\"");
    EXPECT_EQ(angle_deg_to_dms_label(7 + 5 / 60.0, 0), "7%%d05'00\"");
}

TEST(DmsText, SplitAndBack)
{
    std::string d, m, s;
    bearing_text_split("123.4530", d, m, s);
    EXPECT_EQ(d, "123");
    EXPECT_EQ(m, "45");
    EXPECT_EQ(s, "30");
    bearing_text_split("12.3", d, m, s);
    EXPECT_EQ(d, "12");
    EXPECT_EQ(m, "3");
    EXPECT_EQ(s, "");
    bearing_text_split("45", d, m, s);
    EXPECT_EQ(d, "45");
    EXPECT_EQ(m, "");
    EXPECT_EQ(s, "");
    EXPECT_NEAR(angle_dms_to_deg(123.4530), 123 + 45 / 60.0 + 30 / 3600.0, 1e-12);
    EXPECT_NEAR(angle_dms_to_deg(12.3), 12.5, 1e-12);  // "12.3000": 30 minutes
}

TEST(BearingText, ParseAndRebuild)
{
    const struct {
        const char* text;
        int stage, degrees, minutes, seconds, gap1, gap2, gap3;
        double number;
        int decimals;
        const char* rebuilt;
    } cases[] = {
        {"123%%d45'30\"", 3, 123, 45, 30, 1, 1, 1, 0, -1, "123%%d45'30\""},
        {"12%%d 05' 07\"  12.50", 4, 12, 5, 7, 2, 2, 3, 12.5, 2, "12%%d 05' 07\"  12.50"},
        {"12%%d05'07\"  ", 3, 12, 5, 7, 1, 1, 3, 0, -1, "12%%d05'07\"  "},
        {"12%%d05'07\" 20", 4, 12, 5, 7, 1, 1, 2, 20, -1, "12%%d05'07\" 20"},
        {"5%%d30'", 2, 5, 30, 0, 1, 0, 0, 0, -1, "5%%d30'"},
        {"45%%d", 1, 45, 0, 0, 0, 0, 0, 0, -1, ""},
        {"N45", 0, 0, 0, 0, 0, 0, 0, 0, -1, ""},
        {"1234%%d", 0, 0, 0, 0, 0, 0, 0, 0, -1, ""},  // degree mark beyond index 3
    };
    for (const auto& c : cases) {
        bearing_text_parse(c.text);
        const bearing_text_state& st = bearing_text_current;
        EXPECT_EQ(st.stage, c.stage) << c.text;
        EXPECT_EQ(st.degrees, c.degrees) << c.text;
        EXPECT_EQ(st.minutes, c.minutes) << c.text;
        EXPECT_EQ(st.seconds, c.seconds) << c.text;
        EXPECT_EQ(st.gap1, c.gap1) << c.text;
        EXPECT_EQ(st.gap2, c.gap2) << c.text;
        EXPECT_EQ(st.gap3, c.gap3) << c.text;
        EXPECT_DOUBLE_EQ(st.number, c.number) << c.text;
        EXPECT_EQ(st.number_decimals, c.decimals) << c.text;
        bearing_text_format();
        EXPECT_EQ(bearing_text_current.rebuilt, c.rebuilt) << c.text;
    }
}

TEST(BearingText, ChangedValuesAreRebuiltWithTheSameBlanks)
{
    bearing_text_parse("123%%d 45'30\"  1.5");
    bearing_text_current.degrees = 303;
    bearing_text_current.minutes = 7;
    bearing_text_format();
    EXPECT_EQ(bearing_text_current.rebuilt, "303%%d 07'30\"  1.5");
}

TEST(Units, FactorsAndNames)
{
    const struct {
        const char* name;
        double factor;
    } cases[] = {{"feet", 0.3048},   {"f", 0.3048},   {"FEET", 0.3048}, {"kaki", 10.0}, {"", 1.0},
                 {"Link", 0.201168}, {"l", 0.201168}, {"METER", 1.0},   {"x", 1.0}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(unit_factor(c.name), c.factor) << c.name;
    EXPECT_EQ(unit_name_of("L"), "LINK");
    EXPECT_EQ(unit_name_of("F"), "FEET");
    EXPECT_EQ(unit_name_of("LINK"), "METER");  // full names are not letters
    EXPECT_EQ(unit_name_of("M"), "METER");
    std::string out = "keep";
    const char* names[] = {"METER", "LINK", "FEET", "KAKI"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(unit_name_by_index(out, i));
        EXPECT_EQ(out, names[i]);
    }
    out = "keep";
    EXPECT_FALSE(unit_name_by_index(out, 4));
    EXPECT_EQ(out, "keep");
}

}  // namespace
