// The radiation table of a route curve: the bearing and distance from a
// station point to every station of a curve polyline that the route-curve
// command drew, with their norths and easts. Settings "TCURVE_RAD".
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ads.h"
#include "adsdlg.h"
#include "angles.h"
#include "constants.h"
#include "dialog_conventions.h"
#include "geometry.h"
#include "layers.h"
#include "messages.h"
#include "numbers.h"
#include "polyline_read.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "route_curve_commands.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"
#include "xdata_read.h"

namespace {

constexpr const char* kApp = "TCURVE_RAD";
constexpr const char* kDefaultLayer = "Transition_curve_tbl";
constexpr const char* kDialogFile = "Transition_curve_rad_Dlg.dcl";
constexpr int kStatusPickStation = 2, kStatusPickTable = 3, kStatusPickRotation = 4, kStatusSelectCurve = 5;

struct rad_settings_rec {
    std::string layer = kDefaultLayer;
    double scale = 1000.0, text_height = 1.3, text_width = 1.0, rotation = 90.0;
    double table_x = 0, table_y = 0;
    std::string station_name = "1";
    int round_seconds = 0;
};

struct rad_state_rec {
    int loaded = 0;
    std::string path;
    rad_settings_rec settings;
};

rad_state_rec& state()
{
    static rad_state_rec s;
    return s;
}

// A curve polyline read back: its stations, their names and its IP's name.
struct curve_rec {
    std::vector<point3d_rec> points;
    std::vector<std::string> names;
    std::string ip_name;
};

std::string settings_text(const rad_settings_rec& r)
{
    std::string text =
        tcurve_table_fields_text(r.scale, r.rotation, r.text_height, r.text_width, r.table_x, r.table_y);
    comma_list_add(text, r.station_name);
    comma_list_add(text, r.round_seconds);
    return text;
}

void settings_parse(const std::string& text, rad_settings_rec& r)
{
    double* reals[] = {&r.scale, &r.rotation, &r.text_height, &r.text_width, &r.table_x, &r.table_y};
    for (int n = 1; n <= 6; ++n) {
        const std::string field = str_get_field(text, n, ",");
        if (str_is_number(field) == 4)
            *reals[n - 1] = std::atof(field.c_str());
        else
            acutPrintf(
                "\nField %d of the stored radiation table settings cannot be read; it keeps its value.", n);
    }
    const std::string name = str_get_field(text, 7, ",");
    if (!name.empty()) r.station_name = name;
    r.round_seconds = std::atoi(str_get_field(text, 8, ",").c_str()) != 0 ? 1 : 0;
    const rad_settings_rec defaults;
    if (!(r.scale > 0)) r.scale = defaults.scale;
    if (!(r.text_height > 0)) r.text_height = defaults.text_height;
    if (!(r.text_width > 0)) r.text_width = defaults.text_width;
}

// The settings of the drawing; on first use the sizes and rotation of the
// curve settings.
bool setup()
{
    rad_state_rec& s = state();
    dwg_path_track(s.loaded, s.path);
    if (s.loaded) return true;
    if (!tcurve_setup()) return false;
    settings_key_rec key;
    settings_key_make(key, kApp, kDefaultLayer);
    std::string layer;
    if (drawing_setting_get(key, layer) != RTNORM) {
        acedAlert("Fail Creating Layer :Orvik_Survey_temp");
        return false;
    }
    rad_settings_rec& r = s.settings;
    r = rad_settings_rec{};
    if (!layer.empty() && layer.find_first_of("*,") == std::string::npos) r.layer = layer;
    std::string text;
    if (drawing_setting_read(kApp, r.layer.c_str(), text) == 1) {
        settings_parse(text, r);
    } else {
        const tcurve_work_rec& w = tcwk();
        r.scale = w.scale;
        r.text_height = w.text_height;
        r.text_width = w.text_width;
        r.rotation = w.rotation;
    }
    s.loaded = 1;
    return true;
}

void save(const rad_settings_rec& r)
{
    tcurve_settings_save(kApp, r.layer, settings_text(r));
}

// The picked entity as a curve of the route-curve command: an LWPOLYLINE
// whose "TCURVE" data ("<vertices>,T1,<n>,T2,<n>,T3,<n>,T4,<IP name>") agrees
// with its vertices. False after "Not LWPOLYLINE" or "Invalid Curve".
bool read_curve(const ads_name entity, curve_rec& curve)
{
    if (!ent_is_type(entity, "LWPOLYLINE")) {
        acedAlert("Not LWPOLYLINE");
        acedRedraw(entity, 1);
        return false;
    }
    std::string data;
    curve_rec read;
    bool valid = ent_xdata_get_string(entity, "TCURVE", data) == 1;
    if (valid) {
        const size_t after_count = data.find(',');
        const size_t after_t4 = data.find(",T4,");
        valid = after_count != std::string::npos && after_t4 != std::string::npos && after_count < after_t4;
        if (valid) {
            const std::string count = data.substr(0, after_count);
            const std::string summary = data.substr(after_count + 1, after_t4 + 3 - after_count - 1);
            read.ip_name = data.substr(after_t4 + 4);
            valid = str_is_number(count) == 4 && count.find('.') == std::string::npos &&
                    tcurve_names_from_summary(summary, read.names) && lwpoly_read_vertices(entity, -1) == 1 &&
                    std::atol(count.c_str()) == static_cast<long>(lwpoly_vertices.vertices.size()) &&
                    read.names.size() == lwpoly_vertices.vertices.size();
        }
    }
    if (!valid) {
        acedAlert("Invalid Curve");
        acedRedraw(entity, 1);
        return false;
    }
    for (const numbered_point& v : lwpoly_vertices.vertices) read.points.push_back(v.point);
    curve = read;
    return true;
}

bool select_curve(curve_rec& curve)
{
    ads_name entity;
    ads_point picked;
    if (acedEntSel("\nSelect Lwpolyline Curve", entity, picked) != RTNORM) {
        acutPrintf("\nNothing selected.");
        return false;
    }
    return read_curve(entity, curve);
}

void draw_table(const rad_settings_rec& r, const curve_rec& curve, const point3d_rec& station)
{
    layer_ensure(r.layer.c_str());
    tcurve_text_rows out({r.table_x, r.table_y, 0}, r.rotation, r.text_height, r.text_width, r.scale,
                         r.layer);
    char line[512];
    std::snprintf(line, sizeof line, "CURVE IP : %s", curve.ip_name.c_str());
    out.left(0, line);
    out.next(2);
    std::snprintf(line, sizeof line, "STN : %s (U %.3f T %.3f)", r.station_name.c_str(), station.y,
                  station.x);
    out.left(0, line);
    out.next(2);
    const double u = out.u(), s = out.s();
    out.left(0, "NO");
    out.left(7 * u, "BERING");
    out.left(19 * u, "JARAK");
    out.left(34 * u, "UTARA");
    out.left(49 * u, "TIMUR");
    out.next(2);
    for (size_t i = 0; i < curve.points.size(); ++i) {
        const point3d_rec& p = curve.points[i];
        out.left(0, curve.names[i]);
        out.right(19 * u - 7 * s, angle_deg_to_dms_label(bearing_deg(station, p), r.round_seconds));
        out.right(34 * u - 10 * s, real_format(dist_2d(station, p), 3));
        out.right(49 * u - 8 * s, real_format(p.y, 3));
        out.right(64 * u - 8 * s, real_format(p.x, 3));
        out.next(2);
    }
}

}  // namespace

