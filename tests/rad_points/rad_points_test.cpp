// Radiation points through the host as a user would: the dialog, picks and
// polylines numbered, the search for the next free number, then the POINTs and
// TEXTs with their "RADLISTING" 1071 tags and the settings list stored on the
// settings layer. Text height = 1.3 x scale / 1000 (1.3 at 1:1000, 0.65 at
// 1:500); the texts are horizontal (rotation 90 - 90 = 0).
#include "rad_points.h"

#include <string>
#include <vector>

#include "entity_makers.h"
#include "host_fixture.h"

namespace {

class RadPointsTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        std::vector<const host::Entity*> out;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased && e->type == type && (layer.empty() || e->layer() == layer))
                out.push_back(e);
        }
        return out;
    }

    static long tag(const host::Entity* e)
    {
        const host::XDataApp* app = e->xdata_of("RADLISTING");
        if (!app) return -1;
        for (const host::Group& g : app->items)
            if (g.code == 1071) return g.integer;
        return -1;
    }

    // The stored KEY=VALUE list of "RADLISTING" on the settings layer.
    std::vector<std::string> stored_list()
    {
        std::vector<std::string> out;
        const host::Entity* layer = drawing().get(drawing().find_record("LAYER", "Orvik_survey_temp"));
        const host::XDataApp* app = layer ? layer->xdata_of("RADLISTING") : nullptr;
        if (!app) return out;
        for (const host::Group& g : app->items)
            if (g.code == 1000) out.push_back(g.text);
        return out;
    }

    // Checks the numbered POINTs and TEXTs in drawing order against the numbers
    // and places given.
    void expect_numbered(const std::vector<long>& numbers, const std::vector<host::Point3>& at, double height,
                         const std::string& point_layer = "RAD_LISTING_PNT",
                         const std::string& text_layer = "RAD_LISTING_TXT")
    {
        const auto points = live("POINT", point_layer), texts = live("TEXT", text_layer);
        ASSERT_EQ(points.size(), numbers.size());
        ASSERT_EQ(texts.size(), numbers.size());
        for (size_t i = 0; i < numbers.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(tag(points[i]), numbers[i]);
            EXPECT_EQ(tag(texts[i]), numbers[i]);
            EXPECT_EQ(texts[i]->text(1), std::to_string(numbers[i]));
            EXPECT_DOUBLE_EQ(points[i]->point(10).x, at[i].x);
            EXPECT_DOUBLE_EQ(points[i]->point(10).y, at[i].y);
            EXPECT_DOUBLE_EQ(texts[i]->point(10).x, at[i].x);
            EXPECT_DOUBLE_EQ(texts[i]->point(10).y, at[i].y);
            EXPECT_NEAR(texts[i]->real(40), height, 1e-12);
            EXPECT_NEAR(texts[i]->real(50), 0.0, 1e-12);
        }
    }

    // Points picked with the pick loop (the dialog open, no search) and saved.
    std::string pick_points(const std::string& picks, const std::string& before = {})
    {
        return run("(b_rad_create_pnt)\n" + before + "pick new_radiate_tg\npick pick_pnt_btn\n" + picks +
                   "X\npick save_btn\n");
    }
};

TEST_F(RadPointsTest, PickedPointsAreNumberedTaggedAndTheNextNumberStored)
{
    const std::string out = pick_points("10,10\n20,15\n30,10\n");
    EXPECT_NE(out.find("Ok bye come again.."), std::string::npos) << out;
    expect_numbered({100, 101, 102}, {{10, 10, 0}, {20, 15, 0}, {30, 10, 0}}, 1.3);
    const std::vector<std::string> want = {"INDEX=11",
                                           "POINT_LAYER=RAD_LISTING_PNT",
                                           "TEXT_LAYER=RAD_LISTING_TXT",
                                           "SCALE=1000.000",
                                           "TEXT_HEIGHT=1.300",
                                           "TEXT_WIDTH=1.000",
                                           "TEXT_ROT=90.000000",
                                           "PNT_OPT=0",
                                           "MODIFIED_LAYER=0",
                                           "START_NUMBER=103",
                                           "SELECT_ALL_TG=0"};
    EXPECT_EQ(stored_list(), want);
    // The next call goes on from 103 with what the dialog was given.
    pick_points("40,40\n", "set scale_text 500\nset pointlayer_text RP\nset textlayer_text RT\n");
    expect_numbered({103}, {{40, 40, 0}}, 0.65, "RP", "RT");
}

