// Sweep-hull Delaunay triangulation. The nodes are sorted by their distance
// from the circumcentre of a seed triangle and added in that order; each new
// node lies outside the hull so far and is joined to every hull edge it sees,
// and every new edge is made locally Delaunay by flips. Triangles are kept as
// half-edges: edge h runs from corner h to corner next(h) of triangle h / 3,
// and opposite[h] is the twin edge of the neighbour (-1 on the hull).
#include "tin_triangulate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

struct xy {
    double x, y;
};

double cross(const xy& a, const xy& b, const xy& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Positive when p lies strictly inside the circle through the counter-clockwise
// triangle a, b, c.
double in_circle(const xy& a, const xy& b, const xy& c, const xy& p)
{
    const double adx = a.x - p.x, ady = a.y - p.y;
    const double bdx = b.x - p.x, bdy = b.y - p.y;
    const double cdx = c.x - p.x, cdy = c.y - p.y;
    const double ad = adx * adx + ady * ady, bd = bdx * bdx + bdy * bdy, cd = cdx * cdx + cdy * cdy;
    return ad * (bdx * cdy - cdx * bdy) - bd * (adx * cdy - cdx * ady) + cd * (adx * bdy - bdx * ady);
}

double circumradius2(const xy& a, const xy& b, const xy& c)
{
    const double dx = b.x - a.x, dy = b.y - a.y, ex = c.x - a.x, ey = c.y - a.y;
    const double bl = dx * dx + dy * dy, cl = ex * ex + ey * ey, d = 0.5 / (dx * ey - dy * ex);
    const double x = (ey * bl - dy * cl) * d, y = (dx * cl - ex * bl) * d;
    const double r = x * x + y * y;
    return std::isfinite(r) ? r : std::numeric_limits<double>::infinity();
}

xy circumcentre(const xy& a, const xy& b, const xy& c)
{
    const double dx = b.x - a.x, dy = b.y - a.y, ex = c.x - a.x, ey = c.y - a.y;
    const double bl = dx * dx + dy * dy, cl = ex * ex + ey * ey, d = 0.5 / (dx * ey - dy * ex);
    return {a.x + (ey * bl - dy * cl) * d, a.y + (dx * cl - ex * bl) * d};
}

double dist2(const xy& a, const xy& b)
{
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

// A monotone stand-in for the direction angle, in [0, 1).
double pseudo_angle(double dx, double dy)
{
    const double p = dx / (std::fabs(dx) + std::fabs(dy));
    return (dy > 0.0 ? 3.0 - p : 1.0 + p) / 4.0;
}

class sweep {
public:
    explicit sweep(std::vector<xy> pts) : p_(std::move(pts)) {}
    tin_status run();
    std::vector<int> corners;  // three per triangle

private:
    std::vector<xy> p_;
    std::vector<int> opposite_;
    std::vector<int> next_, prev_, hull_edge_, hash_;
    std::vector<int> stack_;
    xy centre_{};
    int hash_size_ = 0;

    int hash_key(const xy& q) const
    {
        const int k =
            static_cast<int>(std::floor(pseudo_angle(q.x - centre_.x, q.y - centre_.y) * hash_size_));
        return ((k % hash_size_) + hash_size_) % hash_size_;
    }
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
    bool visible(int from, int to, const xy& q) const { return cross(p_[from], p_[to], q) < 0.0; }
};

// Flips edge a while the far corner of its neighbour lies inside its
// triangle's circle, and then the two edges the flip exposes.
//
//           pl                    pl
//          /||\                  /  \
//       al/ || \bl            al/    \a
//        /  ||  \              /      \
//       /  a||b  \    flip    /___ar___\
//     p0\   ||   /p1   =>   p0\---bl---/p1
//        \  ||  /              \      /
//       ar\ || /br             b\    /br
//          \||/                  \  /
//           pr                    pr
void sweep::legalize(int a)
{
    stack_.clear();
    while (true) {
        const int b = opposite_[a];
        const int a0 = a - a % 3;
        const int ar = a0 + (a + 2) % 3;
        if (b == -1) {
            if (stack_.empty()) return;
            a = stack_.back();
            stack_.pop_back();
            continue;
        }
        const int b0 = b - b % 3;
        const int al = a0 + (a + 1) % 3;
        const int bl = b0 + (b + 2) % 3;
        const int p0 = corners[ar], pr = corners[a], pl = corners[al], p1 = corners[bl];
        if (in_circle(p_[p0], p_[pr], p_[pl], p_[p1]) > 0.0) {
            corners[a] = p1;
            corners[b] = p0;
            const int hbl = opposite_[bl], har = opposite_[ar];
            // Hull edges that change their half-edge number.
            if (hbl == -1) hull_edge_[p1] = a;
            if (har == -1) hull_edge_[p0] = b;
            link(a, hbl);
            link(b, har);
            link(ar, bl);
            stack_.push_back(b0 + (b + 1) % 3);
        } else {
            if (stack_.empty()) return;
            a = stack_.back();
            stack_.pop_back();
        }
    }
}

tin_status sweep::run()
{
    const int n = static_cast<int>(p_.size());
    double minx = p_[0].x, miny = p_[0].y, maxx = minx, maxy = miny;
    for (const xy& q : p_) {
        minx = std::min(minx, q.x);
        miny = std::min(miny, q.y);
        maxx = std::max(maxx, q.x);
        maxy = std::max(maxy, q.y);
    }
    const xy mid{(minx + maxx) / 2, (miny + maxy) / 2};
    int i0 = 0, i1 = -1, i2 = -1;
    for (int i = 1; i < n; ++i)
        if (dist2(p_[i], mid) < dist2(p_[i0], mid)) i0 = i;
    double best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < n; ++i) {
        const double d = dist2(p_[i], p_[i0]);
        if (i != i0 && d < best && d > 0.0) {
            best = d;
            i1 = i;
        }
    }
    best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < n; ++i) {
        if (i == i0 || i == i1) continue;
        const double r = circumradius2(p_[i0], p_[i1], p_[i]);
        if (r < best) {
            best = r;
            i2 = i;
        }
    }
    if (i1 < 0 || i2 < 0 || !std::isfinite(best) || cross(p_[i0], p_[i1], p_[i2]) == 0.0)
        return tin_status::collinear;
    if (cross(p_[i0], p_[i1], p_[i2]) < 0.0) std::swap(i1, i2);
    centre_ = circumcentre(p_[i0], p_[i1], p_[i2]);

    std::vector<double> d(n);
    for (int i = 0; i < n; ++i) d[i] = dist2(p_[i], centre_);
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return d[a] < d[b] || (d[a] == d[b] && a < b); });

    hash_size_ = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n)))));
    hash_.assign(hash_size_, -1);
    next_.assign(n, -1);
    prev_.assign(n, -1);
    hull_edge_.assign(n, -1);
    corners.reserve(static_cast<size_t>(n) * 6);
    opposite_.reserve(static_cast<size_t>(n) * 6);

    int hull_start = i0;
    next_[i0] = prev_[i2] = i1;
    next_[i1] = prev_[i0] = i2;
    next_[i2] = prev_[i1] = i0;
    hull_edge_[i0] = 0;
    hull_edge_[i1] = 1;
    hull_edge_[i2] = 2;
    hash_[hash_key(p_[i0])] = i0;
    hash_[hash_key(p_[i1])] = i1;
    hash_[hash_key(p_[i2])] = i2;
    add_triangle(i0, i1, i2, -1, -1, -1);

    for (int i : order) {
        if (i == i0 || i == i1 || i == i2) continue;
        const xy& q = p_[i];
        // A hull node near q's direction, then the first hull edge q sees.
        const int key = hash_key(q);
        int start = -1;
        for (int j = 0; j < hash_size_; ++j) {
            start = hash_[(key + j) % hash_size_];
            if (start != -1 && start != next_[start]) break;
        }
        start = prev_[start];
        int e = start;
        while (!visible(e, next_[e], q)) {
            e = next_[e];
            if (e == start) {
                e = -1;
                break;
            }
        }
        if (e == -1) continue;  // not outside the hull: cannot happen for distinct nodes

        int t = add_triangle(e, i, next_[e], -1, -1, hull_edge_[e]);
        hull_edge_[e] = t;
        hull_edge_[i] = t + 1;
        legalize(t + 2);

        int nn = next_[e];
        while (visible(nn, next_[nn], q)) {
            const int qn = next_[nn];
            t = add_triangle(nn, i, qn, hull_edge_[i], -1, hull_edge_[nn]);
            hull_edge_[i] = t + 1;
            legalize(t + 2);
            next_[nn] = nn;  // off the hull
            nn = qn;
        }
        if (e == start) {
            while (visible(prev_[e], e, q)) {
                const int qp = prev_[e];
                t = add_triangle(qp, i, e, -1, hull_edge_[e], hull_edge_[qp]);
                hull_edge_[qp] = t;
                legalize(t + 2);
                next_[e] = e;
                e = qp;
            }
        }
        hull_start = prev_[i] = e;
        next_[e] = i;
        prev_[nn] = i;
        next_[i] = nn;
        hash_[hash_key(q)] = i;
        hash_[hash_key(p_[e])] = e;
    }
    (void)hull_start;
    return tin_status::ok;
}

}  // namespace

