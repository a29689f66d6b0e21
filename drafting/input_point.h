// Height points picked on the plan: a POINT of the current type (spot level
// "P", drain level "D", invert level "I") on that type's layer, in 3D mode at
// the height asked, with the level written beside it when level plotting is on.
// The settings live in the drawing under the application "INPUTPNT".
#pragma once

#include <string>

#include "points.h"

struct inputpnt_cfg_rec {
    double scale = 1000.0;     // the drawing's 1:n
    double rotation = 90.0;    // bearing of the text baseline, degrees
    double text_height = 1.3;  // at scale 1:1000
    double width_factor = 1.0;
    int decimals = 3;
    int plot_level = 0;     // 1: a level text at each point
    int level_spacing = 1;  // 1: whole part, a blank, the fraction digits
    std::string layer_p = "POINT-P";
    std::string layer_d = "POINT-D";
    std::string layer_i = "POINT-INV";
};

// The working state beside the settings.
struct inputpnt_state_rec {
    int mode = 0;  // 0 2D, 1 3D
    int type = 1;  // 1 P, 2 D, 3 I
    double prev_level = 0.0;
    int loaded = 0;
    std::string dwg_path;
};

inputpnt_cfg_rec& inputpnt_cfg();
inputpnt_state_rec& inputpnt_state();

// Every field but plot level back to its default.
void inputpnt_cfg_defaults(inputpnt_cfg_rec& cfg);
// The stored text: the ten fields, each followed by a comma.
std::string inputpnt_cfg_text(const inputpnt_cfg_rec& cfg);
// Reads the stored text; false (cfg untouched) when it does not hold ten fields.
bool inputpnt_cfg_parse(const std::string& text, inputpnt_cfg_rec& cfg);
// Stores the settings in the drawing; the alert on failure. The host's result.
int inputpnt_cfg_save();

// The settings dialog; its last status (1 OK, 0 cancel or not shown).
int input_point_dlg();
// The work of one pick.
void input_point_place(point3d_rec point);
// The command: mode 0 2D (b_input_point), 1 3D (b_treed_point). Returns 0.
int b_input_point(int mode);
