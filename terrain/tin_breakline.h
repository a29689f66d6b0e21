// Breakline points: where the straight pieces of selected LINEs and polylines
// cross the edges of the TIN's 3DFACEs, POINTs with the height interpolated
// along the crossed edge, so that a TIN generated again follows the breakline.
#pragma once

#include "tin_records.h"

// The menu tool: explanation, "<C>ancel <P>roceed", the selection, every piece.
void tin_breakline_cmd();
// One straight piece: a node list of its start (id 0) and end (id 1).
void brk_process_line(const tin_node_list& piece);
// Corners 1 to 3 of each 3DFACE of the set, three points per face.
void brk_faces_to_points(const ads_name ss, long length, tin_point_list& corners);
// Appends where the piece crosses each face edge, with z interpolated along it.
void brk_edge_crossings(const tin_node_list& piece, const tin_point_list& corners, tin_point_list& crossings);
// Makes the POINTs of the crossings that no later crossing and no existing POINT
// stands near; returns the number made.
int brk_write_points(const tin_point_list& crossings, const tin_node_list& existing);
