// The radiation table of a route curve: bearings and distances from a picked
// station to every station of the curve polyline, checked against bearings
// worked out here from the polyline's vertices as ezdxf reads them; the
// pictures of a curve with its tables; and what is not a curve.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "drawing_queries.h"
#include "route_curve_fixture.h"
#include "test_entities.h"

namespace curve_test {
namespace {

const curve_input kHand{1000, 1000, 180, 30, 300, 60, 60, 1000, 20, 20};

// A bearing as the table writes it: degrees, "%%d", minutes, "'", seconds
// and a double quote, the seconds rounded to whole ones or to tens.
std::string bearing_label(double bearing, bool tens)
{
    long seconds = std::lround(bearing * 3600.0);
    if (tens) seconds = (seconds + 5) / 10 * 10;
    seconds %= 360 * 3600;
    char text[40];
    std::snprintf(text, sizeof text, "%ld%%%%d%02ld'%02ld\"", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::string fixed3(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

class Radiation : public RouteCurve {
protected:
    // The curve worked by hand, its table at (1100, 1000), drawn at scale 1:500.
    void draw_hand_curve()
    {
        run("TCURVE\n" + pick_ip(1000, 1000, 180, 30) + type_values(kHand) +
            "set t_scale 500\nset t_ipname HAND\npick cal_curve_btn\npick picktbl_btn\n1100,1000\nok\n");
    }
    // A point on the polyline between T1 and C1, away from their names.
    static constexpr const char* kOnCurve = "1000.037,899.481\n";
};

TEST_F(Radiation, BearingsAndDistancesFromTheStationToEveryCurvePoint)
{
    draw_hand_curve();
    const std::string out = run(std::string("TCURVERAD\n") + kOnCurve +
                                "show\nset t_scale 1000\nset t_stname S1\npick round_tg\n"
                                "pick pickstn_btn\n900,900\npick picktbl_btn\n1200,800\nok\n");
    // On first use the sizes come from the curve's settings.
    EXPECT_NE(out.find("t_scale: edit_box, label \"Plot scale 1: \", value \"500.0000\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("t_ipname: edit_box, label \"Curve IP :\", value \"HAND\", disabled"),
              std::string::npos);
    EXPECT_NE(out.find("Pick Stn point :900,900"), std::string::npos);

    const dxf_rec d = saved("radiation.dxf");
    ASSERT_EQ(d.polylines.size(), 1u);
    const std::vector<std::array<double, 2>>& points = d.polylines[0].points;
    const std::vector<std::string> names{"T1", "C1", "C2", "T2", "C3", "C4",  "C5",
                                         "C6", "C7", "T3", "C8", "C9", "C10", "T4"};
    ASSERT_EQ(points.size(), names.size());

    std::vector<const text_rec*> texts;
    for (const text_rec& t : d.texts)
        if (t.layer == "Transition_curve_tbl") texts.push_back(&t);
    // Two titles, five heads, then five texts a point.
    ASSERT_EQ(texts.size(), 2 + 5 + 5 * points.size());
    EXPECT_EQ(texts[0]->text, "CURVE IP : HAND");
    EXPECT_NEAR(texts[0]->ix, 1200, 1e-9);
    EXPECT_NEAR(texts[0]->iy, 800, 1e-9);
    EXPECT_EQ(texts[1]->text, "STN : S1 (U 900.000 T 900.000)");
    EXPECT_NEAR(texts[1]->iy, 800 - 2.6, 1e-7);
    const char* heads[] = {"NO", "BERING", "JARAK", "UTARA", "TIMUR"};
    const double starts[] = {0, 7, 19, 34, 49};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[2 + i]->text, heads[i]);
        EXPECT_NEAR(texts[2 + i]->ix, 1200 + starts[i] * 1.3, 1e-7);
        EXPECT_NEAR(texts[2 + i]->iy, 800 - 5.2, 1e-7);
    }
    // Each value right-aligned a little before its column's end: 7, 10 and 8
    // units at 1:1000.
    const double ends[] = {19 * 1.3 - 7, 34 * 1.3 - 10, 49 * 1.3 - 8, 64 * 1.3 - 8};
    for (size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const double x = points[i][0], y = points[i][1];
        const double bearing = std::fmod(std::atan2(x - 900, y - 900) * 180 / M_PI + 360, 360);
        const std::string expected[] = {names[i], bearing_label(bearing, true),
                                        fixed3(std::hypot(x - 900, y - 900)), fixed3(y), fixed3(x)};
        const double row_y = 800 - 5.2 - 2.6 * static_cast<double>(i + 1);
        for (int k = 0; k < 5; ++k) {
            const text_rec& t = *texts[7 + 5 * i + static_cast<size_t>(k)];
            EXPECT_EQ(t.text, expected[k]);
            EXPECT_EQ(t.halign, k == 0 ? 0 : 2);
            EXPECT_NEAR(k == 0 ? t.ix : t.ax, 1200 + (k == 0 ? 0 : ends[k - 1]), 1e-7);
            EXPECT_NEAR(k == 0 ? t.iy : t.ay, row_y, 1e-7);
        }
    }
    // Its settings, on the table's layer.
    EXPECT_EQ(queries::stored_setting(drawing(), "TCURVE_RAD"), "Transition_curve_tbl");
    EXPECT_EQ(d.layer_data.at("Transition_curve_tbl TCURVE_RAD"),
              "1000.000,90.000000,1.300,1.000,1200.000,800.000,S1,1,");
}

TEST_F(Radiation, WhatIsNoCurveOfTheCommandIsRefused)
{
    draw_hand_curve();
    ads_point a = {0, 0, 0}, b = {50, 0, 0};
    ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0)));
    ASSERT_TRUE(test_make_lwpolyline("0", 0, std::vector<point3d_rec>{{0, 100, 0}, {50, 100, 0}}));
    // A polyline whose curve data counts another number of points.
    acdbRegApp("TCURVE");
    ads_point p[4] = {{0, 200, 0}, {10, 200, 0}, {20, 200, 0}, {30, 200, 0}};
    ASSERT_TRUE(
        test_make(acutBuildList(RTDXF0, "LWPOLYLINE", 8, "0", 90, 4, 70, 0, 10, p[0], 10, p[1], 10, p[2], 10,
                                p[3], -3, 1001, "TCURVE", 1000, "5,T1,2,T2,1,T3,1,T4,BAD", 0)));
    ads_point q[3] = {{0, 300, 0}, {10, 300, 0}, {20, 300, 0}};
    ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "LWPOLYLINE", 8, "0", 90, 3, 70, 0, 10, q[0], 10, q[1], 10,
                                        q[2], -3, 1001, "TCURVE", 1000, "3,T1,x,T2,1,T3,1,T4,BAD", 0)));
    const size_t before = drawing().model.size();
    const std::string out =
        run("TCURVERAD\n25,0\nTCURVERAD\n25,100\nTCURVERAD\n15,200\nTCURVERAD\n15,300\nTCURVERAD\n-500,-500\n"
            // Another object chosen in the dialog: refused, the curve stays.
            "TCURVERAD\n" +
            std::string(kOnCurve) + "pick selobj_btn\n25,0\nshow\ncancel\n");
    size_t from = 0;
    for (const char* said : {"** Alert: Not LWPOLYLINE", "** Alert: Invalid Curve", "** Alert: Invalid Curve",
                             "** Alert: Invalid Curve", "Nothing selected.", "** Alert: Not LWPOLYLINE",
                             "t_ipname: edit_box, label \"Curve IP :\", value \"HAND\""}) {
        const size_t at = out.find(said, from);
        EXPECT_NE(at, std::string::npos) << said << "\n" << out;
        if (at != std::string::npos) from = at + 1;
    }
    EXPECT_EQ(drawing().model.size(), before);
    // Only the settings' default is made on first use.
    EXPECT_EQ(queries::stored_setting(drawing(), "TCURVE_RAD"), "Transition_curve_tbl");
    EXPECT_EQ(drawing().find_record("LAYER", "Transition_curve_tbl"), 0);
}

// Pictures of a curve with its setting-out table and a radiation table, for
// a person to look at (build/test-home/Radiation.PicturesOfACurveAndItsTables):
// the whole, and the tables close up.
TEST_F(Radiation, PicturesOfACurveAndItsTables)
{
    run("TCURVE\n" + pick_ip(1000, 1000, 180, 30) + type_values(kHand) +
        "set t_ipname HAND\npick cal_curve_btn\npick picktbl_btn\n1060,1000\nok\n");
    run(std::string("TCURVERAD\n") + kOnCurve +
        "pick pickstn_btn\n1040,960\npick picktbl_btn\n1160,1000\nok\n");
    for (const char* window : {"990,880 1260,1105", "1055,890 1255,1005"}) {
        const std::string png =
            file(std::string("route-curve-") + (window[1] == '9' ? "whole" : "tables") + ".png");
        const std::string out = run("PICTURE " + png + " " + window + "\n");
        EXPECT_NE(out.find("Picture written"), std::string::npos) << out;
        EXPECT_GT(std::filesystem::file_size(png), 20000u);
    }
}

}  // namespace
}  // namespace curve_test