std::vector<int> tin_unique_positions(const tin_node_list& nodes)
{
    std::vector<int> order(nodes.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        if (nodes[a].x != nodes[b].x) return nodes[a].x < nodes[b].x;
        if (nodes[a].y != nodes[b].y) return nodes[a].y < nodes[b].y;
        return a < b;
    });
    std::vector<int> keep;
    for (size_t k = 0; k < order.size(); ++k) {
        const tin_node_rec& here = nodes[order[k]];
        if (k > 0 && nodes[order[k - 1]].x == here.x && nodes[order[k - 1]].y == here.y) continue;
        keep.push_back(order[k]);
    }
    std::sort(keep.begin(), keep.end());
    return keep;
}

tin_result tin_triangulate(const tin_node_list& nodes)
{
    tin_result result;
    const std::vector<int> keep = tin_unique_positions(nodes);
    result.unique = static_cast<int>(keep.size());
    if (keep.size() < 3) {
        result.status = tin_status::too_few_unique;
        return result;
    }
    // Coordinates relative to the first node keep the predicates' digits
    // for the data rather than for large grid offsets.
    const double ox = nodes[keep[0]].x, oy = nodes[keep[0]].y;
    std::vector<xy> pts;
    pts.reserve(keep.size());
    for (int k : keep) pts.push_back({nodes[k].x - ox, nodes[k].y - oy});
    sweep s(std::move(pts));
    result.status = s.run();
    if (result.status != tin_status::ok) return result;
    const size_t count = s.corners.size() / 3;
    result.triangles.reserve(count);
    for (size_t t = 0; t < count; ++t) {
        tin_tri_rec tri;
        tri.id = static_cast<std::int32_t>(t);
        tin_tri_set_corners(tri, keep[s.corners[3 * t]], keep[s.corners[3 * t + 1]],
                            keep[s.corners[3 * t + 2]]);
        result.triangles.push_back(tri);
    }
    return result;
}
