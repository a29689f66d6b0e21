// The bearing-and-distance label engine: one installed style record, and the
// routines that write a leg's whole-circle bearing and distance as TEXTs beside
// the leg, by a placement code or automatically, or send short legs into the
// numbered table (bgd_table.h).
#pragma once

#include <cstdint>
#include <string>

#include "points.h"

// The label and table style, copied by value. Sizes are given at plot scale
// 1:1000; the installed copy holds them scaled.
struct bgd_style_rec {
    double text_height = 1.3;
    double width_factor = 1.0;
    double spacing = 1.0;
    double unit_factor_value = 1.0;  // metres per distance unit; 10.0 is feet and inches
    double spread_factor = 1.983;    // character width of the engineering spacing
    double plot_scale = 1000.0;
    std::int32_t decimals = 3;
    std::int32_t tens_seconds = 0;
    std::int32_t spread_bearing = 0;
    std::int32_t table_on = 0;
    std::int32_t table_new = 0;
    std::int32_t table_coords = 0;
    std::int32_t eng_table = 0;
    std::int32_t placement_mode = 0;  // 0 automatic, 1 by placement_code, else nothing
    std::int32_t entmake_mode = 1;
    std::int32_t table_row = 1;
    std::int32_t table_limit = 9;
    char label_layer[255] = "Bgd";
    char placement_code[10] = "BD/";
    char distance_suffix[11] = "";
    point3d_rec table_pos{0, 0, 0};
};

// The installed copy every label and table row reads.
extern bgd_style_rec bgd_style_current;

// Fills the record with the defaults and returns it.
bgd_style_rec bgd_style_defaults(bgd_style_rec& out);
// Installs the record with text height, spacing and spread factor scaled by
// plot_scale / 1000.
void bgd_style_set_scaled(bgd_style_rec style);
// Copies a text into a fixed field, cut to fit; true when nothing was cut.
template <size_t N>
bool bgd_style_copy_text(char (&field)[N], const std::string& text)
{
    const size_t n = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, n);
    field[n] = '\0';
    return n == text.size();
}

// Labels the leg from p1 to p2 with its computed bearing and distance.
void bgd_label_leg(const point3d_rec& p1, const point3d_rec& p2);
// Labels a leg whose bearing (D.MMSS) and distance texts are known.
void bgd_label_leg_text(const point3d_rec& p1, const point3d_rec& p2, const std::string& bearing_dms,
                        double distance, const std::string& distance_text);
// Places the texts of one leg.
void bgd_label_place(const point3d_rec& p1, const point3d_rec& p2, double distance,
                     const std::string& bearing_text, const std::string& distance_text,
                     const std::string& degrees, const std::string& minutes, const std::string& seconds);

// Feet and inches ("12'6\""), decimal feet ("123'.45"), and the bearing spread
// along a leg by blanks behind its marks (code "BD" or "B").
std::string bgd_feet_inches_text(double distance);
std::string bgd_feet_text(double distance);
std::string bgd_bearing_spread(double distance, const std::string& distance_text, const std::string& code,
                               const std::string& degrees, const std::string& minutes,
                               const std::string& seconds);
