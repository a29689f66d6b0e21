// The host command "PEDIT" for acedCommand: a polyline (entity name), then
// options until an empty answer or "x":
//   "s" (spline)   fits a B-spline to the polyline's frame
//   "d" (decurve)  takes the spline away again, keeping the frame
//
// A splined polyline is an old-style POLYLINE whose header has bit 4 set and
// group 75 says the curve type (5 quadratic, 6 cubic, from SPLINETYPE). Its
// VERTEXes are first the frame (the control points, flags 16; 48 in a 3D
// polyline), then the points of the fitted curve (flags 8; 40 in a 3D
// polyline). The curve is a uniform B-spline of the frame: clamped at both ends
// for an open polyline, periodic for a closed one. Each span between two knots
// is cut into SPLINESEGS pieces (its absolute value; at least 1). A frame with
// fewer vertices than the curve type needs gets the highest degree it allows
// (two vertices give a straight line).
//
// An LWPOLYLINE becomes such a POLYLINE; its vertices lie at its elevation,
// which the header's point keeps too. Widths and bulges are not kept on a
// splined polyline. The polyline is replaced by the new one (its layer, colour,
// linetype, thickness and extended data carried over), which becomes the last
// entity of the drawing. A polyline on a locked layer, an entity that is no
// polyline, a mesh and a polyline of fewer than two vertices are refused with a
// message, and nothing changes.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "ads.h"
#include "commands/cmd_misc.h"
#include "commands/commands.h"
#include "db/entities.h"
#include "db/sysvars.h"
#include "session/session.h"

