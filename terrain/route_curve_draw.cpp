// The route curve's element report and setting-out table, on the command line
// and as texts, and the curve polyline with its station names.
#include <cmath>
#include <cstdio>

#include "ads.h"
#include "angles.h"
#include "entity_makers.h"
#include "geometry.h"
#include "layers.h"
#include "numbers.h"
#include "route_curve_commands.h"
#include "xdata_pending.h"
#include "xdata_read.h"

namespace {

// A table column: its head, where it starts and how wide it is, in text
// widths u along the line.
struct column_rec {
    const char* head;
    double start, width;
};
const column_rec kColumns[] = {{"NO", 0, 5},           {"CHAINAGE", 5, 10},   {"DEFLECTION", 15, 10},
                               {"CHORD DIST", 25, 12}, {"    NORTH", 37, 15}, {"    EAST", 52, 15}};

const char* const kTitles[] = {"F I R S T  T R A N S I T I O N  C U R V E", "C I R C U L A R  C U R V E",
                               "S E C O N D  T R A N S I T I O N  C U R V E"};

void table_row(tcurve_text_rows& out, const tcurve_row_rec& r)
{
    const std::string texts[] = {r.name,
                                 rtos_decimal(r.chainage, 3),
                                 angle_deg_to_dms_text(r.deflection_deg, 0),
                                 rtos_decimal(r.chord, 3),
                                 rtos_decimal(r.point.y, 3),
                                 rtos_decimal(r.point.x, 3)};
    // Each value ends three units (at 1:1000) before its column's end.
    for (size_t i = 0; i < std::size(kColumns); ++i)
        out.right((kColumns[i].start + kColumns[i].width) * out.u() - 3.0 * out.s(), texts[i]);
    out.next(2);
}

void table_heading(tcurve_text_rows& out)
{
    for (const column_rec& c : kColumns) out.left(c.start * out.u(), c.head);
    out.left(kColumns[2].start * out.u(), "ANGLE", 2);
    out.next(4);
}

double bearing_folded(double bearing)
{
    return std::fmod(std::fmod(bearing, 360.0) + 360.0, 360.0);
}

void draw_polyline(const tcurve_work_rec& w, const tcurve_table_rec& table)
{
    lwpoly_chain_rec& chain = lwpoly_chain();
    lwpoly_make({}, 3);
    chain.layer = w.layer;
    chain.flags = 0;
    chain.width = 0;
    chain.elevation = 0;
    chain.thickness = 0;
    int count = 0;
    for (const tcurve_row_rec& r : table.rows) {
        if (r.duplicate) continue;
        lwpoly_make(r.point, 1);
        ++count;
    }
    if (lwpoly_make({}, 2) != 1) {
        acutPrintf("\nThe curve polyline could not be made.");
        return;
    }
    ads_name made;
    if (acdbEntLast(made) != RTNORM) return;
    xdata_pending_set_text(std::to_string(count) + "," + table.summary + "," + w.ip_name);
    ent_xdata_add(made, "TCURVE");
}

void draw_station_names(const tcurve_work_rec& w, const tcurve_table_rec& table)
{
    const double h = w.text_height * w.scale * 0.001;
    const double rotation = bearing_folded(w.rotation);
    for (const tcurve_row_rec& r : table.rows)
        if (!r.duplicate) text_make_justified(4, r.point, h, w.text_width, rotation, w.layer, r.name, 1);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> tcurve_report_lines(const tcurve_work_rec& w)
{
    const double circular = w.curve_length ? w.lc : w.lc2;
    std::vector<std::pair<std::string, std::string>> lines{
        {"IP NAME", w.ip_name},
        {"Deflection Angle", angle_deg_to_dms_text(w.D, 0)},
        {"Radius", real_format(w.R, 3)}};
    if (!w.two_transitions) {
        lines.insert(lines.end(), {{"Length of Tangent Line", real_format(w.Ts1, 3)},
                                   {"Length of Circular Curve", real_format(circular, 3)},
                                   {"Length of Transition Curve", real_format(w.L1, 3)},
                                   {"Shift", real_format(w.shift1, 3)},
                                   {"Qmak", angle_deg_to_dms_text(w.phi1, 0)}});
    } else {
        lines.insert(lines.end(), {{"Length of Tangent Line 1", real_format(w.Ts1, 3)},
                                   {"Length of Tangent Line 2", real_format(w.Ts2, 3)},
                                   {"Length of Circular Curve", real_format(circular, 3)},
                                   {"Length of Transition Curve 1", real_format(w.L1, 3)},
                                   {"Length of Transition Curve 2", real_format(w.L2, 3)},
                                   {"Shift 1", real_format(w.shift1, 3)},
                                   {"Shift 2", real_format(w.shift2, 3)},
                                   {"Qmak 1", angle_deg_to_dms_text(w.phi1, 0)},
                                   {"Qmak 2", angle_deg_to_dms_text(w.phi2, 0)}});
    }
    char coord[128];
    std::snprintf(coord, sizeof coord, "Coord IP : (N %.3f E %.3f)", w.IP.y, w.IP.x);
    lines.insert(lines.end(), {{"Interval Circular Curve", real_format(w.interval_c, 3)},
                               {"Interval Transition Curve", real_format(w.interval_t, 3)},
                               {coord, ""}});
    return lines;
}

void tcurve_report_print(const tcurve_work_rec& w)
{
    for (const auto& [label, value] : tcurve_report_lines(w))
        acutPrintf("\n%-30s%s", label.c_str(), value.c_str());
}

tcurve_text_rows::tcurve_text_rows(const point3d_rec& position, double rotation, double text_height,
                                   double width_factor, double scale, const std::string& layer)
    : h_(text_height * scale * 0.001),
      u_(width_factor * h_),
      s_(scale * 0.001),
      width_factor_(width_factor),
      rotation_(bearing_folded(rotation)),
      row_direction_(rotation_ + 90.0 >= 360.0 ? rotation_ + 90.0 - 360.0 : rotation_ + 90.0),
      layer_(layer),
      position_{position.x, position.y, 0}
{
}

point3d_rec tcurve_text_rows::at(double along, double below) const
{
    point3d_rec on_line, out;
    polar_point(rotation_, along, position_, on_line);
    polar_point(row_direction_, below * h_, on_line, out);
    return out;
}

void tcurve_text_rows::left(double along, const std::string& text, double below)
{
    text_make_on_layer(at(along, below), h_, width_factor_, rotation_, layer_, text, 1);
}

void tcurve_text_rows::right(double along, const std::string& text)
{
    text_make(at(along, 0), h_, width_factor_, rotation_, layer_, text);
}

void tcurve_text_rows::next(double heights)
{
    position_ = at(0, heights);
}

void tcurve_draw(const tcurve_work_rec& w, const tcurve_table_rec& table)
{
    layer_ensure(w.layer.c_str());
    tcurve_text_rows out({w.table_x, w.table_y, 0}, w.rotation, w.text_height, w.text_width, w.scale,
                         w.layer);
    // Report lines: the label, and the value 40 units along; empty ones are not drawn.
    for (const auto& [label, value] : tcurve_report_lines(w)) {
        if (!label.empty()) out.left(0, label);
        if (!value.empty()) out.left(40 * out.u(), value);
        out.next(2);
    }
    int part = 0;
    for (const tcurve_row_rec& r : table.rows) {
        if (r.part != part) {
            part = r.part;
            out.next(2);
            out.left(0, kTitles[part - 1]);
            out.next(4);
            table_heading(out);
        }
        table_row(out, r);
    }
    draw_polyline(w, table);
    draw_station_names(w, table);
}

void tcurve_table_print(const tcurve_table_rec& table)
{
    acutPrintf("\n%-6s%14s%14s%14s%16s%16s", "NO", "CHAINAGE", "DEFLECTION", "CHORD DIST", "NORTH", "EAST");
    for (const tcurve_row_rec& r : table.rows)
        acutPrintf("\n%-6s%14s%14s%14s%16s%16s", r.name.c_str(), rtos_decimal(r.chainage, 3).c_str(),
                   angle_deg_to_dms_text(r.deflection_deg, 0).c_str(), rtos_decimal(r.chord, 3).c_str(),
                   rtos_decimal(r.point.y, 3).c_str(), rtos_decimal(r.point.x, 3).c_str());
    acutPrintf("\n*******************************************************");
}
