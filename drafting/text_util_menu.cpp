// The text utility's menu, its selection and filter, and the style and layer
// chooser.
#include <string>

#include "ads.h"
#include "dialog_conventions.h"
#include "layers.h"
#include "text_util.h"

namespace {

constexpr int kFilterStatus = 2;
constexpr int kSelectStatus = 3;
constexpr int kRunStatus = 4;

// The operations whose texts the menu's selection gives: all but 15 and 16.
bool selection_switch(int index)
{
    return index != 15 && index != 16;
}

void menu_fill(text_util_rec& menu)
{
    menu.names = {"Calculate Text Height",
                  "Change to HURUF BESAR",
                  "Change to huruf kecil",
                  "Find",
                  "Find and Replace",
                  "Spacing",
                  "Tambah di Hadapan",
                  "Tambah di Belakang",
                  "Justify",
                  "Change Text height",
                  "Change Text Width",
                  "Change Text Oblique",
                  "Change Text Style",
                  "Change Text Layer",
                  "Match Text X",
                  "Match Text Y",
                  "Text to Table",
                  "File CVS to Table",
                  "Bering Digital shit",
                  "Lot Number & Area Digital shit"};
    menu.index = 0;
    menu.auto_run = 0;
    menu.filled = 1;
}

void button_modes(ads_hdlg dialog, int index)
{
    const short mode = selection_switch(index) ? MODE_ENABLE : MODE_DISABLE;
    ads_mode_tile(dialog, "select_btn", mode);
    ads_mode_tile(dialog, "p_setfilter", mode);
}

}  // namespace

text_util_rec& text_util()
{
    static text_util_rec menu;
    return menu;
}

bool text_operation_selects(int index)
{
    return index != 0 && selection_switch(index);
}

void clear_texts()
{
    text_util_rec& menu = text_util();
    if (!ads_name_nil(menu.selection)) acedSSFree(menu.selection);
    ads_name_clear(menu.selection);
    menu.count = 0;
}

long select_texts()
{
    clear_texts();
    text_util_rec& menu = text_util();
    text_filter_select(menu.filter, menu.selection, menu.count);
    return menu.count;
}

std::string text_utility_cgstyle_dlg(bool layers)
{
    if (layers)
        layer_table_list();
    else
        style_table_list();
    const std::vector<std::string> names = layers ? layer_name_list : style_name_list;
    int chosen = 0;
    dialog_def def{"Text_Utility_ChangeStyleDlg.dcl",
                   "text_utility_cgstyle_dlg",
                   {tile_popup("style_list", chosen, names), tile_button("ok_btn", DLGOK),
                    tile_button("cancel_btn", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "label_txt", layers ? "Select Layer" : "Select Style");
    };
    if (dialog_show(def) != DLGOK || chosen < 0 || chosen >= static_cast<int>(names.size())) return {};
    return names[chosen];
}

int text_utility_dlg()
{
    text_util_rec& menu = text_util();
    dialog_def def{"Text_Utility_Dlg.dcl",
                   "text_utility_dlg",
                   {tile_popup("s_progname", menu.index, menu.names) +
                        [&](ads_callback_packet* packet) { button_modes(packet->dialog, menu.index); },
                    tile_toggle("auto_run_tg", menu.auto_run), tile_button("p_setfilter", kFilterStatus),
                    tile_button("select_btn", kSelectStatus), tile_button("go_btn", kRunStatus),
                    tile_button("exit", DLGOK), tile_help("text_author", "/utiliti_menu.htm")}};
    def.on_open = [&](ads_hdlg dialog) {
        text_select_count_show(dialog, menu.count);
        button_modes(dialog, menu.index);
    };
    const int status = dialog_run(def, [&](int pick) {
        if (pick == kFilterStatus)
            text_filter_dlg("text_utility_Select_Filter_Dlg.dcl", "text_utility_filter_Dlg", menu.filter);
        if (pick == kSelectStatus) select_texts();
        if (pick == kRunStatus) {
            menu.running_from_dialog = 1;
            run_text_operation(menu.index);
            menu.running_from_dialog = 0;
        }
        return true;
    });
    return status == dialog_not_shown ? 0 : status;
}

int b_text_util()
{
    text_util_rec& menu = text_util();
    if (!menu.filled) {
        menu_fill(menu);
        text_utility_dlg();
        return 1;
    }
    if (menu.auto_run == 1) {
        // An operation left at once (nothing selected, an exit, "M" at the
        // height prompts) brings the dialog back, where auto run can be
        // switched off again.
        bool left = false;
        if (text_operation_selects(menu.index)) left = select_texts() == 0;
        if (!left) left = run_text_operation(menu.index) == 0;
        if (left) text_utility_dlg();
        return 1;
    }
    text_utility_dlg();
    return 1;
}
