// The MapInfo labels' command, its dialog and the two kinds of labels: a lot
// attribute at the centroid of each lot polyline, and the bearings and
// distances of boundary polylines through the bearing-distance engine.
#include "mapinfo_labels.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "adsdlg.h"
#include "angles.h"
#include "bgd_style.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "layers.h"
#include "messages.h"
#include "numbers.h"
#include "polyline_read.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "run_notes.h"
#include "selection_sets.h"
#include "sysvar.h"
#include "text_fields.h"
#include "xdata_read.h"

namespace {

// The record the settings select; null when the field file gave none.
const mapinfo_field_rec* selected_field()
{
    mapinfo_state_rec& state = mapinfo_state();
    const int index = state.settings.index;
    if (index < 0 || index >= static_cast<int>(state.fields.size())) return nullptr;
    return &state.fields[static_cast<size_t>(index)];
}

struct key_value {
    std::string key, value;
};

// The entity's "ACAD" texts split at their first "=" (texts without one are no
// attribute).
std::vector<key_value> attributes_of(const ads_name entity)
{
    xdata_read_rec& read = xdata_read_state();
    read.want_text_list = true;
    xdata_read_requested(entity, MAPINFO_DATA_APP);
    std::vector<key_value> out;
    for (const std::string& text : read.text_list) {
        const size_t eq = text.find('=');
        if (eq != std::string::npos) out.push_back({text.substr(0, eq), text.substr(eq + 1)});
    }
    return out;
}

bool same_text(const std::string& a, const std::string& b)
{
    return str_upper_copy(a) == str_upper_copy(b);
}

const key_value* find_key(const std::vector<key_value>& attributes, const std::string& key)
{
    for (const key_value& kv : attributes)
        if (same_text(kv.key, key)) return &kv;
    return nullptr;
}

// The area unit of a lot: its "UNIT" value when that names a unit, else the
// last value that equals a unit letter, else the first unit.
const mapinfo_unit_rec& area_unit_of(const std::vector<key_value>& attributes)
{
    const std::vector<mapinfo_unit_rec>& units = mapinfo_state().area_units;
    auto unit_named = [&units](const std::string& letter) -> const mapinfo_unit_rec* {
        for (const mapinfo_unit_rec& u : units)
            if (same_text(u.letter, letter)) return &u;
        return nullptr;
    };
    if (const key_value* unit = find_key(attributes, "UNIT"))
        if (const mapinfo_unit_rec* u = unit_named(unit->value)) return *u;
    const mapinfo_unit_rec* found = &units.front();
    for (const key_value& kv : attributes)
        if (const mapinfo_unit_rec* u = unit_named(kv.value)) found = u;
    return *found;
}

bool is_number(const std::string& text)
{
    return str_is_number(str_trim(text)) == 4;
}

// The vertices of a POLYLINE or LWPOLYLINE as the readers give them (a closed
// one with its first vertex repeated) and whether it is closed.
bool polyline_ring(const ads_name entity, numbered_point_list& vertices, bool& closed)
{
    const polyline_vertices_rec* read = nullptr;
    if (ent_is_type(entity, "LWPOLYLINE")) {
        if (!lwpoly_read_vertices(entity, -1)) return false;
        read = &lwpoly_vertices;
    } else {
        polyline_read_vertices(entity, -1);
        read = &polyline_vertices;
    }
    vertices = read->vertices;
    const bool ends_meet =
        vertices.size() > 1 && dist_2d(vertices.front().point, vertices.back().point) < 1e-9;
    closed = (read->flags & 1) != 0 || ends_meet;
    return !vertices.empty();
}

// The area of the ring from its own vertices: the pairs the centroid sums.
double ring_area(const numbered_point_list& v)
{
    double twice = 0;
    for (size_t i = 0; i + 1 < v.size(); ++i)
        twice += v[i].point.x * v[i + 1].point.y - v[i + 1].point.x * v[i].point.y;
    return std::fabs(twice) / 2;
}

// A selection of the user's, filtered; the set's length (0: none, no set).
long select_filtered(resbuf* filter, ads_name ss)
{
    const int status = acedSSGet(nullptr, nullptr, nullptr, filter, ss);
    acutRelRb(filter);
    long length = 0;
    if (status != RTNORM) return 0;
    if (acedSSLength(ss, &length) != RTNORM || length == 0) {
        acedSSFree(ss);
        return 0;
    }
    return length;
}

std::string label_text(const mapinfo_field_rec& field, const std::string& value,
                       const std::vector<key_value>& attributes, bool& ok)
{
    ok = true;
    const bool area = same_text(field.value_format, "AREA"), area_m = same_text(field.value_format, "AREAM");
    if (!area && !area_m) return value;
    if (!is_number(value)) {
        ok = false;
        return {};
    }
    const mapinfo_unit_rec& unit = area_m ? mapinfo_state().area_units.front() : area_unit_of(attributes);
    return rtos_decimal(std::atof(value.c_str()), unit.precision) + unit.suffix;
}

}  // namespace

