#include "trav_engine.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "trav_maths.h"
#include "trav_print.h"
#include "trav_settings.h"

namespace {

point3d_rec rounded_point(const point3d_rec& p, int decimals)
{
    return point3d_rec{trav_round(p.x, decimals), trav_round(p.y, decimals), p.z};
}

bool is_known_status(int status)
{
    return status == trav_fixed || status == trav_adjusted;
}

// How firmly a station's place is known: NIL, then CAL, then ADJUSTED, and
// FIXED above all.
int status_rank(int status)
{
    switch (status) {
        case trav_cal:
            return 1;
        case trav_adjusted:
            return 2;
        case trav_fixed:
            return 3;
        default:
            return 0;
    }
}

// Gives station number its place with the new status when that is firmer
// than what it has (NIL -> CAL; NIL or CAL -> ADJUSTED): a station keeps the
// first place it gets in a pass, and fixed points never move. Any position of
// the list counts, the first one too.
void place_station(int number, const point3d_rec& point, int status, trav_station_list& stations,
                   const trav_station_index& station_index)
{
    const int index = station_index.find(number);
    if (index < 0 || status_rank(stations[index].status) >= status_rank(status)) return;
    stations[index].point = point3d_rec{point.x, point.y, 0.0};
    stations[index].status = status;
}

// Where a leg starts in the current pass: the point this pass reached at its
// from-station, else (a leg from a station this route has not reached) the
// station's own point when it has one, else the running point.
point3d_rec leg_start(int from_station, const std::unordered_map<int, point3d_rec>& reached,
                      const trav_station_list& stations, const trav_station_index& station_index,
                      const point3d_rec& running)
{
    const auto it = reached.find(from_station);
    if (it != reached.end()) return it->second;
    const int index = station_index.find(from_station);
    if (index >= 0 && stations[index].status != trav_nil) return stations[index].point;
    return running;
}

void clear_route_sums(trav_route_rec& route)
{
    route.number = 0;
    route.area = 0;
    route.north_plus = route.north_minus = 0;
    route.east_plus = route.east_minus = 0;
    route.length = 0;
}

void add_leg_sums(trav_route_rec& route, double distance_m, const trav_offsets& step, const point3d_rec& to)
{
    route.length += distance_m;
    route.computed_point = point3d_rec{to.x, to.y, 0.0};
    if (step.north > 0)
        route.north_plus += step.north;
    else
        route.north_minus += std::fabs(step.north);
    if (step.east > 0)
        route.east_plus += step.east;
    else
        route.east_minus += std::fabs(step.east);
}

// The reference a closing route is checked (and adjusted) against.
// With the adjust flag off, a known point of (0, 0) takes the closing
// station's coordinates, whatever its status. With it on, a FIXED or ADJUSTED
// station's coordinates replace the known point. Returns whether the route
// may be adjusted: a station that is only computed (CAL) serves as with the
// flag off, but a route with neither coordinates of its own nor a located
// closing station has nothing to be adjusted to, and adjusting it would pull
// every station toward (0, 0).
bool settle_known_point(trav_route_rec& route, int closing_station, const trav_station_list& stations,
                        const trav_station_index& station_index, bool adjust)
{
    const int index = station_index.find(closing_station);
    const bool known_empty = route.known_point.x == 0.0 && route.known_point.y == 0.0;
    if (!adjust) {
        if (index >= 0 && known_empty)
            route.known_point = point3d_rec{stations[index].point.x, stations[index].point.y, 0.0};
        return false;
    }
    if (index >= 0 && is_known_status(stations[index].status)) {
        route.known_point = point3d_rec{stations[index].point.x, stations[index].point.y, 0.0};
        return true;
    }
    if (!known_empty) return true;
    if (index >= 0 && stations[index].status == trav_cal) {
        route.known_point = point3d_rec{stations[index].point.x, stations[index].point.y, 0.0};
        return true;
    }
    return false;
}

void adjust_route(const trav_route_rec& route, const trav_obs_list& observations, trav_station_list& stations,
                  const trav_station_index& station_index, const trav_obs_index& obs_index);

void solve_route(trav_route_rec& route, trav_obs_list& observations, trav_station_list& stations,
                 const trav_solve_options& options, point3d_rec& current,
                 const trav_station_index& station_index, const trav_obs_index& obs_index)
{
    clear_route_sums(route);
    if (route.stations.size() < 2) return;
    const int first = station_index.find(route.stations[0]);
    if (first < 0) return;
    const point3d_rec start = stations[first].point;
    current = start;
    std::unordered_map<int, point3d_rec> reached{{route.stations[0], start}};
    const std::vector<trav_route_leg_rec> legs = trav_route_legs(route, observations, obs_index);

    for (size_t k = 1; k < route.stations.size(); ++k) {
        const int s = route.stations[k];
        if (s < 0) {
            if (settle_known_point(route, -s, stations, station_index, options.adjust))
                adjust_route(route, observations, stations, station_index, obs_index);
            print_route_closure(route);
        }
        const trav_route_leg_rec& leg = legs[k];
        if (leg.obs < 0) continue;
        trav_obs_rec& obs = observations[leg.obs];
        const point3d_rec from = leg_start(leg.from_station, reached, stations, station_index, current);
        const point3d_rec to = leg.side ? trav_leg_step(obs, from, options.decimals)
                                        : trav_route_add_leg(route, obs, from, options.decimals);
        place_station(s, to, trav_cal, stations, station_index);
        current.x = to.x;
        current.y = to.y;
        reached[s] = current;
    }
}

void solve_radiations(trav_obs_list& radiations, trav_station_list& stations,
                      const trav_solve_options& options, point3d_rec& current,
                      const trav_station_index& station_index)
{
    for (size_t i = 0; i < radiations.size(); ++i) {
        trav_obs_rec& rad = radiations[i];
        if (const int from = station_index.find(rad.from); from >= 0) current = stations[from].point;
        point3d_rec to;
        trav_obs_latdep(i, current, radiations, to, options.decimals);
        rad.from_point = current;
        rad.to_point = to;
        place_station(rad.to, to, trav_cal, stations, station_index);
    }
}

}  // namespace

