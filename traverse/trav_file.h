// Traverse files (".trv"): the "KOLVA4" form (with a code field) and the older
// "KOLVA3" form, read into the traverse lists, written whole, and appended to
// record by record while the traverse command runs. The file is the one named
// in the traverse settings; all access goes through win_fopen, so the path may
// be a Windows-style path.
#pragma once

#include <functional>
#include <string>

#include "trav_model.h"

inline constexpr int trav_read_failed = 0;  // the file cannot be opened or read: lists unchanged
inline constexpr int trav_read_ok = 1;
inline constexpr int trav_read_bad_version = 3;  // neither tag: alerted, lists left empty

// Reads the settings' file into the four lists (they are replaced only when the
// file could be read) and keeps the largest station numbers in the settings.
// A "KOLVA4" file sets the settings' version text to "KOLVA4"; a "KOLVA3" file
// leaves it as it is. P records never ask about existing stations, whatever
// ask says (the flag is kept for the command's calls). A record line that
// cannot be taken (too few fields, a field that is not wholly a finite number,
// a station number out of range, an unknown unit, a leg from a station to
// itself, a letter that is no record) is named with its line and field and
// not used; such lines are kept at the end of the file when it is written
// again. A byte-order mark before the version line is passed over, and lines
// may end in LF, CR LF or CR alone.
int read_trav_file(trav_obs_list& observations, trav_obs_list& radiations, trav_route_list& routes,
                   trav_station_list& stations, bool ask);

// Rewrites the whole file in the settings' version ("KOLVA3" without regard to
// case: the older form; anything else: "KOLVA4"). The file is replaced only
// once the new text is complete on disk; the lines the last read of the same
// file could not take go at its end. On failure the alert "File error." is
// shown, the old file is left as it was and false is returned. The file last
// read or written here is not rewritten once it holds something else (another
// session added to it, another file took its place): that is said, and false.
bool write_trav_file(const trav_obs_list& observations, const trav_obs_list& radiations,
                     const trav_station_list& stations);
bool write_trav_file_v3(const trav_obs_list& observations, const trav_obs_list& radiations,
                        const trav_station_list& stations);
bool write_trav_file_v4(const trav_obs_list& observations, const trav_obs_list& radiations,
                        const trav_station_list& stations);

// The whole file's text in either form.
std::string trav_file_text(const trav_obs_list& observations, const trav_obs_list& radiations,
                           const trav_station_list& stations, bool version3);

// One record, as the command appends it after an entry: a T, C or R
// observation, or a P record with an empty code, in the version of the file's
// first line (the settings' version for a file without one). The record
// starts on a line of its own and is written whole or not at all: on failure
// the file is left as it was, the alert "File error." is shown and false
// returned. The file is read again first and must still be what was read or
// written here; otherwise (another session added to it, another file took its
// place) nothing is written, that is said and false returned. A file that has gone since it was opened is
// written again whole from the lists when they are given (they already hold the record), else it begins again
// with its version line.
bool trav_append_obs(const trav_obs_rec& obs, const trav_lists* whole = nullptr);
bool trav_append_point(const trav_point_rec& station, const trav_lists* whole = nullptr);

// A new traverse has no unread lines of an earlier file to keep, and no file
// that later writes are checked against.
void trav_file_forget_unread();
// A file the user chose to save under is written whatever it holds now.
void trav_file_forget_known();

// What a traverse file holds for one that adds to it: its version, its
// largest station number (P, T, C and R records alike) and the station its
// traverse ends at (the to-station of the last P, T or C record; 0 for none).
struct trav_file_numbers_rec {
    bool version3 = false;
    int largest_station = 0;
    int last_station = 0;
};
// Reads them without changing the traverse the command holds (lines that
// cannot be read are reported as the reader reports them). trav_read_ok,
// trav_read_failed or trav_read_bad_version.
int trav_file_numbers(const std::string& path, trav_file_numbers_rec& numbers);

// A whole new file, put in place only once it is complete on disk and not
// while another session adds to a traverse of that name; on failure the
// alert "File error." (or the word that the file is busy) and false.
bool trav_write_new_file(const std::string& path, const std::string& text);
// Records (the text of whole lines, in the version of the file's first line)
// added to the end of a file as the command's appends are: on a line of their
// own, all of them or none.
bool trav_append_to_file(const std::string& path, const std::function<std::string(bool version3)>& records);

// Whether the settings' version text is the older form.
bool trav_version_is_3();
