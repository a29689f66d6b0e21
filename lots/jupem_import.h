// The import of the survey department's lot files: a fixed-column boundary
// file ("bdy", one boundary line a line: its end points, bearing, distance and
// the stone types at its ends) and the lot file of the same name ("lot", one
// lot a line: number, label position, area and unit). Draws the boundary
// lines with their bearing-distance labels, the boundary stones and their
// marks, and the lot numbers and areas, each on its own layer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "points.h"

struct jupem_stone_type_rec {
    double size = 0;  // symbol radius at plot scale 1000
    std::string code;
    std::string shape;  // "C" a circle, "D" a filled donut, "nil" none
    std::string mark;   // placed beside the stone; "nil" for none
};

struct jupem_line_rec {
    int start_number = 0;
    std::string start_stone;
    point3d_rec start;
    std::string bearing;  // D.MMSS
    std::string distance;
    std::string text3;  // the three characters after the distance
    std::string end_stone;
    point3d_rec end;
    int value1 = 0, value2 = 0;        // the line's last two columns
    int start_type = 0, end_type = 0;  // rows of the stone table
    long file_line = 0;
    bool labelled = true;  // false when the bearing or distance is no number
};

struct jupem_point_rec {
    int number = 0;
    point3d_rec point;
    int type = 0;  // row of the stone table
};

struct jupem_lot_rec {
    std::string number;
    point3d_rec label;
    std::string area;
    std::string unit;
    long file_line = 0;
};

struct jupem_settings_rec {
    std::string boundary_file;
    std::string stone_file = "/cfg/Import_Jupem_stone.txt";  // named, not read
    double plot_scale = 1000.0;
    int no_mark = 0;
    double bgd_spacing = 1.0;
    double bgd_text_height = 2.0;
    double lot_number_height = 3.5;
    double area_height = 2.5;
    double stone_desc_height = 2.0;
    int area_decimals = 0;
    std::string lot_line_layer = "Lot_line";
    std::string cn_line_layer = "Lot_cn_line";
    std::string bgd_layer = "Lot_bgd";
    std::string lot_num_layer = "Lot_num";
    std::string area_layer = "Lot_area";
    std::string stone_desc_layer = "Lot_stone_desc";
};

jupem_settings_rec& jupem_settings();
std::vector<jupem_stone_type_rec>& jupem_stone_types();
void jupem_stone_types_init();

// The command: the dialogs, then the import. Returns 1 when it imported.
int import_jupem();
// The import with the settings as they are: the bearing-distance style, the
// boundary file, the stones, the lot file. 1, or 0 when the boundary file
// cannot be opened.
int jupem_import_run();
// The dialogs; their last status (1 OK).
int import_jupem_dlg();
int import_jupem_setting_dlg();

// Positions a to b of the line, both included, or as many of them as the line
// reaches, trimmed of blanks; empty when the line ends before a.
std::string jupem_field(std::string_view line, int a, int b);
// One line of each file; false, with what is wrong in problem, for a line
// that cannot be taken.
bool jupem_line_parse(std::string_view line, jupem_line_rec& out, std::string& problem);
bool jupem_lot_parse(std::string_view line, jupem_lot_rec& out, std::string& problem);
// Both ends agree within the tolerance in x and in y, in either direction.
bool lines_coincide(const jupem_line_rec& a, const jupem_line_rec& b, double tolerance);
// Which lines are drawn: of coinciding lines only the last.
std::vector<bool> jupem_lines_retained(const std::vector<jupem_line_rec>& lines, double tolerance);
// The area text: the area with the decimals and the unit's suffix.
std::string jupem_area_text(double area, int decimals, const std::string& unit);
// The stone-table row of a code (without regard to case); 0, "DEFAULT", for
// a code the table lacks.
int jupem_stone_type_of(const std::string& code);
// Sets the stone types of the retained lines' ends and lists their end points
// as stone points, each once (a point within the tolerance of one listed is
// not listed again).
std::vector<jupem_point_rec> jupem_stone_points(std::vector<jupem_line_rec>& lines,
                                                const std::vector<bool>& retained, double tolerance);
