// Route curve with transitions: the curve's values, the IP picked on the
// drawing (or a built-in sample), the table and its text. The pick buttons and
// "Calculate" end the dialog with their status and it comes back after the
// pick or the calculation; "ok" is enabled after a calculation, "Calculate"
// and "View" once the IP is picked. Choosing a sample draws it at once.
transition_curve_dlg : dialog {
    label = "Route Curve with Transitions";
    : row {
        : boxed_column {
            label = "Curve";
            : edit_box { key = "t_ipname"; label = "IP name :"; edit_width = 14; edit_limit = 60; }
            : row {
                : edit_box { key = "t_defang"; label = "Deflection :"; edit_width = 22; }
                : button { key = "pickip_btn"; label = "Pick IP <"; action = "(done_dialog 2)"; }
            }
            : edit_box { key = "t_tcch"; label = "Chainage T1 :"; edit_width = 14; }
            : edit_box { key = "t_radius_of_circular_curve"; label = "Radius of circular curve :"; edit_width = 14; }
            : edit_box { key = "t_length_of_trans_curve1"; label = "Length of transition curve :"; edit_width = 14; }
            : toggle { key = "second_ls_tg"; label = "Second transition of another length"; }
            : edit_box { key = "t_length_of_trans_curve2"; label = "Length of second transition :"; edit_width = 14; }
            : edit_box { key = "t_min_chord"; label = "Shortest chord :"; edit_width = 14; }
            : edit_box { key = "t_ls_interval"; label = "Interval transition curve :"; edit_width = 14; }
            : edit_box { key = "t_rc_interval"; label = "Interval circular curve :"; edit_width = 14; }
            : toggle { key = "start_coord_tg"; label = "Ask the first chord of each part"; }
            : toggle { key = "lies_tg"; label = "Circular length from the deflection"; }
            : toggle { key = "print_tg"; label = "Print"; }
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
            : edit_box { key = "t_x"; label = "Table X :"; edit_width = 14; }
            : edit_box { key = "t_y"; label = "Table Y :"; edit_width = 14; }
            : button { key = "picktbl_btn"; label = "Pick table position <"; action = "(done_dialog 3)"; }
            : popup_list { key = "sampel_pop"; label = "Sample :"; width = 20; }
        }
    }
    : row {
        : button { key = "cal_curve_btn"; label = "Calculate"; width = 12; }
        : button { key = "view_btn"; label = "View <"; width = 12; }
    }
    : button { key = "text_author"; label = "Help and updates"; }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
