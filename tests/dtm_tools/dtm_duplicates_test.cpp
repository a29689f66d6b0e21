// The duplicated-points check, driven from the terrain-model menu as a user
// would: the menu dialog, "<C>ancel <P>roceed", the tolerance, the selection.
//
// Worked by hand: the search window of a point reaches sqrt 2 = 1.4142 in x and
// y, so a POINT 1.5 away in x is never compared, whatever the tolerance; plan
// distances are compared with "at most the tolerance".
#include <string>
#include <vector>

#include "ads.h"
#include "host_fixture.h"
#include "test_entities.h"

namespace {

class DtmDuplicatesTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    void make_point(double x, double y, double z) { ASSERT_TRUE(test_make_point("LEVELS", x, y, z)); }

    std::vector<host::Point3> live_points()
    {
        std::vector<host::Point3> out;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased && e->type == "POINT") out.push_back(e->point(10));
        }
        return out;
    }

    // The check from the menu; tolerance "" keeps the current one.
    std::string check(const std::string& tolerance, const std::string& proceed = "P")
    {
        return run("(b_dtm_main)\nselect s_progname 0\npick go_btn\n" + proceed + "\n" + tolerance +
                   "\nALL\n\n");
    }
};

TEST_F(DtmDuplicatesTest, ThreeCoincidentPointsLeaveTheFirstMade)
{
    make_point(10, 20, 1.0);
    make_point(10, 20, 2.0);
    make_point(10, 20, 3.0);
    make_point(50, 50, 4.0);
    const std::string out = check("");
    EXPECT_NE(out.find("This program find duplicated points.(remove if duplicated)"), std::string::npos);
    // Each progress line overwrites the one before; the last one is printed
    // before the fourth position, after both duplicates were found at the first.
    EXPECT_NE(out.find("Processing 4 of 4 points (2 duplicated at tolorence 0.005)"), std::string::npos);
    const std::vector<host::Point3> left = live_points();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_DOUBLE_EQ(left[0].z, 1.0);  // the first in the window's order survives
    EXPECT_DOUBLE_EQ(left[1].z, 4.0);
}

TEST_F(DtmDuplicatesTest, TolerancesAndTheWindowDecideWhatIsErased)
{
    struct row {
        const char* name;
        std::string tolerance;  // answer to "Tolorence"
        double dx, dy;          // offset of the second POINT
        size_t left;            // POINTs left
    };
    const row rows[] = {
        {"0.004 apart, tolerance 0.005", "0.005", 0.004, 0.0, 1},
        {"0.006 apart, tolerance 0.005", "0.005", 0.006, 0.0, 2},
        {"diagonal 0.0042 apart, tolerance 0.005", "0.005", 0.003, 0.003, 1},
        {"0.3 apart, tolerance 0.5", "0.5", 0.3, 0.0, 1},
        {"1.0 apart, tolerance 5 (inside the window)", "5", 1.0, 0.0, 1},
        {"1.5 apart, tolerance 5 (outside the window)", "5", 1.5, 0.0, 2},
        {"1.3, 1.3 apart, tolerance 5 (window corner)", "5", 1.3, 1.3, 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        drawing().model.clear();
        make_point(100, 100, 7.0);
        make_point(100 + r.dx, 100 + r.dy, 8.0);
        check(r.tolerance);
        const std::vector<host::Point3> left = live_points();
        ASSERT_EQ(left.size(), r.left);
        EXPECT_DOUBLE_EQ(left[0].z, 7.0);
    }
}

// eXit at the tolerance leaves the command: nothing erased, the tolerance as
// it was. A negative tolerance is refused and asked again; 0 erases only
// POINTs at exactly the same place.
TEST_F(DtmDuplicatesTest, ExitAtTheToleranceErasesNothing)
{
    make_point(0, 0, 1.0);
    make_point(0, 0, 2.0);
    make_point(0.001, 0, 3.0);
    std::string out = check("X");
    EXPECT_EQ(out.find("Processing"), std::string::npos) << out;
    EXPECT_EQ(live_points().size(), 3u);
    out = check("-1\n0");
    EXPECT_NE(out.find("The tolerance must be at least 0.000 (-1.000 given)"), std::string::npos) << out;
    EXPECT_NE(out.find("1 duplicated points erased."), std::string::npos) << out;
    EXPECT_EQ(live_points().size(), 2u);
    out = check("");
    EXPECT_NE(out.find("Tolorence<0.000>"), std::string::npos) << out;
    EXPECT_EQ(live_points().size(), 2u);
    check("0.005");  // the default again for the tests after this one
}

TEST_F(DtmDuplicatesTest, CancelAndEmptySelectionChangeNothing)
{
    make_point(0, 0, 1.0);
    make_point(0, 0, 2.0);
    std::string out = run("(b_dtm_main)\nselect s_progname 0\npick go_btn\nC\n");
    EXPECT_EQ(live_points().size(), 2u);
    EXPECT_EQ(out.find("Processing"), std::string::npos);
    out = run("(b_dtm_main)\nselect s_progname 0\npick go_btn\nP\n\n\n");
    EXPECT_EQ(out.find("Processing"), std::string::npos);
    EXPECT_EQ(live_points().size(), 2u);
}

}  // namespace
