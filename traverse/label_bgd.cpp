// The bearing-distance label commands and their settings in the drawing.
#include "label_bgd.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ads.h"
#include "adsdlg.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "geometry.h"
#include "layers.h"
#include "messages.h"
#include "numbers.h"
#include "plan_view.h"
#include "prompts.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"
#include "units.h"

lbgd_cfg_rec lbgd_cfg;
bgd_style_rec lbgd_style;

namespace {

constexpr const char* settings_layer = "Orvik_survey_temp";
constexpr const char* app_label = "LABEL_BGD";
constexpr const char* app_list = "LABEL_BGD_LIST";
constexpr size_t sbgdtype_max = 9;
constexpr size_t label_layer_max = sizeof(bgd_style_rec::label_layer) - 1;  // the style's layer field
constexpr size_t setting_text_max = 255;  // the longest text a layer's extended data holds
enum { cmd_selbgd = 0, cmd_pickbgd = 1, cmd_autodist = 2 };

const std::vector<std::string> unit_names_all{"METER", "LINK", "FEET", "KAKI"};
const std::vector<std::string> unit_names_auto{"METER", "LINK", "FEET"};

// A selection set freed when it goes out of scope, whichever way the command ends.
struct selection_guard {
    ads_name ss{0, 0};
    bool made = false;
    ~selection_guard()
    {
        if (made) acedSSFree(ss);
    }
};

std::string format(const char* pattern, const std::string& value)
{
    std::vector<char> buffer(value.size() + 128);
    std::snprintf(buffer.data(), buffer.size(), pattern, value.c_str());
    return buffer.data();
}

int unit_index_of(const std::string& unit, int count)
{
    for (int i = 0; i < count; ++i)
        if (strcasecmp(unit.c_str(), unit_names_all[static_cast<size_t>(i)].c_str()) == 0) return i;
    return -1;
}

point3d_rec to_point(const ads_point p)
{
    return point3d_rec{p[0], p[1], 0};
}

// Takes the LISP argument as the placement: refused when longer than the
// placement code holds.
bool set_placement(const char* argument)
{
    const std::string text = argument ? argument : "";
    if (text.size() > sbgdtype_max) {
        acutPrintf("%s", format("\nPlacement \"%s\" is too long (at most 9 characters).", text).c_str());
        return false;
    }
    lbgd_cfg.sbgdtype = text;
    acutPrintf("\nlbgd_cfg.sbgdtype :%s", text.c_str());
    lbgd_cfg.placement = strcasecmp(text.c_str(), "Auto") == 0 ? 0 : 1;
    return true;
}

// ---- legs of the selected entities ----------------------------------------

void label_legs(const std::vector<point3d_rec>& vertices)
{
    for (size_t i = 1; i < vertices.size(); ++i) bgd_label_leg(vertices[i - 1], vertices[i]);
}

// A closed polyline's last leg runs back to its first vertex, unless its last
// vertex is already there.
void close_legs(std::vector<point3d_rec>& vertices)
{
    if (vertices.size() < 3) return;
    const point3d_rec& first = vertices.front();
    const point3d_rec& last = vertices.back();
    if (first.x == last.x && first.y == last.y) return;
    vertices.push_back(first);
}

// The vertices of an LWPOLYLINE (group 90 of them); a closed one (flag 1)
// has its closing leg too.
void label_lwpolyline(const ads_name entity)
{
    resbuf* list = acdbEntGet(entity);
    if (!list) return;
    long count = -1;
    int flags = 0;
    std::vector<point3d_rec> vertices;
    for (resbuf* node = list; node; node = node->rbnext) {
        if (node->restype == 90) count = node->resval.rlong;
        if (node->restype == 70) flags = node->resval.rint;
        if (node->restype == 10) vertices.push_back(to_point(node->resval.rpoint));
    }
    acutRelRb(list);
    if (count >= 0 && static_cast<size_t>(count) < vertices.size())
        vertices.resize(static_cast<size_t>(count));
    if (flags & 1) close_legs(vertices);
    label_legs(vertices);
}

void label_line(const ads_name entity)
{
    point3d_rec start, end;
    if (ent_point_get(entity, 10, start) && ent_point_get(entity, 11, end)) {
        start.z = end.z = 0;
        bgd_label_leg(start, end);
    }
}

// POLYLINE header flags: closed, polygon mesh, polyface mesh; the vertex flags
// of a spline's fitted vertex and frame point, and of a 3D polyline's vertex.
constexpr int polyline_closed = 1;
constexpr int polyline_meshes = 16 | 64;
constexpr int vertex_spline_fit = 8;
constexpr int vertex_spline_frame = 16;
constexpr int vertex_3d = 32;

// The VERTEX entities up to SEQEND, labelled in plan: all of them when the
// first one's flag is 0; the spline-fitted ones after a first vertex that is
// a spline frame point; the flag of a 3D polyline's vertices (32) counts for
// nothing, so a 3D POLYLINE is labelled like a 2D one. A closed one has its
// closing leg too. Meshes, and vertices of any other kind, are not labelled;
// they are counted here and said after the pass.
struct polyline_refusals {
    int meshes = 0;
    int other_vertices = 0;
};
polyline_refusals polylines_refused;

void say_polylines_refused()
{
    if (polylines_refused.meshes > 0)
        acutPrintf("\n%d polygon or polyface mesh(es) not labelled.", polylines_refused.meshes);
    if (polylines_refused.other_vertices > 0)
        acutPrintf(
            "\n%d POLYLINE(s) not labelled: the first vertex is neither a plain vertex nor a spline "
            "frame point.",
            polylines_refused.other_vertices);
    polylines_refused = polyline_refusals{};
}

void label_polyline(const ads_name header)
{
    int header_flags = 0;
    if (resbuf* list = acdbEntGet(header)) {
        for (resbuf* node = list; node; node = node->rbnext)
            if (node->restype == 70) header_flags = node->resval.rint;
        acutRelRb(list);
    }
    if (header_flags & polyline_meshes) {
        ++polylines_refused.meshes;
        return;
    }
    std::vector<point3d_rec> vertices;
    int first_flag = -1;
    ads_name current{header[0], header[1]};
    ads_name next;
    while (acdbEntNext(current, next) == RTNORM) {
        resbuf* list = acdbEntGet(next);
        if (!list) break;
        std::string type;
        int flag = 0;
        point3d_rec location;
        bool has_location = false;
        for (resbuf* node = list; node; node = node->rbnext) {
            if (node->restype == 0) type = node->resval.rstring;
            if (node->restype == 70) flag = node->resval.rint & ~vertex_3d;
            if (node->restype == 10) {
                location = to_point(node->resval.rpoint);
                location.z = 0;
                has_location = true;
            }
        }
        acutRelRb(list);
        if (strcasecmp(type.c_str(), "VERTEX") != 0) break;  // SEQEND or the next entity
        if (first_flag < 0) {
            first_flag = flag;
            if (first_flag != 0 && first_flag != vertex_spline_frame) {
                ++polylines_refused.other_vertices;
                return;
            }
            if (first_flag == 0 && has_location) vertices.push_back(location);
        } else if (has_location && (first_flag == 0 || flag == vertex_spline_fit)) {
            vertices.push_back(location);
        }
        current[0] = next[0];
        current[1] = next[1];
    }
    if (header_flags & polyline_closed) close_legs(vertices);
    label_legs(vertices);
}

// Values 11 to 13 follow the installed table; saved when the table is on.
void save_table_position()
{
    if (lbgd_cfg.values.table_on != 1) return;
    lbgd_cfg.values.table_x = bgd_style_current.table_pos.x;
    lbgd_cfg.values.table_y = bgd_style_current.table_pos.y;
    lbgd_cfg.values.table_row = bgd_style_current.table_row;
    lbgd_cfg_save(bgd_style_current.label_layer);
}

// ---- the dialog's layer list ------------------------------------------------

std::vector<std::string> bgd_layer_list_load()
{
    std::vector<std::string> names;
    std::string text;
    if (drawing_setting_read(app_list, settings_layer, text) != 1) return names;
    const long commas = std::count(text.begin(), text.end(), ',');
    for (long i = 1; i <= commas; ++i) {
        const std::string name = str_get_field(text, static_cast<int>(i), ",");
        if (!name.empty() && layer_flags_get(name.c_str()) != -1) names.push_back(name);
    }
    return names;
}

std::vector<std::string> layer_popup_names;

}  // namespace

