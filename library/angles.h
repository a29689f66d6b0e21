// Whole-circle bearings in decimal degrees (clockwise from north, 0 to 360),
// their D.MMSS and label forms, and the bearing-label parser and rebuilder.
#pragma once

#include <string>
#include <string_view>

double angle_deg_to_rad(double degrees);
double angle_rad_to_deg(double radians);
// a + b brought back into 0 to 360.
double angle_add(double a, double b);
// a + 180 brought back below 360.
double angle_reverse(double a);
// The smaller angle between two directions.
double angle_diff(double a, double b);
double angle_dms_parts_to_deg(std::string_view degrees, std::string_view minutes, std::string_view seconds);

// Degrees, two-digit minutes and two-digit seconds of an angle; with
// round_seconds 1 the seconds are rounded to tens.
void angle_to_dms_parts(double angle, int round_seconds, std::string& degrees, std::string& minutes,
                        std::string& seconds);
// "D.MMSS".
std::string angle_deg_to_dms_text(double angle, int round_seconds);
// "D%%dMM'SS\"".
std::string angle_deg_to_dms_label(double angle, int round_seconds);
// Splits "D.MMSS": the text before the first ".", the first two characters after
// it, and the rest. Missing parts are empty.
void bearing_text_split(std::string_view text, std::string& degrees, std::string& minutes,
                        std::string& seconds);
// A D.MMSS value in decimal degrees.
double angle_dms_to_deg(double dms);
// Whether a D.MMSS value, as its four decimals give it, is a bearing of
// minutes and seconds from 00 to 59 whose size is below 360 (45.7500 and
// 45.3075 are not).
bool angle_dms_valid(double dms);
// A D.MMSS bearing as typed or stored: a negative one means the reverse
// bearing, |value| + 180, with 360 taken off a result of 360 or more.
double angle_dms_from_signed(double dms);

// The parsed-bearing state shared by bearing_text_parse and bearing_text_format;
// commands change its values between the two calls.
struct bearing_text_state {
    int stage = 0;  // 0 nothing, 1 degrees, 2 minutes, 3 seconds, 4 a trailing number
    int degrees = 0, minutes = 0, seconds = 0;
    int gap1 = 0;  // one more than the blanks between the degree code and the minutes
    int gap2 = 0;  // one more than the blanks between the minute mark and the seconds
    int gap3 = 0;  // one more than the blanks after the second mark
    double number = 0;
    int number_decimals = -1;  // -1 when the number had no point
    std::string rebuilt;
};
extern bearing_text_state bearing_text_current;

// Parses a label such as "123%%d45'30\"  12.345" into bearing_text_current.
void bearing_text_parse(std::string_view text);
// Rebuilds bearing_text_current.rebuilt from the state (stage 2 and above).
void bearing_text_format();
