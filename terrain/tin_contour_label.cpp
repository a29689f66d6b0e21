// Contour labels along a picked path. The path's box selects the polylines
// that may cross it; each path segment is cut with every piece of every
// contour, and the crossings of one segment are labelled together, so that
// the labels of a run of contours read the same way up the slope.
#include "tin_contour_label.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ads.h"
#include "angles.h"
#include "constants.h"
#include "dialog_conventions.h"
#include "drafting_settings.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "geometry.h"
#include "numbers.h"
#include "polyline_read.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "CNT_LABEL";
constexpr int kPathColour = 2;
// The longest layer name and unit text the dialog takes.
constexpr size_t kLayerNameLimit = 59;
constexpr size_t kUnitLimit = 9;
// Two crossings of one contour nearer than this are one crossing (a path
// through a contour vertex meets the pieces on both sides of it).
constexpr double kSameCrossing = 1e-9;

struct cnt_label_state_rec {
    int loaded = 0;
    std::string dwg_path;
};

cnt_label_state_rec& cnt_label_state()
{
    static cnt_label_state_rec state;
    return state;
}

// The picked path and the box of its points.
struct cnt_label_path_rec {
    std::vector<point3d_rec> points;
    point3d_rec low, high;
};

// A contour polyline: its layer, elevation and vertices (closed ones end with
// their first vertex again).
struct cnt_label_contour_rec {
    int index = 0;
    std::string layer;
    double level = 0;
    std::vector<point3d_rec> vertices;
    point3d_rec low, high;
};

struct cnt_label_guide_rec {
    point3d_rec start, end;
};

point3d_rec flat(const point3d_rec& p)
{
    return point3d_rec{p.x, p.y, 0.0};
}

