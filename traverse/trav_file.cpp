#include "trav_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ads.h"
#include "angles.h"
#include "folders_registry.h"
#include "numbers.h"
#include "text_fields.h"
#include "text_lines.h"
#include "trav_settings.h"
#include "trav_text.h"
#include "winplat.h"

namespace {

// Why a record is not used: the field, counted from 1 with the record's
// letter as field 1, named by its meaning and shown as it stands (cut when
// long), so that the user finds it in the file.
std::string field_fault(const std::vector<std::string>& f, size_t i, const char* name, const char* fault)
{
    std::string shown = str_trim(f[i]);
    if (shown.size() > 40) shown = shown.substr(0, 40) + "...";
    return trav_format("field %d (%s) \"%s\" %s", static_cast<int>(i + 1), name, shown.c_str(), fault);
}

// A numeric field is taken whole as a finite number: "9O.3000" (a letter O),
// "1OO.000", "abc", "nan" and "inf" are no numbers, and reading their leading
// digits or 0 would put a wrong leg or station into the traverse unseen.
bool take_real(const std::vector<std::string>& f, size_t i, const char* name, double& out, std::string& why)
{
    if (field_to_real(f[i], out)) return true;
    why = field_fault(f, i, name, "is not a number");
    return false;
}

bool take_station(const std::vector<std::string>& f, size_t i, const char* name, bool ranged, int& out,
                  std::string& why)
{
    if (!field_to_int(f[i], out)) {
        // Digits beyond the 32-bit range are a station number out of range.
        const std::string digits = str_trim(f[i]);
        const size_t sign = !digits.empty() && (digits[0] == '-' || digits[0] == '+') ? 1 : 0;
        const bool whole =
            digits.size() > sign && digits.find_first_not_of("0123456789", sign) == std::string::npos;
        why = whole ? trav_station_range_text : field_fault(f, i, name, "is not a station number");
        return false;
    }
    if (ranged && !trav_station_number_ok(out)) {
        why = trav_station_range_text;
        return false;
    }
    return true;
}

// The unit names of the traverse's unit table. Any other name would be read
// as metres, which a distance in a unit the table does not know is not.
bool known_unit(const std::string& name)
{
    const std::string unit = str_trim(name);
    for (const char* known : {"METER", "M", "LINK", "L", "FEET", "F"})
        if (trav_same_text(unit, known)) return true;
    return false;
}

// The lines of the file last read that gave no record (skipped or of another
// letter): a rewrite of that file keeps them, so that nothing the reader could
// not take is lost by saving.
struct unread_lines_rec {
    std::string path;
    std::vector<std::string> lines;
};
unread_lines_rec unread;

// The file the traverse command holds, as it was when last read or written
// here: what a later write checks the file against.
struct known_file_rec {
    std::string path;
    std::string text;
};
known_file_rec known;

void say_changed(const std::string& path)
{
    acutPrintf(
        "\n%s is no longer the traverse that was read: it was changed or replaced since (by another "
        "session or program); nothing was written to it.",
        path.c_str());
}

// The lines of a traverse file's text: a UTF-8 byte-order mark before the
// first line is no part of it, and a line ends in LF, CR LF or CR alone.
std::vector<std::string> trav_lines(std::string_view text)
{
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (text.substr(0, bom.size()) == bom) text.remove_prefix(bom.size());
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++start;
    }
    return lines;
}

// The first line of a file's text, read as trav_lines reads it.
std::string first_line(std::string_view text)
{
    const std::vector<std::string> lines = trav_lines(text.substr(0, text.find_first_of("\r\n")));
    return lines.empty() ? "" : lines.front();
}

// Only one session at a time rereads and replaces a traverse file: between
// its check that the file is as it was and its replacing the file, another
// session's leg would otherwise be written over. The mark is a file beside the
// traverse that only one can make; a session that finds it waits a little,
// then gives up and says so. A folder where it cannot be made is one where
// the file cannot be replaced either, which the write then says.
class file_lock {
public:
    explicit file_lock(const std::string& path) : mark_(path + ".lock")
    {
        constexpr int step_ms = 10;
        constexpr int limit_ms = 5000;
        for (int waited = 0;; waited += step_ms) {
            errno = 0;
            if (std::FILE* file = win_fopen(mark_.c_str(), "wx")) {
                std::fclose(file);
                held_ = true;
                return;
            }
            // Only a mark that is there already is waited for (it may go
            // before it is looked at again: then the next try makes it).
            if (errno != EEXIST) return;
            if (waited >= limit_ms) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(step_ms));
        }
        busy_ = true;
        acutPrintf(
            "\n%s is being written by another session (or one that stopped left %s behind: delete it when "
            "no other session has the traverse open); nothing was written to it.",
            path.c_str(), mark_.c_str());
    }
    ~file_lock()
    {
        if (held_) win_remove(mark_.c_str());
    }
    file_lock(const file_lock&) = delete;
    file_lock& operator=(const file_lock&) = delete;
    bool free() const { return !busy_; }

