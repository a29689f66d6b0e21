// Plot of the traverse into the drawing: layers, sizes, what is drawn, the
// table and its position, and the accuracy ratio of each route.
trav_save_dlg : dialog {
    label = "Save traverse to drawing";
    : edit_box { key = "t_LayerTravLine"; label = "Traverse line layer :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_LayerBgd"; label = "Bearing-distance layer :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_LayerStn"; label = "Station layer :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_PlotScale"; label = "Plot scale :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_TextHeightBgd"; label = "Label text height :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_TextHeightStn"; label = "Station text height :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_Spacing"; label = "Spacing :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_AutoSpaceFactor"; label = "Auto-spacing factor :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_Decimal"; label = "Decimals :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_LineNumber"; label = "Table line number :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_MaxShortDist"; label = "Table maximum short distance :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_X"; label = "Table X :"; edit_width = 12; edit_limit = 60; }
    : edit_box { key = "t_Y"; label = "Table Y :"; edit_width = 12; edit_limit = 60; }
    : button { key = "p_Table"; label = "Pick table position <"; }
    : toggle { key = "tg_PlotTravLine"; label = "Plot traverse lines"; }
    : toggle { key = "tg_PlotRad"; label = "Plot radiations"; }
    : toggle { key = "tg_PlotBgd"; label = "Plot bearing and distance"; }
    : toggle { key = "tg_PlotStnNumber"; label = "Plot station numbers"; }
    : toggle { key = "tg_autoLayer"; label = "Automatic layer names"; }
    : toggle { key = "tg_PlotTable"; label = "Table"; }
    : toggle { key = "tg_PlotCoord"; label = "Coordinates"; }
    : toggle { key = "tg_EngStyle"; label = "Engineering style"; }
    : toggle { key = "tg_PlotTreeD"; label = "Three-dimensional"; }
    : toggle { key = "tg_DistAsal"; label = "Distance as measured"; }
    : toggle { key = "tg_AutoSpace"; label = "Automatic spacing"; }
    : toggle { key = "tg_Adjust"; label = "Adjust"; }
    : list_box { key = "xtikai"; label = "Accuracy 1 in :"; height = 4; }
    : button { key = "rad"; label = "Radiations..."; action = "(done_dialog 4)"; }
    : row {
        : button { key = "yes"; label = "Yes"; is_default = true; }
        : button { key = "cancel"; label = "Cancel"; is_cancel = true; }
    }
    errtile;
}
