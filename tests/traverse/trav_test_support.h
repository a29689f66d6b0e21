// Helpers of the traverse tests: running engine code inside a host session so
// that what it prints and alerts can be checked, the worked-traverse data and
// scratch files.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "trav_model.h"

// What the command line showed while body ran inside a fresh host session,
// and the alert texts. answers: the lines typed at prompts, one per line.
struct trav_printed {
    std::string text;
    std::vector<std::string> alerts;
};
trav_printed trav_run_printing(const std::function<void()>& body, const std::string& answers = "");

// Computes the lists and their route areas with the given rounding and adjust
// flag inside a fresh host session; returns what the computation printed.
std::string trav_solve_printing(trav_lists& lists, int decimals, bool adjust);

// Legs appended to route `route` as the reader appends T records: the
// observation, the route link and the to-station (NIL) when it is new.
struct trav_test_leg {
    int from, to;
    double bearing, distance;
};
void trav_add_legs(trav_lists& lists, size_t route, std::initializer_list<trav_test_leg> legs);

// A scratch folder of this test program (made empty on first use).
std::string trav_scratch_dir();
// Writes text to a file in the scratch folder and returns its path.
std::string trav_write_scratch(const std::string& name, const std::string& text);
std::string trav_file_contents(const std::string& path);
// A file of the test data folder.
std::string trav_data_path(const std::string& name);

// The Transit-rule square: station 1 at (1000, 2000), legs 90/100, 180/100,
// 270/100 and 0/100.03 back to 1, closing on 1.
trav_lists trav_square_lists();
