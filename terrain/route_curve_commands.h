// The two route-curve commands, which no LISP function reaches: the curve
// itself (dialog transition_curve_dlg, settings "TCURVE") and the radiation
// table of a curve it drew (dialog transition_curve_rad_dlg, settings
// "TCURVE_RAD"); and the drawing of a curve's report, table and polyline.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "route_curve.h"

// Texts written line under line from a table position: the texts of a line
// run along the rotation (a bearing; 90 reads across the drawing), and each
// line moves the position in the row direction, a right angle clockwise from
// it. Heights are given at plot scale 1:1000.
class tcurve_text_rows {
public:
    tcurve_text_rows(const point3d_rec& position, double rotation, double text_height, double width_factor,
                     double scale, const std::string& layer);
    double h() const { return h_; }  // the text height as drawn
    double u() const { return u_; }  // the width of one text unit: width factor x h
    double s() const { return s_; }  // the plot scale / 1000
    // A left- or right-aligned TEXT at a distance along the line (and, for
    // `below`, that many text heights further in the row direction).
    void left(double along, const std::string& text, double below = 0);
    void right(double along, const std::string& text);
    // Moves the position on by that many text heights.
    void next(double heights);

private:
    point3d_rec at(double along, double below) const;
    double h_, u_, s_, width_factor_;
    double rotation_, row_direction_;
    std::string layer_;
    point3d_rec position_;
};

// Settings of the route-curve command read from the drawing when a drawing
// is first used or has changed; false after the alert when the settings
// layer cannot be made.
bool tcurve_setup();

// The route-curve command: its dialog, then the curve computed, reported and
// drawn. 1 when a curve was drawn, 0 otherwise.
int tcurve_command();
// The radiation table of a curve polyline. 1 when a table was drawn.
int tcurve_rad_command();

// The circle of the last computed curve set out by chords alone (each chord
// asked when the curve asks its chords): the rows printed and a POINT at each
// station on the curve layer. 1 when a station was set out.
int tcurve_circle_chords_command();

// The element report: label and value of each line ("" where a line has none).
std::vector<std::pair<std::string, std::string>> tcurve_report_lines(const tcurve_work_rec& w);
// Prints the report on the command line.
void tcurve_report_print(const tcurve_work_rec& w);
// Draws the report and setting-out table at the table position, the curve
// polyline with its "TCURVE" data and the station names, on the curve layer.
void tcurve_draw(const tcurve_work_rec& w, const tcurve_table_rec& table);
// The table on the command line, closed by a line of stars.
void tcurve_table_print(const tcurve_table_rec& table);

// The six fields both route-curve settings lists begin with: plot scale,
// table rotation, text height and width factor, and the table position.
std::string tcurve_table_fields_text(double scale, double rotation, double text_height, double text_width,
                                     double table_x, double table_y);

// Saves a route-curve command's settings under its application: the curve
// layer's name on the settings layer, the comma list on the curve layer; an
// alert names the layer when either cannot be written.
void tcurve_settings_save(const char* app, const std::string& layer, const std::string& text);

// The comma list of the "TCURVE" settings and its reader (fields it cannot
// read keep their values; their numbers go into bad_fields).
std::string tcurve_settings_text(const tcurve_work_rec& w);
void tcurve_settings_parse(const std::string& text, tcurve_work_rec& w, std::vector<int>& bad_fields);
