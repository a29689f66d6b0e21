// Entity lists seen in plan. Planar entities (CIRCLE, ARC, TEXT, INSERT,
// LWPOLYLINE, 2D POLYLINE vertices, SOLID, TRACE, SHAPE, ATTRIB) keep their
// points and angles in the plane of their extrusion (group 210); a drawing
// mirrored by another program has (0, 0, -1) there. Readers of plan
// coordinates take an entity's list through list_in_plan first.
#pragma once

#include "ads.h"

// Turns the list (as acdbEntGet gave it, -1 first) into world coordinates
// in place: points through acdbTrans, angles 50 and 51 as plan directions,
// an ARC's ends, bulges and an INSERT's Y scale reversed when the plane is
// seen from below, and 210 made (0, 0, 1). Lists of other types, or already
// in the world, are left as they are. Returns the list.
resbuf* list_in_plan(resbuf* list);

// acdbEntGet(entity) seen in plan.
resbuf* ent_get_in_plan(const ads_name entity);
