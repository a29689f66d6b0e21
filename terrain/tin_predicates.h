// Exact plane predicates for the triangulator: the sign of the orientation of
// three points and of the in-circle test of four, right for every input of
// finite doubles. A quick floating-point evaluation decides when its error
// bound allows; otherwise the determinant is evaluated exactly in expansion
// arithmetic (sums of non-overlapping doubles), so nearly collinear or nearly
// cocircular points are never misjudged.
#pragma once

// 1 when c lies to the left of the directed line a->b, -1 to the right, 0 on it.
int tin_orient(double ax, double ay, double bx, double by, double cx, double cy);

// 1 when d lies inside the circle through a, b, c (taken counter-clockwise),
// -1 outside, 0 on it. For a clockwise a, b, c the sign is reversed.
int tin_in_circle(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy);
