// The plan shapes of entities and the exact tests that selections and picks
// make on them.
#include "db/shapes.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "db/entities.h"
#include "db/ocs.h"
#include "db/textmetrics.h"

namespace host {

constexpr double kEps = kShapeTolerance;
constexpr double kPi = 3.14159265358979323846;

static void close_path(std::vector<P2>& path)
{
    if (path.size() > 1 && (path.front().x != path.back().x || path.front().y != path.back().y))
        path.push_back(path.front());
}

static std::vector<P2> arc_points(P2 centre, double radius, double start, double end)
{
    while (end <= start) end += 2 * kPi;
    const int steps = std::max(2, static_cast<int>(std::ceil((end - start) / (kPi / 72))));
    std::vector<P2> pts;
    for (int i = 0; i <= steps; ++i) {
        const double a = start + (end - start) * i / steps;
        pts.push_back({centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)});
    }
    return pts;
}

std::vector<P2> bulge_points(P2 a, P2 b, double bulge)
{
    std::vector<P2> pts;
    const double chord = std::hypot(b.x - a.x, b.y - a.y);
    if (chord == 0) return pts;
    const double angle = 4 * std::atan(bulge);  // signed included angle
    const double radius = chord / (2 * std::sin(std::fabs(angle) / 2));
    // The centre lies off the chord's midpoint, to the left for a positive bulge.
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    // (beyond a half circle the cosine turns negative and the centre crosses the chord)
    const double offset = radius * std::cos(std::fabs(angle) / 2);
    const double nx = -(b.y - a.y) / chord, ny = (b.x - a.x) / chord;
    const double side = bulge > 0 ? 1 : -1;
    const P2 centre = {mx + side * offset * nx, my + side * offset * ny};
    const double start = std::atan2(a.y - centre.y, a.x - centre.x);
    const int steps = std::max(2, static_cast<int>(std::ceil(std::fabs(angle) / (kPi / 180))));
    for (int i = 1; i < steps; ++i) {
        const double t = start + angle * i / steps;
        pts.push_back({centre.x + radius * std::cos(t), centre.y + radius * std::sin(t)});
    }
    return pts;
}

// The boundary paths of a HATCH: polyline paths (92 bit 2) and edge paths of
// lines and arcs; the seed points after 98 are not part of them.
static void hatch_paths(const Entity& hatch, Shape& shape)
{
    const std::vector<Group>& g = hatch.groups;
    size_t i = 0;
    while (i < g.size() && g[i].code != 91) ++i;
    if (i >= g.size()) return;
    long paths = g[i++].integer;
    const bool solid = same_text(hatch.text(2), "SOLID");
    auto next = [&](int code) -> const Group* {
        while (i < g.size() && g[i].code != code) {
            if (g[i].code == 92 || g[i].code == 75 || g[i].code == 98) return nullptr;
            ++i;
        }
        return i < g.size() ? &g[i++] : nullptr;
    };
    for (; paths > 0 && i < g.size(); --paths) {
        while (i < g.size() && g[i].code != 92) ++i;
        if (i >= g.size()) break;
        const long flags = g[i++].integer;
        std::vector<P2> outline;
        if (flags & 2) {
            const Group* count = next(93);
            for (long v = 0; count && v < count->integer; ++v)
                if (const Group* p = next(10)) outline.push_back(flat(p->point));
            close_path(outline);
        } else {
            const Group* count = next(93);
            for (long e = 0; count && e < count->integer; ++e) {
                const Group* type = next(72);
                if (!type) break;
                if (type->integer == 1) {
                    const Group* a = next(10);
                    const Group* b = next(11);
                    if (a && b) {
                        outline.push_back(flat(a->point));
                        outline.push_back(flat(b->point));
                    }
                } else if (type->integer == 2) {
                    const Group* c = next(10);
                    const Group* r = next(40);
                    const Group* s = next(50);
                    const Group* t = next(51);
                    const Group* ccw = next(73);
                    if (c && r && s && t) {
                        double a0 = s->real * kPi / 180, a1 = t->real * kPi / 180;
                        auto pts = arc_points(flat(c->point), r->real, a0, a1);
                        if (ccw && ccw->integer == 0) {
                            // A clockwise edge stores its angles negated: it runs from -a0 back to -a1.
                            pts = arc_points(flat(c->point), r->real, -a1, -a0);
                            std::reverse(pts.begin(), pts.end());
                        }
                        outline.insert(outline.end(), pts.begin(), pts.end());
                    }
                }
            }
            close_path(outline);
        }
        if (outline.size() > 1) {
            shape.paths.push_back(outline);
            if (solid) shape.regions.push_back(outline);
        }
    }
}