private:
    std::string mark_;
    bool held_ = false;
    bool busy_ = false;
};

// What the reader builds, with the stations found by number and the last
// route's entries after its first one by value, so that reading grows in
// step with the file (the lists' own finders search them from the start).
struct read_state {
    trav_obs_list observations;
    trav_obs_list radiations;
    trav_route_list routes;
    trav_station_list stations;
    int largest_station = 0;
    int last_station = 0;
    int largest_rad_from = 0;
    int largest_rad_to = 0;
    std::unordered_map<int, size_t> station_at;
    std::unordered_set<int> later_entries;  // of the last route, from its second entry on

    trav_point_rec* station(int number)
    {
        const auto it = station_at.find(number);
        return it == station_at.end() ? nullptr : &stations[it->second];
    }
    // As trav_add_station with the ask flag off: an existing number is left.
    void add_station(int number, const point3d_rec& point, int status, const std::string& code = "")
    {
        if (station_at.emplace(number, stations.size()).second)
            stations.push_back(trav_point_rec{point, number, code, status});
    }
    void new_route()
    {
        routes.emplace_back();
        later_entries.clear();
    }
    void add_entry(int entry)
    {
        std::vector<int>& list = routes.back().stations;
        list.push_back(entry);
        if (list.size() > 1) later_entries.insert(entry);
    }
    // As trav_link_nodes on the last route.
    void link(int a, int b)
    {
        const bool compared = routes.back().stations.size() > 1;
        const bool have_a = compared && later_entries.count(a) > 0;
        const bool have_b = compared && later_entries.count(b) > 0;
        if (!have_a) add_entry(a);
        if (!have_b) add_entry(b);
    }
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
        state.add_station(r.f2, point3d_rec{}, trav_nil);
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
        if (trav_point_rec* station = state.station(r.f2); station && station->status == trav_nil) {
            *station = trav_point_rec{point, r.f2, r.code, trav_fixed};
            return;
        }
        state.add_station(r.f2, point, trav_fixed, r.code);
        return;
    }
    if (state.observations.empty()) state.new_route();
    trav_add_obs(state.observations, r.type, r.f1, r.f2, r.f3, r.f4, r.f5, r.unit, r.code);
    if (r.type == trav_obs_leg) {
        state.link(r.f1, r.f2);
        state.add_station(r.f2, point3d_rec{}, trav_nil);
        return;
    }
    // A closing record ends its route: the route closes on f1, whose known
    // coordinates (or 0, 0) the record holds; later legs start a new route.
    state.add_entry(-r.f1);
    state.routes.back().known_point = point3d_rec{r.f3, r.f4, 0.0};
    state.new_route();
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

// The names of a record's fields 2 to 7, for messages.
struct field_names {
    const char* f1;
    const char* f2;
    const char* f3;
    const char* f4;
    const char* f5;
};
field_names names_of(int type)
{
    if (type == trav_obs_point) return {"station number", "station number", "x", "y", "z"};
    if (type == trav_obs_closing)
        return {"closing station", "closing station", "known x", "known y", "level"};
    return {"from station", "to station", "bearing", "distance", "level"};
}

