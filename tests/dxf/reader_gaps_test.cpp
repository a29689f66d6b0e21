// Files of other programs that the reader once got wrong: coordinates in an
// unusual order, bytes after the end, numbers that are no finite value or out
// of range, control characters in names and texts, extended data past the
// limits; and saves that go through a temporary file of their own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "ads.h"
#include "db/entities.h"
#include "db/resbuf_convert.h"
#include "dxf/dxf.h"
#include "dxf/dxf_commands.h"
#include "dxf/file_replace.h"
#include "dxf_support.h"
#include "host_fixture.h"

namespace fs = std::filesystem;
using namespace dxftest;
using host::Group;

namespace {

class ReaderGaps : public HostFixture {
protected:
    std::string path(const std::string& name) const { return home() + "/" + name; }

    // Opens the text as a file through OPEN; the transcript.
    std::string open_text(const std::string& name, const std::string& text)
    {
        write_file(path(name), text);
        return run("OPEN " + path(name));
    }
};

std::string entities_file(const std::string& entities)
{
    return "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

// Thirteen LINEs of an old program that gives x of both ends, then y, then z.
TEST_F(ReaderGaps, CoordinatesAfterTheOtherPointsXKeepTheirPoint)
{
    std::string entities;
    for (int i = 0; i < 13; ++i) {
        const std::string n = std::to_string(i);
        entities += "0\nLINE\n8\n0\n10\n" + n + "\n11\n" + n + ".5\n20\n" + std::to_string(100 + i) +
                    "\n21\n" + std::to_string(200 + i) + "\n30\n1\n31\n2\n";
    }
    std::string text = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1003\n0\nENDSEC\n" + entities_file(entities);
    open_text("old.dxf", text);
    ASSERT_EQ(drawing().model.size(), 13u);
    for (int i = 0; i < 13; ++i) {
        const host::Entity& line = *drawing().get(drawing().model[size_t(i)]);
        EXPECT_EQ(line.point(10), (host::Point3{double(i), 100.0 + i, 1})) << i;
        EXPECT_EQ(line.point(11), (host::Point3{i + 0.5, 200.0 + i, 2})) << i;
    }
}

TEST_F(ReaderGaps, BytesAfterTheEndAreNoPartOfTheDrawing)
{
    std::string text =
        entities_file("0\nPOINT\n8\n0\n10\n1\n20\n2\n30\n3\n") + "trailing\x01\x02 bytes\n\n17\n";
    std::string transcript = open_text("tail.dxf", text);
    EXPECT_NE(transcript.find("Opened"), std::string::npos) << transcript;
    ASSERT_EQ(drawing().model.size(), 1u);
    EXPECT_EQ(drawing().get(drawing().model[0])->point(10), (host::Point3{1, 2, 3}));
}

// A number that cannot go into the drawing leaves its entity out, a colour out
// of range reads as by layer; each with its line, and saved as it now is.
TEST_F(ReaderGaps, NumbersOutOfRangeAreRefusedOrMendedWithTheirLine)
{
    const std::string good = "0\nLINE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n";
    std::string text = entities_file(good +                                             // lines 5-20
                                     "0\nLINE\n8\n0\n10\nnan\n20\n0\n11\n1\n21\n1\n" +  // 10 at line 26
                                     "0\nPOINT\n8\n0\n10\ninf\n20\n0\n" +               // line 38
                                     "0\nPOINT\n8\n0\n10\n1e400\n20\n0\n" +             // line 46
                                     "0\nPOINT\n8\n0\n62\n1e300\n10\n5\n20\n5\n" +      // line 54
                                     "0\nPOINT\n8\n0\n62\n40000\n10\n6\n20\n6\n" +      // line 64
                                     "0\nPOINT\n8\n0\n62\n300\n10\n7\n20\n7\n" +        // line 74
                                     "0\nPOINT\n8\n0\n70\n99999\n10\n8\n20\n8\n");      // line 84
    std::string transcript = open_text("numbers.dxf", text);
    EXPECT_NE(transcript.find("line 26: \"nan\" is no finite number; the LINE there is left out."),
              std::string::npos)
        << transcript;
    EXPECT_NE(transcript.find("line 38: \"inf\" is no finite number; the POINT there is left out."),
              std::string::npos);
    EXPECT_NE(
        transcript.find("line 46: \"1e400\" is out of the range of numbers; the POINT there is left out."),
        std::string::npos);
    EXPECT_NE(transcript.find(
                  "line 54: the POINT's colour \"1e300\" is no colour number; it is by layer (256) now."),
              std::string::npos);
    EXPECT_NE(transcript.find(
                  "line 64: the POINT's colour \"40000\" is no colour number; it is by layer (256) now."),
              std::string::npos);
    EXPECT_NE(
        transcript.find("line 74: the POINT's colour 300 is no colour number; it is by layer (256) now."),
        std::string::npos);
    EXPECT_NE(
        transcript.find("line 84: \"99999\" is out of the range of group 70 (-32768 to 32767); the POINT "
                        "there is left out."),
        std::string::npos);
    EXPECT_NE(transcript.find("1 LINE with a number out of range, 3 POINT with a number out of range"),
              std::string::npos)
        << transcript;
    ASSERT_EQ(drawing().model.size(), 4u);  // the good LINE and the three mended POINTs
    for (size_t i = 1; i < 4; ++i) EXPECT_EQ(drawing().get(drawing().model[i])->integer(62), 256);

    std::string saved = path("numbers_saved.dxf");
    run("SAVEAS " + saved);
    std::string written = file_text(saved);
    EXPECT_EQ(written.find("40000"), std::string::npos);
    EXPECT_EQ(written.find("nan"), std::string::npos);
    expect_ezdxf_reads(saved, {});
}

// Names and texts with control characters are written caret-encoded, so the
// saved drawing opens again with the same characters.
TEST_F(ReaderGaps, ControlCharactersInNamesAndTextsSurviveASave)
{
    host::Drawing& d = drawing();
    const std::string block =
                          "GATE\x01"
                          "2",
                      text = "Lot\t7^J end";
    ASSERT_EQ(host::entity_make(
                  d, "BLOCK", {Group::of_text(2, block), Group::of_int(70, 0), Group::of_point(10, {})}, {}),
              RTNORM);
    ASSERT_EQ(
        host::entity_make(
            d, "LINE", {Group::of_text(8, "0"), Group::of_point(10, {}), Group::of_point(11, {1, 0, 0})}, {}),
        RTNORM);
    ASSERT_EQ(host::entity_make(d, "ENDBLK", {}, {}), RTNORM);
    ASSERT_EQ(
        host::entity_make(d, "INSERT",
                          {Group::of_text(8, "0"), Group::of_text(2, block), Group::of_point(10, {})}, {}),
        RTNORM);
    ASSERT_EQ(host::entity_make(d, "TEXT",
                                {Group::of_text(8, "0"), Group::of_text(1, text), Group::of_point(10, {}),
                                 Group::of_real(40, 1)},
                                {}),
              RTNORM);
    std::string file = path("control.dxf");
    run("SAVEAS " + file);
    std::string written = file_text(file);
    EXPECT_NE(written.find("\nGATE^A2\n"), std::string::npos);
    EXPECT_NE(written.find("\nLot^I7^ J end\n"), std::string::npos);
    expect_ezdxf_reads(file, {});

    std::string error;
    auto opened = host::open_drawing_document(file, error);
    ASSERT_TRUE(opened) << error;
    EXPECT_NE(opened->drawing.find_record("BLOCK", block), 0);
    const host::Drawing& back = opened->drawing;
    ASSERT_EQ(back.model.size(), 2u);
    EXPECT_EQ(back.get(back.model[0])->text(2), block);
    EXPECT_EQ(back.get(back.model[1])->text(1), text);
}

// Extended data of another application past the limits is kept, named at
// OPEN, and does not block the settings saved on the same layer.
TEST_F(ReaderGaps, OversizedExtendedDataIsKeptAndDoesNotBlockOtherSaves)
{
    std::string big;
    for (int i = 0; i < 100; ++i) big += "1000\n" + std::string(200, char('a' + i % 26)) + "\n";
    std::string text =
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nAPPID\n0\nAPPID\n2\nOTHER\n70\n0\n0\nAPPID\n2\nKOLVA\n70\n0\n0\n"
        "ENDTAB\n"
        "0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nOrvik_survey_temp\n70\n0\n62\n7\n6\nCONTINUOUS\n1001\nOTHER\n" +
        big + "0\nENDTAB\n0\nENDSEC\n" + entities_file("");
    std::string transcript = open_text("bigxdata.dxf", text);
    EXPECT_NE(transcript.find(
                  "the LAYER \"Orvik_survey_temp\" holds extended data (OTHER) past the limits of 16383 "
                  "bytes an entity and 255 bytes a string; it is kept as the file has it."),
              std::string::npos)
        << transcript;
    host::Drawing& d = drawing();
    const long layer = d.find_record("LAYER", "Orvik_survey_temp");
    ASSERT_NE(layer, 0);
    ASSERT_EQ(d.get(layer)->xdata.size(), 1u);
    EXPECT_EQ(d.get(layer)->xdata[0].items.size(), 100u);

    // A settings save of another application on that layer.
    EXPECT_EQ(host::entity_modify(d, layer, {}, true, {{"KOLVA", {Group::of_text(1000, "SCALE=500")}}}),
              RTNORM);
    EXPECT_EQ(d.get(layer)->xdata.size(), 2u);
    // Growing the data that breaks the limits is still refused.
    EXPECT_EQ(
        host::entity_modify(d, layer, {}, true, {{"OTHER", {Group::of_text(1000, std::string(300, 'x'))}}}),
        RTERROR);

    std::string saved = path("bigxdata_saved.dxf");
    run("SAVEAS " + saved);
    std::string error;
    auto opened = host::open_drawing_document(saved, error);
    ASSERT_TRUE(opened) << error;
    const host::Entity& back =
        *opened->drawing.get(opened->drawing.find_record("LAYER", "Orvik_survey_temp"));
    ASSERT_EQ(back.xdata.size(), 2u);
    EXPECT_EQ(back.xdata[0].items.size(), 100u);
    EXPECT_EQ(back.xdata[1].items.at(0).text, "SCALE=500");
}

// The names of the temporary files of saves in a folder, besides the drawings.
std::vector<std::string> leftovers(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".saving") != std::string::npos) names.push_back(name);
    }
    return names;
}

