// Plotting a traverse through the host as a user does it: b_trav opens the
// square lot of samples/lot.trv, "S" shows the plot dialog, and its answers
// decide what goes into the drawing.
//
// The lot, worked by hand (x = east, y = north, bearing clockwise from north):
//   1 (1000, 2000) fixed
//   1 -> 2  90d00'00"  100.000   2 = (1100, 2000)
//   2 -> 3 180d00'00"  100.000   3 = (1100, 1900)
//   3 -> 4 270d01'02"  100.000   4 = (1100 + 100 sin 270.017222d, 1900 + 100 cos 270.017222d)
//                                  = (1000.0000045, 1900.0300584)
//   4 -> 1   0d00'00"   99.970   computed 1 = (1000.0000045, 2000.0000584)
// so the route misses station 1 by 5.86e-5, about 1 in 6.82 million.
#include "trav_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host_fixture.h"
#include "trav_model.h"
#include "trav_settings.h"

namespace {

struct plotted_text {
    std::string text;
    host::Point3 at;
    double height = 0;
    double rotation = 0;
};

class TravPlot : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        trav_settings_defaults();
        trav_current() = trav_lists{};
        drawing().prefix = home() + "/";
        drawing().name = "lot.dwg";
        std::filesystem::copy_file(std::string(ORVIK_SOURCE_DIR) + "/samples/lot.trv", home() + "/lot.trv",
                                   std::filesystem::copy_options::overwrite_existing);
    }

    // Opens the lot, plots it with the dialog lines given and leaves b_trav.
    std::string plot(const std::string& dialog_lines)
    {
        return run("(b_trav)\nO\nlot.trv\nS\n" + dialog_lines + "X\n");
    }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer)
    {
        std::vector<const host::Entity*> out;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased && e->type == type && e->layer() == layer) out.push_back(e);
        }
        return out;
    }

    std::vector<plotted_text> texts(const std::string& layer)
    {
        std::vector<plotted_text> out;
        for (const host::Entity* e : live("TEXT", layer))
            out.push_back({e->text(1), e->point(10), e->real(40), e->real(50)});
        return out;
    }

    std::vector<host::Point3> lwpoly_vertices(const host::Entity& e)
    {
        std::vector<host::Point3> out;
        for (const host::Group& g : e.groups)
            if (g.code == 10) out.push_back(g.point);
        return out;
    }
};

struct xy {
    double x, y;
};

const xy lot_points[] = {
    {1000, 2000}, {1100, 2000}, {1100, 1900}, {1000.0000045, 1900.0300584}, {1000.0000045, 2000.0000584}};

TEST_F(TravPlot, DefaultPlotDrawsRouteStationsAndLabels)
{
    const std::string shown = plot("pick yes\n");
    EXPECT_NE(shown.find("Dialog trav_save_dlg>"), std::string::npos);
    EXPECT_NE(shown.find("\n*****************NOT ADJUST*******************"), std::string::npos);
    EXPECT_NE(shown.find("\n********FALSE*************"), std::string::npos);

    // One polyline on the traverse-line layer through the computed points.
    const auto lines = live("LWPOLYLINE", "LotLine");
    ASSERT_EQ(lines.size(), 1u);
    const auto vertices = lwpoly_vertices(*lines[0]);
    ASSERT_EQ(vertices.size(), 5u);
    for (size_t i = 0; i < vertices.size(); ++i) {
        EXPECT_NEAR(vertices[i].x, lot_points[i].x, 1e-6) << i;
        EXPECT_NEAR(vertices[i].y, lot_points[i].y, 1e-6) << i;
    }

    // Station numbers: 1 at the start of the route and each to-station, flat,
    // 1.3 x 1000 x 0.001 high.
    const auto stations = texts("LotStn");
    const struct {
        const char* number;
        xy at;
    } expected_stations[] = {{"2", lot_points[1]},
                             {"1", lot_points[0]},
                             {"3", lot_points[2]},
                             {"4", lot_points[3]},
                             {"1", lot_points[4]}};
    ASSERT_EQ(stations.size(), std::size(expected_stations));
    for (size_t i = 0; i < stations.size(); ++i) {
        EXPECT_EQ(stations[i].text, expected_stations[i].number) << i;
        EXPECT_NEAR(stations[i].at.x, expected_stations[i].at.x, 1e-6) << i;
        EXPECT_NEAR(stations[i].at.y, expected_stations[i].at.y, 1e-6) << i;
        EXPECT_DOUBLE_EQ(stations[i].height, 1.3) << i;
        EXPECT_NEAR(stations[i].rotation, 0.0, 1e-12) << i;
    }

    // Bearing and distance of every leg, one text each from the label engine,
    // along the leg and turned to read from below or the right (to within a
    // fraction of a second: the engine turns the text by its own angle).
    const auto labels = texts("LotBgd");
    const struct {
        const char* text;
        double rotation;
    } expected_labels[] = {{"90%%d00'00\" 100.000", 0.0},
                           {"180%%d00'00\" 100.000", M_PI / 2},
                           {"270%%d01'02\" 100.000", 2 * M_PI - (1 / 60.0 + 2 / 3600.0) * M_PI / 180},
                           {"0%%d00'00\" 99.970", M_PI / 2}};
    ASSERT_EQ(labels.size(), std::size(expected_labels));
    for (size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(labels[i].text, expected_labels[i].text) << i;
        EXPECT_NEAR(labels[i].rotation, expected_labels[i].rotation, 1e-6) << i;
    }
}

