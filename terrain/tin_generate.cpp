// TIN generation: selected POINTs to triangular 3DFACEs on the layer "TIN".
// A new TIN takes the place of the earlier faces that lie within its own
// area, so that generating again (after adding breakline points) leaves one
// set of faces there; a TIN elsewhere in the drawing stays as it is.
#include "tin_generate.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "entity_makers.h"
#include "entity_readers.h"
#include "geometry.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "tin_parts.h"
#include "tin_predicates.h"
#include "tin_triangulate.h"

namespace {

using plan_triangle = std::array<point3d_rec, 3>;

// The area of a set of triangles, for the question whether a point lies in it
// (on its edges counts as in): the triangles are listed in the cells of a
// grid that their boxes meet.
class tin_area {
public:
    explicit tin_area(const std::vector<plan_triangle>& triangles) : triangles_(triangles)
    {
        if (triangles.empty()) return;
        low_ = high_ = triangles[0][0];
        for (const plan_triangle& t : triangles)
            for (const point3d_rec& p : t) {
                low_.x = std::min(low_.x, p.x);
                low_.y = std::min(low_.y, p.y);
                high_.x = std::max(high_.x, p.x);
                high_.y = std::max(high_.y, p.y);
            }
        // About as many cells as triangles, shaped to the area's box, so
        // that a long thin area does not make cells of no size.
        const double n = static_cast<double>(triangles.size());
        const double width = high_.x - low_.x, height = high_.y - low_.y;
        const double aspect = height > 0.0 ? width / height : n;
        cols_ = static_cast<long>(std::clamp(std::round(std::sqrt(n * aspect)), 1.0, n));
        rows_ = static_cast<long>(std::clamp(std::round(n / static_cast<double>(cols_)), 1.0, n));
        cell_w_ = width > 0.0 ? width / static_cast<double>(cols_) : 1.0;
        cell_h_ = height > 0.0 ? height / static_cast<double>(rows_) : 1.0;
        // Two passes: count each cell's triangles, then list them in place.
        start_.assign(static_cast<size_t>(cols_ * rows_) + 1, 0);
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<long> fill;
            if (pass == 1) {
                for (size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
                items_.resize(static_cast<size_t>(start_.back()));
                fill.assign(start_.begin(), start_.end() - 1);
            }
            for (size_t k = 0; k < triangles.size(); ++k) {
                const plan_triangle& t = triangles[k];
                const long x0 = col(std::min({t[0].x, t[1].x, t[2].x})),
                           x1 = col(std::max({t[0].x, t[1].x, t[2].x}));
                const long y0 = row(std::min({t[0].y, t[1].y, t[2].y})),
                           y1 = row(std::max({t[0].y, t[1].y, t[2].y}));
                for (long j = y0; j <= y1; ++j)
                    for (long i = x0; i <= x1; ++i) {
                        const long cell = j * cols_ + i;
                        if (pass == 0)
                            ++start_[cell + 1];
                        else
                            items_[fill[cell]++] = static_cast<int>(k);
                    }
            }
        }
    }

    bool contains(double x, double y) const
    {
        if (triangles_.empty() || x < low_.x || x > high_.x || y < low_.y || y > high_.y) return false;
        const long cell = row(y) * cols_ + col(x);
        for (long item = start_[cell]; item < start_[cell + 1]; ++item) {
            const plan_triangle& t = triangles_[items_[item]];
            const int s0 = tin_orient(t[0].x, t[0].y, t[1].x, t[1].y, x, y);
            const int s1 = tin_orient(t[1].x, t[1].y, t[2].x, t[2].y, x, y);
            const int s2 = tin_orient(t[2].x, t[2].y, t[0].x, t[0].y, x, y);
            const bool any_left = s0 > 0 || s1 > 0 || s2 > 0, any_right = s0 < 0 || s1 < 0 || s2 < 0;
            if (!(any_left && any_right)) return true;
        }
        return false;
    }

private:
    const std::vector<plan_triangle>& triangles_;
    point3d_rec low_, high_;
    long cols_ = 1, rows_ = 1;
    double cell_w_ = 1.0, cell_h_ = 1.0;
    std::vector<long> start_;  // cell c lists items_[start_[c]] to items_[start_[c + 1] - 1]
    std::vector<int> items_;

