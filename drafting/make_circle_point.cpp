// Circles or points at the vertices of the selected LINEs, LWPOLYLINEs and
// POLYLINEs.
#include "make_circle_point.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "ads.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "layers.h"
#include "numbers.h"
#include "polyline_read.h"
#include "resbuf_util.h"
#include "selection_sets.h"

make_circle_cfg_rec& make_circle_cfg()
{
    static make_circle_cfg_rec cfg;
    return cfg;
}

namespace {

// A size edit box that takes a number shorter than limit characters; any
// other entry, or a value of 0 or less, is replaced by the last good value.
dialog_tile tile_size_limited(const std::string& key, double& value, size_t limit)
{
    dialog_tile tile = tile_size(key, value, 3);
    tile.max_length = limit - 1;
    return tile;
}

}  // namespace

int make_circle_dlg(int mode)
{
    make_circle_cfg_rec& cfg = make_circle_cfg();
    // The dialog edits copies; only OK stores them.
    std::string layer = mode == 1 ? cfg.circle_layer : cfg.point_layer;
    double radius = cfg.radius;
    double scale = cfg.scale;
    int delete_originals = cfg.delete_originals;
    int keep_z = cfg.keep_z;

    dialog_def def{"MakeCircle_Dlg.dcl",
                   "make_circle_dlg",
                   {tile_text("t_cirlayer", layer, 254), tile_size_limited("t_radius", radius, 10),
                    tile_toggle("del_tg", delete_originals), tile_toggle("maketd_tg", keep_z),
                    tile_size_limited("t_cir_scale", scale, 25), tile_button("ok", DLGOK),
                    tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "caption", mode == 1 ? "Make Circle" : "Make Point");
        ads_set_tile(dialog, "t_radius", dialog_real_text(radius, 3).c_str());
        ads_set_tile(dialog, "t_cir_scale", dialog_real_text(scale, 3).c_str());
        if (mode == 2) {
            ads_mode_tile(dialog, "t_radius", MODE_DISABLE);
            ads_mode_tile(dialog, "del_tg", MODE_DISABLE);
            ads_mode_tile(dialog, "t_cir_scale", MODE_DISABLE);
        } else {
            ads_mode_tile(dialog, "maketd_tg", MODE_DISABLE);
        }
    };
    const int status = dialog_run(def);
    if (status == DLGCANCEL || status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        (mode == 1 ? cfg.circle_layer : cfg.point_layer) = layer;
        cfg.radius = radius;
        cfg.scale = scale;
        cfg.delete_originals = delete_originals;
        cfg.keep_z = keep_z;
    }
    return 1;
}

