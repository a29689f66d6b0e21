// The triangulator: the Delaunay triangulation of plan nodes over their whole
// convex hull, built by inserting the nodes one by one with edge flips and
// exact predicates, in about O(n log n) for ordinary survey data. Every unique node
// is a corner of some triangle unless all of them lie on one line.
#pragma once

#include "tin_records.h"

enum class tin_status {
    ok,
    too_few_unique,  // fewer than 3 nodes with distinct x and y
    collinear        // every node on one line: no triangle exists
};

struct tin_result {
    tin_status status = tin_status::ok;
    int unique = 0;  // nodes left after removing repeated x and y
    // The nodes that stand for themselves (of nodes with equal x and y the
    // earliest stands for all) in an order along a space-filling curve, as
    // positions in the node list given.
    std::vector<int> order;
    // The triangles, counter-clockwise, with corners that count in that
    // order, and in the order of their first corner along it: corners near
    // each other in the plane are mostly near each other in the order, so a
    // caller reading the corners of millions of triangles reads them in step
    // with memory.
    tin_tri_list triangles;
};

tin_result tin_triangulate(const tin_node_list& nodes);

// The triangles with corners that are positions in the node list given.
tin_tri_list tin_triangles_in_list(const tin_result& result);
