#include "trav_print.h"

#include <cmath>

#include "ads.h"
#include "angles.h"
#include "trav_engine.h"
#include "trav_maths.h"
#include "trav_text.h"
#include "units.h"

namespace {

void print_text(const std::string& text)
{
    acutPrintf("%s", text.c_str());
}

// Routes that the computation skips (fewer than two entries, or a first
// station that is not in the list) have nothing to list.
bool route_listable(const trav_route_rec& route, const trav_station_list& stations,
                    const trav_station_index& station_index, point3d_rec& first)
{
    if (route.stations.size() < 2) return false;
    const int index = station_index.find(route.stations.front());
    if (index < 0) return false;
    first = stations[index].point;
    return true;
}

}  // namespace

std::string trav_format_closure(const trav_route_rec& route)
{
    std::string out;
    const int first = route.stations.empty() ? 0 : route.stations.front();
    const int last = route.stations.empty() ? 0 : route.stations.back();
    out += trav_format("\n[%d-%d]Tikai 1: %d   dist=%.3f  diflat= %.3f  difdip= %.3f", first, last,
                       route_accuracy_ratio(route), route.length, route_diflat(route), route_difdip(route));
    return out;
}

std::string trav_format_observations(const trav_obs_list& observations)
{
    std::string out = "\nNo Dari Ke BG dist Unit";
    for (size_t i = 0; i < observations.size(); ++i) {
        const trav_obs_rec& obs = observations[i];
        out += trav_format("\n%d %d %d %.4f %.3f %s [%.3f,%.3f]", static_cast<int>(i), obs.from, obs.to,
                           obs.bearing, obs.distance, obs.unit.c_str(), obs.to_point.x, obs.to_point.y);
    }
    return out;
}

std::string trav_format_stations(const trav_station_list& stations)
{
    std::string out;
    for (const trav_point_rec& station : stations)
        out += trav_format("\nstn=%d,%.3f,%.3f,%s", station.number, station.point.x, station.point.y,
                           trav_status_word(station.status));
    return out;
}

std::string trav_format_routes(const trav_route_list& routes)
{
    std::string out;
    for (size_t i = 0; i < routes.size(); ++i) {
        out += trav_format("\nRoute %d =>[%d]", static_cast<int>(i),
                           static_cast<int>(routes[i].stations.size()));
        for (int entry : routes[i].stations) out += trav_format("%d,", entry);
    }
    return out;
}

std::string trav_format_loops(const trav_route_list& routes)
{
    std::string out;
    for (size_t i = 0; i < routes.size(); ++i)
        if (routes[i].stations.size() > 1)
            out += trav_format("\nLoop %d Area=%.3f", static_cast<int>(i), routes[i].area);
    return out;
}

// Latitudes and departures here use the library's unit table and the ML
// bearing the library's D.MMSS text (seconds rounded), as the listing always
// has; the coordinates beside them come from the traverse's own computation.
std::string trav_format_listing(const trav_obs_list& observations, const trav_station_list& stations,
                                const trav_route_list& routes)
{
    std::string out = "\ndari,ke,bg,jk,latit,dipat,U,T";
    const trav_station_index station_index(stations);
    const trav_obs_index obs_index(observations);
    for (const trav_route_rec& route : routes) {
        point3d_rec first;
        if (!route_listable(route, stations, station_index, first)) continue;
        out += trav_format("\n%d,0,0,0,0,0,%.6f,%.6f,%.6f,%.6f", route.stations.front(), first.y, first.x,
                           first.y, first.x);
        // The ML line measures to the end of the main line; side legs are
        // listed but do not end it.
        point3d_rec last_end = first;
        for (const trav_route_leg_rec& leg : trav_route_legs(route, observations, obs_index)) {
            if (leg.obs < 0) continue;
            const trav_obs_rec& obs = observations[leg.obs];
            const double distance_m = obs.distance * unit_factor(obs.unit);
            const double radians = trav_deg_to_rad(trav_obs_bearing_deg(obs));
            const int to = station_index.find(obs.to);
            const point3d_rec station = to >= 0 ? stations[to].point : point3d_rec{};
            out +=
                trav_format("\n%d,%d,%.4f,%.3f,%.3f,%.3f,%.6f,%.6f,%.6f,%.6f", obs.from, obs.to, obs.bearing,
                            obs.distance, distance_m * std::cos(radians), distance_m * std::sin(radians),
                            obs.to_point.y, obs.to_point.x, station.y, station.x);
            if (!leg.side) last_end = obs.to_point;
        }
        const std::string bearing = angle_deg_to_dms_text(bearing_between(first, last_end), 0);
        out += trav_format("\n,,ML:%s,%.3f ", bearing.c_str(), point_distance_2d(first, last_end));
        out += trav_format("\nTikai 1: %d,,,%.3f,%.3f,%.3f", route_accuracy_ratio(route), route.length,
                           route_diflat(route), route_difdip(route));
    }
    return out;
}

void print_route_closure(const trav_route_rec& route)
{
    print_text(trav_format_closure(route));
}
void trav_print_observations(const trav_obs_list& observations)
{
    print_text(trav_format_observations(observations));
}
void trav_print_stations(const trav_station_list& stations)
{
    print_text(trav_format_stations(stations));
}
void trav_print_routes(const trav_route_list& routes)
{
    print_text(trav_format_routes(routes));
}
void trav_print_loops(const trav_route_list& routes)
{
    print_text(trav_format_loops(routes));
}
void trav_print_listing(const trav_obs_list& observations, const trav_station_list& stations,
                        const trav_route_list& routes)
{
    print_text(trav_format_listing(observations, stations, routes));
}
