// The traverse command b_trav: start, menu, leg and radiation entry, the
// properties sub-menu, closing a route, drawing, editing and saving.
#include "trav_command.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>

#include "ads.h"
#include "angles.h"
#include "entity_makers.h"
#include "folders_registry.h"
#include "layers.h"
#include "messages.h"
#include "prompts.h"
#include "settings_store.h"
#include "sysvar.h"
#include "trav_engine.h"
#include "trav_file.h"
#include "trav_plot.h"
#include "trav_print.h"
#include "trav_settings.h"
#include "trav_text.h"
#include "units.h"

namespace {

// Working values of one run of the command.
struct trav_work_rec {
    point3d_rec current_point;
    std::string unit_name = "METER";
    double unit_factor = 1.0;
    double last_bearing = 0;
    double last_distance = 0;
    double last_level = 0;
    settings_key_rec work_key{};
    bool defaults_done = false;
};

trav_work_rec work;

// The fixed word the editor is started with; it does not read it.
constexpr const char* editor_argument = "kvedit";

constexpr const char* unit_prompt_spec = "1,M L F,<M>eter <L>ink <F>eet,M";

// Outcome of a menu action: carry on, or end the command.
enum class menu_step { carry_on, end };

double unit_factor_of_letter(const std::string& letter)
{
    if (letter == "L") return 0.201168;
    if (letter == "F") return 0.3048;
    return 1.0;
}

double ask_unit_factor()
{
    std::string letter;
    prompt_kword_spec(unit_prompt_spec, letter);
    return unit_factor_of_letter(letter);
}

void say_station_range()
{
    acutPrintf("\nStation numbers run from 1 to %d.", trav_station_max);
}

// Integer prompt asked until a station number is given (one out of range, the
// default too, is refused with a message and asked again).
int ask_station(const std::string& spec, int default_value)
{
    for (;;) {
        std::string out;
        if (prompt_int_spec(spec, default_value, out) != 1) continue;
        const long long number = std::strtoll(out.c_str(), nullptr, 10);
        if (trav_station_number_ok(number)) return static_cast<int>(number);
        say_station_range();
    }
}

// The number after n, proposed as the next station's default. n is never
// above the largest station number, so this does not overflow; after the
// largest the proposal is out of range and refused when taken.
int next_station(int n)
{
    return n < INT_MAX ? n + 1 : INT_MAX;
}

// Integer prompt asked until a station of the list (or, with observations, a
// known observation end) is given.
int ask_known_station(const std::string& spec, int default_value, const trav_lists& lists, point3d_rec& point)
{
    for (;;) {
        const int number = ask_station(spec, default_value);
        if (trav_find_point(number, lists.observations, lists.stations, point) == 1) return number;
    }
}

void draw_vector(const point3d_rec& from, const point3d_rec& to, int colour)
{
    ads_point a = {from.x, from.y, 0};
    ads_point b = {to.x, to.y, 0};
    acedGrDraw(a, b, colour, 0);
}

void label_station(int number, const point3d_rec& at)
{
    const trav_settings_rec& settings = trav_settings();
    point3d_rec flat{at.x, at.y, 0};
    text_make_on_layer(flat, settings.text_height, settings.width_factor, 90.0, trav_work_layer(),
                       std::to_string(number), 1);
}

void compute(trav_lists& lists)
{
    trav_solve(lists.observations, lists.radiations, lists.stations, lists.routes);
}

bool write_whole_file(const trav_lists& lists)
{
    return write_trav_file(lists.observations, lists.radiations, lists.stations);
}

// ---- leg entry ----------------------------------------------------------------------------

// The distance in the current unit; false when the user chose exit.
bool ask_distance(double& distance)
{
    for (;;) {
        const std::string spec = "0,X M L F,e<X>it <M>eter <L>ink <F>eet (" + work.unit_name + ")";
        std::string out;
        const int rc = prompt_real_spec(spec, work.last_distance, 3, out);
        if (rc == 1) {
            distance = std::strtod(out.c_str(), nullptr);
            return true;
        }
        if (rc != 2) continue;
        if (out == "X") return false;
        if (out == "M" || out == "L" || out == "F") {
            work.unit_name = out == "M" ? "METER" : out == "L" ? "LINK" : "FEET";
            work.unit_factor = unit_factor_of_letter(out);
        }
    }
}

// After a record could not be added to the traverse's file: the traverse is
// kept here, with the entry, as a traverse without a file, so that it is saved
// under a name (menu N) or at exit, and nothing typed is lost.
void keep_after_failed_append()
{
    trav_settings_rec& settings = trav_settings();
    acutPrintf(
        "\nThe entry could not be added to %s; the traverse is kept here with it: "
        "save it under a name with <N>ame or at e<X>it.",
        settings.file_name.c_str());
    settings.opened_from_file = false;
}

// Appends the record to the file when the traverse came from one.
void append_when_from_file(const trav_obs_rec& obs, const trav_lists& lists)
{
    if (!trav_settings().opened_from_file) return;
    if (!trav_append_obs(obs, &lists)) keep_after_failed_append();
}

menu_step enter_leg(trav_lists& lists, double typed_bearing)
{
    trav_settings_rec& settings = trav_settings();
    const double bearing = angle_dms_from_signed(typed_bearing);
    work.last_bearing = bearing;
    double distance = 0;
    if (!ask_distance(distance)) return menu_step::carry_on;
    work.last_distance = distance;

    const bool trav_mode = settings.mode == trav_mode_trav;
    int number = 0;
    if (trav_mode) {
        number = ask_station("0,M,Enter Trav STN", next_station(settings.largest_trav_number));
        settings.largest_station_number = number;
        settings.largest_trav_number = std::max(settings.largest_trav_number, number);
    } else {
        number =
            ask_station("0,M,Enter Rad STN",
                        next_station(std::max(settings.largest_rad_number, settings.largest_trav_number)));
        settings.largest_rad_number = number;
    }

    double level = 0;
    if (settings.level_prompt) {
        for (;;) {
            std::string out;
            if (prompt_real_spec("0,M,Level", work.last_level, 3, out) == 1) {
                level = std::strtod(out.c_str(), nullptr);
                work.last_level = level;
                break;
            }
        }
    }
    std::string code;
    if (settings.code_prompt) prompt_string_spec("0,Code,nil", "", code);

    if (trav_mode) {
        const int from = settings.current_trav_station;
        if (lists.routes.empty()) lists.routes.emplace_back();
        trav_add_obs(lists.observations, trav_obs_leg, from, number, bearing, distance, level, work.unit_name,
                     code);
        trav_link_nodes(from, number, lists.routes.size() - 1, lists.routes);
        trav_obs_rec& obs = lists.observations.back();
        const point3d_rec to =
            trav_route_add_leg(lists.routes.back(), obs, work.current_point, settings.rounding_decimals);
        trav_add_station(number, to, trav_cal, lists.stations, false, code);
        draw_vector(work.current_point, to, settings.trav_colour);
        label_station(number, to);
        settings.current_trav_station = number;
        work.current_point = to;
        append_when_from_file(obs, lists);
    } else {
        const int from = settings.current_rad_station;
        trav_add_obs(lists.radiations, trav_obs_radiation, from, number, bearing, distance, level,
                     work.unit_name, "");
        trav_obs_rec& obs = lists.radiations.back();
        point3d_rec to;
        trav_obs_latdep(lists.radiations.size() - 1, work.current_point, lists.radiations, to,
                        settings.rounding_decimals);
        obs.from_point = work.current_point;
        obs.to_point = to;
        trav_add_station(number, to, trav_cal, lists.stations, false);
        draw_vector(work.current_point, to, settings.rad_colour);
        label_station(number, to);
        append_when_from_file(obs, lists);
    }
    return menu_step::carry_on;
}

// ---- closing a route ----------------------------------------------------------------------

void close_route(trav_lists& lists)
{
    if (lists.observations.size() < 2) return;
    trav_settings_rec& settings = trav_settings();
    trav_draw(lists, false);
    std::string text;
    point3d_rec picked;
    if (prompt_point_or_text("\ne<X>it <S>tn <Pick Point>", "", nullptr, text, picked) == 2) {
        std::transform(text.begin(), text.end(), text.begin(), ::toupper);
        if (text != "S") return;
        int number = 0;
        point3d_rec found;
        for (;;) {
            std::string out;
            const int rc = prompt_int_spec("0,M X,e<X>it Enter Stn", settings.current_trav_station, out);
            if (rc == 2 && out == "X") return;
            if (rc != 1) continue;
            number = std::atoi(out.c_str());
            if (trav_find_point(number, lists.observations, lists.stations, found) == 1) break;
        }
        lists.routes.back().stations.push_back(-number);
        lists.routes.back().known_point = point3d_rec{};
        trav_add_obs(lists.observations, trav_obs_closing, number, number, 0, 0, 0, "METER", "");
    } else {
        const double factor = ask_unit_factor();
        const int number = ask_station("0,M,Enter Stn", settings.current_trav_station);
        const point3d_rec known{picked.x * factor, picked.y * factor, 0};
        lists.routes.back().stations.push_back(-number);
        lists.routes.back().known_point = known;
        trav_add_obs(lists.observations, trav_obs_closing, number, number, known.x, known.y, 0, "METER", "");
        const int index = find_point_index(number, lists.stations);
        if (index >= 0) {
            lists.stations[index].point = known;
            lists.stations[index].status = trav_fixed;
        }
    }
    append_when_from_file(lists.observations.back(), lists);
    lists.routes.emplace_back();
}

// ---- properties sub-menu ------------------------------------------------------------------

void add_new_point_action(trav_lists& lists)
{
    int number = 0;
    point3d_rec point;
    const int result = trav_add_new_point(nullptr, number, point, lists.stations);
    if (result == 0) {
        acedAlert("Add new point Failed.");
        return;
    }
    label_station(number, point);
    if (!trav_settings().opened_from_file) return;
    if (result == 1) {
        if (!trav_append_point(lists.stations[find_point_index(number, lists.stations)], &lists))
            keep_after_failed_append();
        return;
    }
    compute(lists);
    trav_draw(lists, false);
    if (!write_whole_file(lists)) keep_after_failed_append();
}

void properties_menu(trav_lists& lists)
{
    for (;;) {
        std::string key;
        prompt_kword_spec(
            "1,A Z S X C CL P N,<P>rn <N>ew Point <A>rea <Z>oom all <S>etting <C>lose [Semak <Cl>ose] "
            "e<X>it,nil",
            key);
        if (key == "X") return;
        if (key == "P") {
            trav_print_routes(lists.routes);
            trav_print_listing(lists.observations, lists.stations, lists.routes);
            trav_print_stations(lists.stations);
        } else if (key == "A") {
            compute(lists);
            trav_find_loops(lists.observations, lists.routes);
            trav_print_loops(lists.routes);
        } else if (key == "S") {
            trav_setting_dlg();
        } else if (key == "N") {
            add_new_point_action(lists);
        } else if (key == "C") {
            compute(lists);
            close_route(lists);
            compute(lists);
        } else if (key == "CL") {
            compute(lists);
        } else if (key == "Z") {
            trav_draw(lists, true);
        } else {
            continue;
        }
        return;
    }
}

// ---- editing ------------------------------------------------------------------------------

void reread_file(trav_lists& lists)
{
    if (read_trav_file(lists.observations, lists.radiations, lists.routes, lists.stations, false) ==
        trav_read_failed)
        acutPrintf("\nCannot read %s", trav_settings().file_name.c_str());
    compute(lists);
    trav_draw(lists, false);
}

// Runs the editor on the settings' file and waits for it.
sibling_wait trav_editor_wait()
{
    const trav_settings_rec& settings = trav_settings();
    reg_write_string(ORVIK_REGISTRY_SUBKEY, "kolva_file", settings.file_name.c_str());
    acutPrintf("\nWaiting..for editor close.");
    const std::string program = settings.install_folder + "\\exe_file\\KolvaEditor.exe";
    return run_and_wait_sibling(program.c_str(), editor_argument, ORVIK_REGISTRY_SUBKEY, "kolva");
}

menu_step edit_traverse(trav_lists& lists)
{
    trav_settings_rec& settings = trav_settings();
    if (settings.opened_from_file) {
        const sibling_wait outcome = trav_editor_wait();
        if (outcome == sibling_wait::answered) {
            reread_file(lists);
            return menu_step::carry_on;
        }
        if (outcome == sibling_wait::not_started) return menu_step::carry_on;
        // The editor may have changed the file, or may still: nothing more is
        // added to it, and the traverse here is not mixed with its changes.
        acutPrintf(outcome == sibling_wait::timed_out
                       ? "\n%s is not read again and the command ends, so that nothing is added to it "
                         "while the editor may still change it; open it again when the editor is closed."
                       : "\n%s is not read again and the command ends; open it again to see what the "
                         "editor left in it.",
                   settings.file_name.c_str());
        trav_erase_drawn();
        return menu_step::end;
    }
    // A traverse without a file is edited through a scratch copy that never
    // takes the place of a real traverse file of the drawing's name.
    const std::string keep_name = settings.file_name;
    settings.file_name = trav_scratch_path();
    if (write_whole_file(lists)) {
        const sibling_wait outcome = trav_editor_wait();
        if (outcome == sibling_wait::answered) {
            reread_file(lists);
            if (win_remove(settings.file_name.c_str()) != 0)
                acutPrintf("\nCould not delete %s", settings.file_name.c_str());
        } else if (outcome != sibling_wait::not_started) {
            // The editor may still hold the copy, or has left its changes in
            // it: the copy is kept for the user and the traverse here stays
            // as it was.
            acutPrintf(
                "\nThe traverse here is unchanged; the copy given to the editor is kept as %s "
                "(open it with b_trav to take the editor's changes).",
                settings.file_name.c_str());
        } else {
            win_remove(settings.file_name.c_str());
        }
    }
    settings.file_name = keep_name;
    return menu_step::carry_on;
}

// ---- exit ---------------------------------------------------------------------------------

void exit_traverse(trav_lists& lists)
{
    if (trav_settings().opened_from_file) {
        trav_erase_drawn();
        return;
    }
    // A save that does not happen (the name dialog cancelled, the file not
    // writable) asks again: "no" is the only way to leave the traverse unsaved.
    for (;;) {
        const int answer = yes_no_dialog(app_install_folder(), "Travers", "Save Travers");
        if (answer == 1) {
            if (save_trav_file_dlg(lists) != 1) {
                acutPrintf("\nThe traverse was not saved.");
                continue;
            }
            trav_erase_drawn();
        } else if (answer == 2) {
            trav_erase_drawn();
        }
        return;
    }
}

menu_step menu_keyword(trav_lists& lists, const std::string& key)
{
    trav_settings_rec& settings = trav_settings();
    if (key == "K") {
        ads_point ignored;
        acedGetPoint(nullptr, "Now Transparents..click after...", ignored);
    } else if (key == "T") {
        settings.mode = trav_mode_trav;
        point3d_rec point;
        settings.current_trav_station =
            ask_known_station("0,M,Enter STN", settings.current_trav_station, lists, point);
        work.current_point = point3d_rec{point.x, point.y, 0};
    } else if (key == "D") {
        settings.mode = trav_mode_rad;
        if (settings.current_rad_station == 0) settings.current_rad_station = settings.current_trav_station;
        point3d_rec point;
        settings.current_rad_station =
            ask_known_station("0,M,Enter STN", settings.current_rad_station, lists, point);
        work.current_point = point3d_rec{point.x, point.y, 0};
    } else if (key == "P") {
        properties_menu(lists);
    } else if (key == "R") {
        compute(lists);
        acedRedraw(nullptr, 4);
        trav_draw(lists, false);
    } else if (key == "E") {
        return edit_traverse(lists);
    } else if (key == "N" && !settings.opened_from_file) {
        save_trav_file_dlg(lists);
    } else if (key == "S") {
        trav_plot_to_dwg(lists.observations, lists.radiations, lists.stations, lists.routes);
    } else if (key == "X") {
        exit_traverse(lists);
        return menu_step::end;
    }
    return menu_step::carry_on;
}

}  // namespace

