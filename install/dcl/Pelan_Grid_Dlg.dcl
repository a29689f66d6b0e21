// The plan grid's settings: the layer of the ticks and texts, the plot scale,
// the grid interval, the sizes at 1:1000 and the letters' language. The frame
// is picked from here; OK waits for it.
pelan_grid_dlg : dialog {
    label = "Plan Grid";
    : edit_box { key = "layer_text"; label = "Layer :"; edit_width = 24; edit_limit = 254; }
    : edit_box { key = "scale_text"; label = "Plot scale 1: "; edit_width = 12; }
    : edit_box { key = "sela_text"; label = "Grid interval :"; edit_width = 12; }
    : boxed_column {
        label = "Ticks and texts at 1:1000";
        : edit_box { key = "textheight_text"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "textwidth_text"; label = "Width factor :"; edit_width = 12; }
        : edit_box { key = "linelength_text"; label = "Tick length :"; edit_width = 12; }
        : edit_box { key = "textspc_text"; label = "Text spacing :"; edit_width = 12; }
    }
    : popup_list { key = "language_pop"; label = "Letters :"; width = 20; }
    : button { key = "pick_grd_btn"; label = "Pick frame <"; width = 16; action = "(done_dialog 2)"; }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
