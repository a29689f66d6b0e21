// The corner-cut check: two LINEs that stop short of their common corner (a
// truncated lot corner) are measured from their nearer ends to the corner, the
// gaps are compared with the standard cut sizes at the chosen decimals, and
// the lines can be drawn out to the corner.
#include <cstdlib>
#include <string>

#include "ads.h"
#include "entity_makers.h"
#include "geometry.h"
#include "lot_tools.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

struct corner_cut_rec {
    int asked = 0;
    int make_line = 1;
    int decimals = 3;
    int warn = 1;
};

corner_cut_rec& corner_cut()
{
    static corner_cut_rec state;
    return state;
}

bool answered_yes(const std::string& answer)
{
    return str_upper_copy(answer) == "YES";
}

// The three choices of the first call; false when the user chose eXit at the
// decimals.
bool corner_cut_ask()
{
    corner_cut_rec& s = corner_cut();
    s.make_line = answered_yes(prompt_kword("0", "Yes No", "Make Line <Y>es <No>", "Yes"));
    for (;;) {
        std::string out;
        const int rc = prompt_decimals_spec("0,X,\nDecimal", 3, out, 0, 8);
        if (rc == 2) return false;
        if (rc != 1) continue;
        s.decimals = std::atoi(out.c_str());
        break;
    }
    s.warn = answered_yes(prompt_kword("0", "Yes No", "Prompt not common cut <Y>es <No>", "Yes"));
    s.asked = 1;
    return true;
}

// One LINE picked and highlighted; false (with "Not LINE" for another kind)
// otherwise.
bool pick_line(const char* prompt, ads_name line, point3d_rec& start, point3d_rec& end)
{
    ads_point at;
    if (acedEntSel(prompt, line, at) != RTNORM) return false;
    acedRedraw(line, 3);
    resbuf* groups = acdbEntGet(line);
    const char* type = groups ? rb_get_str(groups, 0) : nullptr;
    const bool is_line = type && str_upper_copy(type) == "LINE" && rb_get_point(groups, 10, start, 0) &&
                         rb_get_point(groups, 11, end, 0);
    if (groups) acutRelRb(groups);
    if (!is_line) {
        acedAlert("Not LINE");
        acedRedraw(line, 4);
    }
    return is_line;
}

bool is_common_cut(const std::string& gap, int decimals)
{
    for (double size : corner_cut_sizes)
        if (gap == rtos_decimal(size, decimals)) return true;
    return false;
}

// The end of the line nearer the point.
point3d_rec nearer_end(const point3d_rec& start, const point3d_rec& end, const point3d_rec& to)
{
    return dist_2d(start, to) <= dist_2d(end, to) ? start : end;
}

}  // namespace

int corner_cut_lines()
{
    corner_cut_rec& s = corner_cut();
    if (!s.asked && !corner_cut_ask()) return 0;
    ads_name line1, line2;
    point3d_rec a1, b1, a2, b2;
    if (!pick_line("\nSelect LINE 1:", line1, a1, b1)) return 0;
    if (!pick_line("\nSelect LINE 2:", line2, a2, b2)) {
        acedRedraw(line1, 4);
        return 0;
    }
    ads_point p1, q1, p2, q2, hit;
    point_to_ads(a1, p1);
    point_to_ads(b1, q1);
    point_to_ads(a2, p2);
    point_to_ads(b2, q2);
    if (acdbInters(p1, q1, p2, q2, 0, hit) != RTNORM) {
        acutPrintf("\nThe two lines are parallel: they have no corner.");
        acedRedraw(line1, 4);
        acedRedraw(line2, 4);
        return 0;
    }
    const point3d_rec corner{hit[0], hit[1], 0};
    const point3d_rec e1 = nearer_end(a1, b1, corner), e2 = nearer_end(a2, b2, corner);
    // A line that reaches the corner already has no gap to close.
    const bool zero = dist_2d(e1, corner) <= 0.001 || dist_2d(e2, corner) <= 0.001;
    if (zero) acedAlert("Distance ZERO");
    std::string layer;
    layer_current_get(layer);
    const std::string d1 = rtos_decimal(dist_2d(e1, corner), s.decimals);
    const std::string d2 = rtos_decimal(dist_2d(e2, corner), s.decimals);
    acutPrintf("\nDist1 [%s] Dist2 [%s]", d1.c_str(), d2.c_str());
    if (s.warn && !is_common_cut(d1, s.decimals)) acedAlert("Corner 1 not common cut");
    if (s.warn && !is_common_cut(d2, s.decimals)) acedAlert("Corner 2 not common cut");
    if (s.make_line && !zero) {
        line_make(e1, corner, layer);
        line_make(e2, corner, layer);
    }
    acedRedraw(line1, 4);
    acedRedraw(line2, 4);
    return 1;
}
