// The number utility. "s_progname" lists the tools; "select_t" counts the
// texts selected. Buttons end the dialog, which comes back after each: filter
// (2), select (3), go (4), setting (6); "exit" ends it (1).
number_utility_dlg : dialog {
    label = "Number utility";
    : row {
        : list_box {
            key = "s_progname";
            label = "Tools";
            width = 32;
            height = 8;
        }
        : column {
            : button { key = "p_setfilter"; label = "Filter..."; width = 14; action = "(done_dialog 2)"; }
            : button { key = "select_btn"; label = "Select <"; width = 14; action = "(done_dialog 3)"; }
            : button { key = "setting_btn"; label = "Setting..."; width = 14; action = "(done_dialog 6)"; }
            : text { key = "select_t"; label = "0 Text Select"; width = 16; }
        }
    }
    : toggle {
        key = "auto_run_tg";
        label = "&Auto run: next time run this tool at once";
        mnemonic = "A";
    }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button { key = "go_btn"; label = "Go"; is_default = true; width = 12; action = "(done_dialog 4)"; }
        : button { key = "exit"; label = "Exit"; is_cancel = true; width = 12; action = "(done_dialog 1)"; }
    }
}
