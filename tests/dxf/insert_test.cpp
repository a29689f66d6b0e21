// The host command "Insert" as the block loader calls it: the installed block
// drawings, the answers after the point, a block defined already, a file that
// cannot be read.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "ads.h"
#include "dxf/dxf_commands.h"
#include "dxf_support.h"
#include "db/entities.h"
#include "host_fixture.h"
#include "db/sysvars.h"
#include "platform/win_platform.h"

namespace fs = std::filesystem;
using namespace dxftest;

namespace {

class Insert : public HostFixture {
protected:
    std::string installed(const std::string& name) const
    {
        return std::string(ORVIK_INSTALL_TREE) + "/drawing/" + name;
    }
    int insert(host::CommandArgs args) { return session().run_command("Insert", args); }
    const host::Entity* last() { return drawing().get(drawing().last_main()); }
    void ensure_layer_current(const std::string& layer)
    {
        host::ensure_layer(drawing(), layer);
        ASSERT_TRUE(host::set_sysvar_string(drawing(), "CLAYER", layer));
    }
};

TEST_F(Insert, TheInstalledArrowsLoadAsBlocksOfLinesOnLayerZero)
{
    ensure_layer_current("ARROWS");
    for (const char* name : {"Grid_Arrow", "Pile_Arrow"}) {
        ASSERT_EQ(insert({installed(std::string(name) + ".dwg"), "10,20", "1", "1", "1", "0"}), RTNORM)
            << name;
        EXPECT_EQ(host::sysvar_string(drawing(), "INSNAME"), name);
        long block = drawing().find_record("BLOCK", name);
        ASSERT_NE(block, 0) << name;
        const auto& members = drawing().block_entities.at(block);
        ASSERT_EQ(members.size(), 3u) << name;
        for (long id : members) {
            EXPECT_EQ(drawing().get(id)->type, "LINE");
            EXPECT_EQ(drawing().get(id)->layer(), "0");
        }
        const host::Entity* reference = last();
        ASSERT_NE(reference, nullptr);
        EXPECT_EQ(reference->type, "INSERT");
        EXPECT_EQ(reference->text(2), name);
        EXPECT_EQ(reference->layer(), "ARROWS");
        EXPECT_EQ(reference->point(10), (host::Point3{10, 20, 0}));
        EXPECT_EQ(reference->real(41), 1.0);
        EXPECT_EQ(reference->real(42), 1.0);
        EXPECT_EQ(reference->real(50), 0.0);
    }
}

// Answers after the point: X, Y, rotation; four numbers are X, Y, Z and rotation.
TEST_F(Insert, AnswersAfterThePoint)
{
    struct Case {
        std::vector<std::string> answers;
        double x, y, z, degrees;
    };
    const Case cases[] = {
        {{}, 1, 1, 1, 0},
        {{"2"}, 2, 2, 2, 0},
        {{"2", "3"}, 2, 3, 2, 0},
        {{"2", ""}, 2, 2, 2, 0},
        {{"0.5", "0.5", "30"}, 0.5, 0.5, 0.5, 30},
        {{"1", "1", "1", "0"}, 1, 1, 1, 0},
        {{"2", "2", "3", "45"}, 2, 2, 3, 45},
    };
    for (const Case& c : cases) {
        host::CommandArgs args = {installed("Grid_Arrow.dwg"), "5,6,0"};
        args.insert(args.end(), c.answers.begin(), c.answers.end());
        ASSERT_EQ(insert(args), RTNORM);
        const host::Entity* reference = last();
        EXPECT_DOUBLE_EQ(reference->real(41), c.x);
        EXPECT_DOUBLE_EQ(reference->real(42), c.y);
        EXPECT_DOUBLE_EQ(reference->real(43), c.z);
        EXPECT_NEAR(reference->real(50), c.degrees * M_PI / 180, 1e-12);
    }
    // The block was read once.
    EXPECT_EQ(drawing().tables.at("BLOCK").size(), 1u);
}

TEST_F(Insert, RotationFollowsTheDrawingsAngleUnits)
{
    // North is 0 and angles run clockwise: 90 is east, 0 radians; 0 is north, pi/2.
    ASSERT_TRUE(host::set_sysvar_real(drawing(), "ANGBASE", M_PI / 2));
    ASSERT_TRUE(host::set_sysvar_short(drawing(), "ANGDIR", 1));
    ASSERT_EQ(insert({installed("Grid_Arrow.dwg"), "0,0", "1", "1", "90"}), RTNORM);
    EXPECT_NEAR(last()->real(50), 0.0, 1e-12);
    ASSERT_EQ(insert({installed("Grid_Arrow.dwg"), "0,0", "1", "1", "0"}), RTNORM);
    EXPECT_NEAR(last()->real(50), M_PI / 2, 1e-12);
}

TEST_F(Insert, ABlockDefinedAlreadyIsNotReadAgain)
{
    std::string file = home() + "/Marker.dwg";
    fs::copy_file(installed("Pile_Arrow.dwg"), file);
    ASSERT_EQ(insert({file, "0,0", "1", "1", "1", "0"}), RTNORM);
    write_file(file, "no longer a drawing");
    ASSERT_EQ(insert({file, "3,4", "1", "1", "1", "0"}), RTNORM);
    EXPECT_EQ(last()->point(10), (host::Point3{3, 4, 0}));
    EXPECT_EQ(drawing().block_entities.at(drawing().find_record("BLOCK", "Marker")).size(), 3u);
}

// A ".dwg" name the product gives stands for the DXF beside it; a script's
// (command "Insert" ...) reaches the same command.
TEST_F(Insert, ADwgNameResolvesToTheDxfBesideIt)
{
    fs::copy_file(installed("Pile_Arrow.dwg"), home() + "/Marker.dxf");
    ASSERT_FALSE(fs::exists(home() + "/Marker.dwg"));
    const std::string shown = run("(command \"Insert\" \"" + home() +
                                  "/Marker.dwg\" \"7,8\" \"2\" \"2\" \"1\" \"0\")\n"
                                  "(getvar \"INSNAME\")\n");
    EXPECT_NE(shown.find("\"Marker\""), std::string::npos) << shown;
    const host::Entity* reference = last();
    ASSERT_NE(reference, nullptr) << shown;
    EXPECT_EQ(reference->type, "INSERT");
    EXPECT_EQ(reference->text(2), "Marker");
    EXPECT_EQ(reference->point(10), (host::Point3{7, 8, 0}));
    EXPECT_EQ(reference->real(41), 2.0);
    EXPECT_EQ(drawing().block_entities.at(drawing().find_record("BLOCK", "Marker")).size(), 3u);
}

// The product builds its block paths Windows-fashion: "\" separators, drive letters.
TEST_F(Insert, WindowsPathsFindTheirFiles)
{
    std::string product_path = std::string(ORVIK_INSTALL_TREE) + "\\drawing\\Grid_Arrow.dwg";
    ASSERT_EQ(insert({product_path, "0,0", "1", "1", "1", "0"}), RTNORM);
    EXPECT_EQ(host::sysvar_string(drawing(), "INSNAME"), "Grid_Arrow");

    std::string drive_c = host::platform::home_folder() + "/drive_c";
    fs::create_directories(drive_c + "/Program Files/OrvikSurvey/drawing");
    fs::copy_file(installed("Pile_Arrow.dwg"), drive_c + "/Program Files/OrvikSurvey/drawing/Pile_Arrow.dwg",
                  fs::copy_options::overwrite_existing);
    ASSERT_EQ(insert({"c:\\Program Files\\OrvikSurvey\\drawing\\Pile_Arrow.dwg", "0,0", "1", "1", "1", "0"}),
              RTNORM);
    EXPECT_EQ(host::sysvar_string(drawing(), "INSNAME"), "Pile_Arrow");
    EXPECT_EQ(drawing().block_entities.at(drawing().find_record("BLOCK", "Pile_Arrow")).size(), 3u);
}

// What cannot be inserted makes nothing: no block, no reference, INSNAME kept,
// so a caller that deletes the last entity finds its own entity unharmed there.
TEST_F(Insert, FailuresMakeNothing)
{
    std::string notes = home() + "/Notes.dwg";
    write_file(notes, "plain text\n");
    struct Case {
        host::CommandArgs args;
        const char* message;
    };
    const Case cases[] = {
        {{home() + "/Missing.dwg", "0,0", "1", "1", "1", "0"}, "cannot read the block drawing"},
        {{notes, "0,0", "1", "1", "1", "0"}, "it is not a DXF file"},
        {{installed("Grid_Arrow.dwg"), "here", "1", "1", "1", "0"}, "an insertion point \"x,y\" is needed"},
        {{installed("Grid_Arrow.dwg"), "0,0", "big"}, "\"big\" is no number"},
        {{installed("Grid_Arrow.dwg"), "0,0", "0"}, "a scale factor of 0 is not allowed"},
        {{}, "a block drawing file is needed"},
    };
    host::Entity mine;
    mine.type = "CIRCLE";
    mine.groups = {host::Group::of_text(8, "0"), host::Group::of_point(10, {}), host::Group::of_real(40, 1)};
    long id = drawing().add_entity(mine).id;
    ASSERT_TRUE(host::set_sysvar_string(drawing(), "INSNAME", "before"));
    for (const Case& c : cases) {
        session().transcript().clear();
        EXPECT_EQ(insert(c.args), RTERROR) << c.message;
        EXPECT_NE(session().transcript().text().find(c.message), std::string::npos)
            << session().transcript().text();
        EXPECT_EQ(drawing().last_main(), id) << c.message;
        EXPECT_TRUE(drawing().tables.at("BLOCK").empty()) << c.message;
        EXPECT_EQ(host::sysvar_string(drawing(), "INSNAME"), "before");
    }
}

}  // namespace