void trav_obs_latdep(size_t i, const point3d_rec& from, const trav_obs_list& list, point3d_rec& out,
                     int decimals)
{
    const trav_obs_rec& obs = list[i];
    out = trav_polar_point(trav_obs_bearing_deg(obs), trav_obs_distance_m(obs), from, decimals);
}

point3d_rec trav_leg_step(trav_obs_rec& obs, const point3d_rec& from, int decimals)
{
    const point3d_rec start = rounded_point(from, decimals);
    const point3d_rec to =
        trav_polar_point(trav_obs_bearing_deg(obs), trav_obs_distance_m(obs), start, decimals);
    obs.from_point = start;
    obs.to_point = to;
    return to;
}

point3d_rec trav_route_add_leg(trav_route_rec& route, trav_obs_rec& obs, const point3d_rec& from,
                               int decimals)
{
    const point3d_rec to = trav_leg_step(obs, from, decimals);
    const double distance_m = trav_obs_distance_m(obs);
    trav_offsets step = polar_offsets(trav_obs_bearing_deg(obs), distance_m);
    step.east = trav_round(step.east, decimals);
    step.north = trav_round(step.north, decimals);
    add_leg_sums(route, distance_m, step, to);
    return to;
}

namespace {

// The entries of one route by station, to find where a leg of the route
// starts without going back over the route for every leg.
class route_entries {
public:
    explicit route_entries(const trav_route_rec& route)
    {
        for (size_t k = 0; k < route.stations.size(); ++k)
            if (route.stations[k] >= 0) at_[route.stations[k]].push_back(k);
    }
    // The latest entry before k that holds the station; false when none.
    bool latest_before(int station, size_t k, size_t& entry) const
    {
        const auto it = at_.find(station);
        if (it == at_.end()) return false;
        const std::vector<size_t>& entries = it->second;
        const auto after = std::lower_bound(entries.begin(), entries.end(), k);
        if (after == entries.begin()) return false;
        entry = *(after - 1);
        return true;
    }

private:
    std::unordered_map<int, std::vector<size_t>> at_;
};

// The observation of route entry k and the entry it starts from (see
// trav_route_leg); -1 when there is none: the leg from the entry before k,
// else a branch, the leg from the latest earlier station of the route (the
// route lists stations once, so 1-2, 2-3, 2-4 gives [1,2,3,4]).
int route_leg_from(const trav_route_rec& route, size_t k, const trav_obs_list& observations,
                   const trav_obs_index& obs_index, const route_entries& entries, size_t& from)
{
    if (k == 0 || k >= route.stations.size()) return -1;
    const int s = route.stations[k];
    if (s < 0) return -1;
    int leg = obs_index.find(route.stations[k - 1], s);
    if (leg >= 0) {
        from = k - 1;
        return leg;
    }
    // Of the legs that end at s (the first of each from-station), the one
    // whose from-station stands latest in the route before k.
    for (const int candidate : obs_index.ending_at(s)) {
        size_t entry = 0;
        if (!entries.latest_before(observations[candidate].from, k - 1, entry)) continue;
        if (leg < 0 || entry > from) {
            from = entry;
            leg = candidate;
        }
    }
    return leg;
}

}  // namespace

