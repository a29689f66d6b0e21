// KML export: the state and the projection the drawing's coordinates are in,
// the KML file, and the paths to export (picked point by point, or the lines
// and polylines of a selection). "ok" is enabled once a file was chosen.
google_kml : dialog {
    label = "Google KML Export";
    : boxed_column {
        label = "Drawing coordinates";
        : popup_list { key = "pop_negeri"; label = "Negeri :"; edit_width = 26; }
        : popup_list { key = "pop_projection"; label = "Projection :"; edit_width = 30; }
    }
    : boxed_column {
        label = "KML file";
        : row {
            : text { key = "text_folder_name"; label = ""; width = 12; }
            : button { key = "file_googlekml_btn"; label = "File..."; width = 10; }
        }
        : text { key = "text_googlekml_filename"; label = ""; width = 50; }
    }
    : boxed_row {
        label = "Paths";
        : button { key = "btn_pick_pl"; label = "Pick path <"; width = 16; action = "(done_dialog 2)"; }
        : button { key = "btn_select_all"; label = "Select objects <"; width = 16; action = "(done_dialog 3)"; }
    }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
