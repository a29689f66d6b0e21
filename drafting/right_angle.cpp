// Right-angle points (b_pnt_right_angle) and right-angle lines (b_line_tepat).
#include "right_angle.h"

#include <cmath>

#include "ads.h"
#include "constants.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "messages.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "LINETP";
// A chainage of exactly 0 would leave no direction for the offset.
constexpr double kLeastChainage = 0.00001;

// A distance from base: the typed (or picked) value, or the default on a word
// (and on an empty answer unless the flags refuse it). Negative distances are
// asked again: the side of a right angle is picked, never typed. false on Esc.
bool ask_distance(const point3d_rec& base, const std::string& prompt, double default_value, double& out,
                  int flags = 0)
{
    int decimals = 4;
    sysvar_get_int("LUPREC", decimals);
    const std::string shown = prompt + "<" + rtos_decimal(default_value, decimals) + ">:";
    ads_point from;
    point_to_ads(base, from);
    for (;;) {
        acedInitGet(RSG_OTHER | RSG_NONEG | flags, nullptr);
        double typed = 0;
        const int rc = acedGetDist(from, shown.c_str(), &typed);
        if (rc == RTNORM) {
            out = typed;
            return true;
        }
        if (rc == RTNONE || rc == RTKWORD) {
            out = default_value;
            return true;
        }
        if (rc == RTCAN) return false;
    }
}

point3d_rec flat(const point3d_rec& p)
{
    return {p.x, p.y, 0};
}

// A point picked from base that lies elsewhere than base (a leg or a direction
// needs two points apart). false when nothing was picked.
bool pick_point_apart(const point3d_rec& base, const char* prompt, point3d_rec& out)
{
    ads_point from, picked;
    point_to_ads(base, from);
    for (;;) {
        if (acedGetPoint(from, prompt, picked) != RTNORM) return false;
        out = flat(point_from_ads(picked));
        if (dist_2d(base, out) > 0) return true;
        acutPrintf("\nThe point lies on the last one and gives no direction; pick another.");
    }
}

}  // namespace

ra_pnt_rec& ra_pnt()
{
    static ra_pnt_rec record;
    return record;
}

linetp_app_rec& linetp_app()
{
    static linetp_app_rec record;
    return record;
}

int b_pnt_right_angle()
{
    ra_pnt_rec& ra = ra_pnt();
    acutPrintf("\nPoint Right Angle ver cpp");
    point3d_rec base;
    for (;;) {
        std::string text;
        const int rc =
            prompt_point_or_text("\ne<X>it <S>etting <Pick base point 1>", "", nullptr, text, base);
        if (rc == 1) break;
        if (rc != 2 || str_upper_copy(text) == "X") return 0;
    }
    base = flat(base);
    point3d_rec ahead;
    if (!pick_point_apart(base, "\nPick next point :", ahead)) return 0;
    const double bearing = bearing_deg(base, ahead);
    for (;;) {
        double chainage = ra.dist1;
        if (!ask_distance(base, "\njarak oline", ra.dist1, chainage, RSG_NONULL)) return 0;
        ra.dist1 = chainage;
        acutPrintf("\nra_pnt.dist1 :%f", ra.dist1);
        if (chainage == 0) chainage = kLeastChainage;
        point3d_rec along;
        polar_point(bearing, chainage, base, along);

        std::string text;
        point3d_rec side;
        for (;;) {
            const int rc = prompt_point_or_text("\ne<X>it <Pick Arah>", "", &along, text, side);
            if (rc == 1) break;
            if (rc != 2 || str_upper_copy(text) == "X") return 0;
        }
        double offset = ra.offset;
        if (!ask_distance(along, "\njarak", ra.offset, offset)) return 0;
        ra.offset = offset;
        point3d_rec at;
        geo_perpendicular_at_vertex(base, along, side, offset, at);
        point_make(at, ra.layer);
    }
}

int right_angle_save_cfg()
{
    linetp_app_rec& app = linetp_app();
    std::string text;
    comma_list_add(text, app.line_layer);
    comma_list_add(text, app.scale, 3);
    resbuf* found = acdbTblSearch("LAYER", ORVIK_SETTINGS_LAYER, 0);
    const int exists = found != nullptr;
    acutRelRb(found);
    regapp_register(kApp);
    const int rc = layer_xdata_put(ORVIK_SETTINGS_LAYER, kApp, text.c_str(), exists);
    acutPrintf("\nxsave %s", text.c_str());
    if (rc != RTNORM) acutPrintf("\nFailed save cfg to layer %s", ORVIK_SETTINGS_LAYER);
    return rc;
}