int trav_route_leg(const trav_route_rec& route, size_t k, const trav_obs_list& observations,
                   int& from_station)
{
    const trav_obs_index obs_index(observations);
    const route_entries entries(route);
    size_t from = 0;
    const int leg = route_leg_from(route, k, observations, obs_index, entries, from);
    if (leg >= 0) from_station = route.stations[from];
    return leg;
}

std::vector<trav_route_leg_rec> trav_route_legs(const trav_route_rec& route,
                                                const trav_obs_list& observations,
                                                const trav_obs_index& obs_index)
{
    const size_t n = route.stations.size();
    const route_entries entries(route);
    std::vector<trav_route_leg_rec> legs(n);
    size_t end = 0;  // the entry where the main line ends; 0 while no leg was found
    for (size_t k = 1; k < n; ++k) {
        trav_route_leg_rec& leg = legs[k];
        leg.obs = route_leg_from(route, k, observations, obs_index, entries, leg.from_entry);
        if (leg.obs < 0) continue;
        leg.from_station = route.stations[leg.from_entry];
        end = k;
    }
    // A route that closes on a station its legs reach ends there (the last
    // such entry: a loop back to its start reaches the first station again).
    if (n > 0 && route.stations.back() < 0) {
        const int closing = -route.stations.back();
        for (size_t k = n; k-- > 1;)
            if (legs[k].obs >= 0 && route.stations[k] == closing) {
                end = k;
                break;
            }
    }
    std::vector<bool> main(n, false);
    for (size_t k = end; k > 0 && legs[k].obs >= 0 && !main[k]; k = legs[k].from_entry) main[k] = true;
    for (size_t k = 1; k < n; ++k) legs[k].side = legs[k].obs >= 0 && !main[k];
    return legs;
}

void trav_solve(trav_obs_list& observations, trav_obs_list& radiations, trav_station_list& stations,
                trav_route_list& routes)
{
    const trav_settings_rec& settings = trav_settings();
    trav_solve(observations, radiations, stations, routes,
               trav_solve_options{settings.rounding_decimals, settings.adjust});
}

void trav_solve(trav_obs_list& observations, trav_obs_list& radiations, trav_station_list& stations,
                trav_route_list& routes, const trav_solve_options& options)
{
    for (trav_point_rec& station : stations) {
        if (station.status == trav_fixed) continue;
        station.status = trav_nil;
        station.point = point3d_rec{};
    }
    // Stations are only given places below, never added: one index serves.
    const trav_station_index station_index(stations);
    const trav_obs_index obs_index(observations);
    point3d_rec current;
    for (trav_route_rec& route : routes)
        solve_route(route, observations, stations, options, current, station_index, obs_index);
    solve_radiations(radiations, stations, options, current, station_index);
}

void trav_adjust_route(const trav_route_rec& route, const trav_obs_list& observations,
                       trav_station_list& stations)
{
    adjust_route(route, observations, stations, trav_station_index(stations), trav_obs_index(observations));
}

namespace {

void adjust_route(const trav_route_rec& route, const trav_obs_list& observations, trav_station_list& stations,
                  const trav_station_index& station_index, const trav_obs_index& obs_index)
{
    if (route.stations.size() < 2) return;
    // A route without east-west (or north-south) movement has nothing to share
    // an x (or y) misclosure among: that correction is left out.
    const double east_sum = route.east_minus + route.east_plus;
    const double north_sum = route.north_minus + route.north_plus;
    const double kx = east_sum > 0 ? route_difdip(route) / east_sum : 0.0;
    const double ky = north_sum > 0 ? route_diflat(route) / north_sum : 0.0;

    point3d_rec current;
    const int first = route.stations.front();
    if (first == std::abs(route.stations.back()))
        current = point3d_rec{route.known_point.x, route.known_point.y, 0.0};
    else if (const int index = station_index.find(first); index >= 0)
        current = stations[index].point;
    else
        return;
    std::unordered_map<int, point3d_rec> reached{{first, current}};
    const std::vector<trav_route_leg_rec> legs = trav_route_legs(route, observations, obs_index);

    for (size_t k = 1; k < route.stations.size(); ++k) {
        const trav_route_leg_rec& leg = legs[k];
        if (leg.obs < 0) continue;
        const trav_obs_rec& obs = observations[leg.obs];
        const point3d_rec from = leg_start(leg.from_station, reached, stations, station_index, current);
        const trav_offsets step = polar_offsets(trav_obs_bearing_deg(obs), trav_obs_distance_m(obs));
        // The misclosure is shared among the main line's legs; a side leg
        // hangs off its adjusted from-station as measured.
        const double share_x = leg.side ? 0.0 : kx;
        const double share_y = leg.side ? 0.0 : ky;
        const point3d_rec adjusted{from.x + step.east + std::fabs(step.east) * share_x,
                                   from.y + step.north + std::fabs(step.north) * share_y, 0.0};
        const int s = route.stations[k];
        place_station(s, adjusted, trav_adjusted, stations, station_index);
        current.x = adjusted.x;
        current.y = adjusted.y;
        reached[s] = current;
    }
}

}  // namespace

