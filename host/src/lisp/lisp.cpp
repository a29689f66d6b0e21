// A small LISP for the command line: a reader for what a user types (strings with
// escapes, integers, reals, symbols, quoted and nested lists), an evaluator with
// the few builtins a script needs, calls of the functions plug-ins define in the
// current drawing, and the printer that shows values as LISP shows them.
#include "lisp/lisp.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>

#include "commands/commands.h"
#include "session/input.h"
#include "db/host_numbers.h"
#include "session/plugins.h"
#include "db/sysvars.h"

namespace host {

namespace {

// An expression as read: a value, a symbol or a list of expressions.
struct Expr {
    enum Kind { Atom, Sym, List } kind = Atom;
    LispValue value;          // Atom
    std::string name;         // Sym, lower case
    std::vector<Expr> items;  // List
    bool dotted = false;      // List: "(a . b)", the last item is the cdr
};

// An error reported as "; error: <text>".
struct LispError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class ReadStatus { Complete, Incomplete, ExtraParen, Malformed, TooDeep };

std::string too_deep_text()
{
    return "expressions nested deeper than " + std::to_string(kLispNestingLimit) + " levels";
}

class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    ReadStatus read_all(std::vector<Expr>& out, std::string& error)
    {
        for (;;) {
            skip_blanks();
            if (at_end()) return ReadStatus::Complete;
            if (text_[pos_] == ')') return ReadStatus::ExtraParen;
            Expr expr;
            ReadStatus status = read(expr, error);
            if (status != ReadStatus::Complete) return status;
            out.push_back(std::move(expr));
        }
    }

private:
    bool at_end() const { return pos_ >= text_.size(); }

    void skip_blanks()
    {
        while (!at_end()) {
            char c = text_[pos_];
            if (c == ';') {
                // ";| ... |;" is a block comment, ";" to the line end a line comment.
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '|') {
                    size_t end = text_.find("|;", pos_ + 2);
                    pos_ = end == std::string::npos ? text_.size() : end + 2;
                } else {
                    size_t end = text_.find('\n', pos_);
                    pos_ = end == std::string::npos ? text_.size() : end + 1;
                }
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else {
                return;
            }
        }
    }

    ReadStatus read(Expr& out, std::string& error)
    {
        skip_blanks();
        if (at_end()) return ReadStatus::Incomplete;
        char c = text_[pos_];
        if (c == ')') return ReadStatus::ExtraParen;
        if (c != '(' && c != '\'') {
            if (c == '"') return read_string(out);
            return read_atom(out, error);
        }
        // Lists and quotes nest; past the limit the text is refused before the
        // reader's own depth can exhaust the stack.
        if (depth_ >= kLispNestingLimit) {
            error = too_deep_text();
            return ReadStatus::TooDeep;
        }
        ++depth_;
        ReadStatus status = c == '(' ? read_list(out, error) : read_quoted(out, error);
        --depth_;
        return status;
    }

    ReadStatus read_list(Expr& out, std::string& error)
    {
        ++pos_;
        out.kind = Expr::List;
        for (;;) {
            skip_blanks();
            if (at_end()) return ReadStatus::Incomplete;
            if (text_[pos_] == ')') {
                ++pos_;
                return ReadStatus::Complete;
            }
            // "(a . b)": one item after the dot, then the list ends.
            if (is_dot(pos_)) {
                ++pos_;
                skip_blanks();
                if (at_end()) return ReadStatus::Incomplete;
                if (out.items.empty() || text_[pos_] == ')') return misplaced_dot(error);
                Expr tail;
                ReadStatus status = read(tail, error);
                if (status != ReadStatus::Complete) return status;
                skip_blanks();
                if (at_end()) return ReadStatus::Incomplete;
                if (text_[pos_] != ')') return misplaced_dot(error);
                ++pos_;
                out.items.push_back(std::move(tail));
                out.dotted = true;
                return ReadStatus::Complete;
            }
            Expr item;
            ReadStatus status = read(item, error);
            if (status != ReadStatus::Complete) return status;
            out.items.push_back(std::move(item));
        }
    }

    ReadStatus read_quoted(Expr& out, std::string& error)
    {
        ++pos_;
        Expr quoted;
        ReadStatus status = read(quoted, error);
        if (status != ReadStatus::Complete) return status;
        out.kind = Expr::List;
        Expr quote;
        quote.kind = Expr::Sym;
        quote.name = "quote";
        out.items.push_back(std::move(quote));
        out.items.push_back(std::move(quoted));
        return ReadStatus::Complete;
    }

    // A character that ends a symbol or number.
    static bool is_delimiter(char c)
    {
        return std::isspace(static_cast<unsigned char>(c)) || c == '(' || c == ')' || c == '"' || c == ';' ||
               c == '\'';
    }

