// A polyline turned into a traverse file: the file (new, or one to add the
// legs to), the first station number of a new file, the decimals of the
// distances and whether bearings are rounded to ten seconds.
pline_to_trav : dialog {
    label = "Polyline to traverse file";
    : row {
        : edit_box { key = "t_file"; label = "File :"; edit_width = 40; }
        : button { key = "p_file"; label = "Browse..."; width = 12; action = "(done_dialog 2)"; }
    }
    : toggle { key = "tg_add"; label = "Add to an existing traverse file"; }
    : edit_box { key = "t_stnstart"; label = "First station number :"; edit_width = 12; }
    : edit_box { key = "t_decimal"; label = "Distance decimals :"; edit_width = 6; }
    : toggle { key = "tg_round"; label = "Round bearings to 10 seconds"; }
    : text { key = "l_errr"; label = ""; width = 40; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