std::string trav_work_layer()
{
    return work.work_key.layer;
}

namespace {

// The current drawing's folder and file name without its extension: the
// traverse file a drawing gets when none was opened.
std::string drawing_path_stem()
{
    std::string folder, name;
    sysvar_get_str("DWGPREFIX", folder);
    sysvar_get_str("DWGNAME", name);
    std::string stem = name;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) stem = name.substr(0, dot);
    return folder + stem;
}

}  // namespace

std::string trav_scratch_path()
{
    const std::string stem = drawing_path_stem();
    std::string path = stem + ".trv";
    for (int n = 1; file_exists(path.c_str()); ++n) path = stem + "-" + std::to_string(n) + ".trv";
    return path;
}

void trav_reset()
{
    trav_settings_rec& settings = trav_settings();
    if (!work.defaults_done) {
        trav_settings_defaults();
        work.defaults_done = true;
    }
    const bool keep_from_file = settings.opened_from_file;
    const std::string keep_name = settings.file_name;
    work.current_point = point3d_rec{};
    work.unit_name = "METER";
    work.unit_factor = 1.0;
    work.last_bearing = 0;
    work.last_distance = 0;
    work.last_level = 0;
    settings.mode = trav_mode_trav;
    settings.current_trav_station = 0;
    settings.current_rad_station = 0;
    settings.largest_trav_number = 0;
    settings.largest_rad_number = 0;
    settings.file_name = keep_name;
    settings.opened_from_file = keep_from_file;
    settings_key_make(work.work_key, "KOLVA", settings.layer_prefix.c_str());
    layer_ensure(work.work_key.layer);
    layer_make_usable(work.work_key.layer);
    settings.install_folder = app_install_folder();
}