// ---- settings ---------------------------------------------------------------

std::string lbgd_values_text(const lbgd_values_rec& v)
{
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "%.3f,%.3f,%.3f,%s,%.3f,%i,%i,%i,%.3f,%i,%.3f,%.3f,%i,%i,%i,",
                  v.plot_scale, v.text_height, v.width_factor, v.unit.substr(0, 16).c_str(), v.spacing,
                  v.decimals, v.tens_seconds, v.spread_bearing, v.spread_factor, v.table_on, v.table_x,
                  v.table_y, v.table_row, v.table_limit, v.table_coords);
    return buffer;
}

bool lbgd_values_parse(const std::string& text, lbgd_values_rec& v)
{
    if (std::count(text.begin(), text.end(), ',') < 15) return false;
    auto field = [&](int n) { return str_get_field(text, n, ","); };
    auto real = [&](int n) { return std::atof(field(n).c_str()); };
    auto integer = [&](int n) { return static_cast<int>(std::strtol(field(n).c_str(), nullptr, 10)); };
    v.plot_scale = real(1);
    v.text_height = real(2);
    v.width_factor = real(3);
    v.unit = field(4);
    v.spacing = real(5);
    v.decimals = integer(6);
    v.tens_seconds = integer(7);
    v.spread_bearing = integer(8);
    v.spread_factor = real(9);
    v.table_on = integer(10);
    v.table_x = real(11);
    v.table_y = real(12);
    v.table_row = integer(13);
    v.table_limit = integer(14);
    v.table_coords = integer(15);
    return true;
}

