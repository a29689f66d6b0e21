// Small editing tools for a finished plan, run from the plan-utility menu by
// index (the rescale tool is also the LISP function b_bscale): rescale texts
// and blocks from one plot scale to another, copy a block onto points, explode
// blocks, change circle radii, attach and show a marker text, print a picked
// point, and mark or move entities whose elevations lie in a range. Their
// settings live in memory for the loaded plug-in, never in the drawing.
#pragma once

#include <string>

struct plan_tools_cfg_rec {
    // Rescale block and text.
    int rescale_mode = 1;  // 1 block and text, 2 text, 3 block
    double old_scale = 1000.0, new_scale = 1000.0;
    // Copy block to points.
    double block_scale = 1000.0;     // 1:n
    double block_rotation = 90.0;    // bearing of the block's x axis, degrees
    int select_by_layer = 0;         // POINTs only on layers matching the filter
    std::string layer_filter = "*";  // wildcards allowed
    int force_block_layer = 1;       // 1: the block's own layer, 0: the current layer
    std::string block_name;          // chosen in the dialog
    // Change circle radius.
    double circle_radius = 1.0;
    // Marker text.
    std::string marker_text;
};
plan_tools_cfg_rec& plan_tools_cfg();

// The application of the marker texts.
inline constexpr const char* kMarkerApp = "MARKX";

// Each returns 1 when it ran to its end, 0 when the user left early (an exit at
// a prompt, nothing selected or picked, a cancelled dialog).
int b_bscale();
int copy_block_to_points();
int point_to_block_dlg();  // its last status; -2 when it could not be shown, 0 after "Sorry no blocks"
int explode_blocks();
int change_circle_radius();
int marker_text_attach();
int marker_text_show();
int pick_point_print();
int check_3d();

// The two routines of the same family that no menu reaches.
int zero_elevation_marks();
int angle_label();
