// Where the host's answers come from (a script's lines, a file, a terminal) and the
// get-calls of the host API that read them: points, numbers, distances, angles,
// strings, keywords and file names, with acedInitGet's flags and keywords.
// Invalid answers are asked again inside the call, each time from the next line;
// when the input runs out the call throws InputExhausted, so no prompt can loop.
#include "session/input.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "ads.h"
#include "commands/commands.h"
#include "db/resbuf_convert.h"
#include "lisp/lisp.h"
#include "session/session.h"

namespace host {

namespace {

class LinesInput : public Input {
public:
    LinesInput(const std::string& text, std::string name) : name_(std::move(name))
    {
        std::istringstream stream(text);
        std::string line;
        while (std::getline(stream, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines_.push_back(line);
        }
    }
    std::optional<std::string> next_line() override
    {
        if (next_ >= lines_.size()) return std::nullopt;
        return lines_[next_++];
    }
    bool interactive() const override { return false; }
    std::string where() const override
    {
        if (name_.empty() || next_ == 0) return "";
        return name_ + ":" + std::to_string(next_);
    }

private:
    std::string name_;
    std::vector<std::string> lines_;
    size_t next_ = 0;
};

std::string trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return "";
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

std::string upper(const std::string& text)
{
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// What acedInitGet set for the next get-call.
struct InitGet {
    int flags = 0;
    std::string keywords;
};
InitGet g_pending;
std::string g_last_input;  // what acedGetInput gives
Point3 g_last_point;       // the base of "@dx,dy" when a call has no base point

// The acedInitGet of this call; the next call starts without one.
InitGet take_initget()
{
    InitGet taken = g_pending;
    g_pending = InitGet{};
    return taken;
}

const char* prompt_of(const char* prompt)
{
    return prompt ? prompt : "";
}

enum class Answer { Empty, Cancel, Text };

// Asks and sorts out the two answers every get-call treats alike: Enter and Esc.
// A LISP expression answers with its value, except at string and file prompts.
Answer ask(const char* prompt, std::string& text, bool keep_blanks = false, bool lisp = true)
{
    Session& session = Session::get();
    std::string raw = session.ask(prompt_of(prompt));
    text = keep_blanks ? raw : trim(raw);
    if (trim(raw) == "^C") {
        session.print("*Cancel*");
        return Answer::Cancel;
    }
    if (lisp && !text.empty() && (text.front() == '(' || text.front() == '!')) {
        if (std::optional<std::string> value = eval_answer_text(session, text)) text = *value;
    }
    if (text.empty()) return Answer::Empty;
    return Answer::Text;
}

// A re-ask message ends its line, so that the prompt asked again stands on a
// line of its own.
void say(const std::string& message)
{
    Session::get().transcript().print_line("\n" + message);
}

// A point as typed: "x,y[,z]" or "@dx,dy[,dz]" relative to base (or the last point).
bool read_point(const std::string& text, const Point3* base, Point3& out)
{
    if (!text.empty() && text.front() == '@') {
        Point3 offset;
        std::string rest = text.substr(1);
        if (rest.empty()) {
            out = base ? *base : g_last_point;
            return true;
        }
        if (!parse_point_text(rest, offset)) return false;
        Point3 from = base ? *base : g_last_point;
        out = {from.x + offset.x, from.y + offset.y, from.z + offset.z};
        return true;
    }
    return parse_point_text(text, out);
}

// What other_answer gives when the call should ask again.
constexpr int kAskAgain = 0;      // the reason was already shown
constexpr int kUnrecognised = 1;  // the call shows why the answer is wrong

// The shared rules after Enter, Esc and the value: keywords, arbitrary text,
// flag 1. Returns the status to end the call with, or one of the two above.
int other_answer(Answer answer, const std::string& text, const InitGet& initget)
{
    if (answer == Answer::Cancel) {
        g_last_input.clear();
        return RTCAN;
    }
    if (answer == Answer::Empty) {
        if (initget.flags & RSG_NONULL) {
            say("A value is needed here; an empty answer is not allowed.");
            return kAskAgain;
        }
        g_last_input.clear();
        return RTNONE;
    }
    if (auto keyword = match_keyword(text, initget.keywords)) {
        g_last_input = *keyword;
        return RTKWORD;
    }
    if (initget.flags & RSG_OTHER) {
        g_last_input = text;
        return RTKWORD;
    }
    return kUnrecognised;
}

// Flags 2 and 4 on a number; false (with a message) when it breaks one.
bool number_allowed(double value, const InitGet& initget)
{
    if ((initget.flags & RSG_NOZERO) && value == 0) {
        say("Value must be nonzero.");
        return false;
    }
    if ((initget.flags & RSG_NONEG) && value < 0) {
        say("Value must be positive.");
        return false;
    }
    return true;
}

double distance(const Point3& a, const Point3& b, bool flat)
{
    double dx = b.x - a.x, dy = b.y - a.y, dz = flat ? 0 : b.z - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void copy_out(const std::string& text, char* result)
{
    if (!result) return;
    std::string cut = text.substr(0, 132);
    std::memcpy(result, cut.c_str(), cut.size() + 1);
}

bool is_separator(char c)
{
    return c == '/' || c == '\\';
}

bool is_absolute(const std::string& path)
{
    if (path.empty()) return false;
    if (is_separator(path.front())) return true;
    return path.size() > 1 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

}  // namespace

std::unique_ptr<Input> script_input(std::string text, std::string name)
{
    return std::make_unique<LinesInput>(std::move(text), std::move(name));
}

std::unique_ptr<Input> file_input(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    std::ostringstream text;
    text << file.rdbuf();
    return std::make_unique<LinesInput>(text.str(), path);
}

std::string take_initget_keywords()
{
    return take_initget().keywords;
}

void set_last_input(const std::string& text)
{
    g_last_input = text;
}

void reset_input_state()
{
    g_pending = InitGet{};
    g_last_input.clear();
    g_last_point = Point3{};
}

std::optional<double> parse_real_text(const std::string& text)
{
    std::string t = trim(text);
    if (t.empty()) return std::nullopt;
    const char* first = t.data();
    const char* last = first + t.size();
    if (*first == '+') ++first;
    double value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool parse_point_text(const std::string& text, Point3& out)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (parts.size() < 2 || parts.size() > 3) return false;
    double values[3] = {0, 0, 0};
    for (size_t i = 0; i < parts.size(); ++i) {
        std::optional<double> value = parse_real_text(parts[i]);
        if (!value) return false;
        values[i] = *value;
    }
    out = {values[0], values[1], values[2]};
    return true;
}

std::vector<std::string> split_keywords(const std::string& keywords)
{
    std::vector<std::string> list;
    std::istringstream stream(keywords);
    std::string word;
    while (stream >> word) list.push_back(word);
    return list;
}

std::optional<std::string> match_keyword(const std::string& answer, const std::string& keywords)
{
    std::string typed = upper(trim(answer));
    if (typed.empty()) return std::nullopt;
    std::vector<std::string> list = split_keywords(keywords);
    // A whole keyword first, so that "C" and "CL" stand side by side.
    for (const std::string& keyword : list)
        if (upper(keyword) == typed) return keyword;
    for (const std::string& keyword : list) {
        std::string capitals;
        for (char c : keyword)
            if (std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)))
                capitals += c;
        if (capitals.empty() || capitals.size() == keyword.size()) continue;
        // The capitals are the abbreviation; when they lead the keyword ("Yes",
        // "CLose") any longer beginning of the keyword names it as well.
        if (typed == capitals) return keyword;
        size_t lead = 0;
        while (lead < keyword.size() && std::isupper(static_cast<unsigned char>(keyword[lead]))) ++lead;
        if (lead == capitals.size() && typed.size() >= lead && typed.size() <= keyword.size() &&
            upper(keyword).compare(0, typed.size(), typed) == 0)
            return keyword;
    }
    return std::nullopt;
}

std::string real_text(double value)
{
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::to_string(value);
}

std::string point_text(const Point3& p)
{
    return real_text(p.x) + "," + real_text(p.y) + "," + real_text(p.z);
}

std::string Session::ask(const std::string& prompt)
{
    print(prompt);
    for (;;) {
        std::optional<std::string> line = input_ && !stopping_ ? input_->next_line() : std::nullopt;
        if (!line) {
            std::string shown = prompt;
            shown.erase(0, shown.find_first_not_of("\r\n"));
            throw InputExhausted(shown.empty() ? "(no prompt)" : shown);
        }
        // Comment lines may stand between the answers of a script.
        if (!input_->interactive() && !line->empty() && line->front() == ';') continue;
        transcript_.answer(*line, !input_->interactive());
        return *line;
    }
}

std::string Session::ask_dialog(const std::string& shown)
{
    if (!shown.empty()) print(shown);
    for (;;) {
        std::optional<std::string> line = input_ && !stopping_ ? input_->next_line() : std::nullopt;
        if (!line)
            throw InputExhausted("a dialog was open: " + (shown.empty() ? std::string("(dialog)") : shown));
        std::string text = trim(*line);
        if (text.empty() || text.front() == ';') continue;
        transcript_.answer(text, !input_->interactive());
        return text;
    }
}

}  // namespace host

using host::Answer;
using host::InitGet;
using host::Point3;

extern "C" {

int acedInitGet(int flags, const char* keywords)
{
    host::g_pending.flags = flags;
    host::g_pending.keywords = keywords ? keywords : "";
    return RTNORM;
}

int acedGetInput(char* result)
{
    host::copy_out(host::g_last_input, result);
    return RTNORM;
}

int acedGetPoint(const ads_point base, const char* prompt, ads_point result)
{
    InitGet initget = host::take_initget();
    Point3 from;
    if (base) from = {base[0], base[1], base[2]};
    for (;;) {
        std::string text;
        Answer answer = host::ask(prompt, text);
        Point3 point;
        if (answer == Answer::Text && host::read_point(text, base ? &from : nullptr, point)) {
            host::g_last_input = text;
            host::g_last_point = point;
            if (result) result[0] = point.x, result[1] = point.y, result[2] = point.z;
            return RTNORM;
        }
        int status = host::other_answer(answer, text, initget);
        if (status == host::kUnrecognised)
            host::say("Invalid point: give it as x,y or x,y,z.");
        else if (status != host::kAskAgain)
            return status;
    }
}

int acedGetCorner(const ads_point base, const char* prompt, ads_point result)
{
    return acedGetPoint(base, prompt, result);
}

int acedGetReal(const char* prompt, ads_real* result)
{
    InitGet initget = host::take_initget();
    for (;;) {
        std::string text;
        Answer answer = host::ask(prompt, text);
        if (answer == Answer::Text) {
            if (std::optional<double> value = host::parse_real_text(text)) {
                if (!host::number_allowed(*value, initget)) continue;
                host::g_last_input = text;
                if (result) *result = *value;
                return RTNORM;
            }
        }
        int status = host::other_answer(answer, text, initget);
        if (status == host::kUnrecognised)
            host::say("Requires a numeric value.");
        else if (status != host::kAskAgain)
            return status;
    }
}

int acedGetInt(const char* prompt, int* result)
{
    InitGet initget = host::take_initget();
    for (;;) {
        std::string text;
        Answer answer = host::ask(prompt, text);
        if (answer == Answer::Text) {
            long long value = 0;
            const char* first = text.data() + (text.front() == '+' ? 1 : 0);
            const char* last = text.data() + text.size();
            auto [end, error] = std::from_chars(first, last, value);
            if (end == last && error == std::errc::result_out_of_range) value = INT64_MAX;
            if (end == last && first != last) {
                // The host's integers are 16-bit.
                if (value < -32768 || value > 32767) {
                    host::say("Requires an integer between -32768 and 32767.");
                    continue;
                }
                if (!host::number_allowed(static_cast<double>(value), initget)) continue;
                host::g_last_input = text;
                if (result) *result = static_cast<int>(value);
                return RTNORM;
            }
        }
        int status = host::other_answer(answer, text, initget);
        if (status == host::kUnrecognised)
            host::say("Requires an integer value.");
        else if (status != host::kAskAgain)
            return status;
    }
}

int acedGetDist(const ads_point base, const char* prompt, ads_real* result)
{
    InitGet initget = host::take_initget();
    bool flat = initget.flags & RSG_2D;
    for (;;) {
        std::string text;
        Answer answer = host::ask(prompt, text);
        if (answer == Answer::Text) {
            double value = 0;
            bool got = false;
            if (std::optional<double> number = host::parse_real_text(text)) {
                value = *number;
                got = true;
            } else {
                Point3 from = base ? Point3{base[0], base[1], base[2]} : Point3{};
                Point3 point;
                if (host::read_point(text, base ? &from : nullptr, point)) {
                    if (!base) {
                        // Without a base the typed point is the first of two.
                        ads_point first = {point.x, point.y, point.z}, second;
                        int status = acedGetPoint(first, "\nSecond point: ", second);
                        if (status != RTNORM) return status;
                        from = point;
                        point = {second[0], second[1], second[2]};
                    }
                    value = host::distance(from, point, flat);
                    got = true;
                }
            }
            if (got) {
                if (!host::number_allowed(value, initget)) continue;
                host::g_last_input = text;
                if (result) *result = value;
                return RTNORM;
            }
        }
        int status = host::other_answer(answer, text, initget);
        if (status == host::kUnrecognised)
            host::say("Requires a numeric distance or a point.");
        else if (status != host::kAskAgain)
            return status;
    }
}

int acedGetAngle(const ads_point base, const char* prompt, ads_real* result)
{
    InitGet initget = host::take_initget();
    for (;;) {
        std::string text;
        Answer answer = host::ask(prompt, text);
        if (answer == Answer::Text) {
            // Decimal degrees, counter-clockwise from east; or a point seen from the base.
            if (std::optional<double> degrees = host::parse_real_text(text)) {
                host::g_last_input = text;
                if (result) *result = *degrees * M_PI / 180.0;
                return RTNORM;
            }
            Point3 point;
            Point3 from = base ? Point3{base[0], base[1], base[2]} : Point3{};
            if (base && host::read_point(text, &from, point)) {
                host::g_last_input = text;
                double angle = std::atan2(point.y - from.y, point.x - from.x);
                if (angle < 0) angle += 2 * M_PI;
                if (result) *result = angle;
                return RTNORM;
            }
        }
        int status = host::other_answer(answer, text, initget);
        if (status == host::kUnrecognised)
            host::say("Requires a numeric angle in degrees or a point.");
        else if (status != host::kAskAgain)
            return status;
    }
}

int acedGetString(int cronly, const char* prompt, char* result)
{
    host::take_initget();
    std::string text;
    Answer answer = host::ask(prompt, text, cronly != 0, false);
    if (answer == Answer::Cancel) {
        host::g_last_input.clear();
        return RTCAN;
    }
    if (!cronly) {
        // A blank ends the answer.
        text = host::trim(text);
        text = text.substr(0, text.find_first_of(" \t"));
    }
    if (text.size() > 132) {
        host::say("The answer was cut to 132 characters, the most a prompt takes.");
        text.resize(132);
    }
    host::g_last_input = text;
    host::copy_out(text, result);
    return RTNORM;
}

int acedGetKword(const char* prompt, char* result)
{
    InitGet initget = host::take_initget();
    for (;;) {
        std::string text;
        Answer answer = host::ask(prompt, text);
        if (answer == Answer::Text) {
            std::optional<std::string> keyword = host::match_keyword(text, initget.keywords);
            if (!keyword && ((initget.flags & RSG_OTHER) || host::split_keywords(initget.keywords).empty()))
                keyword = text;
            if (keyword) {
                host::g_last_input = *keyword;
                host::copy_out(*keyword, result);
                return RTNORM;
            }
            std::string list = initget.keywords;
            host::say("Invalid option keyword: answer one of " + list + ".");
            continue;
        }
        int status = host::other_answer(answer, text, initget);
        if (status != host::kAskAgain && status != host::kUnrecognised) return status;
    }
}

int acedGetFileD(const char* title, const char* default_name, const char* ext, int flags, resbuf* result)
{
    host::take_initget();
    std::string shown = std::string("\n") + (title && *title ? title : "File name");
    std::string start = default_name ? default_name : "";
    if (!start.empty()) shown += " <" + start + ">";
    shown += ": ";
    std::string text;
    Answer answer = host::ask(shown.c_str(), text, false, false);
    if (answer == Answer::Cancel) return RTCAN;
    if (answer == Answer::Empty) return RTERROR;
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    // A bare name is looked for in the folder the dialog starts in.
    if (!host::is_absolute(text) && !start.empty()) {
        size_t cut = start.find_last_of("/\\");
        if (cut != std::string::npos) text = start.substr(0, cut + 1) + text;
    }
    // A file to be written gets the dialog's extension when it has none.
    std::string extension = ext ? ext : "";
    bool single =
        !extension.empty() && extension != "*" && extension.find_first_of(";*") == std::string::npos;
    if ((flags & 1) && single) {
        size_t name = text.find_last_of("/\\");
        std::string base = name == std::string::npos ? text : text.substr(name + 1);
        if (base.find('.') == std::string::npos) text += "." + extension;
    }
    if (!result) return RTERROR;
    result->rbnext = nullptr;
    result->restype = RTSTR;
    result->resval.rstring = host::copy_string(text);
    host::g_last_input = text;
    return RTNORM;
}

}  // extern "C"