    // A "." standing alone ("(a . b)", "(a .(b))"): the dot of a pair, no symbol.
    bool is_dot(size_t at) const
    {
        return text_[at] == '.' && (at + 1 >= text_.size() || is_delimiter(text_[at + 1]));
    }

    static ReadStatus misplaced_dot(std::string& error)
    {
        error = "misplaced dot on input";
        return ReadStatus::Malformed;
    }

    ReadStatus read_string(Expr& out)
    {
        ++pos_;
        std::string text;
        while (!at_end()) {
            char c = text_[pos_++];
            if (c == '"') {
                out.kind = Expr::Atom;
                out.value.kind = LispValue::Str;
                out.value.text = std::move(text);
                return ReadStatus::Complete;
            }
            if (c != '\\') {
                text += c;
                continue;
            }
            if (at_end()) return ReadStatus::Incomplete;
            char e = text_[pos_++];
            switch (e) {
                case 'n':
                    text += '\n';
                    break;
                case 'r':
                    text += '\r';
                    break;
                case 't':
                    text += '\t';
                    break;
                case 'e':
                    text += '\x1b';
                    break;
                default:
                    if (e >= '0' && e <= '7') {
                        // Up to three octal digits.
                        int code = e - '0';
                        for (int i = 0; i < 2 && !at_end() && text_[pos_] >= '0' && text_[pos_] <= '7'; ++i)
                            code = code * 8 + (text_[pos_++] - '0');
                        text += static_cast<char>(code);
                    } else {
                        text += e;  // \\ and \" and anything else stand for themselves
                    }
            }
        }
        return ReadStatus::Incomplete;
    }

    ReadStatus read_atom(Expr& out, std::string& error)
    {
        if (is_dot(pos_)) return misplaced_dot(error);
        size_t begin = pos_;
        while (!at_end() && !is_delimiter(text_[pos_])) ++pos_;
        std::string token = text_.substr(begin, pos_ - begin);
        if (token.empty()) {
            error = "malformed input";
            return ReadStatus::Malformed;
        }
        out.kind = Expr::Atom;
        if (read_number(token, out.value)) return ReadStatus::Complete;
        out.kind = Expr::Sym;
        out.name = lower_text(token);
        return ReadStatus::Complete;
    }

    static bool read_number(const std::string& token, LispValue& value)
    {
        const char* first = token.data();
        const char* last = first + token.size();
        const char* digits = (*first == '+' || *first == '-') ? first + 1 : first;
        if (digits == last) return false;
        bool integer = std::all_of(digits, last, [](char c) { return c >= '0' && c <= '9'; });
        if (integer) {
            long long n = 0;
            auto [end, error] = std::from_chars(*first == '+' ? first + 1 : first, last, n);
            // Integers beyond 32 bits become reals, as LISP reads them.
            if (error == std::errc() && end == last && n >= INT32_MIN && n <= INT32_MAX) {
                value.kind = LispValue::Int;
                value.integer = static_cast<long>(n);
                return true;
            }
        }
        if (!std::any_of(digits, last, [](char c) { return c >= '0' && c <= '9'; })) return false;
        std::optional<double> real = parse_real_text(token);
        if (!real) return false;
        value.kind = LispValue::Real;
        value.real = *real;
        return true;
    }

    const std::string& text_;
    size_t pos_ = 0;
    int depth_ = 0;  // lists and quotes open around the reader's position
};

// Follows the parentheses of text given line by line as the reader would see
// them (strings, escapes and comments included), so that an expression over
// many lines is read once it is complete, and one nested too deep is known
// without reading it.
struct ParenScanner {
    int depth = 0;
    int deepest = 0;
    bool in_string = false, escaped = false, in_block_comment = false;

    bool balanced() const { return depth <= 0 && !in_string && !in_block_comment; }

