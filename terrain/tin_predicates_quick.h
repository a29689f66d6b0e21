// The quick evaluations of the exact predicates, inline for the triangulator,
// which makes tens of millions of them: a determinant whose size exceeds the
// bound of its rounding errors has the right sign; a smaller one is evaluated
// again without rounding. The bounds hold only when every sum and product is
// rounded on its own, so a file that includes this one is compiled without
// contraction of multiply and add (see CMakeLists.txt).
#pragma once

#include <cmath>

int tin_orient_exact(double ax, double ay, double bx, double by, double cx, double cy);
int tin_in_circle_exact(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                        double dy);

namespace tin_quick {

// Half the distance from 1 to the next double.
constexpr double kEpsilon = 1.1102230246251565e-16;
constexpr double kOrientBound = (3.0 + 16.0 * kEpsilon) * kEpsilon;
constexpr double kInCircleBound = (10.0 + 96.0 * kEpsilon) * kEpsilon;

inline int sign_of(double v)
{
    return v > 0.0 ? 1 : (v < 0.0 ? -1 : 0);
}

inline int orient(double ax, double ay, double bx, double by, double cx, double cy)
{
    const double left = (ax - cx) * (by - cy);
    const double right = (ay - cy) * (bx - cx);
    const double det = left - right;
    double sum;
    if (left > 0.0) {
        if (right <= 0.0) return sign_of(det);
        sum = left + right;
    } else if (left < 0.0) {
        if (right >= 0.0) return sign_of(det);
        sum = -left - right;
    } else {
        return sign_of(det);
    }
    const double bound = kOrientBound * sum;
    if (det >= bound || -det >= bound) return sign_of(det);
    return tin_orient_exact(ax, ay, bx, by, cx, cy);
}

inline int in_circle(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy)
{
    const double adx = ax - dx, ady = ay - dy;
    const double bdx = bx - dx, bdy = by - dy;
    const double cdx = cx - dx, cdy = cy - dy;
    const double bdxcdy = bdx * cdy, cdxbdy = cdx * bdy;
    const double cdxady = cdx * ady, adxcdy = adx * cdy;
    const double adxbdy = adx * bdy, bdxady = bdx * ady;
    const double alift = adx * adx + ady * ady;
    const double blift = bdx * bdx + bdy * bdy;
    const double clift = cdx * cdx + cdy * cdy;
    const double det = alift * (bdxcdy - cdxbdy) + blift * (cdxady - adxcdy) + clift * (adxbdy - bdxady);
    const double permanent = (std::fabs(bdxcdy) + std::fabs(cdxbdy)) * alift +
                             (std::fabs(cdxady) + std::fabs(adxcdy)) * blift +
                             (std::fabs(adxbdy) + std::fabs(bdxady)) * clift;
    const double bound = kInCircleBound * permanent;
    if (det > bound || -det > bound) return sign_of(det);
    return tin_in_circle_exact(ax, ay, bx, by, cx, cy, dx, dy);
}

}  // namespace tin_quick
