// The bearing-distance input driven as a user types it: a start point, then
// D.MMSS bearings and distances; the lines, points and texts it leaves and the
// settings it keeps in the drawing are checked against end points worked out
// by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host_fixture.h"

namespace {

std::vector<const host::Entity*> entities_of(const host::Drawing& drawing, const std::string& type)
{
    std::vector<const host::Entity*> found;
    for (long id : drawing.model) {
        const host::Entity* entity = drawing.get(id);
        if (entity && !entity->erased && entity->type == type) found.push_back(entity);
    }
    return found;
}

void expect_point(const host::Point3& actual, double x, double y, double z = 0)
{
    EXPECT_NEAR(actual.x, x, 0.0005);
    EXPECT_NEAR(actual.y, y, 0.0005);
    EXPECT_NEAR(actual.z, z, 0.0005);
}

class InputBgd : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }
    std::string stored_settings()
    {
        const long layer = drawing().find_record("LAYER", "Orvik_survey_temp");
        if (layer == 0) return {};
        const host::XDataApp* data = drawing().get(layer)->xdata_of("INPBGDRAD");
        if (data == nullptr || data->items.empty()) return {};
        return data->items.front().text;
    }
};

TEST_F(InputBgd, TraverseLegsInMetresLinksAndFeet)
{
    // Worked by hand: x += d sin b, y += d cos b.
    //   45d 100 m from (1000,2000): 100 x 0.7071068 = 70.711 -> (1070.711, 2070.711)
    //   -45.0000 is the reverse bearing 225d, 100 m: back to (1000, 2000)
    //   90d 100 links = 20.1168 m -> (1020.117, 2000)
    //   180d30' 100 ft = 30.48 m: dx = -30.48 sin 0.5d = -0.266, dy = -30.48 cos 0.5d = -30.479
    //   -> (1019.851, 1969.521)
    const std::string shown =
        run("(b_inputbgd)\n1000,2000\n45.0000\n100\n-45.0000\n100\n"
            "L\n90\n100\nF\n180.3000\n100\n"
            "361.3000\n-361.0000\nX\n");
    const auto lines = entities_of(drawing(), "LINE");
    ASSERT_EQ(lines.size(), 4u);
    const double ends[4][4] = {{1000, 2000, 1070.711, 2070.711},
                               {1070.711, 2070.711, 1000, 2000},
                               {1000, 2000, 1020.117, 2000},
                               {1020.117, 2000, 1019.851, 1969.521}};
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        expect_point(lines[i]->point(10), ends[i][0], ends[i][1]);
        expect_point(lines[i]->point(11), ends[i][2], ends[i][3]);
        EXPECT_EQ(lines[i]->layer(), "0");
    }
    EXPECT_NE(shown.find("Jarak(LINK) :"), std::string::npos);
    EXPECT_NE(shown.find("Jarak(FEET) :"), std::string::npos);
    EXPECT_NE(shown.find("TRAV:dd.mmss<225.0000>:"), std::string::npos);
    // Both 361.3000 and -361.0000 are refused and draw nothing.
    size_t alerts = 0;
    for (size_t at = shown.find("Invalid input"); at != std::string::npos;
         at = shown.find("Invalid input", at + 1))
        ++alerts;
    EXPECT_EQ(alerts, 2u);
}

