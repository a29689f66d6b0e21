// The host command "_offset": the distance, then pairs of an object (an entity
// name or a pick point) and a point on the side to offset to, until an empty
// answer. Each pair makes one parallel copy of a LINE, CIRCLE, ARC or
// LWPOLYLINE (open or closed, straight and bulged legs) at the distance, with
// the object's layer, properties and extended data. OFFSETDIST takes the
// distance. An offset that cannot be made (a circle or arc shrunk to nothing,
// a polyline leg turned inside out, another kind of entity) is reported and
// the command ends with RTERROR; copies made before it stay.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "ads.h"
#include "commands/cmd_misc.h"
#include "commands/commands.h"
#include "db/entities.h"
#include "db/ocs.h"
#include "db/selection.h"
#include "db/sysvars.h"
#include "session/input.h"
#include "session/session.h"

namespace host {

namespace {

struct V2 {
    double x = 0, y = 0;
};

V2 operator+(V2 a, V2 b)
{
    return {a.x + b.x, a.y + b.y};
}
V2 operator-(V2 a, V2 b)
{
    return {a.x - b.x, a.y - b.y};
}
V2 operator*(double k, V2 a)
{
    return {k * a.x, k * a.y};
}
double dot(V2 a, V2 b)
{
    return a.x * b.x + a.y * b.y;
}
double cross(V2 a, V2 b)
{
    return a.x * b.y - a.y * b.x;
}
double length(V2 a)
{
    return std::hypot(a.x, a.y);
}
V2 flat(const Point3& p)
{
    return {p.x, p.y};
}
// The unit normal on the left of the direction.
V2 left_normal(V2 direction)
{
    const double l = length(direction);
    return {-direction.y / l, direction.x / l};
}

int fail(const std::string& message)
{
    Session::get().print("\n_offset: " + message);
    return RTERROR;
}

// One leg of a polyline: straight, or an arc about a centre (ccw: counter-clockwise).
struct Leg {
    V2 start, end;
    bool arc = false;
    V2 centre;
    double radius = 0;
    bool ccw = true;
};

Leg leg_of(V2 a, V2 b, double bulge)
{
    Leg leg;
    leg.start = a;
    leg.end = b;
    const double chord = length(b - a);
    if (bulge == 0 || chord == 0) return leg;
    // The centre lies on the chord's bisector, at (1 - bulge^2) / (4 bulge) chords
    // from its middle, on the left for a positive (counter-clockwise) bulge.
    const V2 middle = 0.5 * (a + b);
    const double k = (1 - bulge * bulge) / (4 * bulge);
    leg.arc = true;
    leg.ccw = bulge > 0;
    leg.centre = middle + (k * chord) * left_normal(b - a);
    leg.radius = length(a - leg.centre);
    return leg;
}

// The arc's sweep from start to end in its own direction, 0 to 2 pi.
double sweep(const Leg& leg)
{
    const double a0 = std::atan2(leg.start.y - leg.centre.y, leg.start.x - leg.centre.x);
    const double a1 = std::atan2(leg.end.y - leg.centre.y, leg.end.x - leg.centre.x);
    double s = leg.ccw ? a1 - a0 : a0 - a1;
    while (s <= 0) s += 2 * M_PI;
    while (s > 2 * M_PI) s -= 2 * M_PI;
    return s;
}

double bulge_of(const Leg& leg)
{
    if (!leg.arc) return 0;
    const double b = std::tan(sweep(leg) / 4);
    return leg.ccw ? b : -b;
}

// The nearest point of a leg to p.
double leg_distance(const Leg& leg, V2 p)
{
    auto to_segment = [&](V2 a, V2 b) {
        const V2 d = b - a;
        const double l2 = dot(d, d);
        const double t = l2 > 0 ? std::clamp(dot(p - a, d) / l2, 0.0, 1.0) : 0.0;
        return length(p - (a + t * d));
    };
    if (!leg.arc) return to_segment(leg.start, leg.end);
    Leg to_p = leg;
    to_p.end = p;
    const double along = length(p - leg.centre) > 0 ? sweep(to_p) : 0;
    if (length(p - leg.centre) > 0 && along <= sweep(leg))
        return std::fabs(length(p - leg.centre) - leg.radius);
    return std::min(length(p - leg.start), length(p - leg.end));
}

// +1 when p lies on the left of the leg's direction, -1 on its right.
int leg_side(const Leg& leg, V2 p)
{
    if (!leg.arc) return cross(leg.end - leg.start, p - leg.start) >= 0 ? 1 : -1;
    const bool inside = length(p - leg.centre) < leg.radius;
    return inside == leg.ccw ? 1 : -1;  // a counter-clockwise arc has its centre on the left
}

// The leg moved by s to its left (s < 0: to its right); nullopt when an arc
// would shrink to nothing.
std::optional<Leg> leg_moved(const Leg& leg, double s)
{
    Leg moved = leg;
    if (!leg.arc) {
        const V2 shift = s * left_normal(leg.end - leg.start);
        moved.start = leg.start + shift;
        moved.end = leg.end + shift;
        return moved;
    }
    const double r = leg.ccw ? leg.radius - s : leg.radius + s;
    if (r <= 1e-9 * leg.radius) return std::nullopt;
    const double k = r / leg.radius;
    moved.radius = r;
    moved.start = leg.centre + k * (leg.start - leg.centre);
    moved.end = leg.centre + k * (leg.end - leg.centre);
    return moved;
}

// Where the full line or circle of two legs meet; the meeting nearest to near.
std::optional<V2> legs_meet(const Leg& a, const Leg& b, V2 near)
{
    std::vector<V2> found;
    auto line_circle = [&](V2 p, V2 d, V2 c, double r) {
        const V2 f = p - c;
        const double A = dot(d, d), B = 2 * dot(f, d), C = dot(f, f) - r * r;
        const double disc = B * B - 4 * A * C;
        if (disc < 0) return;
        const double root = std::sqrt(disc);
        for (double t : {(-B - root) / (2 * A), (-B + root) / (2 * A)}) found.push_back(p + t * d);
    };
    if (!a.arc && !b.arc) {
        const V2 da = a.end - a.start, db = b.end - b.start;
        const double denominator = cross(da, db);
        if (std::fabs(denominator) <= 1e-12 * length(da) * length(db)) return std::nullopt;
        found.push_back(a.start + (cross(b.start - a.start, db) / denominator) * da);
    } else if (!a.arc || !b.arc) {
        const Leg& line = a.arc ? b : a;
        const Leg& circle = a.arc ? a : b;
        line_circle(line.start, line.end - line.start, circle.centre, circle.radius);
    } else {
        const V2 d = b.centre - a.centre;
        const double l = length(d);
        if (l == 0 || l > a.radius + b.radius || l < std::fabs(a.radius - b.radius)) return std::nullopt;
        const double along = (a.radius * a.radius - b.radius * b.radius + l * l) / (2 * l);
        const double h = std::sqrt(std::max(0.0, a.radius * a.radius - along * along));
        const V2 base = a.centre + (along / l) * d;
        const V2 n = left_normal(d);
        found.push_back(base + h * n);
        found.push_back(base - h * n);
    }
    if (found.empty()) return std::nullopt;
    V2 best = found.front();
    for (V2 p : found)
        if (length(p - near) < length(best - near)) best = p;
    return best;
}

struct OutVertex {
    V2 point;
    double bulge = 0;
    size_t from = 0;  // the vertex of the original whose widths it keeps
};

// True when an offset straight leg still runs the way the original did, and an
// arc still turns the same way without wrapping round.
bool leg_kept(const Leg& original, const Leg& moved)
{
    if (!original.arc) return dot(moved.end - moved.start, original.end - original.start) > 0;
    return std::fabs(sweep(moved) - sweep(original)) < M_PI;
}

// Whether p lies inside the closed outline (arcs followed by short chords).
bool inside_outline(const std::vector<Leg>& legs, V2 p)
{
    std::vector<V2> ring;
    for (const Leg& leg : legs) {
        ring.push_back(leg.start);
        if (!leg.arc) continue;
        const double total = sweep(leg);
        const int steps = std::max(2, static_cast<int>(total / (M_PI / 90)));
        const double a0 = std::atan2(leg.start.y - leg.centre.y, leg.start.x - leg.centre.x);
        for (int i = 1; i < steps; ++i) {
            const double a = a0 + (leg.ccw ? 1 : -1) * total * i / steps;
            ring.push_back(leg.centre + leg.radius * V2{std::cos(a), std::sin(a)});
        }
    }
    bool in = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const V2 a = ring[i], b = ring[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

// Twice the signed area of the closed outline (positive counter-clockwise).
double outline_orientation(const std::vector<Leg>& legs)
{
    double twice = 0;
    for (const Leg& leg : legs) {
        twice += cross(leg.start, leg.end);
        if (leg.arc) {
            const double t = sweep(leg);
            const double segment = leg.radius * leg.radius * (t - std::sin(t));
            twice += leg.ccw ? segment : -segment;
        }
    }
    return twice;
}

int offset_lwpolyline(Drawing& drawing, const Entity& entity, double distance, V2 side)
{
    const std::vector<Group> groups = shown_groups(drawing, entity);
    struct InVertex {
        V2 point;
        double bulge = 0;
        std::vector<Group> widths;
    };
    std::vector<InVertex> in;
    std::vector<Group> header, trailer;
    for (const Group& g : groups) {
        if (g.code == 10) {
            InVertex v;
            v.point = flat(g.point);
            in.push_back(v);
        } else if (g.code == 42 && !in.empty()) {
            in.back().bulge = g.real;
        } else if ((g.code == 40 || g.code == 41 || g.code == 91) && !in.empty()) {
            in.back().widths.push_back(g);
        } else if (g.code == 90) {
            continue;
        } else {
            (in.empty() ? header : trailer).push_back(g);
        }
    }
    // Repeated vertices make no leg.
    std::vector<InVertex> vertices;
    for (const InVertex& v : in)
        if (vertices.empty() || length(v.point - vertices.back().point) > 0) vertices.push_back(v);
    const bool closed = (entity.integer(70) & 1) != 0;
    if (closed && vertices.size() > 2 && length(vertices.front().point - vertices.back().point) == 0)
        vertices.pop_back();
    if (vertices.size() < 2) return fail("a polyline of fewer than two vertices has no offset.");

    const size_t n = vertices.size();
    const size_t leg_count = closed ? n : n - 1;
    std::vector<Leg> legs;
    for (size_t i = 0; i < leg_count; ++i)
        legs.push_back(leg_of(vertices[i].point, vertices[(i + 1) % n].point, vertices[i].bulge));

    int sign = 1;
    if (closed && n > 2) {
        const bool ccw = outline_orientation(legs) > 0;
        sign = inside_outline(legs, side) == ccw ? 1 : -1;
    } else {
        size_t nearest = 0;
        for (size_t i = 1; i < legs.size(); ++i)
            if (leg_distance(legs[i], side) < leg_distance(legs[nearest], side)) nearest = i;
        sign = leg_side(legs[nearest], side);
    }

    std::vector<Leg> moved;
    for (const Leg& leg : legs) {
        const std::optional<Leg> m = leg_moved(leg, sign * distance);
        if (!m) return fail("an arc of the polyline would shrink to nothing at this distance.");
        moved.push_back(*m);
    }
    // Neighbouring legs meet where their lines or circles cross, nearest the
    // original vertex; legs that no longer meet are joined by an arc about it.
    std::vector<std::optional<Leg>> rounds(n);  // by the vertex the join is made at
    auto join = [&](size_t a, size_t b, size_t vertex) {
        const V2 corner = vertices[vertex].point;
        if (length(moved[a].end - moved[b].start) <= 1e-9 * (1 + length(corner))) {
            moved[b].start = moved[a].end;
        } else if (const std::optional<V2> meet = legs_meet(moved[a], moved[b], corner)) {
            moved[a].end = *meet;
            moved[b].start = *meet;
        } else {
            Leg round{moved[a].end, moved[b].start, true, corner, distance, true};
            round.ccw = cross(moved[a].end - corner, moved[b].start - corner) > 0;
            rounds[vertex] = round;
        }
    };
    for (size_t i = 0; i + 1 < moved.size(); ++i) join(i, i + 1, i + 1);
    if (closed) join(moved.size() - 1, 0, 0);
    for (size_t i = 0; i < legs.size(); ++i)
        if (!leg_kept(legs[i], moved[i]))
            return fail("a leg of the polyline would turn inside out at this distance.");

    // Each vertex carries the bulge of the leg it starts; a round join comes
    // before the leg that follows it.
    std::vector<OutVertex> out;
    for (size_t i = 0; i < moved.size(); ++i) {
        if (rounds[i]) out.push_back({rounds[i]->start, bulge_of(*rounds[i]), i});
        out.push_back({moved[i].start, bulge_of(moved[i]), i});
    }
    if (!closed) out.push_back({moved.back().end, 0, n - 1});

    std::vector<Group> made = header;
    made.push_back(Group::of_int(90, static_cast<long>(out.size())));
    for (const OutVertex& v : out) {
        made.push_back(Group::of_point(10, {v.point.x, v.point.y, 0}));
        for (const Group& w : vertices[v.from].widths) made.push_back(w);
        if (v.bulge != 0) made.push_back(Group::of_real(42, v.bulge));
    }
    made.insert(made.end(), trailer.begin(), trailer.end());
    if (entity_make(drawing, "LWPOLYLINE", made, entity.xdata) != RTNORM)
        return fail("the copy could not be made on layer " + entity.layer() + ".");
    return RTNORM;
}

// The groups of the entity with the given codes' values replaced.
std::vector<Group> with_values(const Drawing& drawing, const Entity& entity, const std::vector<Group>& values)
{
    std::vector<Group> groups = shown_groups(drawing, entity);
    for (Group& g : groups)
        for (const Group& v : values)
            if (g.code == v.code) g = v;
    return groups;
}

int make_copy(Drawing& drawing, const Entity& entity, const std::vector<Group>& values)
{
    if (entity_make(drawing, entity.type, with_values(drawing, entity, values), entity.xdata) != RTNORM)
        return fail("the copy could not be made on layer " + entity.layer() + ".");
    return RTNORM;
}

int offset_entity(Drawing& drawing, const Entity& entity, double distance, const Point3& side_in_world)
{
    // Circles, arcs and polylines keep their points in their own plane: the
    // side is taken there too, and the copy keeps the plane.
    const V2 side = flat(world_to_ocs(ocs_of(entity), side_in_world));
    if (entity.type == "LINE") {
        const Point3 a = entity.point(10), b = entity.point(11);
        const V2 d = flat(b) - flat(a);
        if (length(d) == 0) return fail("a LINE of no length has no offset.");
        const int s = cross(d, side - flat(a)) >= 0 ? 1 : -1;
        const V2 shift = (s * distance) * left_normal(d);
        return make_copy(drawing, entity,
                         {Group::of_point(10, {a.x + shift.x, a.y + shift.y, a.z}),
                          Group::of_point(11, {b.x + shift.x, b.y + shift.y, b.z})});
    }
    if (entity.type == "CIRCLE" || entity.type == "ARC") {
        const double r = entity.real(40);
        const bool outward = length(side - flat(entity.point(10))) > r;
        const double radius = outward ? r + distance : r - distance;
        if (radius <= 1e-9 * r) return fail("the distance is not less than the radius.");
        return make_copy(drawing, entity, {Group::of_real(40, radius)});
    }
    if (entity.type == "LWPOLYLINE") return offset_lwpolyline(drawing, entity, distance, side);
    return fail("a " + entity.type + " cannot be offset.");
}

// The object answer: an entity name, or a point picking the entity nearest it.
const Entity* object_of(Drawing& drawing, const std::string& answer)
{
    long id = 0;
    if (const std::optional<long> named = entity_id_from_text(answer)) {
        id = *named;
    } else {
        Point3 p;
        if (!parse_point_text(answer, p)) return nullptr;
        id = entity_at_point(drawing, p, pick_tolerance(drawing));
    }
    const Entity* entity = drawing.get(id);
    return entity && !entity->erased ? entity : nullptr;
}

}  // namespace

int offset_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return fail("no drawing is open.");
    Drawing& drawing = session.current().drawing;
    CommandAnswers answers(args);
    const std::optional<std::string> first = answers.take();
    if (!first) return fail("no distance was given.");
    std::optional<double> distance =
        first->empty() ? sysvar_real(drawing, "OFFSETDIST", -1) : parse_real_text(*first);
    if (!distance) return fail("\"" + *first + "\" is no distance.");
    if (*distance <= 0) return fail("the distance must be more than 0.");
    set_sysvar_real(drawing, "OFFSETDIST", *distance);
    for (std::optional<std::string> object = answers.take(); object && !object->empty();
         object = answers.take()) {
        const Entity* entity = object_of(drawing, *object);
        if (!entity) return fail("\"" + *object + "\" names no object of the drawing.");
        const std::optional<std::string> side_answer = answers.take();
        Point3 side;
        if (!side_answer || !parse_point_text(*side_answer, side))
            return fail("no side point was given for the object.");
        const Entity original = *entity;  // the store may move as the copy is added
        if (offset_entity(drawing, original, *distance, side) != RTNORM) return RTERROR;
    }
    return RTNORM;
}

namespace {

void register_offset_command(Session& session)
{
    session.register_command("offset", offset_command);
}

const bool offset_command_added = add_session_setup(register_offset_command);

}  // namespace

}  // namespace host
