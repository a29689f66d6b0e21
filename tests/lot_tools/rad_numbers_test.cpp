// The radiation number tools through the host the way a caller reaches them:
// a command that opens their menu (here the script command "RADNUMBERS"),
// the tool chosen in the list, its prompts and selection, and the "RADLISTING"
// tags and number texts afterwards.
#include <map>

#include "db/entities.h"
#include "lot_tools_fixture.h"
#include "rad_number_tools.h"

namespace {

class RadNumbers : public LotToolsTest {
protected:
    void SetUp() override
    {
        LotToolsTest::SetUp();
        session().register_script_command("RADNUMBERS", [](const std::string&) { dlg_radlisting_menu(); });
        acdbRegApp("RADLISTING");
    }
    // A numbered POINT and its TEXT at (x, y).
    void numbered(int number, double x, double y, const std::string& text_layer = "RAD_LISTING_TXT")
    {
        const std::vector<host::XDataApp> tag = {{"RADLISTING", {Group::of_int(1071, number)}}};
        ASSERT_EQ(
            host::entity_make(drawing(), "POINT",
                              {Group::of_text(8, "RAD_LISTING_PNT"), Group::of_point(10, {x, y, 0})}, tag),
            RTNORM);
        ASSERT_EQ(host::entity_make(drawing(), "TEXT",
                                    {Group::of_text(8, text_layer), Group::of_point(10, {x, y, 0}),
                                     Group::of_real(40, 1.3), Group::of_text(1, std::to_string(number))},
                                    tag),
                  RTNORM);
    }
    static long tag(const host::Entity* e)
    {
        const host::XDataApp* app = e->xdata_of("RADLISTING");
        if (!app) return -1;
        for (const host::Group& g : app->items)
            if (g.code == 1071) return g.integer;
        return -1;
    }
    // Point number by x, and the texts' strings and tags, which must agree.
    std::map<double, long> numbers_by_x()
    {
        std::map<double, long> out;
        for (const host::Entity* p : live("POINT")) out[p->point(10).x] = tag(p);
        for (const host::Entity* t : live("TEXT")) {
            EXPECT_EQ(std::to_string(tag(t)), t->text(1));
            EXPECT_EQ(out[t->point(10).x], tag(t)) << "text at " << t->point(10).x;
        }
        return out;
    }
    // Runs tool `index` of the menu with the answers, then leaves the menu.
    std::string tool(int index, const std::string& answers)
    {
        return run("RADNUMBERS\nselect s_progname " + std::to_string(index) + "\npick go_btn\n" + answers +
                   "pick exit\n");
    }
};

TEST_F(RadNumbers, RenumberFromAStartNumberOn)
{
    for (int n = 99; n <= 102; ++n) numbered(n, n * 10, 0);
    const std::string out = tool(0, "100\n200\nALL\n\n");
    EXPECT_NE(out.find("Start Number<0>:"), std::string::npos) << out;
    EXPECT_NE(out.find("3 points and 3 texts renumbered."), std::string::npos) << out;
    const std::map<double, long> want = {{990, 99}, {1000, 200}, {1010, 201}, {1020, 202}};
    EXPECT_EQ(numbers_by_x(), want);
}

TEST_F(RadNumbers, InsertANumberMovesTheOthersUp)
{
    for (int n = 1; n <= 10; ++n) numbered(n, n * 10, 0);
    tool(1, "8\n3\nALL\n\n");
    // 8 becomes 3; 3..7 become 4..8; 9 and 10 become 10 and 11.
    const std::map<double, long> want = {{10, 1}, {20, 2}, {30, 4}, {40, 5},  {50, 6},
                                         {60, 7}, {70, 8}, {80, 3}, {90, 10}, {100, 11}};
    EXPECT_EQ(numbers_by_x(), want);
}

TEST_F(RadNumbers, RenumberingOntoNumbersInUseIsRefusedWithTheNumbers)
{
    for (int n = 1; n <= 10; ++n) numbered(n, n * 10, 0);
    // Points 5..10 only (a window), down to 3: 3 and 4 are there already.
    std::string out = tool(0, "5\n3\nW\n45,-5\n105,5\n\n");
    EXPECT_NE(out.find("These numbers are in use already: 3, 4\nNothing was changed."), std::string::npos)
        << out;
    ASSERT_EQ(session().transcript().alerts.size(), 1u);
    std::map<double, long> want;
    for (int n = 1; n <= 10; ++n) want[n * 10] = n;
    EXPECT_EQ(numbers_by_x(), want);
    // An insert that would push 9 onto a point left out of the selection.
    numbered(11, 200, 50);
    out = tool(1, "9\n5\nW\n45,-5\n105,5\n\n");
    EXPECT_NE(out.find("These numbers are in use already: 11"), std::string::npos) << out;
    EXPECT_EQ(live("POINT")[4]->xdata_of("RADLISTING")->items[0].integer, 5);
}

TEST_F(RadNumbers, ChecksOfDuplicatedAndMissingNumbers)
{
    numbered(1, 0, 0);
    numbered(4, 10, 0);
    numbered(5, 20, 0);
    numbered(4, 30, 5.5);
    std::string out = tool(2, "");
    EXPECT_NE(out.find("\nDuplicated points..\nPoint [4] at 10.000,0.000 => 30.000,5.500 duplicated"),
              std::string::npos)
        << out;
    ASSERT_EQ(session().transcript().alerts.size(), 1u);
    EXPECT_EQ(session().transcript().alerts[0], "\n1 duplicated found.\nPress F2 for detail");
    out = tool(3, "");
    EXPECT_NE(out.find("\nNumber 2 missing\nNumber 3 missing"), std::string::npos) << out;
    EXPECT_EQ(out.find("Number 6 missing"), std::string::npos) << out;
    EXPECT_EQ(out.find("Number 1 missing"), std::string::npos) << out;
}

TEST_F(RadNumbers, ATextOnALockedLayerIsRenumberedAndLockedAgain)
{
    numbered(10, 0, 0, "LOCKED_TXT");
    run("(command \"Layer\" \"lock\" \"LOCKED_TXT\" \"\")\n");
    tool(0, "10\n20\nALL\n\n");
    EXPECT_EQ(live("TEXT")[0]->text(1), "20");
    EXPECT_EQ(tag(live("TEXT")[0]), 20);
    const host::Entity* layer = drawing().get(drawing().find_record("LAYER", "LOCKED_TXT"));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->integer(70) & 4, 4);
}

