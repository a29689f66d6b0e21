// The host LISP function "bpoly" (reached through acedInvoke): the smallest
// closed region around a point, bounded by the LINEs, ARCs, CIRCLEs,
// LWPOLYLINEs and POLYLINEs of model space (arcs and bulges followed as arcs),
// made as a closed LWPOLYLINE on CLAYER with the bulges of its arc sides and
// left as the last entity. Its result is the new entity's name, or nil when no
// closed region surrounds the point.
//
// The curves near the point are cut at every crossing into a planar graph;
// edges that lead nowhere are pruned; a ray from the point to the east finds
// the nearest edges, and the face on the point's side of each is walked (always
// taking the next edge clockwise) until one is a counter-clockwise ring that
// holds the point. Islands inside the region are not cut out.
//
// Only the curves that come near the point are looked at: a window around it
// (from the drawing's spatial index) that grows until the region found lies
// inside it, or until it holds the whole drawing. A curve that could cut a
// region lying inside the window has to pass through the window, so the region
// is the one the whole drawing would give.
#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ads.h"
#include "commands/commands.h"
#include "db/entities.h"
#include "db/ocs.h"
#include "db/spatial_index.h"
#include "db/sysvars.h"
#include "session/session.h"

namespace host {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vec {
    double x = 0, y = 0;
};
Vec operator-(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y};
}
Vec operator+(Vec a, Vec b)
{
    return {a.x + b.x, a.y + b.y};
}
Vec operator*(double k, Vec a)
{
    return {k * a.x, k * a.y};
}
double dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y;
}
double cross(Vec a, Vec b)
{
    return a.x * b.y - a.y * b.x;
}
double length(Vec a)
{
    return std::hypot(a.x, a.y);
}

// A straight piece (bulge 0) or a circular arc from a to b, its bulge the
// tangent of a quarter of its included angle, positive counter-clockwise.
struct Curve {
    Vec a, b;
    double bulge = 0;
};

// The circle of an arc and where the arc lies on it.
struct ArcGeometry {
    Vec centre;
    double radius = 0;
    double start = 0;  // the angle of a, seen from the centre
    double sweep = 0;  // signed, counter-clockwise positive
};

ArcGeometry arc_of(const Curve& c)
{
    const Vec chord = c.b - c.a;
    const double span = length(chord);
    const double sweep = 4 * std::atan(c.bulge);
    // The centre lies off the chord's middle, to the left for a positive bulge.
    const Vec left{-chord.y / span, chord.x / span};
    const double offset = span * (1 - c.bulge * c.bulge) / (4 * c.bulge);
    const Vec centre = 0.5 * (c.a + c.b) + offset * left;
    return {centre, span / (2 * std::fabs(std::sin(sweep / 2))),
            std::atan2(c.a.y - centre.y, c.a.x - centre.x), sweep};
}

Vec arc_point(const ArcGeometry& g, double angle)
{
    return {g.centre.x + g.radius * std::cos(angle), g.centre.y + g.radius * std::sin(angle)};
}

// The plan extents of a curve.
struct Box {
    double x0, y0, x1, y1;
    bool meets(const Box& o) const { return x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1; }
};

Box box_of(const Curve& c)
{
    Box box{std::min(c.a.x, c.b.x), std::min(c.a.y, c.b.y), std::max(c.a.x, c.b.x), std::max(c.a.y, c.b.y)};
    if (c.bulge == 0) return box;
    const ArcGeometry g = arc_of(c);
    // The arc reaches past its ends where it passes the circle's east, north, west or south.
    for (int quarter = -8; quarter <= 8; ++quarter) {
        const double angle = quarter * kPi / 2;
        double along = (angle - g.start) / g.sweep;
        if (along <= 0 || along >= 1) continue;
        const Vec p = arc_point(g, angle);
        box = {std::min(box.x0, p.x), std::min(box.y0, p.y), std::max(box.x1, p.x), std::max(box.y1, p.y)};
    }
    return box;
}

