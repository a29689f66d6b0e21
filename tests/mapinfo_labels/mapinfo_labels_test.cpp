// The MapInfo field labels through the host the way a caller reaches them: a
// command that runs mapinfo_export_command (here the script command
// "MAPINFOLABELS") on a drawing that ezdxf wrote with "ACAD" extended data of
// KEY=VALUE texts, as a drawing from a MapInfo table carries them. Lot label
// points are compared with shapely's centroids of the same rings; boundary
// labels are the bearing-distance engine's texts, in a default drawing and in
// one set to survey angles (ANGBASE 90, ANGDIR clockwise).
#include "mapinfo_labels.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "folders_registry.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "test_entities.h"

namespace {

// Writes the drawing with ezdxf: every polyline on layer "LOT" with its
// "ACAD" texts; prints shapely's centroid of each closed ring ("x y" a line).
const char* const kWriteDrawing = R"(
import sys, json, ezdxf
from shapely.geometry import Polygon
doc = ezdxf.new('R2000')
msp = doc.modelspace()
for item in json.loads(sys.argv[2]):
    points = [tuple(p) for p in item['points']]
    attribs = {'layer': 'LOT'}
    if item.get('old'):
        e = msp.add_polyline2d(points, close=item['closed'], dxfattribs=attribs)
    else:
        e = msp.add_lwpolyline(points, close=item['closed'], dxfattribs=attribs)
    if item['texts']:
        e.set_xdata('ACAD', [(1000, t) for t in item['texts']])
    if item['closed']:
        c = Polygon(points).centroid
        print('%.12f %.12f' % (c.x, c.y))
doc.saveas(sys.argv[1])
)";

struct drawn_polyline {
    std::vector<std::pair<double, double>> points;
    std::vector<std::string> texts;
    bool closed = true;
    bool old = false;  // an old-style POLYLINE
};

std::string json_of(const std::vector<drawn_polyline>& items)
{
    std::ostringstream out;
    out.precision(17);
    out << "[";
    for (size_t i = 0; i < items.size(); ++i) {
        const drawn_polyline& item = items[i];
        out << (i ? "," : "") << "{\"closed\":" << (item.closed ? "true" : "false")
            << ",\"old\":" << (item.old ? "true" : "false") << ",\"points\":[";
        for (size_t k = 0; k < item.points.size(); ++k)
            out << (k ? "," : "") << "[" << item.points[k].first << "," << item.points[k].second << "]";
        out << "],\"texts\":[";
        for (size_t k = 0; k < item.texts.size(); ++k) out << (k ? "," : "") << "\"" << item.texts[k] << "\"";
        out << "]}";
    }
    return out.str() + "]";
}

class MapinfoLabels : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        session().register_script_command("MAPINFOLABELS",
                                          [](const std::string&) { mapinfo_export_command(); });
        mapinfo_state() = mapinfo_state_rec{};
    }

    // Writes the drawing with ezdxf and opens it; shapely's centroids of its
    // closed rings, in order.
    std::vector<std::pair<double, double>> open_drawing(const std::string& name,
                                                        const std::vector<drawn_polyline>& items)
    {
        const std::string path = home() + "/" + name;
        std::string output;
        EXPECT_EQ(outside::run_ezdxf_script(kWriteDrawing, {path, json_of(items)}, output), 0) << output;
        run("OPEN " + path + "\n");
        std::vector<std::pair<double, double>> centroids;
        std::istringstream lines(output);
        double x, y;
        while (lines >> x >> y) centroids.push_back({x, y});
        return centroids;
    }

    std::vector<const host::Entity*> texts(const std::string& layer)
    {
        return test_live_entities(drawing(), "TEXT", layer);
    }

    std::vector<std::string> stored_list()
    {
        std::vector<std::string> out;
        const host::Entity* layer = drawing().get(drawing().find_record("LAYER", "Orvik_survey_temp"));
        const host::XDataApp* app = layer ? layer->xdata_of(MAPINFO_SETTINGS_APP) : nullptr;
        if (!app) return out;
        for (const host::Group& g : app->items)
            if (g.code == 1000) out.push_back(g.text);
        return out;
    }
};