    void feed(const std::string& text)
    {
        for (size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            if (in_block_comment) {
                if (c == '|' && i + 1 < text.size() && text[i + 1] == ';') {
                    in_block_comment = false;
                    ++i;
                }
            } else if (in_string) {
                if (escaped)
                    escaped = false;
                else if (c == '\\')
                    escaped = true;
                else if (c == '"')
                    in_string = false;
            } else if (c == '"') {
                in_string = true;
            } else if (c == ';') {
                if (i + 1 < text.size() && text[i + 1] == '|') {
                    in_block_comment = true;
                    ++i;
                } else {
                    size_t end = text.find('\n', i);
                    if (end == std::string::npos) return;
                    i = end;
                }
            } else if (c == '(') {
                deepest = std::max(deepest, ++depth);
            } else if (c == ')') {
                --depth;
            }
        }
    }
};

LispValue make_int(long n)
{
    LispValue v;
    v.kind = LispValue::Int;
    v.integer = n;
    return v;
}
LispValue make_real(double r)
{
    LispValue v;
    v.kind = LispValue::Real;
    v.real = r;
    return v;
}
LispValue make_str(std::string s)
{
    LispValue v;
    v.kind = LispValue::Str;
    v.text = std::move(s);
    return v;
}
LispValue make_bool(bool b)
{
    LispValue v;
    v.kind = b ? LispValue::T : LispValue::Nil;
    return v;
}
bool is_nil(const LispValue& v)
{
    return v.kind == LispValue::Nil;
}

std::string real_printed(double r)
{
    if (std::isnan(r)) return "nan";
    if (std::isinf(r)) return r < 0 ? "-inf" : "inf";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6g", r);
    std::string text = buffer;
    size_t e = text.find('e');
    if (text.find('.') == std::string::npos) {
        if (e == std::string::npos)
            text += ".0";
        else
            text.insert(e, ".0");
    }
    return text;
}

std::string string_printed(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\x1b':
                out += "\\e";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

std::string upper(const std::string& s)
{
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// As princ shows a value: strings without quotes or escapes.
std::string princ_text(const LispValue& v)
{
    return v.kind == LispValue::Str ? v.text : v.printed();
}

LispValue quoted_value(const Expr& expr)
{
    switch (expr.kind) {
        case Expr::Atom:
            return expr.value;
        case Expr::Sym: {
            if (expr.name == "nil") return LispValue{};
            if (expr.name == "t") return make_bool(true);
            LispValue v;
            v.kind = LispValue::Symbol;
            v.text = expr.name;
            return v;
        }
        case Expr::List: {
            std::vector<LispValue> items;
            for (const Expr& item : expr.items) items.push_back(quoted_value(item));
            if (!expr.dotted) return lisp_list_with_tail(std::move(items), LispValue{});
            LispValue tail = std::move(items.back());
            items.pop_back();
            return lisp_list_with_tail(std::move(items), std::move(tail));
        }
    }
    return LispValue{};
}

class Evaluator;
using Builtin = std::function<LispValue(Evaluator&, std::vector<LispValue>&)>;

class Evaluator {
public:
    explicit Evaluator(Session& session) : session_(session) {}

    LispValue eval(const Expr& expr)
    {
        switch (expr.kind) {
            case Expr::Atom:
                return expr.value;
            case Expr::Sym:
                return symbol_value(expr.name);
            case Expr::List:
                return apply(expr);
        }
        return LispValue{};
    }

    Session& session() { return session_; }
    Document& document() { return session_.current(); }
    bool silent = false;  // the last value came from (princ) and is not shown

private:
    LispValue symbol_value(const std::string& name)
    {
        if (name == "nil") return LispValue{};
        if (name == "t") return make_bool(true);
        if (name == "pi") return make_real(M_PI);
        auto& variables = document().lisp_variables;
        auto found = variables.find(name);
        return found == variables.end() ? LispValue{} : found->second;
    }

    LispValue apply(const Expr& expr);

    Session& session_;
};

[[noreturn]] void bad_type(const char* what, const LispValue& v)
{
    throw LispError(std::string("bad argument type: ") + what + ": " + v.printed());
}

void need_args(const std::vector<LispValue>& args, size_t least, size_t most)
{
    if (args.size() < least) throw LispError("too few arguments");
    if (args.size() > most) throw LispError("too many arguments");
}

bool is_number(const LispValue& v)
{
    return v.kind == LispValue::Int || v.kind == LispValue::Real;
}
double number(const LispValue& v)
{
    if (v.kind == LispValue::Int) return static_cast<double>(v.integer);
    if (v.kind == LispValue::Real) return v.real;
    bad_type("numberp", v);
}
const std::string& string_arg(const LispValue& v)
{
    if (v.kind != LispValue::Str) bad_type("stringp", v);
    return v.text;
}
long int_arg(const LispValue& v)
{
    if (v.kind != LispValue::Int) bad_type("fixnump", v);
    return v.integer;
}

// A list's items; nil is the empty list; a point is the list of its coordinates.
// A dotted list is no proper list.
std::vector<LispValue> list_items(const LispValue& v)
{
    if (v.kind == LispValue::Nil) return {};
    if (v.kind == LispValue::List && v.dotted) throw LispError("bad list: " + v.printed());
    if (v.kind == LispValue::List) return v.items;
    if (v.kind == LispValue::Point) return {make_real(v.point.x), make_real(v.point.y), make_real(v.point.z)};
    bad_type("listp", v);
}

LispValue list_of(std::vector<LispValue> items)
{
    LispValue v;
    v.kind = items.empty() ? LispValue::Nil : LispValue::List;
    v.items = std::move(items);
    return v;
}

// The first item of a list (of a pair or a point too); nil for nil.
LispValue car_of(const LispValue& v)
{
    if (v.kind == LispValue::Nil) return LispValue{};
    if (v.kind == LispValue::Point) return make_real(v.point.x);
    if (v.kind != LispValue::List) bad_type("consp", v);
    return v.items.front();
}

// What follows the first item: the cdr of a pair (a . b) is b.
LispValue cdr_of(const LispValue& v)
{
    if (v.kind == LispValue::Nil) return LispValue{};
    if (v.kind == LispValue::Point) return list_of({make_real(v.point.y), make_real(v.point.z)});
    if (v.kind != LispValue::List) bad_type("consp", v);
    if (v.dotted && v.items.size() == 2) return v.items[1];
    LispValue rest = v;
    rest.items.erase(rest.items.begin());
    if (rest.items.empty()) return LispValue{};
    return rest;
}

bool values_equal(const LispValue& a, const LispValue& b)
{
    if (is_number(a) && is_number(b)) return number(a) == number(b);
    if (a.kind != b.kind) return false;
    switch (a.kind) {
        case LispValue::Str:
        case LispValue::Symbol:
            return a.text == b.text;
        case LispValue::Point:
            return a.point == b.point;
        case LispValue::Name:
            return a.name[0] == b.name[0] && a.name[1] == b.name[1];
        case LispValue::List:
            if (a.items.size() != b.items.size() || a.dotted != b.dotted) return false;
            for (size_t i = 0; i < a.items.size(); ++i)
                if (!values_equal(a.items[i], b.items[i])) return false;
            return true;
        default:
            return true;
    }
}

// One step of + - * / on integers or reals alike.
template <typename T>
T apply_arithmetic(T result, T n, char op)
{
    switch (op) {
        case '+':
            return result + n;
        case '-':
            return result - n;
        case '*':
            return result * n;
        case '/':
            if (n == 0) throw LispError("divide by zero");
            return result / n;
    }
    return result;
}

LispValue arithmetic(std::vector<LispValue>& args, char op)
{
    if (args.empty()) return make_int(op == '*' ? 1 : 0);
    bool all_int = std::all_of(args.begin(), args.end(), [](const LispValue& v) {
        if (!is_number(v)) bad_type("numberp", v);
        return v.kind == LispValue::Int;
    });
    if (args.size() == 1 && op == '-') return all_int ? make_int(-args[0].integer) : make_real(-args[0].real);
    if (all_int) {
        // 32-bit integers that wrap as LISP's do, step by step, so a long chain
        // never overflows the wider type.
        std::int32_t result = static_cast<std::int32_t>(args[0].integer);
        for (size_t i = 1; i < args.size(); ++i)
            result = static_cast<std::int32_t>(apply_arithmetic<long long>(result, args[i].integer, op));
        return make_int(result);
    }
    double result = number(args[0]);
    for (size_t i = 1; i < args.size(); ++i) result = apply_arithmetic(result, number(args[i]), op);
    return make_real(result);
}

LispValue compare(std::vector<LispValue>& args, const std::function<bool(double, double)>& holds)
{
    need_args(args, 1, SIZE_MAX);
    for (size_t i = 1; i < args.size(); ++i) {
        bool ok;
        if (args[i - 1].kind == LispValue::Str && args[i].kind == LispValue::Str)
            ok = holds(args[i - 1].text.compare(args[i].text), 0);
        else
            ok = holds(number(args[i - 1]), number(args[i]));
        if (!ok) return LispValue{};
    }
    return make_bool(true);
}

LispValue sysvar_lisp(const SysVarValue& value)
{
    switch (value.type) {
        case RTSHORT:
        case RTLONG:
            return make_int(value.integer);
        case RTREAL:
            return make_real(value.real);
        case RTSTR:
            return make_str(value.text);
        case RTPOINT:
            return list_of({make_real(value.point.x), make_real(value.point.y)});
        case RT3DPOINT: {
            LispValue v;
            v.kind = LispValue::Point;
            v.point = value.point;
            return v;
        }
    }
    return LispValue{};
}

// The text a host command takes for a LISP value.
std::optional<std::string> command_text(const LispValue& v)
{
    switch (v.kind) {
        case LispValue::Str:
            return v.text;
        case LispValue::Int:
            return std::to_string(v.integer);
        case LispValue::Real:
            return real_text(v.real);
        case LispValue::Point:
            return point_text(v.point);
        case LispValue::Name:
            return entity_name_text(v.name[0]);
        case LispValue::T:
            return std::string("T");
        case LispValue::Symbol:
            return v.text;
        case LispValue::Nil:
            return std::nullopt;
        case LispValue::List: {
            std::vector<LispValue> items = v.items;
            if (!v.dotted && (items.size() == 2 || items.size() == 3) &&
                std::all_of(items.begin(), items.end(), is_number)) {
                Point3 p{number(items[0]), number(items[1]), items.size() == 3 ? number(items[2]) : 0.0};
                return items.size() == 3 ? point_text(p) : real_text(p.x) + "," + real_text(p.y);
            }
            bad_type("point or text", v);
        }
    }
    return std::nullopt;
}

const std::map<std::string, Builtin>& builtins()
{
    static const std::map<std::string, Builtin> table = {
        {"+", [](Evaluator&, std::vector<LispValue>& a) { return arithmetic(a, '+'); }},
        {"-", [](Evaluator&, std::vector<LispValue>& a) { return arithmetic(a, '-'); }},
        {"*", [](Evaluator&, std::vector<LispValue>& a) { return arithmetic(a, '*'); }},
        {"/", [](Evaluator&, std::vector<LispValue>& a) { return arithmetic(a, '/'); }},
        {"=", [](Evaluator&, std::vector<LispValue>& a) { return compare(a, [](double x, double y) { return x == y; }); }},
        {"/=", [](Evaluator&, std::vector<LispValue>& a) { return compare(a, [](double x, double y) { return x != y; }); }},
        {"<", [](Evaluator&, std::vector<LispValue>& a) { return compare(a, [](double x, double y) { return x < y; }); }},
        {">", [](Evaluator&, std::vector<LispValue>& a) { return compare(a, [](double x, double y) { return x > y; }); }},
        {"<=", [](Evaluator&, std::vector<LispValue>& a) { return compare(a, [](double x, double y) { return x <= y; }); }},
        {">=", [](Evaluator&, std::vector<LispValue>& a) { return compare(a, [](double x, double y) { return x >= y; }); }},
        {"equal",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 2, 3);
             return make_bool(values_equal(a[0], a[1]));
         }},
        {"not",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return make_bool(is_nil(a[0]));
         }},
        {"null",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return make_bool(is_nil(a[0]));
         }},
        {"list", [](Evaluator&, std::vector<LispValue>& a) { return list_of(a); }},
        {"car",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return car_of(a[0]);
         }},
        {"cdr",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return cdr_of(a[0]);
         }},
        {"cadr",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return car_of(cdr_of(a[0]));
         }},
        {"caddr",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return car_of(cdr_of(cdr_of(a[0])));
         }},
        {"assoc",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 2, 2);
             for (const LispValue& item : list_items(a[1]))
                 if (item.kind == LispValue::List && values_equal(item.items.front(), a[0])) return item;
             return LispValue{};
         }},
        {"nth",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 2, 2);
             long n = int_arg(a[0]);
             auto items = list_items(a[1]);
             return n < 0 || n >= static_cast<long>(items.size()) ? LispValue{} : items[n];
         }},
        {"length",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return make_int(static_cast<long>(list_items(a[0]).size()));
         }},
        {"cons",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 2, 2);
             return lisp_list_with_tail({a[0]}, a[1]);
         }},
        {"strcat",
         [](Evaluator&, std::vector<LispValue>& a) {
             std::string text;
             for (const LispValue& v : a) text += string_arg(v);
             return make_str(text);
         }},
        {"strlen",
         [](Evaluator&, std::vector<LispValue>& a) {
             size_t n = 0;
             for (const LispValue& v : a) n += string_arg(v).size();
             return make_int(static_cast<long>(n));
         }},
        {"substr",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 2, 3);
             const std::string& s = string_arg(a[0]);
             long start = int_arg(a[1]);
             if (start < 1) throw LispError("bad argument value: positive " + a[1].printed());
             if (static_cast<size_t>(start) > s.size()) return make_str("");
             size_t count = a.size() == 3 ? static_cast<size_t>(std::max(0L, int_arg(a[2]))) : std::string::npos;
             return make_str(s.substr(static_cast<size_t>(start - 1), count));
         }},
        {"strcase",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 2);
             const std::string& s = string_arg(a[0]);
             return make_str(a.size() == 2 && !is_nil(a[1]) ? lower_text(s) : upper(s));
         }},
        {"itoa",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return make_str(std::to_string(int_arg(a[0])));
         }},
        {"atoi",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return make_int(std::atol(string_arg(a[0]).c_str()));
         }},
        {"atof",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return make_real(std::atof(string_arg(a[0]).c_str()));
         }},
        {"fix",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return make_int(static_cast<long>(std::trunc(number(a[0]))));
         }},
        {"float",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return make_real(number(a[0]));
         }},
        {"abs",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             return a[0].kind == LispValue::Int ? make_int(std::labs(a[0].integer)) : make_real(std::fabs(number(a[0])));
         }},
        {"rtos",
         [](Evaluator& e, std::vector<LispValue>& a) {
             need_args(a, 1, 3);
             double value = number(a[0]);
             // Decimal units only; the precision defaults to LUPREC.
             long precision = a.size() == 3 ? int_arg(a[2]) : sysvar_short(e.document().drawing, "LUPREC", 4);
             return make_str(decimal_text(value, static_cast<int>(precision)));
         }},
        {"getvar",
         [](Evaluator& e, std::vector<LispValue>& a) {
             need_args(a, 1, 1);
             SysVarValue value;
             if (!sysvar_get(e.document().drawing, string_arg(a[0]), value)) return LispValue{};
             return sysvar_lisp(value);
         }},
        {"setvar",
         [](Evaluator& e, std::vector<LispValue>& a) {
             need_args(a, 2, 2);
             const std::string& name = string_arg(a[0]);
             Drawing& drawing = e.document().drawing;
             SysVarValue value;
             if (!sysvar_get(drawing, name, value)) throw LispError("unknown system variable: " + upper(name));
             const LispValue& v = a[1];
             bool typed = true;
             switch (value.type) {
             case RTSHORT:
             case RTLONG:
                 typed = v.kind == LispValue::Int;
                 value.integer = v.integer;
                 break;
             case RTREAL:
                 typed = is_number(v);
                 if (typed) value.real = number(v);
                 break;
             case RTSTR:
                 typed = v.kind == LispValue::Str;
                 value.text = v.text;
                 break;
             case RTPOINT:
             case RT3DPOINT: {
                 auto items = v.kind == LispValue::Point || v.kind == LispValue::List ? list_items(v)
                                                                                      : std::vector<LispValue>{};
                 typed = (items.size() == 2 || items.size() == 3) && std::all_of(items.begin(), items.end(), is_number);
                 if (typed) value.point = {number(items[0]), number(items[1]), items.size() == 3 ? number(items[2]) : 0.0};
                 break;
             }
             }
             if (!typed || sysvar_set(drawing, name, value) != RTNORM)
                 throw LispError("system variable setting rejected: " + upper(name) + " " + v.printed());
             return v;
         }},
        {"princ",
         [](Evaluator& e, std::vector<LispValue>& a) {
             need_args(a, 0, 2);
             if (a.empty()) return LispValue{};
             e.session().print(princ_text(a[0]));
             return a[0];
         }},
        {"prin1",
         [](Evaluator& e, std::vector<LispValue>& a) {
             need_args(a, 0, 2);
             if (a.empty()) return LispValue{};
             e.session().print(a[0].printed());
             return a[0];
         }},
        {"print",
         [](Evaluator& e, std::vector<LispValue>& a) {
             need_args(a, 0, 2);
             if (a.empty()) return LispValue{};
             e.session().print("\n" + a[0].printed() + " ");
             return a[0];
         }},
        {"terpri",
         [](Evaluator& e, std::vector<LispValue>& a) {
             e.session().print("\n");
             return LispValue{};
         }},
        {"entlast",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 0, 0);
             ads_name name;
             if (acdbEntLast(name) != RTNORM) return LispValue{};
             LispValue v;
             v.kind = LispValue::Name;
             v.name[0] = name[0];
             v.name[1] = name[1];
             return v;
         }},
        {"entget",
         [](Evaluator&, std::vector<LispValue>& a) {
             need_args(a, 1, 2);
             if (a[0].kind != LispValue::Name) bad_type("lentityp", a[0]);
             ads_name name = {a[0].name[0], a[0].name[1]};
             resbuf* list = acdbEntGet(name);
             // Groups show as (code value).
             LispValue v = resbuf_to_lisp(list, true);
             if (list) acutRelRb(list);
             return v;
         }},
        {"command",
         [](Evaluator& e, std::vector<LispValue>& a) {
             CommandArgs texts;
             for (const LispValue& v : a) {
                 if (auto text = command_text(v)) texts.push_back(*text);
             }
             // (command) alone cancels whatever command is pending: nothing is.
             if (texts.empty()) return LispValue{};
             std::string name = texts.front();
             texts.erase(texts.begin());
             run_called_command(e.session(), name, texts, true);
             return LispValue{};
         }},
    };
    return table;
}

