// The route-curve command: its settings in the drawing ("TCURVE"), the dialog
// transition_curve_dlg with its picks, samples and calculation, the first
// chords asked on the command line, and the drawing of the curve.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ads.h"
#include "adsdlg.h"
#include "angles.h"
#include "constants.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "layers.h"
#include "messages.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "route_curve_commands.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "TCURVE";
constexpr const char* kDefaultLayer = "Transition_curve";
constexpr const char* kDialogFile = "Transition_curve_Dlg.dcl";
constexpr int kFields = 18;
constexpr int kStatusPickIp = 2, kStatusPickTable = 3, kStatusPickRotation = 4, kStatusCalculate = 5,
              kStatusView = 6, kStatusSample = 7;

struct tcurve_state_rec {
    int loaded = 0;
    std::string path;
};

tcurve_state_rec& state()
{
    static tcurve_state_rec s;
    return s;
}

// Reads the settings on the first use in a drawing: the curve layer's name
// from the settings layer, and the comma list that layer carries.
bool setup_settings()
{
    tcurve_state_rec& s = state();
    dwg_path_track(s.loaded, s.path);
    if (s.loaded) return true;
    settings_key_rec key;
    settings_key_make(key, kApp, kDefaultLayer);
    std::string layer;
    if (drawing_setting_get(key, layer) != RTNORM) {
        acedAlert("Fail Creating Layer :Orvik_Survey_temp");
        return false;
    }
    tcurve_work_rec& w = tcwk();
    w = tcurve_work_rec{};
    if (!layer.empty() && layer.find_first_of("*,") == std::string::npos)
        w.layer = layer;
    else
        acutPrintf("\nThe stored curve layer \"%s\" is no layer name; \"%s\" is used.", layer.c_str(),
                   kDefaultLayer);
    std::string text;
    if (drawing_setting_read(kApp, w.layer.c_str(), text) == 1) {
        std::vector<int> bad;
        tcurve_settings_parse(text, w, bad);
        for (int field : bad)
            acutPrintf("\nField %d of the stored curve settings cannot be read; it keeps its default.",
                       field);
    }
    s.loaded = 1;
    return true;
}

void tcurve_save(const tcurve_work_rec& w)
{
    tcurve_settings_save(kApp, w.layer, tcurve_settings_text(w));
}

// ---- first chords asked on the command line --------------------------------

void chord_header(int part, bool again, double start, double interval, double current)
{
    const char* format = part == 1   ? "\nFirst Transition Curve T1 CH : %.3f Sela %.3f Current CH: %.3f\n"
                         : part == 2 ? "\nCircular Transition Curve T2 CH : %.3f Sela %.3f Current CH: %.3f\n"
                         : again ? "\n2nd Trans. Curve (REVERSE CH) T4 CH : %.3f Sela %.3f Current CH: %.3f\n"
                                 : "\nSecond Transition Curve T4 CH : %.3f Sela %.3f Current CH: %.3f\n";
    acutPrintf(format, start, interval, current);
}

// "C": a chainage within the part gives the chord to it; "X" goes back.
double ask_chainage(double start, double chord, bool backwards, double length)
{
    for (;;) {
        const double current = backwards ? start - chord : start + chord;
        std::string out;
        const int answer = prompt_real_spec("0,X,Enter  <Chainage >", current, 3, out);
        if (answer != 1) return chord;
        const double chainage = std::atof(out.c_str());
        const double to = backwards ? start - chainage : chainage - start;
        if (to > 0 && to < length) return to;
        const double low = backwards ? start - length : start;
        const double high = backwards ? start : start + length;
        acutPrintf("\nThe chainage must lie between %.3f and %.3f.", low, high);
    }
}

double ask_first_chord(int part, double start, double interval, double chord, bool backwards, double length)
{
    for (bool again = false;; again = true) {
        chord_header(part, again, start, interval, backwards ? start - chord : start + chord);
        std::string out;
        const int answer = prompt_real_spec("0,A C,<A>ccept Enter  <C>hainage <Chord>", chord, 3, out);
        if (answer == 2) {
            if (out == "A") return chord;
            chord = ask_chainage(start, chord, backwards, length);
            continue;
        }
        if (answer != 1) return chord;
        const double typed = std::atof(out.c_str());
        // Enter gives the chord as shown: it is taken.
        if (std::fabs(typed - real_round(chord, 3)) < 1e-9) return chord;
        // Each refusal ends its line, so that the chord asked again stands on its own.
        if (!(typed > 0))
            say_refused_value("A chord must be more than 0.");
        else if (!(typed < length))
            say_refused_value("A chord must be shorter than the part, " + rtos_decimal(length, 3) + ".");
        else
            chord = typed;
    }
}

