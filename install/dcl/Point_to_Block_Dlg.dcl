// Copy block to points. "block_name_listbox" lists the drawing's blocks; OK
// stays disabled until one is chosen. "pick_text_btn" ends with status 2 to
// pick the rotation as the bearing between two points. A scale that is not
// above 0 is put back, and "error" says why.
point_to_block_dlg : dialog {
    label = "Copy block to points";
    : list_box {
        key = "block_name_listbox";
        label = "Block";
        width = 36;
        height = 8;
    }
    : edit_box {
        key = "scale_text";
        label = "Scale 1: ";
        edit_width = 12;
    }
    : row {
        : edit_box {
            key = "rotation_text";
            label = "Rotation (bearing) :";
            edit_width = 14;
        }
        : button {
            key = "pick_text_btn";
            label = "Pick <";
            width = 10;
            action = "(done_dialog 2)";
        }
    }
    : toggle {
        key = "select_by_layer_tg";
        label = "Select points by &layer";
        mnemonic = "l";
    }
    : edit_box {
        key = "select_layer_text";
        label = "Layer filter :";
        edit_width = 24;
        edit_limit = 254;
    }
    : toggle {
        key = "force_block_layer_tg";
        label = "Put the copies on the &block's own layer";
        mnemonic = "b";
    }
    : button { key = "text_author"; label = "Help and updates"; }
    errtile;
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
}
