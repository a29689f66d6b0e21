// Reading the lines of a text file that a user made (point lists, tables
// exported from a spreadsheet): a UTF-8 byte-order mark before the first line
// is no part of it, a line may end in CR LF or LF, and lines holding nothing
// but blanks and tabs are skipped. Every line keeps its number in the file, so
// that a line a command refuses can be reported by it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Calls each(number, line) for every line that is not blank, numbers counted
// from 1 over all lines of the file, the line without its line end. false when
// the file cannot be opened (each is then not called).
bool text_file_lines(const std::string& path,
                     const std::function<void(long number, std::string_view line)>& each);