namespace host {

namespace {

constexpr int kPolylineClosed = 1;
constexpr int kPolylineCurveFit = 2;
constexpr int kPolylineSplineFit = 4;
constexpr int kPolyline3d = 8;
constexpr int kPolygonMesh = 16;
constexpr int kPolyfaceMesh = 64;
constexpr int kPolylineLinetypeGen = 128;

constexpr int kVertexCurveFitExtra = 1;
constexpr int kVertexSplineFit = 8;
constexpr int kVertexSplineFrame = 16;
constexpr int kVertex3d = 32;

// Groups of the polyline that stay with it through the change.
constexpr int kKeptCodes[] = {6, 39, 48, 60, 62, 370, 420, 440};

int fail(const std::string& message)
{
    Session::get().print("\nPEDIT: " + message);
    return RTERROR;
}

// A polyline as PEDIT works on it: the frame and what the header carries.
struct PolylineShape {
    std::vector<Point3> frame;
    bool closed = false;
    bool three_d = false;
    bool linetype_gen = false;
    double elevation = 0;
    std::vector<Group> kept;
    std::vector<XDataApp> xdata;
};

void keep_common(const Drawing& drawing, const Entity& entity, PolylineShape& shape)
{
    for (const Group& g : shown_groups(drawing, entity))
        if (std::find(std::begin(kKeptCodes), std::end(kKeptCodes), g.code) != std::end(kKeptCodes))
            shape.kept.push_back(g);
    shape.xdata = entity.xdata;
}

PolylineShape lwpolyline_shape(const Drawing& drawing, const Entity& entity)
{
    PolylineShape shape;
    const long flags = entity.integer(70);
    shape.closed = flags & kPolylineClosed;
    shape.linetype_gen = flags & kPolylineLinetypeGen;
    shape.elevation = entity.real(38);
    for (const Group& g : shown_groups(drawing, entity))
        if (g.code == 10) shape.frame.push_back({g.point.x, g.point.y, shape.elevation});
    keep_common(drawing, entity, shape);
    return shape;
}

// The frame of an old-style polyline: the control points of a splined one, the
// given vertices of a curve-fitted one (without the vertices the fit added),
// every vertex of a plain one.
PolylineShape polyline_shape(const Drawing& drawing, const Entity& entity)
{
    PolylineShape shape;
    const long flags = entity.integer(70);
    shape.closed = flags & kPolylineClosed;
    shape.three_d = flags & kPolyline3d;
    shape.linetype_gen = flags & kPolylineLinetypeGen;
    shape.elevation = entity.point(10).z;
    for (long id : polyline_vertices(drawing, entity)) {
        const Entity* vertex = drawing.get(id);
        if (!vertex || vertex->erased) continue;
        const long vflags = vertex->integer(70);
        if (flags & kPolylineSplineFit) {
            if (!(vflags & kVertexSplineFrame)) continue;
        } else if (flags & kPolylineCurveFit) {
            if (vflags & kVertexCurveFitExtra) continue;
        }
        Point3 p = vertex->point(10);
        if (!shape.three_d) p.z = shape.elevation;
        shape.frame.push_back(p);
    }
    keep_common(drawing, entity, shape);
    return shape;
}

// One point of the B-spline of degree p with the control points and knots, at
// parameter u inside knot span k (knots[k] <= u < knots[k + 1]): de Boor's
// recurrence.
Point3 de_boor(int k, double u, int p, const std::vector<double>& knots, const std::vector<Point3>& control)
{
    std::vector<Point3> d(control.begin() + (k - p), control.begin() + (k + 1));
    for (int r = 1; r <= p; ++r) {
        for (int j = p; j >= r; --j) {
            const int i = j + k - p;
            const double span = knots[i + p - r + 1] - knots[i];
            const double a = span == 0 ? 0 : (u - knots[i]) / span;
            d[j].x = (1 - a) * d[j - 1].x + a * d[j].x;
            d[j].y = (1 - a) * d[j - 1].y + a * d[j].y;
            d[j].z = (1 - a) * d[j - 1].z + a * d[j].z;
        }
    }
    return d[p];
}

// The points of the fitted curve, segments pieces per knot span.
std::vector<Point3> bspline_points(const std::vector<Point3>& frame, int degree, bool closed, int segments)
{
    std::vector<Point3> control = frame;
    std::vector<double> knots;
    int first_span = 0, last_span = 0;  // the knot spans the curve runs through
    const int n = static_cast<int>(frame.size());
    if (closed) {
        // Periodic: the first `degree` control points once more at the end and
        // knots 0, 1, 2, ...; the curve runs over the n spans from knot
        // `degree` on and closes on itself.
        for (int i = 0; i < degree; ++i) control.push_back(frame[i % n]);
        const int count = static_cast<int>(control.size()) + degree + 1;
        for (int i = 0; i < count; ++i) knots.push_back(i);
        first_span = degree;
        last_span = degree + n - 1;
    } else {
        // Clamped: degree + 1 equal knots at each end, so the curve starts at
        // the first vertex and ends at the last.
        const int inner = n - degree - 1;
        for (int i = 0; i <= degree; ++i) knots.push_back(0);
        for (int i = 1; i <= inner; ++i) knots.push_back(i);
        for (int i = 0; i <= degree; ++i) knots.push_back(inner + 1);
        first_span = degree;
        last_span = n - 1;
    }
    std::vector<Point3> points;
    for (int k = first_span; k <= last_span; ++k) {
        for (int s = 0; s < segments; ++s) {
            const double u = knots[k] + (knots[k + 1] - knots[k]) * s / segments;
            points.push_back(de_boor(k, u, degree, knots, control));
        }
    }
    if (!closed) points.push_back(frame.back());  // the clamped end is the last vertex exactly
    return points;
}

Entity vertex_of(const std::string& layer, const Point3& point, int flags)
{
    Entity vertex;
    vertex.type = "VERTEX";
    vertex.groups = {Group::of_text(8, layer), Group::of_point(10, point), Group::of_int(70, flags)};
    return vertex;
}

// Makes the new POLYLINE (header, frame, fitted points, SEQEND) through the
// entity rules; RTNORM or RTERROR.
int make_polyline(Drawing& drawing, const std::string& layer, const PolylineShape& shape, bool splined,
                  int curve_type, const std::vector<Point3>& curve)
{
    int flags = shape.closed ? kPolylineClosed : 0;
    if (shape.three_d) flags |= kPolyline3d;
    if (shape.linetype_gen) flags |= kPolylineLinetypeGen;
    if (splined) flags |= kPolylineSplineFit;
    std::vector<Group> header = {Group::of_text(8, layer), Group::of_int(66, 1),
                                 Group::of_point(10, {0, 0, shape.three_d ? 0 : shape.elevation}),
                                 Group::of_int(70, flags)};
    if (splined) header.push_back(Group::of_int(75, curve_type));
    header.insert(header.end(), shape.kept.begin(), shape.kept.end());
    if (entity_make(drawing, "POLYLINE", header, shape.xdata) != RTNORM) return RTERROR;

    const int plain = shape.three_d ? kVertex3d : 0;
    auto add = [&](const Point3& p, int vflags) {
        const Entity v = vertex_of(layer, p, vflags);
        return entity_make(drawing, v.type, v.groups, {}) == RTNORM;
    };
    bool ok = true;
    for (const Point3& p : shape.frame) ok = ok && add(p, splined ? (kVertexSplineFrame | plain) : plain);
    for (const Point3& p : curve) ok = ok && add(p, kVertexSplineFit | plain);
    if (!ok || entity_make(drawing, "SEQEND", {Group::of_text(8, layer)}, {}) != RTNORM) {
        drawing.pending.polyline.clear();
        return RTERROR;
    }
    return RTNORM;
}

// Replaces the polyline by its splined (or decurved) form; the new POLYLINE's
// id in *replaced.
int reshape(Drawing& drawing, long id, bool spline, long* replaced)
{
    const Entity* entity = drawing.get(id);
    const std::string layer = entity->layer();
    const PolylineShape shape =
        entity->type == "LWPOLYLINE" ? lwpolyline_shape(drawing, *entity) : polyline_shape(drawing, *entity);
    if (shape.frame.size() < 2)
        return fail("the polyline has fewer than two vertices; it was left as it was.");

    std::vector<Point3> curve;
    int curve_type = 0;
    if (spline) {
        curve_type = sysvar_short(drawing, "SPLINETYPE", 6) == 5 ? 5 : 6;
        const int wanted = curve_type == 5 ? 2 : 3;
        const int n = static_cast<int>(shape.frame.size());
        const int degree = std::min(wanted, shape.closed ? std::max(n - 1, 1) : n - 1);
        const int segments = std::max(1, std::abs(sysvar_short(drawing, "SPLINESEGS", 8)));
        curve = bspline_points(shape.frame, degree, shape.closed, segments);
    }
    if (make_polyline(drawing, layer, shape, spline, curve_type, curve) != RTNORM)
        return fail("the new polyline could not be made; the polyline was left as it was.");
    const long made = drawing.last_main();
    if (entity_erase_toggle(drawing, id) != RTNORM) {
        entity_erase_toggle(drawing, made);
        return fail("the polyline could not be replaced; it was left as it was.");
    }
    *replaced = made;
    return RTNORM;
}

}  // namespace

int pedit_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return fail("no drawing is open.");
    Document& document = session.current();
    Drawing& drawing = document.drawing;
    CommandAnswers answers(args);
    const std::optional<std::string> answer = answers.take();
    if (!answer) return fail("no polyline was given.");
    const std::optional<long> id = entity_id_from_text(*answer);
    const Entity* entity = id ? drawing.get(*id) : nullptr;
    if (!entity || entity->erased || entity->owner != 0)
        return fail("\"" + *answer + "\" is no entity of the drawing.");
    if (entity->type != "LWPOLYLINE" && entity->type != "POLYLINE")
        return fail("a " + entity->type + " is not a polyline; it was left as it was.");
    if (entity->type == "POLYLINE" && (entity->integer(70) & (kPolygonMesh | kPolyfaceMesh)))
        return fail("a mesh cannot be splined; it was left as it was.");
    if (layer_locked(drawing, entity->layer()))
        return fail("the polyline is on the locked layer \"" + entity->layer() +
                    "\"; it was left as it was.");

    long current = *id;
    for (std::optional<std::string> option = answers.take(); option; option = answers.take()) {
        const std::string word = lower_text(*option);
        if (word.empty() || word == "x" || word == "_x" || word == "exit") break;
        bool spline;
        if (word == "s" || word == "_s" || word == "spline")
            spline = true;
        else if (word == "d" || word == "_d" || word == "decurve")
            spline = false;
        else
            return fail("the option \"" + *option + "\" is not carried out by this host (only s and d).");
        const Entity* now = drawing.get(current);
        const bool fitted =
            now->type == "POLYLINE" && (now->integer(70) & (kPolylineSplineFit | kPolylineCurveFit));
        if (!spline && !fitted) continue;  // nothing to decurve
        long replaced = 0;
        if (reshape(drawing, current, spline, &replaced) != RTNORM) return RTERROR;
        current = replaced;
        document.modified = true;
    }
    return RTNORM;
}

namespace {

void register_pedit_command(Session& session)
{
    session.register_command("PEDIT", pedit_command);
    session.register_command("_pedit", pedit_command);
}

const bool pedit_command_added = add_session_setup(register_pedit_command);

}  // namespace

}  // namespace host
