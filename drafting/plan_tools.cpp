// The plan tools: rescale, copy block to points, explode blocks, circle radius,
// marker texts, picked point, elevation check, zero-elevation marks and the
// angle label.
#include "plan_tools.h"

#include <strings.h>

#include <array>
#include <cmath>
#include <vector>

#include "ads.h"
#include "angles.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "geometry.h"
#include "layers.h"
#include "messages.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"
#include "text_filter.h"
#include "text_modify.h"
#include "xdata_pending.h"
#include "xdata_read.h"

namespace {

constexpr const char* kCheckLayer = "CHECK_3D";

// A scale or radius answer: 0 for an exit (or a typed 0); a negative value is
// asked again, naming what it is.
double prompt_above_zero(const char* prompt, double last, const char* what)
{
    for (;;) {
        const double value = prompt_real_or_exit(prompt, last, 3);
        if (value == 0.0 || size_valid(value)) return value;
        say_refused_value(std::string("A ") + what + " must be more than 0.", true);
    }
}

// TEXTs or INSERTs of one user selection, as the mode asks.
bool select_rescale(int mode, selection_guard& texts, selection_guard& inserts)
{
    if (mode == 2) return ss_select_type("TEXT", texts.ss, texts.length) == 1;
    if (mode == 3) return ss_select_type("INSERT", inserts.ss, inserts.length) == 1;
    resbuf* filter = acutBuildList(-4, "<or", -4, "<and", RTDXF0, "TEXT", -4, "and>", -4, "<and", RTDXF0,
                                   "INSERT", -4, "and>", -4, "or>", 0);
    selection_guard both;
    const int rc = acedSSGet(nullptr, nullptr, nullptr, filter, both.ss);
    acutRelRb(filter);
    if (rc != RTNORM) {
        ads_name_clear(both.ss);
        return false;
    }
    ss_verify_type(both.ss, "TEXT", texts.ss, texts.length);
    ss_verify_type(both.ss, "INSERT", inserts.ss, inserts.length);
    return texts.length + inserts.length > 0;
}

void rescale_texts(const selection_guard& texts, double factor)
{
    if (texts.length == 0) return;
    acutPrintf("\nRescale Text entities....\n");
    progress_reset();
    for (long i = 0; i < texts.length; ++i) {
        ads_name entity;
        double height = 0;
        if (acedSSName(texts.ss, i, entity) == RTNORM && ent_real_get(entity, 40, height)) {
            text_modify_set(2, "", height * factor, 0);
            text_modify_apply(entity);
        }
        progress_percent(i + 1, static_cast<int>(texts.length));
    }
}

void rescale_inserts(const selection_guard& inserts, double factor)
{
    if (inserts.length == 0) return;
    acutPrintf("\nRescale Block entities....\n");
    progress_reset();
    ent_mod_pending_rec& pending = ent_mod_pending();
    for (long i = 0; i < inserts.length; ++i) {
        ads_name entity;
        if (acedSSName(inserts.ss, i, entity) == RTNORM) {
            for (int code : {41, 42}) {
                double scale = 1.0;
                ent_real_get(entity, code, scale);
                pending.kind = 2;
                pending.code = code;
                pending.real = scale * factor;
                ent_mod_apply(entity);
            }
            acdbEntUpd(entity);
        }
        progress_percent(i + 1, static_cast<int>(inserts.length));
    }
}

// The drawing's block names, sorted, as the dialog lists them.
std::vector<std::string>& dialog_block_names()
{
    static std::vector<std::string> names;
    return names;
}

// The vertices of an LWPOLYLINE at its elevation, each once.
std::vector<point3d_rec> lwpolyline_points(const ads_name entity)
{
    std::vector<point3d_rec> out;
    resbuf* list = acdbEntGet(entity);
    const double elevation = list ? rb_get_real(list, 38) : 0.0;
    for (const resbuf* node = list; node; node = node->rbnext)
        if (node->restype == 10) out.push_back({node->resval.rpoint[X], node->resval.rpoint[Y], elevation});
    acutRelRb(list);
    return out;
}

// The VERTEX points of an old-style POLYLINE, up to its SEQEND.
std::vector<point3d_rec> polyline_points(const ads_name entity)
{
    std::vector<point3d_rec> out;
    ads_name next;
    ads_name_set(entity, next);
    while (acdbEntNext(next, next) == RTNORM) {
        resbuf* list = acdbEntGet(next);
        const char* type = list ? rb_get_str(list, 0) : nullptr;
        const bool vertex = type && strcasecmp(type, "VERTEX") == 0;
        point3d_rec p;
        if (vertex) rb_get_point(list, 10, p, 1);
        acutRelRb(list);
        if (!vertex) break;
        out.push_back(p);
    }
    return out;
}

std::string entity_type(const ads_name entity)
{
    std::string type;
    ent_get_string(entity, 0, type);
    str_upper(type);
    return type;
}

struct check_3d_rec {
    double min_z = -99.0, max_z = 0.0;
    int to_layer = 1;
    double radius = 2.0;
    int marked = 0;
};

bool in_range(const check_3d_rec& check, double z)
{
    return z > check.min_z && z < check.max_z;
}

void move_to_check_layer(const ads_name entity)
{
    ent_mod_pending_rec& pending = ent_mod_pending();
    pending.kind = 3;
    pending.code = 8;
    pending.text = kCheckLayer;
    ent_mod_apply(entity);
}

// Marks one entity whose elevation lies in the range: onto the check layer, or
// a circle at each of its points in the range.
void check_3d_entity(check_3d_rec& check, const ads_name entity)
{
    const std::string type = entity_type(entity);
    std::vector<point3d_rec> points;
    bool whole = false;  // the entity's one elevation decides for all its points
    if (type == "LWPOLYLINE") {
        points = lwpolyline_points(entity);
        whole = true;
    } else if (type == "POINT") {
        point3d_rec p;
        if (ent_point_get(entity, 10, p)) points.push_back(p);
    } else if (type == "POLYLINE") {
        int flags = 0;
        resbuf* list = acdbEntGet(entity);
        if (list) flags = rb_get_short(list, 70);
        acutRelRb(list);
        if (flags & (16 | 64)) return;  // meshes have no elevation of their own
        points = polyline_points(entity);
        whole = !(flags & 8);
        if (whole) {
            point3d_rec header;
            ent_point_get(entity, 10, header);
            for (point3d_rec& p : points) p.z = header.z;
        }
    } else {
        return;
    }
    std::vector<point3d_rec> hits;
    for (const point3d_rec& p : points)
        if (in_range(check, p.z)) hits.push_back(p);
    if (hits.empty() || (whole && hits.size() != points.size())) return;
    ++check.marked;
    if (check.to_layer) {
        move_to_check_layer(entity);
        return;
    }
    for (const point3d_rec& p : hits) circle_make(p, check.radius, kCheckLayer);
}

// The marker application, registered on the first use of a marker tool.
void marker_app_register()
{
    static bool registered = false;
    if (registered) return;
    regapp_register(kMarkerApp);
    registered = true;
}

}  // namespace

