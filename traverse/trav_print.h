// The traverse printouts on the command line. Each trav_format_* builds the
// text (every line starts with a new line) and the matching print routine
// writes it to the host's command line.
#pragma once

#include <string>

#include "trav_model.h"

// "\n[first-last]Tikai 1: ratio   dist=length  diflat= dy  difdip= dx"
std::string trav_format_closure(const trav_route_rec& route);
std::string trav_format_observations(const trav_obs_list& observations);
std::string trav_format_stations(const trav_station_list& stations);
std::string trav_format_routes(const trav_route_list& routes);
std::string trav_format_loops(const trav_route_list& routes);
std::string trav_format_listing(const trav_obs_list& observations, const trav_station_list& stations,
                                const trav_route_list& routes);

void print_route_closure(const trav_route_rec& route);
void trav_print_observations(const trav_obs_list& observations);
void trav_print_stations(const trav_station_list& stations);
void trav_print_routes(const trav_route_list& routes);
void trav_print_loops(const trav_route_list& routes);
void trav_print_listing(const trav_obs_list& observations, const trav_station_list& stations,
                        const trav_route_list& routes);
