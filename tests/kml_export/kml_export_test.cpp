// The KML export through the host the way a caller reaches it: a command that
// runs kml_export_command (here the script command "KMLEXPORT"), its dialog,
// the picked paths and the selected lines and polylines. The files are read
// back by xmllint (well-formed XML) and GDAL's ogrinfo (every placemark with
// its geometry), and their longitudes and latitudes are compared with PROJ:
//   "Cassini-Soldner Geocentric", Johor: the inverse of EPSG:3377 (GDM2000 /
//     Johor Grid) followed by a pipeline of the converter's own GDM2000 to
//     WGS84 parameters (coordinate-frame form, exact rotation, 0.24859 ppm):
//     agreement below 1 mm; and EPSG:3377 to EPSG:4326 as PROJ has it (no
//     shift between the two datums): within 2.5 m (measured 1.7 m here);
//   "MRSO(Old)": the inverse of EPSG:24571 in metres (Kertau / R.S.O. Malaya)
//     followed by the converter's own MRT48 to WGS84 parameters: below 1 mm.
#include "kml_export.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "entity_makers.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "proj_oracle.h"
#include "small_disk.h"
#include "test_entities.h"

namespace {

struct placemark {
    std::string name;
    std::string kind;  // LINESTRING or POLYGON
    std::vector<std::array<double, 2>> points;
};

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The placemarks as ogrinfo lists them: name and geometry of every feature.
std::vector<placemark> ogr_placemarks(const std::string& file)
{
    std::string output;
    EXPECT_EQ(outside::run_tool("ogrinfo -ro -al '" + file + "'", output), 0) << output;
    std::vector<placemark> out;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("OGRFeature(", 0) == 0) out.emplace_back();
        if (out.empty()) continue;
        const size_t name = line.find("Name (String) = ");
        if (name != std::string::npos) out.back().name = line.substr(name + 16);
        for (const char* kind : {"LINESTRING", "POLYGON"}) {
            const size_t at = line.find(std::string("  ") + kind);
            if (at != 0) continue;
            out.back().kind = kind;
            std::string numbers = line.substr(line.find('('));
            for (char& c : numbers)
                if (c == '(' || c == ')' || c == ',') c = ' ';
            std::istringstream values(numbers);
            double lon, lat, z;
            while (values >> lon >> lat >> z) out.back().points.push_back({lon, lat});
        }
    }
    return out;
}

// The vertex lines of the file ("\t\t\t\t<lon>,<lat>,0"), in order.
std::vector<std::array<double, 2>> file_vertices(const std::string& text)
{
    std::vector<std::array<double, 2>> out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        double lon, lat;
        char end[8];
        if (line.rfind("\t\t\t\t", 0) == 0 && std::sscanf(line.c_str(), " %lf,%lf,%7s", &lon, &lat, end) == 3)
            out.push_back({lon, lat});
    }
    return out;
}

std::string arcseconds(double radians)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.12f", radians * 206264.80624709636);
    return text;
}

const std::string kJohorGrid =
    "+proj=cass +lat_0=2.12167974444444 +lon_0=103.427936236111 +x_0=-14810.562 +y_0=8758.32 +ellps=GRS80";

std::string johor_grid_to_wgs84_pipeline()
{
    return "+proj=pipeline +step +inv " + kJohorGrid +
           " +step +proj=cart +ellps=GRS80"
           " +step +proj=helmert +exact +convention=coordinate_frame +x=1.69276 +y=-1.92994 +z=2.07108 +rx=" +
           arcseconds(1.70412008910002e-07) + " +ry=" + arcseconds(-1.38559750061105e-07) +
           " +rz=" + arcseconds(-2.99130041244584e-08) +
           " +s=0.24859 +step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg";
}

