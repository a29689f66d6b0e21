// b_lot_number: its settings, the dialog, and the loop that writes a number at
// a picked point or in every lot along a picked segment.
#include "lot_number.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "ads.h"
#include "angles.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "layers.h"
#include "messages.h"
#include "prompts.h"
#include "segment_crossings.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "LOT_NUMBER";
constexpr const char* kSettingsLayer = "Orvik_survey_temp";
constexpr int kStoredFields = 10;

struct lot_number_state_rec {
    int set = 0;
    std::string dwg_path;
};

lot_number_state_rec& state()
{
    static lot_number_state_rec s;
    return s;
}

// The working values of one call: each mode's own rotation and the reverse flag.
struct lot_number_run {
    double auto_rotation = 90.0;
    double point_rotation = 90.0;
    int reverse = 0;
};

// Writes one number at the point (asking it when automatic numbering is off);
// 0 when it could not be written.
int label_single(const point3d_rec& point)
{
    lot_number_cfg_rec& cfg = lot_number_cfg();
    const double h = cfg.scale * 0.001 * cfg.text_height;
    int number = cfg.next_number;
    if (!cfg.auto_number) {
        for (;;) {
            std::string out;
            if (prompt_int_spec("0,M,Enter Number", cfg.next_number, out) != 1) continue;
            number = std::atoi(out.c_str());
            if (number >= 1 && number < INT_MAX) break;
            acutPrintf("\nA lot number is a whole number from 1 up.");
        }
    }
    if (text_make_justified(4, point, h, cfg.width_factor, cfg.rotation, cfg.layer, std::to_string(number),
                            1) != RTNORM) {
        acutPrintf("\nLot number %d could not be written on layer %s.", number, cfg.layer.c_str());
        return 0;
    }
    cfg.next_number = number < INT_MAX ? number + 1 : number;
    return 1;
}

// Numbers every lot between consecutive LINE crossings of the segment from p1;
// 0 when no second point was given or no LINE was found.
int label_segment(point3d_rec p1, int reverse)
{
    std::string text;
    point3d_rec p2;
    if (prompt_point_or_text("\nPick Next Point", "", &p1, text, p2) != 1) return 0;
    if (reverse) std::swap(p1, p2);
    std::vector<segment_crossing> crossings;
    ads_name set;
    if (!segment_line_crossings(p1, p2, lot_number_cfg().select_own != 0, crossings, set)) return 0;
    for (const point3d_rec& mid : crossing_midpoints(crossings))
        if (!label_single(mid)) break;
    ss_unhighlight(set);
    acedSSFree(set);
    return 1;
}

// The settings of the current drawing, set up on first use there (with the
// dialog); false when the command is to end.
bool lot_number_setup()
{
    lot_number_state_rec& s = state();
    dwg_path_track(s.set, s.dwg_path);
    if (s.set) return true;
    settings_key_rec key;
    settings_key_make(key, kApp, "LOT_NUMBER");
    std::string holding;
    if (drawing_setting_get(key, holding) != RTNORM) {
        acedAlert("Fail Creating Layer :Orvik_Survey_temp");
        return false;
    }
    lot_number_cfg() = lot_number_cfg_rec{};
    if (!holding.empty()) lot_number_cfg().layer = holding;
    load_lot_number_cfg();
    s.set = 1;
    return dlg_lot_number() == 1;
}

}  // namespace

lot_number_cfg_rec& lot_number_cfg()
{
    static lot_number_cfg_rec cfg;
    return cfg;
}

std::string lot_number_cfg_text(const lot_number_cfg_rec& cfg)
{
    std::string text;
    comma_list_add(text, cfg.scale, 3);
    comma_list_add(text, cfg.rotation, 6);
    comma_list_add(text, cfg.text_height, 3);
    comma_list_add(text, cfg.width_factor, 3);
    comma_list_add(text, cfg.auto_number);
    comma_list_add(text, cfg.next_number);
    comma_list_add(text, cfg.circle);
    comma_list_add(text, cfg.circle_radius, 3);
    comma_list_add(text, cfg.auto_label);
    comma_list_add(text, cfg.select_own);
    return text;
}

bool lot_number_cfg_parse(const std::string& text, lot_number_cfg_rec& cfg)
{
    // The store's default (the layer's name) or a stray text has no fields.
    if (std::count(text.begin(), text.end(), ',') < kStoredFields) return false;
    auto field = [&](int n) { return str_get_field(text, n, ","); };
    auto real = [&](int n) { return std::atof(field(n).c_str()); };
    auto integer = [&](int n) { return std::atoi(field(n).c_str()); };
    cfg.scale = real(1);
    cfg.rotation = real(2);
    cfg.text_height = real(3);
    cfg.width_factor = real(4);
    cfg.auto_number = integer(5);
    cfg.next_number = integer(6);
    cfg.circle = integer(7);
    cfg.circle_radius = real(8);
    cfg.auto_label = integer(9);
    cfg.select_own = integer(10);
    return true;
}

