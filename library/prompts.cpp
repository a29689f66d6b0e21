#include "prompts.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>

#include "ads.h"
#include "angles.h"
#include "geometry.h"
#include "numbers.h"
#include "resbuf_util.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

// Field n (from 1) of a comma-separated spec; with fewer fields the last one.
std::string spec_field(const std::string& spec, int n)
{
    return str_get_field(spec, n, ",");
}

bool is_nil(const std::string& text)
{
    return strcasecmp(text.c_str(), "nil") == 0;
}

std::string field_or_empty(const std::string& spec, int n)
{
    std::string field = spec_field(spec, n);
    return is_nil(field) ? std::string() : field;
}

const char* keywords_or_null(const std::string& keywords)
{
    return keywords.empty() ? nullptr : keywords.c_str();
}

std::string raw_input()
{
    char raw[512] = {0};
    acedGetInput(raw);
    return raw;
}

}  // namespace

// ---- keyword and string prompts ---------------------------------------------------

int prompt_kword_spec(const std::string& spec, std::string& out)
{
    int flags = std::atoi(field_or_empty(spec, 1).c_str());
    std::string keywords = field_or_empty(spec, 2);
    std::string prompt = field_or_empty(spec, 3);
    std::string default_keyword = spec_field(spec, 4);
    bool has_default = !is_nil(default_keyword);
    std::string shown;
    if (has_default) {
        shown = prompt + " <" + str_upper_copy(default_keyword) + ">:";
        flags = 0;  // an empty answer takes the default
    } else {
        shown = prompt + ":";
    }
    acutPrintf("\n");
    for (;;) {
        acedInitGet(flags, keywords_or_null(keywords));
        char answer[512] = {0};
        int rc = acedGetKword(shown.c_str(), answer);
        if (rc == RTCAN) continue;
        if (rc == RTNORM)
            out = answer;
        else if (rc == RTNONE)
            out = has_default ? str_upper_copy(default_keyword) : std::string();
        else
            out.clear();
        return 0;
    }
}

std::string prompt_kword(const std::string& flags, const std::string& keywords, const std::string& prompt,
                         const std::string& default_keyword)
{
    std::string out;
    prompt_kword_spec(flags + "," + keywords + "," + prompt + "," + default_keyword, out);
    return out;
}

void prompt_kword_into(const std::string& flags, const std::string& keywords, const std::string& prompt,
                       const std::string& default_keyword, std::string& out)
{
    out = prompt_kword(flags, keywords, prompt, default_keyword);
}

int prompt_string_spec(const std::string& spec, const std::string& default_text, std::string& out)
{
    std::string prompt = field_or_empty(spec, 2);
    int blanks_allowed = is_nil(spec_field(spec, 3)) ? 0 : 1;
    std::string shown = is_nil(default_text) ? prompt + ":" : prompt + "<" + default_text + ">:";
    acutPrintf("\n");
    for (;;) {
        char answer[512] = {0};
        int rc = acedGetString(blanks_allowed, shown.c_str(), answer);
        if (rc == RTCAN) continue;
        if (rc == RTNORM) out = answer[0] ? std::string(answer) : default_text;
        return 0;
    }
}

int prompt_string(int flags, int spaces, const std::string& prompt, const std::string& default_text,
                  std::string& out)
{
    std::string spec =
        std::to_string(flags) + "," + prompt + "," + (spaces == 0 ? "nil" : std::to_string(spaces));
    return prompt_string_spec(spec, default_text, out);
}

// ---- number prompts -----------------------------------------------------------------

namespace {

// The ask loop the real and integer prompts share: acedInitGet with the prompt_spec's
// flags and keywords before each ask, then ask(number) for the host's status
// and the typed number as text. A cancel asks again; a keyword gives 2 and the
// raw answer; an empty answer gives 1 and default_text; a number 1 and its
// text; any other status 0.
template <typename Ask>
int ask_number(const std::string& spec, const std::string& default_text, Ask ask, std::string& out)
{
    int flags = std::atoi(field_or_empty(spec, 1).c_str());
    std::string keywords = field_or_empty(spec, 2);
    for (;;) {
        acedInitGet(flags, keywords_or_null(keywords));
        std::string number;
        int rc = ask(number);
        std::string raw = raw_input();
        switch (rc) {
            case RTCAN:
                continue;
            case RTKWORD:
                out = raw;
                return 2;
            case RTNONE:
                out = default_text;
                return 1;
            case RTNORM:
                out = number;
                return 1;
            default:
                return 0;
        }
    }
}

}  // namespace

int prompt_real_spec(const std::string& spec, double default_value, int decimals, std::string& out)
{
    // The default as shown, rounded to the decimals, is what an empty answer gives.
    std::string shown_default = rtos_decimal(default_value, decimals);
    std::string shown = field_or_empty(spec, 3) + "<" + shown_default + ">:";
    auto ask = [&](std::string& number) {
        double value = 0;
        int rc = acedGetReal(shown.c_str(), &value);
        number = rtos_decimal(value, 10);
        return rc;
    };
    return ask_number(spec, rtos_decimal(std::strtod(shown_default.c_str(), nullptr), 10), ask, out);
}

