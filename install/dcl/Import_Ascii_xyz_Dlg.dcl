// Import of an ASCII point file: the file, its column order, and the texts
// written beside each point (number, level, code) with their heights at 1:1000.
import_ascii_xyz_dlg : dialog {
    label = "Import ASCII Data";
    : row {
        : edit_box { key = "text_file_open"; label = "File :"; edit_width = 40; }
        : button { key = "file_open_btn"; label = "Browse..."; width = 12; action = "(done_dialog 2)"; }
    }
    : popup_list { key = "pop_format"; label = "Column order :"; width = 32; }
    : edit_box { key = "text_plot_scale"; label = "Plot scale 1: "; edit_width = 12; }
    : boxed_column {
        label = "Texts";
        : row {
            : toggle { key = "tg_noid"; label = "Point number (ID)"; }
            : edit_box { key = "text_noid"; label = "Height :"; edit_width = 10; }
        }
        : row {
            : toggle { key = "tg_level"; label = "Level"; }
            : edit_box { key = "text_level"; label = "Height :"; edit_width = 10; }
        }
        : row {
            : toggle { key = "tg_code"; label = "Code"; }
            : edit_box { key = "text_code"; label = "Height :"; edit_width = 10; }
        }
    }
    : toggle { key = "tg_z"; label = "Points at their level (Z)"; }
    : button { key = "text_author"; label = "Help and updates"; }
    spacer_1;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
