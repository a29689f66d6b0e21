#include "text_lines.h"

#include <cstdio>
#include <fstream>
#include <optional>
#include <vector>

#include "folders_registry.h"
#include "winplat.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

bool text_file_lines(const std::string& path,
                     const std::function<void(long number, std::string_view line)>& each)
{
    if (path.empty()) return false;
    // Through the host's file boundary, as every file of the product is read.
    char native[4096];
    std::ifstream in(win_native_path(path.c_str(), native, sizeof native), std::ios::binary);
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

bool text_file_replace(const std::string& path, const std::string& text, std::string* why)
{
    // The host's one replacing step: a scratch file of this write's own, which
    // takes the file's name only when written whole.
    char reason[512] = "";
    if (win_replace_file(path.c_str(), text.data(), text.size(), reason, sizeof reason)) return true;
    if (why) *why = reason;
    return false;
}

bool text_file_append(const std::string& path, const std::string& text, std::string* why)
{
    std::string whole;
    if (file_exists(path.c_str())) {
        std::optional<std::string> former = read_file_text(path);
        if (!former) {
            if (why) *why = "cannot read \"" + path + "\"";
            return false;
        }
        whole = std::move(*former);
        // A last line without its line end (edited by hand) gets one, so that
        // the text added starts on a line of its own.
        if (!whole.empty() && whole.back() != '\n') whole += '\n';
    }
    return text_file_replace(path, whole + text, why);
}

// The whole file as it is on disk, or nothing when it cannot be opened or a
// read fails.
std::optional<std::string> read_file_text(const std::string& path)
{
    std::FILE* file = win_fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return text;
}

// The lines of a file's text without their line ends ("\n" or "\r\n"); a
// last line without a line end counts.
std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}