int prompt_int_spec(const std::string& spec, int default_value, std::string& out)
{
    std::string shown = field_or_empty(spec, 3) + "<" + std::to_string(default_value) + ">:";
    auto ask = [&](std::string& number) {
        acutPrintf("\n");
        int value = 0;
        int rc = acedGetInt(shown.c_str(), &value);
        number = std::to_string(value);
        return rc;
    };
    return ask_number(spec, std::to_string(default_value), ask, out);
}

double prompt_real_or_exit(const std::string& prompt, double default_value, int decimals)
{
    for (;;) {
        std::string out;
        int rc = prompt_real_spec("0,X,\ne<X>it " + prompt, default_value, decimals, out);
        if (rc == 1) return std::strtod(out.c_str(), nullptr);
        if (rc == 2 && str_upper_copy(out) == "X") return 0.0;
    }
}

double prompt_real_default(const std::string& prompt, double default_value, int decimals)
{
    for (;;) {
        std::string out;
        if (prompt_real_spec("0,X," + prompt, default_value, decimals, out) == 1)
            return std::strtod(out.c_str(), nullptr);
    }
}

void say_refused_value(const std::string& why, bool prompt_starts_line)
{
    acutPrintf(prompt_starts_line ? "\n%s" : "\n%s\n", why.c_str());
}

int prompt_size_spec(const std::string& spec, double default_value, int decimals, std::string& out,
                     const std::string& why)
{
    for (;;) {
        const int rc = prompt_real_spec(spec, default_value, decimals, out);
        if (rc != 1 || size_valid(std::strtod(out.c_str(), nullptr))) return rc;
        say_refused_value(why.empty() ? size_refused : why, field_or_empty(spec, 3).rfind('\n', 0) == 0);
    }
}

int prompt_decimals_spec(const std::string& spec, int default_value, std::string& out, int low, int high)
{
    for (;;) {
        const int rc = prompt_int_spec(spec, default_value, out);
        if (rc != 1) return rc;
        const int value = std::atoi(out.c_str());
        if (value >= low && value <= high) return rc;
        // The integer prompt starts each ask on a new line.
        say_refused_value(decimals_refused(low, high), true);
    }
}

int prompt_int_default(const std::string& prompt, int default_value)
{
    for (;;) {
        std::string out;
        if (prompt_int_spec("0,X," + prompt, default_value, out) == 1) return std::atoi(out.c_str());
    }
}

int prompt_int_or_exit(const std::string& prompt, int default_value)
{
    for (;;) {
        std::string out;
        int rc = prompt_int_spec("0,X,e<X>it " + prompt, default_value, out);
        if (rc == 1) return std::atoi(out.c_str());
        if (rc == 2 && str_upper_copy(out) == "X") return 0;
    }
}

void prompt_exit_wait()
{
    std::string answer;
    do {
        prompt_kword_spec("1,X,\ne<X>it ,nil", answer);
    } while (answer != "X");
}

int prompt_yes_no(const std::string& prompt, int default_yes)
{
    std::string shown = prompt + " <" + (default_yes == 1 ? "Yes" : "No") + ">:";
    acedInitGet(0, "Yes No");
    char answer[512] = {0};
    int rc = acedGetKword(shown.c_str(), answer);
    if (rc == RTNONE) return default_yes == 1 ? 1 : 0;
    if (rc == RTNORM) return std::string(answer) == "Yes" ? 1 : 0;
    return 0;  // a cancel answers "No"
}

// ---- point-or-text and angle prompts ----------------------------------------------------

int prompt_point_or_typed(const std::string& prompt, const point3d_rec* base, std::string& typed,
                          point3d_rec& point)
{
    ads_point from;
    if (base) point_to_ads(*base, from);
    for (;;) {
        // Arbitrary input is allowed at every ask, so that after an Esc the user
        // can still leave by typing the exit keyword.
        acedInitGet(RSG_OTHER, nullptr);
        ads_point picked = {0, 0, 0};
        int rc = acedGetPoint(base ? from : nullptr, prompt.c_str(), picked);
        char raw[512] = {0};
        acedGetInput(raw);
        if (rc == RTNORM) {
            point = point3d_rec{picked[X], picked[Y], picked[Z]};
            typed.clear();
            return 1;
        }
        if (rc == RTKWORD || rc == RTNONE) {
            typed = rc == RTKWORD ? std::string(raw) : std::string();
            point = point3d_rec{};
            return 2;
        }
        if (rc != RTCAN) return 0;
    }
}

