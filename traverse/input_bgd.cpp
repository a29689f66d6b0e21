// The bearing-distance input command and its settings dialog.
#include "input_bgd.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <type_traits>
#include <vector>

#include "adsdlg.h"
#include "angles.h"
#include "constants.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "layers.h"
#include "numbers.h"
#include "prompts.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"
#include "units.h"

namespace {

constexpr const char* kApp = "INPBGDRAD";

enum class input_mode { trav, rad };

// What the command remembers between calls within one drawing.
struct inputbgd_state {
    int loaded = 0;
    std::string dwg_path;
    std::string coord_unit = "METER";
    double coord_factor = UNIT_FACTOR_METER;
    std::string dist_unit = "METER";
    double dist_factor = UNIT_FACTOR_METER;
    double user_factor = 1.0;
    double bearing = 0;  // D.MMSS, as typed (after reversal)
    double distance = 0;
    int decimals = 3;
    input_mode mode = input_mode::trav;
    bool rad_dialog_seen = false;  // the settings dialog was accepted once in this drawing
    double level = 0;
    std::string note;
    point3d_rec current{};
};

inputbgd_state& state()
{
    static inputbgd_state s;
    return s;
}

char first_upper(const std::string& text)
{
    return text.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
}

// Step 1 of every call: a new drawing (or the first call) starts from metres,
// a zero bearing and distance, TRAV mode, and the drawing's settings.
void inputbgd_state_check()
{
    inputbgd_state& s = state();
    dwg_path_track(s.loaded, s.dwg_path);
    if (s.loaded) return;
    const std::string path = s.dwg_path;
    s = inputbgd_state{};
    s.dwg_path = path;
    s.loaded = 1;
    inputbgd_cfg_load();
}

// "M", "L", "F" set a unit; false for any other letter.
bool unit_by_letter(char letter, std::string& name, double& factor)
{
    switch (letter) {
        case 'M':
            name = "METER";
            factor = UNIT_FACTOR_METER;
            return true;
        case 'L':
            name = "LINK";
            factor = UNIT_FACTOR_LINK;
            return true;
        case 'F':
            name = "FEET";
            factor = UNIT_FACTOR_FEET;
            return true;
        default:
            return false;
    }
}

void ask_user_factor()
{
    inputbgd_state& s = state();
    std::string out;
    if (prompt_real_spec("0,,Enter Factor", s.user_factor, 6, out) != 1) return;
    const double factor = std::strtod(out.c_str(), nullptr);
    // A factor of 0 or less would put every leg on the station or behind it.
    if (factor <= 0) {
        acutPrintf("\nFactor must be greater than 0");
        return;
    }
    s.user_factor = factor;
    s.dist_unit = "User";
    s.dist_factor = factor;
}

// The distance unit keywords shared by the bearing and distance prompts.
bool dist_unit_keyword(char letter)
{
    inputbgd_state& s = state();
    if (letter == 'U') {
        ask_user_factor();
        return true;
    }
    return unit_by_letter(letter, s.dist_unit, s.dist_factor);
}

// The start point in coordinate units; false when the user leaves.
bool ask_start_point()
{
    inputbgd_state& s = state();
    for (;;) {
        acutPrintf("\nCoord Unit %s", s.coord_unit.c_str());
        std::string text;
        point3d_rec picked{};
        if (prompt_point_or_text("\n<M>eter <L>ink <F>eet e<X>it <Pick point>", "", nullptr, text, picked) ==
            1) {
            s.current = point3d_rec{picked.x * s.coord_factor, picked.y * s.coord_factor, picked.z};
            return true;
        }
        const char letter = first_upper(text);
        if (letter == 'X') return false;
        unit_by_letter(letter, s.coord_unit, s.coord_factor);
    }
}

// The distance of the leg in distance units; false when the user leaves.
bool ask_distance()
{
    inputbgd_state& s = state();
    for (;;) {
        acutPrintf("\n<U>ser Factor <M>eter <L>ink <F>eet\n");
        std::string out;
        const int rc =
            prompt_real_spec("0,X M L F U,e<X>it Jarak(" + s.dist_unit + ") :,", s.distance, s.decimals, out);
        if (rc == 2) {
            const char letter = first_upper(out);
            if (letter == 'X') return false;
            dist_unit_keyword(letter);
            continue;
        }
        if (rc != 1) return false;
        const double distance = std::strtod(out.c_str(), nullptr);
        if (distance > 0) {
            s.distance = distance;
            return true;
        }
    }
}

double text_height_drawn()
{
    const inputbgd_cfg_rec& cfg = inputbgd_cfg();
    return cfg.plot_scale * cfg.text_height * 0.001;
}

std::string layer_current()
{
    std::string layer = "0";
    layer_current_get(layer);
    return layer;
}

// One radiation from the station: point or line, then the level and note texts.
void draw_radiation(const point3d_rec& end)
{
    inputbgd_state& s = state();
    const inputbgd_cfg_rec& cfg = inputbgd_cfg();
    double level = 0;
    if (cfg.prompt_level) {
        std::string out;
        if (prompt_real_spec("0,,Level:", s.level, 3, out) == 1) s.level = std::strtod(out.c_str(), nullptr);
        level = s.level;
        if (level == 0.0) return;  // a level of 0 marks a radiation not to draw
    }
    const std::string layer = layer_current();
    switch (cfg.object_type) {
        case 1:
            point_make(point3d_rec{end.x, end.y, level}, layer);
            break;
        case 2:
            line_make(s.current, end, layer);
            break;
        default:
            point_make(end, layer);
            break;
    }
    if (cfg.prompt_level) inputbgd_level_text(end, level);
    if (cfg.prompt_text) {
        prompt_string_spec("0,Text,1", s.note, s.note);
        if (!s.note.empty())
            text_make_on_layer(end, text_height_drawn(), 1.0, 90.0, cfg.text_layer, s.note, 1);
    }
}

// A typed bearing: a negative one is the reverse bearing. False when it is not
// a whole-circle bearing.
bool bearing_from_answer(const std::string& answer, double& dms)
{
    const double value = std::strtod(answer.c_str(), nullptr);
    if (!angle_dms_valid(value)) return false;
    dms = angle_dms_from_signed(value);
    return true;
}

void draw_leg()
{
    inputbgd_state& s = state();
    point3d_rec end{};
    polar_point(angle_dms_to_deg(s.bearing), s.distance * s.dist_factor, s.current, end);
    if (s.mode == input_mode::trav) {
        line_make(s.current, end, layer_current());
        s.current = end;
        return;
    }
    draw_radiation(end);
}

// "R": RAD mode; the first time in a drawing only after the settings dialog
// was accepted.
void switch_to_rad()
{
    inputbgd_state& s = state();
    if (!s.rad_dialog_seen) {
        if (input_bgd_setting_dlg() != DLGOK) return;
        s.rad_dialog_seen = true;
    }
    s.mode = input_mode::rad;
}

// A keyword of the bearing prompt; false for "X".
bool bearing_keyword(char letter)
{
    inputbgd_state& s = state();
    switch (letter) {
        case 'X':
            return false;
        case 'R':
            switch_to_rad();
            break;
        case 'T':
            s.mode = input_mode::trav;
            break;
        case 'S':
            if (input_bgd_setting_dlg() == DLGOK) s.rad_dialog_seen = true;
            break;
        case 'D': {
            std::string out;
            if (prompt_decimals_spec("0,,Decimal", s.decimals, out) == 1) s.decimals = std::atoi(out.c_str());
            break;
        }
        default:  // "I" is accepted and does nothing
            dist_unit_keyword(letter);
            break;
    }
    return true;
}

}  // namespace

