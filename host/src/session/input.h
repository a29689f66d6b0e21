// Reading the answers a user types at the command line: points, numbers and
// keywords, as the get-calls of the host API and the host's own commands read them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/drawing.h"

namespace host {

// "x,y" or "x,y,z" (blanks around the numbers allowed); a missing z is 0.
// False, with out unchanged, for anything else.
bool parse_point_text(const std::string& text, Point3& out);

// A whole text read as a number ("12", "-3.5", "1e3"); nullopt for anything else.
std::optional<double> parse_real_text(const std::string& text);

// The keyword of the list (blank-separated, as acedInitGet takes it) that the answer
// names: the whole keyword or its capitalised abbreviation, without regard to case.
// Returns the keyword as spelt in the list; nullopt when none matches.
std::optional<std::string> match_keyword(const std::string& answer, const std::string& keywords);

// The keywords of an acedInitGet list, in order.
std::vector<std::string> split_keywords(const std::string& keywords);

// A point as the host's commands take it in text form: "x,y,z" with full precision.
std::string point_text(const Point3& p);
// A real with full precision, as the shortest text that reads back the same.
std::string real_text(double value);

// Uses up a pending acedInitGet, as every get-call does, and gives its keyword
// list: for the calls outside this file that read their answer themselves
// (acedEntSel).
std::string take_initget_keywords();
// What acedGetInput gives after such a call answered with a keyword.
void set_last_input(const std::string& text);

// Forgets a pending acedInitGet and the last answer (a new session starts clean).
void reset_input_state();

}  // namespace host
