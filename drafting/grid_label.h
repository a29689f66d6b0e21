// Grid labels: b_grid_auto_label labels a set of parallel grid LINEs along a
// main LINE that crosses them: the distance between each two neighbours as a
// text with dimension lines and arrow blocks, and a running head label (1, 2,
// 3 ... or A, B, C ...) at each grid line, optionally in a circle. The settings
// live in the drawing under the application "GRD_LBL" and are edited in
// "pelan_grid_label_dlg" on the first use in a drawing.
#pragma once

#include <string>

struct grd_lbl_cfg_rec {
    double scale = 1000.0;  // the drawing's 1:n
    int dist_on = 1;        // distance texts
    std::string dist_layer = "Grid_Dist";
    double dist_height = 1.3;  // at 1:1000
    double dist_width = 1.0;
    int select_main_line = 0;  // kept and offered; the labelling does not use it
    int unit = 0;              // 0 "Meter", 1 "Feet", 2 "Milimeter"; kept and offered only
    int decimals = 3;
    std::string arrow_block;  // the arrow block drawing; grd_lbl_cfg_defaults sets it
    double arrow_scale = 1.0;
    int head_on = 1;  // head texts
    std::string head_layer = "Grid_Header";
    double head_height = 3.5;  // at 1:1000
    double head_width = 1.0;
    int circle_on = 1;
    std::string circle_layer = "Grid_Header";
    double circle_radius = 4.375;  // at 1:1000
    int numbered = 1;              // heads 1, 2, 3 ...
    long start_number = 1;
    int lettered = 0;  // heads A, B, C ...
    std::string start_text = "A";
    std::string leading_text = "A";
    int leading_on = 0;
};

struct grd_lbl_state_rec {
    int loaded = 0;
    std::string dwg_path;
};

grd_lbl_cfg_rec& grd_lbl_cfg();
grd_lbl_state_rec& grd_lbl_state();

// The defaults, the arrow block being "<installation folder>\drawing\Grid_Arrow.dwg"
// (with "/" for "\" in a folder written with "/").
grd_lbl_cfg_rec grd_lbl_cfg_defaults();
// The stored text: the 23 fields, each followed by a comma.
std::string grd_lbl_cfg_text(const grd_lbl_cfg_rec& cfg);
// Reads a stored text into cfg (fields 1 to 23).
void grd_lbl_cfg_parse(const std::string& text, grd_lbl_cfg_rec& cfg);
// Stores the settings in the drawing: "\nssave <text>" on the command line, then
// the text; one longer than 250 characters is refused with the alert "Sorry
// Cannot save setting - to string exceed 250". RTNORM, or RTERROR.
int grd_lbl_cfg_save();

// The settings dialog; its last status (0 also when it could not be shown). OK
// applies the tiles and saves.
int pelan_grid_label_dlg();
// The command: 1 after labelling, 0 when the dialog is cancelled, the selection
// fails or nothing is selected.
int b_grid_auto_label();

// Two routines that only say what they would do; no command calls them.
void grid_head_label_notice();
void grid_auto_label_notice();
