// b_rad_print_listing: the dialog that gathers the station, the table
// position and the numbered points; the listing table; the ASCII file; and
// the temporary radiation lines for a look before the table is drawn.
#include "rad_listing_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "ads.h"
#include "angles.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "layers.h"
#include "messages.h"
#include "numbers.h"
#include "prompts.h"
#include "rad_points.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"
#include "text_lines.h"
#include "winplat.h"
#include "xdata_read.h"

namespace {

constexpr const char* kApp = "RAD_TBL";
constexpr const char* kSettingsLayer = "Orvik_survey_temp";
constexpr int kStoredFields = 11;

struct rad_tbl_state_rec {
    int set = 0;
    std::string dwg_path;
};

rad_tbl_state_rec& state()
{
    static rad_tbl_state_rec s;
    return s;
}

void rad_tbl_setup()
{
    rad_tbl_state_rec& s = state();
    dwg_path_track(s.set, s.dwg_path);
    if (s.set) return;
    settings_key_rec key;
    settings_key_make(key, rad_listing_app, rad_listing_app);
    regapp_register(key.app);
    settings_key_make(key, kApp, kApp);
    rad_tbl_cfg() = rad_tbl_cfg_rec{};
    std::string stored;
    if (drawing_setting_find(key, stored) == 1) rad_tbl_cfg_parse(stored, rad_tbl_cfg());
    s.set = 1;
}

int rad_tbl_save()
{
    acdbRegApp(kApp);
    const std::string text = rad_tbl_cfg_text(rad_tbl_cfg());
    if (layer_xdata_put(kSettingsLayer, kApp, text.c_str(), layer_flags_get(kSettingsLayer) >= 0 ? 1 : 0) !=
        RTNORM) {
        acutPrintf("\nFailed save cfg to layer %s", kSettingsLayer);
        return RTERROR;
    }
    return RTNORM;
}

// The numbered POINTs of a selection; an empty list when nothing was selected
// or a number came twice (after the alert naming it).
std::vector<rad_tbl_point> collect_points()
{
    std::vector<rad_tbl_point> points;
    ads_name ss;
    long length = 0;
    if (!ss_select_type("POINT", ss, length)) return points;
    std::set<int> seen;
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM) continue;
        xdata_read_rec& read = xdata_read_state();
        read.want_int32 = true;
        xdata_read_requested(entity, rad_listing_app);
        if (!read.found_int32) continue;
        const int number = read.int32;
        if (!seen.insert(number).second) {
            msg_alert_int("Point Duplicated no.", number);
            points.clear();
            break;
        }
        resbuf* groups = acdbEntGet(entity);
        point3d_rec at;
        if (groups && rb_get_point(groups, 10, at, 0)) points.push_back({number, at.x, at.y});
        if (groups) acutRelRb(groups);
    }
    acedSSFree(ss);
    return points;
}

void draw_radiation_lines(const point3d_rec& station, const std::vector<rad_tbl_point>& points, int colour)
{
    ads_point from;
    point_to_ads(station, from);
    for (const rad_tbl_point& p : points) {
        ads_point to = {p.x, p.y, 0};
        acedGrDraw(from, to, colour, 0);
    }
}

// Temporary vectors from the station to every point, redrawn or recoloured
// until eXit.
void view_radiation_lines(const point3d_rec& station, const std::vector<rad_tbl_point>& points)
{
    if (points.empty()) {
        acedAlert("Select object.");
        return;
    }
    int colour = 5;
    draw_radiation_lines(station, points, colour);
    for (;;) {
        acedInitGet(0, "X R C");
        char answer[512] = {0};
        if (acedGetKword("\ne<X>it <R>edraw <C>olor View Radline :", answer) != RTNORM) return;
        const std::string word = str_upper_copy(answer);
        if (word == "X") return;
        if (word == "C") {
            const int chosen = prompt_int_default("\nLine Color :", colour);
            if (chosen >= 1 && chosen <= 255)
                colour = chosen;
            else
                acutPrintf("\nA colour is 1 to 255; the lines keep colour %d.", colour);
        } else if (word == "R") {
            acedRedraw(nullptr, 1);
            draw_radiation_lines(station, points, colour);
        }
    }
}

