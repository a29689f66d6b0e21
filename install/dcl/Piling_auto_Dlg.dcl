// Piling eccentricity of a whole site. The proposed piles (by the object type
// of "pop_object_type") and the surveyed points are collected from their
// layers with "btn_select_proposed" and "btn_select_surveyed"; OK
// ("btn_ok") waits for both. "text_grid_rot" and "text_blockname" are set by
// their buttons only.
piling_auto_dlg : dialog {
    label = "Piling eccentricity, automatic";
    : boxed_column {
        label = "Labels";
        : row {
            : edit_box { key = "text_scale"; label = "Scale 1:"; edit_width = 10; }
            : edit_box { key = "text_txth"; label = "Text height :"; edit_width = 10; }
            : edit_box { key = "text_width"; label = "Width factor :"; edit_width = 10; }
        }
        : row {
            : edit_box { key = "text_grid_rot"; label = "Grid rotation (bearing) :"; edit_width = 14; }
            : button { key = "btn_pick_gridrot"; label = "Pick <"; width = 10; }
        }
        : edit_box { key = "text_layer_ecc"; label = "Eccentricity layer :"; edit_width = 24; }
        : row {
            : edit_box { key = "text_blockname"; label = "Arrow drawing :"; edit_width = 36; }
            : button { key = "btn_blockname"; label = "Browse..."; width = 10; }
        }
    }
    : boxed_column {
        label = "Proposed piles";
        : popup_list { key = "pop_object_type"; label = "Object type :"; width = 20; }
        : row {
            : edit_box { key = "text_proposed_obj_layer"; label = "Layer :"; edit_width = 24; }
            : button { key = "btn_object_layer"; label = "Layers..."; width = 10; }
        }
        : row {
            : text { key = "text_proposed_obj_selected"; width = 24; }
            : button { key = "btn_select_proposed"; label = "Select <"; width = 10; }
        }
    }
    : boxed_column {
        label = "Surveyed points";
        : row {
            : edit_box { key = "text_surveyed_pnt_layer"; label = "Layer :"; edit_width = 24; }
            : button { key = "btn_point_layer"; label = "Layers..."; width = 10; }
        }
        : row {
            : text { key = "text_surveyed_obj_selected"; width = 24; }
            : button { key = "btn_select_surveyed"; label = "Select <"; width = 10; }
        }
    }
    errtile;
    : row {
        : button { key = "btn_ok"; label = "OK"; is_default = true; width = 12; }
        : button { key = "btn_cancel"; label = "Cancel"; is_cancel = true; width = 12; }
    }
}
