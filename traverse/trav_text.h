// Small text helpers shared by the traverse files, maths and printouts.
#pragma once

#include <string>
#include <string_view>

// Equal without regard to case (record letters, version tags, unit names).
bool trav_same_text(std::string_view a, std::string_view b);

// printf into a string of whatever length the text needs.
std::string trav_format(const char* format, ...) __attribute__((format(printf, 1, 2)));
