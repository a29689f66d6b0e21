// Piling eccentricity by picks. "t_rot" shows the site grid's rotation, set
// with "pick_gridrot_btn" (status 2) by two picks; "blockname_btn" (status 3)
// chooses the arrow drawing; "extra_btn" and "default_btn" end with status 4
// (the over-limit tool on the first use; the defaults button first puts the
// defaults in place).
piling_pick_dlg : dialog {
    label = "Piling eccentricity";
    : edit_box { key = "t_layer"; label = "Eccentricity layer :"; edit_width = 24; edit_limit = 254; }
    : row {
        : edit_box { key = "t_scale"; label = "Scale 1:"; edit_width = 10; }
        : edit_box { key = "t_txth"; label = "Text height :"; edit_width = 10; }
        : edit_box { key = "t_width"; label = "Width factor :"; edit_width = 10; }
    }
    : row {
        : edit_box { key = "t_rot"; label = "Grid rotation (bearing) :"; edit_width = 14; }
        : button { key = "pick_gridrot_btn"; label = "Pick <"; width = 10; }
    }
    : row {
        : edit_box { key = "t_blockname"; label = "Arrow drawing :"; edit_width = 36; edit_limit = 254; }
        : button { key = "blockname_btn"; label = "Browse..."; width = 10; }
    }
    : toggle { key = "lock_layer_tg"; label = "&Lock the eccentricity layer"; mnemonic = "L"; }
    : row {
        : button { key = "extra_btn"; label = "Over limit..."; width = 14; }
        : button { key = "default_btn"; label = "Defaults"; width = 14; }
        : button { key = "text_author"; label = "Help and updates"; }
    }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
