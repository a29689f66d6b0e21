// One traverse in memory: stations, observed legs, radiations and routes,
// with the finders and builders the readers and the traverse command use.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "points.h"

// Station numbers run from 1 to trav_station_max: 0 and negative numbers mark
// "none" and closing entries in routes, and the largest number leaves room for
// the next one proposed.
inline constexpr int trav_station_max = 2147483646;
inline bool trav_station_number_ok(long long number)
{
    return number >= 1 && number <= trav_station_max;
}
// Why a station number is refused, for messages.
inline constexpr const char* trav_station_range_text = "station number out of range (1 to 2147483646)";

// Station statuses.
enum trav_status : int { trav_nil = 0, trav_fixed = 1, trav_cal = 2, trav_adjusted = 3 };

// Observation types; the record letter follows from the type.
enum trav_obs_type : int {
    trav_obs_point = 0,
    trav_obs_leg = 1,
    trav_obs_radiation = 2,
    trav_obs_closing = 3
};

struct trav_point_rec {
    point3d_rec point;
    int number = 0;
    std::string code;
    int status = trav_nil;
};

struct trav_obs_rec {
    double bearing = 0;  // D.MMSS; for a "C" record the known x of the closing station, or 0
    std::string unit;
    double level = 0;
    int type = trav_obs_leg;
    int to = 0;
    int from = 0;
    std::string code;
    double distance = 0;  // in the record's unit; for a "C" record the known y, or 0
    point3d_rec to_point;
    point3d_rec from_point;
};

struct trav_route_rec {
    int number = 0;
    double area = 0;
    double north_plus = 0;
    double east_plus = 0;
    double east_minus = 0;
    double north_minus = 0;
    double length = 0;
    point3d_rec known_point;
    point3d_rec computed_point;
    // Station numbers in route order; -n marks that the route closes on n.
    std::vector<int> stations;
};

using trav_station_list = std::vector<trav_point_rec>;
using trav_obs_list = std::vector<trav_obs_rec>;
using trav_route_list = std::vector<trav_route_rec>;

// The lists of the traverse that the plug-in holds for its lifetime.
struct trav_lists {
    trav_obs_list observations;
    trav_obs_list radiations;
    trav_station_list stations;
    trav_route_list routes;
};
trav_lists& trav_current();

// "P", "R", "C" or "T" by type.
const char* trav_obs_letter(int type);
// "NIL", "FIXED", "CAL" or "ADJUSTED".
const char* trav_status_word(int status);

// Adds a station, or handles an existing number: with ask on the user is asked
// "Point exist <C>ancel <O>verWrite"; "O" overwrites its point and makes it
// FIXED (2). Returns 1 when added, 2 when overwritten, 0 otherwise.
int trav_add_station(int number, const point3d_rec& point, int status, trav_station_list& stations, bool ask,
                     const std::string& code = "");

void trav_add_obs(trav_obs_list& list, int type, int from, int to, double bearing, double distance,
                  double level, const std::string& unit, const std::string& code);

// Appends the stations of a leg a->b to route route_index (see the .cpp).
void trav_link_nodes(int a, int b, size_t route_index, trav_route_list& routes);

bool trav_find_station(int number, point3d_rec& out, const trav_station_list& stations);
int find_point_index(int number, const trav_station_list& stations);
int trav_find_obs(int from, int to, const trav_obs_list& list);
// The station's point, else the to point of the first observation ending at
// number: 1, or -1 when neither exists.
int trav_find_point(int number, const trav_obs_list& observations, const trav_station_list& stations,
                    point3d_rec& out);

// Stations found by number, for work that goes over a whole traverse: the
// finders above search the list from its start, so that using them for every
// leg would grow with the square of the traverse. An index serves while the
// list it was made from gets no stations added or renumbered.
class trav_station_index {
public:
    explicit trav_station_index(const trav_station_list& stations);
    // As find_point_index: the first station of that number, or -1.
    int find(int number) const;

private:
    std::unordered_map<int, int> at_;
};

// Observations found by their stations, on the same terms.
class trav_obs_index {
public:
    explicit trav_obs_index(const trav_obs_list& observations);
    // As trav_find_obs: the first observation from -> to, or -1.
    int find(int from, int to) const;
    // The first observation ending at to, or -1.
    int first_to(int to) const;
    // The first observation of each from-station that ends at to, in list order.
    const std::vector<int>& ending_at(int to) const;

private:
    static std::uint64_t key(int from, int to)
    {
        return (std::uint64_t(std::uint32_t(from)) << 32) | std::uint32_t(to);
    }
    std::unordered_map<std::uint64_t, int> legs_;
    std::unordered_map<int, std::vector<int>> ending_;
};

// As trav_find_point, through the indexes of the same lists.
int trav_find_point(int number, const trav_obs_list& observations, const trav_obs_index& obs_index,
                    const trav_station_list& stations, const trav_station_index& station_index,
                    point3d_rec& out);

// Bearing of an observation in decimal degrees.
double trav_obs_bearing_deg(const trav_obs_rec& obs);
// Distance of an observation in metres (traverse unit table).
double trav_obs_distance_m(const trav_obs_rec& obs);