// The point at a distance from the line's start along the table's rotation.
point3d_rec along(const point3d_rec& start, double distance)
{
    point3d_rec out;
    polar_point(rad_tbl_cfg().rotation, distance, start, out);
    return out;
}

std::string format3(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    return buffer;
}

// The listing goes through the replacing step, so that a listing kept from an
// earlier run stays whole when this one cannot be written (a full disk).
bool write_file(const std::string& path, const std::vector<rad_tbl_point>& points, int decimals)
{
    if (path.empty()) {
        acutPrintf("\nNo file name was given: no file written; the table is drawn.");
        return false;
    }
    std::string text;
    for (const rad_tbl_point& p : points) text += rad_tbl_file_line(p, decimals) + "\n";
    std::string why;
    if (text_file_replace(path, text, &why)) return true;
    acutPrintf(
        "\nThe file \"%s\" could not be written (%s): no file written, a former one is as it was; the "
        "table is drawn.",
        path.c_str(), why.c_str());
    return false;
}

// What the dialog gathers in one run.
struct rad_tbl_dialog {
    rad_tbl_cfg_rec edit;
    rad_tbl_run run;
    bool station_given = false;
    bool table_given = false;
    int create_file = 0;
    std::string file;
};

void dialog_modes(ads_hdlg dialog, const rad_tbl_dialog& d)
{
    auto mode = [&](const char* key, bool on) {
        ads_mode_tile(dialog, key, on ? MODE_ENABLE : MODE_DISABLE);
    };
    // Without a header the table goes on below the last one, so the position
    // is not picked again; but with none stored yet it must be picked.
    mode("picktbl_btn", !d.edit.no_header || !d.table_given);
    mode("view_obj_btn", !d.run.points.empty());
    mode("file_btn", d.create_file != 0);
    mode("file_text", d.create_file != 0);
    mode("ok", d.station_given && d.table_given && !d.run.points.empty());
}

void dialog_texts(ads_hdlg dialog, const rad_tbl_dialog& d)
{
    char buffer[128];
    if (d.station_given)
        std::snprintf(buffer, sizeof buffer, "%.3f,%.3f", d.run.station.x, d.run.station.y);
    else
        std::snprintf(buffer, sizeof buffer, "0.00,0.000");
    ads_set_tile(dialog, "stnxy_text", buffer);
    std::snprintf(buffer, sizeof buffer, "[%.3f,%.3f]", d.edit.table_x, d.edit.table_y);
    ads_set_tile(dialog, "tablexy_text", buffer);
    if (d.run.points.empty())
        ads_set_tile(dialog, "selobj_text", "0 object selected.");
    else {
        std::snprintf(buffer, sizeof buffer, "%d object selected", static_cast<int>(d.run.points.size()));
        ads_set_tile(dialog, "selobj_text", buffer);
    }
}

// The picks that end the dialog with a status; true to show it again.
bool dialog_pick(int status, rad_tbl_dialog& d)
{
    ads_point got;
    switch (status) {
        case 2: {
            double bearing = 0;
            if (pick_two_points_bearing(nullptr, bearing)) d.edit.rotation = bearing;
            break;
        }
        case 3:
            if (acedGetPoint(nullptr, "\nPick STN:", got) == RTNORM) {
                d.run.station = point3d_rec{got[0], got[1], 0};
                d.station_given = true;
            }
            break;
        case 4:
            if (acedGetPoint(nullptr, "\nPick Table Location:", got) == RTNORM) {
                d.edit.table_x = got[0];
                d.edit.table_y = got[1];
                d.table_given = true;
            }
            break;
        case 5:
            d.run.points = collect_points();
            break;
        case 6:
            view_radiation_lines(d.run.station, d.run.points);
            break;
        case 7: {
            ads_name text;
            point3d_rec picked;
            if (ent_select_type("\nSelect STN No", "TEXT", text, picked) != 1) break;
            resbuf* groups = acdbEntGet(text);
            const std::string string = groups && rb_get_str(groups, 1) ? rb_get_str(groups, 1) : "";
            if (groups) acutRelRb(groups);
            if (str_is_number(string) == 4 && string.find('.') == std::string::npos && string.size() < 10)
                d.edit.station_number = std::atoi(string.c_str());
            else
                acutPrintf("\n\"%s\" is no station number.", string.c_str());
            break;
        }
        default:
            break;
    }
    return true;
}

