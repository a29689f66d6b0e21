// What b_trav takes from a traverse file and what it writes to it: a record
// with a field that is not wholly a number (or of an unknown kind or unit, or
// a leg from a station to itself) is named and not used; files with a
// byte-order mark or CR line ends open; a file that another session added to,
// or that another file replaced, while the traverse was open is not written
// over, and the entry is kept to be saved elsewhere; two hosts adding legs to
// one file at once lose none.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "trav_command_support.h"

namespace {

namespace fs = std::filesystem;

const std::string kProgram = std::string(ORVIK_BINARY_DIR) + "/bin/cadhost";

using TravFileRecords = TravCommand;

// Line 4 of each file is the bad record; what it would have put into the
// traverse must not be in the listing, and the good records still are.
TEST_F(TravFileRecords, ARecordWithAFieldThatCannotBeTakenIsNamedAndNotUsed)
{
    struct bad_case {
        const char* line;
        const char* why;
        const char* not_listed;
    };
    const bad_case cases[] = {
        {"T,2,3,9O.3000,100.000,0.000,METER,", "field 4 (bearing) \"9O.3000\" is not a number", "\nstn=3,"},
        {"T,2,3,90.3000,1OO.000,0.000,METER,", "field 5 (distance) \"1OO.000\" is not a number", "\nstn=3,"},
        {"T,2,3,abc,100.000,0.000,METER,", "field 4 (bearing) \"abc\" is not a number", "\nstn=3,"},
        {"T,2,3,nan,100.000,0.000,METER,", "field 4 (bearing) \"nan\" is not a number", "\nstn=3,"},
        {"T,2,3,90.0000,inf,0.000,METER,", "field 5 (distance) \"inf\" is not a number", "\nstn=3,"},
        {"T,2,3,90.0000,100.000,-nan,METER,", "field 6 (level) \"-nan\" is not a number", "\nstn=3,"},
        {"T,2,3,90.0000,100.000,,METER,", "field 6 (level) \"\" is not a number", "\nstn=3,"},
        {"T,2x,3,90.0000,100.000,0.000,METER,", "field 2 (from station) \"2x\" is not a station number",
         "\nstn=3,"},
        {"P,3,3,nan,inf,0.000,METER,", "field 4 (x) \"nan\" is not a number", "\nstn=3,"},
        {"C,2,2,1O00.0000,2000.000,0.000,METER,", "field 4 (known x) \"1O00.0000\" is not a number",
         "[1--2]"},
        {"T,2,3,90.0000,100.000,0.000,KAKI,", "field 7 (unit) \"KAKI\" is no unit (METER, LINK or FEET)",
         "\nstn=3,"},
        {"Z,2,3,90.0000,100.000,0.000,METER,", "field 1 (record) \"Z\" is no record (P, T, C or R)",
         "\nstn=3,"},
        {"T,1,1,90.0000,100.000,0.000,METER,", "a leg from station 1 to itself", "\n1,1,"},
        {"R,2,2,45.0000,10.000,0.000,METER,", "a radiation from station 2 to itself", nullptr},
    };
    for (const bad_case& c : cases) {
        const std::string file = path("bad.trv");
        const std::string text = std::string(one_leg) + c.line + "\n";
        write_text(file, text);
        // Open, list (Prn), add a leg, leave.
        const std::string shown = run("(b_trav)\nO\n" + file + "\nP\nP\n180\n50\n\nX\n");
        EXPECT_NE(shown.find("\nTrav file line 4 skipped: " + std::string(c.why) + "."), std::string::npos)
            << c.line << shown;
        if (c.not_listed) {
            EXPECT_EQ(shown.find(c.not_listed), std::string::npos) << c.line << shown;
        }
        EXPECT_NE(shown.find("\nstn=1,1000.000,2000.000,FIXED"), std::string::npos) << c.line;
        EXPECT_NE(shown.find("\nstn=2,1100.000,2000.000,CAL"), std::string::npos) << c.line;
        EXPECT_EQ(count_of(shown, "\n1,2,90.0000,100.000,"), 1u) << c.line;
        // The leg typed goes on from station 2, and the record stays as it stands.
        EXPECT_EQ(read_text(file), text + "T,2,3,180.0000,50.000,0.000,METER,\n") << c.line;
    }
}

// A file saved by an editor that puts a byte-order mark first, or ends its
// lines with CR alone, is a traverse like any other.
TEST_F(TravFileRecords, FilesWithAByteOrderMarkOrCarriageReturnLineEndsOpen)
{
    struct ends_case {
        const char* name;
        std::string text;
    };
    const ends_case cases[] = {
        {"bom", "\xEF\xBB\xBFKOLVA4\nP,1,1,1000.0,2000.0,0.000,METER,\nT,1,2,90.0000,100.000,0.000,METER,\n"},
        {"cr", "KOLVA4\rP,1,1,1000.0,2000.0,0.000,METER,\rT,1,2,90.0000,100.000,0.000,METER,\r"},
        {"bom-crlf",
         "\xEF\xBB\xBFKOLVA4\r\nP,1,1,1000.0,2000.0,0.000,METER,\r\nT,1,2,90.0000,100.000,0.000,METER,\r\n"},
        {"cr-no-end", "KOLVA3\rP,1,1,1000.0,2000.0,0.000,METER\rT,1,2,90.0000,100.000,0.000,METER"},
    };
    for (const ends_case& c : cases) {
        const std::string file = path(std::string(c.name) + ".trv");
        write_text(file, c.text);
        session().transcript().alerts.clear();
        const std::string shown = run("(b_trav)\nO\n" + file + "\n180\n50\n\nP\nP\nX\n");
        EXPECT_TRUE(session().transcript().alerts.empty()) << c.name;
        EXPECT_EQ(shown.find("skipped"), std::string::npos) << c.name << shown;
        EXPECT_NE(shown.find("\nstn=2,1100.000,2000.000,CAL"), std::string::npos) << c.name << shown;
        // The leg added on its own line is read back with the rest.
        const std::string listed = open_and_list(file);
        EXPECT_NE(listed.find("\nstn=3,1100.000,1950.000,CAL"), std::string::npos) << c.name << listed;
        EXPECT_EQ(listed.find("skipped"), std::string::npos) << c.name << listed;
    }
}

// While b_trav has the file open, something else takes its place: a text
// that is no traverse, or another traverse. The leg typed is not written to
// it; the file is left as it is, and the traverse, leg included, is saved
// under another name at exit.
TEST_F(TravFileRecords, AFileReplacedWhileOpenIsLeftUntouched)
{
    const std::string replacements[] = {
        "shopping list\nbread\n",
        "KOLVA4\nP,7,7,5.0000000000,6.0000000000,0.000,METER,\n",
    };
    int n = 0;
    for (const std::string& replacement : replacements) {
        const std::string file = path("open" + std::to_string(++n) + ".trv");
        const std::string kept = path("kept" + std::to_string(n) + ".trv");
        write_text(file, one_leg);
        const std::string shown =
            run_acting("(b_trav)\nO\n" + file + "\n#swap\n180\n50\n\n0\n10\n\nX\npick yes\n" + kept + "\n",
                       {{"#swap", [&] { write_text(file, replacement); }}});
        EXPECT_EQ(read_text(file), replacement);
        EXPECT_NE(shown.find("\n" + file +
                             " is no longer the traverse that was read: it was changed or replaced since (by "
                             "another session or program); nothing was written to it."),
                  std::string::npos)
            << shown;
        EXPECT_NE(shown.find("\nThe entry could not be added to " + file), std::string::npos);
        EXPECT_EQ(read_text(kept), std::string(one_leg) +
                                       "T,2,3,180.0000,50.000,0.000,METER,\n"
                                       "T,3,4,0.0000,10.000,0.000,METER,\n");
        EXPECT_FALSE(fs::exists(file + ".lock"));
    }
}

// A mark left beside the file by a session that stopped while writing: the
// wait for it is given up and said, the file is left as it is, and the leg
// stays with the traverse. The mark is not this session's to remove.
TEST_F(TravFileRecords, AMarkLeftBesideTheFileIsNamedAndTheLegKept)
{
    const std::string file = path("marked.trv");
    write_text(file, one_leg);
    write_text(file + ".lock", "");
    const std::string shown =
        run("(b_trav)\nO\n" + file + "\n180\n50\n\nX\npick yes\n" + path("mine.trv") + "\n");
    EXPECT_EQ(read_text(file), one_leg);
    EXPECT_NE(
        shown.find("\n" + file + " is being written by another session (or one that stopped left " + file +
                   ".lock behind: delete it when no other session has the traverse open); nothing was "
                   "written to it."),
        std::string::npos)
        << shown;
    EXPECT_EQ(read_text(path("mine.trv")), std::string(one_leg) + "T,2,3,180.0000,50.000,0.000,METER,\n");
    EXPECT_TRUE(fs::exists(file + ".lock"));
}

// Runs the program on a script in a home of its own; what it printed.
struct program_run {
    FILE* pipe = nullptr;
    std::string shown;
};

program_run start_program(const std::string& home, const std::string& script)
{
    fs::create_directories(home);
    write_text(home + "/session.scr", script);
    const std::string command =
        kProgram + " --load Kestrom --home '" + home + "' --script '" + home + "/session.scr' 2>&1";
    return program_run{popen(command.c_str(), "r"), ""};
}

void finish_program(program_run& run)
{
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, run.pipe)) > 0;) run.shown.append(buffer, n);
    pclose(run.pipe);
}

