// Radiation table of a route curve: bearings and distances from a station
// point to every station of the curve polyline. The pick buttons end the
// dialog with their status and it comes back after the pick; "ok" is enabled
// once the station and the table position are given.
transition_curve_rad_dlg : dialog {
    label = "Route Curve Radiation Table";
    : edit_box { key = "t_ipname"; label = "Curve IP :"; edit_width = 20; }
    : button { key = "selobj_btn"; label = "Select another curve <"; action = "(done_dialog 5)"; }
    : boxed_column {
        label = "Station";
        : edit_box { key = "t_stname"; label = "Station name :"; edit_width = 12; edit_limit = 60; }
        : row {
            : text { key = "stn_text"; width = 36; }
            : button { key = "pickstn_btn"; label = "Pick station <"; action = "(done_dialog 2)"; }
        }
    }
    : boxed_column {
        label = "Table";
        : edit_box { key = "t_layer"; label = "Layer :"; edit_width = 24; edit_limit = 255; }
        : edit_box { key = "t_scale"; label = "Plot scale 1: "; edit_width = 12; }
        : edit_box { key = "t_txth"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "t_width"; label = "Text width :"; edit_width = 12; }
        : row {
            : edit_box { key = "t_rot"; label = "Rotation :"; edit_width = 14; }
            : button { key = "pickrot_btn"; label = "Pick <"; width = 8; action = "(done_dialog 4)"; }
        }
        : toggle { key = "round_tg"; label = "Round seconds to tens"; }
        : edit_box { key = "ts_x"; label = "Table X :"; edit_width = 14; }
        : edit_box { key = "ts_y"; label = "Table Y :"; edit_width = 14; }
        : button { key = "picktbl_btn"; label = "Pick table position <"; action = "(done_dialog 3)"; }
    }
    : button { key = "text_author"; label = "Help and updates"; }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