// ---------------------------------------------------------------- curves of the drawing

bool shown(const Drawing& drawing, const Entity& entity)
{
    return !entity.erased && entity.owner == 0 && !layer_off(drawing, entity.layer()) &&
           !layer_frozen(drawing, entity.layer());
}

struct Vertex {
    Vec at;
    double bulge = 0;
};

// Adds a curve, or for an arc of more than a half circle its two halves, so that
// every bulge stays at most 1.
void add_curve(std::vector<Curve>& out, Vec a, Vec b, double bulge)
{
    if (length(b - a) == 0) return;
    if (std::fabs(bulge) <= 1 || !std::isfinite(bulge)) {
        out.push_back({a, b, std::isfinite(bulge) ? bulge : 0});
        return;
    }
    const ArcGeometry g = arc_of({a, b, bulge});
    const Vec middle = arc_point(g, g.start + g.sweep / 2);
    const double half = std::tan(g.sweep / 8);
    out.push_back({a, middle, half});
    out.push_back({middle, b, half});
}

void add_chain(std::vector<Curve>& out, const std::vector<Vertex>& vertices, bool closed)
{
    for (size_t i = 0; i + 1 < vertices.size(); ++i)
        add_curve(out, vertices[i].at, vertices[i + 1].at, vertices[i].bulge);
    if (closed && vertices.size() > 1)
        add_curve(out, vertices.back().at, vertices.front().at, vertices.back().bulge);
}

void add_arc(std::vector<Curve>& out, Vec centre, double radius, double start, double end)
{
    double sweep = end - start;
    while (sweep <= 0) sweep += 2 * kPi;
    while (sweep > 2 * kPi) sweep -= 2 * kPi;
    // In pieces of at most a half circle.
    const int pieces = sweep > kPi ? 2 : 1;
    const double step = sweep / pieces;
    for (int i = 0; i < pieces; ++i) {
        const double from = start + i * step, to = from + step;
        add_curve(out, {centre.x + radius * std::cos(from), centre.y + radius * std::sin(from)},
                  {centre.x + radius * std::cos(to), centre.y + radius * std::sin(to)}, std::tan(step / 4));
    }
}

// The curves of one entity in plan, when it can bound a region.
void entity_curves(const Drawing& drawing, const Entity& stored, std::vector<Curve>& out)
{
    const Ocs plane = ocs_of(stored);  // a 2D polyline's vertices lie in its plane
    std::optional<Entity> world;
    const Entity& entity = has_own_ocs(stored) ? world.emplace(entity_in_world(stored)) : stored;
    const std::string& type = entity.type;
    if (type == "LINE") {
        const Point3 a = entity.point(10), b = entity.point(11);
        add_curve(out, {a.x, a.y}, {b.x, b.y}, 0);
    } else if (type == "ARC") {
        const Point3 c = entity.point(10);
        const double r = entity.real(40);
        if (r > 0) add_arc(out, {c.x, c.y}, r, entity.real(50), entity.real(51));
    } else if (type == "CIRCLE") {
        const Point3 c = entity.point(10);
        const double r = entity.real(40);
        if (r > 0) add_arc(out, {c.x, c.y}, r, 0, 2 * kPi);
    } else if (type == "LWPOLYLINE") {
        std::vector<Vertex> vertices;
        for (const Group& group : entity.groups) {
            if (group.code == 10) vertices.push_back({{group.point.x, group.point.y}, 0});
            if (group.code == 42 && !vertices.empty()) vertices.back().bulge = group.real;
        }
        add_chain(out, vertices, (entity.integer(70) & 1) != 0);
    } else if (type == "POLYLINE") {
        const long flags = entity.integer(70);
        if (flags & (16 | 64)) return;  // meshes and polyface meshes bound no region in plan
        std::vector<Vertex> vertices;
        for (long vertex_id : polyline_vertices(drawing, entity)) {
            const Entity* vertex = drawing.get(vertex_id);
            if (!vertex || vertex->erased || (vertex->integer(70) & 16))
                continue;  // frame points are off the curve
            const Point3 p = ocs_to_world(plane, vertex->point(10));
            // A 3D polyline's bulges mean nothing: it is taken in plan with straight
            // sides. A plane seen from below turns its arcs the other way.
            const double bulge = (flags & 8) ? 0 : vertex->real(42);
            vertices.push_back({{p.x, p.y}, plane.mirrored() ? -bulge : bulge});
        }
        add_chain(out, vertices, (flags & 1) != 0);
    }
}

