// The cadhost program run as a user or a shell script runs it: a script file in,
// the command line on standard output, failures on standard error and in the
// exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "program_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST_F(ProgramTest, RunsAScriptFileAndEchoesTheSession)
{
    std::string script = write_script(
        "; two drawings\n(setq a (* 6 7))\nNEW\n(getvar \"DWGNAME\")\nDOCUMENTS\n(strcat \"x\"\n\"y\")\n");
    int status = -1;
    std::string out = run_program("--script " + script + " --home " + home(), &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("Command: (setq a (* 6 7))\n42"), std::string::npos) << out;
    EXPECT_NE(out.find("\"Drawing2.dwg\""), std::string::npos) << out;
    EXPECT_NE(out.find("* 2 Drawing2.dwg"), std::string::npos) << out;
    EXPECT_NE(out.find("\n\"xy\""), std::string::npos) << out;
}

TEST_F(ProgramTest, BadOptionsAndMissingScriptsAreRefused)
{
    int status = 0;
    std::string out = run_program("--bogus", &status);
    EXPECT_EQ(status, 125);
    EXPECT_NE(out.find("unknown option --bogus"), std::string::npos) << out;
    out = run_program("--script " + home() + "/none.scr", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("cannot read the script"), std::string::npos) << out;
    out = run_program("--version", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "cadhost 1.0\n");
}

// Each failure of a script counts in the exit status and is said on standard
// error with the script line it came from, besides the command line.
TEST_F(ProgramTest, FailuresGiveTheExitStatusAndStandardError)
{
    fs::create_directories(home() + "/plans");
    struct Case {
        const char* line;  // nullptr: a line that does not fail
        const char* says;
    } cases[] = {
        {"FROB 1", "Unknown command \"FROB\""},
        {"(+ 1 2)", nullptr},
        {"OPEN nowhere.dxf", "Cannot open \"nowhere.dxf\""},
        {"(no_such_function 1)", "; error: no function definition: NO_SUCH_FUNCTION"},
        {"SAVEAS plans/ok.dxf", nullptr},
        {"SAVEAS no such folder/x.dxf", "does not exist"},
        {"(command \"NoSuchCommand\")", "Unknown command \"NoSuchCommand\""},
        {"SWITCH 7", "There is no drawing \"7\""},
        {"(+ 1 (* 2 3)", "; error: malformed list on input"},
    };
    std::string script;
    int failing = 0;
    for (const Case& c : cases) {
        script += std::string(c.line) + "\n";
        if (c.says) ++failing;
    }
    write_script(script);
    int status = run_shell(kProgram + " --home " + shell_quoted(home()) +
                           " --load /no/such/plugin.so --open missing.dxf --script session.scr");
    const std::string out = file_text(out_file()), err = file_text(err_file());
    EXPECT_EQ(status, failing + 2) << err;
    EXPECT_NE(err.find("Cannot load the plug-in /no/such/plugin.so"), std::string::npos) << err;
    EXPECT_NE(err.find("Cannot open \"missing.dxf\""), std::string::npos) << err;
    int line = 0;
    for (const Case& c : cases) {
        ++line;
        if (!c.says) continue;
        SCOPED_TRACE(c.line);
        // The unbalanced expression is read to the end of the script.
        std::string where = "session.scr:" + std::to_string(line) + ": ";
        EXPECT_NE(err.find("cadhost: " + where), std::string::npos) << err;
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_NE(out.find(c.says), std::string::npos) << out;
    }
    EXPECT_NE(err.find("cadhost: " + std::to_string(failing + 2) + " failures in this session\n"),
              std::string::npos)
        << err;
    EXPECT_TRUE(fs::exists(home() + "/plans/ok.dxf"));
    EXPECT_EQ(out.find("cadhost:"), std::string::npos) << "standard output has the command line only";

    // A script where nothing fails ends with 0 and nothing on standard error.
    write_script("(setq a 1)\nNEW\nSAVEAS plans/two.dxf\n", "clean.scr");
    EXPECT_EQ(run_shell(kProgram + " --home " + shell_quoted(home()) + " --script clean.scr"), 0);
    EXPECT_EQ(file_text(err_file()), "");
}

TEST_F(ProgramTest, TheFirstFailureEndsTheSessionWhenAsked)
{
    write_script("(setq a 1)\nOPEN nowhere.dxf\n(princ \"after\")\nNEW\n");
    int status =
        run_shell(kProgram + " --home " + shell_quoted(home()) + " --stop-on-error --script session.scr");
    const std::string out = file_text(out_file());
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("The session ends at its first failure."), std::string::npos) << out;
    EXPECT_EQ(out.find("after"), std::string::npos) << out;
    EXPECT_EQ(out.find("Drawing2"), std::string::npos) << out;

    // A failure inside an expression ends the session once the expression is done.
    write_script("(progn (command \"NoSuchCommand\") (princ \"same line\"))\n(princ \"after\")\n");
    status =
        run_shell(kProgram + " --home " + shell_quoted(home()) + " --stop-on-error --script session.scr");
    EXPECT_EQ(status, 1) << file_text(out_file());
    EXPECT_NE(file_text(out_file()).find("same line"), std::string::npos);
    EXPECT_EQ(file_text(out_file()).find("after"), std::string::npos);
}

