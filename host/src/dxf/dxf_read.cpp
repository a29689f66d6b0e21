// The DXF reader: text DXF of this host or of another program (any version
// that writes the usual sections) into a drawing. Handles, owners and subclass
// markers are structure of the file, not of the drawing, and are left out;
// entity types and tables the host does not model are skipped and counted.
//
// The text is read once, front to back, one object (a group 0 and the groups
// up to the next one) at a time, so the time grows with the file and the
// memory with the drawing. Reading stops at "0 EOF": what follows it is not
// part of the drawing.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string_view>
#include <unordered_map>

#include "db/entities.h"
#include "db/text_encoding.h"
#include "dxf/dxf.h"
#include "dxf/dxf_kept.h"
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

std::string hex_text(std::uint64_t value)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%llX", (unsigned long long)value);
    return buffer;
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

    size_t lines_read() const { return line_; }

private:
    std::string_view text_;
    size_t at_ = 0;
    size_t line_ = 0;

    bool at_end() const { return at_ >= text_.size(); }

    bool line(std::string_view& out)
    {
        if (at_end()) return false;
        // Lines are short: a plain look for the line end beats a call per line.
        const char* begin = text_.data() + at_;
        const char* end = text_.data() + text_.size();
        const char* found = begin;
        while (found != end && *found != '\n') ++found;
        const size_t length = size_t(found - begin);
        at_ += length + (found != end ? 1 : 0);
        ++line_;
        out = std::string_view(begin, length);
        // Carriage returns ending a line belong to its line end, however many
        // there are: the writer gives a value's own ones as "^M".
        while (!out.empty() && out.back() == '\r') out.remove_suffix(1);
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
        last_type_ = slots_[current_].type;
        last_line_ = slots_[current_].line;
        return &slots_[current_];
    }

    // Whether the text ended with its "0 EOF"; the lines read, and the type and
    // line of the last object taken, which tell where a text cut short ends.
    bool reached_eof() const { return eof_; }
    size_t lines_read() const { return tags_.lines_read(); }
    const std::string& last_type() const { return last_type_; }
    size_t last_line() const { return last_line_; }

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
            ended_ = eof_ = true;  // what follows the end is no part of the drawing
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
    bool eof_ = false;
    std::string last_type_;
    size_t last_line_ = 0;
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
            if ((unsigned char)c >= 0x80 || c == '^' || c == '\\') return text_from_file(value, page_, true);
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
    std::shared_ptr<DxfKept> kept_ = std::make_shared<DxfKept>();
    DxfReadResult result_;
    std::map<std::string, int> skipped_;
    std::set<long> from_file_;  // records the file gave (a later record of the same name is a duplicate)
    const CodePage* page_ = &default_code_page();  // of the file's texts; nullptr for UTF-8
    // Of the object convert() read last: its handle and its reactor groups.
    std::uint64_t handle_ = 0;
    std::string reactors_;
    // Of a HATCH that convert() read last: the handles of each path's source objects.
    std::vector<std::vector<std::uint64_t>> hatch_links_;
    std::string own_subclass_;  // the last subclass marker of the object, but AcDbEntity

    const Object* next() { return objects_.next(); }
    const Object* peek() { return objects_.peek(); }
    static std::string value_of(const Object& o, int code);
    void note(const std::string& text) { result_.notes.push_back(text); }
    void choose_code_page(const std::vector<Tag>& tags);

    // The object's groups; false (with the reason noted) when a number in it
    // cannot go into the drawing.
    bool convert(const Object& o, Entity& entity);
    void take_hatch_link(const Tag& tag);
    void take_application_group(GroupReader& groups, size_t line);
    // What the file gave of a HATCH or INSERT of the host beside its groups:
    // a HATCH's counts that differ from what it holds are named, and its
    // links to its source objects kept; an INSERT's multiple-insert marker.
    void keep_entity_extras(const Object& o, Entity& entity);
    void after_added(const Object& o, long id);
    std::string subclass_given_;  // of an INSERT, when its rows and columns call for the other
    // Resolves the links of associative hatches once every entity is read.
    void resolve_hatch_links();
    Group read_colour(GroupReader& groups, const Object& o);
    // The object as the file has it, for writing back; its handle is taken
    // unless it is a header variable's value.
    KeptObject keep(const Object& o, bool handle = true);
    // An entity or table record as it is kept: one of a file before AC1015
    // gets the subclass markers later versions need, or is marked as one the
    // writer cannot place.
    KeptObject keep_entity_object(const Object& o);
    KeptObject keep_record_object(const Object& o);
    bool legacy_file() const { return kept_->version.empty() || kept_->version < "AC1015"; }
    std::uint64_t handle_value(std::string_view text);
    // The file's handle and reactors of what convert() read last go with the host's id.
    void remember(long id);
    long last_in(long owner) const;
    void keep_entity(long owner, const Object& o, const std::string& kind);

    void read_header(const Object& section);
    void read_tables();
    void read_record(const Object& o, const std::string& table);
    void keep_table_head(const Object& o, const std::string& table);
    // The groups of a table record that the host does not model; with
    // all_but_name, every group of it but its name (a block record's).
    void keep_record_groups(const Object& o, long id, bool all_but_name);
    void read_blocks();
    void read_outside_blocks();
    void read_outside_sections();
    void root_dictionary_first();
    // The file's BLOCK_RECORD handles: of a block the host keeps (its id), of a
    // layout's block (its place in kept_->layout_blocks).
    std::unordered_map<std::uint64_t, long> block_of_record_;
    std::unordered_map<std::uint64_t, size_t> layout_of_record_;
    std::map<std::uint64_t, KeptLayoutBlock> waiting_for_layout_;
    // The names of the layouts' records the tables kept, by handle, as far as indexed.
    std::unordered_map<std::uint64_t, std::string> layout_record_names_;
    size_t layout_records_indexed_ = 0;
    void take_waiting_entities(std::uint64_t owner, KeptLayoutBlock* layout);
    void keep_block_entity_groups(const Object& o, int which, bool xdata_taken,
                                  DxfKept::BlockEntityGroups& out);
    // Reads entities up to ENDSEC, or in a block definition up to ENDBLK (not
    // taken); into the layout block when one is given.
    void read_entities(long owner, bool in_block, KeptLayoutBlock* layout);
    void keep_section(std::vector<KeptObject>& objects);
    bool section_ends_early();
    void note_cut_short(const std::string& section);
    void complete();
    void drop(long id, long before, long owner);
    // Puts an entity's groups into their normal form; those of the types whose
    // layout follows from their codes by the plan of their codes.
    void normalize(Entity& entity);
    dxf::PlanCache plans_;
};

