#include "dialogs/dcl_parse.h"

#include <cctype>
#include <functional>
#include <set>

namespace host {

std::string DclTile::attribute(const std::string& name, const std::string& absent) const
{
    const auto found = attributes.find(name);
    return found == attributes.end() ? absent : found->second;
}

std::string DclError::text() const
{
    return path + ", line " + std::to_string(line) + ": " + message;
}

namespace {

const std::set<std::string>& container_kinds()
{
    static const std::set<std::string> kinds = {
        "dialog",    "row",          "column",          "boxed_row",          "boxed_column",
        "radio_row", "radio_column", "boxed_radio_row", "boxed_radio_column", "concatenation",
        "paragraph"};
    return kinds;
}

// Every kind a tile may be built on, beside the prototypes below.
const std::set<std::string>& leaf_kinds()
{
    static const std::set<std::string> kinds = {"button",     "edit_box", "toggle",       "radio_button",
                                                "popup_list", "list_box", "text",         "text_part",
                                                "spacer",     "image",    "image_button", "slider"};
    return kinds;
}

// ---- Tokens ----

struct Token {
    enum Kind { Word, String, Number, Punct, Include, End } kind = End;
    std::string text;
    int line = 0;
};

class Lexer {
public:
    Lexer(const std::string& text, DclError* error) : text_(text), error_(error) {}

    // All tokens of the text; false on a lexical error (filled in *error_).
    bool run(std::vector<Token>& tokens)
    {
        while (true) {
            if (!skip_blanks_and_comments()) return false;
            if (pos_ >= text_.size()) break;
            Token token;
            token.line = line_;
            const char c = text_[pos_];
            if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                token.kind = Token::Word;
                while (pos_ < text_.size() &&
                       (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
                    token.text += text_[pos_++];
            } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.') {
                token.kind = Token::Number;
                token.text += text_[pos_++];
                while (pos_ < text_.size() &&
                       (std::isdigit(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '.'))
                    token.text += text_[pos_++];
            } else if (c == '"') {
                token.kind = Token::String;
                if (!read_string(token.text)) return false;
            } else if (c == '@') {
                ++pos_;
                std::string word;
                while (pos_ < text_.size() && std::isalpha(static_cast<unsigned char>(text_[pos_])))
                    word += text_[pos_++];
                if (word != "include") return fail("unknown directive '@" + word + "'");
                token.kind = Token::Include;
            } else if (c == ':' || c == '{' || c == '}' || c == ';' || c == '=') {
                token.kind = Token::Punct;
                token.text = std::string(1, c);
                ++pos_;
            } else {
                return fail(std::string("unexpected character '") + c + "'");
            }
            tokens.push_back(token);
        }
        Token end;
        end.line = line_;
        tokens.push_back(end);
        return true;
    }

private:
    bool fail(const std::string& message)
    {
        error_->line = line_;
        error_->message = message;
        return false;
    }

    bool skip_blanks_and_comments()
    {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else if (text_.compare(pos_, 2, "//") == 0) {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (text_.compare(pos_, 2, "/*") == 0) {
                const int start_line = line_;
                pos_ += 2;
                while (pos_ < text_.size() && text_.compare(pos_, 2, "*/") != 0) {
                    if (text_[pos_] == '\n') ++line_;
                    ++pos_;
                }
                if (pos_ >= text_.size()) {
                    line_ = start_line;
                    return fail("comment not closed");
                }
                pos_ += 2;
            } else {
                break;
            }
        }
        return true;
    }

    bool read_string(std::string& out)
    {
        ++pos_;  // the opening quote
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_];
            if (c == '\n') return fail("text not closed before the end of the line");
            if (c == '\\' && pos_ + 1 < text_.size()) {
                const char next = text_[++pos_];
                switch (next) {
                    case 'n':
                        c = '\n';
                        break;
                    case 't':
                        c = '\t';
                        break;
                    default:
                        c = next;
                        break;  // \" and \\ and anything else: the character itself
                }
            }
            out += c;
            ++pos_;
        }
        if (pos_ >= text_.size()) return fail("text not closed");
        ++pos_;  // the closing quote
        return true;
    }

    const std::string& text_;
    DclError* error_;
    size_t pos_ = 0;
    int line_ = 1;
};

// ---- Syntax ----

// A tile as written, before its prototype is looked up.
struct RawTile {
    std::string base;
    int line = 0;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<RawTile> children;
};

struct RawDefinition {
    std::string name;
    RawTile tile;
};

class Parser {
public:
    Parser(std::vector<Token> tokens, DclError* error) : tokens_(std::move(tokens)), error_(error) {}

