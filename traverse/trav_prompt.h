// The one question the traverse engine asks: what to do with a station number
// that is already in the list.
#pragma once

#include <string>

// Asks "Point exist <C>ancel <O>verWrite" (keywords "O C", an answer required)
// and returns the keyword, "O" or "C".
std::string trav_ask_overwrite();
