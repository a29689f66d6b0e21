// The area labels (one or two units, the lot-type tag, the area table rows),
// the boundary and auto labelling of b_find_area, and b_put_area.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "ads.h"
#include "angles.h"
#include "entity_makers.h"
#include "find_area.h"
#include "geometry.h"
#include "layers.h"
#include "numbers.h"
#include "polyline_read.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "segment_crossings.h"
#include "sysvar.h"
#include "text_fields.h"
#include "xdata_pending.h"

namespace {

constexpr const char* kApp = "FIND_AREA";

double wrap_360(double angle)
{
    return angle >= 360.0 ? angle - 360.0 : angle;
}

const area_unit_rec& unit(int index)
{
    return area_unit_table()[std::clamp(index, 0, area_unit_last)];
}

void area_table_row(const std::string& text)
{
    find_area_cfg_rec& cfg = find_area_cfg();
    const double h = cfg.scale * cfg.height_a * 0.001;
    const double w = style_current_width_factor();
    const point3d_rec number_at{cfg.table_x, cfg.table_y, 0};
    const point3d_rec text_at{cfg.table_x + 14.0 * w * h, cfg.table_y, 0};
    text_make_cmd(number_at, h, 90.0, cfg.layer, std::to_string(cfg.table_number));
    text_make_cmd(text_at, h, 90.0, cfg.layer, text);
    cfg.table_y -= 2 * h;
    cfg.table_number += 1;
}

// The label's second line: 2 x ha from the point, square to the text's baseline,
// on the side the rotation turns "below".
point3d_rec second_label_point(const point3d_rec& p, double ha, double r90, double r180)
{
    point3d_rec along;
    polar_point(r180, 2 * ha, p, along);
    point3d_rec side = p;
    side.y += 2 * ha * std::cos(r90 * M_PI / 180.0);
    point3d_rec out;
    geo_perpendicular_at_vertex(along, p, side, 2 * ha, out);
    return out;
}

// Rounds the legs of the boundary to 3-decimal distances and bearings of whole
// tens of seconds, spreads the misclosure by the transit rule and replaces the
// boundary by the closed LWPOLYLINE so made. The new boundary's name in boundary.
bool area_adjust_by_bgd(ads_name boundary)
{
    if (!lwpoly_read_vertices(boundary, -1)) return false;
    std::vector<point3d_rec> points;
    for (const numbered_point& v : lwpoly_vertices.vertices) points.push_back(v.point);
    // A closed outline repeats its first vertex at the end; the closing leg is added below.
    if (points.size() > 1 && points.front().x == points.back().x && points.front().y == points.back().y)
        points.pop_back();
    const size_t n = points.size();
    if (n < 3) return false;
    acdbEntDel(boundary);

    std::vector<double> bearings(n), distances(n);
    double sum_dx = 0, sum_dy = 0;
    point3d_rec walk = points[0];
    for (size_t i = 0; i < n; ++i) {
        const point3d_rec& a = points[i];
        const point3d_rec& b = points[(i + 1) % n];
        distances[i] = std::atof(rtos_decimal(dist_2d(a, b), 3).c_str());
        std::string d, m, s;
        angle_to_dms_parts(bearing_deg(a, b), 1, d, m, s);
        bearings[i] = angle_dms_parts_to_deg(d, m, s);
        double dx = 0, dy = 0;
        bearing_to_dxdy(bearings[i], distances[i], dx, dy);
        sum_dx += std::fabs(dx);
        sum_dy += std::fabs(dy);
        walk.x += dx;
        walk.y += dy;
    }
    const double ex = points[0].x - walk.x, ey = points[0].y - walk.y;
    const double kx = sum_dx > 0 ? ex / sum_dx : 0, ky = sum_dy > 0 ? ey / sum_dy : 0;

    lwpoly_chain_rec& chain = lwpoly_chain();
    chain.layer = find_area_cfg().layer;
    chain.flags = 1;
    point3d_rec vertex = points[0];
    vertex.z = 0;
    lwpoly_make(vertex, 1);
    for (size_t i = 0; i + 1 < n; ++i) {
        point3d_rec next;
        polar_point_scaled(bearings[i], distances[i], vertex, next, kx, ky);
        lwpoly_make(next, 1);
        vertex = next;
    }
    if (!lwpoly_make(vertex, 2)) return false;
    return acdbEntLast(boundary) == RTNORM;
}

// Measures and labels the region around the point: 0 when there is none or the
// user answered "S" to stop, else 1.
int boundary_label(const point3d_rec& p)
{
    ads_name boundary;
    if (!bpoly_at(p, boundary)) {
        acedCommand(RTNONE);
        return 0;
    }
    if (find_area_cfg().method == 1 && !area_adjust_by_bgd(boundary)) {
        acutPrintf("\nThe boundary could not be rebuilt from its bearings and distances.");
        acdbEntDel(boundary);
        return 1;
    }
    // A failed measurement would leave the last AREA behind: nothing is labelled then.
    const bool measured = acedCommand(RTSTR, "area", RTSTR, "e", RTENAME, boundary, RTNONE) == RTNORM;
    std::string answer;
    point3d_rec ignored;
    const int rc =
        prompt_point_or_text("\n<S>top <Pick any place point or enter>", "", nullptr, answer, ignored);
    acdbEntDel(boundary);
    acedCommand(RTSTR, "_redrawall", RTNONE);
    if (measured)
        area_label_text(p);
    else
        acutPrintf("\nThe area of the boundary could not be measured; nothing labelled.");
    return rc == 2 && str_upper_copy(answer) == "S" ? 0 : 1;
}

// Labels every region between consecutive LINE crossings of the segment from p1.
int auto_label(point3d_rec p1, int reverse)
{
    std::string text;
    point3d_rec p2;
    if (prompt_point_or_text("\nPick next point", "", &p1, text, p2) != 1) return 0;
    if (reverse) std::swap(p1, p2);
    std::vector<segment_crossing> crossings;
    ads_name set;
    if (!segment_line_crossings(p1, p2, false, crossings, set)) return 0;
    acedSSFree(set);
    for (const point3d_rec& mid : crossing_midpoints(crossings))
        if (boundary_label(mid) == 0) break;
    return 1;
}

}  // namespace

