// Contours from the TIN. Each face is cut only at the levels its height range
// spans. The pieces of a level are joined through the TIN edges they share:
// the crossing on an edge is worked out once, from the edge's own corners, and
// the two faces beside the edge both end a piece there. So a contour is one
// polyline from the TIN's outline to its outline, or closed, however thin the
// faces it passes; no distance decides what joins.
#include "tin_contour.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <numeric>

#include "dialog_conventions.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "geometry.h"
#include "numbers.h"
#include "selection_sets.h"

namespace {

// More levels than this are refused: a tiny interval over a large range
// would otherwise run for ever.
constexpr long kMaxLevels = 1000000;
// A corner exactly on a level counts this much below it, so the contour
// passes beside the corner and no piece of no length is made.
constexpr double kCornerDrop = 0.001;
// Consecutive contour vertices nearer than this are written once.
constexpr double kVertexSpacing = 0.0001;

// The faces as a mesh: corners met again at the same x and y are one vertex
// (numbered in the order first met), and a side is one edge for the faces on
// both sides of it, named by its two vertices, the lower first.
struct cnt_mesh {
    tin_point_list vertices;
    std::vector<std::array<int, 3>> faces;  // vertex ids
};

using cnt_edge = std::uint64_t;

cnt_edge cnt_edge_of(int a, int b)
{
    const int lo = std::min(a, b), hi = std::max(a, b);
    return (static_cast<std::uint64_t>(lo) << 32) | static_cast<std::uint32_t>(hi);
}

int cnt_edge_low(cnt_edge e)
{
    return static_cast<int>(e >> 32);
}

int cnt_edge_high(cnt_edge e)
{
    return static_cast<int>(e & 0xffffffffu);
}

// The vertex of every corner: corners with the same x and y share the vertex
// of the first of them. The corners are dealt to the cells of a grid over
// their box (about one cell per face), column by column, so that equal
// corners meet in one small cell; a TIN's faces come along its columns, so
// both passes stay within a few cells' memory at a time. Corners that are not
// finite share with none.
std::vector<int> cnt_corner_vertices(const tin_point_list& corners, tin_point_list& vertices)
{
    const size_t n = corners.size();
    std::vector<int> vertex(n, -1);
    double low_x = 0, low_y = 0, high_x = 0, high_y = 0;
    bool any = false;
    for (const tin_point_rec& p : corners) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        if (!any) {
            low_x = high_x = p.x;
            low_y = high_y = p.y;
            any = true;
        }
        low_x = std::min(low_x, p.x);
        high_x = std::max(high_x, p.x);
        low_y = std::min(low_y, p.y);
        high_y = std::max(high_y, p.y);
    }
    const double cells = std::max(1.0, static_cast<double>(n / 3));
    const double width = high_x - low_x, height = high_y - low_y;
    const double aspect = height > 0.0 ? width / height : cells;
    const long cols = static_cast<long>(std::clamp(std::round(std::sqrt(cells * aspect)), 1.0, cells));
    const long rows =
        static_cast<long>(std::clamp(std::round(cells / static_cast<double>(cols)), 1.0, cells));
    const double per_x = width > 0.0 ? static_cast<double>(cols) / width : 0.0;
    const double per_y = height > 0.0 ? static_cast<double>(rows) / height : 0.0;
    const long no_cell = cols * rows;  // not finite: a cell of its own
    auto cell_of = [&](const tin_point_rec& p) -> long {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return no_cell;
        const long i = std::clamp(static_cast<long>((p.x - low_x) * per_x), 0L, cols - 1);
        const long j = std::clamp(static_cast<long>((p.y - low_y) * per_y), 0L, rows - 1);
        return i * rows + j;
    };
    // Counting sort of the corners by cell, each cell's corners in list order.
    std::vector<std::uint32_t> start(static_cast<size_t>(no_cell) + 2, 0);
    std::vector<std::uint32_t> cell(n);
    for (size_t k = 0; k < n; ++k) {
        cell[k] = static_cast<std::uint32_t>(cell_of(corners[k]));
        ++start[cell[k] + 1];
    }
    for (size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
    std::vector<std::uint32_t> sorted(n);
    {
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (size_t k = 0; k < n; ++k) sorted[fill[cell[k]]++] = static_cast<std::uint32_t>(k);
    }
    // The first corner of each x and y within its cell stands for the others:
    // found by comparing with the corners before it in a small cell, by
    // sorting a crowded one (clustered points), so that no cell costs more
    // than n log n.
    constexpr std::uint32_t kSmallCell = 16;
    std::vector<std::uint32_t>& first = cell;  // reused: the corner each corner shares with
    for (size_t c = 0; c + 1 < start.size(); ++c) {
        std::uint32_t* const begin = sorted.data() + start[c];
        const std::uint32_t size = start[c + 1] - start[c];
        if (c == static_cast<size_t>(no_cell)) {
            for (std::uint32_t a = 0; a < size; ++a) first[begin[a]] = begin[a];
            continue;
        }
        if (size > kSmallCell) {
            std::sort(begin, begin + size, [&](std::uint32_t a, std::uint32_t b) {
                if (corners[a].x != corners[b].x) return corners[a].x < corners[b].x;
                if (corners[a].y != corners[b].y) return corners[a].y < corners[b].y;
                return a < b;
            });
            for (std::uint32_t a = 0; a < size; ++a) {
                const std::uint32_t k = begin[a], e = a > 0 ? first[begin[a - 1]] : k;
                first[k] = a > 0 && corners[e].x == corners[k].x && corners[e].y == corners[k].y ? e : k;
            }
            continue;
        }
        for (std::uint32_t a = 0; a < size; ++a) {
            const std::uint32_t k = begin[a];
            first[k] = k;
            for (std::uint32_t b = 0; b < a; ++b) {
                const std::uint32_t e = begin[b];
                if (first[e] == e && corners[e].x == corners[k].x && corners[e].y == corners[k].y) {
                    first[k] = e;
                    break;
                }
            }
        }
    }
    for (size_t k = 0; k < n; ++k) {
        if (first[k] != k) {
            vertex[k] = vertex[first[k]];
            continue;
        }
        vertex[k] = static_cast<int>(vertices.size());
        tin_point_push(vertices, corners[k].x, corners[k].y, corners[k].z);
    }
    return vertex;
}

cnt_mesh cnt_mesh_of(const tin_point_list& corners)
{
    cnt_mesh mesh;
    const std::vector<int> vertex = cnt_corner_vertices(corners, mesh.vertices);
    mesh.faces.reserve(corners.size() / 3);
    for (size_t f = 0; f + 2 < corners.size(); f += 3) {
        const int a = vertex[f], b = vertex[f + 1], c = vertex[f + 2];
        if (a == b || b == c || a == c) continue;  // no area: nothing to cut
        mesh.faces.push_back({a, b, c});
    }
    return mesh;
}

// A vertex's height for a level: on the level counts a little below it.
double cnt_height_at(const tin_point_rec& p, double level)
{
    return p.z == level ? p.z - kCornerDrop : p.z;
}

// The point where the level crosses an edge whose ends lie on either side.
tin_node_rec cnt_edge_crossing(const cnt_mesh& mesh, cnt_edge edge, double level)
{
    const tin_point_rec& a = mesh.vertices[cnt_edge_low(edge)];
    const tin_point_rec& b = mesh.vertices[cnt_edge_high(edge)];
    const double za = cnt_height_at(a, level), zb = cnt_height_at(b, level);
    const double t = (level - za) / (zb - za);
    return tin_node_make(0, a.x + t * (b.x - a.x), a.y + t * (b.y - a.y));
}

// The two edges of the face that the level crosses, in the order of the sides
// 0-1, 2-1, 0-2; false when every corner lies on one side of it.
bool cnt_face_cut(const cnt_mesh& mesh, size_t f, double level, std::array<cnt_edge, 2>& cut)
{
    const std::array<int, 3>& v = mesh.faces[f];
    bool above[3];
    for (int k = 0; k < 3; ++k) above[k] = cnt_height_at(mesh.vertices[v[k]], level) > level;
    const bool crosses[3] = {above[0] != above[1], above[2] != above[1], above[0] != above[2]};
    const cnt_edge sides[3] = {cnt_edge_of(v[0], v[1]), cnt_edge_of(v[2], v[1]), cnt_edge_of(v[0], v[2])};
    int n = 0;
    for (int k = 0; k < 3; ++k)
        if (crosses[k]) cut[n++] = sides[k];
    return n == 2;
}

// Joins the pieces of one level (each from one crossed edge to another) into
// chains: piece ends on the same edge meet. Chains are started from the
// pieces in order and run in the direction of the piece they start from.
void cnt_join_pieces(const cnt_mesh& mesh, const std::vector<std::array<cnt_edge, 2>>& pieces, double level,
                     std::vector<cnt_chain_rec>& out)
{
    const int count = static_cast<int>(pieces.size());
    // End 2p + k of piece p lies on the edge pieces[p][k]; `partner` is the
    // end of the other piece on that edge, -1 on the TIN's outline. (An edge
    // of more than two faces, where TINs overlap, pairs its ends in order.)
    std::vector<int> ends(2 * static_cast<size_t>(count));
    std::iota(ends.begin(), ends.end(), 0);
    auto edge_at = [&](int end) { return pieces[end / 2][end % 2]; };
    std::stable_sort(ends.begin(), ends.end(), [&](int a, int b) { return edge_at(a) < edge_at(b); });
    std::vector<int> partner(ends.size(), -1);
    for (size_t k = 0; k + 1 < ends.size(); ++k)
        if (edge_at(ends[k]) == edge_at(ends[k + 1])) {
            partner[ends[k]] = ends[k + 1];
            partner[ends[k + 1]] = ends[k];
            ++k;
        }

    std::vector<char> used(count, 0);
    for (int p = 0; p < count; ++p) {
        if (used[p]) continue;
        // Back to where the chain starts: an end on the outline, or round to p.
        int entry = 2 * p;
        bool closed = false;
        for (;;) {
            const int before = partner[entry];
            if (before < 0) break;
            if (before / 2 == p) {
                closed = true;
                break;
            }
            entry = before ^ 1;
        }
        if (closed) entry = 2 * p;
        cnt_chain_rec chain;
        chain.level = level;
        chain.closed = closed;
        chain.vertices.push_back(cnt_edge_crossing(mesh, edge_at(entry), level));
        const int first = entry / 2;
        for (int end = entry;;) {
            used[end / 2] = 1;
            const int exit = end ^ 1;
            const int next = partner[exit];
            if (next >= 0 && next / 2 == first) break;  // round: the first vertex again
            chain.vertices.push_back(cnt_edge_crossing(mesh, edge_at(exit), level));
            if (next < 0 || used[next / 2]) break;
            end = next;
        }
        for (size_t k = 0; k < chain.vertices.size(); ++k) chain.vertices[k].id = static_cast<int>(k);
        out.push_back(std::move(chain));
    }
}

}  // namespace