void Reader::normalize(Entity& entity)
{
    const dxf::LayoutPlan* plan = plans_.find(entity);
    if (!plan) {
        dxf_normalize(entity, *drawing_);
        return;
    }
    if (plan->in_order) return;  // as this host writes them
    std::vector<Group> ordered;
    ordered.reserve(plan->steps.size());
    for (const dxf::LayoutPlan::Step& step : plan->steps)
        ordered.push_back(std::move(entity.groups[step.index]));
    entity.groups = std::move(ordered);
}

std::string Reader::value_of(const Object& o, int code)
{
    for (const Tag& tag : o.tags)
        if (tag.code == code) return std::string(tag.value);
    return "";
}

std::uint64_t Reader::handle_value(std::string_view text)
{
    const std::uint64_t value = parse_handle(text);
    kept_->max_handle = std::max(kept_->max_handle, value);
    return value;
}

KeptObject Reader::keep(const Object& o, bool handle)
{
    KeptObject kept;
    kept.type = o.type;
    size_t size = 0;
    for (const Tag& tag : o.tags) size += tag.value.size() + 6;
    kept.groups.reserve(size);
    for (const Tag& tag : o.tags) {
        if (handle && (tag.code == 105 || (tag.code == 5 && o.type != "DIMSTYLE")) && !kept.handle)
            kept.handle = handle_value(tag.value);
        kept.groups += std::to_string(tag.code);
        kept.groups += '\n';
        if (is_ascii(tag.value))
            kept.groups += tag.value;
        else
            kept.groups += code_page_text(tag.value, page_);
        kept.groups += '\n';
    }
    return kept;
}

KeptObject Reader::keep_entity_object(const Object& o)
{
    bool markers = false;
    long flags = 0;
    for (const Tag& tag : o.tags) {
        if (tag.code == 100) markers = true;
        if (tag.code == 70)
            std::from_chars(trimmed(tag.value).data(), trimmed(tag.value).data() + trimmed(tag.value).size(),
                            flags);
    }
    if (markers || !legacy_file()) return keep(o);
    dxf::LegacySubclasses spec;
    if (!dxf::legacy_subclasses(o.type, flags, spec)) {
        KeptObject kept = keep(o);
        kept.legacy = true;
        return kept;
    }
    // The groups under their markers in the file's order: handle first, then
    // the common part, then each subclass.
    auto listed = [&](size_t subclass, int code) {
        const auto& codes = spec.codes[subclass];
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    };
    auto subclass_of = [&](int code) -> size_t {
        // A coordinate goes with its point's x.
        if (code >= 20 && code <= 28) code -= 10;
        if (code >= 30 && code <= 37) code -= 20;
        if (code == 220 || code == 230) code = 210;
        if (dxf::is_common_entity_code(code)) return 0;
        for (size_t i = 1; i < spec.codes.size(); ++i)
            if (listed(i, code)) return i;
        return spec.codes.size() - 1;
    };
    Object ordered;
    ordered.type = o.type;
    ordered.line = o.line;
    std::vector<std::string> markers_text = spec.markers;
    for (const Tag& tag : o.tags)
        if (tag.code == 5) ordered.tags.push_back(tag);
    for (size_t i = 0; i < spec.markers.size(); ++i) {
        ordered.tags.push_back({100, markers_text[i], o.line});
        for (const Tag& tag : o.tags)
            if (tag.code != 5 && tag.code < 1000 && subclass_of(tag.code) == i) ordered.tags.push_back(tag);
    }
    for (const Tag& tag : o.tags)
        if (tag.code >= 1000) ordered.tags.push_back(tag);
    return keep(ordered);
}

// The subclass marker of a table's records; nullptr for a table this host
// does not know.
const char* record_marker(const std::string& type)
{
    static const std::map<std::string, const char*> kMarkers = {
        {"VPORT", "AcDbViewportTableRecord"}, {"LTYPE", "AcDbLinetypeTableRecord"},
        {"LAYER", "AcDbLayerTableRecord"},    {"STYLE", "AcDbTextStyleTableRecord"},
        {"VIEW", "AcDbViewTableRecord"},      {"UCS", "AcDbUCSTableRecord"},
        {"APPID", "AcDbRegAppTableRecord"},   {"DIMSTYLE", "AcDbDimStyleTableRecord"},
    };
    auto found = kMarkers.find(type);
    return found == kMarkers.end() ? nullptr : found->second;
}

KeptObject Reader::keep_record_object(const Object& o)
{
    bool markers = false;
    for (const Tag& tag : o.tags) markers = markers || tag.code == 100;
    if (!legacy_file() || markers) return keep(o);
    // A record of a file before AC1015 gets the markers later versions need:
    // its handle first, then the markers, then its groups as the file has them.
    const char* marker = record_marker(o.type);
    if (!marker) {
        KeptObject kept = keep(o);
        kept.legacy = true;
        return kept;
    }
    Object ordered;
    ordered.type = o.type;
    ordered.line = o.line;
    const int handle_code = o.type == "DIMSTYLE" ? 105 : 5;
    for (const Tag& tag : o.tags)
        if (tag.code == handle_code) ordered.tags.push_back(tag);
    ordered.tags.push_back({100, "AcDbSymbolTableRecord", o.line});
    ordered.tags.push_back({100, marker, o.line});
    for (const Tag& tag : o.tags)
        if (tag.code != handle_code) ordered.tags.push_back(tag);
    return keep(ordered);
}

void Reader::remember(long id)
{
    if (handle_) kept_->handles.add(id, handle_);
    if (!reactors_.empty()) kept_->reactors[id] = std::move(reactors_);
}