// ---- the dialog --------------------------------------------------------------

// One run of the dialog: the values edited (taken on OK) and what was done.
struct tcurve_dialog_rec {
    tcurve_work_rec edit;
    std::string previous_ip_name;
    bool ip_picked = false;
    bool table_picked = false;
    bool calculated = false;
    int sample = 0;
    bool from_sample = false;
    point3d_rec zoom1, zoom2;
};

void show_deflection(ads_hdlg dialog, const tcurve_dialog_rec& d)
{
    ads_set_tile(dialog, "t_defang", ("def.Angle :" + angle_deg_to_dms_text(d.edit.D, 0)).c_str());
}

void set_modes(ads_hdlg dialog, const tcurve_dialog_rec& d)
{
    auto mode = [&](const char* key, bool on) {
        ads_mode_tile(dialog, key, on ? MODE_ENABLE : MODE_DISABLE);
    };
    mode("ok", d.calculated);
    mode("cal_curve_btn", d.ip_picked);
    mode("view_btn", d.ip_picked);
    mode("t_length_of_trans_curve2", d.edit.two_transitions != 0);
    mode("t_defang", false);
}

bool intervals_given(const tcurve_work_rec& w)
{
    if (w.interval_c > 0 && w.interval_t > 0) return true;
    acedAlert("Forgot Interval");
    return false;
}

// The elements and key points of the values in the dialog; an alert says
// what is wrong with them.
bool calculate(tcurve_dialog_rec& d)
{
    tcurve_work_rec w = d.edit;
    const std::string why = tcurve_elements(w);
    if (!why.empty()) {
        acedAlert(why.c_str());
        d.calculated = false;
        return false;
    }
    acutPrintf("\ntcwk.lc %f tcwk.ch_T3 %f", w.lc, w.ch_T2 + w.lc);
    acutPrintf("\ntita %s", angle_deg_to_dms_text(w.theta, 0).c_str());
    acutPrintf("\nCH T1<%.3f> T2 <%.3f> T3 <%.3f> T4 <%.3f>", w.ch_T1, w.ch_T2, w.ch_T3, w.ch_T4);
    d.edit = w;
    d.calculated = true;
    return true;
}

void pick_ip(tcurve_dialog_rec& d)
{
    ads_point ip, incoming, outgoing;
    if (acedGetPoint(nullptr, "\nPick Intersection IP:", ip) != RTNORM) return;
    if (acedGetPoint(ip, "\nPick Incoming IP:", incoming) != RTNORM) return;
    if (acedGetPoint(ip, "\nPick Outgoing IP:", outgoing) != RTNORM) return;
    const point3d_rec at = point_from_ads(ip), in = point_from_ads(incoming), out = point_from_ads(outgoing);
    if (dist_2d(at, in) < 1e-9 || dist_2d(at, out) < 1e-9) {
        acutPrintf("\nThe incoming and outgoing points must lie away from the IP; the picks are not taken.");
        return;
    }
    d.edit.IP = {at.x, at.y, 0};
    d.edit.bearing_in = bearing_deg(at, in);
    d.edit.bearing_out = bearing_deg(at, out);
    d.edit.D = tcurve_deflection_of(d.edit.bearing_in, d.edit.bearing_out);
    d.ip_picked = true;
    d.calculated = false;
}

void pick_table(tcurve_dialog_rec& d)
{
    ads_point at;
    if (acedGetPoint(nullptr, "\nPick Table Location :", at) != RTNORM) return;
    d.edit.table_x = at[X];
    d.edit.table_y = at[Y];
    d.table_picked = true;
}

void pick_rotation(tcurve_dialog_rec& d)
{
    double bearing = 0;
    if (pick_two_points_bearing(nullptr, bearing)) d.edit.rotation = bearing;
}

