// Level texts to 3D points: which layers are read, the colours given to the
// matched texts and points, and the layer the points may move to.
pnt_trd_set_dlg : dialog {
    label = "Level to point 3D";
    : edit_box { key = "t_txt_sel_layer"; label = "Level text layers :"; edit_width = 24; edit_limit = 254; }
    : edit_box { key = "t_pnt_sel_layer"; label = "Point layers :"; edit_width = 24; edit_limit = 254; }
    : edit_box { key = "t_txt_color"; label = "Text colour :"; edit_width = 4; edit_limit = 3; }
    : edit_box { key = "t_pnt_color"; label = "Point colour :"; edit_width = 4; edit_limit = 3; }
    : toggle { key = "pnt_layer_tg"; label = "Move the points to the layer"; }
    : edit_box { key = "t_pnt_out_layer"; label = "Point layer :"; edit_width = 24; edit_limit = 254; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
