// The bearing-and-distance label engine.
#include "bgd_style.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>

#include "angles.h"
#include "bgd_table.h"
#include "entity_makers.h"
#include "geometry.h"
#include "numbers.h"
#include "sysvar.h"
#include "text_fields.h"

bgd_style_rec bgd_style_current;

namespace {

constexpr int justify_middle = 4;
constexpr size_t spread_blanks_max = 149;  // blanks behind one mark of a spread bearing

std::string bearing_label(const std::string& degrees, const std::string& minutes, const std::string& seconds)
{
    return degrees + "%%d" + minutes + "'" + seconds + "\"";
}

void label_text(const point3d_rec& at, double rotation, const std::string& text)
{
    const bgd_style_rec& s = bgd_style_current;
    text_make_justified(justify_middle, at, s.text_height, s.width_factor, rotation, s.label_layer, text,
                        s.entmake_mode);
}

// The "above" side of a leg of bearing b (the side the upright text's top
// points to).
double side_direction(double b)
{
    double s;
    if (b == 0)
        s = 270;
    else if (b == 90 || b == 270)
        s = 0;
    else if (b < 90)
        s = b + 270;
    else if (b < 180)
        s = b - 90;
    else if (b < 270)
        s = b + 90;
    else
        s = b - 270;
    while (s >= 360) s -= 360;
    while (s < 0) s += 360;
    return s;
}

bool code_is(const char* code, const char* wanted)
{
    return strcasecmp(code, wanted) == 0;
}

// Placement by code: what goes above (at A) and below (at B).
void place_by_code(const point3d_rec& a, const point3d_rec& b, double rotation, double distance,
                   const std::string& bearing_text, const std::string& distance_text,
                   const std::string& degrees, const std::string& minutes, const std::string& seconds)
{
    const bgd_style_rec& s = bgd_style_current;
    const char* code = s.placement_code;
    auto bearing = [&](const char* spread_code) {
        if (s.spread_bearing != 1) return bearing_text;
        return bgd_bearing_spread(distance, distance_text, spread_code, degrees, minutes, seconds);
    };
    if (code_is(code, "B/"))
        label_text(a, rotation, bearing("B"));
    else if (code_is(code, "D/"))
        label_text(a, rotation, distance_text);
    else if (code_is(code, "/B"))
        label_text(b, rotation, bearing("B"));
    else if (code_is(code, "/D"))
        label_text(b, rotation, distance_text);
    else if (code_is(code, "BD/"))
        label_text(a, rotation, bearing("BD") + " " + distance_text);
    else if (code_is(code, "DB/"))
        label_text(a, rotation, distance_text + " " + bearing_text);
    else if (code_is(code, "/BD"))
        label_text(b, rotation, bearing("BD") + " " + distance_text);
    else if (code_is(code, "/DB"))
        label_text(b, rotation, distance_text + " " + bearing_text);
    else if (code_is(code, "B/D")) {
        label_text(a, rotation, bearing("B"));
        label_text(b, rotation, distance_text);
    } else if (code_is(code, "D/B")) {
        label_text(a, rotation, distance_text);
        label_text(b, rotation, bearing("B"));
    }
}

}  // namespace

bgd_style_rec bgd_style_defaults(bgd_style_rec& out)
{
    out = bgd_style_rec{};
    return out;
}

void bgd_style_set_scaled(bgd_style_rec style)
{
    const double k = style.plot_scale * 0.001;
    style.text_height *= k;
    style.spacing *= k;
    style.spread_factor *= k;
    bgd_style_current = style;
}

std::string bgd_feet_inches_text(double distance)
{
    const double v = distance / 0.3048;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f", v);
    std::string feet(buffer);
    feet = feet.substr(0, feet.find('.'));
    const double whole = std::atof(feet.c_str());
    const double inches = real_round_by_text((v - whole) * 12, 0);
    std::string inches_text = rtos_decimal(inches, 0);
    if (inches >= 12) {
        inches_text = "00";
        feet = rtos_decimal(whole + 1, 0);
    }
    return feet + "'" + inches_text + "\"";
}

std::string bgd_feet_text(double distance)
{
    std::string out;
    str_replace_all(rtos_decimal(distance / 0.3048, bgd_style_current.decimals), out, ".", "'.");
    return out;
}

