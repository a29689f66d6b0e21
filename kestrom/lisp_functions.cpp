// The wrappers of Kestrom's LISP functions and their table. A wrapper sets the
// LISP result to nil and runs one command; only b_selbgd, b_pickbgd and
// b_make_circle_point read LISP arguments. Wrappers return 1 (a result was
// returned) except where a wrong argument type makes them return RTERROR; the
// dispatcher ignores the value either way.
#include "lisp_functions.h"

#include "ads.h"
#include "commands.h"
#include "sysvar.h"

namespace {

// The one text the three unavailable tools show.
constexpr const char* kUnavailableAlert = "Unavailable";

// CMDECHO is restored to this when it could not be read before the call (the
// host's default).
constexpr short kCmdechoDefault = 1;

// A wrapper that sets nil and runs a command without arguments.
template <int (*Command)()>
int nil_then()
{
    acedRetVoid();
    Command();
    return RSRSLT;
}

int nil_only()
{
    acedRetVoid();
    return RSRSLT;
}

int nil_then_alert()
{
    acedRetVoid();
    acedAlert(kUnavailableAlert);
    return RSRSLT;
}

// b_selbgd and b_pickbgd: the command runs only with a string as first argument.
template <int (*Command)(const char*)>
int nil_then_with_string()
{
    acedRetVoid();
    const resbuf* args = acedGetArgs();
    if (args != nullptr && args->restype == RTSTR) Command(args->resval.rstring);
    return RSRSLT;
}

int lisp_b_make_circle_point()
{
    acedRetVoid();
    const resbuf* args = acedGetArgs();
    if (args == nullptr) return RSRSLT;
    if (args->restype != RTSHORT) {
        acutPrintf("Unknown return code from ads_getreal \n");
        return RTERROR;
    }
    b_make_circle_point(args->resval.rint);
    return RSRSLT;
}

int lisp_b_treed_point()
{
    acedRetVoid();
    b_input_point(1);
    return RSRSLT;
}

int lisp_b_input_point()
{
    acedRetVoid();
    b_input_point(0);
    return RSRSLT;
}

// Puts CMDECHO back when it goes out of scope, also when the command is
// unwound by the host (input ended while it was still asking).
struct CmdechoBracket {
    int saved = kCmdechoDefault;
    CmdechoBracket()
    {
        if (!sysvar_get_int("CMDECHO", saved)) saved = kCmdechoDefault;
        sysvar_set_short("CMDECHO", 0);
    }
    ~CmdechoBracket() { sysvar_set_short("CMDECHO", static_cast<short>(saved)); }
    CmdechoBracket(const CmdechoBracket&) = delete;
    CmdechoBracket& operator=(const CmdechoBracket&) = delete;
};

// The command runs with command echo off.
int lisp_b_sel_cutting()
{
    acedGetArgs();
    {
        CmdechoBracket bracket;
        b_sel_cutting(2);
        acutPrintf("\nFor setting Type command: (setcut) Unload : pku");
        acedRedraw(nullptr, 4);
    }
    acedRetVoid();
    return RSRSLT;
}

int lisp_b_pick_cutting()
{
    acedRetVoid();
    b_pick_cutting(2);
    return RSRSLT;
}

#define ENTRY(lisp_name, wrapper) const ads_symbol_rec entry_##lisp_name = {#lisp_name, wrapper, false, 0}

ENTRY(b_treed_poly, nil_then<b_treed_poly>);
ENTRY(b_dtm_main, nil_then<b_dtm_main>);
ENTRY(b_ptpxsection, nil_then<b_ptpxsection>);
ENTRY(b_xsection, nil_then<b_xsection>);
ENTRY(b_ddedit_text, nil_then<b_ddedit_text>);
ENTRY(b_rotext_reverse, nil_then<b_rotext_reverse>);
ENTRY(b_rotext_byline, nil_then<b_rotext_byline>);
ENTRY(b_text_util, nil_then<b_text_util>);
ENTRY(b_rotext, nil_then<b_rotext>);
ENTRY(b_text_find, nil_only);
ENTRY(b_pnt_online_right_angle, nil_then_alert);
ENTRY(b_pnt_right_angle, nil_then<b_pnt_right_angle>);
ENTRY(b_pnt_online, nil_then_alert);
ENTRY(b_pnt_tepat, nil_then_alert);
ENTRY(b_line_tepat, nil_then<b_line_tepat>);
ENTRY(b_rad_print_listing, nil_then<b_rad_print_listing>);
ENTRY(b_rad_create_pnt, nil_then<b_rad_create_pnt>);
ENTRY(b_lot_number, nil_then<b_lot_number>);
ENTRY(b_put_area, nil_then<b_put_area>);
ENTRY(b_convert_area, nil_then<b_convert_area>);
ENTRY(b_triangle_div, nil_then<b_triangle_div>);
ENTRY(b_sub_div, nil_then<b_sub_div>);
ENTRY(b_find_area, nil_then<b_find_area>);
ENTRY(b_moffset, nil_then<b_moffset>);
ENTRY(b_pile_auto, nil_then<b_pile_auto>);
ENTRY(b_piling_pick, nil_then<b_piling_pick>);
ENTRY(b_number_util, nil_then<b_number_util>);
ENTRY(b_autodist, nil_then<b_autodist>);
ENTRY(b_selbgd, nil_then_with_string<b_selbgd>);
ENTRY(b_pickbgd, nil_then_with_string<b_pickbgd>);
ENTRY(b_ltrav, nil_then<b_ltrav>);
ENTRY(b_trav, nil_then<b_trav>);
ENTRY(b_inputbgd, nil_then<b_inputbgd>);
ENTRY(b_make_circle_point, lisp_b_make_circle_point);
ENTRY(b_treed_point, lisp_b_treed_point);
ENTRY(b_label_input_point, nil_then<b_label_input_point>);
ENTRY(b_input_point, lisp_b_input_point);
ENTRY(b_util_plan_prop, nil_then<b_util_plan_prop>);
ENTRY(b_bscale, nil_then<b_bscale>);
ENTRY(b_label_coord, nil_then<b_label_coord>);
ENTRY(b_gd, nil_then<b_gd>);
ENTRY(b_grid_auto_label, nil_then<b_grid_auto_label>);
ENTRY(b_grid_label, nil_only);
ENTRY(b_block_grid, nil_then<b_block_grid>);
ENTRY(b_bgd_combine_bgd, nil_then<b_bgd_combine_bgd>);
ENTRY(b_bgd_spc, nil_then<b_bgd_spc>);
ENTRY(b_bgd_split_bgd, nil_only);
ENTRY(b_bgd_reverse_bg, nil_then<b_bgd_reverse_bg>);
ENTRY(b_sel_cutting, lisp_b_sel_cutting);
ENTRY(b_pick_cutting, lisp_b_pick_cutting);
ENTRY(b_import_xyz, nil_then<b_import_xyz>);
ENTRY(b_tarnic, nil_then<b_tarnic>);

#undef ENTRY

}  // namespace

