// Height-point input through the host as a user would: the settings dialog,
// picks and heights typed in, then the POINTs, level TEXTs and the settings
// stored in the drawing. Expected texts and sizes are worked out by hand:
// text height = 1.3 x scale / 1000; TEXT rotation = 90 - bearing, in radians.
#include "input_point.h"

#include <cmath>
#include <string>
#include <vector>

#include "host_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class InputPointTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        // Every test's session loads the plug-in afresh, with its settings unset.
        ASSERT_TRUE(load_kestrom());
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

    // The text stored for "INPUTPNT" on the settings layer; empty when none.
    std::string stored_settings()
    {
        const long id = drawing().find_record("LAYER", "Orvik_survey_temp");
        const host::Entity* layer = drawing().get(id);
        if (!layer) return {};
        const host::XDataApp* app = layer->xdata_of("INPUTPNT");
        if (!app) return {};
        for (const host::Group& g : app->items)
            if (g.code == 1000) return g.text;
        return {};
    }

    static size_t count(const std::string& text, const std::string& part)
    {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }
};

TEST_F(InputPointTest, FirstCallShowsTheDefaultsAndCancelEndsUntilTheNextCall)
{
    std::string out = run("(b_input_point)\nshow\ncancel\n");
    for (const char* shown : {"value \"POINT-P\"", "value \"POINT-D\"", "value \"POINT-INV\"",
                              "t_scale: edit_box, label \"Plot scale 1: \", value \"1000.0000\"",
                              "value \"90.00000000\"", "value \"1.3000\"",
                              "t_width: edit_box, label "
                              "\"Width factor :\", value \"1.0000\"",
                              "t_decimal: edit_box, label \"Decimals :\", value \"3\"",
                              "level_spc_tg: toggle, label \"Blank between whole part and fraction\", value "
                              "\"1\"",
                              "Input Point 2D setting"})
        EXPECT_NE(out.find(shown), std::string::npos) << shown << "\n" << out;
    EXPECT_EQ(out.find("Current Type"), std::string::npos);
    EXPECT_TRUE(stored_settings().empty()) << "cancel stores nothing";
    out = run("(b_treed_point)\nshow\nok\n\n");
    EXPECT_NE(out.find("Dialog input_point_dlg>"), std::string::npos) << "shown again after the cancel";
    EXPECT_NE(out.find("Input Point 3D setting"), std::string::npos);
    EXPECT_EQ(stored_settings(), "1000.000,90.000000,1.300,1.000,3,0,1,POINT-P,POINT-D,POINT-INV,");
}

TEST_F(InputPointTest, WithoutLevelTextTwoDPointsAskNothingAndThreeDPointsTakeTheHeight)
{
    // 2D: the pick keeps its own z and no height is asked; Enter ends.
    std::string out = run("(b_input_point)\nok\n3,4,2.5\nD\n6,8\n\n");
    EXPECT_EQ(out.find("Enter Height"), std::string::npos) << out;
    // 3D (the settings are loaded now, so no dialog): the POINT at the height.
    out = run("(b_treed_point)\nI\n1,1\n17.25\nX\n");
    EXPECT_EQ(out.find("Dialog input_point_dlg>"), std::string::npos);
    EXPECT_NE(out.find("Current Type :Point-INV Prev Level :17.250"), std::string::npos) << out;
    const auto points = live("POINT");
    ASSERT_EQ(points.size(), 3u);
    struct Want {
        const char* layer;
        double x, y, z;
    } want[] = {{"POINT-P", 3, 4, 2.5}, {"POINT-D", 6, 8, 0}, {"POINT-INV", 1, 1, 17.25}};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(points[i]->layer(), want[i].layer);
        const host::Point3 p = points[i]->point(10);
        EXPECT_DOUBLE_EQ(p.x, want[i].x);
        EXPECT_DOUBLE_EQ(p.y, want[i].y);
        EXPECT_DOUBLE_EQ(p.z, want[i].z);
    }
    EXPECT_TRUE(live("TEXT").empty());
}

TEST_F(InputPointTest, LevelTextsCarryTheLevelInTheFormTheSettingsAsk)
{
    struct Case {
        const char* command;
        const char* type;
        const char* decimals;
        const char* spacing;
        const char* height;
        const char* text;
        const char* text_layer;
        const char* point_layer;
        double point_z;  // 3D: the height; 2D: the picked z (2.0)
    } cases[] = {
        {"b_treed_point", "P", "3", "1", "12.345", "12 345", "ARAS-P", "POINT-P", 12.345},
        {"b_treed_point", "I", "3", "1", "12.345", "12 345iL", "ARAS-INV", "POINT-INV", 12.345},
        {"b_input_point", "D", "3", "0", "12.345", "12.345", "ARAS-D", "POINT-D", 2.0},
        {"b_input_point", "P", "2", "0", "7.5", "7.50", "ARAS-P", "POINT-P", 2.0},
        {"b_treed_point", "I", "2", "0", "7.5", "7.50iL", "ARAS-INV", "POINT-INV", 7.5},
        {"b_input_point", "D", "1", "1", "-3.25", "-3 3", "ARAS-D", "POINT-D", 2.0},
    };
    run("(b_input_point)\nok\nX\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.type + " " + c.height);
        const size_t points_before = live("POINT").size(), texts_before = live("TEXT").size();
        const std::string out =
            run(std::string("(") + c.command + ")\nS\nset plot_level_tg 1\nset t_scale 500\nset t_decimal " +
                c.decimals + "\nset level_spc_tg " + c.spacing + "\nok\n" + c.type + "\n40,50,2\n" +
                c.height + "\nX\n");
        const auto points = live("POINT");
        const auto texts = live("TEXT");
        ASSERT_EQ(points.size(), points_before + 1);
        ASSERT_EQ(texts.size(), texts_before + 1);
        const host::Entity& point = *points.back();
        const host::Entity& text = *texts.back();
        EXPECT_EQ(point.layer(), c.point_layer);
        EXPECT_DOUBLE_EQ(point.point(10).z, c.point_z);
        EXPECT_EQ(text.text(1), c.text) << out;
        EXPECT_EQ(text.layer(), c.text_layer);
        EXPECT_EQ(text.integer(72), 4) << "middle";
        const host::Point3 at = text.point(11);
        EXPECT_DOUBLE_EQ(at.x, 40);
        EXPECT_DOUBLE_EQ(at.y, 50);
        EXPECT_DOUBLE_EQ(at.z, 0.0) << "the level text lies flat";
        EXPECT_NEAR(text.real(40), 0.65, 1e-12);  // 1.3 x 500 / 1000
        EXPECT_NEAR(text.real(50), 0.0, 1e-12);   // bearing 90
    }
}