plan_tools_cfg_rec& plan_tools_cfg()
{
    static plan_tools_cfg_rec cfg;
    return cfg;
}

int b_bscale()
{
    plan_tools_cfg_rec& cfg = plan_tools_cfg();
    for (;;) {
        const int mode = prompt_int_or_exit("  Block and text [1] Text [2] Block [3]  ", cfg.rescale_mode);
        if (mode == 0) return 0;
        if (mode >= 1 && mode <= 3) {
            cfg.rescale_mode = mode;
            break;
        }
        acutPrintf("\nAnswer 1, 2 or 3.");
    }
    const double old_scale = prompt_above_zero(" Old Scale 1 :", cfg.old_scale, "scale");
    if (old_scale == 0) return 0;
    cfg.old_scale = old_scale;
    const double new_scale = prompt_above_zero(" New Scale 1 :", cfg.new_scale, "scale");
    if (new_scale == 0) return 0;
    cfg.new_scale = new_scale;

    selection_guard texts, inserts;
    if (!select_rescale(cfg.rescale_mode, texts, inserts)) return 0;
    const double factor = new_scale / old_scale;
    rescale_texts(texts, factor);
    rescale_inserts(inserts, factor);
    return 1;
}

int point_to_block_dlg()
{
    plan_tools_cfg_rec& cfg = plan_tools_cfg();
    if (block_table_list() == 0) {
        acedAlert("Sorry no blocks");
        return 0;
    }
    std::vector<std::string>& names = dialog_block_names();
    names = block_name_list;

    // The dialog edits copies; OK turns them into the settings.
    double scale = cfg.block_scale, rotation = cfg.block_rotation;
    int by_layer = cfg.select_by_layer, force_layer = cfg.force_block_layer, chosen = -1;
    std::string filter = cfg.layer_filter;
    auto layer_mode = [&](ads_hdlg dialog) {
        ads_mode_tile(dialog, "select_layer_text", by_layer ? MODE_ENABLE : MODE_DISABLE);
    };
    auto ok_mode = [&](ads_hdlg dialog) {
        ads_mode_tile(dialog, "ok", chosen >= 0 ? MODE_ENABLE : MODE_DISABLE);
    };
    dialog_def def{
        "Point_to_Block_Dlg.dcl",
        "point_to_block_dlg",
        {tile_popup("block_name_listbox", chosen, names) +
             [&](ads_callback_packet* packet) { ok_mode(packet->dialog); },
         tile_real_positive("scale_text", scale, 3), tile_real("rotation_text", rotation, 6),
         tile_toggle("select_by_layer_tg", by_layer) +
             [&](ads_callback_packet* packet) { layer_mode(packet->dialog); },
         tile_text("select_layer_text", filter, 254), tile_toggle("force_block_layer_tg", force_layer),
         tile_button("pick_text_btn", 2), tile_help("text_author", "/utiliti_menu.htm"),
         tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        if (chosen < 0) ads_set_tile(dialog, "block_name_listbox", "");
        layer_mode(dialog);
        ok_mode(dialog);
    };
    const int status = dialog_run(def, [&](int pick) {
        std::string bearing;
        if (pick == 2 && pick_bearing_text(nullptr, bearing))
            rotation = std::strtod(bearing.c_str(), nullptr);
        return true;
    });
    if (status == DLGOK && chosen >= 0 && chosen < static_cast<int>(names.size())) {
        cfg.block_scale = scale;
        cfg.block_rotation = rotation;
        cfg.select_by_layer = by_layer;
        cfg.force_block_layer = force_layer;
        cfg.block_name = names[chosen];
        if (by_layer && !filter.empty()) cfg.layer_filter = filter;
    }
    return status;
}

int copy_block_to_points()
{
    plan_tools_cfg_rec& cfg = plan_tools_cfg();
    if (point_to_block_dlg() != DLGOK) return 0;
    selection_guard points;
    const int selected = cfg.select_by_layer ? ss_select_type_layer("POINT", cfg.layer_filter.c_str(),
                                                                    points.ss, points.length)
                                             : ss_select_type("POINT", points.ss, points.length);
    if (!selected) return 0;
    std::string layer;
    if (cfg.force_block_layer)
        block_layer_get(cfg.block_name.c_str(), layer);
    else
        layer_current_get(layer);
    // The setting is a bearing of the block's x axis (90: as drawn); an INSERT
    // turns counter-clockwise from east.
    const double angle = 90.0 - cfg.block_rotation;
    int made = 0;
    for (long i = 0; i < points.length; ++i) {
        if (!ss_point_get(points.ss, i, 0)) continue;
        made += insert_make(cfg.block_name, point_read.location, angle < 0 ? angle + 360.0 : angle,
                            cfg.block_scale, layer);
    }
    acutPrintf("\n%d blocks copied to points", made);
    return 1;
}

int explode_blocks()
{
    selection_guard inserts;
    if (!ss_select_type("INSERT", inserts.ss, inserts.length)) return 0;
    int failed = 0;
    for (long i = 0; i < inserts.length; ++i) {
        ads_name entity;
        if (acedSSName(inserts.ss, i, entity) != RTNORM ||
            acedCommand(RTSTR, "explode", RTENAME, entity, RTSTR, "", 0) != RTNORM)
            ++failed;
    }
    if (failed) acutPrintf("\n%d of %ld blocks were not exploded", failed, inserts.length);
    return 1;
}

int change_circle_radius()
{
    plan_tools_cfg_rec& cfg = plan_tools_cfg();
    const double radius = prompt_above_zero("New Radius", cfg.circle_radius, "radius");
    if (radius == 0) return 0;
    cfg.circle_radius = radius;
    selection_guard circles;
    if (!ss_select_type("CIRCLE", circles.ss, circles.length)) return 0;
    ent_mod_pending_rec& pending = ent_mod_pending();
    pending.kind = 2;
    pending.code = 40;
    pending.real = radius;
    pending.ok_count = pending.fail_count = 0;
    for (long i = 0; i < circles.length; ++i) {
        if (!ss_ent_mod_apply(circles.ss, i)) {
            ads_name entity;
            if (acedSSName(circles.ss, i, entity) != RTNORM) ++pending.fail_count;
        }
    }
    acutPrintf("\nChanged [%i] Failed [%i]", pending.ok_count, pending.fail_count);
    return 1;
}

int marker_text_attach()
{
    marker_app_register();
    plan_tools_cfg_rec& cfg = plan_tools_cfg();
    ads_name entity;
    ads_point picked;
    if (acedEntSel("\nSelect object", entity, picked) != RTNORM) return 0;
    std::string text;
    prompt_string(0, 0, "Enter Text", cfg.marker_text, text);
    if (text.empty()) {
        acutPrintf("\nNo text was given; nothing was attached.");
        return 0;
    }
    cfg.marker_text = text;
    xdata_pending_set_text(text);
    ent_xdata_add(entity, kMarkerApp);
    return 1;
}

int marker_text_show()
{
    marker_app_register();
    ads_name entity;
    ads_point picked;
    if (acedEntSel("\nSelect object", entity, picked) != RTNORM) return 0;
    std::string text;
    ent_xdata_get_string(entity, kMarkerApp, text);
    acutPrintf("\nValue is :%s", text.c_str());
    return 1;
}

int pick_point_print()
{
    ads_point picked;
    if (acedGetPoint(nullptr, "\nPick Point :", picked) != RTNORM) return 0;
    acutPrintf("\n%.3f,%.3f", picked[X], picked[Y]);
    return 1;
}

int check_3d()
{
    check_3d_rec check;
    check.min_z = prompt_real_or_exit("Min Z", -99.0, 3);
    if (check.min_z == 0) check.min_z = -99.0;
    check.max_z = prompt_real_or_exit("Max Z", 0.0, 3);
    if (check.max_z == 0) check.max_z = 0.0;
    check.to_layer = prompt_yes_no("Change to Layer CHECK_3D", 1);
    if (!check.to_layer) {
        // 0 or an exit takes the default.
        check.radius = prompt_above_zero("Circle Radius", 2.0, "radius");
        if (check.radius == 0) check.radius = 2.0;
    }
    acutPrintf("\nSelect object :");
    selection_guard selection;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, selection.ss) != RTNORM ||
        acedSSLength(selection.ss, &selection.length) != RTNORM) {
        ads_name_clear(selection.ss);
        return 0;
    }
    layer_create(kCheckLayer);
    for (long i = 0; i < selection.length; ++i) {
        ads_name entity;
        if (acedSSName(selection.ss, i, entity) != RTNORM) {
            acutPrintf("\nSelected object error!");
            return 0;
        }
        check_3d_entity(check, entity);
    }
    acutPrintf("\n%d objects between %.3f and %.3f", check.marked, check.min_z, check.max_z);
    return 1;
}