int new_trav_file(trav_lists& lists, const point3d_rec& picked)
{
    trav_settings_rec& settings = trav_settings();
    settings.file_name = drawing_path_stem() + ".trv";
    settings.opened_from_file = false;
    trav_file_forget_unread();
    lists = trav_lists{};
    lists.routes.emplace_back();
    const double factor = ask_unit_factor();
    const point3d_rec start{picked.x * factor, picked.y * factor, 0};
    const int number = ask_station("0,M,Enter STN", settings.largest_station_number);
    trav_add_station(number, start, trav_fixed, lists.stations, false);
    lists.routes.front().known_point = start;
    label_station(number, start);
    settings.current_trav_station = number;
    settings.largest_trav_number = number;
    settings.mode = trav_mode_trav;
    work.current_point = start;
    return 1;
}

int trav_menu(trav_lists& lists)
{
    trav_settings_rec& settings = trav_settings();
    for (;;) {
        const bool from_file = settings.opened_from_file;
        std::string prompt = from_file
                                 ? "<K> <T>rav ra<D> <P>rop <R>edraw <E>dit <S>ave to Dwg e<X>it"
                                 : "<K> <T>rav ra<D> <P>rop <R>edraw <E>dit <N>ame <S>ave to Dwg e<X>it";
        if (settings.mode == trav_mode_trav)
            prompt += "\nTRAV <" + std::to_string(settings.current_trav_station) + "> ";
        else
            prompt += "\nRAD " + std::to_string(settings.current_rad_station) + "> ";
        const std::string keywords = from_file ? "K,T,D,P,R,E,S,X" : "K,T,D,P,R,E,N,S,X";
        std::string out;
        const int rc = prompt_angle_dms(keywords, from_file ? 8 : 9, prompt, work.last_bearing, out);
        menu_step step = menu_step::carry_on;
        if (rc == 1)
            step = enter_leg(lists, std::strtod(out.c_str(), nullptr));
        else if (rc == 2)
            step = menu_keyword(lists, out);
        else
            acedAlert("Invalid Input");
        if (step == menu_step::end) return 0;
    }
}

