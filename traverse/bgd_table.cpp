// The tables of the bearing-distance engine.
#include "bgd_table.h"

#include "ads.h"
#include "angles.h"
#include "bgd_style.h"
#include "entity_makers.h"
#include "numbers.h"
#include "sysvar.h"

namespace {

constexpr const char* table_layer = "table";
constexpr int table_row_max = 32760;
// Table texts read horizontally: the bearing 90, whatever the drawing's angles.
constexpr double table_text_rotation = 90;

void column_text(double x, const std::string& text)
{
    const bgd_style_rec& s = bgd_style_current;
    text_make_cmd(point3d_rec{x, s.table_pos.y, 0}, s.text_height, table_text_rotation, table_layer, text);
}

void next_row()
{
    bgd_style_current.table_pos.y -= 2 * bgd_style_current.text_height;
}

}  // namespace

int bgd_table_row(const point3d_rec&, const point3d_rec& p2, const point3d_rec& marker, double,
                  const std::string& layer, const std::string& bearing_text, double,
                  const std::string& distance_text)
{
    bgd_style_rec& s = bgd_style_current;
    const double h = style_current_width_factor() * s.text_height;
    if (s.table_row > table_row_max) s.table_row = 1;
    s.table_new = 0;

    const std::string number = std::to_string(s.table_row);
    text_make_justified(4, marker, s.text_height, s.width_factor, 90, layer, number, s.entmake_mode);

    const double x = s.table_pos.x;
    column_text(x, number);
    column_text(x + 15 * h, bearing_text);
    column_text(x + 29 * h, distance_text);
    if (s.table_coords == 1) {
        column_text(x + 54 * h, rtos_decimal(p2.y, s.decimals));
        column_text(x + 79 * h, rtos_decimal(p2.x, s.decimals));
    }
    next_row();
    ++s.table_row;
    return RTNORM;
}

int bgd_table_eng_style(const point3d_rec& p1, const point3d_rec& p2, const std::string& bearing_dms,
                        const std::string& distance_text, const std::string& column1,
                        const std::string& column2, int kind)
{
    const bgd_style_rec& s = bgd_style_current;
    std::string degrees, minutes, seconds;
    bearing_text_split(bearing_dms, degrees, minutes, seconds);
    const std::string bearing = degrees + "%%d" + minutes + "'" + seconds + "\"";
    const std::string distance = distance_text + s.distance_suffix;
    if (s.table_coords == 0 && s.eng_table == 0) {
        acutPrintf("\nSorry plot kord and eng style not select.");
        return 1;
    }
    const double h = style_current_width_factor() * s.text_height;
    const double x = s.table_pos.x;
    auto coordinates = [&](const point3d_rec& p) {
        column_text(x + 49 * h, rtos_decimal(p.y, s.decimals));
        column_text(x + 69 * h, rtos_decimal(p.x, s.decimals));
    };
    auto leg_row = [&](bool with_bearing) {
        column_text(x, column1);
        column_text(x + 4 * h, column2);
        if (with_bearing) column_text(x + 18 * h, bearing);
        column_text(x + 29 * h, distance);
        coordinates(p2);
        next_row();
    };
    if (kind == 0) {
        column_text(x, column1);
        coordinates(p1);
        next_row();
        leg_row(true);
        return 2;
    }
    leg_row(kind == 1);
    return RTNORM;
}
