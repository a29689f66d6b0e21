// Level labels: the elevation of existing POINTs (spot, drain and invert levels)
// written as a TEXT at each selected point. The settings live in the drawing
// under the application "LABELARAS" and are edited in "label_aras_dlg".
#pragma once

#include <string>

#include "points.h"

struct label_aras_cfg_rec {
    double scale = 1000.0;     // the drawing's 1:n
    double rotation = 90.0;    // bearing of the text baseline, degrees
    double text_height = 1.3;  // at 1:1000
    double width_factor = 1.0;
    int decimals = 3;
    int level_spacing = 1;  // 1: whole part, a blank, the fraction digits
    int point_layer = 0;    // 1: the text goes on the point's own layer
};

struct label_aras_state_rec {
    int loaded = 0;
    std::string dwg_path;
};

label_aras_cfg_rec& label_aras_cfg();
label_aras_state_rec& label_aras_state();

// The stored text: the seven fields, each but the last followed by a comma.
std::string label_aras_cfg_text(const label_aras_cfg_rec& cfg);
// Reads the stored text; false (cfg untouched) when it lacks its seven fields.
bool label_aras_cfg_parse(const std::string& text, label_aras_cfg_rec& cfg);
// Stores the settings in the drawing; RTNORM, or RTERROR after a message.
int label_aras_cfg_save();

// The settings dialog; its last status (1 OK, 0 cancel or not shown).
int label_aras_dlg();
// Writes the level label of one point lying on the layer given.
void label_aras_text(const point3d_rec& point, const std::string& point_layer);
// The command: 0 when the first dialog is cancelled, else 1 when the user ends
// the selection.
int b_label_input_point();
