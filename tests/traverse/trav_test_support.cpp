#include "trav_test_support.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "session/session.h"
#include "trav_engine.h"

trav_printed trav_run_printing(const std::function<void()>& body, const std::string& answers)
{
    host::Session session;
    session.transcript().echo_to_stdout = false;
    session.set_input(host::script_input(answers));
    body();
    return {session.transcript().text(), session.transcript().alerts};
}

std::string trav_scratch_dir()
{
    static const std::string dir = [] {
        // One folder per test process: ctest runs them side by side.
        const std::filesystem::path path = std::filesystem::path(ORVIK_BINARY_DIR) / "test_scratch" /
                                           ("traverse-" + std::to_string(getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return dir;
}

std::string trav_write_scratch(const std::string& name, const std::string& text)
{
    std::string path = trav_scratch_dir() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string trav_file_contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string trav_data_path(const std::string& name)
{
    return std::string(ORVIK_SOURCE_DIR) + "/tests/traverse/data/" + name;
}

std::string trav_solve_printing(trav_lists& lists, int decimals, bool adjust)
{
    return trav_run_printing([&] {
               trav_solve(lists.observations, lists.radiations, lists.stations, lists.routes,
                          trav_solve_options{decimals, adjust});
               trav_find_loops(lists.observations, lists.routes);
           })
        .text;
}

void trav_add_legs(trav_lists& lists, size_t route, std::initializer_list<trav_test_leg> legs)
{
    for (const trav_test_leg& leg : legs) {
        trav_add_obs(lists.observations, trav_obs_leg, leg.from, leg.to, leg.bearing, leg.distance, 0,
                     "METER", "");
        trav_link_nodes(leg.from, leg.to, route, lists.routes);
        trav_add_station(leg.to, point3d_rec{}, trav_nil, lists.stations, false);
    }
}

trav_lists trav_square_lists()
{
    trav_lists lists;
    trav_add_station(1, point3d_rec{1000, 2000, 0}, trav_fixed, lists.stations, false);
    lists.routes.emplace_back();
    trav_add_legs(lists, 0,
                  {{1, 2, 90.0, 100.0}, {2, 3, 180.0, 100.0}, {3, 4, 270.0, 100.0}, {4, 1, 0.0, 100.03}});
    trav_add_obs(lists.observations, trav_obs_closing, 1, 1, 0, 0, 0, "METER", "");
    lists.routes[0].stations.push_back(-1);
    lists.routes.emplace_back();
    return lists;
}
