// Cross-section point file: the chainage of the next section and the interval
// between sections, how the left side is given (a side pick or a base line,
// whose options "radio_ip" are enabled with it), the output file and how the
// section points are taken. "p_file" asks for the file; "yes" is enabled once a
// file is known.
PTX_dlg : dialog {
    label = "Point to Cross Section";
    : boxed_column {
        label = "Chainage";
        : edit_box { key = "t_ch"; label = "Chainage :"; edit_width = 14; }
        : edit_box { key = "t_intv"; label = "Interval :"; edit_width = 14; }
    }
    : boxed_column {
        label = "Offset side";
        : radio_column {
            : radio_button { key = "rb_arah"; label = "By side pick"; }
            : radio_button { key = "rb_base"; label = "By base line"; }
        }
        : radio_row {
            key = "radio_ip";
            : radio_button { key = "rb_ip_pick"; label = "Pick base line"; value = "1"; }
            : radio_button { key = "rb_ip_select"; label = "Select base line"; }
        }
        : toggle { key = "tg_right"; label = "Right side positive"; }
    }
    : boxed_column {
        label = "Points";
        : toggle { key = "tg_pick_pnt"; label = "Pick points (off: select POINT objects)"; }
        : toggle { key = "tg_code"; label = "Ask a code for every point"; }
    }
    : boxed_column {
        label = "Output file";
        : row {
            : edit_box { key = "t_file"; label = "File :"; edit_width = 40; edit_limit = 255; }
            : button { key = "p_file"; label = "File..."; width = 10; }
        }
        : toggle { key = "tg_new"; label = "New file (off: add to the file)"; }
    }
    errtile;
    : row {
        : button { key = "yes"; label = "Start"; width = 12; action = "(done_dialog 1)"; }
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    : button { key = "text_author"; label = "Help and updates"; }
}
