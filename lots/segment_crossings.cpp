#include "segment_crossings.h"

#include <algorithm>

#include "angles.h"
#include "geometry.h"
#include "resbuf_util.h"

namespace {

// Crossings closer than this are one place: the lines meet there.
constexpr double kSamePlace = 1e-6;

}  // namespace

bool segment_line_crossings(const point3d_rec& p1, const point3d_rec& p2, bool own_selection,
                            std::vector<segment_crossing>& crossings, ads_name set)
{
    crossings.clear();
    const double b = bearing_deg(p1, p2);
    point3d_rec start, end;
    polar_point(b, 1.0, p2, end);
    polar_point(angle_reverse(b), 1.0, p1, start);
    ads_point from, to;
    point_to_ads(start, from);
    point_to_ads(end, to);
    resbuf* filter = acutBuildList(RTDXF0, "LINE", 0);
    int rc = RTERROR;
    if (own_selection) {
        rc = acedSSGet(nullptr, nullptr, nullptr, filter, set);
    } else {
        resbuf* fence = acutBuildList(RTPOINT, from, RTPOINT, to, 0);
        rc = acedSSGet("F", fence, nullptr, filter, set);
        acutRelRb(fence);
    }
    acutRelRb(filter);
    long length = 0;
    if (rc != RTNORM) return false;
    if (acedSSLength(set, &length) != RTNORM || length == 0) {
        acedSSFree(set);
        return false;
    }
    for (long i = 0; i < length; ++i) {
        ads_name line;
        if (acedSSName(set, i, line) != RTNORM) continue;
        acedRedraw(line, 3);
        resbuf* groups = acdbEntGet(line);
        point3d_rec a, e;
        const bool ok = groups && rb_get_point(groups, 10, a, 0) && rb_get_point(groups, 11, e, 0);
        if (groups) acutRelRb(groups);
        if (!ok) continue;
        ads_point la, le, hit;
        point_to_ads(a, la);
        point_to_ads(e, le);
        if (acdbInters(from, to, la, le, 1, hit) != RTNORM) continue;
        const point3d_rec at{hit[0], hit[1], 0};
        crossings.push_back({dist_2d(start, at), at});
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const segment_crossing& x, const segment_crossing& y) { return x.distance < y.distance; });
    std::vector<segment_crossing> once;
    for (const segment_crossing& c : crossings)
        if (once.empty() || c.distance - once.back().distance > kSamePlace) once.push_back(c);
    crossings.swap(once);
    return true;
}

std::vector<point3d_rec> crossing_midpoints(const std::vector<segment_crossing>& crossings)
{
    std::vector<point3d_rec> middles;
    for (size_t i = 0; i + 1 < crossings.size(); ++i)
        middles.push_back({(crossings[i].point.x + crossings[i + 1].point.x) / 2,
                           (crossings[i].point.y + crossings[i + 1].point.y) / 2, 0});
    return middles;
}

void ss_unhighlight(const ads_name set)
{
    long length = 0;
    if (acedSSLength(set, &length) != RTNORM) return;
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        if (acedSSName(set, i, entity) == RTNORM) acedRedraw(entity, 4);
    }
}