std::string old_rso_to_wgs84_pipeline()
{
    return "+proj=pipeline +step +inv +proj=omerc +no_uoff +lat_0=4 +lonc=102.25 +alpha=323.0257905 "
           "+gamma=323.130102361111 +k=0.99984 +x_0=804671.299775035 +y_0=0 +a=6377304.063 +rf=300.8017"
           " +step +proj=cart +a=6377304.063 +rf=300.8017"
           " +step +proj=helmert +x=-379.77603 +y=775.38371 +z=-86.60926"
           " +step +proj=helmert +exact +convention=position_vector +rx=" +
           arcseconds(1.25893507828438e-05) + " +ry=" + arcseconds(1.01914138347079e-05) +
           " +rz=" + arcseconds(-5.87292142581426e-05) +
           " +step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg";
}

class KmlExport : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        session().register_script_command("KMLEXPORT", [](const std::string&) { kml_export_command(); });
        kml_settings() = kml_settings_rec{};
    }

    std::string file(const std::string& name) const { return home() + "/" + name; }

    void line(double x1, double y1, double x2, double y2)
    {
        ads_point a = {x1, y1, 0}, b = {x2, y2, 0};
        ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "LINE", 8, "LOT", 10, a, 11, b, 0)));
    }
    void lwpolyline(int flags, const std::vector<point3d_rec>& points)
    {
        ASSERT_TRUE(test_make_lwpolyline("LOT", flags, points));
    }
    void polyline(const std::vector<point3d_rec>& points)
    {
        ASSERT_EQ(polyline2d_make(0, {}, "LOT"), 1);
        for (const point3d_rec& p : points) ASSERT_EQ(polyline2d_make(1, p, "LOT"), 1);
        ASSERT_EQ(polyline2d_make(2, {}, "LOT"), 1);
    }

    // xmllint finds the file well-formed.
    void expect_well_formed(const std::string& path)
    {
        std::string output;
        EXPECT_EQ(outside::run_tool("xmllint --noout '" + path + "'", output), 0) << output;
    }

    // The largest distance in metres between the file's vertices and the reference points.
    static double worst_gap(const std::vector<std::array<double, 2>>& got, const std::vector<proj::xy>& want)
    {
        EXPECT_EQ(got.size(), want.size());
        double worst = 0;
        for (size_t i = 0; i < got.size() && i < want.size(); ++i)
            worst = std::max(worst, std::hypot(proj::lon_metres(got[i][0] - want[i][0], want[i][1]),
                                               (got[i][1] - want[i][1]) * proj::metres_per_degree));
        return worst;
    }
};