int lbgd_cfg_from_layer(const std::string& layer, lbgd_values_rec& out)
{
    std::string text;
    if (drawing_setting_read(app_label, layer.c_str(), text) != 1) return 0;
    lbgd_values_rec read;
    if (!lbgd_values_parse(text, read)) return 0;
    out = read;
    return 1;
}

void lbgd_cfg_load()
{
    if (!lbgd_cfg_from_layer(lbgd_cfg.label_layer, lbgd_cfg.values)) lbgd_cfg.values = lbgd_values_rec{};
}

int lbgd_cfg_init(int command)
{
    const int n = command - 1;
    dwg_path_track(lbgd_cfg.loaded[n], lbgd_cfg.dwg_path[n]);
    if (lbgd_cfg.loaded[n]) return 1;
    settings_key_rec key;
    settings_key_make(key, app_label, "Bgd");
    std::string layer;
    if (drawing_setting_get(key, layer) != RTNORM || layer.empty()) {
        acedAlert("Failed Creating Layer:Orvik_survey_temp");
        return 0;
    }
    lbgd_cfg.label_layer = layer;
    lbgd_cfg_load();
    if (command == 3) {
        lbgd_cfg.sautolabel_dwg = dwg_full_path();
        acutPrintf("\nlbgd_cfg.sautolabel_dwg:[%s]", lbgd_cfg.sautolabel_dwg.c_str());
    }
    return 1;
}

void lbgd_cfg_save(const std::string& layer)
{
    layer_ensure(layer.c_str());
    const int existed = layer_flags_get(layer.c_str()) != -1;
    const std::string text = lbgd_values_text(lbgd_cfg.values);
    if (text.size() > setting_text_max ||
        layer_xdata_put(layer.c_str(), app_label, text.c_str(), existed) != RTNORM)
        acutPrintf("\nFailed save cfg to layer %s", layer.c_str());
    if (layer_xdata_put(settings_layer, app_label, layer.c_str(), layer_flags_get(settings_layer) != -1) !=
        RTNORM)
        acutPrintf("\nFailed save cfg to layer %s", settings_layer);
}

