// Settings of the circles or points made at vertices. "caption" names the
// mode; "t_cirlayer" holds the circle layer (circles) or the point layer
// (points); "maketd_tg" keeps the z of LINE ends (points only).
make_circle_dlg : dialog {
    label = "Circles or points at vertices";
    : text {
        key = "caption";
        label = "Make Circle";
        width = 30;
    }
    : edit_box {
        key = "t_cirlayer";
        label = "Layer :";
        edit_width = 24;
        edit_limit = 254;
    }
    : edit_box {
        key = "t_radius";
        label = "Radius :";
        edit_width = 10;
        edit_limit = 9;
    }
    : edit_box {
        key = "t_cir_scale";
        label = "Scale 1: ";
        edit_width = 10;
        edit_limit = 24;
    }
    : toggle {
        key = "del_tg";
        label = "Delete original objects";
    }
    : toggle {
        key = "maketd_tg";
        label = "Keep z of line ends";
    }
    spacer_1;
    : row {
        : button {
            key = "ok";
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
    errtile;
}
