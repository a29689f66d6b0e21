#include "db/textmetrics.h"

#include <cctype>
#include <cmath>

#include "db/text_encoding.h"

namespace host {

namespace {

// Length in bytes of the control code that starts at i, and the glyphs it makes;
// 0 when no control code starts there.
int control_code_length(const std::string& text, size_t i, int* glyphs)
{
    // "\U+XXXX" and a character of several UTF-8 bytes are one glyph each.
    if (size_t escape = unicode_escape(text, i)) {
        *glyphs = 1;
        return int(escape);
    }
    if ((unsigned char)text[i] >= 0x80) {
        size_t length = utf8_sequence(text, i);
        *glyphs = 1;
        return length > 1 ? int(length) : 0;
    }
    if (text.compare(i, 2, "%%") != 0 || i + 2 >= text.size()) return 0;
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 2])));
    if (c == 'd' || c == 'c' || c == 'p' || c == '%') {
        *glyphs = 1;
        return 3;
    }
    if (c == 'o' || c == 'u') {
        *glyphs = 0;
        return 3;
    }
    if (i + 4 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 2])) &&
        std::isdigit(static_cast<unsigned char>(text[i + 3])) &&
        std::isdigit(static_cast<unsigned char>(text[i + 4]))) {
        *glyphs = 1;
        return 5;
    }
    return 0;
}

}  // namespace

int glyph_count(const std::string& text)
{
    int count = 0;
    for (size_t i = 0; i < text.size();) {
        int glyphs = 0;
        const int length = control_code_length(text, i, &glyphs);
        if (length > 0) {
            count += glyphs;
            i += length;
        } else {
            ++count;
            ++i;
        }
    }
    return count;
}

TextBox text_box(const std::string& text, double height, double width_factor)
{
    TextBox box;
    box.upper_right.x = kGlyphAdvance * glyph_count(text) * height * width_factor;
    box.upper_right.y = height;
    return box;
}

Point3 alignment_offset(const std::string& text, double height, double width_factor, int h_justify,
                        int v_justify)
{
    const TextBox box = text_box(text, height, width_factor);
    const double width = box.upper_right.x;
    Point3 offset;
    switch (h_justify) {
    case 1: offset.x = width / 2; break;
    case 2: offset.x = width; break;
    case 4:
        offset.x = width / 2;
        offset.y = height / 2;
        return offset;
    default: break;
    }
    switch (v_justify) {
    case 2: offset.y = height / 2; break;
    case 3: offset.y = height; break;
    default: break;
    }
    return offset;
}

Point3 insertion_from_alignment(const Point3& alignment, const std::string& text, double height,
                                double width_factor, double rotation, int h_justify, int v_justify)
{
    const Point3 offset = alignment_offset(text, height, width_factor, h_justify, v_justify);
    const double c = std::cos(rotation), s = std::sin(rotation);
    return {alignment.x - (offset.x * c - offset.y * s), alignment.y - (offset.x * s + offset.y * c),
            alignment.z};
}

std::string displayed_text(const std::string& text)
{
    std::string shown;
    for (size_t i = 0; i < text.size();) {
        int glyphs = 0;
        const int length = control_code_length(text, i, &glyphs);
        if (length == 0) {
            const unsigned char byte = static_cast<unsigned char>(text[i]);
            if (byte < 0x80) {
                shown += text[i];
            } else {  // a byte that is no UTF-8: shown as its Latin-1 character
                append_utf8(shown, byte);
            }
            ++i;
            continue;
        }
        char32_t code = 0;
        if (unicode_escape(text, i, &code) || (unsigned char)text[i] >= 0x80) {
            if (unicode_escape(text, i, &code))
                append_utf8(shown, code);
            else
                shown.append(text, i, size_t(length));  // a UTF-8 character as it is
            i += length;
            continue;
        }
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 2])));
        if (c == 'd') shown += "\xC2\xB0";
        else if (c == 'c') shown += "\xC3\x98";
        else if (c == 'p') shown += "\xC2\xB1";
        else if (c == '%') shown += "%";
        else if (length == 5) {
            const int code = std::stoi(text.substr(i + 2, 3));
            if (code < 0x80) shown += static_cast<char>(code);
            else if (code < 0x100) {
                shown += static_cast<char>(0xC0 | (code >> 6));
                shown += static_cast<char>(0x80 | (code & 0x3F));
            }
        }
        i += length;
    }
    return shown;
}

}  // namespace host
