// Numeric texts, rounding and formatting. Expected values are worked out by
// hand from the rules in the comments of numbers.h.
// The library's header by its path: the host's internal headers, which test
// programs also see, have one of the same name.
#include "numbers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StrIsNumber, TableOfCases)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"", 0},      {"5", 4},   {"a", 0},   {"-", 0},  {".", 0},  {"-5", 4}, {"12.50", 4},
        {"1.2.3", 4}, {"12a", 0}, {"--5", 0}, {"-.", 4}, {"5-", 0}, {" 5", 0}, {"007", 4},
    };
    for (const auto& c : cases) EXPECT_EQ(str_is_number(c.text), c.expected) << "\"" << c.text << "\"";
    EXPECT_TRUE(char_is_numeric('.'));
    EXPECT_TRUE(char_is_numeric('9'));
    EXPECT_FALSE(char_is_numeric('-'));
}

TEST(StrDecimals, CountsAfterTheLastPoint)
{
    EXPECT_EQ(str_decimals("12.345"), 3);
    EXPECT_EQ(str_decimals("12"), -1);
    EXPECT_EQ(str_decimals("12."), 0);
    EXPECT_EQ(str_decimals(".5"), 1);  // a point at index 0 counts
    EXPECT_EQ(str_decimals("1.2.34"), 2);
}

TEST(StrParseReal, AcceptsOrStopsAtTheFirstOtherCharacter)
{
    const struct {
        const char* text;
        int result;
        double value;  // the value read up to the refusal
    } cases[] = {
        {"12.5", 1, 12.5}, {"-3", 1, -3.0}, {"", 1, 0.0},     {"1.2.3", 0, 1.2},
        {"12a", 0, 12.0},  {"5-", 0, 5.0},  {"-.5", 1, -0.5}, {"x", 0, 0.0},
    };
    for (const auto& c : cases) {
        double out = -99;
        EXPECT_EQ(str_parse_real(c.text, out), c.result) << "\"" << c.text << "\"";
        EXPECT_DOUBLE_EQ(out, c.value) << "\"" << c.text << "\"";
    }
    // Longer than the 28 characters the old working buffer held.
    double out = 0;
    EXPECT_EQ(str_parse_real("1234567890123456789012345678901234.5", out), 1);
    EXPECT_DOUBLE_EQ(out, 1234567890123456789012345678901234.5);
}

TEST(RealRound, HalvesAwayFromZero)
{
    EXPECT_DOUBLE_EQ(real_round(2.5, 0), 3.0);
    EXPECT_DOUBLE_EQ(real_round(-2.5, 0), -3.0);
    EXPECT_DOUBLE_EQ(real_round(2.4, 0), 2.0);
    EXPECT_DOUBLE_EQ(real_round(1.2345, 2), 1.23);  // 1234.5 + 5 = 1239.5, /10 -> 123 -> 1.23
    EXPECT_DOUBLE_EQ(real_round(0.125, 2), 0.13);
    EXPECT_DOUBLE_EQ(real_round(-0.125, 2), -0.13);
    EXPECT_FLOAT_EQ(real_round_f(2.5f, 0), 3.0f);
    EXPECT_DOUBLE_EQ(real_round_by_text(3.14159, 2), 3.14);
}

TEST(RealFormat, PrecisionsAndPadding)
{
    EXPECT_EQ(real_format(3.14159, 2), "3.14");
    EXPECT_EQ(real_format(2.0, 0), "2");
    EXPECT_EQ(real_format(1.5, 12), "1.5000000000");  // above 10: ten decimals
    EXPECT_EQ(real_format(2.0, -3), "2");             // below 0: none
    std::string out = "unchanged";
    real_format_into(1.5, 17, out);
    EXPECT_EQ(out, "unchanged");
    real_format_into(1.5, 16, out);
    EXPECT_EQ(out, "1.5000000000000000");

    EXPECT_EQ(real_pad_left(3.14159, 2, 7), "   3.14");
    EXPECT_EQ(real_pad_left(12345.678, 2, 5), "12345.68");
    EXPECT_EQ(int_pad_left(42, 5), "   42");
    EXPECT_EQ(int_pad_left(123456, 3), "123456");

    EXPECT_EQ(real_split_text(12.25, 2), "12 25");
    EXPECT_EQ(real_split_text(-1.5, 1), "-1 5");

    EXPECT_EQ(real_to_text_pad(12.5, 3, ".", 2), "  12.50");
    EXPECT_EQ(real_to_text_pad(12.5, 1, ".", 2), "12.50");  // a count of 1 gives no blank
    EXPECT_EQ(real_to_text_pad(12.5, 2, ",", 2), " 12 50");
    EXPECT_EQ(real_to_text_pad(12.5, 2, "", 1), " 12.5");
}

