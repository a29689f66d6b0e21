// acdbRToS, acdbInters, acutCvUnit and the small geometry helpers.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <random>
#include <string>

#include "db/host_numbers.h"
#include "db_test.h"

namespace {

struct RToSCase {
    double value;
    int prec;
    const char* expected;
};

// Worked by hand: rounding is half away from zero on the decimal text of the
// value (2.675 and 0.125 as typed), trailing zeros stay, zero is never "-0".
const RToSCase kRToSCases[] = {
    {1.0, 0, "1"},
    {2.5, 0, "3"},
    {-2.5, 0, "-3"},
    {0.4, 0, "0"},
    {-0.4, 0, "0"},
    {0.5, 0, "1"},
    {17.0, 2, "17.00"},
    {1000.0, 3, "1000.000"},
    {1234.5678, 3, "1234.568"},
    {2.675, 2, "2.68"},
    {0.125, 2, "0.13"},
    {-0.0004, 3, "0.000"},
    {-0.0005, 3, "-0.001"},
    {-0.0, 3, "0.000"},
    {9.9996, 3, "10.000"},
    {-9.9996, 3, "-10.000"},
    {1.0 / 3.0, 10, "0.3333333333"},
    {2.0 / 3.0, 10, "0.6666666667"},
    {123456.789, 10, "123456.7890000000"},
    {412345.6789012, 10, "412345.6789012000"},
    {0.1, 16, "0.1000000000000000"},
    {1.0 / 3.0, 16, "0.3333333333333333"},
    {1e-20, 16, "0.0000000000000000"},
    {-1e-20, 16, "0.0000000000000000"},
    {0.96, 1, "1.0"},
    {99.5, 0, "100"},
    {-999.9999, 2, "-1000.00"},
    {1e20, 2, "100000000000000000000.00"},
};

TEST(RToS, DecimalTable)
{
    for (const RToSCase& c : kRToSCases) {
        char text[64] = "";
        EXPECT_EQ(acdbRToS(c.value, 2, c.prec, text), RTNORM);
        EXPECT_STREQ(text, c.expected) << c.value << " prec " << c.prec;
    }
}

// Values off the halfway mark are rounded from their scaled value; that must
// give what rounding the shortest text gives, for survey coordinates and
// levels, for values just off a halfway mark (2.675 lies a little below its
// own) and at every precision.
TEST(RToS, ScaledRoundingAgreesWithTheShortestText)
{
    std::mt19937_64 random(20261211);
    std::uniform_real_distribution<double> level(-500, 10000), coordinate(0, 1e7), small(-1, 1);
    std::uniform_int_distribution<int> precision(0, 16), units(0, 99999999);
    for (int i = 0; i < 400000; ++i) {
        const int prec = precision(random);
        double values[] = {level(random), coordinate(random), small(random), 0.0};
        // A halfway mark of this precision, and the doubles right beside it.
        const double scale = std::pow(10.0, std::min(prec, 8));
        values[3] = (units(random) + 0.5) / scale;
        for (double v : values) {
            for (double near : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e300)}) {
                ASSERT_EQ(host::decimal_text(near, prec), host::decimal_text_from_shortest(near, prec))
                    << std::setprecision(17) << near << " prec " << prec;
            }
        }
    }
}

// LISP's rtos, typed at the command line, writes the same texts: the
// values are typed with 17 significant digits so that each reads back as the
// very double of the table.
class LispRToS : public DbTest {};

TEST_F(LispRToS, GivesTheTextsOfAcdbRToS)
{
    for (const RToSCase& c : kRToSCases) {
        char typed[64];
        std::snprintf(typed, sizeof typed, "%.17g", c.value);
        const auto value =
            session().eval("(rtos " + std::string(typed) + " 2 " + std::to_string(c.prec) + ")");
        ASSERT_TRUE(value) << typed;
        EXPECT_EQ(value->printed(), "\"" + std::string(c.expected) + "\"") << typed << " prec " << c.prec;
    }
}

TEST(RToS, RefusesPrecisionAboveSixteenAndOtherNonsense)
{
    char text[64] = "untouched";
    EXPECT_EQ(acdbRToS(1.0, 2, 17, text), RTERROR);
    EXPECT_EQ(acdbRToS(1.0, 9, 2, text), RTERROR);
    EXPECT_EQ(acdbRToS(NAN, 2, 2, text), RTERROR);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(acdbRToS(1.5, 4, 2, text), RTNORM);  // architectural falls back to decimal
    EXPECT_STREQ(text, "1.50");
}

struct IntersCase {
    const char* what;
    ads_point a1, a2, b1, b2;
    int teston;
    int status;
    ads_point expected;
};

