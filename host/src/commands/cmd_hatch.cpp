// The host command "Hatch" as acedCommand runs it, by its direct-hatch answers:
//
//   pattern            "solid" (or "s"); this host fills only solid hatches
//   boundary objects   an empty answer: the boundary is given point by point
//   retain boundary    "n" (or an empty answer) or "y": "y" also draws each
//                      boundary as a closed LWPOLYLINE
//   start point        a point, then legs in line mode:
//     a point            a straight leg to it
//     "a"                arc mode: a point is a tangent arc to it; "s" takes a
//                        second point and an end point (an arc through the three)
//     "l" (in arc mode)  back to line mode
//     "c" / "close"      closes the boundary (a line, or a tangent arc in arc mode)
//     "u"                takes the last leg away
//   after a close      a point starts another boundary; an empty answer (or the
//                      end of the answers) makes the hatch
//
// Object-snap words ("none") may stand before any point and are passed over.
// A boundary whose last leg already ends at its first point is closed by it:
// "close" then adds no leg (the road cutting strips end their second arc on
// the first point and close after it). The HATCH goes on CLAYER, colour and
// line type by layer, pattern SOLID, one polyline path (lines and bulged arcs)
// per boundary. A boundary that is left open, encloses no area or uses an
// option this host does not carry out is refused with a message, and nothing
// is made.
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

constexpr double kPi = 3.14159265358979323846;

int fail(const std::string& message)
{
    Session::get().print("\nHatch: " + message);
    return RTERROR;
}

// One vertex of a boundary: the leg that leaves it has this bulge.
struct BoundaryVertex {
    Point3 point;
    double bulge = 0;
};

using Boundary = std::vector<BoundaryVertex>;

bool same_point(const Point3& a, const Point3& b)
{
    const double scale = std::max({1.0, std::fabs(a.x), std::fabs(a.y)});
    return std::hypot(a.x - b.x, a.y - b.y) <= 1e-10 * scale;
}

double direction_of(const Point3& from, const Point3& to)
{
    return std::atan2(to.y - from.y, to.x - from.x);
}

// The signed included angle of the arc from a through m to b (counter-clockwise
// positive); nullopt when the three points lie on one line or two coincide.
std::optional<double> arc_angle_3p(const Point3& a, const Point3& m, const Point3& b)
{
    const double cross = (m.x - a.x) * (b.y - a.y) - (m.y - a.y) * (b.x - a.x);
    const double ab = std::hypot(b.x - a.x, b.y - a.y);
    if (ab == 0 || same_point(a, m) || same_point(m, b)) return std::nullopt;
    if (std::fabs(cross) <= 1e-12 * ab * std::max(ab, std::hypot(m.x - a.x, m.y - a.y))) return std::nullopt;
    // The inscribed angle at m is half the arc not holding m: the arc holding m
    // spans 2 (pi - angle at m). It runs counter-clockwise when m lies right of
    // a->b (cross above 0).
    const double am = direction_of(m, a), bm = direction_of(m, b);
    double at_m = std::fabs(am - bm);
    if (at_m > kPi) at_m = 2 * kPi - at_m;
    const double span = 2 * (kPi - at_m);
    return cross > 0 ? span : -span;
}

// The included angle of the arc that leaves a along the direction and ends at b.
double tangent_arc_angle(double direction, const Point3& a, const Point3& b)
{
    double turn = direction_of(a, b) - direction;
    while (turn > kPi) turn -= 2 * kPi;
    while (turn <= -kPi) turn += 2 * kPi;
    return 2 * turn;
}

// Signed area of the closed boundary, bulged legs included.
double boundary_area(const Boundary& boundary)
{
    const size_t n = boundary.size();
    if (n < 2) return 0;
    const Point3& o = boundary[0].point;
    double area = 0;
    for (size_t i = 0; i < n; ++i) {
        const Point3& a = boundary[i].point;
        const Point3& b = boundary[(i + 1) % n].point;
        area += ((a.x - o.x) * (b.y - o.y) - (b.x - o.x) * (a.y - o.y)) / 2;
        const double theta = 4 * std::atan(boundary[i].bulge);
        const double chord = std::hypot(b.x - a.x, b.y - a.y);
        if (theta != 0 && chord > 0) {
            const double r = chord / (2 * std::sin(std::fabs(theta) / 2));
            const double segment = r * r * (std::fabs(theta) - std::sin(std::fabs(theta))) / 2;
            area += theta > 0 ? segment : -segment;
        }
    }
    return area;
}

