// Lot numbers: the layer and text of the numbers, the next number, and how a
// picked segment finds its lots. "t_cirradius" is enabled only while
// "circle_tg" is on; "p_pickrot" ends the dialog to pick the rotation.
lot_number_dlg : dialog {
    label = "Lot Number";
    : boxed_column {
        label = "Number text";
        : edit_box { key = "t_layer"; label = "Layer :"; edit_width = 24; edit_limit = 255; }
        : edit_box { key = "t_scale"; label = "Plot scale 1: "; edit_width = 12; }
        : row {
            : edit_box { key = "t_rotation"; label = "Rotation :"; edit_width = 16; }
            : button { key = "p_pickrot"; label = "Pick <"; width = 8; action = "(done_dialog 2)"; }
        }
        : edit_box { key = "t_text_height"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "t_lot_num_txtwidth"; label = "Width factor :"; edit_width = 12; }
    }
    : boxed_column {
        label = "Numbering";
        : toggle { key = "auto_number_tg"; label = "Number automatically"; }
        : edit_box { key = "t_startnum"; label = "Next number :"; edit_width = 10; }
        : toggle { key = "auto_label_tg"; label = "One number in each lot a segment crosses"; }
        : toggle { key = "select_tg"; label = "Select the lines yourself"; }
    }
    : boxed_row {
        label = "Circle";
        : toggle { key = "circle_tg"; label = "Circle"; }
        : edit_box { key = "t_cirradius"; label = "Radius :"; edit_width = 10; }
    }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
