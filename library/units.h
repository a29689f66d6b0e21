// The library's length units: metres per unit by name, and the unit names.
#pragma once

#include <string>
#include <string_view>

// Metres per unit, the name compared without regard to case: "L"/"LINK"
// 0.201168, "F"/"FEET" 0.3048, "KAKI" 10.0, anything else 1.0.
double unit_factor(std::string_view name);
// "L" gives "LINK", "F" gives "FEET", anything else "METER".
std::string unit_name_of(std::string_view letter);
// "METER", "LINK", "FEET", "KAKI" for 0 to 3; out untouched and false otherwise.
bool unit_name_by_index(std::string& out, int index);
