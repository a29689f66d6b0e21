// Coordinate labels: b_label_coord.
#include "coord_label.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "ads.h"
#include "angles.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "geometry.h"
#include "numbers.h"
#include "prompts.h"
#include "selection_sets.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

struct direction_letters {
    const char* north;
    const char* south;
    const char* east;
    const char* west;
};
constexpr direction_letters kMalay{"U", "S", "T", "B"};
constexpr direction_letters kEnglish{"N", "S", "E", "W"};

const direction_letters& letters_of(int language)
{
    return language == 1 ? kEnglish : kMalay;
}

// Letter, one blank, the value; with absolute on, the unsigned value and the
// letter of the side it lies on.
std::string axis_text(const label_coord_cfg_rec& cfg, double value, const char* positive,
                      const char* negative)
{
    const char* letter = positive;
    if (cfg.absolute == 1) {
        if (value < 0) letter = negative;
        value = std::fabs(value);
    }
    return std::string(letter) + " " + rtos_decimal(value, cfg.decimals);
}

}  // namespace

label_coord_cfg_rec& label_coord_cfg()
{
    static label_coord_cfg_rec cfg;
    return cfg;
}

label_coord_state_rec& label_coord_state()
{
    static label_coord_state_rec state;
    return state;
}

void label_coord_texts(const label_coord_cfg_rec& cfg, const point3d_rec& point, std::string& north,
                       std::string& east)
{
    const direction_letters& letters = letters_of(cfg.language);
    north = axis_text(cfg, point.y, letters.north, letters.south);
    east = axis_text(cfg, point.x, letters.east, letters.west);
}

void label_coord_text(const point3d_rec& point)
{
    const label_coord_cfg_rec& cfg = label_coord_cfg();
    const double h = cfg.text_height * cfg.scale * 0.001;
    std::string north, east;
    label_coord_texts(cfg, point, north, east);
    text_make_on_layer(point, h, cfg.width_factor, cfg.rotation, cfg.layer, north, 1);
    // The east line one and a half text heights below the north line.
    point3d_rec second;
    polar_point(angle_add(cfg.rotation, 90.0), 1.5 * h, point, second);
    text_make_on_layer(second, h, cfg.width_factor, cfg.rotation, cfg.layer, east, 1);
}

int labelcoord_dlg()
{
    label_coord_cfg_rec& cfg = label_coord_cfg();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);
    static const std::vector<std::string> kLanguages = {"Malay", "English"};

    // The dialog edits a copy; OK makes it the settings.
    label_coord_cfg_rec edit = cfg;
    dialog_def def;
    def.file = "LabelCoord_Dlg.dcl";
    def.name = "labelcoord_dlg";
    def.tiles = {tile_layer("coordlayer_text", edit.layer, 254),
                 tile_real("rotation_text", edit.rotation, luprec),
                 tile_size("scale_text", edit.scale, luprec),
                 tile_size("textheight_text", edit.text_height, luprec),
                 tile_size("textwidth_text", edit.width_factor, luprec),
                 tile_decimals("decimal_text", edit.decimals),
                 tile_toggle("abs_coord_tg", edit.absolute),
                 tile_popup("language_pop", edit.language, kLanguages),
                 tile_toggle("select_point_tg", edit.select_point),
                 tile_button("pick_text_btn", 2),
                 tile_button("ok", DLGOK),
                 tile_button("cancel", DLGCANCEL)};
    const int status = dialog_run(def, [&](int pick) {
        std::string bearing;
        if (pick == 2 && pick_bearing_text(nullptr, bearing)) edit.rotation = std::atof(bearing.c_str());
        return true;
    });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) cfg = edit;
    return status;
}

int b_label_coord()
{
    label_coord_state_rec& state = label_coord_state();
    if (!state.set) {
        label_coord_cfg() = label_coord_cfg_rec{};
        if (labelcoord_dlg() != DLGOK) return 0;
        state.set = 1;
    }
    const label_coord_cfg_rec& cfg = label_coord_cfg();
    if (cfg.select_point == 1) {
        ads_name set;
        long length = 0;
        if (!ss_select_type("POINT", set, length)) return 0;
        for (long i = 0; i < length; ++i) {
            point3d_rec point;
            if (ss_point_group_get(set, i, 10, point)) label_coord_text(point);
        }
        acedSSFree(set);
        return 0;
    }
    for (;;) {
        acutPrintf("\nLabel Coord version cpp 1.0");
        acutPrintf("\n%s Plot Scale 1:%.3f Dec:%i Rot:%.4f TxtH:%.1f W:%.1f Layer:%s",
                   cfg.language == 1 ? "English" : "Malay", cfg.scale, cfg.decimals, cfg.rotation,
                   cfg.text_height, cfg.width_factor, cfg.layer.c_str());
        std::string text;
        point3d_rec point;
        const int rc = prompt_point_or_text("\n<S>etting e<X>it <Pick Point>", "", nullptr, text, point);
        if (rc == 1) {
            label_coord_text(point);
        } else if (rc == 2) {
            const std::string answer = str_upper_copy(text);
            if (answer == "X") return 0;
            if (answer == "S") labelcoord_dlg();
        } else {
            return 0;
        }
    }
}
