// The lot area table through the host the way a caller reaches it: a command
// that runs area_table_cmd (here the script command "AREATABLE"), lot numbers
// linked to area texts in every unit the area labels write, descriptions
// selected or constant, and the two table files under c:\ read back (the
// comma file by Python's csv module). Square feet are worked here with the
// international foot (0.3048 m).
#include "area_table.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "lot_tools_fixture.h"
#include "small_disk.h"

namespace {

class AreaTable : public LotToolsTest {
protected:
    void SetUp() override
    {
        LotToolsTest::SetUp();
        session().register_script_command("AREATABLE", [](const std::string&) { area_table_cmd(); });
    }
    std::string read(const std::string& name)
    {
        std::ifstream in(home() + "/drive_c/" + name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // A lot text at (0, y) and its area text at (20, y); the answers that link them.
    std::string lot(double y, const std::string& number, const std::string& area)
    {
        text("LOT", 0, y, number);
        text("AREA", 20, y, area);
        return "S\n0.3," + std::to_string(y + 0.3) + "\n20.3," + std::to_string(y + 0.3) + "\n";
    }
    static std::string feet(double m2, int decimals)
    {
        char out[40];
        std::snprintf(out, sizeof out, "%.*f", decimals, m2 / (0.3048 * 0.3048));
        return out;
    }
};

TEST_F(AreaTable, LinkedLotsAreWrittenSortedByLotWithTheirAreasReadRight)
{
    text("NOTE", 40, 20, "Corner lot");
    std::string script = "AREATABLE\nD\nC\nRoad reserve, north\n" + lot(0, "12", "450.5m%%178") + "D\nS\n" +
                         lot(20, "3", "2.5Ek") + "40.3,20.3\nD\nO\n" + lot(40, "7", "1200m%%178") +
                         lot(60, "PT 15", "800M~") + lot(80, "9", "1.250Ha") + lot(100, "21", "12.5Ac") +
                         lot(120, "4", "3000Ft") + lot(140, "30", "2.1RL") + lot(160, "31", "0.9RLP") +
                         "T\n2\n3\nA\nX\n";
    const std::string out = run(script);
    EXPECT_NE(out.find("Area String [Ek m%178 m~]\nDesc Constant:Road reserve, north"), std::string::npos)
        << out;
    EXPECT_NE(out.find("Last Lot :12"), std::string::npos) << out;
    EXPECT_NE(out.find("Area [450.500000] Unit[M]"), std::string::npos) << out;
    EXPECT_NE(out.find("Area [2.500000] Unit[A]"), std::string::npos) << out;
    EXPECT_NE(out.find("Area [0.900000] Unit[RP]"), std::string::npos) << out;
    EXPECT_NE(out.find("File :c:\\area_tbl.txt"), std::string::npos) << out;

    const std::string want_text =
        "Lot/Petak    area    unit\n"
        "    1     3 2.5000Ek 0.0000kp Corner lot\n"
        "    2     4 3000.0000Ft 0.0000kp \n"
        "    3     7 1200.0000m " +
        feet(1200, 4) +
        "kp \n"
        "    4     9 1.2500Ha 0.0000kp \n"
        "    5    12 450.5000m " +
        feet(450.5, 4) +
        "kp Road reserve, north\n"
        "    6 PT   15 800.0000M " +
        feet(800, 4) +
        "kp \n"
        "    7    21 12.5000Ac 0.0000kp \n"
        "    8    30 2.1000RL 0.0000kp \n"
        "    9    31 0.9000RLP 0.0000kp \n";
    EXPECT_EQ(read("area_tbl.txt"), want_text);
    const std::string want_csv =
        "1,3,2.50,Ek,0.000,kp,Corner lot\n"
        "2,4,3000.00,Ft,0.000,kp,\n"
        "3,7,1200.00,m," +
        feet(1200, 3) +
        ",kp,\n"
        "4,9,1.25,Ha,0.000,kp,\n"
        "5,12,450.50,m," +
        feet(450.5, 3) +
        ",kp,\"Road reserve, north\"\n"
        "6,PT15,800.00,M," +
        feet(800, 3) +
        ",kp,\n"
        "7,21,12.50,Ac,0.000,kp,\n"
        "8,30,2.10,RL,0.000,kp,\n"
        "9,31,0.90,RLP,0.000,kp,\n";
    EXPECT_EQ(read("area_tbl.csv"), want_csv);
    std::string rows;
    ASSERT_EQ(outside::run_tool(
                  "/usr/bin/python3 -c 'import csv,sys\n"
                  "for r in csv.reader(open(sys.argv[1])): print(len(r), r[1], float(r[2]), r[6])' '" +
                      home() + "/drive_c/area_tbl.csv'",
                  rows),
              0)
        << rows;
    EXPECT_EQ(rows,
              "7 3 2.5 Corner lot\n7 4 3000.0 \n7 7 1200.0 \n7 9 1.25 \n7 12 450.5 Road reserve, north\n"
              "7 PT15 800.0 \n7 21 12.5 \n7 30 2.1 \n7 31 0.9 \n");
}

TEST_F(AreaTable, WhatIsNoLotOrNoAreaIsRefusedAndUnwritableFilesKeepTheOldOnes)
{
    text("LOT", 0, 0, "ROAD");
    text("AREA", 20, 0, "450.5m%%178");
    text("AREA", 20, 20, "45 sq m");
    text("LOT", 0, 20, "5");
    std::string out =
        run("AREATABLE\n"
            "S\n0.3,0.3\n"                 // no lot number
            "S\n0.3,20.3\n20.3,20.3\n"     // no area the table knows
            "S\n0.3,20.3\n99,99\n98,98\n"  // a miss, then a miss again
            "T\n1\n2\nA\nX\n");
    ASSERT_GE(session().transcript().alerts.size(), 2u);
    EXPECT_EQ(session().transcript().alerts[0], "Not Lot Number :");
    EXPECT_EQ(session().transcript().alerts[1], "Miss Select area...");
    EXPECT_NE(out.find("The text \"45 sq m\" is no area with a unit of the table: nothing tagged."),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("No area text linked to a lot was found: no table written."), std::string::npos)
        << out;
    for (const host::Entity* t : live("TEXT")) EXPECT_EQ(t->xdata_of("TBL_LOTNUM"), nullptr);

    // A table written, then the second file cannot be replaced (a folder holds
    // its name): the first, written already, is put back, and both are as they were.
    out = run("AREATABLE\nS\n0.3,20.3\n20.3,0.3\nT\n1\n2\nA\nX\n");
    const std::string before = read("area_tbl.txt");
    ASSERT_NE(before.find("    1     5 450.5000m"), std::string::npos) << out;
    std::filesystem::remove(home() + "/drive_c/area_tbl.csv");
    std::filesystem::create_directories(home() + "/drive_c/area_tbl.csv/blocked");
    text("LOT", 0, 40, "6");
    text("AREA", 20, 40, "10m%%178");
    out = run("AREATABLE\nS\n0.3,40.3\n20.3,40.3\nT\n-1\n17\n1\n2\nA\nX\n");
    EXPECT_NE(out.find("The decimals must be 0 to 8."), std::string::npos) << out;
    EXPECT_NE(
        out.find(
            "The area table could not be written to c:\\area_tbl.txt and c:\\area_tbl.csv (cannot replace "
            "\"" +
            home() + "/drive_c/area_tbl.csv\": Is a directory): the files there are as they were."),
        std::string::npos)
        << out;
    EXPECT_EQ(read("area_tbl.txt"), before);
}

// A full disk: a table that does not fit leaves both former files whole, and no
// scratch file is left beside them.
TEST_F(AreaTable, ATableThatDoesNotFitLeavesBothFormerFilesWhole)
{
    SmallDisk disk(home() + "/drive_c");
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    {
        std::ofstream(home() + "/drive_c/area_tbl.txt") << "former table\n";
        std::ofstream(home() + "/drive_c/area_tbl.csv") << "former,table\n";
    }
    disk.fill();
    const std::string out = run("AREATABLE\n" + lot(0, "5", "450.5m%%178") + "T\n1\n2\nA\nX\n");
    EXPECT_NE(
        out.find("The area table could not be written to c:\\area_tbl.txt and c:\\area_tbl.csv (cannot write "
                 "\"" +
                 home() +
                 "/drive_c/area_tbl.txt\": No space left on device): the files there are as "
                 "they were."),
        std::string::npos)
        << out;
    EXPECT_EQ(read("area_tbl.txt"), "former table\n");
    EXPECT_EQ(read("area_tbl.csv"), "former,table\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.folder()), {}),
              3);  // the two and the filler
}

}  // namespace