std::map<std::string, LispBuiltin>& added_builtins()
{
    static std::map<std::string, LispBuiltin> table;
    return table;
}

// A host LISP function of acedInvoke's registry called from LISP; nullopt when
// there is none of that name.
std::optional<LispValue> call_host_lisp_function(const std::string& name,
                                                 const std::vector<LispValue>& values)
{
    std::vector<LispValue> call = values;
    call.insert(call.begin(), make_str(name));
    resbuf* args = lisp_to_resbuf(call);
    resbuf* result = nullptr;
    int status = host_lisp_function_call(name, args ? args->rbnext : nullptr, &result);
    free_resbuf_list(args);
    if (status == kNoHostLispFunction) return std::nullopt;
    LispValue value = status == RTNORM ? resbuf_to_lisp(result, result && result->rbnext) : LispValue{};
    free_resbuf_list(result);
    return value;
}

LispValue Evaluator::apply(const Expr& expr)
{
    if (expr.items.empty()) return LispValue{};
    if (expr.dotted) throw LispError("bad function call: " + quoted_value(expr).printed());
    const Expr& head = expr.items.front();
    if (head.kind != Expr::Sym) throw LispError("bad function: " + quoted_value(head).printed());
    const std::string& name = head.name;
    size_t argc = expr.items.size() - 1;
    const Expr* args = expr.items.data() + 1;

    // Special forms: their arguments are not all evaluated first.
    if (name == "quote") {
        if (argc != 1) throw LispError(argc < 1 ? "too few arguments" : "too many arguments");
        silent = false;
        return quoted_value(args[0]);
    }
    if (name == "setq") {
        if (argc % 2 != 0) throw LispError("too few arguments");
        LispValue value;
        for (size_t i = 0; i < argc; i += 2) {
            if (args[i].kind != Expr::Sym || args[i].name == "nil" || args[i].name == "t")
                throw LispError("bad argument type: symbolp " + quoted_value(args[i]).printed());
            value = eval(args[i + 1]);
            document().lisp_variables[args[i].name] = value;
        }
        silent = false;
        return value;
    }
    if (name == "progn") {
        LispValue value;
        silent = false;
        for (size_t i = 0; i < argc; ++i) value = eval(args[i]);
        return value;
    }
    if (name == "if") {
        if (argc < 2) throw LispError("too few arguments");
        if (argc > 3) throw LispError("too many arguments");
        silent = false;
        if (!is_nil(eval(args[0]))) return eval(args[1]);
        silent = false;
        return argc == 3 ? eval(args[2]) : LispValue{};
    }
    if (name == "and" || name == "or") {
        bool is_and = name == "and";
        for (size_t i = 0; i < argc; ++i) {
            bool truth = !is_nil(eval(args[i]));
            if (truth != is_and) {
                silent = false;
                return make_bool(!is_and);
            }
        }
        silent = false;
        return make_bool(is_and);
    }
    if (name == "repeat") {
        if (argc < 1) throw LispError("too few arguments");
        long count = int_arg(eval(args[0]));
        LispValue value;
        silent = false;
        for (long n = 0; n < count; ++n)
            for (size_t i = 1; i < argc; ++i) value = eval(args[i]);
        return value;
    }

    std::vector<LispValue> values;
    for (size_t i = 0; i < argc; ++i) values.push_back(eval(args[i]));

    // A function a plug-in defined in this drawing stands before the builtins.
    auto& functions = document().functions;
    auto defined = functions.find(name);
    if (defined != functions.end()) {
        silent = false;
        DefinedFunction function = defined->second;  // the call may change the table
        return invoke_function(function, values);
    }
    auto builtin = builtins().find(name);
    if (builtin == builtins().end()) {
        auto added = added_builtins().find(name);
        if (added != added_builtins().end()) {
            silent = false;
            return added->second(values);
        }
        if (std::optional<LispValue> value = call_host_lisp_function(name, values)) {
            silent = false;
            return *value;
        }
        throw LispError("no function definition: " + upper(name));
    }
    LispValue value = builtin->second(*this, values);
    silent = name == "princ" && values.empty();
    return value;
}

