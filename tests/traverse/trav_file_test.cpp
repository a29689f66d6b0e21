// Traverse files: both versions read and written back, the route building of
// the reader, malformed and over-long lines, and files that cannot be read or
// written.
#include "trav_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "trav_engine.h"
#include "trav_settings.h"
#include "trav_test_support.h"

namespace {

struct read_result {
    int status = -1;
    trav_printed printed;
};

read_result read_into(trav_lists& lists)
{
    read_result result;
    result.printed = trav_run_printing([&] {
        result.status =
            read_trav_file(lists.observations, lists.radiations, lists.routes, lists.stations, false);
    });
    return result;
}

read_result read_text(const std::string& name, const std::string& text, trav_lists& lists)
{
    trav_settings().file_name = trav_write_scratch(name, text);
    return read_into(lists);
}

bool write_lists(const trav_lists& lists, trav_printed* printed = nullptr)
{
    bool ok = false;
    const trav_printed shown = trav_run_printing(
        [&] { ok = write_trav_file(lists.observations, lists.radiations, lists.stations); });
    if (printed) *printed = shown;
    return ok;
}

class TravFile : public ::testing::Test {
protected:
    void SetUp() override { trav_settings_defaults(); }
};

const char* const version4_text =
    "KOLVA4\n"
    "P,1,1,1000.0000000000,2000.0000000000,12.500,METER,BM1\n"
    "P,20,20,1300.1234567891,2100.0000000000,0.000,METER,\n"
    "T,1,2,90.0000,100.000,0.000,METER,A\n"
    "T,2,3,45.3030,50.250,3.250,LINK,\n"
    "C,3,3,1100.5000,2035.123,0.000,METER,END\n"
    "T,3,20,120.0000,30.000,0.000,FEET,B\n"
    "C,20,20,0.0000,0.000,0.000,METER,\n"
    "R,2,50,10.1010,5.000,1.000,METER,\n"
    "R,3,51,200.0000,7.500,0.000,LINK,\n";

TEST_F(TravFile, Version4ReadsIntoListsAndRoutes)
{
    trav_lists lists;
    ASSERT_EQ(read_text("v4.trv", version4_text, lists).status, trav_read_ok);
    ASSERT_EQ(lists.stations.size(), 6u);  // 1, 20, 2, 3 and the radiation ends 50, 51
    EXPECT_EQ(lists.stations[0].number, 1);
    EXPECT_EQ(lists.stations[0].status, trav_fixed);
    EXPECT_EQ(lists.stations[0].code, "BM1");
    EXPECT_EQ(lists.stations[0].point.z, 12.5);
    EXPECT_EQ(lists.stations[2].number, 2);
    EXPECT_EQ(lists.stations[2].status, trav_nil);
    EXPECT_EQ(lists.stations[2].code, "");
    ASSERT_EQ(lists.observations.size(), 5u);
    EXPECT_EQ(lists.observations[1].unit, "LINK");
    EXPECT_EQ(lists.observations[1].level, 3.25);
    EXPECT_EQ(lists.observations[2].type, trav_obs_closing);
    EXPECT_EQ(lists.observations[2].code, "END");
    ASSERT_EQ(lists.radiations.size(), 2u);
    EXPECT_EQ(lists.radiations[0].type, trav_obs_radiation);
    EXPECT_EQ(lists.radiations[0].code, "");  // radiations carry no code
    // Each C record ends a route; the last C leaves an empty route for later legs.
    ASSERT_EQ(lists.routes.size(), 3u);
    EXPECT_EQ(lists.routes[0].stations, (std::vector<int>{1, 2, 3, -3}));
    EXPECT_EQ(lists.routes[0].known_point.x, 1100.5);
    EXPECT_EQ(lists.routes[0].known_point.y, 2035.123);
    EXPECT_EQ(lists.routes[1].stations, (std::vector<int>{3, 20, -20}));
    EXPECT_TRUE(lists.routes[2].stations.empty());
    // The numbers the command proposes from.
    EXPECT_EQ(trav_settings().largest_station_number, 20);
    EXPECT_EQ(trav_settings().current_trav_station, 20);
    EXPECT_EQ(trav_settings().largest_rad_from, 3);
    EXPECT_EQ(trav_settings().largest_rad_to, 51);
}

TEST_F(TravFile, Version4WrittenBackAsItWas)
{
    trav_lists lists;
    ASSERT_EQ(read_text("v4.trv", version4_text, lists).status, trav_read_ok);
    // A computation does not change what is written: computed stations are not P records.
    trav_solve_printing(lists, 0, false);
    trav_settings().file_name = trav_scratch_dir() + "/v4_out.trv";
    ASSERT_TRUE(write_lists(lists));
    EXPECT_EQ(trav_file_contents(trav_settings().file_name), version4_text);
}

TEST_F(TravFile, Version3IsReadAndSavedAsVersion4WithEmptyCodes)
{
    const char* const version3_text =
        "KOLVA3\n"
        "P,1,1,1000.0000000000,2000.0000000000,0.000,METER\n"
        "T,1,2,90.0000,100.000,0.000,METER\n"
        "C,2,2,0.0000,0.000,0.000,METER\n"
        "R,2,50,45.3030,10.000,1.500,LINK\n";
    trav_lists lists;
    ASSERT_EQ(read_text("v3.trv", version3_text, lists).status, trav_read_ok);
    EXPECT_EQ(trav_settings().version_text, "KOLVA4");  // kept as the settings held it
    ASSERT_TRUE(write_lists(lists));
    EXPECT_EQ(trav_file_contents(trav_settings().file_name),
              "KOLVA4\n"
              "P,1,1,1000.0000000000,2000.0000000000,0.000,METER,\n"
              "T,1,2,90.0000,100.000,0.000,METER,\n"
              "C,2,2,0.0000,0.000,0.000,METER,\n"
              "R,2,50,45.3030,10.000,1.500,LINK,\n");

    // With the settings holding "KOLVA3", the older form is written, and
    // reading a version-3 file keeps it.
    trav_settings().version_text = "kolva3";
    trav_lists again;
    ASSERT_EQ(read_text("v3b.trv", version3_text, again).status, trav_read_ok);
    EXPECT_EQ(trav_settings().version_text, "kolva3");
    ASSERT_TRUE(write_lists(again));
    EXPECT_EQ(trav_file_contents(trav_settings().file_name), version3_text);
    // A version-4 file sets the version text.
    read_text("v4.trv", version4_text, again);
    EXPECT_EQ(trav_settings().version_text, "KOLVA4");
}

TEST_F(TravFile, RecordLettersAndVersionTagIgnoreCaseAndLineEnds)
{
    trav_lists lists;
    ASSERT_EQ(read_text("case.trv",
                        "kolva4\r\np,1,1,5.0,6.0,0.0,METER,X\r\nt,1,2,0.0000,1.000,0.000,METER,\r\n"
                        "r,2,3,90,2,0,METER,\r\n",
                        lists)
                  .status,
              trav_read_ok);
    EXPECT_EQ(lists.stations.size(), 3u);
    EXPECT_EQ(lists.stations[0].code, "X");
    ASSERT_EQ(lists.observations.size(), 1u);
    EXPECT_EQ(lists.observations[0].code, "");
    EXPECT_EQ(lists.radiations.size(), 1u);
}

TEST_F(TravFile, FirstLegBeforeAnyFixedPoint)
{
    trav_lists lists;
    ASSERT_EQ(read_text("tfirst.trv",
                        "KOLVA4\n"
                        "T,1,2,90.0000,10.000,0.000,METER,\n"
                        "T,2,3,0.0000,5.000,0.000,METER,\n"
                        "P,1,1,100.0000000000,200.0000000000,0.000,METER,\n",
                        lists)
                  .status,
              trav_read_ok);
    ASSERT_EQ(lists.routes.size(), 1u);  // the first T made the route
    EXPECT_EQ(lists.routes[0].stations, (std::vector<int>{1, 2, 3}));
    ASSERT_EQ(lists.stations.size(), 3u);
    EXPECT_EQ(lists.stations[0].number, 2);
    EXPECT_EQ(lists.stations[0].status, trav_nil);
    EXPECT_EQ(lists.stations[2].status, trav_fixed);
    // Station 2, first in the list, is computed all the same.
    trav_solve_printing(lists, 3, false);
    EXPECT_EQ(lists.stations[0].status, trav_cal);
    EXPECT_EQ(lists.stations[0].point.x, 110.0);
    EXPECT_EQ(lists.stations[1].point.y, 205.0);
}

// The first station of the list is adjusted and radiated to like any other.
// Legs 1 -> 2 east 100 and 2 -> 3 north 100 end at (1100, 2100) against fixed
// 3 at (1100.02, 2100.04): the Transit rule gives leg 1-2 the whole x
// correction (0.02 x 100 / 100) and no y correction, so 2 goes to
// (1100.02, 2000); radiation 2 -> 7 north 5 lands at (1100.02, 2005).
TEST_F(TravFile, FirstStationOfTheListIsAdjustedAndRadiatedTo)
{
    trav_lists lists;
    ASSERT_EQ(read_text("first_adj.trv",
                        "KOLVA4\n"
                        "T,1,2,90.0000,100.000,0.000,METER,\n"
                        "T,2,3,0.0000,100.000,0.000,METER,\n"
                        "P,1,1,1000.0000000000,2000.0000000000,0.000,METER,\n"
                        "P,3,3,1100.0200000000,2100.0400000000,0.000,METER,\n"
                        "C,3,3,0.0000,0.000,0.000,METER,\n",
                        lists)
                  .status,
              trav_read_ok);
    ASSERT_EQ(lists.stations.at(0).number, 2);
    trav_solve_printing(lists, 0, true);
    EXPECT_EQ(lists.stations[0].status, trav_adjusted);
    EXPECT_NEAR(lists.stations[0].point.x, 1100.02, 1e-6);
    EXPECT_NEAR(lists.stations[0].point.y, 2000.0, 1e-6);

    trav_lists radiated;
    ASSERT_EQ(read_text("first_rad.trv",
                        "KOLVA4\n"
                        "R,1,7,0.0000,5.000,0.000,METER,\n"
                        "P,1,1,10.0000000000,20.0000000000,0.000,METER,\n",
                        radiated)
                  .status,
              trav_read_ok);
    ASSERT_EQ(radiated.stations.at(0).number, 7);
    trav_solve_printing(radiated, 3, false);
    EXPECT_EQ(radiated.stations[0].status, trav_cal);
    EXPECT_EQ(radiated.stations[0].point.x, 10.0);
    EXPECT_EQ(radiated.stations[0].point.y, 25.0);
}

TEST_F(TravFile, FixedPointAfterTheLegsThatReachItIsKept)
{
    trav_lists lists;
    ASSERT_EQ(read_text("plast.trv",
                        "KOLVA4\n"
                        "P,1,1,0.0000000000,0.0000000000,0.000,METER,\n"
                        "T,1,2,0.0000,100.000,0.000,METER,\n"
                        "T,2,3,0.0000,100.000,0.000,METER,\n"
                        "P,3,3,0.0000000000,200.0300000000,0.000,METER,END\n"
                        "P,3,3,9.0000000000,9.0000000000,0.000,METER,AGAIN\n"
                        "C,3,3,0.0000,0.000,0.000,METER,\n",
                        lists)
                  .status,
              trav_read_ok);
    const trav_point_rec& end = lists.stations.at(find_point_index(3, lists.stations));
    EXPECT_EQ(end.status, trav_fixed);
    EXPECT_EQ(end.point.y, 200.03);
    EXPECT_EQ(end.code, "END");  // the second P record changed nothing
    const std::string printed = trav_solve_printing(lists, 0, false);
    EXPECT_EQ(printed, "\n[1--3]Tikai 1: 6666   dist=200.000  diflat= 0.030  difdip= 0.000");
    // Saved, the point is there (fixed points come first).
    ASSERT_TRUE(write_lists(lists));
    EXPECT_EQ(trav_file_contents(trav_settings().file_name),
              "KOLVA4\n"
              "P,1,1,0.0000000000,0.0000000000,0.000,METER,\n"
              "P,3,3,0.0000000000,200.0300000000,0.000,METER,END\n"
              "T,1,2,0.0000,100.000,0.000,METER,\n"
              "T,2,3,0.0000,100.000,0.000,METER,\n"
              "C,3,3,0.0000,0.000,0.000,METER,\n");
}

TEST_F(TravFile, WindowsStylePathIsTranslated)
{
    trav_write_scratch("win.trv", "KOLVA4\nP,4,4,1.0,2.0,0.0,METER,\n");
    std::string windows_path = trav_scratch_dir() + "/WIN.TRV";
    for (char& c : windows_path)
        if (c == '/') c = '\\';
    trav_settings().file_name = windows_path;
    trav_lists lists;
    ASSERT_EQ(read_into(lists).status, trav_read_ok);
    ASSERT_EQ(lists.stations.size(), 1u);
    EXPECT_EQ(lists.stations[0].number, 4);
    ASSERT_TRUE(write_lists(lists));
    EXPECT_EQ(trav_file_contents(trav_scratch_dir() + "/win.trv"),
              "KOLVA4\nP,4,4,1.0000000000,2.0000000000,0.000,METER,\n");
}

TEST_F(TravFile, TwoClosingRecordsInARow)
{
    trav_lists lists;
    ASSERT_EQ(read_text("cc.trv",
                        "KOLVA4\n"
                        "P,1,1,0.0,0.0,0.0,METER,\n"
                        "T,1,2,90.0000,10.000,0.000,METER,\n"
                        "C,2,2,10.0000,0.010,0.000,METER,\n"
                        "C,5,5,3.0000,4.000,0.000,METER,\n",
                        lists)
                  .status,
              trav_read_ok);
    ASSERT_EQ(lists.routes.size(), 3u);
    EXPECT_EQ(lists.routes[0].stations, (std::vector<int>{1, 2, -2}));
    EXPECT_EQ(lists.routes[1].stations, (std::vector<int>{-5}));  // nothing but the closing entry
    EXPECT_EQ(lists.routes[1].known_point.x, 3.0);
    EXPECT_TRUE(lists.routes[2].stations.empty());
    const std::string printed = trav_solve_printing(lists, 0, false);
    EXPECT_EQ(printed, "\n[1--2]Tikai 1: 1000   dist=10.000  diflat= 0.010  difdip= 0.000");
}

TEST_F(TravFile, RadiationsAreWrittenBackAsR)
{
    trav_lists lists;
    ASSERT_EQ(read_text("r.trv",
                        "KOLVA4\n"
                        "P,1,1,0.0,0.0,0.0,METER,\n"
                        "R,1,7,10.0000,1.000,0.000,METER,\n"
                        "T,1,2,90.0000,10.000,0.000,METER,\n"
                        "C,2,2,0.0000,0.000,0.000,METER,\n"
                        "R,2,8,20.0000,2.000,0.000,FEET,\n",
                        lists)
                  .status,
              trav_read_ok);
    ASSERT_TRUE(write_lists(lists));
    // Observations first, in list order, then every radiation under "R".
    EXPECT_EQ(trav_file_contents(trav_settings().file_name),
              "KOLVA4\n"
              "P,1,1,0.0000000000,0.0000000000,0.000,METER,\n"
              "T,1,2,90.0000,10.000,0.000,METER,\n"
              "C,2,2,0.0000,0.000,0.000,METER,\n"
              "R,1,7,10.0000,1.000,0.000,METER,\n"
              "R,2,8,20.0000,2.000,0.000,FEET,\n");
}

TEST_F(TravFile, MalformedLinesAreSkippedAndLongOnesRead)
{
    // A line of 300 characters is one record, however long: its tail, which
    // looks like a record of its own, is the code of the first.
    std::string head = "T,2,3,0.0000,1.000,0.000,METER,";
    std::string long_line = head + std::string(255 - head.size(), 'x') + "T,7,8,0.0000,1.000,0.000,METER,";
    std::string just_fits = "T,1,2,90.0000,10.000,0.000,METER,";
    just_fits += std::string(255 - just_fits.size(), 'k');
    const std::string text =
        "KOLVA4\n"
        "P,1,1,0.0,0.0,0.0,METER,\n" +
        just_fits + "\n" + long_line +
        "\n"
        "T,2,4,90.0000\n"                              // too few fields
        "P,9,9,1.0,2.0\n"                              // too few fields
        "\n"                                           // empty: nothing
        "X,1,2,3,4,5,METER,\n"                         // another letter: no record
        "T,2,5,abc,2.000,0.000,METER\n"                // a bearing that is no number
        "T,2,6,1e999,3.000,,METER,\n"                  // a bearing beyond the reals
        "R,2,11,45.0000,1.000,0.000,METER\n"           // a radiation keeps no code: read
        "R,2,12,45.0000,1.000\n"                       // too few fields
        "T,6,2147483647,0.0000,1.000,0.000,METER,\n"   // beyond the largest station
        "C,-2147483648,-2147483648,0,0,0,METER,\n"     // negative stations
        "R,2,99999999999,45.0000,1.000,0.000,METER\n"  // beyond 32 bits
        "P,0,0,1.0,2.0,0.0,METER,\n";                  // station 0
    trav_lists lists;
    const read_result result = read_text("bad.trv", text, lists);
    ASSERT_EQ(result.status, trav_read_ok);
    ASSERT_EQ(lists.observations.size(), 2u);
    EXPECT_EQ(lists.observations[0].to, 2);
    EXPECT_EQ(lists.observations[0].code, std::string(255 - 33, 'k'));
    EXPECT_EQ(lists.observations[1].to, 3);
    EXPECT_EQ(lists.observations[1].code, std::string(255 - head.size(), 'x') + "T");
    EXPECT_EQ(find_point_index(5, lists.stations), -1);
    EXPECT_EQ(find_point_index(6, lists.stations), -1);
    EXPECT_EQ(find_point_index(7, lists.stations), -1);
    EXPECT_EQ(find_point_index(9, lists.stations), -1);
    EXPECT_EQ(find_point_index(0, lists.stations), -1);
    ASSERT_EQ(lists.radiations.size(), 1u);
    EXPECT_EQ(lists.radiations[0].to, 11);
    EXPECT_EQ(find_point_index(12, lists.stations), -1);
    EXPECT_EQ(lists.radiations[0].unit, "METER");
    EXPECT_EQ(trav_settings().largest_station_number, 3);
    EXPECT_EQ(result.printed.text,
              "\nTrav file line 5 skipped: too few fields."
              "\nTrav file line 6 skipped: too few fields."
              "\nTrav file line 8 skipped: field 1 (record) \"X\" is no record (P, T, C or R)."
              "\nTrav file line 9 skipped: field 4 (bearing) \"abc\" is not a number."
              "\nTrav file line 10 skipped: field 4 (bearing) \"1e999\" is not a number."
              "\nTrav file line 12 skipped: too few fields."
              "\nTrav file line 13 skipped: station number out of range (1 to 2147483646)."
              "\nTrav file line 14 skipped: station number out of range (1 to 2147483646)."
              "\nTrav file line 15 skipped: station number out of range (1 to 2147483646)."
              "\nTrav file line 16 skipped: station number out of range (1 to 2147483646).");

    // Writing the file again keeps every line that gave no record, at its end.
    trav_printed written;
    ASSERT_TRUE(write_lists(lists, &written));
    const std::string saved = trav_file_contents(trav_settings().file_name);
    for (const char* kept :
         {"\nT,2,4,90.0000\n", "\nP,9,9,1.0,2.0\n", "\nX,1,2,3,4,5,METER,\n",
          "\nT,2,5,abc,2.000,0.000,METER\n", "\nT,2,6,1e999,3.000,,METER,\n", "\nR,2,12,45.0000,1.000\n",
          "\nT,6,2147483647,0.0000,1.000,0.000,METER,\n", "\nP,0,0,1.0,2.0,0.0,METER,\n"})
        EXPECT_NE(saved.find(kept), std::string::npos) << kept;
    EXPECT_EQ(written.text, "\n10 line(s) that could not be read are kept at the end of " +
                                trav_settings().file_name + ".");
}

// Whatever the writer puts down, the reader takes back: a fixed point far out
// makes a line of more than 255 characters.
TEST_F(TravFile, EveryLineTheWriterWritesIsReadBack)
{
    trav_lists lists;
    lists.stations.push_back(trav_point_rec{point3d_rec{1e250, -2e240, 0.0}, 2147483646, "FAR", trav_fixed});
    trav_settings().file_name = trav_scratch_dir() + "/far.trv";
    ASSERT_TRUE(write_lists(lists));
    const std::string text = trav_file_contents(trav_settings().file_name);
    ASSERT_GT(text.find('\n', 7) - 7, 255u);
    trav_lists back;
    const read_result result = read_into(back);
    EXPECT_EQ(result.printed.text, "");
    ASSERT_EQ(back.stations.size(), 1u);
    EXPECT_EQ(back.stations[0].number, 2147483646);
    EXPECT_EQ(back.stations[0].point.x, 1e250);
    EXPECT_EQ(back.stations[0].point.y, -2e240);
    EXPECT_EQ(back.stations[0].code, "FAR");
}

TEST_F(TravFile, UnreadableFileLeavesTheListsAsTheyWere)
{
    trav_lists lists = trav_square_lists();
    const size_t stations = lists.stations.size();
    trav_settings().largest_station_number = 77;
    for (const std::string& path : {trav_scratch_dir() + "/no_such.trv", trav_scratch_dir()}) {
        trav_settings().file_name = path;
        const read_result result = read_into(lists);
        EXPECT_EQ(result.status, trav_read_failed) << path;
        EXPECT_EQ(lists.stations.size(), stations);
        EXPECT_EQ(lists.routes.size(), 2u);
        EXPECT_EQ(lists.observations.size(), 5u);
        EXPECT_EQ(trav_settings().largest_station_number, 77);
    }
}

TEST_F(TravFile, WrongVersionIsRefused)
{
    trav_lists lists = trav_square_lists();
    const read_result result = read_text("old.trv", "KOLVA2\nP,1,1,0,0,0,METER,\n", lists);
    EXPECT_EQ(result.status, trav_read_bad_version);
    ASSERT_EQ(result.printed.alerts.size(), 1u);
    EXPECT_EQ(result.printed.alerts[0], "Trav file wrong version \nTry convert.");
    EXPECT_TRUE(lists.stations.empty());
    EXPECT_TRUE(lists.routes.empty());
    EXPECT_TRUE(lists.observations.empty());
    EXPECT_EQ(read_text("empty.trv", "", lists).status, trav_read_bad_version);
}

TEST_F(TravFile, UnwritableFileIsLeftAsItWas)
{
    trav_lists lists = trav_square_lists();
    // The file exists, but its new text cannot be put down beside it: the disk
    // takes no file larger than a few bytes (a limit on file size stands for it).
    const std::string path = trav_write_scratch("keep.trv", "KOLVA4\nP,5,5,1.0,2.0,0.0,METER,\n");
    trav_settings().file_name = path;
    trav_printed printed;
    rlimit former{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &former), 0);
    const sighandler_t former_handler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = former;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = write_lists(lists, &printed);
    setrlimit(RLIMIT_FSIZE, &former);
    signal(SIGXFSZ, former_handler);
    EXPECT_FALSE(written);
    ASSERT_EQ(printed.alerts.size(), 1u);
    EXPECT_EQ(printed.alerts[0], "File error.");
    EXPECT_EQ(trav_file_contents(path), "KOLVA4\nP,5,5,1.0,2.0,0.0,METER,\n");

