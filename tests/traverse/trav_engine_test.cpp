// The traverse computation: Transit-rule closure and adjustment, worked
// traverses against independently computed values, the edge cases of closing
// and adjusted stations, and the faults mended in the engine.
#include "trav_engine.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "trav_file.h"
#include "trav_print.h"
#include "trav_settings.h"
#include "trav_test_support.h"

namespace {

constexpr double mm = 0.0005;  // half a millimetre: values agree to the millimetre

const trav_point_rec& station(const trav_lists& lists, int number)
{
    const int index = find_point_index(number, lists.stations);
    EXPECT_GE(index, 0) << "station " << number;
    return lists.stations.at(index < 0 ? 0 : index);
}

size_t count_of(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// ---- The Transit rule on the square ----

TEST(TravTransit, SquareClosureLine)
{
    trav_lists lists = trav_square_lists();
    const std::string printed = trav_solve_printing(lists, 0, false);
    // One closure line: route [1,2,3,4,1,-1], ratio 400.03 / 0.03 = 13334.3 cut to 13334.
    EXPECT_EQ(count_of(printed, "Tikai 1:"), 1u) << printed;
    EXPECT_NE(printed.find("\n[1--1]Tikai 1: 13334   dist=400.030  diflat= -0.030  difdip= "),
              std::string::npos)
        << printed;
    EXPECT_EQ(route_accuracy_ratio(lists.routes[0]), 13334);
    EXPECT_NEAR(route_diflat(lists.routes[0]), -0.03, 1e-6);  // the ten-decimal pi leaves 1e-8
    EXPECT_NEAR(route_difdip(lists.routes[0]), 0.0, 1e-6);
    EXPECT_EQ(station(lists, 2).status, trav_cal);
    EXPECT_NEAR(station(lists, 3).point.y, 1900.0, 1e-6);

    double bearing = -1, distance = -1;
    route_misclosure_bearing_dist(lists.routes[0], bearing, distance);
    EXPECT_NEAR(distance, 0.03, 1e-6);
    EXPECT_NEAR(bearing, 0.0, 1e-9);  // from (1000, 2000) due north to (1000, 2000.03)
}

TEST(TravTransit, AdjustmentCorrectsOnlyAlongEachLegsAxis)
{
    trav_lists lists = trav_square_lists();
    const std::string printed = trav_solve_printing(lists, 0, true);
    // The closure line still shows the misclosure before the adjustment.
    EXPECT_NE(printed.find("\n[1--1]Tikai 1: 13334   dist=400.030  diflat= -0.030"), std::string::npos)
        << printed;
    // ky = -0.03 / (100 + 100.03): the east-west legs get no y correction
    // (Bowditch would put station 2 at y 1999.9925), the north-south legs
    // share the -0.03 by their |dN|.
    const double ky = -0.03 / 200.03;
    EXPECT_NEAR(station(lists, 2).point.y, 2000.0, mm);
    EXPECT_NEAR(station(lists, 2).point.x, 1100.0, mm);
    EXPECT_NEAR(station(lists, 3).point.y, 1900.0 + 100 * ky, 1e-6);
    EXPECT_NEAR(station(lists, 4).point.y, 1900.0 + 100 * ky, 1e-6);
    EXPECT_NEAR(station(lists, 4).point.x, 1000.0, mm);
    EXPECT_EQ(station(lists, 2).status, trav_adjusted);
    EXPECT_EQ(station(lists, 4).status, trav_adjusted);
    EXPECT_EQ(station(lists, 1).status, trav_fixed);
    EXPECT_EQ(station(lists, 1).point.y, 2000.0);
}

// ---- Worked traverses, against tests/traverse/data/worked_expected.txt ----

struct expected_station {
    int number;
    double x, y;
    std::string status;
};
struct expected_route {
    double length, diflat, difdip;
    int ratio;
    double area;
};
struct expected_case {
    std::vector<expected_station> stations;
    expected_route route;
};

std::map<std::string, expected_case> load_expected()
{
    std::map<std::string, expected_case> cases;
    std::ifstream in(trav_data_path("worked_expected.txt"));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string kind, name;
        fields >> kind >> name;
        if (kind == "station") {
            expected_station s;
            fields >> s.number >> s.x >> s.y >> s.status;
            cases[name].stations.push_back(s);
        } else if (kind == "route") {
            int index;
            expected_route& r = cases[name].route;
            fields >> index >> r.length >> r.diflat >> r.difdip >> r.ratio >> r.area;
        }
    }
    return cases;
}

TEST(TravWorked, LoopAndLinkTraversesMatchTheWorking)
{
    const std::map<std::string, expected_case> cases = load_expected();
    ASSERT_EQ(cases.size(), 8u);
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        const std::string file = name.substr(0, name.find('_')) + ".trv";
        const int decimals = name.find("_d3_") != std::string::npos ? 3 : 0;
        const bool adjust = name.find("_adj") != std::string::npos;
        trav_settings_defaults();
        trav_settings().file_name = trav_data_path(file);
        trav_lists lists;
        std::string printed = trav_run_printing([&] {
                                  ASSERT_EQ(read_trav_file(lists.observations, lists.radiations, lists.routes,
                                                           lists.stations, false),
                                            trav_read_ok);
                              }).text;
        printed = trav_solve_printing(lists, decimals, adjust);

        for (const expected_station& s : expected.stations) {
            const trav_point_rec& got = station(lists, s.number);
            EXPECT_NEAR(got.point.x, s.x, mm) << "station " << s.number;
            EXPECT_NEAR(got.point.y, s.y, mm) << "station " << s.number;
            EXPECT_STREQ(trav_status_word(got.status), s.status.c_str()) << "station " << s.number;
        }
        const trav_route_rec& route = lists.routes.at(0);
        EXPECT_NEAR(route.length, expected.route.length, mm);
        EXPECT_NEAR(route_diflat(route), expected.route.diflat, mm);
        EXPECT_NEAR(route_difdip(route), expected.route.difdip, mm);
        EXPECT_EQ(route_accuracy_ratio(route), expected.route.ratio);
        EXPECT_NEAR(route.area, expected.route.area, mm);

        // The closure line the user sees, built from the expected figures.
        char line[200];
        const int first = route.stations.front();
        std::snprintf(line, sizeof line, "\n[%d-%d]Tikai 1: %d   dist=%.3f  diflat= %.3f  difdip= %.3f",
                      first, route.stations.back(), expected.route.ratio, expected.route.length,
                      expected.route.diflat, expected.route.difdip);
        EXPECT_EQ(printed, line);
    }
}