bool same_name(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// ----------------------------------------------------------------- settings

bool cnt_label_cfg_parse(const std::string& text, cnt_label_cfg_rec& cfg)
{
    if (std::count(text.begin(), text.end(), ',') < 9) return false;
    auto field = [&](int n) { return str_get_field(text, n, ","); };
    cnt_label_cfg_rec read;
    read.parallel_line = std::atoi(field(1).c_str()) != 0 ? 1 : 0;
    read.align = std::atoi(field(2).c_str()) != 0 ? 1 : 0;
    read.plot_scale = std::atof(field(3).c_str());
    read.text_height = std::atof(field(4).c_str());
    read.major_label_layer = field(5);
    read.minor_label_layer = field(6);
    read.major_contour_layer = field(7);
    read.minor_contour_layer = field(8);
    read.unit = field(9);
    if (!(read.plot_scale > 0.0) || !(read.text_height > 0.0)) return false;
    cfg = read;
    return true;
}

// The unit text: 1 to 9 characters, and no comma, which would split the
// stored settings.
void cnt_label_unit_action(ads_callback_packet* packet, std::string& unit)
{
    const std::string typed = packet->value ? packet->value : "";
    if (!typed.empty() && typed.size() <= kUnitLimit && typed.find(',') == std::string::npos)
        unit = typed;
    else if (!typed.empty())
        ads_set_tile(packet->dialog, "error", "The unit text takes 1 to 9 characters and no comma.");
    ads_set_tile(packet->dialog, packet->tile, unit.c_str());
}

// ----------------------------------------------------------------- the path

void cnt_label_redraw_path(const cnt_label_path_rec& path)
{
    for (size_t k = 1; k < path.points.size(); ++k) {
        ads_point from = {path.points[k - 1].x, path.points[k - 1].y, path.points[k - 1].z};
        ads_point to = {path.points[k].x, path.points[k].y, path.points[k].z};
        acedGrDraw(from, to, kPathColour, 0);
    }
}

void cnt_label_pick_path(cnt_label_path_rec& path)
{
    path = cnt_label_path_rec{};
    std::string text;
    point3d_rec point;
    for (;;) {
        const int rc = prompt_point_or_text("\ne<X>it <S>etting <Pick Point>", "", nullptr, text, point);
        if (rc == 1) break;
        if (rc == 0) return;
        const std::string keyword = str_upper_copy(text);
        if (keyword == "X") return;
        if (keyword == "S") cnt_label_dlg_show();
    }
    path.points.push_back(point);
    path.low = path.high = point;
    for (;;) {
        const point3d_rec last = path.points.back();
        const int rc = prompt_point_or_text("\ne<X>it <R>edraw <Pick Next Point>", "", &last, text, point);
        if (rc == 0) return;
        if (rc == 2) {
            const std::string keyword = str_upper_copy(text);
            if (keyword == "X") return;
            if (keyword == "R") cnt_label_redraw_path(path);
            continue;
        }
        ads_point from = {last.x, last.y, last.z}, to = {point.x, point.y, point.z};
        acedGrDraw(from, to, kPathColour, 0);
        path.low.x = std::min(path.low.x, point.x);
        path.low.y = std::min(path.low.y, point.y);
        path.high.x = std::max(path.high.x, point.x);
        path.high.y = std::max(path.high.y, point.y);
        path.points.push_back(point);
    }
}

// ------------------------------------------------------------- the contours

// The contour of a polyline that polyline_read filled, when it lies on one of
// the two contour layers.
void cnt_label_take_contour(const polyline_vertices_rec& read, double level, int index,
                            std::vector<cnt_label_contour_rec>& contours)
{
    const cnt_label_cfg_rec& cfg = cnt_label_cfg();
    if (!same_name(read.layer, cfg.major_contour_layer) && !same_name(read.layer, cfg.minor_contour_layer))
        return;
    if (read.vertices.size() < 2) return;
    cnt_label_contour_rec contour;
    contour.index = index;
    contour.layer = read.layer;
    contour.level = level;
    contour.low = contour.high = flat(read.vertices.front().point);
    for (const auto& v : read.vertices) {
        contour.vertices.push_back(point3d_rec{v.point.x, v.point.y, level});
        contour.low.x = std::min(contour.low.x, v.point.x);
        contour.low.y = std::min(contour.low.y, v.point.y);
        contour.high.x = std::max(contour.high.x, v.point.x);
        contour.high.y = std::max(contour.high.y, v.point.y);
    }
    contours.push_back(std::move(contour));
}

void cnt_label_select_polylines(const cnt_label_path_rec& path, std::vector<cnt_label_contour_rec>& contours)
{
    acutPrintf("\nSelect object :");
    ads_point corner1 = {path.low.x, path.low.y, 0.0}, corner2 = {path.high.x, path.high.y, 0.0};
    ads_name ss;
    if (acedSSGet("C", corner1, corner2, nullptr, ss) != RTNORM) return;
    long length = 0;
    if (acedSSLength(ss, &length) != RTNORM) {
        acutPrintf("\nNothing select..");
        acedSSFree(ss);
        return;
    }
    acutPrintf("\nProcessing selected items...");
    std::vector<long> lwpolylines, polylines;  // set positions
    for (long i = 0; i < length; ++i) {
        acutPrintf("\rProcessing %d of %d objects", static_cast<int>(i + 1), static_cast<int>(length));
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM) {
            acutPrintf("\nSelected object error!");
            acedSSFree(ss);
            return;
        }
        if (ent_is_type(entity, "LWPOLYLINE")) lwpolylines.push_back(i);
        if (ent_is_type(entity, "POLYLINE")) polylines.push_back(i);
    }
    acutPrintf("\nFound %d LWPOLYLINE(s).", static_cast<int>(lwpolylines.size()));
    acutPrintf("\nFound %d POLYLINE(s).", static_cast<int>(polylines.size()));
    for (size_t k = 0; k < lwpolylines.size(); ++k) {
        acutPrintf("\rProcessing LWPOLYLINEs %d of %d objects", static_cast<int>(k + 1),
                   static_cast<int>(lwpolylines.size()));
        if (lwpoly_read_vertices(ss, lwpolylines[k]))
            cnt_label_take_contour(lwpoly_vertices, lwpoly_vertices.elevation, static_cast<int>(k), contours);
    }
    for (size_t k = 0; k < polylines.size(); ++k) {
        acutPrintf("\rProcessing POLYLINEs %d of %d objects", static_cast<int>(k + 1),
                   static_cast<int>(polylines.size()));
        // An old-style polyline keeps its elevation in the z of its own point.
        ads_name entity;
        point3d_rec head;
        if (acedSSName(ss, polylines[k], entity) != RTNORM || !ent_point_get(entity, 10, head)) continue;
        polyline_read_vertices(ss, polylines[k]);
        cnt_label_take_contour(polyline_vertices, head.z, static_cast<int>(k), contours);
    }
    acedSSFree(ss);
}