void lbgd_cfg_save_active()
{
    const std::vector<std::string> listed = bgd_layer_list_load();
    if (std::find(listed.begin(), listed.end(), lbgd_cfg.label_layer) != listed.end()) return;
    std::string text = lbgd_cfg.label_layer + ",";
    for (const std::string& name : listed) text += name + ",";
    if (text.size() > setting_text_max) return;
    acdbRegApp(app_list);  // refused quietly when the drawing knows it already
    if (layer_xdata_put(settings_layer, app_list, text.c_str(), layer_flags_get(settings_layer) != -1) !=
        RTNORM)
        acutPrintf("\nFailed save cfg to layer %s", settings_layer);
}

void lbgd_style_apply()
{
    const lbgd_values_rec& v = lbgd_cfg.values;
    bgd_style_rec& s = lbgd_style;
    s.text_height = v.text_height;
    s.width_factor = v.width_factor;
    s.spacing = v.spacing;
    s.spread_factor = v.spread_factor;
    s.plot_scale = v.plot_scale;
    s.decimals = v.decimals;
    s.tens_seconds = v.tens_seconds;
    s.spread_bearing = v.spread_bearing;
    s.table_on = v.table_on;
    s.table_coords = v.table_coords;
    s.table_row = v.table_row;
    s.table_limit = v.table_limit;
    s.unit_factor_value = unit_factor(v.unit);
    s.table_new = 1;
    s.eng_table = 0;
    s.placement_mode = lbgd_cfg.placement;
    s.entmake_mode = 1;
    bgd_style_copy_text(s.label_layer, lbgd_cfg.label_layer);
    bgd_style_copy_text(s.placement_code, lbgd_cfg.sbgdtype);
    s.table_pos = point3d_rec{v.table_x, v.table_y, 0};
    bgd_style_set_scaled(s);
}

int lbgd_pick_table_position(std::string& x, std::string& y)
{
    int luprec = 3;
    sysvar_get_int("LUPREC", luprec);
    ads_point picked;
    if (acedGetPoint(nullptr, "\nPick Table Position :", picked) != RTNORM) return 0;
    x = rtos_decimal(picked[0], luprec);
    y = rtos_decimal(picked[1], luprec);
    if (x.size() >= 26 || y.size() >= 26) {
        acutPrintf("\nCoordinate to long...abort!!");
        x = y = "0.000";
    }
    return 1;
}

// ---- dialogs ----------------------------------------------------------------

