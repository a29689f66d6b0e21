// Marking the vertices of LINEs and polylines: a CIRCLE at every vertex with
// each leg redrawn as a LINE between the circles' edges (boundary stones), or a
// POINT at every vertex. Coinciding vertices are marked once.
#pragma once

#include <string>

// The command's settings, kept for the life of the plug-in.
struct make_circle_cfg_rec {
    std::string circle_layer = "Lot-s";
    std::string point_layer = "Points";
    double radius = 0.7;    // at scale 1:1000
    double scale = 1000.0;  // the drawing's 1:n
    int delete_originals = 1;
    int keep_z = 0;  // LINE ends keep their z (points only)
};
make_circle_cfg_rec& make_circle_cfg();

// The settings dialog for mode 1 (circles) or 2 (points): 1 after OK or an
// unusual status, 0 after cancel or when the dialog cannot be shown.
int make_circle_dlg(int mode);

// The command: mode 1 circles, 2 points. Returns 0.
int b_make_circle_point(int mode);