void print_value(Session& session, const LispValue& value)
{
    const std::string& shown = session.transcript().text();
    std::string line = (shown.empty() || shown.back() == '\n') ? "" : "\n";
    session.print(line + value.printed());
}

void print_error(Session& session, const std::string& message)
{
    const std::string& shown = session.transcript().text();
    std::string line = (shown.empty() || shown.back() == '\n') ? "" : "\n";
    session.fail(line + "; error: " + message);
}

// Evaluates each expression; prints the values when show is set. nullopt on an error.
std::optional<LispValue> evaluate_all(Session& session, const std::vector<Expr>& exprs, bool show)
{
    if (!session.has_document()) {
        print_error(session, "no drawing is open (NEW opens one)");
        return std::nullopt;
    }
    Evaluator evaluator(session);
    LispValue value;
    for (const Expr& expr : exprs) {
        try {
            evaluator.silent = false;
            value = evaluator.eval(expr);
            if (show && !evaluator.silent) print_value(session, value);
        } catch (const LispError& error) {
            print_error(session, error.what());
            return std::nullopt;
        } catch (const InputExhausted& exhausted) {
            session.input_ended_while_asking(exhausted.what());
            return std::nullopt;
        } catch (const std::exception& error) {
            // A fault inside a plug-in or a host command ends this expression only.
            print_error(session, error.what());
            return std::nullopt;
        }
        if (!session.has_document()) break;  // the expression closed the drawing
    }
    return value;
}

