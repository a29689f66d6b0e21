// Plot of the radiations: layers, text heights and what is drawn.
travrad_save_dlg : dialog {
    label = "Save radiations to drawing";
    : edit_box { key = "t_LayerRadBgd"; label = "Bearing-distance layer :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_LayerRadLevel"; label = "Level layer :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_LayerRadLine"; label = "Line layer :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_LayerRadPntNum"; label = "Point number layer :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_LayerRadPoint"; label = "Point layer :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_TextHeightRadBgd"; label = "Label text height :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_TextHeightRadLevel"; label = "Level text height :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_TextHeightRadPntNum"; label = "Point number text height :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_SpacingRad"; label = "Spacing :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_AutoSpaceFactorRad"; label = "Auto-spacing factor :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_DecimalRad"; label = "Decimals :"; edit_width = 12; edit_limit = 60; }
    : toggle { key = "tg_PlotRadBgd"; label = "Plot bearing and distance"; }
    : toggle { key = "tg_PlotRadLevel"; label = "Plot levels"; }
    : toggle { key = "tg_PlotRadLine"; label = "Plot lines"; }
    : toggle { key = "tg_PlotRadPoint"; label = "Plot points"; }
    : toggle { key = "tg_PlotRadPntNum"; label = "Plot point numbers"; }
    : toggle { key = "tg_PlotRadTreeD"; label = "Three-dimensional"; }
    : toggle { key = "tg_DistAsalRad"; label = "Distance as measured"; }
    : toggle { key = "tg_AutoSpaceRad"; label = "Automatic spacing"; }
    : row {
        : button { key = "yes"; label = "Yes"; is_default = true; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; }
    }
    errtile;
}
