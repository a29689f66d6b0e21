// b_sub_div: a lot cut into parcels of required areas. The user picks the base
// line (point 1, point 2), a point on each side line and the bearing of the
// cuts; each cut is placed so that the area between the base line and it is
// the total of the areas given so far. Side lines that meet at an apex give the
// cut from the area of the ring between the base and the cut, a quadratic in
// the cut's offset; parallel side lines give it from the strip between them,
// whose auxiliary triangles are measured with the host's "area".
#include "sub_div.h"

#include <cmath>
#include <cstdlib>

#include "ads.h"
#include "angles.h"
#include "entity_makers.h"
#include "geometry.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

// Side lines closer to parallel than this (the sine of the angle between them)
// are taken as parallel: the apex would lie so far off that the apex
// triangle's area swamps the parcels' in double precision.
constexpr double kParallelSine = 1e-8;
// How far (as a part of the side) a cut may lie outside a side and still count
// as on it: rounding, not a real overrun.
constexpr double kOnSide = 1e-9;

bool pick(const char* prompt, const point3d_rec* base, point3d_rec& out)
{
    ads_point from, got;
    if (base) point_to_ads(*base, from);
    if (acedGetPoint(base ? from : nullptr, prompt, got) != RTNORM) return false;
    out = point3d_rec{got[0], got[1], 0};
    return true;
}

// The crossing of the two lines (unbounded with bounded 0).
bool inters(const point3d_rec& a1, const point3d_rec& a2, const point3d_rec& b1, const point3d_rec& b2,
            int bounded, point3d_rec& out)
{
    ads_point p1, p2, q1, q2, hit;
    point_to_ads(a1, p1);
    point_to_ads(a2, p2);
    point_to_ads(b1, q1);
    point_to_ads(b2, q2);
    if (acdbInters(p1, p2, q1, q2, bounded, hit) != RTNORM) return false;
    out = point3d_rec{hit[0], hit[1], 0};
    return true;
}

// The triangle's area by the host's "area"; false when the host measured none.
bool host_area(const point3d_rec& a, const point3d_rec& b, const point3d_rec& c, double& area)
{
    ads_point pa, pb, pc;
    point_to_ads(a, pa);
    point_to_ads(b, pb);
    point_to_ads(c, pc);
    if (acedCommand(RTSTR, "area", RTPOINT, pa, RTPOINT, pb, RTPOINT, pc, RTSTR, "", RTNONE) != RTNORM)
        return false;
    return sysvar_get_real("AREA", area) == 1;
}

