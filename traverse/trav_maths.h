// The traverse's own conversions: D.MMSS bearings, whole-circle bearings from
// coordinate differences, polar steps with the traverse rounding, rounding to
// a number of decimals and the traverse's unit table.
//
// These are deliberately NOT the drafting library's angle and unit routines.
// They differ in two ways that change results, and the traverse computation,
// the traverse file and the traverse command rely on the differences:
//  - deg_to_dms_text truncates the seconds (the library rounds them), so
//    30.51375 degrees (30d 30' 49.5") is 30.3049 here;
//  - the unit table knows only links and feet: "KAKI" is 1.0 here (the
//    library's table gives it 10.0).
#pragma once

#include <string>
#include <string_view>

#include "points.h"

// Pi as the traverse code has always used it: ten decimals only.
inline constexpr double trav_pi = 3.1415926535;

// Unit codes of the traverse unit table.
enum trav_unit : int { trav_unit_meter = 0, trav_unit_link = 1, trav_unit_feet = 2 };

// Degrees to radians as degrees x (1/180) x pi (with the ten-decimal pi).
double trav_deg_to_rad(double degrees);

// D.MMSS number to decimal degrees: the value printed with 4 decimals, the
// text before the point read as degrees, the next two digits as minutes and
// the two after those as seconds. Only the degrees carry a sign, so -12.3456
// gives -12 + 34/60 + 56/3600.
double dms_to_deg(double dms);

// The three parts of an angle in D.MMSS form: degrees without leading zeros,
// two-digit minutes and two-digit seconds.
struct trav_dms_parts {
    std::string degrees;
    std::string minutes;
    std::string seconds;
};

// Decimal degrees to D.MMSS parts with truncated seconds; with the ten-second
// flag the seconds go to the nearest ten (55 and more carry a minute).
trav_dms_parts deg_to_dms_parts(double degrees, bool ten_seconds);

// The D.MMSS text "D.MMSS" of decimal degrees (parts joined by a point).
std::string deg_to_dms_text(double degrees, bool ten_seconds);

// Whole-circle bearing in degrees [0, 360) from a to b, clockwise from north.
double bearing_between(const point3d_rec& a, const point3d_rec& b);

// Plan distance between two points.
double point_distance_2d(const point3d_rec& a, const point3d_rec& b);

// East and north offsets of a polar step: dE = distance x sin, dN = distance x cos.
struct trav_offsets {
    double east = 0;
    double north = 0;
};
trav_offsets polar_offsets(double bearing_deg, double distance);

// The value printed with n decimals (0 to 10) and read back; any other n
// returns the value unchanged.
double round_to_decimals(double value, int decimals);

// Rounding of the traverse: only when decimals > 0 (decimals 0 means "no
// rounding at all", not "round to whole numbers").
double trav_round(double value, int decimals);

// One leg step from a point: each offset rounded first, then each sum
// (rounding only when decimals > 0); z = 0.
point3d_rec trav_polar_point(double bearing_deg, double distance, const point3d_rec& from, int decimals);

// A polar coordinate along one axis with the same rounding: mode 1 gives
// from x + dE, mode 2 from y + dN, any other mode dN alone.
double trav_polar_axis(int mode, double bearing_deg, double distance, const point3d_rec& from, int decimals);

// Unit table of the traverse (names compared without regard to case):
// "L"/"LINK" 0.201168, "F"/"FEET" 0.3048, anything else ("KAKI" included) 1.0.
double trav_unit_factor(std::string_view unit_name);
int trav_unit_code(std::string_view unit_name);
// 0 "METER", 1 "LINK", 2 "FEET"; any other code "METER".
std::string trav_unit_name(int code);

// A copy of the point; with flag 1 the copy's z is 0.
point3d_rec point_copy(const point3d_rec& point, int flag);