TEST_F(RadPointsTest, PickButtonsWaitForTheSearchOrANewRadiation)
{
    const std::string out = run("(b_rad_create_pnt)\npick pick_pnt_btn\ncancel\n");
    EXPECT_NE(out.find("disabled"), std::string::npos) << out;
    EXPECT_EQ(out.find("e<X>it Pick Point"), std::string::npos) << "the pick loop does not start";
    EXPECT_TRUE(live("POINT").empty());
    // Cancel leaves only the store's first default, no settings list.
    EXPECT_EQ(stored_list(), std::vector<std::string>{"RADLISTING"});
}

TEST_F(RadPointsTest, SearchGivesTheNextFreeNumberAndAlertsDuplicates)
{
    // No numbered point yet (one plain POINT): the next number is 1.
    point_make({5, 5, 0}, "OTHER");
    std::string out = run("(b_rad_create_pnt)\npick SelectAll_tg\npick select_obj_btn\nshow\ncancel\n");
    EXPECT_NE(out.find("startnumber_text: edit_box, label \"Next number :\", value \"1\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("pick_pnt_btn: button, label \"Pick points <\", enabled"), std::string::npos);

    // Points 100..112, then 105 again: the search finds 113 and alerts 105 once.
    std::string picks;
    for (int i = 0; i < 13; ++i) picks += std::to_string(i * 10) + ",0\n";
    pick_points(picks);
    run("(b_rad_create_pnt)\nset startnumber_text 105\npick new_radiate_tg\npick pick_pnt_btn\n0,50\nX\n"
        "pick save_btn\n");
    session().transcript().alerts.clear();
    out =
        run("(b_rad_create_pnt)\npick SelectAll_tg\npick select_obj_btn\npick pick_pnt_btn\n0,99\nX\n"
            "pick save_btn\n");
    ASSERT_EQ(session().transcript().alerts.size(), 1u) << out;
    EXPECT_EQ(session().transcript().alerts[0], "Point Duplicated no.\n105");
    const auto points = live("POINT", "RAD_LISTING_PNT");
    ASSERT_EQ(points.size(), 15u);
    EXPECT_EQ(tag(points.back()), 113);
    EXPECT_DOUBLE_EQ(points.back()->point(10).y, 99);
}

TEST_F(RadPointsTest, PolylineIsNumberedFromTheEndNearerThePick)
{
    // Two four-vertex polylines: the first picked near its last vertex (40,0),
    // the second near its first (0,20).
    for (double y : {0.0, 20.0}) {
        for (double x : {0.0, 10.0, 25.0, 40.0}) lwpoly_make({x, y, 0}, 1);
        lwpoly_make({}, 2);
    }
    const std::string out =
        run("(b_rad_create_pnt)\npick new_radiate_tg\npick select_pl_btn\nALL\n\n39,1\n"
            "1,21\nshow\npick save_btn\n");
    EXPECT_NE(out.find("value \"108\""), std::string::npos) << "the tile shows the next number\n" << out;
    expect_numbered(
        {100, 101, 102, 103, 104, 105, 106, 107},
        {{40, 0, 0}, {25, 0, 0}, {10, 0, 0}, {0, 0, 0}, {0, 20, 0}, {10, 20, 0}, {25, 20, 0}, {40, 20, 0}},
        1.3);
    EXPECT_EQ(stored_list().at(9), "START_NUMBER=108");
}

