// The nearest-point index: its edge cases, and the library's sort and window
// search against a literal version (adjacent-exchange sort, linear window
// scans, pairing of ids by nested loops) on random inputs full of ties.
#include "nearest_index.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "ads.h"
#include "entity_makers.h"
#include "geometry.h"
#include "host_fixture.h"

namespace {

void build(const std::vector<point3d_rec>& points, double radius)
{
    nearest_index_ctl(0, 0, 0);
    for (const auto& p : points) nearest_index_ctl(p.x, p.y, 1);
    nearest_index_ctl(0, 0, 2);
    nearest_set_radius(radius);
}

// ---- the literal version -------------------------------------------------------

struct Literal {
    std::vector<pnt_key_rec> xs, ys;
    double radius = 0, base = 0;

    static void exchange_sort(std::vector<pnt_key_rec>& list)
    {
        int n = static_cast<int>(list.size());
        for (int i = 0; i < n - 1; ++i)
            for (int j = 0; j < n - 1 - i; ++j)
                if (list[j].key > list[j + 1].key) std::swap(list[j], list[j + 1]);
    }

    static void window(const std::vector<pnt_key_rec>& list, double q, double r, int& first, int& last)
    {
        int n = static_cast<int>(list.size());
        int c = n - 1;
        for (int i = 0; i < n; ++i)
            if (list[i].key > q) {
                c = i;
                break;
            }
        int s = c > 1 ? c - 1 : c;
        first = 0;
        for (int i = s; i >= 0; --i)
            if (list[i].key < list[s].key - r) {
                first = i;
                break;
            }
        last = n - 1;
        for (int i = c; i < n; ++i)
            if (list[i].key > list[c].key + r) {
                last = i;
                break;
            }
    }

    void build(const std::vector<point3d_rec>& points, double r)
    {
        xs.clear();
        ys.clear();
        for (int i = 0; i < static_cast<int>(points.size()); ++i) {
            xs.push_back({i, points[i].x});
            ys.push_back({i, points[i].y});
        }
        exchange_sort(xs);
        exchange_sort(ys);
        radius = base = r;
    }

    int find(const point3d_rec& p)
    {
        if (xs.empty()) return -1;
        for (;;) {
            int xf, xl, yf, yl;
            window(xs, p.x, radius, xf, xl);
            window(ys, p.y, radius, yf, yl);
            std::vector<pnt_cand_rec> cands;
            for (int i = xf; i <= xl; ++i)
                for (int j = yf; j <= yl; ++j)
                    if (xs[i].id == ys[j].id) cands.push_back({xs[i].id, xs[i].key, ys[j].key});
            int best = -1;
            double best_d = 0;
            for (int i = 0; i < static_cast<int>(cands.size()); ++i) {
                double d = dist_2d(p, {cands[i].x, cands[i].y, 0});
                if (best < 0 || d < best_d) {
                    best = i;
                    best_d = d;
                }
            }
            if (best >= 0) {
                radius = base;
                return cands[best].id;
            }
            radius += 5.0;
        }
    }
};

// ---- edge cases -------------------------------------------------------------------

// The index prints its sorting progress on the host's command line.
class NearestIndex : public HostFixture {};

TEST_F(NearestIndex, EmptyIndexGivesMinusOne)
{
    build({}, 20.0);
    EXPECT_EQ(nearest_find_point({1, 2}), -1);
}

TEST_F(NearestIndex, OnePointIsFoundForAnyQuery)
{
    build({{100, 100}}, 1.0);
    for (point3d_rec q : {point3d_rec{0, 0}, point3d_rec{100, 100}, point3d_rec{-5000, 7000}}) {
        EXPECT_EQ(nearest_find_point(q), 0);
        EXPECT_EQ(nearest_index().radius, 1.0);  // back to the base radius
    }
}

TEST_F(NearestIndex, ExactHitAtTheBaseRadius)
{
    build({{0, 0}, {50, 50}, {10, 3}, {-20, 8}}, 2.0);
    EXPECT_EQ(nearest_find_point({10, 3}), 2);
    EXPECT_EQ(nearest_index().radius, 2.0);
}

TEST_F(NearestIndex, TiesGoToTheFirstInXWindowOrder)
{
    // Both at x = 0: equal keys keep insertion order, so id 0 comes first.
    build({{0, 1}, {0, -1}}, 5.0);
    EXPECT_EQ(nearest_find_point({0, 0}), 0);
    // Different x: the X list puts (-1, 0), id 1, first.
    build({{1, 0}, {-1, 0}}, 5.0);
    EXPECT_EQ(nearest_find_point({0, 0}), 1);
}

TEST_F(NearestIndex, FarQueryWidensTheWindow)
{
    build({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {400, 400}}, 1.0);
    EXPECT_EQ(nearest_find_point({390, 395}), 4);
    EXPECT_EQ(nearest_find_point({1.2, 0.1}), 1);
}

TEST_F(NearestIndex, SortKeepsEqualKeysInInsertionOrder)
{
    build({{3, 0}, {1, 0}, {3, 1}, {1, 1}, {2, 2}}, 1.0);
    std::vector<int> ids;
    for (const auto& k : nearest_index().x_keys) ids.push_back(k.id);
    EXPECT_EQ(ids, (std::vector<int>{1, 3, 4, 0, 2}));
}

// ---- literal against library ---------------------------------------------------------

TEST_F(NearestIndex, SameResultsAsTheLiteralVersion)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 60; ++round) {
        int n = 1 + static_cast<int>(random() % 120);
        int grid = 1 + static_cast<int>(random() % 12);  // small grids make many ties
        double cell = (round % 3 == 0) ? 0.5 : 7.0;
        std::uniform_int_distribution<int> coord(-grid, grid);
        std::vector<point3d_rec> points;
        for (int i = 0; i < n; ++i) points.push_back({coord(random) * cell, coord(random) * cell, 0});
        double radius = (round % 4) * 2.5;

        Literal literal;
        literal.build(points, radius);
        build(points, radius);
        ASSERT_EQ(nearest_index().x_keys.size(), literal.xs.size());
        for (std::size_t i = 0; i < literal.xs.size(); ++i) {
            ASSERT_EQ(nearest_index().x_keys[i].id, literal.xs[i].id);
            ASSERT_EQ(nearest_index().y_keys[i].id, literal.ys[i].id);
        }

        std::uniform_real_distribution<double> spread(-(grid + 30) * cell, (grid + 30) * cell);
        for (int q = 0; q < 40; ++q) {
            point3d_rec query = q % 2 ? point3d_rec{spread(random), spread(random), 0}
                                      : point3d_rec{coord(random) * cell, coord(random) * cell, 0};
            // Windows at the current radius first, then the whole search.
            int xf, xl, yf, yl;
            Literal::window(literal.xs, query.x, nearest_index().radius, xf, xl);
            Literal::window(literal.ys, query.y, nearest_index().radius, yf, yl);
            find_key_window(query);
            ASSERT_EQ(nearest_index().x_first, xf);
            ASSERT_EQ(nearest_index().x_last, xl);
            ASSERT_EQ(nearest_index().y_first, yf);
            ASSERT_EQ(nearest_index().y_last, yl);
            ASSERT_EQ(nearest_find_point(query), literal.find(query)) << "round " << round << " query " << q;
        }
    }
}

