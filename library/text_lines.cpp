#include "text_lines.h"

#include <fstream>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

bool text_file_lines(const std::string& path,
                     const std::function<void(long number, std::string_view line)>& each)
{
    if (path.empty()) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string buffer;
    for (long number = 1; std::getline(in, buffer); ++number) {
        std::string_view line = buffer;
        if (number == 1 && line.substr(0, kUtf8Bom.size()) == kUtf8Bom) line.remove_prefix(kUtf8Bom.size());
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        each(number, line);
    }
    return true;
}
