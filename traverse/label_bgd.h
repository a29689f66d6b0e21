// The bearing-distance label commands b_selbgd, b_pickbgd and b_autodist, and
// their settings: fifteen values kept as one comma text under "LABEL_BGD" on
// the label layer, the active label layer's name under "LABEL_BGD" on the
// settings layer and the label layers used so far under "LABEL_BGD_LIST".
#pragma once

#include <string>

#include "bgd_style.h"
#include "points.h"

// The fifteen stored values, in their stored order.
struct lbgd_values_rec {
    double plot_scale = 1000.0;
    double text_height = 1.3;
    double width_factor = 1.0;
    std::string unit = "METER";
    double spacing = 0.5;
    int decimals = 3;
    int tens_seconds = 0;
    int spread_bearing = 0;  // engineering spacing
    double spread_factor = 1.983;
    int table_on = 0;
    double table_x = 0.0;
    double table_y = 0.0;
    int table_row = 1;
    int table_limit = 9;
    int table_coords = 0;
};

// The label settings shared by the three commands.
struct lbgd_cfg_rec {
    std::string label_layer = "Bgd";
    std::string sbgdtype;  // the placement argument, at most 9 characters
    int placement = 0;     // 0 for "Auto", else 1 (placement by code)
    std::string sautolabel_dwg;
    int loaded[3] = {0, 0, 0};  // per command: b_selbgd, b_pickbgd, b_autodist
    std::string dwg_path[3];
    int select_line = 1;  // b_autodist: 1 picks the base LINE, 0 two points
    lbgd_values_rec values;
};

extern lbgd_cfg_rec lbgd_cfg;
extern bgd_style_rec lbgd_style;

// The fifteen values as stored ("%.3f," ...) and read back; false when the
// text holds fewer than fifteen fields.
std::string lbgd_values_text(const lbgd_values_rec& values);
bool lbgd_values_parse(const std::string& text, lbgd_values_rec& out);

int lbgd_cfg_init(int command);
// The values stored on the active label layer, or the defaults.
void lbgd_cfg_load();
// Reads the values stored on a layer; 1 when found.
int lbgd_cfg_from_layer(const std::string& layer, lbgd_values_rec& out);
void lbgd_cfg_save(const std::string& layer);
void lbgd_cfg_save_active();
void lbgd_style_apply();
int label_bgd_dlg(int kind);
int autolabel_dlg();
// Picks the table position into x and y texts; 1 when a point was picked.
int lbgd_pick_table_position(std::string& x, std::string& y);

// The commands (also declared with the plug-in's command list).
int b_selbgd(const char* mode);
int b_pickbgd(const char* mode);
int b_autodist();
