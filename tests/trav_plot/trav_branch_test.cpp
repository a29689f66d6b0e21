// A traverse with side legs (spurs) opened in b_trav: the spurs are computed
// from their own from-stations but stay out of the loop's length, closure,
// adjustment and area, and are plotted as lines of their own. Every figure is
// checked against tests/trav_plot/data/branch_working.py, which works the
// traverse out by its own rules, takes the area from shapely and reads the
// plotted lines back with ezdxf.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host_fixture.h"
#include "outside_readers.h"
#include "trav_model.h"
#include "trav_settings.h"

namespace {

// The loop 1-2-3-4-5-6-1 (a hexagon of 100, 50, 80, 100, 50 and 80 m), with
// a spur of two legs 3-20-21 and a spur of one leg 5-30; the route is taken up
// again at 3 and at 5. The last leg closes the loop exactly, or, with
// "0.0010,80.010", misses station 1 by (0.004, 0.010).
std::string branch_file(const char* last_leg)
{
    return std::string(
               "KOLVA4\n"
               "P,1,1,5000.0000000000,3000.0000000000,0.000,METER,BM1\n"
               "T,1,2,90.0000,100.000,0.000,METER,\n"
               "T,2,3,135.0000,50.000,0.000,METER,\n"
               "T,3,20,60.0000,35.250,0.000,METER,\n"
               "T,20,21,10.3000,22.100,0.000,METER,\n"
               "T,3,4,180.0000,80.000,0.000,METER,\n"
               "T,4,5,270.0000,100.000,0.000,METER,\n"
               "T,5,30,200.1530,15.500,0.000,METER,\n"
               "T,5,6,315.0000,50.000,0.000,METER,\n"
               "T,6,1,") +
           last_leg +
           ",0.000,METER,\n"
           "C,1,1,0.0000,0.000,0.000,METER,\n";
}

class TravBranch : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        drawing().prefix = home() + "/";
        drawing().name = "branch.dwg";
    }

    // What the independent working prints (and, with a drawing, its check
    // of the plotted lines), one figure a line.
    std::vector<std::string> working(const std::string& trv, const std::string& dxf, bool adjusted)
    {
        const std::string python = outside::ezdxf_python();
        EXPECT_FALSE(python.empty()) << "python3-ezdxf is needed (.ci/install-deps installs it)";
        std::string command = python + " '" + ORVIK_SOURCE_DIR +
                              "/tests/trav_plot/data/branch_working.py' '" + trv + "' '" + dxf + "'" +
                              (adjusted ? " adjusted" : "");
        std::string output;
        EXPECT_EQ(outside::run_tool(command, output), 0) << output;
        std::vector<std::string> figures;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);)
            if (!line.empty()) figures.push_back("\n" + line);
        return figures;
    }

    // Opens the file, lists it and its loop's area, plots it (the dialog
    // lines given) and saves the drawing; the command line of it all.
    std::string open_list_plot(const std::string& trv, const std::string& plot_lines, const std::string& dxf)
    {
        return run("(b_trav)\nO\n" + trv + "\nP\nA\nS\n" + plot_lines + "pick yes\nP\nP\nX\nSAVEAS " + dxf +
                   "\n");
    }
};

TEST_F(TravBranch, SpursStayOutOfTheLoopsAreaAndArePlottedOnTheirOwn)
{
    const std::string trv = home() + "/closed.trv";
    std::ofstream(trv) << branch_file("0.0000,80.000");
    const std::string dxf = home() + "/closed.dxf";
    const std::string shown = open_list_plot(trv, "", dxf);
    const std::vector<std::string> figures = working(trv, dxf, false);
    ASSERT_FALSE(figures.empty());
    EXPECT_EQ(figures.back(), "\nplotted ok");
    for (const std::string& figure : figures) {
        if (figure.find("Tikai") != std::string::npos || figure == "\nplotted ok") continue;
        EXPECT_NE(shown.find(figure), std::string::npos) << figure << "\n" << shown;
    }
    // By hand as well: the hexagon's opposite sides are equal, so with its side
    // vectors u (100, 0), v (35.355, -35.355), w (0, -80) its area is
    // |u x v| + |v x w| + |u x w| = 3535.534 + 2828.427 + 8000 = 14363.961;
    // the spur legs (72.85 m) are not in the loop's length of 460 m.
    EXPECT_NE(shown.find("\nLoop 0 Area=14363.961"), std::string::npos);
    EXPECT_NE(shown.find("dist=460.000"), std::string::npos);
}

TEST_F(TravBranch, ClosureAndAdjustmentAreThoseOfTheLoopAlone)
{
    const std::string trv = home() + "/open.trv";
    std::ofstream(trv) << branch_file("0.0010,80.010");
    const std::string dxf = home() + "/open.dxf";
    const std::string shown = open_list_plot(trv, "pick tg_Adjust\n", dxf);
    const std::vector<std::string> figures = working(trv, dxf, true);
    ASSERT_FALSE(figures.empty());
    EXPECT_EQ(figures.back(), "\nplotted ok");
    for (const std::string& figure : figures) {
        if (figure.find("Area=") != std::string::npos || figure == "\nplotted ok") continue;
        EXPECT_NE(shown.find(figure), std::string::npos) << figure << "\n" << shown;
    }
}

}  // namespace
