#include "plan_view.h"

#include <strings.h>

#include <cmath>

namespace {

bool is_planar(const char* type)
{
    static const char* const kPlanar[] = {"CIRCLE", "ARC",   "TEXT",  "ATTRIB",     "ATTDEF", "SHAPE",
                                          "INSERT", "SOLID", "TRACE", "LWPOLYLINE", "VERTEX"};
    for (const char* planar : kPlanar)
        if (strcasecmp(type, planar) == 0) return true;
    return false;
}

resbuf* find(resbuf* list, int code)
{
    for (resbuf* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == code) return rb;
    return nullptr;
}

}  // namespace

resbuf* list_in_plan(resbuf* list)
{
    resbuf* type = find(list, 0);
    if (!type || !type->resval.rstring || !is_planar(type->resval.rstring)) return list;
    const char* t = type->resval.rstring;
    const bool vertex = strcasecmp(t, "VERTEX") == 0;
    resbuf* extrusion = find(list, 210);
    resbuf* name = find(list, -1);
    // A VERTEX lies in its polyline's plane, which acdbTrans finds from its name.
    resbuf from{};
    if (vertex && name) {
        from.restype = RTENAME;
        from.resval.rlname[0] = name->resval.rlname[0];
        from.resval.rlname[1] = name->resval.rlname[1];
    } else if (extrusion) {
        from.restype = RT3DPOINT;
        for (int i = 0; i < 3; ++i) from.resval.rpoint[i] = extrusion->resval.rpoint[i];
    } else {
        return list;
    }
    resbuf world{};
    world.restype = RTSHORT;
    world.resval.rint = 0;
    ads_point up = {0, 0, 1}, up_world;
    if (acdbTrans(up, &from, &world, 1, up_world) != RTNORM) return list;
    if (up_world[0] == 0 && up_world[1] == 0 && up_world[2] == 1) return list;
    const bool mirrored = up_world[2] < 0;

    auto plan_angle = [&](double angle) {
        ads_point d = {std::cos(angle), std::sin(angle), 0}, w;
        if (acdbTrans(d, &from, &world, 1, w) != RTNORM || std::hypot(w[0], w[1]) < 1e-12) return angle;
        double a = std::atan2(w[1], w[0]);
        return a < 0 ? a + 2 * M_PI : a;
    };
    const bool lwpolyline = strcasecmp(t, "LWPOLYLINE") == 0;
    resbuf* elevation = lwpolyline ? find(list, 38) : nullptr;
    for (resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype >= 10 && rb->restype <= 13) {
            ads_point p = {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]};
            if (lwpolyline) p[2] = elevation ? elevation->resval.rreal : 0;
            acdbTrans(p, &from, &world, 0, rb->resval.rpoint);
        } else if (rb->restype == 42 && mirrored && (lwpolyline || vertex)) {
            rb->resval.rreal = -rb->resval.rreal;
        }
    }
    if (elevation) {
        if (resbuf* first = find(list, 10)) elevation->resval.rreal = first->resval.rpoint[2];
    }
    resbuf* start = find(list, 50);
    if (strcasecmp(t, "ARC") == 0) {
        resbuf* end = find(list, 51);
        if (start && end) {
            double a0 = plan_angle(start->resval.rreal), a1 = plan_angle(end->resval.rreal);
            start->resval.rreal = mirrored ? a1 : a0;  // the arc runs the other way round
            end->resval.rreal = mirrored ? a0 : a1;
        }
    } else if (start && !vertex) {
        start->resval.rreal = plan_angle(start->resval.rreal);
    }
    if (mirrored && strcasecmp(t, "INSERT") == 0) {
        if (resbuf* y = find(list, 42)) y->resval.rreal = -y->resval.rreal;
    }
    if (extrusion) {
        extrusion->resval.rpoint[0] = 0;
        extrusion->resval.rpoint[1] = 0;
        extrusion->resval.rpoint[2] = 1;
    }
    return list;
}

resbuf* ent_get_in_plan(const ads_name entity)
{
    return list_in_plan(acdbEntGet(entity));
}
