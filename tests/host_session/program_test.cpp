// The cadhost program run as a user runs it: a script file in, the command line
// on stdout.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "host_fixture.h"

namespace {

class ProgramTest : public HostFixture {
protected:
    // Runs build/bin/cadhost with the options and returns what it printed.
    std::string run_program(const std::string& options, int* status = nullptr)
    {
        std::string command = std::string(ORVIK_BINARY_DIR) + "/bin/cadhost " + options + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return "";
        std::string out;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        int code = pclose(pipe);
        if (status) *status = WEXITSTATUS(code);
        return out;
    }

    std::string write_script(const std::string& text)
    {
        std::string path = home() + "/session.scr";
        std::ofstream(path) << text;
        return path;
    }
};

TEST_F(ProgramTest, RunsAScriptFileAndEchoesTheSession)
{
    std::string script = write_script(
        "; two drawings\n(setq a (* 6 7))\nNEW\n(getvar \"DWGNAME\")\nDOCUMENTS\n(strcat \"x\"\n\"y\")\nLOAD "
        "Nowhere\n");
    int status = -1;
    std::string out = run_program("--script " + script + " --home " + home(), &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("Command: (setq a (* 6 7))\n42"), std::string::npos) << out;
    EXPECT_NE(out.find("\"Drawing2.dwg\""), std::string::npos) << out;
    EXPECT_NE(out.find("* 2 Drawing2.dwg"), std::string::npos) << out;
    EXPECT_NE(out.find("\n\"xy\""), std::string::npos) << out;
    EXPECT_NE(out.find("Cannot load the plug-in"), std::string::npos) << out;
}

TEST_F(ProgramTest, BadOptionsAndMissingScriptsAreRefused)
{
    int status = 0;
    std::string out = run_program("--bogus", &status);
    EXPECT_EQ(status, 2);
    EXPECT_NE(out.find("unknown option --bogus"), std::string::npos) << out;
    out = run_program("--script " + home() + "/none.scr", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("cannot read the script"), std::string::npos) << out;
}

}  // namespace