// OK: the table needs a position of its own.
void accept(ads_callback_packet* packet, tcurve_dialog_rec& d)
{
    if (d.edit.table_x == 0.0 && d.edit.table_y == 0.0) {
        acedAlert("\nForgot pick table");
        return;
    }
    acutPrintf("\nt_ipname %s prev_t_ipname %s table_picked %i", d.edit.ip_name.c_str(),
               d.previous_ip_name.c_str(), d.table_picked ? 1 : 0);
    if (d.edit.ip_name != d.previous_ip_name && !d.table_picked) {
        acedAlert("Table Location = prev IP \nPick ather Location");
        return;
    }
    ads_done_dialog(packet->dialog, DLGOK);
}

// The tile with a further action after its own.
dialog_tile and_then(dialog_tile tile, std::function<void(ads_callback_packet*)> more)
{
    tile.then = [first = tile.then, more](ads_callback_packet* packet) {
        if (first) first(packet);
        more(packet);
    };
    return tile;
}

dialog_def build_dialog(tcurve_dialog_rec& d)
{
    tcurve_work_rec& e = d.edit;
    const int decimals = sysvar_luprec();
    auto positive = [](double v) { return v > 0; };
    auto not_negative = [](double v) { return v >= 0; };
    auto any = [](double v) { return std::isfinite(v); };
    const std::string kept = "The value is kept.";
    const std::string more = "The value must be more than 0.";
    const std::string not_less = "The value cannot be less than 0.";
    auto transition2_follows = [&d](ads_callback_packet* packet) {
        if (!d.edit.two_transitions) {
            d.edit.L2 = d.edit.L1;
            ads_set_tile(packet->dialog, "t_length_of_trans_curve2",
                         dialog_real_text(d.edit.L2, sysvar_luprec()).c_str());
        }
        ads_mode_tile(packet->dialog, "t_length_of_trans_curve2",
                      d.edit.two_transitions ? MODE_ENABLE : MODE_DISABLE);
    };
    // A table position typed counts as one picked.
    auto typed_position = [&d](ads_callback_packet* packet) {
        if (str_is_number(packet->value) == 4) d.table_picked = true;
    };
    auto interval_then = [&d](int status) {
        return [&d, status](ads_callback_packet* packet) {
            if (intervals_given(d.edit)) ads_done_dialog(packet->dialog, status);
        };
    };
    dialog_def def{
        kDialogFile,
        "transition_curve_dlg",
        {tile_text_checked(
             "t_ipname", e.ip_name,
             [](const std::string& name) { return !name.empty() && name.find(',') == std::string::npos; },
             "An IP name must not be empty and cannot hold a comma."),
         tile_real_checked("t_tcch", e.ch_T1, decimals, any, kept),
         tile_real_checked("t_radius_of_circular_curve", e.R, decimals, positive, more),
         and_then(tile_real_checked("t_length_of_trans_curve1", e.L1, decimals, not_negative, not_less),
                  transition2_follows),
         tile_real_checked("t_length_of_trans_curve2", e.L2, decimals, not_negative, not_less),
         tile_real_checked("t_min_chord", e.min_chord, decimals, not_negative, not_less),
         tile_real_checked("t_rc_interval", e.interval_c, decimals, positive, more),
         tile_real_checked("t_ls_interval", e.interval_t, decimals, positive, more),
         tile_real_checked("t_scale", e.scale, decimals, positive, more),
         tile_real_checked("t_txth", e.text_height, decimals, positive, more),
         tile_real_checked("t_width", e.text_width, decimals, positive, more),
         and_then(tile_real_checked("t_x", e.table_x, decimals, any, kept), typed_position),
         and_then(tile_real_checked("t_y", e.table_y, decimals, any, kept), typed_position),
         tile_real_checked("t_rot", e.rotation, decimals, any, kept),
         tile_layer("t_layer", e.layer),
         tile_action("t_defang", nullptr),
         tile_toggle("second_ls_tg", e.two_transitions) + transition2_follows,
         tile_toggle("start_coord_tg", e.ask_chords),
         tile_toggle("print_tg", e.print_flag),
         tile_toggle("lies_tg", e.curve_length),
         tile_popup("sampel_pop", d.sample, tcurve_sample_names()) +
             [&d](ads_callback_packet* packet) {
                 if (d.sample > 0) ads_done_dialog(packet->dialog, kStatusSample);
             },
         tile_action("ok", [&d](ads_callback_packet* packet) { accept(packet, d); }),
         tile_button("cancel", DLGCANCEL),
         tile_button("pickip_btn", kStatusPickIp),
         tile_button("picktbl_btn", kStatusPickTable),
         tile_button("pickrot_btn", kStatusPickRotation),
         tile_action("cal_curve_btn", interval_then(kStatusCalculate)),
         tile_action("view_btn", interval_then(kStatusView))}};
    def.on_open = [&d](ads_hdlg dialog) {
        show_deflection(dialog, d);
        set_modes(dialog, d);
    };
    return def;
}

