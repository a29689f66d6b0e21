// Road cutting strips. "t_lebar" is the length of top edge under one tongue
// ("p_picklebar", status 2, asks it as a distance); with "auto_tg" on each
// tongue is half its stretch long, otherwise the distance to its foot divided
// by "t_path" (from 1 up to 9). Switching "auto_tg" ends with status 3 so that
// the dialog shows again with "t_path" enabled or not.
cutting_dlg : dialog {
    label = "Road cutting";
    : edit_box { key = "t_cutlayer"; label = "Cutting layer :"; edit_width = 24; edit_limit = 254; }
    : row {
        : edit_box { key = "t_lebar"; label = "Width (lebar) :"; edit_width = 12; edit_limit = 24; }
        : button { key = "p_picklebar"; label = "Pick <"; width = 10; }
    }
    : toggle { key = "auto_tg"; label = "&Auto: tongue half its stretch long"; mnemonic = "A"; }
    : edit_box { key = "t_path"; label = "Path divisor :"; edit_width = 12; edit_limit = 9; }
    : button { key = "text_author"; label = "Help and updates"; }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
