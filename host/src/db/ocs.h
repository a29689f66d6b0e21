// Object coordinate systems. Planar entities (CIRCLE, ARC, TEXT, INSERT,
// LWPOLYLINE, 2D POLYLINE and its VERTEXes, SOLID, TRACE, HATCH, SHAPE,
// ATTRIB) keep their points and angles in the plane of their extrusion
// direction (group 210), whose axes follow the arbitrary-axis rule. LINE,
// POINT, 3DFACE and 3D polylines are in world coordinates. Whatever reads plan
// coordinates (pictures, selections, boundaries, the API's acdbTrans) sees a
// planar entity through entity_in_world.
#pragma once

#include <string>

#include "db/drawing.h"

namespace host {

struct Ocs {
    Point3 x_axis{1, 0, 0}, y_axis{0, 1, 0}, z_axis{0, 0, 1};
    // The plane is seen from below in plan: its turning sense is reversed.
    bool mirrored() const { return z_axis.z < 0; }
    bool is_world() const { return z_axis == Point3{0, 0, 1}; }
};

// The axes of the extrusion direction by the arbitrary-axis rule; a zero or
// unusable vector stands for (0, 0, 1).
Ocs ocs_of_extrusion(const Point3& extrusion);
// The coordinate system of an entity's points: its 210 for the planar types,
// the world's for the rest.
Ocs ocs_of(const Entity& entity);

Point3 ocs_to_world(const Ocs& ocs, const Point3& p);
Point3 world_to_ocs(const Ocs& ocs, const Point3& p);
// The plan angle, from world X counter-clockwise, of the direction at `angle`
// (radians) in the entity's plane.
double ocs_angle_to_world(const Ocs& ocs, double angle);

// True for the types whose points are in their own coordinate system.
bool is_planar_type(const std::string& type);
// True when the entity is planar and its extrusion is not (0, 0, 1).
bool has_own_ocs(const Entity& entity);

// The entity as seen in world coordinates with extrusion (0, 0, 1): points in
// the world, angles in plan, and what a mirrored plane reverses reversed (an
// ARC's start and end, bulges, an INSERT's Y scale, a TEXT turned upside down).
// A VERTEX takes its polyline's extrusion, given as `polyline`. Entities in the
// world already come back as they are.
Entity entity_in_world(const Entity& entity, const Entity* polyline = nullptr);

}  // namespace host