long Reader::last_in(long owner) const
{
    if (!owner) return drawing_->model.empty() ? 0 : drawing_->model.back();
    auto found = drawing_->block_entities.find(owner);
    return found == drawing_->block_entities.end() || found->second.empty() ? 0 : found->second.back();
}

void Reader::keep_entity(long owner, const Object& o, const std::string& kind)
{
    kept_->entities[owner][last_in(owner)].push_back(keep_entity_object(o));
    ++kept_->counts[kind];
}

bool Reader::convert(const Object& o, Entity& entity)
{
    entity = Entity();
    entity.type = o.type;
    entity.groups.reserve(o.tags.size());
    handle_ = 0;
    reactors_.clear();
    hatch_links_.clear();
    own_subclass_.clear();
    bool own_part = false;  // past the common part, in the entity's own subclass
    GroupReader groups(o.tags, 0, o.tags.size(), page_);
    try {
        while (!groups.done()) {
            const Tag& tag = groups.peek();
            if (tag.code == 100) {
                own_part = trimmed(tag.value) != "AcDbEntity";
                if (own_part) own_subclass_ = std::string(trimmed(tag.value));
            } else if (own_part && o.type == "HATCH") {
                take_hatch_link(tag);
            }
            if (tag.code == 102 && !tag.value.empty() && tag.value[0] == '{') {
                // References owned by another application: kept for writing back, unseen by commands.
                take_application_group(groups, tag.line);
                continue;
            }
            if (tag.code >= 1000) {
                if (tag.code == 1001) {
                    // An application's name is a text as any other: the writer puts it in
                    // the code page and writes control characters as "^" pairs.
                    entity.xdata.push_back({std::string(trimmed(groups.read().text)), {}});
                    continue;
                }
                if (entity.xdata.empty()) {  // extended data without its application
                    groups.skip();
                    continue;
                }
                entity.xdata.back().items.push_back(groups.read());
                continue;
            }
            if ((tag.code == 5 || tag.code == 105) && !handle_) handle_ = handle_value(tag.value);
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

// A 102 group ("{NAME" ... "}") goes to the reactor groups as the file has it.
// One that a subclass marker, another group or the object's end cuts short is
// ended there, so that the saved file reads back the same.
void Reader::take_application_group(GroupReader& groups, size_t line)
{
    reactors_ += "102\n" + std::string(groups.peek().value) + "\n";
    groups.skip();
    while (!groups.done()) {
        const Tag& member = groups.peek();
        const std::string_view value = trimmed(member.value);
        if (member.code == 100 || (member.code == 102 && !value.empty() && value[0] == '{')) break;
        reactors_ += std::to_string(member.code) + "\n" + std::string(member.value) + "\n";
        groups.skip();
        if (member.code == 102) return;
    }
    note(at_line(line) + "a 102 group has no end (\"}\"); it is ended before the groups that follow it");
    reactors_ += "102\n}\n";
}

// A HATCH's paths begin with their type (92), and the objects a path came
// from follow its count of them as links (330).
void Reader::take_hatch_link(const Tag& tag)
{
    if (tag.code == 92) hatch_links_.emplace_back();
    if (tag.code == 330 && !hatch_links_.empty())
        if (std::uint64_t handle = handle_value(tag.value)) hatch_links_.back().push_back(handle);
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
// variable's group. Every one is kept as the file has it; the host takes the
// values of those it knows.
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
        // Kept in UTF-8 as the kept groups are, and written back as they are.
        std::string variable = code_page_text(trimmed(tags[i++].value), page_);
        size_t end = i;
        while (end < tags.size() && tags[end].code != 9) ++end;
        if (i < end && variable.size() > 1 && variable[0] == '$') {
            Object value;
            value.tags.assign(tags.begin() + long(i), tags.begin() + long(end));
            kept_->header.push_back({trimmed_upper(variable), keep(value, false).groups});
            GroupReader groups(tags, i, end, page_);
            try {
                const size_t line = tags[i].line;
                result_.header.push_back({upper(variable.substr(1)), groups.read(), line});
            } catch (const BadNumber& bad) {
                note(std::string(bad.what()) + "; the header variable " + variable +
                     " is left at its default");
            }
        }
        i = end;
    }
    while (!section_ends_early())
        if (const Object* o = next(); !o || o->type == "ENDSEC") return;
}

// Files of AC1021 and later are UTF-8; older ones name their code page.
void Reader::choose_code_page(const std::vector<Tag>& tags)
{
    std::string version, code_page;
    size_t code_page_line = 0;
    for (size_t i = 0; i + 1 < tags.size(); ++i) {
        if (tags[i].code != 9) continue;
        std::string name = trimmed_upper(tags[i].value);
        // Both are written back, so they are read as every value is: "^" pairs decoded.
        if (name == "$ACADVER") version = caret_decoded(trimmed_upper(tags[i + 1].value));
        if (name == "$DWGCODEPAGE") {
            code_page = caret_decoded(trimmed(tags[i + 1].value));
            code_page_line = tags[i + 1].line;
        }
    }
    kept_->version = version;
    kept_->code_page = code_page;
    page_ = file_code_page(version, code_page);
    if (page_ == &as_read_code_page())
        note(at_line(code_page_line) + "the code page " + quoted(std::string_view(code_page)) +
             " is not one this host knows; texts are shown as read and written back unchanged");
}

// A section (or the file's end) before this one's ENDSEC: the section ended
// there, and the next is read as a section of its own.
bool Reader::section_ends_early()
{
    const Object* ahead = peek();
    if (!ahead || (ahead->type != "SECTION" && ahead->type != "EOF")) return false;
    note(at_line(ahead->line) + "a section ends without its ENDSEC");
    return true;
}

void Reader::keep_section(std::vector<KeptObject>& objects)
{
    while (peek() && !section_ends_early()) {
        const Object* o = next();
        if (o->type == "ENDSEC") return;
        objects.push_back(keep(*o));
        if (o->type != "LAYOUT") continue;
        // A paper-space layout: its name is the 1 of its AcDbLayout part.
        bool layout_part = false;
        for (const Tag& tag : o->tags) {
            if (tag.code == 100) layout_part = trimmed(tag.value) == "AcDbLayout";
            if (tag.code != 1 || !layout_part) continue;
            if (trimmed_upper(tag.value) != "MODEL") ++kept_->counts["layout"];
            break;
        }
    }
}

void Reader::read_record(const Object& o, const std::string& table)
{
    Entity record;
    if (!convert(o, record)) return;
    std::string name = record.text(2);
    if (name.empty() && table == "STYLE") {
        // A shape file's style has no name; line types point at it by its handle.
        kept_->records[table].push_back(keep_record_object(o));
        return;
    }
    if (name.empty()) {
        ++skipped_[table + " record without a name"];
        return;
    }
    if (table == "LTYPE" && (upper(name) == "BYBLOCK" || upper(name) == "BYLAYER")) {
        kept_->records[table].push_back(keep_record_object(o));  // the writer's own ones otherwise
        return;
    }
    record.type = table;
    long existing = drawing_->find_record(table, name);
    if (existing) {
        if (from_file_.count(existing)) {  // a duplicate name: the first one stands
            ++skipped_[table + " record of a name given before"];
            return;
        }
        Entity* stored = drawing_->get(existing);
        dxf_normalize(record, *drawing_);
        // find_record matched the stored record; give it the file's spelling and groups.
        stored->groups = std::move(record.groups);
        stored->xdata = record.xdata;
        from_file_.insert(existing);
        remember(existing);
        keep_record_groups(o, existing, false);
        return;
    }
    Entity& added = drawing_->add_record(table, record);
    dxf_normalize(added, *drawing_);
    from_file_.insert(added.id);
    remember(added.id);
    keep_record_groups(o, added.id, false);
}

void Reader::keep_table_head(const Object& o, const std::string& table)
{
    if (kept_->table_heads.count(table)) return;  // a table given twice: the first head stands
    Object braces, tail;
    bool counted = false, in_braces = false;
    // A 102 group that opens without a "}" after it is no dictionary link; it stays in its place.
    size_t last_close = 0;
    for (size_t i = 0; i < o.tags.size(); ++i)
        if (o.tags[i].code == 102 && trimmed(o.tags[i].value) == "}") last_close = i;
    for (size_t at = 0; at < o.tags.size(); ++at) {
        const Tag& tag = o.tags[at];
        if (!in_braces && tag.code == 102 && !tag.value.empty() && trimmed(tag.value)[0] == '{' &&
            at < last_close)
            in_braces = true;
        if (in_braces) {
            braces.tags.push_back(tag);
            if (tag.code == 102 && trimmed(tag.value) == "}") in_braces = false;
            continue;
        }
        if (counted) {
            tail.tags.push_back(tag);
        } else if (tag.code == 70) {
            counted = true;
        } else if (tag.code >= 1000 ||
                   (tag.code != 2 && tag.code != 5 && tag.code != 330 && tag.code != 100)) {
            tail.tags.push_back(tag);  // a head without its count, or groups before it
        }
    }
    if (braces.tags.empty() && tail.tags.empty()) return;
    kept_->table_heads[table] = {keep(braces, false).groups, keep(tail, false).groups};
}

void Reader::keep_record_groups(const Object& o, long id, bool all_but_name)
{
    std::vector<KeptRecordGroups> kept;
    Object run;
    // The record's own group before the run: its code and which of that code it is.
    int last_code = 0;
    std::map<int, size_t> seen;
    bool in_braces = false, owner = false;
    auto close_run = [&]() {
        if (run.tags.empty()) return;
        kept.push_back({last_code, last_code ? seen[last_code] : 0, keep(run, false).groups});
        run.tags.clear();
    };
    for (const Tag& tag : o.tags) {
        if (tag.code >= 1000) break;  // extended data, which the host keeps
        if (tag.code == 102 && !tag.value.empty() && trimmed(tag.value)[0] == '{') in_braces = true;
        if (in_braces) {  // kept with the reactors
            if (tag.code == 102 && trimmed(tag.value) == "}") in_braces = false;
            continue;
        }
        if (tag.code == 5 || tag.code == 105 || tag.code == 100 || tag.code == 102) continue;
        if (tag.code == 330 && !owner) {
            owner = true;
            continue;
        }
        bool host_keeps = all_but_name ? tag.code == 2 : !dxf::is_structure_code(tag.code);
        if (host_keeps) {
            close_run();
            if (!is_coordinate_code(tag.code)) ++seen[last_code = tag.code];
            continue;
        }
        run.tags.push_back(tag);
    }
    close_run();
    if (!kept.empty() || all_but_name) kept_->record_groups[id] = std::move(kept);
}

void Reader::read_tables()
{
    std::string table;
    Entity entry;
    while (!section_ends_early()) {
        const Object* o = next();
        if (!o || o->type == "ENDSEC") return;
        if (o->type == "TABLE") {
            table = trimmed_upper(code_page_text(value_of(*o, 2), page_));  // as the file has it
            kept_->table_order.push_back(table);
            if (std::uint64_t handle = handle_value(value_of(*o, 5))) kept_->table_handles[table] = handle;
            keep_table_head(*o, table);
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
            if (name.empty() || is_layout_block(upper(name))) {
                kept_->records[table].push_back(keep_record_object(*o));
                continue;
            }
            if (drawing_->find_record("BLOCK", name)) {
                ++skipped_["BLOCK_RECORD of a name given before"];
                continue;
            }
            Entity record;
            record.type = "BLOCK";
            record.groups = {Group::of_text(2, name), Group::of_int(70, 0), Group::of_point(10, {})};
            record.xdata = entry.xdata;
            const long id = drawing_->add_record("BLOCK", record).id;
            if (handle_) block_of_record_[handle_] = id;
            remember(id);
            keep_record_groups(*o, id, true);
        } else if (!table.empty()) {
            // VPORT, VIEW, UCS, DIMSTYLE and tables the host does not know.
            kept_->records[table].push_back(keep_record_object(*o));
            // Dimension styles of the drawing's own are worth naming; the rest is the file's setup.
            if (table == "DIMSTYLE" && upper(value_of(*o, 2)) != "STANDARD")
                ++kept_->counts["dimension style"];
        }
    }
}

void Reader::read_blocks()
{
    Entity begin;
    while (!section_ends_early()) {
        const Object* ahead = peek();
        if (!ahead) return;
        if (ahead->type == "ENDSEC") {
            next();
            return;
        }
        if (ahead->type != "BLOCK") {
            read_outside_blocks();
            continue;
        }
        const Object* o = next();
        const size_t line = o->line;
        KeptObject begin_object = keep(*o);
        if (!convert(*o, begin)) begin = Entity();
        std::string name = begin.text(2);
        if (name.empty() || is_layout_block(upper(name))) {
            KeptLayoutBlock layout;
            layout.begin = std::move(begin_object);
            read_entities(0, true, &layout);
            if (const Object* end = peek(); end && end->type == "ENDBLK")
                layout.end = keep(*next());
            else
                note(at_line(line) + "the block \"" + name + "\" ends without its ENDBLK");
            const std::uint64_t record = handle_value(kept_value(layout.begin, 330));
            take_waiting_entities(record, &layout);
            layout_of_record_[record] = kept_->layout_blocks.size();
            if (layout.end.type.empty()) {  // the one it lacked, owned as its BLOCK is
                layout.end.type = "ENDBLK";
                layout.end.groups = "330\n" + kept_value(layout.begin, 330) + "\n100\nAcDbEntity\n" +
                                    (kept_value(layout.begin, 67).empty() ? "" : "67\n1\n") +
                                    "8\n0\n100\nAcDbBlockEnd\n";
            }
            if (upper(name).find("PAPER_SPACE") != std::string::npos)
                kept_->counts["paper space entity"] += long(layout.entities.size());
            kept_->layout_blocks.push_back(std::move(layout));
            continue;
        }
        const std::uint64_t begin_handle = handle_;
        long id = drawing_->find_record("BLOCK", name);
        // A block the tables named has its extended data there; the BLOCK's own stays with the BLOCK.
        const bool record_given = id != 0;
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
        if (!record_given && record->xdata.empty()) record->xdata = begin.xdata;
        DxfKept::BlockEntityGroups own;
        keep_block_entity_groups(*o, 0, !record_given, own);
        read_entities(id, true, nullptr);
        std::uint64_t end_handle = 0;
        if (const Object* end = peek(); end && end->type == "ENDBLK") {
            end_handle = handle_value(value_of(*end, 5));
            keep_block_entity_groups(*end, 1, false, own);
            next();
        } else {
            note(at_line(line) + "the block \"" + name + "\" ends without its ENDBLK");
        }
        if (begin_handle || end_handle) kept_->block_ends[id] = {begin_handle, end_handle};
        if (!own.common[0].empty() || !own.common[1].empty() || !own.xdata[0].empty() ||
            !own.xdata[1].empty())
            kept_->block_entity_groups[id] = std::move(own);
    }
}

// The common groups and extended data of a BLOCK (which 0) or ENDBLK (1) as
// the file had them, when they are more than the layer "0" that the writer
// gives; extended data that went to the block's record is not kept twice.
void Reader::keep_block_entity_groups(const Object& o, int which, bool xdata_taken,
                                      DxfKept::BlockEntityGroups& out)
{
    Object common, xdata;
    bool layer = false, plain = true;
    for (const Tag& tag : o.tags) {
        if (tag.code >= 1000) {
            if (!xdata_taken) xdata.tags.push_back(tag);
        } else if (dxf::is_common_entity_code(tag.code)) {
            common.tags.push_back(tag);
            layer = layer || tag.code == 8;
            plain = plain && tag.code == 8 && trimmed(tag.value) == "0";
        }
    }
    if (!layer) common.tags.insert(common.tags.begin(), Tag{8, "0", o.line});
    if (!plain) out.common[which] = keep(common, false).groups;
    if (!xdata.tags.empty()) out.xdata[which] = keep(xdata, false).groups;
}

// Entities between the blocks of the BLOCKS section: those whose owner (330)
// is a block of the file are read into it, others are left out; either is said.
void Reader::read_outside_blocks()
{
    const Object* o = peek();
    const size_t line = o->line;
    const std::string type = o->type;
    if (type == "ENDBLK") {
        note(at_line(line) + "an ENDBLK without its BLOCK is left out");
        next();
        return;
    }
    const std::uint64_t owner = handle_value(value_of(*o, 330));
    if (auto block = block_of_record_.find(owner); owner && block != block_of_record_.end()) {
        note(at_line(line) + "entities outside any block are read into the block \"" +
             drawing_->get(block->second)->text(2) + "\", which they name as their owner");
        read_entities(block->second, true, nullptr);
        return;
    }
    if (auto layout = layout_of_record_.find(owner); owner && layout != layout_of_record_.end()) {
        KeptLayoutBlock& block = kept_->layout_blocks[layout->second];
        const std::string name = kept_value(block.begin, 2);
        note(at_line(line) + "entities outside any block are read into the block \"" + name +
             "\", which they name as their owner");
        const size_t before = block.entities.size();
        read_entities(0, true, &block);
        if (upper(name).find("PAPER_SPACE") != std::string::npos)
            kept_->counts["paper space entity"] += long(block.entities.size() - before);
        return;
    }
    // The block of a layout whose record the tables gave comes later: they wait for it.
    if (auto records = kept_->records.find("BLOCK_RECORD"); owner && records != kept_->records.end()) {
        for (; layout_records_indexed_ < records->second.size(); ++layout_records_indexed_) {
            const KeptObject& record = records->second[layout_records_indexed_];
            if (record.handle) layout_record_names_.emplace(record.handle, kept_value(record, 2));
        }
        if (auto record = layout_record_names_.find(owner); record != layout_record_names_.end()) {
            note(at_line(line) + "entities outside any block are read into the block \"" + record->second +
                 "\", which they name as their owner");
            read_entities(0, true, &waiting_for_layout_[owner]);
            return;
        }
    }
    note(at_line(line) + "a " + type +
         " outside any block names no block of the file as its owner; it is left out");
    ++skipped_[type + " outside any block"];
    next();
}

// Entities that waited for their layout's block go after its own; those whose
// block never came are said to be left out.
void Reader::take_waiting_entities(std::uint64_t owner, KeptLayoutBlock* layout)
{
    auto waiting = waiting_for_layout_.find(owner);
    if (waiting == waiting_for_layout_.end()) return;
    for (KeptObject& entity : waiting->second.entities) layout->entities.push_back(std::move(entity));
    waiting_for_layout_.erase(waiting);
}

void Reader::read_entities(long owner, bool in_block, KeptLayoutBlock* layout)
{
    // What the VERTEX, ATTRIB and SEQEND entities that follow belong to.
    enum class Chain { None, Polyline, Kept, Attributes, LeftOut } chain = Chain::None;
    long polyline = 0;  // the host's POLYLINE of a Polyline chain
    long insert = 0;    // the host's INSERT of an Attributes chain
    // A chain the file left open gets its end.
    auto end_chain = [&] {
        if (chain == Chain::Polyline) {
            Entity seqend;
            seqend.type = "SEQEND";
            Entity scratch;
            seqend.groups = {Group::of_text(8, drawing_->look(polyline, scratch)->layer())};
            seqend.parent = polyline;
            drawing_->add(seqend, owner);
        }
        chain = Chain::None;
    };
    Entity entity;
    while (const Object* o = peek()) {
        if ((in_block && o->type == "ENDBLK") || o->type == "ENDSEC" || o->type == "EOF") {
            end_chain();
            return;
        }
        // A block or section that begins here ends this one, which lacks its end
        // (the readers of blocks and sections say so); so do the objects, whose
        // first is a dictionary, after entities that lack their ENDSEC and the
        // objects' SECTION.
        if ((in_block && o->type == "BLOCK") || o->type == "SECTION" ||
            (!in_block && o->type == "DICTIONARY")) {
            end_chain();
            return;
        }
        next();
        if (layout) {
            layout->entities.push_back(keep_entity_object(*o));
            continue;
        }
        const std::string& type = o->type;
        if (type == "VERTEX" || type == "SEQEND" || type == "ATTRIB") {
            bool ends = type == "SEQEND";
            switch (chain) {
                case Chain::Kept:
                    kept_->entities[owner][last_in(owner)].push_back(keep_entity_object(*o));
                    break;
                case Chain::Attributes:
                    kept_->attributes[insert].push_back(keep_entity_object(*o));
                    if (type == "ATTRIB") ++kept_->counts["ATTRIB"];
                    break;
                case Chain::LeftOut:
                    if (!ends) ++skipped_[type + " of an entity left out"];
                    break;
                case Chain::Polyline:
                    if (type == "ATTRIB") {
                        ++skipped_["ATTRIB among the vertices of a POLYLINE"];
                        break;
                    }
                    if (!convert(*o, entity)) break;  // noted
                    entity.parent = polyline;
                    normalize(entity);
                    remember(drawing_->add(std::move(entity), owner));
                    break;
                case Chain::None:
                    ++skipped_[type + " without its POLYLINE or INSERT"];
                    break;
            }
            if (ends) chain = Chain::None;
            continue;
        }
        end_chain();  // a main entity ends any chain before it
        // Paper space and the types the host does not model are kept as they are.
        bool paper = false;
        for (const Tag& tag : o->tags)
            if (tag.code == 67) paper = trimmed(tag.value) == "1";
        if (paper || !dxf::is_known_entity_type(type) || type == "VERTEX" || type == "SEQEND") {
            keep_entity(owner, *o, paper ? "paper space entity" : type);
            chain = Chain::Kept;
            continue;
        }
        if (!convert(*o, entity)) {
            chain = Chain::LeftOut;
            continue;
        }
        bool attributes_follow = type == "INSERT" && entity.integer(66, 0) == 1;
        keep_entity_extras(*o, entity);
        normalize(entity);
        const long added = drawing_->add(std::move(entity), owner);
        remember(added);
        after_added(*o, added);
        if (type == "POLYLINE") {
            polyline = added;
            chain = Chain::Polyline;
        } else if (attributes_follow) {
            insert = added;
            chain = Chain::Attributes;
        }
    }
    end_chain();
}

void Reader::keep_entity_extras(const Object& o, Entity& entity)
{
    subclass_given_.clear();
    if (o.type == "INSERT" &&
        (own_subclass_ == "AcDbMInsertBlock" || own_subclass_ == "AcDbBlockReference") &&
        own_subclass_ != dxf::insert_subclass(entity.groups))
        subclass_given_ = own_subclass_;
    if (o.type != "HATCH") return;
    std::vector<std::string> said = dxf::mend_hatch_counts(entity.groups);
    if (said.empty()) return;
    std::string text;
    for (const std::string& part : said) text += (text.empty() ? "" : ", ") + part;
    std::uint64_t handle = handle_;
    note(at_line(o.line) + "the HATCH" + (handle ? " (handle " + hex_text(handle) + ")" : std::string()) +
         " declares other counts than it holds (" + text + "); it is kept with what it holds");
}

void Reader::after_added(const Object& o, long id)
{
    if (!subclass_given_.empty()) kept_->insert_subclasses[id] = subclass_given_;
    if (o.type != "HATCH") return;
    bool any = false;
    for (const auto& path : hatch_links_) any = any || !path.empty();
    if (!any) return;
    DxfKept::HatchLinks& links = kept_->hatch_links[id];
    for (const auto& path : hatch_links_) {
        links.paths.emplace_back();
        for (std::uint64_t handle : path) links.paths.back().push_back({handle, 0});
    }
}

// A link names a host entity by the file's handle, or an object kept as the
// file had it; one that names what the drawing does not hold is left out,
// and said.
void Reader::resolve_hatch_links()
{
    if (kept_->hatch_links.empty()) return;
    std::set<std::uint64_t> kept_handles;
    auto add = [&](const std::vector<KeptObject>& objects) {
        for (const KeptObject& object : objects)
            if (object.handle) kept_handles.insert(object.handle);
    };
    for (const auto& [container, lists] : kept_->entities)
        for (const auto& [after, objects] : lists) add(objects);
    for (const KeptLayoutBlock& layout : kept_->layout_blocks) add(layout.entities);
    long lost = 0;
    for (auto& [hatch, links] : kept_->hatch_links)
        for (auto& path : links.paths) {
            std::vector<DxfKept::HatchLink> found;
            for (DxfKept::HatchLink link : path) {
                link.id = kept_->handles.id_of(link.handle);
                if (link.id && drawing_->store.contains(link.id))
                    found.push_back(link);
                else if (!link.id && kept_handles.count(link.handle))
                    found.push_back({link.handle, 0});
                else
                    ++lost;
            }
            path = std::move(found);
        }
    if (lost)
        note("links of associative HATCHes to their boundaries name objects the drawing does not hold; " +
             std::to_string(lost) + (lost == 1 ? " link is" : " links are") + " left out");
}

// Objects between the sections, whose section lost its head: entities are read
// as model space's, objects as the OBJECTS section's; what belongs to no
// section of its own (a table, a class) is left out. Each is said.
void Reader::read_outside_sections()
{
    const Object* o = peek();
    const size_t line = o->line;
    const std::string type = o->type;
    bool entity = dxf::is_known_entity_type(type);
    for (const Tag& tag : o->tags)
        if (tag.code == 100 && trimmed(tag.value) == "AcDbEntity") entity = true;
    entity = entity && type != "DICTIONARY";  // which begins the objects, whatever it holds
    static const std::set<std::string> kStructure = {"ENDSEC", "TABLE", "ENDTAB", "BLOCK",
                                                     "ENDBLK", "CLASS", "SEQEND"};
    if (!entity && kStructure.count(type)) {
        note(at_line(line) + "a " + type + " outside any section is left out");
        ++skipped_[type + " outside any section"];
        next();
        return;
    }
    if (entity) {
        note(at_line(line) + "entities outside any section are read into model space");
        read_entities(0, false, nullptr);
    } else {
        note(at_line(line) + "objects outside any section are read as those of the OBJECTS section");
        keep_section(kept_->objects);
        return;  // its ENDSEC is taken
    }
    if (const Object* end = peek(); end && end->type == "ENDSEC") next();
}

// The root dictionary (the one no object owns) comes first among the objects,
// where readers look for it.
void Reader::root_dictionary_first()
{
    auto& objects = kept_->objects;
    auto is_root = [](const KeptObject& object) {
        return object.type == "DICTIONARY" && trimmed(kept_value(object, 330)) == "0";
    };
    if (objects.empty() || is_root(objects.front())) return;
    auto root = std::find_if(objects.begin(), objects.end(), is_root);
    if (root == objects.end()) return;
    note("the root dictionary (handle " + hex_text(root->handle) +
         ") is not the first object of the OBJECTS section; it is put first");
    std::rotate(objects.begin(), root, root + 1);
}

// Leaves an entity out of the drawing; what the file kept after it goes after
// the entity before it, and its attributes go with it.
void Reader::drop(long id, long before, long owner)
{
    auto container = kept_->entities.find(owner);
    if (container != kept_->entities.end()) {
        auto after = container->second.find(id);
        if (after != container->second.end()) {
            std::vector<KeptObject> moved = std::move(after->second);
            container->second.erase(after);
            auto& earlier = container->second[before];
            for (auto& object : moved) earlier.push_back(std::move(object));
        }
    }
    if (auto attributes = kept_->attributes.find(id); attributes != kept_->attributes.end()) {
        for (const KeptObject& object : attributes->second)
            if (object.type == "ATTRIB")
                ++skipped_["ATTRIB of an INSERT left out"], --kept_->counts["ATTRIB"];
        kept_->attributes.erase(attributes);
    }
    drawing_->store.erase(id);
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
    // Assigning the list anew only when something is left out keeps what the
    // drawing knows of it (its spatial index) as it is.
    auto check = [&](auto& ids, long owner) {
        std::vector<long> kept;
        kept.reserve(ids.size());
        bool dropped = false;
        Entity scratch;
        for (long id : ids) {
            const Entity* e = drawing_->look(id, scratch);
            if (!e) {
                dropped = true;
                continue;
            }
            if (e->type == "INSERT" && !drawing_->find_record("BLOCK", e->text(2))) {
                ++skipped_["INSERT of a block the file lacks"];
                drop(id, kept.empty() ? 0 : kept.back(), owner);
                dropped = true;
                continue;
            }
            ensure("LAYER", e->layer());
            if (e->type == "TEXT") ensure("STYLE", e->text(7));
            for (const XDataApp& app : e->xdata) ensure("APPID", app.app);
            check_xdata(*e);
            kept.push_back(id);
        }
        if (dropped) ids = std::move(kept);
    };
    check(drawing_->model, 0);
    for (auto& [block, ids] : drawing_->block_entities) check(ids, block);
    for (const auto& table : {"LAYER", "LTYPE", "STYLE", "APPID", "BLOCK"}) {
        auto found = drawing_->tables.find(table);
        if (found == drawing_->tables.end()) continue;
        for (long id : std::vector<long>(found->second)) {
            for (const XDataApp& app : drawing_->get(id)->xdata) ensure("APPID", app.app);
            check_xdata(*drawing_->get(id));
        }
    }
    // Layers that kept entities name, which the file may lack too. The name is
    // read as a record's is ("^" pairs and "\U+XXXX" are its characters, but
    // in a code page no converter knows), so that a layer the file has is
    // found whichever way the entity spells it. Kept groups are in UTF-8 already.
    const CodePage* kept_page = page_ == &as_read_code_page() ? page_ : nullptr;
    auto kept_layer = [&](const KeptObject& object) {
        std::string name = text_from_file(kept_value(object, 8), kept_page, true);
        // A drawing read as UTF-8 and saved in such a code page spells a control
        // character of a layer's name as a "^" pair in its record but keeps the
        // entity's "\U+XXXX": both name the one layer.
        if (kept_page && !drawing_->find_record("LAYER", name)) {
            std::string decoded = unicode_escapes_decoded(name);
            if (decoded != name && drawing_->find_record("LAYER", decoded)) return decoded;
        }
        return name;
    };
    for (const auto& [owner, lists] : kept_->entities)
        for (const auto& [after, objects] : lists)
            for (const KeptObject& object : objects) ensure("LAYER", kept_layer(object));
    for (const auto& [insert, objects] : kept_->attributes)
        for (const KeptObject& object : objects) ensure("LAYER", kept_layer(object));
    for (const auto& [block, own] : kept_->block_entity_groups)
        for (const std::string& common : own.common) ensure("LAYER", kept_layer({"", common}));
}

// A file that ends without its "0 EOF" was cut short (a copy or a save that
// stopped): what it held after its last line is not in the drawing, and the
// last object read may lack groups.
void Reader::note_cut_short(const std::string& section)
{
    const std::string name = code_page_text(section, page_);
    const bool closed = objects_.last_type() == "ENDSEC";
    std::string where = closed ? "after its " + name + " section" : "inside its " + name + " section";
    result_.cut_short = at_line(objects_.lines_read()) + "the file ends here, " + where +
                        ", without the \"0 EOF\" " + "that ends a whole file: what followed was not read";
    if (!closed && !objects_.last_type().empty() && objects_.last_type() != "SECTION")
        result_.cut_short += ", and the " + code_page_text(objects_.last_type(), page_) + " at line " +
                             std::to_string(objects_.last_line()) + " may lack some of its values";
}

DxfReadResult Reader::read(size_t size_hint)
{
    // Room for as many entities as the file could hold (one takes 60 bytes or
    // more), so that model space's list is never copied as it grows; what is
    // not used is never touched.
    drawing_->model.reserve(size_hint / 60);
    const Object* first = peek();
    if (!first || first->type != "SECTION") throw ReadError("the file does not start with a section");
    bool any_section = false;
    std::string section;  // the last one started
    while (const Object* o = peek()) {
        if (o->type == "EOF") break;
        if (o->type != "SECTION") {
            read_outside_sections();
            continue;
        }
        next();
        any_section = true;
        std::string name = trimmed_upper(value_of(*o, 2));
        section = name;
        if (name == "HEADER") {
            read_header(*o);
        } else if (name == "CLASSES") {
            keep_section(kept_->classes);
        } else if (name == "TABLES") {
            read_tables();
        } else if (name == "BLOCKS") {
            read_blocks();
        } else if (name == "ENTITIES") {
            read_entities(0, false, nullptr);
            if (const Object* end = peek(); end && end->type == "ENDSEC")
                next();
            else if (end && !section_ends_early())  // which says so itself
                note(at_line(end->line) + "a section ends without its ENDSEC");
        } else if (name == "OBJECTS") {
            keep_section(kept_->objects);
        } else {
            // THUMBNAILIMAGE, ACDSDATA, ...: the groups after the name, then the objects.
            Object head;
            bool named = false;
            for (const Tag& tag : o->tags) {
                if (tag.code == 2 && !named)
                    named = true;
                else
                    head.tags.push_back(tag);
            }
            kept_->sections.push_back({code_page_text(name, page_), {}, keep(head, false).groups});
            keep_section(kept_->sections.back().objects);
        }
    }
    if (!any_section) throw ReadError("the file holds no section");
    root_dictionary_first();
    for (const KeptLayoutBlock* layout : layout_blocks_without_record(*kept_))
        note("the file lacks the block record (handle " + trimmed_upper(kept_value(layout->begin, 330)) +
             ") of the block \"" + kept_value(layout->begin, 2) + "\"; it is made anew from the block");
    for (const auto& [owner, waiting] : waiting_for_layout_) {
        note("the block of the layout record (handle " + hex_text(owner) + ") is missing; " +
             std::to_string(waiting.entities.size()) + " entities that name it as their owner are left out");
        for (const KeptObject& entity : waiting.entities)
            ++skipped_[entity.type + " of a missing layout block"];
    }
    if (!objects_.reached_eof()) note_cut_short(section);
    complete();
    resolve_hatch_links();
    for (const auto& [what, count] : skipped_) result_.skipped.push_back(std::to_string(count) + " " + what);
    result_.drawing = std::move(drawing_);
    result_.kept = std::move(kept_);
    return std::move(result_);
}

}  // namespace

namespace {

bool looks_like_dxf_text(std::string_view text)
{
    try {
        TagReader tags(text);
        Tag tag;
        return tags.next(tag) && tag.code == 0 && trimmed_upper(tag.value) == "SECTION";
    } catch (const ReadError&) {
        return false;
    }
}

DxfReadResult read_text(std::string_view text)
{
    DxfReadResult result;
    if (text.substr(0, 18) == "AutoCAD Binary DXF") {
        result.error = "binary DXF files cannot be read; save it as text DXF";
        return result;
    }
    if (!looks_like_dxf_text(text)) {
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

// A file's text as the reader sees it: the file mapped into memory, read once
// front to back, so that reading it costs neither a copy nor memory of its own.
class MappedFile {
public:
    explicit MappedFile(const std::string& path)
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat st;
        if (::fstat(fd, &st) == 0 && st.st_size > 0) {
            size_ = size_t(st.st_size);
            void* at = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (at != MAP_FAILED) {
                data_ = static_cast<const char*>(at);
                ::madvise(at, size_, MADV_SEQUENTIAL);
            }
        }
        readable_ = data_ || (::fstat(fd, &st) == 0 && st.st_size == 0);
        ::close(fd);
    }
    ~MappedFile()
    {
        if (data_) ::munmap(const_cast<char*>(data_), size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool readable() const { return readable_; }
    std::string_view text() const { return data_ ? std::string_view(data_, size_) : std::string_view(); }

private:
    const char* data_ = nullptr;
    size_t size_ = 0;
    bool readable_ = false;
};

}  // namespace

bool looks_like_dxf(const std::string& text)
{
    return looks_like_dxf_text(text);
}

DxfReadResult dxf_read(const std::string& text)
{
    return read_text(text);
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
    const MappedFile file(path);
    if (!file.readable()) {
        result.error = "cannot read it";
        return result;
    }
    return read_text(file.text());
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
