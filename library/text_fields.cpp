#include "text_fields.h"

#include <cctype>
#include <cstring>

std::string str_get_field(std::string_view source, int n, std::string_view delimiter)
{
    if (delimiter.size() != 1) return std::string(source);
    const char d = delimiter[0];
    size_t field_start = 0;
    int delimiters_seen = 0;
    for (size_t i = 0; i < source.size(); ++i) {
        if (source[i] != d) continue;
        ++delimiters_seen;
        if (delimiters_seen == n) return std::string(source.substr(field_start, i - field_start));
        field_start = i + 1;
    }
    // Fewer than n delimiters: the text after the last one (or all of it).
    return std::string(source.substr(field_start));
}

static bool is_blank_or_tab(char c)
{
    return c == ' ' || c == '\t';
}

std::vector<std::string> str_split(std::string_view text, char delimiter)
{
    std::vector<std::string> fields;
    size_t i = 0;
    while (i < text.size() && is_blank_or_tab(text[i])) ++i;
    if (i == text.size()) return fields;
    size_t start = i;
    for (; i < text.size(); ++i) {
        if (text[i] != delimiter) continue;
        fields.emplace_back(text.substr(start, i - start));
        size_t next = i + 1;
        while (next < text.size() && is_blank_or_tab(text[next])) ++next;
        start = next;
        i = next - 1;
    }
    fields.emplace_back(text.substr(start));
    return fields;
}

int str_find(std::string_view text, std::string_view pattern)
{
    if (text.empty() || pattern.empty()) return -1;
    size_t at = text.find(pattern);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int str_find_from(int i, std::string_view text, std::string_view pattern)
{
    if (pattern.empty() || i < -1) return -1;
    const size_t from = static_cast<size_t>(i) + 1;  // i = -1 searches from the start
    if (from >= text.size()) return -1;
    size_t at = text.find(pattern, from);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int str_rfind(std::string_view text, std::string_view pattern)
{
    if (text.empty() || pattern.empty()) return -1;
    size_t at = text.rfind(pattern);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int str_contains(std::string_view text, std::string_view pattern)
{
    if (pattern.size() > text.size()) return 0;
    return text.find(pattern) != std::string_view::npos ? 1 : 0;
}

const char* str_find_ptr(const char* text, const char* pattern)
{
    if (text == nullptr || pattern == nullptr || std::strlen(pattern) > std::strlen(text)) return nullptr;
    return std::strstr(text, pattern);
}

std::string str_mid_from(std::string_view source, int n)
{
    if (n < 0) n = 0;
    if (static_cast<size_t>(n) >= source.size()) return {};
    return std::string(source.substr(static_cast<size_t>(n)));
}

std::string str_left(std::string_view source, int n)
{
    if (n < 1) return {};
    return std::string(source.substr(0, static_cast<size_t>(n)));
}

std::string str_mid(std::string_view source, int a, int b)
{
    if (a >= b) return {};
    if (a < 0) a = 0;
    if (static_cast<size_t>(a) >= source.size()) return {};
    return std::string(source.substr(static_cast<size_t>(a), static_cast<size_t>(b - a)));
}

std::string str_mid_len(std::string_view source, int n, int length)
{
    if (n < 0 || length < 1 || static_cast<size_t>(n) >= source.size()) return {};
    return std::string(source.substr(static_cast<size_t>(n), static_cast<size_t>(length)));
}

std::string str_trim(std::string_view source)
{
    size_t first = source.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    size_t last = source.find_last_not_of(' ');
    return std::string(source.substr(first, last - first + 1));
}

void str_lower(std::string& text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

void str_upper(std::string& text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string str_upper_copy(std::string text)
{
    str_upper(text);
    return text;
}

void str_replace_char(std::string& text, char old_char, char new_char)
{
    for (char& c : text)
        if (c == old_char) c = new_char;
}

int str_replace_all(std::string_view source, std::string& out, std::string_view pattern,
                    std::string_view replacement)
{
    out.clear();
    if (pattern.empty()) {
        out.assign(source);
        return 0;
    }
    int count = 0;
    size_t from = 0;
    for (size_t at = source.find(pattern); at != std::string_view::npos; at = source.find(pattern, from)) {
        out.append(source.substr(from, at - from));
        out.append(replacement);
        from = at + pattern.size();
        ++count;
    }
    out.append(source.substr(from));
    return count;
}

std::string str_unescape_quot(std::string_view text)
{
    std::string out;
    str_replace_all(text, out, "&quot", "\"");
    return out;
}

int str_count_char(std::string_view text, std::string_view one_char)
{
    if (text.empty() || one_char.empty()) return 0;
    const int wanted = std::tolower(static_cast<unsigned char>(one_char[0]));
    int count = 0;
    for (char c : text)
        if (std::tolower(static_cast<unsigned char>(c)) == wanted) ++count;
    return count;
}

std::string str_repeat(std::string_view text, int n)
{
    std::string out;
    for (int i = 1; i < n; ++i) out.append(text);
    return out;
}

int str_pad_right(std::string_view source, int width, std::string& out)
{
    out.assign(source);
    if (width >= 0 && out.size() < static_cast<size_t>(width) + 1)
        out.resize(static_cast<size_t>(width) + 1, ' ');
    return static_cast<int>(out.size());
}

std::string str_pad_left(std::string_view source, int width)
{
    std::string out(source);
    if (width > 0 && out.size() < static_cast<size_t>(width))
        out.insert(0, static_cast<size_t>(width) - out.size(), ' ');
    return out;
}

int str_length(std::string_view text)
{
    return static_cast<int>(text.size());
}