inputbgd_cfg_rec& inputbgd_cfg()
{
    static inputbgd_cfg_rec cfg;
    return cfg;
}

std::string inputbgd_cfg_text(const inputbgd_cfg_rec& cfg)
{
    std::string text;
    comma_list_add(text, cfg.prompt_level);
    comma_list_add(text, cfg.prompt_text);
    comma_list_add(text, cfg.level_text_height, 3);
    comma_list_add(text, cfg.plot_scale, 3);
    comma_list_add(text, cfg.text_height, 3);
    comma_list_add(text, cfg.whole_number);
    comma_list_add(text, cfg.object_type);
    comma_list_add(text, cfg.level_layer);
    comma_list_add(text, cfg.text_layer);
    return text;
}

void inputbgd_cfg_parse(const std::string& text, inputbgd_cfg_rec& cfg)
{
    const std::vector<std::string> fields = str_split(text, ',');
    // A field that is no number, or one past the range of its value (a double's
    // or an int's), keeps the value it would replace.
    auto number = [&](size_t index, auto& value) {
        using Value = std::remove_reference_t<decltype(value)>;
        if (index >= fields.size() || str_is_number(fields[index]) != 4) return;
        const double read = std::strtod(fields[index].c_str(), nullptr);
        if (!std::isfinite(read)) return;
        if constexpr (std::is_integral_v<Value>)
            if (read < std::numeric_limits<Value>::min() || read > std::numeric_limits<Value>::max()) return;
        value = static_cast<Value>(read);
    };
    auto name = [&](size_t index, std::string& value) {
        if (index < fields.size() && !fields[index].empty()) value = fields[index];
    };
    number(0, cfg.prompt_level);
    number(1, cfg.prompt_text);
    number(2, cfg.level_text_height);
    number(3, cfg.plot_scale);
    number(4, cfg.text_height);
    number(6, cfg.object_type);
    name(7, cfg.level_layer);
    name(8, cfg.text_layer);
    cfg.whole_number = 0;
    if (cfg.object_type < 0 || cfg.object_type > 2) cfg.object_type = 0;
}