const std::vector<drawn_polyline> kLots = {
    // An L-shaped lot, counter-clockwise.
    {{{100, 100}, {160, 100}, {160, 130}, {130, 130}, {130, 160}, {100, 160}},
     {"LOT=101", "AREA=2700.4", "UNIT=M"}},
    // Clockwise, below and left of the origin, in hectares.
    {{{-50, -20}, {-50, 10}, {-10, 15}, {-5, -25}}, {"LOT=102", "AREA=1.23456", "UNIT=H"}},
    // An old-style POLYLINE in acres.
    {{{200, 0}, {260, 10}, {230, 50}}, {"LOT=103", "AREA=0.75", "UNIT=A"}, true, true},
    // No area attribute: no label.
    {{{300, 0}, {320, 0}, {320, 20}}, {"LOT=104"}},
    // An area that is no number.
    {{{400, 0}, {420, 0}, {420, 20}}, {"LOT=105", "AREA=12a"}},
    // The UNIT attribute decides, not another value that reads like a unit.
    {{{500, 0}, {520, 0}, {520, 20}}, {"AREA=5.5", "UNIT=H", "STATUS=A"}},
    // No MapInfo data at all: not selected.
    {{{600, 0}, {620, 0}, {620, 20}}, {}},
};

TEST_F(MapinfoLabels, LotAreasAreWrittenAtTheCentroidsOfTheirRings)
{
    const auto centroids = open_drawing("lots.dxf", kLots);
    ASSERT_EQ(centroids.size(), kLots.size());
    // A plot scale or height of 0 or less is put back and said so; after another
    // label type was chosen, to that type's value.
    const std::string out =
        run("MAPINFOLABELS\nselect pop_label_type 3\nselect pop_label_type 1\nset text_plotscale 0\n"
            "set text_theight -2\nshow\nset text_plotscale 500\nok\nALL\n\n");
    EXPECT_NE(out.find("error: text, value \"The value must be more than 0.\""), std::string::npos) << out;
    EXPECT_NE(out.find("text_theight: edit_box, label \"Text height :\", value \"2.000\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("text_plotscale: edit_box, label \"Plot scale 1: \", value \"1000.000\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("1 lot polyline(s) carry no AREA value and have no label."), std::string::npos) << out;
    EXPECT_NE(out.find("The AREA value \"12a\" of a lot is not a number; that lot is not labelled."),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("4 lot label(s) written."), std::string::npos) << out;

    const auto labels = texts("MI_LOT_AREA");
    ASSERT_EQ(labels.size(), 4u);
    const std::vector<std::string> want = {"2700m\xC2\xB2", "1.235Ha", "0.750Ek", "5.500Ha"};
    const std::vector<size_t> ring = {0, 1, 2, 5};
    for (size_t i = 0; i < labels.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(labels[i]->text(1), want[i]);
        EXPECT_NEAR(labels[i]->point(11).x, centroids[ring[i]].first, 1e-9);
        EXPECT_NEAR(labels[i]->point(11).y, centroids[ring[i]].second, 1e-9);
        EXPECT_EQ(labels[i]->integer(72), 4);  // middle
        EXPECT_EQ(labels[i]->layer(), "MI_LOT_AREA");
        EXPECT_NEAR(labels[i]->real(40), 1.0, 1e-12);  // 2.0 at 1:500
        EXPECT_NEAR(labels[i]->real(50), 0.0, 1e-12);
    }

    const std::vector<std::string> stored = stored_list();
    ASSERT_EQ(stored.size(), 7u + 4 * 4);
    EXPECT_EQ(std::vector<std::string>(stored.begin(), stored.begin() + 7),
              (std::vector<std::string>{"INDEX=1", "PLOT_SCALE=500", "TABLE=0", "TABLE_LINE_NUM=1",
                                        "TABLE_MAX_DIST=999", "TABLE_X=0", "TABLE_Y=0"}));
    EXPECT_EQ(stored[11], "LAYERNAME=MI_LOT_AREA");
    EXPECT_EQ(stored[12], "TEXT_HEIGHT=2.000");

    // The dialog is not shown again in this drawing: the next run selects at once.
    const std::string again = run("MAPINFOLABELS\nALL\n\n");
    EXPECT_EQ(again.find("Dialog mapinfo_label_dlg"), std::string::npos) << again;
    EXPECT_EQ(texts("MI_LOT_AREA").size(), 8u);
}

TEST_F(MapinfoLabels, SquareMetresFormatIgnoresTheUnitAndAnOpenLotStopsTheRun)
{
    std::vector<drawn_polyline> lots = {kLots[0], kLots[1], kLots[2]};
    lots.insert(lots.begin() + 1, drawn_polyline{{{0, 0}, {10, 0}, {10, 10}}, {"AREA=50"}, false});
    open_drawing("open.dxf", lots);
    const std::string out = run("MAPINFOLABELS\nselect pop_label_type 2\nok\nALL\n\n");
    ASSERT_EQ(session().transcript().alerts.size(), 1u) << out;
    EXPECT_EQ(session().transcript().alerts[0], "Technical Error Polyline not closed");
    EXPECT_NE(out.find("3 lot polyline(s) were not labelled."), std::string::npos) << out;
    const auto labels = texts("MI_LOT_AREA");
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->text(1), "2700m\xC2\xB2");
    EXPECT_NEAR(labels[0]->real(40), 2.0, 1e-12);

    // Without the open lot every area is in square metres with no decimals.
    lots.erase(lots.begin() + 1);
    open_drawing("aream.dxf", lots);
    run("MAPINFOLABELS\nselect pop_label_type 2\nok\nALL\n\n");
    std::vector<std::string> got;
    for (const host::Entity* e : texts("MI_LOT_AREA")) got.push_back(e->text(1));
    EXPECT_EQ(got, (std::vector<std::string>{"2700m\xC2\xB2", "1m\xC2\xB2", "1m\xC2\xB2"}));

    // The saved drawing holds the superscript two, as ezdxf and GDAL read it.
    const std::string saved = home() + "/aream_saved.dxf";
    run("SAVEAS " + saved + "\n");
    EXPECT_EQ(outside::ezdxf_layer_texts(saved, "MI_LOT_AREA"), "'2700m\\xb2'\n'1m\\xb2'\n'1m\\xb2'\n");
    outside::expect_ogrinfo_reads(saved);
    const std::string features = outside::ogrinfo_layer_features(saved, "MI_LOT_AREA");
    EXPECT_NE(features.find("Text (String) = 2700m\xC2\xB2"), std::string::npos) << features;
    EXPECT_NE(features.find("Text (String) = 1m\xC2\xB2"), std::string::npos) << features;
}

const std::vector<drawn_polyline> kBoundaries = {
    {{{0, 0}, {30, 30}}, {"BEARING=45.0000", "DISTANCE=42.426", "UNIT=M"}, false},
    {{{0, 0}, {0, -10}, {15, -10}}, {"LOT=1"}, false},
    {{{50, 0}, {55, 0}}, {"BEARING=400.0000", "DISTANCE=5"}, false},
    {{{100, 0}, {150, -33.4}}, {"G_BEARING=123.453", "JARAK=33.5", "UNIT=L"}, false, true},
};

TEST_F(MapinfoLabels, BoundaryLinesAreLabelledWithTheirOwnBearingsAndDistances)
{
    for (int survey = 0; survey < 2; ++survey) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        mapinfo_state() = mapinfo_state_rec{};
        open_drawing(survey ? "bdy_survey.dxf" : "bdy.dxf", kBoundaries);
        if (survey) run("(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n");
        const std::string out = run("MAPINFOLABELS\nselect pop_label_type 3\nok\nALL\n\n");
        EXPECT_NE(out.find("[func]nlw=4"), std::string::npos) << out;
        EXPECT_NE(out.find("The bearing \"400.0000\" of a boundary line is no D.MMSS bearing"),
                  std::string::npos)
            << out;
        EXPECT_NE(
            out.find("2 boundary line(s) labelled with their own bearing and distance, 3 leg(s) as drawn."),
            std::string::npos)
            << out;
        std::vector<std::string> got;
        for (const host::Entity* e : texts("MI_BGD")) got.push_back(e->text(1));
        EXPECT_EQ(got,
                  (std::vector<std::string>{"45%%d00'00\" 42.426", "180%%d00'00\"", "10.000", "90%%d00'00\"",
                                            "15.000", "90%%d00'00\"", "5.000", "123%%d45'30\" 33.500L"}));
        // The first label reads along its leg, whatever the angle settings.
        const auto labels = texts("MI_BGD");
        ASSERT_FALSE(labels.empty());
        EXPECT_NEAR(labels[0]->real(50), 3.14159265358979 / 4, 1e-9);
        EXPECT_NEAR(labels[0]->real(40), 1.3, 1e-12);
    }
}