Shape shape_of(const Drawing& drawing, const Entity& e)
{
    if (has_own_ocs(e)) return shape_of(drawing, entity_in_world(e));  // seen in plan
    Shape shape;
    const std::string& type = e.type;
    if (type == "LINE") {
        shape.paths.push_back({flat(e.point(10)), flat(e.point(11))});
    } else if (type == "POINT" || type == "INSERT" || type == "MTEXT") {
        shape.points.push_back(flat(e.point(10)));
    } else if (type == "CIRCLE") {
        shape.circles.push_back({flat(e.point(10)), e.real(40)});
    } else if (type == "ARC") {
        shape.paths.push_back(arc_points(flat(e.point(10)), e.real(40), e.real(50), e.real(51)));
    } else if (type == "LWPOLYLINE") {
        std::vector<P2> vertices;
        std::vector<double> bulges;
        for (const Group& g : e.groups) {
            if (g.code == 10) {
                vertices.push_back(flat(g.point));
                bulges.push_back(0);
            } else if (g.code == 42 && !bulges.empty()) {
                bulges.back() = g.real;
            }
        }
        const bool closed = e.integer(70) & 1;
        std::vector<P2> path;
        for (size_t i = 0; i < vertices.size(); ++i) {
            path.push_back(vertices[i]);
            const bool last = i + 1 == vertices.size();
            if (last && !closed) break;
            const P2 next = vertices[last ? 0 : i + 1];
            if (bulges[i] != 0) {
                auto arc = bulge_points(vertices[i], next, bulges[i]);
                path.insert(path.end(), arc.begin(), arc.end());
            }
        }
        if (closed) close_path(path);
        if (path.size() == 1)
            shape.points.push_back(path.front());
        else if (!path.empty())
            shape.paths.push_back(path);
    } else if (type == "POLYLINE") {
        std::vector<P2> path;
        Entity scratch;
        const Entity* stored = drawing.look(e.id, scratch);
        const Ocs plane = stored ? ocs_of(*stored) : Ocs{};  // the vertices lie in its plane
        for (long id : polyline_vertices(drawing, e)) {
            const Entity* v = drawing.look(id, scratch);
            if (v && !(v->integer(70) & 16))
                path.push_back(flat(ocs_to_world(plane, v->point(10))));  // frame points are off the curve
        }
        if (e.integer(70) & 1) close_path(path);
        if (path.size() == 1)
            shape.points.push_back(path.front());
        else if (!path.empty())
            shape.paths.push_back(path);
    } else if (type == "TEXT") {
        const TextBox box = text_box(e.text(1), e.real(40), e.real(41, 1.0));
        const double r = e.real(50), c = std::cos(r), s = std::sin(r);
        const P2 base = flat(e.point(10));
        std::vector<P2> outline;
        for (const P2 corner :
             {P2{box.lower_left.x, box.lower_left.y}, P2{box.upper_right.x, box.lower_left.y},
              P2{box.upper_right.x, box.upper_right.y}, P2{box.lower_left.x, box.upper_right.y}})
            outline.push_back({base.x + corner.x * c - corner.y * s, base.y + corner.x * s + corner.y * c});
        close_path(outline);
        shape.paths.push_back(outline);
        shape.regions.push_back(outline);
    } else if (type == "3DFACE" || type == "SOLID" || type == "TRACE") {
        std::vector<int> order =
            type == "3DFACE" ? std::vector<int>{10, 11, 12, 13} : std::vector<int>{10, 11, 13, 12};
        std::vector<P2> outline;
        for (int code : order) {
            const P2 p = flat(e.point(code));
            if (outline.empty() || outline.back().x != p.x || outline.back().y != p.y) outline.push_back(p);
        }
        close_path(outline);
        shape.paths.push_back(outline);
    } else if (type == "HATCH") {
        hatch_paths(e, shape);
    } else {
        for (const Group& g : e.groups)
            if (g.kind() == ValueKind::Point && g.code >= 10 && g.code <= 18)
                shape.points.push_back(flat(g.point));
    }
    return shape;
}

