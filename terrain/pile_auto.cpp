// b_pile_auto: the eccentricity of every proposed pile of a site. Proposed
// piles (POINTs or CIRCLE centres) and surveyed POINTs are collected from their
// layers in the dialog; each pile is matched to its nearest surveyed point
// within the match limit through the nearest-point index, a surveyed point
// shared by several piles stays with the nearest of them, and every matched
// pair gets the eccentricity figure with texts tagged "PILE_AUTO_DAT".
#include <strings.h>

#include <cstdlib>

#include "ads.h"
#include "constants.h"
#include "dialog_conventions.h"
#include "entity_readers.h"
#include "geometry.h"
#include "layers.h"
#include "messages.h"
#include "nearest_index.h"
#include "numbers.h"
#include "pile_ecc.h"
#include "prompts.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "PILE_AUTO";
constexpr const char* kTagApp = "PILE_AUTO_DAT";
constexpr int kEntryCount = 10;
constexpr int kStatusBlockFile = 2;
constexpr int kStatusPickRotation = 3;
constexpr int kStatusProposedLayer = 4;
constexpr int kStatusSelectProposed = 5;
constexpr int kStatusSurveyedLayer = 6;
constexpr int kStatusSelectSurveyed = 7;

std::string selected_text(size_t count)
{
    return std::to_string(count) + " object selected";
}

// The layer chosen in piling_auto_select_layer_dlg; false when none was.
bool pick_layer(std::string& layer)
{
    layer_table_list();
    const std::vector<std::string> names = layer_name_list;
    int chosen = 0;
    dialog_def def{"Pilling_auto_Select_Layer.dcl",
                   "piling_auto_select_layer_dlg",
                   {tile_popup("listbox_layer", chosen, names), tile_button("btn_ok", DLGOK),
                    tile_button("btn_cancel", DLGCANCEL)}};
    if (dialog_run(def) != DLGOK) return false;
    if (chosen < 0 || chosen >= static_cast<int>(names.size())) {
        acutPrintf("\nNo layer was chosen.");
        return false;
    }
    layer = names[static_cast<size_t>(chosen)];
    return true;
}

// Empties the list, then appends the plan position of every selected entity of
// the type on the layer (POINT locations, CIRCLE centres).
void collect_points(const std::string& type, const std::string& layer, numbered_point_list& out)
{
    out.clear();
    if (type != "POINT" && type != "CIRCLE") {
        acutPrintf("\nThe object type %s collects nothing; choose POINT or CIRCLE.", type.c_str());
        return;
    }
    ads_name set;
    long count = 0;
    if (!ss_select_type_layer(type.c_str(), layer.c_str(), set, count) || count == 0) {
        acutPrintf("\nNo %s on layer %s was selected.", type.c_str(), layer.c_str());
        return;
    }
    out.reserve(static_cast<size_t>(count));
    for (long i = 0; i < count; ++i) {
        point3d_rec at;
        if (ss_point_group_get(set, i, 10, at)) numbered_point_push(out, -1, point3d_rec{at.x, at.y, 0});
    }
    acedSSFree(set);
}

pile_figure_style auto_style(const pile_auto_rec& cfg)
{
    pile_figure_style style;
    style.scale = cfg.scale;
    style.text_height = cfg.text_height;
    style.width_factor = cfg.width_factor;
    style.grid_rotation = cfg.grid_rotation;
    style.layer = cfg.ecc_layer;
    style.block_file = cfg.block_file;
    style.tag_texts = true;
    return style;
}

bool pile_auto_first_use(pile_auto_rec& cfg)
{
    cfg = pile_auto_defaults();
    regapp_register(kApp);
    regapp_register(kTagApp);
    settings_key_rec key;
    settings_key_make(key, kApp, "INDEX=1");
    std::string stored;
    if (drawing_setting_get(key, stored) != RTNORM) {
        acedAlert("Fail Creating Layer :Orvik_Survey_temp");
        return false;
    }
    std::vector<key_string_rec> list;
    if (drawing_setting_read_list(kApp, ORVIK_SETTINGS_LAYER, list) == 1) {
        std::vector<std::string> entries;
        for (const key_string_rec& entry : list) entries.push_back(entry.text);
        pile_auto_cfg_read(entries, cfg);
    }
    cfg.loaded = 1;
    return true;
}

void pile_auto_cfg_save(const pile_auto_rec& cfg)
{
    std::vector<key_string_rec> list;
    for (const std::string& entry : pile_auto_cfg_entries(cfg)) key_string_push(list, 0, entry.c_str());
    if (layer_xdata_save_list(ORVIK_SETTINGS_LAYER, kApp, 1, list) != 1)
        acutPrintf("\nFailed save cfg to layer %s", ORVIK_SETTINGS_LAYER);
}

