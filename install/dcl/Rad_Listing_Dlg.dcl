// Radiation points: the layers and text of the numbered points, the next
// number, and the buttons that start the work (the dialog comes back after
// each). "pick_pnt_btn" and "select_pl_btn" are enabled once the next free
// number was found ("select_obj_btn") or "new_radiate_tg" is on.
rad_listing_dlg : dialog {
    label = "Radiation Points";
    : boxed_column {
        label = "Layers";
        : edit_box { key = "pointlayer_text"; label = "Point layer :"; edit_width = 24; edit_limit = 254; }
        : edit_box { key = "textlayer_text"; label = "Text layer :"; edit_width = 24; edit_limit = 254; }
    }
    : boxed_column {
        label = "Number text";
        : edit_box { key = "scale_text"; label = "Plot scale 1: "; edit_width = 12; }
        : edit_box { key = "textheight_text"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "textwidth_text"; label = "Width factor :"; edit_width = 12; }
        : row {
            : edit_box { key = "textrot_text"; label = "Rotation :"; edit_width = 14; }
            : button { key = "rotation_btn"; label = "Pick <"; width = 8; action = "(done_dialog 3)"; }
        }
    }
    : boxed_column {
        label = "Numbering";
        : edit_box { key = "startnumber_text"; label = "Next number :"; edit_width = 10; }
        : toggle { key = "numberpromp_tg"; label = "Ask each number"; }
        : radio_row {
            : radio_button { key = "create_pnt_rb"; label = "Create points"; }
            : radio_button { key = "select_pnt_rb"; label = "Select points"; }
        }
        : toggle { key = "change_pnt_layer_tg"; label = "Change point layer"; }
        : row {
            : button { key = "select_obj_btn"; label = "Find next number <"; action = "(done_dialog 2)"; }
            : toggle { key = "SelectAll_tg"; label = "All points"; }
        }
        : toggle { key = "new_radiate_tg"; label = "New radiation (no search)"; }
        : row {
            : button { key = "pick_pnt_btn"; label = "Pick points <"; action = "(done_dialog 5)"; }
            : button { key = "select_pl_btn"; label = "Polyline vertices <"; action = "(done_dialog 4)"; }
        }
    }
    : button { key = "text_author"; label = "Help and updates"; }
    errtile;
    : row {
        : button { key = "save_btn"; label = "Save"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel_btn"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