int zero_elevation_marks()
{
    const double radius = prompt_above_zero("Circle Mark Radius:", 7.0, "radius");
    if (radius == 0) return 0;
    acutPrintf("\nSelect object :");
    selection_guard selection;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, selection.ss) != RTNORM ||
        acedSSLength(selection.ss, &selection.length) != RTNORM) {
        ads_name_clear(selection.ss);
        return 0;
    }
    std::vector<std::array<long, 2>> by_type[4];  // LWPOLYLINE, POLYLINE, POINT, LINE
    static const char* const kTypes[] = {"LWPOLYLINE", "POLYLINE", "POINT", "LINE"};
    for (long i = 0; i < selection.length; ++i) {
        acutPrintf(i == 0 ? "\nProcessing %ld of %ld objects" : "\rProcessing %ld of %ld objects", i + 1,
                   selection.length);
        ads_name entity;
        if (acedSSName(selection.ss, i, entity) != RTNORM) {
            acutPrintf("\nSelected object error!");
            return 0;
        }
        const std::string type = entity_type(entity);
        for (int t = 0; t < 4; ++t)
            if (type == kTypes[t]) by_type[t].push_back({entity[0], entity[1]});
    }
    for (int t = 0; t < 4; ++t) acutPrintf("\nFound %d %ss", static_cast<int>(by_type[t].size()), kTypes[t]);

    std::vector<point3d_rec> points;
    for (const auto& name : by_type[1]) {
        const ads_name entity = {name[0], name[1]};
        for (const point3d_rec& p : polyline_points(entity)) points.push_back(p);
    }
    for (const auto& name : by_type[0]) {
        const ads_name entity = {name[0], name[1]};
        for (const point3d_rec& p : lwpolyline_points(entity)) points.push_back(p);
    }
    for (const auto& name : by_type[3]) {
        const ads_name entity = {name[0], name[1]};
        point3d_rec start, end;
        if (ent_point_get(entity, 10, start) && ent_point_get(entity, 11, end)) {
            points.push_back(start);
            points.push_back(end);
        }
    }
    for (const auto& name : by_type[2]) {
        const ads_name entity = {name[0], name[1]};
        point3d_rec p;
        if (ent_point_get(entity, 10, p)) points.push_back(p);
    }
    layer_ensure(kCheckLayer);
    for (const point3d_rec& p : points) {
        if (p.z != 0.0) continue;
        circle_make(p, radius, kCheckLayer);
        acutPrintf("\n%.3f,%.3f==>Z=0", p.x, p.y);
    }
    return 1;
}

