// The traverse command's dialogs.
#include "trav_plot.h"

#include "adsdlg.h"
#include "dialog_conventions.h"
#include "trav_settings.h"

int trav_setting_dlg()
{
    trav_settings_rec& settings = trav_settings();
    // The dialog works on copies, so that "cancel" leaves the settings alone.
    double text_height = settings.text_height;
    int trav_colour = settings.trav_colour;
    int rad_colour = settings.rad_colour;
    int level_prompt = settings.level_prompt ? 1 : 0;
    int code_prompt = settings.code_prompt ? 1 : 0;
    dialog_def def{"Trav_Setting_DlgNew.dcl",
                   "trav_setting_dlg",
                   {tile_real("t_txth", text_height, 3), tile_integer("t_travlightcolor", trav_colour),
                    tile_toggle("tg_promplevel", level_prompt), tile_toggle("tq_prompcode", code_prompt),
                    tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "t_radlightcolor", std::to_string(rad_colour).c_str());
        for (const char* key : {"rb_light", "rb_line", "tg_irad", "t_scale"})
            ads_mode_tile(dialog, key, MODE_DISABLE);
    };
    const int status = dialog_run(def, [](int) { return true; });
    if (status != DLGOK) return status;
    settings.text_height = text_height;
    settings.trav_colour = trav_colour;
    settings.level_prompt = level_prompt != 0;
    settings.code_prompt = code_prompt != 0;
    return status;
}