void polygon_centroid(const numbered_point_list& vertices, double area, point3d_rec& out)
{
    double min_x = vertices.empty() ? 0 : vertices.front().point.x, min_y = min_x;
    if (!vertices.empty()) min_y = vertices.front().point.y;
    for (const numbered_point& v : vertices) {
        min_x = std::min(min_x, v.point.x);
        min_y = std::min(min_y, v.point.y);
    }
    const double sx = min_x < 0 ? 100 - min_x : 0, sy = min_y < 0 ? 100 - min_y : 0;
    double sum_x = 0, sum_y = 0;
    for (size_t i = 0; i + 1 < vertices.size(); ++i) {
        const point3d_rec& a = vertices[i].point;
        const point3d_rec& b = vertices[i + 1].point;
        const double c = (a.x + sx) * (b.y + sy) - (b.x + sx) * (a.y + sy);
        sum_x += (a.x + b.x + 2 * sx) * c;
        sum_y += (a.y + b.y + 2 * sy) * c;
    }
    double cx = sum_x / (6 * area), cy = sum_y / (6 * area);
    if (cx < 0) {
        cx = -cx;
        cy = -cy;
    }
    out = {cx - sx, cy - sy, 0};
}

int mapinfo_label_dlg()
{
    mapinfo_state_rec& state = mapinfo_state();
    mapinfo_settings_rec edit = state.settings;
    std::vector<std::string> names;
    for (const mapinfo_field_rec& f : state.fields) names.push_back(f.name);
    std::string layer, rotation;
    double height = 0, width = 0;
    auto load_record = [&] {
        const mapinfo_field_rec& f = state.fields[static_cast<size_t>(edit.index)];
        layer = f.layer;
        height = f.text_height;
        width = f.text_width;
        rotation = rtos_decimal(f.text_rotation, 6);
    };
    load_record();
    auto code_two = [&] { return state.fields[static_cast<size_t>(edit.index)].code == 2; };
    auto reopen = [](ads_callback_packet* p) { ads_done_dialog(p->dialog, 8); };

    // Built again at each opening, so that a value refused on a tile goes back
    // to what the tile showed at that opening (a new label type's, after 8).
    auto make_def = [&] {
        dialog_def def{
            "Mapinfo_Label_Dlg.dcl",
            "mapinfo_label_dlg",
            {tile_popup("pop_label_type", edit.index, names) + reopen, tile_layer("text_layer", layer, 59),
             tile_real_positive("text_plotscale", edit.plot_scale, 3),
             tile_real_positive("text_theight", height, 3), tile_real_positive("text_twidth", width, 3),
             tile_number_text("text_trot", rotation, 3), tile_integer("text_max", edit.table_max_dist),
             tile_integer("text_linenum", edit.table_line_num),
             tile_toggle("tg_table_bgd", edit.table) + reopen, tile_button("btn_rot", 2),
             tile_button("btn_pickxy", 3), tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
        def.on_open = [&](ads_hdlg dialog) {
            char xy[80];
            std::snprintf(xy, sizeof xy, "%.3f,%.3f", edit.table_pos.x, edit.table_pos.y);
            ads_set_tile(dialog, "text_xy", xy);
            ads_mode_tile(dialog, "tg_table_bgd", code_two() ? MODE_ENABLE : MODE_DISABLE);
            const short boxes = code_two() && edit.table ? MODE_ENABLE : MODE_DISABLE;
            ads_mode_tile(dialog, "Box_label1", boxes);
            ads_mode_tile(dialog, "Box_label2", boxes);
        };
        return def;
    };
    int status = 8;
    while (status == 8) {
        dialog_def def = make_def();
        status = dialog_run(def, [&](int pick) {
            if (pick == 2) {
                std::string bearing;
                if (pick_bearing_text(nullptr, bearing)) rotation = bearing;
            } else if (pick == 3) {
                std::string text;
                point3d_rec point;
                if (prompt_point_or_text("\ne<X>it", "", nullptr, text, point) == 1)
                    edit.table_pos = {point.x, point.y, 0};
            } else if (pick == 8) {
                load_record();
                return false;
            }
            return true;
        });
    }
    if (status != DLGOK) return status;
    state.settings = edit;
    mapinfo_field_rec& f = state.fields[static_cast<size_t>(edit.index)];
    f.layer = layer;
    f.text_height = height;
    f.text_width = width;
    f.text_rotation = std::atof(rotation.c_str());
    mapinfo_settings_write();
    return status;
}

int mapinfo_export_command()
{
    if (!mapinfo_fields_load()) return 0;
    mapinfo_state_rec& state = mapinfo_state();
    if (!selected_field()) {
        acutPrintf("\nThe field file holds no label type.");
        return 0;
    }
    if (!state.dialog_shown) {
        if (mapinfo_label_dlg() != DLGOK) return 0;
        state.dialog_shown = 1;
    }
    int cmdecho = 1;
    const bool echo_read = sysvar_get_int("CMDECHO", cmdecho) == 1;
    sysvar_set_short("CMDECHO", 0);
    const mapinfo_field_rec& field = *selected_field();
    if (same_text(field.kind, "LOT"))
        mapinfo_lot_labels();
    else if (same_text(field.kind, "BDY"))
        mapinfo_boundary_select();
    if (echo_read) sysvar_set_short("CMDECHO", static_cast<short>(cmdecho));
    return 1;
}

void mapinfo_lot_labels()
{
    const mapinfo_state_rec& state = mapinfo_state();
    const mapinfo_field_rec field = *selected_field();
    ads_name ss;
    const long count =
        select_filtered(acutBuildList(RTDXF0, "POLYLINE,LWPOLYLINE", -3, 1001, MAPINFO_DATA_APP, 0), ss);
    if (count == 0) return;
    acutPrintf("\n");
    progress_reset();
    const double height = state.settings.plot_scale * 0.001 * field.text_height;
    int labelled = 0, without_key = 0;
    for (long i = 0; i < count; ++i) {
        progress_percent(static_cast<int>(i + 1), static_cast<int>(count));
        ads_name entity;
        numbered_point_list ring;
        bool closed = false;
        if (acedSSName(ss, i, entity) != RTNORM || !polyline_ring(entity, ring, closed)) continue;
        if (!closed) {
            acedAlert("Technical Error Polyline not closed");
            run_note("\n%d lot polyline(s) were not labelled.", static_cast<int>(count - i));
            break;
        }
        const double area = ring_area(ring);
        const std::vector<key_value> attributes = attributes_of(entity);
        const key_value* kv = find_key(attributes, field.key);
        if (!kv) {
            ++without_key;
            continue;
        }
        bool ok = true;
        const std::string text = label_text(field, kv->value, attributes, ok);
        if (!ok) {
            run_note("\nThe %s value \"%s\" of a lot is not a number; that lot is not labelled.",
                     field.key.c_str(), kv->value.c_str());
            continue;
        }
        if (area <= 0) {
            run_note("\nA lot polyline with no area is not labelled (%s=%s).", field.key.c_str(),
                     kv->value.c_str());
            continue;
        }
        point3d_rec centre;
        polygon_centroid(ring, area, centre);
        text_make_justified(4, centre, height, field.text_width, field.text_rotation, field.layer, text, 1);
        ++labelled;
    }
    acedSSFree(ss);
    run_notes_print();
    if (without_key > 0)
        acutPrintf("\n%d lot polyline(s) carry no %s value and have no label.", without_key,
                   field.key.c_str());
    acutPrintf("\n%d lot label(s) written.", labelled);
}

void mapinfo_boundary_select()
{
    ads_name ss;
    const long count = select_filtered(acutBuildList(-3, 1001, MAPINFO_DATA_APP, 0), ss);
    if (count == 0) return;
    ads_name lines;
    ads_name_clear(lines);
    long kept = 0;
    for (long i = 0; i < count; ++i) {
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM) continue;
        if (!ent_is_type(entity, "LWPOLYLINE") && !ent_is_type(entity, "POLYLINE")) continue;
        if (kept == 0 ? acedSSAdd(entity, nullptr, lines) == RTNORM
                      : acedSSAdd(entity, lines, lines) == RTNORM)
            ++kept;
    }
    acedSSFree(ss);
    if (kept == 0) {
        acutPrintf("\nNo boundary polyline with %s data was selected.", MAPINFO_DATA_APP);
        return;
    }
    acutPrintf("\n[func]nlw=%d", static_cast<int>(kept));
    mapinfo_boundary_labels(lines, kept);
    acedSSFree(lines);
}

namespace {

// The boundary line's own bearing and distance texts, when its attributes give
// them as numbers: the bearing in D.MMSS with four decimals, the distance in its
// unit with that unit's decimals and suffix.
bool boundary_values(const std::vector<key_value>& attributes, std::string& bearing, std::string& distance)
{
    const key_value* b = find_key(attributes, "BEARING");
    if (!b) b = find_key(attributes, "G_BEARING");
    const key_value* d = find_key(attributes, "DISTANCE");
    if (!d) d = find_key(attributes, "M_DISTANCE");
    if (!d) d = find_key(attributes, "JARAK");
    if (!b || !d) return false;
    const double dms = std::atof(b->value.c_str());
    if (!is_number(b->value) || !angle_dms_valid(dms) || dms < 0) {
        run_note(
            "\nThe bearing \"%s\" of a boundary line is no D.MMSS bearing; the line is labelled as drawn.",
            b->value.c_str());
        return false;
    }
    if (!is_number(d->value)) {
        run_note("\nThe distance \"%s\" of a boundary line is not a number; the line is labelled as drawn.",
                 d->value.c_str());
        return false;
    }
    const std::vector<mapinfo_unit_rec>& units = mapinfo_state().length_units;
    const key_value* u = find_key(attributes, "UNIT");
    const bool links = u && (same_text(u->value, "L") || same_text(u->value, "LINK"));
    const mapinfo_unit_rec& unit = links ? units[1] : units[0];
    bearing = rtos_decimal(dms, 4);
    distance = rtos_decimal(std::atof(d->value.c_str()), unit.precision) + unit.suffix;
    return true;
}

}  // namespace

void mapinfo_boundary_labels(const ads_name set, long count)
{
    mapinfo_state_rec& state = mapinfo_state();
    const mapinfo_field_rec field = *selected_field();
    const bool table = state.settings.table == 1 && field.code == 2;
    bgd_style_rec style;
    bgd_style_defaults(style);
    style.text_height = field.text_height;
    style.width_factor = field.text_width;
    style.plot_scale = state.settings.plot_scale;
    bgd_style_copy_text(style.label_layer, field.layer);
    style.placement_mode = 0;
    style.entmake_mode = 1;
    if (table) {
        style.table_on = 1;
        style.table_new = 1;
        style.table_coords = 0;
        style.table_row = state.settings.table_line_num;
        style.table_limit = state.settings.table_max_dist;
        style.table_pos = {state.settings.table_pos.x, state.settings.table_pos.y, 0};
    } else {
        style.table_on = 0;
    }
    bgd_style_set_scaled(style);

    acutPrintf("\n");
    progress_reset();
    int by_values = 0, legs_drawn = 0;
    for (long i = 0; i < count; ++i) {
        progress_percent(static_cast<int>(i + 1), static_cast<int>(count));
        ads_name entity;
        numbered_point_list vertices;
        bool closed = false;
        if (acedSSName(set, i, entity) != RTNORM || !polyline_ring(entity, vertices, closed)) continue;
        const std::vector<key_value> attributes = attributes_of(entity);
        std::string bearing, distance;
        if (vertices.size() == 2 && boundary_values(attributes, bearing, distance)) {
            const point3d_rec& p1 = vertices[0].point;
            const point3d_rec& p2 = vertices[1].point;
            bgd_label_leg_text(p1, p2, bearing, dist_2d(p1, p2), distance);
            ++by_values;
            continue;
        }
        for (size_t k = 0; k + 1 < vertices.size(); ++k) {
            if (dist_2d(vertices[k].point, vertices[k + 1].point) <= 0) continue;
            bgd_label_leg(vertices[k].point, vertices[k + 1].point);
            ++legs_drawn;
        }
    }
    run_notes_print();
    acutPrintf("\n%d boundary line(s) labelled with their own bearing and distance, %d leg(s) as drawn.",
               by_values, legs_drawn);
    if (table) {
        // The table goes on from here at the next run.
        state.settings.table_line_num = bgd_style_current.table_row;
        state.settings.table_pos.y = bgd_style_current.table_pos.y;
        mapinfo_settings_write();
    }
}

void mapinfo_xdata_list_print()
{
    if (!mapinfo_fields_load()) return;
    ads_name ss;
    const long count = select_filtered(acutBuildList(-3, 1001, MAPINFO_DATA_APP, 0), ss);
    for (long i = 0; i < count; ++i) {
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM) continue;
        xdata_read_rec& read = xdata_read_state();
        read.want_text_list = true;
        xdata_read_requested(entity, MAPINFO_DATA_APP);
        for (const std::string& text : read.text_list) acutPrintf("\n%s", text.c_str());
    }
    if (count > 0) acedSSFree(ss);
}
