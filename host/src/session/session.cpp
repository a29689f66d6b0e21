// The running host: the one current session, its documents and the top level of
// the command line, where a script's or a terminal's lines are LISP expressions or
// top-level commands.
#include "session/session.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "commands/commands.h"
#include "db/entities.h"
#include "lisp/lisp.h"
#include "session/input.h"
#include "session/plugins.h"

#ifndef ORVIK_INSTALL_TREE
#define ORVIK_INSTALL_TREE ""
#endif
#ifndef ORVIK_PLUGIN_DIR
#define ORVIK_PLUGIN_DIR ""
#endif

namespace host {

namespace {

Session* g_session = nullptr;

std::vector<SessionSetup>& session_setups()
{
    static std::vector<SessionSetup> setups;
    return setups;
}

std::string working_folder()
{
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string trimmed(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return "";
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

}  // namespace

bool add_session_setup(SessionSetup setup)
{
    session_setups().push_back(std::move(setup));
    return true;
}

Session::Session()
{
    g_session = this;
    const char* install = std::getenv("CADHOST_INSTALL");
    install_folder = (install && *install) ? install : ORVIK_INSTALL_TREE;
    plugin_folder = ORVIK_PLUGIN_DIR;
    reset_input_state();
    register_builtin_commands(*this);
    for (const SessionSetup& setup : session_setups()) setup(*this);
}

Session::~Session()
{
    unload_plugins();
    documents_.clear();
    if (g_session == this) g_session = nullptr;
}

Session& Session::get()
{
    if (!g_session) {
        std::fprintf(stderr, "cadhost: a host function was called with no session running\n");
        std::abort();
    }
    return *g_session;
}

Session* Session::current_or_null()
{
    return g_session;
}

Document& Session::current()
{
    if (current_ < 0 || current_ >= static_cast<int>(documents_.size()))
        throw std::logic_error("no drawing is open");
    return *documents_[current_];
}

Document& Session::new_document()
{
    auto document = std::make_unique<Document>();
    int number = ++new_count_;
    document->drawing.prefix = working_folder();
    document->drawing.name = "Drawing" + std::to_string(number) + ".dwg";
    return add_document(std::move(document));
}

Document& Session::add_document(std::unique_ptr<Document> document)
{
    documents_.push_back(std::move(document));
    current_ = static_cast<int>(documents_.size()) - 1;
    Document& added = *documents_.back();
    for (auto& app : apps_) send_message(*app, AcRx::kLoadDwgMsg, &added);
    return added;
}

void Session::switch_to(int index)
{
    if (index < 0 || index >= static_cast<int>(documents_.size())) {
        fail("\nThere is no drawing " + std::to_string(index + 1) + ".");
        return;
    }
    current_ = index;
}

void Session::close_document(int index)
{
    if (index < 0 || index >= static_cast<int>(documents_.size())) {
        fail("\nThere is no drawing " + std::to_string(index + 1) + ".");
        return;
    }
    // The closing drawing is current while the plug-ins take their leave of it.
    int before = current_;
    current_ = index;
    Document* closing = documents_[index].get();
    for (auto& app : apps_) send_message(*app, AcRx::kUnloadDwgMsg, closing);
    documents_.erase(documents_.begin() + index);
    if (documents_.empty()) {
        current_ = -1;
    } else if (before == index) {
        current_ = std::min(index, static_cast<int>(documents_.size()) - 1);
    } else {
        current_ = before > index ? before - 1 : before;
    }
}

void Session::set_input(std::unique_ptr<Input> input)
{
    input_ = std::move(input);
}

void Session::register_command(const std::string& name, HostCommand command)
{
    commands_[command_key(name)] = std::move(command);
}

int Session::run_command(const std::string& name, CommandArgs& args)
{
    auto found = commands_.find(command_key(name));
    if (found == commands_.end()) {
        print("\nUnknown command \"" + name + "\": the host has no such command.");
        return RTERROR;
    }
    return found->second(args);
}

void Session::register_script_command(const std::string& name, ScriptCommand command, std::string help)
{
    script_commands_[lower_text(name)] = {name, std::move(help), std::move(command)};
}

std::vector<Session::ScriptCommandHelp> Session::script_command_list() const
{
    std::vector<ScriptCommandHelp> list;
    for (const auto& [key, entry] : script_commands_) list.push_back({upper_text(entry.name), entry.help});
    return list;
}

void Session::fail(const std::string& message)
{
    print(message);
    failure_shown(message);
}

void Session::failure_shown(const std::string& shown)
{
    ++failures_;
    if (errors_to_stderr) {
        std::string text = trimmed(shown);
        std::string where = input_ ? input_->where() : "";
        std::fprintf(stderr, "cadhost: %s%s\n", where.empty() ? "" : (where + ": ").c_str(), text.c_str());
        std::fflush(stderr);
    }
    if (stop_at_first_failure && !stopping_) {
        stopping_ = true;
        quit_requested_ = true;
        print("\nThe session ends at its first failure.");
    }
}

void Session::input_ended_while_asking(const std::string& prompt)
{
    if (stopping_) {
        print("\n*Cancel*");
        return;
    }
    fail("\n*Cancel* the script ended while the command was asking: " + prompt);
}

bool Session::run_script_command(const std::string& line)
{
    std::string text = trimmed(line);
    size_t blank = text.find_first_of(" \t");
    std::string word = lower_text(text.substr(0, blank));
    std::string argument = blank == std::string::npos ? "" : trimmed(text.substr(blank));
    auto found = script_commands_.find(word);
    if (found == script_commands_.end()) return false;
    found->second.command(argument);
    return true;
}

void Session::run()
{
    quit_requested_ = false;
    while (!quit_requested_ && input_) {
        if (input_->interactive()) print("\nCommand: ");
        std::optional<std::string> line = input_->next_line();
        if (!line) break;
        std::string text = trimmed(*line);
        if (text.empty() || text.front() == ';') continue;
        if (!input_->interactive()) print("\nCommand: ");
        transcript_.answer(text, !input_->interactive());
        if (text == "^C") {
            print("\n*Cancel*");
            continue;
        }
        if (text.front() == '(' || text.front() == '!') {
            run_lisp_lines(*this, text);
            continue;
        }
        bool known = false;
        try {
            known = run_script_command(text);
        } catch (const InputExhausted& exhausted) {
            input_ended_while_asking(exhausted.what());
            known = true;
        } catch (const std::exception& error) {
            fail(std::string("\n") + text + " failed: " + error.what());
            known = true;
        }
        if (!known) {
            std::string word = text.substr(0, text.find_first_of(" \t"));
            fail("\nUnknown command \"" + word +
                 "\". Type a LISP expression in parentheses or a command; HELP lists the commands.");
        }
    }
}

bool Session::eval_and_print(const std::string& expression)
{
    return eval_print_text(*this, expression);
}

std::optional<LispValue> Session::eval(const std::string& expression)
{
    return eval_text(*this, expression);
}

}  // namespace host