double cross(const point3d_rec& o, const point3d_rec& a, const point3d_rec& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

double sine_between(double bearing1, double bearing2)
{
    return std::fabs(std::sin(angle_deg_to_rad(angle_diff(bearing1, bearing2))));
}

// Where p lies along the side from its base point (0) to its side point (1).
double along_side(const point3d_rec& base, const point3d_rec& side, const point3d_rec& p)
{
    const double dx = side.x - base.x, dy = side.y - base.y;
    return ((p.x - base.x) * dx + (p.y - base.y) * dy) / (dx * dx + dy * dy);
}

struct lot_frame {
    point3d_rec p1, p2, s1, s2;
    double bearing = 0;  // of the cuts
};

// The picks make a lot: four distinct corners, sides that leave the base at an
// angle and do not cross each other between the base and the side points.
bool frame_usable(const lot_frame& f)
{
    const double size = dist_2d(f.p1, f.p2) + dist_2d(f.p1, f.s1) + dist_2d(f.p2, f.s2);
    const double tiny = 1e-12 * size * size;
    if (dist_2d(f.p1, f.p2) == 0 || dist_2d(f.p1, f.s1) == 0 || dist_2d(f.p2, f.s2) == 0) {
        acutPrintf("\nThe base and side points must be four different points: nothing drawn.");
        return false;
    }
    if (std::fabs(cross(f.p1, f.p2, f.s1)) <= tiny || std::fabs(cross(f.p2, f.p1, f.s2)) <= tiny) {
        acutPrintf("\nA side line runs along the base line: nothing drawn.");
        return false;
    }
    point3d_rec crossing;
    if (inters(f.p1, f.s1, f.p2, f.s2, 1, crossing)) {
        acutPrintf("\nThe side lines cross between the base and the side points: nothing drawn.");
        return false;
    }
    return true;
}

// The cut between its ends on side 2 and side 1, drawn (from the end on side 2
// when from_side2 is set) when both lie on their sides between the base and the
// side points; otherwise the reason is given and nothing is drawn.
bool cut_draw(const lot_frame& f, const point3d_rec& on_side2, const point3d_rec& on_side1, bool from_side2,
              const std::string& layer)
{
    const double t1 = along_side(f.p1, f.s1, on_side1), t2 = along_side(f.p2, f.s2, on_side2);
    if (!std::isfinite(t1) || !std::isfinite(t2)) {
        acutPrintf("\nThe cut could not be placed: nothing drawn.");
        return false;
    }
    if (t1 > 1 + kOnSide || t2 > 1 + kOnSide) {
        acutPrintf(
            "\nThe required area is more than the lot can give between the base and the side points: "
            "nothing drawn.");
        return false;
    }
    if (t1 < -kOnSide || t2 < -kOnSide) {
        acutPrintf("\nThe cut would cross the base line at this bearing: nothing drawn.");
        return false;
    }
    if (from_side2)
        line_make(on_side2, on_side1, layer);
    else
        line_make(on_side1, on_side2, layer);
    return true;
}

// The cut at the lot's bearing that leaves the total between the base and
// itself: its ends on side 2 and side 1. The area of the ring P1, P2, Q2, Q1 is
// a quadratic in the cut's offset h along its normal; it is worked from point 1
// with unit vectors along the sides, so that no value grows with the distance
// to the apex. (The apex triangle's area, of which the parcel is a difference,
// grows with the square of that distance: on sides parallel only to the
// rounding of their coordinates it leaves too few digits to place the cut on
// its bearing.) False when the cut cannot sweep the sides from the base or no
// cut short of the apex leaves the total.
bool cut_by_area(const lot_frame& f, double total, point3d_rec& on_side2, point3d_rec& on_side1)
{
    const double l1 = dist_2d(f.p1, f.s1), l2 = dist_2d(f.p2, f.s2);
    const double d1x = (f.s1.x - f.p1.x) / l1, d1y = (f.s1.y - f.p1.y) / l1;
    const double d2x = (f.s2.x - f.p2.x) / l2, d2y = (f.s2.y - f.p2.y) / l2;
    const double bx = f.p2.x - f.p1.x, by = f.p2.y - f.p1.y;
    double ux = 0, uy = 0;
    bearing_to_dxdy(f.bearing, 1.0, ux, uy);
    // The cut's normal, turned so that it leaves the base along side 1.
    double nx = uy, ny = -ux;
    double n1 = nx * d1x + ny * d1y, n2 = nx * d2x + ny * d2y;
    if (n1 < 0) {
        nx = -nx;
        ny = -ny;
        n1 = -n1;
        n2 = -n2;
    }
    if (!(n1 > 0) || !(n2 > 0)) return false;
    const double hb = nx * bx + ny * by;  // point 2's offset
    const double xb1 = bx * d1y - by * d1x, xb2 = bx * d2y - by * d2x, x21 = d2x * d1y - d2y * d1x;
    // With Q1 = P1 + (h / n1) d1 and Q2 = P2 + ((h - hb) / n2) d2, twice the
    // ring's signed area is (h - hb) xb2 / n2 + h xb1 / n1 + h (h - hb) x21 / (n1 n2);
    // its sign is the ring's turn, that of xb1.
    const double turn = xb1 > 0 ? 0.5 : -0.5;
    const double a = turn * x21 / (n1 * n2);
    const double b = turn * (xb2 / n2 + xb1 / n1 - hb * x21 / (n1 * n2));
    const double c = -turn * hb * xb2 / n2 - total;
    const double disc = b * b - 4 * a * c;
    if (!(disc >= 0)) return false;
    // The root on the rising side of the area (2 a h + b > 0), in the form that
    // keeps its digits when a is small (sides nearly parallel).
    const double root = std::sqrt(disc);
    if (!(b > 0) && a == 0) return false;
    const double h = b > 0 ? -2 * c / (b + root) : (root - b) / (2 * a);
    if (!std::isfinite(h)) return false;
    const double t1 = h / n1, t2 = (h - hb) / n2;
    on_side1 = point3d_rec{f.p1.x + t1 * d1x, f.p1.y + t1 * d1y, 0};
    on_side2 = point3d_rec{f.p2.x + t2 * d2x, f.p2.y + t2 * d2y, 0};
    return true;
}

// The parcel's cut where the side lines meet at the apex I.
bool cut_with_apex(const lot_frame& f, const point3d_rec& apex, double total, const std::string& layer)
{
    acutPrintf(dist_2d(f.p1, apex) <= dist_2d(f.s1, apex) ? "\nNormal case 1b found inters"
                                                          : "\nNormal case 1a found inters");
    point3d_rec q2, q1;
    if (!cut_by_area(f, total, q2, q1)) {
        acutPrintf(
            "\nThe required area is more than the lot can give between the base and the side points: "
            "nothing drawn.");
        return false;
    }
    return cut_draw(f, q2, q1, true, layer);
}

// The parcel's cut where the side lines are parallel: the triangle between the
// base and the square from point 2, the strip of width |P2 X0|, and the
// triangle between the square and the cut.
bool cut_parallel(const lot_frame& f, double total, const std::string& layer)
{
    acutPrintf("\nNormal case 1b inters not found");
    const double b = f.bearing;
    // T: square to side 2 from point 2 (its bearing + 90).
    const double side_len = dist_2d(f.p2, f.s2), base_len = dist_2d(f.p1, f.p2);
    const point3d_rec t{f.p2.x + (f.s2.y - f.p2.y) / side_len * base_len,
                        f.p2.y - (f.s2.x - f.p2.x) / side_len * base_len, 0};
    point3d_rec x0, w, y1, y2;
    polar_point(b, dist_2d(f.s1, f.s2), f.s1, w);
    if (!inters(f.p2, t, f.p1, f.s1, 0, x0) || !inters(f.p2, f.s2, f.s1, w, 0, y1)) {
        acutPrintf("\nThe cut could not be placed: nothing drawn.");
        return false;
    }
    const point3d_rec w2{f.s1.x + (x0.x - f.p2.x), f.s1.y + (x0.y - f.p2.y), 0};  // along P2 -> X0
    double a1 = 0, a2 = 0;
    if (!inters(f.p2, f.s2, f.s1, w2, 0, y2) || !host_area(f.p1, f.p2, x0, a1) ||
        !host_area(y2, y1, f.s1, a2)) {
        acutPrintf("\nThe cut could not be placed: nothing drawn.");
        return false;
    }
    const double width = dist_2d(f.p2, x0);
    const double l = (total - (a1 + a2)) / width;
    const bool near_b = dist_2d(y1, f.p2) <= dist_2d(y2, f.p2);
    point3d_rec m, n, x;
    if (dist_2d(f.p1, f.s1) > dist_2d(x0, f.s1)) {
        if (near_b) {
            acutPrintf("\nparallel case 1b");
            m = point_toward(f.p2, f.s2, l);
            polar_point(b, dist_2d(f.s1, f.s2), m, n);
            if (!inters(f.p1, f.s1, m, n, 0, x)) return false;
            return cut_draw(f, m, x, true, layer);
        }
        acutPrintf("\nparallel case 1a");
        m = point_toward(f.p1, f.s1, dist_2d(f.p1, x0) + l);
    } else if (near_b) {
        acutPrintf("\nparallel case 2b");
        m = point_toward(f.p1, f.s1, dist_2d(y2, y1) + l);
    } else {
        acutPrintf("\nparallel case 2a");
        m = point_toward(f.p1, f.s1, l);
    }
    polar_point(b, dist_2d(f.s1, f.s2), m, n);
    if (!inters(f.p2, f.s2, m, n, 0, x)) return false;
    return cut_draw(f, x, m, false, layer);
}

// The cut bearing: the base line's by default, typed as D.MMSS or picked.
// false when the user chose eXit or gave none.
bool ask_cut_bearing(const lot_frame& f, double& bearing)
{
    const double base = bearing_deg(f.p1, f.p2);
    const double shown = std::atof(angle_deg_to_dms_text(base, 0).c_str());
    for (;;) {
        std::string out, typed;
        const int rc = prompt_angle_dms("P,X", 2, "e<X>it <P>ick New Bg  ", shown, out, &typed);
        acutPrintf("\niret %i sdeg %s", rc, out.c_str());
        if (rc == 2 && out == "X") return false;
        if (rc == 2 && out == "P") {
            point3d_rec a, b;
            if (!pick("\nPick point 1:", nullptr, a) || !pick("\nPick point 2:", &a, b)) return false;
            bearing = bearing_deg(a, b);
        } else if (rc == 1) {
            // A negative bearing is the reverse one: the same cut line.
            bearing = angle_dms_to_deg(angle_dms_from_signed(std::atof(out.c_str())));
        } else if (!typed.empty()) {
            // 360 or more, minutes or seconds of 60 or more, or a word that is no
            // keyword: asked again, so that the four picks are not lost.
            acutPrintf("\nA bearing below 360 (D.MMSS), <P>ick or e<X>it.");
            continue;
        } else {
            acutPrintf("\nNo cut bearing: the sub-division ends.");
            return false;
        }
        const double b_side1 = bearing_deg(f.p1, f.s1), b_side2 = bearing_deg(f.p2, f.s2);
        if (sine_between(bearing, b_side1) > 1e-9 && sine_between(bearing, b_side2) > 1e-9) return true;
        acutPrintf("\nA cut at this bearing runs along a side line: give another bearing.");
    }
}

// "Continue Yes/No": false for "No"; the answer is the next default.
bool ask_continue()
{
    subdiv_rec& s = subdiv();
    const std::string answer = prompt_kword("0", "Yes No", "Continue Yes/No", s.continue_answer);
    const bool no = str_upper_copy(answer) == "NO";
    s.continue_answer = no ? "No" : "Yes";
    return !no;
}

}  // namespace

