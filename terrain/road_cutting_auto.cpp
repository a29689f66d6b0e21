// b_sel_cutting: a whole road cutting from its top-edge polyline ("NA") and
// its toe polyline ("NC"). The top edge is cut into stretches of the set
// width; each stretch finds its foot on the toe line by a forward search along
// the toe's segments and by a line search across it, and gets one tongue.
#include <algorithm>
#include <cmath>

#include "ads.h"
#include "entity_readers.h"
#include "geometry.h"
#include "messages.h"
#include "numbers.h"
#include "polyline_read.h"
#include "resbuf_util.h"
#include "road_cutting.h"
#include "selection_sets.h"
#include "sysvar.h"

namespace {

// How far the side pick, the perpendicular test and the line search reach.
constexpr double kSideReach = 50.0;
constexpr double kTestReach = 5.0;
constexpr double kLineReach = 1000.0;
// A foot is on the chosen side when its perpendicular turns less than this.
constexpr double kSideTolerance = 5.0;

// The extremes of both polylines of the last run.
struct cutting_extremes_rec {
    bool set = false;
    double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
};
cutting_extremes_rec& cutting_extremes()
{
    static cutting_extremes_rec extremes;
    return extremes;
}

void extremes_take(const std::vector<point3d_rec>& points)
{
    cutting_extremes_rec& e = cutting_extremes();
    for (const point3d_rec& p : points) {
        if (!e.set) {
            e = {true, p.x, p.y, p.x, p.y};
            continue;
        }
        e.min_x = std::min(e.min_x, p.x);
        e.min_y = std::min(e.min_y, p.y);
        e.max_x = std::max(e.max_x, p.x);
        e.max_y = std::max(e.max_y, p.y);
    }
}

point3d_rec flat(const point3d_rec& p)
{
    return point3d_rec{p.x, p.y, 0};
}

point3d_rec midpoint(const point3d_rec& a, const point3d_rec& b)
{
    return point3d_rec{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, 0};
}

point3d_rec along(const point3d_rec& a, const point3d_rec& b, double t)
{
    return point3d_rec{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, 0};
}

double fold_360(double angle)
{
    while (angle < 0) angle += 360.0;
    while (angle >= 360.0) angle -= 360.0;
    return angle;
}

// The turn from one bearing to another, -180 up to 180.
double turn_between(double from, double to)
{
    double turn = std::fmod(to - from, 360.0);
    if (turn > 180.0) turn -= 360.0;
    if (turn <= -180.0) turn += 360.0;
    return turn;
}

// The bounded segments a-b and c-d meet; the meeting point in out.
bool segments_meet(const point3d_rec& a, const point3d_rec& b, const point3d_rec& c, const point3d_rec& d,
                   point3d_rec& out)
{
    ads_point p1, p2, p3, p4, at;
    point_to_ads(a, p1);
    point_to_ads(b, p2);
    point_to_ads(c, p3);
    point_to_ads(d, p4);
    if (acdbInters(p1, p2, p3, p4, 1, at) != RTNORM) return false;
    out = point3d_rec{at[X], at[Y], 0};
    return true;
}

// No point of the box of a-b lies nearer to p than the distance.
bool box_farther(const point3d_rec& a, const point3d_rec& b, const point3d_rec& p, double distance)
{
    const double dx = std::max({std::min(a.x, b.x) - p.x, 0.0, p.x - std::max(a.x, b.x)});
    const double dy = std::max({std::min(a.y, b.y) - p.y, 0.0, p.y - std::max(a.y, b.y)});
    return std::hypot(dx, dy) >= distance;
}

bool boxes_apart(const point3d_rec& a, const point3d_rec& b, const point3d_rec& c, const point3d_rec& d)
{
    return std::max(a.x, b.x) < std::min(c.x, d.x) || std::max(c.x, d.x) < std::min(a.x, b.x) ||
           std::max(a.y, b.y) < std::min(c.y, d.y) || std::max(c.y, d.y) < std::min(a.y, b.y);
}

// The forward search: the nearest point of the toe from segment u on that lies
// on the stretch's chosen side; u moves to the last segment taken.
point3d_rec forward_foot(const cutting_stretch_rec& s, double direction, std::vector<point3d_rec>& toe,
                         size_t& u)
{
    point3d_rec best = toe[u];
    double best_distance = dist_2d(s.mid, best);
    size_t taken = 0;
    bool any = false;
    for (size_t k = u; k + 1 < toe.size(); ++k) {
        if (box_farther(toe[k], toe[k + 1], s.mid, best_distance)) continue;
        point3d_rec f, g;
        const int found = geo_offset_corner(toe[k], toe[k + 1], s.mid, 1, f);
        const double distance = dist_2d(f, s.mid);
        if (distance >= best_distance) continue;
        geo_perpendicular_at_vertex(s.start, s.end, f, kTestReach, g);
        const double turn = turn_between(direction, bearing_deg(s.end, g));
        if (turn <= -kSideTolerance || turn >= kSideTolerance) continue;
        best = f;
        best_distance = distance;
        taken = k;
        any = true;
        if (found == 3) toe[k] = f;
    }
    u = any ? taken : 0;
    return best;
}

// The line search: the meeting point of the toe nearest to M along the line
// from M across the stretch (none when the line meets no segment).
std::optional<point3d_rec> line_candidate(const cutting_stretch_rec& s, double direction,
                                          const std::vector<point3d_rec>& toe)
{
    point3d_rec e, x;
    polar_point(direction, kLineReach, s.mid, e);
    geo_perpendicular_at_vertex(s.start, s.end, e, kLineReach, x);
    std::optional<point3d_rec> nearest;
    double nearest_distance = 0;
    for (size_t k = 0; k + 1 < toe.size(); ++k) {
        if (boxes_apart(s.mid, x, toe[k], toe[k + 1])) continue;
        point3d_rec at;
        if (!segments_meet(s.mid, x, toe[k], toe[k + 1], at)) continue;
        const double distance = dist_2d(s.mid, at);
        if (!nearest || distance < nearest_distance) {
            nearest = at;
            nearest_distance = distance;
        }
    }
    return nearest;
}

// Consecutive equal vertices make legs of no length: one of each is kept.
std::vector<point3d_rec> without_repeats(const numbered_point_list& vertices)
{
    std::vector<point3d_rec> out;
    for (const numbered_point& v : vertices) {
        const point3d_rec p = flat(v.point);
        if (out.empty() || dist_2d(out.back(), p) > 0) out.push_back(p);
    }
    return out;
}

}  // namespace