// The curves of the entities that pass through the window, those of them that meet it.
std::vector<Curve> curves_near(const Drawing& drawing, const Rect& window)
{
    std::vector<Curve> curves, pieces;
    const Box region{window.x0, window.y0, window.x1, window.y1};
    for (long id : drawing.spatial().meeting(drawing, window)) {
        const Entity* entity = drawing.get(id);
        if (!entity || !shown(drawing, *entity)) continue;
        pieces.clear();
        entity_curves(drawing, *entity, pieces);
        for (const Curve& c : pieces)
            if (box_of(c).meets(region)) curves.push_back(c);
    }
    return curves;
}

// ---------------------------------------------------------------- cutting the curves

// Where curves meet: the place on each as a fraction of its length (of its sweep for an arc).
double place_on(const Curve& c, Vec p)
{
    if (c.bulge == 0) {
        const Vec d = c.b - c.a;
        return dot(p - c.a, d) / dot(d, d);
    }
    const ArcGeometry g = arc_of(c);
    double turned = std::atan2(p.y - g.centre.y, p.x - g.centre.x) - g.start;
    // Turned in the arc's sense, between -pi and pi from its middle.
    if (g.sweep < 0) turned = -turned;
    const double half = std::fabs(g.sweep) / 2;
    while (turned - half > kPi) turned -= 2 * kPi;
    while (turned - half < -kPi) turned += 2 * kPi;
    return turned / std::fabs(g.sweep);
}

Vec point_at(const Curve& c, double u)
{
    if (c.bulge == 0) return c.a + u * (c.b - c.a);
    const ArcGeometry g = arc_of(c);
    return arc_point(g, g.start + u * g.sweep);
}

double distance_to(const Curve& c, Vec p)
{
    const double u = std::clamp(place_on(c, p), 0.0, 1.0);
    return length(p - point_at(c, u));
}

// The points where two full circles or lines meet (tangents give one).
std::vector<Vec> line_line(const Curve& s, const Curve& t, double tolerance)
{
    const Vec d = s.b - s.a, e = t.b - t.a;
    const double denominator = cross(d, e);
    if (std::fabs(denominator) <= 1e-12 * length(d) * length(e)) return {};
    const double u = cross(t.a - s.a, e) / denominator;
    return {s.a + u * d};
}

std::vector<Vec> line_circle(const Curve& s, Vec centre, double radius, double tolerance)
{
    const Vec d = s.b - s.a;
    const double dd = dot(d, d);
    // The foot of the centre on the line, and how far the crossings lie on either side of it.
    const double u = dot(centre - s.a, d) / dd;
    const Vec foot = s.a + u * d;
    const double off = length(centre - foot);
    if (off > radius + tolerance) return {};
    const double reach = off >= radius ? 0 : std::sqrt(radius * radius - off * off);
    if (reach <= tolerance) return {foot};
    const Vec step = (reach / std::sqrt(dd)) * d;
    return {foot - step, foot + step};
}

std::vector<Vec> circle_circle(Vec c1, double r1, Vec c2, double r2, double tolerance)
{
    const Vec d = c2 - c1;
    const double between = length(d);
    if (between <= tolerance) return {};  // one centre: no crossing (a shared arc is cut at its ends)
    if (between > r1 + r2 + tolerance || between < std::fabs(r1 - r2) - tolerance) return {};
    const double along = (between * between + r1 * r1 - r2 * r2) / (2 * between);
    const double h2 = r1 * r1 - along * along;
    const Vec foot = c1 + (along / between) * d;
    if (h2 <= tolerance * tolerance) return {foot};
    const double h = std::sqrt(h2);
    const Vec across{-d.y / between * h, d.x / between * h};
    return {foot + across, foot - across};
}