TEST_F(KmlExport, SelectedObjectsAndPickedPathsBecomePlacemarksThatOtherProgramsRead)
{
    line(1000, 2000, 1500, 2600);
    lwpolyline(0, {{2000, 2000, 0}, {2100, 2050, 0}, {2200, 1980, 0}});
    lwpolyline(1, {{3000, 3000, 0}, {3100, 3000, 0}, {3100, 3100, 0}, {3000, 3100, 0}});
    polyline({{4000, 4000, 0}, {4050, 4100, 0}, {4100, 4000, 0}});
    ads_point centre = {0, 0, 0};
    ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "CIRCLE", 8, "LOT", 10, centre, 40, 5.0, 0)));

    const std::string kml = file("lots.kml");
    const std::string out =
        run("KMLEXPORT\n"
            "pick ok\n"
            "select pop_negeri 5\n"
            "select pop_projection 1\n"
            "pick btn_select_all\n"
            "ALL\n\n"
            "pick btn_pick_pl\n"
            "Lot 5 & <6>\n"
            "500,500\n600,500\nfoo\n600,650\nX\n"
            "pick btn_pick_pl\n"
            "\n"
            "700,700\n800,800\nX\n"
            "pick file_googlekml_btn\n" +
            kml +
            "\n"
            "ok\n");
    EXPECT_NE(out.find("disabled"), std::string::npos) << "OK waits for a file: " << out;
    EXPECT_NE(out.find("Select object :"), std::string::npos) << out;
    EXPECT_NE(out.find("Processing selected items ..."), std::string::npos) << out;
    EXPECT_NE(out.find("Path Name<Line4>:"), std::string::npos) << "the last path's name: " << out;
    // The second path's default is the last path's name; with two points it is dropped.
    EXPECT_NE(out.find("Path Name<Lot 5 & <6>>:"), std::string::npos) << out;
    EXPECT_NE(out.find("\nNegeri=Johor index=1\nFrom=Cassini-Soldner Geocentric\nTo =WGS84"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("5 path(s) written to " + kml), std::string::npos) << out;
    EXPECT_TRUE(kml_settings().paths.empty());

    expect_well_formed(kml);
    const std::vector<placemark> marks = ogr_placemarks(kml);
    ASSERT_EQ(marks.size(), 5u);
    const std::vector<std::string> names = {"Line1", "Line2", "Line4", "Lot 5 & <6>", "Line3"};
    const std::vector<std::string> kinds = {"LINESTRING", "LINESTRING", "LINESTRING", "LINESTRING",
                                            "POLYGON"};
    const std::vector<size_t> counts = {2, 3, 3, 3, 5};
    for (size_t i = 0; i < marks.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(marks[i].name, names[i]);
        EXPECT_EQ(marks[i].kind, kinds[i]);
        EXPECT_EQ(marks[i].points.size(), counts[i]);
    }

    // The drawing points in the order the file holds them.
    const std::vector<std::array<double, 3>> drawn = {
        {1000, 2000, 0}, {1500, 2600, 0},                                    // the LINE
        {2000, 2000, 0}, {2100, 2050, 0}, {2200, 1980, 0},                   // the open LWPOLYLINE
        {4000, 4000, 0}, {4050, 4100, 0}, {4100, 4000, 0},                   // the POLYLINE
        {500, 500, 0},   {600, 500, 0},   {600, 650, 0},                     // the picked path
        {3000, 3000, 0}, {3100, 3000, 0}, {3100, 3100, 0}, {3000, 3100, 0},  // the closed LWPOLYLINE,
        {3000, 3000, 0}};                                                    // its ring closed
    const std::string text = read_file(kml);
    const auto vertices = file_vertices(text);
    const auto want = proj::cct(johor_grid_to_wgs84_pipeline(), drawn);
    const double own = worst_gap(vertices, want);
    std::vector<proj::xy> flat;
    for (const auto& p : drawn) flat.push_back({p[0], p[1]});
    const double published =
        worst_gap(vertices, proj::cs2cs(kJohorGrid + " +to +proj=longlat +datum=WGS84", flat));
    EXPECT_LT(own, 0.001);
    EXPECT_LT(published, 2.5);
    std::printf("KML Johor: %.5f m from the own parameters, %.3f m from EPSG's datum\n", own, published);
    // ogrinfo reads the same numbers.
    std::vector<std::array<double, 2>> from_ogr;
    for (const placemark& m : marks) from_ogr.insert(from_ogr.end(), m.points.begin(), m.points.end());
    EXPECT_LT(worst_gap(from_ogr, want), 0.001);

    // The file's own lines: the declaration, the escaped name, longitude first
    // with twelve decimals, and the hot spot sharing its line with the end tag.
    EXPECT_EQ(
        text.rfind(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\"", 0),
        0u);
    EXPECT_NE(text.find("\t\t<name>Lot 5 &amp; &lt;6&gt;</name>\n"), std::string::npos);
    EXPECT_NE(text.find("yunits=\"pixels\"/>\t</IconStyle>\n"), std::string::npos);
    char first[64];
    std::snprintf(first, sizeof first, "\t\t\t\t%.12f,%.12f,0\n", vertices[0][0], vertices[0][1]);
    EXPECT_NE(text.find(first), std::string::npos);
    EXPECT_GT(vertices[0][0], 100.0) << "longitude first";
    EXPECT_EQ(text.substr(text.size() - 19), "</Document>\n</kml>\n");
}

