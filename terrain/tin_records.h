// The small plain records the terrain tools share, their plane geometry, and
// the terrain settings that live while the plug-in is loaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ads.h"

// The "unset" coordinate of the terrain tools.
inline constexpr double tin_unset = -99999999.0;

struct tin_point_rec {
    std::int32_t id = 0;
    double x = tin_unset, y = tin_unset, z = tin_unset;
};

struct tin_node_rec {
    std::int32_t id = 0;
    double x = tin_unset, y = tin_unset;
};

// A contour piece from (x1, y1) to (x2, y2).
struct cnt_seg_rec {
    std::int32_t id = 0;
    double x1 = tin_unset, y1 = tin_unset, x2 = tin_unset, y2 = tin_unset;
};

// Corner indices into a node or point list.
struct tin_tri_rec {
    std::int32_t id = 0;
    std::int32_t a = 0, b = 0, c = 0;
};

// A square integer matrix with rows of cols entries.
struct int_matrix_rec {
    std::int32_t rows = 0;
    std::int32_t cols = 0;
    std::vector<std::vector<std::int32_t>> cells;
};

using tin_point_list = std::vector<tin_point_rec>;
using tin_node_list = std::vector<tin_node_rec>;
using cnt_seg_list = std::vector<cnt_seg_rec>;
using tin_tri_list = std::vector<tin_tri_rec>;

tin_point_rec tin_point_set(std::int32_t id, double x, double y, double z);
tin_node_rec tin_node_make(std::int32_t id, double x, double y);
tin_point_rec tin_point_from_node(const tin_node_rec& node);
tin_node_rec tin_node_midpoint(const tin_node_rec& a, const tin_node_rec& b);
void tin_tri_set_corners(tin_tri_rec& tri, std::int32_t a, std::int32_t b, std::int32_t c);
// Corner i (0..2), -1 for any other i.
std::int32_t tin_tri_corner(const tin_tri_rec& tri, int i);
// Appenders: the new record's id is the list size before it.
void tin_point_push(tin_point_list& list, double x, double y, double z);
void tin_node_push(tin_node_list& list, double x, double y);
void cnt_add_segment(cnt_seg_list& list, double x1, double y1, double x2, double y2);

// False when the rows cannot be allocated.
bool int_matrix_alloc(int_matrix_rec& m, std::int32_t rows, std::int32_t cols);
void int_matrix_free(int_matrix_rec& m);
void int_matrix_set(int_matrix_rec& m, int row, int col, std::int32_t value);
std::int32_t int_matrix_get(const int_matrix_rec& m, int row, int col);
bool int_matrix_equals(const int_matrix_rec& m, int row, int col, std::int32_t value);
// Sets the first n rows and m columns to 0.
void int_matrix_zero(int_matrix_rec& matrix, int n, int m);

// Plane geometry, radians counter-clockwise from +x.
double bearing_angle(double x1, double y1, double x2, double y2);
double bearing_of_nodes(const tin_node_rec& a, const tin_node_rec& b);
double angle_normalize(double a);
// The counter-clockwise angle at b from the ray b->a to the ray b->c, in [0, 2 pi).
double node_angle_ccw(const tin_node_rec& a, const tin_node_rec& b, const tin_node_rec& c);
double node_distance(const tin_node_rec& a, const tin_node_rec& b);
// 1 when c lies left of a->b, 2 when right, 0 when collinear.
int orient_sign(const tin_node_rec& a, const tin_node_rec& b, const tin_node_rec& c);
// Ascending sort of key[lo..hi] carrying index along (not stable).
void quicksort_index(std::vector<double>& key, int lo, int hi, std::vector<int>& index);
// 0 for a convex counter-clockwise ring, 1 for clockwise, 2 otherwise.
int poly_winding(const tin_node_list& ring);

// Terrain settings, filled with their defaults on first use and kept while
// the plug-in is loaded; none is stored in the drawing.
struct tin_cfg_rec {
    std::string tin_layer = "TIN";
    std::string breakline_layer = "TIN_BREAKLINE_POINTS";
    double max_distance = 100.0;
    ads_name ss = {0, 0};
    long ss_length = 0;
};
tin_cfg_rec& tin_cfg();
void tin_cfg_init();

struct cnt_cfg_rec {
    double max_level = 200.0;
    double min_level = 1.0;
    double major_interval = 5.0;
    double minor_interval = 1.0;
    double lowest_z = 999999.0;
    double highest_z = -999999.0;
    double chain_tolerance = 0.01;  // kept; contours join through shared face edges
    int middle_point = 1;
    std::string major_layer = "MAJOR";
    std::string minor_layer = "MINOR";
};
cnt_cfg_rec& cnt_cfg();
void cnt_cfg_init();

struct dup_cfg_rec {
    double tolerance = 0.005;
};
dup_cfg_rec& dup_cfg();

// Every terrain tool opens with its one-line explanation and asks
// "<C>ancel <P>roceed"; true when the answer is "P".
bool tin_tool_proceed(const char* explanation);
// Asks "e<X>it " + prompt with the value as default (3 decimals) until the
// answer is a number of at least `lowest` (above it when `above` is set),
// which it stores; a smaller one is refused with a message naming `what`.
// False, with the value as it was, when the answer is eXit.
bool tin_prompt_real_or_exit(const std::string& prompt, const char* what, double lowest, bool above,
                             double& value);