double cnt_level_floor(double v, double d)
{
    if (v > d) {
        double t = 2.0 * d;
        while (t < v) t += d;
        return t - d;
    }
    if (v == d) return 0.0;
    double t = 0.0;
    while (t > v) t -= d;
    return t - d;
}

std::vector<cnt_chain_rec> cnt_build_chains(const tin_point_list& corners, double first, double d, long count)
{
    std::vector<cnt_chain_rec> out;
    if (count <= 0 || d <= 0.0) return out;
    // The levels by repeated addition, as they are stepped one after another.
    std::vector<double> levels(count);
    double level = first;
    for (long k = 0; k < count; ++k) {
        levels[k] = level;
        level += d;
    }
    const cnt_mesh mesh = cnt_mesh_of(corners);
    std::map<long, std::vector<std::array<cnt_edge, 2>>> pieces;  // by level index, faces in order
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        double low = mesh.vertices[mesh.faces[f][0]].z, high = low;
        for (int v : mesh.faces[f]) {
            low = std::min(low, mesh.vertices[v].z);
            high = std::max(high, mesh.vertices[v].z);
        }
        auto k = std::lower_bound(levels.begin(), levels.end(), low) - levels.begin();
        for (; k < count && levels[k] <= high; ++k) {
            std::array<cnt_edge, 2> cut;
            if (cnt_face_cut(mesh, f, levels[k], cut)) pieces[k].push_back(cut);
        }
    }
    for (const auto& [k, list] : pieces) cnt_join_pieces(mesh, list, levels[k], out);
    return out;
}

