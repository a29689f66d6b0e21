// The text utility. "s_progname" lists the operations; "select_t" counts the
// texts selected. Filter (2), select (3) and go (4) end the dialog, which
// comes back after each; "exit" ends it (1).
text_utility_dlg : dialog {
    label = "Text utility";
    : row {
        : list_box {
            key = "s_progname";
            label = "Operations";
            width = 36;
            height = 14;
        }
        : column {
            : button { key = "p_setfilter"; label = "Filter..."; width = 14; action = "(done_dialog 2)"; }
            : button { key = "select_btn"; label = "Select <"; width = 14; action = "(done_dialog 3)"; }
            : text { key = "select_t"; label = "0 Text Select"; width = 16; }
        }
    }
    : toggle {
        key = "auto_run_tg";
        label = "&Auto run: next time run this operation at once";
        mnemonic = "A";
    }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button { key = "go_btn"; label = "Go"; is_default = true; width = 12; action = "(done_dialog 4)"; }
        : button { key = "exit"; label = "Exit"; is_cancel = true; width = 12; action = "(done_dialog 1)"; }
    }
}
