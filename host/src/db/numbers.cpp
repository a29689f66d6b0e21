// Numbers, geometry and units of the host API: acdbRToS, acutDistance,
// acutAngle, acutPolar, acdbInters and acutCvUnit.
#include "db/host_numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "ads.h"
#include "session/session.h"
#include "db/sysvars.h"

namespace host {

namespace {

// The text of a value rounded to n units of the last decimal place.
std::string decimal_units_text(bool negative, unsigned long long n, int prec)
{
    char digits[24];
    const size_t count = size_t(std::to_chars(digits, digits + sizeof digits, n).ptr - digits);
    const std::string_view all(digits, count);
    const size_t places = static_cast<size_t>(prec);
    std::string text;
    if (negative && n != 0) text += '-';
    if (count > places)
        text.append(all.substr(0, count - places));
    else
        text += '0';
    if (prec > 0) {
        text += '.';
        if (count < places) text.append(places - count, '0');
        text.append(count > places ? all.substr(count - places) : all);
    }
    return text;
}

// Most values lie clearly off the halfway mark between two results once
// scaled to the last decimal place. The shortest text then rounds as the
// scaled value does: the two differ by far less than the margin left, at the
// scaled values below 2^32 taken here. Only values near the mark need the
// shortest text itself.
bool decimal_text_quickly(double value, int prec, std::string& text)
{
    static constexpr double kScales[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    constexpr double kLargest = 4294967296.0;
    constexpr double kMargin = 1e-4;
    if (prec >= int(std::size(kScales))) return false;
    const double scaled = std::fabs(value) * kScales[prec];
    if (!(scaled < kLargest)) return false;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < kMargin) return false;
    const auto units = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
    text = decimal_units_text(value < 0, units, prec);
    return true;
}

}  // namespace

// Rounding works on the shortest decimal text of the value, so 2.675 shows as
// "2.68", as a user who typed 2.675 expects, although its binary value lies a
// little below.
std::string decimal_text(double value, int prec)
{
    prec = std::clamp(prec, 0, 16);
    if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : value > 0 ? "Inf" : "-Inf";
    if (std::string text; decimal_text_quickly(value, prec, text)) return text;
    return decimal_text_from_shortest(value, prec);
}

std::string decimal_text_from_shortest(double value, int prec)
{
    prec = std::clamp(prec, 0, 16);
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
    const std::string_view digits(buf, ec == std::errc() ? size_t(end - buf) : 0);
    const size_t dot = digits.find('.');
    const std::string_view whole = digits.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : digits.substr(dot + 1);
    const bool round_up = fraction.size() > static_cast<size_t>(prec) && fraction[prec] >= '5';

    // All digits, the point left out, after a spare place for a carry out of the
    // first digit.
    char number[1 + sizeof buf + 16];
    size_t size = 0;
    number[size++] = '0';
    for (char c : whole) number[size++] = c;
    for (int i = 0; i < prec; ++i)
        number[size++] = static_cast<size_t>(i) < fraction.size() ? fraction[i] : '0';
    size_t first = 1;
    if (round_up) {
        size_t i = size;
        while (i > 1 && number[i - 1] == '9') number[--i] = '0';
        if (i > 1) {
            ++number[i - 1];
        } else {
            number[0] = '1';
            first = 0;
        }
    }
    const std::string_view all(number + first, size - first);
    const bool zero = all.find_first_not_of('0') == std::string_view::npos;
    std::string text;
    text.reserve(all.size() + 2);
    if (value < 0 && !zero) text += '-';
    text.append(all.substr(0, all.size() - prec));
    if (prec > 0) {
        text += '.';
        text.append(all.substr(all.size() - prec));
    }
    return text;
}

// Scientific form ("1.2500E+01"), with the mantissa rounded as above.
static std::string scientific_text(double value, int prec)
{
    if (value == 0) return decimal_text(0, prec) + "E+00";
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    std::string mantissa = decimal_text(value / std::pow(10.0, exponent), prec);
    // Rounding may carry the mantissa to 10.
    if (std::fabs(std::stod(mantissa)) >= 10.0) {
        ++exponent;
        mantissa = decimal_text(value / std::pow(10.0, exponent), prec);
    }
    char exp_text[16];
    std::snprintf(exp_text, sizeof exp_text, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return mantissa + exp_text;
}

namespace {

struct Unit {
    const char* name;
    int dimension;  // 1 length, 2 area
    double factor;  // to metres or square metres
};
const Unit kUnits[] = {
    {"meter", 1, 1.0},          {"meters", 1, 1.0},
    {"metre", 1, 1.0},          {"m", 1, 1.0},
    {"millimeter", 1, 0.001},   {"centimeter", 1, 0.01},
    {"kilometer", 1, 1000.0},   {"feet", 1, 0.3048},
    {"foot", 1, 0.3048},        {"ft", 1, 0.3048},
    {"inch", 1, 0.0254},        {"inches", 1, 0.0254},
    {"yard", 1, 0.9144},        {"mile", 1, 1609.344},
    {"meter^2", 2, 1.0},        {"sq_meter", 2, 1.0},
    {"feet^2", 2, 0.09290304},  {"sq_feet", 2, 0.09290304},
    {"inch^2", 2, 0.00064516},  {"hectare", 2, 10000.0},
    {"hectares", 2, 10000.0},   {"acre", 2, 4046.8564224},
    {"acres", 2, 4046.8564224}, {"kilometer^2", 2, 1.0e6},
};

const Unit* find_unit(const char* name)
{
    if (!name) return nullptr;
    std::string key;
    for (const char* c = name; *c; ++c)
        if (*c != ' ') key += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    for (const Unit& unit : kUnits)
        if (key == unit.name) return &unit;
    return nullptr;
}

double cross(double ax, double ay, double bx, double by)
{
    return ax * by - ay * bx;
}

}  // namespace

}  // namespace host

using namespace host;

extern "C" {

int acdbRToS(ads_real value, int unit, int prec, char* str)
{
    if (!str || !std::isfinite(value)) return RTERROR;
    if (prec < 0) {
        Session* session = Session::current_or_null();
        prec = session ? sysvar_short(session->current().drawing, "LUPREC", 4) : 4;
    }
    if (prec > 16) return RTERROR;
    if (unit < 0) unit = 2;
    if (unit < 1 || unit > 5) return RTERROR;
    // Engineering, architectural and fractional units are written as decimals.
    const std::string text = unit == 1 ? scientific_text(value, prec) : decimal_text(value, prec);
    std::memcpy(str, text.c_str(), text.size() + 1);
    return RTNORM;
}

ads_real acutDistance(const ads_point p1, const ads_point p2)
{
    return std::sqrt((p2[0] - p1[0]) * (p2[0] - p1[0]) + (p2[1] - p1[1]) * (p2[1] - p1[1]) +
                     (p2[2] - p1[2]) * (p2[2] - p1[2]));
}

ads_real acutAngle(const ads_point p1, const ads_point p2)
{
    double angle = std::atan2(p2[1] - p1[1], p2[0] - p1[0]);
    if (angle < 0) angle += 2 * 3.14159265358979323846;
    return angle;
}

void acutPolar(const ads_point base, ads_real angle, ads_real dist, ads_point result)
{
    const double x = base[0] + dist * std::cos(angle);
    const double y = base[1] + dist * std::sin(angle);
    const double z = base[2];
    result[0] = x;
    result[1] = y;
    result[2] = z;
}

// The crossing of the two lines in plan; its z lies along the first line.
// teston 1 asks for a point within both segments, 0 for the unbounded lines.
// Parallel lines (and lines of no length) have none: RTNONE.
int acdbInters(const ads_point from1, const ads_point to1, const ads_point from2, const ads_point to2,
               int teston, ads_point result)
{
    const double d1x = to1[0] - from1[0], d1y = to1[1] - from1[1];
    const double d2x = to2[0] - from2[0], d2y = to2[1] - from2[1];
    const double denominator = cross(d1x, d1y, d2x, d2y);
    const double scale = std::hypot(d1x, d1y) * std::hypot(d2x, d2y);
    if (scale == 0 || std::fabs(denominator) <= 1e-12 * scale) return RTNONE;
    const double ex = from2[0] - from1[0], ey = from2[1] - from1[1];
    const double t = cross(ex, ey, d2x, d2y) / denominator;  // along the first line
    const double u = cross(ex, ey, d1x, d1y) / denominator;  // along the second
    const double eps = 1e-10;
    if (teston && (t < -eps || t > 1 + eps || u < -eps || u > 1 + eps)) return RTNONE;
    const double z = from1[2] + t * (to1[2] - from1[2]);
    result[0] = from1[0] + t * d1x;
    result[1] = from1[1] + t * d1y;
    result[2] = z;
    return RTNORM;
}

int acutCvUnit(ads_real value, const char* from, const char* to, ads_real* result)
{
    const Unit* a = find_unit(from);
    const Unit* b = find_unit(to);
    if (!a || !b || a->dimension != b->dimension || !result) return RTERROR;
    *result = value * a->factor / b->factor;
    return RTNORM;
}

}  // extern "C"