const ads_symbol_rec* const kestrom_lisp_table[] = {
    &entry_b_treed_poly,
    &entry_b_dtm_main,
    &entry_b_ptpxsection,
    &entry_b_xsection,
    &entry_b_ddedit_text,
    &entry_b_rotext_reverse,
    &entry_b_rotext_byline,
    &entry_b_text_util,
    &entry_b_rotext,
    &entry_b_text_find,
    &entry_b_pnt_online_right_angle,
    &entry_b_pnt_right_angle,
    &entry_b_pnt_online,
    &entry_b_pnt_tepat,
    &entry_b_line_tepat,
    &entry_b_rad_print_listing,
    &entry_b_rad_create_pnt,
    &entry_b_lot_number,
    &entry_b_put_area,
    &entry_b_convert_area,
    &entry_b_triangle_div,
    &entry_b_sub_div,
    &entry_b_find_area,
    &entry_b_moffset,
    &entry_b_pile_auto,
    &entry_b_piling_pick,
    &entry_b_number_util,
    &entry_b_autodist,
    &entry_b_selbgd,
    &entry_b_pickbgd,
    &entry_b_ltrav,
    &entry_b_trav,
    &entry_b_inputbgd,
    &entry_b_make_circle_point,
    &entry_b_treed_point,
    &entry_b_label_input_point,
    &entry_b_input_point,
    &entry_b_util_plan_prop,
    &entry_b_bscale,
    &entry_b_label_coord,
    &entry_b_gd,
    &entry_b_grid_auto_label,
    &entry_b_grid_label,
    &entry_b_block_grid,
    &entry_b_bgd_combine_bgd,
    &entry_b_bgd_spc,
    &entry_b_bgd_split_bgd,
    &entry_b_bgd_reverse_bg,
    &entry_b_sel_cutting,
    &entry_b_pick_cutting,
    &entry_b_import_xyz,
    &entry_b_tarnic,
};
const int kestrom_lisp_slots = sizeof kestrom_lisp_table / sizeof kestrom_lisp_table[0];
static_assert(sizeof kestrom_lisp_table / sizeof kestrom_lisp_table[0] == 52);