    bool run(std::vector<RawDefinition>& definitions)
    {
        while (peek().kind != Token::End) {
            if (peek().kind == Token::Include) {  // other files' prototypes are not read
                next();
                if (next().kind != Token::String) return fail("a file name in quotes must follow @include");
                continue;
            }
            RawDefinition definition;
            const Token& name = next();
            if (name.kind != Token::Word)
                return fail("a tile definition 'name : kind { ... }' was expected", name);
            definition.name = name.text;
            if (!expect(":")) return false;
            const Token& base = next();
            if (base.kind != Token::Word) return fail("a tile kind must follow ':'", base);
            definition.tile.base = base.text;
            definition.tile.line = name.line;
            if (!expect("{") || !read_body(definition.tile, 1)) return false;
            definitions.push_back(std::move(definition));
        }
        return true;
    }

private:
    const Token& peek(int ahead = 0) const
    {
        const size_t at = std::min(pos_ + ahead, tokens_.size() - 1);
        return tokens_[at];
    }
    const Token& next()
    {
        const Token& token = peek();
        if (pos_ < tokens_.size() - 1) ++pos_;
        return token;
    }
    bool is_punct(const Token& token, const char* text) const
    {
        return token.kind == Token::Punct && token.text == text;
    }
    bool fail(const std::string& message, const Token& at)
    {
        error_->line = at.line;
        error_->message = message;
        return false;
    }
    bool fail(const std::string& message) { return fail(message, peek()); }
    bool expect(const char* punct)
    {
        if (is_punct(peek(), punct)) {
            next();
            return true;
        }
        const Token& found = peek();
        return fail(std::string("'") + punct + "' expected, found " + describe(found), found);
    }
    static std::string describe(const Token& token)
    {
        switch (token.kind) {
            case Token::End:
                return "the end of the file";
            case Token::String:
                return "\"" + token.text + "\"";
            default:
                return "'" + token.text + "'";
        }
    }

    // The attributes and children of a tile up to its closing brace; depth is
    // how many tiles are open around them.
    bool read_body(RawTile& tile, int depth)
    {
        while (true) {
            const Token& token = peek();
            if (is_punct(token, "}")) {
                next();
                if (is_punct(peek(), ";")) next();  // "};" is written by some authors
                return true;
            }
            if (token.kind == Token::End) return fail("'}' expected before the end of the file", token);
            if (is_punct(token, ":")) {  // ": kind { ... }"
                next();
                RawTile child;
                const Token& base = next();
                if (base.kind != Token::Word) return fail("a tile kind must follow ':'", base);
                child.base = base.text;
                child.line = base.line;
                if (depth >= kDclNestingLimit)
                    return fail("tiles nested deeper than " + std::to_string(kDclNestingLimit) + " levels",
                                base);
                if (!expect("{") || !read_body(child, depth + 1)) return false;
                tile.children.push_back(std::move(child));
                continue;
            }
            if (token.kind != Token::Word)
                return fail("an attribute or a tile was expected, found " + describe(token), token);
            if (is_punct(peek(1), "=")) {  // attribute = value;
                const std::string name = next().text;
                next();
                const Token& value = next();
                if (value.kind != Token::String && value.kind != Token::Word && value.kind != Token::Number)
                    return fail("a value must follow '" + name + " ='", value);
                tile.attributes.emplace_back(name, value.text);
                if (!expect(";")) return false;
                continue;
            }
            if (is_punct(peek(1), ";")) {  // a tile by its prototype's name alone: "ok_cancel;"
                RawTile child;
                child.base = next().text;
                child.line = token.line;
                next();
                tile.children.push_back(std::move(child));
                continue;
            }
            return fail("'=' or ';' expected after '" + token.text + "'", peek(1));
        }
    }

