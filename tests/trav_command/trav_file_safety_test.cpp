// The traverse file is never left with a broken or lost record, whatever
// happens while the command runs: a last line without its line end, a disk
// that fills up, a file that goes while it is open, a save that fails at exit,
// records that older writers and far-out points make, station numbers at the
// top of their range, and an editor that ends or stays open without answering.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "folders_registry.h"
#include "platform/siblings.h"
#include "platform/win_platform.h"
#include "trav_command_support.h"

namespace {

namespace fs = std::filesystem;

using TravFileSafety = TravCommand;

TEST_F(TravFileSafety, ALegAfterALastLineWithoutItsLineEndStartsANewLine)
{
    std::string text = one_leg;
    text.pop_back();  // the editor left no line end
    write_text(path("open.trv"), text);
    run("(b_trav)\nO\n" + path("open.trv") + "\n180\n50\n\nX\n");
    EXPECT_EQ(read_text(path("open.trv")), std::string(one_leg) + "T,2,3,180.0000,50.000,0.000,METER,\n");
    const std::string listed = open_and_list(path("open.trv"));
    EXPECT_NE(listed.find("\nstn=3,1100.000,1950.000,CAL"), std::string::npos) << listed;
}

// A full disk is a file size limit here: the record does not fit, and the
// file must stay as it was, not keep part of the record; the leg typed is kept
// in the traverse, which asks to be saved under another name at exit.
TEST_F(TravFileSafety, ARecordThatCannotBeWrittenWholeLeavesTheFileAsItWas)
{
    write_text(path("full.trv"), one_leg);
    rlimit former{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &former), 0);
    sighandler_t former_handler = SIG_DFL;
    const std::string shown =
        run_acting("(b_trav)\nO\n" + path("full.trv") + "\n#full\n180\n50\n\n#room\nX\npick yes\n" +
                       path("kept.trv") + "\n",
                   {{"#full",
                     [&] {
                         former_handler = signal(SIGXFSZ, SIG_IGN);
                         rlimit small = former;
                         small.rlim_cur = std::string(one_leg).size() + 10;
                         setrlimit(RLIMIT_FSIZE, &small);
                     }},
                    {"#room", [&] {
                         setrlimit(RLIMIT_FSIZE, &former);
                         signal(SIGXFSZ, former_handler);
                     }}});
    setrlimit(RLIMIT_FSIZE, &former);
    EXPECT_EQ(read_text(path("full.trv")), one_leg);
    EXPECT_FALSE(fs::exists(path("full.trv.tmp")));
    EXPECT_EQ(session().transcript().alerts, std::vector<std::string>{"File error."});
    EXPECT_NE(
        shown.find("\nThe entry could not be added to " + path("full.trv") +
                   "; the traverse is kept here with it: save it under a name with <N>ame or at e<X>it."),
        std::string::npos)
        << shown;
    EXPECT_EQ(read_text(path("kept.trv")), std::string(one_leg) + "T,2,3,180.0000,50.000,0.000,METER,\n");
}

TEST_F(TravFileSafety, AFileThatWentWhileOpenIsWrittenAgainWhole)
{
    write_text(path("gone.trv"), one_leg);
    const std::string shown = run_acting("(b_trav)\nO\n" + path("gone.trv") + "\n#delete\n180\n50\n\nX\n",
                                         {{"#delete", [&] { fs::remove(path("gone.trv")); }}});
    EXPECT_EQ(read_text(path("gone.trv")), std::string(one_leg) + "T,2,3,180.0000,50.000,0.000,METER,\n");
    EXPECT_NE(shown.find("\n" + path("gone.trv") + " had gone: the whole traverse was written to it again."),
              std::string::npos);
    const std::string listed = open_and_list(path("gone.trv"));
    EXPECT_NE(listed.find("\nstn=3,1100.000,1950.000,CAL"), std::string::npos) << listed;
}

TEST_F(TravFileSafety, ASaveThatFailsAtExitAsksAgain)
{
    const std::string shown = start_new("90\n100\n\nX\npick yes\n" + path("no/such/folder.trv") +
                                        "\npick yes\n" + path("saved.trv") + "\n");
    EXPECT_EQ(count_of(shown, "Dialog yes_no_dlg>"), 2u) << shown;
    EXPECT_NE(shown.find("\nThe traverse was not saved."), std::string::npos);
    EXPECT_EQ(read_text(path("saved.trv")),
              "KOLVA4\n"
              "P,1,1,1000.0000000000,2000.0000000000,0.000,METER,\n"
              "T,1,2,90.0000,100.000,0.000,METER,\n");
    EXPECT_TRUE(work_texts().empty());

    // "no" at the second question leaves without saving, as the user chose.
    start_new("90\n100\n\nX\npick yes\n" + path("no/such/folder.trv") + "\npick no\n");
    EXPECT_TRUE(work_texts().empty());
}

// Records without their trailing code (as older writers and the polyline
// conversion put them down) are read with an empty code.
TEST_F(TravFileSafety, RecordsWithoutTheirCodeAreRead)
{
    write_text(path("nocode.trv"),
               "KOLVA4\n"
               "P,1,1,1000.0000000000,2000.0000000000,0.000,METER\n"
               "T,1,2,90.0000,100.000,0.000,METER\n"
               "T,2,3,180.0000,50.000,0.000,METER\n");
    const std::string listed = open_and_list(path("nocode.trv"));
    EXPECT_EQ(listed.find("skipped"), std::string::npos) << listed;
    EXPECT_NE(listed.find("\nstn=1,1000.000,2000.000,FIXED"), std::string::npos);
    EXPECT_NE(listed.find("\nstn=3,1100.000,1950.000,CAL"), std::string::npos);
}

