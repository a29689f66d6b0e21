// The radiation number tools: choose one in the list and press "Go"; the
// menu comes back after the tool has run, until "Exit".
radlisting_menu_dlg : dialog {
    label = "Radiation Numbers";
    : list_box { key = "s_progname"; label = "Tool :"; height = 7; width = 36; }
    : row {
        : button { key = "go_btn"; label = "Go"; is_default = true; width = 12; action = "(done_dialog 2)"; }
        : button { key = "exit"; label = "Exit"; is_cancel = true; width = 12; action = "(done_dialog 1)"; }
    }
}
