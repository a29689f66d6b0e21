// What the round-trip checks share: the scratch file and the first difference
// of two texts.
#pragma once

#include <string>
#include <string_view>

namespace fuzzcheck {

// A file of this process for readers that read a file; its path.
const std::string& scratch_file();
// Writes the text as the scratch file.
void write_scratch(std::string_view text);
// "" when the texts are equal, else where they first differ, with both sides.
std::string difference(const std::string& what, const std::string& first, const std::string& second);

}  // namespace fuzzcheck