// The answers of one call, with object-snap words passed over where a point
// may follow.
class HatchAnswers {
public:
    explicit HatchAnswers(CommandArgs& args) : answers_(args) {}
    std::optional<std::string> take() { return answers_.take(); }
    std::optional<std::string> take_past_snaps()
    {
        std::optional<std::string> answer;
        do answer = answers_.take();
        while (answer && is_osnap_override(*answer));
        return answer;
    }

private:
    CommandAnswers answers_;
};

bool is_word(const std::string& answer, std::initializer_list<const char*> words)
{
    std::string key = lower_text(answer);
    if (!key.empty() && key[0] == '_') key.erase(0, 1);
    for (const char* word : words)
        if (key == word) return true;
    return false;
}

// Builds one boundary from its start point to its close. Returns the message
// of a refusal, or nothing when the boundary closed.
class BoundaryReader {
public:
    BoundaryReader(HatchAnswers& answers, const Point3& start) : answers_(answers)
    {
        boundary_.push_back({start, 0});
    }

    std::optional<std::string> read()
    {
        for (;;) {
            std::optional<std::string> answer = answers_.take_past_snaps();
            if (!answer || answer->empty())
                return std::string("the boundary was left open; answer \"close\" to close it.");
            std::optional<std::string> refused = arc_mode_ ? arc_answer(*answer) : line_answer(*answer);
            if (refused) return refused;
            if (closed_) return std::nullopt;
        }
    }

    const Boundary& boundary() const { return boundary_; }

private:
    const Point3& current() const { return boundary_.back().point; }

    void add_leg(const Point3& to, double angle)
    {
        if (same_point(current(), to)) return;  // a leg of no length adds nothing
        boundary_.back().bulge = std::tan(angle / 4);
        const Point3 from = current();
        boundary_.push_back({to, 0});
        // The direction at the end: the chord turned by half the included angle.
        direction_ = direction_of(from, to) + angle / 2;
        has_direction_ = true;
    }

    void undo()
    {
        if (boundary_.size() > 1) boundary_.pop_back();
        boundary_.back().bulge = 0;
        has_direction_ = false;
    }

    // A boundary whose last leg came back to the first point is closed as it
    // stands; otherwise the closing leg is a line or a tangent arc.
    std::optional<std::string> close(bool as_arc)
    {
        if (boundary_.size() > 1 && same_point(current(), boundary_.front().point)) {
            boundary_.pop_back();
        } else if (as_arc) {
            if (!has_direction_) return std::string("a closing arc needs a leg before it to follow.");
            const Point3 start = boundary_.front().point;
            boundary_.back().bulge = std::tan(tangent_arc_angle(direction_, current(), start) / 4);
        }
        closed_ = true;
        return std::nullopt;
    }

    std::optional<std::string> line_answer(const std::string& answer)
    {
        Point3 p;
        if (parse_point_text(answer, p)) {
            add_leg(p, 0);
            return std::nullopt;
        }
        if (is_word(answer, {"a", "arc"})) {
            arc_mode_ = true;
            return std::nullopt;
        }
        if (is_word(answer, {"c", "cl", "close"})) return close(false);
        if (is_word(answer, {"u", "undo"})) {
            undo();
            return std::nullopt;
        }
        return "\"" + answer + "\" is no point or option of a line leg here (a point, a, close or u).";
    }

    std::optional<std::string> arc_answer(const std::string& answer)
    {
        Point3 end;
        if (parse_point_text(answer, end)) {
            if (!has_direction_) return std::string("an arc end point needs a leg before it to follow.");
            add_leg(end, tangent_arc_angle(direction_, current(), end));
            return std::nullopt;
        }
        if (is_word(answer, {"s", "second"})) return three_point_arc();
        if (is_word(answer, {"l", "line"})) {
            arc_mode_ = false;
            return std::nullopt;
        }
        if (is_word(answer, {"cl", "close"})) return close(true);
        if (is_word(answer, {"u", "undo"})) {
            undo();
            return std::nullopt;
        }
        return "\"" + answer + "\" is no point or option of an arc leg here (a point, s, l, close or u).";
    }

    std::optional<std::string> three_point_arc()
    {
        Point3 second, end;
        std::optional<std::string> answer = answers_.take_past_snaps();
        if (!answer || !parse_point_text(*answer, second))
            return "the arc's second point must be a point, not \"" + answer.value_or("") + "\".";
        answer = answers_.take_past_snaps();
        if (!answer || !parse_point_text(*answer, end))
            return "the arc's end point must be a point, not \"" + answer.value_or("") + "\".";
        std::optional<double> angle = arc_angle_3p(current(), second, end);
        if (!angle) return std::string("the arc's three points lie on one line; no arc passes through them.");
        add_leg(end, *angle);
        return std::nullopt;
    }

