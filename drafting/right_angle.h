// Setting-out with right angles: b_pnt_right_angle places POINTs by a chainage
// along a base direction and a perpendicular offset; b_line_tepat draws a chain
// of LINE legs, each at a right angle to the one before (or straight on), with
// lengths typed or measured by the mouse. Both records live for the loaded
// plug-in.
#pragma once

#include <string>

struct ra_pnt_rec {
    double dist1 = 0.0;   // chainage along the base
    double offset = 0.0;  // perpendicular offset
    std::string layer = "Point_tp";
};
ra_pnt_rec& ra_pnt();

struct linetp_app_rec {
    std::string defaultLayer;  // the settings layer
    std::string line_layer = "Line_tp_line";
    std::string bgd_layer = "Line_tp_bgd";
    std::string level_layer = "Line_tp_level";
    std::string pnum_layer = "Line_tp_pnum";
    double scale = 1000.0, text_height = 1.3, width = 1.0, rotation = 90.0, spacing = 0.5;
    int decimals = 3;
    int first_number = 0;
    int new_line = 0;  // 1: the first leg (base point to next point) is drawn too
    int mode = 0;      // 0 distances typed, 1 measured by the mouse
    double last_distance = 0.0;
    int loaded = 0;
};
linetp_app_rec& linetp_app();

// The longest line layer name the record keeps.
inline constexpr size_t kLineLayerLimit = 24;

int b_pnt_right_angle();
int b_line_tepat();
// The dialog; its status (0 also when it could not be shown).
int linetp_dlg_run();
// Stores the line layer and the scale under "LINETP" on the settings layer.
int right_angle_save_cfg();