    std::vector<Token> tokens_;
    DclError* error_;
    size_t pos_ = 0;
};

// ---- Prototypes ----

DclTile make_tile(const std::string& kind, std::map<std::string, std::string> attributes = {},
                  std::vector<DclTile> children = {})
{
    DclTile tile;
    tile.kind = kind;
    tile.attributes = std::move(attributes);
    tile.children = std::move(children);
    return tile;
}

DclTile ok_button()
{
    return make_tile("button", {{"key", "accept"}, {"label", "OK"}, {"is_default", "true"}});
}
DclTile cancel_button()
{
    return make_tile("button", {{"key", "cancel"}, {"label", "Cancel"}, {"is_cancel", "true"}});
}
DclTile help_button()
{
    return make_tile("button", {{"key", "help"}, {"label", "Help..."}});
}
DclTile error_tile()
{
    return make_tile("text", {{"key", "error"}, {"label", ""}});
}

// The host's own prototypes; nullopt for a name that is none of them.
std::optional<DclTile> builtin_prototype(const std::string& name)
{
    if (name == "ok_button") return ok_button();
    if (name == "cancel_button") return cancel_button();
    if (name == "help_button") return help_button();
    if (name == "errtile") return error_tile();
    if (name == "ok_only") return make_tile("row", {}, {ok_button()});
    if (name == "ok_cancel") return make_tile("row", {}, {ok_button(), cancel_button()});
    if (name == "ok_cancel_help") return make_tile("row", {}, {ok_button(), cancel_button(), help_button()});
    if (name == "ok_cancel_help_errtile")
        return make_tile("column", {},
                         {make_tile("row", {}, {ok_button(), cancel_button(), help_button()}), error_tile()});
    if (name == "spacer_0" || name == "spacer_1") return make_tile("spacer");
    if (name == "default_button" || name == "retirement_button")
        return make_tile("button", {{"is_default", "true"}});
    if (name == "info_button") return make_tile("button", {{"key", "info"}, {"label", "Info..."}});
    if (name == "default_dcl_settings") return make_tile("settings");
    return std::nullopt;
}

class Resolver {
public:
    Resolver(const std::vector<RawDefinition>& definitions, DclError* error) : error_(error)
    {
        for (const RawDefinition& definition : definitions) by_name_[definition.name] = &definition;
    }

    bool resolve(const RawTile& raw, DclTile& out)
    {
        // Prototypes add to the nesting written in the file: a chain of them is
        // as deep as the stack lets it be.
        struct Level {
            int& depth;
            explicit Level(int& d) : depth(++d) {}
            ~Level() { --depth; }
        } level(depth_);
        if (depth_ > 2 * kDclNestingLimit)
            return fail(raw.line, "tiles and the prototypes they are built on nested deeper than " +
                                      std::to_string(2 * kDclNestingLimit) + " levels");
        if (container_kinds().count(raw.base) || leaf_kinds().count(raw.base)) {
            out = make_tile(raw.base);
        } else if (auto builtin = builtin_prototype(raw.base)) {
            out = *builtin;
        } else if (const auto found = by_name_.find(raw.base); found != by_name_.end()) {
            // A prototype built on itself, directly or through others, has no end.
            if (!resolving_.insert(raw.base).second)
                return fail(raw.line, "prototype '" + raw.base + "' is built on itself");
            bool resolved = resolve(found->second->tile, out);
            resolving_.erase(raw.base);
            if (!resolved) return false;
        } else {
            return fail(raw.line, "unknown tile kind '" + raw.base + "'");
        }
        out.line = raw.line;
        for (const auto& [name, value] : raw.attributes) out.attributes[name] = value;
        if (!raw.children.empty() && !dcl_is_container(out.kind))
            return fail(raw.line, "a " + out.kind + " cannot hold other tiles");
        for (const RawTile& child : raw.children) {
            if (++tiles_ > kDclTileLimit)
                return fail(child.line, "the tiles come to more than " + std::to_string(kDclTileLimit) +
                                            " once their prototypes are resolved");
            DclTile tile;
            if (!resolve(child, tile)) return false;
            out.children.push_back(std::move(tile));
        }
        return true;
    }

private:
    bool fail(int line, const std::string& message)
    {
        error_->line = line;
        error_->message = message;
        return false;
    }

    DclError* error_;
    std::map<std::string, const RawDefinition*> by_name_;
    std::set<std::string> resolving_;  // prototypes being resolved, outermost first
    long tiles_ = 0;                   // tiles made so far inside others
    int depth_ = 0;                    // resolve calls open
};

}  // namespace

bool dcl_is_container(const std::string& kind)
{
    return container_kinds().count(kind) > 0;
}

bool dcl_is_radio_cluster(const std::string& kind)
{
    return kind == "radio_row" || kind == "radio_column" || kind == "boxed_radio_row" ||
           kind == "boxed_radio_column";
}

std::optional<DclFile> parse_dcl(const std::string& text, const std::string& path, DclError* error)
{
    DclError local;
    if (!error) error = &local;
    error->path = path;
    std::vector<Token> tokens;
    if (!Lexer(text, error).run(tokens)) return std::nullopt;
    std::vector<RawDefinition> definitions;
    if (!Parser(std::move(tokens), error).run(definitions)) return std::nullopt;

    DclFile file;
    file.path = path;
    Resolver resolver(definitions, error);
    for (const RawDefinition& definition : definitions) {
        DclTile tile;
        if (!resolver.resolve(definition.tile, tile)) return std::nullopt;
        if (tile.kind == "dialog")
            file.dialogs[definition.name] = std::move(tile);
        else
            file.prototypes[definition.name] = std::move(tile);
    }
    return file;
}

}  // namespace host
