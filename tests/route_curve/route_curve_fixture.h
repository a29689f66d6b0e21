// The route-curve commands reached the way a caller would: no LISP function
// runs them, so the tests register the script commands "TCURVE" (the curve)
// and "TCURVERAD" (its radiation table) in the host and answer their dialogs
// and prompts from scripts. Drawings are read back from their saved DXF by
// ezdxf, and curves are compared with spiral_oracle.py, an independent
// computation from the clothoid.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host_fixture.h"
#include "outside_readers.h"
#include "route_curve_commands.h"

namespace curve_test {

// What ezdxf read of one entity.
struct text_rec {
    std::string layer, text;
    double ix = 0, iy = 0;  // insertion point (10)
    double ax = 0, ay = 0;  // alignment point (11)
    int halign = 0, valign = 0;
    double rotation = 0;  // degrees
    double height = 0, width = 0;
};
struct polyline_rec {
    std::string layer;
    std::vector<std::array<double, 2>> points;
    std::string data;  // the first 1000 text of its "TCURVE" data
};
struct line_rec {
    std::string layer;
    double x1, y1, x2, y2;
};
struct dxf_rec {
    std::vector<text_rec> texts;
    std::vector<polyline_rec> polylines;
    std::vector<line_rec> lines;
    std::map<std::string, std::string> layer_data;  // "layer app" -> first 1000 text
    size_t entity_count = 0;
};

inline std::vector<std::string> split_tabs(const std::string& line)
{
    std::vector<std::string> out;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) out.push_back(field);
    return out;
}

// The model space of a DXF file as ezdxf reads it.
inline dxf_rec read_dxf(const std::string& file)
{
    const std::string script =
        "import sys, ezdxf\n"
        "doc = ezdxf.readfile(sys.argv[1])\n"
        "def first_text(entity, app):\n"
        "    if not entity.has_xdata(app): return ''\n"
        "    return next((t.value for t in entity.get_xdata(app) if t.code == 1000), '')\n"
        "count = 0\n"
        "for e in doc.modelspace():\n"
        "    count += 1\n"
        "    t = e.dxftype()\n"
        "    if t == 'TEXT':\n"
        "        a = e.dxf.align_point if e.dxf.hasattr('align_point') else e.dxf.insert\n"
        "        print('\\t'.join(map(str, ['TEXT', e.dxf.layer, e.dxf.text, repr(e.dxf.insert.x), "
        "repr(e.dxf.insert.y), repr(a.x), repr(a.y), e.dxf.halign, e.dxf.valign, repr(e.dxf.rotation), "
        "repr(e.dxf.height), repr(e.dxf.width)])))\n"
        "    elif t == 'LWPOLYLINE':\n"
        "        pts = ';'.join(repr(x) + ',' + repr(y) for x, y in e.get_points('xy'))\n"
        "        print('\\t'.join(['LWPOLYLINE', e.dxf.layer, pts, first_text(e, 'TCURVE')]))\n"
        "    elif t == 'LINE':\n"
        "        print('\\t'.join(map(str, ['LINE', e.dxf.layer, repr(e.dxf.start.x), repr(e.dxf.start.y), "
        "repr(e.dxf.end.x), repr(e.dxf.end.y)])))\n"
        "for layer in doc.layers:\n"
        "    for app in ('TCURVE', 'TCURVE_RAD'):\n"
        "        text = first_text(layer, app)\n"
        "        if text: print('\\t'.join(['LAYERDATA', layer.dxf.name, app, text]))\n"
        "print('COUNT\\t' + str(count))\n";
    std::string output;
    EXPECT_EQ(outside::run_ezdxf_script(script, {file}, output), 0) << output;
    dxf_rec out;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> f = split_tabs(line);
        if (f.empty()) continue;
        if (f[0] == "TEXT" && f.size() == 12) {
            out.texts.push_back({f[1], f[2], std::stod(f[3]), std::stod(f[4]), std::stod(f[5]),
                                 std::stod(f[6]), std::stoi(f[7]), std::stoi(f[8]), std::stod(f[9]),
                                 std::stod(f[10]), std::stod(f[11])});
        } else if (f[0] == "LWPOLYLINE" && f.size() >= 3) {
            polyline_rec p{f[1], {}, f.size() > 3 ? f[3] : ""};
            std::istringstream points(f[2]);
            for (std::string xy; std::getline(points, xy, ';');) {
                const size_t comma = xy.find(',');
                p.points.push_back({std::stod(xy.substr(0, comma)), std::stod(xy.substr(comma + 1))});
            }
            out.polylines.push_back(p);
        } else if (f[0] == "LINE" && f.size() == 6) {
            out.lines.push_back({f[1], std::stod(f[2]), std::stod(f[3]), std::stod(f[4]), std::stod(f[5])});
        } else if (f[0] == "LAYERDATA" && f.size() == 4) {
            out.layer_data[f[1] + " " + f[2]] = f[3];
        } else if (f[0] == "COUNT" && f.size() == 2) {
            out.entity_count = std::stoul(f[1]);
        }
    }
    return out;
}