void draw_listing(rad_tbl_dialog& d)
{
    rad_tbl_cfg() = d.edit;
    std::vector<rad_tbl_point>& points = d.run.points;
    std::stable_sort(points.begin(), points.end(),
                     [](const rad_tbl_point& a, const rad_tbl_point& b) { return a.number < b.number; });
    rad_station_listing(0, 0, d.run);
    if (!rad_tbl_cfg().no_header) rad_station_listing(1, 0, d.run);
    for (size_t i = 0; i < points.size(); ++i) rad_station_listing(2, i, d.run);
    if (d.create_file) write_file(d.file, points, rad_tbl_cfg().file_decimals);
    rad_tbl_save();
}

}  // namespace

rad_tbl_cfg_rec& rad_tbl_cfg()
{
    static rad_tbl_cfg_rec cfg;
    return cfg;
}

std::string rad_tbl_cfg_text(const rad_tbl_cfg_rec& cfg)
{
    std::string text;
    comma_list_add(text, cfg.layer);
    comma_list_add(text, cfg.scale, 3);
    comma_list_add(text, cfg.text_height, 3);
    comma_list_add(text, cfg.width_factor, 3);
    comma_list_add(text, cfg.rotation, 6);
    comma_list_add(text, cfg.station_number);
    comma_list_add(text, cfg.round_ten);
    comma_list_add(text, cfg.file_decimals);
    comma_list_add(text, cfg.no_header);
    comma_list_add(text, cfg.table_x, 3);
    comma_list_add(text, cfg.table_y, 3);
    return text;
}

bool rad_tbl_cfg_parse(const std::string& text, rad_tbl_cfg_rec& cfg)
{
    if (std::count(text.begin(), text.end(), ',') < kStoredFields) return false;
    auto field = [&](int n) { return str_get_field(text, n, ","); };
    auto real = [&](int n) { return std::atof(field(n).c_str()); };
    auto integer = [&](int n) { return std::atoi(field(n).c_str()); };
    cfg.layer = field(1);
    cfg.scale = real(2);
    cfg.text_height = real(3);
    cfg.width_factor = real(4);
    cfg.rotation = real(5);
    cfg.station_number = integer(6);
    cfg.round_ten = integer(7);
    cfg.file_decimals = integer(8);
    cfg.no_header = integer(9);
    cfg.table_x = real(10);
    cfg.table_y = real(11);
    return true;
}

std::string rad_tbl_file_line(const rad_tbl_point& point, int decimals)
{
    std::string x, y;
    real_format_into(point.x, decimals, x);
    real_format_into(point.y, decimals, y);
    return std::to_string(point.number) + "," + x + "," + y + ",0.000";
}

