// The corner-cut check through the host the way a caller reaches it: a
// command that runs corner_cut_lines (here the script command "CORNERCUT"),
// the three choices of the first call, two picked LINEs, the gaps to their
// corner against the standard cut sizes 2.286, 6.096 and 4.572, the alerts
// and the LINEs that close the corner.
#include "lot_tools.h"
#include "lot_tools_fixture.h"

namespace {

class CornerCut : public LotToolsTest {
protected:
    void SetUp() override
    {
        LotToolsTest::SetUp();
        session().register_script_command(
            "CORNERCUT", [](const std::string&) { acutPrintf("\ncorner_cut_lines %d", corner_cut_lines()); });
    }
    std::vector<std::string>& alerts() { return session().transcript().alerts; }
};

// The choices are asked once for the life of the plug-in, so the cases run in
// one sequence.
TEST_F(CornerCut, GapsAreComparedWithTheStandardSizesAndTheCornerClosed)
{
    // Line 1 stops 4.572 short of the corner (100, 100), line 2 6.096 short.
    line(50, 100, 95.428, 100);
    line(100, 50, 100, 93.904);
    // Decimals of -1 and 12 are asked again; Enter takes 3.
    std::string out = run("CORNERCUT\n\n-1\n12\n\n\n70,100\n100,70\n");
    EXPECT_NE(out.find("The decimals must be 0 to 8."), std::string::npos) << out;
    EXPECT_NE(out.find("Make Line <Y>es <No> <YES>:"), std::string::npos) << out;
    EXPECT_NE(out.find("Decimal<3>:"), std::string::npos) << out;
    EXPECT_NE(out.find("Prompt not common cut <Y>es <No> <YES>:"), std::string::npos) << out;
    EXPECT_NE(out.find("Dist1 [4.572] Dist2 [6.096]"), std::string::npos) << out;
    EXPECT_NE(out.find("corner_cut_lines 1"), std::string::npos) << out;
    EXPECT_TRUE(alerts().empty());
    auto lines = live("LINE");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NEAR(lines[2]->point(10).x, 95.428, 1e-9);
    EXPECT_NEAR(lines[2]->point(11).x, 100, 1e-9);
    EXPECT_NEAR(lines[2]->point(11).y, 100, 1e-9);
    EXPECT_NEAR(lines[3]->point(10).y, 93.904, 1e-9);
    EXPECT_NEAR(lines[3]->point(11).y, 100, 1e-9);

    // Later calls ask nothing more. A gap of 4.500 is not a common cut; 2.286
    // on the second line is (the lines' far ends are the nearer ones here).
    line(204.5, 100, 250, 100);
    line(200, 97.714, 200, 50);
    out = run("CORNERCUT\n230,100\n200,70\n");
    EXPECT_EQ(out.find("Make Line"), std::string::npos) << out;
    EXPECT_NE(out.find("Dist1 [4.500] Dist2 [2.286]"), std::string::npos) << out;
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], "Corner 1 not common cut");
    EXPECT_EQ(live("LINE").size(), 8u);
    alerts().clear();
    out = run("CORNERCUT\n200,70\n230,100\n");
    ASSERT_EQ(alerts().size(), 1u) << out;
    EXPECT_EQ(alerts()[0], "Corner 2 not common cut");
    alerts().clear();

    // What is not a LINE is refused; a line that reaches the corner has no gap
    // to close; parallel lines have no corner. Nothing is drawn for any.
    const size_t before = entity_count();
    text("LOT", 300, 300, "12");
    out = run("CORNERCUT\n300.5,300.5\n");
    EXPECT_NE(out.find("corner_cut_lines 0"), std::string::npos) << out;
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], "Not LINE");
    alerts().clear();
    line(400, 0, 450, 0);
    line(450, 0, 450, 50);
    out = run("CORNERCUT\n420,0\n450,20\n");
    EXPECT_NE(out.find("Dist1 [0.000] Dist2 [0.000]"), std::string::npos) << out;
    ASSERT_GE(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], "Distance ZERO");
    alerts().clear();
    line(500, 0, 550, 0);
    line(500, 10, 550, 10);
    out = run("CORNERCUT\n520,0\n520,10\n");
    EXPECT_NE(out.find("The two lines are parallel: they have no corner."), std::string::npos) << out;
    EXPECT_EQ(entity_count(), before + 5);  // the text and the four lines put in
}

}  // namespace
