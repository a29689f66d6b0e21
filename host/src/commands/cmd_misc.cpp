// The host commands "Donut" and "_zoom" as acedCommand runs them.
#include "commands/cmd_misc.h"

#include <algorithm>
#include <cmath>

#include "ads.h"
#include "db/entities.h"
#include "session/input.h"
#include "session/session.h"
#include "db/sysvars.h"

namespace host {

namespace {

int fail(const std::string& command, const std::string& message)
{
    Session::get().print("\n" + command + ": " + message);
    return RTERROR;
}

// A diameter answer: empty takes the default, else a number not below 0.
std::optional<double> read_diameter(const std::optional<std::string>& answer, double absent)
{
    if (!answer) return std::nullopt;
    if (answer->empty()) return absent;
    const std::optional<double> value = parse_real_text(*answer);
    if (!value || *value < 0) return std::nullopt;
    return value;
}

// A donut is a closed LWPOLYLINE of two half-circle arcs (bulge 1) on the
// circle midway between the two diameters, as wide as the ring.
int make_donut(Drawing& drawing, const Point3& centre, double inside, double outside)
{
    const double radius = (outside + inside) / 4;
    const double width = (outside - inside) / 2;
    const std::vector<Group> groups = {
        Group::of_text(8, sysvar_string(drawing, "CLAYER", "0")),
        Group::of_int(90, 2),
        Group::of_int(70, 1),
        Group::of_real(43, width),
        Group::of_point(10, {centre.x - radius, centre.y, 0}),
        Group::of_real(42, 1.0),
        Group::of_point(10, {centre.x + radius, centre.y, 0}),
        Group::of_real(42, 1.0),
    };
    return entity_make(drawing, "LWPOLYLINE", groups, {});
}

}  // namespace

int donut_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return fail("Donut", "no drawing is open.");
    Drawing& drawing = session.current().drawing;
    CommandAnswers answers(args);
    std::optional<std::string> answer = answers.take();
    const std::optional<double> inside = read_diameter(answer, 0.5);
    if (!inside)
        return fail("Donut",
                    answer ? "\"" + *answer + "\" is no inside diameter." : "no inside diameter was given.");
    answer = answers.take();
    const std::optional<double> outside = read_diameter(answer, 1.0);
    if (!outside)
        return fail("Donut", answer ? "\"" + *answer + "\" is no outside diameter."
                                    : "no outside diameter was given.");
    if (*outside <= 0 || *outside < *inside)
        return fail("Donut", "the outside diameter must be above 0 and not below the inside diameter.");

    // Centres until an empty answer (or the end of the answers).
    int made = 0;
    while ((answer = answers.take()) && !answer->empty()) {
        if (is_osnap_override(*answer)) continue;
        Point3 centre;
        if (!parse_point_text(*answer, centre)) return fail("Donut", "\"" + *answer + "\" is not a point.");
        if (make_donut(drawing, centre, *inside, *outside) != RTNORM)
            return fail("Donut", "the donut could not be made.");
        ++made;
        session.current().modified = true;
    }
    if (made == 0) return fail("Donut", "no centre was given; no donut was made.");
    return RTNORM;
}

int zoom_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return fail("_zoom", "no drawing is open.");
    Drawing& drawing = session.current().drawing;
    CommandAnswers answers(args);
    std::optional<std::string> answer = answers.take();
    if (!answer) return fail("_zoom", "no option was given.");
    Point3 first, second;
    const std::string option = lower_text(*answer);
    if (option == "w" || option == "_w" || option == "window") {
        answer = answers.take();
        if (!answer || !parse_point_text(*answer, first))
            return fail("_zoom", "the window needs its first corner as \"x,y\".");
    } else if (!parse_point_text(*answer, first)) {  // a point at the first prompt starts a window too
        return fail("_zoom",
                    "the option \"" + *answer + "\" is not carried out by this host (only a window).");
    }
    answer = answers.take();
    if (!answer || !parse_point_text(*answer, second))
        return fail("_zoom", "the window needs its second corner as \"x,y\".");
    const double width = std::fabs(second.x - first.x), height = std::fabs(second.y - first.y);
    if (width <= 0 && height <= 0) return fail("_zoom", "the window's corners are the same point.");

    // The view shows the whole window on a screen of SCREENSIZE's proportions.
    const Point3 screen = sysvar_point(drawing, "SCREENSIZE");
    const double aspect = screen.x > 0 && screen.y > 0 ? screen.x / screen.y : 1.0;
    const double view_size = std::max(height, width / aspect);
    set_sysvar_point(drawing, "VIEWCTR", {(first.x + second.x) / 2, (first.y + second.y) / 2, 0});
    set_sysvar_real(drawing, "VIEWSIZE", view_size);
    return RTNORM;
}

void register_misc_commands(Session& session)
{
    session.register_command("Donut", donut_command);
    session.register_command("_donut", donut_command);
    session.register_command("_zoom", zoom_command);
    session.register_command("zoom", zoom_command);
}

}  // namespace host