TEST(NumTextFitWidth, TableOfCases)
{
    const struct {
        const char* text;
        int width, max_decimals;
        bool result;
        const char* out;
    } cases[] = {
        {"123.456", 5, 3, true, "123.5"},   // min(5 - 3 - 1, 3) = 1 decimal
        {"123456.7", 5, 2, false, "0"},     // integer part wider than the field
        {"12345.67", 5, 2, true, "12345"},  // integer part exactly the width
        {"12.", 5, 2, true, "12"},          // a trailing point is dropped
        {"12", 6, 2, true, "12.00"},        // min(6 - 2 - 1, 2) = 2
        {"1.23456", 4, 5, true, "1.23"},    // min(4 - 1 - 1, 5) = 2
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(num_text_fit_width(c.text, c.width, c.max_decimals, out), c.result) << c.text;
        EXPECT_EQ(out, c.out) << c.text;
    }
}

TEST(NumTextScan, PartsOfNumberTexts)
{
    const struct {
        const char* text;
        int result, blanks;
        char separator;
        const char* suffix;
        int decimals;
        double number;
    } cases[] = {
        {"  -12.50L", 0, 2, '.', "L", 2, -12.5}, {"12 345", 0, 0, ' ', "", 3, 12.345},
        {".5", 0, 0, '.', "", 1, 0.0},  // an empty integer part gives no fraction
        {"100", 0, 0, '\0', "", 0, 100.0},       {"12L", 0, 0, '\0', "L", 0, 12.0},
        {"7.25-3", 0, 0, '.', "-3", 2, 7.25},    {"3.5il", 0, 0, '.', "il", 1, 3.5},
    };
    for (const auto& c : cases) {
        num_text_parts parts;
        EXPECT_EQ(num_text_scan(c.text, parts), c.result) << c.text;
        EXPECT_EQ(parts.leading_blanks, c.blanks) << c.text;
        EXPECT_EQ(parts.separator, c.separator) << c.text;
        EXPECT_EQ(parts.suffix, c.suffix) << c.text;
        EXPECT_EQ(parts.decimals, c.decimals) << c.text;
        EXPECT_DOUBLE_EQ(parts.number, c.number) << c.text;
    }
    num_text_parts parts;
    EXPECT_EQ(num_text_scan("12x", parts), -1);
    EXPECT_EQ(num_text_scan("1,5", parts), -1);
    EXPECT_DOUBLE_EQ(num_text_parse("  3.5i"), 3.5);
    EXPECT_DOUBLE_EQ(num_text_parse("abc"), 0.0);
}

TEST(StrSplitNumberLetters, DigitsAfterTheFirstAndEveryLetter)
{
    const struct {
        const char* code;
        double number;
        const char* letters;
    } cases[] = {
        {"A123b", 123, "Ab"}, {"12AB", 2, "AB"}, {"Lot_7z", 7, "Lotz"}, {"", 0, ""}, {"P1a2", 12, "Pa"},
    };
    for (const auto& c : cases) {
        double number = -1;
        std::string letters;
        EXPECT_EQ(str_split_number_letters(c.code, number, letters), 1);
        EXPECT_DOUBLE_EQ(number, c.number) << c.code;
        EXPECT_EQ(letters, c.letters) << c.code;
    }
}

TEST(RealRoundToTen, BothStepRules)
{
    const struct {
        double value, step, rounded, difference;
    } cases[] = {
        // step below 1: t = v taken down to a whole number, raised to the next ten; difference v - t
        {23.4, 0, 30, 23.4 - 30},
        {20.0, 0, 20, 0},
        {23.4, 0.7, 30, 23.4 - 30},
        // step of 1 or more: t = s + v taken down, rounded = t - d (+ s when d > s); difference rounded - v
        {23.4, 5, 25, 25 - 23.4},  // t 28, d 8 > 5
        {17.0, 5, 20, 3.0},        // t 22, d 2
        {15.0, 5, 20, 5.0},        // t 20, d 0
        // A sum that prints as a whole number is taken as it: 419.99999999999994
        // + 20 reaches 440 (taken down to 439 it gave 430 and a chord of 10).
        {419.99999999999994, 20, 440, 440 - 419.99999999999994},
        // Negative values (chainages counted backwards) are taken down too, not
        // towards zero: -1197.08 gives t -1198, d 2 and -1200, where -1197 and
        // its digit 7 gave -1204, no multiple of ten.
        {-1217.08, 20, -1200, -1200 + 1217.08},
        {-35.3, 20, -20, 15.3},  // t -16, d 4
        {-3.5, 0, 0, -3.5},      // t -4, d 6, raised to 0
    };
    for (const auto& c : cases) {
        double rounded = 0, difference = 0;
        EXPECT_EQ(real_round_to_ten(c.value, c.step, rounded, difference), 1);
        EXPECT_DOUBLE_EQ(rounded, c.rounded) << c.value << " step " << c.step;
        EXPECT_NEAR(difference, c.difference, 1e-12) << c.value << " step " << c.step;
    }
}

TEST(SmallNumberRoutines, Values)
{
    EXPECT_DOUBLE_EQ(secant(0.0), 1.0);
    EXPECT_EQ(int_mod(7, 3), 1);
    EXPECT_EQ(int_is_even(4), 1);
    EXPECT_EQ(int_is_even(-3), 0);
    float whole = 0;
    EXPECT_FLOAT_EQ(real_modf_f(3.25f, whole), 0.25f);
    EXPECT_FLOAT_EQ(whole, 3.0f);
    EXPECT_FLOAT_EQ(real_pow_f(2.0f, 10.0f), 1024.0f);
}

}  // namespace
