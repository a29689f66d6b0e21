// Replacing a file's contents so that a reader of the file sees the old text
// or the new one, never a mix, whatever happens to the writer: the new text
// goes into a temporary file of its own in the same folder, which then takes
// the file's name in one step.
#pragma once

#include <functional>
#include <string>

namespace host {

// Writes text as the file's new contents, keeping the mode of the file it
// replaces. The temporary file has no name while it is written (where the
// system allows it; else a name of this process that no other save uses), so
// two saves never share it and a save that is killed leaves nothing behind;
// names left by killed saves of earlier processes are removed. False with the
// reason when the file cannot be written; it is then as it was.
bool replace_file_contents(const std::string& path, const std::string& text, std::string& error);

// The same with the contents written by write into the temporary file's
// descriptor as they are made; write returns false with the reason when it
// cannot write them, and the file then stays as it was.
bool replace_file_by(const std::string& path, const std::function<bool(int fd, std::string& why)>& write,
                     std::string& error);

// Removes the files of folder whose names are start followed by the number of
// a process that no longer runs: scratch files that writers killed mid-write
// left behind.
void remove_abandoned_files(const std::string& folder, const std::string& start);

}  // namespace host