TEST_F(MapinfoLabels, ShortBoundaryLegsGoIntoTheTableWhichGoesOnAtTheNextRun)
{
    for (int survey = 0; survey < 2; ++survey) {
        SCOPED_TRACE(survey ? "survey angles" : "default angles");
        mapinfo_state() = mapinfo_state_rec{};
        open_drawing(survey ? "table_survey.dxf" : "table.dxf", kBoundaries);
        if (survey) run("(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n");
        const std::string out = run(
            "MAPINFOLABELS\nselect pop_label_type 3\npick tg_table_bgd\nset text_max 20\nset text_linenum 7\n"
            "pick btn_pickxy\n500,500\nok\nALL\n\n");
        // Legs of 10, 15 and 5 go into rows 7, 8 and 9; the long ones are labelled.
        std::vector<std::string> labels;
        for (const host::Entity* e : texts("MI_BGD")) labels.push_back(e->text(1));
        EXPECT_EQ(labels, (std::vector<std::string>{"45%%d00'00\" 42.426", "123%%d45'30\" 33.500L"})) << out;
        const auto table = texts("table");
        std::vector<std::string> rows;
        for (const host::Entity* e : table) {
            rows.push_back(e->text(1));
            EXPECT_NEAR(e->real(50), 0.0, 1e-9) << e->text(1) << " reads horizontally";
        }
        EXPECT_EQ(rows,
                  (std::vector<std::string>{"7", "7", "180%%d00'00\"", "10.000", "8", "8", "90%%d00'00\"",
                                            "15.000", "9", "9", "90%%d00'00\"", "5.000"}));
        const std::vector<std::string> stored = stored_list();
        ASSERT_GE(stored.size(), 7u);
        EXPECT_EQ(stored[2], "TABLE=1");
        EXPECT_EQ(stored[3], "TABLE_LINE_NUM=10");
        EXPECT_EQ(stored[4], "TABLE_MAX_DIST=20");
        EXPECT_EQ(stored[5], "TABLE_X=500");
        EXPECT_EQ(stored[6], "TABLE_Y=492");  // three rows of 2 x 1.3 below 500
    }
}

