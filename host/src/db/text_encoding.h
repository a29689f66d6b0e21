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

// A code page of drawing files: single-byte, or double-byte (a lead byte and a
// trail byte) for the East Asian ones. Its characters come from the C
// library's converter of that code page, asked once per byte and pair when
// the page is first used.
class CodePage;
// The code page a $DWGCODEPAGE name stands for ("ANSI_1252", "dos850",
// "ANSI_932", ...), or nullptr when no converter here knows it.
const CodePage* find_code_page(std::string_view name);
const CodePage& default_code_page();  // ANSI_1252
// Stands for a code page that no converter knows: texts are taken byte for
// byte as the file has them and written back so.
const CodePage& as_read_code_page();
// The texts' code page of a file of the version and $DWGCODEPAGE: nullptr for
// UTF-8 (AC1021 and later, or a code page named UTF-8), ANSI_1252 when none
// is named, as_read_code_page() for a name no converter knows.
const CodePage* file_code_page(std::string_view version, std::string_view code_page);
// The code page's name as $DWGCODEPAGE gives it ("ANSI_1252").
const char* code_page_name(const CodePage& page);

// A text of a file into UTF-8: the code page's bytes as their characters (a
// text that is well-formed UTF-8 already, as some programs write whatever a
// single-byte code page, stays as it is; nullptr for a UTF-8 file), then the
// writer's "^" pairs (when carets is true) and "\U+XXXX" escapes as the
// characters they stand for.
std::string text_from_file(std::string_view bytes, const CodePage* page, bool carets = false);
// The same without decoding carets or escapes: what a file's bytes say, in UTF-8.
std::string code_page_text(std::string_view bytes, const CodePage* page);
// UTF-8 text for a file in the code page: its characters as their bytes, the
// rest as "\U+XXXX" (nullptr: a UTF-8 file, the text as it is).
std::string text_for_file(std::string_view utf8, const CodePage* page);

// "\U+XXXX" escapes (four hexadecimal digits) as the characters they stand for.
std::string unicode_escapes_decoded(std::string_view text);
// Length of the "\U+XXXX" escape at i (7), with its code point; 0 when none starts there.
size_t unicode_escape(std::string_view text, size_t i, char32_t* code = nullptr);
// The writer's "^" pairs back into the characters they stand for: "^@" to
// "^_" the control characters 0 to 31, "^ " a caret.
std::string caret_decoded(std::string_view text);

}  // namespace host