// Within a limit: the nearest point no farther than the limit, found by a
// plain scan over all points, or none; the radii stay as they were.
TEST_F(NearestIndex, NearestWithinALimit)
{
    std::mt19937 random(99);
    std::uniform_real_distribution<double> coord(0, 300);
    std::vector<point3d_rec> points(500);
    for (auto& p : points) p = {coord(random), coord(random), 0};
    build(points, 7.0);
    EXPECT_EQ(nearest_find_point_within({1e6, 1e6, 0}, 20.0), -1);
    for (int q = 0; q < 400; ++q) {
        const point3d_rec query{coord(random) * 1.2 - 30, coord(random) * 1.2 - 30, 0};
        const double limit = q % 2 ? 20.0 : 4.0;
        int want = -1;
        for (int i = 0; i < static_cast<int>(points.size()); ++i) {
            const double d = dist_2d(query, points[i]);
            if (d <= limit && (want < 0 || d < dist_2d(query, points[want]))) want = i;
        }
        ASSERT_EQ(nearest_find_point_within(query, limit), want) << q;
        ASSERT_EQ(nearest_index().radius, 7.0);
        ASSERT_EQ(nearest_index().base_radius, 7.0);
    }
    nearest_index_ctl(0, 0, 0);
    EXPECT_EQ(nearest_find_point_within({0, 0, 0}, 20.0), -1);
}

TEST_F(NearestIndex, TestCommandReportsEachPick)
{
    for (point3d_rec p : {point3d_rec{0, 0}, point3d_rec{10, 0}, point3d_rec{100, 100}}) {
        ent_list_builder list;
        list.type("POINT").text(8, "PTS").point(10, p);
        ASSERT_EQ(acdbEntMake(list.list()), RTNORM);
    }
    // Select all, pick near the first point, accept "Found here", then near the
    // third; an empty pick ends.
    session().transcript().clear();
    session().set_input(host::script_input("ALL\n\n1,1\n\n99,98\n\n\n"));
    EXPECT_EQ(test_find_nearest_point(), 1);
    const std::string& shown = session().transcript().text();
    EXPECT_NE(shown.find("\nTEST FIND NEAREST POINT...."), std::string::npos);
    EXPECT_NE(shown.find("\nAt [0] (0.000,0.000)]"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\nAt [2] (100.000,100.000)]"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\nFound here :"), std::string::npos);
    EXPECT_EQ(nearest_index().base_radius, 20.0);
}

TEST_F(NearestIndex, SortingProgressLine)
{
    session().transcript().clear();
    build({{5, 0}, {4, 0}, {3, 0}, {2, 0}, {1, 0}}, 1.0);
    // Four outer steps per list; the line rewrites itself and ends on the last.
    EXPECT_NE(session().transcript().text().find("Sorting 3 of 4 objects"), std::string::npos);
    EXPECT_EQ(session().transcript().text().find("Sorting 2 of 4"), std::string::npos);
}

}  // namespace
