// The commands that the LISP functions of Kestrom run, one per subsystem
// command. Each runs to its end inside the LISP call, reports its own failures
// and sets no LISP result (the wrappers set nil).
#pragma once

// Traverse and bearing-distance.
int b_trav();
int b_ltrav();
int b_inputbgd();
int b_autodist();
int b_selbgd(const char* mode);  // mode "Auto" or another text
int b_pickbgd(const char* mode);
int b_gd();
int b_bgd_combine_bgd();
int b_bgd_spc();
int b_bgd_reverse_bg();

// Lots and radiation.
int b_find_area();
int b_put_area();
int b_convert_area();
int b_lot_number();
int b_sub_div();
int b_triangle_div();
int b_moffset();
int b_rad_create_pnt();
int b_rad_print_listing();

// Drafting tools.
int b_input_point(int three_d);  // 1 for 3D points (b_treed_point), 0 for 2D
int b_label_input_point();
int b_label_coord();
int b_block_grid();
int b_grid_auto_label();
int b_import_xyz();
int b_treed_poly();
int b_tarnic();
int b_bscale();
int b_util_plan_prop();
int b_number_util();
int b_text_util();
int b_ddedit_text();
int b_rotext();
int b_rotext_reverse();
int b_rotext_byline();
int b_pnt_right_angle();
int b_line_tepat();
int b_make_circle_point(int mode);  // 1 circles, 2 points

// Terrain and setting-out.
int b_dtm_main();
int b_ptpxsection();
int b_xsection();
int b_pile_auto();
int b_piling_pick();
int b_sel_cutting(int mode);  // 2: the strips are filled by the host's HATCH command
int b_pick_cutting(int mode);
