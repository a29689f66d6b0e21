// Settings of the bearing-distance input's radiations: which texts are asked,
// their heights and layers, the plot scale and what each radiation draws.
input_bgd_setting_Dlg : dialog {
    label = "Bearing-distance input settings";
    : boxed_column {
        label = "Level";
        : toggle {
            key = "tg_PromptLevel";
            label = "Prompt &level";
            mnemonic = "l";
        }
        : edit_box {
            key = "t_LevelTxtHeight";
            label = "Level text height";
            edit_width = 10;
        }
        : edit_box {
            key = "t_LevelLayer";
            label = "Level layer";
            edit_width = 20;
        }
    }
    : boxed_column {
        label = "Text";
        : toggle {
            key = "tg_PromptText";
            label = "Prompt &text";
            mnemonic = "t";
        }
        : edit_box {
            key = "t_TxtHeight";
            label = "Text height";
            edit_width = 10;
        }
        : edit_box {
            key = "t_TextLayer";
            label = "Text layer";
            edit_width = 20;
        }
    }
    : edit_box {
        key = "t_PlotScale";
        label = "Plot scale 1:";
        edit_width = 10;
    }
    : popup_list {
        key = "pop_ObjectType";
        label = "Object type";
        width = 20;
    }
    ok_cancel;
    errtile;
}
