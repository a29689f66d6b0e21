// D.MMSS bearings as the traverse command takes them, typed and in files:
// minutes or seconds of 60 or more are refused with a message, and a negative
// bearing is the reverse bearing in a file as at the prompt.
#include <gtest/gtest.h>

#include <string>

#include "trav_command_support.h"

namespace {

using TravBearings = TravCommand;

TEST_F(TravBearings, MinutesOrSecondsOfSixtyOrMoreAreRefusedAtThePrompt)
{
    const std::string file = path("typed.trv");
    const std::string shown =
        start_new("45.7500\n45.3075\n-45.6000\n-400\n45.3000\n10\n\nN\n" + file + "\nX\n");
    for (const char* refused : {"45.7500", "45.3075", "-45.6000"})
        EXPECT_NE(shown.find(std::string("\n") + refused +
                             " is no D.MMSS bearing: degrees below 360, minutes and seconds from 00 to 59."),
                  std::string::npos)
            << refused;
    EXPECT_NE(shown.find("\n-400 is no D.MMSS bearing"), std::string::npos);
    EXPECT_EQ(session().transcript().alerts, std::vector<std::string>(4, "Invalid Input"));
    // Only the good bearing made a leg.
    EXPECT_EQ(read_text(file),
              "KOLVA4\n"
              "P,1,1,1000.0000000000,2000.0000000000,0.000,METER,\n"
              "T,1,2,45.3000,10.000,0.000,METER,\n");
}

// In a file: 45.7500 is refused (the line is kept for the next save), and
// -45.3000 is the bearing 225.3000, as typed: station 3 lies 50 m from 2 at
// 225d30': (1100 - 50 sin 45.5d, 2000 - 50 cos 45.5d) = (1064.337, 1964.955).
TEST_F(TravBearings, AFilesNegativeBearingIsItsReverseAndABadOneIsRefused)
{
    write_text(path("file.trv"),
               "KOLVA4\n"
               "P,1,1,1000.0000000000,2000.0000000000,0.000,METER,\n"
               "T,1,2,90.0000,100.000,0.000,METER,\n"
               "T,2,3,-45.3000,50.000,0.000,METER,\n"
               "T,3,4,45.7500,10.000,0.000,METER,\n"
               "R,2,9,10.3060,5.000,0.000,METER,\n");
    const std::string listed = open_and_list(path("file.trv"));
    EXPECT_NE(
        listed.find("\nTrav file line 5 skipped: bearing 45.7500 is no D.MMSS bearing (degrees below 360, "
                    "minutes and seconds from 00 to 59)."),
        std::string::npos)
        << listed;
    EXPECT_NE(listed.find("\nTrav file line 6 skipped: bearing 10.3060 is no D.MMSS bearing"),
              std::string::npos);
    EXPECT_NE(listed.find("\n2,3,225.3000,50.000,"), std::string::npos);
    EXPECT_NE(listed.find("\nstn=3,1064.337,1964.955,CAL"), std::string::npos);
    EXPECT_EQ(listed.find("\nstn=4,"), std::string::npos);
}

}  // namespace
