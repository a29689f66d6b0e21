// The host's small LISP: what a user types on the command line or a script holds
// in parentheses.
#pragma once

#include <optional>
#include <string>

#include "session.h"

namespace host {

// Evaluates a top-level line that starts with "(" (or "!"), reading further lines
// of the input until the expression is complete, and prints each value.
void run_lisp_lines(Session& session, const std::string& first_line);

// Evaluates every expression of a text and prints each value; false on an error.
bool eval_print_text(Session& session, const std::string& text);
// The value of the last expression of a text; nullopt on an error (reported).
std::optional<LispValue> eval_text(Session& session, const std::string& text);

}  // namespace host