    // A folder in the file's place, and a folder that does not exist.
    for (const std::string& target : {trav_scratch_dir(), trav_scratch_dir() + "/missing/x.trv"}) {
        trav_settings().file_name = target;
        EXPECT_FALSE(write_lists(lists, &printed)) << target;
        EXPECT_EQ(printed.alerts, std::vector<std::string>{"File error."});
    }
    EXPECT_TRUE(std::filesystem::is_directory(trav_scratch_dir()));
    EXPECT_FALSE(std::filesystem::exists(trav_scratch_dir() + "/missing"));
}

TEST_F(TravFile, AppendingRecordsInEitherVersion)
{
    trav_obs_rec leg;
    leg.type = trav_obs_leg;
    leg.from = 3;
    leg.to = 4;
    leg.bearing = 45.303;
    leg.distance = 12.3456;
    leg.level = 1.5;
    leg.unit = "LINK";
    leg.code = "FENCE";
    trav_obs_rec rad = leg;
    rad.type = trav_obs_radiation;
    rad.code = "";
    const trav_point_rec point{point3d_rec{1.5, 2.25, 3.0}, 9, "IGNORED", trav_fixed};

    trav_settings().file_name = trav_write_scratch("append4.trv", "KOLVA4\n");
    const trav_printed shown = trav_run_printing([&] {
        EXPECT_TRUE(trav_append_obs(leg));
        EXPECT_TRUE(trav_append_obs(rad));
        EXPECT_TRUE(trav_append_point(point));
    });
    EXPECT_TRUE(shown.alerts.empty());
    EXPECT_EQ(trav_file_contents(trav_settings().file_name),
              "KOLVA4\n"
              "T,3,4,45.3030,12.346,1.500,LINK,FENCE\n"
              "R,3,4,45.3030,12.346,1.500,LINK,\n"
              "P,9,9,1.5000000000,2.2500000000,3.000,METER,\n");

    trav_settings().version_text = "KOLVA3";
    trav_settings().file_name = trav_write_scratch("append3.trv", "KOLVA3\n");
    trav_run_printing([&] {
        EXPECT_TRUE(trav_append_obs(leg));
        EXPECT_TRUE(trav_append_point(point));
    });
    EXPECT_EQ(trav_file_contents(trav_settings().file_name),
              "KOLVA3\n"
              "T,3,4,45.3030,12.346,1.500,LINK\n"
              "P,9,9,1.5000000000,2.2500000000,3.000,METER\n");

    trav_settings().file_name = trav_scratch_dir() + "/missing/append.trv";
    const trav_printed failed = trav_run_printing([&] { EXPECT_FALSE(trav_append_obs(leg)); });
    EXPECT_EQ(failed.alerts, std::vector<std::string>{"File error."});
}

}  // namespace
