// The symbol legend: sizes at the plot scale, the legend's layer and header,
// the distances from a row's block to its description (A) and from one row to
// the next (B), the location and direction picked in the drawing, and the
// symbol blocks selected. "OK" is enabled once a location is picked and
// blocks are selected.
legend_dlg : dialog {
    label = "Symbol Legend";
    : boxed_column {
        label = "Text";
        : edit_box { key = "scale_t"; label = "Plot scale 1: "; edit_width = 12; }
        : edit_box { key = "txth_t"; label = "Text height "; edit_width = 12; }
        : edit_box { key = "txtwidth_t"; label = "Width factor "; edit_width = 12; }
        : edit_box { key = "layer_t"; label = "Layer "; edit_width = 20; }
        : edit_box { key = "header_t"; label = "Header "; edit_width = 30; }
    }
    : boxed_column {
        label = "Rows";
        : edit_box { key = "dista_t"; label = "Distance A (block to description) "; edit_width = 10; }
        : edit_box { key = "distb_t"; label = "Distance B (row to row) "; edit_width = 10; }
    }
    : boxed_column {
        label = "Place";
        : row {
            : button { key = "pickpnt_btn"; label = "Location <"; width = 14; action = "(done_dialog 2)"; }
            : text { key = "pickpnt_t"; width = 30; }
        }
        : row {
            : button { key = "pickrot_btn"; label = "Rotation <"; width = 14; action = "(done_dialog 4)"; }
            : edit_box { key = "pickrot_t"; edit_width = 12; }
        }
        : row {
            : button { key = "selobj_btn"; label = "Select blocks <"; width = 14; action = "(done_dialog 3)"; }
            : text { key = "selobj_t"; width = 30; }
        }
    }
    spacer_1;
    : row {
        : button { key = "ok_btn"; label = "OK"; is_default = true; width = 12; action = "(done_dialog 1)"; }
        : button { key = "cancel_btn"; label = "Cancel"; is_cancel = true; width = 12; action = "(done_dialog 0)"; }
    }
    errtile;
}
