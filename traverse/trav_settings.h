// The traverse settings: one record for the life of the loaded plug-in,
// shared by the traverse engine, the traverse file and the traverse command.
// Only the command's own values live here so far; the plot dialog's values
// join them with the plot.
#pragma once

#include <string>

inline constexpr int trav_mode_trav = 1;
inline constexpr int trav_mode_rad = 2;

struct trav_settings_rec {
    std::string version_text = "KOLVA4";  // version written by the file writer
    std::string file_name;                // full path of the traverse file
    std::string layer_prefix = "Lot";     // prefix of the plot layers
    std::string install_folder;           // where the editor is found
    double text_height = 2.0;             // station-number texts
    double width_factor = 1.0;
    int trav_colour = 2;  // temporary traverse vectors
    int rad_colour = 5;   // temporary radiation vectors
    int mode = trav_mode_trav;
    int current_trav_station = 0;    // from-station of the next leg
    int current_rad_station = 0;     // from-station of the next radiation
    int largest_station_number = 1;  // default source for new station numbers
    int largest_trav_number = 0;     // next traverse station defaults to this + 1
    int largest_rad_number = 0;      // default of the next radiation station
    // Largest from- and to-stations of the radiation records of the last file
    // read, kept for the command to propose numbers from.
    int largest_rad_from = 0;
    int largest_rad_to = 0;
    int rounding_decimals = 0;  // 0: no rounding at all
    bool level_prompt = false;
    bool code_prompt = false;
    bool adjust = false;  // Transit-rule adjustment of closed routes
    bool opened_from_file = false;
};

// The plug-in's traverse settings (defaults on first use).
trav_settings_rec& trav_settings();

// Back to the defaults (the command's first reset; tests).
void trav_settings_defaults();
