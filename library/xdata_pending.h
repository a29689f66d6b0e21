// The pending extended data: callers set the items they want before a maker
// call; the next maker (or ent_xdata_add) that writes extended data appends the
// set items in the order 1040, 1070, 1010, 1000, 1071, 1041, 1003 and clears
// them all, also when it fails.
#pragma once

#include <cstdint>
#include <string>

#include "points.h"

class ent_list_builder;

struct xdata_pending_rec {
    bool has_real = false;  // 1040
    double real = 0;
    bool has_int16 = false;  // 1070
    int int16 = 0;
    bool has_point = false;  // 1010, with its z
    point3d_rec point;
    bool has_text = false;  // 1000
    std::string text;
    bool has_int32 = false;  // 1071
    std::int32_t int32 = 0;
    bool has_dist = false;  // 1041
    double dist = 0;
    bool has_layer = false;  // 1003
    std::string layer;
};

xdata_pending_rec& xdata_pending();
void xdata_pending_set_real(double value);
void xdata_pending_set_int16(int value);
void xdata_pending_set_point(const point3d_rec& value);
void xdata_pending_set_text(const std::string& value);
void xdata_pending_set_int32(std::int32_t value);
void xdata_pending_set_dist(double value);
void xdata_pending_set_layer(const std::string& value);
void xdata_pending_clear();

// Appends the set items to a list (after its -3 and 1001 groups) and clears them.
void xdata_pending_append(ent_list_builder& list);
