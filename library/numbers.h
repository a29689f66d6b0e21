// Numeric texts and reals: testing, parsing, rounding and formatting. Texts in
// "decimal mode" are the host's real-to-text conversion (acdbRToS, mode 2),
// which keeps trailing zeros.
#pragma once

#include <string>
#include <string_view>

// The value in the host's decimal mode with the given decimals.
std::string rtos_decimal(double value, int decimals);

// 4 for a numeric text, else 0 (callers test for 4): an empty text gives 0; one
// character gives 4 when it is a digit; a longer text gives 4 when every
// character after an optional leading "-" is a digit or ".".
int str_is_number(std::string_view text);
bool char_is_numeric(char c);
// Characters after the last "."; -1 when there is none.
int str_decimals(std::string_view text);
// Reads "-" (first only), at most one "." and digits; out holds the value read so
// far. 1 when the whole text was accepted (an empty text gives 1 and 0.0), 0 at
// the first other character.
int str_parse_real(std::string_view text, double& out);
// A field of a data file as a number: the whole text, without the blanks,
// tabs and line ends around it and with an optional leading "+", is a finite
// number (or, for the integer, a whole number in range). false for a name, an
// empty field or a number followed by anything else; out is then unchanged.
bool field_to_real(std::string_view text, double& out);
bool field_to_int(std::string_view text, int& out);

// Rounds to n decimals, halves away from zero.
double real_round(double value, int n);
// The one rule for sizes and decimals, which the dialogs, the prompts and the
// entity makers keep: a size (text height, width factor, plot or block scale,
// circle radius, stone size) is a finite number above 0; decimals lie in
// [low, high], 0 to 10 unless a command says otherwise.
bool size_valid(double value);
inline constexpr const char* size_refused = "The value must be more than 0.";
std::string decimals_refused(int low = 0, int high = 10);
float real_round_f(float value, int n);
// Formats in decimal mode with n decimals and reads the text back.
double real_round_by_text(double value, int n);
// "%.<precision>f"; a precision outside 0 to 10 is taken as the nearest of them.
std::string real_format(double value, int precision);
// "%.<precision>f" into out for a precision of 0 to 16; out untouched otherwise.
void real_format_into(double value, int precision, std::string& out);
// The value in decimal mode right-aligned in width characters.
std::string real_pad_left(double value, int decimals, int width);
std::string int_pad_left(int value, int width);
// The value in decimal mode as its integer part, one blank and its fraction.
std::string real_split_text(double value, int decimals);
// The value in decimal mode behind n - 1 blanks; when the separator is not "."
// (an empty separator counts as ".") the decimal point becomes a blank.
std::string real_to_text_pad(double value, int blank_count, std::string_view separator, int decimals);

// Fits a number text into a field of width characters with at most
// max_decimals decimals; false (and "0") when the integer part is too wide.
bool num_text_fit_width(std::string_view text, int width, int max_decimals, std::string& out);

// A number text as the number tools read it: leading blanks, sign, integer
// part, a separator (blank or "."), the fraction and a suffix that starts at the
// first of "-.ILil".
struct num_text_parts {
    int leading_blanks = 0;
    char separator = '\0';  // '\0' when the text has none
    std::string suffix;
    int decimals = 0;
    double number = 0;
};
// 0, or -1 when the text holds a character other than "0123456789. -ILil".
int num_text_scan(std::string_view text, num_text_parts& parts);
double num_text_parse(std::string_view text);

// number = the digits of the code after its first character, read as a real;
// letters = the code's letters (A to Z, a to z) in order. Returns 1.
int str_split_number_letters(std::string_view code, double& number, std::string& letters);

// The first round chainage a step reaches from value. With t the whole number
// at or below step + value (step taken as a whole number s, and a value within
// a hair of a whole number taken as it) and d the last digit of t (0 to 9,
// for negative values too): with s below 1, t raised to the next multiple of
// ten, difference value - rounded; otherwise t - d, plus s when d exceeds s,
// difference rounded - value. Returns 1.
int real_round_to_ten(double value, double step, double& rounded, double& difference);

double secant(double x);
int int_mod(int a, int b);
int int_is_even(int value);
float real_modf_f(float value, float& integer_part);
float real_pow_f(float base, float exponent);
