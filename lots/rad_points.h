// Numbered radiation (side-shot) points: a POINT and a TEXT with the point's
// number at each pick or polyline vertex, both tagged with the number as
// extended data of "RADLISTING" (one 1071 group), which the radiation listing
// and the number tools read. The settings live in the drawing under the
// application "RADLISTING" as a KEY=VALUE list.
#pragma once

#include <string>
#include <vector>

#include "points.h"
#include "settings_store.h"

// The application of the number tag and of the stored settings.
inline constexpr const char* rad_listing_app = "RADLISTING";

struct rad_listing_rec {
    std::string point_layer = "RAD_LISTING_PNT";
    std::string text_layer = "RAD_LISTING_TXT";
    double scale = 1000.0;
    double text_height = 1.3;  // at scale 1:1000
    double text_width = 1.0;
    double text_rotation = 90.0;  // bearing of the text baseline, degrees
    int point_option = 0;         // 0 create, 1 select
    int modified_layer = 0;
    int next_number = 100;
    int select_all = 0;
    int number_prompt = 0;  // not stored
};
rad_listing_rec& rad_listing();

// The stored list: "INDEX=11" and the ten keys.
std::vector<key_string_rec> rad_listing_list(const rad_listing_rec& cfg);
// Reads the keys it knows (without regard to case) over cfg.
void rad_listing_parse(const std::vector<key_string_rec>& list, rad_listing_rec& cfg);
int save_radlisting_cfg();
int load_radlisting_cfg();

// The largest number a point is given: the next number after it must still be
// a number.
inline constexpr int rad_number_last = 2147483646;

// Makes the POINT and TEXT numbered with the next number at the point (asking
// the number first when the number prompt is on); the next number goes up by 1.
// A number past rad_number_last is refused with a message: false, nothing made.
bool rad_next_number(const point3d_rec& point);

// The largest radiation number of the POINTs (all of the drawing, or those
// selected; 0 when none carries a number), alerting each duplicate; false when
// nothing was selected.
bool rad_largest_number(int select_all, int& largest);

// The dialog and its work; returns when it is saved or cancelled.
int rad_listing_dlg();
// The command (nil result).
int b_rad_create_pnt();
