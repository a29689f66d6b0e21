// Helpers of the traverse tests: running engine code inside a host session so
// that what it prints and alerts can be checked, the worked-traverse data and
// scratch files.
#pragma once

#include <functional>
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
