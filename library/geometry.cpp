// Plane geometry on bearings in degrees clockwise from north. Angles convert
// with pi to ten decimals, as everywhere in the product, so that bearings match
// the ones stored in drawings and files.
#include "geometry.h"

#include <cmath>
#include <utility>

#include "ads.h"
#include "constants.h"
#include "entity_makers.h"
#include "resbuf_util.h"

namespace {

double to_rad(double degrees)
{
    return degrees / 180.0 * ORVIK_PI;
}
double to_deg(double radians)
{
    return 180.0 / ORVIK_PI * radians;
}

// The bearing of the perpendicular that geo_perpendicular_at_vertex sets off.
double perpendicular_bearing(const point3d_rec& p0, const point3d_rec& vertex, const point3d_rec& p2)
{
    double back = bearing_deg(vertex, p0);
    double turn = bearing_deg(vertex, p2) - back;
    if (turn < 0) turn += 360.0;
    double leg = bearing_deg(p0, vertex);
    return turn < 180.0 ? leg - 90.0 : leg + 90.0;
}

// Circumcentre by the general formula, for the cases the chord-slope formula
// cannot take (a chord parallel to an axis); false for three points on a line.
bool circumcentre(const point3d_rec& a, const point3d_rec& b, const point3d_rec& c, point3d_rec& out)
{
    double d = 2.0 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    if (d == 0.0) return false;
    double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    out.x = (a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d;
    out.y = (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d;
    out.z = 0;
    return true;
}

}  // namespace

double bearing_deg(const point3d_rec& from, const point3d_rec& to)
{
    double dx = to.x - from.x;
    double dy = to.y - from.y;
    if (dx == 0.0 && dy == 0.0) return 0.0;
    if (dx == 0.0) return dy > 0.0 ? 0.0 : 180.0;
    if (dy == 0.0) return dx > 0.0 ? 90.0 : 270.0;
    double b = to_deg(std::atan(dx / dy));
    if (dy < 0.0)
        b += 180.0;
    else if (dx < 0.0)
        b += 360.0;
    // A direction a hair west of north would otherwise round up to 360.
    if (b >= 360.0) b -= 360.0;
    return b;
}

double dist_2d(const point3d_rec& p1, const point3d_rec& p2)
{
    double dx = p2.x - p1.x;
    double dy = p2.y - p1.y;
    return std::sqrt(dx * dx + dy * dy);
}

int dist_within(const point3d_rec& p1, const point3d_rec& p2, double limit)
{
    return dist_2d(p1, p2) <= limit ? 1 : 0;
}

void bearing_to_dxdy(double bearing, double distance, double& dx, double& dy)
{
    dx = distance * std::sin(to_rad(bearing));
    dy = distance * std::cos(to_rad(bearing));
}

point3d_rec point_toward(const point3d_rec& from, const point3d_rec& to, double distance)
{
    const double length = dist_2d(from, to);
    if (length == 0) return point3d_rec{from.x, from.y, 0};
    const double k = distance / length;
    return point3d_rec{from.x + k * (to.x - from.x), from.y + k * (to.y - from.y), 0};
}

void polar_point(double bearing, double distance, const point3d_rec& base, point3d_rec& out)
{
    double dx, dy;
    bearing_to_dxdy(bearing, distance, dx, dy);
    out.x = base.x + dx;
    out.y = base.y + dy;
    out.z = 0;
}

double polar_axis(int axis, double base, double bearing, double distance)
{
    double dx, dy;
    bearing_to_dxdy(bearing, distance, dx, dy);
    if (axis == 1) return base + dx;
    if (axis == 2) return base + dy;
    return distance;
}

double polar_axis_scaled(int axis, double base, double bearing, double distance, double kx, double ky)
{
    double dx, dy;
    bearing_to_dxdy(bearing, distance, dx, dy);
    if (axis == 1) return base + dx + std::fabs(dx) * kx;
    if (axis == 2) return base + dy + std::fabs(dy) * ky;
    return distance;
}

void polar_point_scaled(double bearing, double distance, const point3d_rec& base, point3d_rec& out, double kx,
                        double ky)
{
    double dx, dy;
    bearing_to_dxdy(bearing, distance, dx, dy);
    out.x = base.x + dx + std::fabs(dx) * kx;
    out.y = base.y + dy + std::fabs(dy) * ky;
    out.z = 0;
}

double angle_at_vertex(const point3d_rec& p1, const point3d_rec& vertex, const point3d_rec& p2)
{
    double b1 = bearing_deg(vertex, p1);
    double b2 = bearing_deg(vertex, p2);
    if (b1 == b2) return 0.0;
    double d = std::fabs(b1 - b2);
    return d > 180.0 ? 360.0 - d : d;
}

int geo_side_of_line(const point3d_rec& p0, const point3d_rec& p1, point3d_rec& p2)
{
    p2.z = 0;
    double t = bearing_deg(p0, p2) + 360.0 - bearing_deg(p0, p1);
    if (t > 360.0) t -= 360.0;
    return t <= 180.0 ? 1 : -1;
}

int geo_side_of_midpoint(const point3d_rec& p0, const point3d_rec& p1, const point3d_rec& p2)
{
    point3d_rec mid{(p0.x + p2.x) / 2.0, (p0.y + p2.y) / 2.0, (p0.z + p2.z) / 2.0};
    return geo_side_of_line(p0, p1, mid);
}

int geo_perpendicular_at_vertex(const point3d_rec& p0, const point3d_rec& vertex, const point3d_rec& p2,
                                double distance, point3d_rec& out)
{
    polar_point(perpendicular_bearing(p0, vertex, p2), distance, vertex, out);
    return 1;
}

int geo_intersect(const point3d_rec& a1, const point3d_rec& a2, const point3d_rec& b1, const point3d_rec& b2,
                  int segment_only, point3d_rec& out)
{
    ads_point from1, to1, from2, to2, hit;
    point_to_ads(a1, from1);
    point_to_ads(a2, to1);
    point_to_ads(b1, from2);
    point_to_ads(b2, to2);
    if (acdbInters(from1, to1, from2, to2, segment_only, hit) != RTNORM) return 0;
    out = point_from_ads(hit);
    return 1;
}

int geo_offset_corner(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& p3, int segment_only,
                      point3d_rec& out)
{
    // A line from p3 across p1-p2, long enough to reach it: the sum of the
    // distances to the ends is never shorter than the distance to the line.
    double reach = dist_2d(p1, p3) + dist_2d(p2, p3);
    double towards_p3 = perpendicular_bearing(p1, p2, p3);
    point3d_rec across;
    polar_point(towards_p3 + 180.0, reach, p3, across);

    ads_point a1, a2, b1, b2, foot;
    point_to_ads(point3d_rec{p3.x, p3.y, 0}, a1);
    point_to_ads(across, a2);
    point_to_ads(point3d_rec{p1.x, p1.y, 0}, b1);
    point_to_ads(point3d_rec{p2.x, p2.y, 0}, b2);
    if (acdbInters(a1, a2, b1, b2, segment_only, foot) == RTNORM) {
        out = point3d_rec{foot[X], foot[Y], 0};
        return 3;
    }
    if (dist_2d(p2, p3) < dist_2d(p1, p3)) {
        out = point3d_rec{p2.x, p2.y, 0};
        return 2;
    }
    out = point3d_rec{p1.x, p1.y, 0};
    return 1;
}

int geo_circle_centre_3p(const point3d_rec& p1_in, const point3d_rec& p2_in, const point3d_rec& p3_in,
                         point3d_rec& out)
{
    point3d_rec p1 = p1_in, p2 = p2_in, p3 = p3_in;
    if (p1.x == p2.x || p1.y == p2.y) std::swap(p1, p2);
    if (p2.x == p3.x) std::swap(p2, p3);
    double ma = (p2.y - p1.y) / (p2.x - p1.x);
    double mb = (p3.y - p2.y) / (p3.x - p2.x);
    // The chord-slope formula divides by ma and by mb - ma; a chord parallel to
    // an axis (which the exchanges above do not always avoid) goes through the
    // general formula, which gives the same centre.
    if (!std::isfinite(ma) || !std::isfinite(mb) || ma == 0.0 || ma == mb) {
        point3d_rec centre;
        if (!circumcentre(p1_in, p2_in, p3_in, centre)) return 0;
        out = centre;
        return 1;
    }
    double x = (ma * mb * (p1.y - p3.y) + mb * (p1.x + p2.x) - ma * (p2.x + p3.x)) / (2.0 * (mb - ma));
    double y = (p1.y + p2.y) / 2.0 - (x - (p1.x + p2.x) / 2.0) / ma;
    out = point3d_rec{x, y, 0};
    return 1;
}

double geo_arc_bulge(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& centre)
{
    double d = bearing_deg(centre, p1) - bearing_deg(centre, p2);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    return std::tan(to_rad(d) / 4.0);
}

double geo_z_interpolate(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& point)
{
    const point3d_rec& low = p1.z < p2.z ? p1 : p2;
    const point3d_rec& high = p1.z < p2.z ? p2 : p1;
    double span = dist_2d(low, high);
    // Two points on one plan position give no slope: the height is the lower one's.
    if (span == 0.0) return low.z;
    return low.z + (high.z - low.z) * dist_2d(low, point) / span;
}

int line_make_trimmed(const point3d_rec& p0, const point3d_rec& p1, double scale, double gap_start,
                      double gap_end, const std::string& layer)
{
    double b = bearing_deg(p0, p1);
    point3d_rec start, end;
    polar_point(b, gap_start * scale / 1000.0, p0, start);
    polar_point(b + 180.0, gap_end * scale / 1000.0, p1, end);
    int rc = line_make(start, end, layer);
    if (rc != RTNORM) rc = line_make(start, end, layer);
    return rc;
}

point3d_rec& pt_copy(const point3d_rec& source, point3d_rec& target, int flat)
{
    target = source;
    if (flat == 1) target.z = 0;
    return target;
}

void pt_swap(point3d_rec& p1, point3d_rec& p2)
{
    std::swap(p1, p2);
}
