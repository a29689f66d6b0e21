// Readers of one entity, addressed either as an item of a selection set (set
// and index) or directly by entity name with the index -1. Readers return 0
// and leave their outputs unchanged when the entity cannot be named, has
// another type or lacks the group.
#pragma once

#include <string>

#include "ads.h"
#include "points.h"

// The entity that (set, index) addresses: the name itself for index -1.
int ss_item_name(const ads_name ss_or_entity, long index, ads_name entity);

// Shared results of the readers below, read by their callers.
struct circle_read_rec {
    point3d_rec centre;
    std::string layer;
    double radius = 0;
};
struct point_read_rec {
    point3d_rec location;
    std::string layer;
};
struct text_box_rec {
    point3d_rec corners[4];  // insertion point, upper-left, upper-right, lower-right
    double rotation = 0;     // degrees
};
extern circle_read_rec circle_read;
extern point_read_rec point_read;
extern text_box_rec text_box_read;

// Start (10) and end (11) of a LINE; 1, or 0 when the item cannot be named.
int ss_line_ends(const ads_name ss, long index, double& x1, double& y1, double& z1, double& x2, double& y2,
                 double& z2);
int ss_line_ends_pair(const ads_name ss, long index, point3d_rec& start, point3d_rec& end);
// A CIRCLE's centre (flat with flag 1), layer and radius into circle_read.
int ss_circle_get(const ads_name ss, long index, int flat);
// A POINT's location (flat with flag 1) and layer into point_read. A set item
// must be a POINT; an entity given by name is read without a type test.
int ss_point_get(const ads_name ss, long index, int flat);
// A 3DFACE's four corners (10 to 13) and layer.
int ss_3dface_get(const ads_name ss, long index, point3d_rec corners[4], std::string& layer);
// A TEXT's group 1 (its text) or 8 (its layer).
int ss_text_get_string(const ads_name ss, long index, int code, std::string& out);
// The point of group 10 or 11; 0 for another code or a missing item.
int ss_point_group_get(const ads_name ss, long index, int code, point3d_rec& out);

// The text of the first group with the code; 1 (out empty when it lacks it),
// 0 when the entity cannot be read.
int ent_get_string(const ads_name entity, int code, std::string& out);
int ent_layer_get(const ads_name entity, std::string& out);
// The point of group 10 or 11; 1, or 0.
int ent_point_get(const ads_name entity, int code, point3d_rec& out);
// A real group; group 50 is returned as the bearing 90 - angle in degrees
// (360 added when negative). 1, or 0.
int ent_real_get(const ads_name entity, int code, double& out);

// The four corners of a TEXT's box into text_box_read: corner 1 the insertion
// point (10), corners 2 to 4 the box's upper-left, upper-right and lower-right
// offsets turned by the rotation (50) and added to it; also the rotation in
// degrees. 1 on success.
int text_box_corners(const ads_name entity);
