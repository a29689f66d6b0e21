// The bearing text tools: combine, reverse, spacing, and the bearing and
// distance report.
#include "bgd_text_tools.h"

#include <cctype>
#include <cstdlib>
#include <string>

#include "angles.h"
#include "constants.h"
#include "entity_readers.h"
#include "geometry.h"
#include "numbers.h"
#include "prompts.h"
#include "selection_sets.h"
#include "text_fields.h"
#include "text_modify.h"

namespace {

constexpr int kTextMode = 1;  // the pending text change's mode that sets group 1
constexpr size_t kCombinedLimit = 254;

// Writes the text into the TEXT entity through the pending text change.
void text_write_back(const ads_name entity, const std::string& text)
{
    text_modify_set(kTextMode, text, 0, 0);
    text_modify_apply(entity);
}

// A picked TEXT, highlighted; false for a missed pick or another type.
bool pick_text(const char* prompt, ads_name entity)
{
    point3d_rec picked{};
    if (ent_select_type(prompt, "TEXT", entity, picked) != 1) return false;
    acedRedraw(entity, 3);
    return true;
}

// Degrees a half circle round, kept below 360.
int degrees_reversed(int degrees)
{
    degrees += 180;
    if (degrees >= 360) degrees -= 360;
    return degrees;
}

// Adds the increment to the blanks after the marks the text has; a gap never
// falls below no blank at all, so that a later widening starts from there.
void bearing_gaps_step(bearing_text_state& st, int increment)
{
    auto grow = [increment](int& gap) {
        gap += increment;
        if (gap < 1) gap = 1;
    };
    if (st.stage >= 2) grow(st.gap1);
    if (st.stage >= 3) grow(st.gap2);
    if (st.stage >= 4) grow(st.gap3);
}

// b_gd's settings, kept while the plug-in is loaded.
struct gd_settings_rec {
    bool continuous = false;
    bool fixed_chosen = false;  // F was chosen: the fixed prompt offers no scale
    std::string unit = "M";
    double factor = UNIT_FACTOR_METER;
    int tens_seconds = 0;
    int decimals = 3;
};

gd_settings_rec& gd_settings()
{
    static gd_settings_rec settings;
    return settings;
}

const char* gd_prompt(const gd_settings_rec& s)
{
    if (s.continuous) return "\ne<X>it <F>ixed <U>nit <D>ec <R>ound <Next Point>";
    if (s.fixed_chosen) return "\ne<X>it <C>ontinuous <U>nit <D>ec <R>ound <Next Point>";
    return "\ne<X>it <C>ontinuous <S>cale <U>nit <D>ec <R>ound <Next Point>";
}

void gd_ask_unit(gd_settings_rec& s)
{
    const std::string unit = prompt_kword("0", "M L F", "<M>eter <L>ink <F>eet", s.unit);
    if (unit == "L") {
        s.unit = "L";
        s.factor = UNIT_FACTOR_LINK;
    } else if (unit == "F") {
        s.unit = "F";
        s.factor = UNIT_FACTOR_FEET;
    } else if (unit == "M") {
        s.unit = "M";
        s.factor = UNIT_FACTOR_METER;
    }
}

void gd_ask_decimals(gd_settings_rec& s)
{
    std::string out;
    if (prompt_decimals_spec("0,M,Decimal", s.decimals, out) != 1) return;
    s.decimals = std::atoi(out.c_str());
}

void gd_report(const gd_settings_rec& s, const point3d_rec& base, const point3d_rec& point, double scale)
{
    const std::string bearing = angle_deg_to_dms_text(bearing_deg(base, point), s.tens_seconds);
    const double distance = dist_2d(base, point) / s.factor / scale * 1000.0;
    const std::string distance_text = rtos_decimal(distance, s.decimals);
    acutPrintf("\nUnit :%s Dec %i", s.unit.c_str(), s.decimals);
    acutPrintf("\nBg: %s dist %s%s", bearing.c_str(), distance_text.c_str(), s.unit.c_str());
}

// One keyword of b_gd's point prompt; false for "X".
bool gd_keyword(gd_settings_rec& s, const std::string& keyword, double& scale)
{
    const char letter =
        keyword.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(keyword[0])));
    switch (letter) {
        case 'X':
            acutPrintf("\nThank you ...come again..Bye..");
            return false;
        case 'U':
            gd_ask_unit(s);
            break;
        case 'C':
            s.continuous = true;
            break;
        case 'F':
            s.continuous = false;
            s.fixed_chosen = true;
            break;
        case 'D':
            gd_ask_decimals(s);
            break;
        case 'S': {
            // 0 (also eXit) leaves the scale; a negative scale would turn
            // distances negative and is refused.
            for (;;) {
                const double value = prompt_real_or_exit("Dwg Scale", scale, 1);
                if (value == 0.0) break;
                if (size_valid(value)) {
                    scale = value;
                    break;
                }
                say_refused_value(size_refused, true);
            }
            break;
        }
        case 'R':
            s.tens_seconds =
                prompt_kword("0", "1 0", "<1>sec 1<0>sec", s.tens_seconds ? "0" : "1") == "1" ? 0 : 1;
            break;
        default:
            break;
    }
    return true;
}

}  // namespace