Rect rect_of(Point3 a, Point3 b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}
static bool inside(const Rect& r, P2 p)
{
    return p.x >= r.x0 - kEps && p.x <= r.x1 + kEps && p.y >= r.y0 - kEps && p.y <= r.y1 + kEps;
}

// Whether the segment a-b meets the rectangle (Liang-Barsky clipping, edges included).
static bool segment_meets_rect(P2 a, P2 b, const Rect& r)
{
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - (r.x0 - kEps), (r.x1 + kEps) - a.x, a.y - (r.y0 - kEps), (r.y1 + kEps) - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

static double orient(P2 a, P2 b, P2 c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

static double point_segment_distance(P2 p, P2 a, P2 b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

static bool segments_meet(P2 a, P2 b, P2 c, P2 d)
{
    const double scale = std::max({std::hypot(b.x - a.x, b.y - a.y), std::hypot(d.x - c.x, d.y - c.y), 1.0});
    const double eps = kEps * scale;
    const double o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a), o4 = orient(c, d, b);
    if (((o1 > eps && o2 < -eps) || (o1 < -eps && o2 > eps)) &&
        ((o3 > eps && o4 < -eps) || (o3 < -eps && o4 > eps)))
        return true;
    // Touching and collinear cases: an end lies on the other segment.
    return point_segment_distance(c, a, b) <= kEps || point_segment_distance(d, a, b) <= kEps ||
           point_segment_distance(a, c, d) <= kEps || point_segment_distance(b, c, d) <= kEps;
}

static bool point_in_polygon(P2 p, const std::vector<P2>& polygon)
{
    bool in = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const P2 a = polygon[i], b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

static bool circle_meets_segment(const Circle& c, P2 a, P2 b)
{
    const double near = point_segment_distance(c.centre, a, b);
    const double far = std::max(std::hypot(a.x - c.centre.x, a.y - c.centre.y),
                                std::hypot(b.x - c.centre.x, b.y - c.centre.y));
    return near <= c.radius + kEps && far >= c.radius - kEps;
}

bool shape_in_window(const Shape& s, const Rect& r)
{
    if (s.empty()) return false;
    for (const auto& path : s.paths)
        for (P2 p : path)
            if (!inside(r, p)) return false;
    for (P2 p : s.points)
        if (!inside(r, p)) return false;
    for (const Circle& c : s.circles)
        if (!inside(r, {c.centre.x - c.radius, c.centre.y - c.radius}) ||
            !inside(r, {c.centre.x + c.radius, c.centre.y + c.radius}))
            return false;
    return true;
}

bool shape_crosses_window(const Shape& s, const Rect& r)
{
    if (shape_in_window(s, r)) return true;
    for (const auto& path : s.paths) {
        if (path.size() == 1 && inside(r, path[0])) return true;
        for (size_t i = 1; i < path.size(); ++i)
            if (segment_meets_rect(path[i - 1], path[i], r)) return true;
    }
    for (P2 p : s.points)
        if (inside(r, p)) return true;
    const P2 corners[4] = {{r.x0, r.y0}, {r.x1, r.y0}, {r.x1, r.y1}, {r.x0, r.y1}};
    for (const Circle& c : s.circles) {
        // The circle's curve meets the rectangle unless the rectangle lies wholly
        // inside it or wholly apart from it.
        for (int i = 0; i < 4; ++i)
            if (circle_meets_segment(c, corners[i], corners[(i + 1) % 4])) return true;
    }
    for (const auto& region : s.regions)
        if (point_in_polygon(corners[0], region)) return true;  // the window lies inside a filled shape
    return false;
}

bool shape_crosses_fence(const Shape& s, const std::vector<P2>& fence)
{
    for (size_t f = 1; f < fence.size(); ++f) {
        const P2 a = fence[f - 1], b = fence[f];
        for (const auto& path : s.paths) {
            if (path.size() == 1 && point_segment_distance(path[0], a, b) <= kEps) return true;
            for (size_t i = 1; i < path.size(); ++i)
                if (segments_meet(a, b, path[i - 1], path[i])) return true;
        }
        for (P2 p : s.points)
            if (point_segment_distance(p, a, b) <= kEps) return true;
        for (const Circle& c : s.circles)
            if (circle_meets_segment(c, a, b)) return true;
    }
    return false;
}

double shape_distance(const Shape& s, P2 p)
{
    double best = INFINITY;
    for (const auto& region : s.regions)
        if (point_in_polygon(p, region)) return 0;
    for (const auto& path : s.paths) {
        if (path.size() == 1) best = std::min(best, std::hypot(p.x - path[0].x, p.y - path[0].y));
        for (size_t i = 1; i < path.size(); ++i)
            best = std::min(best, point_segment_distance(p, path[i - 1], path[i]));
    }
    for (P2 q : s.points) best = std::min(best, std::hypot(p.x - q.x, p.y - q.y));
    for (const Circle& c : s.circles)
        best = std::min(best, std::fabs(std::hypot(p.x - c.centre.x, p.y - c.centre.y) - c.radius));
    return best;
}

namespace {

constexpr double kEverywhere = DBL_MAX;

struct Extent {
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    bool any = false;
    bool wild = false;  // a coordinate that is not finite
    void add(double x, double y)
    {
        if (!std::isfinite(x) || !std::isfinite(y)) {
            wild = true;
            return;
        }
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
        any = true;
    }
    void add(P2 p) { add(p.x, p.y); }
    void add(const Point3& p) { add(p.x, p.y); }
    std::optional<Rect> result() const
    {
        if (wild) return Rect{-kEverywhere, -kEverywhere, kEverywhere, kEverywhere};
        if (!any) return std::nullopt;
        return Rect{x0, y0, x1, y1};
    }
};

}  // namespace

std::optional<Rect> shape_box(const Shape& s)
{
    if (s.empty()) return std::nullopt;
    Extent extent;
    for (const auto& path : s.paths)
        for (P2 p : path) extent.add(p);
    for (P2 p : s.points) extent.add(p);
    for (const Circle& c : s.circles) {
        extent.add(c.centre.x - std::fabs(c.radius), c.centre.y - std::fabs(c.radius));
        extent.add(c.centre.x + std::fabs(c.radius), c.centre.y + std::fabs(c.radius));
    }
    return extent.result();
}

std::optional<Rect> entity_box(const Drawing& drawing, const Entity& e)
{
    // The plain entities of large drawings, without building their shapes; the
    // same points that shape_of takes.
    if (has_own_ocs(e)) return shape_box(shape_of(drawing, e));
    const std::string& type = e.type;
    Extent extent;
    if (type == "POINT" || type == "INSERT" || type == "MTEXT") {
        extent.add(e.point(10));
    } else if (type == "LINE") {
        extent.add(e.point(10));
        extent.add(e.point(11));
    } else if (type == "3DFACE" || type == "SOLID" || type == "TRACE") {
        for (int code : {10, 11, 12, 13}) extent.add(e.point(code));
    } else {
        return shape_box(shape_of(drawing, e));
    }
    return extent.result();
}

}  // namespace host
