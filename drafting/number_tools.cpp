// The number utility's tools and their dialogs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ads.h"
#include "angles.h"
#include "constants.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "geometry.h"
#include "layers.h"
#include "messages.h"
#include "nearest_index.h"
#include "number_util.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "text_fields.h"
#include "text_filter.h"
#include "text_modify.h"

namespace {

// The current selection, made first when there is none; false when the user
// selected nothing.
bool ensure_selection()
{
    if (number_util().count == 0) select_number_texts();
    return number_util().count > 0;
}

std::string item_text(long i)
{
    std::string text;
    ss_text_get_string(number_util().selection, i, 1, text);
    return text;
}

bool has_digit(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The number a text holds, by the number scan; false when it holds none.
bool text_number(const std::string& text, num_text_parts& parts)
{
    return num_text_scan(text, parts) == 0 && has_digit(text);
}

void number_tile(ads_callback_packet* packet, double& value, int decimals)
{
    if (packet->value == nullptr || packet->value[0] == '\0') return;
    if (str_is_number(packet->value) == 4) value = std::strtod(packet->value, nullptr);
    ads_set_tile(packet->dialog, packet->tile, rtos_decimal(value, decimals).c_str());
}

void integer_tile(ads_callback_packet* packet, int& value, int low, int high)
{
    if (packet->value == nullptr || packet->value[0] == '\0') return;
    const std::string typed = packet->value;
    if (str_is_number(typed) == 4 && typed.find('.') == std::string::npos && typed[0] != '-') {
        const long read = std::strtol(typed.c_str(), nullptr, 10);
        if (read >= low && read <= high) value = static_cast<int>(read);
    }
    ads_set_tile(packet->dialog, packet->tile, std::to_string(value).c_str());
}

// A layer filter typed into a tile: a valid name, or one ending in "*".
void layer_filter_tile(ads_callback_packet* packet, std::string& value)
{
    if (packet->value == nullptr || packet->value[0] == '\0') return;
    if (std::string(packet->value).size() < 255 && layer_name_valid(packet->value, 1)) value = packet->value;
    ads_set_tile(packet->dialog, packet->tile, value.c_str());
}

void text_colour(const ads_name entity, int colour)
{
    text_modify_set(8, "", 0, colour);
    text_modify_apply(entity);
}

// A matched level text: its number, the middle of its box and how far its
// point may lie from that middle.
struct level_text_rec {
    ads_name entity = {0, 0};
    double level = 0;
    point3d_rec centre;
    double radius = 0;
    int point = -1;  // the POINT it found (index into the POINT list)
    double distance = 0;
};

bool level_text_read(const ads_name entity, level_text_rec& out)
{
    resbuf* list = acdbEntGet(entity);
    if (list == nullptr) return false;
    const char* text = rb_get_str(list, 1);
    num_text_parts parts;
    bool ok = text != nullptr && text_number(text, parts);
    ads_point lower_left, upper_right;
    if (ok) ok = acedTextBox(list, lower_left, upper_right) == RTNORM;
    if (ok) {
        point3d_rec insertion;
        rb_get_point(list, 10, insertion, 0);
        const double r = rb_get_real(list, 50), height = rb_get_real(list, 40);
        const double mx = (lower_left[X] + upper_right[X]) / 2, my = (lower_left[Y] + upper_right[Y]) / 2;
        out.centre = {insertion.x + mx * std::cos(r) - my * std::sin(r),
                      insertion.y + mx * std::sin(r) + my * std::cos(r), 0};
        const double diagonal = std::hypot(upper_right[X] - lower_left[X], upper_right[Y] - lower_left[Y]);
        out.radius = (diagonal + height) / 2;
        out.level = parts.number;
        ads_name_set(entity, out.entity);
    }
    acutRelRb(list);
    return ok;
}

void ent_mod_int16(const ads_name entity, int code, int value)
{
    ent_mod_pending_rec& pending = ent_mod_pending();
    pending.kind = 0;
    pending.code = code;
    pending.int16 = value;
    ent_mod_apply(entity);
}

void ent_mod_text(const ads_name entity, int code, const std::string& value)
{
    ent_mod_pending_rec& pending = ent_mod_pending();
    pending.kind = 3;
    pending.code = code;
    pending.text = value;
    ent_mod_apply(entity);
}

void ent_mod_point(const ads_name entity, int code, const point3d_rec& value)
{
    ent_mod_pending_rec& pending = ent_mod_pending();
    pending.kind = 4;
    pending.code = code;
    pending.point = value;
    ent_mod_apply(entity);
}

}  // namespace

number_constant_rec& number_constant()
{
    static number_constant_rec cfg;
    return cfg;
}

level_point_rec& level_point()
{
    static level_point_rec cfg;
    return cfg;
}

renumber_rec& renumber_cfg()
{
    static renumber_rec cfg;
    return cfg;
}

double& convert_distance_factor()
{
    static double factor = 0;
    return factor;
}

// ---- + / x constant --------------------------------------------------------

bool add_mul_text(const std::string& old_text, const number_constant_rec& cfg, std::string& new_text)
{
    num_text_parts parts;
    if (!text_number(old_text, parts)) return false;
    const double value = parts.number;
    if (cfg.min_on && value < cfg.min_value) return false;
    if (cfg.max_on && value > cfg.max_value) return false;
    const double result = cfg.type == 1 ? cfg.constant * value : cfg.constant + value;
    const std::string separator = parts.separator == ' ' ? " " : ".";
    // The suffix (an invert level's "iL") stays with the number.
    new_text = real_to_text_pad(result, parts.leading_blanks, separator, cfg.decimals) + parts.suffix;
    return true;
}

int constant_number_dlg()
{
    number_constant_rec& cfg = number_constant();
    number_constant_rec edit = cfg;
    static const std::vector<std::string> kTypes = {"+ constant", "x constant"};
    auto limit_modes = [&](ads_hdlg dialog) {
        ads_mode_tile(dialog, "max_value_t", edit.max_on ? MODE_ENABLE : MODE_DISABLE);
        ads_mode_tile(dialog, "min_value_t", edit.min_on ? MODE_ENABLE : MODE_DISABLE);
    };
    dialog_def def{
        "Constant_number_Dlg.dcl",
        "constant_number_dlg",
        {tile_popup("constant_type_pop", edit.type, kTypes),
         tile_action("const_value_t",
                     [&](ads_callback_packet* p) { number_tile(p, edit.constant, edit.decimals); }),
         tile_decimals("decimal_t", edit.decimals),
         tile_toggle("max_value_tg", edit.max_on) + [&](ads_callback_packet* p) { limit_modes(p->dialog); },
         tile_toggle("min_value_tg", edit.min_on) + [&](ads_callback_packet* p) { limit_modes(p->dialog); },
         tile_action("max_value_t",
                     [&](ads_callback_packet* p) { number_tile(p, edit.max_value, edit.decimals); }),
         tile_action("min_value_t",
                     [&](ads_callback_packet* p) { number_tile(p, edit.min_value, edit.decimals); }),
         tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "const_value_t", rtos_decimal(edit.constant, edit.decimals).c_str());
        ads_set_tile(dialog, "decimal_t", std::to_string(edit.decimals).c_str());
        ads_set_tile(dialog, "max_value_t", rtos_decimal(edit.max_value, edit.decimals).c_str());
        ads_set_tile(dialog, "min_value_t", rtos_decimal(edit.min_value, edit.decimals).c_str());
        limit_modes(dialog);
    };
    const int status = dialog_show(def);
    if (status == DLGOK) cfg = edit;
    return status == dialog_not_shown ? 0 : status;
}

int add_mul_number()
{
    if (!ensure_selection()) return 0;
    if (constant_number_dlg() != DLGOK) {
        clear_number_texts();
        return 0;
    }
    const number_constant_rec& cfg = number_constant();
    acutPrintf(cfg.type == 0 ? "\nCampur /tolak Number  " : "\nDarab Number  ");
    number_util_rec& menu = number_util();
    int changed = 0;
    for (long i = 0; i < menu.count; ++i) {
        std::string text;
        if (!add_mul_text(item_text(i), cfg, text)) continue;
        text_modify_set(1, text, 0, 0);
        changed += ss_text_modify(menu.selection, i);
    }
    acutPrintf("\nChanged %i text lines", changed);
    clear_number_texts();
    return 1;
}

// ---- level to point 3D -----------------------------------------------------

int pnt_trd_set_dlg()
{
    level_point_rec& cfg = level_point();
    level_point_rec edit = cfg;
    auto out_mode = [&](ads_hdlg dialog) {
        ads_mode_tile(dialog, "t_pnt_out_layer", edit.move_to_out_layer ? MODE_ENABLE : MODE_DISABLE);
    };
    dialog_def def{"num_util_pnt_trd_set_Dlg.dcl",
                   "pnt_trd_set_dlg",
                   {tile_action("t_txt_sel_layer",
                                [&](ads_callback_packet* p) { layer_filter_tile(p, edit.text_layer); }),
                    tile_action("t_pnt_sel_layer",
                                [&](ads_callback_packet* p) { layer_filter_tile(p, edit.point_layer); }),
                    tile_action("t_txt_color",
                                [&](ads_callback_packet* p) { integer_tile(p, edit.text_colour, 0, 256); }),
                    tile_action("t_pnt_color",
                                [&](ads_callback_packet* p) { integer_tile(p, edit.point_colour, 0, 256); }),
                    tile_layer("t_pnt_out_layer", edit.out_layer, 254),
                    tile_toggle("pnt_layer_tg", edit.move_to_out_layer) +
                        [&](ads_callback_packet* p) { out_mode(p->dialog); },
                    tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "t_txt_sel_layer", edit.text_layer.c_str());
        ads_set_tile(dialog, "t_pnt_sel_layer", edit.point_layer.c_str());
        ads_set_tile(dialog, "t_txt_color", std::to_string(edit.text_colour).c_str());
        ads_set_tile(dialog, "t_pnt_color", std::to_string(edit.point_colour).c_str());
        out_mode(dialog);
    };
    const int status = dialog_show(def);
    if (status == DLGOK) cfg = edit;
    return status == dialog_not_shown ? 0 : status;
}

int level_text_to_point3d()
{
    const level_point_rec& cfg = level_point();
    clear_number_texts();
    resbuf* filter =
        acutBuildList(-4, "<or", -4, "<and", RTDXF0, "TEXT", 8, cfg.text_layer.c_str(), -4, "and>", -4,
                      "<and", RTDXF0, "POINT", 8, cfg.point_layer.c_str(), -4, "and>", -4, "or>", 0);
    selection_guard both, points, texts;
    const int rc = acedSSGet(nullptr, nullptr, nullptr, filter, both.ss);
    acutRelRb(filter);
    if (rc != RTNORM) {
        ads_name_clear(both.ss);
        return 0;
    }
    ss_verify_type(both.ss, "POINT", points.ss, points.length);
    ss_verify_type(both.ss, "TEXT", texts.ss, texts.length);
    if (points.length == 0 || texts.length == 0) {
        acutPrintf("\nBoth level texts and POINTs are needed; nothing was changed.");
        return 0;
    }

    // Every POINT into the nearest-point index; ids are positions in the set.
    std::vector<point3d_rec> point_at(static_cast<size_t>(points.length));
    nearest_index_ctl(0, 0, 0);
    for (long i = 0; i < points.length; ++i) {
        if (ss_point_get(points.ss, i, 0)) point_at[i] = point_read.location;
        nearest_index_ctl(point_at[i].x, point_at[i].y, 1);
    }
    nearest_index_ctl(0, 0, 2);

    std::vector<level_text_rec> levels;
    std::vector<int> owner(point_at.size(), -1);  // the text that keeps each point
    progress_reset();
    for (long i = 0; i < texts.length; ++i) {
        progress_percent(i + 1, static_cast<int>(texts.length));
        ads_name entity;
        level_text_rec level;
        if (acedSSName(texts.ss, i, entity) != RTNORM || !level_text_read(entity, level)) continue;
        nearest_set_radius(level.radius);
        const int found = nearest_find_point(level.centre);
        if (found < 0) continue;
        // Only a point within the text's reach counts.
        level.distance = dist_2d(level.centre, point_at[found]);
        if (level.distance > level.radius) continue;
        level.point = found;
        const int index = static_cast<int>(levels.size());
        levels.push_back(level);
        int& keeper = owner[found];
        if (keeper < 0 || level.distance < levels[keeper].distance) keeper = index;
    }

    int set = 0;
    for (size_t p = 0; p < owner.size(); ++p) {
        if (owner[p] < 0) continue;
        const level_text_rec& level = levels[owner[p]];
        ads_name point;
        if (acedSSName(points.ss, static_cast<long>(p), point) != RTNORM) continue;
        ent_mod_point(point, 10, {point_at[p].x, point_at[p].y, level.level});
        ent_mod_int16(point, 62, cfg.point_colour);
        if (cfg.move_to_out_layer) ent_mod_text(point, 8, cfg.out_layer);
        text_colour(level.entity, cfg.text_colour);
        ++set;
    }
    acutPrintf("\n%d points took the level of their text; %d texts found no point of their own", set,
               static_cast<int>(texts.length) - set);
    return 1;
}

// ---- renumber --------------------------------------------------------------

int update_text_dlg()
{
    renumber_rec& cfg = renumber_cfg();
    renumber_rec edit = cfg;
    dialog_def def{
        "Update_Text_Dlg.dcl",
        "update_text_dlg",
        {tile_action("t_upd_text",
                     [&](ads_callback_packet* p) { number_tile(p, edit.start, edit.decimals); }),
         tile_action("t_upd_step", [&](ads_callback_packet* p) { number_tile(p, edit.step, edit.decimals); }),
         tile_decimals("t_upd_decimal", edit.decimals), tile_choice("left_rb", edit.direction, 1),
         tile_choice("right_rb", edit.direction, 2), tile_choice("top_rb", edit.direction, 3),
         tile_choice("bottom_rb", edit.direction, 4), tile_button("ok", DLGOK),
         tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "t_upd_text", rtos_decimal(edit.start, edit.decimals).c_str());
        ads_set_tile(dialog, "t_upd_step", rtos_decimal(edit.step, edit.decimals).c_str());
        ads_set_tile(dialog, "t_upd_decimal", std::to_string(edit.decimals).c_str());
    };
    const int status = dialog_show(def);
    if (status == DLGOK) cfg = edit;
    return status == dialog_not_shown ? 0 : status;
}

int renumber_texts()
{
    number_util_rec& menu = number_util();
    if (menu.count == 0) return 1;  // nothing selected: nothing to renumber
    if (update_text_dlg() != DLGOK) {
        clear_number_texts();
        return 0;
    }
    const renumber_rec& cfg = renumber_cfg();
    struct placed {
        long index;
        point3d_rec at;
    };
    std::vector<placed> texts;
    for (long i = 0; i < menu.count; ++i) {
        point3d_rec at;
        if (ss_point_group_get(menu.selection, i, 10, at)) texts.push_back({i, at});
    }
    acutPrintf("\nSorting...");
    const bool by_x = cfg.direction == 1 || cfg.direction == 2;
    std::stable_sort(texts.begin(), texts.end(), [&](const placed& a, const placed& b) {
        return by_x ? a.at.x < b.at.x : a.at.y < b.at.y;
    });
    if (cfg.direction == 2 || cfg.direction == 3) std::reverse(texts.begin(), texts.end());
    acutPrintf("\nUpdating text....");
    double value = cfg.start;
    for (const placed& text : texts) {
        text_modify_set(1, rtos_decimal(value, cfg.decimals), 0, 0);
        ss_text_modify(menu.selection, text.index);
        value += cfg.step;
    }
    clear_number_texts();
    return 1;
}

// ---- links or feet to metres -----------------------------------------------

int convert_distance_text()
{
    double& factor = convert_distance_factor();
    if (factor == 0) {
        const std::string unit = prompt_kword("0", "X L F", "e<X>it From <L>ink <F>eet to Meter", "L");
        if (unit == "X" || unit.empty()) {
            clear_number_texts();
            return 0;
        }
        factor = unit == "F" ? UNIT_FACTOR_FEET : UNIT_FACTOR_LINK;
    }
    acutPrintf(factor == UNIT_FACTOR_FEET ? "\nConvert Feet to Meter" : "\nConvert Link to Meter");
    if (!ensure_selection()) return 0;
    number_util_rec& menu = number_util();
    int changed = 0;
    for (long i = 0; i < menu.count; ++i) {
        const std::string text = item_text(i);
        if (str_is_number(text) != 4 || !has_digit(text)) continue;
        char converted[64];
        std::snprintf(converted, sizeof converted, "%.3f", std::strtod(text.c_str(), nullptr) * factor);
        text_modify_set(1, converted, 0, 0);
        changed += ss_text_modify(menu.selection, i);
    }
    acutPrintf("\nChanged %i text lines", changed);
    clear_number_texts();
    return 1;
}

// ---- tools that only the dispatch reaches ----------------------------------

int sum_number_texts()
{
    if (!ensure_selection()) return 0;
    number_util_rec& menu = number_util();
    double sum = 0;
    int errors = 0;
    for (long i = 0; i < menu.count; ++i) {
        const std::string text = item_text(i);
        double value = 0;
        str_parse_real(text, value);
        acutPrintf("\nText [%s] --> %f", text.c_str(), value);
        if (value == 0) ++errors;
        sum += value;
    }
    acutPrintf("\nJumlah : %f", sum);
    if (errors > 0) msg_alert_int("Error found ", errors);
    clear_number_texts();
    return 1;
}

int angle_between_points()
{
    ads_point first, second;
    if (acedGetPoint(nullptr, "\nPick 1st Point", first) != RTNORM) return 0;
    if (acedGetPoint(first, "\nPick 2nd Point", second) != RTNORM) return 0;
    const point3d_rec vertex = point_from_ads(first), to_second = point_from_ads(second);
    ads_point next;
    while (acedGetPoint(first, "\nNext Point", next) == RTNORM) {
        const double angle = angle_at_vertex(to_second, vertex, point_from_ads(next));
        acutPrintf("\nAngle :%s =>%s", angle_deg_to_dms_text(angle, 0).c_str(),
                   angle_deg_to_dms_text(360.0 - angle, 0).c_str());
    }
    return 1;
}

int perimeter_error_check()
{
    auto ask = [](const char* prompt) {
        for (;;) {
            const double value = prompt_real_or_exit(prompt, 0.0, 3);
            if (value >= 0) return value;
            acutPrintf("\nA distance cannot be below 0.");
        }
    };
    const double misclosure = ask("Beza Jarak:");
    if (misclosure == 0) return 0;
    const double perimeter = ask("Perimeter Jarak New:");
    if (perimeter == 0) return 0;
    const double e = misclosure / perimeter * 100.0;
    acutPrintf("\nERROR PER CHAIN= %.6f PER 20 METERS= %.6f", e, e * UNIT_FACTOR_LINK);
    acutPrintf(
        "\nAcceptable  ERROR within 0.025 links/0.006 meter per chain/20 meters per minute K.P.U 3/76");
    return 1;
}
