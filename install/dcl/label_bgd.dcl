// Bearing and distance labels: text and scale, units, placement extras, the
// table for short legs and the label layer. "yes" ends with 1, "cancel" with 0,
// "p_pickxy" with 2 (pick the table position, then the dialog is shown again).
label_bgd_dlg : dialog {
    label = "Label Bearing & Distance";
    : row {
        : boxed_column {
            label = "Text";
            : edit_box { key = "t_scale"; label = "Plot scale 1:"; edit_width = 10; }
            : edit_box { key = "t_txt_h"; label = "Text height"; edit_width = 10; }
            : edit_box { key = "t_txtwidth"; label = "Width factor"; edit_width = 10; }
            : edit_box { key = "t_spacing"; label = "Spacing"; edit_width = 10; }
            : edit_box { key = "t_decimal"; label = "Decimals"; edit_width = 10; }
            : popup_list { key = "s_unit"; label = "Unit"; edit_width = 10; }
            : toggle { key = "round_tg"; label = "Seconds to tens"; }
            : toggle { key = "auto_spc_tg"; label = "Engineering spacing"; }
            : edit_box { key = "t_auto_spc"; label = "Spread factor"; edit_width = 10; }
        }
        : boxed_column {
            label = "Table for short legs";
            : toggle { key = "table_tg"; label = "Table on"; }
            : edit_box { key = "t_x"; label = "Table X"; edit_width = 12; }
            : edit_box { key = "t_y"; label = "Table Y"; edit_width = 12; }
            : button { key = "p_pickxy"; label = "Pick position <"; }
            : edit_box { key = "t_linenum"; label = "Next row"; edit_width = 8; }
            : edit_box { key = "t_max"; label = "Legs shorter than"; edit_width = 8; }
            : toggle { key = "kord_tg"; label = "Northing and easting"; }
        }
    }
    : boxed_column {
        label = "Layer";
        : popup_list { key = "pop_active_layer"; label = "Layers used"; edit_width = 20; }
        : edit_box { key = "t_layer"; label = "Label layer"; edit_width = 20; }
        : edit_box { key = "s_layer"; label = "Select layer"; edit_width = 20; }
    }
    : row {
        : button { key = "yes"; label = "OK"; is_default = true; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; }
        : button { key = "text_author"; label = "Help"; }
    }
    errtile;
}
