// What the selection tests see of an entity in plan (its paths, circles, points
// and filled regions) and the exact window, crossing, fence and pick tests on
// it, with the extents that the spatial index keeps.
#pragma once

#include <optional>
#include <vector>

#include "db/drawing.h"

namespace host {

struct P2 {
    double x = 0, y = 0;
};
inline P2 flat(const Point3& p)
{
    return {p.x, p.y};
}

struct Circle {
    P2 centre;
    double radius = 0;
};

// What the selection tests see of an entity, in plan.
struct Shape {
    std::vector<std::vector<P2>> paths;  // polylines; a closed one repeats its first point at the end
    std::vector<Circle> circles;
    std::vector<P2> points;
    std::vector<std::vector<P2>> regions;  // filled closed outlines (text boxes, solid hatches)
    bool empty() const { return paths.empty() && circles.empty() && points.empty(); }
};

// How near counts as touching in the tests below.
inline constexpr double kShapeTolerance = 1e-9;

Shape shape_of(const Drawing& drawing, const Entity& e);

// The points strictly between a and b of the arc with the bulge (the tangent of
// a quarter of its angle, positive counter-clockwise), a point every degree.
std::vector<P2> bulge_points(P2 a, P2 b, double bulge);

struct Rect {
    double x0, y0, x1, y1;
};
Rect rect_of(Point3 a, Point3 b);

bool shape_in_window(const Shape& s, const Rect& r);
bool shape_crosses_window(const Shape& s, const Rect& r);
bool shape_crosses_fence(const Shape& s, const std::vector<P2>& fence);
double shape_distance(const Shape& s, P2 p);

// The plan extents of what the tests see of an entity; nullopt when it shows
// nothing (no test can then find it). A coordinate that is not finite gives
// extents over the whole plane.
std::optional<Rect> shape_box(const Shape& s);
std::optional<Rect> entity_box(const Drawing& drawing, const Entity& e);

}  // namespace host
