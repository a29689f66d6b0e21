#include "db/text_encoding.h"

#include <iconv.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace host {

namespace {

// A $DWGCODEPAGE name and the C library's converter for it.
struct PageName {
    const char* name;
    const char* converter;
};

const PageName kPageNames[] = {
    {"ANSI_1252", "CP1252"},
    {"ANSI_874", "CP874"},
    {"ANSI_932", "CP932"},
    {"ANSI_936", "GBK"},
    {"ANSI_949", "CP949"},
    {"ANSI_950", "CP950"},
    {"ANSI_1250", "CP1250"},
    {"ANSI_1251", "CP1251"},
    {"ANSI_1253", "CP1253"},
    {"ANSI_1254", "CP1254"},
    {"ANSI_1255", "CP1255"},
    {"ANSI_1256", "CP1256"},
    {"ANSI_1257", "CP1257"},
    {"ANSI_1258", "CP1258"},
    {"ANSI_1361", "JOHAB"},
    {"DOS437", "IBM437"},
    {"DOS737", "CP737"},
    {"DOS775", "CP775"},
    {"DOS850", "IBM850"},
    {"DOS852", "IBM852"},
    {"DOS855", "IBM855"},
    {"DOS857", "IBM857"},
    {"DOS860", "IBM860"},
    {"DOS861", "IBM861"},
    {"DOS862", "IBM862"},
    {"DOS863", "IBM863"},
    {"DOS864", "IBM864"},
    {"DOS865", "IBM865"},
    {"DOS866", "IBM866"},
    {"DOS869", "IBM869"},
    {"DOS932", "CP932"},
    {"MACINTOSH", "MACINTOSH"},
    {"BIG5", "BIG5"},
    {"GB2312", "GBK"},
    {"KSC5601", "CP949"},
    {"JOHAB", "JOHAB"},
    {"ASCII", "ASCII"},
    {"ISO8859-1", "ISO-8859-1"},
    {"ISO8859-2", "ISO-8859-2"},
    {"ISO8859-3", "ISO-8859-3"},
    {"ISO8859-4", "ISO-8859-4"},
    {"ISO8859-5", "ISO-8859-5"},
    {"ISO8859-6", "ISO-8859-6"},
    {"ISO8859-7", "ISO-8859-7"},
    {"ISO8859-8", "ISO-8859-8"},
    {"ISO8859-9", "ISO-8859-9"},
    {"ISO8859-10", "ISO-8859-10"},
    {"ISO8859-11", "ISO-8859-11"},
    {"ISO8859-13", "ISO-8859-13"},
    {"ISO8859-14", "ISO-8859-14"},
    {"ISO8859-15", "ISO-8859-15"},
    {"ISO8859-16", "ISO-8859-16"},
    {"ANSI_28591", "ISO-8859-1"},
    {"ANSI_28592", "ISO-8859-2"},
    {"ANSI_28595", "ISO-8859-5"},
    {"ANSI_28597", "ISO-8859-7"},
    {"ANSI_28599", "ISO-8859-9"},
    {"ANSI_28605", "ISO-8859-15"},
};

// What one to two bytes say in the converter's code page.
enum class Bytes { Character, Incomplete, Undefined };

Bytes convert_bytes(iconv_t cd, const unsigned char* bytes, size_t count, char32_t& code)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in_buffer[2] = {char(bytes[0]), count > 1 ? char(bytes[1]) : '\0'};
    char32_t out_buffer[4] = {};
    char* in = in_buffer;
    char* out = reinterpret_cast<char*>(out_buffer);
    size_t in_left = count, out_left = sizeof out_buffer;
    if (iconv(cd, &in, &in_left, &out, &out_left) == size_t(-1))
        return errno == EINVAL ? Bytes::Incomplete : Bytes::Undefined;
    // Some converters hold a character back until they know what follows it.
    if (iconv(cd, nullptr, nullptr, &out, &out_left) == size_t(-1)) return Bytes::Undefined;
    if (in_left != 0 || sizeof out_buffer - out_left != sizeof(char32_t)) return Bytes::Undefined;
    code = out_buffer[0];
    return Bytes::Character;
}

}  // namespace

class CodePage {
public:
    CodePage(const char* name, const char* converter) : name_(name), converter_(converter) {}
    CodePage(const CodePage&) = delete;

    const char* name() const { return name_; }
    bool as_read() const { return converter_ == nullptr; }
    bool usable() const
    {
        build();
        return usable_;
    }