// One row of a setting-out table.
struct row_rec {
    std::string name;
    int part = 0;
    double chainage = 0, chord = 0, deflection = 0;  // deflection in degrees
    double x = 0, y = 0;
};

// A D.MMSS text in degrees.
inline double dms_degrees(const std::string& text)
{
    const size_t dot = text.find('.');
    const double degrees = std::stod(text.substr(0, dot));
    const std::string rest = dot == std::string::npos ? "" : text.substr(dot + 1) + "0000";
    return degrees + std::stod(rest.substr(0, 2)) / 60.0 + std::stod(rest.substr(2, 2)) / 3600.0;
}

// The right-aligned texts of a layer, gathered into lines: texts whose
// alignment points lie on one line across the row direction (a bearing) make
// one line, in the order along the rotation. Lines run in the row direction.
inline std::vector<std::vector<text_rec>> right_aligned_lines(
    const dxf_rec& d, const std::string& layer, double rotation_bearing,
    const std::function<bool(const text_rec&)>& keep)
{
    const double r = rotation_bearing * M_PI / 180.0;
    const double along_x = std::sin(r), along_y = std::cos(r);  // along the line
    const double down_x = along_y, down_y = -along_x;           // row direction
    std::map<long, std::vector<text_rec>> by_row;
    for (const text_rec& t : d.texts) {
        if (t.layer != layer || t.halign != 2 || (keep && !keep(t))) continue;
        const long key = std::lround((t.ax * down_x + t.ay * down_y) * 1000.0);
        by_row[key].push_back(t);
    }
    std::vector<std::vector<text_rec>> out;
    for (auto& [key, texts] : by_row) {
        std::sort(texts.begin(), texts.end(), [&](const text_rec& a, const text_rec& b) {
            return a.ax * along_x + a.ay * along_y < b.ax * along_x + b.ay * along_y;
        });
        out.push_back(texts);
    }
    return out;
}

// The rows of the drawn setting-out table (six right-aligned texts a row), in
// table order, with the part each row stands in; keep chooses the texts of
// one table where a layer holds several.
inline std::vector<row_rec> table_rows(const dxf_rec& d, const std::string& layer,
                                       double rotation_bearing = 90,
                                       const std::function<bool(const text_rec&)>& keep = nullptr)
{
    std::vector<row_rec> rows;
    int part = 0;
    std::string last;
    for (const std::vector<text_rec>& line : right_aligned_lines(d, layer, rotation_bearing, keep)) {
        if (line.size() != 6) continue;
        row_rec row;
        row.name = line[0].text;
        // A key point that opens a part after ending the one before starts the next part.
        if (rows.empty() || (row.name == last && (row.name == "T2" || row.name == "T3"))) ++part;
        row.part = part;
        row.chainage = std::stod(line[1].text);
        row.deflection = dms_degrees(line[2].text);
        row.chord = std::stod(line[3].text);
        row.y = std::stod(line[4].text);
        row.x = std::stod(line[5].text);
        last = row.name;
        rows.push_back(row);
    }
    return rows;
}

// The left-aligned texts of a layer in the order drawn.
inline std::vector<std::string> left_texts(const dxf_rec& d, const std::string& layer)
{
    std::vector<std::string> out;
    for (const text_rec& t : d.texts)
        if (t.layer == layer && t.halign == 0) out.push_back(t.text);
    return out;
}

// The value beside a report label.
inline std::string report_value(const dxf_rec& d, const std::string& layer, const std::string& label)
{
    for (size_t i = 0; i + 1 < d.texts.size(); ++i)
        if (d.texts[i].layer == layer && d.texts[i].halign == 0 && d.texts[i].text == label)
            return d.texts[i + 1].text;
    return {};
}

// What the oracle computed.
struct oracle_rec {
    std::map<std::string, std::vector<double>> values;
    std::vector<row_rec> exact;  // the clothoid's table
    std::vector<row_rec> book;   // the textbook's table
    double operator[](const std::string& key) const
    {
        auto found = values.find(key);
        return found == values.end() || found->second.empty() ? NAN : found->second[0];
    }
    std::array<double, 2> point(const std::string& key) const
    {
        auto found = values.find(key);
        if (found == values.end() || found->second.size() < 2) return {NAN, NAN};
        return {found->second[0], found->second[1]};
    }
};

// The values a curve is given.
struct curve_input {
    double ip_x, ip_y, bearing_in, bearing_out, R, L1, L2, ch_T1, interval_t, interval_c, min_chord = 2.5;
    int curve_length = 0;  // 1: the circular length from the deflection
};

