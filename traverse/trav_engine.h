// The traverse computation: station coordinates from bearings and distances,
// the closure of routes that close on a known station, the Transit-rule
// adjustment and the route areas.
#pragma once

#include <vector>

#include "trav_model.h"

// How the computation runs; trav_solve takes these from the traverse settings.
struct trav_solve_options {
    int decimals = 0;  // rounding decimals; 0 = no rounding
    bool adjust = false;
};

// The to point of observation i stepped from a point (traverse rounding).
void trav_obs_latdep(size_t i, const point3d_rec& from, const trav_obs_list& list, point3d_rec& out,
                     int decimals);

// A leg stepped from a point (rounded first when decimals > 0): the to point,
// stored in the observation with the from point. Nothing is summed.
point3d_rec trav_leg_step(trav_obs_rec& obs, const point3d_rec& from, int decimals);

// One leg of a route stepped from a point (rounded first when decimals > 0):
// the to point, stored in the observation with the from point, and the
// route's length, computed point and plus/minus sums. The computation uses it
// for every route leg; the traverse command for each leg entered.
point3d_rec trav_route_add_leg(trav_route_rec& route, trav_obs_rec& obs, const point3d_rec& from,
                               int decimals);

// Computes every station, prints the closure line of each closing route and,
// with the adjust flag, adjusts those routes. Uses the traverse settings.
void trav_solve(trav_obs_list& observations, trav_obs_list& radiations, trav_station_list& stations,
                trav_route_list& routes);
void trav_solve(trav_obs_list& observations, trav_obs_list& radiations, trav_station_list& stations,
                trav_route_list& routes, const trav_solve_options& options);

// Transit-rule adjustment of one route against its known point.
void trav_adjust_route(const trav_route_rec& route, const trav_obs_list& observations,
                       trav_station_list& stations);

// Area of every route's polygon (positive clockwise, north up).
void trav_find_loops(const trav_obs_list& observations, trav_route_list& routes);

// Bearing (D.MMSS number) and plan distance from the route's known point to
// its computed point.
void route_misclosure_bearing_dist(const trav_route_rec& route, double& bearing, double& distance);

// Misclosures: known - computed.
double route_diflat(const trav_route_rec& route);
double route_difdip(const trav_route_rec& route);
// Length over the misclosure's length, truncated. A route that closes exactly
// (or so nearly that the ratio passes the integer range) gets the largest
// integer, "1 in unbounded"; a route without length gets 0.
int route_accuracy_ratio(const trav_route_rec& route);

// The observation that brings route entry k (k >= 1) into the route, and the
// station it starts from: the leg (entry k-1 -> entry k) or, for a branch
// from an earlier station of the route, the leg (entry j -> entry k) with the
// latest j < k. Returns the observation index, or -1 (closing entries, legs
// without an observation).
int trav_route_leg(const trav_route_rec& route, size_t k, const trav_obs_list& observations,
                   int& from_station);

// The leg of one route entry. A route is entered as a chain, but a leg may go
// out from an earlier station (a spur, or the route taken up again there
// after one): the main line is the chain of legs from the route's first
// station to its end (the closing station when a leg of the route reaches
// it, else the last leg entered), and every other leg is a side leg. Side
// legs are computed from their own from-station like the rest, but they do
// not enter the route's length, sums, closure, adjustment or area, and are
// drawn as lines of their own.
struct trav_route_leg_rec {
    int obs = -1;           // observation index; -1: no leg (first entry, closing entries)
    int from_station = 0;   // the station the leg starts from
    size_t from_entry = 0;  // the route entry of that station
    bool side = false;      // a side leg, off the main line
};
// One record per route entry, in route order, through an index of the
// observations, for work over every route.
std::vector<trav_route_leg_rec> trav_route_legs(const trav_route_rec& route,
                                                const trav_obs_list& observations,
                                                const trav_obs_index& obs_index);