subdiv_rec& subdiv()
{
    static subdiv_rec record;
    return record;
}

void subdiv_setup()
{
    subdiv_rec& s = subdiv();
    dwg_path_track(s.set, s.dwg_path);
    if (s.set) return;
    const std::string path = s.dwg_path;
    s = subdiv_rec{};
    s.dwg_path = path;
    s.set = 1;
}

int ask_required_area()
{
    subdiv_rec& s = subdiv();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);
    acutPrintf("\n");
    for (;;) {
        std::string out;
        const int rc =
            prompt_size_spec("0,X M A H F,e<X>it <M>eter <A>cre <H>ectare <F>eet \n Required Area ",
                             s.area_typed, luprec, out, "The required area must be more than 0.");
        if (rc == 2) {
            const std::string word = str_upper_copy(out);
            if (word == "X") return 0;
            for (int i = 0; i < 4; ++i)
                if (word == s.unit_keywords[i]) s.unit = i;
            continue;
        }
        if (rc != 1) continue;
        const double typed = std::strtod(out.c_str(), nullptr);
        double m2 = typed;
        if (s.unit != 0 && acutCvUnit(typed, s.unit_names[s.unit], "meter^2", &m2) != RTNORM) {
            acutPrintf("\nThe area could not be converted from %s.", s.unit_names[s.unit]);
            continue;
        }
        s.area_typed = typed;
        s.area_m2 = m2;
        return 1;
    }
}

