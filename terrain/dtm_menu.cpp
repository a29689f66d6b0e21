// The terrain-model menu b_dtm_main: one dialog listing the terrain tools; the
// chosen one runs. The list and the chosen position live while the plug-in is
// loaded.
#include "dtm_menu.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "adsdlg.h"
#include "dialog_conventions.h"
#include "dtm_duplicates.h"
#include "spline_polylines.h"
#include "tin_breakline.h"
#include "tin_contour.h"
#include "tin_contour_label.h"
#include "tin_generate.h"
#include "tin_records.h"

namespace {

// "Spline Contour": the polyline spline, nothing else.
void tin_spline_contour_cmd()
{
    spline_polylines_cmd();
}

struct dtm_menu_entry {
    const char* text;
    void (*tool)();
};

struct dtm_menu_rec {
    std::vector<dtm_menu_entry> entries;
    int selected = 0;
};

dtm_menu_rec& dtm_menu()
{
    static dtm_menu_rec menu{{{"Check Duplicated Points", dtm_check_duplicates},
                              {"Generate Triangulated Irregular Network (TIN)", tin_generate_cmd},
                              {"Breakline", tin_breakline_cmd},
                              {"Generate Contour", tin_contour_cmd},
                              {"Label Contour", tin_contour_label_cmd},
                              {"Spline Contour", tin_spline_contour_cmd}},
                             0};
    return menu;
}

}  // namespace

int dtm_dlg_run()
{
    dtm_menu_rec& menu = dtm_menu();
    std::string chosen = std::to_string(menu.selected);
    dialog_def def{"DTM_Dlg.dcl",
                   "DTM_dlg",
                   {tile_action("s_progname",
                                [&chosen](ads_callback_packet* packet) {
                                    if (packet->value && *packet->value) chosen = packet->value;
                                }),
                    tile_button("go_btn", 1), tile_button("exit", 0)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_start_list(dialog, "s_progname", LIST_NEW, 0);
        for (const dtm_menu_entry& entry : menu.entries) ads_add_list(entry.text);
        ads_end_list();
        ads_set_tile(dialog, "s_progname", chosen.c_str());
    };
    const int status = dialog_run(def);
    if (status != 1) return status == dialog_not_shown ? 0 : status;
    menu.selected = std::atoi(chosen.c_str());
    return 1;
}

int b_dtm_main()
{
    dtm_menu_rec& menu = dtm_menu();
    if (dtm_dlg_run() != 1) return 0;
    if (menu.selected >= 0 && menu.selected < static_cast<int>(menu.entries.size()))
        menu.entries[menu.selected].tool();
    return 0;
}
