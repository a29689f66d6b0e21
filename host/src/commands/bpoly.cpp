// The host LISP function "bpoly" (reached through acedInvoke): the smallest
// closed region around a point, bounded by the straight segments of the LINEs,
// LWPOLYLINEs and POLYLINEs of model space, made as a closed LWPOLYLINE on
// CLAYER and left as the last entity. Its result is the new entity's name, or
// nil when no closed region surrounds the point.
//
// The segments are cut at every crossing into a planar graph; edges that lead
// nowhere are pruned; a ray from the point to the east finds the nearest edges,
// and the face on the point's side of each is walked (always taking the next
// edge clockwise) until one is a counter-clockwise ring that holds the point.
// Arcs (bulges) are taken as their chords; islands inside the region are not
// cut out.
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "ads.h"
#include "commands/commands.h"
#include "db/entities.h"
#include "db/ocs.h"
#include "session/session.h"
#include "db/sysvars.h"

namespace host {

namespace {

struct Vec {
    double x = 0, y = 0;
};

struct Segment {
    Vec a, b;
};

double cross(Vec o, Vec a, Vec b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool visible(const Drawing& drawing, const Entity& entity)
{
    return !entity.erased && entity.owner == 0 && !layer_off(drawing, entity.layer()) &&
           !layer_frozen(drawing, entity.layer());
}

void add_chain(std::vector<Segment>& out, const std::vector<Vec>& points, bool closed)
{
    for (size_t i = 0; i + 1 < points.size(); ++i) out.push_back({points[i], points[i + 1]});
    if (closed && points.size() > 2) out.push_back({points.back(), points.front()});
}

std::vector<Segment> drawing_segments(const Drawing& drawing)
{
    std::vector<Segment> segments;
    for (long id : drawing.model) {
        const Entity* entity = drawing.get(id);
        if (!entity || !visible(drawing, *entity)) continue;
        const Ocs plane = ocs_of(*entity);  // a 2D polyline's vertices lie in its plane
        std::optional<Entity> world;
        if (has_own_ocs(*entity)) entity = &world.emplace(entity_in_world(*entity));
        if (entity->type == "LINE") {
            const Point3 a = entity->point(10), b = entity->point(11);
            segments.push_back({{a.x, a.y}, {b.x, b.y}});
        } else if (entity->type == "LWPOLYLINE") {
            std::vector<Vec> points;
            for (const Group& group : entity->groups)
                if (group.code == 10) points.push_back({group.point.x, group.point.y});
            add_chain(segments, points, (entity->integer(70) & 1) != 0);
        } else if (entity->type == "POLYLINE") {
            std::vector<Vec> points;
            for (long vertex_id : polyline_vertices(drawing, *entity)) {
                const Entity* vertex = drawing.get(vertex_id);
                if (!vertex || vertex->erased) continue;
                const Point3 p = ocs_to_world(plane, vertex->point(10));
                points.push_back({p.x, p.y});
            }
            add_chain(segments, points, (entity->integer(70) & 1) != 0);
        }
    }
    return segments;
}

// The planar graph: nodes merged on a fine grid, undirected edges between them.
class Graph {
public:
    explicit Graph(double tolerance) : tolerance_(tolerance) {}

    int node(Vec p)
    {
        const std::pair<long long, long long> key{std::llround(p.x / tolerance_),
                                                  std::llround(p.y / tolerance_)};
        auto found = index_.find(key);
        if (found != index_.end()) return found->second;
        nodes.push_back(p);
        neighbours.emplace_back();
        index_[key] = static_cast<int>(nodes.size()) - 1;
        return index_[key];
    }
    void edge(int a, int b)
    {
        if (a == b) return;
        neighbours[a].insert(b);
        neighbours[b].insert(a);
    }
    // Removes, again and again, the nodes that only one edge reaches.
    void prune_dangling()
    {
        std::vector<int> stack;
        for (int i = 0; i < static_cast<int>(nodes.size()); ++i)
            if (neighbours[i].size() == 1) stack.push_back(i);
        while (!stack.empty()) {
            const int n = stack.back();
            stack.pop_back();
            if (neighbours[n].size() != 1) continue;
            const int other = *neighbours[n].begin();
            neighbours[n].clear();
            neighbours[other].erase(n);
            if (neighbours[other].size() == 1) stack.push_back(other);
        }
    }
    // The edge after a -> b with the face on the left: the one next clockwise
    // from b -> a around b.
    int next_after(int a, int b) const
    {
        const double back = angle(b, a);
        int best = -1;
        double best_turn = 0;
        for (int c : neighbours[b]) {
            double turn = back - angle(b, c);  // clockwise sweep from b -> a to b -> c
            while (turn <= 0) turn += 2 * M_PI;
            if (c == a) turn = 2 * M_PI;  // going back only when nothing else
            if (best < 0 || turn < best_turn) best = c, best_turn = turn;
        }
        return best;
    }

    std::vector<Vec> nodes;
    std::vector<std::set<int>> neighbours;

private:
    double angle(int from, int to) const
    {
        return std::atan2(nodes[to].y - nodes[from].y, nodes[to].x - nodes[from].x);
    }
    double tolerance_;
    std::map<std::pair<long long, long long>, int> index_;
};

double extent_of(const std::vector<Segment>& segments)
{
    double extent = 1.0;
    for (const Segment& s : segments)
        extent = std::max({extent, std::fabs(s.a.x), std::fabs(s.a.y), std::fabs(s.b.x), std::fabs(s.b.y)});
    return extent;
}

// Every segment cut at the crossings and touching ends of the others.
Graph build_graph(const std::vector<Segment>& segments)
{
    const double tolerance = extent_of(segments) * 1e-9;
    Graph graph(tolerance);
    for (size_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
        const double length2 = dx * dx + dy * dy;
        if (length2 == 0) continue;
        std::vector<double> cuts{0.0, 1.0};
        for (size_t j = 0; j < segments.size(); ++j) {
            if (j == i) continue;
            const Segment& t = segments[j];
            const double ex = t.b.x - t.a.x, ey = t.b.y - t.a.y;
            const double denominator = dx * ey - dy * ex;
            const double scale = std::sqrt(length2 * (ex * ex + ey * ey));
            if (std::fabs(denominator) > 1e-12 * scale) {
                const double u = ((t.a.x - s.a.x) * ey - (t.a.y - s.a.y) * ex) / denominator;
                const double v = ((t.a.x - s.a.x) * dy - (t.a.y - s.a.y) * dx) / denominator;
                const double slack = 1e-9;
                if (u > -slack && u < 1 + slack && v > -slack && v < 1 + slack)
                    cuts.push_back(std::clamp(u, 0.0, 1.0));
            } else {
                // Parallel: the other's ends that lie on this segment cut it.
                for (Vec p : {t.a, t.b}) {
                    if (std::fabs(cross(s.a, s.b, p)) > tolerance * std::sqrt(length2)) continue;
                    const double u = ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / length2;
                    if (u > 0 && u < 1) cuts.push_back(u);
                }
            }
        }
        std::sort(cuts.begin(), cuts.end());
        int previous = graph.node(s.a);
        for (double u : cuts) {
            const int current = graph.node({s.a.x + u * dx, s.a.y + u * dy});
            graph.edge(previous, current);
            previous = current;
        }
    }
    graph.prune_dangling();
    return graph;
}

double signed_area(const std::vector<Vec>& ring)
{
    double twice = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Vec& a = ring[i];
        const Vec& b = ring[(i + 1) % ring.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

bool ring_holds(const std::vector<Vec>& ring, Vec p)
{
    bool inside = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const Vec& a = ring[i];
        const Vec& b = ring[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

// The face to the left of the edge a -> b; empty when the walk does not close.
std::vector<int> walk_face(const Graph& graph, int a, int b)
{
    std::vector<int> ring;
    const size_t limit = 4 * graph.nodes.size() + 8;
    int from = a, to = b;
    do {
        ring.push_back(from);
        const int next = graph.next_after(from, to);
        if (next < 0 || ring.size() > limit) return {};
        from = to;
        to = next;
    } while (from != a || to != b);
    return ring;
}

// Drops the vertices that lie on the line through their neighbours.
std::vector<Vec> without_straight_vertices(const std::vector<Vec>& ring, double tolerance)
{
    std::vector<Vec> kept;
    const size_t n = ring.size();
    for (size_t i = 0; i < n; ++i) {
        const Vec& before = ring[(i + n - 1) % n];
        const Vec& after = ring[(i + 1) % n];
        const double span = std::hypot(after.x - before.x, after.y - before.y);
        if (std::fabs(cross(before, after, ring[i])) > tolerance * std::max(span, 1.0))
            kept.push_back(ring[i]);
    }
    return kept;
}

std::optional<std::vector<Vec>> region_around(const std::vector<Segment>& segments, Vec p)
{
    const Graph graph = build_graph(segments);
    // Edges crossing the ray from p to the east, nearest first; each taken upward
    // so that p lies on its left.
    std::vector<std::pair<double, std::pair<int, int>>> crossings;
    for (int a = 0; a < static_cast<int>(graph.nodes.size()); ++a) {
        for (int b : graph.neighbours[a]) {
            const Vec& pa = graph.nodes[a];
            const Vec& pb = graph.nodes[b];
            if (!(pa.y <= p.y && pb.y > p.y)) continue;  // upward edges, half-open at the top
            const double x = pa.x + (p.y - pa.y) * (pb.x - pa.x) / (pb.y - pa.y);
            if (x > p.x) crossings.push_back({x - p.x, {a, b}});
        }
    }
    std::sort(crossings.begin(), crossings.end());
    const double tolerance = extent_of(segments) * 1e-9;
    for (const auto& crossing : crossings) {
        const std::vector<int> face = walk_face(graph, crossing.second.first, crossing.second.second);
        if (face.size() < 3) continue;
        std::vector<Vec> ring;
        for (int n : face) ring.push_back(graph.nodes[n]);
        if (signed_area(ring) <= 0 || !ring_holds(ring, p)) continue;
        ring = without_straight_vertices(ring, tolerance);
        if (ring.size() >= 3) return ring;
    }
    return std::nullopt;
}

int make_boundary(Drawing& drawing, const std::vector<Vec>& ring, long& id)
{
    std::vector<Group> groups = {
        Group::of_text(8, sysvar_string(drawing, "CLAYER", "0")),
        Group::of_int(90, static_cast<long>(ring.size())),
        Group::of_int(70, 1),
    };
    for (const Vec& v : ring) groups.push_back(Group::of_point(10, {v.x, v.y, 0}));
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
    const std::optional<std::vector<Vec>> ring = region_around(drawing_segments(drawing), *point);
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