    long col(double x) const
    {
        return std::clamp(static_cast<long>(std::floor((x - low_.x) / cell_w_)), 0L, cols_ - 1);
    }
    long row(double y) const
    {
        return std::clamp(static_cast<long>(std::floor((y - low_.y) / cell_h_)), 0L, rows_ - 1);
    }
};

using plan_key = std::array<std::pair<double, double>, 3>;

// A face's plan corners in a fixed order, so that the same triangle listed
// from another corner compares equal.
plan_key plan_key_of(const plan_triangle& t)
{
    plan_key k = {{{t[0].x, t[0].y}, {t[1].x, t[1].y}, {t[2].x, t[2].y}}};
    std::sort(k.begin(), k.end());
    return k;
}

// An earlier face lies within the new TIN when it is one of the new
// triangles, or when its corners and its centroid lie in the new faces' area
// (a face beside the new TIN, with its corners on the new TIN's outline, has
// its centroid outside).
bool tin_face_within(const plan_triangle& face, const tin_area& area, const std::vector<plan_key>& same)
{
    if (std::binary_search(same.begin(), same.end(), plan_key_of(face))) return true;
    for (const point3d_rec& p : face)
        if (!area.contains(p.x, p.y)) return false;
    return area.contains((face[0].x + face[1].x + face[2].x) / 3.0,
                         (face[0].y + face[1].y + face[2].y) / 3.0);
}

// An earlier face of the TIN layer in the new TIN's box.
struct tin_earlier_face {
    ads_name entity;
    plan_triangle corners;
};

std::vector<tin_earlier_face> tin_earlier_faces(const std::vector<plan_triangle>& fresh)
{
    std::vector<tin_earlier_face> found;
    point3d_rec low = fresh[0][0], high = fresh[0][0];
    for (const plan_triangle& t : fresh)
        for (const point3d_rec& p : t) {
            low.x = std::min(low.x, p.x);
            low.y = std::min(low.y, p.y);
            high.x = std::max(high.x, p.x);
            high.y = std::max(high.y, p.y);
        }
    ads_name ss;
    long length = 0;
    if (!ss_crossing_type("3DFACE", low, high, ss, length)) return found;
    const std::string& tin_layer = tin_cfg().tin_layer;
    for (long i = 0; i < length; ++i) {
        point3d_rec c[4];
        std::string layer;
        tin_earlier_face face;
        if (!ss_3dface_get(ss, i, c, layer) || strcasecmp(layer.c_str(), tin_layer.c_str()) != 0) continue;
        if (acedSSName(ss, i, face.entity) != RTNORM) continue;
        face.corners = {c[0], c[1], c[2]};
        found.push_back(face);
    }
    acedSSFree(ss);
    return found;
}

// The plan corners of the faces.
std::vector<plan_triangle> tin_plan_triangles(const tin_faces_rec& faces, const tin_point_list& points)
{
    std::vector<plan_triangle> out;
    out.reserve(faces.kept.size());
    for (const tin_tri_rec& t : faces.kept) {
        const tin_point_rec &a = points[t.a], &b = points[t.b], &c = points[t.c];
        out.push_back({point3d_rec{a.x, a.y, a.z}, point3d_rec{b.x, b.y, b.z}, point3d_rec{c.x, c.y, c.z}});
    }
    return out;
}

// Erases the faces of the TIN layer that lie within the new faces' area;
// returns the number erased, and counts in `kept_locked` those the host would
// not erase.
long tin_replace_earlier_faces(const tin_faces_rec& faces, const tin_point_list& points, long& kept_locked)
{
    kept_locked = 0;
    if (faces.kept.empty()) return 0;
    // A drawing without a 3DFACE has nothing to replace. That is asked first,
    // by type alone: the crossing selection of the earlier faces brings the
    // drawing's spatial index up to date with every entity, which on a fresh
    // drawing of points costs more than writing the TIN.
    ads_name any;
    long length = 0;
    if (!ss_all_type("3DFACE", any, length)) return 0;
    acedSSFree(any);
    const std::vector<plan_triangle> fresh = tin_plan_triangles(faces, points);
    const std::vector<tin_earlier_face> earlier = tin_earlier_faces(fresh);
    if (earlier.empty()) return 0;
    const tin_area area(fresh);
    std::vector<plan_key> same;
    same.reserve(fresh.size());
    for (const plan_triangle& t : fresh) same.push_back(plan_key_of(t));
    std::sort(same.begin(), same.end());
    long erased = 0;
    for (const tin_earlier_face& face : earlier) {
        if (!tin_face_within(face.corners, area, same)) continue;
        if (acdbEntDel(face.entity) == RTNORM)
            ++erased;
        else
            ++kept_locked;
    }
    return erased;
}

}  // namespace

