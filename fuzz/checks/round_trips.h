// Round-trip checks of the readers: each reads an input as the system reads
// such a file or text, writes what it read, reads that again and compares.
// A check gives "" when everything came back the same, else what differed.
// An input the reader refuses is no failure; a crash, a hang or a difference
// is. The fuzz targets run them on generated inputs and the tests on every
// input kept under fuzz/corpus and fuzz/regressions.
#pragma once

#include <string>
#include <string_view>

namespace fuzzcheck {

// A drawing file (DXF text): read, saved, read again and saved again gives the
// same text.
std::string dxf_round_trip(std::string_view input);
// A traverse file: read, written, read again and written again gives the same file.
std::string trav_file_round_trip(std::string_view input);
// A point file's lines, in each of the four column orders: a point read,
// written as a line of that order and read again is the same point.
std::string xyz_round_trip(std::string_view input);
// A dialog description file: the dialogs and prototypes read, written as DCL
// and read again are the same tiles.
std::string dcl_round_trip(std::string_view input);
// The commands' stored settings texts: read into each command's settings,
// written and read again gives the same settings text.
std::string settings_round_trip(std::string_view input);
// LISP data: read, printed, read and printed again gives the same text.
std::string lisp_round_trip(std::string_view input);

// Where the checks stand: a quiet host session (one is started when none runs)
// and a scratch file for the readers that read files.
void prepare();

}  // namespace fuzzcheck