int label_bgd_dlg(int kind)
{
    lbgd_values_rec v = lbgd_cfg.values;
    std::string layer = lbgd_cfg.label_layer;
    std::string shown_layer = "*";
    int unit_index = std::max(0, unit_index_of(v.unit, 4));
    int layer_index = 0;
    layer_popup_names = bgd_layer_list_load();
    int luprec = 3;
    sysvar_get_int("LUPREC", luprec);

    dialog_def def;
    def.file = "label_bgd.dcl";
    def.name = "label_bgd_dlg";
    def.load_error = "\n Error Loading %s ";
    auto refresh = [&](ads_hdlg dialog) {
        const short table = v.table_on == 1 ? 1 : 0;
        for (const char* key : {"p_pickxy", "t_x", "t_y", "t_linenum", "t_max", "kord_tg"})
            ads_mode_tile(dialog, key, table ? 0 : 1);
        ads_mode_tile(dialog, "t_auto_spc", v.spread_bearing == 1 ? 0 : 1);
    };
    auto show_all = [&](ads_hdlg dialog) {
        for (const dialog_tile& tile : def.tiles)
            if (tile.kind != tile_kind::button && tile.kind != tile_kind::help &&
                tile.key != "pop_active_layer")
                dialog_tile_show(dialog, tile);
        refresh(dialog);
    };
    auto refresh_tile = [&](ads_callback_packet* packet) { refresh(packet->dialog); };
    auto choose_layer = [&](ads_callback_packet* packet) {
        if (layer_index < 0 || static_cast<size_t>(layer_index) >= layer_popup_names.size()) return;
        const std::string& chosen = layer_popup_names[static_cast<size_t>(layer_index)];
        lbgd_values_rec stored;
        if (!lbgd_cfg_from_layer(chosen, stored)) return;
        v = stored;
        layer = chosen;
        const int index = unit_index_of(v.unit, 3);
        if (index >= 0) unit_index = index;
        show_all(packet->dialog);
    };
    def.tiles = {tile_size("t_scale", v.plot_scale, luprec),
                 tile_size("t_txt_h", v.text_height, luprec),
                 tile_size("t_txtwidth", v.width_factor, luprec),
                 tile_real("t_spacing", v.spacing, luprec),
                 tile_real("t_auto_spc", v.spread_factor, luprec),
                 tile_real("t_x", v.table_x, luprec),
                 tile_real("t_y", v.table_y, luprec),
                 tile_decimals("t_decimal", v.decimals),
                 tile_integer("t_linenum", v.table_row),
                 tile_integer("t_max", v.table_limit),
                 tile_layer("t_layer", layer, label_layer_max),
                 tile_text("s_layer", shown_layer),
                 tile_toggle("round_tg", v.tens_seconds),
                 tile_toggle("auto_spc_tg", v.spread_bearing) + refresh_tile,
                 tile_toggle("table_tg", v.table_on) + refresh_tile,
                 tile_toggle("kord_tg", v.table_coords),
                 tile_popup("s_unit", unit_index, unit_names_all),
                 tile_popup("pop_active_layer", layer_index, layer_popup_names) + choose_layer,
                 tile_help("text_author", "/survey_menu.htm#_Label_Bering_Dist"),
                 tile_button("yes", 1),
                 tile_button("cancel", 0),
                 tile_button("p_pickxy", 2)};
    def.on_open = [&](ads_hdlg dialog) {
        // Reals open with 3 decimals; a value typed later is shown with LUPREC.
        for (const dialog_tile& tile : def.tiles)
            if (tile.kind == tile_kind::real)
                ads_set_tile(dialog, tile.key.c_str(), dialog_real_text(*tile.real, 3).c_str());
        const bool table_allowed = kind == 0 || kind == 2;
        const bool layer_allowed = kind == 2 || kind == 3;
        ads_mode_tile(dialog, "table_tg", table_allowed ? 0 : 1);
        ads_mode_tile(dialog, "s_layer", layer_allowed ? 0 : 1);
        refresh(dialog);
    };
    const int status = dialog_run(def, [&](int picked) {
        if (picked == 2) {
            std::string x, y;
            if (lbgd_pick_table_position(x, y)) {
                v.table_x = std::atof(x.c_str());
                v.table_y = std::atof(y.c_str());
            }
        }
        return true;
    });
    if (status == dialog_not_shown) return 0;
    if (status == 1) {
        lbgd_cfg.label_layer = layer;
        unit_name_by_index(v.unit, unit_index);
        lbgd_cfg.values = v;
        lbgd_cfg_save(layer);
        lbgd_cfg_save_active();
    }
    return status;
}

int autolabel_dlg()
{
    lbgd_values_rec v = lbgd_cfg.values;
    std::string layer = lbgd_cfg.label_layer;
    // A stored "KAKI" is not in this list: it shows "METER" and OK stores what the list shows.
    int unit_index = std::max(0, unit_index_of(v.unit, 3));
    int select_line = lbgd_cfg.select_line;
    int luprec = 3;
    sysvar_get_int("LUPREC", luprec);
    dialog_def def;
    def.file = "autolabel.dcl";
    def.name = "autolabel_dlg";
    def.load_error = "\n Error Loading %s ";
    def.tiles = {tile_size("t_scale", v.plot_scale, luprec),
                 tile_size("t_txt_h", v.text_height, luprec),
                 tile_size("t_txtwidth", v.width_factor, luprec),
                 tile_layer("t_layer", layer, label_layer_max),
                 tile_real("t_spacing", v.spacing, luprec),
                 tile_decimals("t_decimal", v.decimals),
                 tile_toggle("select_line_tg", select_line),
                 tile_popup("s_unit", unit_index, unit_names_auto),
                 tile_button("yes", 1),
                 tile_button("cancel", 0)};
    const int status = dialog_run(def, [](int) { return true; });
    if (status != 1) return 0;
    lbgd_cfg.label_layer = layer;
    unit_name_by_index(v.unit, unit_index);
    lbgd_cfg.values = v;
    lbgd_cfg.select_line = select_line;
    lbgd_cfg_save(layer);
    return 1;
}

