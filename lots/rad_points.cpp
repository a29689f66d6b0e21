// Radiation points: b_rad_create_pnt, its dialog, the pick loop, polyline
// numbering and the search for the next free number.
#include "rad_points.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

#include "ads.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "messages.h"
#include "polyline_read.h"
#include "prompts.h"
#include "selection_sets.h"
#include "sysvar.h"
#include "text_fields.h"
#include "xdata_pending.h"
#include "xdata_read.h"

namespace {

constexpr const char* kSettingsLayer = "Orvik_survey_temp";

struct rad_state_rec {
    int loaded = 0;
    std::string dwg_path;
};

rad_state_rec& rad_state()
{
    static rad_state_rec state;
    return state;
}

bool key_is(const std::string& key, const char* known)
{
    std::string a = key, b = known;
    str_upper(a);
    str_upper(b);
    return a == b;
}

// The settings set up for the current drawing: read from it on the first use
// and whenever another drawing has become current.
void rad_setup()
{
    rad_state_rec& state = rad_state();
    dwg_path_track(state.loaded, state.dwg_path);
    if (state.loaded) return;
    settings_key_rec key;
    settings_key_make(key, rad_listing_app, rad_listing_app);
    std::string stored;
    drawing_setting_get(key, stored);
    rad_listing() = rad_listing_rec{};
    load_radlisting_cfg();
    state.loaded = 1;
}

// Numbers the vertices in turn; stops when no number is left to give.
void number_points(const numbered_point_list& vertices, bool from_last)
{
    if (from_last) {
        for (size_t i = vertices.size(); i-- > 0;)
            if (!rad_next_number(vertices[i].point)) return;
    } else {
        for (const numbered_point& v : vertices)
            if (!rad_next_number(v.point)) return;
    }
}

// A stored or typed number as an int; one beyond the int's range is taken as
// its end, which rad_next_number then refuses.
int number_from_text(const std::string& text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The pick loop: a point numbers it; "X" saves and returns.
void rad_pick_loop()
{
    for (;;) {
        std::string text;
        point3d_rec point;
        const int rc = prompt_point_or_text("\ne<X>it Pick Point :", "", nullptr, text, point);
        if (rc == 1) {
            rad_next_number(point);
            continue;
        }
        if (rc == 2) {
            str_upper(text);
            if (text != "X") continue;
        }
        save_radlisting_cfg();
        acutPrintf("\nOk bye come again..");
        return;
    }
}

// Numbers the vertices of the selected LWPOLYLINEs, each from the end nearer
// the picked start.
void rad_polylines_number()
{
    ads_name ss;
    long length = 0;
    if (!ss_select_type("LWPOLYLINE", ss, length)) return;
    for (long i = 0; i < length; ++i) {
        if (!lwpoly_read_vertices(ss, i) || lwpoly_vertices.vertices.empty()) continue;
        numbered_point_list vertices = lwpoly_vertices.vertices;
        // A polyline that ends where it began (closed, or drawn back onto its
        // first vertex) has that corner once, and one number for it.
        while (vertices.size() > 1 && vertices.back().point.x == vertices.front().point.x &&
               vertices.back().point.y == vertices.front().point.y)
            vertices.pop_back();
        if (vertices.size() < 2) {
            rad_next_number(vertices.front().point);
            continue;
        }
        std::string text;
        point3d_rec picked;
        const bool is_point =
            prompt_point_or_text("\nPick Where to start", "", &vertices.front().point, text, picked) == 1;
        const bool from_last =
            is_point && dist_2d(picked, vertices.back().point) < dist_2d(picked, vertices.front().point);
        number_points(vertices, from_last);
    }
    acedSSFree(ss);
}

}  // namespace

rad_listing_rec& rad_listing()
{
    static rad_listing_rec cfg;
    return cfg;
}

std::vector<key_string_rec> rad_listing_list(const rad_listing_rec& cfg)
{
    std::vector<key_string_rec> list;
    key_string_push_format(0, "INDEX=", nullptr, 0, 11, 3, list);
    key_string_push_format(0, "POINT_LAYER=", cfg.point_layer.c_str(), 0, 0, 1, list);
    key_string_push_format(0, "TEXT_LAYER=", cfg.text_layer.c_str(), 0, 0, 1, list);
    key_string_push_format(0, "SCALE=", nullptr, cfg.scale, 3, 2, list);
    key_string_push_format(0, "TEXT_HEIGHT=", nullptr, cfg.text_height, 3, 2, list);
    key_string_push_format(0, "TEXT_WIDTH=", nullptr, cfg.text_width, 3, 2, list);
    key_string_push_format(0, "TEXT_ROT=", nullptr, cfg.text_rotation, 6, 2, list);
    key_string_push_format(0, "PNT_OPT=", nullptr, 0, cfg.point_option, 3, list);
    key_string_push_format(0, "MODIFIED_LAYER=", nullptr, 0, cfg.modified_layer, 3, list);
    key_string_push_format(0, "START_NUMBER=", nullptr, 0, cfg.next_number, 3, list);
    key_string_push_format(0, "SELECT_ALL_TG=", nullptr, 0, cfg.select_all, 3, list);
    return list;
}

void rad_listing_parse(const std::vector<key_string_rec>& list, rad_listing_rec& cfg)
{
    if (list.empty()) return;
    const std::vector<std::string> head = str_split(list[0].text, '=');
    const int count = head.size() > 1 ? std::atoi(head[1].c_str()) : 0;
    for (int i = 1; i < count && i < static_cast<int>(list.size()); ++i) {
        const std::string& entry = list[i].text;
        const size_t eq = entry.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = entry.substr(0, eq), value = entry.substr(eq + 1);
        if (key_is(key, "POINT_LAYER"))
            cfg.point_layer = value;
        else if (key_is(key, "TEXT_LAYER"))
            cfg.text_layer = value;
        else if (key_is(key, "SCALE"))
            cfg.scale = std::atof(value.c_str());
        else if (key_is(key, "TEXT_HEIGHT"))
            cfg.text_height = std::atof(value.c_str());
        else if (key_is(key, "TEXT_WIDTH"))
            cfg.text_width = std::atof(value.c_str());
        else if (key_is(key, "TEXT_ROT"))
            cfg.text_rotation = std::atof(value.c_str());
        else if (key_is(key, "PNT_OPT"))
            cfg.point_option = std::atoi(value.c_str());
        else if (key_is(key, "MODIFIED_LAYER"))
            cfg.modified_layer = std::atoi(value.c_str());
        else if (key_is(key, "START_NUMBER"))
            cfg.next_number = number_from_text(value);
        else if (key_is(key, "SELECT_ALL_TG"))
            cfg.select_all = std::atoi(value.c_str());
    }
}

int save_radlisting_cfg()
{
    return layer_xdata_save_list(kSettingsLayer, rad_listing_app, 1, rad_listing_list(rad_listing()));
}

int load_radlisting_cfg()
{
    std::vector<key_string_rec> list;
    if (drawing_setting_read_list(rad_listing_app, kSettingsLayer, list) != 1) return 0;
    rad_listing_parse(list, rad_listing());
    return 1;
}

bool rad_next_number(const point3d_rec& point)
{
    rad_listing_rec& cfg = rad_listing();
    if (cfg.number_prompt == 1) cfg.next_number = prompt_int_default("\nEnter Number :", cfg.next_number);
    const int number = cfg.next_number;
    if (number > rad_number_last) {
        acutPrintf("\nRadiation numbers run up to %d: no point was made for %d.", rad_number_last, number);
        return false;
    }
    xdata_pending_set_int32(number);
    point_make_xdata(point, cfg.point_layer, rad_listing_app);
    xdata_pending_set_int32(number);
    text_make_xdata(point, cfg.text_height * cfg.scale * 0.001, cfg.text_width, cfg.text_rotation,
                    cfg.text_layer, std::to_string(number), rad_listing_app);
    cfg.next_number = number + 1;
    return true;
}

bool rad_largest_number(int select_all, int& largest)
{
    largest = 0;
    ads_name ss;
    long length = 0;
    const int made = select_all ? ss_all_type("POINT", ss, length) : ss_select_type("POINT", ss, length);
    // A drawing without POINTs holds no number: the search found none.
    if (!made) return select_all != 0;
    std::set<int> seen;
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM) continue;
        xdata_read_rec& read = xdata_read_state();
        read.want_int32 = true;
        xdata_read_requested(entity, rad_listing_app);
        if (!read.found_int32) continue;
        if (!seen.insert(read.int32).second) msg_alert_int("Point Duplicated no.", read.int32);
    }
    acedSSFree(ss);
    if (!seen.empty()) largest = *seen.rbegin();
    return true;
}

