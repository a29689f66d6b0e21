#include "angles.h"

#include <cmath>
#include <cstdlib>

#include "constants.h"
#include "numbers.h"
#include "text_fields.h"

bearing_text_state bearing_text_current;

double angle_deg_to_rad(double degrees)
{
    return degrees / 180.0 * ORVIK_PI;
}
double angle_rad_to_deg(double radians)
{
    return 180.0 / ORVIK_PI * radians;
}

double angle_add(double a, double b)
{
    double sum = a + b;
    if (sum >= 360.0) sum -= 360.0;
    if (sum < 0.0) sum += 360.0;
    return sum;
}

double angle_reverse(double a)
{
    double sum = a + 180.0;
    if (sum >= 360.0) sum -= 360.0;
    return sum;
}

double angle_diff(double a, double b)
{
    if (a == b) return 0.0;
    double diff = std::fabs(a - b);
    if (diff > 180.0) diff = 360.0 - diff;
    return diff;
}

static double text_to_real(std::string_view text)
{
    return std::atof(std::string(text).c_str());
}
static int text_to_int(std::string_view text)
{
    return std::atoi(std::string(text).c_str());
}

double angle_dms_parts_to_deg(std::string_view degrees, std::string_view minutes, std::string_view seconds)
{
    return text_to_real(degrees) + text_to_real(minutes) / 60.0 + text_to_real(seconds) / 3600.0;
}

static std::string two_digits(int value)
{
    return (value >= 0 && value < 10 ? "0" : "") + std::to_string(value);
}

// Seconds rounded to tens: 0-4 give 0, 5-14 give 10, ... 45-54 give 50; 55 and
// above give 60, which the caller carries into the minutes.
static int seconds_to_tens(int seconds)
{
    if (seconds < 5) return 0;
    return (seconds + 5) / 10 * 10;
}

void angle_to_dms_parts(double angle, int round_seconds, std::string& degrees, std::string& minutes,
                        std::string& seconds)
{
    if (angle == 360.0) angle = 0.0;
    if (angle == 0.0 || angle == 90.0 || angle == 180.0 || angle == 270.0) {
        degrees = std::to_string(static_cast<int>(angle));
        minutes = "00";
        seconds = "00";
        return;
    }
    int d = text_to_int(rtos_decimal(angle, 10));
    const double minutes_real = (angle - d) * 60.0;
    int m = text_to_int(rtos_decimal(minutes_real, 10));
    int s = text_to_int(rtos_decimal(std::fabs(minutes_real - m) * 60.0, 0));
    if (round_seconds == 1) s = seconds_to_tens(s);
    if (s >= 60) {
        s = 0;
        ++m;
    }
    if (m >= 60) {
        m = 0;
        ++d;
    }
    if (d >= 360) d = 0;
    degrees = std::to_string(d);
    minutes = two_digits(m);
    seconds = two_digits(s);
}

std::string angle_deg_to_dms_text(double angle, int round_seconds)
{
    std::string d, m, s;
    angle_to_dms_parts(angle, round_seconds, d, m, s);
    return d + "." + m + s;
}

std::string angle_deg_to_dms_label(double angle, int round_seconds)
{
    std::string d, m, s;
    angle_to_dms_parts(angle, round_seconds, d, m, s);
    return d + "%%d" + m + "'" + s + "\"";
}

void bearing_text_split(std::string_view text, std::string& degrees, std::string& minutes,
                        std::string& seconds)
{
    const size_t point = text.find('.');
    degrees = std::string(text.substr(0, point));
    minutes.clear();
    seconds.clear();
    if (point == std::string_view::npos) return;
    const std::string_view after = text.substr(point + 1);
    minutes = std::string(after.substr(0, 2));
    if (after.size() > 2) seconds = std::string(after.substr(2));
}

double angle_dms_to_deg(double dms)
{
    std::string d, m, s;
    bearing_text_split(rtos_decimal(dms, 4), d, m, s);
    return angle_dms_parts_to_deg(d, m, s);
}

bool angle_dms_valid(double dms)
{
    if (!(std::fabs(dms) < 360.0)) return false;
    std::string d, m, s;
    bearing_text_split(rtos_decimal(std::fabs(dms), 4), d, m, s);
    return m.size() == 2 && s.size() == 2 && std::stoi(m) < 60 && std::stoi(s) < 60;
}

double angle_dms_from_signed(double dms)
{
    if (dms >= 0) return dms;
    const double reverse = -dms + 180.0;
    return reverse >= 360.0 ? reverse - 360.0 : reverse;
}

// The first occurrence of c at index 1 or above; npos when none.
static size_t find_from_one(std::string_view text, char c)
{
    return text.size() < 2 ? std::string_view::npos : text.find(c, 1);
}

// The integer in the (up to) two characters before position at.
static int two_before(std::string_view text, size_t at)
{
    const size_t from = at >= 2 ? at - 2 : 0;
    return text_to_int(text.substr(from, at - from));
}

void bearing_text_parse(std::string_view text)
{
    bearing_text_state& st = bearing_text_current;
    st = bearing_text_state{};
    const size_t p = find_from_one(text, '%');
    if (p == std::string_view::npos || p > 3) return;
    st.degrees = text_to_int(text.substr(0, p));
    st.stage = 1;
    const size_t q = find_from_one(text, '\'');
    if (q == std::string_view::npos) return;
    st.minutes = two_before(text, q);
    st.gap1 = static_cast<int>(q) - static_cast<int>(p) - 4;
    st.stage = 2;
    const size_t r = find_from_one(text, '"');
    if (r == std::string_view::npos) return;
    st.seconds = two_before(text, r);
    st.gap2 = static_cast<int>(r) - static_cast<int>(q) - 2;
    st.stage = 3;
    st.gap3 = 1;
    for (size_t i = r + 1; i < text.size(); ++i) {
        if (text[i] == ' ') {
            ++st.gap3;
            continue;
        }
        const std::string_view rest = text.substr(i);
        st.number = text_to_real(rest);
        st.number_decimals = str_decimals(rest);
        st.stage = 4;
        break;
    }
}

void bearing_text_format()
{
    bearing_text_state& st = bearing_text_current;
    if (st.stage < 2) return;
    std::string out = std::to_string(st.degrees) + "%%d";
    out += str_repeat(" ", st.gap1);
    out += two_digits(st.minutes) + "'";
    if (st.stage >= 3) {
        out += str_repeat(" ", st.gap2);
        out += two_digits(st.seconds) + "\"";
        out += str_repeat(" ", st.gap3);
        if (st.stage == 4) out += rtos_decimal(st.number, st.number_decimals < 0 ? 0 : st.number_decimals);
    }
    st.rebuilt = out;
}
