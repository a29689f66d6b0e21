// The grid labels' settings: the distance texts with their dimension arrows,
// and the running heads (numbers or letters, a leading text, a circle). Sizes
// are at 1:1000.
pelan_grid_label_dlg : dialog {
    label = "Grid Labels";
    : edit_box { key = "scale_text"; label = "Plot scale 1: "; edit_width = 12; }
    : toggle { key = "tg_sel_mainline"; label = "Select the main line"; }
    : boxed_column {
        label = "Distances";
        : toggle { key = "tg_dist"; label = "Write the distances"; }
        : edit_box { key = "distance_layer_text"; label = "Layer :"; edit_width = 24; edit_limit = 254; }
        : edit_box { key = "textheight_dist_text"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "textwidth_dist_text"; label = "Width factor :"; edit_width = 12; }
        : popup_list { key = "unit_pop"; label = "Unit :"; width = 20; }
        : edit_box { key = "decimal_text"; label = "Decimals :"; edit_width = 4; }
        : row {
            : edit_box { key = "block_arrow_text"; label = "Arrow block :"; edit_width = 36; }
            : button { key = "block_arrow_btn"; label = "Block..."; width = 10; action = "(done_dialog 2)"; }
        }
        : edit_box { key = "block_arrow_scale_text"; label = "Arrow scale :"; edit_width = 12; }
    }
    : boxed_column {
        label = "Heads";
        : toggle { key = "tg_text_head"; label = "Write the heads"; }
        : edit_box { key = "text_head_layer_text"; label = "Layer :"; edit_width = 24; edit_limit = 254; }
        : edit_box { key = "textheight_head_text"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "textwidth_head_text"; label = "Width factor :"; edit_width = 12; }
        : row {
            : radio_button { key = "rd_start_number"; label = "Numbers from"; }
            : edit_box { key = "start_number_text"; label = ""; edit_width = 8; }
        }
        : row {
            : radio_button { key = "rd_start_text"; label = "Letters from"; }
            : edit_box { key = "start_text_text"; label = ""; edit_width = 8; }
        }
        : row {
            : toggle { key = "tg_leadingtext"; label = "Leading text"; }
            : edit_box { key = "leadingtext_text"; label = ""; edit_width = 8; }
        }
        : toggle { key = "tg_headcircle"; label = "Circle round the head"; }
        : edit_box { key = "head_circle_layer_text"; label = "Circle layer :"; edit_width = 24; edit_limit = 254; }
        : edit_box { key = "circle_radius_text"; label = "Circle radius :"; edit_width = 12; }
    }
    : button { key = "text_author"; label = "Help and updates"; }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