std::string bgd_bearing_spread(double distance, const std::string& distance_text, const std::string& code,
                               const std::string& degrees, const std::string& minutes,
                               const std::string& seconds)
{
    const bgd_style_rec& s = bgd_style_current;
    const double u = style_current_width_factor() * s.spread_factor * s.text_height;
    const double w = static_cast<double>(seconds.size() + minutes.size() + degrees.size()) * u;
    const bool both = code == "BD";
    const double raw =
        both ? (distance - w - static_cast<double>(distance_text.size()) * u) * 0.25 : (distance - w) * 0.25;
    const double n = real_round_by_text(raw, 0);
    size_t blanks = 0;
    if (n >= 1)
        blanks = n > static_cast<double>(spread_blanks_max) ? spread_blanks_max : static_cast<size_t>(n);
    const std::string gap(blanks, ' ');
    return degrees + "%%d" + gap + minutes + "'" + gap + seconds + "\"" + (both ? gap : std::string());
}

void bgd_label_leg(const point3d_rec& p1_in, const point3d_rec& p2_in)
{
    const bgd_style_rec& s = bgd_style_current;
    point3d_rec p1, p2;
    pt_copy(p1_in, p1, 1);
    pt_copy(p2_in, p2, 1);
    const double d = dist_2d(p1, p2);

    std::string distance_text;
    if (s.unit_factor_value == 10.0)
        distance_text = bgd_feet_inches_text(d);
    else if (s.unit_factor_value == 0.3048)
        distance_text = bgd_feet_text(d);
    else
        distance_text = rtos_decimal(d / s.unit_factor_value, s.decimals) + s.distance_suffix;

    std::string degrees, minutes, seconds;
    angle_to_dms_parts(bearing_deg(p1, p2), s.tens_seconds, degrees, minutes, seconds);
    const std::string bearing_text = bearing_label(degrees, minutes, seconds);

    // The label follows the bearing as written, not the leg's exact direction.
    const double written = angle_dms_parts_to_deg(degrees, minutes, seconds);
    polar_point(written, d, p1, p2);
    bgd_label_place(p1, p2, d, bearing_text, distance_text, degrees, minutes, seconds);
}

void bgd_label_leg_text(const point3d_rec& p1, const point3d_rec& p2, const std::string& bearing_dms,
                        double distance, const std::string& distance_text)
{
    std::string degrees, minutes, seconds;
    bearing_text_split(bearing_dms, degrees, minutes, seconds);
    bgd_label_place(p1, p2, distance, bearing_label(degrees, minutes, seconds),
                    distance_text + bgd_style_current.distance_suffix, degrees, minutes, seconds);
}

void bgd_label_place(const point3d_rec& p1, const point3d_rec& p2, double distance,
                     const std::string& bearing_text, const std::string& distance_text,
                     const std::string& degrees, const std::string& minutes, const std::string& seconds)
{
    const bgd_style_rec& s = bgd_style_current;
    const double limit = s.text_height * 30 * 0.625 * s.width_factor;

    double b = real_round_by_text(bearing_deg(p1, p2), 4);
    if (b == 360 || b == 180) b = 0;
    const double side = side_direction(b);
    double opposite = side + 180;
    if (opposite >= 360) opposite -= 360;

    const double offset = s.spacing + 0.5 * s.text_height;
    const point3d_rec mid{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2, 0};
    point3d_rec a, below;
    polar_point(side, offset, mid, a);
    polar_point(opposite, offset, mid, below);
    const double rotation = b > 180.00001 ? b - 180 : b;

    if (s.placement_mode == 1) {
        place_by_code(a, below, rotation, distance, bearing_text, distance_text, degrees, minutes, seconds);
        return;
    }
    if (s.placement_mode != 0) return;

    // Automatic: the bearing stays on the left of the direction of travel.
    if (b > 180) pt_swap(a, below);
    if (s.table_on == 1 && distance < static_cast<double>(s.table_limit)) {
        bgd_table_row(p1, p2, below, 0, "table", bearing_text, distance, distance_text);
    } else if (distance >= limit) {
        const std::string bearing = s.spread_bearing == 1 ? bgd_bearing_spread(distance, distance_text, "BD",
                                                                               degrees, minutes, seconds)
                                                          : bearing_text;
        label_text(a, rotation, bearing + " " + distance_text);
    } else {
        label_text(a, rotation, bearing_text);
        label_text(below, rotation, distance_text);
    }
}