// Progress lines a command rewrites with "\r" are separate lines in a log.
TEST_F(ProgramTest, ProgressLinesEndInANewlineWhenTheOutputIsNoTerminal)
{
    write_script("(progn (princ \"\\rstep 1\") (princ \"\\rstep 2\") (princ \"\\rdone\\n\") nil)\n");
    EXPECT_EQ(run_shell(kProgram + " --home " + shell_quoted(home()) + " --script session.scr"), 0);
    const std::string out = file_text(out_file());
    EXPECT_EQ(out.find('\r'), std::string::npos) << out;
    EXPECT_NE(out.find("nil)\nstep 1\nstep 2\ndone\n"), std::string::npos) << out;
}

// The install tree is said missing once, at the start.
TEST_F(ProgramTest, AMissingInstallTreeIsReportedOnce)
{
    write_script("(setq a 1)\n(setq b 2)\n");
    EXPECT_EQ(run_shell("CADHOST_INSTALL=" + shell_quoted(home() + "/no install") + " " + kProgram +
                        " --home " + shell_quoted(home()) + " --script session.scr"),
              0);
    EXPECT_EQ(count_of(file_text(out_file()), "The install tree " + home() + "/no install is missing"), 1u)
        << file_text(out_file());
    EXPECT_EQ(count_of(file_text(err_file()), "is missing"), 1u) << file_text(err_file());
    EXPECT_EQ(run_shell(kProgram + " --home " + shell_quoted(home()) + " --script session.scr"), 0);
    EXPECT_EQ(file_text(out_file()).find("is missing"), std::string::npos);
}

// File names with blanks: quoted, and where the rest of the line is the name, unquoted too.
TEST_F(ProgramTest, FileCommandsTakePathsWithBlanks)
{
    const std::string folder = home() + "/two words";
    fs::create_directories(folder + "/plug ins");
    fs::copy_file(ORVIK_PLUGIN_DIR "/Brenvel.so", folder + "/plug ins/Brenvel.so");
    write_script("SAVEAS \"" + folder + "/plan one.dxf\"\nCLOSE\nOPEN " + folder +
                 "/plan one.dxf\nSAVEAS \"" + folder + "/plan two.dxf\"\nPICTURE \"" + folder +
                 "/pic one.png\"\nLOAD \"" + folder + "/plug ins/Brenvel.so\"\n(c_upoint 1 2)\n");
    int status = run_shell(kProgram + " --home " + shell_quoted(home()) + " --script session.scr");
    const std::string out = file_text(out_file());
    EXPECT_EQ(status, 0) << out << file_text(err_file());
    for (const char* name : {"plan one.dxf", "plan two.dxf", "pic one.png"})
        EXPECT_TRUE(fs::exists(folder + "/" + name)) << name;
    EXPECT_NE(out.find("Loaded " + folder + "/plug ins/Brenvel.so."), std::string::npos) << out;

    // The program's own options take such names as they are.
    write_script("(getvar \"DWGNAME\")\n(c_upoint 1 2)\n");
    status = run_shell(kProgram + " --home " + shell_quoted(home()) + " --open " +
                       shell_quoted(folder + "/plan two.dxf") + " --load " +
                       shell_quoted(folder + "/plug ins/Brenvel.so") + " --script session.scr");
    EXPECT_EQ(status, 0) << file_text(out_file()) << file_text(err_file());
    EXPECT_NE(file_text(out_file()).find("\"plan two.dxf\""), std::string::npos) << file_text(out_file());
}

// Expressions nested past the reader's limit are refused with the script's
// line, on one line or over many, and the lines after them run.
TEST_F(ProgramTest, DeepLispExpressionsAreRefusedWithTheirLine)
{
    const int deep = 20000;
    std::string script = std::string(deep, '(') + std::string(deep, ')') + "\n(princ \"one\")\n";
    for (int i = 0; i < deep; ++i) script += "(list\n";
    for (int i = 0; i < deep; ++i) script += ")\n";
    script += "(princ \"two\")\n";
    write_script(script);
    int status = run_shell(kProgram + " --home " + shell_quoted(home()) + " --script session.scr");
    const std::string out = file_text(out_file()), err = file_text(err_file());
    EXPECT_EQ(status, 2) << err;
    EXPECT_NE(err.find("; error: expressions nested deeper than 1000 levels (at session.scr:1)"),
              std::string::npos)
        << err;
    // The second expression passes the limit on the line of its 1001st "(".
    EXPECT_NE(err.find("; error: expressions nested deeper than 1000 levels (at session.scr:1003)"),
              std::string::npos)
        << err;
    EXPECT_NE(out.find("\none"), std::string::npos);
    EXPECT_NE(out.find("\ntwo"), std::string::npos);
}

}  // namespace