void cnt_write_polyline(const cnt_chain_rec& chain)
{
    const cnt_cfg_rec& cfg = cnt_cfg();
    const double level = chain.level;
    const double r = real_round_by_text(std::fmod(level, cfg.major_interval), 3);
    const bool major = r == 0.0 || std::fabs(r) == cfg.major_interval;
    // Vertices nearer than the spacing to the one before are passed over;
    // the last of an open chain stays, so that it ends on the TIN's outline.
    tin_node_list kept;
    for (const tin_node_rec& v : chain.vertices) {
        if (!kept.empty() && dist_within({v.x, v.y, 0}, {kept.back().x, kept.back().y, 0}, kVertexSpacing)) {
            if (&v == &chain.vertices.back() && !chain.closed && kept.size() > 1) kept.back() = v;
            continue;
        }
        kept.push_back(v);
    }
    bool closed = chain.closed;
    if (closed && kept.size() > 1 &&
        dist_within({kept.front().x, kept.front().y, 0}, {kept.back().x, kept.back().y, 0}, kVertexSpacing))
        kept.pop_back();
    if (kept.size() < 2) return;
    if (kept.size() < 3) closed = false;
    lwpoly_chain_rec& header = lwpoly_chain();
    lwpoly_make({}, 3);
    header.layer = major ? cfg.major_layer : cfg.minor_layer;
    header.flags = closed ? 1 : 0;
    header.width = 0;
    header.elevation = level;
    header.thickness = 0;
    for (size_t k = 0; k < kept.size(); ++k) {
        const tin_node_rec& v = kept[k];
        if (cfg.middle_point && k > 0) {
            const tin_node_rec m = tin_node_midpoint(kept[k - 1], v);
            lwpoly_make({m.x, m.y, level}, 1);
        }
        lwpoly_make({v.x, v.y, level}, 1);
    }
    // A closed chain's closing side gets its middle point too.
    if (cfg.middle_point && closed) {
        const tin_node_rec m = tin_node_midpoint(kept.back(), kept.front());
        lwpoly_make({m.x, m.y, level}, 1);
    }
    lwpoly_make({}, 2);
}

