// Lot areas through the host as a user would: b_find_area on lots drawn as
// LINEs, b_put_area after the host's "area", b_convert_area on existing texts,
// the suffix file under the installation folder and the settings kept in the
// drawing. Expected values are worked by hand (or a one-line calculation):
//   40 x 25 = 1000 m2; in acres 1000 / 4046.85642 = 0.24711; square feet
//   1000 / 0.09290304 = 10763.91; hectares 0.1; RL 1000 / 2877.76457 = 0.34749;
//   RLPP 1000 / 5351.19871 = 0.18687. 10000 m2 = 1.0 ha = 2.47105 ac.
//   Text height 2.0 x 1000 / 1000 = 2.0; the second unit's line 2 x 2.0 below.
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/entities.h"
#include "db/sysvars.h"
#include "host_fixture.h"
#include "platform/win_platform.h"

namespace {

namespace fs = std::filesystem;
using host::Group;

class LotArea : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        // An installation folder of this test process, so that the suffix file the
        // commands write stays out of the source tree. One folder for all tests of
        // the process: the plug-in may keep the folder it read first while it
        // stays loaded.
        install = (fs::path(home()).parent_path() / ("LotArea.install." + std::to_string(getpid()))).string();
        fs::remove_all(install);
        fs::create_directories(install + "/dcl");
        fs::create_directories(install + "/cfg");
        for (const char* file : {"Find_area_Dlg.dcl", "Convert_area.dcl"})
            fs::copy_file(fs::path(ORVIK_INSTALL_TREE) / "dcl" / file, install + "/dcl/" + file);
        host::platform::registry_write_text(host::platform::kProductKey, "Installation folder", install);
        // The plug-in may stay loaded between tests; a drawing of another name is
        // what tells it to read its settings afresh.
        static int drawings = 0;
        drawing().name = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                         std::to_string(++drawings) + ".dwg";
        ASSERT_TRUE(load_kestrom());
    }

    void TearDown() override
    {
        HostFixture::TearDown();
        std::error_code ignored;
        fs::remove_all(install, ignored);
    }

    void line(double x1, double y1, double x2, double y2)
    {
        ASSERT_EQ(host::entity_make(drawing(), "LINE",
                                    {Group::of_text(8, "LOT"), Group::of_point(10, {x1, y1, 0}),
                                     Group::of_point(11, {x2, y2, 0})},
                                    {}),
                  RTNORM);
    }
    // A closed outline of LINEs through the corners.
    void outline(const std::vector<std::pair<double, double>>& corners)
    {
        for (size_t i = 0; i < corners.size(); ++i) {
            const auto& a = corners[i];
            const auto& b = corners[(i + 1) % corners.size()];
            line(a.first, a.second, b.first, b.second);
        }
    }
    void text(const std::string& layer, const std::string& string)
    {
        ASSERT_EQ(host::entity_make(drawing(), "TEXT",
                                    {Group::of_text(8, layer), Group::of_point(10, {0, 0, 0}),
                                     Group::of_real(40, 1.0), Group::of_text(1, string)},
                                    {}),
                  RTNORM);
    }
    std::vector<const host::Entity*> live(const std::string& type)
    {
        std::vector<const host::Entity*> out;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased && e->type == type) out.push_back(e);
        }
        return out;
    }
    std::vector<std::string> label_texts()
    {
        std::vector<std::string> out;
        for (const host::Entity* e : live("TEXT"))
            if (host::same_text(e->layer(), "Area")) out.push_back(e->text(1));
        return out;
    }
    // The first 1000 string of FIND_AREA on a layer.
    std::string stored(const std::string& layer)
    {
        const host::Entity* record = drawing().get(drawing().find_record("LAYER", layer));
        const host::XDataApp* app = record ? record->xdata_of("FIND_AREA") : nullptr;
        if (!app) return {};
        for (const Group& g : app->items)
            if (g.code == 1000) return g.text;
        return {};
    }
    std::string cfg_file()
    {
        std::ifstream file(install + "/cfg/find_area.cfg");
        std::stringstream content;
        content << file.rdbuf();
        return content.str();
    }

    std::string install;
};

struct UnitCase {
    int unit;
    const char* decimals;
    const char* expected;
};