    // The characters of the bytes; a byte the code page leaves undefined
    // stands for the character of its own number, so that it is written back
    // as it was.
    std::string decoded(std::string_view bytes) const
    {
        build();
        std::string out;
        out.reserve(bytes.size() + bytes.size() / 2);
        for (size_t i = 0; i < bytes.size(); ++i) {
            const unsigned char byte = (unsigned char)bytes[i];
            if (byte < 0x80) {
                out += char(byte);
                continue;
            }
            if (lead_[byte] && i + 1 < bytes.size()) {
                const char32_t code = pairs_[lead_[byte] - 1][(unsigned char)bytes[i + 1]];
                if (code) {
                    append_utf8(out, code);
                    ++i;
                    continue;
                }
            }
            append_utf8(out, single_[byte]);
        }
        return out;
    }

    // The bytes of a character; 0 bytes when the code page lacks it.
    size_t encoded(char32_t code, unsigned char bytes[2]) const
    {
        build();
        auto found = bytes_of_.find(code);
        if (found == bytes_of_.end()) return 0;
        if (found->second > 0xFF) {
            bytes[0] = (unsigned char)(found->second >> 8);
            bytes[1] = (unsigned char)(found->second & 0xFF);
            return 2;
        }
        bytes[0] = (unsigned char)found->second;
        return 1;
    }
    // The character of a byte alone (a lone lead byte's is that of its number).
    char32_t alone(unsigned char byte) const
    {
        build();
        return single_[byte];
    }
    bool double_byte() const
    {
        build();
        return !pairs_.empty();
    }

private:
    const char* name_;
    const char* converter_;  // nullptr: the texts are taken as the file has them
    mutable std::once_flag built_;
    mutable bool usable_ = false;
    mutable char32_t single_[256] = {};
    mutable unsigned char lead_[256] = {};  // 1 + the index of a lead byte's characters in pairs_; 0 for none
    mutable std::vector<std::array<char32_t, 256>> pairs_;
    mutable std::unordered_map<char32_t, unsigned> bytes_of_;  // a character's byte, or lead and trail

    void build() const
    {
        std::call_once(built_, [this] { build_tables(); });
    }

    void build_tables() const
    {
        for (unsigned b = 0; b < 256; ++b) single_[b] = b;
        if (!converter_) return;
        iconv_t cd = iconv_open("UTF-32LE", converter_);
        if (cd == iconv_t(-1)) return;
        usable_ = true;
        std::vector<unsigned> undefined;
        for (unsigned b = 0x80; b < 0x100; ++b) {
            const unsigned char byte = (unsigned char)b;
            char32_t code = 0;
            switch (convert_bytes(cd, &byte, 1, code)) {
                case Bytes::Character:
                    single_[b] = code;
                    bytes_of_.emplace(code, b);
                    break;
                case Bytes::Incomplete:
                    pairs_.emplace_back().fill(0);
                    lead_[b] = (unsigned char)pairs_.size();
                    break;
                case Bytes::Undefined:
                    undefined.push_back(b);
                    break;
            }
        }
        for (unsigned b = 0x80; b < 0x100; ++b) {
            if (!lead_[b]) continue;
            for (unsigned t = 0x01; t < 0x100; ++t) {
                const unsigned char pair[2] = {(unsigned char)b, (unsigned char)t};
                char32_t code = 0;
                if (t == '\n' || t == '\r' || convert_bytes(cd, pair, 2, code) != Bytes::Character ||
                    code < 0x80)
                    continue;
                pairs_[lead_[b] - 1][t] = code;
                bytes_of_.emplace(code, (b << 8) | t);
            }
        }
        iconv_close(cd);
        // An undefined byte is written back as it was unless a character of
        // the code page has its number; a lone lead byte never is, as it
        // could join what follows it into a pair: the character of its number
        // is written as the code page has it, or else as its escape.
        for (unsigned b : undefined) bytes_of_.emplace(char32_t(b), b);
    }
};

namespace {

std::deque<CodePage>& code_pages()
{
    static std::deque<CodePage> pages = [] {
        std::deque<CodePage> made;
        for (const PageName& page : kPageNames) made.emplace_back(page.name, page.converter);
        return made;
    }();
    return pages;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool same_name(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper((unsigned char)a[i]) != std::toupper((unsigned char)b[i])) return false;
    return true;
}

}  // namespace

void append_utf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

