// The radiation listing: b_rad_print_listing draws, for one survey station, a
// table of the numbered radiation points (title with the station, an optional
// header, one line per point with its bearing and distance from the station
// and its northing and easting), and can write the points to an ASCII file.
// Its settings live in the drawing under the application "RAD_TBL".
#pragma once

#include <string>
#include <vector>

#include "points.h"

struct rad_tbl_point {
    int number = 0;  // the "RADLISTING" tag
    double x = 0, y = 0;
};

struct rad_tbl_cfg_rec {
    std::string layer = "RAD_LISTING_TBL";
    double scale = 1000.0;
    double text_height = 1.3;
    double width_factor = 1.0;
    double rotation = 90.0;  // bearing of the table's lines
    int station_number = 1;
    int round_ten = 0;
    int file_decimals = 3;
    int no_header = 0;
    double table_x = 0.0;
    double table_y = 0.0;
};
rad_tbl_cfg_rec& rad_tbl_cfg();

// The stored comma list (11 values) and its reading; parse gives false (cfg
// untouched) for a text short of fields.
std::string rad_tbl_cfg_text(const rad_tbl_cfg_rec& cfg);
bool rad_tbl_cfg_parse(const std::string& text, rad_tbl_cfg_rec& cfg);

// What one run lists: the station and the points, sorted by number.
struct rad_tbl_run {
    point3d_rec station;
    std::vector<rad_tbl_point> points;
};
// Mode 0 the title, 1 the header, 2 the line of point `index`; each moves the
// table position down one line.
void rad_station_listing(int mode, size_t index, const rad_tbl_run& run);
// The ASCII file line of a point: "number,x,y,0.000" with x and y at the
// decimals (0 to 16; another value leaves the field empty).
std::string rad_tbl_file_line(const rad_tbl_point& point, int decimals);

int b_rad_print_listing();