TEST_F(LotArea, RectangleOfLinesLabelledInEveryUnit)
{
    outline({{0, 0}, {40, 0}, {40, 25}, {0, 25}});
    const std::vector<UnitCase> cases = {
        {0, "3", "1000.000m%%178"}, {1, "4", "0.2471Ac"}, {2, "1", "10763.9Ft"},
        {3, "4", "0.1000Ha"},       {4, "3", "0.347RL"},  {5, "3", "0.187RLP"},
    };
    run("(b_find_area)\nok\nX\n");
    for (const UnitCase& c : cases) {
        SCOPED_TRACE(c.expected);
        const std::string out = run("(b_find_area)\nS\nselect s_unit_a " + std::to_string(c.unit) +
                                    "\nset t_kpcdec_a " + c.decimals + "\nok\n12,7\n\nX\n");
        ASSERT_FALSE(label_texts().empty()) << out;
        EXPECT_EQ(label_texts().back(), c.expected) << out;
    }
    // The label: middle-justified at the pick, 2.0 high, on "Area"; every
    // boundary that bpoly made is gone again.
    const host::Entity* label = live("TEXT").back();
    EXPECT_EQ(label->integer(72), 4);
    EXPECT_DOUBLE_EQ(label->point(11).x, 12.0);
    EXPECT_DOUBLE_EQ(label->point(11).y, 7.0);
    EXPECT_DOUBLE_EQ(label->real(40), 2.0);
    EXPECT_TRUE(live("LWPOLYLINE").empty());
    EXPECT_EQ(live("LINE").size(), 4u) << "the lot's own lines stay";
}

TEST_F(LotArea, LShapedLotAndTheSecondUnitBelow)
{
    // 30 x 10 along the bottom plus 10 x 20 up the left side: 300 + 200 = 500.
    outline({{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 30}, {0, 30}});
    // A 100 x 100 lot beside it: 10000 m2.
    outline({{100, 0}, {200, 0}, {200, 100}, {100, 100}});
    const std::string out =
        run("(b_find_area)\nselect s_unit_a 3\nset t_kpcdec_a 1\npick sec_tg\nselect s_unit_b 1\nset "
            "t_kpcdec_b 3\n"
            "ok\n5,25\n\n150,50\n\nX\n");
    const std::vector<std::string> expected = {"0.1Ha", "0.124Ac", "1.0Ha", "2.471Ac"};
    EXPECT_EQ(label_texts(), expected) << out;
    // The second line: left-justified, 2 x 2.0 below the pick.
    const host::Entity* second = live("TEXT").back();
    EXPECT_NEAR(second->point(10).x, 150.0, 1e-9);
    EXPECT_NEAR(second->point(10).y, 46.0, 1e-9);
    EXPECT_EQ(second->integer(72), 0);
}

TEST_F(LotArea, PointOutsideAnyBoundaryEndsWithoutALabelAndKeepsTheLayer)
{
    outline({{0, 0}, {40, 0}, {40, 25}, {0, 25}});
    const std::string out = run("(b_find_area)\nset t_mkpcscale 500\nok\n60,60\n");
    EXPECT_TRUE(label_texts().empty()) << out;
    EXPECT_TRUE(live("LWPOLYLINE").empty());
    EXPECT_EQ(out.find("<S>top"), std::string::npos) << "nothing to measure: no pause";
    EXPECT_EQ(host::sysvar_string(drawing(), "CLAYER"), "0") << "the current layer is put back";
    EXPECT_EQ(stored("Area").substr(0, 8), "500.000,") << "settings saved when the loop ends";
}

TEST_F(LotArea, LotTypeTagsCountOnAndTheCountersStayInTheDrawing)
{
    outline({{0, 0}, {20, 0}, {20, 10}, {0, 10}});
    line(10, 0, 10, 10);
    run("(b_find_area)\nselect lot_type 4\nok\n5,5\n\n15,5\n\nX\n");
    std::vector<std::string> tags;
    for (const host::Entity* e : live("TEXT"))
        if (const host::XDataApp* app = e->xdata_of("FIND_AREA"))
            for (const Group& g : app->items)
                if (g.code == 1000) tags.push_back(g.text);
    const std::vector<std::string> expected = {"Kedai,1,100.0m%%178", "Kedai,2,100.0m%%178"};
    EXPECT_EQ(tags, expected);
    // Field 16 the lot type (4), then the counters of types 1..6: Kedai's is 3.
    EXPECT_EQ(stored("Area"),
              "1000.000,90.000000,1.000,2.000,0,1,0,2.000,1,3,0,1,0.000,0.000,0,4,0,0,0,3,0,0,");
    EXPECT_EQ(stored("Orvik_survey_temp"), "Area");
}