// The places along each curve where it meets the other.
void cut_places(const Curve& s, const Curve& t, double tolerance, std::vector<double>& on_s,
                std::vector<double>& on_t)
{
    std::vector<Vec> points;
    if (s.bulge == 0 && t.bulge == 0) {
        points = line_line(s, t, tolerance);
    } else if (s.bulge == 0 || t.bulge == 0) {
        const Curve& straight = s.bulge == 0 ? s : t;
        const ArcGeometry g = arc_of(s.bulge == 0 ? t : s);
        points = line_circle(straight, g.centre, g.radius, tolerance);
    } else {
        const ArcGeometry g = arc_of(s), h = arc_of(t);
        points = circle_circle(g.centre, g.radius, h.centre, h.radius, tolerance);
    }
    // The ends of either that lie on the other: touching ends, and the overlaps of
    // curves on one line or circle.
    for (Vec p : {t.a, t.b})
        if (distance_to(s, p) <= tolerance) points.push_back(p);
    for (Vec p : {s.a, s.b})
        if (distance_to(t, p) <= tolerance) points.push_back(p);
    for (Vec p : points) {
        if (distance_to(s, p) > tolerance || distance_to(t, p) > tolerance) continue;
        on_s.push_back(std::clamp(place_on(s, p), 0.0, 1.0));
        on_t.push_back(std::clamp(place_on(t, p), 0.0, 1.0));
    }
}

// The planar graph: nodes merged within the tolerance, each edge a curve between
// two nodes kept as two half-edges (2k from its first node, 2k+1 back).
class Graph {
public:
    explicit Graph(double tolerance) : tolerance_(tolerance) {}

