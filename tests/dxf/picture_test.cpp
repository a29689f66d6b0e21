// PICTURE through a script: a PNG of a window of a small drawing, with the
// layers' colours, a layer that is off left out and temporary vectors shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ads.h"
#include "dxf/dxf_commands.h"
#include "dxf_support.h"
#include "host_fixture.h"

namespace fs = std::filesystem;
using namespace dxftest;
using host::Group;

namespace {

class Picture : public HostFixture {
protected:
    void layer(const std::string& name, int colour)
    {
        host::Entity record;
        record.type = "LAYER";
        record.groups = {Group::of_text(2, name), Group::of_int(70, 0), Group::of_int(62, colour),
                         Group::of_text(6, "CONTINUOUS")};
        drawing().add_record("LAYER", record);
    }
    void line(const std::string& on, host::Point3 a, host::Point3 b)
    {
        host::Entity e;
        e.type = "LINE";
        e.groups = {Group::of_text(8, on), Group::of_point(10, a), Group::of_point(11, b)};
        drawing().add_entity(e);
    }
};

bool white(const host::PixelColour& c)
{
    return c.red == 255 && c.green == 255 && c.blue == 255;
}

TEST_F(Picture, APngOfAWindowShowsWhatTheDrawingHolds)
{
    if (!host::picture_supported()) GTEST_SKIP() << "the host was built without cairo";
    layer("Red", 1);
    layer("Hidden", -5);  // off
    line("Red", {0, 0, 0}, {100, 0, 0});
    line("Hidden", {0, 25, 0}, {100, 25, 0});
    line("0", {0, -10, 0}, {100, -10, 0});  // colour 7: black on white
    host::GrVector vector;
    vector.from = {0, -25, 0};
    vector.to = {100, -25, 0};
    vector.colour = 3;
    session().current().temp_vectors.push_back(vector);

    // The window 100 x 100 on a 1600-pixel picture: 16 pixels a unit, y = 50 at the top.
    std::string file = home() + "/small.png";
    std::string transcript = run("PICTURE " + file + " 0,-50 100,50");
    ASSERT_NE(transcript.find("Picture written to \"" + file + "\"."), std::string::npos) << transcript;
    ASSERT_EQ(file_text(file).substr(0, 8), "\x89PNG\r\n\x1a\n");
    host::PixelImage image;
    ASSERT_TRUE(host::read_picture_pixels(file, image));
    ASSERT_EQ(image.width, 1600);
    ASSERT_EQ(image.height, 1600);
    auto pixel = [&](const std::string&, int x, int y) { return image.at(x, y); };

    host::PixelColour red = pixel(file, 800, 800);  // (50, 0)
    EXPECT_EQ(red.red, 255);
    EXPECT_LT(red.green, 40);
    EXPECT_LT(red.blue, 40);
    host::PixelColour black = pixel(file, 800, 960);  // (50, -10)
    EXPECT_LT(black.red + black.green + black.blue, 120);
    EXPECT_TRUE(white(pixel(file, 800, 400))) << "a layer that is off is not drawn";  // (50, 25)
    EXPECT_TRUE(white(pixel(file, 800, 200)));
    bool green = false;  // the dashed vector at y = -25: row 1200
    for (int x = 0; x < 1600 && !green; ++x) {
        host::PixelColour c = pixel(file, x, 1200);
        green = c.green > 200 && c.red < 60 && c.blue < 60;
    }
    EXPECT_TRUE(green);
}

// A picture of 0,0 to 100,100 at 16 pixels a unit: the pixel of (x, y).
struct Window100 {
    static int column(double x) { return static_cast<int>(x * 16); }
    static int row(double y) { return static_cast<int>((100 - y) * 16); }
};

bool inked(const host::PixelColour& c)
{
    return c.red + c.green + c.blue < 600;
}

TEST_F(Picture, TextIsDrawnInsideTheBoxTheHostMeasures)
{
    if (!host::picture_supported()) GTEST_SKIP() << "the host was built without cairo";
    // "HHHH" middle-justified at (50, 50), height 10: the font model makes it
    // 0.8 x 4 x 10 = 32 wide, so its box runs from (34, 45) to (66, 55).
    std::string file = home() + "/text.png";
    std::string transcript =
        run("(command \"Text\" \"m\" \"none\" \"50,50\" \"10\" \"0\" \"HHHH\")\n"
            "PICTURE " +
            file + " 0,0 100,100\n");
    const host::Entity* text = drawing().get(drawing().last_main());
    ASSERT_NE(text, nullptr) << transcript;
    EXPECT_NEAR(text->point(10).x, 34, 1e-9);
    EXPECT_NEAR(text->point(10).y, 45, 1e-9);
    ads_name name = {text->id, 0};
    resbuf* list = acdbEntGet(name);
    ads_point lower, upper;
    ASSERT_EQ(acedTextBox(list, lower, upper), RTNORM);
    acutRelRb(list);
    EXPECT_NEAR(upper[0], 32, 1e-9);
    EXPECT_NEAR(upper[1], 10, 1e-9);

    host::PixelImage image;
    ASSERT_TRUE(host::read_picture_pixels(file, image)) << transcript;
    // Every inked pixel lies in the box (with half a unit for the pen); ink
    // reaches near both ends and both edges of it.
    int left = image.width, right = -1, top = image.height, bottom = -1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (inked(image.at(x, y))) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "nothing was drawn";
    EXPECT_GE(left, Window100::column(33.5));
    EXPECT_LE(right, Window100::column(66.5));
    EXPECT_GE(top, Window100::row(55.5));
    EXPECT_LE(bottom, Window100::row(44.5));
    EXPECT_LE(left, Window100::column(36));
    EXPECT_GE(right, Window100::column(64));
    EXPECT_LE(top, Window100::row(53));
    EXPECT_GE(bottom, Window100::row(46));
}

TEST_F(Picture, GrDrawVectorsAreShownDashedUntilARedraw)
{
    if (!host::picture_supported()) GTEST_SKIP() << "the host was built without cairo";
    // A red (1) temporary vector along y = 50 over a blue (5) LINE along y = 30.
    layer("Blue", 5);
    line("Blue", {0, 30, 0}, {100, 30, 0});
    const ads_point from = {0, 50, 0}, to = {100, 50, 0};
    ASSERT_EQ(acedGrDraw(from, to, 1, 0), RTNORM);
    std::string file = home() + "/vectors.png";
    run("PICTURE " + file + " 0,0 100,100\n");
    host::PixelImage image;
    ASSERT_TRUE(host::read_picture_pixels(file, image));
    auto red = [](const host::PixelColour& c) { return c.red > 200 && c.green < 80 && c.blue < 80; };
    auto blue = [](const host::PixelColour& c) { return c.blue > 200 && c.red < 80 && c.green < 80; };
    // Dashed: along the vector's row red and white alternate; the line is whole.
    int red_pixels = 0, gaps = 0, blue_pixels = 0;
    for (int x = Window100::column(5); x < Window100::column(95); ++x) {
        host::PixelColour c = image.at(x, Window100::row(50));
        if (red(c)) ++red_pixels;
        if (!inked(c) && red(image.at(x - 1, Window100::row(50)))) ++gaps;
        if (blue(image.at(x, Window100::row(30)))) ++blue_pixels;
    }
    EXPECT_GT(red_pixels, 0);
    EXPECT_GT(gaps, 10) << "the temporary vector is not dashed";
    EXPECT_EQ(blue_pixels, Window100::column(95) - Window100::column(5)) << "the line is drawn whole";

    // A full redraw clears the vector; the line stays.
    ASSERT_EQ(acedRedraw(nullptr, 4), RTNORM);
    run("PICTURE " + file + " 0,0 100,100\n");
    ASSERT_TRUE(host::read_picture_pixels(file, image));
    EXPECT_FALSE(red(image.at(Window100::column(50), Window100::row(50))));
    EXPECT_FALSE(inked(image.at(Window100::column(50), Window100::row(50))));
    EXPECT_TRUE(blue(image.at(Window100::column(50), Window100::row(30))));
}

TEST_F(Picture, PdfAndBadRequests)
{
    if (!host::picture_supported()) GTEST_SKIP() << "the host was built without cairo";
    line("0", {0, 0, 0}, {10, 10, 0});
    std::string pdf = home() + "/small.pdf";
    run("PICTURE " + pdf);
    EXPECT_EQ(file_text(pdf).substr(0, 5), "%PDF-");

    struct Case {
        std::string argument;
        const char* message;
    };
    const Case cases[] = {
        {home() + "/small.bmp", "must end in .png or .pdf"},
        {home() + "/a.png 0,0", "PICTURE needs a file name"},
        {home() + "/a.png 0,0 zz", "the window's corners must be points"},
        {home() + "/a.png 0,0 0,5", "the window has no area"},
        {home() + "/no/such/folder/a.png", "PICTURE: cannot write"},
    };
    for (const Case& c : cases) {
        std::string transcript = run("PICTURE " + c.argument);
        EXPECT_NE(transcript.find(c.message), std::string::npos) << c.argument << transcript;
    }
    EXPECT_FALSE(fs::exists(home() + "/a.png"));
}

}  // namespace
