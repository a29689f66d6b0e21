// b_ltrav: one LWPOLYLINE of the drawing turned into a traverse file, its
// first vertex a fixed point and every further vertex a leg with the bearing
// and distance from the vertex before; or those legs added to an existing
// traverse file, going on with its station numbers.
#pragma once

#include <string>

#include "points.h"

// The command's values, kept for the plug-in's life.
struct pline_trav_cfg_rec {
    std::string file_name;  // t_file
    int first_station = 1;  // t_stnstart
    int decimals = 3;       // t_decimal: of the distances
    int round_tens = 0;     // tg_round: bearings rounded to ten seconds
    int append = 0;         // tg_add: legs added to an existing file
    std::string message;    // l_errr
};
pline_trav_cfg_rec& pline_trav_cfg();

// The dialog "pline_to_trav", shown until it ends with OK and a file name, or
// with cancel; its status, or dialog_not_shown.
int pline_to_trav_dlg();
// In append mode: the station the new legs start from and the first new number,
// from the file named in the settings. 1, or 0 after the alert "File error.".
int pline_trav_last_stn(int& from_station, int& next_station);
// One leg line from a point to a vertex: "T,from,to,D.MMSS,distance,level,
// METER" (with an empty code field after it in the newer version). The point
// the leg starts from is where the traverse computation puts the station the
// line before reaches, so that the rounding of bearings and distances does not
// add up from leg to leg; it is moved to where this leg ends.
std::string pline_trav_write_leg(point3d_rec& from, const point3d_rec& to, int from_number, int to_number,
                                 bool version3);

int b_ltrav();
