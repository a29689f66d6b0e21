// The lot-file import's settings: text heights (at 1:1000), the bearing and
// distance spacing, the decimals of the areas and the layers. The stone file
// and the second line layer are shown only.
import_jupem_setting_dlg : dialog {
    label = "Import Jupem Settings";
    : boxed_row {
        label = "Stone file";
        : edit_box { key = "stone_file_t"; label = ""; edit_width = 36; }
        : button { key = "stone_btn"; label = "File..."; width = 10; }
    }
    : boxed_column {
        label = "Texts";
        : edit_box { key = "bdg_spc_t"; label = "Bearing and distance spacing :"; edit_width = 10; }
        : edit_box { key = "bgd_th_t"; label = "Bearing and distance height :"; edit_width = 10; }
        : edit_box { key = "lot_th_t"; label = "Lot number height :"; edit_width = 10; }
        : edit_box { key = "area_th_t"; label = "Area height :"; edit_width = 10; }
        : edit_box { key = "stone_desc_th_t"; label = "Stone mark height :"; edit_width = 10; }
        : edit_box { key = "lot_area_t"; label = "Area decimals :"; edit_width = 4; }
    }
    : boxed_column {
        label = "Layers";
        : edit_box { key = "lot_line_layer_t"; label = "Boundary lines :"; edit_width = 24; edit_limit = 255; }
        : edit_box { key = "cn_line_layer_t"; label = "Second lines :"; edit_width = 24; edit_limit = 255; }
        : edit_box { key = "bgd_layer_t"; label = "Bearings and distances :"; edit_width = 24; edit_limit = 255; }
        : edit_box { key = "lot_num_layer_t"; label = "Lot numbers :"; edit_width = 24; edit_limit = 255; }
        : edit_box { key = "area_layer_t"; label = "Areas :"; edit_width = 24; edit_limit = 255; }
        : edit_box { key = "stone_desc_layer_t"; label = "Stone marks :"; edit_width = 24; edit_limit = 255; }
    }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
