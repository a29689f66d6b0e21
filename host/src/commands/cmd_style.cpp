// The host command "Style": makes a text style (or changes one) and makes it
// the current one (TEXTSTYLE). Answers in order, each empty answer taking the
// default: the style's name, its font file ("txt"), a fixed height (0: the
// height is asked by each text), the width factor (1), the obliquing angle in
// degrees (0), and then "Yes" or "No" for backwards and upside-down text
// (both "No"). A name that no table record may have, a negative height, a
// width factor that is not above 0 or an obliquing angle outside -85 to 85
// degrees ends the command with a message and changes nothing.
#include <cmath>
#include <optional>

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
constexpr double kObliqueLimit = 85.0;

int fail(const std::string& message)
{
    Session::get().print("\nStyle: " + message);
    return RTERROR;
}

// A number answer: the default when empty, nullopt when it is no number.
std::optional<double> number_or(const std::optional<std::string>& answer, double absent)
{
    if (!answer || answer->empty()) return absent;
    return parse_real_text(*answer);
}

// A yes/no answer: nullopt when it is neither.
std::optional<bool> yes_no(const std::optional<std::string>& answer)
{
    if (!answer || answer->empty()) return false;
    const std::string word = lower_text(*answer);
    if (word == "y" || word == "yes") return true;
    if (word == "n" || word == "no") return false;
    return std::nullopt;
}

void set_group(Entity& record, const Group& group)
{
    if (Group* g = record.find(group.code))
        *g = group;
    else
        record.groups.push_back(group);
}

}  // namespace

int style_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return fail("no drawing is open.");
    Document& document = session.current();
    Drawing& drawing = document.drawing;
    CommandAnswers answers(args);
    const std::optional<std::string> name = answers.take();
    if (!name || !valid_record_name(*name)) return fail("\"" + name.value_or("") + "\" cannot name a style.");
    std::optional<std::string> font = answers.take();
    const std::string font_file = font && !font->empty() ? *font : "txt";
    const std::optional<std::string> height_answer = answers.take();
    const std::optional<double> height = number_or(height_answer, 0.0);
    if (!height || *height < 0)
        return fail("\"" + height_answer.value_or("") + "\" is no height of 0 or more.");
    const std::optional<std::string> width_answer = answers.take();
    const std::optional<double> width = number_or(width_answer, 1.0);
    if (!width || *width <= 0)
        return fail("\"" + width_answer.value_or("") + "\" is no width factor above 0.");
    const std::optional<std::string> oblique_answer = answers.take();
    const std::optional<double> oblique = number_or(oblique_answer, 0.0);
    if (!oblique || std::fabs(*oblique) > kObliqueLimit)
        return fail("\"" + oblique_answer.value_or("") + "\" is no obliquing angle from -85 to 85.");
    const std::optional<std::string> backwards_answer = answers.take();
    const std::optional<bool> backwards = yes_no(backwards_answer);
    const std::optional<std::string> upside_answer = answers.take();
    const std::optional<bool> upside_down = yes_no(upside_answer);
    if (!backwards || !upside_down) return fail("answer Yes or No for backwards and upside-down text.");

    long id = drawing.find_record("STYLE", *name);
    if (!id) {
        Entity record;
        record.type = "STYLE";
        record.groups = {Group::of_text(2, *name), Group::of_int(70, 0)};
        id = drawing.add_record("STYLE", std::move(record)).id;
    }
    Entity& record = *drawing.get(id);
    set_group(record, Group::of_real(40, *height));
    set_group(record, Group::of_real(41, *width));
    set_group(record, Group::of_real(50, *oblique * kPi / 180.0));
    set_group(record, Group::of_int(71, (*backwards ? 2 : 0) | (*upside_down ? 4 : 0)));
    set_group(record, Group::of_text(3, font_file));
    set_sysvar_string(drawing, "TEXTSTYLE", record.text(2));
    document.modified = true;
    return RTNORM;
}

namespace {

void register_style_command(Session& session)
{
    session.register_command("Style", style_command);
    session.register_command("_style", style_command);
    session.register_command("-style", style_command);
}

const bool style_command_added = add_session_setup(register_style_command);

}  // namespace

}  // namespace host
