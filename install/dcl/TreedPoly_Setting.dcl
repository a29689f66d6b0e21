// The 3D polyline's settings: the working layers (chosen from the drawing's
// layers or typed as new ones) that the drawing keeps, the layer the polyline
// goes on, and the colour of the legs shown while picking.
treedpoly_setting_dlg : dialog {
    label = "3D Polyline Setting";
    : row {
        : column {
            : text { label = "Drawing layers"; }
            : list_box { key = "dwg_layer_listbox"; width = 28; height = 12; }
        }
        : column {
            : button { key = "add_btn"; label = "Add >>"; width = 12; }
            : button { key = "remove_btn"; label = "<< Remove"; width = 12; }
            : button { key = "clayer_btn"; label = "Polyline layer"; width = 12; }
        }
        : column {
            : text { label = "Working layers"; }
            : list_box { key = "wk_layer_listbox"; width = 28; height = 12; }
        }
    }
    : row {
        : edit_box { key = "t_new_layer"; label = "New layer :"; edit_width = 24; edit_limit = 59; }
        : button { key = "new_layer_btn"; label = "Add new"; width = 12; }
    }
    : edit_box { key = "t_clayer"; label = "Polyline layer :"; edit_width = 24; edit_limit = 254; }
    : edit_box { key = "t_draw_color"; label = "Leg colour :"; edit_width = 6; }
    : button { key = "text_author"; label = "Help and updates"; }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
