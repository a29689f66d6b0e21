// Contour settings: the level range, the major and minor intervals and
// layers, and whether a middle point is added between chain vertices.
// "Btn_GetIt" fills the level range from the TIN.
TinContour_dlg : dialog {
    label = "Generate Contour";
    : boxed_column {
        label = "Levels";
        : edit_box {
            key = "txt_min_level";
            label = "Min level :";
            edit_width = 12;
        }
        : edit_box {
            key = "txt_max_level";
            label = "Max level :";
            edit_width = 12;
        }
        : button {
            key = "Btn_GetIt";
            label = "Get from TIN";
        }
    }
    : boxed_column {
        label = "Intervals and layers";
        : edit_box {
            key = "txt_major_intv";
            label = "Major interval :";
            edit_width = 12;
        }
        : edit_box {
            key = "txt_minor_intv";
            label = "Minor interval :";
            edit_width = 12;
        }
        : edit_box {
            key = "txt_major_layer";
            label = "Major layer :";
            edit_width = 24;
        }
        : edit_box {
            key = "txt_minor_layer";
            label = "Minor layer :";
            edit_width = 24;
        }
    }
    : toggle {
        key = "tg_middle_pnt";
        label = "Add middle points";
    }
    spacer_1;
    ok_cancel;
}
