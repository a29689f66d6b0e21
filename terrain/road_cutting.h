// Road cutting strips: a cutting drawn in plan as a row of solid tongues, each
// standing on a stretch of the cut's top edge (from "Mula" to "Akhir") and
// pointing to its foot ("kaki") on the toe line, with a line from its tip to
// the foot. b_pick_cutting draws tongues from picked points; b_sel_cutting
// divides a top-edge LWPOLYLINE into stretches of the set width and finds each
// foot on a toe LWPOLYLINE.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "points.h"

// The settings both commands share, stored on the cutting layer.
struct cutting_cfg_rec {
    std::string layer = "Cutting";
    double width = 15.123;  // length of top edge per tongue ("lebar")
    double path = 1.5;      // tongue length divisor when auto is 0
    int auto_flag = 1;      // 1: the tongue is half its stretch long
    int loaded = 0;         // 1 after the first use
};
cutting_cfg_rec& cutting_cfg();

// "width,path,flag" as stored on the cutting layer.
std::string cutting_cfg_text(const cutting_cfg_rec& cfg);
// Reads the three fields over the defaults; a field that is no sound value is
// reported and its default kept.
void cutting_cfg_parse(const std::string& text, cutting_cfg_rec& cfg);
// The first use of either command: reads the cutting layer's name and its
// list (or makes the defaults) and shows the dialog. false when the command
// ends here (the settings layer cannot be made, or b_sel_cutting's dialog was
// cancelled).
bool cutting_first_use(cutting_cfg_rec& cfg, bool for_pick);
// Shows cutting_dlg; for_pick disables the width. Status 1 saves and takes
// the values. The status, or 0 when the dialog could not be shown.
int cutting_dlg_run(bool for_pick);

// The points of one tongue.
struct cutting_tongue_rec {
    point3d_rec p1, p2;  // the stretch: Mula, Akhir
    point3d_rec m;       // its midpoint
    point3d_rec k;       // the foot
    point3d_rec t;       // the tip
    point3d_rec h;       // halfway from M to T
    point3d_rec q1, q2;  // halfway from H to P1 and to P2
};
// The tongue's points; nothing when it would have no area (the foot on the
// stretch's midpoint or on the line of the top edge).
std::optional<cutting_tongue_rec> cutting_tongue(const cutting_cfg_rec& cfg, const point3d_rec& p1,
                                                 const point3d_rec& p2, const point3d_rec& k);
// Draws the line from tip to foot and the fill (mode 2 through the host's
// Hatch command, any other mode as a HATCH by entity list); false after a
// message when the tongue has no area.
bool cutting_tongue_draw(const cutting_cfg_rec& cfg, const point3d_rec& p1, const point3d_rec& p2,
                         const point3d_rec& k, int mode);
// The bulge of the arc from p1 through mid to p2; 0 when the three lie on one
// line.
double cutting_arc_bulge(const point3d_rec& p1, const point3d_rec& mid, const point3d_rec& p2);

int b_pick_cutting(int mode);
int b_sel_cutting(int mode);

// ---- the automatic division -------------------------------------------------------------

// One stretch of the top edge, one width long along it.
struct cutting_stretch_rec {
    point3d_rec start, end;
    std::vector<point3d_rec> vertices;  // the top edge's vertices it runs over
    point3d_rec mid;                    // midpoint of start and end
    point3d_rec foot;
    std::optional<point3d_rec> line_candidate;
};
// Cuts the polyline into stretches of the width from its start; the remainder
// shorter than the width makes none. The width must be above 0.
std::vector<cutting_stretch_rec> cutting_divide(const std::vector<point3d_rec>& edge, double width);
// The side offset from the top edge's first leg and a point on the toe's side.
double cutting_side_offset(const std::vector<point3d_rec>& edge, const point3d_rec& side_point);
// Finds every stretch's foot on the toe line (whose vertices the forward search
// moves onto the feet it finds).
void cutting_find_feet(std::vector<cutting_stretch_rec>& stretches, std::vector<point3d_rec> toe,
                       double side_offset);

// A top-edge or toe polyline as picked: its vertices from the end nearer the
// pick, and its length as the host's area command measures it.
struct cutting_polyline_rec {
    std::vector<point3d_rec> vertices;
    double length = 0;
};
// false (after a message when something other than an LWPOLYLINE was picked)
// when no usable polyline was picked.
bool cutting_pick_polyline(const char* prompt, cutting_polyline_rec& out);

// ---- routines no LISP function lists ----------------------------------------------------

// Shows cutting_dlg once the settings were loaded; else the alert "Run auto
// Cutting first!".
int cutting_setting_cmd();
// The prompt "Lebar Cutting :" for the width; a width of 0 or less is refused.
int cutting_width_prompt();
// Prints "\nperror x,y" for a point outside the extremes of the last run's
// polylines; 1 when it was outside.
int cutting_point_test(const point3d_rec& point);
// Three picks; the offset corner of the third on the first two as a LINE on "xx".
int cutting_arc_test();