    HatchAnswers& answers_;
    Boundary boundary_;
    bool arc_mode_ = false;
    bool closed_ = false;
    bool has_direction_ = false;
    double direction_ = 0;
};

void append_path(std::vector<Group>& groups, const Boundary& boundary)
{
    groups.push_back(Group::of_int(92, 3));  // external, polyline
    groups.push_back(Group::of_int(72, 1));  // has bulges
    groups.push_back(Group::of_int(73, 1));  // closed
    groups.push_back(Group::of_int(93, static_cast<long>(boundary.size())));
    for (const BoundaryVertex& v : boundary) {
        groups.push_back(Group::of_point(10, {v.point.x, v.point.y, 0}));
        groups.push_back(Group::of_real(42, v.bulge));
    }
    groups.push_back(Group::of_int(97, 0));
}

int make_hatch(Drawing& drawing, const std::vector<Boundary>& boundaries, bool retain)
{
    const std::string layer = sysvar_string(drawing, "CLAYER", "0");
    std::vector<Group> groups = {Group::of_text(8, layer),
                                 Group::of_point(10, {0, 0, 0}),
                                 Group::of_point(210, {0, 0, 1}),
                                 Group::of_text(2, "SOLID"),
                                 Group::of_int(70, 1),
                                 Group::of_int(71, 0),
                                 Group::of_int(91, static_cast<long>(boundaries.size()))};
    for (const Boundary& boundary : boundaries) append_path(groups, boundary);
    for (Group g : {Group::of_int(75, 0), Group::of_int(76, 1), Group::of_int(98, 0)}) groups.push_back(g);
    if (retain) {
        for (const Boundary& boundary : boundaries) {
            std::vector<Group> outline = {Group::of_text(8, layer),
                                          Group::of_int(90, static_cast<long>(boundary.size())),
                                          Group::of_int(70, 1)};
            for (const BoundaryVertex& v : boundary) {
                outline.push_back(Group::of_point(10, {v.point.x, v.point.y, 0}));
                outline.push_back(Group::of_real(42, v.bulge));
            }
            if (entity_make(drawing, "LWPOLYLINE", outline, {}) != RTNORM)
                return fail("the boundary polyline could not be made.");
        }
    }
    if (entity_make(drawing, "HATCH", groups, {}) != RTNORM) return fail("the hatch could not be made.");
    return RTNORM;
}

}  // namespace

int hatch_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return fail("no drawing is open.");
    Drawing& drawing = session.current().drawing;
    HatchAnswers answers(args);

    std::optional<std::string> answer = answers.take();
    if (!answer || !is_word(*answer, {"s", "solid"}))
        return fail("the pattern \"" + answer.value_or("") + "\" is not drawn by this host (only solid).");
    answer = answers.take();
    if (!answer || !answer->empty())
        return fail(
            "this host hatches only boundaries given point by point: answer the boundary "
            "selection with an empty answer.");
    answer = answers.take();
    bool retain = false;
    if (answer && is_word(*answer, {"y", "yes"}))
        retain = true;
    else if (!answer || !(answer->empty() || is_word(*answer, {"n", "no"})))
        return fail("\"" + answer.value_or("") + "\" does not answer whether to keep the boundary (y or n).");

    std::vector<Boundary> boundaries;
    for (;;) {
        answer = answers.take_past_snaps();
        if (!answer || answer->empty()) break;
        Point3 start;
        if (!parse_point_text(*answer, start))
            return fail("\"" + *answer + "\" is no start point of a boundary.");
        BoundaryReader reader(answers, start);
        if (std::optional<std::string> refused = reader.read()) return fail(*refused);
        if (reader.boundary().size() < 2 || std::fabs(boundary_area(reader.boundary())) <= 0)
            return fail("the boundary encloses no area; no hatch was made.");
        boundaries.push_back(reader.boundary());
    }
    if (boundaries.empty()) return fail("no boundary was given; no hatch was made.");
    if (make_hatch(drawing, boundaries, retain) != RTNORM) return RTERROR;
    session.current().modified = true;
    return RTNORM;
}

namespace {

void register_hatch_command(Session& session)
{
    session.register_command("Hatch", hatch_command);
    session.register_command("-hatch", hatch_command);
}

const bool hatch_command_added = add_session_setup(register_hatch_command);

}  // namespace

}  // namespace host