// ---- Edge cases of closing routes ----

TEST(TravClosing, LoopClosedByALegAloneHasNoClosureAndNoAdjustment)
{
    trav_lists lists = trav_square_lists();
    lists.routes[0].stations.pop_back();  // [1,2,3,4,1]: no closing entry
    const std::string printed = trav_solve_printing(lists, 0, true);
    EXPECT_EQ(printed.find("Tikai"), std::string::npos) << printed;
    EXPECT_EQ(station(lists, 2).status, trav_cal);
    EXPECT_NEAR(station(lists, 4).point.y, 1900.0, 1e-6);
}

// A link traverse 1 -> 2 -> 3 whose closing record holds coordinates that
// differ from fixed station 3's.
trav_lists link_with_closing_coordinates()
{
    trav_lists lists;
    trav_add_station(1, point3d_rec{0, 0, 0}, trav_fixed, lists.stations, false);
    trav_add_station(3, point3d_rec{200.0, 0.05, 0}, trav_fixed, lists.stations, false);
    trav_add_station(2, point3d_rec{}, trav_nil, lists.stations, false);
    lists.routes.emplace_back();
    trav_add_obs(lists.observations, trav_obs_leg, 1, 2, 90.0, 100.0, 0, "METER", "");
    trav_link_nodes(1, 2, 0, lists.routes);
    trav_add_obs(lists.observations, trav_obs_leg, 2, 3, 90.0, 100.0, 0, "METER", "");
    trav_link_nodes(2, 3, 0, lists.routes);
    trav_add_obs(lists.observations, trav_obs_closing, 3, 3, 200.02, 0.01, 0, "METER", "");
    lists.routes[0].stations.push_back(-3);
    lists.routes[0].known_point = point3d_rec{200.02, 0.01, 0};
    lists.routes.emplace_back();
    return lists;
}

