// Height-point input: b_input_point (2D) and b_treed_point (3D).
#include "input_point.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "ads.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "messages.h"
#include "numbers.h"
#include "prompts.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "INPUTPNT";
constexpr const char* kSettingsLayer = "Orvik_survey_temp";
// The store keeps one text of at most this many characters.
constexpr size_t kStoredTextLimit = 254;

const char* const kTextLayers[] = {"ARAS-P", "ARAS-D", "ARAS-INV"};
const char* const kTypeNames[] = {"Point-P", "Point-D", "Point-INV"};

int type_index(int type)
{
    return type >= 1 && type <= 3 ? type - 1 : 0;
}

const std::string& point_layer(const inputpnt_cfg_rec& cfg, int type)
{
    if (type == 2) return cfg.layer_d;
    if (type == 3) return cfg.layer_i;
    return cfg.layer_p;
}

}  // namespace

inputpnt_cfg_rec& inputpnt_cfg()
{
    static inputpnt_cfg_rec cfg;
    return cfg;
}

inputpnt_state_rec& inputpnt_state()
{
    static inputpnt_state_rec state;
    return state;
}

void inputpnt_cfg_defaults(inputpnt_cfg_rec& cfg)
{
    const int plot_level = cfg.plot_level;
    cfg = inputpnt_cfg_rec{};
    cfg.plot_level = plot_level;
}

std::string inputpnt_cfg_text(const inputpnt_cfg_rec& cfg)
{
    std::string text;
    comma_list_add(text, cfg.scale, 3);
    comma_list_add(text, cfg.rotation, 6);
    comma_list_add(text, cfg.text_height, 3);
    comma_list_add(text, cfg.width_factor, 3);
    text += std::to_string(cfg.decimals) + ",";
    text += std::to_string(cfg.plot_level) + ",";
    text += std::to_string(cfg.level_spacing) + ",";
    text += cfg.layer_p + "," + cfg.layer_d + "," + cfg.layer_i + ",";
    return text;
}

bool inputpnt_cfg_parse(const std::string& text, inputpnt_cfg_rec& cfg)
{
    // A text without its ten fields (a stray default) would give a scale of 0
    // and layers without names.
    if (std::count(text.begin(), text.end(), ',') < 9) return false;
    std::string fields[10];
    for (int i = 0; i < 10; ++i) fields[i] = str_get_field(text, i + 1, ",");
    cfg.scale = std::atof(fields[0].c_str());
    cfg.rotation = std::atof(fields[1].c_str());
    cfg.text_height = std::atof(fields[2].c_str());
    cfg.width_factor = std::atof(fields[3].c_str());
    cfg.decimals = std::atoi(fields[4].c_str());
    cfg.plot_level = std::atoi(fields[5].c_str());
    cfg.level_spacing = std::atoi(fields[6].c_str());
    cfg.layer_p = fields[7];
    cfg.layer_d = fields[8];
    cfg.layer_i = fields[9];
    return true;
}

int inputpnt_cfg_save()
{
    const std::string text = inputpnt_cfg_text(inputpnt_cfg());
    int rc = RTERROR;
    if (text.size() <= kStoredTextLimit) rc = layer_xdata_put(kSettingsLayer, kApp, text.c_str(), 1);
    if (rc != RTNORM) msg_alert_two("nFailed save cfg to layer", kSettingsLayer);
    return rc;
}

