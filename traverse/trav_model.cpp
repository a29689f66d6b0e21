#include "trav_model.h"

#include <algorithm>

#include "trav_maths.h"
#include "trav_prompt.h"

trav_lists& trav_current()
{
    static trav_lists lists;
    return lists;
}

const char* trav_obs_letter(int type)
{
    switch (type) {
        case trav_obs_point:
            return "P";
        case trav_obs_radiation:
            return "R";
        case trav_obs_closing:
            return "C";
        default:
            return "T";
    }
}

const char* trav_status_word(int status)
{
    switch (status) {
        case trav_fixed:
            return "FIXED";
        case trav_cal:
            return "CAL";
        case trav_adjusted:
            return "ADJUSTED";
        default:
            return "NIL";
    }
}

int trav_add_station(int number, const point3d_rec& point, int status, trav_station_list& stations, bool ask,
                     const std::string& code)
{
    const int index = find_point_index(number, stations);
    if (index < 0) {
        stations.push_back(trav_point_rec{point, number, code, status});
        return 1;
    }
    if (!ask) return 0;
    if (trav_ask_overwrite() != "O") return 0;
    stations[index].point = point;
    stations[index].status = trav_fixed;
    return 2;
}

void trav_add_obs(trav_obs_list& list, int type, int from, int to, double bearing, double distance,
                  double level, const std::string& unit, const std::string& code)
{
    trav_obs_rec obs;
    obs.bearing = bearing;
    obs.unit = unit;
    obs.level = level;
    obs.type = type;
    obs.to = to;
    obs.from = from;
    obs.code = code;
    obs.distance = distance;
    list.push_back(obs);
}

// The route's first station is never compared, so a leg that comes back to it
// appends it again and closes the loop ([1,2,3] + 3->1 gives [1,2,3,1]).
void trav_link_nodes(int a, int b, size_t route_index, trav_route_list& routes)
{
    if (route_index >= routes.size()) return;
    std::vector<int>& list = routes[route_index].stations;
    bool have_a = false;
    bool have_b = false;
    if (list.size() > 1) {
        have_a = std::find(list.begin() + 1, list.end(), a) != list.end();
        have_b = std::find(list.begin() + 1, list.end(), b) != list.end();
    }
    if (!have_a) list.push_back(a);
    if (!have_b) list.push_back(b);
}

bool trav_find_station(int number, point3d_rec& out, const trav_station_list& stations)
{
    const int index = find_point_index(number, stations);
    if (index < 0) return false;
    out = stations[index].point;
    return true;
}

int find_point_index(int number, const trav_station_list& stations)
{
    for (size_t i = 0; i < stations.size(); ++i)
        if (stations[i].number == number) return static_cast<int>(i);
    return -1;
}

int trav_find_obs(int from, int to, const trav_obs_list& list)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].from == from && list[i].to == to) return static_cast<int>(i);
    return -1;
}

int trav_find_point(int number, const trav_obs_list& observations, const trav_station_list& stations,
                    point3d_rec& out)
{
    if (trav_find_station(number, out, stations)) return 1;
    for (const trav_obs_rec& obs : observations) {
        if (obs.to == number) {
            out = obs.to_point;
            return 1;
        }
    }
    return -1;
}

trav_station_index::trav_station_index(const trav_station_list& stations)
{
    at_.reserve(stations.size());
    for (size_t i = 0; i < stations.size(); ++i) at_.emplace(stations[i].number, static_cast<int>(i));
}

int trav_station_index::find(int number) const
{
    const auto it = at_.find(number);
    return it == at_.end() ? -1 : it->second;
}

trav_obs_index::trav_obs_index(const trav_obs_list& observations)
{
    legs_.reserve(observations.size());
    for (size_t i = 0; i < observations.size(); ++i) {
        const trav_obs_rec& obs = observations[i];
        if (legs_.emplace(key(obs.from, obs.to), static_cast<int>(i)).second)
            ending_[obs.to].push_back(static_cast<int>(i));
    }
}

int trav_obs_index::find(int from, int to) const
{
    const auto it = legs_.find(key(from, to));
    return it == legs_.end() ? -1 : it->second;
}

int trav_obs_index::first_to(int to) const
{
    const auto it = ending_.find(to);
    return it == ending_.end() ? -1 : it->second.front();
}

const std::vector<int>& trav_obs_index::ending_at(int to) const
{
    static const std::vector<int> none;
    const auto it = ending_.find(to);
    return it == ending_.end() ? none : it->second;
}

int trav_find_point(int number, const trav_obs_list& observations, const trav_obs_index& obs_index,
                    const trav_station_list& stations, const trav_station_index& station_index,
                    point3d_rec& out)
{
    if (const int index = station_index.find(number); index >= 0) {
        out = stations[index].point;
        return 1;
    }
    if (const int obs = obs_index.first_to(number); obs >= 0) {
        out = observations[obs].to_point;
        return 1;
    }
    return -1;
}

double trav_obs_bearing_deg(const trav_obs_rec& obs)
{
    return dms_to_deg(obs.bearing);
}

double trav_obs_distance_m(const trav_obs_rec& obs)
{
    return obs.distance * trav_unit_factor(obs.unit);
}
