#include "numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ads.h"
#include "text_fields.h"

std::string rtos_decimal(double value, int decimals)
{
    char buffer[512] = {0};
    if (acdbRToS(value, 2, std::clamp(decimals, 0, 16), buffer) != RTNORM) return {};
    return buffer;
}

static bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

int str_is_number(std::string_view text)
{
    if (text.empty()) return 0;
    if (text.size() == 1) return is_digit(text[0]) ? 4 : 0;
    size_t i = text[0] == '-' ? 1 : 0;
    for (; i < text.size(); ++i)
        if (!is_digit(text[i]) && text[i] != '.') return 0;
    return 4;
}

bool char_is_numeric(char c)
{
    return c == '.' || is_digit(c);
}

int str_decimals(std::string_view text)
{
    int point = str_rfind(text, ".");
    if (point < 0) return -1;
    return static_cast<int>(text.size()) - point - 1;
}

namespace {

std::string_view field_core(std::string_view text)
{
    const char* around = " \t\r\n";
    const size_t first = text.find_first_not_of(around);
    if (first == std::string_view::npos) return {};
    text = text.substr(first, text.find_last_not_of(around) - first + 1);
    if (text.size() > 1 && text.front() == '+') text.remove_prefix(1);
    return text;
}

template <typename Number>
bool field_to(std::string_view text, Number& out)
{
    text = field_core(text);
    if (text.empty()) return false;
    Number value{};
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || at != end) return false;
    if constexpr (std::is_floating_point_v<Number>)
        if (!std::isfinite(value)) return false;
    out = value;
    return true;
}

}  // namespace

bool field_to_real(std::string_view text, double& out)
{
    return field_to<double>(text, out);
}

bool field_to_int(std::string_view text, int& out)
{
    return field_to<int>(text, out);
}

int str_parse_real(std::string_view text, double& out)
{
    std::string accepted;
    bool seen_point = false;
    out = 0.0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = is_digit(c) || (c == '-' && i == 0) || (c == '.' && !seen_point);
        if (!ok) return 0;
        if (c == '.') seen_point = true;
        accepted.push_back(c);
        out = std::atof(accepted.c_str());
    }
    return 1;
}

double real_round(double value, int n)
{
    const double scaled = value * std::pow(10.0, n + 1) + (value < 0 ? -5.0 : 5.0);
    return std::trunc(scaled / 10.0) / std::pow(10.0, n);
}

float real_round_f(float value, int n)
{
    const float scaled = value * std::pow(10.0f, static_cast<float>(n + 1)) + (value < 0 ? -5.0f : 5.0f);
    return std::trunc(scaled / 10.0f) / std::pow(10.0f, static_cast<float>(n));
}

double real_round_by_text(double value, int n)
{
    return std::atof(rtos_decimal(value, n).c_str());
}

static std::string printf_fixed(double value, int precision)
{
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
    return buffer;
}

std::string real_format(double value, int precision)
{
    return printf_fixed(value, std::clamp(precision, 0, 10));
}

void real_format_into(double value, int precision, std::string& out)
{
    if (precision < 0 || precision > 16) return;
    out = printf_fixed(value, precision);
}

std::string real_pad_left(double value, int decimals, int width)
{
    return str_pad_left(rtos_decimal(value, decimals), width);
}

std::string int_pad_left(int value, int width)
{
    return str_pad_left(std::to_string(value), width);
}

std::string real_split_text(double value, int decimals)
{
    const std::string text = rtos_decimal(value, decimals);
    const size_t point = text.find('.');
    if (point == std::string::npos) return text + " ";
    return text.substr(0, point) + " " + text.substr(point + 1);
}

std::string real_to_text_pad(double value, int blank_count, std::string_view separator, int decimals)
{
    std::string number = rtos_decimal(value, decimals);
    if (!separator.empty() && separator != ".") str_replace_char(number, '.', ' ');
    return str_repeat(" ", blank_count) + number;
}

