// The cadhost program: a stand-in CAD host that loads the plug-ins and runs a
// script or a terminal session against one or more drawings.
//
//   cadhost [--load PATH_OR_NAME]... [--open FILE] [--script FILE] [--home DIR] [--stop-on-error]
//
// The exit status is 0 when nothing failed, else the number of failures (at
// most kMostFailuresCounted); a command line it cannot take exits with kUsageStatus.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "session/plugins.h"
#include "session/session.h"

#ifndef CADHOST_VERSION
#define CADHOST_VERSION "unknown"
#endif

namespace {

constexpr int kMostFailuresCounted = 100;
constexpr int kUsageStatus = 125;

void usage()
{
    std::fprintf(
        stderr,
        "usage: cadhost [--load PATH_OR_NAME]... [--open FILE] [--script FILE] [--home DIR]\n"
        "               [--stop-on-error] [--version] [--help]\n"
        "  --load           a plug-in: a path, or a name in the plug-in folder (Kestrom, Brenvel)\n"
        "  --open           a drawing to open instead of a new one\n"
        "  --script         answers, LISP expressions and commands, one per line; else the terminal\n"
        "  --home           the folder of the registry and application data (CADHOST_HOME)\n"
        "  --stop-on-error  the first failure ends the session\n"
        "The exit status is the number of failures (0: none; at most %d); %d: a wrong command line.\n",
        kMostFailuresCounted, kUsageStatus);
}

// True when standard error goes where standard output goes (a terminal, or
// "2>&1"): what the command line shows is not written there again.
bool stderr_is_stdout()
{
    struct stat out, err;
    if (fstat(STDOUT_FILENO, &out) != 0 || fstat(STDERR_FILENO, &err) != 0) return false;
    return out.st_dev == err.st_dev && out.st_ino == err.st_ino;
}

// The product's install tree is where dialogs, configuration texts and block
// drawings come from: said once at the start when it is not there.
void check_install_tree(host::Session& session)
{
    std::error_code error;
    if (std::filesystem::is_directory(session.install_folder + "/dcl", error)) return;
    std::string message = "\nThe install tree " + session.install_folder +
                          " is missing (it has no dcl folder): dialogs, configuration texts and block "
                          "drawings cannot be found. Set CADHOST_INSTALL to the product's install folder.";
    session.print(message);
    if (session.errors_to_stderr) std::fprintf(stderr, "cadhost: %s\n", message.c_str() + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> loads;
    std::string script, open;
    bool stop_on_error = false;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "cadhost: %s needs a value\n", option.c_str());
                usage();
                std::exit(kUsageStatus);
            }
            into = argv[++i];
        };
        std::string text;
        if (option == "--load") {
            value(text);
            loads.push_back(text);
        } else if (option == "--script") {
            value(script);
        } else if (option == "--open") {
            value(open);
        } else if (option == "--home") {
            value(text);
            setenv("CADHOST_HOME", text.c_str(), 1);
        } else if (option == "--stop-on-error") {
            stop_on_error = true;
        } else if (option == "--version") {
            std::printf("cadhost %s\n", CADHOST_VERSION);
            return 0;
        } else if (option == "--help" || option == "-h") {
            usage();
            return 0;
        } else {
            std::fprintf(stderr, "cadhost: unknown option %s\n", option.c_str());
            usage();
            return kUsageStatus;
        }
    }

    std::unique_ptr<host::Input> input;
    if (!script.empty()) {
        input = host::file_input(script);
        if (!input) {
            std::fprintf(stderr, "cadhost: cannot read the script %s\n", script.c_str());
            return 1;
        }
    } else {
        input = host::terminal_input();
    }

    host::Session session;
    session.errors_to_stderr = !stderr_is_stdout();
    session.stop_at_first_failure = stop_on_error;
    session.set_input(std::move(input));
    check_install_tree(session);
    // A drawing to open stands in for the new one the host would start with.
    bool opened = false;
    if (!open.empty()) {
        size_t before = session.documents().size();
        if (!session.run_script_command("OPEN \"" + open + "\""))
            session.fail("\nThis host cannot open drawings (it has no OPEN command).");
        opened = session.documents().size() > before;
    }
    if (!opened) session.new_document();
    for (const std::string& load : loads) {
        if (session.stopping()) break;
        session.load_plugin(host::resolve_plugin(session, load));
    }

    if (!session.stopping()) session.run();
    session.unload_plugins();
    session.print("\n");
    int failures = session.failures();
    if (failures > 0)
        std::fprintf(stderr, "cadhost: %d failure%s in this session\n", failures, failures == 1 ? "" : "s");
    return std::min(failures, kMostFailuresCounted);
}
