// The radiation number tools: renumber from a number on, insert a number,
// check duplicated numbers, check the sequence for missing numbers, and
// convert old number texts (plain TEXTs holding a number) into tagged ones.
// They work on the "RADLISTING" number tag of the radiation POINTs and their
// TEXTs, and are offered by one menu dialog.
#pragma once

#include <cstdint>
#include <vector>

#include "ads.h"

struct rad_num_rec {
    std::int32_t number = 0;      // the current tag
    std::int32_t new_number = 0;  // the tag it is to get
    std::int32_t index = 0;       // in the working selection set
};

// The working lists of the renumbering tools.
struct rad_num_lists {
    std::vector<rad_num_rec> points;
    std::vector<rad_num_rec> texts;
    ads_name set = {0, 0};
    long length = 0;
};
rad_num_lists& rad_num_working();
// Frees the working set and empties both lists.
void rad_list_reset();

// The menu dialog: runs the chosen tool and comes back until "exit"; its last
// status.
int dlg_radlisting_menu();
// 1 renumber, 2 insert, 3 duplicates, 4 sequence, 5 convert; other values do nothing.
void radlisting_menu_dispatch(int choice);
