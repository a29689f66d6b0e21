// The traverse command's dialogs.
#include "trav_plot.h"

#include <cstdio>

#include "ads.h"
#include "adsdlg.h"
#include "bgd_style.h"
#include "bgd_table.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "trav_engine.h"
#include "trav_settings.h"

int trav_setting_dlg()
{
    trav_settings_rec& settings = trav_settings();
    // The dialog works on copies, so that "cancel" leaves the settings alone.
    double text_height = settings.text_height;
    int trav_colour = settings.trav_colour;
    int rad_colour = settings.rad_colour;
    int level_prompt = settings.level_prompt ? 1 : 0;
    int code_prompt = settings.code_prompt ? 1 : 0;
    dialog_def def{"Trav_Setting_DlgNew.dcl",
                   "trav_setting_dlg",
                   {tile_size("t_txth", text_height, 3), tile_integer("t_travlightcolor", trav_colour),
                    tile_toggle("tg_promplevel", level_prompt), tile_toggle("tq_prompcode", code_prompt),
                    tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "t_radlightcolor", std::to_string(rad_colour).c_str());
        for (const char* key : {"rb_light", "rb_line", "tg_irad", "t_scale"})
            ads_mode_tile(dialog, key, MODE_DISABLE);
    };
    const int status = dialog_run(def, [](int) { return true; });
    if (status != DLGOK) return status;
    settings.text_height = text_height;
    settings.trav_colour = trav_colour;
    settings.level_prompt = level_prompt != 0;
    settings.code_prompt = code_prompt != 0;
    return status;
}