    int node(Vec p)
    {
        const long long cx = std::llround(p.x / tolerance_), cy = std::llround(p.y / tolerance_);
        // A point near the edge of its cell may match one in the cell beside.
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy) {
                auto found = cells_.find(key(cx + dx, cy + dy));
                if (found != cells_.end() && length(nodes[found->second] - p) <= tolerance_)
                    return found->second;
            }
        nodes.push_back(p);
        outgoing.emplace_back();
        cells_[key(cx, cy)] = static_cast<int>(nodes.size()) - 1;
        return static_cast<int>(nodes.size()) - 1;
    }

    void edge(int from, int to, double bulge)
    {
        if (from == to) return;
        // The same curve twice (two entities drawn over each other, or pieces of
        // overlapping ones) is one edge.
        const int low = std::min(from, to), high = std::max(from, to);
        const double onward = from == low ? bulge : -bulge;
        for (int h : outgoing[low])
            if (ends[h] == high && std::fabs(half_bulge(h) - onward) <= 1e-9) return;
        const int k = static_cast<int>(bulges.size());
        bulges.push_back(bulge);
        ends.push_back(to);    // half-edge 2k: from -> to
        ends.push_back(from);  // half-edge 2k+1: to -> from
        origins.push_back(from);
        origins.push_back(to);
        outgoing[from].push_back(2 * k);
        outgoing[to].push_back(2 * k + 1);
    }

    int starts(int h) const { return origins[h]; }
    double half_bulge(int h) const { return h % 2 == 0 ? bulges[h / 2] : -bulges[h / 2]; }
    Curve curve(int h) const { return {nodes[origins[h]], nodes[ends[h]], half_bulge(h)}; }

    // Removes, again and again, the edges at nodes that only one edge reaches.
    void prune_dangling()
    {
        removed_.assign(bulges.size(), false);
        std::vector<int> stack;
        for (int i = 0; i < static_cast<int>(nodes.size()); ++i)
            if (degree(i) == 1) stack.push_back(i);
        while (!stack.empty()) {
            const int n = stack.back();
            stack.pop_back();
            if (degree(n) != 1) continue;
            for (int h : outgoing[n]) {
                if (removed_[h / 2]) continue;
                removed_[h / 2] = true;
                if (degree(ends[h]) == 1) stack.push_back(ends[h]);
            }
        }
        for (auto& list : outgoing) std::erase_if(list, [&](int h) { return removed_[h / 2]; });
    }

    // Orders the half-edges leaving each node counter-clockwise by the direction
    // they leave in; of two leaving in one direction, the one bending left comes later.
    void order_around_nodes()
    {
        place_.assign(ends.size(), 0);
        for (auto& list : outgoing) {
            std::vector<std::pair<std::pair<double, double>, int>> keyed;
            for (int h : list) keyed.push_back({leaving(h), h});
            std::sort(keyed.begin(), keyed.end());
            // Directions equal but for rounding are ordered by their bending alone.
            for (size_t first = 0; first < keyed.size();) {
                size_t last = first + 1;
                while (last < keyed.size() && keyed[last].first.first - keyed[first].first.first < 1e-10)
                    ++last;
                std::sort(keyed.begin() + static_cast<long>(first), keyed.begin() + static_cast<long>(last),
                          [](const auto& a, const auto& b) { return a.first.second < b.first.second; });
                first = last;
            }
            for (size_t i = 0; i < keyed.size(); ++i) {
                list[i] = keyed[i].second;
                place_[keyed[i].second] = static_cast<int>(i);
            }
        }
    }

    // The half-edge after h with the face on the left: the one next clockwise
    // from h's way back around the node h reaches.
    int next_after(int h) const
    {
        const int back = h ^ 1;
        const std::vector<int>& around = outgoing[origins[back]];
        const int i = place_[back];
        return around[(i + static_cast<int>(around.size()) - 1) % static_cast<int>(around.size())];
    }

    size_t half_edges() const { return ends.size(); }
    bool removed(int h) const { return removed_[h / 2]; }

    std::vector<Vec> nodes;
    std::vector<std::vector<int>> outgoing;  // half-edges leaving each node

private:
    static long long key(long long x, long long y) { return x * 1000003LL ^ y; }

    int degree(int n) const
    {
        int d = 0;
        for (int h : outgoing[n]) d += !removed_[h / 2];
        return d;
    }

    // The direction a half-edge leaves its node in (0 to 2 pi) and how it bends (its signed curvature).
    std::pair<double, double> leaving(int h) const
    {
        const Curve c = curve(h);
        const Vec chord = c.b - c.a;
        const double sweep = 4 * std::atan(c.bulge);
        double angle = std::atan2(chord.y, chord.x) - sweep / 2;
        while (angle < 0) angle += 2 * kPi;
        while (angle >= 2 * kPi) angle -= 2 * kPi;
        if (2 * kPi - angle < 1e-12) angle = 0;
        const double bend = c.bulge == 0 ? 0 : 2 * std::sin(sweep / 2) / length(chord);
        return {angle, bend};
    }

    double tolerance_;
    std::unordered_map<long long, int> cells_;
    std::vector<double> bulges;  // per edge, from its first node
    std::vector<int> ends;       // per half-edge, the node it reaches
    std::vector<int> origins;    // per half-edge, the node it leaves
    std::vector<bool> removed_;
    std::vector<int> place_;  // per half-edge, its place in its node's order
};

