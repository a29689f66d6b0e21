// Distances between the crossings of a base line: text, scale, unit and layer,
// and whether the base line is a picked LINE or two picked points.
autolabel_dlg : dialog {
    label = "Auto Label Distance";
    : boxed_column {
        label = "Text";
        : edit_box { key = "t_scale"; label = "Plot scale 1:"; edit_width = 10; }
        : edit_box { key = "t_txt_h"; label = "Text height"; edit_width = 10; }
        : edit_box { key = "t_txtwidth"; label = "Width factor"; edit_width = 10; }
        : edit_box { key = "t_spacing"; label = "Spacing"; edit_width = 10; }
        : edit_box { key = "t_decimal"; label = "Decimals"; edit_width = 10; }
        : popup_list { key = "s_unit"; label = "Unit"; edit_width = 10; }
        : edit_box { key = "t_layer"; label = "Label layer"; edit_width = 20; }
        : toggle { key = "select_line_tg"; label = "Select a LINE as base line"; }
    }
    : row {
        : button { key = "yes"; label = "OK"; is_default = true; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; }
    }
    errtile;
}
