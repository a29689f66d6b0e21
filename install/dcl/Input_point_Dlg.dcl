// Settings of the height-point input: the layers of the three point types and
// the level text written beside each point when "plot_level_tg" is on.
input_point_dlg : dialog {
    label = "Input Point";
    : text {
        key = "caption";
        label = "Input Point 2D setting";
        width = 40;
    }
    : boxed_column {
        label = "Point layers";
        : edit_box { key = "t_pnt_p_layer"; label = "Spot level (P) :"; edit_width = 24; edit_limit = 254; }
        : edit_box { key = "t_pnt_d_layer"; label = "Drain level (D) :"; edit_width = 24; edit_limit = 254; }
        : edit_box { key = "t_pnt_i_layer"; label = "Invert level (I) :"; edit_width = 24; edit_limit = 254; }
    }
    : toggle { key = "plot_level_tg"; label = "Plot level text"; }
    : boxed_column {
        label = "Level text";
        : edit_box { key = "t_scale"; label = "Plot scale 1: "; edit_width = 12; }
        : edit_box { key = "t_txth"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "t_width"; label = "Width factor :"; edit_width = 12; }
        : row {
            : edit_box { key = "t_rot"; label = "Rotation :"; edit_width = 14; }
            : button { key = "pick_text_btn"; label = "Pick <"; width = 8; action = "(done_dialog 2)"; }
        }
        : edit_box { key = "t_decimal"; label = "Decimals :"; edit_width = 4; }
        : toggle { key = "level_spc_tg"; label = "Blank between whole part and fraction"; }
    }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
