// Settings of the area labels: the label layer and text, the first and second
// unit, the area table, the lot type and how the boundary is taken.
find_area_dlg : dialog {
    label = "Area";
    : text { key = "caption"; label = "Find Area Setting"; width = 44; }
    : boxed_column {
        label = "Label text";
        : edit_box { key = "t_mkpclayer"; label = "Layer :"; edit_width = 24; edit_limit = 255; }
        : edit_box { key = "t_mkpcscale"; label = "Plot scale 1: "; edit_width = 12; }
        : row {
            : edit_box { key = "t_mkpctxtrot"; label = "Rotation :"; edit_width = 16; }
            : button { key = "p_pickrot"; label = "Pick <"; width = 8; action = "(done_dialog 2)"; }
        }
        : edit_box { key = "t_txtwidth"; label = "Width factor :"; edit_width = 12; }
    }
    : row {
        : boxed_column {
            label = "First unit";
            : popup_list { key = "s_unit_a"; label = "Unit :"; edit_width = 6; }
            : edit_box { key = "t_mkpctxth_a"; label = "Text height :"; edit_width = 8; }
            : edit_box { key = "t_kpcdec_a"; label = "Decimals :"; edit_width = 4; }
            : edit_box { key = "t_mkpcsymbol_a"; label = "Suffix :"; edit_width = 10; edit_limit = 19; }
        }
        : boxed_column {
            label = "Second unit";
            : toggle { key = "sec_tg"; label = "Label a second unit"; }
            : popup_list { key = "s_unit_b"; label = "Unit :"; edit_width = 6; }
            : edit_box { key = "t_mkpctxth_b"; label = "Text height :"; edit_width = 8; }
            : edit_box { key = "t_kpcdec_b"; label = "Decimals :"; edit_width = 4; }
            : edit_box { key = "t_mkpcsymbol_b"; label = "Suffix :"; edit_width = 10; edit_limit = 19; }
        }
    }
    : boxed_column {
        label = "Area table";
        : toggle { key = "table_tg"; label = "Write each area into the table"; }
        : row {
            : edit_box { key = "t_x"; label = "X :"; edit_width = 14; edit_limit = 24; }
            : edit_box { key = "t_y"; label = "Y :"; edit_width = 14; edit_limit = 24; }
            : button { key = "p_picktable"; label = "Pick <"; width = 8; action = "(done_dialog 3)"; }
        }
        : edit_box { key = "t_num"; label = "Next number :"; edit_width = 6; }
    }
    : row {
        : popup_list { key = "lot_type"; label = "Lot type :"; edit_width = 12; }
        : toggle { key = "auto_tg"; label = "Auto area"; }
    }
    : boxed_row {
        label = "Boundary";
        : radio_button { key = "methode_default_rb"; label = "As found"; }
        : radio_button { key = "methode_bgd_rb"; label = "From bearings and distances"; }
    }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