TEST(TravClosing, KnownCoordinatesOfTheClosingRecordAgainstAFixedStation)
{
    // Flag off: the record's own coordinates stay, although 3 is FIXED.
    trav_lists off = link_with_closing_coordinates();
    trav_solve_printing(off, 0, false);
    EXPECT_NEAR(route_difdip(off.routes[0]), 0.02, 1e-6);
    EXPECT_NEAR(route_diflat(off.routes[0]), 0.01, 1e-6);
    // Flag on: the FIXED station's coordinates replace them.
    trav_lists on = link_with_closing_coordinates();
    trav_solve_printing(on, 0, true);
    EXPECT_NEAR(route_difdip(on.routes[0]), 0.0, 1e-6);
    EXPECT_NEAR(route_diflat(on.routes[0]), 0.05, 1e-6);
    EXPECT_EQ(station(on, 3).point.y, 0.05);  // FIXED: untouched
    EXPECT_EQ(station(on, 2).status, trav_adjusted);
}

TEST(TravClosing, AdjustedStationKeepsItsPlaceWhenALaterRouteComesBack)
{
    trav_lists lists = link_with_closing_coordinates();
    // A second route from 3 back through 2 (adjusted by the first route) to a
    // new station 5, whose position its closing record gives.
    trav_add_obs(lists.observations, trav_obs_leg, 3, 2, 270.0, 100.01, 0, "METER", "");
    trav_link_nodes(3, 2, 1, lists.routes);
    trav_add_obs(lists.observations, trav_obs_leg, 2, 5, 0.0, 50.0, 0, "METER", "");
    trav_link_nodes(2, 5, 1, lists.routes);
    trav_add_station(5, point3d_rec{}, trav_nil, lists.stations, false);
    trav_add_obs(lists.observations, trav_obs_closing, 5, 5, 100.5, 50.3, 0, "METER", "");
    lists.routes[1].stations.push_back(-5);
    lists.routes[1].known_point = point3d_rec{100.5, 50.3, 0};
    lists.routes.emplace_back();
    ASSERT_EQ(lists.routes[1].stations, (std::vector<int>{3, 2, 5, -5}));

    trav_solve_printing(lists, 0, true);
    // Station 2 keeps the place the first route's adjustment gave it.
    trav_lists first_only = link_with_closing_coordinates();
    trav_solve_printing(first_only, 0, true);
    EXPECT_EQ(station(lists, 2).point.x, station(first_only, 2).point.x);
    EXPECT_EQ(station(lists, 2).point.y, station(first_only, 2).point.y);
    EXPECT_EQ(station(lists, 2).status, trav_adjusted);
    // Station 5 continues from the second route's own adjusted position of 2,
    // so the Transit rule lands it exactly on the known point.
    EXPECT_NEAR(station(lists, 5).point.x, 100.5, 1e-9);
    EXPECT_NEAR(station(lists, 5).point.y, 50.3, 1e-9);
    EXPECT_EQ(station(lists, 5).status, trav_adjusted);
}

// ---- Faults mended in the engine ----

TEST(TravMended, ClosingOnAComputedStationDoesNotPullTowardTheOrigin)
{
    // Route 0: fixed 1 -> 2 -> 3, open. Route 1: 3 -> 4 -> back onto 2 (only
    // computed), closing on 2 with no coordinates of its own.
    trav_lists lists;
    trav_add_station(1, point3d_rec{5000, 5000, 0}, trav_fixed, lists.stations, false);
    lists.routes.emplace_back();
    trav_add_legs(lists, 0, {{1, 2, 90.0, 100.0}, {2, 3, 180.0, 100.0}});
    lists.routes.emplace_back();
    trav_add_legs(lists, 1, {{3, 4, 270.0, 100.0}, {4, 2, 45.0, 141.45}});
    trav_add_obs(lists.observations, trav_obs_closing, 2, 2, 0, 0, 0, "METER", "");
    lists.routes[1].stations.push_back(-2);
    lists.routes.emplace_back();

    const std::string printed = trav_solve_printing(lists, 0, true);
    // Checked against 2's computed place (5100, 5000), not against (0, 0).
    EXPECT_NEAR(lists.routes[1].known_point.x, 5100.0, 1e-6);
    EXPECT_NEAR(lists.routes[1].known_point.y, 5000.0, 1e-6);
    EXPECT_NEAR(station(lists, 4).point.x, 5000.0, 0.05);
    EXPECT_NEAR(station(lists, 4).point.y, 4900.0, 0.05);
    EXPECT_EQ(station(lists, 4).status, trav_adjusted);
    EXPECT_NE(printed.find("[3--2]Tikai 1: "), std::string::npos) << printed;

    // Closing on a station that is nowhere, with no coordinates: nothing to
    // adjust to, so the stations stay where the legs put them.
    lists.routes[1].stations.back() = -99;
    lists.routes[1].known_point = point3d_rec{};
    trav_solve_printing(lists, 0, true);
    EXPECT_EQ(station(lists, 4).status, trav_cal);
    EXPECT_NEAR(station(lists, 4).point.x, 5000.0, 1e-6);
    EXPECT_NEAR(station(lists, 4).point.y, 4900.0, 1e-6);
}