// The curve as temporary lines: the straights to T1 and T4 and the stations.
void view_curve(tcurve_dialog_rec& d)
{
    if (!calculate(d)) return;
    const tcurve_table_rec table = tcurve_set_out(d.edit, nullptr);
    auto draw = [](const point3d_rec& a, const point3d_rec& b, int colour) {
        ads_point from, to;
        point_to_ads(a, from);
        point_to_ads(b, to);
        acedGrDraw(from, to, colour, 0);
    };
    draw(d.edit.IP, d.edit.T1, 1);
    draw(d.edit.IP, d.edit.T4, 1);
    const tcurve_row_rec* previous = nullptr;
    for (const tcurve_row_rec& row : table.rows) {
        if (row.duplicate) continue;
        if (previous) draw(previous->point, row.point, 3);
        previous = &row;
    }
}

// Sets out, saves and draws the curve of the dialog's values; false (after
// the alert) when they make no curve.
bool finish(tcurve_dialog_rec& d)
{
    if (!calculate(d)) return false;
    const tcurve_chord_asker ask = d.edit.ask_chords ? tcurve_chord_asker(ask_first_chord) : nullptr;
    const tcurve_table_rec table = tcurve_set_out(d.edit, ask);
    tcwk() = d.edit;
    tcurve_save(d.edit);
    tcurve_report_print(d.edit);
    tcurve_draw(d.edit, table);
    if (d.from_sample) {
        line_make(d.edit.IP, d.edit.T1, d.edit.layer);
        line_make(d.edit.IP, d.edit.T4, d.edit.layer);
        zoom_window(d.zoom1, d.zoom2);
        tcurve_table_print(table);
    }
    return true;
}

}  // namespace

bool tcurve_setup()
{
    return setup_settings();
}

std::string tcurve_settings_text(const tcurve_work_rec& w)
{
    std::string text =
        tcurve_table_fields_text(w.scale, w.rotation, w.text_height, w.text_width, w.table_x, w.table_y);
    comma_list_add(text, w.ip_name);
    comma_list_add(text, w.ch_T1, 3);
    comma_list_add(text, w.L1, 3);
    comma_list_add(text, w.two_transitions);
    comma_list_add(text, w.L2, 3);
    comma_list_add(text, w.R, 3);
    comma_list_add(text, w.min_chord, 3);
    comma_list_add(text, w.interval_t, 3);
    comma_list_add(text, w.interval_c, 3);
    comma_list_add(text, w.print_flag);
    comma_list_add(text, w.ask_chords);
    comma_list_add(text, w.curve_length);
    return text;
}

void tcurve_settings_parse(const std::string& text, tcurve_work_rec& w, std::vector<int>& bad_fields)
{
    double* reals[kFields + 1] = {nullptr,       &w.scale,   &w.rotation, &w.text_height, &w.text_width,
                                  &w.table_x,    &w.table_y, nullptr,     &w.ch_T1,       &w.L1,
                                  nullptr,       &w.L2,      &w.R,        &w.min_chord,   &w.interval_t,
                                  &w.interval_c, nullptr,    nullptr,     nullptr};
    int* flags[kFields + 1] = {};
    flags[10] = &w.two_transitions;
    flags[16] = &w.print_flag;
    flags[17] = &w.ask_chords;
    flags[18] = &w.curve_length;
    for (int n = 1; n <= kFields; ++n) {
        const std::string field = str_get_field(text, n, ",");
        if (n == 7) {
            if (!field.empty()) w.ip_name = field;
            continue;
        }
        if (str_is_number(field) != 4) {
            bad_fields.push_back(n);
            continue;
        }
        if (reals[n]) *reals[n] = std::atof(field.c_str());
        if (flags[n]) *flags[n] = std::atoi(field.c_str()) != 0 ? 1 : 0;
    }
    // Values the dialog would refuse keep their defaults.
    const tcurve_work_rec defaults;
    if (!(w.scale > 0)) w.scale = defaults.scale;
    if (!(w.text_height > 0)) w.text_height = defaults.text_height;
    if (!(w.text_width > 0)) w.text_width = defaults.text_width;
    if (!(w.min_chord >= 0)) w.min_chord = defaults.min_chord;
    if (!(w.L1 >= 0)) w.L1 = 0;
    if (!(w.L2 >= 0)) w.L2 = 0;
    if (!(w.R >= 0)) w.R = 0;
    if (!(w.interval_t >= 0)) w.interval_t = 0;
    if (!(w.interval_c >= 0)) w.interval_c = 0;
}