std::vector<cutting_stretch_rec> cutting_divide(const std::vector<point3d_rec>& edge, double width)
{
    std::vector<cutting_stretch_rec> stretches;
    if (!(width > 0) || edge.size() < 2) return stretches;
    double total = 0;
    for (size_t i = 0; i + 1 < edge.size(); ++i) total += dist_2d(edge[i], edge[i + 1]);
    stretches.reserve(static_cast<size_t>(total / width) + 10);
    // A cut this close to the edge's end still completes its stretch.
    const double slack = 1e-9 * width;
    cutting_stretch_rec current;
    current.start = flat(edge[0]);
    current.vertices.push_back(current.start);
    double needed = width;  // of the current stretch, still to walk
    progress_reset();
    for (size_t i = 0; i + 1 < edge.size(); ++i) {
        progress_percent(static_cast<int>(i + 1), static_cast<int>(edge.size() - 1));
        const point3d_rec a = flat(edge[i]), b = flat(edge[i + 1]);
        const double length = dist_2d(a, b);
        double walked = 0;
        while (length - walked + slack >= needed) {
            walked = std::min(length, walked + needed);
            current.end = along(a, b, walked / length);
            current.mid = midpoint(current.start, current.end);
            if (dist_2d(current.vertices.back(), current.end) > 0) current.vertices.push_back(current.end);
            stretches.push_back(std::move(current));
            current = cutting_stretch_rec{};
            current.start = stretches.back().end;
            current.vertices.push_back(current.start);
            needed = width;
        }
        needed -= length - walked;
        if (dist_2d(current.vertices.back(), b) > 0) current.vertices.push_back(b);
    }
    return stretches;
}

double cutting_side_offset(const std::vector<point3d_rec>& edge, const point3d_rec& side_point)
{
    point3d_rec y;
    geo_perpendicular_at_vertex(edge[0], edge[1], side_point, kSideReach, y);
    return bearing_deg(edge[0], edge[1]) - bearing_deg(edge[1], y);
}