TEST(TravMended, BranchFromAnEarlierStationIsComputed)
{
    // P1; T1-2; T2-3; T2-4: the route is [1,2,3,4] and holds no leg 3 -> 4.
    trav_lists lists;
    trav_add_station(1, point3d_rec{100, 100, 0}, trav_fixed, lists.stations, false);
    lists.routes.emplace_back();
    trav_add_legs(lists, 0, {{1, 2, 0.0, 10.0}, {2, 3, 90.0, 20.0}, {2, 4, 270.0, 30.0}});
    ASSERT_EQ(lists.routes[0].stations, (std::vector<int>{1, 2, 3, 4}));
    trav_solve_printing(lists, 3, false);
    EXPECT_EQ(station(lists, 3).point.x, 120.0);
    EXPECT_EQ(station(lists, 3).point.y, 110.0);
    EXPECT_EQ(station(lists, 4).status, trav_cal);
    EXPECT_EQ(station(lists, 4).point.x, 70.0);  // from 2 (100, 110), not from 3
    EXPECT_EQ(station(lists, 4).point.y, 110.0);
}

TEST(TravMended, StationFirstInTheListIsComputed)
{
    // The list starts with a station that a leg reaches (a leg came before
    // any fixed point).
    trav_lists lists;
    trav_add_station(2, point3d_rec{}, trav_nil, lists.stations, false);
    trav_add_station(1, point3d_rec{10, 20, 0}, trav_fixed, lists.stations, false);
    lists.routes.emplace_back();
    trav_add_obs(lists.observations, trav_obs_leg, 1, 2, 90.0, 5.0, 0, "METER", "");
    trav_link_nodes(1, 2, 0, lists.routes);
    trav_add_obs(lists.radiations, trav_obs_radiation, 1, 2, 0.0, 1.0, 0, "METER", "");
    trav_solve_printing(lists, 3, false);
    EXPECT_EQ(lists.stations[0].status, trav_cal);
    EXPECT_EQ(lists.stations[0].point.x, 15.0);
    EXPECT_EQ(lists.stations[0].point.y, 20.0);
}

TEST(TravMended, RouteWithoutEastWestMovementAdjustsWithoutDividingByZero)
{
    trav_lists lists;
    trav_add_station(1, point3d_rec{500, 500, 0}, trav_fixed, lists.stations, false);
    lists.routes.emplace_back();
    trav_add_legs(lists, 0, {{1, 2, 0.0, 100.0}, {2, 3, 0.0, 100.0}});
    lists.routes[0].stations.push_back(-3);
    lists.routes[0].known_point = point3d_rec{500.02, 700.01, 0};
    trav_solve_printing(lists, 0, true);
    EXPECT_EQ(station(lists, 2).point.x, 500.0);  // no east-west legs: no x correction
    EXPECT_NEAR(station(lists, 2).point.y, 600.005, 1e-9);
    EXPECT_NEAR(station(lists, 3).point.y, 700.01, 1e-9);
    EXPECT_EQ(station(lists, 3).status, trav_adjusted);
}

TEST(TravMended, ExactClosureHasTheLargestRatio)
{
    trav_lists lists = trav_square_lists();
    lists.observations[3].distance = 100.0;  // closes exactly once rounded to 3 decimals
    const std::string printed = trav_solve_printing(lists, 3, false);
    EXPECT_EQ(route_accuracy_ratio(lists.routes[0]), INT_MAX);
    EXPECT_NE(printed.find("\n[1--1]Tikai 1: 2147483647   dist=400.000  diflat= 0.000  difdip= 0.000"),
              std::string::npos)
        << printed;
    trav_route_rec empty;
    EXPECT_EQ(route_accuracy_ratio(empty), 0);
}

