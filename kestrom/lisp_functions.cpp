// The wrappers of Kestrom's LISP functions and their table. A wrapper sets the
// LISP result to nil and runs one command; only b_selbgd, b_pickbgd and
// b_make_circle_point read LISP arguments. Wrappers return 1 (a result was
// returned) except where a wrong argument type makes them return RTERROR; the
// dispatcher ignores the value either way.
#include "lisp_functions.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <utility>

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

// A wrapper that sets nil and runs a command with a fixed argument.
template <int (*Command)(int), int Argument>
int nil_then_with()
{
    acedRetVoid();
    Command(Argument);
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

// The entries in table order; every slot is filled.
constexpr ads_symbol_rec kEntries[] = {
    {"b_treed_poly", nil_then<b_treed_poly>, false, 0},
    {"b_dtm_main", nil_then<b_dtm_main>, false, 0},
    {"b_ptpxsection", nil_then<b_ptpxsection>, false, 0},
    {"b_xsection", nil_then<b_xsection>, false, 0},
    {"b_ddedit_text", nil_then<b_ddedit_text>, false, 0},
    {"b_rotext_reverse", nil_then<b_rotext_reverse>, false, 0},
    {"b_rotext_byline", nil_then<b_rotext_byline>, false, 0},
    {"b_text_util", nil_then<b_text_util>, false, 0},
    {"b_rotext", nil_then<b_rotext>, false, 0},
    {"b_text_find", nil_only, false, 0},
    {"b_pnt_online_right_angle", nil_then_alert, false, 0},
    {"b_pnt_right_angle", nil_then<b_pnt_right_angle>, false, 0},
    {"b_pnt_online", nil_then_alert, false, 0},
    {"b_pnt_tepat", nil_then_alert, false, 0},
    {"b_line_tepat", nil_then<b_line_tepat>, false, 0},
    {"b_rad_print_listing", nil_then<b_rad_print_listing>, false, 0},
    {"b_rad_create_pnt", nil_then<b_rad_create_pnt>, false, 0},
    {"b_lot_number", nil_then<b_lot_number>, false, 0},
    {"b_put_area", nil_then<b_put_area>, false, 0},
    {"b_convert_area", nil_then<b_convert_area>, false, 0},
    {"b_triangle_div", nil_then<b_triangle_div>, false, 0},
    {"b_sub_div", nil_then<b_sub_div>, false, 0},
    {"b_find_area", nil_then<b_find_area>, false, 0},
    {"b_moffset", nil_then<b_moffset>, false, 0},
    {"b_pile_auto", nil_then<b_pile_auto>, false, 0},
    {"b_piling_pick", nil_then<b_piling_pick>, false, 0},
    {"b_number_util", nil_then<b_number_util>, false, 0},
    {"b_autodist", nil_then<b_autodist>, false, 0},
    {"b_selbgd", nil_then_with_string<b_selbgd>, false, 0},
    {"b_pickbgd", nil_then_with_string<b_pickbgd>, false, 0},
    {"b_ltrav", nil_then<b_ltrav>, false, 0},
    {"b_trav", nil_then<b_trav>, false, 0},
    {"b_inputbgd", nil_then<b_inputbgd>, false, 0},
    {"b_make_circle_point", lisp_b_make_circle_point, false, 0},
    {"b_treed_point", nil_then_with<b_input_point, 1>, false, 0},
    {"b_label_input_point", nil_then<b_label_input_point>, false, 0},
    {"b_input_point", nil_then_with<b_input_point, 0>, false, 0},
    {"b_util_plan_prop", nil_then<b_util_plan_prop>, false, 0},
    {"b_bscale", nil_then<b_bscale>, false, 0},
    {"b_label_coord", nil_then<b_label_coord>, false, 0},
    {"b_gd", nil_then<b_gd>, false, 0},
    {"b_grid_auto_label", nil_then<b_grid_auto_label>, false, 0},
    {"b_grid_label", nil_only, false, 0},
    {"b_block_grid", nil_then<b_block_grid>, false, 0},
    {"b_bgd_combine_bgd", nil_then<b_bgd_combine_bgd>, false, 0},
    {"b_bgd_spc", nil_then<b_bgd_spc>, false, 0},
    {"b_bgd_split_bgd", nil_only, false, 0},
    {"b_bgd_reverse_bg", nil_then<b_bgd_reverse_bg>, false, 0},
    {"b_sel_cutting", lisp_b_sel_cutting, false, 0},
    {"b_pick_cutting", nil_then_with<b_pick_cutting, 2>, false, 0},
    {"b_import_xyz", nil_then<b_import_xyz>, false, 0},
    {"b_tarnic", nil_then<b_tarnic>, false, 0},
};
static_assert(std::size(kEntries) == 52);

template <std::size_t... Index>
constexpr std::array<const ads_symbol_rec*, sizeof...(Index)> entry_pointers(std::index_sequence<Index...>)
{
    return {&kEntries[Index]...};
}

constexpr auto kTable = entry_pointers(std::make_index_sequence<std::size(kEntries)>());

}  // namespace

const ads_symbol_rec* const* const kestrom_lisp_table = kTable.data();
const int kestrom_lisp_slots = static_cast<int>(kTable.size());
