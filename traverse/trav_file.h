// Traverse files (".trv"): the "KOLVA4" form (with a code field) and the older
// "KOLVA3" form, read into the traverse lists, written whole, and appended to
// record by record while the traverse command runs. The file is the one named
// in the traverse settings; all access goes through win_fopen, so the path may
// be a Windows-style path.
#pragma once

#include <string>

#include "trav_model.h"

inline constexpr int trav_read_failed = 0;  // the file cannot be opened or read: lists unchanged
inline constexpr int trav_read_ok = 1;
inline constexpr int trav_read_bad_version = 3;  // neither tag: alerted, lists left empty

// The longest record line the reader takes (a longer one is skipped whole).
inline constexpr size_t trav_max_line = 255;

// Reads the settings' file into the four lists (they are replaced only when the
// file could be read) and keeps the largest station numbers in the settings.
// A "KOLVA4" file sets the settings' version text to "KOLVA4"; a "KOLVA3" file
// leaves it as it is. P records never ask about existing stations, whatever
// ask says (the flag is kept for the command's calls).
int read_trav_file(trav_obs_list& observations, trav_obs_list& radiations, trav_route_list& routes,
                   trav_station_list& stations, bool ask);

// Rewrites the whole file in the settings' version ("KOLVA3" without regard to
// case: the older form; anything else: "KOLVA4"). The file is replaced only
// once the new text is complete on disk; on failure the alert "File error." is
// shown, the old file is left as it was and false is returned.
bool write_trav_file(const trav_obs_list& observations, const trav_obs_list& radiations,
                     const trav_station_list& stations);
bool write_trav_file_v3(const trav_obs_list& observations, const trav_obs_list& radiations,
                        const trav_station_list& stations);
bool write_trav_file_v4(const trav_obs_list& observations, const trav_obs_list& radiations,
                        const trav_station_list& stations);

// The whole file's text in either form.
std::string trav_file_text(const trav_obs_list& observations, const trav_obs_list& radiations,
                           const trav_station_list& stations, bool version3);

// One record in the settings' version, as the command appends it after an
// entry: a T, C or R observation, or a P record with an empty code. On
// failure: alert "File error." and false.
bool trav_append_obs(const trav_obs_rec& obs);
bool trav_append_point(const trav_point_rec& station);

// Whether the settings' version text is the older form.
bool trav_version_is_3();
