// "Label Contour": where a path picked point by point crosses the contours of
// the major and minor contour layers, a middle-justified text of the level and
// the unit text, turned along the contour and, where several contours are
// crossed, kept reading with its top towards rising ground; optionally two
// guide lines on either side of the labels. The settings are kept in each
// drawing under "CNT_LABEL".
#pragma once

#include <string>
#include <vector>

#include "points.h"

struct cnt_label_cfg_rec {
    int parallel_line = 1;
    int align = 0;
    double plot_scale = 1000.0;
    double text_height = 1.3;
    std::string major_label_layer = "MAJOR_LABEL";
    std::string minor_label_layer = "MINOR_LABEL";
    std::string major_contour_layer = "MAJOR";
    std::string minor_contour_layer = "MINOR";
    std::string unit = "m";
};
cnt_label_cfg_rec& cnt_label_cfg();

// The menu tool.
void tin_contour_label_cmd();
// Loads the drawing's settings, or the defaults; returns 1.
int cnt_label_cmd_setup();
// 1 when the drawing holds readable settings (they are then taken), else 0.
int cnt_label_cfg_load();
// 1 when the dialog was accepted (the settings are then saved), else 0.
int cnt_label_dlg_show();
// Stores the settings in the drawing; RTNORM, or RTERROR after a message.
int cnt_label_cfg_save();
// The stored form: the nine values, each followed by a comma.
std::string cnt_label_cfg_text(const cnt_label_cfg_rec& cfg);

// The level as a label writes it: with as few decimals (up to 3) as show the
// level itself, so 10, 10.5 and -0.25 stay what they are.
std::string cnt_label_level_text(double level);

// One crossing of a path segment with a contour piece.
struct cnt_label_hit_rec {
    double angle = 0;     // bearing of the contour piece, degrees
    double level = 0;     // the contour's elevation
    double distance = 0;  // from the path segment's start
    std::string layer;    // the contour's layer
    point3d_rec point;
};
// The bearing each hit's label is turned to, hits sorted by distance from the
// segment's start (as cnt_label_place writes them): one hit keeps the contour's
// bearing; of several, each is turned where needed so that its top faces the
// side of the path on which the levels rise.
std::vector<double> cnt_label_angles(const std::vector<cnt_label_hit_rec>& hits, const point3d_rec& start,
                                     const point3d_rec& end);
