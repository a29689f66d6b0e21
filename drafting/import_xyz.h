// Importing surveyed points from an ASCII file: one point a line, comma-separated
// columns in one of four orders, each point drawn as a POINT on "DATA_PNT" with
// its number, level and feature code written beside it. The options live in
// memory and return to their defaults when another drawing becomes current.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "entity_makers.h"

struct import_xyz_cfg_rec {
    std::string file_name;  // emptied at every showing of the dialog
    double plot_scale = 1000.0;
    int id_on = 1;
    double id_height = 1.0;  // at scale 1:1000
    int level_on = 1;
    double level_height = 1.3;
    int code_on = 0;
    double code_height = 1.0;
    int use_z = 0;         // 0: the POINTs lie at elevation 0
    int column_order = 0;  // index into xyz_column_orders()
};

// The options and the drawing-change state behind them.
import_xyz_cfg_rec& import_xyz_cfg();

// The four column orders as the dialog lists them.
const std::vector<std::string>& xyz_column_orders();

// The result of reading one line.
struct xyz_line_rec {
    bool ok = false;
    std::string error;  // why the line was refused
    std::string id, code;
    double x = 0, y = 0, z = 0;
};
// Reads one line in the column order; refuses a line with fewer than the four
// fields ID, X, Y and Z (the CODE may be missing: it is then empty), an empty ID
// or a coordinate that is not a number. A level above 10000 stands for "no level"
// and is read as 0.
xyz_line_rec xyz_line_parse(std::string_view line, int column_order);

// The lists the import makes its POINT and texts with, built once for a file
// with the current options.
struct xyz_entity_makers {
    explicit xyz_entity_makers(const import_xyz_cfg_rec& cfg);
    point_list_maker point;
    text_list_maker id, code, level;
};

// Imports one line with the current options; true when it was drawn, false
// (with the reason in error) when it was refused.
bool xyz_line_import(std::string_view line, xyz_entity_makers& makers, std::string& error);

// Counts of one file import.
struct xyz_import_result {
    bool opened = false;
    long drawn = 0;
    long skipped = 0;
};
// Imports every line of the file with the current options, reporting each
// refused line with its number.
xyz_import_result xyz_file_import(const std::string& path);

// The host's file dialog "Open ASCII Data" in the drawing's folder; 1 with the
// chosen path as the file name, else 0.
int xyz_file_pick();
// The dialog; its last status (1 OK, 0 cancel or not shown).
int import_ascii_xyz_dlg();
// The command: 0 when the dialog was cancelled, else 1.
int b_import_xyz();
