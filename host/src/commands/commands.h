// The host's commands (run through acedCommand, acedCmd and LISP's command), its
// top-level script commands and its LISP functions for acedInvoke.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "ads.h"
#include "session/session.h"

namespace host {

std::string lower_text(const std::string& text);
// A command's name as the registry holds it: lower case, without the leading "_"
// (the language-neutral name) and "." (the built-in, not a redefinition).
std::string command_key(const std::string& name);

// The next answer a host command takes from its arguments; nullopt when they ran out.
std::optional<std::string> take_arg(CommandArgs& args);

// One value of acedCommand or acedCmd as a host command reads it: strings as they
// are, reals with full precision, points "x,y" or "x,y,z", entity names
// "@ename:<id>"; nullopt for a type a command cannot take.
std::optional<std::string> command_value_text(const resbuf* value);
std::string entity_name_text(long id);
// The id an "@ename:<id>" text names; nullopt for any other text.
std::optional<long> entity_id_from_text(const std::string& text);

// Runs a host command that a plug-in or LISP called (acedCommand, acedCmd, LISP's
// command): with CMDECHO on, the command line first shows it with its answers.
// counts_as_failure: a command that cannot be carried out (RTERROR) is a failure
// of the session (a script's own call; a plug-in handles the status itself).
int run_called_command(Session& session, const std::string& name, CommandArgs& args,
                       bool counts_as_failure = false);

// Registers what every session has: the Layer and redraw commands and the script
// commands NEW, SWITCH, DOCUMENT, CLOSE, DOCUMENTS, LOAD and QUIT.
void register_builtin_commands(Session& session);

// A host LISP function that plug-ins reach through acedInvoke: it gets the
// arguments after the name and sets *result (a chain the caller releases).
using HostLispFunction = std::function<int(const resbuf* args, resbuf** result)>;
void register_lisp_function(const std::string& name, HostLispFunction function);
// Calls the host LISP function of that name; kNoHostLispFunction when there is none.
inline constexpr int kNoHostLispFunction = -1;
int host_lisp_function_call(const std::string& name, const resbuf* args, resbuf** result);

}  // namespace host
