// The settings dialog of the area labels (find_area_dlg) and b_convert_area
// with its dialog (convert_area_dlg).
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ads.h"
#include "adsdlg.h"
#include "dialog_conventions.h"
#include "find_area.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "sysvar.h"
#include "text_modify.h"

namespace {

std::vector<std::string> unit_letters()
{
    std::vector<std::string> letters;
    for (int i = 0; i <= area_unit_last; ++i) letters.push_back(area_unit_table()[i].letter);
    return letters;
}

std::vector<std::string> lot_types()
{
    return std::vector<std::string>(lot_type_names, lot_type_names + lot_type_count);
}

void enable(ads_hdlg dialog, std::initializer_list<const char*> keys, bool on)
{
    for (const char* key : keys) ads_mode_tile(dialog, key, on ? MODE_ENABLE : MODE_DISABLE);
}

void find_area_enable_rules(ads_hdlg dialog, const find_area_cfg_rec& edit)
{
    enable(dialog, {"t_mkpctxth_b", "t_kpcdec_b", "t_mkpcsymbol_b", "s_unit_b"}, edit.second_on != 0);
    enable(dialog, {"t_x", "t_y", "t_num", "p_picktable"}, edit.table_on != 0);
}

// The remembered choices of b_convert_area while the plug-in is loaded.
struct convert_area_cfg_rec {
    int loaded = 0;
    int from = 0;
    int to = 1;
    int decimals = 3;
    std::string suffix;
    std::string layer_filter;
};

convert_area_cfg_rec& convert_area_cfg()
{
    static convert_area_cfg_rec cfg;
    return cfg;
}

// The longest leading number of an area text (an optional "-", digits and one
// "."), or false when the text does not begin with one: "LOT 12" or a note is
// no area to convert.
bool area_text_value(const std::string& text, double& value)
{
    size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits) return false;
    str_parse_real(text.substr(0, i), value);
    return true;
}

// 1 when OK was pressed.
int dlg_convert_area()
{
    convert_area_cfg_rec& cfg = convert_area_cfg();
    convert_area_cfg_rec edit = cfg;
    const std::vector<std::string> letters = unit_letters();
    dialog_def def{
        "Convert_area.dcl",
        "convert_area_dlg",
        {tile_text("t_cva_layer", edit.layer_filter, 255), tile_popup("s_from", edit.from, letters),
         tile_popup("s_to", edit.to, letters) +
             [](ads_callback_packet* packet) { ads_done_dialog(packet->dialog, 3); },
         tile_text("t_cva_sign", edit.suffix, 19), tile_decimals("t_cva_dec", edit.decimals),
         tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    const int status = dialog_run(def, [&](int pick) {
        if (pick == 3) edit.suffix = area_unit_table()[std::clamp(edit.to, 0, area_unit_last)].suffix;
        return true;
    });
    if (status != DLGOK) return 0;
    cfg = edit;
    return 1;
}

}  // namespace

int dlg_find_area(int mode)
{
    find_area_cfg_rec edit = find_area_cfg();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);
    const std::vector<std::string> letters = unit_letters();
    const std::vector<std::string> types = lot_types();
    if (mode == 2) acedAlert("Note: Gunakan Command Area sebelum PUT AREA");

    auto refill_suffix = [&](ads_hdlg dialog, int unit, std::string& suffix, const char* key) {
        suffix = area_unit_table()[std::clamp(unit, 0, area_unit_last)].suffix;
        ads_set_tile(dialog, key, suffix.c_str());
    };
    dialog_def def{"Find_area_Dlg.dcl",
                   "find_area_dlg",
                   {tile_layer("t_mkpclayer", edit.layer, 255),
                    tile_size("t_mkpcscale", edit.scale, luprec),
                    tile_real("t_mkpctxtrot", edit.rotation, 10),
                    tile_size("t_txtwidth", edit.width_factor, luprec),
                    tile_size("t_mkpctxth_a", edit.height_a, luprec),
                    tile_size("t_mkpctxth_b", edit.height_b, luprec),
                    tile_decimals("t_kpcdec_a", edit.decimals_a),
                    tile_decimals("t_kpcdec_b", edit.decimals_b),
                    tile_text("t_mkpcsymbol_a", edit.suffix_a, 19),
                    tile_text("t_mkpcsymbol_b", edit.suffix_b, 19),
                    tile_popup("s_unit_a", edit.unit_a, letters) +
                        [&](ads_callback_packet* packet) {
                            refill_suffix(packet->dialog, edit.unit_a, edit.suffix_a, "t_mkpcsymbol_a");
                        },
                    tile_popup("s_unit_b", edit.unit_b, letters) +
                        [&](ads_callback_packet* packet) {
                            refill_suffix(packet->dialog, edit.unit_b, edit.suffix_b, "t_mkpcsymbol_b");
                        },
                    tile_toggle("sec_tg", edit.second_on) +
                        [&](ads_callback_packet* packet) { find_area_enable_rules(packet->dialog, edit); },
                    tile_toggle("table_tg", edit.table_on) +
                        [&](ads_callback_packet* packet) { find_area_enable_rules(packet->dialog, edit); },
                    tile_real("t_x", edit.table_x, 3),
                    tile_real("t_y", edit.table_y, 3),
                    tile_integer("t_num", edit.table_number),
                    tile_popup("lot_type", edit.lot_type, types),
                    tile_toggle("auto_tg", edit.auto_mode),
                    tile_choice("methode_default_rb", edit.method, 0),
                    tile_choice("methode_bgd_rb", edit.method, 1),
                    tile_button("p_pickrot", 2),
                    tile_help("text_author", "/survey_menu.htm#_Find_Area"),
                    tile_button("ok", DLGOK),
                    tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "caption", mode == 2 ? "Put Area Setting" : "Find Area Setting");
        find_area_enable_rules(dialog, edit);
    };
    // Status 3 comes from the table-position button's own action in the file.
    const int status = dialog_run(def, [&](int pick) {
        if (pick == 2) {
            double bearing = 0;
            if (pick_two_points_bearing(nullptr, bearing)) edit.rotation = bearing;
        } else if (pick == 3) {
            std::string x, y;
            pick_coord_text("\nPick Table Position :", x, y);
            edit.table_x = std::atof(x.c_str());
            edit.table_y = std::atof(y.c_str());
        }
        return true;
    });
    if (status != DLGOK) return 0;
    save_find_area_cfg_file(edit);
    return 1;
}

