// Right-angle lines. "t_lineplayer" holds the line layer and "newline_tg" says
// whether the first leg is drawn too; "yes" keeps both (status 1). The label
// options below are shown for what the record holds but are not offered.
linetp_dlg : dialog {
    label = "Right-angle lines";
    : edit_box {
        key = "t_lineplayer";
        label = "Line layer :";
        edit_width = 24;
        edit_limit = 24;
    }
    : toggle {
        key = "newline_tg";
        label = "&New line: draw the first leg too";
        mnemonic = "N";
    }
    : boxed_column {
        label = "Labels";
        : row {
            : toggle { key = "bgd_tg"; label = "Bearing and distance"; }
            : toggle { key = "pntnum_tg"; label = "Point numbers"; }
        }
        : row {
            : toggle { key = "aras_tg"; label = "Levels"; }
            : toggle { key = "treed_tg"; label = "3D"; }
        }
        : row {
            : edit_box { key = "t_scale"; label = "Scale 1:"; edit_width = 8; }
            : edit_box { key = "t_txth"; label = "Text height"; edit_width = 8; }
        }
        : row {
            : edit_box { key = "t_twidth"; label = "Width"; edit_width = 8; }
            : edit_box { key = "t_rot"; label = "Rotation"; edit_width = 8; }
        }
        : edit_box { key = "t_spc"; label = "Spacing"; edit_width = 8; }
        : edit_box { key = "t_bgdlayer"; label = "Bearing layer"; edit_width = 24; }
        : row {
            : edit_box { key = "t_pntnumlayer"; label = "Point number layer"; edit_width = 24; }
            : toggle { key = "autopntnum_tg"; label = "Auto number"; }
        }
        : edit_box { key = "t_pnum"; label = "First number"; edit_width = 8; }
        : row {
            : edit_box { key = "t_levellayer"; label = "Level layer"; edit_width = 24; }
            : toggle { key = "leveldec_tg"; label = "Decimals"; }
            : edit_box { key = "t_dec"; label = ""; edit_width = 4; }
        }
    }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button {
            key = "yes";
            label = "OK";
            is_default = true;
            width = 12;
            action = "(done_dialog 1)";
        }
        : button {
            key = "cancel";
            label = "Cancel";
            is_cancel = true;
            width = 12;
            action = "(done_dialog 0)";
        }
    }
}