int tcurve_rad_command()
{
    if (!setup()) return 0;
    curve_rec curve;
    if (!select_curve(curve)) return 0;
    rad_settings_rec edit = state().settings;
    point3d_rec station;
    bool station_picked = false;
    const int decimals = sysvar_luprec();
    auto positive = [](double v) { return v > 0; };
    auto any = [](double v) { return std::isfinite(v); };
    const std::string kept = "The value is kept.";
    const std::string more = "The value must be more than 0.";
    auto no_comma = [](const std::string& name) {
        return !name.empty() && name.find(',') == std::string::npos;
    };
    dialog_def def{
        kDialogFile,
        "transition_curve_rad_dlg",
        {tile_layer("t_layer", edit.layer),
         tile_real_checked("t_scale", edit.scale, decimals, positive, more),
         tile_real_checked("t_txth", edit.text_height, decimals, positive, more),
         tile_real_checked("t_width", edit.text_width, decimals, positive, more),
         tile_real_checked("t_rot", edit.rotation, decimals, any, kept),
         tile_text_checked("t_stname", edit.station_name, no_comma,
                           "A station name must not be empty and cannot hold a comma."),
         tile_toggle("round_tg", edit.round_seconds),
         tile_real_checked("ts_x", edit.table_x, decimals, any, kept),
         tile_real_checked("ts_y", edit.table_y, decimals, any, kept), tile_action("t_ipname", nullptr),
         tile_button("pickstn_btn", kStatusPickStation), tile_button("picktbl_btn", kStatusPickTable),
         tile_button("pickrot_btn", kStatusPickRotation), tile_button("selobj_btn", kStatusSelectCurve),
         tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "t_ipname", curve.ip_name.c_str());
        ads_mode_tile(dialog, "t_ipname", MODE_DISABLE);
        char where[128] = "Station: not picked";
        if (station_picked)
            std::snprintf(where, sizeof where, "Station: N %.3f E %.3f", station.y, station.x);
        ads_set_tile(dialog, "stn_text", where);
        const bool table_given = edit.table_x != 0.0 || edit.table_y != 0.0;
        ads_mode_tile(dialog, "ok", station_picked && table_given ? MODE_ENABLE : MODE_DISABLE);
    };
    for (;;) {
        const int status = dialog_show(def);
        if (status == DLGOK) break;
        if (status == kStatusPickStation) {
            ads_point at;
            if (acedGetPoint(nullptr, "\nPick Stn point :", at) == RTNORM) {
                station = {at[X], at[Y], 0};
                station_picked = true;
            }
        } else if (status == kStatusPickTable) {
            ads_point at;
            if (acedGetPoint(nullptr, "\nPick Table Location :", at) == RTNORM) {
                edit.table_x = at[X];
                edit.table_y = at[Y];
            }
        } else if (status == kStatusPickRotation) {
            double bearing = 0;
            if (pick_two_points_bearing(nullptr, bearing)) edit.rotation = bearing;
        } else if (status == kStatusSelectCurve) {
            select_curve(curve);
        } else {
            return 0;
        }
    }
    state().settings = edit;
    save(edit);
    draw_table(edit, curve, station);
    return 1;
}