int angle_label()
{
    double height = 1.4;
    std::string layer;
    layer_current_get(layer);
    for (;;) {
        acutPrintf("\nText Height : %f", height);
        std::string text;
        point3d_rec vertex;
        const int rc =
            prompt_point_or_text("\n<T>ext Height e<X>it <Pick base Point>", "", nullptr, text, vertex);
        if (rc == 2) {
            const std::string answer = str_upper_copy(text);
            if (answer == "X") return 0;
            if (answer == "T") {
                std::string out;
                if (prompt_size_spec("0,M,Text height", height, 3, out,
                                     "A text height must be more than 0.") == 1)
                    height = std::strtod(out.c_str(), nullptr);
            }
            continue;
        }
        if (rc != 1) return 0;
        ads_point base, p2, p3;
        point_to_ads(vertex, base);
        if (acedGetPoint(base, "\nPick Next Point 2:", p2) != RTNORM) return 0;
        if (acedGetPoint(base, "\nPick Next Point 3:", p3) != RTNORM) return 0;
        const point3d_rec second = point_from_ads(p2), third = point_from_ads(p3);
        const double d2 = dist_2d(vertex, second), d3 = dist_2d(vertex, third);
        if (d2 == 0 || d3 == 0) {
            acutPrintf("\nThe points must differ from the base point.");
            return 0;
        }
        const double angle = angle_at_vertex(second, vertex, third);
        // The bisector of the smaller angle: the sum of the two unit directions
        // (the perpendicular of either leg when the legs are opposite).
        double bx = (second.x - vertex.x) / d2 + (third.x - vertex.x) / d3;
        double by = (second.y - vertex.y) / d2 + (third.y - vertex.y) / d3;
        if (std::hypot(bx, by) < 1e-12) {
            bx = -(second.y - vertex.y);
            by = second.x - vertex.x;
        }
        const double rotation = bearing_deg(vertex, {vertex.x + bx, vertex.y + by, 0});
        text_make_on_layer({vertex.x, vertex.y, 0}, height, 1.0, rotation, layer,
                           angle_deg_to_dms_label(angle, 0), 1);
        return 1;
    }
}
