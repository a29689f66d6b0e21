// b_rad_print_listing through the host as a user runs it: radiation points
// numbered by b_rad_create_pnt around a station, the listing dialog (station,
// table position, points, file), the table's texts, and the ASCII file read
// back by Python's csv module. Bearings and distances are worked here from the
// coordinates with atan2 and a whole-second D-M-S of our own.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "lot_tools_fixture.h"
#include "small_disk.h"

namespace {

struct RadPoint {
    int number;
    double x, y;
};

// The station (1000, 2000) and points in every quadrant and on two axes, made
// in an order that is not the numbers'.
const std::vector<RadPoint> kPoints = {{105, 975, 1975},          {101, 1030, 2040}, {103, 1040, 1970},
                                       {102, 987.6544, 2007.891}, {104, 1000, 2050}, {106, 1100, 2000},
                                       {107, 1012.25, 1990.5}};

// Whole-circle bearing as degrees%%dMM'SS" (seconds rounded to whole, or to
// tens), worked independently of the product's angle code.
std::string dms(double dx, double dy, bool tens)
{
    double b = std::atan2(dx, dy) * 180 / M_PI;
    if (b < 0) b += 360;
    long seconds = std::lround(b * 3600);
    if (tens) seconds = std::lround(b * 360) * 10;
    char out[40];
    std::snprintf(out, sizeof out, "%ld%%%%d%02ld'%02ld\"", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return out;
}

std::string fixed(double v, int decimals)
{
    char out[64];
    std::snprintf(out, sizeof out, "%.*f", decimals, v);
    return out;
}

// The table's places are walked along its rotation with the product's pi to
// ten decimals: they stray by a few 1e-9 from the places worked here.
constexpr double kPlace = 1e-7;

class RadListing : public LotToolsTest {
protected:
    void numbered_points()
    {
        for (const RadPoint& p : kPoints)
            run("(b_rad_create_pnt)\nset startnumber_text " + std::to_string(p.number) +
                "\npick new_radiate_tg\npick pick_pnt_btn\n" + fixed(p.x, 4) + "," + fixed(p.y, 4) +
                "\nX\npick save_btn\n");
    }
    // The TEXTs on the table layer, by their alignment point.
    std::vector<const host::Entity*> table() { return live("TEXT", "RAD_LISTING_TBL"); }
    std::string read(const std::string& path)
    {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(RadListing, TableRowsAndFileForAStationWithPointsInEveryQuadrant)
{
    for (const char* setup : {"", "(setvar \"ANGBASE\" (/ 3.14159265358979 2))\n(setvar \"ANGDIR\" 1)\n"}) {
        SCOPED_TRACE(*setup ? "survey angles" : "default angles");
        if (*setup) {
            run("NEW\n");
            drawing().name = "RadListingSurvey.dwg";
        }
        run(setup);
        numbered_points();
        const std::string file = home() + (*setup ? "/survey.txt" : "/listing.txt");
        const std::string out =
            run("(b_rad_print_listing)\npick stn_btn\n1000,2000\npick picktbl_btn\n500,500\n"
                "pick select_obj_btn\nALL\n\nset stn_text 7\npick createfile_tg\npick file_btn\n" +
                file + "\nset txtDecimalText 2\nshow\nok\n");
        EXPECT_NE(out.find("selobj_text: text, value \"7 object selected\""), std::string::npos) << out;
        EXPECT_NE(out.find("stnxy_text: text, value \"1000.000,2000.000\""), std::string::npos) << out;

        // Title, header and one row per point in number order, 2 x 1.3 apart.
        const auto texts = table();
        ASSERT_EQ(texts.size(), 1u + 5u + 5 * kPoints.size()) << out;
        EXPECT_EQ(texts[0]->text(1), "STN : 7 (U 2000.000 T 1000.000)");
        EXPECT_NEAR(texts[0]->point(10).x, 500, 1e-9);
        EXPECT_NEAR(texts[0]->point(10).y, 500, 1e-9);
        const char* header[] = {"NO", "BERING", "JARAK", "UTARA", "TIMUR"};
        const double header_x[] = {0, 9.1, 24.7, 44.2, 63.7};  // 7, 12, 15, 15 text widths of 1.3
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(texts[1 + i]->text(1), header[i]);
            EXPECT_NEAR(texts[1 + i]->point(10).x, 500 + header_x[i], kPlace);
            EXPECT_NEAR(texts[1 + i]->point(10).y, 500 - 2.6, kPlace);
        }
        std::vector<RadPoint> sorted = kPoints;
        std::sort(sorted.begin(), sorted.end(),
                  [](const RadPoint& a, const RadPoint& b) { return a.number < b.number; });
        for (size_t k = 0; k < sorted.size(); ++k) {
            const RadPoint& p = sorted[k];
            const double y = 500 - 2.6 * (k + 2);
            const auto row =
                std::vector<const host::Entity*>(texts.begin() + 6 + 5 * k, texts.begin() + 11 + 5 * k);
            const double dx = p.x - 1000, dy = p.y - 2000;
            const std::string want[] = {std::to_string(p.number), dms(dx, dy, false),
                                        fixed(std::hypot(dx, dy), 3), fixed(p.y, 3), fixed(p.x, 3)};
            // The number left at the line's start; the rest right-justified at
            // their columns' ends less 7, 10, 8 and 8 at 1:1000.
            const double at[] = {0, 9.1 + 15.6 - 7, 24.7 + 19.5 - 10, 44.2 + 19.5 - 8, 63.7 + 19.5 - 8};
            for (int c = 0; c < 5; ++c) {
                EXPECT_EQ(row[c]->text(1), want[c]) << "point " << p.number << " column " << c;
                const host::Point3 place = c == 0 ? row[c]->point(10) : row[c]->point(11);
                EXPECT_NEAR(place.x, 500 + at[c], kPlace);
                EXPECT_NEAR(place.y, y, kPlace);
                EXPECT_EQ(row[c]->integer(72), c == 0 ? 0 : 2);
                EXPECT_NEAR(row[c]->real(50), 0, 1e-12);  // along the table's rotation 90: level
            }
        }

        // The file: one line per point in number order, read back by csv.
        std::string lines;
        for (const RadPoint& p : sorted)
            lines += std::to_string(p.number) + "," + fixed(p.x, 2) + "," + fixed(p.y, 2) + ",0.000\n";
        EXPECT_EQ(read(file), lines);
        std::string csv;
        ASSERT_EQ(outside::run_tool("/usr/bin/python3 -c 'import csv,sys\n"
                                    "for r in csv.reader(open(sys.argv[1])): print(int(r[0]), float(r[1]), "
                                    "float(r[2]), float(r[3]))' '" +
                                        file + "'",
                                    csv),
                  0)
            << csv;
        std::istringstream rows(csv);
        for (const RadPoint& p : sorted) {
            int n = 0;
            double x = 0, y = 0, z = 1;
            rows >> n >> x >> y >> z;
            EXPECT_EQ(n, p.number);
            EXPECT_NEAR(x, p.x, 0.005);
            EXPECT_NEAR(y, p.y, 0.005);
            EXPECT_EQ(z, 0);
        }
    }
}

TEST_F(RadListing, NoHeaderGoesOnBelowTheLastTableAndCanBePickedTheFirstTime)
{
    numbered_points();
    // No table position stored yet: with "no header" the position can still be
    // picked, and OK is enabled once it is.
    std::string out = run(
        "(b_rad_print_listing)\npick no_header_tg\nshow\npick stn_btn\n1000,2000\npick picktbl_btn\n0,100\n"
        "pick select_obj_btn\nALL\n\npick round_ten_second_tg\nok\n");
    EXPECT_NE(out.find("picktbl_btn: button, label \"Pick position <\", enabled"), std::string::npos) << out;
    auto texts = table();
    ASSERT_EQ(texts.size(), 1u + 5 * kPoints.size()) << out;
    EXPECT_NEAR(texts[0]->point(10).y, 100, 1e-9);
    EXPECT_EQ(texts[1 + 5 * 1 + 1]->text(1), dms(987.6544 - 1000, 2007.891 - 2000, true));  // point 102, tens
    // The next run goes on below it: no pick of the table (its button is
    // disabled), the title on the line after the last row.
    out = run("(b_rad_print_listing)\nshow\npick stn_btn\n1000,2000\npick select_obj_btn\nALL\n\nok\n");
    EXPECT_NE(out.find("picktbl_btn: button, label \"Pick position <\", disabled"), std::string::npos) << out;
    texts = table();
    ASSERT_EQ(texts.size(), 2 * (1u + 5 * kPoints.size())) << out;
    EXPECT_NEAR(texts[1 + 5 * kPoints.size()]->point(10).y, 100 - 2.6 * (1 + kPoints.size()), kPlace);
}

TEST_F(RadListing, DuplicatesUnwritableFilesAndBadValuesAreSaid)
{
    numbered_points();
    // A second point numbered 101: the selection is given up and OK stays off.
    run("(b_rad_create_pnt)\nset startnumber_text 101\npick new_radiate_tg\npick pick_pnt_btn\n1200,2200\nX\n"
        "pick save_btn\n");
    session().transcript().alerts.clear();
    std::string out = run(
        "(b_rad_print_listing)\npick stn_btn\n1000,2000\npick picktbl_btn\n0,0\npick select_obj_btn\nALL\n\n"
        "show\nok\ncancel\n");
    ASSERT_EQ(session().transcript().alerts.size(), 1u);
    EXPECT_EQ(session().transcript().alerts[0], "Point Duplicated no.\n101");
    EXPECT_NE(out.find("selobj_text: text, value \"0 object selected.\""), std::string::npos) << out;
    EXPECT_NE(out.find("ok: button, label \"OK\", disabled"), std::string::npos) << out;
    EXPECT_TRUE(table().empty());

    // A file that cannot be written: said so, and the table is drawn.
    out = run(
        "(b_rad_print_listing)\nset scaleplot_text 0\nset txtDecimalText 20\nshow\npick stn_btn\n1000,2000\n"
        "pick picktbl_btn\n0,0\n"
        "pick select_obj_btn\n1030,2040\n\npick createfile_tg\nset file_text " +
        home() + "/no/such/folder/x.txt\nok\n");
    EXPECT_NE(out.find("error: text, value \"The decimals must be 0 to 16.\""), std::string::npos) << out;
    EXPECT_NE(out.find("scaleplot_text: edit_box, label \"Plot scale 1: \", value \"1000.0000\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("/no/such/folder/x.txt\" could not be written (cannot write \"" + home() +
                       "/no/such/folder/x.txt\": No such file or directory): no file written, a former one "
                       "is as it was; the "
                       "table is drawn."),
              std::string::npos)
        << out;
    EXPECT_EQ(table().size(), 1u + 5u + 5u);
}

// A full disk: a listing that does not fit is not written, and the listing
// a former run left there stays whole; with room again the listing is written.
TEST_F(RadListing, AListingThatDoesNotFitLeavesTheFormerFileWhole)
{
    SmallDisk disk(home() + "/disk");
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    // Points enough for a listing longer than a block of the disk.
    std::string picks, lines;
    for (int i = 0; i < 250; ++i) {
        const double x = 1001 + i * 0.5, y = 2003 + i * 0.25;
        picks += fixed(x, 4) + "," + fixed(y, 4) + "\n";
        lines += std::to_string(1 + i) + "," + fixed(x, 3) + "," + fixed(y, 3) + ",0.000\n";
    }
    run("(b_rad_create_pnt)\nset startnumber_text 1\npick new_radiate_tg\npick pick_pnt_btn\n" + picks +
        "X\npick save_btn\n");
    const std::string file = disk.folder() + "/listing.txt";
    const std::string former = "1,1001.000,2003.000,0.000\n";
    {
        std::ofstream(file) << former;
    }
    disk.fill();
    const std::string listing =
        "(b_rad_print_listing)\npick stn_btn\n1000,2000\npick picktbl_btn\n0,0\n"
        "pick select_obj_btn\nALL\n\npick createfile_tg\nset file_text " +
        file + "\nok\n";
    std::string out = run(listing);
    EXPECT_EQ(read(file), former);
    EXPECT_NE(
        out.find("\nThe file \"" + file + "\" could not be written (cannot write \"" + file +
                 "\": No space left on device): no file written, a former one is as it was; the table is "
                 "drawn."),
        std::string::npos)
        << out;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.folder()), {}),
              2);  // the file and the filler

    disk.empty();
    out = run(listing);
    EXPECT_EQ(read(file), lines) << out;
}

TEST_F(RadListing, RadiationLinesAreShownRecolouredAndRedrawn)
{
    numbered_points();
    std::string out = run("(b_rad_print_listing)\npick view_obj_btn\ncancel\n");
    EXPECT_NE(out.find("is disabled; the action is refused."), std::string::npos)
        << out;  // before any points
    out =
        run("(b_rad_print_listing)\npick stn_btn\n1000,2000\npick select_obj_btn\nALL\n\npick view_obj_btn\n"
            "C\n0\nC\n3\nR\nX\ncancel\n");
    EXPECT_NE(out.find("A colour is 1 to 255; the lines keep colour 5."), std::string::npos) << out;
    const std::vector<host::GrVector>& vectors = session().current().temp_vectors;
    ASSERT_EQ(vectors.size(), kPoints.size()) << out;
    for (const host::GrVector& v : vectors) {
        EXPECT_EQ(v.colour, 3);
        EXPECT_EQ(v.from.x, 1000);
        EXPECT_EQ(v.from.y, 2000);
    }
    EXPECT_TRUE(table().empty());  // cancelled: nothing drawn
}

}  // namespace
