// A small index that finds, among many indexed points, the one nearest to a
// query point. It keeps the points' x and y in two sorted key lists, takes the
// keys inside a square window around the query from both lists, and widens the
// window by 5.0 until the two windows share a point.
//
// Build: nearest_index_ctl(0, 0, 0), then mode 1 for every point in order, then
// mode 2 once; then nearest_set_radius. A point's id is its insertion position.
#pragma once

#include <cstdint>
#include <vector>

#include "points.h"

struct pnt_key_rec {
    std::int32_t id = 0;
    double key = 0;  // an x or a y coordinate
};

struct pnt_cand_rec {
    std::int32_t id = 0;
    double x = 0, y = 0;
};

// The index's state, open for tests and benchmarks.
struct nearest_index_rec {
    std::vector<pnt_key_rec> x_keys, y_keys;
    std::vector<pnt_cand_rec> candidates;
    int x_first = 0, x_last = -1;  // window in the X list, both included
    int y_first = 0, y_last = -1;  // window in the Y list
    double radius = 0;             // current search radius
    double base_radius = 0;        // the radius to return to after a hit
};
nearest_index_rec& nearest_index();

// Mode 0 empties both key lists; mode 1 appends {id, x} and {id, y}; mode 2
// sorts both lists; other modes do nothing.
void nearest_index_ctl(double x, double y, int mode);
// Sets the current radius and the radius to return to.
void nearest_set_radius(double radius);
// The id of the indexed point nearest to the point by the window search; -1 when
// the index is empty.
int nearest_find_point(const point3d_rec& point);
// The id of the indexed point nearest to the point among those no farther than
// the limit; -1 when there is none. One window of the limit's size holds every
// such point, so no widening is needed; the radii are left as they were.
int nearest_find_point_within(const point3d_rec& point, double limit);

// Sorts both key lists ascending by key, keeping equal keys in insertion order,
// with the progress line "\rSorting %d of %d objects".
void sort_nearest_index();
// Finds the window of each sorted list around the point at the current radius.
void find_key_window(const point3d_rec& point);
// The candidates present in both windows, in X-window order.
void collect_nearest_candidates();
// The position of the candidate nearest to the point (the first on a tie); -1
// when there is none.
int pick_nearest_candidate(const point3d_rec& point);

void push_pnt_key(std::int32_t id, double key, std::vector<pnt_key_rec>& list);
void push_pnt_cand(std::int32_t id, double x, double y, std::vector<pnt_cand_rec>& list);

// The test command: indexes the POINTs of a user selection and reports the
// nearest one for every pick.
int test_find_nearest_point();