// Another host adds a leg to the file between this session's opening it and
// its next leg: that leg is not written over; this session's leg is refused
// and kept with its traverse, to be saved under another name.
TEST_F(TravFileRecords, ALegAnotherHostAddedIsNotWrittenOver)
{
    const std::string file = path("shared.trv");
    write_text(file, one_leg);
    std::string other;
    const std::string shown = run_acting(
        "(b_trav)\nO\n" + file + "\n#other\n180\n50\n\nX\npick yes\n" + path("mine.trv") + "\n",
        {{"#other", [&] {
              program_run run = start_program(home() + "/other", "(b_trav)\nO\n" + file + "\n0\n10\n\nX\n");
              finish_program(run);
              other = run.shown;
          }}});
    EXPECT_EQ(read_text(file), std::string(one_leg) + "T,2,3,0.0000,10.000,0.000,METER,\n") << other;
    EXPECT_NE(shown.find(" is no longer the traverse that was read"), std::string::npos) << shown;
    EXPECT_EQ(read_text(path("mine.trv")), std::string(one_leg) + "T,2,3,180.0000,50.000,0.000,METER,\n");
}

// Two hosts open one traverse and add legs to it at the same time. Each leg
// is in the file, or its host was told it could not be added there (from
// then on its legs stay with it and are saved under its own name): none is
// lost, and none is in the file though its host was told otherwise.
TEST_F(TravFileRecords, TwoHostsAddingLegsAtOnceLoseNone)
{
    constexpr int legs = 1000;
    const std::string file = path("busy.trv");
    write_text(file, one_leg);
    struct host_case {
        const char* name;
        const char* record;  // bearing and distance of this host's legs, as written
        std::string typed;
    };
    const host_case hosts[] = {{"a", ",90.0000,1.111,", "90\n1.111\n\n"},
                               {"b", ",180.0000,2.222,", "180\n2.222\n\n"}};
    std::vector<program_run> runs;
    for (const host_case& h : hosts) {
        std::string script = "(b_trav)\nO\n" + file + "\n";
        for (int i = 0; i < legs; ++i) script += h.typed;
        // "yes" and the name answer the question that a host whose leg was
        // refused is asked at exit; a host that was never refused leaves at
        // once and reads them as two unknown commands.
        script += "X\npick yes\n" + path(std::string("own_") + h.name + ".trv") + "\n";
        runs.push_back(start_program(home() + "/" + h.name, script));
    }
    for (program_run& run : runs) finish_program(run);

    const std::string shared = read_text(file);
    ASSERT_EQ(shared.rfind(one_leg, 0), 0u);
    for (size_t i = 0; i < runs.size(); ++i) {
        const host_case& h = hosts[i];
        const std::string& shown = runs[i].shown;
        const size_t refused = shown.find("The entry could not be added to " + file);
        const size_t in_file = count_of(shared, h.record);
        if (refused == std::string::npos) {
            EXPECT_EQ(in_file, size_t(legs))
                << h.name << shown.substr(shown.size() > 2000 ? shown.size() - 2000 : 0);
            continue;
        }
        // The legs before the refused one are in the file, the rest not; all
        // of them are in the host's own file.
        const size_t entered = count_of(shown.substr(0, refused), "Enter Trav STN");
        EXPECT_EQ(in_file, entered - 1) << h.name;
        EXPECT_EQ(count_of(read_text(path(std::string("own_") + h.name + ".trv")), h.record), size_t(legs))
            << h.name;
    }
    // Every line of the shared file is a whole record.
    const std::vector<std::string> lines = [&] {
        std::vector<std::string> out;
        std::istringstream in(shared);
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }();
    for (size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(count_of(lines[i], ","), 7u) << lines[i];
    EXPECT_FALSE(fs::exists(file + ".lock"));
}

}  // namespace