void trav_erase_drawn()
{
    ss_erase_layer(trav_work_layer());
}

void trav_draw(trav_lists& lists, bool zoom)
{
    const trav_settings_rec& settings = trav_settings();
    trav_erase_drawn();
    if (zoom) {
        bool any = false;
        point3d_rec low, high;
        auto grow = [&](const point3d_rec& p) {
            if (!any) {
                low = high = p;
                any = true;
                return;
            }
            low.x = std::min(low.x, p.x);
            low.y = std::min(low.y, p.y);
            high.x = std::max(high.x, p.x);
            high.y = std::max(high.y, p.y);
        };
        for (const trav_obs_rec& obs : lists.observations) {
            if (obs.type != trav_obs_leg) continue;
            grow(obs.from_point);
            grow(obs.to_point);
        }
        for (const trav_obs_rec& obs : lists.radiations) {
            grow(obs.from_point);
            grow(obs.to_point);
        }
        if (any)
            zoom_window(point3d_rec{low.x - 10.0, low.y - 10.0, 0},
                        point3d_rec{high.x + 10.0, high.y + 10.0, 0});
    }
    const trav_station_index station_index(lists.stations);
    const trav_obs_index obs_index(lists.observations);
    for (const trav_route_rec& route : lists.routes) {
        if (route.stations.size() < 2) continue;
        point3d_rec first;
        if (trav_find_point(route.stations.front(), lists.observations, obs_index, lists.stations,
                            station_index, first) == 1)
            label_station(route.stations.front(), first);
    }
    for (const trav_obs_rec& obs : lists.observations) {
        if (obs.type != trav_obs_leg) continue;
        draw_vector(obs.from_point, obs.to_point, settings.trav_colour);
        label_station(obs.to, obs.to_point);
    }
    for (const trav_obs_rec& obs : lists.radiations) {
        draw_vector(obs.from_point, obs.to_point, settings.rad_colour);
        label_station(obs.to, obs.to_point);
    }
}

