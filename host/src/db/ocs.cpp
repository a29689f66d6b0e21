#include "db/ocs.h"

#include <algorithm>
#include <cmath>

#include "ads.h"
#include "db/entities.h"
#include "db/resbuf_convert.h"

namespace host {

namespace {

constexpr double kPi = 3.14159265358979323846;

Point3 cross(const Point3& a, const Point3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double length(const Point3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

Point3 unit(const Point3& v)
{
    const double l = length(v);
    return {v.x / l, v.y / l, v.z / l};
}

// An angle of a HATCH edge arc, which the drawing keeps in degrees.
double hatch_angle_in_world(const Ocs& ocs, double degrees)
{
    return ocs_angle_to_world(ocs, degrees * kPi / 180) * 180 / kPi;
}

// The arc-edge angles of a HATCH's boundary (72 type 2: 10 centre, 40, 50, 51,
// 73 counter-clockwise flag) seen from the world.
void hatch_arc_edges_in_world(const Ocs& ocs, std::vector<Group>& groups)
{
    for (size_t i = 0; i + 1 < groups.size(); ++i) {
        if (groups[i].code != 72 || groups[i].integer != 2) continue;
        size_t start = 0, end = 0, ccw = 0;
        for (size_t k = i + 1; k < groups.size() && k < i + 6; ++k) {
            if (groups[k].code == 50 && !start) start = k;
            if (groups[k].code == 51 && !end) end = k;
            if (groups[k].code == 73 && !ccw) ccw = k;
        }
        if (!start || !end) continue;
        double a0 = groups[start].real, a1 = groups[end].real;
        const bool counter_clockwise = !ccw || groups[ccw].integer != 0;
        // A clockwise edge keeps its angles negated.
        if (!counter_clockwise) a0 = -a0, a1 = -a1;
        double w0 = hatch_angle_in_world(ocs, a0), w1 = hatch_angle_in_world(ocs, a1);
        bool world_ccw = counter_clockwise != ocs.mirrored();
        if (!world_ccw) w0 = -w0, w1 = -w1;
        groups[start].real = w0;
        groups[end].real = w1;
        if (ccw) groups[ccw].integer = world_ccw ? 1 : 0;
    }
}

}  // namespace

Ocs ocs_of_extrusion(const Point3& extrusion)
{
    Ocs ocs;
    const double l = length(extrusion);
    if (!(l > 1e-12) || !std::isfinite(l)) return ocs;
    const Point3 n = unit(extrusion);
    if (n == Point3{0, 0, 1}) return ocs;
    // The arbitrary-axis rule: near the world's Z the X axis comes from world Y, else from world Z.
    const double limit = 1.0 / 64;
    const Point3 ax =
        std::fabs(n.x) < limit && std::fabs(n.y) < limit ? cross({0, 1, 0}, n) : cross({0, 0, 1}, n);
    ocs.x_axis = unit(ax);
    ocs.y_axis = unit(cross(n, ocs.x_axis));
    ocs.z_axis = n;
    return ocs;
}

bool is_planar_type(const std::string& type)
{
    static const char* const kPlanar[] = {"CIRCLE", "ARC",      "TEXT",  "ATTRIB", "ATTDEF",
                                          "SHAPE",  "INSERT",   "SOLID", "TRACE",  "LWPOLYLINE",
                                          "HATCH",  "POLYLINE", "VERTEX"};
    return std::any_of(std::begin(kPlanar), std::end(kPlanar), [&](const char* t) { return type == t; });
}

Ocs ocs_of(const Entity& entity)
{
    if (!is_planar_type(entity.type)) return {};
    // 3D polylines, meshes and their vertices are in the world.
    if (entity.type == "POLYLINE" && (entity.integer(70, 0) & (8 | 16 | 64))) return {};
    const Group* extrusion = entity.find(210);
    return extrusion ? ocs_of_extrusion(extrusion->point) : Ocs{};
}

bool has_own_ocs(const Entity& entity)
{
    const Group* extrusion = entity.find(210);
    if (!extrusion || extrusion->point == Point3{0, 0, 1}) return false;
    return !ocs_of(entity).is_world();
}

Point3 ocs_to_world(const Ocs& o, const Point3& p)
{
    return {p.x * o.x_axis.x + p.y * o.y_axis.x + p.z * o.z_axis.x,
            p.x * o.x_axis.y + p.y * o.y_axis.y + p.z * o.z_axis.y,
            p.x * o.x_axis.z + p.y * o.y_axis.z + p.z * o.z_axis.z};
}

Point3 world_to_ocs(const Ocs& o, const Point3& p)
{
    auto dot = [&](const Point3& a) { return a.x * p.x + a.y * p.y + a.z * p.z; };
    return {dot(o.x_axis), dot(o.y_axis), dot(o.z_axis)};
}

double ocs_angle_to_world(const Ocs& ocs, double angle)
{
    if (ocs.is_world()) return angle;
    const Point3 d = ocs_to_world(ocs, {std::cos(angle), std::sin(angle), 0});
    if (std::hypot(d.x, d.y) < 1e-12) return angle;  // seen edge-on: no plan direction
    double a = std::atan2(d.y, d.x);
    if (a < 0) a += 2 * kPi;
    return a;
}

Entity entity_in_world(const Entity& entity, const Entity* polyline)
{
    const Ocs ocs = entity.type == "VERTEX" ? (polyline ? ocs_of(*polyline) : Ocs{}) : ocs_of(entity);
    if (ocs.is_world()) return entity;
    Entity world = entity;
    const std::string& t = entity.type;
    const double elevation = t == "LWPOLYLINE" ? entity.real(38, 0) : 0;
    for (Group& g : world.groups) {
        switch (g.code) {
            case 10:
            case 11:
            case 12:
            case 13:
                if (t == "LWPOLYLINE") g.point.z = elevation;
                // A TEXT's, SHAPE's or ATTRIB's 11 and a HATCH's boundary points are in its plane too.
                g.point = ocs_to_world(ocs, g.point);
                break;
            case 42:
                if ((t == "LWPOLYLINE" || t == "VERTEX" || t == "HATCH") && ocs.mirrored()) g.real = -g.real;
                break;
            case 210:
                g.point = {0, 0, 1};
                break;
            default:
                break;
        }
    }
    if (t == "LWPOLYLINE")
        if (Group* e = world.find(38); e && world.find(10)) e->real = world.point(10).z;
    if (t == "ARC") {
        Group* start = world.find(50);
        Group* end = world.find(51);
        double a0 = ocs_angle_to_world(ocs, start ? start->real : 0);
        double a1 = ocs_angle_to_world(ocs, end ? end->real : 0);
        if (ocs.mirrored()) std::swap(a0, a1);  // the arc runs the other way round
        if (start) start->real = a0;
        if (end) end->real = a1;
    } else if (t == "TEXT" || t == "ATTRIB" || t == "ATTDEF" || t == "SHAPE" || t == "INSERT") {
        if (Group* rotation = world.find(50))
            rotation->real = ocs_angle_to_world(ocs, rotation->real);
        else if (!ocs.is_world())
            world.groups.push_back(Group::of_real(50, ocs_angle_to_world(ocs, 0)));
        if (ocs.mirrored()) {
            if (t == "INSERT") {
                if (Group* y = world.find(42))
                    y->real = -y->real;
                else
                    world.groups.push_back(Group::of_real(42, -1.0));
            } else if (t != "SHAPE") {
                // Seen from below, the text's up direction points down.
                if (Group* flags = world.find(71))
                    flags->integer ^= 4;
                else
                    world.groups.push_back(Group::of_int(71, 4));
            }
        }
    } else if (t == "HATCH") {
        hatch_arc_edges_in_world(ocs, world.groups);
    }
    return world;
}

}  // namespace host

extern "C" {

// Points between the world (0), the user's system (1) and the view (2), which
// are one here, and an entity's own system (an entity name or its extrusion
// as an RT3DPOINT). A displacement (disp not 0) turns without moving, the same
// thing for these systems, which share their origin.
int acdbTrans(const ads_point point, const resbuf* from, const resbuf* to, int disp, ads_point result)
{
    (void)disp;
    if (!point || !from || !to || !result) return RTERROR;
    auto system_of = [](const resbuf* rb, host::Ocs& ocs) {
        switch (rb->restype) {
            case RTSHORT:
                return rb->resval.rint >= 0 && rb->resval.rint <= 3;
            case RT3DPOINT:
            case RTPOINT:
                ocs = host::ocs_of_extrusion(
                    {rb->resval.rpoint[0], rb->resval.rpoint[1], rb->resval.rpoint[2]});
                return true;
            case RTENAME: {
                const host::Drawing* drawing = host::current_drawing_or_null();
                host::Entity scratch, parent;
                const host::Entity* e =
                    drawing ? drawing->look(host::id_of(rb->resval.rlname), scratch) : nullptr;
                if (!e) return false;
                // A VERTEX lies in its polyline's plane.
                if (e->type == "VERTEX" && e->parent) e = drawing->look(e->parent, parent);
                if (!e) return false;
                ocs = host::ocs_of(*e);
                return true;
            }
            default:
                return false;
        }
    };
    host::Ocs source, target;
    if (!system_of(from, source) || !system_of(to, target)) return RTERROR;
    const host::Point3 world = host::ocs_to_world(source, {point[0], point[1], point[2]});
    const host::Point3 out = host::world_to_ocs(target, world);
    result[0] = out.x;
    result[1] = out.y;
    result[2] = out.z;
    return RTNORM;
}

}  // extern "C"
