// b_piling_pick: the eccentricity of one pile at a time from a picked pile
// cap, surveyed point and label point; its settings dialog, their storage on
// the eccentricity layer, and the over-limit tool that moves large
// eccentricities to a layer of their own.
#include <cstdlib>

#include "ads.h"
#include "constants.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "layers.h"
#include "messages.h"
#include "numbers.h"
#include "pile_ecc.h"
#include "prompts.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "PILE";
constexpr size_t kNameLimit = 254;  // names and paths under 255 characters
constexpr int kStatusPickRotation = 2;
constexpr int kStatusBlockFile = 3;
constexpr int kStatusExtra = 4;

// A stored number above 0 replaces the default; any other text keeps it.
void take_positive(const std::string& field, double& value)
{
    if (str_is_number(field) == 4 && std::strtod(field.c_str(), nullptr) > 0)
        value = std::strtod(field.c_str(), nullptr);
}

// Fields 1 to 6 of the stored list over the defaults.
void pile_pick_cfg_parse(const std::string& text, pile_pick_cfg_rec& cfg)
{
    const std::vector<std::string> fields = str_split(text, ',');
    auto field = [&](size_t n) { return n <= fields.size() ? str_trim(fields[n - 1]) : std::string(); };
    take_positive(field(1), cfg.scale);
    take_positive(field(2), cfg.text_height);
    take_positive(field(3), cfg.width_factor);
    if (str_is_number(field(4)) == 4) cfg.grid_rotation = std::strtod(field(4).c_str(), nullptr);
    if (str_is_number(field(5)) == 4) cfg.lock_layer = std::atoi(field(5).c_str());
    if (!field(6).empty()) cfg.block_file = pile_block_file(field(6));
}

// Reads the layer's name and its list; false after the alert when the
// settings layer cannot be read or made.
bool pile_pick_cfg_load(pile_pick_cfg_rec& cfg)
{
    settings_key_rec key;
    settings_key_make(key, kApp, "pile_ecc");
    std::string layer;
    if (drawing_setting_get(key, layer) != RTNORM) {
        acedAlert("Fail Creating Layer :Orvik_Survey_temp");
        return false;
    }
    cfg = pile_pick_defaults();
    cfg.layer = layer;
    std::string text;
    if (drawing_setting_read(kApp, layer.c_str(), text) == 1) pile_pick_cfg_parse(text, cfg);
    return true;
}

pile_figure_style pick_style(const pile_pick_cfg_rec& cfg)
{
    pile_figure_style style;
    style.scale = cfg.scale;
    style.text_height = cfg.text_height;
    style.width_factor = cfg.width_factor;
    style.grid_rotation = cfg.grid_rotation;
    style.layer = cfg.layer;
    style.block_file = cfg.block_file;
    return style;
}

enum class pick_answer { point, exit };

// A point, or the exit; "S" shows the settings and asks again, and any other
// text asks again.
pick_answer ask_pick(const std::string& prompt, const point3d_rec* base, point3d_rec& point)
{
    for (;;) {
        std::string text;
        const int rc = prompt_point_or_text(prompt, "", base, text, point);
        if (rc == 1) return pick_answer::point;
        if (rc != 2) return pick_answer::exit;
        const std::string word = str_upper_copy(text);
        if (word == "X") return pick_answer::exit;
        if (word == "S") piling_pick_dlg_run();
    }
}

}  // namespace

pile_pick_cfg_rec& pile_pick_cfg()
{
    static pile_pick_cfg_rec cfg;
    return cfg;
}

pile_pick_cfg_rec pile_pick_defaults()
{
    pile_pick_cfg_rec cfg;
    cfg.block_file = pile_block_default();
    return cfg;
}

std::string pile_pick_cfg_text(const pile_pick_cfg_rec& cfg)
{
    std::string text;
    comma_list_add(text, cfg.scale, 3);
    comma_list_add(text, cfg.text_height, 3);
    comma_list_add(text, cfg.width_factor, 3);
    comma_list_add(text, cfg.grid_rotation, 6);
    comma_list_add(text, cfg.lock_layer);
    comma_list_add(text, cfg.block_file);
    return text;
}

bool pile_pick_cfg_save(const pile_pick_cfg_rec& cfg)
{
    layer_ensure(cfg.layer.c_str());
    if (layer_xdata_put(ORVIK_SETTINGS_LAYER, kApp, cfg.layer.c_str(), 1) != RTNORM) {
        msg_alert_two("nFailed save cfg to layer", ORVIK_SETTINGS_LAYER);
        return false;
    }
    if (layer_xdata_put(cfg.layer.c_str(), kApp, pile_pick_cfg_text(cfg).c_str(), 1) != RTNORM) {
        msg_alert_two("nFailed save cfg to layer", cfg.layer);
        return false;
    }
    return true;
}