TEST_F(MapinfoLabels, StoredSettingsAreReadBackByPosition)
{
    mapinfo_state_rec state;
    state.fields = {{1, "LOT", "a", "LOT", "TEXT", "L1", 2.5, 1.0, 90.0},
                    {1, "AREA", "b", "LOT", "AREA", "L2", 2.0, 1.0, 90.0}};
    // The index selects the third record, where a count would stop the reading
    // after three entries; the second record's group is cut short.
    std::vector<key_string_rec> list;
    for (const char* text :
         {"INDEX=1", "PLOT_SCALE=250", "TABLE=1", "TABLE_LINE_NUM=4", "TABLE_MAX_DIST=30", "TABLE_X=10",
          "TABLE_Y=20", "LAYERNAME=NEW1", "TEXT_HEIGHT=3.000", "TEXT_WIDTH=0.800", "TEXT_ROTATION=45.000",
          "LAYERNAME=NEW2", "TEXT_HEIGHT=9.000"})
        key_string_push(list, 0, text);
    mapinfo_settings_parse(list, state);
    EXPECT_EQ(state.settings.index, 1);
    EXPECT_EQ(state.settings.plot_scale, 250.0);
    EXPECT_EQ(state.settings.table, 1);
    EXPECT_EQ(state.settings.table_line_num, 4);
    EXPECT_EQ(state.settings.table_max_dist, 30);
    EXPECT_EQ(state.settings.table_pos.x, 10.0);
    EXPECT_EQ(state.settings.table_pos.y, 20.0);
    EXPECT_EQ(state.fields[0].layer, "NEW1");
    EXPECT_EQ(state.fields[0].text_height, 3.0);
    EXPECT_EQ(state.fields[0].text_width, 0.8);
    EXPECT_EQ(state.fields[0].text_rotation, 45.0);
    EXPECT_EQ(state.fields[1].layer, "L2");
    EXPECT_EQ(state.fields[1].text_height, 2.0);

    // The written list reads back the same.
    mapinfo_state_rec copy = state;
    mapinfo_settings_parse(mapinfo_settings_list(state), copy);
    EXPECT_EQ(copy.settings.index, 1);
    EXPECT_EQ(copy.fields[1].layer, "L2");
}

