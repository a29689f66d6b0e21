// The host's small LISP: what a user types on the command line or a script holds
// in parentheses.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "session/session.h"

namespace host {

// How deep lists and quotes may nest in what the reader takes; a deeper
// expression is refused with a message (naming the script's file and line).
inline constexpr int kLispNestingLimit = 1000;

// Evaluates a top-level line that starts with "(" (or "!"), reading further lines
// of the input until the expression is complete, and prints each value.
void run_lisp_lines(Session& session, const std::string& first_line);

// Evaluates every expression of a text and prints each value; false on an error.
bool eval_print_text(Session& session, const std::string& text);
// The value of the last expression of a text; nullopt on an error (reported).
std::optional<LispValue> eval_text(Session& session, const std::string& text);

// An answer typed as LISP at a prompt ("(list 1 2)", "!p"): the value as the
// prompt reads it (a point "x,y,z", a number, a text; nil an empty answer);
// nullopt when the expression fails (reported).
std::optional<std::string> eval_answer_text(Session& session, const std::string& text);

// The data a text holds, each expression as quote gives it (nothing is
// evaluated); nullopt with the reason in error when the text cannot be read.
std::optional<std::vector<LispValue>> read_lisp_data(const std::string& text, std::string& error);

// A LISP function of the host's own (a dialog's done_dialog, say), called with its
// evaluated arguments. It throws std::runtime_error to report an error
// ("; error: <what>"). Plug-in functions of the same name stand before it.
using LispBuiltin = std::function<LispValue(std::vector<LispValue>& args)>;
void register_lisp_builtin(const std::string& name, LispBuiltin function);

}  // namespace host
