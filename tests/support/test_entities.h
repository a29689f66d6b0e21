// Entities a test puts in the current drawing through the host's API, the way a
// user's drawing would hold them for a command to find. Each returns true when
// the host made the entity.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "ads.h"
#include "db/drawing.h"

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
bool test_make_lwpolyline(const char* layer, int flags, const std::vector<Point>& points,
                          double elevation = 0)
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

// Makes the entity of the list (and releases the list); true when made.
inline bool test_make(resbuf* list)
{
    const bool made = acdbEntMake(list) == RTNORM;
    acutRelRb(list);
    return made;
}

// The entities of model space that are not erased, of the type (and on the
// layer, when one is given), in drawing order.
inline std::vector<const host::Entity*> test_live_entities(const host::Drawing& drawing,
                                                           const std::string& type,
                                                           const std::string& layer = {})
{
    std::vector<const host::Entity*> out;
    for (long id : drawing.model) {
        const host::Entity* e = drawing.get(id);
        if (e && !e->erased && e->type == type && (layer.empty() || e->layer() == layer)) out.push_back(e);
    }
    return out;
}

// What model space holds (every entity not erased, with its groups and extended
// data, in order), to check that a command changed nothing.
using test_model_state =
    std::vector<std::tuple<std::string, std::vector<host::Group>, std::vector<host::XDataApp>>>;
inline test_model_state test_model_snapshot(const host::Drawing& drawing)
{
    test_model_state out;
    for (long id : drawing.model) {
        const host::Entity* e = drawing.get(id);
        if (e && !e->erased) out.emplace_back(e->type, e->groups, e->xdata);
    }
    return out;
}