TEST_F(MapinfoLabels, FieldFileLinesAndAMissingFieldFile)
{
    const std::string path = home() + "/fields.txt";
    {
        std::ofstream(path, std::ios::binary) << "# comment\r\n1,LOT,Lot,LOT,TEXT,L1,2.5,1.0,90.0\r\n\r\n2, "
                                                 "AREA,\tArea,LOT\r\n3,K,N,BDY,X,L,h,1,2\n";
    }
    std::vector<mapinfo_field_rec> fields;
    ASSERT_TRUE(mapinfo_fields_read(path, fields));
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].layer, "L1");
    EXPECT_EQ(fields[0].text_rotation, 90.0);
    EXPECT_EQ(fields[1].name, "");  // the empty line is a record of empty texts
    EXPECT_EQ(fields[1].code, 0);
    EXPECT_EQ(fields[2].key, "AREA");
    EXPECT_EQ(fields[2].name, "Area");
    EXPECT_EQ(fields[2].kind, "LOT");
    EXPECT_EQ(fields[2].layer, "");
    const std::string& text = session().transcript().text();
    EXPECT_NE(text.find("Line 4 of " + path + " has 4 of its 9 columns"), std::string::npos) << text;
    EXPECT_NE(text.find("Line 5 of " + path + ": column 7 \"h\" is not a number"), std::string::npos) << text;

    // An installation folder without the field file.
    const app_folder_rec kept = app_folders;
    app_folders.install_folder = home();
    app_folders.loaded = 1;
    EXPECT_EQ(mapinfo_export_command(), 0);
    app_folders = kept;
    ASSERT_EQ(session().transcript().alerts.size(), 1u);
    EXPECT_EQ(session().transcript().alerts[0],
              "File not found.\n" + home() + "\\cfg\\mapinfo_dwg_field.txt");
}

TEST_F(MapinfoLabels, TheDataOfSelectedObjectsCanBeListed)
{
    open_drawing("list.dxf", {kLots[0], kLots[6]});
    session().register_script_command("MAPINFOLIST", [](const std::string&) { mapinfo_xdata_list_print(); });
    const std::string out = run("MAPINFOLIST\nALL\n\n");
    EXPECT_NE(out.find("\nLOT=101\nAREA=2700.4\nUNIT=M"), std::string::npos) << out;
}

}  // namespace
