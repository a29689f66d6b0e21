// Settings of the coordinate labels: layer, size, rotation, decimals, signed or
// side-lettered values, the letters' language, and picked points or POINTs.
labelcoord_dlg : dialog {
    label = "Label Coordinate";
    : edit_box { key = "coordlayer_text"; label = "Layer :"; edit_width = 24; edit_limit = 254; }
    : boxed_column {
        label = "Text";
        : edit_box { key = "scale_text"; label = "Plot scale 1: "; edit_width = 12; }
        : edit_box { key = "textheight_text"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "textwidth_text"; label = "Width factor :"; edit_width = 12; }
        : row {
            : edit_box { key = "rotation_text"; label = "Rotation :"; edit_width = 14; }
            : button { key = "pick_text_btn"; label = "Pick <"; width = 8; action = "(done_dialog 2)"; }
        }
        : edit_box { key = "decimal_text"; label = "Decimals :"; edit_width = 4; }
    }
    : popup_list { key = "language_pop"; label = "Letters :"; width = 20; }
    : toggle { key = "abs_coord_tg"; label = "Unsigned values with the side letter"; }
    : toggle { key = "select_point_tg"; label = "Label selected POINTs"; }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