int tin_select_points()
{
    tin_cfg_rec& cfg = tin_cfg();
    long length = 0;
    if (!ss_select_type("POINT", cfg.ss, length)) {
        cfg.ss_length = 0;
        return 0;
    }
    cfg.ss_length = length;
    if (length < 3) return 0;
    acutPrintf("\nFound :%i", static_cast<int>(length));
    return 1;
}

void tin_read_points(tin_point_list& points)
{
    const tin_cfg_rec& cfg = tin_cfg();
    points.reserve(points.size() + static_cast<size_t>(cfg.ss_length));
    for (long i = 0; i < cfg.ss_length; ++i) {
        ads_name entity;
        if (acedSSName(cfg.ss, i, entity) != RTNORM) continue;
        resbuf* list = acdbEntGet(entity);
        if (!list) continue;
        point3d_rec p;
        rb_get_point(list, 10, p, 1);
        acutRelRb(list);
        tin_point_push(points, p.x, p.y, p.z);
    }
}

namespace {

// Whether the side from a to b is longer than the limit, as dist_2d judges
// it. Millions of sides are judged: the square root is taken only for a side
// whose square lies within rounding of the limit's.
class side_limit {
public:
    explicit side_limit(double limit)
        : limit_(limit), below_(limit * limit * (1.0 - 1e-9)), above_(limit * limit * (1.0 + 1e-9))
    {
        // No shortcut for a limit that is not above 0.
        if (!(limit > 0.0)) {
            below_ = -1.0;
            above_ = std::numeric_limits<double>::infinity();
        }
    }
    bool longer(const tin_point_rec& a, const tin_point_rec& b) const
    {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double square = dx * dx + dy * dy;
        if (square < below_) return false;
        if (square > above_) return true;
        return dist_2d(point3d_rec{a.x, a.y, a.z}, point3d_rec{b.x, b.y, b.z}) > limit_;
    }

private:
    double limit_, below_, above_;
};

}  // namespace

tin_faces_rec tin_faces_within_distance(const tin_tri_list& output, const tin_point_list& points)
{
    const side_limit side(tin_cfg().max_distance);
    // Judged in parts at once; each part keeps its faces in its own stretch of
    // the list, in their order, and the stretches are closed up after.
    tin_faces_rec faces;
    faces.kept.resize(output.size());
    std::vector<size_t> kept(kTinParts, 0), start(kTinParts, 0);
    std::vector<long> dropped(kTinParts, 0);
    tin_in_parts(output.size(), [&](size_t part, size_t begin, size_t end) {
        start[part] = begin;
        for (size_t k = begin; k < end; ++k) {
            const tin_tri_rec& tri = output[k];
            const tin_point_rec& a = points[tri.a];
            const tin_point_rec& b = points[tri.b];
            const tin_point_rec& c = points[tri.c];
            if (side.longer(a, b) || side.longer(b, c) || side.longer(c, a))
                ++dropped[part];
            else
                faces.kept[begin + kept[part]++] = tri;
        }
    });
    size_t size = 0;
    for (size_t part = 0; part < kTinParts; ++part) {
        const auto from = faces.kept.begin() + static_cast<std::ptrdiff_t>(start[part]);
        if (start[part] != size)
            std::copy(from, from + static_cast<std::ptrdiff_t>(kept[part]),
                      faces.kept.begin() + static_cast<std::ptrdiff_t>(size));
        size += kept[part];
        faces.dropped += dropped[part];
    }
    faces.kept.resize(size);
    return faces;
}