namespace {

// The selected entities sorted by kind.
struct circle_selection_rec {
    std::vector<std::pair<long, long>> lwpolylines, polylines, lines;  // entity names
};

std::pair<long, long> name_of(const ads_name entity)
{
    return {entity[0], entity[1]};
}

void name_to(const std::pair<long, long>& name, ads_name entity)
{
    entity[0] = name.first;
    entity[1] = name.second;
}

// How the legs were redrawn: the sides already drawn (a side that two selected
// lots share is drawn once) and the originals that may go because every leg of
// theirs is in the drawing again.
struct leg_redraw_rec {
    double r = 0;  // the circles' radius
    std::set<std::tuple<double, double, double, double, double>> drawn;
    std::vector<std::pair<long, long>> redrawn;  // originals whose every leg was redrawn
    long sides_failed = 0;                       // legs that could not be redrawn
};

// A side by its ends rounded as the vertices are (3 decimals), the lower end
// first, and its bulge as seen from that end.
std::tuple<double, double, double, double, double> side_key(const point3d_rec& a, const point3d_rec& b,
                                                            double bulge)
{
    const std::pair<double, double> pa{real_round(a.x, 3), real_round(a.y, 3)};
    const std::pair<double, double> pb{real_round(b.x, 3), real_round(b.y, 3)};
    if (pb < pa) return {pb.first, pb.second, pa.first, pa.second, real_round(-bulge, 6)};
    return {pa.first, pa.second, pb.first, pb.second, real_round(bulge, 6)};
}

int make_on_layers(const make_circle_cfg_rec& cfg, const std::function<int(const std::string&)>& make)
{
    if (make(cfg.circle_layer) == RTNORM) return RTNORM;
    return make(cfg.point_layer);
}

// The straight leg a-b as the LINE between the circles of radius r at its
// ends: from r along the leg to d - r along it. For a leg no longer than 2r the
// LINE runs back inside the overlapping circles; it is drawn all the same, but
// it does not stand for the side between the stones, so the original stays.
bool straight_leg_redraw(const point3d_rec& a, const point3d_rec& b, double r, const make_circle_cfg_rec& cfg)
{
    const double d = dist_2d(a, b);
    const double bearing = bearing_deg(a, b);
    point3d_rec start, end;
    polar_point(bearing, r, a, start);
    polar_point(bearing, d - 2.0 * r, start, end);
    start.z = a.z;
    end.z = b.z;
    const bool made =
        make_on_layers(cfg, [&](const std::string& layer) { return line_make(start, end, layer); }) == RTNORM;
    return made && d > 2.0 * r;
}

// The arc leg a-b (bulge not 0) as the ARC of the same circle between the
// circles of radius r at its ends. An arc that lies wholly inside them has
// nothing left to draw: false, so that its original is kept.
bool arc_leg_redraw(const point3d_rec& a, const point3d_rec& b, double bulge, double r,
                    const make_circle_cfg_rec& cfg)
{
    point3d_rec centre;
    double radius = 0;
    geo_bulge_circle(a, b, bulge, centre, radius);
    if (r >= 2.0 * radius) return false;
    // The angle at the centre that a chord of length r spans: each stone takes
    // that much off its end of the arc.
    const double trim = 2.0 * std::asin(r / (2.0 * radius));
    const double sweep = 4.0 * std::atan(std::fabs(bulge));
    if (sweep - 2.0 * trim <= 0.0) return false;
    // An ARC runs counter-clockwise: from a for a positive bulge, from b for a
    // negative one.
    const point3d_rec& from = bulge > 0 ? a : b;
    const point3d_rec& to = bulge > 0 ? b : a;
    const double start = std::atan2(from.y - centre.y, from.x - centre.x) + trim;
    const double end = std::atan2(to.y - centre.y, to.x - centre.x) - trim;
    return make_on_layers(cfg, [&](const std::string& layer) {
               return arc_make(centre, radius, start, end, layer);
           }) == RTNORM;
}

// Redraws one leg unless the same side was drawn already; false when it could
// not be drawn. A leg of no length has no direction, gives nothing and loses
// nothing.
bool leg_redraw(const point3d_rec& a, const point3d_rec& b, double bulge, leg_redraw_rec& state,
                const make_circle_cfg_rec& cfg)
{
    if (dist_2d(a, b) <= 0.0) return true;
    const auto key = side_key(a, b, bulge);
    if (state.drawn.count(key)) return true;
    const bool made =
        bulge == 0.0 ? straight_leg_redraw(a, b, state.r, cfg) : arc_leg_redraw(a, b, bulge, state.r, cfg);
    if (made) state.drawn.insert(key);
    return made;
}

// The legs of consecutive vertices, each with the bulge of its side; the
// original may go only when every one of them was redrawn.
void legs_redraw(const numbered_point_list& vertices, const std::vector<double>& bulges,
                 const std::pair<long, long>& name, leg_redraw_rec& state, const make_circle_cfg_rec& cfg)
{
    bool all = true;
    for (size_t i = 1; i < vertices.size(); ++i) {
        const double bulge = i - 1 < bulges.size() ? bulges[i - 1] : 0.0;
        if (leg_redraw(vertices[i - 1].point, vertices[i].point, bulge, state, cfg)) continue;
        ++state.sides_failed;
        all = false;
    }
    if (all) state.redrawn.push_back(name);
}

// Sorts the set's items into the three kinds; false (after the message) when an
// item cannot be named.
bool selection_sort(const ads_name ss, circle_selection_rec& out)
{
    long length = 0;
    acedSSLength(ss, &length);
    acutPrintf("\nProcessing selected items...");
    for (long i = 0; i < length; ++i) {
        acutPrintf("\rProcessing %ld of %ld objects", i + 1, length);
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM) {
            acutPrintf("\nSelected object error!");
            return false;
        }
        if (ent_is_type(entity, "LWPOLYLINE"))
            out.lwpolylines.push_back(name_of(entity));
        else if (ent_is_type(entity, "POLYLINE"))
            out.polylines.push_back(name_of(entity));
        else if (ent_is_type(entity, "LINE"))
            out.lines.push_back(name_of(entity));
    }
    if (!out.lwpolylines.empty()) acutPrintf("\nFound %zu LWPOLYLINE(s).", out.lwpolylines.size());
    if (!out.polylines.empty()) acutPrintf("\nFound %zu POLYLINE(s).", out.polylines.size());
    if (!out.lines.empty()) acutPrintf("\nFound %zu LINE(s).", out.lines.size());
    return true;
}

