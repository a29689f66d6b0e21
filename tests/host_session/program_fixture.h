// What the tests of the cadhost program share: the program, its files read
// back, and a fixture that runs it with a script as a user or a shell script
// runs it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "host_fixture.h"

inline const std::string kProgram = std::string(ORVIK_BINARY_DIR) + "/bin/cadhost";

inline std::string file_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Single quotes for the shell.
inline std::string shell_quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline size_t count_of(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class ProgramTest : public HostFixture {
protected:
    // Runs build/bin/cadhost with the options and returns what it printed.
    std::string run_program(const std::string& options, int* status = nullptr)
    {
        std::string command = kProgram + " " + options + " 2>&1";
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

    // Runs a shell command line as a shell script would, with the program's
    // standard output and error in files; the exit status the shell saw ($?).
    int run_shell(const std::string& line)
    {
        std::string command = "cd " + shell_quoted(home()) + " && " + line + " >" + shell_quoted(out_file()) +
                              " 2>" + shell_quoted(err_file()) + "; echo $? >" +
                              shell_quoted(home() + "/status");
        std::system(("sh -c " + shell_quoted(command)).c_str());
        return std::stoi(file_text(home() + "/status"));
    }
    std::string out_file() const { return home() + "/out.txt"; }
    std::string err_file() const { return home() + "/err.txt"; }

    std::string write_script(const std::string& text, const std::string& name = "session.scr")
    {
        std::string path = home() + "/" + name;
        std::ofstream(path) << text;
        return path;
    }
};
