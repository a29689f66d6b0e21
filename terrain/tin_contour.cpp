// Contours from the TIN. Each face is cut only at the levels its height range
// spans, and the pieces of a level are joined through a grid of their end
// points, so the cost grows with the faces and pieces rather than with levels
// times faces or the square of the pieces.
#include "tin_contour.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <map>
#include <unordered_map>

#include "dialog_conventions.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "numbers.h"
#include "selection_sets.h"

namespace {

// More levels than this are refused: a tiny interval over a large range
// would otherwise run for ever.
constexpr long kMaxLevels = 1000000;

struct crossing {
    double x, y;
};

// The piece of the face a, b, c at level: the first two edge crossings in the
// order a->b, c->b, a->c. False when fewer than two, or both at one place.
bool face_cut(const tin_point_rec& a, const tin_point_rec& b, const tin_point_rec& c, double level,
              cnt_seg_rec& piece)
{
    // A corner exactly on the level counts a little below it, so the contour
    // passes beside the corner and no piece of no length is made.
    auto lowered = [level](tin_point_rec p) {
        if (p.z == level) p.z -= 0.001;
        return p;
    };
    const tin_point_rec p1 = lowered(a), p2 = lowered(b), p3 = lowered(c);
    const tin_point_rec* edges[3][2] = {{&p1, &p2}, {&p3, &p2}, {&p1, &p3}};
    crossing found[3];
    int count = 0;
    for (const auto& edge : edges) {
        const tin_point_rec& from = *edge[0];
        const tin_point_rec& to = *edge[1];
        const double dz = to.z - from.z;
        if (std::fabs(dz) <= 0.0001) continue;
        const double t = (level - from.z) / dz;
        if (t >= 0.0 && t <= 1.0)
            found[count++] = {from.x + t * (to.x - from.x), from.y + t * (to.y - from.y)};
    }
    if (count < 2) return false;
    if (std::hypot(found[1].x - found[0].x, found[1].y - found[0].y) <= 0.0001) return false;
    piece.x1 = found[0].x;
    piece.y1 = found[0].y;
    piece.x2 = found[1].x;
    piece.y2 = found[1].y;
    return true;
}

// The pieces of one level, joined into chains. At every step the chain takes
// the earliest remaining piece that touches either end, testing its first end
// against the chain's first vertex, then its second end, then both against the
// last vertex; the grid of end points finds that piece without a scan.
class chainer {
public:
    chainer(const cnt_seg_list& pieces, double tolerance) : pieces_(pieces), tol_(tolerance)
    {
        used_.assign(pieces.size(), false);
        for (size_t s = 0; s < pieces.size(); ++s) {
            add(pieces[s].x1, pieces[s].y1, static_cast<int>(s));
            add(pieces[s].x2, pieces[s].y2, static_cast<int>(s));
        }
    }

    void run(double level, std::vector<cnt_chain_rec>& out)
    {
        for (size_t first = 0; first < pieces_.size(); ++first) {
            if (used_[first]) continue;
            used_[first] = true;
            std::deque<tin_node_rec> chain;
            chain.push_back(tin_node_make(0, pieces_[first].x1, pieces_[first].y1));
            chain.push_back(tin_node_make(1, pieces_[first].x2, pieces_[first].y2));
            while (extend(chain)) {
            }
            cnt_chain_rec done;
            done.level = level;
            done.vertices.assign(chain.begin(), chain.end());
            for (size_t k = 0; k < done.vertices.size(); ++k) done.vertices[k].id = static_cast<int>(k);
            out.push_back(std::move(done));
        }
    }

private:
    const cnt_seg_list& pieces_;
    double tol_;
    std::vector<bool> used_;
    std::unordered_map<std::uint64_t, std::vector<int>> cells_;