TEST_F(LotArea, AutoAreaLabelsTheLotsAlongTheSegmentNearestFirstOrReversed)
{
    // Lots 10 x 10 and 20 x 10 between the LINEs at x = 0, 10 and 30.
    line(0, 0, 30, 0);
    line(0, 10, 30, 10);
    for (double x : {0.0, 10.0, 30.0}) line(x, 0, x, 10);
    run("(b_find_area)\nok\nA\n-5,5\n35,5\n\n\nX\n");
    EXPECT_EQ(label_texts(), (std::vector<std::string>{"100.0m%%178", "200.0m%%178"}));
    run("(b_find_area)\nV\n-5,5\n35,5\n\n\nX\n");
    EXPECT_EQ(label_texts(),
              (std::vector<std::string>{"100.0m%%178", "200.0m%%178", "200.0m%%178", "100.0m%%178"}));
}

TEST_F(LotArea, PutAreaLabelsWhatTheAreaCommandMeasured)
{
    const std::string out =
        run("(command \"area\" \"0,0\" \"10,0\" \"10,10\" \"0,10\" \"\")\n(b_put_area)\nok\n5,5\n");
    EXPECT_NE(out.find("Note: Gunakan Command Area sebelum PUT AREA"), std::string::npos) << out;
    EXPECT_EQ(label_texts(), std::vector<std::string>{"100.0m%%178"}) << out;
}

// The only test of b_convert_area: its first call in the life of the loaded
// plug-in is the one that opens the dialog before selecting.
TEST_F(LotArea, ConvertRewritesAreaTextsOnTheFilterLayer)
{
    text("Area", "1000.000m%%178");
    text("Area", "2500");
    text("Area", "no number");
    text("Area", "LOT 12");
    text("Area", "5000.Ac");
    text("NOTES", "1000");
    // Choosing the to unit shows the dialog again with that unit's suffix.
    const std::string out = run("(b_convert_area)\nselect s_to 3\nshow\nset t_cva_dec 4\nok\nall\n\n");
    EXPECT_NE(out.find("Convert Area From meter^2 to hectare"), std::string::npos) << out;
    EXPECT_NE(out.find("value \"Ha\""), std::string::npos) << out;
    // Texts that do not begin with a number are no areas: they are left, and
    // counted.
    EXPECT_EQ(label_texts(),
              (std::vector<std::string>{"0.1000Ha", "0.2500Ha", "no number", "LOT 12", "0.5000Ha"}));
    EXPECT_NE(out.find("\n2 text(s) without a leading number left as they were."), std::string::npos) << out;
    EXPECT_EQ(live("TEXT").back()->text(1), "1000") << "another layer's text is left";
    // The choices stay for the next call; Enter at the selection opens the dialog.
    const std::string again = run("(b_convert_area)\n\nshow\ncancel\n");
    EXPECT_NE(again.find("Dialog convert_area_dlg> show"), std::string::npos) << again;
    EXPECT_NE(again.find("value \"4\""), std::string::npos) << again;
    EXPECT_EQ(label_texts(),
              (std::vector<std::string>{"0.1000Ha", "0.2500Ha", "no number", "LOT 12", "0.5000Ha"}));
}

TEST_F(LotArea, SuffixFileIsReadAndRewrittenWithSixLines)
{
    {
        std::ofstream file(install + "/cfg/find_area.cfg");
        file << "m2\nac\nft\nha\n";
    }
    outline({{0, 0}, {40, 0}, {40, 25}, {0, 25}});
    const std::string out = run("(b_find_area)\nshow\nok\n12,7\n\nX\n");
    EXPECT_NE(out.find("cfgfile. " + install + "/cfg/find_area.cfg"), std::string::npos) << out;
    EXPECT_EQ(label_texts(), std::vector<std::string>{"1000.0m2"});
    EXPECT_EQ(cfg_file(), "m2\nac\nft\nha\nRL\nRLP\n");
    // The suffix typed for the chosen unit a is what the file keeps.
    run("(b_find_area)\nS\nselect s_unit_a 1\nset t_mkpcsymbol_a acres\nok\nX\n");
    EXPECT_EQ(cfg_file(), "m2\nacres\nft\nha\nRL\nRLP\n");
}