void inputbgd_cfg_load()
{
    inputbgd_cfg_rec& cfg = inputbgd_cfg();
    cfg = inputbgd_cfg_rec{};
    settings_key_rec key{};
    settings_key_make(key, kApp, "");
    std::string text;
    if (drawing_setting_find(key, text) == 1) inputbgd_cfg_parse(text, cfg);
}

int inputbgd_cfg_save()
{
    layer_ensure(ORVIK_SETTINGS_LAYER);
    const std::string text = inputbgd_cfg_text(inputbgd_cfg());
    if (layer_xdata_put(ORVIK_SETTINGS_LAYER, kApp, text.c_str(), 1) != RTNORM) {
        acutPrintf("\nFailed save cfg to layer %s", ORVIK_SETTINGS_LAYER);
        return RTERROR;
    }
    return RTNORM;
}

int input_bgd_setting_dlg()
{
    static const std::vector<std::string> object_types = {"2D Point", "3D Point", "2D Line"};
    inputbgd_cfg_rec edit = inputbgd_cfg();
    dialog_def def;
    def.file = "Input_bgd_setting_Dlg.dcl";
    def.name = "input_bgd_setting_Dlg";
    def.tiles = {tile_toggle("tg_PromptLevel", edit.prompt_level),
                 tile_toggle("tg_PromptText", edit.prompt_text),
                 tile_size("t_LevelTxtHeight", edit.level_text_height, 3),
                 tile_size("t_PlotScale", edit.plot_scale, 3),
                 tile_size("t_TxtHeight", edit.text_height, 3),
                 tile_popup("pop_ObjectType", edit.object_type, object_types),
                 tile_layer("t_LevelLayer", edit.level_layer),
                 tile_layer("t_TextLayer", edit.text_layer),
                 tile_button("accept", DLGOK),
                 tile_button("cancel", DLGCANCEL)};
    def.load_error = "\n Error Loading %s ";
    const int status = dialog_run(def);
    if (status != DLGOK) return status;
    // The level and note fields are taken only for the texts that are asked.
    inputbgd_cfg_rec& cfg = inputbgd_cfg();
    cfg.prompt_level = edit.prompt_level;
    cfg.prompt_text = edit.prompt_text;
    cfg.plot_scale = edit.plot_scale;
    cfg.object_type = edit.object_type;
    if (cfg.prompt_level) {
        cfg.level_layer = edit.level_layer;
        cfg.level_text_height = edit.level_text_height;
    }
    if (cfg.prompt_text) {
        cfg.text_layer = edit.text_layer;
        cfg.text_height = edit.text_height;
    }
    inputbgd_cfg_save();
    return status;
}

void inputbgd_level_text(const point3d_rec& point, double level)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", level);
    text_make_on_layer(point, text_height_drawn(), 1.0, 90.0, inputbgd_cfg().level_layer, text, 1);
}

int b_inputbgd()
{
    inputbgd_state_check();
    inputbgd_state& s = state();
    if (!ask_start_point()) return 1;
    for (;;) {
        acutPrintf("\nDist Unit %s Factor %.6f", s.dist_unit.c_str(), s.dist_factor);
        const bool trav = s.mode == input_mode::trav;
        const std::string prompt =
            trav
                ? "<R>ad <U>ser Factor <M>eter <L>ink <F>eet e<X>it -dd.mmss Rev Bering\nTRAV:"
                : "<T>ad <S>etting <U>ser Factor <M>eter <L>ink <F>eet e<X>it Type -dd.mmss Rev Bering\nRAD:";
        const std::string keywords = trav ? "R,I,U,M,L,F,D,X" : "T,S,I,U,M,L,F,D,X";
        std::string answer;
        const int rc = prompt_angle_dms(keywords, trav ? 8 : 9, prompt, s.bearing, answer);
        if (rc == 2) {
            if (!bearing_keyword(first_upper(answer))) return 1;
            continue;
        }
        double bearing = 0;
        if (rc != 1 || !bearing_from_answer(answer, bearing)) {
            acedAlert("Invalid input");
            continue;
        }
        s.bearing = bearing;
        if (!ask_distance()) return 1;
        draw_leg();
    }
}
