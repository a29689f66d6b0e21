// Bearing-distance input: lines and points drawn from typed D.MMSS bearings and
// distances, either as a traverse (each leg starts where the last one ended) or
// as radiations from one station, with optional level and note texts. The
// settings are kept in the drawing under the application "INPBGDRAD".
#pragma once

#include <string>

#include "points.h"

struct inputbgd_cfg_rec {
    int prompt_level = 0;  // ask a level for every radiation
    int prompt_text = 0;   // ask a note text for every radiation
    double level_text_height = 1.3;
    double plot_scale = 1000.0;
    double text_height = 1.3;  // height at 1:1000 of the level and note texts
    int whole_number = 0;      // stored and read, set to 0 at every load
    int object_type = 0;       // 0 2D point, 1 3D point, 2 2D line
    std::string level_layer = "Rad-level";
    std::string text_layer = "Rad-text";
};

// The command behind the LISP function b_inputbgd; 1 when it ends.
int b_inputbgd();

// The settings in use (defaults until loaded from a drawing).
inputbgd_cfg_rec& inputbgd_cfg();

// The stored form: every value followed by a comma, in the order of the record.
std::string inputbgd_cfg_text(const inputbgd_cfg_rec& cfg);
// Reads the stored form; fields that are missing or not numbers keep the
// values already in cfg. The whole number is always reset to 0.
void inputbgd_cfg_parse(const std::string& text, inputbgd_cfg_rec& cfg);

// Loads the settings from the drawing (the defaults when it holds none).
void inputbgd_cfg_load();
// Saves the settings into the drawing; RTNORM, or "\nFailed save cfg to layer %s"
// and RTERROR.
int inputbgd_cfg_save();

// The settings dialog "input_bgd_setting_Dlg"; its status (DLGOK when the
// values were taken and saved).
int input_bgd_setting_dlg();

// The level as "%.3f" at the point on the level layer, horizontal.
void inputbgd_level_text(const point3d_rec& point, double level);