std::string read_error_text(ReadStatus status, const std::string& error)
{
    switch (status) {
        case ReadStatus::Incomplete:
            return "malformed list on input (a \")\" or a closing quote is missing)";
        case ReadStatus::ExtraParen:
            return "extra right paren on input";
        case ReadStatus::Malformed:
        case ReadStatus::TooDeep:
            return error.empty() ? "malformed input" : error;
        case ReadStatus::Complete:
            break;
    }
    return "";
}

std::optional<LispValue> read_and_evaluate(Session& session, const std::string& text, bool show)
{
    std::vector<Expr> exprs;
    std::string error;
    ReadStatus status = Reader(text).read_all(exprs, error);
    if (status != ReadStatus::Complete) {
        print_error(session, read_error_text(status, error));
        return std::nullopt;
    }
    return evaluate_all(session, exprs, show);
}

}  // namespace

std::string LispValue::printed() const
{
    switch (kind) {
        case Nil:
            return "nil";
        case T:
            return "T";
        case Int:
            return std::to_string(integer);
        case Real:
            return real_printed(real);
        case Str:
            return string_printed(text);
        case Symbol:
            return upper(text);
        case Point:
            return "(" + real_printed(point.x) + " " + real_printed(point.y) + " " + real_printed(point.z) +
                   ")";
        case Name: {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "<Entity name: %lx>", name[0]);
            return buffer;
        }
        case List: {
            std::string out = "(";
            for (size_t i = 0; i < items.size(); ++i) {
                if (i) out += dotted && i + 1 == items.size() ? " . " : " ";
                out += items[i].printed();
            }
            return out + ")";
        }
    }
    return "nil";
}

