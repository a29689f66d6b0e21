// The plan-utility menu. "s_progname" lists the tools; "go_btn" runs the one
// chosen (status 2); "exit" ends without running anything (status 1).
utility_plan_prop_dlg : dialog {
    label = "Plan utility";
    : list_box {
        key = "s_progname";
        label = "Tools";
        width = 36;
        height = 8;
    }
    : toggle {
        key = "auto_run_tg";
        label = "&Auto run: next time run this tool at once";
        mnemonic = "A";
    }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button {
            key = "go_btn";
            label = "Go";
            is_default = true;
            width = 12;
            action = "(done_dialog 2)";
        }
        : button {
            key = "exit";
            label = "Exit";
            is_cancel = true;
            width = 12;
            action = "(done_dialog 1)";
        }
    }
}
