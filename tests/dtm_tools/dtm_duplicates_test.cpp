// The duplicated-points check, driven from the terrain-model menu as a user
// would: the menu dialog, "<C>ancel <P>roceed", the tolerance, the selection.
//
// Worked by hand: the search window of a point reaches sqrt 2 = 1.4142 in x and
// y, so a POINT 1.5 away in x is never compared, whatever the tolerance; plan
// distances are compared with "at most the tolerance".
#include <cmath>
#include <random>
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

// A POINT that has been erased erases nothing. On a chain of POINTs each 0.004
// from the next (tolerance 0.005) the first stays, the second is its duplicate,
// the third is 0.008 from the first and stays, and so on: every other one.
TEST_F(DtmDuplicatesTest, ChainsClustersAndRepeatsKeepEveryPointNotNearOneThatStays)
{
    struct row {
        const char* name;
        std::vector<std::vector<double>> points;  // x, y in the order made
        std::vector<size_t> left;                 // the indexes that stay
    };
    const row rows[] = {
        {"chain of three", {{0, 0}, {0.004, 0}, {0.008, 0}}, {0, 2}},
        {"chain of seven",
         {{0, 0}, {0.004, 0}, {0.008, 0}, {0.012, 0}, {0.016, 0}, {0.020, 0}, {0.024, 0}},
         {0, 2, 4, 6}},
        {"chain made from its far end", {{0.008, 0}, {0.004, 0}, {0, 0}}, {0, 2}},
        {"bent chain", {{0, 0}, {0, 0.004}, {0.0035, 0.006}, {0.007, 0.004}}, {0, 2}},
        // B and C lie within the tolerance of A; D within that of C only.
        {"cluster and a tail", {{0, 0}, {0.003, 0}, {0, 0.003}, {0, 0.0075}}, {0, 3}},
        {"exact repeats", {{5, 5}, {5, 5}, {5, 5}, {5, 5.004}, {5, 5.008}}, {0, 4}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        drawing().model.clear();
        for (size_t i = 0; i < r.points.size(); ++i) make_point(r.points[i][0], r.points[i][1], double(i));
        const std::string out = check("0.005");
        std::vector<size_t> left;
        for (const host::Point3& p : live_points()) left.push_back(static_cast<size_t>(p.z));
        EXPECT_EQ(left, r.left) << out;
        const std::string count =
            std::to_string(r.points.size() - r.left.size()) + " duplicated points erased.";
        EXPECT_NE(out.find(count), std::string::npos) << out;
    }
}

// Many POINTs in a small field, some of them repeated: whatever stays, no two
// POINTs that stay lie within the tolerance of each other, every erased POINT
// lies within the tolerance of one that stays, and the count line says how many
// were erased.
TEST_F(DtmDuplicatesTest, EveryErasedPointLiesNearOneThatStays)
{
    std::mt19937 random(5106);
    std::uniform_real_distribution<double> coord(0.0, 0.2);
    std::vector<host::Point3> made;
    for (int i = 0; i < 400; ++i) {
        host::Point3 p{300000 + coord(random), 500000 + coord(random), double(i)};
        if (i % 7 == 3) p = made[static_cast<size_t>(i / 2)];  // an exact repeat of an earlier one
        p.z = double(i);
        made.push_back(p);
        make_point(p.x, p.y, p.z);
    }
    const double tolerance = 0.012;
    const std::string out = check("0.012");
    const std::vector<host::Point3> left = live_points();
    ASSERT_LT(left.size(), made.size());
    std::vector<bool> stays(made.size(), false);
    for (const host::Point3& p : left) stays[static_cast<size_t>(p.z)] = true;
    auto near = [&](const host::Point3& a, const host::Point3& b) {
        return std::hypot(a.x - b.x, a.y - b.y) <= tolerance;
    };
    for (size_t i = 0; i < left.size(); ++i)
        for (size_t j = i + 1; j < left.size(); ++j)
            EXPECT_FALSE(near(left[i], left[j])) << left[i].z << " and " << left[j].z << " both stay";
    for (size_t i = 0; i < made.size(); ++i) {
        if (stays[i]) continue;
        bool covered = false;
        for (const host::Point3& p : left) covered = covered || near(p, made[i]);
        EXPECT_TRUE(covered) << "point " << i << " was erased with no point that stays near it";
    }
    const std::string count = std::to_string(made.size() - left.size()) + " duplicated points erased.";
    EXPECT_NE(out.find(count), std::string::npos) << out;
    check("0.005");  // the default again for the tests after this one
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
