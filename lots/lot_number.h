// Lot numbers: b_lot_number writes running numbers on a plan, one at each
// picked point or, in auto-label mode, one in each lot a picked segment
// crosses (midway between consecutive LINE crossings). The settings are kept
// in the drawing under the application "LOT_NUMBER": the settings layer holds
// the number layer's name, and that layer holds the comma list.
#pragma once

#include <string>

struct lot_number_cfg_rec {
    std::string layer = "LOT_NUMBER";  // of the numbers; it also holds the list
    double scale = 1000.0;
    double rotation = 90.0;  // bearing of the text baseline, degrees
    double text_height = 1.4;
    double width_factor = 1.0;
    int auto_number = 1;
    int next_number = 1;
    int circle = 0;  // kept and shown; no number draws a circle
    double circle_radius = 2.14;
    int auto_label = 1;
    int select_own = 0;  // pick the LINEs yourself instead of the fence
};
lot_number_cfg_rec& lot_number_cfg();

// The ten stored values (from the plot scale on), each followed by a comma, and
// their reading; parse gives false (cfg untouched) for a text short of fields.
std::string lot_number_cfg_text(const lot_number_cfg_rec& cfg);
bool lot_number_cfg_parse(const std::string& text, lot_number_cfg_rec& cfg);
// -1 when the drawing holds no settings, else 1.
int load_lot_number_cfg();
int save_lot_number_cfg();
// The settings dialog; 1 for OK.
int dlg_lot_number();

int b_lot_number();
