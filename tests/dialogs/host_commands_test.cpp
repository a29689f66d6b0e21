// The host commands Text, Donut, _zoom and _redrawall as acedCommand runs them,
// and acedTextBox on the host's font model (a glyph is 0.8 x height x width
// factor wide). The expected numbers are worked out by hand in the comments.
#include <gtest/gtest.h>

#include <cmath>

#include "ads.h"
#include "commands/cmd_misc.h"
#include "db/entities.h"
#include "host_fixture.h"
#include "session/session.h"
#include "db/sysvars.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class HostCommands : public HostFixture {
protected:
    // Runs a host command as acedCommand would, with its answers as texts.
    int command(const std::string& name, host::CommandArgs args) { return session().run_command(name, args); }
    const host::Entity* last() { return drawing().get(drawing().last_main()); }
    void set_style(int code, double value)
    {
        host::Entity* style = drawing().get(drawing().find_record("STYLE", "Standard"));
        ASSERT_NE(style, nullptr);
        if (host::Group* group = style->find(code))
            group->real = value;
        else
            style->groups.push_back(host::Group::of_real(code, value));
    }
    void surveyor_angles()  // north is 0, angles clockwise
    {
        ASSERT_TRUE(host::set_sysvar_real(drawing(), "ANGBASE", kPi / 2));
        ASSERT_TRUE(host::set_sysvar_short(drawing(), "ANGDIR", 1));
    }
};

void expect_point(const host::Point3& p, double x, double y, const std::string& what)
{
    EXPECT_NEAR(p.x, x, 1e-9) << what;
    EXPECT_NEAR(p.y, y, 1e-9) << what;
}

TEST_F(HostCommands, TextWithEachJustification)
{
    host::ensure_layer(drawing(), "ROAD");
    ASSERT_TRUE(host::set_sysvar_string(drawing(), "CLAYER", "ROAD"));
    // "ABC" at height 2.5 is 0.8 x 3 x 2.5 = 6.0 wide.
    struct Case {
        host::CommandArgs args;
        int h, v;
        double x10, y10;
        bool has11;
    };
    const Case cases[] = {
        {{"none", "10,20", "2.5", "0", "ABC"}, 0, 0, 10, 20, false},
        {{"l", "none", "10,20", "2.5", "0", "ABC"}, 0, 0, 10, 20, false},
        {{"c", "none", "10,20", "2.5", "0", "ABC"}, 1, 0, 7, 20, true},          // 10 - 6/2
        {{"m", "none", "10,20", "2.5", "0", "ABC"}, 4, 0, 7, 18.75, true},       // and 20 - 2.5/2
        {{"r", "none", "10,20", "2.5", "0", "ABC"}, 2, 0, 4, 20, true},          // 10 - 6
        {{"j", "tr", "none", "10,20", "2.5", "0", "ABC"}, 2, 3, 4, 17.5, true},  // 20 - 2.5
    };
    for (const Case& c : cases) {
        const std::string what = c.args[0];
        ASSERT_EQ(command("Text", c.args), RTNORM) << what;
        const host::Entity* text = last();
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->type, "TEXT");
        EXPECT_EQ(text->text(1), "ABC");
        EXPECT_EQ(text->layer(), "ROAD");
        EXPECT_EQ(text->text(7), "Standard");
        EXPECT_DOUBLE_EQ(text->real(40), 2.5);
        EXPECT_DOUBLE_EQ(text->real(50), 0.0);
        EXPECT_EQ(text->integer(72), c.h) << what;
        EXPECT_EQ(text->integer(73), c.v) << what;
        expect_point(text->point(10), c.x10, c.y10, what);
        EXPECT_EQ(text->find(11) != nullptr, c.has11) << what;
        if (c.has11) expect_point(text->point(11), 10, 20, what);
    }
}

TEST_F(HostCommands, TextAnglesFollowAngbaseAndAngdir)
{
    surveyor_angles();
    struct Case {
        const char* angle;
        double rotation;  // radians counter-clockwise from east
    };
    const Case cases[] = {
        {"90", 0.0},                        // east
        {"0", kPi / 2},                     // north
        {"100", (360.0 - 10) * kPi / 180},  // 90 - 100 = -10, i.e. 350 degrees
        {"180", 3 * kPi / 2},               // south
    };
    for (const Case& c : cases) {
        ASSERT_EQ(command("Text", {"r", "none", "10,20", "2.5", c.angle, "ABC"}), RTNORM) << c.angle;
        EXPECT_NEAR(last()->real(50), c.rotation, 1e-12) << c.angle;
    }
    // The right-justified text along north: its 6.0 width runs up from 10 to 11.
    ASSERT_EQ(command("Text", {"r", "none", "10,20", "2.5", "0", "ABC"}), RTNORM);
    expect_point(last()->point(10), 10, 14, "north");
}

