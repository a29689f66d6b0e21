// The traverse's own conversions: D.MMSS, whole-circle bearings, rounding and
// the unit table, by tables of cases.
#include "trav_maths.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

TEST(TravMaths, DegreesToDmsText)
{
    const struct {
        double degrees;
        bool ten_seconds;
        const char* text;
    } cases[] = {
        {359.99999, true, "0.0000"},  // 59.964" goes to the next ten: carries into minutes, degrees, 360 -> 0
        {359.99999, false, "359.5959"},  // truncated, no carry
        {30.5, false, "30.3000"},
        {30.51375, true, "30.3050"},   // 49.5" -> 49 -> nearest ten 50
        {30.51375, false, "30.3049"},  // truncated, not rounded
        {0.0, false, "0.0000"},
        {90.0, true, "90.0000"},
        {180.0, false, "180.0000"},
        {270.0, false, "270.0000"},
        {360.0, false, "0.0000"},
        {12.0012500, true, "12.0000"},     // 4.5" -> 4 -> 00
        {12.0013889, true, "12.0010"},     // 5" -> 10
        {12.9997222222, true, "13.0000"},  // 59' 59" -> carry a minute and a degree
        {12.9997222222, false, "12.5959"},
        {0.0001388889, false, "0.0000"},  // 0.5" truncated
        {7.25, false, "7.1500"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(deg_to_dms_text(c.degrees, c.ten_seconds), c.text) << c.degrees << " ten=" << c.ten_seconds;
}

TEST(TravMaths, DmsToDegrees)
{
    const struct {
        double dms;
        double degrees;
    } cases[] = {
        {45.3015, 45 + 30 / 60.0 + 15 / 3600.0},
        {-12.3456, -12 + 34 / 60.0 + 56 / 3600.0},  // only the degrees carry the sign
        {0.0001, 1 / 3600.0},
        {359.5959, 359 + 59 / 60.0 + 59 / 3600.0},
        {90.0, 90.0},
        {120.45, 120.75},  // 120.4500
    };
    for (const auto& c : cases) EXPECT_NEAR(dms_to_deg(c.dms), c.degrees, 1e-12) << c.dms;
}

// Every D.MMSS value of a few degrees survives the trip to degrees and back;
// truncating the seconds without a tolerance loses a second on nearly half of
// them (45.3030 came back as 45.3029).
TEST(TravMaths, DmsRoundTripKeepsEverySecond)
{
    EXPECT_EQ(deg_to_dms_text(dms_to_deg(45.3030), false), "45.3030");
    for (int d : {0, 1, 45, 89, 123, 270, 359}) {
        for (int m = 0; m < 60; ++m) {
            for (int s = 0; s < 60; ++s) {
                char text[32];
                std::snprintf(text, sizeof text, "%d.%02d%02d", d, m, s);
                ASSERT_EQ(deg_to_dms_text(dms_to_deg(std::strtod(text, nullptr)), false), text);
            }
        }
    }
}

TEST(TravMaths, BearingBetween)
{
    const point3d_rec origin{10, 20, 0};
    const struct {
        double dx, dy, bearing;
    } cases[] = {
        {1, 1, 45},   {1, -1, 135}, {-1, -1, 225}, {-1, 1, 315}, {0, 1, 0},
        {0, -1, 180}, {1, 0, 90},   {-1, 0, 270},  {0, 0, 0},    {3, 4, 36.86989765},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(bearing_between(origin, point3d_rec{10 + c.dx, 20 + c.dy, 0}), c.bearing, 1e-6)
            << c.dx << "," << c.dy;
    EXPECT_DOUBLE_EQ(point_distance_2d(point3d_rec{1, 1, 5}, point3d_rec{4, 5, -7}), 5.0);
}

TEST(TravMaths, RoundingToDecimals)
{
    const struct {
        double value;
        int decimals;
        double rounded;
    } cases[] = {
        {100.12345, 3, 100.123},
        {-2.71828, 2, -2.72},
        {100.6, 0, 101.0},
        {1.23456789012, 10, 1.2345678901},
        {1.23456789012, 11, 1.23456789012},  // outside 0..10: unchanged
        {1.23456789012, -1, 1.23456789012},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(round_to_decimals(c.value, c.decimals), c.rounded) << c.value << " n=" << c.decimals;
    // The traverse rounding: decimals 0 means no rounding at all.
    EXPECT_DOUBLE_EQ(trav_round(100.12345, 0), 100.12345);
    EXPECT_DOUBLE_EQ(trav_round(100.12345, 3), 100.123);
}

TEST(TravMaths, PolarPointRoundsOffsetsThenSums)
{
    const point3d_rec from{100.12345, 200.98765, 7.0};
    const point3d_rec unrounded = trav_polar_point(0.0, 10.0, from, 0);
    EXPECT_DOUBLE_EQ(unrounded.x, 100.12345);
    EXPECT_DOUBLE_EQ(unrounded.y, 210.98765);
    EXPECT_EQ(unrounded.z, 0.0);
    const point3d_rec rounded = trav_polar_point(0.0, 10.0, from, 3);
    EXPECT_DOUBLE_EQ(rounded.x, 100.123);
    EXPECT_DOUBLE_EQ(rounded.y, 210.988);
    // 30 degrees, 2.0004: dE 1.0002 -> 1.000 first, then 100.12345 + 1.000 -> 101.123.
    EXPECT_DOUBLE_EQ(trav_polar_point(30.0, 2.0004, from, 3).x, 101.123);
    EXPECT_DOUBLE_EQ(trav_polar_axis(1, 30.0, 2.0004, from, 3), 101.123);
    EXPECT_DOUBLE_EQ(trav_polar_axis(2, 0.0, 10.0, from, 3), 210.988);
    EXPECT_DOUBLE_EQ(trav_polar_axis(0, 0.0, 10.12345, from, 3), 10.123);
    const trav_offsets step = polar_offsets(90.0, 5.0);
    EXPECT_NEAR(step.east, 5.0, 1e-12);
    EXPECT_NEAR(step.north, 0.0, 1e-9);
}

TEST(TravMaths, UnitTable)
{
    const struct {
        const char* name;
        double factor;
        int code;
    } cases[] = {
        {"L", 0.201168, 1},  {"LINK", 0.201168, 1}, {"link", 0.201168, 1}, {"F", 0.3048, 2},
        {"FEET", 0.3048, 2}, {"feet", 0.3048, 2},   {"f", 0.3048, 2},      {"KAKI", 1.0, 0},
        {"METER", 1.0, 0},   {"M", 1.0, 0},         {"", 1.0, 0},          {"LINKS", 1.0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(trav_unit_factor(c.name), c.factor) << c.name;
        EXPECT_EQ(trav_unit_code(c.name), c.code) << c.name;
    }
    EXPECT_EQ(trav_unit_name(0), "METER");
    EXPECT_EQ(trav_unit_name(1), "LINK");
    EXPECT_EQ(trav_unit_name(2), "FEET");
    EXPECT_EQ(trav_unit_name(7), "METER");
}

TEST(TravMaths, PointCopy)
{
    const point3d_rec p{1, 2, 3};
    EXPECT_EQ(point_copy(p, 1).z, 0.0);
    EXPECT_EQ(point_copy(p, 0).z, 3.0);
    EXPECT_EQ(point_copy(p, 1).x, 1.0);
}

}  // namespace
