// The plan grid: b_block_grid.
#include "plan_grid.h"

#include <cmath>
#include <vector>

#include "ads.h"
#include "angles.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "numbers.h"
#include "resbuf_util.h"
#include "sysvar.h"

namespace {

// A frame whose first edge lies within this many degrees of an axis counts as
// axis-aligned: a drift below 0.2 mm over a kilometre is picking noise, and
// such an edge would otherwise cross a grid line it runs along at a stray place.
constexpr double kAxisTolerance = 1e-6;

struct frame_edge {
    point3d_rec from, to;
};

bool on_axis(double bearing)
{
    const double rest = std::fmod(bearing, 90.0);
    return rest <= kAxisTolerance || 90.0 - rest <= kAxisTolerance;
}

// The tick direction of an edge for a base direction: the base itself when a
// point set off from the edge's middle that way lies on the right of the edge
// (inside a frame picked north and east of its origin), else its reverse.
double tick_direction(const frame_edge& edge, double base, double tick_length)
{
    const point3d_rec middle{(edge.from.x + edge.to.x) / 2, (edge.from.y + edge.to.y) / 2, 0};
    // A tick of no length still needs a side to put its label on.
    const double probe_distance = tick_length > 0 ? tick_length : 1.0;
    point3d_rec probe;
    polar_point(base, probe_distance, middle, probe);
    return geo_side_of_line(edge.from, edge.to, probe) == 1 ? base : angle_add(base, 180.0);
}

// The grid values k x interval from the one at min truncated toward zero up to
// max. Each is a multiple worked out afresh, so that no sum of steps drifts
// past the last value.
std::vector<double> grid_values(double min, double max, double interval)
{
    std::vector<double> values;
    const double last = max + 1e-9 * std::fmax(1.0, std::fabs(max));
    for (double k = std::trunc(min / interval); k * interval <= last; k += 1.0)
        values.push_back(k * interval);
    return values;
}

// What one run draws, for the closing line.
struct grid_counts {
    int ticks = 0;
    int labels = 0;
};

// A tick (and, with kind, its label) where the grid line a-b crosses the edge.
void grid_mark(const point3d_rec& a, const point3d_rec& b, const frame_edge& edge, double direction,
               double tick_length, int kind, bool label, grid_counts& counts)
{
    point3d_rec q;
    if (!geo_intersect(a, b, edge.from, edge.to, 1, q)) return;
    q.z = 0;
    const pelan_grid_cfg_rec& cfg = pelan_grid_cfg();
    point3d_rec end;
    polar_point(direction, tick_length, q, end);
    line_make(q, end, cfg.layer);
    ++counts.ticks;
    if (!label) return;
    grid_label_text(q, kind == kGridNorthing ? q.y : q.x, direction, kind);
    ++counts.labels;
}

point3d_rec flat_point(const ads_point p)
{
    return point3d_rec{p[X], p[Y], 0};
}

// Three points span a frame when neither of the other two lies on the origin
// and they do not lie on one line.
bool spans_frame(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& p3)
{
    const double ax = p2.x - p1.x, ay = p2.y - p1.y, bx = p3.x - p1.x, by = p3.y - p1.y;
    const double lengths = std::hypot(ax, ay) * std::hypot(bx, by);
    return lengths > 0 && std::fabs(ax * by - ay * bx) > 1e-9 * lengths;
}

}  // namespace

pelan_grid_cfg_rec& pelan_grid_cfg()
{
    static pelan_grid_cfg_rec cfg;
    return cfg;
}

bool grid_frame_pick(grid_frame_rec& frame)
{
    frame.picked = false;
    ads_point origin, north, east;
    if (acedGetPoint(nullptr, "\nPick origin point 1:", origin) != RTNORM) return false;
    if (acedGetPoint(origin, "\nPick north point 2:", north) != RTNORM) return false;
    if (acedGetPoint(origin, "\nPick east point 3:", east) != RTNORM) return false;
    const point3d_rec p1 = flat_point(origin), p2 = flat_point(north), p3 = flat_point(east);
    if (!spans_frame(p1, p2, p3)) {
        acutPrintf(
            "\nThe three points make no frame (two coincide or all lie on one line): pick them again.");
        return false;
    }
    frame.p1 = p1;
    frame.p2 = p2;
    frame.p3 = p3;
    frame.picked = true;
    return true;
}