void tin_read_faces(const ads_name ss, long length, tin_point_list& corners)
{
    cnt_cfg_rec& cfg = cnt_cfg();
    corners.reserve(corners.size() + 3 * static_cast<size_t>(length));
    for (long i = 0; i < length; ++i) {
        point3d_rec p[4];
        std::string layer;
        if (!ss_3dface_get(ss, i, p, layer)) continue;
        for (int k = 0; k < 3; ++k) {
            cfg.lowest_z = std::min(cfg.lowest_z, p[k].z);
            cfg.highest_z = std::max(cfg.highest_z, p[k].z);
            tin_point_push(corners, p[k].x, p[k].y, p[k].z);
        }
    }
}

void tin_contour_build(const tin_point_list& corners)
{
    const cnt_cfg_rec& cfg = cnt_cfg();
    const double d = cfg.minor_interval;
    if (!(d > 0.0) || !(cfg.major_interval > 0.0)) {
        acutPrintf("\nThe contour intervals must be above 0: no contour drawn.");
        return;
    }
    if (cfg.highest_z < cfg.lowest_z) return;  // no face read yet
    const double first = cnt_level_floor(cfg.min_level, d);
    long count = static_cast<long>(static_cast<double>(static_cast<long>(cfg.highest_z)) / d + 1.0);
    // The levels reach the highest TIN z also when the first level lies low.
    const double reach = std::floor((cfg.highest_z - first) / d) + 1.0;
    if (reach > static_cast<double>(count))
        count = reach > kMaxLevels + 1.0 ? kMaxLevels + 1 : static_cast<long>(reach);
    if (count > kMaxLevels) {
        acutPrintf("\nToo many contour levels (more than %ld): no contour drawn.", kMaxLevels);
        return;
    }
    for (const cnt_chain_rec& chain : cnt_build_chains(corners, first, d, count)) cnt_write_polyline(chain);
}