int load_lot_number_cfg()
{
    std::string stored;
    lot_number_cfg_rec& cfg = lot_number_cfg();
    if (drawing_setting_read(kApp, cfg.layer.c_str(), stored) != 1) return -1;
    return lot_number_cfg_parse(stored, cfg) ? 1 : -1;
}

int save_lot_number_cfg()
{
    const lot_number_cfg_rec& cfg = lot_number_cfg();
    acdbRegApp(kApp);
    if (layer_xdata_put(kSettingsLayer, kApp, cfg.layer.c_str(), 1) != RTNORM) {
        msg_alert_two("nFailed save cfg to layer", kSettingsLayer);
        return RTERROR;
    }
    const int exists = layer_flags_get(cfg.layer.c_str()) >= 0 ? 1 : 0;
    if (layer_xdata_put(cfg.layer.c_str(), kApp, lot_number_cfg_text(cfg).c_str(), exists) != RTNORM) {
        msg_alert_two("nFailed save cfg to layer", cfg.layer);
        return RTERROR;
    }
    return RTNORM;
}

int dlg_lot_number()
{
    lot_number_cfg_rec edit = lot_number_cfg();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);
    auto radius_mode = [&](ads_hdlg dialog) {
        ads_mode_tile(dialog, "t_cirradius", edit.circle ? MODE_ENABLE : MODE_DISABLE);
    };
    dialog_def def;
    def.file = "Lot_Number_Dlg.dcl";
    def.name = "lot_number_dlg";
    def.tiles = {tile_layer("t_layer", edit.layer, 255),
                 tile_real_positive("t_scale", edit.scale, luprec),
                 tile_real("t_rotation", edit.rotation, 10),
                 tile_real_positive("t_text_height", edit.text_height, luprec),
                 tile_real_positive("t_lot_num_txtwidth", edit.width_factor, luprec),
                 tile_toggle("auto_number_tg", edit.auto_number),
                 tile_integer_within("t_startnum", edit.next_number, 1, INT_MAX - 1,
                                     "The next number is a whole number from 1 up."),
                 tile_toggle("circle_tg", edit.circle) +
                     [&](ads_callback_packet* packet) { radius_mode(packet->dialog); },
                 tile_real_positive("t_cirradius", edit.circle_radius, luprec),
                 tile_toggle("auto_label_tg", edit.auto_label),
                 tile_toggle("select_tg", edit.select_own),
                 tile_button("p_pickrot", 2),
                 tile_button("ok", DLGOK),
                 tile_button("cancel", DLGCANCEL)};
    def.on_open = radius_mode;
    const int status = dialog_run(def, [&](int pick) {
        if (pick == 2) {
            double bearing = 0;
            if (pick_two_points_bearing(nullptr, bearing)) edit.rotation = bearing;
        }
        return true;
    });
    if (status != DLGOK) return 0;
    lot_number_cfg() = edit;
    save_lot_number_cfg();
    return 1;
}

int b_lot_number()
{
    if (!lot_number_setup()) return 0;
    lot_number_cfg_rec& cfg = lot_number_cfg();
    lot_number_run run;
    run.auto_rotation = run.point_rotation = cfg.rotation;
    for (;;) {
        if (run.reverse) acutPrintf("\nNow Reverse...");
        acutPrintf("Rot :%s Num:%d ", angle_deg_to_dms_text(cfg.rotation, 0).c_str(), cfg.next_number);
        const char* prompt = cfg.auto_label
                                 ? "\n<S>etting [<N>o Auto Lbl] e<X>it <R>otate Re<V>erse <Pick 1st point>"
                                 : "\n<S>etting e<X>it <A>uto Lbl <Pick Point>";
        std::string text;
        point3d_rec point;
        const int rc = prompt_point_or_text(prompt, "", nullptr, text, point);
        if (rc == 1) {
            const int result = cfg.auto_label ? label_segment(point, run.reverse) : label_single(point);
            run.reverse = 0;
            if (result == 0) break;
            continue;
        }
        if (rc != 2) break;
        const std::string word = str_upper_copy(text);
        double& mode_rotation = cfg.auto_label ? run.auto_rotation : run.point_rotation;
        if (word == "X") {
            break;
        } else if (word == "S") {
            if (dlg_lot_number() == 1) mode_rotation = cfg.rotation;
        } else if (word == "V") {
            run.reverse = !run.reverse;
        } else if (word == "R") {
            double bearing = 0;
            if (pick_two_points_bearing(nullptr, bearing)) cfg.rotation = mode_rotation = bearing;
        } else if (word == "N") {
            cfg.auto_label = 0;
            cfg.rotation = run.point_rotation;
        } else if (word == "A") {
            cfg.auto_label = 1;
            cfg.rotation = run.auto_rotation;
        }
    }
    save_lot_number_cfg();
    return 0;
}
