// Sweep Delaunay triangulation. The nodes are taken in the order of their x
// and then y, so each one lies outside the hull of those before it; it is
// joined to every hull edge it sees, and every new edge is made locally
// Delaunay by flips. The predicates are exact, so points on one line or one
// circle, slivers and nearly collinear hulls cannot lose a node or make a
// triangle turn over. Triangles are kept as half-edges: edge h runs from
// corner h to corner next(h) of triangle h / 3, and opposite[h] is the twin
// edge of the neighbour (-1 on the hull).
#include "tin_triangulate.h"

#include <algorithm>
#include <numeric>
#include <thread>

#include "tin_predicates.h"

namespace {

struct xy {
    double x, y;
};

int next_edge(int h)
{
    return h - h % 3 + (h + 1) % 3;
}

int prev_edge(int h)
{
    return h - h % 3 + (h + 2) % 3;
}

class sweep {
public:
    explicit sweep(std::vector<xy> pts) : p_(std::move(pts)) {}
    tin_status run();
    std::vector<int> corners;  // three per triangle, counter-clockwise

private:
    std::vector<xy> p_;
    std::vector<int> opposite_;
    // The hull, counter-clockwise: the node after and before each hull node,
    // and the half-edge from the node to the one after it.
    std::vector<int> next_, prev_, hull_edge_;
    std::vector<int> stack_;

    int orient(int a, int b, int c) const
    {
        return tin_orient(p_[a].x, p_[a].y, p_[b].x, p_[b].y, p_[c].x, p_[c].y);
    }
    bool in_circle(int a, int b, int c, int d) const
    {
        return tin_in_circle(p_[a].x, p_[a].y, p_[b].x, p_[b].y, p_[c].x, p_[c].y, p_[d].x, p_[d].y) > 0;
    }
    // Node q lies strictly right of the hull edge from a to the node after it.
    bool visible(int a, int q) const { return orient(a, next_[a], q) < 0; }
    void link(int a, int b)
    {
        opposite_[a] = b;
        if (b != -1) opposite_[b] = a;
    }
    int add_triangle(int i0, int i1, int i2, int a, int b, int c)
    {
        const int t = static_cast<int>(corners.size());
        corners.insert(corners.end(), {i0, i1, i2});
        opposite_.insert(opposite_.end(), {-1, -1, -1});
        link(t, a);
        link(t + 1, b);
        link(t + 2, c);
        return t;
    }
    void legalize(int a);
    bool seed(const std::vector<int>& order, size_t& done);
    void insert(int q, int last);
};

// Flips edge a while the far corner of its neighbour lies inside its
// triangle's circle, and then the two edges the flip exposes (a block comment,
// since the drawing's lines end in backslashes):
/*
           pl                    pl
          /||\                  /  \
       al/ || \bl            al/    \a
        /  ||  \              /      \
       /  a||b  \    flip    /___ar___\
     p0\   ||   /p1   =>   p0\---bl---/p1
        \  ||  /              \      /
       ar\ || /br             b\    /br
          \||/                  \  /
           pr                    pr
*/
void sweep::legalize(int a)
{
    stack_.clear();
    while (true) {
        const int b = opposite_[a];
        const int ar = prev_edge(a);
        if (b == -1) {
            if (stack_.empty()) return;
            a = stack_.back();
            stack_.pop_back();
            continue;
        }
        const int al = next_edge(a);
        const int bl = prev_edge(b);
        const int p0 = corners[ar], pr = corners[a], pl = corners[al], p1 = corners[bl];
        if (in_circle(p0, pr, pl, p1)) {
            corners[a] = p1;
            corners[b] = p0;
            const int hbl = opposite_[bl], har = opposite_[ar];
            // Hull edges that change their half-edge number.
            if (hbl == -1) hull_edge_[p1] = a;
            if (har == -1) hull_edge_[p0] = b;
            link(a, hbl);
            link(b, har);
            link(ar, bl);
            stack_.push_back(next_edge(b));
        } else {
            if (stack_.empty()) return;
            a = stack_.back();
            stack_.pop_back();
        }
    }
}

// The first triangles: the leading nodes that lie on one line, fanned to the
// first node off it. False when every node lies on one line.
bool sweep::seed(const std::vector<int>& order, size_t& done)
{
    size_t k = 2;
    while (k < order.size() && orient(order[0], order[1], order[k]) == 0) ++k;
    if (k == order.size()) return false;
    const int apex = order[k];
    const bool left = orient(order[0], order[k - 1], apex) > 0;
    for (size_t j = 0; j + 1 < k; ++j) {
        const int a = order[j], b = order[j + 1];
        const int t = static_cast<int>(corners.size());
        if (left) {
            // (a, b, apex): a->b on the hull; b->apex meets the next triangle's apex->b.
            add_triangle(a, b, apex, -1, -1, j == 0 ? -1 : t - 2);
            hull_edge_[a] = t;
            next_[a] = b;
            prev_[b] = a;
        } else {
            // (b, a, apex): b->a on the hull; a->apex meets the previous triangle's apex->a.
            add_triangle(b, a, apex, -1, j == 0 ? -1 : t - 1, -1);
            hull_edge_[b] = t;
            next_[b] = a;
            prev_[a] = b;
        }
    }
    const int first = order[0], last = order[k - 1];
    const int fans = static_cast<int>(k - 1);
    if (left) {
        hull_edge_[last] = 3 * (fans - 1) + 1;  // last->apex
        hull_edge_[apex] = 2;                   // apex->first
        next_[last] = apex;
        prev_[apex] = last;
        next_[apex] = first;
        prev_[first] = apex;
    } else {
        hull_edge_[first] = 1;                  // first->apex
        hull_edge_[apex] = 3 * (fans - 1) + 2;  // apex->last
        next_[first] = apex;
        prev_[apex] = first;
        next_[apex] = last;
        prev_[last] = apex;
    }
    done = k + 1;
    return true;
}

// Joins q to every hull edge it sees. `last` is the node added before q: the
// largest so far in x and y, so a hull corner with a seen edge beside it.
void sweep::insert(int q, int last)
{
    int e = last;
    if (!visible(e, q)) e = prev_[last];
    if (!visible(e, q)) {
        // Not expected for nodes in sorted order; look along the whole hull.
        int a = next_[last];
        while (a != last && !visible(a, q)) a = next_[a];
        if (a == last) return;
        e = a;
    }
    // Back to the first seen edge, then forward over every seen edge.
    const int found = e;
    while (prev_[e] != found && visible(prev_[e], q)) e = prev_[e];
    const int first = e;
    int a = first;
    int t = add_triangle(a, q, next_[a], -1, -1, hull_edge_[a]);
    hull_edge_[a] = t;
    hull_edge_[q] = t + 1;
    legalize(t + 2);
    int b = next_[a];
    while (visible(b, q)) {
        const int c = next_[b];
        t = add_triangle(b, q, c, hull_edge_[q], -1, hull_edge_[b]);
        hull_edge_[q] = t + 1;
        legalize(t + 2);
        b = c;
    }
    // The nodes between first and b are no longer on the hull.
    next_[first] = q;
    prev_[q] = first;
    next_[q] = b;
    prev_[b] = q;
}

tin_status sweep::run()
{
    // The nodes come in the order of x and then y.
    const int n = static_cast<int>(p_.size());
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    next_.assign(n, -1);
    prev_.assign(n, -1);
    hull_edge_.assign(n, -1);
    corners.reserve(static_cast<size_t>(n) * 6);
    opposite_.reserve(static_cast<size_t>(n) * 6);
    size_t done = 0;
    if (!seed(order, done)) return tin_status::collinear;
    // The node off the line came after the whole line: it is the largest so far.
    int last = order[done - 1];
    for (size_t k = done; k < order.size(); ++k) {
        insert(order[k], last);
        last = order[k];
    }
    return tin_status::ok;
}

// A node with its position in the list given.
struct placed_node {
    double x, y;
    int at;
    bool operator<(const placed_node& o) const
    {
        return x < o.x || (x == o.x && (y < o.y || (y == o.y && at < o.at)));
    }
};

// The nodes in the order of x, then y, then position. The sort is most of a
// triangulation's work, so a large list is sorted in four parts at once and
// the parts merged; the order is total, so the result is the same.
std::vector<placed_node> sorted_nodes(const tin_node_list& nodes)
{
    std::vector<placed_node> out(nodes.size());
    for (size_t k = 0; k < nodes.size(); ++k) out[k] = {nodes[k].x, nodes[k].y, static_cast<int>(k)};
    constexpr size_t kParts = 4, kLargeList = 50000;
    if (out.size() < kLargeList) {
        std::sort(out.begin(), out.end());
        return out;
    }
    size_t bound[kParts + 1];
    for (size_t k = 0; k <= kParts; ++k) bound[k] = out.size() * k / kParts;
    const auto at = [&](size_t k) { return out.begin() + static_cast<std::ptrdiff_t>(bound[k]); };
    {
        std::vector<std::jthread> sorting;
        for (size_t k = 1; k < kParts; ++k) sorting.emplace_back([&, k] { std::sort(at(k), at(k + 1)); });
        std::sort(at(0), at(1));
    }
    std::vector<placed_node> halves(out.size());
    {
        std::jthread second(
            [&] { std::merge(at(2), at(3), at(3), at(4), halves.begin() + (at(2) - at(0))); });
        std::merge(at(0), at(1), at(1), at(2), halves.begin());
    }
    std::merge(halves.begin(), halves.begin() + (at(2) - at(0)), halves.begin() + (at(2) - at(0)),
               halves.end(), out.begin());
    return out;
}

}  // namespace

