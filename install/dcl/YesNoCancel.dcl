// A question with three answers: the caller sets the caption "main" and the
// question "msg"; "yes", "no" and "cancel" end the dialog with the statuses the
// caller binds to them.
yes_no_dlg : dialog {
    label = "Question";
    : text {
        key = "main";
        label = "";
        width = 50;
    }
    : boxed_column {
        : text {
            key = "msg";
            label = "";
            width = 50;
            height = 3;
        }
    }
    spacer_1;
    : row {
        fixed_width = true;
        alignment = centered;
        : button {
            key = "yes";
            label = "&Yes";
            mnemonic = "Y";
            is_default = true;
            width = 12;
        }
        : button {
            key = "no";
            label = "&No";
            mnemonic = "N";
            width = 12;
        }
        : button {
            key = "cancel";
            label = "Cancel";
            is_cancel = true;
            width = 12;
        }
    }
}
