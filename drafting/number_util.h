// The number utility b_number_util: a menu of tools on numeric TEXTs (add or
// multiply by a constant, level texts to point heights, level labels,
// renumbering, links or feet to metres) and three tools that only the dispatch
// table reaches (sum, angle between directions, perimeter closure check). The
// menu remembers the chosen tool and the current text selection between calls;
// with auto run on, the next call runs the chosen tool without the dialog. All
// state lives for the loaded plug-in, never in the drawing.
#pragma once

#include <string>
#include <vector>

#include "ads.h"
#include "text_filter.h"

struct number_util_rec {
    std::vector<std::string> names;
    int index = 0;
    int auto_run = 0;  // 0 off, 1 on
    int filled = 0;
    // The current text selection shared by the tools; no set while count is 0.
    ads_name selection = {0, 0};
    long count = 0;
};
number_util_rec& number_util();

struct number_constant_rec {
    int type = 0;  // 0 "+ constant", 1 "x constant"
    double constant = 0.0;
    int decimals = 3;
    int min_on = 0, max_on = 0;
    double min_value = 0.0, max_value = 0.0;
};
number_constant_rec& number_constant();

// Applied to the next text selection, then back to its defaults.
using number_filter_rec = text_filter_rec;
number_filter_rec& number_filter();

struct level_point_rec {
    std::string text_layer = "ARAS*";
    std::string point_layer = "*";
    int text_colour = 2, point_colour = 2;
    std::string out_layer = "Point_3d";
    int move_to_out_layer = 0;
};
level_point_rec& level_point();

struct renumber_rec {
    double start = 0.0, step = 0.0;
    int decimals = 0;
    int direction = 1;  // 1 left to right, 2 right to left, 3 top down, 4 bottom up
};
renumber_rec& renumber_cfg();

// The links-or-feet factor, asked on the first use only (0 until then).
double& convert_distance_factor();

// The menu command; returns 1.
int b_number_util();
// The menu dialog; its last status (0 when it could not be shown).
int number_utility_dlg();
// Runs the tool of the index: 1 when it ran to its end, 0 when the user left
// it early (nothing selected, an exit, a cancelled dialog), -1 for no tool.
int run_number_tool(int index);

// A new text selection through the filter; the count.
long select_number_texts();
// Releases the current selection.
void clear_number_texts();

int add_mul_number();
int constant_number_dlg();
int level_text_to_point3d();
int pnt_trd_set_dlg();
int renumber_texts();
int update_text_dlg();
int convert_distance_text();
int sum_number_texts();
int angle_between_points();
int perimeter_error_check();

// The new text of a number text after the constant; false when it holds no
// number or the number lies outside the limits.
bool add_mul_text(const std::string& old_text, const number_constant_rec& cfg, std::string& new_text);
