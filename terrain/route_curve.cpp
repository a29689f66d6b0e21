// The route curve's elements, key points and setting-out by chords and
// deflections.
//
// The transitions are set out the classical way: a station at length l along
// a transition of length L lies l from the transition's start, deflected from
// the straight by l^2 / (6 R L) radians (1800 l^2 / (pi R L) minutes), so that
// its end, T2 or T3, lies L from T1 or T4 at a deflection of a third of the
// spiral angle. The circle through T2 and T3 is set out from T2 by
// deflections measured from the line T1-T2 produced.
#include "route_curve.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "angles.h"
#include "constants.h"
#include "geometry.h"
#include "numbers.h"
#include "text_fields.h"

namespace {

// Lengths and chainages closer than this are one.
constexpr double kTiny = 1e-6;

std::string format_message(const char* format, double a, double b = 0, double c = 0)
{
    char text[400];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

// The deflection in minutes of a transition station l along a transition of
// length L.
double transition_deflection_min(double l, double R, double L)
{
    return 1800.0 * l * l / (ORVIK_PI * R * L);
}

// The stations of one transition from its start (T1 or T4): the start itself,
// the stations at the given lengths and the end (T2 or T3) at length L.
// Chainages run forwards from start_ch, or backwards with direction -1.
std::vector<tcurve_station_rec> transition_stations(const tcurve_work_rec& w, double L, double start_ch,
                                                    int direction, const point3d_rec& start,
                                                    const point3d_rec& end, double tangent, int turn,
                                                    const std::vector<double>& lengths)
{
    std::vector<tcurve_station_rec> out;
    tcurve_station_rec first;
    first.chainage = start_ch;
    first.point = start;
    out.push_back(first);
    double previous = 0;
    auto add = [&](double l, const point3d_rec& at) {
        tcurve_station_rec s;
        s.length = l;
        s.chainage = start_ch + direction * l;
        s.chord = l - previous;
        s.deflection_min = L > 0 ? transition_deflection_min(l, w.R, L) : 0;
        s.deflection_deg = s.deflection_min / 60.0;
        s.point = at;
        out.push_back(s);
        previous = l;
    };
    for (double l : lengths) {
        point3d_rec at;
        polar_point(angle_add(tangent, turn * transition_deflection_min(l, w.R, L) / 60.0), l, start, at);
        add(l, at);
    }
    add(L, end);
    return out;
}

}  // namespace

tcurve_work_rec& tcwk()
{
    static tcurve_work_rec work;
    return work;
}

double tcurve_deflection_of(double bearing_in, double bearing_out)
{
    return std::fabs(180.0 - angle_diff(bearing_in, bearing_out));
}

std::string tcurve_elements(tcurve_work_rec& w)
{
    if (!(w.R > 0)) return "The radius of the circular curve must be more than 0.";
    if (!(w.L1 >= 0) || !(w.L2 >= 0)) return "A transition length cannot be less than 0.";
    if (!w.two_transitions) w.L2 = w.L1;
    if (!(w.D > kTiny)) return "The two straights do not turn at the IP: there is no curve to set out.";
    if (!(w.D < 180.0 - kTiny))
        return "The outgoing straight turns back along the incoming one: no curve fits.";

    tcurve_work_rec c = w;
    c.phi1 = angle_rad_to_deg(c.L1 / (2.0 * c.R));
    c.phi2 = angle_rad_to_deg(c.L2 / (2.0 * c.R));
    c.Dc = c.D - (c.phi1 + c.phi2);
    // With no angle left for the circle the transitions overlap: refused
    // before anything divides by it.
    if (!(c.Dc > kTiny))
        return format_message(
            "The transitions turn %.4f degrees together and the deflection at the IP is only %.4f degrees: "
            "the "
            "degree of the circular curve would be %.4f. Shorten the transitions or take a larger radius.",
            c.phi1 + c.phi2, c.D, std::fabs(c.Dc) < 5e-5 ? 0.0 : c.Dc);
    c.lc = c.R * angle_deg_to_rad(c.Dc);
    c.ch_T2 = c.ch_T1 + c.L1;
    c.ch_T3 = c.ch_T2 + c.lc;
    c.shift1 = c.L1 * c.L1 / (24.0 * c.R);
    c.shift2 = c.L2 * c.L2 / (24.0 * c.R);
    // The tangent lengths of a curve with unequal transitions: the shifted
    // circle lies shift1 from the incoming and shift2 from the outgoing
    // straight, which moves T1 and T4 by (shift1 - shift2) / sin D; with equal
    // transitions the term is 0.
    const double half = std::tan(angle_deg_to_rad(c.D / 2.0));
    const double unequal = (c.shift1 - c.shift2) / std::sin(angle_deg_to_rad(c.D));
    c.Ts1 = (c.R + c.shift1) * half + c.L1 / 2.0 - unequal;
    c.Ts2 = (c.R + c.shift2) * half + c.L2 / 2.0 + unequal;
    if (!(c.Ts1 > 0) || !(c.Ts2 > 0))
        return format_message(
            "The tangent lengths come out as %.3f and %.3f: the transitions do not fit these "
            "straights.",
            c.Ts1, c.Ts2);

    polar_point(c.bearing_in, c.Ts1, c.IP, c.T1);
    polar_point(c.bearing_out, c.Ts2, c.IP, c.T4);
    point3d_rec t4 = c.T4, t1 = c.T1;
    c.turn1 = geo_side_of_line(c.T1, c.IP, t4);
    c.turn2 = geo_side_of_line(c.T4, c.IP, t1);
    polar_point(angle_add(angle_reverse(c.bearing_in), c.turn1 * c.phi1 / 3.0), c.L1, c.T1, c.T2);
    polar_point(angle_add(angle_reverse(c.bearing_out), c.turn2 * c.phi2 / 3.0), c.L2, c.T4, c.T3);

    // The circle: R from T2 and T3, on the side the curve turns to.
    const double ratio = std::clamp(dist_2d(c.T2, c.T3) / (2.0 * c.R), 0.0, 1.0);
    const double to_centre = angle_rad_to_deg(std::acos(ratio));
    polar_point(angle_add(bearing_deg(c.T2, c.T3), c.turn1 * to_centre), c.R, c.T2, c.centre);
    c.theta = angle_rad_to_deg(2.0 * std::asin(ratio));
    c.lc2 = c.R * angle_deg_to_rad(c.theta);
    if (!c.curve_length) c.ch_T3 = c.ch_T2 + c.lc2;
    c.ch_T4 = c.ch_T3 + c.L2;
    w = c;
    return {};
}

double tcurve_first_chord(double start_chainage, double interval, bool backwards)
{
    if (!(interval > 0)) return 0;
    // Counting backwards, the round chainages of -chainage are the ones below.
    const double value = backwards ? -start_chainage : start_chainage;
    double rounded = 0, difference = 0;
    real_round_to_ten(value, interval, rounded, difference);
    double chord = rounded - value;
    // An interval that does not divide the tens can give a round chainage at
    // or behind the start: the station after it is the first.
    while (chord <= kTiny) chord += interval;
    return chord;
}

std::vector<double> tcurve_part_positions(double length, double first_chord, double interval,
                                          double min_chord, bool short_first_rule)
{
    std::vector<double> out;
    if (!(interval > 0) || !(length > kTiny) || !(first_chord < length - kTiny)) return out;
    const double rest = length - first_chord;
    long whole = static_cast<long>(std::floor(rest / interval + 1e-9));
    double last = rest - static_cast<double>(whole) * interval;
    if (short_first_rule && first_chord < min_chord && whole > 0) {
        --whole;
        last += interval;
    }
    // The last chord is never shorter than the minimum: it takes whole
    // intervals back, and with none left the first station goes.
    while ((last < min_chord || last <= kTiny) && whole > 0) {
        --whole;
        last += interval;
    }
    if (last < min_chord || last <= kTiny) return out;
    out.push_back(first_chord);
    for (long k = 1; k <= whole; ++k) out.push_back(first_chord + static_cast<double>(k) * interval);
    return out;
}

tcurve_table_rec tcurve_set_out(const tcurve_work_rec& w, const tcurve_chord_asker& ask)
{
    tcurve_table_rec t;
    auto positions = [&](int part, double start_ch, double interval, bool backwards, double length,
                         bool short_first) {
        if (!(length > kTiny) || !(interval > 0)) return std::vector<double>{};
        double chord = tcurve_first_chord(start_ch, interval, backwards);
        if (ask) chord = ask(part, start_ch, interval, chord, backwards, length);
        return tcurve_part_positions(length, chord, interval, w.min_chord, short_first);
    };

    // First transition, T1 to T2.
    const double tangent1 = angle_reverse(w.bearing_in);
    t.first = transition_stations(w, w.L1, w.ch_T1, 1, w.T1, w.T2, tangent1, w.turn1,
                                  positions(1, w.ch_T1, w.interval_t, false, w.L1, false));

    // Second transition, from T4 back to T3, then turned round so that it runs
    // T3 to T4, each chord measured from the row before it.
    const double tangent2 = angle_reverse(w.bearing_out);
    std::vector<tcurve_station_rec> back =
        transition_stations(w, w.L2, w.ch_T4, -1, w.T4, w.T3, tangent2, w.turn2,
                            positions(3, w.ch_T4, w.interval_t, true, w.L2, false));
    std::reverse(back.begin(), back.end());
    for (size_t i = 0; i < back.size(); ++i) back[i].chord = i == 0 ? 0 : back[i - 1].length - back[i].length;
    t.second = back;

    // The circle, T2 to T3: arcs from T2 turn the radius from the centre; the
    // chord is the straight distance from the station before; the deflection
    // is the angle at T2 from the line T1-T2 produced.
    const double arc_total = w.ch_T3 - w.ch_T2;
    const double per_length = arc_total > kTiny ? w.theta / arc_total : 0;
    const double from_centre = bearing_deg(w.centre, w.T2);
    const double reference = w.L1 > kTiny ? bearing_deg(w.T1, w.T2) : tangent1;
    point3d_rec far;
    polar_point(reference, std::max(w.lc2, 1.0), w.T2, far);
    std::vector<double> arcs = positions(2, w.ch_T2, w.interval_c, false, arc_total, true);
    // The middle of the arc is a station of its own.
    const double middle = arc_total / 2.0;
    auto near_middle = [&](double a) { return std::fabs(a - middle) < 1e-4; };
    if (arc_total > kTiny && std::none_of(arcs.begin(), arcs.end(), near_middle))
        arcs.insert(std::upper_bound(arcs.begin(), arcs.end(), middle), middle);
    tcurve_station_rec at_T2;
    at_T2.chainage = w.ch_T2;
    at_T2.point = w.T2;
    t.circle.push_back(at_T2);
    auto add_arc = [&](double a, const point3d_rec& point) {
        tcurve_station_rec s;
        s.length = a;
        s.chainage = w.ch_T2 + a;
        s.point = point;
        s.chord = dist_2d(t.circle.back().point, point);
        s.deflection_deg = angle_at_vertex(point, w.T2, far);
        s.deflection_min = s.deflection_deg * 60.0;
        t.circle.push_back(s);
    };
    for (double a : arcs) {
        point3d_rec point;
        polar_point(angle_add(from_centre, w.turn1 * a * per_length), w.R, w.centre, point);
        add_arc(a, point);
    }
    add_arc(arc_total, w.T3);
    t.circle.back().chainage = w.ch_T3;

    // The merged table.
    int number = 0;
    auto merge = [&](const std::vector<tcurve_station_rec>& part, int which, const char* first,
                     const char* last) {
        for (size_t i = 0; i < part.size(); ++i) {
            tcurve_row_rec row;
            static_cast<tcurve_station_rec&>(row) = part[i];
            row.part = which;
            if (i == 0) {
                row.name = first;
                row.duplicate = which > 1 ? 1 : 0;
            } else if (i + 1 == part.size()) {
                row.name = last;
            } else {
                row.name = "C" + std::to_string(++number);
            }
            t.rows.push_back(row);
        }
    };
    merge(t.first, 1, "T1", "T2");
    merge(t.circle, 2, "T2", "T3");
    merge(t.second, 3, "T3", "T4");
    char summary[96];
    std::snprintf(summary, sizeof summary, "T1,%i,T2,%i,T3,%i,T4", static_cast<int>(t.first.size()) - 1,
                  static_cast<int>(t.circle.size()) - 1, static_cast<int>(t.second.size()) - 1);
    t.summary = summary;
    return t;
}

bool tcurve_names_from_summary(const std::string& summary, std::vector<std::string>& names)
{
    names.clear();
    const std::vector<std::string> fields = str_split(summary, ',');
    if (fields.size() != 7 || fields[0] != "T1" || fields[2] != "T2" || fields[4] != "T3" ||
        fields[6] != "T4")
        return false;
    int number = 0;
    names.push_back("T1");
    for (int k = 0; k < 3; ++k) {
        const std::string& count = fields[static_cast<size_t>(2 * k + 1)];
        if (count.empty() || count.find_first_not_of("0123456789") != std::string::npos) return false;
        const long chords = std::strtol(count.c_str(), nullptr, 10);
        if (chords < 1 || chords > 10000000) return false;
        for (long i = 1; i < chords; ++i) names.push_back("C" + std::to_string(++number));
        names.push_back(fields[static_cast<size_t>(2 * k + 2)]);
    }
    return true;
}