// --------------------------------------------------------------- the labels

bool cnt_label_within_box(const cnt_label_contour_rec& c, const point3d_rec& a, const point3d_rec& b)
{
    return std::max(a.x, b.x) >= c.low.x && std::min(a.x, b.x) <= c.high.x && std::max(a.y, b.y) >= c.low.y &&
           std::min(a.y, b.y) <= c.high.y;
}

// Where the path segment a-b crosses each contour piece.
std::vector<cnt_label_hit_rec> cnt_label_segment_hits(const std::vector<cnt_label_contour_rec>& contours,
                                                      const point3d_rec& a, const point3d_rec& b)
{
    std::vector<cnt_label_hit_rec> hits;
    const ads_point from = {a.x, a.y, 0.0}, to = {b.x, b.y, 0.0};
    for (const cnt_label_contour_rec& c : contours) {
        if (!cnt_label_within_box(c, a, b)) continue;
        const size_t first_of_contour = hits.size();
        for (size_t j = 1; j < c.vertices.size(); ++j) {
            const point3d_rec& p = c.vertices[j - 1];
            const point3d_rec& q = c.vertices[j];
            if (std::max(p.x, q.x) < std::min(a.x, b.x) || std::min(p.x, q.x) > std::max(a.x, b.x) ||
                std::max(p.y, q.y) < std::min(a.y, b.y) || std::min(p.y, q.y) > std::max(a.y, b.y))
                continue;
            const ads_point piece_from = {p.x, p.y, 0.0}, piece_to = {q.x, q.y, 0.0};
            ads_point hit;
            if (acdbInters(piece_from, piece_to, from, to, 1, hit) != RTNORM) continue;
            const point3d_rec at{hit[X], hit[Y], c.level};
            bool seen = false;
            for (size_t h = first_of_contour; h < hits.size() && !seen; ++h)
                seen = dist_within(hits[h].point, at, kSameCrossing);
            if (seen) continue;
            cnt_label_hit_rec found;
            found.angle = bearing_deg(p, q);
            found.level = c.level;
            found.distance = dist_2d(a, at);
            found.layer = c.layer;
            found.point = at;
            hits.push_back(found);
        }
    }
    return hits;
}

// Labels the hits of one path segment; with the guide option, returns the
// widest label's length along its baseline (0 when none was measured).
double cnt_label_place(std::vector<cnt_label_hit_rec>& hits, const point3d_rec& start, const point3d_rec& end)
{
    const cnt_label_cfg_rec& cfg = cnt_label_cfg();
    const double size = cfg.plot_scale * 0.001 * cfg.text_height;
    std::stable_sort(hits.begin(), hits.end(), [](const cnt_label_hit_rec& p, const cnt_label_hit_rec& q) {
        return p.distance < q.distance;
    });
    const std::vector<double> angles = cnt_label_angles(hits, start, end);
    double widest = 0.0;
    for (size_t i = 0; i < hits.size(); ++i) {
        const cnt_label_hit_rec& hit = hits[i];
        const std::string& layer =
            same_name(hit.layer, cfg.major_contour_layer) ? cfg.major_label_layer : cfg.minor_label_layer;
        const std::string text = cnt_label_level_text(hit.level) + cfg.unit;
        text_make_justified(4, hit.point, size, 1.0, angles[i], layer, text, 1);
        if (!cfg.parallel_line || hits.size() < 2) continue;
        ads_name made;
        if (acdbEntLast(made) == RTNORM && text_box_corners(made))
            widest = std::max(widest, dist_2d(text_box_read.corners[0], text_box_read.corners[3]));
    }
    return widest;
}

