// Editing one text.
ddedit_text_dlg : dialog {
    label = "Edit text";
    : edit_box { key = "text_t"; label = "Text :"; edit_width = 50; edit_limit = 255; }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button { key = "btn_ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