TEST_F(HostCommands, FixedHeightStyleTakesNoHeightAnswer)
{
    set_style(40, 3.0);
    set_style(41, 0.5);
    // The answer after the point is the angle: 90 degrees. "ABC" at 3.0 and width
    // factor 0.5 is 0.8 x 3 x 3 x 0.5 = 3.6 wide; centred along north, 10 lies
    // 1.8 below 11.
    host::CommandArgs args = {"c", "none", "10,20", "90", "ABC", "next"};
    ASSERT_EQ(session().run_command("Text", args), RTNORM);
    const host::Entity* text = last();
    EXPECT_DOUBLE_EQ(text->real(40), 3.0);
    EXPECT_DOUBLE_EQ(text->real(41), 0.5);
    EXPECT_NEAR(text->real(50), kPi / 2, 1e-12);
    EXPECT_EQ(text->text(1), "ABC");
    expect_point(text->point(10), 10, 18.2, "fixed height");
    EXPECT_EQ(args, (host::CommandArgs{"next"}));  // the answers did not shift
}

TEST_F(HostCommands, ThroughAcedCommand)
{
    // The values as a plug-in passes them: strings, reals and points.
    const ads_point at = {10, 20, 0};
    ASSERT_EQ(acedCommand(RTSTR, "Text", RTSTR, "m", RTSTR, "none", RTPOINT, at, RTREAL, 2.5, RTREAL, 0.0,
                          RTSTR, "ABC", RTNONE),
              RTNORM);
    EXPECT_EQ(last()->type, "TEXT");
    expect_point(last()->point(10), 7, 18.75, "middle");  // 6.0 wide, 2.5 high about (10,20)

    const ads_point centre = {5, 5, 0};
    ASSERT_EQ(acedCommand(RTSTR, "Donut", RTSTR, "0", RTREAL, 2.0, RTPOINT, centre, RTSTR, "", RTNONE),
              RTNORM);
    EXPECT_EQ(last()->type, "LWPOLYLINE");
    EXPECT_DOUBLE_EQ(last()->real(43), 1.0);  // filled: (2 - 0) / 2 wide

    const ads_point from = {0, 0, 0}, to = {30, 18, 0};
    ASSERT_EQ(acedCommand(RTSTR, "_zoom", RTSTR, "w", RTPOINT, from, RTPOINT, to, RTNONE), RTNORM);
    expect_point(host::sysvar_point(drawing(), "VIEWCTR"), 15, 9, "zoom");
    EXPECT_NEAR(host::sysvar_real(drawing(), "VIEWSIZE"), 18, 1e-9);  // 30 wide fits 18 high at 1000:600
}

TEST_F(HostCommands, TextFromAScriptWithAFixedHeightStyle)
{
    set_style(40, 2.0);
    surveyor_angles();
    // "AB" at 2.0 is 0.8 x 2 x 2 = 3.2 wide; right-justified along the bearing 90
    // (east), 10 lies 3.2 west of 11.
    const std::string shown = run("(command \"Text\" \"r\" \"none\" \"10,20\" 90 \"AB\")\n");
    const host::Entity* text = last();
    ASSERT_NE(text, nullptr) << shown;
    EXPECT_EQ(text->text(1), "AB");
    EXPECT_DOUBLE_EQ(text->real(40), 2.0);
    EXPECT_NEAR(text->real(50), 0.0, 1e-12);
    expect_point(text->point(10), 6.8, 20, "script");
    expect_point(text->point(11), 10, 20, "script");
}

TEST_F(HostCommands, TextThatCannotBeMadeFails)
{
    const host::CommandArgs cases[] = {
        {"r", "none", "abc", "2.5", "0", "X"},   // no point
        {"r", "none", "1,1", "-2", "0", "X"},    // no height
        {"r", "none", "1,1", "2", "east", "X"},  // no angle
        {"r", "none", "1,1", "2"},               // answers missing
        {"a", "1,1", "5,1", "X"},                // aligned text is not carried out
        {"r", "none", "1,1", "2", "0", ""},      // no text
    };
    for (const host::CommandArgs& args : cases) {
        session().transcript().clear();
        EXPECT_EQ(command("Text", args), RTERROR) << args[2];
        EXPECT_EQ(drawing().last_main(), 0) << args[2];
        EXPECT_NE(session().transcript().text().find("Text: "), std::string::npos);
    }
}

