// b_triangle_div: from a triangle, through its fixed vertex (point 1), the cut
// that leaves the required area in the triangle point 1, point 2, Q, with Q on
// the side from point 2 towards point 3.
#include <cmath>

#include "ads.h"
#include "angles.h"
#include "entity_makers.h"
#include "geometry.h"
#include "numbers.h"
#include "resbuf_util.h"
#include "sub_div.h"
#include "sysvar.h"

namespace {

bool pick(const char* prompt, const point3d_rec* base, point3d_rec& out)
{
    ads_point from, got;
    if (base) point_to_ads(*base, from);
    if (acedGetPoint(base ? from : nullptr, prompt, got) != RTNORM) return false;
    out = point3d_rec{got[0], got[1], 0};
    return true;
}

}  // namespace

int b_triangle_div()
{
    acutPrintf("\nTriangle Division :");
    subdiv_setup();
    if (!ask_required_area()) return 0;
    const double area = subdiv().area_m2;
    point3d_rec p1, p2, p3;
    if (!pick("\nFixed point 1:", nullptr, p1) || !pick("\npoint 2:", &p1, p2) ||
        !pick("\npoint 3:", &p1, p3))
        return 0;
    std::string layer;
    if (!layer_current_get(layer) || layer.empty()) layer = std::string(1, '0');

    const double theta = angle_diff(bearing_deg(p2, p1), bearing_deg(p2, p3));
    const double d = dist_2d(p1, p2);
    const double sine = std::sin(angle_deg_to_rad(theta));
    // Three points on one line (or two the same) make no triangle.
    const double turn = (p1.x - p2.x) * (p3.y - p2.y) - (p1.y - p2.y) * (p3.x - p2.x);
    if (d == 0 || dist_2d(p2, p3) == 0 || std::fabs(turn) <= 1e-12 * d * dist_2d(p2, p3)) {
        acutPrintf("\nThe three points lie on one line and make no triangle: nothing drawn.");
        return 0;
    }
    const double t = std::fabs(2 * area / (d * sine));
    const point3d_rec q = point_toward(p2, p3, t);  // along the bearing from point 2 to point 3
    if (t > dist_2d(p2, p3))
        acutPrintf("\nThe required area is more than the triangle holds: the cut ends %s beyond point 3.",
                   rtos_decimal(t - dist_2d(p2, p3), 3).c_str());
    line_make(q, p1, layer);
    return 0;
}