int input_point_dlg()
{
    inputpnt_cfg_rec& cfg = inputpnt_cfg();
    const int mode = inputpnt_state().mode;
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);

    // The dialog edits texts; OK turns them into the settings.
    std::string scale = rtos_decimal(cfg.scale, luprec);
    std::string height = rtos_decimal(cfg.text_height, luprec);
    std::string width = rtos_decimal(cfg.width_factor, luprec);
    std::string rotation = rtos_decimal(cfg.rotation, 8);
    std::string decimals = std::to_string(cfg.decimals);
    std::string spacing = std::to_string(cfg.level_spacing);
    std::string plot = std::to_string(cfg.plot_level);
    std::string layer_p = cfg.layer_p, layer_d = cfg.layer_d, layer_i = cfg.layer_i;

    static const char* const kTextTiles[] = {"t_scale",   "t_txth",       "t_width",      "t_rot",
                                             "t_decimal", "level_spc_tg", "pick_text_btn"};
    auto text_tiles_mode = [&](ads_hdlg dialog) {
        const short tile_mode = std::atoi(plot.c_str()) == 1 ? MODE_ENABLE : MODE_DISABLE;
        for (const char* key : kTextTiles) ads_mode_tile(dialog, key, tile_mode);
    };

    dialog_def def{"Input_point_Dlg.dcl",
                   "input_point_dlg",
                   {tile_layer("t_pnt_p_layer", layer_p, 254), tile_layer("t_pnt_d_layer", layer_d, 254),
                    tile_layer("t_pnt_i_layer", layer_i, 254),
                    tile_text("plot_level_tg", plot) +
                        [&](ads_callback_packet* packet) { text_tiles_mode(packet->dialog); },
                    tile_size_text("t_scale", scale, luprec), tile_size_text("t_txth", height, luprec),
                    tile_size_text("t_width", width, luprec), tile_text("t_rot", rotation),
                    tile_decimals_text("t_decimal", decimals), tile_text("level_spc_tg", spacing),
                    tile_button("pick_text_btn", 2), tile_help("text_author", "/input_menu.htm"),
                    tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "caption", mode == 1 ? "Input Point 3D setting" : "Input Point 2D setting");
        text_tiles_mode(dialog);
    };
    const int status = dialog_run(def, [&](int pick) {
        if (pick == 2) {
            std::string bearing;
            if (pick_bearing_text(nullptr, bearing)) rotation = bearing;
        }
        return true;
    });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        cfg.scale = std::atof(scale.c_str());
        cfg.text_height = std::atof(height.c_str());
        cfg.width_factor = std::atof(width.c_str());
        cfg.rotation = std::atof(rotation.c_str());
        cfg.decimals = std::atoi(decimals.c_str());
        cfg.level_spacing = std::atoi(spacing.c_str());
        cfg.plot_level = std::atoi(plot.c_str());
        cfg.layer_p = layer_p;
        cfg.layer_d = layer_d;
        cfg.layer_i = layer_i;
        inputpnt_cfg_save();
    }
    return status;
}

void input_point_place(point3d_rec point)
{
    const inputpnt_cfg_rec& cfg = inputpnt_cfg();
    inputpnt_state_rec& state = inputpnt_state();
    std::string level_text;
    if (cfg.plot_level == 1 || state.mode == 1) {
        const double height = prompt_real_default("\nEnter Height", state.prev_level, cfg.decimals);
        state.prev_level = height;
        level_text = cfg.level_spacing == 1 ? real_split_text(height, cfg.decimals)
                                            : rtos_decimal(height, cfg.decimals);
        if (state.type == 3) level_text += "iL";
        if (state.mode == 1) point.z = height;
    }
    point_make(point, point_layer(cfg, state.type));
    if (cfg.plot_level == 1) {
        point.z = 0.0;
        text_make_justified(4, point, cfg.text_height * cfg.scale * 0.001, cfg.width_factor, cfg.rotation,
                            kTextLayers[type_index(state.type)], level_text, 1);
    }
}

int b_input_point(int mode)
{
    inputpnt_state_rec& state = inputpnt_state();
    state.mode = mode;
    dwg_path_track(state.loaded, state.dwg_path);
    if (!state.loaded) {
        inputpnt_cfg_rec& cfg = inputpnt_cfg();
        settings_key_rec key;
        settings_key_make(key, kApp, "aa");
        std::string stored;
        if (drawing_setting_find(key, stored) != 1 || !inputpnt_cfg_parse(stored, cfg))
            inputpnt_cfg_defaults(cfg);
        if (input_point_dlg() == 0) return 0;
        state.type = 1;
        state.prev_level = 0.0;
        state.loaded = 1;
    }
    for (;;) {
        acutPrintf("\nCurrent Type :%s Prev Level :%.3f", kTypeNames[type_index(state.type)],
                   state.prev_level);
        std::string text;
        point3d_rec point;
        const int rc =
            prompt_point_or_text("\n<S>etting e<X>it <P> <D> <I> <Pick Point>", "", nullptr, text, point);
        if (rc == 1) {
            input_point_place(point);
        } else if (rc == 2) {
            const std::string answer = str_upper_copy(text);
            if (answer == "X") return 0;
            if (answer == "P")
                state.type = 1;
            else if (answer == "D")
                state.type = 2;
            else if (answer == "I")
                state.type = 3;
            else if (answer == "S")
                input_point_dlg();
        } else {
            return 0;  // the input could not be read at all
        }
    }
}
