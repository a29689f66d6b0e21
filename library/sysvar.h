// System variables by type, the current layer and text style, and the view.
#pragma once

#include <string>

#include "points.h"

// Each getter returns 1, or 0 when the variable cannot be read (out unchanged).
int sysvar_get_real(const char* name, double& out);
int sysvar_set_real(const char* name, double value);
// The 16-bit value, sign-extended.
int sysvar_get_int(const char* name, int& out);
int sysvar_set_short(const char* name, short value);
int sysvar_get_str(const char* name, std::string& out);
int sysvar_get_point(const char* name, point3d_rec& out);

// The drawing's "LUPREC": the decimals lengths are shown with; 4 when it
// cannot be read.
int sysvar_luprec();

// "CLAYER".
int layer_current_get(std::string& out);
int layer_current_set(const char* name);

// The width factor (41) of the current text style; 1.0 when it cannot be read.
// A style with a fixed height is reported in an alert (the text commands expect
// height 0), and its width factor is still returned.
double style_current_width_factor();

// The current view's corners from VIEWCTR, SCREENSIZE and VIEWSIZE; 1, or 0.
int view_extents(point3d_rec& lower_left, point3d_rec& upper_right);
