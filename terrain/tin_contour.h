// "Generate Contour": contour lines of the TIN's 3DFACEs as open LWPOLYLINEs
// at their level's elevation, on the major or the minor contour layer.
#pragma once

#include <vector>

#include "ads.h"
#include "tin_records.h"

void tin_contour_cmd();
// 1 when the dialog was accepted (the settings are then updated).
int cnt_dlg_show();
// Appends corners 1 to 3 of every face and widens the lowest and highest TIN z.
void tin_read_faces(const ads_name ss, long length, tin_point_list& corners);
void tin_contour_build(const tin_point_list& corners);
// The first level for the value v and interval d.
double cnt_level_floor(double v, double d);

// One joined contour line of a level; a closed one does not repeat its first
// vertex at the end.
struct cnt_chain_rec {
    double level = 0;
    bool closed = false;
    tin_node_list vertices;
};
// The levels first, first + d, first + 2d, ... (count of them), each cut
// through every face (three corners a face), the pieces joined through the
// face edges they share. Chains come level by level.
std::vector<cnt_chain_rec> cnt_build_chains(const tin_point_list& corners, double first, double d,
                                            long count);
// Writes the chain as an LWPOLYLINE at its level on the major or minor
// contour layer; closed when the chain closes.
void cnt_write_polyline(const cnt_chain_rec& chain);
