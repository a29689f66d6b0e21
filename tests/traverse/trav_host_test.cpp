// The traverse listings as a user sees them on the host's command line: a
// command of the test opens a traverse file, computes it and prints what the
// traverse command's "Prn" and "Area" print; the overwrite question is
// answered from the script.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "trav_engine.h"
#include "trav_file.h"
#include "trav_print.h"
#include "trav_settings.h"
#include "trav_test_support.h"

namespace {

class TravHost : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        trav_settings_defaults();
        trav_current() = trav_lists{};
        // "travlist <file> [adjust]": read, compute, print routes, listing,
        // stations and loop areas.
        session().register_script_command("travlist", [](const std::string& argument) {
            trav_settings_rec& settings = trav_settings();
            const size_t blank = argument.find(' ');
            settings.file_name = argument.substr(0, blank);
            settings.adjust = blank != std::string::npos && argument.substr(blank + 1) == "adjust";
            trav_lists& lists = trav_current();
            if (read_trav_file(lists.observations, lists.radiations, lists.routes, lists.stations, true) !=
                trav_read_ok)
                return;
            acutPrintf(settings.adjust ? "\n*************ADJUSTED****************"
                                       : "\n*****************NOT ADJUST*******************");
            trav_solve(lists.observations, lists.radiations, lists.stations, lists.routes);
            trav_find_loops(lists.observations, lists.routes);
            trav_print_routes(lists.routes);
            trav_print_listing(lists.observations, lists.stations, lists.routes);
            trav_print_stations(lists.stations);
            trav_print_loops(lists.routes);
        });
        // "travpoint <number> <x> <y>": a new fixed point, asking before it
        // overwrites a station.
        session().register_script_command("travpoint", [](const std::string& argument) {
            int number = 0;
            double x = 0, y = 0;
            std::sscanf(argument.c_str(), "%d %lf %lf", &number, &x, &y);
            const int result =
                trav_add_station(number, point3d_rec{x, y, 0}, trav_fixed, trav_current().stations, true);
            acutPrintf("\nadd point: %d", result);
            trav_print_stations(trav_current().stations);
        });
    }
};

TEST_F(TravHost, LinkTraverseListingOnTheCommandLine)
{
    const std::string shown = run("travlist " + trav_data_path("link.trv") + "\n");
    // Figures from tests/traverse/data/worked_expected.txt (link_d0_noadj).
    const char* const expected =
        "\n*****************NOT ADJUST*******************"
        "\n[10--20]Tikai 1: 8897   dist=377.703  diflat= 0.027  difdip= -0.033"
        "\nRoute 0 =>[5]10,11,12,20,-20,"
        "\nRoute 1 =>[0]"
        "\ndari,ke,bg,jk,latit,dipat,U,T"
        "\n10,0,0,0,0,0,1000.000000,2000.000000,1000.000000,2000.000000"
        "\n10,11,62.1540,150.250,69.933,132.983,1069.932794,2132.982957,1069.932794,2132.982957"
        "\n11,12,118.3005,87.335,-41.675,76.750,1028.258273,2209.733439,1028.258273,2209.733439"
        "\n12,20,75.0520,140.118,36.055,135.400,1064.313464,2345.133133,1064.340000,2345.100000"
        // ML: 79.444347 degrees is 79d 26' 39.65", written with the library's
        // rounded seconds (the traverse's own conversion would give 79.2639).
        "\n,,ML:79.2640,351.074 "
        "\nTikai 1: 8897,,,377.703,0.027,-0.033"
        "\nstn=10,2000.000,1000.000,FIXED"
        "\nstn=20,2345.100,1064.340,FIXED"
        "\nstn=11,2132.983,1069.933,CAL"
        "\nstn=12,2209.733,1028.258,CAL"
        "\nstn=101,2137.324,1094.553,CAL"
        "\nLoop 0 Area=3586.780";
    EXPECT_NE(shown.find(expected), std::string::npos) << shown;
}

TEST_F(TravHost, AdjustedLoopListsAdjustedStations)
{
    const std::string shown = run("travlist " + trav_data_path("loop.trv") + " adjust\n");
    // loop_d0_adj: the closure line shows the misclosure before adjustment,
    // the stations their Transit-rule places.
    EXPECT_NE(shown.find("\n[1--1]Tikai 1: 35751   dist=447.843  diflat= -0.006  difdip= 0.011"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\nstn=2,5085.924,3084.421,ADJUSTED"
                         "\nstn=3,5155.554,3014.373,ADJUSTED"
                         "\nstn=4,5062.432,2923.661,ADJUSTED"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\nLoop 0 Area=12335.513"), std::string::npos) << shown;
}

TEST_F(TravHost, OverwritingAStationIsAsked)
{
    const std::string shown = run("travpoint 3 10 20\ntravpoint 3 30 40\nC\ntravpoint 3 50 60\nO\n");
    EXPECT_NE(shown.find("\nadd point: 1\nstn=3,10.000,20.000,FIXED"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Point exist <C>ancel <O>verWrite:"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\nadd point: 0\nstn=3,10.000,20.000,FIXED"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\nadd point: 2\nstn=3,50.000,60.000,FIXED"), std::string::npos) << shown;
}

}  // namespace
