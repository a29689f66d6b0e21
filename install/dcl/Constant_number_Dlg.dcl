// Add or multiply numeric texts by a constant, within optional limits.
constant_number_dlg : dialog {
    label = "+/x Constant";
    : popup_list { key = "constant_type_pop"; label = "Type :"; width = 20; }
    : edit_box { key = "const_value_t"; label = "Constant :"; edit_width = 14; }
    : edit_box { key = "decimal_t"; label = "Decimals :"; edit_width = 4; }
    : boxed_column {
        label = "Change only numbers";
        : row {
            : toggle { key = "min_value_tg"; label = "not below"; }
            : edit_box { key = "min_value_t"; edit_width = 14; }
        }
        : row {
            : toggle { key = "max_value_tg"; label = "not above"; }
            : edit_box { key = "max_value_t"; edit_width = 14; }
        }
    }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