TEST_F(HostCommands, DonutIsAWideClosedPolyline)
{
    // Inside 1, outside 3: the ring runs on radius (3 + 1) / 4 = 1 and is
    // (3 - 1) / 2 = 1 wide; about the centre (5,5) its vertices are (4,5) and (6,5).
    ASSERT_EQ(command("Donut", {"1", "3", "5,5", ""}), RTNORM);
    const host::Entity* donut = last();
    ASSERT_NE(donut, nullptr);
    EXPECT_EQ(donut->type, "LWPOLYLINE");
    EXPECT_EQ(donut->layer(), "0");
    EXPECT_EQ(donut->integer(70), 1);
    EXPECT_DOUBLE_EQ(donut->real(43), 1.0);
    std::vector<host::Point3> vertices;
    std::vector<double> bulges;
    for (const host::Group& group : donut->groups) {
        if (group.code == 10) vertices.push_back(group.point);
        if (group.code == 42) bulges.push_back(group.real);
    }
    ASSERT_EQ(vertices.size(), 2u);
    expect_point(vertices[0], 4, 5, "first vertex");
    expect_point(vertices[1], 6, 5, "second vertex");
    EXPECT_EQ(bulges, (std::vector<double>{1.0, 1.0}));

    EXPECT_EQ(command("Donut", {"3", "1", "5,5", ""}), RTERROR);  // inside above outside
    EXPECT_EQ(command("Donut", {"0", "2", ""}), RTERROR);         // no centre
    EXPECT_EQ(last(), donut);
}

TEST_F(HostCommands, ZoomWindowSetsTheView)
{
    // The screen is 1000 x 600: a 200 x 100 window needs a view 200 / (1000/600)
    // = 120 high; a 10 x 100 window one 100 high.
    struct Case {
        host::CommandArgs args;
        double x, y, size;
    };
    const Case cases[] = {
        {{"w", "0,0", "200,100"}, 100, 50, 120},
        {{"w", "10,100", "0,0"}, 5, 50, 100},
        {{"3,4", "5,8"}, 4, 6, 4},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(command("_zoom", c.args), RTNORM);
        expect_point(host::sysvar_point(drawing(), "VIEWCTR"), c.x, c.y, c.args[0]);
        EXPECT_NEAR(host::sysvar_real(drawing(), "VIEWSIZE"), c.size, 1e-9);
    }
    EXPECT_EQ(command("_zoom", {"e"}), RTERROR);
    EXPECT_EQ(command("_zoom", {"w", "1,1", "1,1"}), RTERROR);
    EXPECT_NEAR(host::sysvar_real(drawing(), "VIEWSIZE"), 4, 1e-9);  // unchanged by the failures
}

TEST_F(HostCommands, RedrawallClearsTemporaryVectors)
{
    session().current().temp_vectors.push_back({{0, 0, 0}, {1, 1, 0}, 2, 0});
    ASSERT_EQ(command("_redrawall", {}), RTNORM);
    EXPECT_TRUE(session().current().temp_vectors.empty());
}

// An entity list for acedTextBox, kept alive by the test.
struct TextList {
    std::vector<resbuf> items;
    std::vector<std::string> texts;
    TextList& text(int code, const std::string& value)
    {
        texts.push_back(value);
        resbuf item{};
        item.restype = static_cast<short>(code);
        items.push_back(item);
        return *this;
    }
    TextList& real(int code, double value)
    {
        resbuf item{};
        item.restype = static_cast<short>(code);
        item.resval.rreal = value;
        items.push_back(item);
        return *this;
    }
    const resbuf* list()
    {
        size_t text = 0;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].restype == 1 || items[i].restype == 7)
                items[i].resval.rstring = const_cast<char*>(texts[text++].c_str());
            items[i].rbnext = i + 1 < items.size() ? &items[i + 1] : nullptr;
        }
        return items.data();
    }
};

TEST_F(HostCommands, TextBoxCountsControlCodesAsOneGlyph)
{
    ads_point lower, upper;
    // "12%%d30'" is six glyphs: 0.8 x 6 x 2 x 0.5 = 4.8 wide, 2 high.
    TextList degrees;
    degrees.text(1, "12%%d30'").real(40, 2.0).real(41, 0.5);
    ASSERT_EQ(acedTextBox(degrees.list(), lower, upper), RTNORM);
    EXPECT_DOUBLE_EQ(lower[0], 0);
    EXPECT_DOUBLE_EQ(lower[1], 0);
    EXPECT_NEAR(upper[0], 4.8, 1e-12);
    EXPECT_NEAR(upper[1], 2.0, 1e-12);

    // Without 40 and 41 the style's fixed height 3 and width factor 0.8 count:
    // "AB" is 0.8 x 2 x 3 x 0.8 = 3.84 wide.
    set_style(40, 3.0);
    set_style(41, 0.8);
    TextList styled;
    styled.text(1, "AB").text(7, "Standard");
    ASSERT_EQ(acedTextBox(styled.list(), lower, upper), RTNORM);
    EXPECT_NEAR(upper[0], 3.84, 1e-12);
    EXPECT_NEAR(upper[1], 3.0, 1e-12);

    TextList no_text;
    no_text.real(40, 2.0);
    EXPECT_EQ(acedTextBox(no_text.list(), lower, upper), RTERROR);
    TextList no_style;
    no_style.text(1, "AB").text(7, "NoSuchStyle");
    EXPECT_EQ(acedTextBox(no_style.list(), lower, upper), RTERROR);
}

}  // namespace
