// Picks and selection sets filtered by entity type (and layer). A routine that
// makes a set hands it to its caller, who frees it with acedSSFree; when nothing
// was selected no set is made and the length is 0.
#pragma once

#include "ads.h"
#include "points.h"

// One pick: 1 when the picked entity's type equals the wanted type without
// regard to case, 2 for another type, 0 when nothing was picked.
int ent_select_type(const char* prompt, const char* type, ads_name entity, point3d_rec& picked);
int ent_select_type_b(const char* prompt, const char* type, ads_name entity, point3d_rec& picked);

// Each returns 1 when a set was made, 0 when nothing was selected (length 0).
int ss_select_type(const char* type, ads_name ss, long& length);
int ss_select_type_layer(const char* type, const char* layer, ads_name ss, long& length);
int ss_crossing_type(const char* type, const point3d_rec& corner1, const point3d_rec& corner2, ads_name ss,
                     long& length);
int ss_all_type(const char* type, ads_name ss, long& length);
int ss_all_type_layer(const char* type, const char* layer, ads_name ss, long& length);

// Prints "\nVerify <type> " and puts the set's entities of that type into a new
// set; count is its length (0, and no new set, when none matches). Returns 1
// when a new set was made.
int ss_verify_type(const ads_name ss, const char* type, ads_name new_ss, long& count);
int ss_verify_lines(const ads_name ss, ads_name new_ss, long& count);
// Also totals the vertex counts (group 90) of the polylines kept.
int ss_verify_lwpolylines(const ads_name ss, ads_name new_ss, long& count, long& vertex_total);

// True when the entity's type equals the given one without regard to case.
bool ent_is_type(const ads_name entity, const char* type);
