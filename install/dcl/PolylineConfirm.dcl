// Which vertices of a spline-fitted polyline count: the control frame, the
// fitted curve or both. "t_msg" says what kind of polyline was found; "exit"
// ends the dialog with status 1.
PolylineConfirm_dlg : dialog {
    label = "Spline-fitted polyline";
    : text {
        key = "t_msg";
        label = "";
        width = 45;
    }
    : boxed_radio_column {
        label = "Read the vertices of";
        : radio_button {
            key = "rb_CoordFrame";
            label = "the &frame (control points)";
            mnemonic = "f";
        }
        : radio_button {
            key = "rb_CoordSpline";
            label = "the &spline curve";
            mnemonic = "s";
        }
        : radio_button {
            key = "rb_CoordFrameSpline";
            label = "&both frame and spline";
            mnemonic = "b";
        }
    }
    : toggle {
        key = "tg_neverAsk";
        label = "&Never ask again";
        mnemonic = "N";
        value = "0";
    }
    spacer_1;
    : button {
        key = "exit";
        label = "OK";
        is_default = true;
        fixed_width = true;
        alignment = centered;
        width = 12;
        action = "(done_dialog 1)";
    }
}
