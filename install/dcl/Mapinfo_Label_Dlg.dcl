// MapInfo labels: the label type (a line of cfg/mapinfo_dwg_field.txt), its
// layer and text style, the plot scale, and for boundary labels the
// bearing-distance table. Choosing a label type or switching the table
// reopens the dialog; "tg_table_bgd" is enabled for label types of code 2
// only, and the two table boxes while the table is on.
mapinfo_label_dlg : dialog {
    label = "MapInfo Field Labels";
    : popup_list { key = "pop_label_type"; label = "Label type :"; edit_width = 32; }
    : boxed_column {
        label = "Text";
        : edit_box { key = "text_layer"; label = "Layer :"; edit_width = 24; edit_limit = 59; }
        : edit_box { key = "text_plotscale"; label = "Plot scale 1: "; edit_width = 12; }
        : edit_box { key = "text_theight"; label = "Text height :"; edit_width = 12; }
        : edit_box { key = "text_twidth"; label = "Width factor :"; edit_width = 12; }
        : row {
            : edit_box { key = "text_trot"; label = "Rotation :"; edit_width = 14; }
            : button { key = "btn_rot"; label = "Pick <"; width = 8; action = "(done_dialog 2)"; }
        }
    }
    : toggle { key = "tg_table_bgd"; label = "Bearing and distance table"; }
    : boxed_column {
        key = "Box_label1";
        label = "Table rows";
        : edit_box { key = "text_linenum"; label = "Next row number :"; edit_width = 8; }
        : edit_box { key = "text_max"; label = "Legs shorter than :"; edit_width = 8; }
    }
    : boxed_row {
        key = "Box_label2";
        label = "Table position";
        : text { key = "text_xy"; label = ""; width = 28; }
        : button { key = "btn_pickxy"; label = "Pick <"; width = 8; action = "(done_dialog 3)"; }
    }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