// A closed lot of four corners gives four points, once each, whichever end the
// numbering starts from; so does one drawn back onto its first corner.
TEST_F(RadPointsTest, AClosedPolylineGivesEachCornerOnce)
{
    struct Case {
        int flags;
        bool drawn_back;
        const char* pick;
        std::vector<long> numbers;
        std::vector<host::Point3> at;
    } cases[] = {
        {1, false, "1,1", {100, 101, 102, 103}, {{0, 0, 0}, {30, 0, 0}, {30, 20, 0}, {0, 20, 0}}},
        {1, false, "1,19", {100, 101, 102, 103}, {{0, 20, 0}, {30, 20, 0}, {30, 0, 0}, {0, 0, 0}}},
        {0, true, "1,1", {100, 101, 102, 103}, {{0, 0, 0}, {30, 0, 0}, {30, 20, 0}, {0, 20, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pick);
        for (const host::Entity* e : live("POINT")) const_cast<host::Entity*>(e)->erased = true;
        for (const host::Entity* e : live("TEXT")) const_cast<host::Entity*>(e)->erased = true;
        for (const host::Entity* e : live("LWPOLYLINE")) const_cast<host::Entity*>(e)->erased = true;
        lwpoly_chain().flags = c.flags;
        for (const host::Point3& p :
             std::vector<host::Point3>{{0, 0, 0}, {30, 0, 0}, {30, 20, 0}, {0, 20, 0}})
            lwpoly_make({p.x, p.y, 0}, 1);
        if (c.drawn_back) lwpoly_make({0, 0, 0}, 1);
        lwpoly_make({}, 2);
        run("(b_rad_create_pnt)\nset startnumber_text 100\npick new_radiate_tg\npick select_pl_btn\nALL\n\n" +
            std::string(c.pick) + "\npick save_btn\n");
        expect_numbered(c.numbers, c.at, 1.3);
        EXPECT_EQ(stored_list().at(9), "START_NUMBER=104");
    }
    lwpoly_chain().flags = 0;
}

// The numbers end where a 32-bit number ends: the last one there is cannot be
// given (no number would follow it), and the tile refuses it.
TEST_F(RadPointsTest, NumbersPastTheLastOneAreRefused)
{
    std::string out = pick_points("1,1\n2,2\n", "set startnumber_text 2147483646\n");
    EXPECT_NE(out.find("\nRadiation numbers run up to 2147483646: no point was made for 2147483647."),
              std::string::npos)
        << out;
    expect_numbered({2147483646}, {{1, 1, 0}}, 1.3);
    EXPECT_EQ(stored_list().at(9), "START_NUMBER=2147483647");

    // A point tagged with the last number: the search cannot go past it.
    run("(b_rad_create_pnt)\npick SelectAll_tg\npick select_obj_btn\npick pick_pnt_btn\n5,5\nX\n"
        "pick save_btn\n");
    EXPECT_EQ(live("POINT", "RAD_LISTING_PNT").size(), 1u);

    out = run("(b_rad_create_pnt)\nset startnumber_text 2147483647\nshow\ncancel\n");
    EXPECT_NE(out.find("Radiation numbers run up to 2147483646."), std::string::npos) << out;
}

TEST_F(RadPointsTest, NumberPromptTakesTheTypedNumber)
{
    pick_points("1,1\n57\n2,2\n\n", "pick numberpromp_tg\n");
    expect_numbered({57, 58}, {{1, 1, 0}, {2, 2, 0}}, 1.3);
}

TEST_F(RadPointsTest, SettingsAreReadFromEachDrawing)
{
    run("(b_rad_create_pnt)\nset scale_text 500\nset startnumber_text 7\npick save_btn\n");
    run("NEW\n");
    std::string out = run("(b_rad_create_pnt)\nshow\ncancel\n");
    EXPECT_NE(out.find("value \"1000.0000\""), std::string::npos) << out;
    EXPECT_NE(out.find("value \"100\""), std::string::npos);
    run("SWITCH 1\n");
    out = run("(b_rad_create_pnt)\nshow\ncancel\n");
    EXPECT_NE(out.find("value \"500.0000\""), std::string::npos) << out;
    EXPECT_NE(out.find("startnumber_text: edit_box, label \"Next number :\", value \"7\""),
              std::string::npos);
}

TEST(RadListingList, ReadingMatchesKeysWithoutCaseAndSkipsOthers)
{
    std::vector<key_string_rec> list;
    for (const char* text :
         {"INDEX=5", "text_layer=T2", "UNKNOWN=1", "start_number=42", "Scale=250.000", "TEXT_HEIGHT=9.0"})
        key_string_push(list, 0, text);
    rad_listing_rec cfg;
    rad_listing_parse(list, cfg);
    EXPECT_EQ(cfg.text_layer, "T2");
    EXPECT_EQ(cfg.next_number, 42);
    EXPECT_DOUBLE_EQ(cfg.scale, 250.0);
    EXPECT_DOUBLE_EQ(cfg.text_height, 1.3) << "entry 5 lies beyond the count";
}

}  // namespace