namespace {

trav_plot_values_rec plot_values;
trav_rad_plot_values_rec rad_plot_values;

constexpr int status_pick_table = 2;
constexpr int status_radiations = 4;

void tile_enable(ads_hdlg dialog, const char* key, bool on)
{
    ads_mode_tile(dialog, key, on ? MODE_ENABLE : MODE_DISABLE);
}

void tiles_show(ads_hdlg dialog, const dialog_def& def)
{
    for (const dialog_tile& tile : def.tiles) dialog_tile_show(dialog, tile);
}

// The traverse dialog's common action: every tile from the values, then the
// tiles that follow the label and table toggles.
void trav_plot_rules(ads_hdlg dialog, const dialog_def& def, trav_plot_values_rec& v)
{
    if (v.plot_bgd) v.eng_style = 0;
    tiles_show(dialog, def);
    const bool bgd = v.plot_bgd != 0;
    for (const char* key : {"t_LayerBgd", "t_Spacing", "t_Decimal", "tg_DistAsal", "tg_AutoSpace"})
        tile_enable(dialog, key, bgd);
    tile_enable(dialog, "t_AutoSpaceFactor", bgd && v.auto_space);
    for (const char* key :
         {"p_Table", "t_X", "t_Y", "t_LineNumber", "t_MaxShortDist", "tg_PlotCoord", "tg_EngStyle"})
        tile_enable(dialog, key, v.plot_table != 0);
}

void trav_rad_plot_rules(ads_hdlg dialog, const dialog_def& def, const trav_rad_plot_values_rec& v)
{
    tiles_show(dialog, def);
    for (const char* key : {"t_TextHeightRadBgd", "t_LayerRadBgd", "t_SpacingRad", "t_DecimalRad",
                            "tg_DistAsalRad", "tg_AutoSpaceRad"})
        tile_enable(dialog, key, v.plot_bgd != 0);
    tile_enable(dialog, "t_AutoSpaceFactorRad", v.plot_bgd && v.auto_space);
    tile_enable(dialog, "t_LayerRadLine", v.plot_line != 0);
    tile_enable(dialog, "t_LayerRadPoint", v.plot_point != 0);
    tile_enable(dialog, "t_LayerRadPntNum", v.plot_pnt_num != 0);
    tile_enable(dialog, "t_TextHeightRadPntNum", v.plot_pnt_num != 0);
    tile_enable(dialog, "t_LayerRadLevel", v.plot_level != 0);
    tile_enable(dialog, "t_TextHeightRadLevel", v.plot_level != 0);
}

// The x or y of the picked table position as the tile's text.
std::string table_coordinate_text(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    if (std::string(text).size() > 25) {
        acutPrintf("\nCoordinate to long...abort!!");
        return "0.000";
    }
    return text;
}

void pick_table_position(trav_plot_values_rec& v)
{
    ads_point picked;
    if (acedGetPoint(nullptr, "\nPick Table Position :", picked) != RTNORM) return;
    v.table_x = table_coordinate_text(picked[0]);
    v.table_y = table_coordinate_text(picked[1]);
}

double number_or_zero(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? 0.0 : value;
}

std::string real_text(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void station_text(int number, const point3d_rec& at, double height, const std::string& layer)
{
    text_make_on_layer(at, height, 1.0, 90.0, layer, std::to_string(number), 1);
}

// The from and to points of a route leg: the stations' adjusted points with
// the adjust flag, else the points the computation stored in the leg.
void leg_points(const trav_obs_rec& obs, int from_station, const trav_station_list& stations,
                const trav_station_index& station_index, bool adjust, point3d_rec& from, point3d_rec& to)
{
    from = obs.from_point;
    to = obs.to_point;
    if (!adjust) return;
    if (const int index = station_index.find(from_station); index >= 0) from = stations[index].point;
    if (const int index = station_index.find(obs.to); index >= 0) to = stations[index].point;
}

void install_plot_style(const trav_plot_values_rec& v)
{
    bgd_style_rec style;
    bgd_style_defaults(style);
    style.text_height = v.text_height_bgd;
    style.spacing = v.spacing;
    style.spread_factor = v.auto_space_factor;
    style.plot_scale = v.plot_scale;
    style.unit_factor_value = 1.0;
    style.decimals = v.decimals;
    style.tens_seconds = 0;
    style.spread_bearing = v.auto_space;
    style.table_on = v.plot_table;
    style.table_coords = v.plot_coord;
    style.eng_table = v.eng_style;
    style.placement_mode = 0;
    style.entmake_mode = 1;
    style.table_row = v.line_number;
    style.table_limit = v.max_short_dist;
    style.table_pos = point3d_rec{number_or_zero(v.table_x), number_or_zero(v.table_y), 0};
    bgd_style_copy_text(style.label_layer, v.layer_bgd);
    bgd_style_set_scaled(style);
}

// The main line of every route with at least two entries as one LWPOLYLINE,
// and its side legs as lines of their own: one LWPOLYLINE for each run of side
// legs that go on from one another (a spur of several legs is one line).
void plot_route_lines(const trav_obs_list& observations, const trav_station_list& stations,
                      const trav_route_list& routes, const trav_plot_values_rec& v)
{
    auto start_chain = [&] {
        lwpoly_chain() = lwpoly_chain_rec{};
        lwpoly_chain().layer = v.layer_trav_line;
    };
    const trav_station_index station_index(stations);
    const trav_obs_index obs_index(observations);
    for (const trav_route_rec& route : routes) {
        if (route.stations.size() < 2) continue;
        const std::vector<trav_route_leg_rec> legs = trav_route_legs(route, observations, obs_index);
        start_chain();
        point3d_rec first;
        if (const int index = station_index.find(route.stations.front()); index >= 0)
            first = stations[index].point;
        lwpoly_make(first, 1);
        for (const trav_route_leg_rec& leg : legs) {
            if (leg.obs < 0 || leg.side) continue;
            point3d_rec from, to;
            leg_points(observations[leg.obs], leg.from_station, stations, station_index, v.adjust != 0, from,
                       to);
            lwpoly_make(to, 1);
        }
        lwpoly_make(first, 2);

        size_t chain_end = 0;  // the route entry the open side chain ends at; 0: none open
        for (size_t k = 1; k < legs.size(); ++k) {
            const trav_route_leg_rec& leg = legs[k];
            if (leg.obs < 0 || !leg.side) continue;
            point3d_rec from, to;
            leg_points(observations[leg.obs], leg.from_station, stations, station_index, v.adjust != 0, from,
                       to);
            if (chain_end == 0 || leg.from_entry != chain_end) {
                if (chain_end != 0) lwpoly_make(from, 2);
                start_chain();
                lwpoly_make(from, 1);
            }
            lwpoly_make(to, 1);
            chain_end = k;
        }
        if (chain_end != 0) lwpoly_make(first, 2);
    }
}

void plot_route_labels(const trav_obs_list& observations, const trav_station_list& stations,
                       const trav_route_list& routes, const trav_plot_values_rec& v)
{
    const double stn_height = v.text_height_stn * v.plot_scale * 0.001;
    const trav_station_index station_index(stations);
    const trav_obs_index obs_index(observations);
    for (const trav_route_rec& route : routes) {
        int counter = 1;
        for (const trav_route_leg_rec& leg : trav_route_legs(route, observations, obs_index)) {
            if (leg.obs < 0) continue;
            const int from_station = leg.from_station;
            const trav_obs_rec& obs = observations[leg.obs];
            point3d_rec from, to;
            leg_points(obs, from_station, stations, station_index, v.adjust != 0, from, to);
            const std::string bearing = real_text(obs.bearing, 4);
            const double distance = trav_obs_distance_m(obs);
            const std::string distance_text = real_text(distance, v.decimals);
            if (v.plot_bgd) bgd_label_leg_text(from, to, bearing, distance, distance_text);
            if (v.plot_stn_number) {
                station_text(obs.to, to, stn_height, v.layer_stn);
                if (counter == 1) station_text(from_station, from, stn_height, v.layer_stn);
            }
            if (v.plot_coord && v.eng_style)
                bgd_table_eng_style(from, to, bearing, distance_text, std::to_string(from_station),
                                    std::to_string(obs.to), counter == 1 ? 0 : 1);
            ++counter;
        }
    }
}

void plot_radiations(const trav_obs_list& radiations, const trav_plot_values_rec& v,
                     const trav_rad_plot_values_rec& r)
{
    const double factor = v.plot_scale * 0.001;
    for (const trav_obs_rec& rad : radiations) {
        if (rad.from == rad.to) continue;
        if (r.plot_line) line_make(rad.from_point, rad.to_point, r.layer_line);
        if (r.plot_point) point_make(rad.to_point, r.layer_point);
        if (r.plot_pnt_num)
            station_text(rad.to, rad.to_point, r.text_height_pnt_num * factor, r.layer_pnt_num);
        if (r.plot_level)
            text_make_on_layer(rad.to_point, r.text_height_level * factor, 1.0, 90.0, r.layer_level,
                               real_text(rad.level, r.decimals), 1);
        if (r.plot_bgd) {
            const double distance = trav_obs_distance_m(rad);
            bgd_label_leg_text(rad.from_point, rad.to_point, real_text(rad.bearing, 4), distance,
                               real_text(distance, v.decimals));
        }
    }
}

}  // namespace

trav_plot_values_rec& trav_plot_values()
{
    return plot_values;
}

trav_rad_plot_values_rec& trav_rad_plot_values()
{
    return rad_plot_values;
}

void trav_plot_values_defaults()
{
    plot_values = trav_plot_values_rec{};
    rad_plot_values = trav_rad_plot_values_rec{};
}

int trav_rad_plot_dlg()
{
    trav_rad_plot_values_rec v = rad_plot_values;
    dialog_def def{
        "TravRad_Dlg_new.dcl",
        "travrad_save_dlg",
        {tile_layer("t_LayerRadBgd", v.layer_bgd), tile_layer("t_LayerRadLevel", v.layer_level),
         tile_layer("t_LayerRadLine", v.layer_line), tile_layer("t_LayerRadPntNum", v.layer_pnt_num),
         tile_layer("t_LayerRadPoint", v.layer_point), tile_size("t_TextHeightRadBgd", v.text_height_bgd, 3),
         tile_size("t_TextHeightRadLevel", v.text_height_level, 3),
         tile_size("t_TextHeightRadPntNum", v.text_height_pnt_num, 3),
         tile_real("t_SpacingRad", v.spacing, 3), tile_real("t_AutoSpaceFactorRad", v.auto_space_factor, 3),
         tile_decimals("t_DecimalRad", v.decimals), tile_button("yes", DLGOK),
         tile_button("cancel", DLGCANCEL)}};
    const struct {
        const char* key;
        int* value;
    } toggles[] = {{"tg_PlotRadBgd", &v.plot_bgd},          {"tg_PlotRadLevel", &v.plot_level},
                   {"tg_PlotRadLine", &v.plot_line},        {"tg_PlotRadPoint", &v.plot_point},
                   {"tg_PlotRadPntNum", &v.plot_pnt_num},   {"tg_PlotRadTreeD", &v.plot_3d},
                   {"tg_DistAsalRad", &v.dist_as_measured}, {"tg_AutoSpaceRad", &v.auto_space}};
    for (const auto& toggle : toggles)
        def.tiles.push_back(tile_toggle(toggle.key, *toggle.value) + [&](ads_callback_packet* packet) {
            trav_rad_plot_rules(packet->dialog, def, v);
        });
    def.on_open = [&](ads_hdlg dialog) { trav_rad_plot_rules(dialog, def, v); };
    const int status = dialog_run(def, [](int) { return true; });
    if (status == DLGOK) rad_plot_values = v;
    return status;
}

int trav_plot_dlg(const trav_route_list& routes)
{
    // The dialog works on a copy, kept over the table pick and the radiation
    // dialog, so that "cancel" leaves the plot values alone.
    trav_plot_values_rec v = plot_values;
    dialog_def def{
        "Trav_Dlg_new.dcl",
        "trav_save_dlg",
        {tile_layer("t_LayerBgd", v.layer_bgd), tile_layer("t_LayerStn", v.layer_stn),
         tile_size("t_PlotScale", v.plot_scale, 3), tile_size("t_TextHeightBgd", v.text_height_bgd, 3),
         tile_size("t_TextHeightStn", v.text_height_stn, 3), tile_real("t_Spacing", v.spacing, 3),
         tile_real("t_AutoSpaceFactor", v.auto_space_factor, 3), tile_decimals("t_Decimal", v.decimals),
         tile_integer("t_LineNumber", v.line_number), tile_integer("t_MaxShortDist", v.max_short_dist),
         tile_number_text("t_X", v.table_x, 3), tile_number_text("t_Y", v.table_y, 3),
         tile_button("p_Table", status_pick_table), tile_button("yes", DLGOK),
         tile_button("cancel", DLGCANCEL)}};
    // The traverse-line layer: shorter than 60 characters; with automatic
    // layer names the station and label layers follow it.
    def.tiles.push_back(tile_layer("t_LayerTravLine", v.layer_trav_line, 59) +
                        [&](ads_callback_packet* packet) {
                            if (!v.auto_layer) return;
                            v.layer_stn = v.layer_trav_line + "-stn";
                            v.layer_bgd = v.layer_trav_line + "-bgd";
                            ads_set_tile(packet->dialog, "t_LayerStn", v.layer_stn.c_str());
                            ads_set_tile(packet->dialog, "t_LayerBgd", v.layer_bgd.c_str());
                        });
    const struct {
        const char* key;
        int* value;
    } toggles[] = {{"tg_PlotTravLine", &v.plot_trav_line},
                   {"tg_PlotRad", &v.plot_rad},
                   {"tg_PlotBgd", &v.plot_bgd},
                   {"tg_PlotStnNumber", &v.plot_stn_number},
                   {"tg_autoLayer", &v.auto_layer},
                   {"tg_PlotTable", &v.plot_table},
                   {"tg_PlotCoord", &v.plot_coord},
                   {"tg_EngStyle", &v.eng_style},
                   {"tg_PlotTreeD", &v.plot_3d},
                   {"tg_DistAsal", &v.dist_as_measured},
                   {"tg_AutoSpace", &v.auto_space},
                   {"tg_Adjust", &v.adjust}};
    for (const auto& toggle : toggles)
        def.tiles.push_back(tile_toggle(toggle.key, *toggle.value) +
                            [&](ads_callback_packet* packet) { trav_plot_rules(packet->dialog, def, v); });
    def.on_open = [&](ads_hdlg dialog) {
        ads_start_list(dialog, "xtikai", LIST_NEW, 0);
        for (const trav_route_rec& route : routes) {
            if (route.stations.size() < 2) continue;
            char ratio[32];
            std::snprintf(ratio, sizeof ratio, "%.0f", static_cast<double>(route_accuracy_ratio(route)));
            ads_add_list(ratio);
        }
        ads_end_list();
        trav_plot_rules(dialog, def, v);
    };
    const int status = dialog_run(def, [&](int picked) {
        if (picked == status_pick_table) pick_table_position(v);
        if (picked == status_radiations) trav_rad_plot_dlg();
        return true;
    });
    if (status != DLGOK) return 0;
    plot_values = v;
    return 1;
}

void trav_plot_to_dwg(trav_obs_list& observations, trav_obs_list& radiations, trav_station_list& stations,
                      trav_route_list& routes)
{
    if (trav_plot_dlg(routes) != 1) return;
    const trav_plot_values_rec& v = plot_values;
    install_plot_style(v);
    trav_settings().adjust = v.adjust != 0;
    acutPrintf(v.adjust ? "\n*************ADJUSTED****************"
                        : "\n*****************NOT ADJUST*******************");
    trav_solve(observations, radiations, stations, routes);
    if (v.plot_trav_line) plot_route_lines(observations, stations, routes, v);
    acutPrintf(v.dist_as_measured ? "\n********True*******" : "\n********FALSE*************");
    plot_route_labels(observations, stations, routes, v);
    if (v.plot_rad) plot_radiations(radiations, v, rad_plot_values);
}