tin_result tin_triangulate(const tin_node_list& nodes)
{
    tin_result result;
    // The first of each run of equal x and y stands for the run; the sweep
    // takes the nodes in this order, numbered by it.
    const std::vector<placed_node> sorted = sorted_nodes(nodes);
    std::vector<xy> pts;
    std::vector<int> at;
    pts.reserve(sorted.size());
    at.reserve(sorted.size());
    for (size_t k = 0; k < sorted.size(); ++k) {
        if (k > 0 && sorted[k - 1].x == sorted[k].x && sorted[k - 1].y == sorted[k].y) continue;
        pts.push_back({sorted[k].x, sorted[k].y});
        at.push_back(sorted[k].at);
    }
    result.unique = static_cast<int>(pts.size());
    if (pts.size() < 3) {
        result.status = tin_status::too_few_unique;
        return result;
    }
    sweep s(std::move(pts));
    result.status = s.run();
    if (result.status != tin_status::ok) return result;
    const size_t count = s.corners.size() / 3;
    result.triangles.resize(count);
    result.ordered_triangles.resize(count);
    for (size_t t = 0; t < count; ++t) {
        const int a = s.corners[3 * t], b = s.corners[3 * t + 1], c = s.corners[3 * t + 2];
        result.triangles[t] = {static_cast<std::int32_t>(t), at[a], at[b], at[c]};
        result.ordered_triangles[t] = {static_cast<std::int32_t>(t), a, b, c};
    }
    result.order = std::move(at);
    return result;
}