int tcurve_command()
{
    if (!tcurve_setup()) return 0;
    tcurve_dialog_rec d;
    d.edit = tcwk();
    d.previous_ip_name = tcwk().ip_name;
    // The IP is picked anew in every run.
    d.edit.IP = {};
    d.edit.bearing_in = d.edit.bearing_out = d.edit.D = 0;
    acutPrintf("\ndialog_file :%s", dialog_path(kDialogFile).c_str());
    dialog_def def = build_dialog(d);
    for (;;) {
        const int status = dialog_show(def);
        switch (status) {
            case DLGOK:
                if (finish(d)) return 1;
                break;
            case kStatusPickIp:
                pick_ip(d);
                break;
            case kStatusPickTable:
                pick_table(d);
                break;
            case kStatusPickRotation:
                pick_rotation(d);
                break;
            case kStatusCalculate:
                calculate(d);
                break;
            case kStatusView:
                view_curve(d);
                break;
            case kStatusSample: {
                const int ask = d.edit.ask_chords, length = d.edit.curve_length;
                tcurve_sample_load(d.sample, d.edit, d.zoom1, d.zoom2);
                d.edit.ask_chords = ask;
                d.edit.curve_length = length;
                d.ip_picked = true;
                d.table_picked = true;
                d.from_sample = true;
                if (finish(d)) return 1;
                d.from_sample = false;
                break;
            }
            default:  // cancel, or a dialog that could not be shown
                return 0;
        }
    }
}

int tcurve_circle_chords_command()
{
    const tcurve_work_rec& w = tcwk();
    if (!(w.R > 0) || !(w.ch_T3 - w.ch_T2 > 1e-6)) {
        acutPrintf("\nNo curve has been computed yet: set out a route curve first.");
        return 0;
    }
    // Each chord is asked when the curve asks its chords; "X" ends there.
    auto chord_of = [&w](double chord) {
        if (!w.ask_chords) return chord;
        for (;;) {
            std::string out;
            const int answer = prompt_real_spec("0,X,Enter Circular Curve Chord", chord, 3, out);
            if (answer != 1) return 0.0;
            const double typed = std::atof(out.c_str());
            if (typed > 0) return typed;
            say_refused_value("A chord must be more than 0.");
        }
    };
    const std::vector<tcurve_station_rec> stations = tcurve_circle_by_chords(w, chord_of);
    tcurve_table_rec table;
    int number = 0;
    for (size_t i = 0; i < stations.size(); ++i) {
        tcurve_row_rec row;
        static_cast<tcurve_station_rec&>(row) = stations[i];
        row.part = 2;
        const bool at_T3 = i > 0 && std::fabs(stations[i].chainage - w.ch_T3) < 1e-6;
        row.name = i == 0 ? "T2" : at_T3 ? "T3" : "C" + std::to_string(++number);
        table.rows.push_back(row);
        if (i > 0) point_make(row.point, w.layer);
    }
    tcurve_table_print(table);
    return stations.size() > 1 ? 1 : 0;
}

void tcurve_settings_save(const char* app, const std::string& layer, const std::string& text)
{
    layer_ensure(layer.c_str());
    if (layer_xdata_put(ORVIK_SETTINGS_LAYER, app, layer.c_str(), 1) != RTNORM ||
        layer_xdata_put(layer.c_str(), app, text.c_str(), 1) != RTNORM)
        msg_alert_two("nFailed save cfg to layer", layer);
}

std::string tcurve_table_fields_text(double scale, double rotation, double text_height, double text_width,
                                     double table_x, double table_y)
{
    std::string text;
    comma_list_add(text, scale, 3);
    comma_list_add(text, rotation, 6);
    comma_list_add(text, text_height, 3);
    comma_list_add(text, text_width, 3);
    comma_list_add(text, table_x, 3);
    comma_list_add(text, table_y, 3);
    return text;
}
