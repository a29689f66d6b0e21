// The traverse command's dialogs: the traverse settings.
#pragma once

// The dialog "trav_setting_dlg" of "/dcl/Trav_Setting_DlgNew.dcl": "ok" stores
// the station text height, the traverse colour and the level and code prompt
// toggles into the traverse settings; "cancel" leaves them. The radiation
// colour is shown but has no action, so it keeps its value. Returns the
// dialog's status, or dialog_not_shown after "\n Error Loading %s".
int trav_setting_dlg();

#include <string>

#include "trav_model.h"

// What the traverse plot draws, kept for the plug-in's life.
struct trav_plot_values_rec {
    std::string layer_trav_line = "LotLine";
    std::string layer_bgd = "LotBgd";
    std::string layer_stn = "LotStn";
    double plot_scale = 1000.0;
    double text_height_bgd = 1.3;
    double text_height_stn = 1.3;
    double spacing = 1.0;
    double auto_space_factor = 1.983;
    int decimals = 3;
    int line_number = 1;
    int max_short_dist = 9;
    std::string table_x = "0.000";
    std::string table_y = "0.000";
    int plot_trav_line = 1;
    int plot_rad = 1;
    int plot_bgd = 1;
    int plot_stn_number = 1;
    int auto_layer = 1;
    int plot_table = 0;
    int plot_coord = 0;
    int eng_style = 0;
    int plot_3d = 0;  // shown and kept; the plot does not read it
    int dist_as_measured = 0;
    int auto_space = 0;
    int adjust = 0;
};

// What the radiation part of the plot draws.
struct trav_rad_plot_values_rec {
    std::string layer_bgd = "RadBgd";
    std::string layer_level = "RadLevel";
    std::string layer_line = "RadLine";
    std::string layer_pnt_num = "RadPointNum";
    std::string layer_point = "RadPoint";
    double text_height_bgd = 1.3;
    double text_height_level = 1.3;
    double text_height_pnt_num = 1.3;
    double spacing = 1.0;
    double auto_space_factor = 1.983;
    int decimals = 3;
    int plot_bgd = 1;
    int plot_level = 1;
    int plot_line = 1;
    int plot_point = 1;
    int plot_pnt_num = 1;
    int plot_3d = 0;
    int dist_as_measured = 0;
    int auto_space = 0;
};

trav_plot_values_rec& trav_plot_values();
trav_rad_plot_values_rec& trav_rad_plot_values();
// Both back to their defaults (tests).
void trav_plot_values_defaults();

// The dialog "trav_save_dlg" of "/dcl/Trav_Dlg_new.dcl": "yes" (status 1)
// takes every value back and returns 1; "cancel" leaves them and returns 0,
// as does a file that does not load. "p_Table" picks the table position and
// status 4 opens the radiation dialog; both show the dialog again.
int trav_plot_dlg(const trav_route_list& routes);
// The dialog "travrad_save_dlg" of "/dcl/TravRad_Dlg_new.dcl"; its status.
int trav_rad_plot_dlg();

// Asks the plot dialog, computes the traverse and draws its route lines,
// bearing-distance labels or table rows, station numbers and radiations.
void trav_plot_to_dwg(trav_obs_list& observations, trav_obs_list& radiations, trav_station_list& stations,
                      trav_route_list& routes);