// The guide polyline through the guide segments: the first start, where
// consecutive segments meet as whole lines, and the last end.
void cnt_label_guide_line(const std::vector<cnt_label_guide_rec>& guides, const std::string& layer)
{
    lwpoly_chain_rec& header = lwpoly_chain();
    lwpoly_make({}, 3);
    header.layer = layer;
    header.flags = 0;
    header.width = 0;
    header.elevation = 0;
    header.thickness = 0;
    lwpoly_make(flat(guides.front().start), 1);
    for (size_t k = 1; k < guides.size(); ++k) {
        const ads_point a1 = {guides[k - 1].start.x, guides[k - 1].start.y, 0.0};
        const ads_point a2 = {guides[k - 1].end.x, guides[k - 1].end.y, 0.0};
        const ads_point b1 = {guides[k].start.x, guides[k].start.y, 0.0};
        const ads_point b2 = {guides[k].end.x, guides[k].end.y, 0.0};
        ads_point meet;
        if (acdbInters(a1, a2, b1, b2, 0, meet) == RTNORM) lwpoly_make({meet[X], meet[Y], 0.0}, 1);
    }
    lwpoly_make(flat(guides.back().end), 1);
    lwpoly_make({}, 2);
}

void cnt_label_intersect(const std::vector<cnt_label_contour_rec>& contours, const cnt_label_path_rec& path)
{
    const cnt_label_cfg_rec& cfg = cnt_label_cfg();
    std::vector<cnt_label_guide_rec> upper, lower;
    for (size_t k = 1; k < path.points.size(); ++k) {
        const point3d_rec start = flat(path.points[k - 1]), end = flat(path.points[k]);
        std::vector<cnt_label_hit_rec> hits = cnt_label_segment_hits(contours, start, end);
        if (hits.empty()) continue;
        const double widest = cnt_label_place(hits, start, end);
        if (!cfg.parallel_line || hits.size() < 2) continue;
        const double bearing = bearing_deg(start, end);
        const double up = angle_add(bearing, 90.0), down = angle_add(bearing, 270.0);
        const double half = 0.5 * widest;
        cnt_label_guide_rec above, below;
        polar_point(up, half, start, above.start);
        polar_point(up, half, end, above.end);
        polar_point(down, half, start, below.start);
        polar_point(down, half, end, below.end);
        upper.push_back(above);
        lower.push_back(below);
    }
    if (!cfg.parallel_line || upper.empty()) return;
    cnt_label_guide_line(upper, cfg.major_label_layer);
    cnt_label_guide_line(lower, cfg.major_label_layer);
}

}  // namespace

cnt_label_cfg_rec& cnt_label_cfg()
{
    static cnt_label_cfg_rec cfg;
    return cfg;
}

std::string cnt_label_level_text(double level)
{
    int decimals = 0;
    while (decimals < 3 && std::fabs(real_round(level, decimals) - level) > 1e-6) ++decimals;
    const double shown = real_round(level, decimals);
    return real_format(shown == 0.0 ? 0.0 : shown, decimals);  // never "-0"
}

std::vector<double> cnt_label_angles(const std::vector<cnt_label_hit_rec>& hits, const point3d_rec& start,
                                     const point3d_rec& end)
{
    std::vector<double> angles;
    if (hits.size() == 1) {
        angles.push_back(hits[0].angle);
        return angles;
    }
    const double bearing = bearing_deg(start, end);
    const double up = angle_add(bearing, 90.0), down = angle_add(bearing, 270.0);
    for (size_t i = 0; i < hits.size(); ++i) {
        const bool rising =
            i + 1 < hits.size() ? hits[i].level <= hits[i + 1].level : hits[i].level >= hits[i - 1].level;
        const double reference = rising ? up : down;
        double angle = hits[i].angle;
        // The text's baseline runs within a right angle of the reference, so
        // its top faces rising ground; the two directions are compared round
        // the circle (10 and 350 lie 20 apart).
        if (angle_diff(reference, angle) > 90.0) angle = angle_reverse(angle);
        angles.push_back(angle);
    }
    return angles;
}

