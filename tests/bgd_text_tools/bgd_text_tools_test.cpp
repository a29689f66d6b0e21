// The bearing text tools as a user runs them: texts are put in the drawing,
// picked or selected through the script, and the rewritten strings, the deleted
// texts and the command-line reports are checked against values worked out by
// hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entity_makers.h"
#include "host_fixture.h"

namespace {

class BgdTextTools : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }
    // A left-justified TEXT of height 2 at (x, y); the pick point (x + 1, y + 1)
    // lies inside its box.
    long text_at(double x, double y, const std::string& text)
    {
        EXPECT_EQ(text_make_on_layer(point3d_rec{x, y, 0}, 2.0, 1.0, 90.0, "Bgd", text, 1), RTNORM);
        return drawing().last_main();
    }
    std::string string_of(long id) { return drawing().get(id)->text(1); }
    bool erased(long id) { return drawing().get(id)->erased; }
};

TEST_F(BgdTextTools, ReverseKeepsBlanksAndCountsEveryBearing)
{
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"45%%d30'15\"", "225%%d30'15\""},
        {"270%%d15'30\"", "90%%d15'30\""},
        {"90%%d 05'  07\"", "270%%d 05'  07\""},
        {"300%%d  01'02\"   12.345", "120%%d  01'02\"   12.345"},
        {"180%%d30'", "0%%d30'"},
        {"45%%d", "45%%d"},  // degrees only: 225 is printed, the text stays
        {"N45E", "N45E"},    // no degree code: skipped and not counted
    };
    std::vector<long> ids;
    for (size_t i = 0; i < std::size(cases); ++i) ids.push_back(text_at(0, 20.0 * i, cases[i].before));
    const std::string shown = run("(b_bgd_reverse_bg)\nC\n-5,-5\n60,200\n\n");
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(string_of(ids[i]), cases[i].after) << cases[i].before;
    EXPECT_NE(shown.find("\n225"), std::string::npos);
    EXPECT_NE(shown.find("\n  6 Bgd Reversed"), std::string::npos);
}

TEST_F(BgdTextTools, ReverseWithNothingSelected)
{
    const long id = text_at(0, 0, "45%%d30'15\"");
    const std::string shown = run("(b_bgd_reverse_bg)\n\n");
    EXPECT_NE(shown.find("\nNothin select."), std::string::npos);
    EXPECT_EQ(string_of(id), "45%%d30'15\"");
}

TEST_F(BgdTextTools, CombineJoinsBearingAndDistance)
{
    const long bearing = text_at(0, 0, "45%%d30'15\"");
    const long distance = text_at(0, 20, "123.456");
    run("(b_bgd_combine_bgd)\n1,1\n1,21\n");
    EXPECT_EQ(string_of(bearing), "45%%d30'15\" 123.456");
    EXPECT_TRUE(erased(distance));

    // A pick that misses the second text ends without change.
    const long other = text_at(100, 0, "10%%d00'00\"");
    run("(b_bgd_combine_bgd)\n101,1\n500,500\n");
    EXPECT_EQ(string_of(other), "10%%d00'00\"");

    // The same text picked twice is neither rewritten nor deleted.
    run("(b_bgd_combine_bgd)\n101,1\n101,1\n");
    EXPECT_EQ(string_of(other), "10%%d00'00\"");
    EXPECT_FALSE(erased(other));

    // A joined text longer than 254 characters is refused: nothing is cut
    // off and the distance text stays.
    const std::string long_bearing = "10%%d00'00\"" + std::string(240, ' ');
    const long wide = text_at(200, 0, long_bearing);
    const long far = text_at(200, 20, "1234567890.123");
    const std::string shown = run("(b_bgd_combine_bgd)\n201,1\n201,21\n");
    EXPECT_NE(shown.find("\nThe joined text would pass 254 characters; both texts are left as they were."),
              std::string::npos);
    EXPECT_EQ(string_of(wide), long_bearing);
    EXPECT_FALSE(erased(far));
}

TEST_F(BgdTextTools, SpacingWidensAndNarrowsTheGaps)
{
    const struct {
        const char* before;
        const char* answers;
        const char* after;
    } cases[] = {
        // Degrees, minutes and seconds, +2: two blanks after the degree and the minute marks.
        {"45%%d30'15\"", "2\nX\n", "45%%d  30'  15\""},
        // With a distance the gap after the second mark grows too; +1 twice (the default
        // after the first step is the last increment).
        {"45%%d30'15\" 12.5", "1\n\nX\n", "45%%d  30'  15\"   12.5"},
        // Minutes only: just the gap after the degree mark.
        {"45%%d30'", "3\nX\n", "45%%d   30'"},
        // Narrowing stops at no blank.
        {"45%%d  30' 15\"", "-1\n-1\nX\n", "45%%d30'15\""},
    };
    double y = 0;
    for (const auto& c : cases) {
        const long id = text_at(0, y, c.before);
        run("(b_bgd_spc)\n1," + std::to_string(y + 1) + "\n" + c.answers);
        EXPECT_EQ(string_of(id), c.after) << c.before;
        y += 20;
    }
}

TEST_F(BgdTextTools, BearingAndDistanceReport)
{
    // (0,0) to (3,4): bearing atan2(3, 4) = 36.869898 = 36d52'11.6" -> "36.5212";
    // plan distance 5. Scale 500 reports 5 / 500 x 1000 = 10. In links at scale 1000:
    // 5 / 0.201168 = 24.855. Continuous: the next leg starts at (3,4); (3,4) to (3,0)
    // is 180d, 4 m = 19.884 links. Fixed again from (3,0), seconds to tens: to (4,3) is
    // 18.434949 = 18d26'05.8" -> "18.2610", sqrt(10) = 3.162 m = 15.720 links.
    const std::string shown = run("(b_gd)\n0,0\n3,4\nS\n500\n3,4\nU\nL\n3,4\nC\n3,4\n3,0\nF\nR\n0\n4,3\nX\n");
    const char* const expected[] = {
        "\nUnit :M Dec 3 scale:1000.0",
        "\nBg: 36.5212 dist 5.000M",
        "\nBg: 36.5212 dist 10.000M",
        "\nBg: 36.5212 dist 49.710L",  // scale 500 still in force: 24.855 x 2
        "\nBg: 180.0000 dist 39.768L",
        "\nBg: 18.2610 dist 31.439L",
        "\ne<X>it <C>ontinuous <U>nit <D>ec <R>ound <Next Point>",
        "\nThank you ...come again..Bye..",
    };
    size_t at = 0;
    for (const char* line : expected) {
        const size_t found = shown.find(line, at);
        EXPECT_NE(found, std::string::npos) << line;
        if (found != std::string::npos) at = found;
    }
}

}  // namespace
