// b_moffset: the selected object offset n times, at step, 2 x step, ... n x
// step, on the side the user picked, through the host's "_offset"; OFFSETDIST
// is given back its former value afterwards.
#include <string>

#include "ads.h"
#include "lot_tools.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

struct moffset_state_rec {
    double step = 0.0;
    int count = 1;
    std::string dwg_path;
    int set = 0;
};

moffset_state_rec& moffset_state()
{
    static moffset_state_rec state;
    return state;
}

// The step and count of this drawing: kept while it stays current.
void moffset_setup()
{
    moffset_state_rec& s = moffset_state();
    dwg_path_track(s.set, s.dwg_path);
    if (s.set) return;
    s.step = 0.0;
    s.count = 1;
    s.set = 1;
}

// The offset step, asked until it is more than 0.
double ask_step(double last, int decimals)
{
    for (;;) {
        std::string out;
        if (prompt_size_spec("1,nil,offset distance :", last, decimals, out,
                             "The offset distance must be more than 0.") == 1)
            return std::strtod(out.c_str(), nullptr);
    }
}

// The side point: 1 with the point, 0 when the user chose "X".
int ask_side(const point3d_rec& picked, point3d_rec& side)
{
    for (;;) {
        std::string text;
        const int rc = prompt_point_or_text("\ne<X>it <Pick Side>", "", &picked, text, side);
        if (rc == 1) return 1;
        if (rc == 2 && str_upper_copy(text) == "X") return 0;
    }
}

int ask_count(int last)
{
    for (;;) {
        std::string out;
        if (prompt_int_spec("0,M,How many times", last, out) == 1) return std::atoi(out.c_str());
    }
}

}  // namespace

int b_moffset()
{
    moffset_setup();
    moffset_state_rec& s = moffset_state();
    double former = -1.0;
    sysvar_get_real("OFFSETDIST", former);
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);
    acutPrintf("\n");
    s.step = ask_step(s.step, luprec);

    ads_name object;
    ads_point at;
    if (acedEntSel("\nSelect Object:", object, at) != RTNORM) return 0;
    point3d_rec side;
    if (!ask_side(point_from_ads(at), side)) return 0;
    s.count = ask_count(s.count);
    if (s.count < 1) acutPrintf("\nNo copy made: the number of copies must be 1 or more.");

    ads_point side_point;
    point_to_ads(side, side_point);
    for (int i = 1; i <= s.count; ++i) {
        const double distance = i * s.step;
        if (acedCommand(RTSTR, "_offset", RTREAL, distance, RTENAME, object, RTPOINT, side_point, RTSTR, "",
                        RTNONE) != RTNORM) {
            acutPrintf("\nCopy %d of %d at %s could not be made; the %d before it stay.", i, s.count,
                       rtos_decimal(distance, luprec).c_str(), i - 1);
            break;
        }
    }
    sysvar_set_real("OFFSETDIST", former);
    return 1;
}
