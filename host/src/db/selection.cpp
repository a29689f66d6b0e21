// Selection sets and picks: acedSSGet (the user's selection through the input,
// and the modes "X", "C", "W", "F", ":S", "L", "P"), filters, acedSSName,
// acedSSLength, acedSSAdd, acedSSDel, acedSSFree and acedEntSel.
#include "db/selection.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <unordered_map>

#include "ads.h"
#include "db/entities.h"
#include "db/ocs.h"
#include "session/input.h"
#include "db/resbuf_convert.h"
#include "session/session.h"
#include "db/sysvars.h"
#include "db/textmetrics.h"

namespace host {

// ---------------------------------------------------------------- wildcards

namespace {

char fold(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// Matches one character against the class that starts at pattern[p] ("[");
// sets p past the closing "]". false when the class is not closed.
bool class_match(const std::string& pattern, size_t& p, char c, bool& matched)
{
    size_t i = p + 1;
    bool negate = false;
    if (i < pattern.size() && pattern[i] == '~') {
        negate = true;
        ++i;
    }
    bool found = false;
    bool first = true;
    for (; i < pattern.size() && (pattern[i] != ']' || first); first = false) {
        char lo = pattern[i];
        if (lo == '`' && i + 1 < pattern.size()) lo = pattern[++i];
        ++i;
        char hi = lo;
        if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
            hi = pattern[i + 1];
            i += 2;
        }
        if (fold(c) >= fold(lo) && fold(c) <= fold(hi)) found = true;
    }
    if (i >= pattern.size()) return false;
    p = i + 1;
    matched = found != negate;
    return true;
}

bool match_from(const std::string& text, size_t t, const std::string& pattern, size_t p)
{
    while (p < pattern.size()) {
        const char pc = pattern[p];
        if (pc == '*') {
            while (p < pattern.size() && pattern[p] == '*') ++p;
            if (p == pattern.size()) return true;
            for (size_t k = t; k <= text.size(); ++k)
                if (match_from(text, k, pattern, p)) return true;
            return false;
        }
        if (t >= text.size()) return false;
        const char c = text[t];
        const unsigned char uc = static_cast<unsigned char>(c);
        bool ok;
        switch (pc) {
            case '?':
                ok = true;
                ++p;
                break;
            case '#':
                ok = std::isdigit(uc);
                ++p;
                break;
            case '@':
                ok = std::isalpha(uc);
                ++p;
                break;
            case '.':
                ok = !std::isalnum(uc);
                ++p;
                break;
            case '[':
                if (!class_match(pattern, p, c, ok)) {
                    ok = c == '[';  // an unclosed "[" stands for itself
                    ++p;
                }
                break;
            case '`':
                if (p + 1 < pattern.size()) ++p;
                ok = fold(pattern[p]) == fold(c);
                ++p;
                break;
            default:
                ok = fold(pc) == fold(c);
                ++p;
                break;
        }
        if (!ok) return false;
        ++t;
    }
    return t == text.size();
}

// The alternatives of a pattern, split at the commas outside "[...]" and not escaped.
std::vector<std::string> alternatives(const std::string& pattern)
{
    std::vector<std::string> out(1);
    bool in_class = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '`' && i + 1 < pattern.size()) {
            out.back() += c;
            out.back() += pattern[++i];
            continue;
        }
        if (c == '[') in_class = true;
        if (c == ']') in_class = false;
        if (c == ',' && !in_class) {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

}  // namespace

bool wildcard_match(const std::string& text, const std::string& pattern)
{
    for (const std::string& alternative : alternatives(pattern)) {
        if (!alternative.empty() && alternative[0] == '~') {
            if (!match_from(text, 0, alternative, 1)) return true;
        } else if (match_from(text, 0, alternative, 0)) {
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- geometry

namespace {

struct P2 {
    double x = 0, y = 0;
};
P2 flat(const Point3& p)
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

constexpr double kEps = 1e-9;
constexpr double kPi = 3.14159265358979323846;

void close_path(std::vector<P2>& path)
{
    if (path.size() > 1 && (path.front().x != path.back().x || path.front().y != path.back().y))
        path.push_back(path.front());
}

std::vector<P2> arc_points(P2 centre, double radius, double start, double end)
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

// The points strictly between a and b of the arc with the bulge (the tangent of
// a quarter of its angle, positive counter-clockwise), a point every degree.
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
void hatch_paths(const Entity& hatch, Shape& shape)
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
        const Entity* stored = drawing.get(e.id);
        const Ocs plane = stored ? ocs_of(*stored) : Ocs{};  // the vertices lie in its plane
        for (long id : polyline_vertices(drawing, e)) {
            const Entity* v = drawing.get(id);
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

struct Rect {
    double x0, y0, x1, y1;
};
Rect rect_of(Point3 a, Point3 b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}
bool inside(const Rect& r, P2 p)
{
    return p.x >= r.x0 - kEps && p.x <= r.x1 + kEps && p.y >= r.y0 - kEps && p.y <= r.y1 + kEps;
}

// Whether the segment a-b meets the rectangle (Liang-Barsky clipping, edges included).
bool segment_meets_rect(P2 a, P2 b, const Rect& r)
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

double orient(P2 a, P2 b, P2 c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

double point_segment_distance(P2 p, P2 a, P2 b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool segments_meet(P2 a, P2 b, P2 c, P2 d)
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

bool point_in_polygon(P2 p, const std::vector<P2>& polygon)
{
    bool in = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const P2 a = polygon[i], b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

bool circle_meets_segment(const Circle& c, P2 a, P2 b)
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

bool is_main(const Entity& e)
{
    return e.type != "VERTEX" && e.type != "SEQEND";
}

bool visible(const Drawing& drawing, const Entity& e)
{
    return !layer_frozen(drawing, e.layer()) && !layer_off(drawing, e.layer());
}

}  // namespace

bool entity_in_window(const Drawing& drawing, const Entity& entity, Point3 corner1, Point3 corner2)
{
    return shape_in_window(shape_of(drawing, entity), rect_of(corner1, corner2));
}

bool entity_crosses_window(const Drawing& drawing, const Entity& entity, Point3 corner1, Point3 corner2)
{
    return shape_crosses_window(shape_of(drawing, entity), rect_of(corner1, corner2));
}

bool entity_crosses_fence(const Drawing& drawing, const Entity& entity, const std::vector<Point3>& fence)
{
    std::vector<P2> line;
    line.reserve(fence.size());
    for (const Point3& p : fence) line.push_back(flat(p));
    return shape_crosses_fence(shape_of(drawing, entity), line);
}

long entity_at_point(Drawing& drawing, Point3 point, double tolerance)
{
    long best_id = 0;
    double best = INFINITY;
    for (long id : drawing.model) {
        const Entity* e = drawing.get(id);
        if (!e || e->erased || !is_main(*e) || !visible(drawing, *e)) continue;
        const double d = shape_distance(shape_of(drawing, *e), flat(point));
        if (d <= tolerance + kEps && d < best) {
            best = d;
            best_id = id;
        }
    }
    return best_id;
}

// ---------------------------------------------------------------- filters

namespace {

struct Filter {
    enum Kind { Test, And, Or, Not, Xor, XData } kind = And;
    Group test;
    std::string op = "=";
    std::vector<Filter> children;
    std::vector<std::string> apps;
};

bool is_relational(const std::string& op)
{
    static const char* kOps[] = {"=", "!=", "/=", "<>", "<", "<=", ">", ">=", "*", "&", "&="};
    for (const char* o : kOps)
        if (op == o) return true;
    return op.find(',') != std::string::npos;  // a point's per-coordinate operators
}

// Parses filter items up to the closing "xxx>" of the group being read (or the
// end when closing is empty). false on a malformed filter.
bool parse_items(const std::vector<Group>& g, size_t& i, const std::string& closing, std::vector<Filter>& out)
{
    while (i < g.size()) {
        const Group& item = g[i];
        if (item.code == -4) {
            const std::string op = upper_text(item.text);
            ++i;
            if (op == closing && !closing.empty()) return true;
            if (op == "<AND" || op == "<OR" || op == "<NOT" || op == "<XOR") {
                Filter group;
                group.kind = op == "<AND"   ? Filter::And
                             : op == "<OR"  ? Filter::Or
                             : op == "<NOT" ? Filter::Not
                                            : Filter::Xor;
                if (!parse_items(g, i, op.substr(1) + ">", group.children)) return false;
                if (group.kind == Filter::Not && group.children.size() != 1) return false;
                if (group.kind == Filter::Xor && group.children.size() != 2) return false;
                if ((group.kind == Filter::And || group.kind == Filter::Or) && group.children.empty())
                    return false;
                out.push_back(std::move(group));
                continue;
            }
            if (!is_relational(op) || i >= g.size() || g[i].code == -4 || g[i].code == -3) return false;
            Filter test;
            test.kind = Filter::Test;
            test.op = op;
            test.test = g[i++];
            out.push_back(std::move(test));
            continue;
        }
        if (item.code == -3) {
            Filter xdata;
            xdata.kind = Filter::XData;
            ++i;
            while (i < g.size() && g[i].code == 1001) xdata.apps.push_back(g[i++].text);
            if (xdata.apps.empty()) return false;
            out.push_back(std::move(xdata));
            continue;
        }
        Filter test;
        test.kind = Filter::Test;
        test.test = item;
        ++i;
        out.push_back(std::move(test));
    }
    return closing.empty();
}

bool compare_number(double value, const std::string& op, double wanted)
{
    if (op == "=") return std::fabs(value - wanted) <= 1e-10 * std::max(1.0, std::fabs(wanted));
    if (op == "!=" || op == "/=" || op == "<>") return !compare_number(value, "=", wanted);
    if (op == "<") return value < wanted;
    if (op == "<=") return value <= wanted;
    if (op == ">") return value > wanted;
    if (op == ">=") return value >= wanted;
    if (op == "*") return true;
    const long v = static_cast<long>(value), w = static_cast<long>(wanted);
    if (op == "&") return (v & w) != 0;
    if (op == "&=") return (v & w) == w;
    return false;
}

bool compare_point(const Point3& value, const std::string& op, const Point3& wanted)
{
    std::vector<std::string> ops;
    if (op.find(',') == std::string::npos) {
        if (op == "=" || op == "!=" || op == "/=" || op == "<>") {
            const bool same = std::fabs(value.x - wanted.x) <= 1e-10 &&
                              std::fabs(value.y - wanted.y) <= 1e-10 &&
                              std::fabs(value.z - wanted.z) <= 1e-10;
            return op == "=" ? same : !same;
        }
        ops = {op, op, op};
    } else {
        size_t start = 0;
        for (size_t comma; (comma = op.find(',', start)) != std::string::npos; start = comma + 1)
            ops.push_back(op.substr(start, comma - start));
        ops.push_back(op.substr(start));
        while (ops.size() < 3) ops.push_back("*");
    }
    return compare_number(value.x, ops[0], wanted.x) && compare_number(value.y, ops[1], wanted.y) &&
           compare_number(value.z, ops[2], wanted.z);
}

// The values of a group an entity has for a filter: the type for 0, the layer
// "0" when it names none, BYLAYER colour 256 and linetype "BYLAYER", space 0.
std::vector<Group> filter_values(const Entity& e, int code)
{
    std::vector<Group> values;
    if (code == 0) {
        values.push_back(Group::of_text(0, e.type));
        return values;
    }
    for (const Group& g : e.groups)
        if (g.code == code) values.push_back(g);
    if (values.empty()) {
        if (code == 8) values.push_back(Group::of_text(8, "0"));
        if (code == 62) values.push_back(Group::of_int(62, 256));
        if (code == 6) values.push_back(Group::of_text(6, "BYLAYER"));
        if (code == 67) values.push_back(Group::of_int(67, 0));
    }
    return values;
}

bool test_matches(const Entity& e, const Filter& f)
{
    const Group& wanted = f.test;
    for (const Group& v : filter_values(e, wanted.code)) {
        bool ok = false;
        switch (wanted.kind()) {
            case ValueKind::Text: {
                const bool match = wildcard_match(v.text, wanted.text);
                ok = (f.op == "!=" || f.op == "/=" || f.op == "<>") ? !match : (f.op == "*" || match);
                break;
            }
            case ValueKind::Real:
                ok = compare_number(v.real, f.op, wanted.real);
                break;
            case ValueKind::Int16:
            case ValueKind::Int32:
                ok =
                    compare_number(static_cast<double>(v.integer), f.op, static_cast<double>(wanted.integer));
                break;
            case ValueKind::Point:
                ok = compare_point(v.point, f.op, wanted.point);
                break;
            case ValueKind::Name:
                ok = v.name == wanted.name;
                break;
        }
        if (ok) return true;
    }
    return false;
}

bool filter_matches(const Entity& e, const Filter& f)
{
    switch (f.kind) {
        case Filter::Test:
            return test_matches(e, f);
        case Filter::And:
            return std::all_of(f.children.begin(), f.children.end(),
                               [&](const Filter& c) { return filter_matches(e, c); });
        case Filter::Or:
            return std::any_of(f.children.begin(), f.children.end(),
                               [&](const Filter& c) { return filter_matches(e, c); });
        case Filter::Not:
            return !filter_matches(e, f.children[0]);
        case Filter::Xor:
            return filter_matches(e, f.children[0]) != filter_matches(e, f.children[1]);
        case Filter::XData:
            // The entity must carry extended data of every application named.
            return std::all_of(f.apps.begin(), f.apps.end(), [&](const std::string& pattern) {
                return std::any_of(e.xdata.begin(), e.xdata.end(),
                                   [&](const XDataApp& app) { return wildcard_match(app.app, pattern); });
            });
    }
    return false;
}

// The filter of a resbuf list; nullopt when it is malformed.
std::optional<Filter> parse_filter(const resbuf* list)
{
    const std::vector<Group> groups = groups_from_chain(list);
    Filter top;
    top.kind = Filter::And;
    size_t i = 0;
    if (!parse_items(groups, i, "", top.children)) return std::nullopt;
    return top;
}

// ---------------------------------------------------------------- set registry

struct SetRegistry {
    std::map<long, std::vector<long>> sets;
    // What each drawing's previous selection held, kept after its set is freed.
    std::unordered_map<const Drawing*, std::vector<long>> previous;
};
SetRegistry& registry()
{
    static SetRegistry r;
    return r;
}

}  // namespace

long selection_set_create(const std::vector<long>& ids)
{
    SetRegistry& r = registry();
    if (r.sets.size() >= kMaxSelectionSets) {
        if (Session* session = Session::current_or_null())
            session->print("\n*Too many selection sets open* (at most 128); free some with acedSSFree.");
        return 0;
    }
    const long id = Drawing::next_id();
    r.sets[id] = ids;
    return id;
}

const std::vector<long>* selection_set_members(long set_id)
{
    auto it = registry().sets.find(set_id);
    return it == registry().sets.end() ? nullptr : &it->second;
}

size_t selection_sets_open()
{
    return registry().sets.size();
}

// ---------------------------------------------------------------- acedSSGet

namespace {

bool parse_point_answer(const std::string& text, Point3& point)
{
    return parse_point_text(text, point);
}

struct Candidates {
    const Drawing& drawing;
    const Filter* filter;
    bool visible_only;

    bool accepts(const Entity& e) const
    {
        if (e.erased || !is_main(e) || e.owner != 0) return false;
        if (visible_only && !visible(drawing, e)) return false;
        return !filter || filter_matches(e, *filter);
    }

    template <class Test>
    std::vector<long> all(Test test) const
    {
        std::vector<long> out;
        for (long id : drawing.model) {
            const Entity* e = drawing.get(id);
            if (e && accepts(*e) && test(*e)) out.push_back(id);
        }
        return out;
    }
};

std::vector<long> previous_members(const Drawing& drawing)
{
    std::vector<long> out;
    auto it = registry().previous.find(&drawing);
    if (it == registry().previous.end()) return out;
    for (long id : it->second) {
        const Entity* e = drawing.get(id);
        if (e && !e->erased) out.push_back(id);
    }
    return out;
}

void add_unique(std::vector<long>& set, const std::vector<long>& ids)
{
    for (long id : ids)
        if (std::find(set.begin(), set.end(), id) == set.end()) set.push_back(id);
}

void remove_all(std::vector<long>& set, const std::vector<long>& ids)
{
    std::erase_if(set, [&](long id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); });
}

enum class Ask { Done, Cancel };

// Asks for one point, re-asking on an answer that is not one; nullopt on an
// empty answer, or (with cancelled set) on Esc.
std::optional<Point3> ask_point(Session& session, const std::string& prompt, bool& cancelled)
{
    for (;;) {
        const std::string answer = session.ask(prompt);
        if (answer == "^C") {
            cancelled = true;
            return std::nullopt;
        }
        if (answer.empty()) return std::nullopt;
        Point3 p;
        if (parse_point_answer(answer, p)) return p;
        session.print("\nInvalid point.");
    }
}

// The user's selection through the input: picks, windows, fences and the
// keywords, until an empty answer (or after one round with single set).
Ask user_selection(Session& session, const Candidates& candidates, Drawing& drawing, bool single,
                   std::vector<long>& chosen)
{
    bool removing = false;
    for (;;) {
        const std::string answer = session.ask(removing ? "\nRemove objects: " : "\nSelect objects: ");
        if (answer == "^C") return Ask::Cancel;
        if (answer.empty()) return Ask::Done;
        const std::string key = upper_text(answer);
        std::vector<long> found;
        bool understood = true;
        bool cancelled = false;
        Point3 p;
        if (parse_point_answer(answer, p)) {
            const long id = entity_at_point(drawing, p, pick_tolerance(drawing));
            const Entity* e = drawing.get(id);
            if (e && candidates.accepts(*e)) found.push_back(id);
        } else if (key == "W" || key == "WINDOW" || key == "C" || key == "CROSSING") {
            auto a = ask_point(session, "\nSpecify first corner: ", cancelled);
            if (cancelled) return Ask::Cancel;
            auto b = a ? ask_point(session, "\nSpecify opposite corner: ", cancelled) : std::nullopt;
            if (cancelled) return Ask::Cancel;
            if (a && b) {
                const Rect r = rect_of(*a, *b);
                const bool window = key[0] == 'W';
                found = candidates.all([&](const Entity& e) {
                    const Shape s = shape_of(drawing, e);
                    return window ? shape_in_window(s, r) : shape_crosses_window(s, r);
                });
            }
        } else if (key == "F" || key == "FENCE") {
            std::vector<P2> fence;
            auto first = ask_point(session, "\nSpecify first fence point: ", cancelled);
            if (cancelled) return Ask::Cancel;
            if (first) fence.push_back(flat(*first));
            while (first) {
                auto next = ask_point(session, "\nSpecify next fence point: ", cancelled);
                if (cancelled) return Ask::Cancel;
                if (!next) break;
                fence.push_back(flat(*next));
            }
            if (fence.size() >= 2)
                found = candidates.all(
                    [&](const Entity& e) { return shape_crosses_fence(shape_of(drawing, e), fence); });
        } else if (key == "ALL") {
            found = candidates.all([](const Entity&) { return true; });
        } else if (key == "L" || key == "LAST") {
            const Entity* e = drawing.get(drawing.last_main());
            if (e && candidates.accepts(*e)) found.push_back(e->id);
        } else if (key == "P" || key == "PREVIOUS") {
            for (long id : previous_members(drawing)) {
                const Entity* e = drawing.get(id);
                if (e && candidates.accepts(*e)) found.push_back(id);
            }
        } else if (key == "R" || key == "REMOVE") {
            removing = true;
            continue;
        } else if (key == "A" || key == "ADD") {
            removing = false;
            continue;
        } else {
            understood = false;
        }
        if (!understood) {
            session.print(
                "\n*Invalid selection*\nExpects a point or "
                "Window/Last/Crossing/Fence/ALL/Previous/Add/Remove");
            continue;
        }
        if (removing)
            remove_all(chosen, found);
        else
            add_unique(chosen, found);
        session.print("\n" + std::to_string(found.size()) + " found");
        if (single && !found.empty()) return Ask::Done;
    }
}

int finish_set(const std::vector<long>& ids, ads_name ss)
{
    if (ids.empty()) return RTERROR;  // nothing found: no set is made
    const long id = selection_set_create(ids);
    if (!id) return RTERROR;
    set_name(ss, id);
    return RTNORM;
}

}  // namespace

}  // namespace host

using namespace host;

extern "C" {

int acedSSGet(const char* mode, const void* p1, const void* p2, const resbuf* filter_list, ads_name ss)
{
    if (!ss) return RTERROR;
    std::optional<Filter> filter;
    if (filter_list) {
        filter = parse_filter(filter_list);
        if (!filter) return RTERROR;
    }
    Session* running = Session::current_or_null();
    if (!running || !running->has_document()) return RTERROR;
    Session& session = *running;
    Document& document = session.current();
    Drawing& drawing = document.drawing;
    std::string key = mode ? upper_text(mode) : "";
    if (!key.empty() && key[0] == '_') key.erase(0, 1);
    // ":S" (and ":S:E", "+.:S") is a single selection by the user.
    const bool single = key.find(":S") != std::string::npos;
    if (single) key = ":S";
    const bool user = key.empty() || single;
    Candidates candidates{drawing, filter ? &*filter : nullptr, key != "X"};
    std::vector<long> ids;

    if (user) {
        if (user_selection(session, candidates, drawing, single, ids) == Ask::Cancel) return RTCAN;
    } else if (key == "X" || key == "A") {
        ids = candidates.all([](const Entity&) { return true; });
    } else if (key == "W" || key == "C") {
        if (!p1 || !p2) return RTERROR;
        const double* a = static_cast<const double*>(p1);
        const double* b = static_cast<const double*>(p2);
        const Rect r = rect_of({a[0], a[1], 0}, {b[0], b[1], 0});
        const bool window = key == "W";
        ids = candidates.all([&](const Entity& e) {
            const Shape s = shape_of(drawing, e);
            return window ? shape_in_window(s, r) : shape_crosses_window(s, r);
        });
    } else if (key == "F") {
        std::vector<P2> fence;
        for (const resbuf* node = static_cast<const resbuf*>(p1); node; node = node->rbnext)
            if (node->restype == RTPOINT || node->restype == RT3DPOINT)
                fence.push_back({node->resval.rpoint[0], node->resval.rpoint[1]});
        if (fence.size() < 2) return RTERROR;
        ids =
            candidates.all([&](const Entity& e) { return shape_crosses_fence(shape_of(drawing, e), fence); });
    } else if (key == "L") {
        const Entity* e = drawing.get(drawing.last_main());
        if (e && candidates.accepts(*e)) ids.push_back(e->id);
    } else if (key == "P") {
        for (long id : previous_members(drawing)) {
            const Entity* e = drawing.get(id);
            if (e && candidates.accepts(*e)) ids.push_back(id);
        }
    } else {
        return RTERROR;
    }

    const int status = finish_set(ids, ss);
    if (status == RTNORM && user) {
        registry().previous[&drawing] = ids;
        document.previous_set[0] = ss[0];
        document.previous_set[1] = ss[1];
    }
    return status;
}

int acedSSFree(const ads_name ss)
{
    return registry().sets.erase(id_of(ss)) ? RTNORM : RTERROR;
}

int acedSSLength(const ads_name ss, long* length)
{
    const std::vector<long>* members = selection_set_members(id_of(ss));
    if (!members || !length) return RTERROR;
    *length = static_cast<long>(members->size());
    return RTNORM;
}

int acedSSName(const ads_name ss, long index, ads_name entity)
{
    const std::vector<long>* members = selection_set_members(id_of(ss));
    if (!members || !entity || index < 0 || index >= static_cast<long>(members->size())) return RTERROR;
    set_name(entity, (*members)[index]);
    return RTNORM;
}

int acedSSAdd(const ads_name entity, const ads_name ss, ads_name result)
{
    if (!result) return RTERROR;
    const bool has_entity = entity && !ads_name_nil(entity);
    if (has_entity) {
        const Drawing* drawing = current_drawing_or_null();
        const Entity* e = drawing ? drawing->get(id_of(entity)) : nullptr;
        if (!e || e->erased) return RTERROR;
    }
    if (!ss || ads_name_nil(ss)) {
        std::vector<long> ids;
        if (has_entity) ids.push_back(id_of(entity));
        const long id = selection_set_create(ids);
        if (!id) return RTERROR;
        set_name(result, id);
        return RTNORM;
    }
    auto it = registry().sets.find(id_of(ss));
    if (it == registry().sets.end()) return RTERROR;
    if (has_entity) add_unique(it->second, {id_of(entity)});
    set_name(result, it->first);
    return RTNORM;
}

int acedSSDel(const ads_name entity, const ads_name ss)
{
    auto it = registry().sets.find(id_of(ss));
    if (it == registry().sets.end() || !entity) return RTERROR;
    auto member = std::find(it->second.begin(), it->second.end(), id_of(entity));
    if (member == it->second.end()) return RTERROR;
    it->second.erase(member);
    return RTNORM;
}

int acedEntSel(const char* prompt, ads_name entity, ads_point picked)
{
    Session* running = Session::current_or_null();
    if (!running || !running->has_document()) return RTERROR;
    Session& session = *running;
    Drawing& drawing = session.current().drawing;
    // The pick uses up a pending acedInitGet; one of its keywords answers RTKWORD.
    const std::string keywords = take_initget_keywords();
    const std::string answer = session.ask(prompt ? prompt : "\nSelect object: ");
    if (answer == "^C") return RTCAN;
    if (std::optional<std::string> keyword = match_keyword(answer, keywords)) {
        set_last_input(*keyword);
        return RTKWORD;
    }
    Point3 p;
    if (answer.empty() || !parse_point_answer(answer, p)) return RTERROR;
    const long id = entity_at_point(drawing, p, pick_tolerance(drawing));
    if (!id) return RTERROR;
    if (entity) set_name(entity, id);
    if (picked) {
        picked[0] = p.x;
        picked[1] = p.y;
        picked[2] = p.z;
    }
    return RTNORM;
}

}  // extern "C"
