// The files a session keeps, run through the cadhost program as a user runs
// it: a drawing file cut short is named when it is opened, counts as a failure,
// and is not saved over unknowingly; a picture and the registry that cannot be
// written on a full disk leave their former files whole, say so, and leave no
// scratch file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dxf/dxf.h"
#include "outside_readers.h"
#include "program_fixture.h"
#include "small_disk.h"

namespace {

namespace fs = std::filesystem;

void write_text(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> names_in(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FileSafety : public ProgramTest {
protected:
    // Runs the program in the home with the options and the script; what it
    // printed (standard output and error together).
    std::string run_in(const std::string& home, const std::string& options, const std::string& script,
                       int& status)
    {
        return run_program("--home '" + home + "' " + options + " --script '" + write_script(script) + "'",
                           &status);
    }
    std::string run_in(const std::string& options, const std::string& script, int& status)
    {
        return run_in(home(), options, script, status);
    }
};

// The sample lot drawing cut after the first 1940 of its lines: in its ENTITIES
// section (a LWPOLYLINE, a POINT, a TEXT, a POINT), after the first groups of
// its second TEXT (which starts at line 1930), with no ENDSEC, no OBJECTS
// section and no "0 EOF".
std::string cut_sample()
{
    std::istringstream whole(file_text(std::string(ORVIK_SOURCE_DIR) + "/samples/lot.dxf"));
    std::string text;
    std::string line;
    for (int n = 0; n < 1940 && std::getline(whole, line); ++n) text += line + "\n";
    return text;
}

// Where a file cut short ends, and what the reader says of it: the line it
// ends on and the section it ends in or after; nothing of a whole file.
TEST_F(FileSafety, TheReaderNamesWhereAFileCutShortEnds)
{
    const std::string whole = file_text(std::string(ORVIK_SOURCE_DIR) + "/samples/lot.dxf");
    const std::string tail = ", without the \"0 EOF\" that ends a whole file: what followed was not read";
    struct Case {
        int lines;  // kept of the sample's 3084
        std::string said;
    } cases[] = {
        {500, "line 500: the file ends here, inside its HEADER section" + tail},
        {1940, "line 1940: the file ends here, inside its ENTITIES section" + tail +
                   ", and the TEXT at line 1930 may lack some of its values"},
        {2062, "line 2062: the file ends here, after its ENTITIES section" + tail},
        {3084, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        size_t end = 0;
        for (int n = 0; n < c.lines; ++n) end = whole.find('\n', end) + 1;
        const host::DxfReadResult read = host::dxf_read(whole.substr(0, end));
        ASSERT_TRUE(read.drawing) << read.error;
        EXPECT_EQ(read.cut_short, c.said);
    }
}

TEST_F(FileSafety, ADrawingCutShortIsNamedOnOpenAndNotSavedOverUnasked)
{
    const std::string file = home() + "/cut.dxf";
    const std::string cut = cut_sample();
    const std::string named =
        "\"" + file +
        "\" was read only in part: line 1940: the file ends here, inside its ENTITIES "
        "section, without the \"0 EOF\" that ends a whole file: what followed was not read, "
        "and the TEXT at line 1930 may lack some of its values.";
    struct Case {
        const char* name;
        const char* script;
        int status;  // the open, and a save refused
        bool saved;
        const char* says;  // after the question
    } cases[] = {
        {"the script ends at the question", "SAVE\n", 2, false,
         "*Cancel* the script ended while the command"},
        {"no", "SAVE\nN\n", 2, false, "The drawing is not saved; \""},
        {"yes", "SAVE\nyes\n", 1, true, "Saved \""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_text(file, cut);
        int status = -1;
        const std::string out = run_in("--open '" + file + "'", c.script, status);
        EXPECT_EQ(status, c.status) << out;
        EXPECT_NE(out.find(named), std::string::npos) << out;
        const size_t asked = out.find("Save over it? [Yes/No] <No>: ");
        ASSERT_NE(asked, std::string::npos) << out;
        EXPECT_NE(out.find(c.says, asked), std::string::npos) << out;
        if (!c.saved) {
            EXPECT_EQ(file_text(file), cut);
            continue;
        }
        // Saved over when the user said so: the file is whole now, and opens
        // again without a word of being cut short.
        const std::string saved = file_text(file);
        EXPECT_NE(saved.find("\nEOF\n"), std::string::npos);
        const std::string again = run_in("--open '" + file + "'", "SAVE\n", status);
        EXPECT_EQ(status, 0) << again;
        EXPECT_EQ(again.find("read only in part"), std::string::npos) << again;
    }

    // Saved under another name, the drawing's file is whole, and a SAVE then
    // does not ask; the file cut short is left as it is.
    write_text(file, cut);
    int status = -1;
    const std::string out =
        run_in("--open '" + file + "'", "SAVEAS " + home() + "/whole.dxf\nSAVE\n", status);
    EXPECT_EQ(status, 1) << out;
    EXPECT_EQ(out.find("Save over it?"), std::string::npos) << out;
    EXPECT_EQ(file_text(file), cut);
    std::string read_back;
    ASSERT_EQ(outside::run_tool("/usr/bin/python3 -c 'import ezdxf,sys\n"
                                "d = ezdxf.readfile(sys.argv[1])\n"
                                "print(sorted(e.dxftype() for e in d.modelspace()))' '" +
                                    home() + "/whole.dxf'",
                                read_back),
              0)
        << read_back;
    EXPECT_EQ(read_back, "['LWPOLYLINE', 'POINT', 'POINT', 'TEXT', 'TEXT']\n");

    // A whole file opens without a word and with no failure.
    run_in("--open '" + std::string(ORVIK_SOURCE_DIR) + "/samples/lot.dxf'", "", status);
    EXPECT_EQ(status, 0);
}

// A picture that does not fit on a full disk is not written, and the picture
// there before stays whole.
TEST_F(FileSafety, APictureThatDoesNotFitLeavesTheFormerOneWhole)
{
    SmallDisk disk(home() + "/disk");
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    const std::string picture = disk.folder() + "/plan.png";
    const std::string former(3000, 'p');
    write_text(picture, former);
    disk.fill();
    int status = -1;
    const std::string out = run_in("--open '" + std::string(ORVIK_SOURCE_DIR) + "/samples/lot.dxf'",
                                   "PICTURE \"" + picture + "\"\n", status);
    EXPECT_EQ(status, 1) << out;
    EXPECT_NE(out.find("No space left on device"), std::string::npos) << out;
    EXPECT_EQ(file_text(picture), former);
    EXPECT_EQ(names_in(disk.folder()), (std::vector<std::string>{".filler", "plan.png"}));
}

// A home folder that is full: the registry cannot be written, which the session
// says (and counts) instead of going on with the former values in silence;
// the registry file stays whole and no scratch file is left beside it.
TEST_F(FileSafety, ARegistryThatCannotBeWrittenIsSaidAndLeavesNoScratchFile)
{
    SmallDisk disk(home() + "/full-home");
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    // The registry of another checkout: its installation folder is not this one.
    const std::string former =
        "# The host's registry: key, or key TAB value name TAB type TAB data.\n"
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pelmora Software\\orvik_survey\tInstallation "
        "folder\tREG_SZ\t/elsewhere\n";
    write_text(disk.folder() + "/registry.txt", former);
    disk.fill();
    int status = -1;
    const std::string out = run_in(disk.folder(), "", "(+ 1 2)\n", status);
    EXPECT_GE(status, 1) << out;
    EXPECT_NE(
        out.find(
            "The registry could not be written (cannot write \"" + disk.folder() +
            "/registry.txt\": No space left on device); the change to \"Installation folder\" is not kept."),
        std::string::npos)
        << out;
    EXPECT_EQ(file_text(disk.folder() + "/registry.txt"), former);
    for (const std::string& name : names_in(disk.folder()))
        EXPECT_TRUE(name.find("registry.txt.tmp") == std::string::npos &&
                    name.find(".saving") == std::string::npos)
            << name;

    // With room again the session sets the registry up without a word, and
    // takes away the scratch file an earlier writer that was killed left.
    disk.empty();
    write_text(disk.folder() + "/registry.txt.tmp.999999999", "");
    run_in(disk.folder(), "", "(+ 1 2)\n", status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(file_text(disk.folder() + "/registry.txt")
                  .find("\tInstallation folder\tREG_SZ\t" ORVIK_INSTALL_TREE "\n"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(disk.folder() + "/registry.txt.tmp.999999999"));
}

}  // namespace
