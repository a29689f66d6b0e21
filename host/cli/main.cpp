// The cadhost program: a stand-in CAD host that loads the plug-ins and runs a
// script or a terminal session against one or more drawings.
//
//   cadhost [--load PATH_OR_NAME]... [--open FILE] [--script FILE] [--home DIR]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "session/plugins.h"
#include "session/session.h"

namespace {

void usage()
{
    std::fprintf(stderr,
                 "usage: cadhost [--load PATH_OR_NAME]... [--open FILE] [--script FILE] [--home DIR]\n"
                 "  --load    a plug-in: a path, or a name in the plug-in folder (Kestrom, Brenvel)\n"
                 "  --open    a drawing to open instead of a new one (needs the OPEN command)\n"
                 "  --script  answers, LISP expressions and commands, one per line; else the terminal\n"
                 "  --home    the folder of the registry and application data (CADHOST_HOME)\n");
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> loads;
    std::string script, open;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "cadhost: %s needs a value\n", option.c_str());
                usage();
                std::exit(2);
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
        } else if (option == "--help" || option == "-h") {
            usage();
            return 0;
        } else {
            std::fprintf(stderr, "cadhost: unknown option %s\n", option.c_str());
            usage();
            return 2;
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
    session.set_input(std::move(input));
    // A drawing to open stands in for the new one the host would start with.
    bool opened = false;
    if (!open.empty()) {
        size_t before = session.documents().size();
        if (!session.run_script_command("OPEN " + open))
            session.print("\nThis host cannot open drawings (it has no OPEN command); starting a new one.");
        opened = session.documents().size() > before;
    }
    if (!opened) session.new_document();
    for (const std::string& load : loads) session.load_plugin(host::resolve_plugin(session, load));

    session.run();
    session.unload_plugins();
    session.print("\n");
    return 0;
}
