// The host command "Text" as acedCommand runs it: an optional justification,
// object-snap overrides ("none"), the point "x,y", the height (not asked when
// the current text style has a fixed height), the angle in the drawing's angle
// units, base and direction, and one line of text. It makes one TEXT on the
// current layer in the current style.
#include <cmath>
#include <optional>

#include "ads.h"
#include "commands/cmd_misc.h"
#include "db/entities.h"
#include "session/input.h"
#include "session/session.h"
#include "db/sysvars.h"
#include "db/textmetrics.h"

namespace host {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Justification {
    const char* option;
    int horizontal;  // group 72
    int vertical;    // group 73
};

// The justifications the command takes at its first prompt (or after "j").
constexpr Justification kJustifications[] = {
    {"l", 0, 0},  {"c", 1, 0},  {"r", 2, 0},  {"m", 4, 0},  {"tl", 0, 3}, {"tc", 1, 3}, {"tr", 2, 3},
    {"ml", 0, 2}, {"mc", 1, 2}, {"mr", 2, 2}, {"bl", 0, 1}, {"bc", 1, 1}, {"br", 2, 1},
};

const Justification* justification_of(const std::string& answer)
{
    const std::string option = lower_text(answer);
    for (const Justification& justification : kJustifications)
        if (option == justification.option) return &justification;
    return nullptr;
}

int fail(const std::string& message)
{
    Session::get().print("\nText: " + message);
    return RTERROR;
}

bool refuse(const std::string& message)
{
    fail(message);
    return false;
}

}  // namespace

bool is_osnap_override(const std::string& answer)
{
    const std::string word = lower_text(answer);
    return word == "none" || word == "_none" || word == "non" || word == "_non";
}

std::optional<double> read_angle_answer(const Drawing& drawing, const std::string& answer)
{
    std::string text = answer;
    int units = sysvar_short(drawing, "AUNITS", 0);
    // A unit letter behind the number overrides AUNITS, as the host reads it.
    if (!text.empty()) {
        const char last = static_cast<char>(std::tolower(static_cast<unsigned char>(text.back())));
        if (last == 'd' || last == 'g' || last == 'r') {
            units = last == 'd' ? 0 : last == 'g' ? 2 : 3;
            text.pop_back();
        }
    }
    const std::optional<double> number = parse_real_text(text);
    if (!number) return std::nullopt;
    double angle = *number * kPi / 180.0;  // degrees: AUNITS 0, and a bare number in 1 and 4
    if (units == 2) angle = *number * kPi / 200.0;
    if (units == 3) angle = *number;
    // The typed angle counts from ANGBASE in the direction ANGDIR says (1: clockwise).
    const double base = sysvar_real(drawing, "ANGBASE", 0.0);
    double rotation = sysvar_short(drawing, "ANGDIR", 0) == 1 ? base - angle : base + angle;
    rotation = std::fmod(rotation, 2 * kPi);
    if (rotation < 0) rotation += 2 * kPi;
    if (std::fabs(rotation - 2 * kPi) < 1e-12) rotation = 0;
    return rotation;
}

namespace {

// The justification (left when none is given) and the point, with object-snap
// overrides allowed in front of either. false after a message.
bool take_justification_and_point(CommandAnswers& answers, Justification& chosen, Point3& point)
{
    chosen = kJustifications[0];
    std::optional<std::string> answer = answers.take();
    while (answer && is_osnap_override(*answer)) answer = answers.take();
    if (answer && lower_text(*answer) == "j") answer = answers.take();
    if (answer && (lower_text(*answer) == "a" || lower_text(*answer) == "f" || lower_text(*answer) == "s")) {
        return refuse("the option \"" + *answer +
                      "\" (align, fit or style) is not carried out by this host.");
    }
    if (answer) {
        if (const Justification* justification = justification_of(*answer)) {
            chosen = *justification;
            answer = answers.take();
        }
    }
    while (answer && is_osnap_override(*answer)) answer = answers.take();
    if (!answer) return refuse("the command was not given its point.");
    if (!parse_point_text(*answer, point)) return refuse("\"" + *answer + "\" is not a point.");
    return true;
}

// The height: the style's fixed height without asking, else the answer (an
// empty one takes TEXTSIZE). false after a message.
bool take_height(CommandAnswers& answers, const Drawing& drawing, const Entity& style, double& height)
{
    height = style.real(40, 0.0);
    if (height > 0) return true;
    const std::optional<std::string> answer = answers.take();
    if (!answer) return refuse("the command was not given its height.");
    if (answer->empty()) {
        height = sysvar_real(drawing, "TEXTSIZE", 2.5);
        return true;
    }
    const std::optional<double> typed = parse_real_text(*answer);
    if (!typed || *typed <= 0) return refuse("\"" + *answer + "\" is no height above 0.");
    height = *typed;
    return true;
}

// The rotation from the angle answer (an empty one takes 0). false after a message.
bool take_rotation(CommandAnswers& answers, const Drawing& drawing, double& rotation)
{
    const std::optional<std::string> answer = answers.take();
    if (!answer) return refuse("the command was not given its angle.");
    const std::optional<double> read = read_angle_answer(drawing, answer->empty() ? "0" : *answer);
    if (!read) return refuse("\"" + *answer + "\" is not an angle.");
    rotation = *read;
    return true;
}

}  // namespace

int text_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return fail("no drawing is open.");
    Drawing& drawing = session.current().drawing;
    CommandAnswers answers(args);

    Justification chosen;
    Point3 point;
    if (!take_justification_and_point(answers, chosen, point)) return RTERROR;
    const std::string style_name = sysvar_string(drawing, "TEXTSTYLE", "Standard");
    const Entity* style = drawing.get(drawing.find_record("STYLE", style_name));
    if (!style) return fail("the current text style \"" + style_name + "\" does not exist.");
    double height = 0, rotation = 0;
    if (!take_height(answers, drawing, *style, height) || !take_rotation(answers, drawing, rotation))
        return RTERROR;
    const std::optional<std::string> text = answers.take();
    if (!text) return fail("the command was not given its text.");
    if (text->empty()) return fail("an empty text makes no entity.");

    double width_factor = style->real(41, 1.0);
    if (width_factor <= 0) width_factor = 1.0;
    // A justified text stands at its alignment point 11; 10 follows from the font model.
    const bool justified = chosen.horizontal != 0 || chosen.vertical != 0;
    const Point3 insertion = justified
                                 ? insertion_from_alignment(point, *text, height, width_factor, rotation,
                                                            chosen.horizontal, chosen.vertical)
                                 : point;
    std::vector<Group> groups = {
        Group::of_text(8, sysvar_string(drawing, "CLAYER", "0")),
        Group::of_point(10, insertion),
        Group::of_real(40, height),
        Group::of_text(1, *text),
        Group::of_real(50, rotation),
        Group::of_real(41, width_factor),
        Group::of_text(7, style->text(2, style_name)),
        Group::of_int(72, chosen.horizontal),
    };
    if (justified) groups.push_back(Group::of_point(11, point));
    groups.push_back(Group::of_int(73, chosen.vertical));
    if (entity_make(drawing, "TEXT", groups, {}) != RTNORM) return fail("the text could not be made.");
    session.current().modified = true;
    return RTNORM;
}

void register_text_command(Session& session)
{
    session.register_command("Text", text_command);
    session.register_command("_text", text_command);
}

}  // namespace host