// Every curve cut at the crossings and touching ends of the others.
Graph build_graph(const std::vector<Curve>& curves, double tolerance)
{
    std::vector<std::vector<double>> cuts(curves.size(), std::vector<double>{0.0, 1.0});
    std::vector<Box> boxes;
    boxes.reserve(curves.size());
    for (const Curve& c : curves) {
        Box b = box_of(c);
        boxes.push_back({b.x0 - tolerance, b.y0 - tolerance, b.x1 + tolerance, b.y1 + tolerance});
    }
    // Pairs whose extents overlap, found by sweeping across in x.
    std::vector<size_t> order(curves.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return boxes[a].x0 < boxes[b].x0; });
    for (size_t i = 0; i < order.size(); ++i) {
        const size_t s = order[i];
        for (size_t j = i + 1; j < order.size() && boxes[order[j]].x0 <= boxes[s].x1; ++j) {
            const size_t t = order[j];
            if (boxes[s].meets(boxes[t])) cut_places(curves[s], curves[t], tolerance, cuts[s], cuts[t]);
        }
    }
    Graph graph(tolerance);
    for (size_t i = 0; i < curves.size(); ++i) {
        const Curve& c = curves[i];
        std::vector<double>& at = cuts[i];
        std::sort(at.begin(), at.end());
        const double sweep = 4 * std::atan(c.bulge);
        int previous = graph.node(c.a);
        double from = 0;
        for (size_t k = 1; k < at.size(); ++k) {
            const double u = at[k];
            const int current = k + 1 == at.size() ? graph.node(c.b) : graph.node(point_at(c, u));
            if (current != previous) {
                graph.edge(previous, current, c.bulge == 0 ? 0 : std::tan(sweep * (u - from) / 4));
                previous = current;
                from = u;
            }
        }
    }
    graph.prune_dangling();
    graph.order_around_nodes();
    return graph;
}

// ---------------------------------------------------------------- rings

// A closed ring of curves, each from the end of the one before.
using Ring = std::vector<Curve>;

double segment_area(const Curve& c)
{
    if (c.bulge == 0) return 0;
    const ArcGeometry g = arc_of(c);
    const double t = std::fabs(g.sweep);
    const double area = g.radius * g.radius * (t - std::sin(t)) / 2;
    return g.sweep > 0 ? area : -area;
}

// The signed area, positive counter-clockwise, arcs included; taken about the
// first vertex, so that survey coordinates lose no digits.
double signed_area(const Ring& ring)
{
    const Vec origin = ring.front().a;
    double twice = 0, arcs = 0;
    for (const Curve& c : ring) {
        twice += cross(c.a - origin, c.b - origin);
        arcs += segment_area(c);
    }
    return twice / 2 + arcs;
}

// Where a curve crosses the line y = p.y east of p: each place's x and whether
// the curve runs upward there. Ends are taken half-open (the lower end counts,
// the upper does not), so that a ring crossed at a vertex counts once.
void crossings_east(const Curve& c, Vec p, std::vector<std::pair<double, bool>>& out)
{
    auto straight = [&](Vec a, Vec b, auto x_at) {
        if ((a.y > p.y) == (b.y > p.y)) return;
        const double x = x_at();
        if (x > p.x) out.push_back({x, b.y > a.y});
    };
    if (c.bulge == 0) {
        straight(c.a, c.b, [&] { return c.a.x + (p.y - c.a.y) * (c.b.x - c.a.x) / (c.b.y - c.a.y); });
        return;
    }
    // An arc in pieces that rise or fall throughout: split where it passes north or south.
    const ArcGeometry g = arc_of(c);
    std::vector<double> angles{g.start};
    for (int quarter = -9; quarter <= 9; quarter += 2) {
        const double along = (quarter * kPi / 2 - g.start) / g.sweep;
        if (along > 0 && along < 1) angles.push_back(quarter * kPi / 2);
    }
    std::sort(angles.begin() + 1, angles.end(),
              [&](double a, double b) { return (a - g.start) / g.sweep < (b - g.start) / g.sweep; });
    angles.push_back(g.start + g.sweep);
    for (size_t i = 1; i < angles.size(); ++i) {
        const double a0 = angles[i - 1], a1 = angles[i];
        const Vec from = i == 1 ? c.a : arc_point(g, a0);
        const Vec to = i + 1 == angles.size() ? c.b : arc_point(g, a1);
        straight(from, to, [&] {
            // On this piece the arc lies wholly east or wholly west of its centre.
            const double east = std::cos((a0 + a1) / 2) >= 0 ? 1 : -1;
            const double s = std::clamp((p.y - g.centre.y) / g.radius, -1.0, 1.0);
            return g.centre.x + east * g.radius * std::sqrt(1 - s * s);
        });
    }
}