int pelan_grid_dlg(grid_frame_rec& frame)
{
    pelan_grid_cfg_rec& cfg = pelan_grid_cfg();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);
    static const std::vector<std::string> kLanguages = {"Malay", "English"};

    // The dialog edits a copy; OK makes it the settings. The frame is asked
    // anew at every call, and OK waits for it.
    pelan_grid_cfg_rec edit = cfg;
    frame.picked = false;
    dialog_def def;
    def.file = "Pelan_Grid_Dlg.dcl";
    def.name = "pelan_grid_dlg";
    def.tiles = {tile_layer("layer_text", edit.layer, 254),
                 tile_real("scale_text", edit.scale, luprec),
                 tile_real("sela_text", edit.interval, luprec),
                 tile_real("textheight_text", edit.text_height, luprec),
                 tile_real("textwidth_text", edit.width_factor, luprec),
                 tile_real("linelength_text", edit.tick_length, luprec),
                 tile_real("textspc_text", edit.text_spacing, luprec),
                 tile_popup("language_pop", edit.language, kLanguages),
                 tile_button("pick_grd_btn", 2),
                 tile_help("text_author", "/survey_menu.htm#_Grid"),
                 tile_button("ok", DLGOK),
                 tile_button("cancel", DLGCANCEL)};
    def.on_open = [&](ads_hdlg dialog) {
        ads_mode_tile(dialog, "textwidth_text", MODE_DISABLE);
        if (!frame.picked) ads_mode_tile(dialog, "ok", MODE_DISABLE);
    };
    const int status = dialog_run(def, [&](int pick) {
        if (pick == 2) grid_frame_pick(frame);
        return true;
    });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) cfg = edit;
    return status;
}

void grid_label_text(const point3d_rec& q, double value, double tick_direction, int kind)
{
    const pelan_grid_cfg_rec& cfg = pelan_grid_cfg();
    const double s = cfg.scale * 0.001;
    const double h = cfg.text_height * s;
    const double g = cfg.text_spacing * s;
    const bool english = cfg.language == 1;
    const bool positive = value >= 0;
    const std::string number = rtos_decimal(std::fabs(value), 0);
    if (kind == kGridNorthing) {
        const std::string text = (positive ? (english ? "N " : "U ") : "S ") + number;
        // On the right edge (ticks pointing west) the text ends short of the tick.
        const bool right_edge = tick_direction == 270.0;
        const point3d_rec at{right_edge ? q.x - g : q.x + g, positive ? q.y - 2 * g : q.y + g, 0};
        if (right_edge)
            text_make_cmd(at, h, 90.0, cfg.layer, text);
        else
            text_make_on_layer(at, h, cfg.width_factor, 90.0, cfg.layer, text, 1);
    } else if (kind == kGridEasting) {
        const std::string text = (positive ? (english ? "E " : "T ") : (english ? "W " : "B ")) + number;
        const double across = (cfg.text_height + cfg.text_spacing) * s;
        const bool top_edge = tick_direction == 180.0;
        const point3d_rec at{positive ? q.x - across : q.x + across, top_edge ? q.y - g : q.y + g, 0};
        // Eastings read down the sheet (up for a negative value), starting at
        // the frame's edge: from the top edge left-justified, from the bottom
        // edge right-justified.
        const double bearing = positive ? 180.0 : 0.0;
        if (top_edge != positive)
            text_make_cmd(at, h, bearing, cfg.layer, text);
        else
            text_make_on_layer(at, h, cfg.width_factor, bearing, cfg.layer, text, 1);
    }
}