TEST(TravMended, AreaOfAnEastWestLineEnds)
{
    trav_lists lists;
    lists.routes.emplace_back();
    lists.routes[0].stations = {1, 2, 3};
    trav_add_obs(lists.observations, trav_obs_leg, 1, 2, 90, 10, 0, "METER", "");
    trav_add_obs(lists.observations, trav_obs_leg, 2, 3, 270, 4, 0, "METER", "");
    lists.observations[0].from_point = point3d_rec{0, 5, 0};
    lists.observations[0].to_point = point3d_rec{10, 5, 0};
    lists.observations[1].from_point = point3d_rec{10, 5, 0};
    lists.observations[1].to_point = point3d_rec{6, 5, 0};
    trav_find_loops(lists.observations, lists.routes);
    EXPECT_EQ(lists.routes[0].area, 0.0);
}

// ---- Areas, route building and finders ----

TEST(TravAreas, SignFollowsTheDirectionOfTravel)
{
    // The square, rounded to 3 decimals: the start leg turns twice before the
    // last double distance is positive (legs 270/100, 0/100.03, 90/100,
    // 180/100: sums 0, 100.03, 200.06, 100.06), area = 0.5 x 100 x 200.06.
    trav_lists clockwise = trav_square_lists();
    trav_solve_printing(clockwise, 3, false);
    EXPECT_NEAR(clockwise.routes[0].area, 10003.0, 1e-9);
    EXPECT_EQ(trav_format_loops(clockwise.routes), "\nLoop 0 Area=10003.000");

    // The same ground walked the other way round: 1 -> 4 -> 3 -> 2 -> 1.
    trav_lists counter;
    trav_add_station(1, point3d_rec{1000, 2000, 0}, trav_fixed, counter.stations, false);
    counter.routes.emplace_back();
    trav_add_legs(counter, 0,
                  {{1, 4, 180.0, 100.0}, {4, 3, 90.0, 100.0}, {3, 2, 0.0, 100.0}, {2, 1, 270.0, 100.0}});
    trav_solve_printing(counter, 3, false);
    EXPECT_NEAR(counter.routes[0].area, -10000.0, 1e-9);
}

TEST(TravModel, LinkNodes)
{
    const struct {
        std::vector<int> start;
        std::vector<std::pair<int, int>> legs;
        std::vector<int> route;
    } cases[] = {
        {{}, {{1, 2}, {2, 3}, {3, 1}}, {1, 2, 3, 1}},  // back to the first station: the loop closes
        {{}, {{1, 2}, {2, 3}, {2, 4}}, {1, 2, 3, 4}},  // a branch appends only the new station
        {{}, {{1, 2}, {2, 3}, {3, 2}}, {1, 2, 3}},     // both ends already there
        {{5}, {{5, 6}}, {5, 5, 6}},                    // fewer than two entries: both appended
        {{1, 2}, {{7, 8}}, {1, 2, 7, 8}},
    };
    for (const auto& c : cases) {
        trav_route_list routes(1);
        routes[0].stations = c.start;
        for (const auto& [a, b] : c.legs) trav_link_nodes(a, b, 0, routes);
        EXPECT_EQ(routes[0].stations, c.route);
    }
}

TEST(TravModel, FindersAndLetters)
{
    trav_lists lists = trav_square_lists();
    EXPECT_EQ(find_point_index(3, lists.stations), 2);
    EXPECT_EQ(find_point_index(9, lists.stations), -1);
    EXPECT_EQ(trav_find_obs(3, 4, lists.observations), 2);
    EXPECT_EQ(trav_find_obs(4, 3, lists.observations), -1);
    point3d_rec p;
    EXPECT_TRUE(trav_find_station(1, p, lists.stations));
    EXPECT_EQ(p.y, 2000.0);
    EXPECT_FALSE(trav_find_station(9, p, lists.stations));
    // Not a station, but the end of an observation.
    trav_add_obs(lists.observations, trav_obs_leg, 4, 9, 0, 1, 0, "METER", "");
    lists.observations.back().to_point = point3d_rec{7, 8, 0};
    EXPECT_EQ(trav_find_point(9, lists.observations, lists.stations, p), 1);
    EXPECT_EQ(p.x, 7.0);
    EXPECT_EQ(trav_find_point(10, lists.observations, lists.stations, p), -1);
    EXPECT_STREQ(trav_obs_letter(trav_obs_point), "P");
    EXPECT_STREQ(trav_obs_letter(trav_obs_leg), "T");
    EXPECT_STREQ(trav_obs_letter(trav_obs_radiation), "R");
    EXPECT_STREQ(trav_obs_letter(trav_obs_closing), "C");
    EXPECT_STREQ(trav_obs_letter(9), "T");
}

