// The filter of the next text selection: texts on the layers named (wildcards
// allowed). Height, rotation, colour and style are shown but not offered.
number_utility_filter_Dlg : dialog {
    label = "Select filter";
    : row {
        : toggle { key = "layer_tg"; label = "Layer"; }
        : edit_box { key = "t_layer"; edit_width = 24; edit_limit = 254; }
    }
    : row {
        : toggle { key = "height_tg"; label = "Height"; }
        : edit_box { key = "t_height"; edit_width = 24; }
    }
    : row {
        : toggle { key = "rotation_tg"; label = "Rotation"; }
        : edit_box { key = "t_rotation"; edit_width = 24; }
    }
    : row {
        : toggle { key = "color_tg"; label = "Colour"; }
        : edit_box { key = "t_color"; edit_width = 24; }
    }
    : row {
        : toggle { key = "style_tg"; label = "Style"; }
        : edit_box { key = "t_style"; edit_width = 24; }
    }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