bool num_text_fit_width(std::string_view text, int width, int max_decimals, std::string& out)
{
    const int point = str_rfind(text, ".");
    const std::string integer_part(point < 0 ? text : text.substr(0, static_cast<size_t>(point)));
    const int integer_width = static_cast<int>(integer_part.size());
    if (integer_width > width) {
        out = "0";
        return false;
    }
    if (integer_width == width) {
        out = integer_part;
        return true;
    }
    const bool ends_with_point = point >= 0 && static_cast<size_t>(point) + 1 == text.size();
    if (ends_with_point) {
        out = integer_part;
        return true;
    }
    const int decimals = std::max(0, std::min(width - integer_width - 1, max_decimals));
    out = rtos_decimal(std::atof(std::string(text).c_str()), decimals);
    return true;
}

int num_text_scan(std::string_view text, num_text_parts& parts)
{
    parts = num_text_parts{};
    for (char c : text)
        if (std::string_view("0123456789. -ILil").find(c) == std::string_view::npos) return -1;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    parts.leading_blanks = static_cast<int>(i);
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    const std::string_view rest = text.substr(i);
    constexpr std::string_view suffix_start = "-.ILil";
    // The integer part runs to the separator; without one it ends where the
    // suffix starts, so "12L" reads as 12 with the suffix "L".
    const size_t separator_at = rest.find_first_of(" .");
    std::string integer_part, fraction;
    if (separator_at == std::string_view::npos) {
        const size_t end = rest.find_first_of("-ILil");
        integer_part = std::string(rest.substr(0, end));
        if (end != std::string_view::npos) parts.suffix = std::string(rest.substr(end));
    } else {
        parts.separator = rest[separator_at];
        integer_part = std::string(rest.substr(0, separator_at));
        const std::string_view after = rest.substr(separator_at + 1);
        const size_t end = after.find_first_of(suffix_start);
        fraction = std::string(after.substr(0, end));
        if (end != std::string_view::npos) parts.suffix = std::string(after.substr(end));
    }
    std::string number = negative ? "-" : "";
    number += integer_part;
    if (!integer_part.empty()) number += "." + fraction;
    parts.decimals = static_cast<int>(std::count_if(fraction.begin(), fraction.end(), is_digit));
    parts.number = std::atof(number.c_str());
    return 0;
}

double num_text_parse(std::string_view text)
{
    num_text_parts parts;
    num_text_scan(text, parts);
    return parts.number;
}

int str_split_number_letters(std::string_view code, double& number, std::string& letters)
{
    std::string digits;
    letters.clear();
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (i > 0 && is_digit(c)) digits.push_back(c);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) letters.push_back(c);
    }
    number = std::atof(digits.c_str());
    return 1;
}

int real_round_to_ten(double value, double step, double& rounded, double& difference)
{
    // Whole numbers are taken down (towards minus infinity, so that negative
    // values, as chainages counted backwards are, round like positive ones),
    // after the last bits of a sum such as 399.99999999999994 are rounded off:
    // a chainage shown as 400.000 is 400 here too.
    auto whole = [](double x) {
        const double nearest = std::round(x);
        return static_cast<long>(
            std::fabs(x - nearest) <= 1e-9 * std::max(1.0, std::fabs(x)) ? nearest : std::floor(x));
    };
    const long s = whole(step);
    long t = whole(static_cast<double>(s) + value);
    const long d = ((t % 10) + 10) % 10;
    if (s < 1) {
        if (d > 0) t += 10 - d;
        rounded = static_cast<double>(t);
        difference = value - rounded;
    } else {
        long r = t - d;
        if (d > s) r += s;
        rounded = static_cast<double>(r);
        difference = rounded - value;
    }
    return 1;
}

double secant(double x)
{
    return 1.0 / std::cos(x);
}
int int_mod(int a, int b)
{
    return b == 0 ? 0 : a % b;
}
int int_is_even(int value)
{
    return value % 2 == 0 ? 1 : 0;
}
float real_modf_f(float value, float& integer_part)
{
    return std::modf(value, &integer_part);
}
float real_pow_f(float base, float exponent)
{
    return std::pow(base, exponent);
}

bool size_valid(double value)
{
    return std::isfinite(value) && value > 0;
}

std::string decimals_refused(int low, int high)
{
    return "The decimals must be " + std::to_string(low) + " to " + std::to_string(high) + ".";
}
