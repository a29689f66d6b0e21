// Choosing a text style or a layer from the drawing's names.
text_utility_cgstyle_dlg : dialog {
    label = "Text utility";
    : text { key = "label_txt"; label = "Select Style"; width = 30; }
    : list_box { key = "style_list"; width = 30; height = 10; }
    spacer_1;
    : row {
        : button { key = "ok_btn"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel_btn"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