TEST_F(ReaderGaps, SavesUseATemporaryFileOfTheirOwnAndLeaveNoneBehind)
{
    const std::string folder = path("saves");
    fs::create_directories(folder);
    const std::string file = folder + "/lot.dxf";
    std::string error;

    // A file of a save that was killed (its process is gone) is cleared away.
    pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string abandoned = folder + "/.lot.dxf.saving-" + std::to_string(gone) + "-1";
    write_file(abandoned, "half a drawing");
    write_file(file, "old");
    chmod(file.c_str(), 0640);
    ASSERT_TRUE(host::replace_file_contents(file, "new", error)) << error;
    EXPECT_EQ(file_text(file), "new");
    EXPECT_TRUE(leftovers(folder).empty());
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the mode of the file is kept";

    // Two processes saving the same file at once: every save succeeds, and the
    // file is always one whole drawing, never a mix.
    const std::string a(200000, 'a'), b(200000, 'b');
    pid_t child = fork();
    if (child == 0) {
        std::string child_error;
        for (int i = 0; i < 40; ++i)
            if (!host::replace_file_contents(file, a, child_error)) _exit(1);
        _exit(0);
    }
    int failures = 0, mixed = 0;
    for (int i = 0; i < 40; ++i) {
        if (!host::replace_file_contents(file, b, error)) ++failures;
        const std::string now = file_text(file);
        if (now != a && now != b) ++mixed;
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other process's saves failed";
    EXPECT_EQ(failures, 0) << error;
    EXPECT_EQ(mixed, 0);
    const std::string last = file_text(file);
    EXPECT_TRUE(last == a || last == b);
    EXPECT_TRUE(leftovers(folder).empty());

    // A folder that cannot be written: the reason, and the file as it was.
    chmod(folder.c_str(), 0500);
    if (access(folder.c_str(), W_OK) != 0) {  // not when the tests run as a user that writes anywhere
        EXPECT_FALSE(host::replace_file_contents(file, "lost", error));
        EXPECT_NE(error.find("cannot write \"" + file + "\""), std::string::npos) << error;
        EXPECT_EQ(file_text(file), last);
    }
    chmod(folder.c_str(), 0700);
}

}  // namespace
