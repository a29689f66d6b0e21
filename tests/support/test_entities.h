// Entities a test puts in the current drawing through the host's API, the way a
// user's drawing would hold them for a command to find. Each returns true when
// the host made the entity.
#pragma once

#include <vector>

#include "ads.h"

inline bool test_make_point(const char* layer, double x, double y, double z)
{
    ads_point pt = {x, y, z};
    resbuf* list = acutBuildList(RTDXF0, "POINT", 8, layer, 10, pt, 0);
    const bool made = acdbEntMake(list) == RTNORM;
    acutRelRb(list);
    return made;
}

// An LWPOLYLINE with flags 70 through the points' x and y; an elevation other
// than 0 is given as its group 38.
template <class Point>
bool test_make_lwpolyline(const char* layer, int flags, const std::vector<Point>& points, double elevation = 0)
{
    resbuf* head =
        acutBuildList(RTDXF0, "LWPOLYLINE", 8, layer, 90, static_cast<int>(points.size()), 70, flags, 0);
    resbuf* tail = head;
    while (tail->rbnext) tail = tail->rbnext;
    if (elevation != 0) {
        tail->rbnext = acutBuildList(38, elevation, 0);
        tail = tail->rbnext;
    }
    for (const Point& p : points) {
        ads_point pt = {p.x, p.y, 0};
        tail->rbnext = acutBuildList(10, pt, 0);
        tail = tail->rbnext;
    }
    const bool made = acdbEntMake(head) == RTNORM;
    acutRelRb(head);
    return made;
}