// A traverse started far out saves lines longer than 255 characters; they
// open again.
TEST_F(TravFileSafety, ASavedTraverseOpensAgainHoweverLongItsLines)
{
    start_new("");  // the traverse needs its start picked in a script of its own
    run("(b_trav)\n1e250,2e240\nM\n1\n90\n100\n\nN\n" + path("far.trv") + "\nX\n");
    const std::string text = read_text(path("far.trv"));
    ASSERT_GT(text.find('\n', 7), 7u + 255u) << text.substr(0, 80);
    const std::string listed = open_and_list(path("far.trv"));
    EXPECT_EQ(listed.find("skipped"), std::string::npos);
    EXPECT_NE(listed.find(",FIXED"), std::string::npos);
    EXPECT_NE(listed.find("\nstn=2,"), std::string::npos);
}

TEST_F(TravFileSafety, StationNumbersAtTheTopOfTheirRangeAreRefused)
{
    write_text(path("top.trv"), std::string(one_leg) +
                                    "T,2,2147483646,0.0000,10.000,0.000,METER,\n"
                                    "T,2147483646,2147483647,0.0000,10.000,0.000,METER,\n");
    // The next number after 2147483646 cannot be given: the default is
    // refused and a number is typed.
    const std::string shown = run("(b_trav)\nO\n" + path("top.trv") + "\n180\n50\n\n7\nX\n");
    EXPECT_NE(shown.find("\nTrav file line 5 skipped: station number out of range (1 to 2147483646)."),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\nStation numbers run from 1 to 2147483646."), std::string::npos);
    EXPECT_NE(read_text(path("top.trv")).find("\nT,2147483646,7,180.0000,50.000,0.000,METER,\n"),
              std::string::npos);
}

// The editor answers through its handshake value; one that ends without it
// leaves the traverse as it was, keeps the copy it was given, and says so.
TEST_F(TravFileSafety, AnEditorThatEndsWithoutAnsweringLeavesTheTraverseAndKeepsTheCopy)
{
    session().pump_second_ms = 2;
    register_sibling_standin("KolvaEditor", [] {
        std::string file;
        reg_read_string(ORVIK_REGISTRY_SUBKEY, "kolva_file", file);
        std::ofstream(file, std::ios::app) << "T,2,3,180.0000,50.000,0.000,METER,\n";
    });
    const std::string shown = start_new("90\n100\n\nE\nP\nP\nX\npick no\n");
    EXPECT_NE(shown.find("\nKolvaEditor.exe ended without giving an answer."), std::string::npos) << shown;
    EXPECT_NE(shown.find("\nThe traverse here is unchanged; the copy given to the editor is kept as " +
                         path("site.trv") + " (open it with b_trav to take the editor's changes)."),
              std::string::npos);
    EXPECT_EQ(shown.find("\nstn=3,"), std::string::npos);
    EXPECT_NE(read_text(path("site.trv")).find("\nT,2,3,180.0000,50.000"), std::string::npos);

    // On a traverse opened from its file the command ends: nothing more is
    // added to a file the editor may have changed.
    write_text(path("open.trv"), one_leg);
    const std::string opened = run("(b_trav)\nO\n" + path("open.trv") + "\nE\n90\n10\n\n");
    EXPECT_NE(
        opened.find("\n" + path("open.trv") +
                    " is not read again and the command ends; open it again to see what the editor left "
                    "in it."),
        std::string::npos)
        << opened;
    EXPECT_EQ(read_text(path("open.trv")), std::string(one_leg) + "T,2,3,180.0000,50.000,0.000,METER,\n");
    clear_sibling_standins();
}

// An editor still open when the wait ends: the copy it holds is kept.
TEST_F(TravFileSafety, AnEditorStillOpenAtTheLimitKeepsItsCopy)
{
    const std::string install = home() + "/install";
    fs::create_directories(install + "/exe_file");
    fs::copy(std::string(ORVIK_INSTALL_TREE) + "/dcl", install + "/dcl", fs::copy_options::recursive);
    // The editor stays until the test lets it go, however slowly the wait runs.
    const std::string release = home() + "/editor_may_close";
    write_text(install + "/exe_file/KolvaEditor",
               "#!/bin/sh\nwhile [ ! -e '" + release + "' ]; do sleep 0.05; done\n");
    fs::permissions(install + "/exe_file/KolvaEditor", fs::perms::owner_all);
    ASSERT_TRUE(
        host::platform::registry_write_text(host::platform::kProductKey, "Installation folder", install));
    session().pump_second_ms = 1;  // the 600 pump seconds of the wait pass in under a second
    const std::string shown = start_new("90\n100\n\nE\nX\npick no\n");
    EXPECT_NE(shown.find("\nKolvaEditor.exe gave no answer within 600 seconds and may still be running."),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("the copy given to the editor is kept as " + path("site.trv")), std::string::npos);
    EXPECT_TRUE(fs::exists(path("site.trv")));
    write_text(release, "");
    host::platform::wait_children();
}

}  // namespace
