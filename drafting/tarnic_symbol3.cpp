// The SYMBOL3 command of b_tarnic: a chain of symbols along picked legs, a
// spacing apart, with the line between them broken by a gap at each symbol
// and, when asked for, a box round each leg.
#include <cmath>

#include "ads.h"
#include "entity_makers.h"
#include "geometry.h"
#include "layers.h"
#include "prompts.h"
#include "symbols.h"

namespace {

// The layer of the line-layer block's first entity. A block the drawing lacks
// is brought from the symbol's own folder first.
std::string line_layer_of(const tarnic_answer_rec& answer, const point3d_rec& at)
{
    std::string layer;
    if (block_layer_get(answer.line_block.c_str(), layer)) return layer;
    const size_t separator = answer.block_file.find_last_of("\\/");
    const std::string folder =
        separator == std::string::npos ? "" : answer.block_file.substr(0, separator + 1);
    std::string loaded;
    if (!answer.line_block.empty() && block_load_temp(at, folder + answer.line_block + ".dwg", loaded) &&
        block_layer_get(loaded.c_str(), layer))
        return layer;
    acutPrintf("\nThe line block \"%s\" is neither in the drawing nor beside %s; the lines go on layer 0.",
               answer.line_block.c_str(), answer.block_file.c_str());
    return "0";
}

// A LINE along the leg from distance a to distance b, when it runs forward.
void leg_piece(const point3d_rec& p, const point3d_rec& q, double a, double b, double tolerance,
               const std::string& layer)
{
    if (b - a <= tolerance) return;
    line_make(point_toward(p, q, a), point_toward(p, q, b), layer);
}

}  // namespace

int tarnic_symbol3_leg(const point3d_rec& p, const point3d_rec& q, const tarnic_answer_rec& answer,
                       const std::string& block_name, const std::string& line_layer)
{
    const tarnic_settings_rec& s = tarnic_settings();
    const double scale = s.plot_scale * 0.001;
    const double length = dist_2d(p, q);
    const double bearing = bearing_deg(p, q);
    const double step = answer.spacing * scale;
    const double gap = answer.gap * scale;
    const double tolerance = 1e-9 * std::max(1.0, length);
    const long count = static_cast<long>(std::floor((length + tolerance) / step));
    if (count < 1) return 0;

    std::string block_layer;
    block_layer_get(block_name.c_str(), block_layer);
    for (long k = 1; k <= count; ++k)
        insert_make(block_name, point_toward(p, q, static_cast<double>(k) * step), bearing, s.plot_scale,
                    block_layer);

    if (gap > 0) {
        leg_piece(p, q, 0.0, step - gap, tolerance, line_layer);
        for (long k = 1; k < count; ++k)
            leg_piece(p, q, static_cast<double>(k) * step + gap, static_cast<double>(k + 1) * step - gap,
                      tolerance, line_layer);
        // From the leg's end back toward the last symbol: short of it by the
        // gap, or up to it when less than a drawing unit is left.
        const double last = static_cast<double>(count) * step;
        const double end = length - last > 1.0 ? last + gap : last;
        if (length - end > tolerance) line_make(q, point_toward(p, q, end), line_layer);
    }
    const double half_width = answer.box * scale;
    if (half_width > 0) {
        point3d_rec p_left, p_right, q_left, q_right;
        polar_point(bearing - 90.0, half_width, p, p_left);
        polar_point(bearing + 90.0, half_width, p, p_right);
        polar_point(bearing - 90.0, half_width, q, q_left);
        polar_point(bearing + 90.0, half_width, q, q_right);
        line_make(p_left, q_left, line_layer);
        line_make(q_left, q_right, line_layer);
        line_make(q_right, p_right, line_layer);
        line_make(p_right, p_left, line_layer);
    }
    return static_cast<int>(count);
}

int tarnic_symbol3(const std::string& answer_text)
{
    tarnic_answer_rec answer;
    std::string problem;
    if (!tarnic_answer_parse(answer_text, answer, problem)) {
        acutPrintf("\nThe symbol picker's answer \"%s\" cannot be used: %s; nothing is placed.",
                   answer_text.c_str(), problem.c_str());
        return 0;
    }
    if (prompt_kword("0", "Yes No", "Change Setting", "No") == "Yes") tarnic_settings_prompt(3);

    ads_point picked;
    if (acedGetPoint(nullptr, "\nPick Point:", picked) != RTNORM) return 1;
    point3d_rec previous{picked[X], picked[Y], 0};
    std::string block;
    if (!block_load_temp(previous, answer.block_file, block)) {
        acutPrintf("\nThe symbol's block drawing %s cannot be read; nothing is placed.",
                   answer.block_file.c_str());
        return 0;
    }
    std::string line_layer = "0";
    if (answer.gap > 0 || answer.box > 0) line_layer = line_layer_of(answer, previous);

    for (;;) {
        ads_point from = {previous.x, previous.y, 0}, next;
        if (acedGetPoint(from, "\nPick Next Point:", next) != RTNORM) return 1;
        const point3d_rec point{next[X], next[Y], 0};
        tarnic_symbol3_leg(previous, point, answer, block, line_layer);
        previous = point;
    }
}
