#include "trav_file.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "ads.h"
#include "text_fields.h"
#include "trav_settings.h"
#include "trav_text.h"
#include "winplat.h"

namespace {

// One line of the file as read, without its line end.
struct file_line {
    std::string text;
    bool too_long = false;
};

// All lines of the file, or nothing when it cannot be opened or a read fails.
std::optional<std::vector<file_line>> read_lines(const std::string& path)
{
    std::FILE* file = win_fopen(path.c_str(), "r");
    if (!file) return std::nullopt;
    std::vector<file_line> lines;
    file_line line;
    bool pending = false;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        pending = true;
        if (c == '\n') {
            lines.push_back(std::move(line));
            line = file_line{};
            pending = false;
            continue;
        }
        if (line.text.size() < trav_max_line + 1)
            line.text.push_back(static_cast<char>(c));
        else
            line.too_long = true;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    if (pending) lines.push_back(std::move(line));
    for (file_line& each : lines) {
        if (!each.text.empty() && each.text.back() == '\r') each.text.pop_back();
        if (each.text.size() > trav_max_line) each.too_long = true;
    }
    return lines;
}

// Whole numbers as the C runtime reads them (leading number, else 0).
int read_int(const std::string& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// Reals as the C runtime reads them; text that is not a finite number is 0.
double read_real(const std::string& text)
{
    const double value = std::strtod(text.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

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

void read_record(read_state& state, const std::vector<std::string>& f, bool version4)
{
    const std::string letter = str_trim(f[0]);
    if (trav_same_text(letter, "R")) {
        const int from = read_int(f[1]);
        const int to = read_int(f[2]);
        trav_add_obs(state.radiations, trav_obs_radiation, from, to, read_real(f[3]), read_real(f[4]),
                     read_real(f[5]), f[6], "");
        trav_add_station(to, point3d_rec{}, trav_nil, state.stations, false);
        state.largest_rad_from = std::max(state.largest_rad_from, from);
        state.largest_rad_to = std::max(state.largest_rad_to, to);
        return;
    }
    int type;
    if (trav_same_text(letter, "P"))
        type = trav_obs_point;
    else if (trav_same_text(letter, "T"))
        type = trav_obs_leg;
    else if (trav_same_text(letter, "C"))
        type = trav_obs_closing;
    else
        return;

    const std::string code = version4 ? f[7] : "";
    const int f1 = read_int(f[1]);
    const int f2 = read_int(f[2]);
    const double f3 = read_real(f[3]);
    const double f4 = read_real(f[4]);
    const double f5 = read_real(f[5]);
    state.largest_station = std::max({state.largest_station, f1, f2});
    state.last_station = f2;

    if (type == trav_obs_point) {
        // A P record after the legs that reach its station (an editor may put
        // a closing station's point last) gives that station its place: left
        // as the legs' placeholder, the point would be lost on the next save,
        // which writes fixed stations only. A second P record for a station
        // that is already fixed changes nothing.
        const int index = find_point_index(f2, state.stations);
        if (index >= 0 && state.stations[index].status == trav_nil) {
            state.stations[index] = trav_point_rec{point3d_rec{f3, f4, f5}, f2, code, trav_fixed};
            return;
        }
        trav_add_station(f2, point3d_rec{f3, f4, f5}, trav_fixed, state.stations, false, code);
        return;
    }
    if (state.observations.empty()) state.routes.emplace_back();
    trav_add_obs(state.observations, type, f1, f2, f3, f4, f5, f[6], code);
    if (type == trav_obs_leg) {
        trav_link_nodes(f1, f2, state.routes.size() - 1, state.routes);
        trav_add_station(f2, point3d_rec{}, trav_nil, state.stations, false);
        return;
    }
    // A closing record ends its route: the route closes on f1, whose known
    // coordinates (or 0, 0) the record holds; later legs start a new route.
    trav_route_rec& route = state.routes.back();
    route.stations.push_back(-f1);
    route.known_point = point3d_rec{f3, f4, 0.0};
    state.routes.emplace_back();
}

void report_skipped(size_t line_number, const char* why)
{
    acutPrintf("\nTrav file line %d skipped: %s.", static_cast<int>(line_number), why);
}

void keep_numbers(const read_state& state)
{
    trav_settings_rec& settings = trav_settings();
    settings.largest_station_number = state.largest_station;
    settings.current_trav_station = state.last_station;
    settings.largest_rad_from = state.largest_rad_from;
    settings.largest_rad_to = state.largest_rad_to;
}

// The file text goes to a scratch file beside the target first and replaces
// the target only when it was written whole, so a failed write loses nothing.
bool replace_file(const std::string& path, const std::string& text)
{
    const std::string scratch = path + ".tmp";
    std::FILE* file = win_fopen(scratch.c_str(), "w");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    char native_scratch[4096];
    char native_path[4096];
    win_native_path(scratch.c_str(), native_scratch, sizeof native_scratch);
    win_native_path(path.c_str(), native_path, sizeof native_path);
    if (!written || !closed || std::rename(native_scratch, native_path) != 0) {
        win_remove(scratch.c_str());
        return false;
    }
    return true;
}

bool write_whole(const trav_obs_list& observations, const trav_obs_list& radiations,
                 const trav_station_list& stations, bool version3)
{
    if (replace_file(trav_settings().file_name, trav_file_text(observations, radiations, stations, version3)))
        return true;
    acedAlert("File error.");
    return false;
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

bool append_text(const std::string& text)
{
    std::FILE* file = win_fopen(trav_settings().file_name.c_str(), "a");
    bool ok = file != nullptr;
    if (ok) {
        ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        ok = std::fclose(file) == 0 && ok;
    }
    if (!ok) acedAlert("File error.");
    return ok;
}

}  // namespace

bool trav_version_is_3()
{
    return trav_same_text(trav_settings().version_text, "KOLVA3");
}

int read_trav_file(trav_obs_list& observations, trav_obs_list& radiations, trav_route_list& routes,
                   trav_station_list& stations, bool ask)
{
    const std::optional<std::vector<file_line>> lines = read_lines(trav_settings().file_name);
    if (!lines) return trav_read_failed;

    const std::string tag = lines->empty() ? "" : lines->front().text;
    const bool version4 = trav_same_text(tag, "KOLVA4");
    read_state state;
    if (!version4 && !trav_same_text(tag, "KOLVA3")) {
        observations.clear();
        radiations.clear();
        stations.clear();
        routes.clear();
        keep_numbers(state);
        acedAlert("Trav file wrong version \nTry convert.");
        return trav_read_bad_version;
    }
    if (version4) trav_settings().version_text = "KOLVA4";

    for (size_t i = 1; i < lines->size(); ++i) {
        const file_line& line = (*lines)[i];
        if (line.too_long) {
            report_skipped(i + 1, "longer than 255 characters");
            continue;
        }
        const std::vector<std::string> fields = str_split(line.text, ',');
        if (fields.empty()) continue;
        const std::string letter = str_trim(fields[0]);
        const bool radiation = trav_same_text(letter, "R");
        const bool known = radiation || trav_same_text(letter, "P") || trav_same_text(letter, "T") ||
                           trav_same_text(letter, "C");
        if (!known) continue;
        // Seven fields up to the unit; version 4 adds the code, which a
        // radiation does not keep, so a radiation without it loses nothing.
        const size_t fields_needed = version4 && !radiation ? 8 : 7;
        if (fields.size() < fields_needed) {
            report_skipped(i + 1, "too few fields");
            continue;
        }
        read_record(state, fields, version4);
    }
    observations = std::move(state.observations);
    radiations = std::move(state.radiations);
    stations = std::move(state.stations);
    routes = std::move(state.routes);
    keep_numbers(state);
    return trav_read_ok;
}

std::string trav_file_text(const trav_obs_list& observations, const trav_obs_list& radiations,
                           const trav_station_list& stations, bool version3)
{
    std::string text = version3 ? "KOLVA3\n" : "KOLVA4\n";
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

bool trav_append_obs(const trav_obs_rec& obs)
{
    return append_text(obs_record(obs, trav_version_is_3()));
}

bool trav_append_point(const trav_point_rec& station)
{
    const point3d_rec& p = station.point;
    if (trav_version_is_3())
        return append_text(
            trav_format("P,%i,%i,%.10f,%.10f,%.3f,METER\n", station.number, station.number, p.x, p.y, p.z));
    return append_text(
        trav_format("P,%i,%i,%.10f,%.10f,%.3f,METER,\n", station.number, station.number, p.x, p.y, p.z));
}
