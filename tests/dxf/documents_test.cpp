// OPEN, SAVE and SAVEAS through a script, with DWGPREFIX and DWGNAME following
// the file, and ".dwg" names resolving to the DXF beside them.
#include <gtest/gtest.h>

#include <filesystem>

#include "dxf/dxf_commands.h"
#include "dxf_support.h"
#include "host_fixture.h"
#include "db/sysvars.h"

namespace fs = std::filesystem;
using namespace dxftest;

namespace {

class Documents : public HostFixture {
protected:
    void add_line(host::Drawing& d, double x)
    {
        host::Entity line;
        line.type = "LINE";
        line.groups = {host::Group::of_text(8, "0"), host::Group::of_point(10, {x, 0, 0}),
                       host::Group::of_point(11, {x, 10, 0})};
        d.add_entity(line);
    }
};

TEST_F(Documents, SaveOfANewDrawingAsksForSaveas)
{
    std::string name = drawing().name;
    std::string transcript = run("SAVE");
    EXPECT_NE(transcript.find(name + " is a new drawing with no file yet: it needs SAVEAS path."),
              std::string::npos)
        << transcript;
    EXPECT_TRUE(session().current().file_path.empty());
}

TEST_F(Documents, SaveasMovesTheDrawingToItsNewName)
{
    fs::create_directories(home() + "/plans");
    add_line(drawing(), 1);
    std::string file = home() + "/plans/lot 7.dxf";
    std::string transcript = run("SAVEAS \"" + file + "\"");
    EXPECT_NE(transcript.find("Saved as \"" + file + "\"."), std::string::npos) << transcript;
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(host::sysvar_string(drawing(), "DWGPREFIX"), home() + "/plans/");
    EXPECT_EQ(host::sysvar_string(drawing(), "DWGNAME"), "lot 7.dxf");
    EXPECT_EQ(session().current().file_path, file);

    // A folder that does not exist: nothing changes.
    transcript = run("SAVEAS " + home() + "/nowhere/lot.dxf");
    EXPECT_NE(transcript.find("does not exist"), std::string::npos) << transcript;
    EXPECT_EQ(host::sysvar_string(drawing(), "DWGNAME"), "lot 7.dxf");

    // A file of another kind is not overwritten.
    std::string binary = home() + "/plans/survey.dwg";
    write_file(binary, std::string("AC1032\0\x01 binary drawing", 23));
    transcript = run("SAVEAS " + binary);
    EXPECT_NE(transcript.find("is not overwritten"), std::string::npos) << transcript;
    EXPECT_EQ(file_text(binary), std::string("AC1032\0\x01 binary drawing", 23));
    EXPECT_EQ(host::sysvar_string(drawing(), "DWGNAME"), "lot 7.dxf");

    // SAVE writes to the file it came from.
    add_line(drawing(), 2);
    transcript = run("SAVE");
    EXPECT_NE(transcript.find("Saved \"" + file + "\"."), std::string::npos) << transcript;
    auto read = host::dxf_read_file(file);
    ASSERT_TRUE(read.drawing) << read.error;
    EXPECT_EQ(read.drawing->model.size(), 2u);
}

TEST_F(Documents, OpenAddsTheDrawingAndDwgNamesFindTheDxf)
{
    add_line(drawing(), 1);
    add_line(drawing(), 2);
    ASSERT_TRUE(host::set_sysvar_short(drawing(), "LUPREC", 2));
    std::string file = home() + "/site.dxf";
    run("SAVEAS " + file);
    session().close_document(0);
    ASSERT_FALSE(session().has_document());

    // The product names drawings ".dwg"; the DXF beside it is read.
    std::string transcript = run("OPEN " + home() + "/site.dwg");
    EXPECT_NE(transcript.find("Opened \"" + file + "\"."), std::string::npos) << transcript;
    ASSERT_EQ(session().documents().size(), 1u);
    EXPECT_EQ(drawing().model.size(), 2u);
    EXPECT_EQ(host::sysvar_short(drawing(), "LUPREC"), 2);
    EXPECT_EQ(host::sysvar_string(drawing(), "DWGNAME"), "site.dxf");
    EXPECT_EQ(host::sysvar_string(drawing(), "DWGPREFIX"), home() + "/");

    // A second drawing becomes current; opening the first again switches back to it.
    session().new_document();
    EXPECT_EQ(session().current_index(), 1);
    transcript = run("OPEN " + file);
    EXPECT_NE(transcript.find("is open already"), std::string::npos) << transcript;
    EXPECT_EQ(session().current_index(), 0);
    EXPECT_EQ(session().documents().size(), 2u);
}

TEST_F(Documents, ADwgFileOfDxfTextIsReadAsItIs)
{
    std::string file = home() + "/block.dwg";
    add_line(drawing(), 3);
    run("SAVEAS " + file);
    EXPECT_EQ(host::resolve_drawing_file(file), file);
    EXPECT_EQ(host::resolve_drawing_file(home() + "/other.dwg"), home() + "/other.dwg");
    write_file(home() + "/other.dxf", file_text(file));
    EXPECT_EQ(host::resolve_drawing_file(home() + "/other.dwg"), home() + "/other.dxf");
    EXPECT_EQ(host::resolve_drawing_file(home() + "/other.txt"), home() + "/other.txt");
}

}  // namespace