// Takes the fields of one record line; empty when they can be read, else why
// the line is not used. Seven fields up to the unit are needed; the code after
// them may be left out in either version (it is then empty), and a radiation
// never keeps one. Every number is taken whole or the record is not used. The
// bearing of a leg or radiation must be a D.MMSS bearing; a negative one is the
// reverse bearing, as at the prompt.
std::string take_fields(const std::vector<std::string>& f, int type, bool version4, record_fields& r)
{
    if (f.size() < 7) return "too few fields";
    const field_names name = names_of(type);
    std::string why;
    int f1 = 0, f2 = 0;
    // A P record's station is its second field; the first is not used.
    if (!take_station(f, 1, name.f1, type != trav_obs_point, f1, why) ||
        !take_station(f, 2, name.f2, true, f2, why))
        return why;
    r.type = type;
    r.f1 = type == trav_obs_point ? f2 : f1;
    r.f2 = f2;
    if (!take_real(f, 3, name.f3, r.f3, why) || !take_real(f, 4, name.f4, r.f4, why) ||
        !take_real(f, 5, name.f5, r.f5, why))
        return why;
    if (type == trav_obs_leg || type == trav_obs_radiation) {
        if (!angle_dms_valid(r.f3))
            return "bearing " + str_trim(f[3]) +
                   " is no D.MMSS bearing (degrees below 360, minutes and seconds from 00 to 59)";
        r.f3 = angle_dms_from_signed(r.f3);
        // A leg has two ends: one from a station to itself has no place.
        if (r.f1 == r.f2)
            return trav_format("a %s from station %d to itself", type == trav_obs_leg ? "leg" : "radiation",
                               r.f1);
    }
    if (!known_unit(f[6])) return field_fault(f, 6, "unit", "is no unit (METER, LINK or FEET)");
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
// take kept at its end. A rewrite of the file this command read is made only
// while the file is still what was read or last written here.
bool write_whole(const trav_obs_list& observations, const trav_obs_list& radiations,
                 const trav_station_list& stations, bool version3)
{
    const std::string& path = trav_settings().file_name;
    std::string text = trav_file_text(observations, radiations, stations, version3);
    const bool keeps_unread = unread.path == path && !unread.lines.empty();
    if (keeps_unread)
        for (const std::string& line : unread.lines) text += line + "\n";
    const file_lock lock(path);
    if (!lock.free()) return false;
    if (known.path == path && file_exists(path.c_str())) {
        const std::optional<std::string> now = read_file_text(path);
        if (now && *now != known.text) {
            say_changed(path);
            return false;
        }
    }
    if (!text_file_replace(path, text)) {
        acedAlert("File error.");
        return false;
    }
    known = known_file_rec{path, text};
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
    const std::string tag = first_line(text);
    version3 = trav_same_text(tag, "KOLVA3");
    return version3 || trav_same_text(tag, "KOLVA4");
}

// Adds whole records at the end of a file, in the version of the file's own
// first line (the settings' version when it has none): the file's text is
// read again, the records go after it on lines of their own, and the new text
// replaces the file only once it is complete on disk, so a failure (a full
// disk) leaves the file as it was. With guarded, the file must still be the
// traverse that was read or last written here: another session that added to
// it, or another file put in its place, is not written over (two sessions
// adding legs would otherwise each write the file as they knew it, and one
// leg would be lost). A file that has gone since it was opened is written
// again whole from the lists, when they are given, or else begins again with
// its version line.
bool append_records_at(const std::string& path, const std::function<std::string(bool version3)>& records,
                       const trav_lists* whole, bool guarded)
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
    }
    const file_lock lock(path);
    if (!lock.free()) return false;
    if (text.empty()) {
        const std::optional<std::string> read = read_file_text(path);
        if (!read) {
            acedAlert("File error.");
            return false;
        }
        if (guarded && known.path == path && *read != known.text) {
            say_changed(path);
            return false;
        }
        text = *read;
        bool file_version3 = false;
        if (text_has_tag(text, file_version3))
            version3 = file_version3;
        else if (text.empty())
            text = version_line(version3);
        if (text.back() != '\n' && text.back() != '\r') text += '\n';
    }
    text += records(version3);
    if (!text_file_replace(path, text)) {
        acedAlert("File error.");
        return false;
    }
    if (known.path == path) known.text = text;
    return true;
}

bool append_records(const std::function<std::string(bool version3)>& records, const trav_lists* whole)
{
    return append_records_at(trav_settings().file_name, records, whole, true);
}

// Reads the record lines of a file's text into the state; the lines that give
// no record go to not_taken, and each of them that is not blank is reported.
void read_records(const std::vector<std::string>& lines, bool version4, read_state& state,
                  std::vector<std::string>& not_taken)
{
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::vector<std::string> fields = str_split(line, ',');
        if (fields.empty() || str_trim(line).empty()) continue;
        const std::string letter = str_trim(fields[0]);
        const int type = record_type(letter);
        if (type < 0) {
            report_skipped(i + 1, field_fault(fields, 0, "record", "is no record (P, T, C or R)"));
            not_taken.push_back(line);
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
    const std::vector<std::string> lines = trav_lines(*text);

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
        known = known_file_rec{};
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
    known = known_file_rec{path, *text};
    return trav_read_ok;
}

int trav_file_numbers(const std::string& path, trav_file_numbers_rec& numbers)
{
    numbers = trav_file_numbers_rec{};
    const std::optional<std::string> text = read_file_text(path);
    if (!text) return trav_read_failed;
    const std::vector<std::string> lines = trav_lines(*text);
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
    // In turn with any session adding to a traverse of that name.
    const file_lock lock(path);
    if (!lock.free()) return false;
    if (text_file_replace(path, text)) return true;
    acedAlert("File error.");
    return false;
}

bool trav_append_to_file(const std::string& path, const std::function<std::string(bool version3)>& records)
{
    return append_records_at(path, records, nullptr, false);
}

void trav_file_forget_unread()
{
    unread = unread_lines_rec{};
    known = known_file_rec{};
}

void trav_file_forget_known()
{
    known = known_file_rec{};
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
