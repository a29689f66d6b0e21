// The terrain-model menu: "s_progname" lists the terrain tools, "go_btn" runs
// the chosen one, "exit" closes the menu.
DTM_dlg : dialog {
    label = "Digital Terrain Model";
    : list_box {
        key = "s_progname";
        label = "Tools :";
        width = 50;
        height = 8;
    }
    spacer_1;
    : row {
        : button {
            key = "go_btn";
            label = "Go";
            is_default = true;
        }
        : button {
            key = "exit";
            label = "Exit";
            is_cancel = true;
        }
    }
}