int b_sub_div()
{
    acutPrintf("\nLot sub-division version cpp 1.0");
    subdiv_setup();
    if (!ask_required_area()) return 0;
    double total = 0;
    std::string layer;
    if (!layer_current_get(layer) || layer.empty()) layer = std::string(1, '0');
    acutPrintf("\nSub-Division");
    lot_frame f;
    if (!pick("\nPick point 1:", nullptr, f.p1) || !pick("\nPick point 2:", &f.p1, f.p2) ||
        !pick("\nNext side point 2:", &f.p2, f.s2) || !pick("\nNext side point 1:", &f.p1, f.s1))
        return 0;
    if (!frame_usable(f) || !ask_cut_bearing(f, f.bearing)) return 0;

    point3d_rec apex;
    bool has_apex = inters(f.p1, f.s1, f.p2, f.s2, 0, apex);
    if (has_apex) {
        const double sine = std::fabs(cross(apex, f.s1, f.s2)) / (dist_2d(apex, f.s1) * dist_2d(apex, f.s2));
        has_apex = sine >= kParallelSine;
    }
    for (;;) {
        const double area = subdiv().area_m2;
        total += area;
        const bool drawn = has_apex ? cut_with_apex(f, apex, total, layer) : cut_parallel(f, total, layer);
        if (!drawn) total -= area;  // a refused parcel takes nothing from the lot
        if (!ask_continue() || !ask_required_area()) return 0;
    }
}