int prompt_point_or_text(const std::string& prompt, const std::string& default_text, const point3d_rec* base,
                         std::string& text, point3d_rec& point)
{
    std::string shown = default_text.empty() ? prompt : prompt + "<" + default_text + ">:";
    std::string typed;
    const int rc = prompt_point_or_typed(shown, base, typed, point);
    if (rc == 1) text = default_text;
    if (rc == 2) text = !typed.empty() ? typed : default_text.empty() ? "X" : default_text;
    return rc;
}

int prompt_angle_dms(const std::string& keywords, int count, const std::string& prompt, double default_angle,
                     std::string& out, std::string* typed)
{
    std::string default_text = rtos_decimal(default_angle, 4);
    acutPrintf("\n%s%s", prompt.c_str(), "dd.mmss");
    std::string shown = "<" + default_text + ">:";
    char buffer[512] = {0};
    if (typed) typed->clear();
    if (acedGetString(0, shown.c_str(), buffer) != RTNORM) return 0;
    std::string answer = buffer[0] ? std::string(buffer) : default_text;
    if (typed) *typed = answer;
    if (str_is_number(answer) == 4) {
        const double value = std::strtod(answer.c_str(), nullptr);
        if (!(value < 360.0)) {
            out = default_text;
            return 0;
        }
        // A reverse bearing (negative) is refused the same way beyond -360,
        // and either with minutes or seconds of 60 or more, with a message.
        if (!angle_dms_valid(value)) {
            acutPrintf("\n%s is no D.MMSS bearing: degrees below 360, minutes and seconds from 00 to 59.",
                       answer.c_str());
            return 0;
        }
        out = answer;
        return 1;
    }
    char first = static_cast<char>(std::toupper(static_cast<unsigned char>(answer[0])));
    for (int i = 1; i <= count; ++i) {
        std::string keyword = spec_field(keywords, i);
        if (!keyword.empty() && keyword[0] == first) {
            out = keyword;
            return 2;
        }
    }
    return 0;
}

// ---- distance prompts ---------------------------------------------------------------------

int prompt_dist_luprec_flags(int flags, const point3d_rec* base, const std::string& prompt,
                             double default_value, double& out)
{
    acedInitGet(flags, nullptr);
    return prompt_dist_luprec(base, prompt, default_value, out);
}

int prompt_dist_luprec(const point3d_rec* base, const std::string& prompt, double default_value, double& out)
{
    int decimals = 4;
    sysvar_get_int("LUPREC", decimals);
    std::string shown = prompt + "<" + rtos_decimal(default_value, decimals) + ">:";
    ads_point from;
    if (base) point_to_ads(*base, from);
    double value = 0;
    acedGetDist(base ? from : nullptr, shown.c_str(), &value);
    out = value == 0.0 ? default_value : value;
    return 1;
}

// ---- file dialog, picks and zoom -------------------------------------------------------------

int file_dialog_dwgprefix(const std::string& title, const std::string& start_folder, const std::string& ext,
                          int flags, std::string& path)
{
    std::string folder = start_folder;
    if (folder.empty()) sysvar_get_str("DWGPREFIX", folder);
    resbuf result{};
    int rc = acedGetFileD(title.c_str(), folder.c_str(), ext.c_str(), flags, &result);
    if (rc != RTNORM || result.restype != RTSTR) return 0;
    path = result.resval.rstring ? result.resval.rstring : "";
    std::free(result.resval.rstring);
    return 1;
}

int pick_two_points_bearing(const point3d_rec* base, double& bearing)
{
    ads_point first, next;
    if (base)
        point_to_ads(*base, first);
    else if (acedGetPoint(nullptr, "\nPick base point :", first) != RTNORM)
        return 0;
    if (acedGetPoint(first, "\nPick next point :", next) != RTNORM) return 0;
    bearing = bearing_deg(point3d_rec{first[X], first[Y], first[Z]}, point3d_rec{next[X], next[Y], next[Z]});
    return 1;
}

int pick_bearing_text(const point3d_rec* base, std::string& out)
{
    double bearing = 0;
    if (!pick_two_points_bearing(base, bearing)) return 0;
    out = rtos_decimal(bearing, 6);
    return 1;
}

int pick_coord_text(const std::string& prompt, std::string& x, std::string& y)
{
    ads_point picked;
    if (acedGetPoint(nullptr, prompt.c_str(), picked) != RTNORM) return 0;
    x = rtos_decimal(picked[X], 3);
    y = rtos_decimal(picked[Y], 3);
    if (x.size() >= 26 || y.size() >= 26) {
        acedAlert("\nCoordinate to long...abort!!");
        x = y = "0.000";
        return 0;
    }
    return 1;
}

int zoom_window(const point3d_rec& corner1, const point3d_rec& corner2)
{
    ads_point p1, p2;
    point_to_ads(corner1, p1);
    point_to_ads(corner2, p2);
    acedCommand(RTSTR, "_zoom", RTSTR, "w", RTPOINT, p1, RTPOINT, p2, 0);
    return 1;
}