const IntersCase kIntersCases[] = {
    {"segments cross", {0, 0, 0}, {10, 0, 0}, {5, -5, 0}, {5, 5, 0}, 1, RTNORM, {5, 0, 0}},
    {"meet at an end", {0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {10, 5, 0}, 1, RTNORM, {10, 0, 0}},
    {"beyond the first segment", {0, 0, 0}, {10, 0, 0}, {15, -5, 0}, {15, 5, 0}, 1, RTNONE, {0, 0, 0}},
    {"beyond, unbounded", {0, 0, 0}, {10, 0, 0}, {15, -5, 0}, {15, 5, 0}, 0, RTNORM, {15, 0, 0}},
    {"beyond the second segment", {0, 0, 0}, {10, 0, 0}, {5, 1, 0}, {5, 5, 0}, 1, RTNONE, {0, 0, 0}},
    {"parallel", {0, 0, 0}, {10, 0, 0}, {0, 1, 0}, {10, 1, 0}, 0, RTNONE, {0, 0, 0}},
    {"collinear", {0, 0, 0}, {10, 0, 0}, {5, 0, 0}, {20, 0, 0}, 1, RTNONE, {0, 0, 0}},
    // In plan; z taken along the first line: at x = 4 the first line is at z = 4.
    {"z along the first", {0, 0, 0}, {10, 0, 10}, {4, -1, 99}, {4, 1, 99}, 1, RTNORM, {4, 0, 4}},
    // Diagonals of the square (2,2)-(6,6): (4, 4).
    {"diagonals", {2, 2, 0}, {6, 6, 0}, {2, 6, 0}, {6, 2, 0}, 1, RTNORM, {4, 4, 0}},
};

TEST(Inters, BoundedUnboundedAndParallel)
{
    for (const IntersCase& c : kIntersCases) {
        ads_point out = {-1, -1, -1};
        EXPECT_EQ(acdbInters(c.a1, c.a2, c.b1, c.b2, c.teston, out), c.status) << c.what;
        if (c.status == RTNORM) {
            EXPECT_NEAR(out[0], c.expected[0], 1e-12) << c.what;
            EXPECT_NEAR(out[1], c.expected[1], 1e-12) << c.what;
            EXPECT_NEAR(out[2], c.expected[2], 1e-12) << c.what;
        }
    }
}

struct UnitCase {
    double value;
    const char* from;
    const char* to;
    double expected;
};

// Factors: 1 acre = 4046.8564224 m^2, 1 ha = 10000 m^2, 1 ft^2 = 0.09290304 m^2,
// 1 in = 0.0254 m, 1 ft = 12 in.
const UnitCase kUnitCases[] = {
    {1.0, "acre", "meter^2", 4046.8564224},
    {2.5, "hectare", "meter^2", 25000.0},
    {100.0, "feet^2", "meter^2", 9.290304},
    {1.0, "meter^2", "feet^2", 10.763910416709722},
    {1.0, "hectare", "acre", 2.471053814671653},
    {10.0, "feet", "inch", 120.0},
    {1.0, "inch", "meter", 0.0254},
    {3.0, "meter", "feet", 9.842519685039370},
};

TEST(CvUnit, AreasAndLengths)
{
    for (const UnitCase& c : kUnitCases) {
        double out = 0;
        EXPECT_EQ(acutCvUnit(c.value, c.from, c.to, &out), RTNORM) << c.from << " -> " << c.to;
        EXPECT_NEAR(out, c.expected, 1e-9 * std::max(1.0, c.expected)) << c.from << " -> " << c.to;
    }
    double out = 0;
    EXPECT_EQ(acutCvUnit(1.0, "furlong", "meter", &out), RTERROR);
    EXPECT_EQ(acutCvUnit(1.0, "meter", "acre", &out), RTERROR);  // a length is no area
}

TEST(Geometry, DistanceAngleAndPolar)
{
    ads_point a = {1, 2, 3}, b = {4, 6, 15};
    EXPECT_DOUBLE_EQ(acutDistance(a, b), 13.0);  // 3, 4, 12
    ads_point o = {0, 0, 0}, sw = {-1, -1, 0};
    EXPECT_NEAR(acutAngle(o, sw), 5 * M_PI / 4, 1e-15);  // always 0 to 2 pi
    ads_point p;
    acutPolar(a, M_PI / 2, 2.0, p);
    EXPECT_NEAR(p[0], 1.0, 1e-15);
    EXPECT_NEAR(p[1], 4.0, 1e-15);
    EXPECT_EQ(p[2], 3.0);
}

}  // namespace
