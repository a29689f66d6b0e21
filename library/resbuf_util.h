// Making and reading result-buffer nodes by group code. Nodes are made with the
// host's allocator (acutNewRb) and released by the host (acutRelRb).
#pragma once

#include <string>

#include "ads.h"
#include "points.h"

// Group-code classes of typed reads (DXF rules).
bool group_is_text(int code);
bool group_is_point(int code);
bool group_is_real(int code);
bool group_is_short(int code);

// A new node holding a copy of the point (z = 0 with flat 1).
resbuf* rb_new_point(int code, const point3d_rec& point, int flat);
// A new node holding a new copy of the text.
resbuf* rb_new_str(int code, const char* text);
resbuf* rb_new_short(int code, short value);
resbuf* rb_new_real(int code, double value);
// A new empty node.
resbuf* rb_new_of(int code);

// The first node with the code; null when absent.
resbuf* rb_find(const resbuf* list, int code);
// The text of the first node with a text code; null when absent.
const char* rb_get_str(const resbuf* list, int code);
// Copies the first point with the code (z only with z_flag 1, else 0); 1, or 0.
int rb_get_point(const resbuf* list, int code, point3d_rec& out, int z_flag);
// The real of the first node with a real code; 0.0 when absent.
double rb_get_real(const resbuf* list, int code);
// The 16-bit value of the first node with a 16-bit code; 0 when absent.
short rb_get_short(const resbuf* list, int code);
// Prints every node on the command line.
void rb_dump(const resbuf* list);

// Converts between the library's point and the host's point.
inline point3d_rec point_from_ads(const ads_point p)
{
    return point3d_rec{p[0], p[1], p[2]};
}
inline void point_to_ads(const point3d_rec& p, ads_point out)
{
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}