// ---- the commands -----------------------------------------------------------

int b_selbgd(const char* mode)
{
    if (!set_placement(mode)) return 0;
    if (lbgd_cfg_init(1) == 0) return 0;
    if (!lbgd_cfg.loaded[cmd_selbgd]) {
        lbgd_cfg.loaded[cmd_selbgd] = 1;
        if (label_bgd_dlg(lbgd_cfg.placement == 0 ? 2 : 3) != 1) return 0;
        bgd_style_defaults(lbgd_style);
    }
    lbgd_style_apply();

    acutPrintf("\nSelect object :");
    selection_guard selection;
    long length = 0;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, selection.ss) != RTNORM) return RTERROR;
    selection.made = true;
    if (acedSSLength(selection.ss, &length) != RTNORM || length <= 0) return RTERROR;

    acutPrintf("\nProcessing selected items ...");
    std::vector<std::array<long, 2>> lines, lwpolylines, polylines;
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        std::string type;
        if (acedSSName(selection.ss, i, entity) != RTNORM || !ent_get_string(entity, 0, type)) {
            acutPrintf("\nSelected object error!");
            return RTERROR;
        }
        if (strcasecmp(type.c_str(), "LINE") == 0)
            lines.push_back({entity[0], entity[1]});
        else if (strcasecmp(type.c_str(), "LWPOLYLINE") == 0)
            lwpolylines.push_back({entity[0], entity[1]});
        else if (strcasecmp(type.c_str(), "POLYLINE") == 0)
            polylines.push_back({entity[0], entity[1]});
    }
    acutPrintf("\nFound %i LINE", static_cast<int>(lines.size()));
    acutPrintf("\nFound %i LWPOLYLINE", static_cast<int>(lwpolylines.size()));
    acutPrintf("\nFound %i POLYLINE", static_cast<int>(polylines.size()));

    auto pass = [](const std::vector<std::array<long, 2>>& items, void (*label)(const ads_name)) {
        progress_reset();
        for (size_t i = 0; i < items.size(); ++i) {
            const ads_name entity{items[i][0], items[i][1]};
            label(entity);
            progress_percent(static_cast<int>(i + 1), static_cast<int>(items.size()));
        }
    };
    // The progress line overwrites its own line: start it below the counts.
    acutPrintf("\n");
    pass(lwpolylines, label_lwpolyline);
    pass(lines, label_line);
    pass(polylines, label_polyline);
    say_polylines_refused();
    save_table_position();
    return 1;
}

int b_pickbgd(const char* mode)
{
    if (!set_placement(mode)) return 0;
    if (lbgd_cfg_init(2) == 0) return 0;
    if (!lbgd_cfg.loaded[cmd_pickbgd]) {
        if (label_bgd_dlg(0) == 0) return 0;
        lbgd_cfg.loaded[cmd_pickbgd] = 1;
    }
    bgd_style_defaults(lbgd_style);
    lbgd_style_apply();

    bool have_previous = false;
    point3d_rec previous;
    for (;;) {
        const std::string prompt = lbgd_cfg.values.spread_bearing == 0
                                       ? "\ne<X>it <S>etting <A>uto spc <Pick Point>"
                                       : "\ne<X>it <S>etting <N>o Auto spc <Pick Point>";
        std::string text;
        point3d_rec point;
        const int answer = prompt_point_or_text(prompt, "", have_previous ? &previous : nullptr, text, point);
        if (answer == 1) {
            point.z = 0;
            if (have_previous) bgd_label_leg(previous, point);
            previous = point;
            have_previous = true;
            continue;
        }
        str_upper(text);
        if (answer != 2 || text == "X") break;
        if (text == "S") {
            if (label_bgd_dlg(0) == -1) break;
        } else if (text == "A") {
            lbgd_cfg.values.spread_bearing = 1;
        } else if (text == "N") {
            lbgd_cfg.values.spread_bearing = 0;
        } else {
            continue;
        }
        lbgd_style_apply();
    }
    save_table_position();
    return 0;
}

