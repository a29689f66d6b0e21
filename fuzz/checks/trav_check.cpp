// Traverse files: a file read and written, then read and written again, is the
// same file.
#include "check_support.h"
#include "round_trips.h"
#include "text_lines.h"
#include "trav_file.h"
#include "trav_settings.h"

namespace fuzzcheck {

namespace {

// Reads the scratch file as the traverse command does and writes it whole
// again; the file's text after the write, or nothing when it was not read.
std::optional<std::string> read_and_write()
{
    trav_obs_list observations, radiations;
    trav_route_list routes;
    trav_station_list stations;
    if (read_trav_file(observations, radiations, routes, stations, false) != trav_read_ok)
        return std::nullopt;
    if (!write_trav_file(observations, radiations, stations)) return std::nullopt;
    return read_file_text(scratch_file());
}

}  // namespace

std::string trav_file_round_trip(std::string_view input)
{
    prepare();
    trav_settings_defaults();
    trav_file_forget_unread();
    trav_settings().file_name = scratch_file();
    write_scratch(input);
    std::optional<std::string> first = read_and_write();
    if (!first) return "";
    std::optional<std::string> second = read_and_write();
    if (!second) return "the written traverse file cannot be read again:\n" + *first;
    return difference("the first and the second writing", *first, *second);
}

}  // namespace fuzzcheck