std::string xy_text(const point3d_rec& p)
{
    return rtos_decimal(p.x, 3) + "," + rtos_decimal(p.y, 3);
}

}  // namespace

pile_auto_rec& pile_auto()
{
    static pile_auto_rec cfg;
    return cfg;
}

pile_auto_rec pile_auto_defaults()
{
    pile_auto_rec cfg;
    cfg.block_file = pile_block_default();
    return cfg;
}

std::vector<std::string> pile_auto_cfg_entries(const pile_auto_rec& cfg)
{
    return {"INDEX=" + std::to_string(kEntryCount),
            "PILE_ECC_LAYER=" + cfg.ecc_layer,
            "PROPOSED_LAYER=" + cfg.proposed_layer,
            "SURVEYED_LAYER=" + cfg.surveyed_layer,
            "PILE_BLOCK=" + cfg.block_file,
            "SCALE=" + rtos_decimal(cfg.scale, 3),
            "TEXT_HEIGHT=" + rtos_decimal(cfg.text_height, 3),
            "TEXT_WIDTH=" + rtos_decimal(cfg.width_factor, 3),
            "GRID_ROT=" + rtos_decimal(cfg.grid_rotation, 3),
            "OBJECT_POSITION=" + std::to_string(cfg.object_position)};
}

void pile_auto_cfg_read(const std::vector<std::string>& entries, pile_auto_rec& cfg)
{
    if (entries.empty()) return;
    const std::string& first = entries[0];
    const size_t equals = first.find('=');
    const int count = equals == std::string::npos ? 0 : std::atoi(first.c_str() + equals + 1);
    for (int i = 1; i < count && i < static_cast<int>(entries.size()); ++i) {
        const std::string& entry = entries[static_cast<size_t>(i)];
        const size_t at = entry.find('=');
        if (at == std::string::npos) continue;
        const std::string key = entry.substr(0, at), value = entry.substr(at + 1);
        auto is = [&](const char* name) { return strcasecmp(key.c_str(), name) == 0; };
        const bool number = str_is_number(value) == 4;
        const double real = std::strtod(value.c_str(), nullptr);
        if (is("PILE_ECC_LAYER") && !value.empty()) cfg.ecc_layer = value;
        if (is("PROPOSED_LAYER") && !value.empty()) cfg.proposed_layer = value;
        if (is("SURVEYED_LAYER") && !value.empty()) cfg.surveyed_layer = value;
        if (is("PILE_BLOCK") && !value.empty()) cfg.block_file = pile_block_file(value);
        if (is("SCALE") && number && real > 0) cfg.scale = real;
        if (is("TEXT_HEIGHT") && number && real > 0) cfg.text_height = real;
        if (is("TEXT_WIDTH") && number && real > 0) cfg.width_factor = real;
        if (is("GRID_ROT") && number) cfg.grid_rotation = real;
        if (is("OBJECT_POSITION") && number) {
            const int position = std::atoi(value.c_str());
            if (position >= 0 && position < static_cast<int>(cfg.object_types.size()))
                cfg.object_position = position;
        }
    }
}

pile_match_result pile_auto_match(numbered_point_list& proposed, const numbered_point_list& surveyed)
{
    pile_match_result result;
    nearest_index_ctl(0, 0, 0);
    for (const numbered_point& s : surveyed) nearest_index_ctl(s.point.x, s.point.y, 1);
    nearest_index_ctl(0, 0, 2);
    nearest_set_radius(kPileMatchLimit);
    for (numbered_point& pile : proposed)
        pile.number = nearest_find_point_within(pile.point, kPileMatchLimit);

    // The pile that keeps each surveyed point: the nearest, and of equally near
    // ones the later in the list.
    std::vector<int> keeper(surveyed.size(), -1);
    auto distance = [&](size_t pile) {
        return dist_2d(proposed[pile].point, surveyed[static_cast<size_t>(proposed[pile].number)].point);
    };
    for (size_t i = 0; i < proposed.size(); ++i) {
        if (proposed[i].number < 0) continue;
        int& kept = keeper[static_cast<size_t>(proposed[i].number)];
        if (kept < 0 || distance(i) <= distance(static_cast<size_t>(kept))) kept = static_cast<int>(i);
    }
    for (size_t i = 0; i < proposed.size(); ++i) {
        const point3d_rec& at = proposed[i].point;
        if (proposed[i].number < 0) {
            acutPrintf("\nPile %d at %s has no surveyed point within %s; it is not labelled.",
                       static_cast<int>(i + 1), xy_text(at).c_str(),
                       rtos_decimal(kPileMatchLimit, 3).c_str());
            ++result.unmatched;
            continue;
        }
        const int kept = keeper[static_cast<size_t>(proposed[i].number)];
        if (kept == static_cast<int>(i)) {
            ++result.labelled;
            continue;
        }
        acutPrintf(
            "\nPile %d at %s: its nearest surveyed point %s is kept by pile %d, nearer to it; it is not "
            "labelled.",
            static_cast<int>(i + 1), xy_text(at).c_str(),
            xy_text(surveyed[static_cast<size_t>(proposed[i].number)].point).c_str(), kept + 1);
        proposed[i].number = -1;
        ++result.lost;
    }
    return result;
}

