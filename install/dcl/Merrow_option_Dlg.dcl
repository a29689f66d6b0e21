// The tidy of a DXF-lot import: choose an action, select objects, then
// "Proceed" runs the action on the selected objects that carry the import's
// tags. The dialog stays until "OK" or "Cancel".
merrow_opt_dlg : dialog {
    label = "DXF Lot Options";
    : row {
        : boxed_radio_column {
            label = "Action";
            : radio_button { key = "text_to_layer_rb"; label = "Code texts to layer ZT-code"; value = "1"; }
            : radio_button { key = "point_to_layer_rb"; label = "Points to layer ZP-code"; }
            : radio_button { key = "point_to_moss_rb"; label = "Points to their level"; }
            : radio_button { key = "turn_back_rb"; label = "Turn back"; }
            : radio_button { key = "create_ch_rb"; label = "Create chainage"; }
            : radio_button { key = "create_level_rb"; label = "Create level"; }
            : radio_button { key = "create_sym_num_rb"; label = "Create symbol number"; }
            : radio_button { key = "modified_level_rb"; label = "Modified level"; }
        }
        : boxed_column {
            label = "Codes";
            : list_box { key = "code_list"; height = 10; width = 20; }
            : radio_button { key = "sel_all_code_rb"; label = "All codes"; }
        }
    }
    : row {
        : button { key = "sel_obj_btn"; label = "Select objects <"; width = 18; action = "(done_dialog 3)"; }
        : button { key = "proced_btn"; label = "Proceed"; width = 14; action = "(done_dialog 4)"; }
    }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