// Minutes or seconds of 60 or more are no D.MMSS bearing: refused with a
// message, and nothing is drawn for them.
TEST_F(InputBgd, BearingsWithMinutesOrSecondsOfSixtyAreRefused)
{
    const std::string shown = run("(b_inputbgd)\n0,0\n45.7500\n-10.0060\n90\n10\nX\n");
    EXPECT_NE(
        shown.find("\n45.7500 is no D.MMSS bearing: degrees below 360, minutes and seconds from 00 to 59."),
        std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\n-10.0060 is no D.MMSS bearing"), std::string::npos);
    EXPECT_EQ(session().transcript().alerts, std::vector<std::string>(2, "Invalid input"));
    const auto lines = entities_of(drawing(), "LINE");
    ASSERT_EQ(lines.size(), 1u);
    expect_point(lines[0]->point(11), 10, 0);
}

TEST_F(InputBgd, CoordinateUnitAndUserFactor)
{
    // Start typed in links: (100, 50) links = (20.1168, 10.0584) m. User factor
    // 2.5: 0d 10 units = 25 m north -> (20.117, 35.058). Exit at the distance
    // prompt draws nothing more.
    const std::string shown = run("(b_inputbgd)\nL\n100,50\nU\n2.5\n0\n10\n90\nX\n");
    const auto lines = entities_of(drawing(), "LINE");
    ASSERT_EQ(lines.size(), 1u);
    expect_point(lines[0]->point(10), 20.1168, 10.0584);
    expect_point(lines[0]->point(11), 20.1168, 35.0584);
    EXPECT_NE(shown.find("Coord Unit LINK"), std::string::npos);
    EXPECT_NE(shown.find("Jarak(User) :"), std::string::npos);
}

TEST_F(InputBgd, RadiationsWithLevelsAndSettingsKeptInTheDrawing)
{
    // RAD from (500, 500): the first "R" opens the settings dialog. 3D points,
    // level texts on "LVL"; text height 1.3 x 500 / 1000 = 0.65.
    //   90d 10 m level 12.5 -> POINT (510, 500, 12.5), TEXT "12.500"
    //   180d 20 m level 0   -> nothing drawn
    //   270d 5 m level 7.25 -> POINT (495, 500, 7.25), TEXT "7.250"
    run("(b_inputbgd)\n500,500\nR\n"
        "pick tg_PromptLevel\nset t_LevelLayer LVL\nset t_PlotScale 500\nselect pop_ObjectType 1\nok\n"
        "90\n10\n12.5\n180\n20\n0\n270\n5\n7.25\nX\n");
    const auto points = entities_of(drawing(), "POINT");
    ASSERT_EQ(points.size(), 2u);
    expect_point(points[0]->point(10), 510, 500, 12.5);
    expect_point(points[1]->point(10), 495, 500, 7.25);
    const auto texts = entities_of(drawing(), "TEXT");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->text(1), "12.500");
    EXPECT_EQ(texts[1]->text(1), "7.250");
    EXPECT_EQ(texts[0]->layer(), "LVL");
    EXPECT_NEAR(texts[0]->real(40), 0.65, 1e-9);
    expect_point(texts[0]->point(10), 510, 500);
    EXPECT_TRUE(entities_of(drawing(), "LINE").empty());
    EXPECT_EQ(stored_settings(), "1,0,1.300,500.000,1.300,0,1,LVL,Rad-text,");

    // A second call in the same drawing keeps the mode and asks no dialog; the
    // settings are read back from the drawing.
    run("(b_inputbgd)\n0,0\n45\n10\n3\nX\n");
    const auto more = entities_of(drawing(), "POINT");
    ASSERT_EQ(more.size(), 3u);
    expect_point(more[2]->point(10), 7.071, 7.071, 3);
}

TEST_F(InputBgd, CancelledSettingsDialogKeepsTraverseMode)
{
    // "R", cancel: still TRAV, so 0d 10 m draws a line; nothing stored.
    const std::string shown = run("(b_inputbgd)\n0,0\nR\ncancel\n0\n10\nX\n");
    const auto lines = entities_of(drawing(), "LINE");
    ASSERT_EQ(lines.size(), 1u);
    expect_point(lines[0]->point(11), 0, 10);
    EXPECT_EQ(stored_settings(), "");
    EXPECT_EQ(shown.find("RAD:"), std::string::npos);
}

TEST_F(InputBgd, RadiationLinesAndNoteTexts)
{
    // Object type 2D line with a note text on "NOTES"; text height 2 x 1000 / 1000.
    // 30d 20 m from (100, 100): (110, 117.321).
    run("(b_inputbgd)\n100,100\nR\npick tg_PromptText\nset t_TextLayer NOTES\nset t_TxtHeight 2\n"
        "select pop_ObjectType 2\nok\n30\n20\nTree 1\nX\n");
    const auto lines = entities_of(drawing(), "LINE");
    ASSERT_EQ(lines.size(), 1u);
    expect_point(lines[0]->point(10), 100, 100);
    expect_point(lines[0]->point(11), 110, 117.321);
    const auto texts = entities_of(drawing(), "TEXT");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text(1), "Tree 1");
    EXPECT_EQ(texts[0]->layer(), "NOTES");
    EXPECT_NEAR(texts[0]->real(40), 2.0, 1e-9);
    EXPECT_EQ(stored_settings(), "0,1,1.300,1000.000,2.000,0,2,Rad-level,NOTES,");
}

}  // namespace
