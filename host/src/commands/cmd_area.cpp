// The host command "area": the area and perimeter of an entity ("e" or "o"
// followed by the entity) or of a polygon given as points ended by "". The
// results go to the system variables AREA and PERIMETER; a measurement that
// cannot be made leaves both as they were and returns RTERROR.
#include <cmath>
#include <optional>
#include <vector>

#include "ads.h"
#include "commands/cmd_misc.h"
#include "commands/commands.h"
#include "db/entities.h"
#include "db/sysvars.h"
#include "session/input.h"
#include "session/session.h"

namespace host {

namespace {

struct OutlineVertex {
    Point3 point;
    double bulge = 0;
};

struct Measure {
    double area = 0;
    double perimeter = 0;
};

int fail(const std::string& message)
{
    Session::get().print("\narea: " + message);
    return RTERROR;
}

// The chord's length and, for a bulged leg, the arc's length and the signed area
// between chord and arc (positive when the arc turns counter-clockwise).
void leg_measure(const OutlineVertex& from, const Point3& to, double& length, double& segment_area)
{
    const double dx = to.x - from.point.x, dy = to.y - from.point.y;
    const double chord = std::hypot(dx, dy);
    segment_area = 0;
    length = chord;
    if (from.bulge == 0 || chord == 0) return;
    const double theta = 4 * std::atan(from.bulge);  // included angle, signed
    const double radius = chord / (2 * std::sin(std::fabs(theta) / 2));
    length = radius * std::fabs(theta);
    const double magnitude = radius * radius * (std::fabs(theta) - std::sin(std::fabs(theta))) / 2;
    segment_area = theta > 0 ? magnitude : -magnitude;
}

// Area of the outline taken as closed; perimeter with the closing leg only when
// the outline is closed. The shoelace is summed about the first vertex: at
// survey coordinates (E 400000, N 600000) its products would otherwise be
// about 1e11 and their sum would lose the last digits of the area.
Measure outline_measure(const std::vector<OutlineVertex>& vertices, bool closed)
{
    Measure result;
    const size_t n = vertices.size();
    const Point3 origin = vertices.front().point;
    double twice_area = 0, bulge_area = 0;
    for (size_t i = 0; i < n; ++i) {
        const OutlineVertex& from = vertices[i];
        const Point3& to = vertices[(i + 1) % n].point;
        const double fx = from.point.x - origin.x, fy = from.point.y - origin.y;
        const double tx = to.x - origin.x, ty = to.y - origin.y;
        twice_area += fx * ty - tx * fy;
        double length = 0, segment = 0;
        const bool closing_leg = i + 1 == n;
        OutlineVertex leg = from;
        if (closing_leg && !closed) leg.bulge = 0;  // an open outline closes with a straight chord
        leg_measure(leg, to, length, segment);
        bulge_area += segment;
        if (!closing_leg || closed) result.perimeter += length;
    }
    result.area = std::fabs(twice_area / 2 + bulge_area);
    return result;
}

std::optional<Measure> entity_measure(const Drawing& drawing, const Entity& entity)
{
    if (entity.type == "CIRCLE") {
        const double r = entity.real(40);
        return Measure{M_PI * r * r, 2 * M_PI * r};
    }
    std::vector<OutlineVertex> vertices;
    if (entity.type == "LWPOLYLINE") {
        for (const Group& group : entity.groups) {
            if (group.code == 10) vertices.push_back({group.point, 0});
            if (group.code == 42 && !vertices.empty()) vertices.back().bulge = group.real;
        }
    } else if (entity.type == "POLYLINE") {
        for (long id : polyline_vertices(drawing, entity)) {
            const Entity* vertex = drawing.get(id);
            if (!vertex || vertex->erased) continue;
            vertices.push_back({vertex->point(10), vertex->real(42)});
        }
    } else {
        return std::nullopt;
    }
    if (vertices.size() < 2) return std::nullopt;
    return outline_measure(vertices, (entity.integer(70) & 1) != 0);
}

void store(Drawing& drawing, const Measure& measure)
{
    set_sysvar_real(drawing, "AREA", measure.area);
    set_sysvar_real(drawing, "PERIMETER", measure.perimeter);
}

int area_of_entity(Drawing& drawing, CommandAnswers& answers)
{
    const std::optional<std::string> answer = answers.take();
    if (!answer) return fail("no entity was given.");
    const std::optional<long> id = entity_id_from_text(*answer);
    const Entity* entity = id ? drawing.get(*id) : nullptr;
    if (!entity || entity->erased) return fail("\"" + *answer + "\" is no entity of the drawing.");
    const std::optional<Measure> measure = entity_measure(drawing, *entity);
    if (!measure) return fail("a " + entity->type + " has no area.");
    store(drawing, *measure);
    return RTNORM;
}

int area_of_points(Drawing& drawing, CommandAnswers& answers, std::string first)
{
    std::vector<OutlineVertex> vertices;
    std::optional<std::string> answer = std::move(first);
    for (; answer && !answer->empty(); answer = answers.take()) {
        if (is_osnap_override(*answer)) continue;
        Point3 point;
        if (!parse_point_text(*answer, point)) return fail("\"" + *answer + "\" is not a point.");
        vertices.push_back({point, 0});
    }
    if (vertices.size() < 3) return fail("a polygon needs at least three points.");
    store(drawing, outline_measure(vertices, true));
    return RTNORM;
}

}  // namespace

int area_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return fail("no drawing is open.");
    Drawing& drawing = session.current().drawing;
    CommandAnswers answers(args);
    const std::optional<std::string> answer = answers.take();
    if (!answer) return fail("no option was given.");
    const std::string option = lower_text(*answer);
    if (option == "e" || option == "_e" || option == "o" || option == "_o" || option == "object")
        return area_of_entity(drawing, answers);
    return area_of_points(drawing, answers, *answer);
}

namespace {

void register_area_command(Session& session)
{
    session.register_command("area", area_command);
}

const bool area_command_added = add_session_setup(register_area_command);

}  // namespace

}  // namespace host
