// The host commands "Text", "Donut" and "_zoom" that acedCommand runs, and the
// readers of their answers. ("_redrawall" is one of the session's own commands.)
#pragma once

#include <optional>
#include <string>

#include "commands/commands.h"
#include "db/drawing.h"
#include "session/session.h"

namespace host {

// The answers of one command call, taken in order. What was used leaves the
// argument list when the command ends; what is left stays for the caller.
class CommandAnswers {
public:
    explicit CommandAnswers(CommandArgs& args) : args_(args) {}
    ~CommandAnswers() { args_.erase(args_.begin(), args_.begin() + static_cast<long>(next_)); }
    std::optional<std::string> take()
    {
        if (next_ >= args_.size()) return std::nullopt;
        return args_[next_++];
    }

private:
    CommandArgs& args_;
    size_t next_ = 0;
};

// Adds "Text" (cmd_text.cpp) and "Donut", "_zoom" (cmd_misc.cpp) to a session's
// host commands.
void register_text_command(Session& session);
void register_misc_commands(Session& session);

int text_command(CommandArgs& args);
int donut_command(CommandArgs& args);
int zoom_command(CommandArgs& args);

// "none", "non" and their "_" forms: an object-snap override, which this host
// accepts and ignores (it applies no object snaps).
bool is_osnap_override(const std::string& answer);

// An angle typed at a command prompt, read in the drawing's AUNITS (a trailing
// "d", "g" or "r" names degrees, grads or radians), counted from ANGBASE in the
// direction of ANGDIR; the result in radians counter-clockwise from east, in
// [0, 2 pi). nullopt when the answer is no number.
std::optional<double> read_angle_answer(const Drawing& drawing, const std::string& answer);

}  // namespace host
