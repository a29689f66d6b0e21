// The survey department's lot files: the boundary file ("bdy"; its lot file
// of the same name with "lot" is read beside it), the plot scale and whether
// the boundary stones are drawn. "setting_btn" opens the text and layer
// settings.
import_jupem_dlg : dialog {
    label = "Import Jupem Lot Files";
    : boxed_column {
        label = "Boundary file";
        : row {
            : edit_box { key = "file_jupem_t"; label = ""; edit_width = 48; edit_limit = 1024; }
            : button { key = "file_jupem_btn"; label = "File..."; width = 10; }
        }
    }
    : edit_box { key = "plot_scale_t"; label = "Plot scale 1: "; edit_width = 12; }
    : toggle { key = "nomark_tg"; label = "No boundary stones"; }
    : button { key = "setting_btn"; label = "Settings..."; width = 14; action = "(done_dialog 2)"; }
    errtile;
    : row {
        : button { key = "ok"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
}