int cnt_dlg_show()
{
    cnt_cfg_rec& cfg = cnt_cfg();
    std::string min_level = real_format(cfg.min_level, 3), max_level = real_format(cfg.max_level, 3);
    std::string major = real_format(cfg.major_interval, 3), minor = real_format(cfg.minor_interval, 3);
    std::string major_layer = cfg.major_layer, minor_layer = cfg.minor_layer;
    int middle = cfg.middle_point ? 1 : 0;

    dialog_def def{
        "DTM_Contour.dcl",
        "TinContour_dlg",
        {tile_number_text("txt_min_level", min_level, 3), tile_number_text("txt_max_level", max_level, 3),
         tile_number_text("txt_major_intv", major, 3), tile_number_text("txt_minor_intv", minor, 3),
         tile_layer("txt_major_layer", major_layer), tile_layer("txt_minor_layer", minor_layer),
         tile_toggle("tg_middle_pnt", middle), tile_button("ok", 1), tile_button("cancel", 0),
         tile_button("Btn_GetIt", 2)}};
    // "Get from TIN": the level range of the faces, then the dialog again.
    const auto get_range = [&](int) {
        ads_name ss;
        long length = 0;
        if (ss_all_type_layer("3DFACE", tin_cfg().tin_layer.c_str(), ss, length)) {
            if (length > 1) {
                double low = 999999.0, high = -999999.0;
                for (long i = 0; i < length; ++i) {
                    point3d_rec p[4];
                    std::string layer;
                    if (!ss_3dface_get(ss, i, p, layer)) continue;
                    for (int k = 0; k < 3; ++k) {
                        low = std::min(low, p[k].z);
                        high = std::max(high, p[k].z);
                    }
                }
                min_level = real_format(low, 3);
                max_level = real_format(high, 3);
            }
            acedSSFree(ss);
        }
        return true;
    };
    const int status = dialog_run(def, get_range);
    if (status != 1) return status == dialog_not_shown ? 0 : status;
    cfg.major_layer = major_layer;
    cfg.minor_layer = minor_layer;
    cfg.major_interval = std::atof(major.c_str());
    cfg.minor_interval = std::atof(minor.c_str());
    cfg.max_level = std::atof(max_level.c_str());
    cfg.min_level = std::atof(min_level.c_str());
    cfg.middle_point = middle != 0 ? 1 : 0;
    return 1;
}

void tin_contour_cmd()
{
    if (!tin_tool_proceed("\nThis program generate contour from TIN.")) return;
    tin_cfg_init();
    cnt_cfg_init();
    if (cnt_dlg_show() != 1) return;
    ads_name ss;
    long length = 0;
    tin_point_list corners;
    if (ss_all_type_layer("3DFACE", tin_cfg().tin_layer.c_str(), ss, length)) {
        tin_read_faces(ss, length, corners);
        acedSSFree(ss);
    }
    tin_contour_build(corners);
}