void cutting_find_feet(std::vector<cutting_stretch_rec>& stretches, std::vector<point3d_rec> toe,
                       double side_offset)
{
    if (toe.empty()) return;
    size_t u = 0;
    progress_reset();
    for (size_t j = 0; j < stretches.size(); ++j) {
        progress_percent(static_cast<int>(j + 1), static_cast<int>(stretches.size()));
        cutting_stretch_rec& s = stretches[j];
        const double direction = fold_360(bearing_deg(s.start, s.end) - side_offset);
        const point3d_rec forward = forward_foot(s, direction, toe, u);
        s.line_candidate = line_candidate(s, direction, toe);
        s.foot = forward;
        if (j == 0) continue;
        const cutting_stretch_rec& previous = stretches[j - 1];
        point3d_rec crossing;
        // Feet of neighbouring stretches whose lines cross keep the earlier one.
        if (s.line_candidate && previous.line_candidate &&
            segments_meet(s.mid, *s.line_candidate, previous.mid, *previous.line_candidate, crossing))
            s.line_candidate = previous.line_candidate;
        if (s.line_candidate && dist_2d(*s.line_candidate, previous.foot) < dist_2d(forward, previous.foot))
            s.foot = *s.line_candidate;
    }
}

bool cutting_pick_polyline(const char* prompt, cutting_polyline_rec& out)
{
    ads_name entity;
    point3d_rec picked;
    const int kind = ent_select_type(prompt, "LWPOLYLINE", entity, picked);
    if (kind == 0) {
        acutPrintf("\nNothing was picked.");
        return false;
    }
    if (kind != 1) {
        acutPrintf("\nThat is no LWPOLYLINE.");
        return false;
    }
    if (!lwpoly_read_vertices(entity, -1)) return false;
    out.vertices = without_repeats(lwpoly_vertices.vertices);
    if (out.vertices.size() < 2) {
        acutPrintf("\nThe LWPOLYLINE has no leg of any length.");
        return false;
    }
    acedCommand(RTSTR, "area", RTSTR, "e", RTENAME, entity, RTNONE);
    out.length = 0;
    sysvar_get_real("PERIMETER", out.length);
    if (dist_2d(picked, out.vertices.front()) > dist_2d(picked, out.vertices.back()))
        std::reverse(out.vertices.begin(), out.vertices.end());
    extremes_take(out.vertices);
    return true;
}

int cutting_point_test(const point3d_rec& point)
{
    const cutting_extremes_rec& e = cutting_extremes();
    if (!e.set || (point.x >= e.min_x && point.x <= e.max_x && point.y >= e.min_y && point.y <= e.max_y))
        return 0;
    acutPrintf("\nperror %f,%f", point.x, point.y);
    return 1;
}

int b_sel_cutting(int mode)
{
    cutting_cfg_rec& cfg = cutting_cfg();
    if (!cfg.loaded && !cutting_first_use(cfg, false)) return 0;
    acutPrintf("\nAuto Cutting ver. cpp 1.0");
    acutPrintf("\nlebar : %f path %f", cfg.width, cfg.path);
    cutting_extremes() = cutting_extremes_rec{};
    cutting_polyline_rec top, toe;
    if (!cutting_pick_polyline("\nSelect NA LWpolyline :", top)) return 0;
    if (!cutting_pick_polyline("\nSelect NC LWpolyline :", toe)) return 0;
    if (top.length < cfg.width || toe.length < cfg.width) {
        acedAlert("Lebar melebihi panjang LwPolyline.");
        return 0;
    }
    acutPrintf("\ndivide Cutting..");
    std::vector<cutting_stretch_rec> stretches = cutting_divide(top.vertices, cfg.width);
    if (stretches.empty()) {
        acutPrintf("\nThe top edge's legs are shorter than one width together; no tongue is drawn.");
        return 0;
    }
    ads_point from, picked;
    point_to_ads(stretches.front().mid, from);
    if (acedGetPoint(from, "\nPick Arah :", picked) != RTNORM) return 0;
    const double offset = cutting_side_offset(top.vertices, point_from_ads(picked));
    acutPrintf("\nFind kaki");
    cutting_find_feet(stretches, toe.vertices, offset);
    int drawn = 0;
    for (const cutting_stretch_rec& s : stretches)
        if (cutting_tongue_draw(cfg, s.start, s.end, s.foot, mode)) ++drawn;
    acutPrintf("\n%d tongue(s) drawn for %d stretch(es).", drawn, static_cast<int>(stretches.size()));
    return 1;
}
