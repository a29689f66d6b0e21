// Level labels of POINTs: b_label_input_point.
#include "level_label.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>

#include "ads.h"
#include "dialog_conventions.h"
#include "drafting_settings.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "numbers.h"
#include "prompts.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "LABELARAS";

}  // namespace

label_aras_cfg_rec& label_aras_cfg()
{
    static label_aras_cfg_rec cfg;
    return cfg;
}

label_aras_state_rec& label_aras_state()
{
    static label_aras_state_rec state;
    return state;
}

std::string label_aras_cfg_text(const label_aras_cfg_rec& cfg)
{
    std::string text;
    comma_list_add(text, cfg.scale, 3);
    comma_list_add(text, cfg.rotation, 6);
    comma_list_add(text, cfg.text_height, 3);
    comma_list_add(text, cfg.width_factor, 3);
    comma_list_add(text, cfg.decimals);
    comma_list_add(text, cfg.level_spacing);
    return text + std::to_string(cfg.point_layer);
}

bool label_aras_cfg_parse(const std::string& text, label_aras_cfg_rec& cfg)
{
    // A stray default text ("aa") would give a scale of 0.
    if (std::count(text.begin(), text.end(), ',') < 6) return false;
    auto field = [&](int n) { return str_get_field(text, n, ","); };
    cfg.scale = std::atof(field(1).c_str());
    cfg.rotation = std::atof(field(2).c_str());
    cfg.text_height = std::atof(field(3).c_str());
    cfg.width_factor = std::atof(field(4).c_str());
    cfg.decimals = std::atoi(field(5).c_str());
    cfg.level_spacing = std::atoi(field(6).c_str());
    cfg.point_layer = std::atoi(field(7).c_str());
    return true;
}

int label_aras_cfg_save()
{
    return drafting_settings_store(kApp, label_aras_cfg_text(label_aras_cfg()));
}

int label_aras_dlg()
{
    label_aras_cfg_rec& cfg = label_aras_cfg();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);

    // The dialog edits copies; OK makes them the settings.
    std::string scale = rtos_decimal(cfg.scale, luprec);
    std::string height = rtos_decimal(cfg.text_height, luprec);
    std::string width = rtos_decimal(cfg.width_factor, luprec);
    std::string rotation = rtos_decimal(cfg.rotation, 6);
    int decimals = cfg.decimals, spacing = cfg.level_spacing, point_layer = cfg.point_layer;

    dialog_def def;
    def.file = "label_aras_Dlg.dcl";
    def.name = "label_aras_dlg";
    def.tiles = {tile_size_text("t_scale", scale, luprec),
                 tile_size_text("t_txth", height, luprec),
                 tile_size_text("t_width", width, luprec),
                 tile_decimals("t_decimal", decimals),
                 tile_number_text("t_rot", rotation, 6) +
                     [&](ads_callback_packet* packet) {
                         ads_set_tile(packet->dialog, "pick_text_btn", rotation.c_str());
                     },
                 tile_toggle("level_spc_tg", spacing),
                 tile_toggle("level_pntlayer_tg", point_layer),
                 tile_button("pick_text_btn", 2),
                 tile_help("text_author", "/input_menu.htm#_Label_Aras"),
                 tile_button("ok", DLGOK),
                 tile_button("cancel", DLGCANCEL)};
    // The pick button's label shows the rotation.
    def.on_open = [&](ads_hdlg dialog) { ads_set_tile(dialog, "pick_text_btn", rotation.c_str()); };
    const int status = dialog_run(def, [&](int pick) {
        std::string bearing;
        if (pick == 2 && pick_bearing_text(nullptr, bearing)) rotation = bearing;
        return true;
    });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        cfg.scale = std::atof(scale.c_str());
        cfg.text_height = std::atof(height.c_str());
        cfg.width_factor = std::atof(width.c_str());
        cfg.rotation = std::atof(rotation.c_str());
        cfg.decimals = decimals;
        cfg.level_spacing = spacing;
        cfg.point_layer = point_layer;
        label_aras_cfg_save();
    }
    return status;
}

void label_aras_text(const point3d_rec& point, const std::string& point_layer)
{
    const label_aras_cfg_rec& cfg = label_aras_cfg();
    std::string text =
        cfg.level_spacing == 1 ? real_split_text(point.z, cfg.decimals) : rtos_decimal(point.z, cfg.decimals);
    // Only the two fixed point layers count, whatever the input-point settings name.
    std::string layer = "ARAS-P";
    if (strcasecmp(point_layer.c_str(), "POINT-D") == 0) {
        layer = "ARAS-D";
    } else if (strcasecmp(point_layer.c_str(), "POINT-INV") == 0) {
        layer = "ARAS-INV";
        text += "iL";
    }
    if (cfg.point_layer == 1) layer = point_layer;
    text_make_justified(4, point, cfg.text_height * cfg.scale * 0.001, cfg.width_factor, cfg.rotation, layer,
                        text, 1);
}

int b_label_input_point()
{
    label_aras_state_rec& state = label_aras_state();
    dwg_path_track(state.loaded, state.dwg_path);
    if (!state.loaded) {
        settings_key_rec key;
        settings_key_make(key, kApp, "aa");
        std::string stored;
        label_aras_cfg_rec& cfg = label_aras_cfg();
        if (drawing_setting_find(key, stored) != 1 || !label_aras_cfg_parse(stored, cfg))
            cfg = label_aras_cfg_rec{};
        if (label_aras_dlg() != DLGOK) return 0;
        state.loaded = 1;
    }
    for (;;) {
        ads_name set;
        long length = 0;
        if (!ss_select_type("POINT", set, length)) return 1;
        for (long i = 0; i < length; ++i) {
            if (!ss_point_get(set, i, 0)) continue;
            label_aras_text(point_read.location, point_read.layer);
        }
        acedSSFree(set);
    }
}
