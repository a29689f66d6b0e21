// Incremental Delaunay triangulation. Each node is found by a walk from the
// triangle made last and joined in: one inside a triangle splits it in three,
// one on an edge splits the two triangles beside it, and one outside is joined
// to every hull edge it sees; every new edge is then made locally Delaunay by
// flips. The nodes are taken in rounds of growing density, each round along a
// space-filling curve: the first rounds spread over the whole area, so that
// most later nodes fall inside (few flips follow), and each node lies near the
// one before it (the walks are short and the work stays in step with memory).
// A large round is joined in four parts at once, each in its own piece of the
// plane (see insert_in_parts). The predicates are exact, so points on one
// line or one circle, slivers and nearly collinear hulls cannot lose a node or
// make a triangle turn over. Triangles are kept as half-edges: edge h runs
// from corner h to corner next(h) of triangle h / 3, and its twin is the same
// edge in the neighbour (-1 on the hull).
#include "tin_triangulate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <memory>

#include "tin_parts.h"
#include "tin_predicates_quick.h"

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

// A round of this many nodes or more is joined in parts at once.
constexpr size_t kRoundInParts = 50000;

// Half-edge h: its first corner and its twin, side by side in memory.
struct half_edge {
    int corner, twin;
};

// The half-edges' memory, grown without being filled and touched the first
// time by four threads at once: for a million nodes, the clearing of fresh
// pages by the system is a good part of the work.
class edge_array {
public:
    half_edge& operator[](size_t h) { return data_[h]; }
    const half_edge& operator[](size_t h) const { return data_[h]; }
    size_t size() const { return size_; }
    // To size entries, keeping those there are.
    void grow(size_t size)
    {
        std::unique_ptr<half_edge[]> more(new half_edge[size]);
        tin_in_parts(size, [&](size_t, size_t begin, size_t end) {
            const size_t kept = std::min(end, size_);
            if (begin < kept) std::copy(data_.get() + begin, data_.get() + kept, more.get() + begin);
            constexpr size_t kPerPage = 4096 / sizeof(half_edge);
            for (size_t h = std::max(begin, kept); h < end; h += kPerPage) more[h] = {-1, -1};
        });
        data_ = std::move(more);
        size_ = size;
    }

private:
    std::unique_ptr<half_edge[]> data_;
    size_t size_ = 0;
};

class delaunay {
public:
    explicit delaunay(std::vector<xy> pts) : p_(std::move(pts)) {}
    // Joins the nodes in the order given: rounds[r] to rounds[r + 1] is a
    // round, its nodes in the order of their numbers.
    tin_status run(const std::vector<int>& order, const std::vector<size_t>& rounds);
    // Three per triangle, counter-clockwise, the first used_ of them; a
    // triangle whose first corner is -1 is a gap, which no edge meets.
    edge_array edges;
    size_t used() const { return used_; }

private:
    std::vector<xy> p_;
    // The hull, counter-clockwise: the node after and before each hull node,
    // and the half-edge from the node to the one after it.
    std::vector<int> next_, prev_, hull_edge_;
    std::vector<int> stack_;
    size_t used_ = 0;
    int last_ = 0;  // a triangle made last, where the next walk begins
    // While a round is joined in parts: the part each triangle belongs to,
    // kShared for one with corners in more than one part's piece of the plane.
    static constexpr std::uint8_t kShared = 0xFF;
    std::vector<std::uint8_t> owner_;