int linetp_dlg_run()
{
    linetp_app_rec& app = linetp_app();
    std::string layer = app.line_layer;
    int new_line = app.new_line;
    // The label options are shown but not offered: they draw nothing.
    static const char* const kDisabled[] = {"bgd_tg",       "pntnum_tg",   "aras_tg",       "treed_tg",
                                            "t_scale",      "t_txth",      "t_twidth",      "t_rot",
                                            "t_spc",        "t_bgdlayer",  "t_pntnumlayer", "autopntnum_tg",
                                            "t_levellayer", "leveldec_tg", "t_dec",         "t_pnum"};
    dialog_def def{"RightAngle_Dlg.dcl",
                   "linetp_dlg",
                   {tile_layer("t_lineplayer", layer, kLineLayerLimit), tile_toggle("newline_tg", new_line),
                    tile_help("text_author", "/utiliti_menu.htm"), tile_button("yes", DLGOK),
                    tile_button("cancel", DLGCANCEL)}};
    def.load_error = "\n Error Loading %s ";
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "t_scale", rtos_decimal(app.scale, 3).c_str());
        ads_set_tile(dialog, "t_txth", rtos_decimal(app.text_height, 3).c_str());
        ads_set_tile(dialog, "t_twidth", rtos_decimal(app.width, 3).c_str());
        ads_set_tile(dialog, "t_rot", rtos_decimal(app.rotation, 6).c_str());
        ads_set_tile(dialog, "t_spc", rtos_decimal(app.spacing, 3).c_str());
        ads_set_tile(dialog, "t_bgdlayer", app.bgd_layer.c_str());
        ads_set_tile(dialog, "t_pntnumlayer", app.pnum_layer.c_str());
        ads_set_tile(dialog, "t_levellayer", app.level_layer.c_str());
        ads_set_tile(dialog, "t_dec", std::to_string(app.decimals).c_str());
        ads_set_tile(dialog, "t_pnum", std::to_string(app.first_number).c_str());
        for (const char* key : kDisabled) ads_mode_tile(dialog, key, MODE_DISABLE);
    };
    const int status = dialog_run(def, [](int) { return true; });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        app.line_layer = layer;
        app.new_line = new_line;
    }
    return status;
}

namespace {

// The settings of the first use: the stored "LINETP" value is read (which makes
// the settings layer when it is missing), then the record takes its defaults.
bool linetp_first_use(linetp_app_rec& app)
{
    settings_key_rec key;
    settings_key_make(key, kApp, "xx");
    std::string stored;
    if (drawing_setting_get(key, stored) != RTNORM) {
        acedAlert((std::string("Failed Creating Layer:") + ORVIK_SETTINGS_LAYER).c_str());
        return false;
    }
    app = linetp_app_rec{};
    app.defaultLayer = key.layer;
    acutPrintf("\nlinetp_app.defaultLayer %s", app.defaultLayer.c_str());
    app.loaded = 1;
    linetp_dlg_run();
    return true;
}

// The next leg's length: typed (mode 0 or straight on) or the plan distance to
// the direction point (mode 1). false on Esc.
bool leg_length(linetp_app_rec& app, const point3d_rec& current, const point3d_rec* direction, double& length)
{
    if (direction && app.mode == 1) {
        length = dist_2d(current, *direction);
        app.last_distance = length;
        return true;
    }
    for (;;) {
        double typed = app.last_distance;
        if (!ask_distance(current, "distance :", app.last_distance, typed)) return false;
        if (typed > 0) {
            app.last_distance = typed;
            length = typed;
            return true;
        }
        acutPrintf("\nA distance must be above 0.");
    }
}

}  // namespace

int b_line_tepat()
{
    linetp_app_rec& app = linetp_app();
    if (!app.loaded && !linetp_first_use(app)) return 0;

    point3d_rec base;
    for (;;) {
        std::string text;
        const int rc =
            prompt_point_or_text("\ne<X>it <N>ew Line <S>etting <Pick base point>", "", nullptr, text, base);
        if (rc == 1) break;
        if (rc != 2) return 0;
        const std::string word = str_upper_copy(text);
        if (word == "X") return 0;
        if (word == "N") app.new_line = 1;
        if (word == "S") linetp_dlg_run();
    }
    base = flat(base);
    point3d_rec previous = base, current;
    if (!pick_point_apart(base, "\nNext Point :", current)) return 0;
    if (app.new_line) {
        line_make(previous, current, app.line_layer);
        app.new_line = 0;
    }
    for (;;) {
        const char* prompt = app.mode == 1 ? "\ne<X>it s<T>r <E>nter Dist <S>etting <Direction>"
                                           : "\ne<X>it s<T>r <M>ouse dist <S>etting <Direction>";
        std::string text;
        point3d_rec direction;
        const int rc = prompt_point_or_text(prompt, "", &current, text, direction);
        if (rc != 1 && rc != 2) return 0;
        const std::string word = rc == 2 ? str_upper_copy(text) : std::string();
        if (word == "X") return 0;
        if (rc == 2 && word != "T") {
            if (word == "M") app.mode = 1;
            if (word == "E") app.mode = 0;
            if (word == "S") linetp_dlg_run();
            continue;
        }
        const bool straight = rc == 2;
        double length = 0;
        if (!leg_length(app, current, straight ? nullptr : &direction, length)) return 0;
        if (length <= 0) {
            acutPrintf("\nThe direction point lies on the last point; no leg was drawn.");
            continue;
        }
        point3d_rec next;
        if (straight)
            polar_point(bearing_deg(previous, current), length, current, next);
        else
            geo_perpendicular_at_vertex(previous, current, flat(direction), length, next);
        line_make(current, next, app.line_layer);
        previous = current;
        current = next;
    }
}
