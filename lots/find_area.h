// Lot areas and area units: b_find_area (measure and label the boundary around
// a picked point, or every boundary a picked segment crosses), b_put_area (label
// the area the host's "area" measured last) and b_convert_area (rewrite area
// texts from one unit into another). The three share the unit table and the
// settings record, kept in the drawing under the application "FIND_AREA".
#pragma once

#include <array>
#include <string>

#include "points.h"

struct area_unit_rec {
    std::string letter;   // up to 2 characters
    std::string name;     // up to 9
    std::string suffix;   // up to 19: the text after a formatted area
    double factor = 1.0;  // to square metres
};

// The last valid unit index; loops over the units run 0..area_unit_last.
inline constexpr int area_unit_last = 5;
std::array<area_unit_rec, area_unit_last + 1>& area_unit_table();
// Puts the six units back to their defaults.
void area_unit_table_defaults();

// value x factor[from] / factor[to], units by letter (any case); an unknown
// from-letter takes the value as square metres, an unknown to-letter gives 0.
double convert_area_value(double value, const std::string& from, const std::string& to);

inline constexpr int lot_type_count = 7;
extern const char* const lot_type_names[lot_type_count];

struct find_area_cfg_rec {
    std::string layer = "Area";
    double scale = 1000.0;
    double rotation = 90.0;
    double width_factor = 1.0;
    double height_a = 2.0;
    int unit_a = 0;
    int decimals_a = 1;
    int second_on = 0;
    double height_b = 2.0;
    int unit_b = 1;
    int decimals_b = 3;
    int table_on = 0;
    int table_number = 1;
    double table_x = 0.0;
    double table_y = 0.0;
    int method = 0;  // 0 the boundary as found, 1 rebuilt from rounded bearings and distances
    int lot_type = 0;
    std::array<int, lot_type_count> counters{};  // index 1..6 are stored
    std::string suffix_a = "m%%178";
    std::string suffix_b = "Ac";
    int auto_mode = 0;  // kept while the plug-in is loaded, never stored
};
find_area_cfg_rec& find_area_cfg();

// The stored comma list (22 values, each followed by a comma) and its reading;
// parse gives false (cfg untouched) for a text without all its fields.
std::string find_area_cfg_text(const find_area_cfg_rec& cfg);
bool find_area_cfg_parse(const std::string& text, find_area_cfg_rec& cfg);

// The path of "find_area.cfg" under the installation folder.
std::string find_area_cfg_path();
// Whether the settings dialog was accepted in the current drawing (cleared when
// another drawing becomes current).
int& find_area_confirmed();
// Prepares the tables and loads the settings; 0 when the settings layer cannot be made.
int load_find_area_cfg_file();
// Stores the settings in the drawing; RTNORM or RTERROR.
int find_area_cfg_save();
// Writes "find_area.cfg" (the dialog's suffix-a text becomes unit a's suffix)
// and stores the settings of the dialog.
void save_find_area_cfg_file(const find_area_cfg_rec& edited);

// Labels the AREA system variable at the point.
void area_label_text(const point3d_rec& point);
// The settings dialog: mode 1 find, 2 put; 1 when OK was pressed.
int dlg_find_area(int mode);

int b_find_area();
int b_put_area();
int b_convert_area();