void trav_find_loops(const trav_obs_list& observations, trav_route_list& routes)
{
    const trav_obs_index obs_index(observations);
    for (trav_route_rec& route : routes) {
        route.area = 0;
        // The polygon of the main line; side legs enclose nothing.
        std::vector<point3d_rec> polygon;
        for (const trav_route_leg_rec& leg : trav_route_legs(route, observations, obs_index)) {
            if (leg.obs < 0 || leg.side) continue;
            if (polygon.empty()) polygon.push_back(observations[leg.obs].from_point);
            polygon.push_back(observations[leg.obs].to_point);
        }
        if (polygon.size() < 2) continue;
        if (route.stations.front() != std::abs(route.stations.back())) polygon.push_back(polygon.front());

        struct leg_rec {
            double dy, dx, d;
        };
        std::vector<leg_rec> legs;
        for (size_t i = 1; i < polygon.size(); ++i)
            legs.push_back({polygon[i].y - polygon[i - 1].y, polygon[i].x - polygon[i - 1].x, 0.0});

        // Double-distance sums from each start leg in turn until the last sum
        // is positive. No start gives that when every leg runs due east or
        // west (all dY 0), so the turns stop after one round; the area does
        // not depend on the start leg for a closed polygon, so the first
        // start's sums serve then (an east-west line has area 0). The last
        // sum of the start t is s(t) x (2 x the sum of all dY - dY of the leg
        // before t), so the start is found without summing each turn, which
        // would grow with the square of the polygon.
        const size_t n = legs.size();
        double total_dy = 0;
        for (const leg_rec& leg : legs) total_dy += leg.dy;
        size_t start = 0;
        for (size_t turn = 0; turn < n; ++turn) {
            const double s = legs[turn].dy < 0 ? -1.0 : 1.0;
            if (s * (2 * total_dy - legs[(turn + n - 1) % n].dy) > 0) {
                start = turn;
                break;
            }
        }
        const double s = legs[start].dy < 0 ? -1.0 : 1.0;
        double d = 0;
        double sum = 0;
        for (size_t i = 0; i < n; ++i) {
            const leg_rec& leg = legs[(start + i) % n];
            d = i == 0 ? s * leg.dy : s * legs[(start + i - 1) % n].dy + s * leg.dy + d;
            sum += s * leg.dx * d;
        }
        const double area = 0.5 * sum;
        route.area = area;
    }
}

double route_diflat(const trav_route_rec& route)
{
    return route.known_point.y - route.computed_point.y;
}

double route_difdip(const trav_route_rec& route)
{
    return route.known_point.x - route.computed_point.x;
}

int route_accuracy_ratio(const trav_route_rec& route)
{
    const double dx = route_difdip(route);
    const double dy = route_diflat(route);
    const double misclosure = std::sqrt(dx * dx + dy * dy);
    if (!(route.length > 0)) return 0;
    if (!(misclosure > 0)) return INT_MAX;
    const double ratio = route.length / misclosure;
    if (!(ratio < static_cast<double>(INT_MAX))) return INT_MAX;
    return static_cast<int>(ratio);
}

void route_misclosure_bearing_dist(const trav_route_rec& route, double& bearing, double& distance)
{
    const double degrees = bearing_between(route.known_point, route.computed_point);
    bearing = std::strtod(deg_to_dms_text(degrees, false).c_str(), nullptr);
    distance = point_distance_2d(route.known_point, route.computed_point);
}
