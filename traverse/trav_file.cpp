#include "trav_file.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include "ads.h"
#include "angles.h"
#include "folders_registry.h"
#include "text_fields.h"
#include "text_lines.h"
#include "trav_settings.h"
#include "trav_text.h"
#include "winplat.h"

namespace {

// Whole numbers as the C runtime reads them (leading number, else 0), kept
// wide so that a number beyond the 32-bit range is seen as such.
long long read_wide_int(const std::string& text)
{
    return std::strtoll(text.c_str(), nullptr, 10);
}

// Reals as the C runtime reads them; text that is not a finite number is 0.
double read_real(const std::string& text)
{
    const double value = std::strtod(text.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

// The lines of the file last read that gave no record (skipped or of another
// letter): a rewrite of that file keeps them, so that nothing the reader could
// not take is lost by saving.
struct unread_lines_rec {
    std::string path;
    std::vector<std::string> lines;
};
unread_lines_rec unread;

struct read_state {
    trav_obs_list observations;
    trav_obs_list radiations;
    trav_route_list routes;
    trav_station_list stations;
    int largest_station = 0;
    int last_station = 0;
    int largest_rad_from = 0;
    int largest_rad_to = 0;
};

// The fields of a record as read: the letter's type, the station numbers and
// the numbers that follow them.
struct record_fields {
    int type = trav_obs_leg;
    int f1 = 0, f2 = 0;
    double f3 = 0, f4 = 0, f5 = 0;
    std::string unit, code;
};

void read_record(read_state& state, const record_fields& r)
{
    if (r.type == trav_obs_radiation) {
        trav_add_obs(state.radiations, trav_obs_radiation, r.f1, r.f2, r.f3, r.f4, r.f5, r.unit, "");
        trav_add_station(r.f2, point3d_rec{}, trav_nil, state.stations, false);
        state.largest_rad_from = std::max(state.largest_rad_from, r.f1);
        state.largest_rad_to = std::max(state.largest_rad_to, r.f2);
        return;
    }
    state.largest_station = std::max({state.largest_station, r.f1, r.f2});
    state.last_station = r.f2;

    if (r.type == trav_obs_point) {
        // A P record after the legs that reach its station (an editor may put
        // a closing station's point last) gives that station its place: left
        // as the legs' placeholder, the point would be lost on the next save,
        // which writes fixed stations only. A second P record for a station
        // that is already fixed changes nothing.
        const point3d_rec point{r.f3, r.f4, r.f5};
        const int index = find_point_index(r.f2, state.stations);
        if (index >= 0 && state.stations[index].status == trav_nil) {
            state.stations[index] = trav_point_rec{point, r.f2, r.code, trav_fixed};
            return;
        }
        trav_add_station(r.f2, point, trav_fixed, state.stations, false, r.code);
        return;
    }
    if (state.observations.empty()) state.routes.emplace_back();
    trav_add_obs(state.observations, r.type, r.f1, r.f2, r.f3, r.f4, r.f5, r.unit, r.code);
    if (r.type == trav_obs_leg) {
        trav_link_nodes(r.f1, r.f2, state.routes.size() - 1, state.routes);
        trav_add_station(r.f2, point3d_rec{}, trav_nil, state.stations, false);
        return;
    }
    // A closing record ends its route: the route closes on f1, whose known
    // coordinates (or 0, 0) the record holds; later legs start a new route.
    trav_route_rec& route = state.routes.back();
    route.stations.push_back(-r.f1);
    route.known_point = point3d_rec{r.f3, r.f4, 0.0};
    state.routes.emplace_back();
}

// The record type of a letter, or -1 for a letter that is no record.
int record_type(const std::string& letter)
{
    if (trav_same_text(letter, "P")) return trav_obs_point;
    if (trav_same_text(letter, "T")) return trav_obs_leg;
    if (trav_same_text(letter, "C")) return trav_obs_closing;
    if (trav_same_text(letter, "R")) return trav_obs_radiation;
    return -1;
}

// Takes the fields of one record line; empty when they can be read, else why
// the line is skipped. Seven fields up to the unit are needed; the code after
// them may be left out in either version (it is then empty), and a radiation
// never keeps one. The bearing of a leg or radiation must be a D.MMSS
// bearing; a negative one is the reverse bearing, as at the prompt.
std::string take_fields(const std::vector<std::string>& f, int type, bool version4, record_fields& r)
{
    if (f.size() < 7) return "too few fields";
    const long long f1 = read_wide_int(f[1]);
    const long long f2 = read_wide_int(f[2]);
    // A P record's station is its second field; the first is not used.
    if ((type != trav_obs_point && !trav_station_number_ok(f1)) || !trav_station_number_ok(f2))
        return trav_station_range_text;
    r.type = type;
    r.f1 = static_cast<int>(type == trav_obs_point ? f2 : f1);
    r.f2 = static_cast<int>(f2);
    r.f3 = read_real(f[3]);
    if (type == trav_obs_leg || type == trav_obs_radiation) {
        if (!angle_dms_valid(r.f3))
            return "bearing " + str_trim(f[3]) +
                   " is no D.MMSS bearing (degrees below 360, minutes and seconds from 00 to 59)";
        r.f3 = angle_dms_from_signed(r.f3);
    }
    r.f4 = read_real(f[4]);
    r.f5 = read_real(f[5]);
    r.unit = f[6];
    r.code = version4 && type != trav_obs_radiation && f.size() > 7 ? f[7] : "";
    return "";
}

void report_skipped(size_t line_number, const std::string& why)
{
    acutPrintf("\nTrav file line %d skipped: %s.", static_cast<int>(line_number), why.c_str());
}

void keep_numbers(const read_state& state)
{
    trav_settings_rec& settings = trav_settings();
    settings.largest_station_number = state.largest_station;
    settings.current_trav_station = state.last_station;
    settings.largest_rad_from = state.largest_rad_from;
    settings.largest_rad_to = state.largest_rad_to;
}

const char* version_line(bool version3)
{
    return version3 ? "KOLVA3\n" : "KOLVA4\n";
}

// The file's text, with the lines that the last read of this file could not
// take kept at its end.
bool write_whole(const trav_obs_list& observations, const trav_obs_list& radiations,
                 const trav_station_list& stations, bool version3)
{
    const std::string& path = trav_settings().file_name;
    std::string text = trav_file_text(observations, radiations, stations, version3);
    const bool keeps_unread = unread.path == path && !unread.lines.empty();
    if (keeps_unread)
        for (const std::string& line : unread.lines) text += line + "\n";
    if (!text_file_replace(path, text)) {
        acedAlert("File error.");
        return false;
    }
    if (keeps_unread)
        acutPrintf("\n%d line(s) that could not be read are kept at the end of %s.",
                   static_cast<int>(unread.lines.size()), path.c_str());
    return true;
}

std::string obs_record(const trav_obs_rec& obs, bool version3)
{
    const char* letter = trav_obs_letter(obs.type);
    if (version3)
        return trav_format("%s,%i,%i,%.4f,%.3f,%.3f,%s\n", letter, obs.from, obs.to, obs.bearing,
                           obs.distance, obs.level, obs.unit.c_str());
    return trav_format("%s,%i,%i,%.4f,%.3f,%.3f,%s,%s\n", letter, obs.from, obs.to, obs.bearing, obs.distance,
                       obs.level, obs.unit.c_str(), obs.code.c_str());
}

std::string point_record(const trav_point_rec& station, bool version3)
{
    const point3d_rec& p = station.point;
    if (version3)
        return trav_format("P,%i,%i,%.10f,%.10f,%.3f,METER\n", station.number, station.number, p.x, p.y, p.z);
    return trav_format("P,%i,%i,%.10f,%.10f,%.3f,METER,\n", station.number, station.number, p.x, p.y, p.z);
}

// Whether a file's text begins with a version line, and which.
bool text_has_tag(const std::string& text, bool& version3)
{
    const std::vector<std::string> first = split_lines(text.substr(0, text.find('\n')));
    const std::string tag = first.empty() ? "" : first.front();
    version3 = trav_same_text(tag, "KOLVA3");
    return version3 || trav_same_text(tag, "KOLVA4");
}

// Adds whole records at the end of the settings' file, in the version of the
// file's own first line (the settings' version when it has none): the file's
// text is read, the records go after it on lines of their own, and the new
// text replaces the file only once it is complete on disk, so a failure
// (a full disk) leaves the file as it was. A file that has gone since it was
// opened is written again whole from the lists, when they are given, or else
// begins again with its version line.
bool append_records_at(const std::string& path, const std::function<std::string(bool version3)>& records,
                       const trav_lists* whole)
{
    std::string text;
    bool version3 = trav_version_is_3();
    if (!file_exists(path.c_str())) {
        if (whole) {
            if (!write_whole(whole->observations, whole->radiations, whole->stations, version3)) return false;
            acutPrintf("\n%s had gone: the whole traverse was written to it again.", path.c_str());
            return true;
        }
        text = version_line(version3);
    } else {
        const std::optional<std::string> read = read_file_text(path);
        if (!read) {
            acedAlert("File error.");
            return false;
        }
        text = *read;
        bool file_version3 = false;
        if (text_has_tag(text, file_version3))
            version3 = file_version3;
        else if (text.empty())
            text = version_line(version3);
        if (text.back() != '\n') text += '\n';
    }
    text += records(version3);
    if (!text_file_replace(path, text)) {
        acedAlert("File error.");
        return false;
    }
    return true;
}

bool append_records(const std::function<std::string(bool version3)>& records, const trav_lists* whole)
{
    return append_records_at(trav_settings().file_name, records, whole);
}

// A line kept as it will be read again once written: a stray carriage return
// at its end ("\r\r\n" in the file) would otherwise go with the line end.
std::string kept_line(std::string line)
{
    while (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// Reads the record lines of a file's text into the state; the lines that give
// no record go to not_taken, and each skipped one is reported.
void read_records(const std::vector<std::string>& lines, bool version4, read_state& state,
                  std::vector<std::string>& not_taken)
{
    for (size_t i = 1; i < lines.size(); ++i) {
        // Read as it will be read again once written: a carriage return has no
        // place in a field, and one that ended a written record would go with
        // the line end on the next reading.
        const std::string line = kept_line(lines[i]);
        std::string record_line = line;
        std::erase(record_line, '\r');
        const std::vector<std::string> fields = str_split(record_line, ',');
        if (fields.empty()) continue;
        const int type = record_type(str_trim(fields[0]));
        if (type < 0) {
            if (!str_trim(line).empty()) not_taken.push_back(line);
            continue;
        }
        record_fields record;
        if (const std::string why = take_fields(fields, type, version4, record); !why.empty()) {
            report_skipped(i + 1, why);
            not_taken.push_back(line);
            continue;
        }
        read_record(state, record);
    }
}

}  // namespace

bool trav_version_is_3()
{
    return trav_same_text(trav_settings().version_text, "KOLVA3");
}

int read_trav_file(trav_obs_list& observations, trav_obs_list& radiations, trav_route_list& routes,
                   trav_station_list& stations, bool ask)
{
    const std::string path = trav_settings().file_name;
    const std::optional<std::string> text = read_file_text(path);
    if (!text) return trav_read_failed;
    const std::vector<std::string> lines = split_lines(*text);

    const std::string tag = lines.empty() ? "" : lines.front();
    const bool version4 = trav_same_text(tag, "KOLVA4");
    read_state state;
    if (!version4 && !trav_same_text(tag, "KOLVA3")) {
        observations.clear();
        radiations.clear();
        stations.clear();
        routes.clear();
        keep_numbers(state);
        unread = unread_lines_rec{};
        acedAlert("Trav file wrong version \nTry convert.");
        return trav_read_bad_version;
    }
    if (version4) trav_settings().version_text = "KOLVA4";

    unread_lines_rec not_taken{path, {}};
    read_records(lines, version4, state, not_taken.lines);
    observations = std::move(state.observations);
    radiations = std::move(state.radiations);
    stations = std::move(state.stations);
    routes = std::move(state.routes);
    keep_numbers(state);
    unread = std::move(not_taken);
    return trav_read_ok;
}

int trav_file_numbers(const std::string& path, trav_file_numbers_rec& numbers)
{
    numbers = trav_file_numbers_rec{};
    const std::optional<std::string> text = read_file_text(path);
    if (!text) return trav_read_failed;
    const std::vector<std::string> lines = split_lines(*text);
    const std::string tag = lines.empty() ? "" : lines.front();
    const bool version4 = trav_same_text(tag, "KOLVA4");
    if (!version4 && !trav_same_text(tag, "KOLVA3")) return trav_read_bad_version;
    read_state state;
    std::vector<std::string> not_taken;
    read_records(lines, version4, state, not_taken);
    numbers.version3 = !version4;
    numbers.largest_station = std::max({state.largest_station, state.largest_rad_from, state.largest_rad_to});
    numbers.last_station = state.last_station;
    return trav_read_ok;
}

bool trav_write_new_file(const std::string& path, const std::string& text)
{
    if (text_file_replace(path, text)) return true;
    acedAlert("File error.");
    return false;
}

bool trav_append_to_file(const std::string& path, const std::function<std::string(bool version3)>& records)
{
    return append_records_at(path, records, nullptr);
}

void trav_file_forget_unread()
{
    unread = unread_lines_rec{};
}

std::string trav_file_text(const trav_obs_list& observations, const trav_obs_list& radiations,
                           const trav_station_list& stations, bool version3)
{
    std::string text = version_line(version3);
    for (const trav_point_rec& station : stations) {
        if (station.status != trav_fixed) continue;
        if (version3)
            text += trav_format("%s,%i,%i,%.10f,%.10f,%.3f,METER\n", "P", station.number, station.number,
                                station.point.x, station.point.y, station.point.z);
        else
            text += trav_format("%s,%i,%i,%.10f,%.10f,%.3f,METER,%s\n", "P", station.number, station.number,
                                station.point.x, station.point.y, station.point.z, station.code.c_str());
    }
    for (const trav_obs_rec& obs : observations)
        if (obs.type != trav_obs_point) text += obs_record(obs, version3);
    for (const trav_obs_rec& rad : radiations) text += obs_record(rad, version3);
    return text;
}

bool write_trav_file(const trav_obs_list& observations, const trav_obs_list& radiations,
                     const trav_station_list& stations)
{
    return trav_version_is_3() ? write_trav_file_v3(observations, radiations, stations)
                               : write_trav_file_v4(observations, radiations, stations);
}

bool write_trav_file_v3(const trav_obs_list& observations, const trav_obs_list& radiations,
                        const trav_station_list& stations)
{
    return write_whole(observations, radiations, stations, true);
}

bool write_trav_file_v4(const trav_obs_list& observations, const trav_obs_list& radiations,
                        const trav_station_list& stations)
{
    return write_whole(observations, radiations, stations, false);
}

bool trav_append_obs(const trav_obs_rec& obs, const trav_lists* whole)
{
    return append_records([&](bool version3) { return obs_record(obs, version3); }, whole);
}

bool trav_append_point(const trav_point_rec& station, const trav_lists* whole)
{
    return append_records([&](bool version3) { return point_record(station, version3); }, whole);
}