TEST_F(LotArea, UnwritableSuffixFileIsReportedAndTheSettingsAreStillTaken)
{
    fs::remove_all(install + "/cfg");
    const std::string out = run("(b_put_area)\nset t_mkpcscale 250\nok\nX\n");
    EXPECT_NE(out.find("Unable write file :"), std::string::npos) << out;
    EXPECT_EQ(stored("Area").substr(0, 8), "250.000,");
}

TEST_F(LotArea, SettingsComeBackFromTheDrawingAfterItIsSavedAndOpened)
{
    const std::string path = home() + "/lots.dxf";
    run("(b_find_area)\nset t_mkpcscale 500\nset t_kpcdec_a 2\npick table_tg\nset t_x 100\nset t_y "
        "50\nok\nX\n"
        "SAVEAS " +
        path + "\nNEW\n");
    // A new drawing has no settings: the dialog shows the defaults.
    std::string out = run("(b_find_area)\nshow\ncancel\n");
    EXPECT_NE(out.find("t_mkpcscale: edit_box, label \"Plot scale 1: \", value \"1000.0000\""),
              std::string::npos)
        << out;
    out = run("OPEN " + path + "\n(b_find_area)\nshow\ncancel\n");
    EXPECT_NE(out.find("value \"500.0000\""), std::string::npos) << out;
    EXPECT_NE(out.find("t_x: edit_box, label \"X :\", value \"100.000\""), std::string::npos) << out;
    EXPECT_EQ(stored("Area"),
              "500.000,90.000000,1.000,2.000,0,2,0,2.000,1,3,1,1,100.000,50.000,0,0,0,0,0,0,0,0,");
}

TEST_F(LotArea, RebuiltFromRoundedBearingsAndDistancesTheBoundaryClosesByTheTransitRule)
{
    // The legs round to 90 deg 40.000, 0 deg 25.000, 270 deg 40.001 and 180 deg
    // 25.001 (three decimals, whole tens of seconds); walked from (0,0) they miss
    // it by 0.001 in x and y, which the transit rule spreads over |dx| and |dy|:
    // corners (0,0), (40.0005,0), (40.0005,25.0005), (0,25.0005) -> 1000.0325.
    // As found the outline holds 1000.02125.
    outline({{0, 0}, {40.0004, 0.0003}, {40.0007, 25.0002}, {0.0002, 25.0006}});
    run("(b_find_area)\nset t_kpcdec_a 4\nok\n20,12\n\nX\n");
    run("(b_find_area)\nS\npick methode_bgd_rb\nok\n20,12\n\nX\n");
    EXPECT_EQ(label_texts(), (std::vector<std::string>{"1000.0213m%%178", "1000.0325m%%178"}));
    EXPECT_TRUE(live("LWPOLYLINE").empty()) << "the rebuilt boundary goes too";
}

TEST_F(LotArea, AreaTableRowsGoUnderEachOther)
{
    outline({{0, 0}, {20, 0}, {20, 10}, {0, 10}});
    line(10, 0, 10, 10);
    run("(b_find_area)\npick table_tg\nset t_x 100\nset t_y 50\nok\n5,5\n\n15,5\n\nX\n");
    // Row height 2.0: numbers right-justified at x 100, areas at 100 + 14 x 1.0 x 2.0.
    std::vector<std::string> rows;
    for (const host::Entity* e : live("TEXT")) {
        if (e->integer(72) != 2) continue;
        const host::Point3 at = e->point(11);
        rows.push_back(e->text(1) + "@" + std::to_string(int(at.x)) + "," + std::to_string(int(at.y)));
    }
    const std::vector<std::string> expected = {"1@100,50", "100.0m%%178@128,50", "2@100,46",
                                               "100.0m%%178@128,46"};
    EXPECT_EQ(rows, expected);
    EXPECT_NE(stored("Area").find(",1,3,100.000,42.000,"), std::string::npos) << stored("Area");
}

TEST_F(LotArea, RotationTakenFromTwoPickedPoints)
{
    outline({{0, 0}, {40, 0}, {40, 25}, {0, 25}});
    // Bearing from (0,0) to (10,10) is 45 deg; a TEXT's rotation is 90 - 45 deg.
    run("(b_find_area)\nok\nR\n0,0\n10,10\n12,7\n\nX\n");
    ASSERT_EQ(live("TEXT").size(), 1u);
    EXPECT_NEAR(live("TEXT")[0]->real(50), M_PI / 4, 1e-9);
    EXPECT_NE(stored("Area").find(",45.000000,"), std::string::npos) << stored("Area");
}

}  // namespace
