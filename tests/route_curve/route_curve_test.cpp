// Route curves drawn through the dialog and read back from the saved DXF,
// checked against spiral_oracle.py (the clothoid from scipy's Fresnel
// integrals and the centre of the circle found by construction).
//
// Worked by hand (the first case): R = 300, L1 = L2 = 60, the straights meet
// at IP (1000, 1000) coming from the south (incoming bearing 180) and leaving
// on bearing 30, so D = 30 degrees to the right; T1 at chainage 1000, both
// intervals 20.
//   spiral angle  phi = L / 2R = 0.1 rad = 5.7296 deg (5.4346 D.MMSS)
//   shift         L^2 / 24R = 3600 / 7200 = 0.500
//   Dc = 30 - 2 x 5.7296 = 18.5408 deg, lc = 300 x 0.323599 = 97.080
//   Ts = (300 + 0.5) tan 15 + 60 / 2 = 300.5 x 0.267949 + 30 = 110.519
//   T1 = IP - 110.519 north = (1000, 889.481); chainage of T2 1060
//   first transition: the first round chainage 20 reaches from 1000 is 1020;
//   stations 1020, 1040, then T2 (a last chord of 0 is below 2.5, so one
//   interval goes back); deflections 1800 l^2 / (pi R L) minutes: 12.73'
//   (0.1244 D.MMSS), 50.93' (0.5056) and at T2 114.59' = phi / 3 (1.5435)
//   circle: the circle through T2 and T3 as set out runs 97.047 (33 mm short
//   of lc, the textbook's T2 and T3 standing about 2 cm off the clothoid's),
//   so T3 is at 1157.047 and T4 at 1217.047; stations 1080, 1100, the middle
//   of the arc 1108.523, 1120, 1140, T3; the deflection from T2 is about
//   2 phi / 3 = 3.8197 deg off the chord T1-T2 produced, plus a / 2R:
//   5.7296 deg (5.4346) at 1080, where the table has 5.4358
//   second transition, counted down from T4: 1200 (the round chainage 20
//   reaches below 1217.047), 1180, 1160, then T3 with a chord of 2.953
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "db/sysvars.h"
#include "route_curve_fixture.h"

