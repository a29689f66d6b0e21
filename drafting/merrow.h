// Survey lot data through the sibling converter Merrow: the import runs the
// converter on an ASCII data file the user picks and draws what its
// temporary files hold (points with their numbers, codes and levels, symbol
// blocks, descriptions, traverse and chainage stations), each entity tagged
// with extended data; the option dialog then moves or changes the imported
// entities by their tags. No LISP function reaches either: they are routines
// for a caller to offer.
#pragma once

#include <string>
#include <vector>

#include "ads.h"
#include "points.h"

inline constexpr const char* merrow_data_app = "MERROW_DATA";
inline constexpr const char* merrow_trav_app = "MERROW_TRAV";

// Registers the two extended-data applications in the current drawing.
void merrow_xdata_names_init();

// The import: file dialog, converter, temporary files. 1 when it drew what
// the converter wrote, 0 when it stopped (each stop is said).
int merrow_import();

// The eight numbers of "parameter.cfg".
struct merrow_parameters_rec {
    double plot_scale = 1000.0;      // s: also the scale of the symbol INSERTs
    double code_height = 1.0;        // at 1:1000
    double number_height = 1.0;      // used as it is, also for descriptions
    double level_height = 1.0;       // at 1:1000
    double chainage_height = 1.0;    // at 1:1000, kept in the station tags
    double symbol_bearing = 0.0;     // degrees
    double symbol_label_size = 1.3;  // at 1:1000: offset and height of a symbol's label
    double text_bearing = 90.0;      // number, code, level and description texts
};
// One line of eight comma-separated numbers; false with why in problem.
bool merrow_parameters_parse(const std::string& line, merrow_parameters_rec& out, std::string& problem);

// One point of "dx3a.tmp" ("number,x,y,z,level,code,kind") or station of
// "trv1.tmp" and "ch1.tmp" ("number,x,y,z,level,code,real"); false with why
// in problem.
struct merrow_point_rec {
    int number = 0;
    point3d_rec point;
    std::string level;
    std::string code;
    std::string kind;  // dx3a.tmp
    double real = 0;   // trv1.tmp, ch1.tmp
};
bool merrow_point_parse(const std::string& line, bool station, merrow_point_rec& out, std::string& problem);

// The chainage tag's text "TRV,%.3f,%.3f,%.6f" (or "CH,..."); false when it
// is longer than one extended-data text holds.
bool merrow_station_tag(const std::string& kind, const merrow_parameters_rec& p, std::string& out);

// The option dialog and its actions.
int merrow_opt_cmd();
int merrow_opt_dlg();
// Runs the action (1 to 5; 6 to 8 do nothing) on the objects of the set that
// carry a "MERROW_DATA" tag; the number of objects changed or labelled.
int merrow_action_apply(int action, const ads_name set);
// The distinct codes (the first 1000 text of each "MERROW_DATA" tag) of the
// whole drawing, in drawing order.
std::vector<std::string> merrow_codes_collect();
