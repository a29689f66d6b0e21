// The DXF reader: text DXF of this host or of another program (any version
// that writes the usual sections) into a drawing. Handles, owners and subclass
// markers are structure of the file, not of the drawing, and are left out;
// entity types and tables the host does not model are skipped and counted.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "dxf/dxf.h"
#include "dxf/dxf_layout.h"

namespace host {

namespace {

struct Tag {
    int code = 0;
    std::string value;
    size_t line = 0;
};

std::string upper(std::string text)
{
    for (char& c : text) c = char(std::toupper((unsigned char)c));
    return text;
}

std::string trimmed(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return "";
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

struct ReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string at_line(size_t line)
{
    return "line " + std::to_string(line) + ": ";
}

// The text as code and value pairs; a code line that is no number ends the read.
std::vector<Tag> tokenize(const std::string& text)
{
    std::vector<Tag> tags;
    std::istringstream in(text);
    std::string code_line, value_line;
    size_t line = 0;
    while (std::getline(in, code_line)) {
        ++line;
        std::string code_text = trimmed(code_line);
        if (code_text.empty() && in.peek() == EOF) break;
        if (line == 1 && code_text.rfind("\xEF\xBB\xBF", 0) == 0) code_text = trimmed(code_text.substr(3));
        int code = 0;
        auto [ptr, ec] = std::from_chars(code_text.data(), code_text.data() + code_text.size(), code);
        if (ec != std::errc() || ptr != code_text.data() + code_text.size())
            throw ReadError(at_line(line) + "a group code was expected, not \"" + code_text.substr(0, 40) +
                            "\"");
        if (!std::getline(in, value_line))
            throw ReadError(at_line(line) + "the file ends after a group code");
        ++line;
        if (!value_line.empty() && value_line.back() == '\r') value_line.pop_back();
        if (code == 999) continue;
        tags.push_back({code, value_line, line});
    }
    return tags;
}

double parse_real(const Tag& tag)
{
    std::string text = trimmed(tag.value);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || text.empty())
        throw ReadError(at_line(tag.line) + "\"" + tag.value.substr(0, 40) + "\" is no number");
    return value;
}

long parse_integer(const Tag& tag)
{
    std::string text = trimmed(tag.value);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    long value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && ptr == text.data() + text.size() && !text.empty()) return value;
    // Some programs write whole numbers as reals.
    double real = parse_real(tag);
    if (real != std::floor(real))
        throw ReadError(at_line(tag.line) + "\"" + tag.value.substr(0, 40) + "\" is no whole number");
    return long(real);
}

// The writer's "^" pairs back into the characters they stand for.
std::string caret_decoded(const std::string& text)
{
    if (text.find('^') == std::string::npos) return text;
    std::string out;
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

// Reads the group at tags[i] (a point takes its y and z tags along) and moves i past it.
Group read_group(const std::vector<Tag>& tags, size_t& i, size_t end)
{
    const Tag& tag = tags[i++];
    int code = tag.code;
    if (is_point_code(code)) {
        Point3 p;
        p.x = parse_real(tag);
        if (i < end && tags[i].code == code + 10) p.y = parse_real(tags[i++]);
        if (i < end && tags[i].code == code + 20) p.z = parse_real(tags[i++]);
        return Group::of_point(code, p);
    }
    switch (value_kind(code)) {
        case ValueKind::Real:
            return Group::of_real(code, parse_real(tag));
        case ValueKind::Int16:
        case ValueKind::Int32:
            return Group::of_int(code, parse_integer(tag));
        case ValueKind::Point:
            return Group::of_point(code, {parse_real(tag), 0, 0});
        case ValueKind::Name:
        case ValueKind::Text:
            break;
    }
    return Group::of_text(code, caret_decoded(tag.value));
}

// One object of the file: the tags from its group 0 up to the next group 0.
struct Object {
    std::string type;
    size_t begin = 0, end = 0;  // tags after the 0
    size_t line = 0;
};

class Reader {
public:
    explicit Reader(const std::vector<Tag>& tags) : tags_(tags) {}
    DxfReadResult read();

private:
    const std::vector<Tag>& tags_;
    std::vector<Object> objects_;
    size_t at_ = 0;
    std::unique_ptr<Drawing> drawing_ = std::make_unique<Drawing>();
    DxfReadResult result_;
    std::map<std::string, int> skipped_;
    std::set<long> from_file_;  // records the file gave (a later record of the same name is a duplicate)

    void split();
    const Object* next() { return at_ < objects_.size() ? &objects_[at_++] : nullptr; }
    const Object* peek() const { return at_ < objects_.size() ? &objects_[at_] : nullptr; }
    std::string value_of(const Object& o, int code) const;
    Entity convert(const Object& o) const;

    void read_header(const Object& section);
    void read_tables();
    void read_record(const Object& o, const std::string& table);
    void read_blocks();
    // Reads entities until an object of one of the end types; returns its type.
    void read_entities(long owner, const std::set<std::string>& end_types, bool keep);
    void skip_section();
    void complete();
};

void Reader::split()
{
    for (size_t i = 0; i < tags_.size(); ++i) {
        if (tags_[i].code != 0) {
            if (objects_.empty())
                throw ReadError(at_line(tags_[i].line) + "the file does not start with a section");
            objects_.back().end = i + 1;
            continue;
        }
        objects_.push_back({upper(trimmed(tags_[i].value)), i + 1, i + 1, tags_[i].line});
    }
}

std::string Reader::value_of(const Object& o, int code) const
{
    for (size_t i = o.begin; i < o.end; ++i)
        if (tags_[i].code == code) return tags_[i].value;
    return "";
}

Entity Reader::convert(const Object& o) const
{
    Entity entity;
    entity.type = o.type;
    size_t i = o.begin;
    while (i < o.end) {
        const Tag& tag = tags_[i];
        if (tag.code == 102 && !tag.value.empty() && tag.value[0] == '{') {
            // A group of references owned by another application: not kept.
            while (i < o.end && !(tags_[i].code == 102 && trimmed(tags_[i].value) == "}")) ++i;
            ++i;
            continue;
        }
        if (tag.code >= 1000) {
            if (tag.code == 1001) {
                entity.xdata.push_back({trimmed(tag.value), {}});
                ++i;
                continue;
            }
            if (entity.xdata.empty()) {  // extended data without its application
                ++i;
                continue;
            }
            entity.xdata.back().items.push_back(read_group(tags_, i, o.end));
            continue;
        }
        if (dxf::is_structure_code(tag.code) || (tag.code >= 20 && tag.code <= 37)) {
            ++i;  // structure of the file, or a coordinate without its x
            continue;
        }
        entity.groups.push_back(read_group(tags_, i, o.end));
    }
    return entity;
}

// The header's variables are the tags of its SECTION object: "9 $NAME" and the
// variable's group.
void Reader::read_header(const Object& section)
{
    size_t i = section.begin;
    while (i < section.end) {
        if (tags_[i].code != 9) {
            ++i;
            continue;
        }
        std::string variable = trimmed(tags_[i++].value);
        if (i < section.end && tags_[i].code != 9) {
            Group value = read_group(tags_, i, section.end);
            if (variable.size() > 1 && variable[0] == '$')
                result_.header.push_back({upper(variable.substr(1)), value});
        }
        while (i < section.end && tags_[i].code != 9) ++i;
    }
    skip_section();
}

void Reader::skip_section()
{
    while (const Object* o = next())
        if (o->type == "ENDSEC") return;
}

void Reader::read_record(const Object& o, const std::string& table)
{
    Entity record = convert(o);
    std::string name = record.text(2);
    if (name.empty()) return;
    if (table == "LTYPE" && (upper(name) == "BYBLOCK" || upper(name) == "BYLAYER")) return;
    record.type = table;
    long existing = drawing_->find_record(table, name);
    if (existing) {
        if (from_file_.count(existing)) return;  // a duplicate name: the first one stands
        Entity* stored = drawing_->get(existing);
        stored->groups = dxf_normal_groups(record, *drawing_);
        // find_record matched the stored record; give it the file's spelling and groups.
        stored->xdata = record.xdata;
        from_file_.insert(existing);
        return;
    }
    Entity& added = drawing_->add_record(table, record);
    added.groups = dxf_normal_groups(added, *drawing_);
    from_file_.insert(added.id);
}

void Reader::read_tables()
{
    std::string table;
    while (const Object* o = next()) {
        if (o->type == "ENDSEC") return;
        if (o->type == "TABLE") {
            table = upper(trimmed(value_of(*o, 2)));
            continue;
        }
        if (o->type == "ENDTAB") {
            table.clear();
            continue;
        }
        if (table == "LAYER" || table == "LTYPE" || table == "STYLE" || table == "APPID") {
            read_record(*o, table);
        } else if (table == "BLOCK_RECORD") {
            Entity entry = convert(*o);
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
    while (const Object* o = next()) {
        if (o->type == "ENDSEC") return;
        if (o->type != "BLOCK") continue;
        Entity begin = convert(*o);
        std::string name = begin.text(2);
        std::string key = upper(name);
        if (name.empty() || is_layout_block(key)) {
            read_entities(0, {"ENDBLK", "ENDSEC"}, false);
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
            read_entities(id, {"ENDBLK", "ENDSEC"}, true);
        }
        if (const Object* end = peek(); end && end->type == "ENDBLK") next();
    }
}

void Reader::read_entities(long owner, const std::set<std::string>& end_types, bool keep)
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
    while (const Object* o = peek()) {
        if (end_types.count(o->type)) {
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
            Entity member = convert(*o);
            member.parent = polyline;
            Entity& added = drawing_->add_entity(member, owner);
            added.groups = dxf_normal_groups(added, *drawing_);
            if (type == "SEQEND") polyline = 0;
            continue;
        }
        end_chain();  // a main entity ends any chain before it
        skipping_chain = false;
        Entity entity = convert(*o);
        bool paper = entity.integer(67, 0) == 1;
        bool attributes_follow = type == "INSERT" && entity.integer(66, 0) == 1;
        if (!dxf::is_known_entity_type(type) || paper) {
            ++skipped_[paper ? "paper space " + type : type];
            if (type == "POLYLINE" || attributes_follow) skipping_chain = true;
            continue;
        }
        entity.groups = dxf_normal_groups(entity, *drawing_);
        Entity& added = drawing_->add_entity(entity, owner);
        if (type == "POLYLINE") polyline = added.id;
        if (attributes_follow) skipping_chain = true;
    }
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
        added.groups = dxf_normal_groups(added, *drawing_);
    };
    auto check = [&](auto& ids) {
        std::vector<long> kept;
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
            kept.push_back(id);
        }
        ids = kept;
    };
    check(drawing_->model);
    for (auto& [block, ids] : drawing_->block_entities) check(ids);
    for (const auto& table : {"LAYER", "LTYPE", "STYLE", "APPID", "BLOCK"}) {
        auto found = drawing_->tables.find(table);
        if (found == drawing_->tables.end()) continue;
        for (long id : std::vector<long>(found->second))
            for (const XDataApp& app : drawing_->get(id)->xdata) ensure("APPID", app.app);
    }
}

DxfReadResult Reader::read()
{
    split();
    if (objects_.empty() || objects_.front().type != "SECTION")
        throw ReadError("the file does not start with a section");
    bool any_section = false;
    while (const Object* o = next()) {
        if (o->type == "EOF") break;
        if (o->type != "SECTION") continue;  // stray objects between sections
        any_section = true;
        std::string name = upper(trimmed(value_of(*o, 2)));
        if (name == "HEADER") {
            read_header(*o);
        } else if (name == "TABLES") {
            read_tables();
        } else if (name == "BLOCKS") {
            read_blocks();
        } else if (name == "ENTITIES") {
            read_entities(0, {"ENDSEC"}, true);
            next();
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
    std::istringstream in(text);
    std::string code, value;
    while (std::getline(in, code) && std::getline(in, value)) {
        std::string c = trimmed(code);
        if (c.rfind("\xEF\xBB\xBF", 0) == 0) c = trimmed(c.substr(3));
        if (c == "999") continue;
        return c == "0" && upper(trimmed(value)) == "SECTION";
    }
    return false;
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
        std::vector<Tag> tags = tokenize(text);
        return Reader(tags).read();
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
    std::ostringstream text;
    text << file.rdbuf();
    return dxf_read(text.str());
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