    int orient(int a, int b, int c) const
    {
        return tin_quick::orient(p_[a].x, p_[a].y, p_[b].x, p_[b].y, p_[c].x, p_[c].y);
    }
    bool in_circle(int a, int b, int c, int d) const
    {
        return tin_quick::in_circle(p_[a].x, p_[a].y, p_[b].x, p_[b].y, p_[c].x, p_[c].y, p_[d].x, p_[d].y) >
               0;
    }
    // Node q lies strictly right of the hull edge from a to the node after it.
    bool visible(int a, int q) const { return orient(a, next_[a], q) < 0; }
    void link(int a, int b)
    {
        edges[a].twin = b;
        if (b != -1) edges[b].twin = a;
    }
    int add_triangle(int i0, int i1, int i2, int a, int b, int c)
    {
        if (used_ + 3 > edges.size()) edges.grow(std::max(edges.size() + edges.size() / 2, used_ + 3));
        const int t = static_cast<int>(used_);
        used_ += 3;
        edges[used_ - 3] = {i0, -1};
        edges[used_ - 2] = {i1, -1};
        edges[used_ - 1] = {i2, -1};
        link(t, a);
        link(t + 1, b);
        link(t + 2, c);
        last_ = t / 3;
        return t;
    }
    // A new edge h on the hull: the hull edge from its first corner.
    void on_hull(int h)
    {
        if (edges[h].twin == -1) hull_edge_[edges[h].corner] = h;
    }
    void legalize(int a);
    void seed(const std::vector<int>& line, int apex);
    void insert(int q);
    void split_triangle(int t, int q);
    void split_edge(int h, int q);
    void join_outside(int a, int q);
    int beyond(int t, int q, int turn, int side[3]) const;
    int locate(int q, int t) const;
    void insert_in_parts(const int* nodes, size_t count);
    struct part_scratch {
        std::vector<int> cavity, rim;
        std::vector<std::array<int, 3>> sides;
    };
    bool join_in_piece(int q, std::uint8_t part, int& start, size_t& free_slot, part_scratch& scratch);
};

