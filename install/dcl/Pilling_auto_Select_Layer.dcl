// A layer of the drawing for the automatic piling: "listbox_layer" lists the
// layers; "btn_ok" takes the chosen one.
piling_auto_select_layer_dlg : dialog {
    label = "Select layer";
    : list_box { key = "listbox_layer"; label = "Layers"; width = 32; height = 12; }
    : row {
        : button { key = "btn_ok"; label = "OK"; is_default = true; width = 12; }
        : button { key = "btn_cancel"; label = "Cancel"; is_cancel = true; width = 12; }
    }
}