TEST(TravModel, AddStationAsksBeforeOverwriting)
{
    trav_station_list stations;
    EXPECT_EQ(trav_add_station(4, point3d_rec{1, 2, 0}, trav_cal, stations, true, "K"), 1);
    EXPECT_EQ(trav_add_station(4, point3d_rec{9, 9, 0}, trav_nil, stations, false), 0);
    EXPECT_EQ(stations[0].point.x, 1.0);

    int result = -1;
    const trav_printed cancelled = trav_run_printing(
        [&] {
            result = trav_add_station(4, point3d_rec{9, 9, 0}, trav_nil, stations, true);
        },
        "C\n");
    EXPECT_EQ(result, 0);
    EXPECT_NE(cancelled.text.find("Point exist <C>ancel <O>verWrite"), std::string::npos) << cancelled.text;
    EXPECT_EQ(stations[0].point.x, 1.0);

    const trav_printed overwritten = trav_run_printing(
        [&] {
            result = trav_add_station(4, point3d_rec{9, 8, 0}, trav_nil, stations, true);
        },
        "O\n");
    EXPECT_EQ(result, 2);
    EXPECT_EQ(stations[0].point.x, 9.0);
    EXPECT_EQ(stations[0].point.y, 8.0);
    EXPECT_EQ(stations[0].status, trav_fixed);
    EXPECT_EQ(stations[0].code, "K");
    EXPECT_EQ(stations.size(), 1u);
}

// ---- Printouts ----

TEST(TravPrint, ListingsOfTheSquare)
{
    trav_lists lists = trav_square_lists();
    trav_solve_printing(lists, 3, false);
    EXPECT_EQ(trav_format_routes(lists.routes), "\nRoute 0 =>[6]1,2,3,4,1,-1,\nRoute 1 =>[0]");
    EXPECT_EQ(trav_format_stations(lists.stations),
              "\nstn=1,1000.000,2000.000,FIXED\nstn=2,1100.000,2000.000,CAL\nstn=3,1100.000,1900.000,CAL"
              "\nstn=4,1000.000,1900.000,CAL");
    EXPECT_EQ(trav_format_observations(lists.observations),
              "\nNo Dari Ke BG dist Unit"
              "\n0 1 2 90.0000 100.000 METER [1100.000,2000.000]"
              "\n1 2 3 180.0000 100.000 METER [1100.000,1900.000]"
              "\n2 3 4 270.0000 100.000 METER [1000.000,1900.000]"
              "\n3 4 1 0.0000 100.030 METER [1000.000,2000.030]"
              "\n4 1 1 0.0000 0.000 METER [0.000,0.000]");
    // Latitudes and departures unrounded (cos 90 with the ten-decimal pi is
    // a hair above 0, cos 270 a hair below); the last two columns are the
    // station list's coordinates.
    EXPECT_EQ(trav_format_listing(lists.observations, lists.stations, lists.routes),
              "\ndari,ke,bg,jk,latit,dipat,U,T"
              "\n1,0,0,0,0,0,2000.000000,1000.000000,2000.000000,1000.000000"
              "\n1,2,90.0000,100.000,0.000,100.000,2000.000000,1100.000000,2000.000000,1100.000000"
              "\n2,3,180.0000,100.000,-100.000,0.000,1900.000000,1100.000000,1900.000000,1100.000000"
              "\n3,4,270.0000,100.000,-0.000,-100.000,1900.000000,1000.000000,1900.000000,1000.000000"
              "\n4,1,0.0000,100.030,100.030,0.000,2000.030000,1000.000000,2000.000000,1000.000000"
              "\n,,ML:0.0000,0.030 "
              "\nTikai 1: 13334,,,400.030,-0.030,0.000");
}

}  // namespace
