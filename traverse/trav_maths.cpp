#include "trav_maths.h"

#include <cmath>
#include <cstdlib>

#include "geometry.h"
#include "trav_text.h"

namespace {

std::string format_fixed(double value, int decimals)
{
    return trav_format("%.*f", decimals, value);
}

double read_back(double value, int decimals)
{
    return std::strtod(format_fixed(value, decimals).c_str(), nullptr);
}

std::string two_digits(int value)
{
    return trav_format("%02d", std::abs(value));
}

// Seconds come out a hair below the whole second they stand for: 45.3030 is
// 45.5083333333 degrees once printed with ten decimals, which is 29.99999988
// seconds (binary doubles add their own dust). Truncating those would
// turn nearly half of all D.MMSS values into the second below when read and
// written back, so a millionth of a second is allowed before cutting. The
// traverse rule itself stays truncation: 49.5 seconds is still 49.
constexpr double second_tolerance = 1e-6;

}  // namespace

double trav_deg_to_rad(double degrees)
{
    return degrees * (1.0 / 180.0) * trav_pi;
}

double dms_to_deg(double dms)
{
    const std::string text = format_fixed(dms, 4);
    const size_t point = text.find('.');
    const std::string degrees = text.substr(0, point);
    const std::string minutes = point == std::string::npos ? "" : text.substr(point + 1, 2);
    const std::string seconds = point == std::string::npos ? "" : text.substr(point + 3, 2);
    return std::strtod(degrees.c_str(), nullptr) +
           std::strtod(minutes.c_str(), nullptr) * 0.016666666666666666 +
           std::strtod(seconds.c_str(), nullptr) * 0.0002777777777777778;
}

trav_dms_parts deg_to_dms_parts(double degrees, bool ten_seconds)
{
    double value = read_back(degrees, 10);
    if (value >= 360.0) value = 0.0;
    if (value == 0.0) return {"0", "00", "00"};
    if (value == 90.0) return {"90", "00", "00"};
    if (value == 180.0) return {"180", "00", "00"};
    if (value == 270.0) return {"270", "00", "00"};

    // Whole degrees are the text before the point, so only they carry a sign.
    const std::string text = format_fixed(value, 10);
    int d = std::atoi(text.substr(0, text.find('.')).c_str());
    const double minutes = (value - d) * 60.0;
    int m = static_cast<int>(minutes);
    const double seconds = read_back(std::fabs(minutes - m) * 60.0, 10);
    int s = static_cast<int>(std::floor(seconds + second_tolerance));

    bool carry = false;
    if (ten_seconds) {
        if (s >= 55) {
            s = 0;
            carry = true;
        } else {
            s = (s + 5) / 10 * 10;
        }
    } else if (s >= 60) {
        s = 0;
        carry = true;
    }
    if (carry) {
        ++m;
        if (m >= 60) {
            m = 0;
            ++d;
            if (d >= 360) d -= 360;
        }
    }
    return {std::to_string(d), two_digits(m), two_digits(s)};
}

std::string deg_to_dms_text(double degrees, bool ten_seconds)
{
    const trav_dms_parts parts = deg_to_dms_parts(degrees, ten_seconds);
    return parts.degrees + "." + parts.minutes + parts.seconds;
}

double bearing_between(const point3d_rec& a, const point3d_rec& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    if (dx == 0.0) return dy < 0.0 ? 180.0 : 0.0;
    if (dy == 0.0) return dx < 0.0 ? 270.0 : 90.0;
    double bearing = std::atan(dx / dy) * 180.0 / trav_pi + (dy > 0.0 ? 360.0 : 180.0);
    if (bearing >= 360.0) bearing -= 360.0;
    if (bearing < 0.0) bearing += 360.0;
    return bearing;
}

// Distances and copies are the same as everywhere else in the system; only
// the angle, rounding and unit routines above and below are the traverse's own.
double point_distance_2d(const point3d_rec& a, const point3d_rec& b)
{
    return dist_2d(a, b);
}

trav_offsets polar_offsets(double bearing_deg, double distance)
{
    const double radians = trav_deg_to_rad(bearing_deg);
    return {distance * std::sin(radians), distance * std::cos(radians)};
}

double round_to_decimals(double value, int decimals)
{
    if (decimals < 0 || decimals > 10) return value;
    return read_back(value, decimals);
}

double trav_round(double value, int decimals)
{
    return decimals > 0 ? round_to_decimals(value, decimals) : value;
}

point3d_rec trav_polar_point(double bearing_deg, double distance, const point3d_rec& from, int decimals)
{
    const trav_offsets step = polar_offsets(bearing_deg, distance);
    point3d_rec to;
    to.x = trav_round(from.x + trav_round(step.east, decimals), decimals);
    to.y = trav_round(trav_round(step.north, decimals) + from.y, decimals);
    to.z = 0.0;
    return to;
}

double trav_polar_axis(int mode, double bearing_deg, double distance, const point3d_rec& from, int decimals)
{
    const trav_offsets step = polar_offsets(bearing_deg, distance);
    if (mode == 1) return trav_round(from.x + trav_round(step.east, decimals), decimals);
    if (mode == 2) return trav_round(from.y + trav_round(step.north, decimals), decimals);
    return trav_round(step.north, decimals);
}

double trav_unit_factor(std::string_view unit_name)
{
    switch (trav_unit_code(unit_name)) {
        case trav_unit_link:
            return 0.201168;
        case trav_unit_feet:
            return 0.3048;
        default:
            return 1.0;
    }
}

int trav_unit_code(std::string_view unit_name)
{
    if (trav_same_text(unit_name, "L") || trav_same_text(unit_name, "LINK")) return trav_unit_link;
    if (trav_same_text(unit_name, "F") || trav_same_text(unit_name, "FEET")) return trav_unit_feet;
    return trav_unit_meter;
}

std::string trav_unit_name(int code)
{
    switch (code) {
        case trav_unit_link:
            return "LINK";
        case trav_unit_feet:
            return "FEET";
        default:
            return "METER";
    }
}

point3d_rec point_copy(const point3d_rec& point, int flag)
{
    point3d_rec copy;
    return pt_copy(point, copy, flag);
}