TEST_F(InputPointTest, PickedBearingTurnsTheText)
{
    // Bearing from 0,0 to 10,10 is 45 degrees: the TEXT turns 90 - 45 = 45 degrees.
    run("(b_input_point)\nset plot_level_tg 1\npick pick_text_btn\n0,0\n10,10\nset t_width "
        "0.8\nok\n5,5\n\nX\n");
    const auto texts = live("TEXT");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NEAR(texts[0]->real(50), 45.0 * kPi / 180.0, 1e-9);
    EXPECT_NEAR(texts[0]->real(41), 0.8, 1e-12);
    EXPECT_EQ(texts[0]->text(1), "0 000") << "Enter takes the previous level 0";
    EXPECT_EQ(stored_settings(), "1000.000,45.000000,1.300,0.800,3,1,1,POINT-P,POINT-D,POINT-INV,");
}

TEST_F(InputPointTest, SettingsStayWithTheirDrawing)
{
    // Drawing 1 stores scale 500 and the P layer "SPOT"; drawing 2 starts from
    // the defaults; back in drawing 1 they are read again from it.
    run("(b_input_point)\nset t_pnt_p_layer SPOT\nset plot_level_tg 1\nset t_scale 500\nok\nX\n");
    EXPECT_EQ(stored_settings(), "500.000,90.000000,1.300,1.000,3,1,1,SPOT,POINT-D,POINT-INV,");
    run("NEW\n");
    std::string out = run("(b_input_point)\nshow\nok\nX\n");
    EXPECT_NE(out.find("value \"POINT-P\""), std::string::npos) << out;
    EXPECT_NE(out.find("value \"1000.0000\""), std::string::npos);
    run("SWITCH 1\n");
    out = run("(b_input_point)\nshow\nok\n1,2\n4.5\nX\n");
    EXPECT_NE(out.find("value \"SPOT\""), std::string::npos) << out;
    EXPECT_NE(out.find("value \"500.0000\""), std::string::npos);
    const auto points = live("POINT");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0]->layer(), "SPOT");
    ASSERT_EQ(live("TEXT").size(), 1u);
    EXPECT_EQ(live("TEXT")[0]->text(1), "4 500");
}

TEST_F(InputPointTest, MainPromptKeywordsAndTheSettingsAgain)
{
    // "s" shows the dialog again; its OK saves at once. Unknown answers are ignored.
    const std::string out = run("(b_input_point)\nok\nq\nd\ns\nset t_pnt_d_layer DRAIN\nok\n2,2\nx\n");
    EXPECT_EQ(count(out, "Dialog input_point_dlg>"), 3u) << out;
    EXPECT_NE(out.find("Current Type :Point-D"), std::string::npos);
    ASSERT_EQ(live("POINT").size(), 1u);
    EXPECT_EQ(live("POINT")[0]->layer(), "DRAIN");
    EXPECT_EQ(stored_settings(), "1000.000,90.000000,1.300,1.000,3,0,1,POINT-P,DRAIN,POINT-INV,");
    // An invalid layer name is refused and the tile keeps the last good one.
    run("(b_input_point)\nS\nset t_pnt_i_layer BAD*NAME\nok\nX\n");
    EXPECT_EQ(stored_settings(), "1000.000,90.000000,1.300,1.000,3,0,1,POINT-P,DRAIN,POINT-INV,");
}

TEST(InputPointCfg, StoredTextRoundTripsAndShortTextsAreRefused)
{
    inputpnt_cfg_rec cfg;
    cfg.scale = 250;
    cfg.rotation = 12.5;
    cfg.decimals = 2;
    cfg.plot_level = 1;
    cfg.layer_i = "INV";
    const std::string text = inputpnt_cfg_text(cfg);
    EXPECT_EQ(text, "250.000,12.500000,1.300,1.000,2,1,1,POINT-P,POINT-D,INV,");
    inputpnt_cfg_rec back;
    ASSERT_TRUE(inputpnt_cfg_parse(text, back));
    EXPECT_EQ(inputpnt_cfg_text(back), text);
    inputpnt_cfg_rec untouched;
    EXPECT_FALSE(inputpnt_cfg_parse("aa", untouched));
    EXPECT_EQ(untouched.scale, 1000.0);
}

}  // namespace