LispValue lisp_list_with_tail(std::vector<LispValue> items, LispValue tail)
{
    LispValue list;
    list.items = std::move(items);
    switch (tail.kind) {
        case LispValue::Nil:
            break;
        case LispValue::List:
            for (LispValue& item : tail.items) list.items.push_back(std::move(item));
            list.dotted = tail.dotted;
            break;
        case LispValue::Point:
            for (double coordinate : {tail.point.x, tail.point.y, tail.point.z})
                list.items.push_back(make_real(coordinate));
            break;
        default:
            list.items.push_back(std::move(tail));
            list.dotted = true;
    }
    list.kind = list.items.empty() ? LispValue::Nil : LispValue::List;
    return list;
}

std::optional<std::string> eval_answer_text(Session& session, const std::string& text)
{
    std::optional<LispValue> value = eval_text(session, text.front() == '!' ? text.substr(1) : text);
    if (!value) return std::nullopt;
    try {
        return command_text(*value).value_or("");
    } catch (const LispError& error) {
        print_error(session, std::string(error.what()) + " (no answer to this prompt)");
        return std::nullopt;
    }
}

void register_lisp_builtin(const std::string& name, LispBuiltin function)
{
    added_builtins()[lower_text(name)] = std::move(function);
}

void run_lisp_lines(Session& session, const std::string& first_line)
{
    // "!name" shows a variable's (or an expression's) value.
    std::string text = first_line.front() == '!' ? first_line.substr(1) : first_line;
    ParenScanner scanner;
    scanner.feed(text);
    Input* input = session.input();
    for (;;) {
        if (scanner.deepest > kLispNestingLimit) {
            // Refused as soon as it is known, then read past without keeping it.
            std::string where = input ? input->where() : "";
            print_error(session, too_deep_text() + (where.empty() ? "" : " (at " + where + ")"));
            while (!scanner.balanced() && input) {
                std::optional<std::string> more = input->next_line();
                if (!more) break;
                scanner.feed(*more);
            }
            return;
        }
        if (scanner.balanced()) {
            std::vector<Expr> exprs;
            std::string error;
            ReadStatus status = Reader(text).read_all(exprs, error);
            if (status == ReadStatus::Complete) {
                evaluate_all(session, exprs, true);
                return;
            }
            if (status != ReadStatus::Incomplete) {
                std::string where = input ? input->where() : "";
                if (status == ReadStatus::TooDeep && !where.empty()) error += " (at " + where + ")";
                print_error(session, read_error_text(status, error));
                return;
            }
        }
        // The expression goes on on the next line.
        std::optional<std::string> more = input && !session.stopping() ? input->next_line() : std::nullopt;
        if (!more) {
            print_error(session, read_error_text(ReadStatus::Incomplete, ""));
            return;
        }
        std::string line = *more;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        session.print("\n");
        session.transcript().answer(line, !input->interactive());
        text += "\n" + line;
        scanner.feed("\n" + line);
    }
}

std::optional<std::vector<LispValue>> read_lisp_data(const std::string& text, std::string& error)
{
    std::vector<Expr> exprs;
    ReadStatus status = Reader(text).read_all(exprs, error);
    if (status != ReadStatus::Complete) {
        error = read_error_text(status, error);
        return std::nullopt;
    }
    std::vector<LispValue> values;
    for (const Expr& expr : exprs) values.push_back(quoted_value(expr));
    return values;
}

bool eval_print_text(Session& session, const std::string& text)
{
    return read_and_evaluate(session, text, true).has_value();
}

std::optional<LispValue> eval_text(Session& session, const std::string& text)
{
    return read_and_evaluate(session, text, false);
}

}  // namespace host