size_t utf8_sequence(std::string_view text, size_t i, char32_t* code)
{
    const unsigned char lead = (unsigned char)text[i];
    size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        length = 1;
        value = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char next = (unsigned char)text[i + k];
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point are no UTF-8.
    if ((length == 3 && value < 0x800) || (length == 4 && (value < 0x10000 || value > 0x10FFFF)) ||
        (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    if (code) *code = value;
    return length;
}

bool is_ascii(std::string_view text)
{
    for (char c : text)
        if ((unsigned char)c >= 0x80) return false;
    return true;
}

const CodePage* find_code_page(std::string_view name)
{
    for (CodePage& page : code_pages())
        if (same_name(page.name(), name)) return page.usable() ? &page : nullptr;
    return nullptr;
}

const CodePage& default_code_page()
{
    return code_pages().front();
}

const CodePage& as_read_code_page()
{
    static const CodePage page("", nullptr);
    return page;
}

const CodePage* file_code_page(std::string_view version, std::string_view code_page)
{
    if (version.size() == 6 && version.substr(0, 2) == "AC" && version >= "AC1021") return nullptr;
    if (code_page.empty()) return &default_code_page();
    if (same_name(code_page, "UTF8") || same_name(code_page, "UTF-8") || same_name(code_page, "ANSI_65001"))
        return nullptr;
    if (const CodePage* page = find_code_page(code_page)) return page;
    return &as_read_code_page();
}

const char* code_page_name(const CodePage& page)
{
    return page.name();
}

size_t unicode_escape(std::string_view text, size_t i, char32_t* code)
{
    if (i + 7 > text.size() || text[i] != '\\' || (text[i + 1] != 'U' && text[i + 1] != 'u') ||
        text[i + 2] != '+')
        return 0;
    char32_t value = 0;
    for (size_t k = 3; k < 7; ++k) {
        const int digit = hex_digit(text[i + k]);
        if (digit < 0) return 0;
        value = value * 16 + char32_t(digit);
    }
    if (code) *code = value;
    return 7;
}

std::string unicode_escapes_decoded(std::string_view text)
{
    if (text.find('\\') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t code = 0;
        if (size_t length = unicode_escape(text, i, &code); length && !(code >= 0xD800 && code <= 0xDFFF)) {
            append_utf8(out, code);
            i += length;
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string caret_decoded(std::string_view text)
{
    if (text.find('^') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '^' && next == ' ') {
            out += '^';
            ++i;
        } else if (text[i] == '^' && next >= '@' && next <= '_') {
            out += char(next - 64);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string code_page_text(std::string_view bytes, const CodePage* page)
{
    if (!page || page->as_read() || is_ascii(bytes)) return std::string(bytes);
    // Some programs write UTF-8 whatever a single-byte code page says; in a
    // double-byte one, pairs often look like UTF-8 by chance.
    if (!page->double_byte()) {
        bool utf8 = true;
        for (size_t i = 0; i < bytes.size() && utf8;) {
            const size_t length = utf8_sequence(bytes, i);
            utf8 = length > 0;
            i += length;
        }
        if (utf8) return std::string(bytes);
    }
    return page->decoded(bytes);
}

std::string text_from_file(std::string_view bytes, const CodePage* page, bool carets)
{
    bool plain = true;
    for (char c : bytes)
        if ((unsigned char)c >= 0x80 || c == '\\' || (carets && c == '^')) plain = false;
    if (plain) return std::string(bytes);
    // The code page first: a trail byte of a pair may be a caret or a backslash.
    std::string text = code_page_text(bytes, page);
    if (carets) text = caret_decoded(text);
    if (page && page->as_read()) return text;
    return unicode_escapes_decoded(text);
}

namespace {

// The "\U+XXXX" form of a character of the 16-bit range.
void append_escape(std::string& out, char32_t code)
{
    char escape[16];
    std::snprintf(escape, sizeof escape, "\\U+%04X", unsigned(code));
    out += escape;
}

}  // namespace

std::string text_for_file(std::string_view utf8, const CodePage* page)
{
    if (!page || page->as_read() || is_ascii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        size_t length = utf8_sequence(utf8, i, &code);
        if (length == 0) {
            // A byte that is no UTF-8 is written as the character the code
            // page reads it as alone, so that the next open reads the same.
            code = page->alone((unsigned char)utf8[i++]);
        } else {
            i += length;
        }
        if (code < 0x80) {
            out += char(code);
            continue;
        }
        unsigned char bytes[2];
        if (size_t count = page->encoded(code, bytes)) {
            out.append(reinterpret_cast<const char*>(bytes), count);
        } else {
            append_escape(out, code > 0xFFFF ? 0xFFFD : code);
        }
    }
    return out;
}

}  // namespace host
