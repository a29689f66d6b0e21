// Reading the lines of a text file that a user made (point lists, tables
// exported from a spreadsheet): a UTF-8 byte-order mark before the first line
// is no part of it, a line may end in CR LF or LF, and lines holding nothing
// but blanks and tabs are skipped. Every line keeps its number in the file, so
// that a line a command refuses can be reported by it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Calls each(number, line) for every line that is not blank, numbers counted
// from 1 over all lines of the file, the line without its line end. false when
// the file cannot be opened (each is then not called).
bool text_file_lines(const std::string& path,
                     const std::function<void(long number, std::string_view line)>& each);

// Writes the text as the whole file: to a scratch file beside it first, which
// replaces the file only when it was written whole, so that a failed write
// leaves the file as it was. false when the text could not be written.
bool text_file_replace(const std::string& path, const std::string& text);

// The whole file as it is on disk (through the host's file boundary), or
// nothing when it cannot be opened or a read fails.
std::optional<std::string> read_file_text(const std::string& path);
// The lines of a file's text without their line ends ("\n" or "\r\n"), empty
// lines included; a last line without a line end counts.
std::vector<std::string> split_lines(const std::string& text);
