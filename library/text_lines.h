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

// Writes the text as the whole file: to a scratch file of its own beside it
// first, which replaces the file in one step only when it was written whole,
// so that a failed write (a full disk) leaves the file as it was. false when
// the text could not be written, with the reason in why when it is given.
bool text_file_replace(const std::string& path, const std::string& text, std::string* why = nullptr);
// Adds the text at the end of the file (made when missing) by writing the
// former text and the new one through the same replacing step: a failed
// append leaves the file as it was, never with part of the text. A former
// last line without its line end gets one first.
bool text_file_append(const std::string& path, const std::string& text, std::string* why = nullptr);

// The whole file as it is on disk (through the host's file boundary), or
// nothing when it cannot be opened or a read fails.
std::optional<std::string> read_file_text(const std::string& path);
// The lines of a file's text without their line ends ("\n" or "\r\n"), empty
// lines included; a last line without a line end counts.
std::vector<std::string> split_lines(const std::string& text);