int piling_pick_dlg_run()
{
    pile_pick_cfg_rec& cfg = pile_pick_cfg();
    pile_pick_cfg_rec work = cfg;
    const int decimals = sysvar_luprec();
    dialog_def def{
        "Piling_pick_Dlg.dcl",
        "piling_pick_dlg",
        {tile_layer("t_layer", work.layer, kNameLimit), tile_real_positive("t_scale", work.scale, decimals),
         tile_real_positive("t_txth", work.text_height, decimals),
         tile_real_positive("t_width", work.width_factor, decimals),
         tile_text("t_blockname", work.block_file, kNameLimit), tile_toggle("lock_layer_tg", work.lock_layer),
         tile_button("pick_gridrot_btn", kStatusPickRotation), tile_button("blockname_btn", kStatusBlockFile),
         tile_button("extra_btn", kStatusExtra),
         tile_action("default_btn",
                     [&cfg](ads_callback_packet* packet) {
                         const int loaded = cfg.loaded;
                         cfg = pile_pick_defaults();
                         cfg.loaded = loaded;
                         ads_done_dialog(packet->dialog, kStatusExtra);
                     }),
         tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL),
         tile_help("text_author", "/utiliti_menu.htm")}};
    // The rotation is set by picking its bearing, never typed.
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "t_rot", rtos_decimal(work.grid_rotation, decimals).c_str());
        ads_mode_tile(dialog, "t_rot", MODE_DISABLE);
    };
    const int status = dialog_run(def, [&](int picked) {
        if (picked == kStatusPickRotation) {
            std::string bearing;
            if (pick_bearing_text(nullptr, bearing))
                work.grid_rotation = std::strtod(bearing.c_str(), nullptr);
            return true;
        }
        if (picked == kStatusBlockFile) {
            std::string path;
            if (file_dialog_dwgprefix("Select Piling Arrow", "", "dwg", 2, path)) {
                if (path.size() <= kNameLimit)
                    work.block_file = path;
                else
                    acutPrintf("\nThe path of the arrow drawing is too long (255 characters or more).");
            }
            return true;
        }
        return false;
    });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        work.loaded = cfg.loaded;
        cfg = work;
        pile_pick_cfg_save(cfg);
    }
    return status;
}

int pile_over_limit_tool()
{
    std::string layer;
    prompt_string(0, 1, "Pile Layer", pile_pick_cfg().layer, layer);
    std::string answer;
    if (prompt_int_spec("0,X,Lebih dpd", 75, answer) != 1) return 0;
    const int limit = std::atoi(answer.c_str());
    const std::string target = layer + "_" + std::to_string(limit);
    ads_name set;
    long count = 0;
    ss_select_type_layer("TEXT", layer.c_str(), set, count);
    acutPrintf("\nLayer=%s eccx=%d nsel=%d", layer.c_str(), limit, static_cast<int>(count));
    if (count == 0) {
        acutPrintf("\nNo TEXT on layer %s was selected; nothing moved.", layer.c_str());
        return 0;
    }
    if (!layer_name_valid(target.c_str(), 0)) {
        acedSSFree(set);
        return 0;
    }
    layer_ensure(target.c_str());
    int moved = 0;
    for (long i = 0; i < count; ++i) {
        std::string text;
        if (!ss_text_get_string(set, i, 1, text) || str_is_number(text) != 4) continue;
        if (std::atoi(text.c_str()) <= limit) continue;
        ent_mod_pending_rec& change = ent_mod_pending();
        change.kind = 3;
        change.code = 8;
        change.text = target;
        moved += ss_ent_mod_apply(set, i);
    }
    acedSSFree(set);
    acutPrintf("\n%d text(s) above %d moved to layer %s.", moved, limit, target.c_str());
    return 1;
}

int b_piling_pick()
{
    pile_pick_cfg_rec& cfg = pile_pick_cfg();
    if (!cfg.loaded) {
        if (!pile_pick_cfg_load(cfg)) return 0;
        const int status = piling_pick_dlg_run();
        if (status == DLGCANCEL || status == dialog_not_shown) return 0;
        if (status == kStatusExtra) {
            pile_over_limit_tool();
            return 0;
        }
        cfg.loaded = 1;
    }
    for (;;) {
        acutPrintf("\nPile Ecc version sds 1.0");
        point3d_rec cap, surveyed;
        if (ask_pick("\ne<X>it <S>etting <Pick PileCap>", nullptr, cap) == pick_answer::exit ||
            ask_pick("\ne<X>it <S>etting <Pick Survey Point>", &cap, surveyed) == pick_answer::exit) {
            acutPrintf("\nExit Thank you come again..");
            return 1;
        }
        ads_point from = {cap.x, cap.y, cap.z}, picked;
        while (acedGetPoint(from, "\nPick Location:", picked) != RTNORM) {
        }
        const pile_figure_style style = pick_style(cfg);
        std::string block;
        if (pile_block_ready(style, block))
            pile_figure_draw(style, block, cap, surveyed, point3d_rec{picked[X], picked[Y], 0});
    }
}