inline oracle_rec run_oracle(const curve_input& c)
{
    char json[1024];
    std::snprintf(
        json, sizeof json,
        "{\"ip_x\": %.12f, \"ip_y\": %.12f, \"bearing_in\": %.12f, \"bearing_out\": %.12f, \"R\": %.12f, "
        "\"L1\": %.12f, \"L2\": %.12f, \"ch_T1\": %.12f, \"interval_t\": %.12f, \"interval_c\": %.12f, "
        "\"min_chord\": %.12f, \"curve_length\": %d}",
        c.ip_x, c.ip_y, c.bearing_in, c.bearing_out, c.R, c.L1, c.L2, c.ch_T1, c.interval_t, c.interval_c,
        c.min_chord, c.curve_length);
    std::string output;
    const std::string oracle = std::string(ORVIK_SOURCE_DIR) + "/tests/route_curve/spiral_oracle.py";
    EXPECT_EQ(outside::run_tool("/usr/bin/python3 '" + oracle + "' '" + json + "'", output), 0) << output;
    oracle_rec out;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "exact" || key == "book") {
            row_rec r;
            words >> r.name >> r.part >> r.chainage >> r.chord >> r.deflection >> r.x >> r.y;
            (key == "exact" ? out.exact : out.book).push_back(r);
            continue;
        }
        for (double v; words >> v;) out.values[key].push_back(v);
    }
    return out;
}

// The centre and radius of the circle that fits the points best (least
// squares on x^2 + y^2 + a x + b y + c = 0).
inline std::array<double, 3> fit_circle(const std::vector<std::array<double, 2>>& p)
{
    // Work about the first point to keep the numbers small.
    const double x0 = p[0][0], y0 = p[0][1];
    double m[3][4] = {};
    for (const auto& q : p) {
        const double x = q[0] - x0, y = q[1] - y0, rhs = -(x * x + y * y);
        const double row[3] = {x, y, 1};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) m[i][j] += row[i] * row[j];
            m[i][3] += row[i] * rhs;
        }
    }
    for (int i = 0; i < 3; ++i)
        for (int k = i + 1; k < 3; ++k) {
            const double f = m[k][i] / m[i][i];
            for (int j = i; j < 4; ++j) m[k][j] -= f * m[i][j];
        }
    double s[3];
    for (int i = 2; i >= 0; --i) {
        s[i] = m[i][3];
        for (int j = i + 1; j < 3; ++j) s[i] -= m[i][j] * s[j];
        s[i] /= m[i][i];
    }
    const double cx = -s[0] / 2, cy = -s[1] / 2;
    return {cx + x0, cy + y0, std::sqrt(cx * cx + cy * cy - s[2])};
}

// The script lines that pick an IP and its two straights: the incoming
// and outgoing points 100 from the IP on the given bearings.
inline std::string pick_ip(double x, double y, double bearing_in, double bearing_out)
{
    auto at = [&](double bearing) {
        char text[96];
        const double r = bearing * M_PI / 180.0;
        std::snprintf(text, sizeof text, "%.12f,%.12f\n", x + 100 * std::sin(r), y + 100 * std::cos(r));
        return std::string(text);
    };
    char ip[96];
    std::snprintf(ip, sizeof ip, "%.12f,%.12f\n", x, y);
    return "pick pickip_btn\n" + std::string(ip) + at(bearing_in) + at(bearing_out);
}

// The dialog lines that type the curve's values.
inline std::string type_values(const curve_input& c)
{
    char text[600];
    std::snprintf(text, sizeof text,
                  "set t_radius_of_circular_curve %.6f\nset t_tcch %.6f\nset t_length_of_trans_curve1 %.6f\n"
                  "set t_ls_interval %.6f\nset t_rc_interval %.6f\nset t_min_chord %.6f\n",
                  c.R, c.ch_T1, c.L1, c.interval_t, c.interval_c, c.min_chord);
    std::string out = text;
    if (c.L1 != c.L2) {
        std::snprintf(text, sizeof text, "pick second_ls_tg\nset t_length_of_trans_curve2 %.6f\n", c.L2);
        out += text;
    }
    if (c.curve_length) out += "pick lies_tg\n";
    return out;
}

class RouteCurve : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        session().register_script_command("TCURVE", [](const std::string&) { tcurve_command(); });
        session().register_script_command("TCURVERAD", [](const std::string&) { tcurve_rad_command(); });
        // A drawing of this test's own, so that the commands read their
        // settings from it.
        run("SAVEAS " + file("start.dxf") + "\n");
    }

    std::string file(const std::string& name) const { return home() + "/" + name; }

    // Saves the drawing and reads it back.
    dxf_rec saved(const std::string& name)
    {
        const std::string path = file(name);
        run("SAVEAS " + path + "\n");
        return read_dxf(path);
    }
};

}  // namespace curve_test
