// The plan-utility menu and its dispatch table.
#include "plan_util_menu.h"

#include <cstdlib>

#include "ads.h"
#include "dialog_conventions.h"
#include "plan_tools.h"
#include "spline_polylines.h"

namespace {

// The status with which "go_btn" ends the dialog: run the chosen tool.
constexpr int kRunStatus = 2;

using tool_fn = int (*)();
// Index -> tool. Indices 4 to 8 have no list entry.
constexpr tool_fn kTools[] = {b_bscale,
                              copy_block_to_points,
                              explode_blocks,
                              change_circle_radius,
                              marker_text_attach,
                              marker_text_show,
                              spline_polylines_cmd,
                              pick_point_print,
                              check_3d};

void menu_fill(util_plan_menu_rec& menu)
{
    menu.names = {"Rescale Block and Text", "Copy Block to points", "Explode Blocks", "Change Circle Radius"};
    menu.selected = 0;
    menu.auto_run = 0;
    menu.filled = 1;
}

}  // namespace

util_plan_menu_rec& util_plan_menu()
{
    static util_plan_menu_rec menu;
    return menu;
}

int util_plan_prop_run()
{
    const int index = util_plan_menu().selected;
    if (index < 0 || index >= static_cast<int>(std::size(kTools))) return -1;
    return kTools[index]();
}

int utility_plan_prop_dlg()
{
    util_plan_menu_rec& menu = util_plan_menu();
    // The tiles edit copies: only "go_btn" keeps them.
    int index = menu.selected, auto_run = menu.auto_run;
    dialog_def def{"Utility_Plan_Prop_Dlg.dcl",
                   "utility_plan_prop_dlg",
                   {tile_popup("s_progname", index, menu.names), tile_toggle("auto_run_tg", auto_run),
                    tile_button("go_btn", kRunStatus), tile_button("exit", DLGOK),
                    tile_help("text_author", "/utiliti_menu.htm")}};
    // A remembered index that the list does not show selects nothing in it.
    def.on_open = [&](ads_hdlg dialog) {
        if (index >= static_cast<int>(menu.names.size())) ads_set_tile(dialog, "s_progname", "");
    };
    const int status = dialog_show(def);
    if (status == dialog_not_shown) return 0;
    if (status != kRunStatus) return status;
    menu.selected = index;
    menu.auto_run = auto_run;
    util_plan_prop_run();
    return DLGOK;
}

int b_util_plan_prop()
{
    util_plan_menu_rec& menu = util_plan_menu();
    if (!menu.filled) {
        menu_fill(menu);
        utility_plan_prop_dlg();
        return 0;
    }
    if (menu.auto_run == 1) {
        // A tool that the user leaves at once (an exit at its first prompt,
        // nothing selected or picked) brings the dialog back, where auto run
        // can be switched off again.
        if (util_plan_prop_run() == 0) utility_plan_prop_dlg();
        return 1;
    }
    utility_plan_prop_dlg();
    return 1;
}