std::string cnt_label_cfg_text(const cnt_label_cfg_rec& cfg)
{
    std::string text;
    comma_list_add(text, cfg.parallel_line);
    comma_list_add(text, cfg.align);
    comma_list_add(text, cfg.plot_scale, 3);
    comma_list_add(text, cfg.text_height, 3);
    comma_list_add(text, cfg.major_label_layer);
    comma_list_add(text, cfg.minor_label_layer);
    comma_list_add(text, cfg.major_contour_layer);
    comma_list_add(text, cfg.minor_contour_layer);
    comma_list_add(text, cfg.unit);
    return text;
}

int cnt_label_cfg_load()
{
    std::string text;
    if (drawing_setting_read(kApp, ORVIK_SETTINGS_LAYER, text) != 1) return 0;
    if (cnt_label_cfg_parse(text, cnt_label_cfg())) return 1;
    acutPrintf("\nThe drawing's contour label settings cannot be read; the defaults are used.");
    return 0;
}

int cnt_label_cmd_setup()
{
    settings_key_rec key;
    settings_key_make(key, kApp, kApp);
    std::string stored;
    drawing_setting_find(key, stored);
    if (!cnt_label_cfg_load()) cnt_label_cfg() = cnt_label_cfg_rec{};
    return 1;
}

int cnt_label_cfg_save()
{
    const std::string text = cnt_label_cfg_text(cnt_label_cfg());
    // The store keeps one extended-data string; a longer text is refused
    // whole rather than cut.
    if (text.size() > kSettingsTextLimit) {
        acutPrintf(
            "\nContour label settings not saved: they take %zu characters and at most %zu can be stored.",
            text.size(), kSettingsTextLimit);
        return RTERROR;
    }
    const int rc = layer_xdata_put(ORVIK_SETTINGS_LAYER, kApp, text.c_str(), 1);
    if (rc != RTNORM) acutPrintf("\nFailed save cfg to layer %s", ORVIK_SETTINGS_LAYER);
    return rc;
}

int cnt_label_dlg_show()
{
    cnt_label_cfg_rec& cfg = cnt_label_cfg();
    cnt_label_cfg_rec edit = cfg;  // OK makes the edited copy the settings
    dialog_def def{
        "DTM_Contour_Label.dcl",
        "TinContourLabel_dlg",
        {tile_toggle("tg_MakeParallelLine", edit.parallel_line), tile_toggle("tg_SelectAlgn", edit.align),
         tile_real_positive("txt_PlotScale", edit.plot_scale, 3),
         tile_real_positive("txt_TextHeight", edit.text_height, 3),
         tile_layer("txt_MajorLblLayer", edit.major_label_layer, kLayerNameLimit),
         tile_layer("txt_MinorLblLayer", edit.minor_label_layer, kLayerNameLimit),
         tile_layer("txt_MajorCntLayer", edit.major_contour_layer, kLayerNameLimit),
         tile_layer("txt_MinorCntLayer", edit.minor_contour_layer, kLayerNameLimit),
         tile_action("txt_Unit",
                     [&edit](ads_callback_packet* packet) { cnt_label_unit_action(packet, edit.unit); }),
         tile_button("ok", DLGOK)}};
    def.on_open = [&edit](ads_hdlg dialog) { ads_set_tile(dialog, "txt_Unit", edit.unit.c_str()); };
    const int status = dialog_run(def, [](int) { return true; });
    if (status != DLGOK) return 0;
    cfg = edit;
    cnt_label_cfg_save();
    return 1;
}

void tin_contour_label_cmd()
{
    cnt_label_state_rec& state = cnt_label_state();
    const std::string path_name = dwg_full_path();
    if (!state.loaded || !same_name(path_name, state.dwg_path)) {
        if (!cnt_label_cmd_setup() || !cnt_label_dlg_show()) return;
        state.dwg_path = path_name;
        state.loaded = 1;
    }
    if (cnt_label_cfg().align) {
        acedAlert("Aligning the contour labels is not available yet.");
        return;
    }
    cnt_label_path_rec path;
    cnt_label_pick_path(path);
    if (path.points.empty()) return;
    std::vector<cnt_label_contour_rec> contours;
    cnt_label_select_polylines(path, contours);
    if (!contours.empty()) cnt_label_intersect(contours, path);
}
