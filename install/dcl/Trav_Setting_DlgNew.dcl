// Traverse settings: the station-number text height, the colours of the
// temporary traverse and radiation vectors, and whether each leg asks a
// level and a code. The display-mode radio buttons, the radiation toggle and
// the scale are shown but not in use.
trav_setting_dlg : dialog {
    label = "Traverse settings";
    : edit_box {
        key = "t_txth";
        label = "Station text height :";
        edit_width = 10;
        edit_limit = 24;
    }
    : edit_box {
        key = "t_travlightcolor";
        label = "Traverse colour :";
        edit_width = 10;
        edit_limit = 6;
    }
    : edit_box {
        key = "t_radlightcolor";
        label = "Radiation colour :";
        edit_width = 10;
        edit_limit = 6;
    }
    : toggle {
        key = "tg_promplevel";
        label = "Ask level";
    }
    : toggle {
        key = "tq_prompcode";
        label = "Ask code";
    }
    : radio_row {
        key = "rb_show";
        : radio_button {
            key = "rb_light";
            label = "Light";
        }
        : radio_button {
            key = "rb_line";
            label = "Line";
        }
    }
    : toggle {
        key = "tg_irad";
        label = "Radiation";
    }
    : edit_box {
        key = "t_scale";
        label = "Scale 1: ";
        edit_width = 10;
        edit_limit = 24;
    }
    spacer_1;
    : row {
        : button {
            key = "ok";
            label = "OK";
            is_default = true;
            width = 12;
            action = "(done_dialog 1)";
        }
        : button {
            key = "cancel";
            label = "Cancel";
            is_cancel = true;
            width = 12;
            action = "(done_dialog 0)";
        }
    }
    errtile;
}
