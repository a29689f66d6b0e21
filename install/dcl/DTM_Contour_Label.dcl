// Contour label settings: the guide lines beside the labels, the align
// option, the plot scale and text height, the label and contour layers, and
// the unit text written after each level.
TinContourLabel_dlg : dialog {
    label = "Label Contour";
    : boxed_column {
        label = "Labels";
        : toggle {
            key = "tg_MakeParallelLine";
            label = "Draw guide lines beside the labels";
        }
        : toggle {
            key = "tg_SelectAlgn";
            label = "Align labels";
        }
        : edit_box {
            key = "txt_PlotScale";
            label = "Plot scale 1 :";
            edit_width = 12;
        }
        : edit_box {
            key = "txt_TextHeight";
            label = "Text height :";
            edit_width = 12;
        }
        : edit_box {
            key = "txt_Unit";
            label = "Unit text :";
            edit_width = 12;
        }
    }
    : boxed_column {
        label = "Layers";
        : edit_box {
            key = "txt_MajorCntLayer";
            label = "Major contour layer :";
            edit_width = 24;
        }
        : edit_box {
            key = "txt_MinorCntLayer";
            label = "Minor contour layer :";
            edit_width = 24;
        }
        : edit_box {
            key = "txt_MajorLblLayer";
            label = "Major label layer :";
            edit_width = 24;
        }
        : edit_box {
            key = "txt_MinorLblLayer";
            label = "Minor label layer :";
            edit_width = 24;
        }
    }
    spacer_1;
    : row {
        : button {
            key = "ok";
            label = "OK";
            is_default = true;
        }
        : button {
            key = "cancel";
            label = "Cancel";
            is_cancel = true;
        }
    }
    errtile;
}
