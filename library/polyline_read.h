// Reading the vertices of polylines into the shared vertex vectors: LWPOLYLINEs,
// and old-style POLYLINEs with their VERTEX entities, where a spline-fitted one
// asks (PolylineConfirm_dlg) which vertices count: the frame, the curve or both.
#pragma once

#include <string>
#include <vector>

#include "ads.h"
#include "points.h"

// The vertices of the last polyline read, with its layer (8), flags (70) and,
// for an LWPOLYLINE, elevation (38). The number of a vertex is its VERTEX flags
// (0 for an LWPOLYLINE vertex). bulges[i] is the bulge (42) of the side from
// vertex i to vertex i + 1, one per vertex (0 for a straight side and for the
// last vertex of an open polyline).
struct polyline_vertices_rec {
    numbered_point_list vertices;
    std::vector<double> bulges;
    std::string layer;
    int flags = 0;
    double elevation = 0;
};
extern polyline_vertices_rec lwpoly_vertices;    // filled by lwpoly_read_vertices
extern polyline_vertices_rec polyline_vertices;  // filled by polyline_read_vertices

// Which vertices of a spline-fitted POLYLINE are read.
enum { spline_mode_frame = 0, spline_mode_curve = 1, spline_mode_both = 2 };
struct polyline_spline_choice_rec {
    int mode = spline_mode_curve;
    int never_ask = 0;  // 1: read with mode, without asking
};
// Kept for the life of the plug-in.
extern polyline_spline_choice_rec polyline_spline_choice;

// The entity is the item index of the selection set, or with index -1 the
// entity named. lwpoly_read_vertices empties the LWPOLYLINE vector and appends
// each vertex in order; a closed one (flags 1, also with the linetype-generation
// bit 128) gets its first vertex once more at the end. 1; 0 when the entity
// cannot be read (the vector is then empty).
int lwpoly_read_vertices(const ads_name ss_or_entity, long index);
// Reads a POLYLINE and its VERTEX entities up to SEQEND into the polyline
// vector, by its flags (the linetype-generation bit 128 is dropped first):
// 0, 1, 2, 3, 8, 9 every vertex; a 2D spline (4, 5) or 3D spline (12, 13) the
// frame, the curve or both by the spline choice, asked in PolylineConfirm_dlg
// unless "never ask" was chosen; closed ones (1, 3, 5, 9, 13) get the first kept
// vertex once more. Returns 0.
int polyline_read_vertices(const ads_name ss_or_entity, long index);

// Shows PolylineConfirm_dlg for a spline-fitted polyline of those flags and
// keeps the answer in polyline_spline_choice. Esc keeps the choice as it was;
// when the dialog cannot be loaded the message is printed and the choice stays.
void polyline_confirm_dialog(int flags);