int trav_add_new_point(const point3d_rec* given, int& number, point3d_rec& point, trav_station_list& stations)
{
    trav_settings_rec& settings = trav_settings();
    point3d_rec picked;
    if (given) {
        picked = *given;
    } else {
        std::string text;
        if (prompt_point_or_text("Pick New Point", "", nullptr, text, picked) != 1) return 0;
    }
    const double factor = ask_unit_factor();
    point = point3d_rec{picked.x * factor, picked.y * factor, 0};
    number = ask_station("0,M,Enter STN", next_station(settings.largest_station_number));
    const int result = trav_add_station(number, point, trav_fixed, stations, true);
    if (result != 0) settings.largest_station_number = std::max(settings.largest_station_number, number);
    return result;
}

int run_trav_editor()
{
    return trav_editor_wait() == sibling_wait::answered ? 1 : 0;
}

int save_trav_file_dlg(trav_lists& lists)
{
    trav_settings_rec& settings = trav_settings();
    std::string path;
    if (file_dialog_dwgprefix("Save travers", "", "Trv", 1, path) != 1) return 0;
    // The traverse takes the name only once it is written there.
    const std::string former = settings.file_name;
    settings.file_name = path;
    trav_file_forget_known();
    if (!write_whole_file(lists)) {
        settings.file_name = former;
        return 0;
    }
    settings.opened_from_file = true;
    return 1;
}

