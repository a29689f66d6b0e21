// "Generate Triangulated Irregular Network (TIN)": triangular 3DFACEs on the
// TIN layer from the selected POINT entities.
#pragma once

#include <array>
#include <vector>

#include "points.h"
#include "tin_records.h"

void tin_generate_cmd();
// Asks for POINTs into the TIN selection set; 0 when fewer than 3 were selected.
int tin_select_points();
void tin_read_points(tin_point_list& points);
// Reads, triangulates and writes; false (after the messages) on failure.
bool tin_build_from_points(int hull_flag);
void tin_generate();
// The triangles whose three plan sides are at most the maximum distance (their
// corners index the point list), and how many were left out for a longer side.
struct tin_faces_rec {
    std::vector<tin_tri_rec> kept;
    long dropped = 0;
};
tin_faces_rec tin_faces_within_distance(const tin_tri_list& output, const tin_point_list& points);
// Makes the faces on the TIN layer, their corners from the point list;
// returns how many were made.
long tin_write_faces(const tin_faces_rec& faces, const tin_point_list& points);