void rad_station_listing(int mode, size_t index, const rad_tbl_run& run)
{
    rad_tbl_cfg_rec& cfg = rad_tbl_cfg();
    const double s = cfg.scale * 0.001;
    const double th = s * cfg.text_height, tw = th * cfg.width_factor;
    const double c1 = 7 * tw, c2 = 12 * tw, c3 = 15 * tw, c4 = 15 * tw, c5 = 15 * tw;
    const point3d_rec start{cfg.table_x, cfg.table_y, 0};
    auto left = [&](double at, const std::string& text) {
        text_make_on_layer(along(start, at), th, cfg.width_factor, cfg.rotation, cfg.layer, text, 1);
    };
    auto right = [&](double at, const std::string& text) {
        text_make(along(start, at), th, cfg.width_factor, cfg.rotation, cfg.layer, text);
    };
    if (mode == 0) {
        char title[160];
        std::snprintf(title, sizeof title, "STN : %i (U %.3f T %.3f)", cfg.station_number, run.station.y,
                      run.station.x);
        left(0, title);
    } else if (mode == 1) {
        left(0, "NO");
        left(c1, "BERING");
        left(c1 + c2, "JARAK");
        left(c1 + c2 + c3, "UTARA");
        left(c1 + c2 + c3 + c4, "TIMUR");
    } else {
        const rad_tbl_point& p = run.points[index];
        const point3d_rec at{p.x, p.y, 0};
        left(0, std::to_string(p.number));
        right(c1 + (c2 - 7 * s), angle_deg_to_dms_label(bearing_deg(run.station, at), cfg.round_ten));
        right(c1 + c2 + (c3 - 10 * s), format3(dist_2d(run.station, at)));
        right(c1 + c2 + c3 + (c4 - 8 * s), format3(p.y));
        right(c1 + c2 + c3 + c4 + (c5 - 8 * s), format3(p.x));
    }
    point3d_rec next;
    polar_point(angle_add(cfg.rotation, 90.0), 2 * th, start, next);
    cfg.table_x = next.x;
    cfg.table_y = next.y;
}

int b_rad_print_listing()
{
    rad_tbl_setup();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);
    rad_tbl_dialog d;
    d.edit = rad_tbl_cfg();
    d.table_given = d.edit.table_x != 0 || d.edit.table_y != 0;
    auto modes = [&](ads_callback_packet* packet) { dialog_modes(packet->dialog, d); };
    dialog_def def;
    def.file = "Rad_Listing_Make_Table_Dlg.dcl";
    def.name = "rad_listing_make_table_dlg";
    def.tiles = {
        tile_layer("tablelayer_text", d.edit.layer, 255),
        tile_real_positive("scaleplot_text", d.edit.scale, luprec),
        tile_real_positive("txtheight_text", d.edit.text_height, luprec),
        tile_real_positive("txtwidth_text", d.edit.width_factor, luprec),
        tile_real("txtrot_text", d.edit.rotation, luprec),
        tile_integer("stn_text", d.edit.station_number),
        tile_toggle("round_ten_second_tg", d.edit.round_ten),
        tile_integer_within("txtDecimalText", d.edit.file_decimals, 0, 16, "The decimals must be 0 to 16."),
        tile_toggle("no_header_tg", d.edit.no_header) + modes,
        tile_toggle("createfile_tg", d.create_file) + modes,
        tile_text("file_text", d.file),
        tile_action("file_btn",
                    [&](ads_callback_packet* packet) {
                        std::string path;
                        if (!file_dialog_dwgprefix("Ascii File", "", "txt", 1, path)) return;
                        d.file = path;
                        ads_set_tile(packet->dialog, "file_text", path.c_str());
                    }),
        tile_button("rotation_btn", 2),
        tile_button("stn_btn", 3),
        tile_button("picktbl_btn", 4),
        tile_button("select_obj_btn", 5),
        tile_button("view_obj_btn", 6),
        tile_button("stnno_btn", 7),
        tile_help("text_author", "/survey_menu.htm"),
        tile_button("ok", DLGOK),
        tile_button("cancel", DLGCANCEL)};
    def.on_open = [&](ads_hdlg dialog) {
        dialog_texts(dialog, d);
        dialog_modes(dialog, d);
    };
    const int status = dialog_run(def, [&](int pick) { return dialog_pick(pick, d); });
    if (status == DLGOK) draw_listing(d);
    return 0;
}