int b_convert_area()
{
    if (!load_find_area_cfg_file()) return 0;
    convert_area_cfg_rec& cfg = convert_area_cfg();
    if (!cfg.loaded) {
        cfg = convert_area_cfg_rec{};
        cfg.loaded = 1;
        cfg.suffix = area_unit_table()[cfg.to].suffix;
        cfg.layer_filter = find_area_cfg().layer;
        if (!dlg_convert_area()) return 0;
    }
    // Decimals outside the range would round the area away ("1Ha" for 12345 m2).
    if (cfg.decimals < 0 || cfg.decimals > 10) {
        acutPrintf("\n%s Nothing is converted.\n", decimals_refused().c_str());
        return 0;
    }
    const area_unit_rec& from = area_unit_table()[std::clamp(cfg.from, 0, area_unit_last)];
    const area_unit_rec& to = area_unit_table()[std::clamp(cfg.to, 0, area_unit_last)];
    acutPrintf("\nConvert Area From %s to %s [Enter to setting]", from.name.c_str(), to.name.c_str());
    ads_name set;
    long length = 0;
    const bool any = cfg.layer_filter == "*"
                         ? ss_select_type("TEXT", set, length)
                         : ss_select_type_layer("TEXT", cfg.layer_filter.c_str(), set, length);
    if (!any || length == 0) {
        dlg_convert_area();
        return 0;
    }
    long skipped = 0;
    for (long i = 0; i < length; ++i) {
        ads_name text;
        if (acedSSName(set, i, text) != RTNORM) continue;
        resbuf* groups = acdbEntGet(text);
        const char* string = groups ? rb_get_str(groups, 1) : nullptr;
        const std::string content = string ? string : "";
        if (groups) acutRelRb(groups);
        double value = 0;
        if (!area_text_value(content, value)) {
            ++skipped;
            continue;
        }
        const double converted = convert_area_value(value, from.letter, to.letter);
        text_modify_set(1, rtos_decimal(converted, cfg.decimals) + cfg.suffix, 0, 0);
        ss_text_modify(set, i);
    }
    acedSSFree(set);
    if (skipped > 0) acutPrintf("\n%ld text(s) without a leading number left as they were.", skipped);
    return 0;
}