int b_bgd_combine_bgd()
{
    ads_name bearing, distance;
    if (!pick_text("Select Bering", bearing)) return 0;
    if (!pick_text("Select Dist", distance)) {
        acedRedraw(bearing, 4);
        return 0;
    }
    // The same text picked twice would be rewritten and then deleted.
    if (ads_name_equal(bearing, distance)) {
        acutPrintf("\nSame text picked twice");
        acedRedraw(bearing, 4);
        return 0;
    }
    std::string bearing_text, distance_text;
    ent_get_string(bearing, 1, bearing_text);
    ent_get_string(distance, 1, distance_text);
    const std::string joined = bearing_text + " " + distance_text;
    // Cut to the limit, the distance would be lost with its text deleted.
    if (joined.size() > kCombinedLimit) {
        acutPrintf("\nThe joined text would pass %d characters; both texts are left as they were.",
                   static_cast<int>(kCombinedLimit));
        acedRedraw(bearing, 4);
        acedRedraw(distance, 4);
        return 0;
    }
    text_write_back(bearing, joined);
    acedRedraw(bearing, 4);
    acdbEntDel(distance);
    return 1;
}

int b_bgd_reverse_bg()
{
    ads_name set;
    long length = 0;
    if (!ss_select_type("TEXT", set, length)) {
        acutPrintf("\nNothin select.");
        return 0;
    }
    int reversed = 0;
    for (long i = 0; i < length; ++i) {
        std::string text;
        if (ss_text_get_string(set, i, 1, text) != 1 || !str_contains(text, "%%d")) continue;
        bearing_text_parse(text);
        bearing_text_state& st = bearing_text_current;
        if (st.stage < 1) continue;
        st.degrees = degrees_reversed(st.degrees);
        ++reversed;
        if (st.stage == 1) {
            acutPrintf("\n%i", st.degrees);
            continue;
        }
        bearing_text_format();
        text_modify_set(kTextMode, st.rebuilt, 0, 0);
        ss_text_modify(set, i);
    }
    acedSSFree(set);
    acutPrintf("\n  %i Bgd Reversed", reversed);
    return 1;
}

int b_bgd_spc()
{
    acutPrintf("\nBering & dist Spacing ver cpp 1.0");
    ads_name entity;
    if (!pick_text("\nSelect Bering", entity)) return 0;
    std::string text;
    ent_get_string(entity, 1, text);
    if (!str_contains(text, "%%d")) {
        acedRedraw(entity, 4);
        return 0;
    }
    bearing_text_parse(text);
    int increment = 1;
    for (;;) {
        std::string out;
        if (prompt_int_spec("0,X,e<X>it <increment> :", increment, out) != 1) break;
        increment = std::atoi(out.c_str());
        bearing_text_state& st = bearing_text_current;
        if (st.stage == 1) acutPrintf("\n%i", st.degrees);
        if (st.stage < 2) continue;
        bearing_gaps_step(st, increment);
        bearing_text_format();
        text_write_back(entity, st.rebuilt);
    }
    acedRedraw(entity, 4);
    return 1;
}

int b_gd()
{
    acutPrintf("\nGet bering and dist ver cpp 1.0");
    ads_point picked = {0, 0, 0};
    if (acedGetPoint(nullptr, "\nPick Point :", picked) != RTNORM) return 0;
    point3d_rec base{picked[X], picked[Y], picked[Z]};
    gd_settings_rec& s = gd_settings();
    double scale = 1000.0;
    acutPrintf("\nUnit :%s Dec %i scale:%.1f", s.unit.c_str(), s.decimals, scale);
    for (;;) {
        ads_point from = {base.x, base.y, base.z};
        ads_point next = {0, 0, 0};
        acedInitGet(0, "X C F S U D R");
        const int rc = acedGetPoint(from, gd_prompt(s), next);
        if (rc == RTKWORD) {
            char keyword[512] = {0};
            acedGetInput(keyword);
            if (!gd_keyword(s, keyword, scale)) return 1;
            continue;
        }
        if (rc != RTNORM) return 1;
        const point3d_rec point{next[X], next[Y], next[Z]};
        gd_report(s, base, point, scale);
        if (s.continuous) base = point;
    }
}
