// Text encodings. The drawing keeps every text in UTF-8; drawing files of
// AC1021 and later are UTF-8 too, older ones are in the code page their
// $DWGCODEPAGE names, with "\U+XXXX" for characters the code page lacks.
#pragma once

#include <string>
#include <string_view>

namespace host {

// Appends the UTF-8 bytes of a code point.
void append_utf8(std::string& out, char32_t code);
// Length of the UTF-8 sequence that starts at i, and its code point; 0 when
// the bytes there are no well-formed UTF-8.
size_t utf8_sequence(std::string_view text, size_t i, char32_t* code = nullptr);
// True when every byte is below 0x80.
bool is_ascii(std::string_view text);

// A single-byte code page: the characters of bytes 0x80 to 0xFF.
struct CodePage {
    const char* name;
    char16_t high[128];
};
// The code page a file names ("ANSI_1252", "dos850", ...), or nullptr when it
// is not one of them.
const CodePage* find_code_page(std::string_view name);
const CodePage& default_code_page();  // ANSI_1252

// A text of a file into UTF-8: the code page's bytes as their characters (a
// text that is well-formed UTF-8 already, as some programs write whatever the
// code page, stays as it is; nullptr for a UTF-8 file), and "\U+XXXX" escapes
// as the characters they stand for.
std::string text_from_file(std::string_view bytes, const CodePage* page);
// The same without decoding the escapes: what a file's bytes say, in UTF-8.
std::string code_page_text(std::string_view bytes, const CodePage* page);
// UTF-8 text for a file in the code page: its characters as their bytes, the
// rest as "\U+XXXX" (nullptr: a UTF-8 file, the text as it is).
std::string text_for_file(std::string_view utf8, const CodePage* page);

// "\U+XXXX" escapes (four hexadecimal digits) as the characters they stand for.
std::string unicode_escapes_decoded(std::string_view text);
// Length of the "\U+XXXX" escape at i (7), with its code point; 0 when none starts there.
size_t unicode_escape(std::string_view text, size_t i, char32_t* code = nullptr);

}  // namespace host