namespace curve_test {
namespace {

double dms_number_to_degrees(double dms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", dms);
    return dms_degrees(text);
}

struct curve_case {
    const char* name;
    curve_input input;
    std::string script;  // the dialog's lines after TCURVE
};

void PrintTo(const curve_case& c, std::ostream* out)
{
    *out << c.name;
}

std::vector<curve_case> cases()
{
    const double buku_in = dms_number_to_degrees(228.1625), ip36_in = dms_number_to_degrees(57.4934),
                 ip36_out = dms_number_to_degrees(262.585);
    std::vector<curve_case> out;
    {
        curve_case c{"worked by hand", {1000, 1000, 180, 30, 300, 60, 60, 1000, 20, 20}, ""};
        c.script = pick_ip(1000, 1000, 180, 30) + type_values(c.input) +
                   "pick cal_curve_btn\npick picktbl_btn\n1100,1000\nset t_ipname HAND\nok\n";
        out.push_back(c);
    }
    out.push_back({"sample IP1-buku (equal transitions)",
                   {789.139, 863.719, buku_in, 62.7475, 600, 73.13, 73.13, 348.54, 20, 20},
                   "select sampel_pop 1\n"});
    out.push_back({"sample IP36 (unequal transitions)",
                   {-12592.271, -12468.505, ip36_in, ip36_out, 150, 45, 50, 6432.37, 10, 4},
                   "select sampel_pop 7\n"});
    {
        // Left-hand, unequal, the circular length taken from Dc.
        curve_case c{"left-hand unequal", {5000, 5000, 70, 210, 200, 40, 70, 2345.678, 10, 10, 2.5, 1}, ""};
        c.script = pick_ip(5000, 5000, 70, 210) + type_values(c.input) +
                   "pick cal_curve_btn\npick picktbl_btn\n5100,5100\nset t_ipname LEFT7\nok\n";
        out.push_back(c);
    }
    {
        curve_case c{"no transition", {-200, 300, 300, 155, 250, 0, 0, 0, 10, 15}, ""};
        c.script = pick_ip(-200, 300, 300, 155) + type_values(c.input) +
                   "pick cal_curve_btn\npick picktbl_btn\n-100,300\nset t_ipname PLAIN\nok\n";
        out.push_back(c);
    }
    return out;
}

class CurveCases : public RouteCurve, public ::testing::WithParamInterface<curve_case> {};

TEST_P(CurveCases, AgreeWithTheTextbookAndTheClothoid)
{
    const curve_case& c = GetParam();
    const std::string out = run("TCURVE\n" + c.script);
    const tcurve_work_rec w = tcwk();
    const oracle_rec o = run_oracle(c.input);
    const dxf_rec d = saved("curve.dxf");
    const std::vector<row_rec> rows = table_rows(d, "Transition_curve");

    // Elements.
    EXPECT_NEAR(w.D, o["D"], 1e-7);
    EXPECT_NEAR(w.phi1, o["phi1"], 1e-8);
    EXPECT_NEAR(w.phi2, o["phi2"], 1e-8);
    // The textbook shift L^2 / 24R leaves out the next term of the series,
    // L^4 / 2688 R^3.
    EXPECT_NEAR(w.shift1, o["shift1"], std::pow(c.input.L1, 4) / (2688 * std::pow(c.input.R, 3)) + 1e-9);
    EXPECT_NEAR(w.shift2, o["shift2"], std::pow(c.input.L2, 4) / (2688 * std::pow(c.input.R, 3)) + 1e-9);
    // The tangent lengths and T1, T4 by construction from the textbook shift
    // and half the transition length: equal to the mm's thousandth.
    EXPECT_NEAR(w.Ts1, o["book_Ts1"], 1e-6);
    EXPECT_NEAR(w.Ts2, o["book_Ts2"], 1e-6);
    // And from the clothoid itself: within what k = L/2 and the textbook
    // shift leave out.
    const double k_error = std::max(std::fabs(o["k1"] - c.input.L1 / 2), std::fabs(o["k2"] - c.input.L2 / 2));
    EXPECT_NEAR(w.Ts1, o["Ts1"], k_error + 0.01) << "Ts1 " << w.Ts1 << " clothoid " << o["Ts1"];
    EXPECT_NEAR(w.Ts2, o["Ts2"], k_error + 0.01) << "Ts2 " << w.Ts2 << " clothoid " << o["Ts2"];
    EXPECT_NEAR(w.lc, o["lc"], 1e-6);

    // The drawn report.
    const std::string layer = "Transition_curve";
    const bool two = c.input.L1 != c.input.L2;
    char expect[64];
    std::snprintf(expect, sizeof expect, "%.3f", o["book_Ts1"]);
    EXPECT_EQ(report_value(d, layer, two ? "Length of Tangent Line 1" : "Length of Tangent Line"), expect);
    if (two) {
        std::snprintf(expect, sizeof expect, "%.3f", o["book_Ts2"]);
        EXPECT_EQ(report_value(d, layer, "Length of Tangent Line 2"), expect);
    }
    EXPECT_NEAR(std::stod(report_value(d, layer, "Length of Circular Curve")),
                c.input.curve_length ? o["lc"] : o["book_lc2"], 0.0005);
    EXPECT_NEAR(dms_degrees(report_value(d, layer, two ? "Qmak 1" : "Qmak")), o["phi1"], 0.5 / 3600 + 1e-9);
    EXPECT_NEAR(std::stod(report_value(d, layer, two ? "Shift 1" : "Shift")), o["shift1"], 0.0006);

    // The table, row by row: the textbook's stations to the table's
    // decimals, and the clothoid's within what the textbook leaves out:
    // the circle through the set-out ends of the transitions closes
    // |lc2 - lc| off the clothoid's, T1 and T4 stand |k - L/2| off, and
    // the long chord of a transition is taken as its length, L phi^2 / 90
    // too long. (With the circular length from Dc there is no closure.)
    ASSERT_EQ(rows.size(), o.book.size()) << out;
    ASSERT_EQ(rows.size(), o.exact.size()) << out;
    const double closure = c.input.curve_length ? 0 : std::fabs(o["book_lc2"] - o["lc"]);
    const double phi = std::max(o["phi1"], o["phi2"]) * M_PI / 180;
    const double beside = std::fabs(o["book_lc2"] - o["lc"]) + k_error +
                          std::max(c.input.L1, c.input.L2) * phi * phi / 90 + 0.001;
    // The textbook deflection l^2 / 6RL leaves out 8 phi^3 / 2835 of the
    // clothoid's.
    const double series = 8 * std::pow(phi, 3) / 2835 * 180 / M_PI;
    for (size_t i = 0; i < rows.size(); ++i) {
        const row_rec &got = rows[i], &book = o.book[i], &exact = o.exact[i];
        SCOPED_TRACE("row " + std::to_string(i) + " " + book.name);
        EXPECT_EQ(got.name, book.name);
        EXPECT_EQ(got.part, book.part);
        EXPECT_NEAR(got.chainage, book.chainage, 0.0006);
        EXPECT_NEAR(got.chord, book.chord, 0.0006);
        EXPECT_NEAR(got.deflection, book.deflection, 0.5 / 3600 + 1e-9);
        EXPECT_NEAR(got.x, book.x, 0.0006);
        EXPECT_NEAR(got.y, book.y, 0.0006);

        EXPECT_EQ(got.name, exact.name);
        EXPECT_NEAR(got.chainage, exact.chainage, closure + 0.0006);
        // (With the length from Dc the circle's chords shrink by lc2 / lc.)
        EXPECT_NEAR(got.chord, exact.chord, std::fabs(o["book_lc2"] - o["lc"]) + 0.001);
        EXPECT_NEAR(std::hypot(got.x - exact.x, got.y - exact.y), 0, beside);
        // Transition stations at the same length from their start: the
        // first transition always, the second when its chainages agree.
        if (got.part == 1 || (got.part == 3 && closure == 0)) {
            EXPECT_NEAR(got.deflection, exact.deflection, series + 0.6 / 3600);
        }
        // Circle stations: half the angle the closure makes at the centre,
        // taken whole.
        if (got.part == 2) {
            EXPECT_NEAR(got.deflection, exact.deflection,
                        std::fabs(o["book_lc2"] - o["lc"]) / c.input.R * 180 / M_PI + 1.0 / 3600);
        }
    }

    // The curve polyline: every station once, T1 and T4 where the
    // construction puts them, the circle's stations on a circle of radius
    // R about the constructed centre.
    ASSERT_EQ(d.polylines.size(), 1u);
    const polyline_rec& p = d.polylines[0];
    EXPECT_EQ(p.layer, "Transition_curve");
    // The rows that open the circle and the second transition repeat T2 and T3.
    auto opens_part = [&](size_t i) { return i > 0 && o.book[i].part != o.book[i - 1].part; };
    const size_t non_duplicates = o.book.size() - 2;
    ASSERT_EQ(p.points.size(), non_duplicates);
    const auto t1 = o.point("book_T1"), t4 = o.point("book_T4");
    EXPECT_NEAR(p.points.front()[0], t1[0], 1e-6);
    EXPECT_NEAR(p.points.front()[1], t1[1], 1e-6);
    EXPECT_NEAR(p.points.back()[0], t4[0], 1e-6);
    EXPECT_NEAR(p.points.back()[1], t4[1], 1e-6);
    std::vector<std::array<double, 2>> on_circle;
    for (size_t i = 0, v = 0; i < o.book.size(); ++i) {
        if (opens_part(i)) continue;
        if (o.book[i].part == 2 || (o.book[i].part == 1 && o.book[i].name == "T2"))
            on_circle.push_back(p.points[v]);
        ++v;
    }
    const auto circle = fit_circle(on_circle);
    EXPECT_NEAR(circle[2], c.input.R, 1e-6);
    const auto centre = o.point("book_centre");
    EXPECT_NEAR(circle[0], centre[0], 0.01);
    EXPECT_NEAR(circle[1], centre[1], 0.01);

    // Its data: the vertex count, the station counts between the key
    // points and the IP name.
    int counts[3] = {-1, -1, -1};
    for (const row_rec& r : o.book) ++counts[r.part - 1];
    char data[128];
    std::snprintf(data, sizeof data, "%zu,T1,%d,T2,%d,T3,%d,T4,%s", non_duplicates, counts[0], counts[1],
                  counts[2], w.ip_name.c_str());
    EXPECT_EQ(p.data, data);
}

// The setting-out table and the station names in a default drawing and in
// one set to survey angles (ANGBASE 90 degrees, clockwise): the texts are
// made with their rotation from the table's bearing, so both drawings hold
// the same texts; a table turned by a picked bearing runs along it.
TEST_F(RouteCurve, TablesTurnWithTheirBearingInEveryAngleSetting)
{
    const curve_input hand{1000, 1000, 180, 30, 300, 60, 60, 1000, 20, 20};
    std::vector<dxf_rec> drawings;
    for (int survey = 0; survey < 2; ++survey) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        run("NEW\n");
        if (survey) run("(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n");
        run("SAVEAS " + file(survey ? "survey.dxf" : "default.dxf") + "\n");
        // The sample: its straights drawn and the view on its window.
        const std::string sample = run("TCURVE\nselect sampel_pop 2\n");
        EXPECT_NE(sample.find("\n*******************************************************"),
                  std::string::npos);
        EXPECT_NEAR(host::sysvar_real(drawing(), "VIEWSIZE"), 932.2664 - 715.1239, 1e-6);
        // The curve worked by hand, once with the table along bearing 90 and
        // once along the picked bearing 60 on a layer of its own.
        run("TCURVE\n" + pick_ip(1000, 1000, 180, 30) + type_values(hand) +
            "pick cal_curve_btn\npick picktbl_btn\n1100,1000\nset t_ipname HAND\nok\n");
        run("TCURVE\n" + pick_ip(1000, 1000, 180, 30) +
            "pick cal_curve_btn\npick picktbl_btn\n1300,1000\npick pickrot_btn\n0,0\n8.660254037844386,5\n"
            "set t_layer ROT60\nset t_ipname TURNED\nok\n");
        drawings.push_back(saved(survey ? "survey-out.dxf" : "default-out.dxf"));
        const dxf_rec& d = drawings.back();

        // The sample's straights IP-T1 and IP-T4.
        ASSERT_EQ(d.lines.size(), 2u);
        for (const line_rec& l : d.lines) {
            EXPECT_EQ(l.layer, "Transition_curve");
            EXPECT_NEAR(l.x1, 789.139, 1e-7);
            EXPECT_NEAR(l.y1, 863.719, 1e-7);
        }

        size_t turned = 0;
        for (const text_rec& t : d.texts) {
            if (t.layer == "ROT60") {
                EXPECT_NEAR(t.rotation, 30.0, 1e-7) << t.text;
                ++turned;
            } else {
                EXPECT_NEAR(std::fmod(t.rotation + 360.0, 360.0), 0.0, 1e-7) << t.text;
            }
        }
        EXPECT_GT(turned, 80u);
        // The turned table holds the same rows as the straight one.
        const std::vector<row_rec> along = table_rows(d, "ROT60", 60);
        const std::vector<row_rec> hand_rows =
            table_rows(d, "Transition_curve", 90, [](const text_rec& t) { return t.ax > 1050; });
        ASSERT_EQ(along.size(), 16u);
        for (size_t i = 0; i < along.size(); ++i) {
            EXPECT_EQ(along[i].name, hand_rows[i].name);
            EXPECT_EQ(along[i].chainage, hand_rows[i].chainage);
            EXPECT_EQ(along[i].deflection, hand_rows[i].deflection);
        }
        // Its first line starts at the table position, the value 40 text
        // units along bearing 60; the next line 2 text heights at bearing 150.
        const double h = 1.3, u = 1.3;
        std::vector<const text_rec*> lefts;
        for (const text_rec& t : d.texts)
            if (t.layer == "ROT60" && t.halign == 0) lefts.push_back(&t);
        ASSERT_GE(lefts.size(), 3u);
        EXPECT_EQ(lefts[0]->text, "IP NAME");
        EXPECT_NEAR(lefts[0]->ix, 1300, 1e-7);
        EXPECT_NEAR(lefts[0]->iy, 1000, 1e-7);
        EXPECT_EQ(lefts[1]->text, "TURNED");
        EXPECT_NEAR(lefts[1]->ix, 1300 + 40 * u * std::sin(M_PI / 3), 1e-7);
        EXPECT_NEAR(lefts[1]->iy, 1000 + 40 * u * std::cos(M_PI / 3), 1e-7);
        EXPECT_EQ(lefts[2]->text, "Deflection Angle");
        EXPECT_NEAR(lefts[2]->ix, 1300 + 2 * h * std::sin(150 * M_PI / 180), 1e-7);
        EXPECT_NEAR(lefts[2]->iy, 1000 + 2 * h * std::cos(150 * M_PI / 180), 1e-7);
    }
    // Both drawings hold the same texts in the same places. (Angles go
    // through the product's ten-decimal pi, hence the 1e-7.)
    ASSERT_EQ(drawings[0].texts.size(), drawings[1].texts.size());
    for (size_t i = 0; i < drawings[0].texts.size(); ++i) {
        const text_rec &a = drawings[0].texts[i], &b = drawings[1].texts[i];
        EXPECT_EQ(a.text, b.text);
        EXPECT_NEAR(a.ix, b.ix, 1e-7);
        EXPECT_NEAR(a.iy, b.iy, 1e-7);
        EXPECT_NEAR(a.rotation, b.rotation, 1e-7);
    }
}

// Every built-in curve computes and sets out, and IP32 to IP56 make one road:
// each incoming straight is the outgoing straight before it reversed, and
// each T1 chainage is the T4 chainage before it plus the straight between.
TEST_F(RouteCurve, TheBuiltInCurvesMakeOneRoad)
{
    const std::vector<std::string>& names = tcurve_sample_names();
    ASSERT_EQ(names.size(), 28u);
    EXPECT_EQ(names[1], "IP1-buku");
    EXPECT_EQ(names[3], "IP32");
    EXPECT_EQ(names[27], "IP56");
    tcurve_work_rec previous;
    for (int i = 1; i < static_cast<int>(names.size()); ++i) {
        SCOPED_TRACE(names[static_cast<size_t>(i)]);
        tcurve_work_rec w;
        point3d_rec corner1, corner2;
        ASSERT_TRUE(tcurve_sample_load(i, w, corner1, corner2));
        ASSERT_EQ(tcurve_elements(w), "");
        const tcurve_table_rec t = tcurve_set_out(w, nullptr);
        ASSERT_GE(t.rows.size(), 7u);
        for (size_t r = 1; r < t.rows.size(); ++r)
            EXPECT_GE(t.rows[r].chainage, t.rows[r - 1].chainage - 1e-9);
        EXPECT_NEAR(t.rows.back().chainage, w.ch_T4, 1e-9);
        // The window holds the IP and the table.
        for (const point3d_rec& p : {w.IP, point3d_rec{w.table_x, w.table_y, 0}}) {
            EXPECT_GT(p.x, corner1.x);
            EXPECT_LT(p.x, corner2.x);
            EXPECT_GT(p.y, corner1.y);
            EXPECT_LT(p.y, corner2.y);
        }
        if (i > 3) {
            EXPECT_NEAR(std::fabs(w.bearing_in - previous.bearing_out), 180.0, 1.0 / 3600);
            const double straight = std::hypot(w.IP.x - previous.IP.x, w.IP.y - previous.IP.y);
            EXPECT_GT(straight - previous.Ts2 - w.Ts1, 10.0);
            // The T4 chainages here come from the computed points, a few
            // centimetres off the deflection's.
            EXPECT_NEAR(w.ch_T1, previous.ch_T4 + straight - previous.Ts2 - w.Ts1, 0.1);
        }
        previous = w;
    }
}

INSTANTIATE_TEST_SUITE_P(RouteCurve, CurveCases, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<curve_case>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

}  // namespace
}  // namespace curve_test
