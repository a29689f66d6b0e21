// Choosing the 3D polyline's layer among the working layers.
treedpoly_select_layer_dlg : dialog {
    label = "3D Polyline Layer";
    : list_box { key = "wk_layer_listbox"; width = 30; height = 10; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
