// The plan-utility menu b_util_plan_prop: a dialog lists the plan tools and
// runs the one chosen; with auto run on, later calls run the chosen tool at
// once. The menu state lives for the loaded plug-in, shared by all drawings.
#pragma once

#include <string>
#include <vector>

struct util_plan_menu_rec {
    std::vector<std::string> names;  // the entries the list shows
    int selected = 0;                // the index the dispatch runs (0 to 8)
    int auto_run = 0;
    int filled = 0;
};
util_plan_menu_rec& util_plan_menu();

// The command: 0 after the first call (which shows the dialog), 1 later.
int b_util_plan_prop();
// The dialog; its last status (0 when it could not be shown).
int utility_plan_prop_dlg();
// Runs the tool of the selected index; the tool's result (1 ran to its end, 0
// left early), -1 for an index without a tool.
int util_plan_prop_run();
