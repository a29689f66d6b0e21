// The installed symbol list "Symboldata.bin" of the installation folder's
// "data" folder: an 8-byte header of two 32-bit little-endian words (the
// record size, 1668, and the number of records), then the records of 1668
// bytes. A record holds null-terminated texts in fields of fixed size and
// 32-bit integers; the symbol's name is the text of 10 bytes at offset 560 and
// its description the text of 255 bytes at offset 570 (install/exe_file/
// symbol_list.py lists every field).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr size_t symbol_record_size = 1668;
inline constexpr size_t symbol_list_header_size = 8;

// Reads the records in file order. 1 when read; 0 when the file cannot be
// opened; -1 when it is no list of this layout (shorter than its header, or
// a size that is not the header's count of records), with why in problem.
int symbol_list_read(const std::string& path, std::vector<std::string>& records, std::string& problem);
// The null-terminated text of the field, trimmed of blanks at both ends.
std::string symbol_record_text(const std::string& record, size_t offset, size_t size);
std::int32_t symbol_record_int(const std::string& record, size_t offset);

// The installation folder + "\data\Symboldata.bin".
std::string symboldata_path();

// Writes every record of the list at path to the text file
// "C:\Program Files\OrvikSurvey\Data\Symboldata.txt": "DATADATADATADATA", then
// one line per field. 1, or 0 after a message.
int symbol_data_dump(const std::string& path);