    std::int64_t cell(double v) const { return static_cast<std::int64_t>(std::floor(v / tol_)); }
    static std::uint64_t key(std::int64_t cx, std::int64_t cy)
    {
        return (static_cast<std::uint64_t>(cx) << 32) ^ (static_cast<std::uint64_t>(cy) & 0xffffffffu);
    }
    void add(double x, double y, int s) { cells_[key(cell(x), cell(y))].push_back(s); }
    bool near(double x1, double y1, double x2, double y2) const
    {
        return std::fabs(x1 - x2) < tol_ && std::fabs(y1 - y2) < tol_;
    }
    bool touches(int s, const tin_node_rec& p) const
    {
        const cnt_seg_rec& g = pieces_[s];
        return near(p.x, p.y, g.x1, g.y1) || near(p.x, p.y, g.x2, g.y2);
    }
    // The earliest unused piece with an end near p, or -1.
    int earliest_near(const tin_node_rec& p) const
    {
        int best = -1;
        const std::int64_t cx = cell(p.x), cy = cell(p.y);
        for (std::int64_t i = cx - 1; i <= cx + 1; ++i)
            for (std::int64_t j = cy - 1; j <= cy + 1; ++j) {
                const auto found = cells_.find(key(i, j));
                if (found == cells_.end()) continue;
                for (int s : found->second)
                    if (!used_[s] && (best < 0 || s < best) && touches(s, p)) best = s;
            }
        return best;
    }
    bool extend(std::deque<tin_node_rec>& chain)
    {
        const tin_node_rec f = chain.front(), e = chain.back();
        const int at_front = earliest_near(f), at_back = earliest_near(e);
        int s = at_front;
        if (s < 0 || (at_back >= 0 && at_back < s)) s = at_back;
        if (s < 0) return false;
        used_[s] = true;
        const cnt_seg_rec& g = pieces_[s];
        if (near(f.x, f.y, g.x1, g.y1))
            chain.push_front(tin_node_make(0, g.x2, g.y2));
        else if (near(f.x, f.y, g.x2, g.y2))
            chain.push_front(tin_node_make(0, g.x1, g.y1));
        else if (near(e.x, e.y, g.x1, g.y1))
            chain.push_back(tin_node_make(0, g.x2, g.y2));
        else
            chain.push_back(tin_node_make(0, g.x1, g.y1));
        return true;
    }
};

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

std::vector<cnt_chain_rec> cnt_build_chains(const tin_point_list& corners, double first, double d, long count,
                                            double tolerance)
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
    std::map<long, cnt_seg_list> pieces;  // by level index, faces in order
    for (size_t f = 0; f + 2 < corners.size(); f += 3) {
        const tin_point_rec &a = corners[f], &b = corners[f + 1], &c = corners[f + 2];
        const double low = std::min({a.z, b.z, c.z}) - 0.002;
        const double high = std::max({a.z, b.z, c.z});
        auto k = std::lower_bound(levels.begin(), levels.end(), low) - levels.begin();
        for (; k < count && levels[k] <= high; ++k) {
            cnt_seg_rec piece;
            if (!face_cut(a, b, c, levels[k], piece)) continue;
            cnt_seg_list& list = pieces[k];
            piece.id = static_cast<std::int32_t>(list.size());
            list.push_back(piece);
        }
    }
    for (const auto& [k, list] : pieces) chainer(list, tolerance).run(levels[k], out);
    return out;
}

void cnt_write_polyline(const cnt_chain_rec& chain)
{
    const cnt_cfg_rec& cfg = cnt_cfg();
    const double level = chain.level;
    const double r = real_round_by_text(std::fmod(level, cfg.major_interval), 3);
    const bool major = r == 0.0 || std::fabs(r) == cfg.major_interval;
    lwpoly_chain_rec& header = lwpoly_chain();
    lwpoly_make({}, 3);
    header.layer = major ? cfg.major_layer : cfg.minor_layer;
    header.flags = 0;
    header.width = 0;
    header.elevation = level;
    header.thickness = 0;
    for (size_t k = 0; k < chain.vertices.size(); ++k) {
        const tin_node_rec& v = chain.vertices[k];
        if (cfg.middle_point && k > 0) {
            const tin_node_rec m = tin_node_midpoint(chain.vertices[k - 1], v);
            lwpoly_make({m.x, m.y, level}, 1);
        }
        lwpoly_make({v.x, v.y, level}, 1);
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
    for (const cnt_chain_rec& chain : cnt_build_chains(corners, first, d, count, cfg.chain_tolerance))
        cnt_write_polyline(chain);
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
