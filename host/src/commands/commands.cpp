// The host's command interpreter: acedCommand and acedCmd hand a command its
// answers as texts; the host commands Layer and redraw; the top-level script
// commands that open, switch and close drawings and load plug-ins; and the host
// LISP functions that acedInvoke reaches.
#include "commands/commands.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <map>

#include "commands/cmd_misc.h"
#include "db/resbuf_convert.h"
#include "db/sysvars.h"
#include "session/input.h"
#include "session/plugins.h"

namespace host {

namespace {

std::map<std::string, HostLispFunction>& lisp_functions()
{
    static std::map<std::string, HostLispFunction> table;
    return table;
}

std::string trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// A layer name pattern: "*" any run of characters, "?" any one; case ignored.
bool wildcard_match(const std::string& pattern, const std::string& name, size_t p = 0, size_t n = 0)
{
    while (p < pattern.size()) {
        char c = pattern[p];
        if (c == '*') {
            for (size_t k = n; k <= name.size(); ++k)
                if (wildcard_match(pattern, name, p + 1, k)) return true;
            return false;
        }
        if (n >= name.size()) return false;
        if (c != '?' &&
            std::tolower(static_cast<unsigned char>(c)) != std::tolower(static_cast<unsigned char>(name[n])))
            return false;
        ++p;
        ++n;
    }
    return n == name.size();
}

Group& group_or_add(Entity& record, int code, long absent)
{
    if (Group* group = record.find(code)) return *group;
    record.groups.push_back(Group::of_int(code, absent));
    return record.groups.back();
}

// One option of the Layer command on one layer record.
void change_layer(Entity& layer, const std::string& option)
{
    Group& flags = group_or_add(layer, 70, 0);
    Group& colour = group_or_add(layer, 62, 7);
    if (colour.integer == 0) colour.integer = 7;
    if (option == "Thaw") flags.integer &= ~1L;
    if (option == "Freeze") flags.integer |= 1;
    if (option == "Unlock") flags.integer &= ~4L;
    if (option == "LOck") flags.integer |= 4;
    if (option == "ON") colour.integer = std::labs(colour.integer);
    if (option == "OFF") colour.integer = -std::labs(colour.integer);
}

// The Layer command: options each followed by a layer name (or a comma list of
// names and patterns), repeated until an empty answer.
int layer_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return RTERROR;
    Document& document = session.current();
    Drawing& drawing = document.drawing;
    const char* options = "ON OFF Freeze Thaw LOck Unlock";
    for (;;) {
        std::optional<std::string> answer = take_arg(args);
        if (!answer || trim(*answer).empty()) return RTNORM;
        std::optional<std::string> option = match_keyword(*answer, options);
        if (!option) {
            session.print("\nLayer: \"" + *answer +
                          "\" is no option of this host's Layer command (it knows "
                          "ON, OFF, Freeze, Thaw, LOck and Unlock).");
            return RTERROR;
        }
        std::optional<std::string> names = take_arg(args);
        if (!names || trim(*names).empty()) {
            session.print("\nLayer: the option " + *option + " needs a layer name.");
            return RTERROR;
        }
        std::string current = sysvar_string(drawing, "CLAYER", "0");
        size_t start = 0;
        for (;;) {
            size_t comma = names->find(',', start);
            std::string pattern =
                trim(names->substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (!pattern.empty()) {
                bool found = false;
                for (long id : drawing.tables["LAYER"]) {
                    Entity* layer = drawing.get(id);
                    if (!layer || !wildcard_match(pattern, layer->text(2))) continue;
                    found = true;
                    if (*option == "Freeze" && lower_text(layer->text(2)) == lower_text(current)) {
                        session.print("\nCannot freeze layer \"" + layer->text(2) +
                                      "\": it is the current layer.");
                        continue;
                    }
                    change_layer(*layer, *option);
                    document.modified = true;
                }
                if (!found) session.print("\nNo layer matches \"" + pattern + "\".");
            }
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
}

int redraw_command(CommandArgs&)
{
    Session& session = Session::get();
    if (session.has_document()) session.current().temp_vectors.clear();
    return RTNORM;
}

// A document number typed after SWITCH, DOCUMENT or CLOSE (counted from 1).
std::optional<int> document_index(Session& session, const std::string& argument)
{
    std::string text = trim(argument);
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || number < 1 || number > static_cast<long>(session.documents().size())) {
        session.fail("\nThere is no drawing \"" + text + "\"; DOCUMENTS lists the open ones.");
        return -1;
    }
    return static_cast<int>(number - 1);
}

// A file name as a top-level command takes it: the rest of the line, in double
// quotes when it has blanks at either end (blanks inside need none).
std::string file_argument(const std::string& argument)
{
    std::string text = trim(argument);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

void help_command(Session& session)
{
    std::string text = "\nA line in parentheses is a LISP expression; !name shows a variable. Commands:";
    for (const Session::ScriptCommandHelp& entry : session.script_command_list())
        text += "\n  " + entry.name + (entry.help.empty() ? "" : " " + entry.help);
    session.print(text);
}

void register_script_commands(Session& session)
{
    session.register_script_command(
        "NEW",
        [&session](const std::string&) {
            Document& document = session.new_document();
            session.print("\n" + document.drawing.name + " is the current drawing.");
        },
        ": starts a new drawing, which becomes current");
    auto switch_command = [&session](const std::string& argument) {
        std::optional<int> index = document_index(session, argument);
        if (!index) {
            session.fail("\nSWITCH needs the number of a drawing; DOCUMENTS lists them.");
            return;
        }
        if (*index < 0) return;
        session.switch_to(*index);
        session.print("\n" + session.current().drawing.name + " is the current drawing.");
    };
    session.register_script_command("SWITCH", switch_command, "n: makes drawing n (from 1) current");
    session.register_script_command("DOCUMENT", switch_command, "n: the same as SWITCH n");
    session.register_script_command(
        "CLOSE",
        [&session](const std::string& argument) {
            if (!session.has_document()) {
                session.fail("\nNo drawing is open.");
                return;
            }
            std::optional<int> index = document_index(session, argument);
            if (index && *index < 0) return;
            int closing = index ? *index : session.current_index();
            std::string name = session.documents()[closing]->drawing.name;
            session.close_document(closing);
            session.print("\n" + name + " closed.");
        },
        "[n]: closes drawing n, or the current one, without saving");
    session.register_script_command(
        "DOCUMENTS",
        [&session](const std::string&) {
            if (session.documents().empty()) session.print("\nNo drawing is open.");
            for (size_t i = 0; i < session.documents().size(); ++i) {
                const Drawing& drawing = session.documents()[i]->drawing;
                session.print("\n" +
                              std::string(static_cast<int>(i) == session.current_index() ? "* " : "  ") +
                              std::to_string(i + 1) + " " + drawing.name + "  (" + drawing.prefix + ")");
            }
        },
        ": lists the open drawings; * marks the current one");
    session.register_script_command(
        "LOAD",
        [&session](const std::string& argument) {
            std::string name = file_argument(argument);
            if (name.empty()) {
                session.fail(
                    "\nLOAD needs a plug-in: a path, or a name of the plug-in folder such as Kestrom.");
                return;
            }
            std::string path = resolve_plugin(session, name);
            if (session.load_plugin(path)) session.print("\nLoaded " + path + ".");
        },
        "path-or-name: loads a plug-in (Kestrom, Brenvel, or the path of one)");
    session.register_script_command(
        "HELP", [&session](const std::string&) { help_command(session); }, ": lists these commands");
    session.register_script_command(
        "QUIT", [&session](const std::string&) { session.quit(); }, ": ends the session");
}

}  // namespace

std::string lower_text(const std::string& text)
{
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string command_key(const std::string& name)
{
    std::string key = trim(name);
    size_t start = key.find_first_not_of("_.");
    return lower_text(start == std::string::npos ? "" : key.substr(start));
}

std::optional<std::string> take_arg(CommandArgs& args)
{
    if (args.empty()) return std::nullopt;
    std::string next = args.front();
    args.erase(args.begin());
    return next;
}

std::string entity_name_text(long id)
{
    return "@ename:" + std::to_string(id);
}

std::optional<long> entity_id_from_text(const std::string& text)
{
    const std::string prefix = "@ename:";
    if (text.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    char* end = nullptr;
    long id = std::strtol(text.c_str() + prefix.size(), &end, 10);
    if (end == text.c_str() + prefix.size() || *end != '\0') return std::nullopt;
    return id;
}

std::optional<std::string> command_value_text(const resbuf* value)
{
    switch (value->restype) {
        case RTSTR:
            return std::string(value->resval.rstring ? value->resval.rstring : "");
        case RTREAL:
        case RTANG:
        case RTORINT:
            return real_text(value->resval.rreal);
        case RTSHORT:
            return std::to_string(value->resval.rint);
        case RTLONG:
            return std::to_string(value->resval.rlong);
        case RTPOINT:
            return real_text(value->resval.rpoint[0]) + "," + real_text(value->resval.rpoint[1]);
        case RT3DPOINT:
            return point_text({value->resval.rpoint[0], value->resval.rpoint[1], value->resval.rpoint[2]});
        case RTENAME:
            return entity_name_text(value->resval.rlname[0]);
    }
    return std::nullopt;
}

int run_called_command(Session& session, const std::string& name, CommandArgs& args, bool counts_as_failure)
{
    if (session.has_document() && sysvar_short(session.current().drawing, "CMDECHO", 1) != 0) {
        std::string echo = "\nCommand: " + name;
        for (const std::string& arg : args) echo += " " + arg;
        session.print(echo);
    }
    const std::string& shown = session.transcript().text();
    const size_t before = shown.size();
    const int result = session.run_command(name, args);
    // The command has said why it failed; that is the failure's message.
    if (counts_as_failure && result == RTERROR)
        session.failure_shown(shown.substr(std::min(before, shown.size())));
    // In the real host, answers a command leaves unused would reach the command
    // line as new commands; here they are reported, never dropped silently.
    std::string unused;
    for (const std::string& arg : args) {
        if (!arg.empty()) unused += " \"" + arg + "\"";
    }
    if (!unused.empty()) session.print("\nAnswers left unused by " + name + ":" + unused);
    return result;
}

void register_lisp_function(const std::string& name, HostLispFunction function)
{
    lisp_functions()[lower_text(name)] = std::move(function);
}

int host_lisp_function_call(const std::string& name, const resbuf* args, resbuf** result)
{
    *result = nullptr;
    auto& table = lisp_functions();
    auto found = table.find(lower_text(name));
    if (found == table.end()) return kNoHostLispFunction;
    return found->second(args, result);
}

void register_builtin_commands(Session& session)
{
    session.register_command("layer", layer_command);
    session.register_command("redraw", redraw_command);
    session.register_command("redrawall", redraw_command);
    session.register_command("regen", redraw_command);
    register_script_commands(session);
    register_text_command(session);   // Text (cmd_text.cpp)
    register_misc_commands(session);  // Donut, _zoom (cmd_misc.cpp)
}

}  // namespace host

namespace {

// Runs a command from its values: the first a string naming it, the rest its answers.
int run_values(const resbuf* values)
{
    host::Session* session = host::Session::current_or_null();
    if (!session) return RTERROR;
    // An empty call cancels a pending command; the host leaves none pending.
    if (!values) return RTNORM;
    if (values->restype != RTSTR || !values->resval.rstring) {
        session->print("\nThe host's command call must start with the command's name as a string.");
        return RTERROR;
    }
    std::string name = values->resval.rstring;
    host::CommandArgs args;
    for (const resbuf* value = values->rbnext; value; value = value->rbnext) {
        std::optional<std::string> text = host::command_value_text(value);
        if (!text) {
            session->print("\nThe command " + name + " cannot take a value of result type " +
                           std::to_string(value->restype) + ".");
            return RTERROR;
        }
        args.push_back(*text);
    }
    return host::run_called_command(*session, name, args);
}

}  // namespace

extern "C" {

int acedCommand(int rtype, ...)
{
    va_list list;
    va_start(list, rtype);
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    bool bad = false;
    for (int type = rtype; type != 0 && type != RTNONE; type = va_arg(list, int)) {
        resbuf* node = acutNewRb(type);
        switch (type) {
            case RTSTR: {
                const char* text = va_arg(list, const char*);
                node->resval.rstring = host::copy_string(text ? text : "");
                break;
            }
            case RTREAL:
            case RTANG:
            case RTORINT:
                node->resval.rreal = va_arg(list, double);
                break;
            case RTSHORT:
                node->resval.rint = static_cast<short>(va_arg(list, int));
                break;
            case RTLONG:
                node->resval.rlong = static_cast<std::int32_t>(va_arg(list, long));
                break;
            case RTPOINT:
            case RT3DPOINT: {
                const double* p = va_arg(list, const double*);
                for (int i = 0; i < 3; ++i)
                    node->resval.rpoint[i] = p && (i < 2 || type == RT3DPOINT) ? p[i] : 0.0;
                break;
            }
            case RTENAME: {
                const long* n = va_arg(list, const long*);
                node->resval.rlname[0] = n ? n[0] : 0;
                node->resval.rlname[1] = n ? n[1] : 0;
                break;
            }
            default:
                bad = true;
                break;
        }
        if (!head)
            head = tail = node;
        else
            tail = tail->rbnext = node;
        if (bad) break;
    }
    va_end(list);
    int status;
    if (bad) {
        if (host::Session* session = host::Session::current_or_null())
            session->print("\nacedCommand: result type " + std::to_string(tail->restype) +
                           " cannot be given to a command.");
        status = RTERROR;
    } else {
        status = run_values(head);
    }
    if (head) acutRelRb(head);
    return status;
}

int acedCmd(const resbuf* args)
{
    return run_values(args);
}

int acedInvoke(const resbuf* args, resbuf** result)
{
    if (result) *result = nullptr;
    if (!args || args->restype != RTSTR || !args->resval.rstring) return RTERROR;
    resbuf* ignored = nullptr;
    int status =
        host::host_lisp_function_call(args->resval.rstring, args->rbnext, result ? result : &ignored);
    if (ignored) acutRelRb(ignored);
    if (status == host::kNoHostLispFunction) {
        if (host::Session* session = host::Session::current_or_null())
            session->print(std::string("\n; error: no function definition: ") + args->resval.rstring);
        return RTERROR;
    }
    return status;
}

}  // extern "C"
