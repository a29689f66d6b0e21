// The DXF reader: text DXF of this host or of another program (any version
// that writes the usual sections) into a drawing. Handles, owners and subclass
// markers are structure of the file, not of the drawing, and are left out;
// entity types and tables the host does not model are skipped and counted.
//
// The text is read once, front to back, one object (a group 0 and the groups
// up to the next one) at a time, so the time grows with the file and the
// memory with the drawing. Reading stops at "0 EOF": what follows it is not
// part of the drawing.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string_view>

#include "db/entities.h"
#include "db/text_encoding.h"
#include "dxf/dxf.h"
#include "dxf/dxf_layout.h"

namespace host {

namespace {

struct Tag {
    int code = 0;
    std::string_view value;
    size_t line = 0;  // of the value
};

std::string upper(std::string text)
{
    for (char& c : text) c = char(std::toupper((unsigned char)c));
    return text;
}

std::string_view trimmed(std::string_view text)
{
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return {};
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

std::string trimmed_upper(std::string_view text)
{
    std::string out(trimmed(text));
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

struct ReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string at_line(size_t line)
{
    return "line " + std::to_string(line) + ": ";
}

std::string quoted(std::string_view value)
{
    return "\"" + std::string(value.substr(0, 40)) + "\"";
}

// The file's lines as code and value pairs, one pair at a time. A code line
// that is no number, or a code without its value, ends the read.
class TagReader {
public:
    explicit TagReader(std::string_view text) : text_(text)
    {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") text_.remove_prefix(3);
    }

    // The next pair that is not a comment (999); false at the end of the text.
    bool next(Tag& tag)
    {
        for (;;) {
            std::string_view code_line;
            if (!line(code_line)) return false;
            std::string_view code_text = trimmed(code_line);
            if (code_text.empty() && at_end()) return false;
            int code = 0;
            auto [ptr, ec] = std::from_chars(code_text.data(), code_text.data() + code_text.size(), code);
            if (ec != std::errc() || ptr != code_text.data() + code_text.size() || code_text.empty())
                throw ReadError(at_line(line_) + "a group code was expected, not " + quoted(code_text));
            std::string_view value;
            if (!line(value)) throw ReadError(at_line(line_) + "the file ends after a group code");
            if (code == 999) continue;
            tag = {code, value, line_};
            return true;
        }
    }

private:
    std::string_view text_;
    size_t at_ = 0;
    size_t line_ = 0;

    bool at_end() const { return at_ >= text_.size(); }

    bool line(std::string_view& out)
    {
        if (at_end()) return false;
        const char* begin = text_.data() + at_;
        const void* found = std::memchr(begin, '\n', text_.size() - at_);
        size_t length = found ? size_t(static_cast<const char*>(found) - begin) : text_.size() - at_;
        at_ += length + (found ? 1 : 0);
        ++line_;
        out = std::string_view(begin, length);
        if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
        return true;
    }
};

// One object of the file: its type (group 0, upper case) and the groups up to
// the next group 0.
struct Object {
    std::string type;
    std::vector<Tag> tags;
    size_t line = 0;
};

// The objects of the file in order, with one of look-ahead. A pointer that
// next() or peek() gives stays valid until the next call of next() after it.
class ObjectReader {
public:
    explicit ObjectReader(std::string_view text) : tags_(text) {}

    const Object* next()
    {
        if (!peek()) return nullptr;
        peeked_ = false;
        current_ = 1 - current_;
        return &slots_[current_];
    }

    const Object* peek()
    {
        if (peeked_) return &slots_[1 - current_];
        if (ended_) return nullptr;
        Object& o = slots_[1 - current_];
        if (!have_pending_ && !tags_.next(pending_)) {
            ended_ = true;
            return nullptr;
        }
        have_pending_ = false;
        if (pending_.code != 0)
            throw ReadError(at_line(pending_.line) + "the file does not start with a section");
        o.type = trimmed_upper(pending_.value);
        o.line = pending_.line;
        o.tags.clear();
        if (o.type == "EOF") {
            ended_ = true;  // what follows the end is no part of the drawing
        } else {
            Tag tag;
            while (tags_.next(tag)) {
                if (tag.code == 0) {
                    pending_ = tag;
                    have_pending_ = true;
                    break;
                }
                o.tags.push_back(tag);
            }
        }
        peeked_ = true;
        return &o;
    }

private:
    TagReader tags_;
    Object slots_[2];
    int current_ = 0;
    bool peeked_ = false;
    bool ended_ = false;
    Tag pending_;
    bool have_pending_ = false;
};

// A number that cannot go into the drawing, with why.
struct BadNumber : std::runtime_error {
    using std::runtime_error::runtime_error;
};

double parse_real(const Tag& tag)
{
    std::string_view text = trimmed(tag.value);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        throw BadNumber(at_line(tag.line) + quoted(tag.value) + " is out of the range of numbers");
    if (ec != std::errc() || ptr != text.data() + text.size() || text.empty())
        throw ReadError(at_line(tag.line) + quoted(tag.value) + " is no number");
    if (!std::isfinite(value))
        throw BadNumber(at_line(tag.line) + quoted(tag.value) + " is no finite number");
    return value;
}

// A whole number of the code's kind: 16-bit codes hold -32768 to 32767, 32-bit
// ones -2147483648 to 2147483647.
long parse_integer(const Tag& tag, ValueKind kind)
{
    std::string_view text = trimmed(tag.value);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    long long value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || text.empty()) {
        // Some programs write whole numbers as reals.
        double real = parse_real(tag);
        if (real != std::floor(real))
            throw ReadError(at_line(tag.line) + quoted(tag.value) + " is no whole number");
        if (std::fabs(real) > 9e18)
            throw BadNumber(at_line(tag.line) + quoted(tag.value) + " is out of the range of group " +
                            std::to_string(tag.code));
        value = (long long)real;
    }
    const long long low = kind == ValueKind::Int16 ? SHRT_MIN : INT32_MIN;
    const long long high = kind == ValueKind::Int16 ? SHRT_MAX : INT32_MAX;
    if (value < low || value > high)
        throw BadNumber(at_line(tag.line) + quoted(tag.value) + " is out of the range of group " +
                        std::to_string(tag.code) + " (" + std::to_string(low) + " to " +
                        std::to_string(high) + ")");
    return long(value);
}

// The writer's "^" pairs back into the characters they stand for.
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

// The blocks of model and paper space (older files spell them with "$").
bool is_layout_block(const std::string& upper_name)
{
    for (const char* prefix : {"*MODEL_SPACE", "*PAPER_SPACE", "$MODEL_SPACE", "$PAPER_SPACE"})
        if (upper_name.rfind(prefix, 0) == 0) return true;
    return false;
}

bool is_point_code(int code)
{
    return (code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 ||
           (code >= 1010 && code <= 1013);
}

// The y and z of a point whose x has not come before them (10 to 17, 110 to 112, 210).
bool is_coordinate_code(int code)
{
    return (code >= 20 && code <= 37) || (code >= 120 && code <= 122) || (code >= 130 && code <= 132) ||
           code == 220 || code == 230;
}

// The groups of one object, read in order. A point's y and z usually follow
// its x; files of some programs give them later (10, 11, 20, 21), so a
// coordinate that does not follow is looked for further on, up to the next x
// of the same code.
class GroupReader {
public:
    // Texts are in the code page (nullptr: UTF-8).
    GroupReader(const std::vector<Tag>& tags, size_t begin, size_t end, const CodePage* page)
        : tags_(tags), page_(page), at_(begin), end_(end)
    {
    }

    bool done()
    {
        while (at_ < end_ && taken(at_)) ++at_;
        return at_ >= end_;
    }
    const Tag& peek() const { return tags_[at_]; }
    void skip() { ++at_; }
    size_t place() const { return at_; }

    Group read()
    {
        const Tag& tag = tags_[at_++];
        int code = tag.code;
        if (is_point_code(code)) {
            Point3 p;
            p.x = parse_real(tag);
            p.y = coordinate(code, code + 10);
            p.z = coordinate(code, code + 20);
            return Group::of_point(code, p);
        }
        ValueKind kind = value_kind(code);
        switch (kind) {
            case ValueKind::Real:
                return Group::of_real(code, parse_real(tag));
            case ValueKind::Int16:
            case ValueKind::Int32:
                return Group::of_int(code, parse_integer(tag, kind));
            case ValueKind::Point:
                return Group::of_point(code, {parse_real(tag), 0, 0});
            case ValueKind::Name:
            case ValueKind::Text:
                break;
        }
        return Group::of_text(code, decoded_text(tag.value));
    }

private:
    const std::vector<Tag>& tags_;
    const CodePage* page_;
    size_t at_, end_;

    std::string decoded_text(std::string_view value) const
    {
        for (char c : value)
            if ((unsigned char)c >= 0x80 || c == '^' || c == '\\')
                return text_from_file(caret_decoded(value), page_);
        return std::string(value);
    }
    std::vector<bool> taken_;  // coordinates taken out of order; empty while none are

    bool taken(size_t i) const { return !taken_.empty() && taken_[i]; }

    // The value of the coordinate `code` of the point whose x has code `x_code`; 0 when none.
    double coordinate(int x_code, int code)
    {
        if (at_ < end_ && tags_[at_].code == code && !taken(at_)) return parse_real(tags_[at_++]);
        for (size_t i = at_; i < end_; ++i) {
            if (tags_[i].code == x_code) break;
            if (tags_[i].code != code || taken(i)) continue;
            if (taken_.empty()) taken_.assign(tags_.size(), false);
            taken_[i] = true;
            return parse_real(tags_[i]);
        }
        return 0;
    }
};

class Reader {
public:
    explicit Reader(std::string_view text) : objects_(text) {}
    DxfReadResult read(size_t size_hint);

private:
    ObjectReader objects_;
    std::unique_ptr<Drawing> drawing_ = std::make_unique<Drawing>();
    DxfReadResult result_;
    std::map<std::string, int> skipped_;
    std::set<long> from_file_;  // records the file gave (a later record of the same name is a duplicate)

    const Object* next() { return objects_.next(); }
    const Object* peek() { return objects_.peek(); }
    static std::string value_of(const Object& o, int code);
    // The object's groups; false (with the reason noted) when a number in it
    // cannot go into the drawing.
    bool convert(const Object& o, Entity& entity);
    void note(const std::string& text) { result_.notes.push_back(text); }
    const CodePage* page_ = &default_code_page();  // of the file's texts; nullptr for UTF-8
    void choose_code_page(const std::vector<Tag>& tags);
    Group read_colour(GroupReader& groups, const Object& o);

    void read_header(const Object& section);
    void read_tables();
    void read_record(const Object& o, const std::string& table);
    void read_blocks();
    // Reads entities up to ENDSEC, or in a block definition up to ENDBLK (not taken).
    void read_entities(long owner, bool keep, bool in_block);
    void skip_section();
    void complete();
};

std::string Reader::value_of(const Object& o, int code)
{
    for (const Tag& tag : o.tags)
        if (tag.code == code) return std::string(tag.value);
    return "";
}

bool Reader::convert(const Object& o, Entity& entity)
{
    entity = Entity();
    entity.type = o.type;
    entity.groups.reserve(o.tags.size());
    GroupReader groups(o.tags, 0, o.tags.size(), page_);
    try {
        while (!groups.done()) {
            const Tag& tag = groups.peek();
            if (tag.code == 102 && !tag.value.empty() && tag.value[0] == '{') {
                // A group of references owned by another application: not kept.
                while (!groups.done() && !(groups.peek().code == 102 && trimmed(groups.peek().value) == "}"))
                    groups.skip();
                if (!groups.done()) groups.skip();
                continue;
            }
            if (tag.code >= 1000) {
                if (tag.code == 1001) {
                    entity.xdata.push_back({std::string(trimmed(tag.value)), {}});
                    groups.skip();
                    continue;
                }
                if (entity.xdata.empty()) {  // extended data without its application
                    groups.skip();
                    continue;
                }
                entity.xdata.back().items.push_back(groups.read());
                continue;
            }
            if (dxf::is_structure_code(tag.code) || is_coordinate_code(tag.code)) {
                groups.skip();  // structure of the file, or a coordinate without its x
                continue;
            }
            if (tag.code == 62) {
                entity.groups.push_back(read_colour(groups, o));
                continue;
            }
            entity.groups.push_back(groups.read());
            Group& read = entity.groups.back();
            if (dxf::is_degree_angle(o.type, read.code)) read.real = dxf::degrees_to_radians(read.real);
        }
    } catch (const BadNumber& bad) {
        note(std::string(bad.what()) + "; the " + o.type + " there is left out");
        ++skipped_[o.type + " with a number out of range"];
        return false;
    }
    return true;
}

// Colour numbers run from 0 (by block) to 256 (by layer), negative for a
// layer that is off; another number reads as by layer (as white for a layer).
Group Reader::read_colour(GroupReader& groups, const Object& o)
{
    const Tag& tag = groups.peek();
    const int by_layer = o.type == "LAYER" ? 7 : 256;
    long colour = by_layer;
    std::string why;
    try {
        colour = groups.read().integer;
        if (colour >= -256 && colour <= 256) return Group::of_int(62, colour);
        why = std::to_string(colour) + " is no colour number";
    } catch (const BadNumber&) {
        why = quoted(tag.value) + " is no colour number";
    }
    note(at_line(tag.line) + "the " + o.type + "'s colour " + why + "; it is " +
         (by_layer == 7 ? "white (7)" : "by layer (256)") + " now");
    return Group::of_int(62, by_layer);
}

// The header's variables are the tags of its SECTION object: "9 $NAME" and the
// variable's group.
void Reader::read_header(const Object& section)
{
    const std::vector<Tag>& tags = section.tags;
    choose_code_page(tags);
    size_t i = 0;
    while (i < tags.size()) {
        if (tags[i].code != 9) {
            ++i;
            continue;
        }
        std::string variable(trimmed(tags[i++].value));
        size_t end = i;
        while (end < tags.size() && tags[end].code != 9) ++end;
        if (i < end) {
            GroupReader groups(tags, i, end, page_);
            try {
                Group value = groups.read();
                if (variable.size() > 1 && variable[0] == '$')
                    result_.header.push_back({upper(variable.substr(1)), value});
            } catch (const BadNumber& bad) {
                note(std::string(bad.what()) + "; the header variable " + variable +
                     " is left at its default");
            }
        }
        i = end;
    }
    skip_section();
}

// Files of AC1021 and later are UTF-8; older ones name their code page.
void Reader::choose_code_page(const std::vector<Tag>& tags)
{
    std::string version, code_page;
    size_t code_page_line = 0;
    for (size_t i = 0; i + 1 < tags.size(); ++i) {
        if (tags[i].code != 9) continue;
        std::string name = trimmed_upper(tags[i].value);
        if (name == "$ACADVER") version = trimmed_upper(tags[i + 1].value);
        if (name == "$DWGCODEPAGE") {
            code_page = std::string(trimmed(tags[i + 1].value));
            code_page_line = tags[i + 1].line;
        }
    }
    if (version.size() == 6 && version.rfind("AC", 0) == 0 && version >= "AC1021") {
        page_ = nullptr;
        return;
    }
    if (code_page.empty()) return;
    if (const CodePage* page = find_code_page(code_page)) {
        page_ = page;
        return;
    }
    note(at_line(code_page_line) + "the code page " + quoted(std::string_view(code_page)) +
         " is not one this host knows; texts are read as ANSI_1252");
}

void Reader::skip_section()
{
    while (const Object* o = next())
        if (o->type == "ENDSEC") return;
}

void Reader::read_record(const Object& o, const std::string& table)
{
    Entity record;
    if (!convert(o, record)) return;
    std::string name = record.text(2);
    if (name.empty()) return;
    if (table == "LTYPE" && (upper(name) == "BYBLOCK" || upper(name) == "BYLAYER")) return;
    record.type = table;
    long existing = drawing_->find_record(table, name);
    if (existing) {
        if (from_file_.count(existing)) return;  // a duplicate name: the first one stands
        Entity* stored = drawing_->get(existing);
        dxf_normalize(record, *drawing_);
        stored->groups = std::move(record.groups);
        // find_record matched the stored record; give it the file's spelling and groups.
        stored->xdata = record.xdata;
        from_file_.insert(existing);
        return;
    }
    Entity& added = drawing_->add_record(table, record);
    dxf_normalize(added, *drawing_);
    from_file_.insert(added.id);
}

void Reader::read_tables()
{
    std::string table;
    Entity entry;
    while (const Object* o = next()) {
        if (o->type == "ENDSEC") return;
        if (o->type == "TABLE") {
            table = trimmed_upper(value_of(*o, 2));
            continue;
        }
        if (o->type == "ENDTAB") {
            table.clear();
            continue;
        }
        if (table == "LAYER" || table == "LTYPE" || table == "STYLE" || table == "APPID") {
            read_record(*o, table);
        } else if (table == "BLOCK_RECORD") {
            if (!convert(*o, entry)) continue;
            std::string name = entry.text(2);
            std::string key = upper(name);
            if (name.empty() || is_layout_block(key)) continue;
            if (drawing_->find_record("BLOCK", name)) continue;
            Entity record;
            record.type = "BLOCK";
            record.groups = {Group::of_text(2, name), Group::of_int(70, 0), Group::of_point(10, {})};
            record.xdata = entry.xdata;
            drawing_->add_record("BLOCK", record);
        }
        // VPORT, VIEW, UCS and DIMSTYLE records: the host keeps none of them.
    }
}

void Reader::read_blocks()
{
    Entity begin;
    while (const Object* o = next()) {
        if (o->type == "ENDSEC") return;
        if (o->type != "BLOCK") continue;
        if (!convert(*o, begin)) begin = Entity();
        std::string name = begin.text(2);
        std::string key = upper(name);
        if (name.empty() || is_layout_block(key)) {
            read_entities(0, false, true);
        } else {
            long id = drawing_->find_record("BLOCK", name);
            if (!id) {
                Entity record;
                record.type = "BLOCK";
                id = drawing_->add_record("BLOCK", record).id;
            }
            Entity* record = drawing_->get(id);
            std::vector<Group> groups = {Group::of_text(2, record->text(2, name)),
                                         Group::of_int(70, begin.integer(70, 0)),
                                         Group::of_point(10, begin.point(10))};
            if (!begin.text(1).empty()) groups.push_back(Group::of_text(1, begin.text(1)));
            if (begin.find(4)) groups.push_back(Group::of_text(4, begin.text(4)));
            record->groups = groups;
            if (record->xdata.empty()) record->xdata = begin.xdata;
            read_entities(id, true, true);
        }
        if (const Object* end = peek(); end && end->type == "ENDBLK") next();
    }
}

void Reader::read_entities(long owner, bool keep, bool in_block)
{
    long polyline = 0;            // the POLYLINE whose vertices follow
    bool skipping_chain = false;  // vertices of a polyline that was not kept, or attributes of an insert
    // A chain the file left open gets its end.
    auto end_chain = [&] {
        if (!polyline) return;
        Entity seqend;
        seqend.type = "SEQEND";
        seqend.groups = {Group::of_text(8, drawing_->get(polyline)->layer())};
        seqend.parent = polyline;
        drawing_->add_entity(seqend, owner);
        polyline = 0;
    };
    Entity entity;
    while (const Object* o = peek()) {
        if ((in_block && o->type == "ENDBLK") || o->type == "ENDSEC" || o->type == "EOF") {
            end_chain();
            return;
        }
        next();
        if (!keep) continue;
        const std::string& type = o->type;
        if (type == "VERTEX" || type == "SEQEND" || type == "ATTRIB") {
            if (skipping_chain || !polyline) {
                if (type == "SEQEND") skipping_chain = false;
                if (type == "VERTEX" && !skipping_chain) ++skipped_["VERTEX"];
                continue;
            }
            if (type == "ATTRIB") continue;
            if (!convert(*o, entity)) continue;
            entity.parent = polyline;
            Entity& added = drawing_->add_entity(std::move(entity), owner);
            dxf_normalize(added, *drawing_);
            if (type == "SEQEND") polyline = 0;
            continue;
        }
        end_chain();  // a main entity ends any chain before it
        skipping_chain = false;
        if (!convert(*o, entity)) {
            if (type == "POLYLINE" || type == "INSERT") skipping_chain = true;
            continue;
        }
        bool paper = entity.integer(67, 0) == 1;
        bool attributes_follow = type == "INSERT" && entity.integer(66, 0) == 1;
        if (!dxf::is_known_entity_type(type) || paper) {
            ++skipped_[paper ? "paper space " + type : type];
            if (type == "POLYLINE" || attributes_follow) skipping_chain = true;
            continue;
        }
        dxf_normalize(entity, *drawing_);
        Entity& added = drawing_->add_entity(std::move(entity), owner);
        if (type == "POLYLINE") polyline = added.id;
        if (attributes_follow) skipping_chain = true;
    }
    end_chain();
}

// Layers and styles that entities name but the file lacks are made; a
// reference to a block the file does not define is left out.
void Reader::complete()
{
    auto ensure = [&](const std::string& table, const std::string& name) {
        if (name.empty() || drawing_->find_record(table, name)) return;
        Entity record;
        record.type = table;
        record.groups = {Group::of_text(2, name)};
        Entity& added = drawing_->add_record(table, record);
        dxf_normalize(added, *drawing_);
    };
    // Extended data read from a file is kept as it is, also past the limits
    // that entity functions keep to; the note says where.
    auto check_xdata = [&](const Entity& e) {
        if (e.xdata.empty() || xdata_fits(e.xdata)) return;
        std::string what = e.type;
        if (!e.text(2).empty() && (e.type == "LAYER" || e.type == "BLOCK" || e.type == "STYLE" ||
                                   e.type == "LTYPE" || e.type == "APPID"))
            what += " \"" + e.text(2) + "\"";
        std::string apps;
        for (const XDataApp& app : e.xdata) apps += (apps.empty() ? "" : ", ") + app.app;
        note("the " + what + " holds extended data (" + apps + ") past the limits of " +
             std::to_string(kXDataEntityLimit) + " bytes an entity and " + std::to_string(kXDataStringLimit) +
             " bytes a string; it is kept as the file has it");
    };
    auto check = [&](auto& ids) {
        std::vector<long> kept;
        kept.reserve(ids.size());
        for (long id : ids) {
            Entity* e = drawing_->get(id);
            if (!e) continue;
            if (e->type == "INSERT" && !drawing_->find_record("BLOCK", e->text(2))) {
                ++skipped_["INSERT of a block the file lacks"];
                drawing_->store.erase(id);
                continue;
            }
            ensure("LAYER", e->layer());
            if (e->type == "TEXT") ensure("STYLE", e->text(7));
            for (const XDataApp& app : e->xdata) ensure("APPID", app.app);
            check_xdata(*e);
            kept.push_back(id);
        }
        ids = std::move(kept);
    };
    check(drawing_->model);
    for (auto& [block, ids] : drawing_->block_entities) check(ids);
    for (const auto& table : {"LAYER", "LTYPE", "STYLE", "APPID", "BLOCK"}) {
        auto found = drawing_->tables.find(table);
        if (found == drawing_->tables.end()) continue;
        for (long id : std::vector<long>(found->second)) {
            for (const XDataApp& app : drawing_->get(id)->xdata) ensure("APPID", app.app);
            check_xdata(*drawing_->get(id));
        }
    }
}

DxfReadResult Reader::read(size_t size_hint)
{
    // Not more than one entity in every 64 bytes of a file.
    drawing_->store.reserve(size_hint / 64);
    const Object* first = peek();
    if (!first || first->type != "SECTION") throw ReadError("the file does not start with a section");
    bool any_section = false;
    while (const Object* o = next()) {
        if (o->type == "EOF") break;
        if (o->type != "SECTION") continue;  // stray objects between sections
        any_section = true;
        std::string name = trimmed_upper(value_of(*o, 2));
        if (name == "HEADER") {
            read_header(*o);
        } else if (name == "TABLES") {
            read_tables();
        } else if (name == "BLOCKS") {
            read_blocks();
        } else if (name == "ENTITIES") {
            read_entities(0, true, false);
            if (const Object* end = peek(); end && end->type == "ENDSEC") next();
        } else {
            skip_section();  // CLASSES, OBJECTS, THUMBNAILIMAGE, ACDSDATA: nothing the host keeps
        }
    }
    if (!any_section) throw ReadError("the file holds no section");
    complete();
    for (const auto& [what, count] : skipped_) result_.skipped.push_back(std::to_string(count) + " " + what);
    result_.drawing = std::move(drawing_);
    return std::move(result_);
}

}  // namespace

bool looks_like_dxf(const std::string& text)
{
    try {
        TagReader tags(text);
        Tag tag;
        return tags.next(tag) && tag.code == 0 && trimmed_upper(tag.value) == "SECTION";
    } catch (const ReadError&) {
        return false;
    }
}

DxfReadResult dxf_read(const std::string& text)
{
    DxfReadResult result;
    if (text.rfind("AutoCAD Binary DXF", 0) == 0) {
        result.error = "binary DXF files cannot be read; save it as text DXF";
        return result;
    }
    if (!looks_like_dxf(text)) {
        result.error = "it is not a DXF file";
        return result;
    }
    try {
        return Reader(text).read(text.size());
    } catch (const ReadError& error) {
        result.error = error.what();
        return result;
    }
}

DxfReadResult dxf_read_file(const std::string& path)
{
    DxfReadResult result;
    std::error_code code;
    if (!std::filesystem::exists(path, code)) {
        result.error = "no such file";
        return result;
    }
    if (std::filesystem::is_directory(path, code)) {
        result.error = "it is a folder";
        return result;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        result.error = "cannot read it";
        return result;
    }
    std::string text;
    file.seekg(0, std::ios::end);
    std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size > 0) {
        text.resize(size_t(size));
        file.read(text.data(), size);
        text.resize(size_t(file.gcount()));
    }
    return dxf_read(text);
}

std::string resolve_drawing_file(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path p(path);
    std::string extension = p.extension().string();
    for (char& c : extension) c = char(std::tolower((unsigned char)c));
    if (extension != ".dwg") return path;
    std::error_code code;
    if (fs::exists(p, code)) {
        std::ifstream file(p, std::ios::binary);
        std::string start(4096, '\0');
        file.read(start.data(), std::streamsize(start.size()));
        start.resize(size_t(file.gcount()));
        if (looks_like_dxf(start)) return path;
    }
    fs::path beside = p;
    beside.replace_extension(".dxf");
    if (fs::exists(beside, code)) return beside.string();
    beside.replace_extension(".DXF");
    if (fs::exists(beside, code)) return beside.string();
    return path;
}

}  // namespace host