int piling_auto_dlg_run()
{
    pile_auto_rec& cfg = pile_auto();
    pile_auto_rec work = cfg;
    std::string proposed_shown = selected_text(work.proposed.size());
    std::string surveyed_shown = selected_text(work.surveyed.size());
    dialog_def def{
        "Piling_auto_Dlg.dcl",
        "piling_auto_dlg",
        {tile_real_positive("text_scale", work.scale, 3),
         tile_real_positive("text_txth", work.text_height, 3),
         tile_real_positive("text_width", work.width_factor, 3), tile_layer("text_layer_ecc", work.ecc_layer),
         tile_layer("text_proposed_obj_layer", work.proposed_layer),
         tile_layer("text_surveyed_pnt_layer", work.surveyed_layer),
         tile_popup("pop_object_type", work.object_position, work.object_types),
         tile_button("btn_blockname", kStatusBlockFile), tile_button("btn_pick_gridrot", kStatusPickRotation),
         tile_button("btn_object_layer", kStatusProposedLayer),
         tile_button("btn_select_proposed", kStatusSelectProposed),
         tile_button("btn_point_layer", kStatusSurveyedLayer),
         tile_button("btn_select_surveyed", kStatusSelectSurveyed), tile_button("btn_ok", DLGOK),
         tile_button("btn_cancel", DLGCANCEL)}};
    // The rotation and the block drawing are set by their buttons, never typed;
    // OK waits for both collections.
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "text_grid_rot", rtos_decimal(work.grid_rotation, 6).c_str());
        ads_set_tile(dialog, "text_blockname", work.block_file.c_str());
        ads_mode_tile(dialog, "text_grid_rot", MODE_DISABLE);
        ads_mode_tile(dialog, "text_blockname", MODE_DISABLE);
        ads_set_tile(dialog, "text_proposed_obj_selected", proposed_shown.c_str());
        ads_set_tile(dialog, "text_surveyed_obj_selected", surveyed_shown.c_str());
        const bool ready = !work.proposed.empty() && !work.surveyed.empty();
        ads_mode_tile(dialog, "btn_ok", ready ? MODE_ENABLE : MODE_DISABLE);
    };
    const int status = dialog_run(def, [&](int picked) {
        std::string text;
        switch (picked) {
            case kStatusBlockFile:
                if (file_dialog_dwgprefix("Select Piling Arrow", "", "dwg", 2, text)) work.block_file = text;
                break;
            case kStatusPickRotation:
                if (pick_bearing_text(nullptr, text)) work.grid_rotation = std::strtod(text.c_str(), nullptr);
                break;
            case kStatusProposedLayer:
                pick_layer(work.proposed_layer);
                break;
            case kStatusSurveyedLayer:
                pick_layer(work.surveyed_layer);
                break;
            case kStatusSelectProposed:
                collect_points(work.object_types[static_cast<size_t>(work.object_position)],
                               work.proposed_layer, work.proposed);
                proposed_shown = selected_text(work.proposed.size());
                break;
            case kStatusSelectSurveyed:
                collect_points("POINT", work.surveyed_layer, work.surveyed);
                surveyed_shown = selected_text(work.surveyed.size());
                break;
            default:
                return false;
        }
        return true;
    });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        cfg = work;
        pile_auto_cfg_save(cfg);
    }
    return status;
}

int b_pile_auto()
{
    pile_auto_rec& cfg = pile_auto();
    if (!cfg.loaded && !pile_auto_first_use(cfg)) return 0;
    cfg.proposed.clear();
    cfg.surveyed.clear();
    if (piling_auto_dlg_run() != DLGOK) return 0;
    // OK waits for both collections, so the index always has points.
    const pile_match_result result = pile_auto_match(cfg.proposed, cfg.surveyed);
    acutPrintf(
        "\n%d pile(s) labelled, %d without a surveyed point within %s, %d whose surveyed point a nearer "
        "pile kept.",
        result.labelled, result.unmatched, rtos_decimal(kPileMatchLimit, 3).c_str(), result.lost);
    const pile_figure_style style = auto_style(cfg);
    std::string block;
    if (result.labelled > 0 && pile_block_ready(style, block)) {
        for (const numbered_point& pile : cfg.proposed) {
            if (pile.number < 0) continue;
            pile_figure_draw(style, block, pile.point, cfg.surveyed[static_cast<size_t>(pile.number)].point,
                             pile.point);
        }
    }
    cfg.proposed.clear();
    cfg.surveyed.clear();
    return 1;
}