TEST_F(TravPlot, CancelDrawsNothingAndKeepsTheValues)
{
    plot("set t_PlotScale 500\ncancel\n");
    EXPECT_TRUE(live("LWPOLYLINE", "LotLine").empty());
    EXPECT_TRUE(texts("LotStn").empty());
    const std::string again = plot("show\ncancel\n");
    EXPECT_NE(again.find("value \"1000.000\""), std::string::npos);
}

TEST_F(TravPlot, AutomaticLayerNamesAndScaledStationTexts)
{
    // A traverse-line layer drags the other two with it; a bad name is refused.
    const std::string shown = plot(
        "set t_LayerTravLine Bound\nset t_LayerTravLine bad*name\n"
        "set t_PlotScale 500\nset t_PlotScale abc\npick tg_PlotBgd\nshow\npick yes\n");
    EXPECT_NE(shown.find("t_LayerStn: edit_box, label \"Station layer :\", value \"Bound-stn\""),
              std::string::npos);
    EXPECT_NE(
        shown.find("t_LayerBgd: edit_box, label \"Bearing-distance layer :\", value \"Bound-bgd\", disabled"),
        std::string::npos);
    EXPECT_EQ(live("LWPOLYLINE", "Bound").size(), 1u);
    const auto stations = texts("Bound-stn");
    ASSERT_EQ(stations.size(), 5u);
    EXPECT_DOUBLE_EQ(stations[0].height, 1.3 * 500 * 0.001);
    // Labels switched off: no bearing or distance text anywhere.
    EXPECT_TRUE(texts("Bound-bgd").empty());
    EXPECT_TRUE(texts("LotBgd").empty());
}

TEST_F(TravPlot, AdjustedPlotClosesOnTheFixedStation)
{
    const std::string shown = plot("pick tg_Adjust\npick yes\n");
    EXPECT_NE(shown.find("\n*************ADJUSTED****************"), std::string::npos);
    const auto lines = live("LWPOLYLINE", "LotLine");
    ASSERT_EQ(lines.size(), 1u);
    const auto vertices = lwpoly_vertices(*lines[0]);
    ASSERT_EQ(vertices.size(), 5u);
    EXPECT_NEAR(vertices.back().x, 1000.0, 1e-9);
    EXPECT_NEAR(vertices.back().y, 2000.0, 1e-9);
}

TEST_F(TravPlot, TableRulesPositionPickAndAccuracyList)
{
    const std::string shown = plot(
        "show\npick tg_PlotTable\npick p_Table\n1200.5,2100.25\nshow\n"
        "pick rad\npick tg_PlotRadLine\nshow\npick yes\ncancel\n");
    // Closed: the table tiles are off and the route's accuracy is listed.
    EXPECT_NE(shown.find("p_Table: button, label \"Pick table position <\", disabled"), std::string::npos);
    EXPECT_NE(shown.find("      0: 6823814"), std::string::npos);
    EXPECT_NE(shown.find("Tikai 1: 6823814"), std::string::npos);
    // Table on: the pick prompt, then the dialog again with the position.
    EXPECT_NE(shown.find("\nPick Table Position :"), std::string::npos);
    EXPECT_NE(shown.find("t_X: edit_box, label \"Table X :\", value \"1200.500\", enabled"),
              std::string::npos);
    EXPECT_NE(shown.find("t_Y: edit_box, label \"Table Y :\", value \"2100.250\", enabled"),
              std::string::npos);
    // The radiation dialog: its line layer follows its toggle; "yes" keeps it.
    EXPECT_NE(shown.find("Dialog travrad_save_dlg>"), std::string::npos);
    EXPECT_NE(shown.find("t_LayerRadLine: edit_box, label \"Line layer :\", value \"RadLine\", disabled"),
              std::string::npos);
    EXPECT_TRUE(live("LWPOLYLINE", "LotLine").empty());
    // Shown again: the radiation value was kept, the cancelled traverse values were not.
    const std::string again = run("(b_trav)\nO\nlot.trv\nS\nshow\npick rad\nshow\ncancel\ncancel\nX\n");
    EXPECT_NE(again.find("t_X: edit_box, label \"Table X :\", value \"0.000\", disabled"), std::string::npos);
    EXPECT_NE(again.find("tg_PlotRadLine: toggle, label \"Plot lines\", value \"0\""), std::string::npos);
}

