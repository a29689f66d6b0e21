// PICTURE through a script: a PNG of a window of a small drawing, with the
// layers' colours, a layer that is off left out and temporary vectors shown.
#include <gtest/gtest.h>

#include <filesystem>

#include "dxf_commands.h"
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