int block_grid_draw(const grid_frame_rec& frame)
{
    const pelan_grid_cfg_rec& cfg = pelan_grid_cfg();
    const double interval = cfg.interval;
    if (!(interval > 0)) {
        acutPrintf("\nThe grid interval must be more than 0 (it is %s): nothing was drawn.",
                   rtos_decimal(interval, 3).c_str());
        return 0;
    }
    const double length = cfg.tick_length * cfg.scale * 0.001;
    const point3d_rec& p1 = frame.p1;
    const point3d_rec& p2 = frame.p2;
    const point3d_rec& p3 = frame.p3;
    // The fourth corner: P3 moved by the vector P1 to P2.
    const point3d_rec p4{p3.x + p2.x - p1.x, p3.y + p2.y - p1.y, 0};
    const bool aligned = on_axis(bearing_deg(p1, p2));
    const frame_edge left{p1, p2}, top{p2, p4}, right{p4, p3}, bottom{p3, p1};

    const double minx = std::fmin(std::fmin(p1.x, p2.x), std::fmin(p3.x, p4.x));
    const double maxx = std::fmax(std::fmax(p1.x, p2.x), std::fmax(p3.x, p4.x));
    const double miny = std::fmin(std::fmin(p1.y, p2.y), std::fmin(p3.y, p4.y));
    const double maxy = std::fmax(std::fmax(p1.y, p2.y), std::fmax(p3.y, p4.y));

    grid_counts counts;
    const double n_left = tick_direction(left, 90.0, length), n_top = tick_direction(top, 90.0, length);
    const double n_right = tick_direction(right, 270.0, length),
                 n_bottom = tick_direction(bottom, 270.0, length);
    for (double y : grid_values(miny, maxy, interval)) {
        const point3d_rec a{minx, y, 0}, b{maxx, y, 0};
        grid_mark(a, b, left, n_left, length, kGridNorthing, true, counts);
        if (!aligned) grid_mark(a, b, top, n_top, length, kGridNorthing, false, counts);
        grid_mark(a, b, right, n_right, length, kGridNorthing, true, counts);
        if (!aligned) grid_mark(a, b, bottom, n_bottom, length, kGridNorthing, false, counts);
    }
    const double e_left = tick_direction(left, 180.0, length), e_top = tick_direction(top, 0.0, length);
    const double e_right = tick_direction(right, 0.0, length), e_bottom = tick_direction(bottom, 0.0, length);
    for (double x : grid_values(minx, maxx, interval)) {
        const point3d_rec a{x, miny, 0}, b{x, maxy, 0};
        if (!aligned) grid_mark(a, b, left, e_left, length, kGridEasting, false, counts);
        grid_mark(a, b, top, e_top, length, kGridEasting, true, counts);
        if (!aligned) grid_mark(a, b, right, e_right, length, kGridEasting, false, counts);
        grid_mark(a, b, bottom, e_bottom, length, kGridEasting, true, counts);
    }
    acutPrintf("\nPlan grid: %d ticks and %d labels on layer %s.", counts.ticks, counts.labels,
               cfg.layer.c_str());
    return 1;
}

int b_block_grid()
{
    grid_frame_rec frame;
    if (pelan_grid_dlg(frame) != DLGOK || !frame.picked) return 0;
    return block_grid_draw(frame);
}

double grid_value_align(double base, double start, double candidate, double interval)
{
    const double dist = std::fabs(base - start);
    acutPrintf("\ndist[%f] startx[%f] px[%f] pbase[%f]", dist, start, candidate, base);
    // Without a positive interval no step gets anywhere.
    if (dist <= interval || !(interval > 0)) return candidate;
    if (start > base) {
        const double steps = candidate < base ? 0.0 : std::floor((candidate - base) / interval) + 1.0;
        return candidate - steps * interval + interval;
    }
    if (start < base) {
        const double steps = candidate > base ? 0.0 : std::floor((base - candidate) / interval) + 1.0;
        return candidate + steps * interval;
    }
    return candidate;
}
