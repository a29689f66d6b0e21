// Radiation listing: the table's layer and text, the station, the table
// position, the numbered points and the ASCII file. The pick buttons end the
// dialog with their status and it comes back after the pick. "ok" is enabled
// once the station, the table position and the points are given.
rad_listing_make_table_dlg : dialog {
    label = "Radiation Listing";
    : boxed_column {
        label = "Table text";
        : edit_box { key = "tablelayer_text"; label = "Layer :"; edit_width = 24; edit_limit = 255; }
        : edit_box { key = "scaleplot_text"; label = "Plot scale 1: "; edit_width = 12; }
        : edit_box { key = "txtheight_text"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "txtwidth_text"; label = "Width factor :"; edit_width = 12; }
        : row {
            : edit_box { key = "txtrot_text"; label = "Rotation :"; edit_width = 14; }
            : button { key = "rotation_btn"; label = "Pick <"; width = 8; action = "(done_dialog 2)"; }
        }
        : toggle { key = "round_ten_second_tg"; label = "Round seconds to tens"; }
    }
    : boxed_column {
        label = "Station";
        : row {
            : edit_box { key = "stn_text"; label = "Station no :"; edit_width = 8; }
            : button { key = "stnno_btn"; label = "Select text <"; action = "(done_dialog 7)"; }
        }
        : row {
            : text { key = "stnxy_text"; width = 30; }
            : button { key = "stn_btn"; label = "Pick station <"; action = "(done_dialog 3)"; }
        }
    }
    : boxed_column {
        label = "Table";
        : row {
            : text { key = "tablexy_text"; width = 30; }
            : button { key = "picktbl_btn"; label = "Pick position <"; action = "(done_dialog 4)"; }
        }
        : toggle { key = "no_header_tg"; label = "No header (go on below the last table)"; }
    }
    : boxed_column {
        label = "Points";
        : row {
            : text { key = "selobj_text"; width = 24; }
            : button { key = "select_obj_btn"; label = "Select points <"; action = "(done_dialog 5)"; }
            : button { key = "view_obj_btn"; label = "View lines <"; action = "(done_dialog 6)"; }
        }
    }
    : boxed_column {
        label = "ASCII file";
        : toggle { key = "createfile_tg"; label = "Write the points to a file"; }
        : row {
            : edit_box { key = "file_text"; label = "File :"; edit_width = 30; edit_limit = 255; }
            : button { key = "file_btn"; label = "..."; width = 4; }
        }
        : edit_box { key = "txtDecimalText"; label = "Decimals :"; edit_width = 4; }
    }
    : button { key = "text_author"; label = "Help and updates"; }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