int b_trav()
{
    trav_settings_rec& settings = trav_settings();
    trav_lists& lists = trav_current();
    trav_reset();
    std::string text;
    point3d_rec picked;
    for (;;) {
        if (prompt_point_or_text("\n<O>pen e<X>it <Pick Point>", "", nullptr, text, picked) == 1) break;
        std::transform(text.begin(), text.end(), text.begin(), ::toupper);
        if (text == "X") {
            trav_erase_drawn();
            return 0;
        }
        if (text == "O") {
            std::string path;
            if (file_dialog_dwgprefix("Trav open", "", "trv", 0, path) != 1) return 0;
            settings.file_name = path;
            settings.opened_from_file = true;
            trav_reset();
            const int read =
                read_trav_file(lists.observations, lists.radiations, lists.routes, lists.stations, true);
            if (read != trav_read_ok) {
                // The reader alerts a wrong version itself; an unreadable file is named here.
                if (read == trav_read_failed) acutPrintf("\nCannot read %s", path.c_str());
                settings.opened_from_file = false;
                return 0;
            }
            // Numbers already in the file are not proposed again.
            settings.largest_trav_number = settings.largest_station_number;
            settings.largest_rad_number = settings.largest_rad_to;
            compute(lists);
            trav_draw(lists, false);
            trav_find_loops(lists.observations, lists.routes);
            settings.mode = trav_mode_trav;
            point3d_rec current;
            if (trav_find_point(settings.current_trav_station, lists.observations, lists.stations, current) ==
                1)
                work.current_point = point3d_rec{current.x, current.y, 0};
            trav_menu(lists);
            return 1;
        }
    }
    new_trav_file(lists, picked);
    trav_menu(lists);
    return 1;
}
