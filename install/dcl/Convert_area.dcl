// Conversion of area texts: which texts (by layer), from which unit into which,
// and how the new value is written.
convert_area_dlg : dialog {
    label = "Convert Area";
    : edit_box { key = "t_cva_layer"; label = "Text layer (* for all) :"; edit_width = 24; edit_limit = 255; }
    : row {
        : popup_list { key = "s_from"; label = "From :"; edit_width = 6; }
        : popup_list { key = "s_to"; label = "To :"; edit_width = 6; }
    }
    : edit_box { key = "t_cva_sign"; label = "Suffix :"; edit_width = 10; edit_limit = 19; }
    : edit_box { key = "t_cva_dec"; label = "Decimals :"; edit_width = 4; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