void area_label_text(const point3d_rec& p)
{
    find_area_cfg_rec& cfg = find_area_cfg();
    const double ha = cfg.scale * cfg.height_a * 0.001;
    const double hb = cfg.height_b * cfg.scale * 0.001;
    double area = 0;
    sysvar_get_real("AREA", area);
    const std::string formatted =
        rtos_decimal(convert_area_value(area, "M", unit(cfg.unit_a).letter), cfg.decimals_a);
    const std::string text_a = formatted + cfg.suffix_a;
    acutPrintf("\narea %sm2", formatted.c_str());
    const double r90 = wrap_360(cfg.rotation + 90.0);
    const double r180 = wrap_360(cfg.rotation + 180.0);

    const int type = std::clamp(cfg.lot_type, 0, lot_type_count - 1);
    if (type != 0) {
        if (cfg.counters[type] == 0) cfg.counters[type] = 1;
        xdata_pending_set_text(std::string(lot_type_names[type]) + "," + std::to_string(cfg.counters[type]) +
                               "," + text_a);
        text_make_xdata(p, ha, cfg.width_factor, cfg.rotation, cfg.layer, text_a, kApp);
        cfg.counters[type] += 1;
    } else {
        text_make_justified(4, p, ha, cfg.width_factor, cfg.rotation, cfg.layer, text_a, 1);
    }
    if (cfg.table_on) area_table_row(text_a);
    if (cfg.second_on) {
        const point3d_rec at = second_label_point(p, ha, r90, r180);
        // From the measured area, not from the rounded first label: 500 m2 shown as
        // 0.1 ha would otherwise be labelled 0.247 ac instead of 0.124 ac.
        const double vb = convert_area_value(area, "M", unit(cfg.unit_b).letter);
        text_make_on_layer(at, hb, cfg.width_factor, cfg.rotation, cfg.layer,
                           rtos_decimal(vb, cfg.decimals_b) + cfg.suffix_b, 1);
    }
}

int b_find_area()
{
    if (!load_find_area_cfg_file()) return 0;
    if (!find_area_confirmed()) {
        if (dlg_find_area(1) != 1) return 0;
        find_area_confirmed() = 1;
    }
    find_area_cfg_rec& cfg = find_area_cfg();
    std::string previous_layer;
    layer_current_get(previous_layer);
    layer_ensure(cfg.layer.c_str());
    layer_make_usable(cfg.layer.c_str());
    layer_current_set(cfg.layer.c_str());
    int reverse = 0;
    for (;;) {
        if (reverse) acutPrintf("\nNow reverse..");
        const char* prompt =
            cfg.auto_mode ? "\n<S>etting e<X>it [<N>o Auto Area] <R>otation Re<V>erse <Auto Pick 1st point>"
                          : "\n<S>etting e<X>it <A>uto Area <R>otation <Pick point>";
        std::string text;
        point3d_rec point;
        const int rc = prompt_point_or_text(prompt, "", nullptr, text, point);
        if (rc == 1) {
            const int result = cfg.auto_mode ? auto_label(point, reverse) : boundary_label(point);
            reverse = 0;
            if (result == 0) break;
            continue;
        }
        if (rc != 2) break;
        const std::string word = str_upper_copy(text);
        if (word == "X") break;
        if (word == "V")
            reverse = !reverse;
        else if (word == "S")
            dlg_find_area(1);
        else if (word == "R") {
            double bearing = 0;
            if (pick_two_points_bearing(nullptr, bearing)) cfg.rotation = bearing;
        } else if (word == "A")
            cfg.auto_mode = 1;
        else if (word == "N")
            cfg.auto_mode = 0;
    }
    find_area_cfg_save();
    if (!previous_layer.empty()) layer_current_set(previous_layer.c_str());
    return 0;
}

int b_put_area()
{
    if (!load_find_area_cfg_file()) return 0;
    if (!find_area_confirmed()) {
        if (dlg_find_area(2) != 1) return 0;
        find_area_confirmed() = 1;
    }
    for (;;) {
        std::string text;
        point3d_rec point;
        const int rc = prompt_point_or_text("\n<S>etting e<X>it <Pick point>", "", nullptr, text, point);
        if (rc == 1) {
            area_label_text(point);
            find_area_cfg_save();  // the lot-type counters move on
            return 1;
        }
        if (rc != 2) return 0;
        const std::string word = str_upper_copy(text);
        if (word == "X") return 0;
        if (word == "S") dlg_find_area(2);
    }
}
