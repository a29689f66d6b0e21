// Renumbering the selected texts: start value, step, decimals and the order in
// which the texts are numbered.
update_text_dlg : dialog {
    label = "Renumber";
    : edit_box { key = "t_upd_text"; label = "Start :"; edit_width = 14; }
    : edit_box { key = "t_upd_step"; label = "Step :"; edit_width = 14; }
    : edit_box { key = "t_upd_decimal"; label = "Decimals :"; edit_width = 4; }
    : boxed_radio_column {
        label = "Order";
        : radio_button { key = "left_rb"; label = "Left to right"; }
        : radio_button { key = "right_rb"; label = "Right to left"; }
        : radio_button { key = "top_rb"; label = "Top down"; }
        : radio_button { key = "bottom_rb"; label = "Bottom up"; }
    }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