TEST_F(RadNumbers, OldTextsAreTaggedWithTheirNumbers)
{
    text("OLD", 0, 0, "123");
    text("OLD", 10, 0, "abc");
    text("OLD", 20, 0, "99999999999");
    const std::string out = tool(4, "ALL\n\n");
    const auto texts = live("TEXT");
    EXPECT_EQ(tag(texts[0]), 123);
    EXPECT_EQ(tag(texts[1]), 0);  // no number in it: tag 0
    EXPECT_EQ(tag(texts[2]), -1);
    EXPECT_NE(out.find("The text \"99999999999\" is beyond the numbers a point can carry: left as it was."),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("2 texts converted."), std::string::npos) << out;
}

TEST_F(RadNumbers, BadNumbersAndACancelledSelectionChangeNothing)
{
    for (int n = 1; n <= 3; ++n) numbered(n, n * 10, 0);
    std::string out = tool(0, "-4\nabc\n0\n");  // then 0: the tool ends
    EXPECT_NE(out.find("A point number is 1 or more (0 or X to leave)."), std::string::npos) << out;
    out = tool(0, "1\n5\n^C\n");
    out += tool(1, "2\n2\n");  // from and to the same: nothing to insert
    std::map<double, long> want = {{10, 1}, {20, 2}, {30, 3}};
    EXPECT_EQ(numbers_by_x(), want) << out;
}

}  // namespace
