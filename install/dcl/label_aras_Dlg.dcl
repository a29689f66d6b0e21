// Settings of the level labels written at selected POINTs: size, rotation,
// decimals and the layer the texts go on.
label_aras_dlg : dialog {
    label = "Label Level";
    : boxed_column {
        label = "Level text";
        : edit_box { key = "t_scale"; label = "Plot scale 1: "; edit_width = 12; }
        : edit_box { key = "t_txth"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "t_width"; label = "Width factor :"; edit_width = 12; }
        : row {
            : edit_box { key = "t_rot"; label = "Rotation :"; edit_width = 14; }
            : button { key = "pick_text_btn"; label = "90.000000"; width = 14; action = "(done_dialog 2)"; }
        }
        : edit_box { key = "t_decimal"; label = "Decimals :"; edit_width = 4; }
        : toggle { key = "level_spc_tg"; label = "Blank between whole part and fraction"; }
        : toggle { key = "level_pntlayer_tg"; label = "Text on the point's own layer"; }
    }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