TEST_F(KmlExport, ASecondExportKeepsItsChoicesButNotItsPaths)
{
    const std::string kml = file("rso.kml");
    run("KMLEXPORT\nselect pop_projection 2\npick file_googlekml_btn\n" + kml +
        "\npick btn_pick_pl\nA\n400000,300000\n401000,300500\n401500,299000\nX\nok\n");
    ASSERT_EQ(ogr_placemarks(kml).size(), 1u);

    const std::string out =
        run("KMLEXPORT\nshow\npick btn_pick_pl\nB\n450000,350000\n451000,350000\n451000,351000\n"
            "451500,352000\nX\nok\n");
    EXPECT_NE(out.find("pop_projection: popup_list, label \"Projection :\", value \"2\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("text_googlekml_filename: text, value \"" + kml + "\""), std::string::npos) << out;
    expect_well_formed(kml);
    const auto marks = ogr_placemarks(kml);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].name, "B");
    // Old RSO coordinates through the converter's MRT48 datum shift.
    const auto want =
        proj::cct(old_rso_to_wgs84_pipeline(),
                  {{450000, 350000, 0}, {451000, 350000, 0}, {451000, 351000, 0}, {451500, 352000, 0}});
    EXPECT_LT(worst_gap(file_vertices(read_file(kml)), want), 0.001);
}

TEST_F(KmlExport, AFailedConversionOrAFailedWriteLeavesTheFileAsItWas)
{
    const std::string kml = file("keep.kml");
    {
        std::ofstream(kml) << "earlier export\n";
    }
    // The second vertex lies where the RSO formulas give no number.
    std::string out = run("KMLEXPORT\nselect pop_projection 2\npick file_googlekml_btn\n" + kml +
                          "\npick btn_pick_pl\n\n400000,300000\n1e300,1e300\n401000,300000\nX\nok\n");
    EXPECT_NE(out.find("could not be converted to WGS84: no KML file was written."), std::string::npos)
        << out;
    EXPECT_EQ(out.find("written to"), std::string::npos) << out;
    EXPECT_EQ(read_file(kml), "earlier export\n");

    // A file in a folder that does not exist.
    const std::string nowhere = file("missing/folder/out.kml");
    run("KMLEXPORT\npick file_googlekml_btn\n" + nowhere + "\npick btn_pick_pl\n\n1,1\n2,2\n3,1\nX\nok\n");
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(), "File error.");
    EXPECT_TRUE(kml_settings().paths.empty());

    // Cancel writes nothing and forgets the paths.
    run("KMLEXPORT\npick file_googlekml_btn\n" + kml + "\npick btn_pick_pl\n\n1,1\n2,2\n3,1\nX\ncancel\n");
    EXPECT_EQ(read_file(kml), "earlier export\n");
    EXPECT_TRUE(kml_settings().paths.empty());
}

// A full disk: the export that does not fit leaves the earlier one whole, and
// no scratch file is left beside it.
TEST_F(KmlExport, AnExportThatDoesNotFitLeavesTheFormerFileWhole)
{
    SmallDisk disk(file("disk"));
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    const std::string kml = disk.folder() + "/keep.kml";
    {
        std::ofstream(kml) << "earlier export\n";
    }
    disk.fill();
    const std::string out =
        run("KMLEXPORT\npick file_googlekml_btn\n" + kml + "\npick btn_pick_pl\n\n1,1\n2,2\n3,1\nX\nok\n");
    EXPECT_NE(out.find(kml + " could not be written (cannot write \"" + kml +
                       "\": No space left on device): it is as it was."),
              std::string::npos)
        << out;
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(), "File error.");
    EXPECT_EQ(read_file(kml), "earlier export\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.folder()), {}),
              2);  // the file and the filler
}

TEST_F(KmlExport, ACoordinateLineReadsBack)
{
    double x, y, z;
    EXPECT_EQ(kml_coords_parse("<coordinates>101.5,3.25,0</coordinates>", x, y, z), 1);
    EXPECT_EQ(x, 101.5);
    EXPECT_EQ(y, 3.25);
    EXPECT_EQ(z, 0.0);
    EXPECT_EQ(kml_coords_parse("101.5,3.25", x, y, z), 0);
    EXPECT_EQ(x, 100.0);
    EXPECT_EQ(y, 101.0);
    EXPECT_EQ(z, 103.0);
    EXPECT_EQ(kml_xml_text("a<b>&\"c'\x01\xb2"), "a&lt;b&gt;&amp;&quot;c&apos;\xc2\xb2");
}

}  // namespace