namespace {

// The base line of b_autodist and the side its texts go to.
bool autodist_base(point3d_rec& p1, point3d_rec& p2, point3d_rec& side)
{
    ads_point picked;
    if (lbgd_cfg.select_line == 1) {
        ads_name entity;
        if (acedEntSel("\nSelect Line", entity, picked) != RTNORM) return false;
        acedRedraw(entity, 3);
        if (acedGetPoint(nullptr, "\nPick Arah:", picked) != RTNORM) return false;
        side = to_point(picked);
        if (!ent_is_type(entity, "LINE")) {
            acedAlert("Sorry Hanya LINE");
            return false;
        }
        if (!ent_point_get(entity, 10, p1) || !ent_point_get(entity, 11, p2)) return false;
        p1.z = p2.z = 0;
        return true;
    }
    if (acedGetPoint(nullptr, "\nPick 1st Point :", picked) != RTNORM) return false;
    p1 = to_point(picked);
    const ads_point base{p1.x, p1.y, 0};
    if (acedGetPoint(base, "\nPick 2nd Point :", picked) != RTNORM) return false;
    p2 = to_point(picked);
    if (acedGetPoint(base, "\nPick Arah :", picked) != RTNORM) return false;
    side = to_point(picked);
    return true;
}

}  // namespace

int b_autodist()
{
    if (lbgd_cfg_init(3) == 0) return 0;
    if (!lbgd_cfg.loaded[cmd_autodist]) {
        lbgd_cfg.select_line = 1;
        if (autolabel_dlg() != 1) return 0;
        lbgd_cfg.loaded[cmd_autodist] = 1;
    }
    point3d_rec p1, p2, side;
    if (!autodist_base(p1, p2, side)) return 0;

    selection_guard selection;
    long length = 0;
    selection.made = ss_select_type("LINE", selection.ss, length) == 1;
    if (!selection.made || length <= 0) return 0;

    struct crossing {
        point3d_rec point;
        double distance;
    };
    std::vector<crossing> crossings;
    const ads_point a1{p1.x, p1.y, 0}, a2{p2.x, p2.y, 0};
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        point3d_rec q1, q2;
        if (acedSSName(selection.ss, i, entity) != RTNORM || !ent_point_get(entity, 10, q1) ||
            !ent_point_get(entity, 11, q2))
            continue;
        const ads_point b1{q1.x, q1.y, 0}, b2{q2.x, q2.y, 0};
        ads_point hit;
        if (acdbInters(a1, a2, b1, b2, 0, hit) != RTNORM) continue;
        const point3d_rec point = to_point(hit);
        crossings.push_back({point, dist_2d(p1, point)});
    }
    std::stable_sort(crossings.begin(), crossings.end(),
                     [](const crossing& a, const crossing& b) { return a.distance < b.distance; });

    const lbgd_values_rec& v = lbgd_cfg.values;
    const double k = v.plot_scale / 1000;
    const double h = v.text_height * k;
    const double offset = h / 2 + k * v.spacing;
    double rotation = bearing_deg(p1, p2);
    if (rotation > 180) rotation -= 180;
    for (size_t i = 1; i < crossings.size(); ++i) {
        const point3d_rec& q1 = crossings[i - 1].point;
        const point3d_rec& q2 = crossings[i].point;
        const point3d_rec mid{(q1.x + q2.x) / 2, (q1.y + q2.y) / 2, 0};
        point3d_rec at;
        geo_perpendicular_at_vertex(q1, mid, side, offset, at);
        const std::string text = rtos_decimal(dist_2d(q1, q2) / unit_factor(v.unit), v.decimals);
        text_make_justified(4, at, h, 0.8, rotation, lbgd_cfg.label_layer, text, 1);
    }
    return 1;
}
