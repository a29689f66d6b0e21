// The cross-section area listing, which no LISP function reaches: a caller
// runs xsec_area_listing_cmd (here the script command "XSECAREA"). The cut
// area of a section is the closed outline (500,500) (520,500) (520,503)
// (510,506) (500,504); by the shoelace formula from (500,500):
//   (20*3 - 20*0) + (20*6 - 10*3) + (10*4 - 0*6) = 60 + 90 + 40 = 190, area 95.
#include <algorithm>

#include "small_disk.h"
#include "xsec_drawing.h"
#include "xsec_fixture.h"

namespace {

class XsecArea : public XsecTest {
protected:
    void SetUp() override
    {
        XsecTest::SetUp();
        session().register_script_command("XSECAREA", [](const std::string&) { xsec_area_listing_cmd(); });
        const std::vector<host::Point3> outline = {
            {500, 500, 0}, {520, 500, 0}, {520, 503, 0}, {510, 506, 0}, {500, 504, 0}};
        ASSERT_TRUE(test_make_lwpolyline("XSEC_CUT", 1, outline));
        ads_point at = {480, 510, 0};
        ASSERT_TRUE(
            test_make(acutBuildList(RTDXF0, "TEXT", 8, "XSEC_TEXT", 10, at, 40, 2.0, 1, "CH 25.000", 0)));
    }
    std::string listing() { return read(home() + "/drive_c/xsection_area.cvs"); }
};

TEST_F(XsecArea, AreasAreMeasuredLabelledAndListedByChainage)
{
    // XTB is there but locked and off, and another layer is current.
    ASSERT_TRUE(test_make_point("XTB", 0, 0, 0));
    ASSERT_TRUE(test_make_point("WORK", 0, 0, 0));
    run("(command \"Layer\" \"lock\" \"XTB\" \"off\" \"XTB\" \"\")\n(setvar \"CLAYER\" \"WORK\")\n");
    const size_t before = entity_count();
    const std::string out =
        run("XSECAREA\n"
            "481,511\n510,502\n\n"   // measured and listed
            "481,511\n510,502\nN\n"  // measured, then not taken
            "481,511\n600,600\n"     // no boundary there
            "481,511\nX\n");
    EXPECT_NE(out.find("\nCH 25.000 area :95.00M2"), std::string::npos) << out;
    EXPECT_NE(out.find("\nNo closed boundary around the point; nothing was measured."), std::string::npos)
        << out;
    EXPECT_NE(out.find("\nc:\\xsection_area.cvs Created"), std::string::npos) << out;
    EXPECT_EQ(listing(), "CH 25.000,95.00\n");

    // One label, and no boundary left behind.
    EXPECT_EQ(entity_count(), before + 1);
    const auto labels = live("TEXT", "XTB");
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->text(1), "95.00m%%178");
    EXPECT_NEAR(labels[0]->point(10).x, 510, 1e-9);
    EXPECT_NEAR(labels[0]->real(40), 2.0, 1e-9);
    EXPECT_NEAR(labels[0]->real(50), 0.0, 1e-9);

    // The current layer is the one before; XTB was made usable.
    EXPECT_NE(run("(getvar \"CLAYER\")\n").find("\"WORK\""), std::string::npos);
    const host::Entity* xtb = drawing().get(drawing().find_record("LAYER", "XTB"));
    ASSERT_NE(xtb, nullptr);
    EXPECT_EQ(xtb->integer(70) & 4, 0);  // unlocked
    EXPECT_GT(xtb->integer(62), 0);      // on

    // A second run adds to the listing.
    run("XSECAREA\n481,511\n510,502\nO\n481,511\nX\n");
    EXPECT_EQ(listing(), "CH 25.000,95.00\nCH 25.000,95.00\n");
}

// Anything but a TEXT at "Select CH:" ends the listing, which still exists
// (empty) afterwards.
TEST_F(XsecArea, APickThatIsNoTextEndsTheListing)
{
    const std::string out = run("XSECAREA\n520,501.5\n");
    EXPECT_NE(out.find("\nThat is no TEXT; the listing ends."), std::string::npos) << out;
    EXPECT_NE(out.find("\nc:\\xsection_area.cvs Created"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(home() + "/drive_c/xsection_area.cvs"));
    EXPECT_EQ(listing(), "");
    const std::string none = run("XSECAREA\n\n");
    EXPECT_NE(none.find("\nNo chainage text; the listing ends."), std::string::npos) << none;
}

// A full disk: the line that does not fit is not added, and the listing stays
// whole, without part of the line; with room again the next one is added.
TEST_F(XsecArea, ALineThatDoesNotFitLeavesTheListingWhole)
{
    SmallDisk disk(home() + "/drive_c");
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    // A former listing that leaves less room in its last block than a line takes.
    std::string former;
    for (int i = 0; former.size() + 14 <= 4090; ++i)
        former += "CH " + std::to_string(100 + i % 900) + ".00,1.00\n";
    write(home() + "/drive_c/xsection_area.cvs", former);
    disk.fill();
    session().transcript().alerts.clear();
    const std::string out = run("XSECAREA\n481,511\n510,502\n\n481,511\nX\n");
    EXPECT_EQ(listing(), former);
    EXPECT_EQ(session().transcript().alerts, std::vector<std::string>{"Error Writing file"});
    EXPECT_NE(out.find("\nCH 25.000 was not added to c:\\xsection_area.cvs (cannot write \"" + home() +
                       "/drive_c/xsection_area.cvs\": No space left on device)."),
              std::string::npos)
        << out;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(disk.folder()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".filler", "xsection_area.cvs"}));

    disk.empty();
    run("XSECAREA\n481,511\n510,502\n\n481,511\nX\n");
    EXPECT_EQ(listing(), former + "CH 25.000,95.00\n");
}

}  // namespace
