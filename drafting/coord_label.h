// Coordinate labels: the northing and easting of picked points or of selected
// POINTs, in Malay (U S B T) or English (N S W E) letters. The settings live only
// in the loaded plug-in, shared by every drawing.
#pragma once

#include <string>

#include "points.h"

struct label_coord_cfg_rec {
    std::string layer = "LBL_COORD";
    double rotation = 90.0;  // bearing of the baseline, degrees
    double scale = 1000.0;
    double text_height = 1.3;  // at 1:1000
    double width_factor = 1.0;
    int decimals = 3;
    int absolute = 0;      // 1: unsigned values with a side letter
    int language = 0;      // 0 Malay, 1 English
    int select_point = 0;  // 1: label selected POINTs instead of picked points
};

struct label_coord_state_rec {
    int set = 0;  // 1 once the first dialog was accepted
};

label_coord_cfg_rec& label_coord_cfg();
label_coord_state_rec& label_coord_state();

// The two lines of a label: the north text and the east text.
void label_coord_texts(const label_coord_cfg_rec& cfg, const point3d_rec& point, std::string& north,
                       std::string& east);
// Writes one coordinate label at the point.
void label_coord_text(const point3d_rec& point);
// The settings dialog; its last status (1 OK, 0 cancel or not shown).
int labelcoord_dlg();
// The command; returns 0.
int b_label_coord();