bool ring_holds(const Ring& ring, Vec p)
{
    std::vector<std::pair<double, bool>> crossings;
    for (const Curve& c : ring) crossings_east(c, p, crossings);
    return crossings.size() % 2 == 1;
}

// The face to the left of the half-edge; empty when the walk does not close.
Ring walk_face(const Graph& graph, int start)
{
    Ring ring;
    const size_t limit = graph.half_edges() + 1;
    int h = start;
    do {
        ring.push_back(graph.curve(h));
        h = graph.next_after(h);
        if (ring.size() > limit) return {};
    } while (h != start);
    return ring;
}

// Joins the sides that go on in one line or on one circle: a straight vertex
// between straight sides, and a vertex between two arcs of the same circle.
Ring without_needless_vertices(const Ring& ring, double tolerance)
{
    Ring kept = ring;
    bool joined = true;
    while (joined && kept.size() > 2) {
        joined = false;
        for (size_t i = 0; i < kept.size() && kept.size() > 2; ++i) {
            const Curve& a = kept[i];
            const Curve& b = kept[(i + 1) % kept.size()];
            bool one = false;
            double bulge = 0;
            if (a.bulge == 0 && b.bulge == 0) {
                const double span = length(b.b - a.a);
                one = std::fabs(cross(b.b - a.a, a.b - a.a)) <= tolerance * std::max(span, 1.0) &&
                      dot(a.b - a.a, b.b - a.b) > 0;
            } else if (a.bulge != 0 && b.bulge != 0 && (a.bulge > 0) == (b.bulge > 0)) {
                const ArcGeometry g = arc_of(a), h = arc_of(b);
                const double sweep = g.sweep + h.sweep;
                one = length(g.centre - h.centre) <= tolerance * 1e3 &&
                      std::fabs(g.radius - h.radius) <= tolerance * 1e3 && std::fabs(sweep) < kPi * 1.999;
                bulge = std::tan(sweep / 4);
            }
            if (!one) continue;
            const Curve merged{a.a, b.b, bulge};
            const size_t j = (i + 1) % kept.size();
            kept[i] = merged;
            kept.erase(kept.begin() + static_cast<long>(j));
            joined = true;
        }
    }
    return kept;
}

struct Found {
    Ring ring;
    Box box;
};

std::optional<Found> region_around(const std::vector<Curve>& curves, Vec p, double tolerance)
{
    const Graph graph = build_graph(curves, tolerance);
    // Edges crossing the ray from p to the east, nearest first; each taken the
    // way it runs upward there, so that p lies on its left.
    std::vector<std::pair<double, int>> crossings;
    std::vector<std::pair<double, bool>> found;
    for (int h = 0; h < static_cast<int>(graph.half_edges()); h += 2) {
        if (graph.removed(h)) continue;
        found.clear();
        crossings_east(graph.curve(h), p, found);
        for (const auto& [x, upward] : found) crossings.push_back({x - p.x, upward ? h : h + 1});
    }
    std::sort(crossings.begin(), crossings.end());
    for (const auto& crossing : crossings) {
        const Ring face = walk_face(graph, crossing.second);
        if (face.empty() || signed_area(face) <= 0 || !ring_holds(face, p)) continue;
        const Ring ring = without_needless_vertices(face, tolerance);
        if (ring.size() < 2) continue;
        Box box = box_of(ring.front());
        for (const Curve& c : ring) {
            const Box b = box_of(c);
            box = {std::min(box.x0, b.x0), std::min(box.y0, b.y0), std::max(box.x1, b.x1),
                   std::max(box.y1, b.y1)};
        }
        return Found{ring, box};
    }
    return std::nullopt;
}

