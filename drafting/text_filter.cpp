#include "text_filter.h"

#include <cstdio>

#include "dialog_conventions.h"
#include "selection_sets.h"

int text_filter_dlg(const char* file, const char* name, text_filter_rec& filter)
{
    text_filter_rec edit = filter;
    static const char* const kDisabled[] = {"height_tg", "rotation_tg", "color_tg", "style_tg",
                                            "t_height",  "t_rotation",  "t_color",  "t_style"};
    dialog_def def{file,
                   name,
                   {tile_toggle("layer_tg", edit.layer_on), tile_text("t_layer", edit.layer, 254),
                    tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    def.on_open = [](ads_hdlg dialog) {
        for (const char* key : kDisabled) ads_mode_tile(dialog, key, MODE_DISABLE);
    };
    const int status = dialog_show(def);
    if (status == DLGOK) {
        if (edit.layer.empty()) edit.layer = "*";
        filter = edit;
    }
    return status;
}

int text_filter_select(const text_filter_rec& filter, ads_name ss, long& count)
{
    if (filter.layer_on) return ss_select_type_layer("TEXT", filter.layer.c_str(), ss, count);
    return ss_select_type("TEXT", ss, count);
}

void text_select_count_show(ads_hdlg dialog, long count)
{
    char text[64];
    std::snprintf(text, sizeof text, "%ld Text Select", count);
    ads_set_tile(dialog, "select_t", text);
}
