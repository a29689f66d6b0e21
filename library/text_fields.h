// Cutting texts into fields and the small text routines every command uses.
// Positions count from 0. The routines take and return std::string, so no text
// length limits a result; a text of any length is handled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Field n (from 1) of the source, fields separated by the one-character
// delimiter text. Fewer than n delimiters (or n below 1) gives the text after
// the last delimiter; no delimiter at all gives the whole source. A delimiter
// text that is not exactly one character never matches.
std::string str_get_field(std::string_view source, int n, std::string_view delimiter);

// Splits at every delimiter character: leading blanks and tabs of the text and
// after each delimiter are skipped; blanks before a delimiter stay in the field.
// A text of blanks only gives no field.
std::vector<std::string> str_split(std::string_view text, char delimiter);

// First index of the pattern; -1 when none, or the text or pattern is empty.
int str_find(std::string_view text, std::string_view pattern);
// First index above i where the pattern starts; -1 when none or when i + 1 is
// not below the text's length.
int str_find_from(int i, std::string_view text, std::string_view pattern);
// Highest index at which the pattern starts (index 0 included); -1 when none.
int str_rfind(std::string_view text, std::string_view pattern);
// 1 when the pattern occurs (case-sensitive), else 0.
int str_contains(std::string_view text, std::string_view pattern);
// Pointer to the first occurrence in the text; null when none.
const char* str_find_ptr(const char* text, const char* pattern);

// Characters from index n to the end; empty when n is not below the length.
std::string str_mid_from(std::string_view source, int n);
// The first n characters (all of them when n exceeds the length); empty below 1.
std::string str_left(std::string_view source, int n);
// Characters a to b - 1; empty when a is not below b.
std::string str_mid(std::string_view source, int a, int b);
// length characters from index n, cut at the end of the source.
std::string str_mid_len(std::string_view source, int n, int length);
// Without leading and trailing blanks (only the blank character counts).
std::string str_trim(std::string_view source);

void str_lower(std::string& text);
void str_upper(std::string& text);
// An upper-case copy of the text.
std::string str_upper_copy(std::string text);
void str_replace_char(std::string& text, char old_char, char new_char);
// Copies the source into out with every occurrence of the pattern replaced, left
// to right, without rescanning replaced text; returns the number replaced.
int str_replace_all(std::string_view source, std::string& out, std::string_view pattern,
                    std::string_view replacement);
// A copy with every "&quot" replaced by a double quote.
std::string str_unescape_quot(std::string_view text);
// Positions whose character equals the one-character text, without regard to case.
int str_count_char(std::string_view text, std::string_view one_char);
// n - 1 copies of the text; empty for n below 2.
std::string str_repeat(std::string_view text, int n);
// Padded with blanks to width + 1 characters; unchanged when already that long.
// Returns the length of out.
int str_pad_right(std::string_view source, int width, std::string& out);
// Right-aligned by leading blanks in a field of width characters; unchanged
// when longer.
std::string str_pad_left(std::string_view source, int width);
int str_length(std::string_view text);

// The Windows system folder and the Windows folder (windows_folders.cpp).
std::string system_folder_get();
std::string windows_folder_get();