// The lot with a radiation from station 2: bearing 30d, 20 m, level 12.345,
// so station 10 = (1100 + 20 sin 30d, 2000 + 20 cos 30d) = (1110, 2017.3205081).
// With the table on and a short distance of 150 every leg and the radiation
// become numbered rows 1..5 at the picked table position instead of labels.
TEST_F(TravPlot, TableRowsAndRadiations)
{
    std::filesystem::copy_file(home() + "/lot.trv", home() + "/rad.trv");
    std::ofstream(home() + "/rad.trv", std::ios::app) << "R,2,10,30.0000,20.000,12.345,METER,\n";
    run("(b_trav)\nO\nrad.trv\nS\npick tg_PlotTable\nset t_MaxShortDist 150\npick p_Table\n1200.5,2100.25\n"
        "pick yes\nX\n");
    EXPECT_TRUE(texts("LotBgd").empty());
    std::vector<std::string> at_table;
    for (const plotted_text& t : texts("table"))
        if (t.at.x > 1190) at_table.push_back(t.text);
    const std::vector<std::string> rows = {"1", "90%%d00'00\"",  "100.000", "2", "180%%d00'00\"", "100.000",
                                           "3", "270%%d01'02\"", "100.000", "4", "0%%d00'00\"",   "99.970",
                                           "5", "30%%d00'00\"",  "20.000"};
    EXPECT_EQ(at_table, rows);
    // The row number is right-justified at the picked point and reads
    // horizontally in this default drawing.
    const host::Entity& first_row = *live("TEXT", "table")[1];
    EXPECT_DOUBLE_EQ(first_row.point(11).x, 1200.5);
    EXPECT_DOUBLE_EQ(first_row.point(11).y, 2100.25);
    EXPECT_DOUBLE_EQ(first_row.real(50), 0.0);

    const auto lines = live("LINE", "RadLine");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0]->point(10).x, 1100.0, 1e-6);
    EXPECT_NEAR(lines[0]->point(10).y, 2000.0, 1e-6);
    EXPECT_NEAR(lines[0]->point(11).x, 1110.0, 1e-6);
    EXPECT_NEAR(lines[0]->point(11).y, 2017.3205081, 1e-6);
    const auto points = live("POINT", "RadPoint");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_NEAR(points[0]->point(10).y, 2017.3205081, 1e-6);
    const auto number = texts("RadPointNum");
    ASSERT_EQ(number.size(), 1u);
    EXPECT_EQ(number[0].text, "10");
    EXPECT_NEAR(number[0].at.x, 1110.0, 1e-6);
    const auto level = texts("RadLevel");
    ASSERT_EQ(level.size(), 1u);
    EXPECT_EQ(level[0].text, "12.345");
    EXPECT_DOUBLE_EQ(level[0].height, 1.3);
}

// Engineering style (labels off, table with coordinates): a first row with
// station 1's northing and easting, then one row a leg with both station
// numbers, bearing, distance and the to-station's northing and easting as
// worked out at the top (4 = N 1900.030 E 1000.000).
TEST_F(TravPlot, EngineeringTableRowsCarryStationsAndCoordinates)
{
    plot(
        "pick tg_PlotBgd\npick tg_PlotTable\npick tg_PlotCoord\npick tg_EngStyle\npick p_Table\n"
        "1200,2100\npick yes\n");
    std::vector<std::string> table;
    for (const plotted_text& t : texts("table")) table.push_back(t.text);
    const std::vector<std::string> rows = {
        "1", "2000.000", "1000.000",                                           // station 1
        "1", "2",        "90%%d00'00\"",  "100.000", "2000.000", "1100.000",   // 1 -> 2
        "2", "3",        "180%%d00'00\"", "100.000", "1900.000", "1100.000",   // 2 -> 3
        "3", "4",        "270%%d01'02\"", "100.000", "1900.030", "1000.000",   // 3 -> 4
        "4", "1",        "0%%d00'00\"",   "99.970",  "2000.000", "1000.000"};  // 4 -> 1
    EXPECT_EQ(table, rows);
    EXPECT_EQ(texts("LotStn").size(), 5u);
}

}  // namespace