long tin_write_faces(const tin_faces_rec& faces, const tin_point_list& points)
{
    face_list_maker face(tin_cfg().tin_layer);
    long made = 0;
    const auto corner = [&](std::int32_t at) {
        const tin_point_rec& p = points[at];
        return point3d_rec{p.x, p.y, p.z};
    };
    for (const tin_tri_rec& t : faces.kept)
        if (face.make(corner(t.a), corner(t.b), corner(t.c)) == RTNORM) ++made;
    return made;
}

bool tin_build_from_points(int /*hull_flag: the hull is always filled*/)
{
    acutPrintf("\rReading Nodes....");
    tin_point_list points;
    tin_read_points(points);
    tin_node_list nodes;
    nodes.reserve(points.size());
    for (const tin_point_rec& p : points) tin_node_push(nodes, p.x, p.y);
    acutPrintf("Done\n");

    acutPrintf("\rSorting %d Points....", static_cast<int>(nodes.size()));
    const tin_result result = tin_triangulate(nodes);
    acutPrintf("Done.\n");
    if (result.status == tin_status::too_few_unique) {
        acutPrintf("Less than 3 unique points! %d\n ", result.unique);
        return false;
    }
    if (result.status == tin_status::collinear) {
        acutPrintf("All %d unique points lie on one line: no triangle can be made.\n", result.unique);
        return false;
    }
    // The points in the triangulator's order, so that the faces read their
    // corners in step with memory; the list as read is done with.
    tin_point_list ordered(result.order.size());
    tin_in_parts(ordered.size(), [&](size_t, size_t begin, size_t end) {
        for (size_t k = begin; k < end; ++k) ordered[k] = points[static_cast<size_t>(result.order[k])];
    });
    tin_point_list().swap(points);
    tin_node_list().swap(nodes);
    const tin_faces_rec faces = tin_faces_within_distance(result.triangles, ordered);
    if (faces.dropped > 0)
        acutPrintf(
            "%ld of %ld triangles have a side longer than the maximum distance %.3f and are left out.\n",
            faces.dropped, static_cast<long>(result.triangles.size()), tin_cfg().max_distance);
    if (faces.kept.empty()) {
        acutPrintf("No triangle is within the maximum distance: nothing written.\n");
        return false;
    }
    long locked = 0;
    const long replaced = tin_replace_earlier_faces(faces, ordered, locked);
    if (replaced > 0) acutPrintf("%ld earlier faces within the new TIN's area replaced.\n", replaced);
    if (locked > 0) acutPrintf("%ld earlier faces within the new TIN's area could not be erased.\n", locked);
    acutPrintf("\rWriting %d Triangles....", static_cast<int>(faces.kept.size()));
    const long made = tin_write_faces(faces, ordered);
    acutPrintf("Done.\n");
    if (made < static_cast<long>(faces.kept.size()))
        acutPrintf("%ld of %ld faces could not be made.\n", static_cast<long>(faces.kept.size()) - made,
                   static_cast<long>(faces.kept.size()));
    return made > 0;
}

void tin_generate()
{
    if (!tin_build_from_points(1)) {
        acutPrintf("Triangulation Failed!\n");
        return;
    }
    acutPrintf("Triangle Created.\n");
}

void tin_generate_cmd()
{
    if (!tin_tool_proceed("\nThis program generate TIN.")) return;
    tin_cfg_init();
    tin_cfg_rec& cfg = tin_cfg();
    // eXit leaves the command and keeps the setting; 0 would write no face.
    if (!tin_prompt_real_or_exit("Maximum Distance", "maximum distance", 0.0, true, cfg.max_distance)) return;
    if (tin_select_points()) tin_generate();
    if (cfg.ss_length > 0 || cfg.ss[0] || cfg.ss[1]) acedSSFree(cfg.ss);
    cfg.ss[0] = cfg.ss[1] = 0;
    cfg.ss_length = 0;
}