int rad_listing_dlg()
{
    rad_listing_rec& cfg = rad_listing();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);
    rad_listing_rec edit = cfg;
    edit.modified_layer = 0;  // shown as "0" at each opening
    int new_radiate = 0;
    bool searched = false;  // the next free number was found this time

    auto modes = [&](ads_hdlg dialog) {
        const short pick = searched || new_radiate ? MODE_ENABLE : MODE_DISABLE;
        ads_mode_tile(dialog, "pick_pnt_btn", pick);
        ads_mode_tile(dialog, "select_pl_btn", pick);
        ads_mode_tile(dialog, "select_pnt_rb", MODE_DISABLE);
        ads_mode_tile(dialog, "change_pnt_layer_tg", edit.point_option == 1 ? MODE_ENABLE : MODE_DISABLE);
    };
    auto refresh = [&](ads_callback_packet* p) { modes(p->dialog); };
    dialog_def def{
        "Rad_Listing_Dlg.dcl",
        "rad_listing_dlg",
        {tile_layer("pointlayer_text", edit.point_layer), tile_layer("textlayer_text", edit.text_layer),
         tile_size("scale_text", edit.scale, luprec), tile_size("textheight_text", edit.text_height, luprec),
         tile_size("textwidth_text", edit.text_width, luprec),
         tile_real("textrot_text", edit.text_rotation, 6),
         tile_integer_within("startnumber_text", edit.next_number, INT_MIN, rad_number_last,
                             "Radiation numbers run up to 2147483646."),
         tile_toggle("numberpromp_tg", edit.number_prompt),
         tile_choice("create_pnt_rb", edit.point_option, 0) + refresh,
         tile_choice("select_pnt_rb", edit.point_option, 1) + refresh,
         tile_toggle("change_pnt_layer_tg", edit.modified_layer),
         tile_toggle("SelectAll_tg", edit.select_all), tile_toggle("new_radiate_tg", new_radiate) + refresh,
         tile_button("save_btn", DLGOK), tile_button("cancel_btn", DLGCANCEL),
         tile_button("select_obj_btn", 2), tile_button("rotation_btn", 3), tile_button("select_pl_btn", 4),
         tile_button("pick_pnt_btn", 5)}};
    def.on_open = modes;
    const int status = dialog_run(def, [&](int pick) {
        switch (pick) {
            case 2: {
                int largest = 0;
                if (rad_largest_number(edit.select_all, largest)) {
                    edit.next_number = largest < INT_MAX ? largest + 1 : INT_MAX;
                    searched = true;
                }
                break;
            }
            case 3: {
                std::string bearing;
                if (pick_bearing_text(nullptr, bearing)) edit.text_rotation = std::atof(bearing.c_str());
                break;
            }
            case 4:
            case 5:
                cfg = edit;
                if (pick == 4)
                    rad_polylines_number();
                else
                    rad_pick_loop();
                edit.next_number = cfg.next_number;
                save_radlisting_cfg();
                break;
            default:
                break;
        }
        return true;
    });
    if (status == DLGOK) {
        cfg = edit;
        save_radlisting_cfg();
    }
    return status;
}

int b_rad_create_pnt()
{
    rad_setup();
    rad_listing_dlg();
    return 0;
}