// Every vertex in the order LINEs, LWPOLYLINEs, POLYLINEs; with mode 1 each leg
// is redrawn as it is read.
numbered_point_list vertices_collect(const circle_selection_rec& sel, int mode, leg_redraw_rec& state,
                                     const make_circle_cfg_rec& cfg)
{
    numbered_point_list all;
    ads_name entity;
    const size_t line_count = sel.lines.size();
    for (size_t i = 0; i < line_count; ++i) {
        acutPrintf("\rProcessing LINEs %zu of %zu objects", i + 1, line_count);
        name_to(sel.lines[i], entity);
        resbuf* list = acdbEntGet(entity);
        if (!list) continue;
        point3d_rec start, end;
        rb_get_point(list, 10, start, 1);
        rb_get_point(list, 11, end, 1);
        acutRelRb(list);
        if (!cfg.keep_z) start.z = end.z = 0.0;
        numbered_point_push(all, 0, start);
        numbered_point_push(all, 0, end);
        if (mode == 1) legs_redraw({{0, start}, {0, end}}, {}, sel.lines[i], state, cfg);
    }
    const size_t lw_count = sel.lwpolylines.size();
    for (size_t i = 0; i < lw_count; ++i) {
        acutPrintf("\rProcessing LWPOLYLINEs %zu of %zu objects", i + 1, lw_count);
        name_to(sel.lwpolylines[i], entity);
        if (!lwpoly_read_vertices(entity, -1)) continue;
        all.insert(all.end(), lwpoly_vertices.vertices.begin(), lwpoly_vertices.vertices.end());
        if (mode == 1)
            legs_redraw(lwpoly_vertices.vertices, lwpoly_vertices.bulges, sel.lwpolylines[i], state, cfg);
    }
    const size_t poly_count = sel.polylines.size();
    for (size_t i = 0; i < poly_count; ++i) {
        acutPrintf("\rProcessing POLYLINEs %zu of %zu objects", i + 1, poly_count);
        name_to(sel.polylines[i], entity);
        polyline_read_vertices(entity, -1);
        all.insert(all.end(), polyline_vertices.vertices.begin(), polyline_vertices.vertices.end());
        if (mode == 1)
            legs_redraw(polyline_vertices.vertices, polyline_vertices.bulges, sel.polylines[i], state, cfg);
    }
    return all;
}

// Marks every vertex that no later vertex repeats (x and y rounded to 3
// decimals); the number of marks that could not be made.
long vertices_mark(const numbered_point_list& vertices, int mode, double r, const make_circle_cfg_rec& cfg)
{
    long failed = 0;
    acutPrintf("\nChecking duplacated circle/points.");
    std::vector<bool> keep(vertices.size(), false);
    std::set<std::pair<double, double>> later;
    for (size_t i = vertices.size(); i-- > 0;) {
        const point3d_rec& p = vertices[i].point;
        keep[i] = later.insert({real_round(p.x, 3), real_round(p.y, 3)}).second;
    }
    const int total = static_cast<int>(vertices.size());
    for (int i = 0; i < total; ++i) {
        if (!keep[i]) continue;
        if (mode == 1) {
            acutPrintf("\rCreating circles %d of %d objects", i + 1, total);
            if (circle_make(vertices[i].point, r, cfg.circle_layer) != RTNORM) ++failed;
        } else {
            acutPrintf("\rCreating points %d of %d objects", i + 1, total);
            if (point_make(vertices[i].point, cfg.point_layer) != RTNORM) ++failed;
        }
    }
    return failed;
}

void entities_erase(const std::vector<std::pair<long, long>>& names)
{
    ads_name entity;
    for (const auto& name : names) {
        name_to(name, entity);
        acdbEntDel(entity);
    }
}

}  // namespace

int b_make_circle_point(int mode)
{
    make_circle_cfg_rec& cfg = make_circle_cfg();
    if (mode == 1) cfg.keep_z = 0;
    if (!make_circle_dlg(mode)) return 0;
    // A stone of no size would leave the sides overshooting their corners; with
    // such a value nothing is drawn and nothing erased.
    if (mode == 1 && !(size_valid(cfg.radius) && size_valid(cfg.scale))) {
        acutPrintf("\nThe radius and the scale must be more than 0: nothing is drawn.\n");
        return 0;
    }

    acutPrintf("\nSelect object :");
    ads_name ss;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, ss) != RTNORM) {
        acutPrintf("\nNothing select..");
        return 0;
    }
    circle_selection_rec sel;
    const bool sorted = selection_sort(ss, sel);
    acedSSFree(ss);
    if (!sorted) return 0;

    leg_redraw_rec legs;
    legs.r = cfg.scale / 1000.0 * cfg.radius;
    const numbered_point_list vertices = vertices_collect(sel, mode, legs, cfg);
    const long marks_failed = vertices_mark(vertices, mode, legs.r, cfg);
    // Only what was drawn again goes: an original with a leg that could not be
    // redrawn, or a stone that could not be made, stays, so that nothing of the
    // boundary is lost.
    if (marks_failed > 0) acutPrintf("\n%ld mark(s) could not be made.", marks_failed);
    if (mode == 1 && cfg.delete_originals) {
        if (marks_failed == 0)
            entities_erase(legs.redrawn);
        else
            acutPrintf("\nNo object is erased, as not every stone was made.");
    }
    if (legs.sides_failed > 0)
        acutPrintf("\n%ld side(s) could not be redrawn between the circles: their objects are kept.",
                   legs.sides_failed);
    layer_make_usable(cfg.circle_layer.c_str());
    return 0;
}