// Flips edge a while the far corner of its neighbour lies inside its
// triangle's circle, and then the two edges the flip exposes (a block comment,
// since the drawing's lines end in backslashes). The corner of a's triangle
// that a does not touch is the new node.
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
void delaunay::legalize(int a)
{
    stack_.clear();
    while (true) {
        const int b = edges[a].twin;
        const int ar = prev_edge(a);
        if (b == -1) {
            if (stack_.empty()) return;
            a = stack_.back();
            stack_.pop_back();
            continue;
        }
        const int al = next_edge(a);
        const int bl = prev_edge(b);
        const int p0 = edges[ar].corner, pr = edges[a].corner, pl = edges[al].corner, p1 = edges[bl].corner;
        if (in_circle(p0, pr, pl, p1)) {
            edges[a].corner = p1;
            edges[b].corner = p0;
            const int hbl = edges[bl].twin, har = edges[ar].twin;
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

// The first triangles: the leading nodes that lie on one line (in their order
// along it), fanned to the first node off it.
void delaunay::seed(const std::vector<int>& line, int apex)
{
    const size_t k = line.size();
    const bool left = orient(line[0], line[k - 1], apex) > 0;
    for (size_t j = 0; j + 1 < k; ++j) {
        const int a = line[j], b = line[j + 1];
        const int t = static_cast<int>(used_);
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
    const int first = line[0], last = line[k - 1];
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
}

// Finds q by walking from the triangle made last across every edge q lies
// strictly beyond (on a Delaunay triangulation such a walk cannot circle), and
// joins it where it lies. The edge tried first turns from step to step, which
// shortens walks along a line of triangles.
void delaunay::insert(int q)
{
    int t = last_;
    int turn = 0;
    while (true) {
        int side[3];
        const int crossed = beyond(t, q, turn, side);
        turn = (turn + 1) % 3;
        if (crossed != -1) {
            if (edges[crossed].twin == -1) {
                join_outside(edges[crossed].corner, q);
                return;
            }
            t = edges[crossed].twin / 3;
            continue;
        }
        // Inside the triangle or on one of its edges (not on two: the nodes
        // are distinct).
        for (int k = 0; k < 3; ++k)
            if (side[k] == 0) {
                split_edge(3 * t + k, q);
                return;
            }
        split_triangle(t, q);
        return;
    }
}

// q strictly inside triangle t = (a, b, c): t becomes (a, b, q), and (b, c, q)
// and (c, a, q) are added.
void delaunay::split_triangle(int t, int q)
{
    const int h0 = 3 * t, h1 = h0 + 1, h2 = h0 + 2;
    const int b = edges[h1].corner, c = edges[h2].corner, a = edges[h0].corner;
    const int o1 = edges[h1].twin, o2 = edges[h2].twin;
    edges[h2].corner = q;  // h1: b->q, h2: q->a
    const int t1 = add_triangle(b, c, q, o1, -1, h1);
    const int t2 = add_triangle(c, a, q, o2, h2, t1 + 1);
    on_hull(t1);
    on_hull(t2);
    legalize(h0);
    legalize(t1);
    legalize(t2);
}

// q on edge h = a->b of triangle (a, b, c). Its triangle becomes (q, b, c) and
// (a, q, c) is added; the neighbour (b, a, d) across h, if any, becomes
// (q, a, d) and (b, q, d) is added. On the hull, q joins it between a and b.
void delaunay::split_edge(int h, int q)
{
    const int hn = next_edge(h), hp = prev_edge(h);
    const int a = edges[h].corner, b = edges[hn].corner, c = edges[hp].corner;
    const int o = edges[h].twin, op = edges[hp].twin;
    edges[h].corner = q;  // h: q->b, hp: c->q
    const int ta = add_triangle(a, q, c, o, hp, op);
    on_hull(ta + 2);
    if (o == -1) {
        hull_edge_[q] = h;
        hull_edge_[a] = ta;
        next_[a] = q;
        prev_[q] = a;
        next_[q] = b;
        prev_[b] = q;
        legalize(hn);
        legalize(ta + 2);
        return;
    }
    // The neighbour (b, a, d), whose edge o runs b->a; split before any flip,
    // since a flip renumbers the edges about q.
    const int on = next_edge(o), opp = prev_edge(o);
    const int d = edges[opp].corner;
    const int oo = edges[opp].twin;
    edges[o].corner = q;  // o: q->a, opp: d->q
    const int tb = add_triangle(b, q, d, h, opp, oo);
    on_hull(tb + 2);
    legalize(hn);
    legalize(ta + 2);
    legalize(on);
    legalize(tb + 2);
}

// q outside the hull, beyond the hull edge from a: joined to every hull edge
// it sees.
void delaunay::join_outside(int a, int q)
{
    // Back to the first seen edge, then forward over every seen edge.
    const int found = a;
    while (prev_[a] != found && visible(prev_[a], q)) a = prev_[a];
    const int first = a;
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

// The first edge of triangle t, trying them from edge turn on, that q lies
// strictly beyond, or -1; side[k] is the side of edge k that q lies on, for
// each edge tried.
int delaunay::beyond(int t, int q, int turn, int side[3]) const
{
    for (int i = 0; i < 3; ++i) {
        const int k = (i + turn) % 3, h = 3 * t + k;
        side[k] = orient(edges[h].corner, edges[next_edge(h)].corner, q);
        if (side[k] < 0) return h;
    }
    return -1;
}

// The triangle that holds q or has it on an edge, or the hull triangle
// beyond whose hull edge it lies: a walk from triangle t that changes nothing.
int delaunay::locate(int q, int t) const
{
    for (int turn = 0;; turn = (turn + 1) % 3) {
        int side[3];
        const int crossed = beyond(t, q, turn, side);
        if (crossed == -1 || edges[crossed].twin == -1) return t;
        t = edges[crossed].twin / 3;
    }
}

// Joins q inside the piece of the plane of the part, when every triangle the
// walk to it crosses, every triangle whose circle holds it and every
// neighbour of those belongs to the part: those triangles are taken out and
// their hole filled by a fan from q. False, with nothing changed, when any of
// them belongs to another part or to none, or lies on the hull. Such a part
// reads and writes the triangles of its own piece only, so that parts run at
// once without waiting on each other.
bool delaunay::join_in_piece(int q, std::uint8_t part, int& start, size_t& free_slot, part_scratch& scratch)
{
    int t = start;
    for (int turn = 0;; turn = (turn + 1) % 3) {
        if (owner_[static_cast<size_t>(t)] != part) return false;
        int side[3];
        const int crossed = beyond(t, q, turn, side);
        if (crossed == -1) break;
        if (edges[crossed].twin == -1) return false;
        t = edges[crossed].twin / 3;
    }
    // The triangles whose circle holds q, found from the one that holds it,
    // and the edges round them.
    std::vector<int>& cavity = scratch.cavity;
    std::vector<int>& rim = scratch.rim;
    cavity.assign(1, t);
    rim.clear();
    for (size_t i = 0; i < cavity.size(); ++i)
        for (int e = 3 * cavity[i]; e < 3 * cavity[i] + 3; ++e) {
            const int o = edges[e].twin;
            if (o == -1 || owner_[static_cast<size_t>(o / 3)] != part) return false;
            const int nb = o / 3;
            if (std::find(cavity.begin(), cavity.end(), nb) != cavity.end()) continue;
            if (in_circle(edges[3 * nb].corner, edges[3 * nb + 1].corner, edges[3 * nb + 2].corner, q))
                cavity.push_back(nb);
            else
                rim.push_back(e);
        }
    // The hole a node inside a Delaunay triangulation makes has two edges
    // more than triangles (said for safety: nothing is changed otherwise).
    if (rim.size() != cavity.size() + 2) return false;
    auto& sides = scratch.sides;
    sides.clear();
    for (int e : rim) sides.push_back({edges[e].corner, edges[next_edge(e)].corner, edges[e].twin});
    // The fan: a triangle (a, b, q) on each rim edge a->b, in the cavity's
    // triangles and two new ones of the part's own.
    cavity.push_back(static_cast<int>(free_slot++));
    cavity.push_back(static_cast<int>(free_slot++));
    for (size_t i = 0; i < sides.size(); ++i) {
        const int h = 3 * cavity[i];
        edges[static_cast<size_t>(h)] = {sides[i][0], sides[i][2]};
        edges[static_cast<size_t>(sides[i][2])].twin = h;
        edges[static_cast<size_t>(h) + 1] = {sides[i][1], -1};
        edges[static_cast<size_t>(h) + 2] = {q, -1};
    }
    for (size_t i = 0; i < sides.size(); ++i)
        for (size_t j = 0; j < sides.size(); ++j)
            if (sides[j][0] == sides[i][1]) {
                edges[3 * static_cast<size_t>(cavity[i]) + 1].twin = 3 * cavity[j] + 2;
                edges[3 * static_cast<size_t>(cavity[j]) + 2].twin = 3 * cavity[i] + 1;
            }
    start = cavity[0];
    return true;
}

// Joins the nodes of a large round in parts at once. The nodes, numbered
// along the curve, are cut into stretches of the curve, each a compact piece
// of the plane; each part joins the nodes of its stretch that it can join
// inside its piece, and the rest (those near another piece or the hull) are
// joined after, one by one. The result is the one triangulation of the nodes
// (the predicates are exact), joined in another order.
void delaunay::insert_in_parts(const int* nodes, size_t count)
{
    const size_t n = p_.size();
    const auto piece_of = [&](int v) {
        return static_cast<std::uint8_t>(static_cast<size_t>(v) * kTinParts / n);
    };
    // Room for two triangles a node, in a stretch of slots for each part.
    const size_t triangles = used_ / 3, room = triangles + 2 * count;
    if (3 * room > edges.size()) edges.grow(3 * room + 3 * room / 2);
    owner_.assign(room, kShared);
    tin_in_parts(triangles, [&](size_t, size_t begin, size_t end) {
        for (size_t t = begin; t < end; ++t) {
            const int a = edges[3 * t].corner;
            if (a == -1) continue;
            const std::uint8_t part = piece_of(a);
            if (piece_of(edges[3 * t + 1].corner) == part && piece_of(edges[3 * t + 2].corner) == part)
                owner_[t] = part;
        }
    });
    size_t from[kTinParts + 1], slot[kTinParts], stretch_end[kTinParts];
    from[0] = 0;
    from[kTinParts] = count;
    for (size_t k = 1; k < kTinParts; ++k)
        from[k] = static_cast<size_t>(
            std::partition_point(nodes, nodes + count, [&](int v) { return piece_of(v) < k; }) - nodes);
    int start[kTinParts];
    for (size_t k = 0, next = triangles; k < kTinParts; ++k) {
        slot[k] = next;
        std::fill(owner_.begin() + static_cast<std::ptrdiff_t>(next),
                  owner_.begin() + static_cast<std::ptrdiff_t>(next + 2 * (from[k + 1] - from[k])),
                  static_cast<std::uint8_t>(k));
        next += 2 * (from[k + 1] - from[k]);
        stretch_end[k] = next;
        // Each part begins at the triangle of its first node, or at any of
        // its own.
        start[k] = from[k] < from[k + 1] ? locate(nodes[from[k]], last_) : last_;
        if (owner_[static_cast<size_t>(start[k])] != k) {
            const auto own =
                std::find(owner_.begin(), owner_.begin() + static_cast<std::ptrdiff_t>(triangles),
                          static_cast<std::uint8_t>(k));
            start[k] = static_cast<int>(own - owner_.begin());
        }
    }
    used_ = 3 * room;
    std::vector<int> later[kTinParts];
    {
        std::vector<std::jthread> parts;
        const auto join_part = [&](size_t k) {
            part_scratch scratch;
            // A part with no triangle of its own joins none of its nodes here.
            const bool own = static_cast<size_t>(start[k]) < triangles;
            for (size_t j = from[k]; j < from[k + 1]; ++j)
                if (!own ||
                    !join_in_piece(nodes[j], static_cast<std::uint8_t>(k), start[k], slot[k], scratch))
                    later[k].push_back(nodes[j]);
        };
        for (size_t k = 1; k < kTinParts; ++k) parts.emplace_back(join_part, k);
        join_part(0);
    }
    owner_.clear();
    // The slots a part kept for the nodes it left are gaps.
    for (size_t k = 0; k < kTinParts; ++k)
        for (size_t t = slot[k]; t < stretch_end[k]; ++t) edges[3 * t].corner = -1;
    for (size_t k = 0; k < kTinParts; ++k)
        if (static_cast<size_t>(start[k]) < room && edges[3 * static_cast<size_t>(start[k])].corner != -1)
            last_ = start[k];
    for (const std::vector<int>& nodes_left : later)
        for (int q : nodes_left) insert(q);
}

tin_status delaunay::run(const std::vector<int>& order, const std::vector<size_t>& rounds)
{
    const int n = static_cast<int>(p_.size());
    next_.assign(n, -1);
    prev_.assign(n, -1);
    hull_edge_.assign(n, -1);
    edges.grow(static_cast<size_t>(n) * 6);
    // The leading nodes on the line through the first two.
    size_t k = 2;
    while (k < order.size() && orient(order[0], order[1], order[k]) == 0) ++k;
    if (k == order.size()) return tin_status::collinear;
    std::vector<int> line(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(k));
    std::sort(line.begin(), line.end(),
              [&](int a, int b) { return p_[a].x < p_[b].x || (p_[a].x == p_[b].x && p_[a].y < p_[b].y); });
    seed(line, order[k]);
    for (size_t r = 0; r + 1 < rounds.size(); ++r) {
        const size_t begin = std::max(rounds[r], k + 1), end = rounds[r + 1];
        if (begin >= end) continue;
        if (end - begin >= kRoundInParts) {
            insert_in_parts(order.data() + begin, end - begin);
            continue;
        }
        for (size_t j = begin; j < end; ++j) insert(order[j]);
    }
    return tin_status::ok;
}

// The distance along a Hilbert curve through a grid of 2^16 by 2^16 cells of
// the cell (x, y): cells near each other on the curve are near each other in
// the plane. Each level picks the quadrant and turns the cell into the
// quadrant's own frame, so that the curve inside it starts where it enters;
// without branches, since the quadrants follow no pattern a processor could
// guess.
std::uint32_t hilbert_distance(std::uint32_t x, std::uint32_t y)
{
    std::uint32_t d = 0;
    for (int level = 15; level >= 0; --level) {
        const std::uint32_t rx = (x >> level) & 1u, ry = (y >> level) & 1u;
        d |= ((3u * rx) ^ ry) << (2 * level);
        const std::uint32_t mirror = (0u - (rx & (ry ^ 1u))) & 0xFFFFu;  // rx 1, ry 0
        x ^= mirror;
        y ^= mirror;
        const std::uint32_t swap = (x ^ y) & (0u - (ry ^ 1u));  // ry 0
        x ^= swap;
        y ^= swap;
    }
    return d;
}

// A node's place on the curve, with its position in the list given and its
// place in the plane (carried along, so that the sorted nodes are not looked
// up again in the list given, in an order that jumps about in memory).
struct curve_node {
    std::uint32_t distance;
    std::int32_t at;
    double x, y;
};

// Sorts by distance along the curve, keeping the order of equal ones: three
// passes of a radix sort, 11 bits at a time from the lowest.
void sort_by_distance(std::vector<curve_node>& nodes)
{
    std::vector<curve_node> other(nodes.size());
    for (int shift = 0; shift < 32; shift += 11) {
        std::vector<size_t> start(2049, 0);
        for (const curve_node& c : nodes) ++start[((c.distance >> shift) & 2047u) + 1];
        for (size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
        for (const curve_node& c : nodes) other[start[(c.distance >> shift) & 2047u]++] = c;
        nodes.swap(other);
    }
}

// The nodes along the curve through their box, and of one cell in the order
// of x, then y, then position, so that repeated nodes follow each other, the
// earliest first.
std::vector<curve_node> nodes_along_curve(const tin_node_list& nodes)
{
    double low_x = nodes[0].x, high_x = low_x, low_y = nodes[0].y, high_y = low_y;
    for (const tin_node_rec& p : nodes) {
        low_x = std::min(low_x, p.x);
        high_x = std::max(high_x, p.x);
        low_y = std::min(low_y, p.y);
        high_y = std::max(high_y, p.y);
    }
    constexpr double kCells = 65535.0;
    const double across_x = high_x > low_x ? kCells / (high_x - low_x) : 0.0;
    const double across_y = high_y > low_y ? kCells / (high_y - low_y) : 0.0;
    // Cell 0 also takes a place that is not a number, whose conversion to
    // an integer would be undefined.
    const auto cell = [&](double v) {
        return v > 0.0 ? static_cast<std::uint32_t>(std::min(v, kCells)) : 0u;
    };
    std::vector<curve_node> out(nodes.size());
    tin_in_parts(nodes.size(), [&](size_t, size_t begin, size_t end) {
        for (size_t k = begin; k < end; ++k) {
            const double x = nodes[k].x, y = nodes[k].y;
            out[k] = {hilbert_distance(cell((x - low_x) * across_x), cell((y - low_y) * across_y)),
                      static_cast<std::int32_t>(k), x, y};
        }
    });
    sort_by_distance(out);
    // Nodes that share a cell are few: put them in order where they lie.
    for (size_t k = 0; k < out.size();) {
        size_t end = k + 1;
        while (end < out.size() && out[end].distance == out[k].distance) ++end;
        if (end - k > 1)
            std::sort(out.begin() + static_cast<std::ptrdiff_t>(k),
                      out.begin() + static_cast<std::ptrdiff_t>(end),
                      [](const curve_node& a, const curve_node& b) {
                          return a.x < b.x || (a.x == b.x && (a.y < b.y || (a.y == b.y && a.at < b.at)));
                      });
        k = end;
    }
    return out;
}

// The order the n nodes (numbered along the curve) are joined in: a node goes
// to round r with chance 2^-(r + 1) (by a fixed scramble of its number, so
// that the result is the same every time), the last round taking the rest,
// and the rounds are taken from the sparsest, each along the curve. The
// sparsest holds some dozens of nodes.
std::vector<int> joining_order(int n, std::vector<size_t>& rounds)
{
    int count = 1;
    while ((n >> count) > 64) ++count;
    std::vector<std::uint8_t> round(static_cast<size_t>(n));
    std::vector<size_t> start(static_cast<size_t>(count) + 1, 0);
    for (int k = 0; k < n; ++k) {
        std::uint32_t h = static_cast<std::uint32_t>(k) * 0x9E3779B1u;
        h ^= h >> 16;
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
        const int r = std::min(std::countr_zero(h | (1u << 31)), count - 1);
        // Round count - 1 is taken first.
        round[static_cast<size_t>(k)] = static_cast<std::uint8_t>(count - 1 - r);
        ++start[static_cast<size_t>(count - r)];
    }
    for (size_t r = 1; r < start.size(); ++r) start[r] += start[r - 1];
    rounds = start;
    std::vector<int> order(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) order[start[round[static_cast<size_t>(k)]]++] = k;
    return order;
}

}  // namespace

tin_result tin_triangulate(const tin_node_list& nodes)
{
    tin_result result;
    if (nodes.empty()) {
        result.status = tin_status::too_few_unique;
        return result;
    }
    // The first of each run of equal x and y stands for the run; the nodes
    // are numbered in the order along the curve.
    std::vector<xy> pts;
    std::vector<int> at;
    {
        const std::vector<curve_node> along = nodes_along_curve(nodes);
        pts.reserve(along.size());
        at.reserve(along.size());
        for (const curve_node& c : along) {
            if (!pts.empty() && pts.back().x == c.x && pts.back().y == c.y) continue;
            pts.push_back({c.x, c.y});
            at.push_back(c.at);
        }
    }
    result.unique = static_cast<int>(pts.size());
    if (pts.size() < 3) {
        result.status = tin_status::too_few_unique;
        return result;
    }
    delaunay d(std::move(pts));
    std::vector<size_t> rounds;
    const std::vector<int> order = joining_order(result.unique, rounds);
    result.status = d.run(order, rounds);
    if (result.status != tin_status::ok) return result;
    // The triangles in the order of their first corner along the curve, so
    // that a reader of the faces goes along it too (a counting sort).
    const size_t slots = d.used() / 3;
    const auto first_corner = [&](size_t t) {
        return std::min({d.edges[3 * t].corner, d.edges[3 * t + 1].corner, d.edges[3 * t + 2].corner});
    };
    std::vector<std::int32_t> place(at.size() + 1, 0);
    size_t count = 0;
    for (size_t t = 0; t < slots; ++t)
        if (d.edges[3 * t].corner != -1) {
            ++place[static_cast<size_t>(first_corner(t)) + 1];
            ++count;
        }
    for (size_t k = 1; k < place.size(); ++k) place[k] += place[k - 1];
    result.triangles.resize(count);
    for (size_t t = 0; t < slots; ++t) {
        if (d.edges[3 * t].corner == -1) continue;
        const int a = d.edges[3 * t].corner, b = d.edges[3 * t + 1].corner, c = d.edges[3 * t + 2].corner;
        const std::int32_t k = place[static_cast<size_t>(std::min({a, b, c}))]++;
        result.triangles[static_cast<size_t>(k)] = {k, a, b, c};
    }
    result.order = std::move(at);
    return result;
}

tin_tri_list tin_triangles_in_list(const tin_result& result)
{
    tin_tri_list out = result.triangles;
    for (tin_tri_rec& t : out) {
        t.a = result.order[static_cast<size_t>(t.a)];
        t.b = result.order[static_cast<size_t>(t.b)];
        t.c = result.order[static_cast<size_t>(t.c)];
    }
    return out;
}
