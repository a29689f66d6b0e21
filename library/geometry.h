// Plane geometry of the whole system: whole-circle bearings (degrees clockwise
// from north, +y), plan distances, polar points, angles at vertices, the side of
// a line, perpendiculars and offsets, circles through three points, arc bulges,
// height interpolation and trimmed lines. Every routine works on point3d_rec;
// "flat" means with z = 0.
#pragma once

#include <string>

#include "points.h"

// Whole-circle bearing from one point to another, 0 up to 360; exactly 0, 90,
// 180 and 270 on the axes and 0 for two equal points.
double bearing_deg(const point3d_rec& from, const point3d_rec& to);

// Plan distance (both points taken flat).
double dist_2d(const point3d_rec& p1, const point3d_rec& p2);
// 1 when the plan distance is at most the limit, else 0.
int dist_within(const point3d_rec& p1, const point3d_rec& p2, double limit);

// dx = d sin b, dy = d cos b.
void bearing_to_dxdy(double bearing, double distance, double& dx, double& dy);
// The point at a bearing and distance from the base, with z = 0.
void polar_point(double bearing, double distance, const point3d_rec& base, point3d_rec& out);
// The point at a distance from `from` in the direction of `to` (z = 0): the
// polar point along the bearing from `from` to `to`, without the rounding of the
// bearing's round trip through degrees. `from` itself when the two are equal.
point3d_rec point_toward(const point3d_rec& from, const point3d_rec& to, double distance);
// One coordinate of a polar point: axis 1 gives x, axis 2 gives y, any other axis
// the distance itself.
double polar_axis(int axis, double base, double bearing, double distance);
// As polar_axis, adding abs(dx) x kx on axis 1 and abs(dy) x ky on axis 2.
double polar_axis_scaled(int axis, double base, double bearing, double distance, double kx, double ky);
// A polar point with abs(dx) x kx added to x and abs(dy) x ky to y; z = 0.
void polar_point_scaled(double bearing, double distance, const point3d_rec& base, point3d_rec& out, double kx,
                        double ky);

// The angle between the directions vertex to p1 and vertex to p2, 0 to 180.
double angle_at_vertex(const point3d_rec& p1, const point3d_rec& vertex, const point3d_rec& p2);

// 1 when p2 lies on the right of the directed line p0 to p1 (or straight behind
// p0), -1 otherwise (also straight ahead of p0). Sets p2's z to 0.
int geo_side_of_line(const point3d_rec& p0, const point3d_rec& p1, point3d_rec& p2);
// geo_side_of_line for p0, p1 and the midpoint of p0 and p2.
int geo_side_of_midpoint(const point3d_rec& p0, const point3d_rec& p1, const point3d_rec& p2);

// The point at a distance from the vertex, perpendicular to the leg p0 to vertex,
// on the side of p2; z = 0. Returns 1.
int geo_perpendicular_at_vertex(const point3d_rec& p0, const point3d_rec& vertex, const point3d_rec& p2,
                                double distance, point3d_rec& out);

// The foot of the perpendicular from p3 on the line p1-p2: 3 and the foot when
// found (within the segment only when segment_only is 1); otherwise the nearer
// end point, flat: 1 for p1, 2 for p2 (p2 only when strictly nearer).
int geo_offset_corner(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& p3, int segment_only,
                      point3d_rec& out);

// The crossing of the lines a1-a2 and b1-b2 in plan (acdbInters): with
// segment_only 1 it must lie within both segments. 1 and the point (its z along
// the first line), or 0 when they do not cross (parallel lines among them).
int geo_intersect(const point3d_rec& a1, const point3d_rec& a2, const point3d_rec& b1, const point3d_rec& b2,
                  int segment_only, point3d_rec& out);

// The centre of the circle through three points; 1, or 0 (out unchanged) when
// the three points lie on one line.
int geo_circle_centre_3p(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& p3,
                         point3d_rec& out);

// The bulge of the arc from p1 to p2 about the centre: tan(D / 4), with D the
// bearing from the centre to p1 less that to p2, folded into -180 to 180.
double geo_arc_bulge(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& centre);

// The height at a point, measured from the lower of p1 and p2 towards the higher
// by plan distance (the distance from the lower point has no sign).
double geo_z_interpolate(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& point);

// A LINE along p0 to p1 that starts gap_start x scale / 1000 after p0 and ends
// gap_end x scale / 1000 before p1 (z = 0); made again once when the first
// attempt fails. Returns the maker's result (RTNORM or RTERROR).
int line_make_trimmed(const point3d_rec& p0, const point3d_rec& p1, double scale, double gap_start,
                      double gap_end, const std::string& layer);

// Copies a point (z = 0 in the copy with flat 1); returns the target.
point3d_rec& pt_copy(const point3d_rec& source, point3d_rec& target, int flat);
void pt_swap(point3d_rec& p1, point3d_rec& p2);
