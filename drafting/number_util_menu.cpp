// The number utility's menu, its text selection and filter, and the dispatch.
#include <string>

#include "ads.h"
#include "dialog_conventions.h"
#include "level_label.h"
#include "number_util.h"

namespace {

// Statuses with which the menu's buttons end the dialog.
constexpr int kFilterStatus = 2;
constexpr int kSelectStatus = 3;
constexpr int kRunStatus = 4;
constexpr int kSettingStatus = 6;

bool select_enabled(int index)
{
    return index != 2;
}

bool setting_enabled(int index)
{
    return index == 0 || index == 2;
}

void menu_fill(number_util_rec& menu)
{
    menu.names = {"+/x Constant", "Auta Number", "Level to point 3D",
                  "Label Aras",   "Renumber",    "Convert Distance Text"};
    menu.index = 0;
    menu.auto_run = 0;
    menu.filled = 1;
}

void button_modes(ads_hdlg dialog, int index)
{
    ads_mode_tile(dialog, "select_btn", select_enabled(index) ? MODE_ENABLE : MODE_DISABLE);
    ads_mode_tile(dialog, "setting_btn", setting_enabled(index) ? MODE_ENABLE : MODE_DISABLE);
}

}  // namespace

number_util_rec& number_util()
{
    static number_util_rec menu;
    return menu;
}

number_filter_rec& number_filter()
{
    static number_filter_rec filter;
    return filter;
}

void clear_number_texts()
{
    number_util_rec& menu = number_util();
    if (menu.count > 0 || !ads_name_nil(menu.selection)) acedSSFree(menu.selection);
    ads_name_clear(menu.selection);
    menu.count = 0;
}

long select_number_texts()
{
    clear_number_texts();
    number_util_rec& menu = number_util();
    number_filter_rec& filter = number_filter();
    text_filter_select(filter, menu.selection, menu.count);
    filter = number_filter_rec{};
    return menu.count;
}

int run_number_tool(int index)
{
    switch (index) {
        case 0:
            return add_mul_number();
        case 1:
            acedAlert("Auta Number is not available.");
            clear_number_texts();
            return 1;
        case 2:
            return level_text_to_point3d();
        case 3:
            clear_number_texts();
            return b_label_input_point();
        case 4:
            return renumber_texts();
        case 5:
            return convert_distance_text();
        case 6:
            return sum_number_texts();
        case 7:
        case 8: {
            // These work on picks and typed values; a selection made for them
            // is released like any tool's.
            const int rc = index == 7 ? angle_between_points() : perimeter_error_check();
            clear_number_texts();
            return rc;
        }
        default:
            return -1;
    }
}

int number_utility_dlg()
{
    number_util_rec& menu = number_util();
    dialog_def def{"Number_Utility_Dlg.dcl",
                   "number_utility_dlg",
                   {tile_popup("s_progname", menu.index, menu.names) +
                        [&](ads_callback_packet* packet) { button_modes(packet->dialog, menu.index); },
                    tile_toggle("auto_run_tg", menu.auto_run), tile_button("p_setfilter", kFilterStatus),
                    tile_button("select_btn", kSelectStatus), tile_button("go_btn", kRunStatus),
                    tile_button("setting_btn", kSettingStatus), tile_button("exit", DLGOK),
                    tile_help("text_author", "/utiliti_menu.htm")}};
    def.on_open = [&](ads_hdlg dialog) {
        if (menu.index >= static_cast<int>(menu.names.size())) ads_set_tile(dialog, "s_progname", "");
        text_select_count_show(dialog, menu.count);
        button_modes(dialog, menu.index);
    };
    const int status = dialog_run(def, [&](int pick) {
        if (pick == kFilterStatus)
            text_filter_dlg("number_utility_Select_Filter_Dlg.dcl", "number_utility_filter_Dlg",
                            number_filter());
        if (pick == kSelectStatus) select_number_texts();
        if (pick == kRunStatus) run_number_tool(menu.index);
        if (pick == kSettingStatus && menu.index == 0) constant_number_dlg();
        if (pick == kSettingStatus && menu.index == 2) pnt_trd_set_dlg();
        return true;
    });
    return status == dialog_not_shown ? 0 : status;
}

int b_number_util()
{
    number_util_rec& menu = number_util();
    if (!menu.filled) {
        menu_fill(menu);
        number_utility_dlg();
        return 1;
    }
    if (menu.auto_run == 1) {
        // Every tool but the constant one starts from a new text selection
        // (the constant tool asks for one itself). Selecting nothing there, or
        // leaving the tool at its first question, brings the dialog back,
        // where auto run can be switched off again.
        bool left = false;
        if (menu.index != 0) left = select_number_texts() == 0;
        if (!left) left = run_number_tool(menu.index) == 0;
        if (left) number_utility_dlg();
        return 1;
    }
    number_utility_dlg();
    return 1;
}
