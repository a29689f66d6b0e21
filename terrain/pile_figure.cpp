// The eccentricity figure both piling commands draw: an arrow block and a
// number text for each grid component of the displacement from pile cap to
// surveyed point, placed around the label point.
#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ads.h"
#include "entity_makers.h"
#include "folders_registry.h"
#include "geometry.h"
#include "layers.h"
#include "pile_ecc.h"
#include "xdata_pending.h"

namespace {

constexpr const char* kTagApp = "PILE_AUTO_DAT";
// The arrow drawing's path as older drawings stored it.
constexpr const char* kFixedBlockPath = "c:\\Program Files\\OrvikSurvey\\drawing\\Pile_Arrow.dwg";

double fold_360(double angle)
{
    while (angle < 0) angle += 360.0;
    while (angle >= 360.0) angle -= 360.0;
    return angle;
}

// +1 or -1; a component that is zero counts as positive. The sine and cosine
// of a bearing are taken with the product's pi of ten decimals, so a zero
// component comes out within about 1e-10 of the length.
int component_sign(double component, double length)
{
    return component >= -1e-9 * length ? 1 : -1;
}

std::string millimetres(double metres)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", std::fabs(metres) * 1000.0);
    return text;
}

// The block's name: the file name without its folder and extension.
std::string block_name(const std::string& path)
{
    std::string name = path, block;
    path_file_name(path, name);
    block = name;
    path_strip_extension(name, block);
    return block;
}

bool block_in_drawing(const std::string& path)
{
    resbuf* record = acdbTblSearch("BLOCK", block_name(path).c_str(), 0);
    if (!record) return false;
    acutRelRb(record);
    return true;
}

int draw_text(const pile_figure_style& style, const point3d_rec& at, double bearing, const std::string& text)
{
    const double height = style.text_height * style.scale * 0.001;
    if (!style.tag_texts)
        return text_make_on_layer(at, height, style.width_factor, bearing, style.layer, text, 1);
    xdata_pending_set_int32(static_cast<std::int32_t>(std::atol(text.c_str())));
    return text_make_xdata(at, height, style.width_factor, bearing, style.layer, text, kTagApp);
}

}  // namespace

std::string pile_block_default()
{
    return app_install_folder() + "/drawing/Pile_Arrow.dwg";
}

std::string pile_block_file(const std::string& stored)
{
    if (file_exists(stored.c_str())) return stored;
    if (strcasecmp(stored.c_str(), kFixedBlockPath) == 0) return pile_block_default();
    return stored;
}

pile_ecc_rec pile_ecc_compute(const pile_figure_style& style, const point3d_rec& cap,
                              const point3d_rec& surveyed, const point3d_rec& label)
{
    pile_ecc_rec ecc;
    const double arrow = 5.0 * style.scale * 0.001;
    const double bearing = fold_360(bearing_deg(cap, surveyed) - style.grid_rotation);
    bearing_to_dxdy(bearing, dist_2d(cap, surveyed), ecc.east, ecc.north);
    double unit_east = 0, unit_north = 0;
    bearing_to_dxdy(bearing, 5.0, unit_east, unit_north);
    const int north_sign = component_sign(unit_north, 5.0);
    const int east_sign = component_sign(unit_east, 5.0);
    polar_point(fold_360(style.grid_rotation + (north_sign > 0 ? 0.0 : 180.0)), arrow, label,
                ecc.north_point);
    polar_point(fold_360(style.grid_rotation + (east_sign > 0 ? 90.0 : 270.0)), arrow, label, ecc.east_point);
    ecc.east_text = millimetres(ecc.east);
    ecc.north_text = millimetres(ecc.north);
    return ecc;
}

bool pile_block_ready(const pile_figure_style& style, std::string& block_name)
{
    if (!block_in_drawing(style.block_file) && !file_exists(style.block_file.c_str())) {
        acutPrintf("\nThe arrow block drawing %s cannot be found; no eccentricity is drawn.",
                   style.block_file.c_str());
        return false;
    }
    if (!block_load_temp(point3d_rec{}, style.block_file, block_name)) {
        acutPrintf("\nThe arrow block drawing %s could not be read; no eccentricity is drawn.",
                   style.block_file.c_str());
        return false;
    }
    layer_ensure(style.layer.c_str());
    return true;
}

void pile_figure_draw(const pile_figure_style& style, const std::string& block_name, const point3d_rec& cap,
                      const point3d_rec& surveyed, const point3d_rec& label)
{
    const pile_ecc_rec ecc = pile_ecc_compute(style, cap, surveyed, label);
    // Each arrow points away from the label point.
    for (const point3d_rec& at : {ecc.east_point, ecc.north_point}) {
        const double rotation = fold_360(90.0 - bearing_deg(label, at));
        insert_make(block_name, at, rotation, style.scale, style.layer);
    }
    draw_text(style, ecc.east_point, fold_360(style.grid_rotation + 90.0), ecc.east_text);
    draw_text(style, ecc.north_point, style.grid_rotation, ecc.north_text);
}