// How near counts as meeting: a billionth of the size of the coordinates.
double tolerance_of(const std::vector<Curve>& curves)
{
    double extent = 1.0;
    for (const Curve& c : curves)
        extent = std::max({extent, std::fabs(c.a.x), std::fabs(c.a.y), std::fabs(c.b.x), std::fabs(c.b.y)});
    return extent * 1e-9;
}

// The region around p in the whole drawing, found by looking in a window that
// grows until the region lies inside it (or the window holds everything).
std::optional<Ring> region_in_drawing(const Drawing& drawing, Vec p)
{
    const std::optional<Rect> all = drawing.spatial().bounds(drawing);
    if (!all) return std::nullopt;
    const double span = std::max({all->x1 - all->x0, all->y1 - all->y0, 1e-6});
    double half = span / 4096;
    for (;;) {
        const Rect window{p.x - half, p.y - half, p.x + half, p.y + half};
        const bool everything =
            window.x0 <= all->x0 && window.y0 <= all->y0 && window.x1 >= all->x1 && window.y1 >= all->y1;
        const std::vector<Curve> curves = curves_near(drawing, window);
        const std::optional<Found> found = region_around(curves, p, tolerance_of(curves));
        if (found) {
            const Box& b = found->box;
            if (everything || (b.x0 > window.x0 && b.y0 > window.y0 && b.x1 < window.x1 && b.y1 < window.y1))
                return found->ring;
            // Look again in a window that holds the region with room to spare.
            const double reach = std::max({p.x - b.x0, b.x1 - p.x, p.y - b.y0, b.y1 - p.y});
            half = std::max(2 * half, 1.5 * reach);
        } else {
            if (everything) return std::nullopt;
            half *= 4;
        }
    }
}

int make_boundary(Drawing& drawing, const Ring& ring, long& id)
{
    std::vector<Group> groups = {
        Group::of_text(8, sysvar_string(drawing, "CLAYER", "0")),
        Group::of_int(90, static_cast<long>(ring.size())),
        Group::of_int(70, 1),
    };
    for (const Curve& c : ring) {
        groups.push_back(Group::of_point(10, {c.a.x, c.a.y, 0}));
        if (c.bulge != 0) groups.push_back(Group::of_real(42, c.bulge));
    }
    return entity_make(drawing, "LWPOLYLINE", groups, {}, &id);
}

std::optional<Vec> point_argument(const resbuf* args)
{
    if (!args || (args->restype != RTPOINT && args->restype != RT3DPOINT)) return std::nullopt;
    return Vec{args->resval.rpoint[0], args->resval.rpoint[1]};
}

int bpoly_function(const resbuf* args, resbuf** result)
{
    *result = nullptr;
    Session& session = Session::get();
    const std::optional<Vec> point = point_argument(args);
    if (!session.has_document() || !point) {
        session.print("\nbpoly: a point is needed.");
        return RTERROR;
    }
    Drawing& drawing = session.current().drawing;
    const std::optional<Ring> ring = region_in_drawing(drawing, *point);
    if (!ring) {
        session.print("\nValid hatch boundary not found.");
        *result = acutNewRb(RTNIL);
        return RTNORM;
    }
    long id = 0;
    if (make_boundary(drawing, *ring, id) != RTNORM || id == 0) {
        session.print("\nbpoly: the boundary could not be made.");
        return RTERROR;
    }
    session.current().modified = true;
    resbuf* name = acutNewRb(RTENAME);
    name->resval.rlname[0] = id;
    name->resval.rlname[1] = 0;
    *result = name;
    return RTNORM;
}

void register_bpoly(Session&)
{
    register_lisp_function("bpoly", bpoly_function);
}

const bool bpoly_added = add_session_setup(register_bpoly);

}  // namespace

}  // namespace host
