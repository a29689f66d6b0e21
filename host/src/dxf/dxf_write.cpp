// The DXF writer: the drawing's tables, block definitions, model space and the
// objects the format needs (root dictionary, layouts), with handles given out
// at writing time and owner handles that point where the format wants them.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <unordered_map>

#include "db/text_encoding.h"
#include "dxf/dxf.h"
#include "dxf/dxf_kept.h"
#include "dxf/dxf_layout.h"
#include "dxf/file_replace.h"

namespace host {

namespace {

std::string upper(std::string text)
{
    for (char& c : text) c = char(std::toupper((unsigned char)c));
    return text;
}

// Reals with the fewest digits that read back to the same double, into the
// buffer; returns the end of the text.
char* real_chars(char* buffer, char* end, double value)
{
    char* last = std::to_chars(buffer, end - 2, value).ptr;
    if (std::find_if(buffer, last, [](char c) { return c == '.' || c == 'e' || c == 'E' || c == 'n'; }) ==
        last) {
        *last++ = '.';
        *last++ = '0';
    }
    return last;
}

// An angle the drawing keeps in radians, in degrees for the file. Fifteen
// digits are far finer than any drawing needs and read back to the same text
// when the drawing is saved again.
std::string degrees_text(double radians)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", dxf::radians_to_degrees(radians));
    std::string text(buffer);
    if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
    return text;
}

// Where the text of a file goes: a string, or a file written as the text grows,
// so that writing a large drawing holds only a part of its text at a time.
// The text is gathered in a buffer of its own first, where numbers are
// written in place.
class Sink {
public:
    explicit Sink(std::string& text) : text_(&text) {}
    explicit Sink(int fd) : fd_(fd) {}

    Sink& operator+=(std::string_view part)
    {
        if (part.size() > kBuffer - used_) {
            flush();
            if (part.size() > kBuffer) {
                emit(part.data(), part.size());
                return *this;
            }
        }
        std::memcpy(buffer_.get() + used_, part.data(), part.size());
        used_ += part.size();
        return *this;
    }
    Sink& operator+=(char c)
    {
        if (used_ == kBuffer) flush();
        buffer_[used_++] = c;
        return *this;
    }
    // Room for n characters at the end, to be taken with commit.
    char* room(size_t n)
    {
        if (n > kBuffer - used_) flush();
        return buffer_.get() + used_;
    }
    void commit(char* end) { used_ = size_t(end - buffer_.get()); }
    // How many characters have been written.
    size_t position() const { return flushed_ + used_; }
    // Writes part over what was written at the place.
    void patch(size_t at, std::string_view part)
    {
        if (at >= flushed_) {
            std::memcpy(buffer_.get() + (at - flushed_), part.data(), part.size());
        } else if (text_) {
            text_->replace(at, part.size(), part);
        } else if (ok_ && ::pwrite(fd_, part.data(), part.size(), off_t(at)) != ssize_t(part.size())) {
            fail();
        }
    }
    // Writes what is held back; false with the reason when the file could not be written.
    bool finish(std::string& why)
    {
        flush();
        if (!ok_) why = std::strerror(error_);
        return ok_;
    }

private:
    static constexpr size_t kBuffer = size_t(1) << 20;
    std::unique_ptr<char[]> buffer_ = std::make_unique<char[]>(kBuffer);
    size_t used_ = 0;
    std::string* text_ = nullptr;
    int fd_ = -1;
    size_t flushed_ = 0;
    bool ok_ = true;
    int error_ = 0;

    void fail()
    {
        ok_ = false;
        error_ = errno;
    }
    void flush()
    {
        emit(buffer_.get(), used_);
        used_ = 0;
    }
    void emit(const char* data, size_t n)
    {
        flushed_ += n;
        if (text_) {
            text_->append(data, n);
            return;
        }
        size_t done = 0;
        while (ok_ && done < n) {
            const ssize_t written = ::write(fd_, data + done, n - done);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) fail();
            if (written > 0) done += size_t(written);
        }
    }
};

// A value line cannot hold a line end: control characters are written as "^"
// and the character 64 places on ("^J" for a line feed), and a "^" that would
// read as such a pair as "^ ". Every value goes through here, names too.
// (Into the file, or into a text that is then put into the file's code page.)
template <class Out>
void append_caret_encoded(Out& out, std::string_view text)
{
    size_t plain = 0;
    while (plain < text.size() && (unsigned char)text[plain] >= 0x20 && text[plain] != '^') ++plain;
    if (plain == text.size()) {
        out += text;
        return;
    }
    out += std::string_view(text).substr(0, plain);
    for (size_t i = plain; i < text.size(); ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c < 0x20) {
            out += '^';
            out += char(c + 64);
        } else if (c == '^' && i + 1 < text.size() &&
                   (text[i + 1] == ' ' || (text[i + 1] >= '@' && text[i + 1] <= '_'))) {
            out += "^ ";
        } else {
            out += char(c);
        }
    }
}

class Writer {
public:
    Writer(const Drawing& drawing, const DxfKept* kept, Sink& out) : drawing_(drawing), kept_(kept), out_(out)
    {
    }

    void write(const std::vector<DxfHeaderVariable>& header);
    std::vector<std::string> left_out;

private:
    const Drawing& drawing_;
    const DxfKept* kept_;  // what the file the drawing came from held beside it; null for none
    Sink& out_;
    // Where the value of $HANDSEED goes once the last handle is given out, and
    // how many digits it has there.
    size_t handseed_at_ = 0;
    size_t handseed_digits_ = 0;
    unsigned long next_handle_ = 0x20;
    std::string version_ = "AC1015";
    const CodePage* page_ = &default_code_page();  // texts of the file; nullptr for UTF-8
    // The file's own layout records, blocks and objects are written back (a
    // file of this host or of another program of AC1015 or later); else the
    // writer makes its own.
    bool kept_structure_ = false;
    long characters_replaced_ = 0;
    std::map<std::string, long> legacy_left_out_;  // kept objects of an old file not written, by type

    std::string new_handle() { return hex(next_handle_++); }
    static std::string hex(std::uint64_t handle)
    {
        char buffer[32];
        char* end = std::to_chars(buffer, buffer + sizeof buffer, handle, 16).ptr;
        std::transform(buffer, end, buffer, [](char c) { return char(std::toupper((unsigned char)c)); });
        return std::string(buffer, end);
    }
    // The file's handle of a record or entity, or a new one.
    std::uint64_t handle_value_for(long id)
    {
        if (kept_)
            if (std::uint64_t kept = kept_->handles.find(id)) return kept;
        return next_handle_++;
    }
    std::string handle_for(long id) { return hex(handle_value_for(id)); }
    // The handle written for a record or entity; "0" for one the file does not hold.
    std::string handle_of(long id) const
    {
        if (auto found = h_.of.find(id); found != h_.of.end()) return found->second;
        if (std::optional<size_t> place = model_place(id)) return hex(model_handles_[*place]);
        return "0";
    }
    std::optional<size_t> model_place(long id) const
    {
        const IdList& model = drawing_.model;
        if (model.ascending()) {
            auto at = std::lower_bound(model.begin(), model.end(), id);
            if (at == model.end() || *at != id) return std::nullopt;
            return size_t(at - model.begin());
        }
        auto at = std::find(model.begin(), model.end(), id);
        return at == model.end() ? std::nullopt : std::optional<size_t>(size_t(at - model.begin()));
    }

    void text_value(const std::string& value)
    {
        if (is_ascii(value)) {
            append_caret_encoded(out_, value);
            return;
        }
        // Carets first: a trail byte of a double-byte code page may be a caret.
        std::string carets;
        append_caret_encoded(carets, value);
        std::string encoded = text_for_file(carets, page_);
        if (encoded.find("\\U+FFFD") != std::string::npos && value.find("\xEF\xBF\xBD") == std::string::npos)
            ++characters_replaced_;
        out_ += encoded;
    }
    void code_line(int code)
    {
        char* at = out_.room(16);
        at = std::to_chars(at, at + 15, code).ptr;
        *at++ = '\n';
        out_.commit(at);
    }
    void tag(int code, const std::string& value)
    {
        code_line(code);
        text_value(value);
        out_ += '\n';
    }
    void tag(int code, long value)
    {
        char* at = out_.room(48);
        at = std::to_chars(at, at + 15, code).ptr;
        *at++ = '\n';
        at = std::to_chars(at, at + 31, value).ptr;
        *at++ = '\n';
        out_.commit(at);
    }
    void real(int code, double value)
    {
        char* at = out_.room(96);
        at = std::to_chars(at, at + 15, code).ptr;
        *at++ = '\n';
        at = real_chars(at, at + 64, value);
        *at++ = '\n';
        out_.commit(at);
    }
    void point(int code, const Point3& p, bool flat = false)
    {
        real(code, p.x);
        real(code + 10, p.y);
        if (!flat) real(code + 20, p.z);
    }
    void group(const Group& g, bool flat = false);
    // The groups of a laid-out entity or record, subclass by subclass; a
    // HATCH's paths with the links to their source objects given.
    void body(const dxf::Layout& layout, bool attributes = false, const DxfKept::HatchLinks* links = nullptr);
    // A HATCH path's count of source objects and its links to those the file
    // still holds.
    void hatch_sources(const std::vector<DxfKept::HatchLink>& links);
    // An entity's reactor groups as the file had them, but for the host's
    // entities erased since (an associative hatch that is gone, for one).
    void entity_reactors(const std::string& lines);
    void xdata(const std::vector<XDataApp>& apps);
    // Code and value lines kept from a file, in the texts' encoding of this one.
    void kept_lines(const std::string& lines);
    // A group whose value is kept as the file had it (a kept header variable's or
    // section's name): written as it was, as the kept groups are.
    void kept_tag(int code, const std::string& value)
    {
        kept_lines(std::to_string(code) + "\n" + value + "\n");
    }
    // An object kept from a file; one without a handle of its own gets one
    // (but for a CLASS, which has none, or when give_handle is false), and the
    // owner given.
    void write_kept(const KeptObject& object, const std::string& owner, bool give_handle = true);

    // Handles given out before writing, so references can point forward.
    struct Handles {
        std::map<std::string, std::string> table;  // table name -> head handle
        std::unordered_map<long, std::string> of;  // record or block entity id -> handle
        std::string model_record, paper_record, model_begin, model_end, paper_begin, paper_end;
        std::unordered_map<long, std::pair<std::string, std::string>>
            block_ends;  // BLOCK record -> begin, end
        std::string root, groups, layouts, model_layout, paper_layout, dimstyle;
        std::string vport;
    } h_;
    std::vector<std::uint64_t> model_handles_;  // of model space's entities, in its order

    // Records the file lists, defaults of the format added to the drawing's.
    std::map<std::string, std::vector<Entity>> extra_records_;

    const std::vector<KeptObject>* kept_records(const std::string& table) const
    {
        if (!kept_) return nullptr;
        auto found = kept_->records.find(table);
        if (found == kept_->records.end()) return nullptr;
        // None when the file's version cannot hold any of them: the writer makes its own.
        for (const KeptObject& record : found->second)
            if (!record.legacy) return &found->second;
        return nullptr;
    }
    std::uint64_t kept_record_handle(const std::string& table, const std::string& name) const;
    // The file's block of model space or of the first paper space ("*" or, in
    // older files, "$" and the name given); null for none.
    const KeptLayoutBlock* kept_layout_block(const std::string& name) const
    {
        if (!kept_) return nullptr;
        for (const KeptLayoutBlock& layout : kept_->layout_blocks) {
            const std::string found = upper(kept_value(layout.begin, 2));
            if (found.size() == name.size() + 1 && found.compare(1, name.size(), name) == 0) return &layout;
        }
        return nullptr;
    }
    // The handle of the LAYOUT whose block record is the one given; "0" for none.
    std::string layout_naming(const std::string& record) const;

    void choose_version();
    void assign_handles();
    void add_format_records();
    std::vector<const Entity*> records(const std::string& table) const;
    std::vector<long> block_ids() const;

    void write_header(const std::vector<DxfHeaderVariable>& header);
    size_t handles_yet_to_give() const;
    void write_handseed();
    void write_tables();
    void table_head(const std::string& name, size_t count);
    void write_record(const Entity& entry, const std::string& table);
    // A record's body with the groups the file gave it beyond the host's own.
    void record_body(const dxf::Layout& layout, long id);
    void placed_group(const dxf::Layout& layout, const dxf::PlacedGroup& placed);
    void write_vport();
    void write_blocks();
    void block_begin(const std::string& handle, const std::string& owner, const std::string& name,
                     const Entity* entry, bool paper);
    void block_end(const std::string& handle, const std::string& owner, bool paper,
                   const Entity* entry = nullptr);
    // The common part of a block definition's BLOCK (0) or ENDBLK (1): the
    // file's groups (layer, line-type scale, ...) when it had them.
    void block_entity_common(const Entity* entry, int which);
    void block_entity_xdata(const Entity* entry, int which);
    const DxfKept::BlockEntityGroups* block_entity_groups(const Entity* entry) const
    {
        if (!kept_ || !entry) return nullptr;
        auto found = kept_->block_entity_groups.find(entry->id);
        return found == kept_->block_entity_groups.end() ? nullptr : &found->second;
    }
    // The entities of model space (container 0) or of a block definition, with
    // what the file kept among them.
    void write_entities(std::span<const long> ids, const std::string& owner, long container);
    void write_entity(const Entity& entity, const std::string& handle, const std::string& owner);
    void planned_body(const dxf::LayoutPlan& plan, const Entity& entity);
    dxf::PlanCache plans_;  // of the types whose layout follows from their codes
    void write_objects();
    void say_structure_left_out();
    void layout_object(const std::string& handle, const std::string& name, int order,
                       const std::string& record);
};

void Writer::group(const Group& g, bool flat)
{
    switch (g.kind()) {
        case ValueKind::Text:
            tag(g.code, g.text);
            break;
        case ValueKind::Real:
            real(g.code, g.real);
            break;
        case ValueKind::Int16:
        case ValueKind::Int32:
            tag(g.code, g.integer);
            break;
        case ValueKind::Point:
            point(g.code, g.point, flat);
            break;
        case ValueKind::Name:
            tag(g.code, handle_of(g.name));
            break;
    }
}

void Writer::body(const dxf::Layout& layout, bool attributes, const DxfKept::HatchLinks* links)
{
    // Links are given path by path; a hatch whose paths have changed since has none.
    if (links && links->paths.size() != layout.hatch_paths) links = nullptr;
    for (size_t s = 0; s < layout.subclasses.size(); ++s) {
        tag(100, layout.subclasses[s]);
        // The attributes that follow a block reference are announced first in it.
        if (attributes && s == 1) tag(66, 1L);
        for (const auto& placed : layout.groups) {
            if (placed.subclass != int(s)) continue;
            if (links && placed.sources_of_path >= 0)
                hatch_sources(links->paths[size_t(placed.sources_of_path)]);
            else
                placed_group(layout, placed);
        }
    }
}

void Writer::placed_group(const dxf::Layout& layout, const dxf::PlacedGroup& placed)
{
    if (dxf::is_degree_angle(layout.dxf_type, placed.group.code))
        tag(placed.group.code, degrees_text(placed.group.real));
    else
        group(placed.group, placed.flat);
}

void Writer::record_body(const dxf::Layout& layout, long id)
{
    const std::vector<KeptRecordGroups>* extra = nullptr;
    if (kept_ && id)
        if (auto found = kept_->record_groups.find(id); found != kept_->record_groups.end())
            extra = &found->second;
    if (!extra || extra->empty()) {
        body(layout);
        return;
    }
    // Each kept run goes after the group it followed in the file; a record has few.
    std::vector<bool> done(extra->size(), false);
    std::map<int, size_t> seen;
    auto runs_after = [&](int code, size_t count) {
        for (size_t i = 0; i < extra->size(); ++i)
            if (!done[i] && (*extra)[i].after_code == code && (*extra)[i].after_count == count) {
                kept_lines((*extra)[i].lines);
                done[i] = true;
            }
    };
    const int last = int(layout.subclasses.size()) - 1;
    for (int s = 0; s <= last; ++s) {
        tag(100, layout.subclasses[size_t(s)]);
        if (s == last) runs_after(0, 0);
        for (const auto& placed : layout.groups) {
            if (placed.subclass != s) continue;
            placed_group(layout, placed);
            runs_after(placed.group.code, ++seen[placed.group.code]);
        }
    }
    for (size_t i = 0; i < extra->size(); ++i)  // the group they followed is no longer there
        if (!done[i]) kept_lines((*extra)[i].lines);
}

void Writer::entity_reactors(const std::string& lines)
{
    if (lines.find("{ACAD_REACTORS") == std::string::npos) {
        kept_lines(lines);
        return;
    }
    std::string kept;
    bool reactors = false;
    Entity scratch;
    for_each_kept_group(lines, [&](const KeptLine& line) {
        if (line.code == "102") reactors = line.value.rfind("{ACAD_REACTORS", 0) == 0;
        bool gone = false;
        if (reactors && line.code == "330")
            if (const long id = kept_->handles.id_of(parse_handle(line.value))) {
                const Entity* reactor = drawing_.look(id, scratch);
                gone = !reactor || reactor->erased;
            }
        if (!gone) kept.append(lines, line.begin, line.end - line.begin);
        return true;
    });
    kept_lines(kept);
}

void Writer::hatch_sources(const std::vector<DxfKept::HatchLink>& links)
{
    std::vector<std::string> handles;
    Entity scratch;
    for (const DxfKept::HatchLink& link : links) {
        if (!link.id) {
            handles.push_back(hex(link.handle));  // kept as the file had it, handle and all
            continue;
        }
        const Entity* source = drawing_.look(link.id, scratch);
        if (source && !source->erased) handles.push_back(handle_of(link.id));
    }
    tag(97, long(handles.size()));
    for (const std::string& handle : handles) tag(330, handle);
}

void Writer::xdata(const std::vector<XDataApp>& apps)
{
    for (const XDataApp& app : apps) {
        tag(1001, app.app);
        for (const Group& item : app.items) {
            if (item.code == 1001) continue;
            group(item);
        }
    }
}

void Writer::kept_lines(const std::string& lines)
{
    if (!page_ || is_ascii(lines)) {
        out_ += lines;
        return;
    }
    for (size_t at = 0; at < lines.size();) {
        size_t end = lines.find('\n', at);
        if (end == std::string::npos) end = lines.size();
        std::string_view line(lines.data() + at, end - at);
        if (is_ascii(line)) {
            out_ += line;
        } else {
            std::string encoded = text_for_file(line, page_);
            if (encoded.find("\\U+FFFD") != std::string::npos) ++characters_replaced_;
            out_ += encoded;
        }
        out_ += '\n';
        at = end + 1;
    }
}

void Writer::write_kept(const KeptObject& object, const std::string& owner, bool give_handle)
{
    if (object.legacy) {  // a version with subclass markers cannot hold it as it is
        ++legacy_left_out_[object.type];
        return;
    }
    out_ += "0\n";
    out_ += object.type;
    out_ += '\n';
    if (!object.handle && object.type != "CLASS" && give_handle) {
        tag(object.type == "DIMSTYLE" ? 105 : 5, new_handle());  // a dimension style's 5 is its arrow block
        if (!owner.empty() && object.groups.rfind("330\n", 0) != 0) tag(330, owner);
    }
    kept_lines(object.groups);
}

std::string Writer::layout_naming(const std::string& record) const
{
    const std::uint64_t wanted = parse_handle(record);
    for (const KeptObject& object : kept_->objects) {
        if (object.type != "LAYOUT") continue;
        // The block record is the 330 of the layout's own part.
        bool own = false, named = false;
        for_each_kept_group(object.groups, [&](const KeptLine& line) {
            if (line.code == "100") own = line.value == "AcDbLayout";
            named = own && line.code == "330" && parse_handle(line.value) == wanted;
            return !named;
        });
        if (named) return hex(object.handle);
    }
    return "0";
}

std::uint64_t Writer::kept_record_handle(const std::string& table, const std::string& name) const
{
    // A record of an old file that is left out of the save stands for none.
    if (const auto* list = kept_records(table))
        for (const KeptObject& record : *list)
            if (!record.legacy && upper(kept_value(record, 2)) == upper(name)) return record.handle;
    return 0;
}

std::vector<const Entity*> Writer::records(const std::string& table) const
{
    std::vector<const Entity*> list;
    auto found = drawing_.tables.find(table);
    if (found != drawing_.tables.end())
        for (long id : found->second)
            if (const Entity* e = drawing_.get(id); e && !e->erased) list.push_back(e);
    auto extra = extra_records_.find(table);
    if (extra != extra_records_.end())
        for (const Entity& e : extra->second) list.push_back(&e);
    return list;
}

std::vector<long> Writer::block_ids() const
{
    std::vector<long> ids;
    auto found = drawing_.tables.find("BLOCK");
    if (found == drawing_.tables.end()) return ids;
    for (long id : found->second) {
        const Entity* e = drawing_.get(id);
        if (!e || e->erased) continue;
        std::string name = upper(e->text(2));
        if (name == "*MODEL_SPACE" || name.rfind("*PAPER_SPACE", 0) == 0) continue;
        ids.push_back(id);
    }
    return ids;
}

// The file is written in the version it was read in, from AC1015 on, and else
// in AC1015; texts of AC1021 and later are UTF-8, of earlier ones in the
// file's code page.
void Writer::choose_version()
{
    if (!kept_) return;
    static const char* const kVersions[] = {"AC1015", "AC1018", "AC1021", "AC1024", "AC1027", "AC1032"};
    for (const char* version : kVersions)
        if (kept_->version == version) version_ = version;
    page_ = file_code_page(version_, kept_->code_page);
    bool model_record = kept_record_handle("BLOCK_RECORD", "*Model_Space") != 0;
    for (const KeptLayoutBlock* layout : layout_blocks_without_record(*kept_))
        if (upper(kept_value(layout->begin, 2)) == "*MODEL_SPACE") model_record = true;
    bool root = !kept_->objects.empty() && kept_->objects.front().type == "DICTIONARY";
    kept_structure_ = model_record && root && version_ == kept_->version;
}

// The format wants line types ByBlock and ByLayer, layer "0", and every
// application named in extended data registered; a drawing may lack them.
void Writer::add_format_records()
{
    auto has = [&](const std::string& table, const std::string& name) {
        for (const Entity* e : records(table))
            if (upper(e->text(2)) == upper(name)) return true;
        return kept_record_handle(table, name) != 0;
    };
    auto add = [&](const std::string& table, const std::string& name, const std::vector<Group>& more = {}) {
        Entity e;
        e.type = table;
        e.groups.push_back(Group::of_text(2, name));
        for (auto& g : more) e.groups.push_back(g);
        extra_records_[table].push_back(std::move(e));
    };
    std::vector<std::string> ltypes = {"ByBlock", "ByLayer", "CONTINUOUS"};
    for (const auto& name : ltypes)
        if (!has("LTYPE", name))
            add("LTYPE", name, {Group::of_text(3, name == "CONTINUOUS" ? "Solid line" : "")});
    if (!has("LAYER", "0")) add("LAYER", "0");
    if (!has("STYLE", "Standard")) add("STYLE", "Standard");
    std::set<std::string> apps = drawing_.store.xdata_apps();
    apps.insert("ACAD");
    for (const std::string& app : apps)
        if (!has("APPID", app)) add("APPID", app);
}

void Writer::assign_handles()
{
    if (kept_) next_handle_ = std::max<unsigned long>(next_handle_, (unsigned long)kept_->max_handle + 1);
    auto table_handle = [&](const std::string& table) {
        if (kept_)
            if (auto found = kept_->table_handles.find(table); found != kept_->table_handles.end())
                return hex(found->second);
        return new_handle();
    };
    if (!kept_structure_) {
        h_.root = new_handle();
        h_.groups = new_handle();
        h_.layouts = new_handle();
        h_.model_layout = new_handle();
        h_.paper_layout = new_handle();
    }
    for (const char* table :
         {"VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "APPID", "DIMSTYLE", "BLOCK_RECORD"})
        h_.table[table] = table_handle(table);
    if (kept_)
        for (const std::string& table : kept_->table_order)
            if (!h_.table.count(table)) h_.table[table] = table_handle(table);
    if (!kept_records("VPORT")) h_.vport = new_handle();
    if (!kept_records("DIMSTYLE")) h_.dimstyle = new_handle();
    // The layouts' records and blocks keep the file's handles, which its kept
    // entities name as their owners.
    auto kept_or_new = [&](std::uint64_t handle) { return handle ? hex(handle) : new_handle(); };
    std::uint64_t model_record = kept_record_handle("BLOCK_RECORD", "*Model_Space");
    if (kept_structure_ && !model_record)  // made anew from its block
        for (const KeptLayoutBlock* layout : layout_blocks_without_record(*kept_))
            if (upper(kept_value(layout->begin, 2)) == "*MODEL_SPACE")
                model_record = parse_handle(kept_value(layout->begin, 330));
    h_.model_record = kept_or_new(model_record);
    // A kept structure writes the file's own paper-space record, and a handle
    // given out here would be named nowhere (yet move the handle seed on).
    if (!kept_structure_) h_.paper_record = kept_or_new(kept_record_handle("BLOCK_RECORD", "*Paper_Space"));
    if (!kept_structure_) {
        const KeptLayoutBlock* model = kept_layout_block("MODEL_SPACE");
        const KeptLayoutBlock* paper = kept_layout_block("PAPER_SPACE");
        h_.model_begin = kept_or_new(model ? model->begin.handle : 0);
        h_.model_end = kept_or_new(model ? model->end.handle : 0);
        h_.paper_begin = kept_or_new(paper ? paper->begin.handle : 0);
        h_.paper_end = kept_or_new(paper ? paper->end.handle : 0);
    }
    for (const char* table : {"LTYPE", "LAYER", "STYLE", "APPID"})
        for (const Entity* e : records(table))
            if (e->id) h_.of[e->id] = handle_for(e->id);
    for (long id : block_ids()) {
        h_.of[id] = handle_for(id);
        std::pair<std::uint64_t, std::uint64_t> ends{0, 0};
        if (kept_)
            if (auto found = kept_->block_ends.find(id); found != kept_->block_ends.end())
                ends = found->second;
        h_.block_ends[id] = {ends.first ? hex(ends.first) : new_handle(),
                             ends.second ? hex(ends.second) : new_handle()};
        auto members = drawing_.block_entities.find(id);
        if (members != drawing_.block_entities.end())
            for (long member : members->second) h_.of[member] = handle_for(member);
    }
    model_handles_.reserve(drawing_.model.size());
    for (long id : drawing_.model) model_handles_.push_back(handle_value_for(id));
}

// The header: the version and code page first, then the file's variables in
// its order with the values of those the drawing keeps, then the drawing's
// others; $HANDSEED names the next free handle, which is known once the rest
// is written: its place is kept, with room for the most handles that can be
// given out until then.
void Writer::write_header(const std::vector<DxfHeaderVariable>& header)
{
    tag(999, "cadhost");
    tag(0, "SECTION");
    tag(2, "HEADER");
    auto variable = [&](const std::string& name) { tag(9, "$" + name); };
    variable("ACADVER");
    tag(1, version_);
    variable("DWGCODEPAGE");
    // The file's own name, as it spells it, for a code page known or not.
    tag(3, kept_ && !kept_->code_page.empty() ? kept_->code_page
           : page_                            ? std::string(code_page_name(*page_))
                                              : "ANSI_1252");
    std::map<std::string, const DxfHeaderVariable*> own;
    for (const DxfHeaderVariable& v : header) own.emplace("$" + upper(v.name), &v);
    std::set<std::string> written = {"$ACADVER", "$DWGCODEPAGE"};
    auto write_own = [&](const std::string& name) {
        if (name == "$HANDSEED") {
            variable("HANDSEED");
            code_line(5);
            handseed_at_ = out_.position();
            handseed_digits_ = hex(next_handle_ + handles_yet_to_give()).size();
            out_ += std::string(handseed_digits_, '0');
            out_ += '\n';
            return;
        }
        if (name == "$INSBASE" && !own.count(name)) {
            variable("INSBASE");
            point(10, {});
            return;
        }
        variable(name.substr(1));
        group(own.at(name)->value);
    };
    if (kept_)
        for (const KeptVariable& v : kept_->header) {
            if (!written.insert(v.name).second) continue;
            auto opened = kept_->header_opened.find(v.name);
            if (own.count(v.name) && opened != kept_->header_opened.end() &&
                opened->second == own.at(v.name)->value) {
                // Not changed since the file was opened: as the file has it.
                kept_tag(9, v.name);
                kept_lines(v.groups);
            } else if (own.count(v.name) || v.name == "$HANDSEED") {
                write_own(v.name);
            } else {
                kept_tag(9, v.name);
                kept_lines(v.groups);
            }
        }
    for (const char* name : {"$INSBASE", "$HANDSEED"})
        if (written.insert(name).second) write_own(name);
    for (const DxfHeaderVariable& v : header) {
        std::string name = "$" + upper(v.name);
        if (written.insert(name).second) write_own(name);
    }
    tag(0, "ENDSEC");
    tag(0, "SECTION");
    tag(2, "CLASSES");
    if (kept_)
        for (const KeptObject& object : kept_->classes) write_kept(object, "");
    tag(0, "ENDSEC");
}

// Handles are given out after assign_handles only to what has none of its own:
// the format's records the drawing lacks and objects the file kept without one.
size_t Writer::handles_yet_to_give() const
{
    size_t count = 16;
    for (const auto& [table, records] : extra_records_) count += records.size();
    if (!kept_) return count;
    count += kept_->classes.size() + kept_->objects.size();
    for (const auto& [table, records] : kept_->records) count += records.size();
    for (const KeptLayoutBlock& layout : kept_->layout_blocks) count += 2 + layout.entities.size();
    for (const auto& [container, lists] : kept_->entities)
        for (const auto& [after, objects] : lists) count += objects.size();
    for (const auto& [insert, objects] : kept_->attributes) count += objects.size();
    for (const KeptSection& section : kept_->sections) count += section.objects.size();
    return count;
}

// $HANDSEED: the next free handle, as wide as the room kept for it.
void Writer::write_handseed()
{
    std::string seed = hex(next_handle_);
    if (seed.size() < handseed_digits_) seed.insert(0, handseed_digits_ - seed.size(), '0');
    out_.patch(handseed_at_, seed.substr(0, handseed_digits_));
}

void Writer::table_head(const std::string& name, size_t count)
{
    tag(0, "TABLE");
    kept_tag(2, name);  // a table of another program has the name its file gave it
    tag(5, h_.table[name]);
    const KeptTableHead* head = nullptr;
    if (kept_)
        if (auto found = kept_->table_heads.find(name); found != kept_->table_heads.end())
            head = &found->second;
    if (head) kept_lines(head->braces);  // its extension dictionary
    tag(330, "0");
    tag(100, "AcDbSymbolTable");
    tag(70, long(count));
    if (head && !head->tail.empty()) {
        kept_lines(head->tail);
    } else if (name == "DIMSTYLE") {
        tag(100, "AcDbDimStyleTable");
        tag(71, 0L);
    }
}

void Writer::write_record(const Entity& entry, const std::string& table)
{
    dxf::Layout layout = dxf::record_layout(entry, table);
    tag(0, layout.dxf_type);
    auto handle = h_.of.find(entry.id);
    tag(5, entry.id && handle != h_.of.end() ? handle->second : new_handle());
    if (kept_)
        if (auto reactors = kept_->reactors.find(entry.id); reactors != kept_->reactors.end())
            kept_lines(reactors->second);
    tag(330, h_.table[table]);
    record_body(layout, entry.id);
    xdata(entry.xdata);
}

void Writer::write_vport()
{
    tag(0, "VPORT");
    tag(5, h_.vport);
    tag(330, h_.table["VPORT"]);
    tag(100, "AcDbSymbolTableRecord");
    tag(100, "AcDbViewportTableRecord");
    tag(2, "*Active");
    tag(70, 0L);
    point(10, {0, 0, 0}, true);
    point(11, {1, 1, 0}, true);
    point(12, {0, 0, 0}, true);
    point(13, {0, 0, 0}, true);
    point(14, {10, 10, 0}, true);
    point(15, {10, 10, 0}, true);
    point(16, {0, 0, 1});
    point(17, {0, 0, 0});
    real(40, 100.0);
    real(41, 1.5);
    real(42, 50.0);
    real(43, 0.0);
    real(44, 0.0);
    real(50, 0.0);
    real(51, 0.0);
    tag(71, 0L);
    tag(72, 100L);
    tag(73, 1L);
    tag(74, 3L);
    tag(75, 0L);
    tag(76, 0L);
    tag(77, 0L);
    tag(78, 0L);
}

void Writer::write_tables()
{
    tag(0, "SECTION");
    tag(2, "TABLES");
    // The kept records the file's version can hold: a table's count is theirs,
    // and those it cannot hold are said to be left out (once).
    if (kept_)
        for (const auto& [table, list] : kept_->records)
            for (const KeptObject& record : list)
                if (record.legacy) ++legacy_left_out_[record.type];
    auto kept_list = [&](const std::string& table) {
        std::vector<KeptObject> writable;
        if (const auto* list = kept_records(table))
            for (const KeptObject& record : *list)
                if (!record.legacy) writable.push_back(record);
        return writable;
    };
    auto write_kept_records = [&](const std::string& table) {
        for (const KeptObject& record : kept_list(table)) write_kept(record, h_.table[table]);
    };
    auto vports = kept_list("VPORT");
    table_head("VPORT", vports.empty() ? 1 : vports.size());
    if (vports.empty())
        write_vport();
    else
        write_kept_records("VPORT");
    tag(0, "ENDTAB");
    for (const char* table : {"LTYPE", "LAYER", "STYLE"}) {
        auto list = records(table);
        table_head(table, list.size() + kept_list(table).size());
        for (const Entity* e : list) write_record(*e, table);
        write_kept_records(table);
        tag(0, "ENDTAB");
    }
    for (const char* table : {"VIEW", "UCS"}) {
        table_head(table, kept_list(table).size());
        write_kept_records(table);
        tag(0, "ENDTAB");
    }
    auto apps = records("APPID");
    table_head("APPID", apps.size());
    for (const Entity* e : apps) write_record(*e, "APPID");
    tag(0, "ENDTAB");
    auto dimstyles = kept_list("DIMSTYLE");
    table_head("DIMSTYLE", dimstyles.empty() ? 1 : dimstyles.size());
    if (dimstyles.empty()) {
        tag(0, "DIMSTYLE");
        tag(105, h_.dimstyle);
        tag(330, h_.table["DIMSTYLE"]);
        tag(100, "AcDbSymbolTableRecord");
        tag(100, "AcDbDimStyleTableRecord");
        tag(2, "Standard");
        tag(70, 0L);
    } else {
        write_kept_records("DIMSTYLE");
    }
    tag(0, "ENDTAB");

    auto blocks = block_ids();
    auto layout_records = kept_structure_ ? kept_list("BLOCK_RECORD") : std::vector<KeptObject>{};
    const auto made_records =
        kept_structure_ ? layout_blocks_without_record(*kept_) : std::vector<const KeptLayoutBlock*>{};
    table_head("BLOCK_RECORD",
               blocks.size() + (kept_structure_ ? layout_records.size() + made_records.size() : 2));
    auto block_record = [&](const std::string& handle, const std::string& name, const std::string& layout,
                            const Entity* entry) {
        tag(0, "BLOCK_RECORD");
        tag(5, handle);
        if (entry && kept_)
            if (auto reactors = kept_->reactors.find(entry->id); reactors != kept_->reactors.end())
                kept_lines(reactors->second);
        tag(330, h_.table["BLOCK_RECORD"]);
        tag(100, "AcDbSymbolTableRecord");
        tag(100, "AcDbBlockTableRecord");
        tag(2, name);
        // A block record of the file has its own groups: layout, units, flags, preview.
        const std::vector<KeptRecordGroups>* own = nullptr;
        if (entry && kept_)
            if (auto found = kept_->record_groups.find(entry->id); found != kept_->record_groups.end())
                own = &found->second;
        if (own)
            for (const KeptRecordGroups& run : *own) kept_lines(run.lines);
        else
            tag(340, layout);
        if (entry) xdata(entry->xdata);
    };
    if (kept_structure_) {
        for (const KeptObject& record : layout_records) write_kept(record, h_.table["BLOCK_RECORD"]);
        // A layout's record the file lost, made anew from its block with the handle that the
        // block (and its entities, and its layout) name.
        for (const KeptLayoutBlock* layout : made_records) {
            const std::string handle = kept_value(layout->begin, 330);
            block_record(hex(parse_handle(handle)), kept_value(layout->begin, 2), layout_naming(handle),
                         nullptr);
        }
    } else {
        block_record(h_.model_record, "*Model_Space", h_.model_layout, nullptr);
        block_record(h_.paper_record, "*Paper_Space", h_.paper_layout, nullptr);
    }
    for (long id : blocks) {
        const Entity* entry = drawing_.get(id);
        block_record(h_.of[id], entry->text(2), "0", entry);
    }
    tag(0, "ENDTAB");
    // Tables of other programs that the host does not know, each once: a
    // table the file gave twice holds the records of both.
    if (kept_) {
        std::set<std::string> written = {"VPORT", "LTYPE", "LAYER",    "STYLE",       "VIEW",
                                         "UCS",   "APPID", "DIMSTYLE", "BLOCK_RECORD"};
        for (const std::string& table : kept_->table_order) {
            if (!written.insert(table).second) continue;
            table_head(table, kept_list(table).size());
            write_kept_records(table);
            tag(0, "ENDTAB");
        }
    }
    tag(0, "ENDSEC");
}

void Writer::block_begin(const std::string& handle, const std::string& owner, const std::string& name,
                         const Entity* entry, bool paper)
{
    tag(0, "BLOCK");
    tag(5, handle);
    tag(330, owner);
    tag(100, "AcDbEntity");
    if (paper) tag(67, 1L);
    block_entity_common(entry, 0);
    tag(100, "AcDbBlockBegin");
    tag(2, name);
    if (entry) {
        dxf::Layout layout = dxf::record_layout(*entry, "BLOCK");
        auto value = [&](int code) -> const Group* {
            for (const auto& placed : layout.groups)
                if (placed.group.code == code) return &placed.group;
            return nullptr;
        };
        group(*value(70));
        group(*value(10));
        tag(3, name);
        const Group* path = value(1);
        tag(1, path ? path->text : std::string());
        if (const Group* description = value(4)) group(*description);
        block_entity_xdata(entry, 0);
    } else {
        tag(70, 0L);
        point(10, {});
        tag(3, name);
        tag(1, "");
    }
}

void Writer::block_end(const std::string& handle, const std::string& owner, bool paper, const Entity* entry)
{
    tag(0, "ENDBLK");
    tag(5, handle);
    tag(330, owner);
    tag(100, "AcDbEntity");
    if (paper) tag(67, 1L);
    block_entity_common(entry, 1);
    tag(100, "AcDbBlockEnd");
    block_entity_xdata(entry, 1);
}

void Writer::block_entity_common(const Entity* entry, int which)
{
    // The kept groups hold a layer (the reader gives them "0" when the file had none).
    const DxfKept::BlockEntityGroups* kept = block_entity_groups(entry);
    if (kept && !kept->common[which].empty())
        kept_lines(kept->common[which]);
    else
        tag(8, "0");
}

void Writer::block_entity_xdata(const Entity* entry, int which)
{
    if (const DxfKept::BlockEntityGroups* kept = block_entity_groups(entry)) kept_lines(kept->xdata[which]);
}

void Writer::write_blocks()
{
    tag(0, "SECTION");
    tag(2, "BLOCKS");
    if (kept_structure_) {
        for (const KeptLayoutBlock& layout : kept_->layout_blocks) {
            write_kept(layout.begin, "");
            for (const KeptObject& entity : layout.entities) write_kept(entity, "");
            write_kept(layout.end, "");
        }
    } else {
        const KeptLayoutBlock* model = kept_layout_block("MODEL_SPACE");
        const KeptLayoutBlock* paper = kept_layout_block("PAPER_SPACE");
        block_begin(h_.model_begin, h_.model_record, "*Model_Space", nullptr, false);
        if (model) kept_lines(kept_xdata(model->begin));
        block_end(h_.model_end, h_.model_record, false);
        block_begin(h_.paper_begin, h_.paper_record, "*Paper_Space", nullptr, true);
        if (paper) {
            kept_lines(kept_xdata(paper->begin));
            for (const KeptObject& entity : paper->entities) write_kept(entity, h_.paper_record);
        }
        block_end(h_.paper_end, h_.paper_record, true);
    }
    for (long id : block_ids()) {
        const Entity* entry = drawing_.get(id);
        const std::string& record = h_.of[id];
        block_begin(h_.block_ends[id].first, record, entry->text(2), entry, false);
        auto members = drawing_.block_entities.find(id);
        write_entities(members != drawing_.block_entities.end() ? members->second : std::vector<long>{},
                       record, id);
        block_end(h_.block_ends[id].second, record, false, entry);
    }
    tag(0, "ENDSEC");
}

void Writer::write_entities(std::span<const long> ids, const std::string& owner, long container)
{
    // What the file kept among the entities, after the one before it (0 for the start).
    const std::unordered_map<long, std::vector<KeptObject>>* kept = nullptr;
    if (kept_)
        if (auto found = kept_->entities.find(container); found != kept_->entities.end())
            kept = &found->second;
    auto kept_after = [&](long id) {
        if (!kept) return;
        auto found = kept->find(id);
        if (found == kept->end()) return;
        for (const KeptObject& object : found->second) write_kept(object, owner);
    };
    kept_after(0);
    std::string chain_owner;  // the POLYLINE that owns the VERTEX and SEQEND entities that follow
    bool chain_erased = false;
    Entity scratch;
    // Model space's handles follow its order; a block's entities have theirs by id.
    auto handle_at = [&](size_t place, long id) {
        if (container == 0) return hex(model_handles_[place]);
        auto found = h_.of.find(id);
        return found != h_.of.end() ? found->second : h_.of[id] = new_handle();
    };
    for (size_t place = 0; place < ids.size(); ++place) {
        const long id = ids[place];
        const Entity* e = drawing_.look(id, scratch);
        if (!e) continue;
        bool member = e->type == "VERTEX" || e->type == "SEQEND";
        if (e->type == "POLYLINE") {
            chain_owner = handle_at(place, id);
            chain_erased = e->erased;
        }
        if (member) {
            if (!chain_erased && !chain_owner.empty()) write_entity(*e, handle_at(place, id), chain_owner);
            if (e->type == "SEQEND") chain_owner.clear();
        } else if (!e->erased) {
            write_entity(*e, handle_at(place, id), owner);
        }
        kept_after(id);
    }
}

void Writer::write_entity(const Entity& entity, const std::string& handle, const std::string& owner)
{
    const std::vector<KeptObject>* attributes = nullptr;
    if (kept_ && entity.type == "INSERT")
        if (auto found = kept_->attributes.find(entity.id);
            found != kept_->attributes.end() && !found->second.empty())
            attributes = &found->second;
    const dxf::LayoutPlan* plan = plans_.find(entity);
    std::optional<dxf::Layout> layout;
    const DxfKept::HatchLinks* links = nullptr;
    if (!plan) {
        layout = dxf::entity_layout(entity, drawing_);
        if (kept_ && entity.type == "HATCH")
            if (auto found = kept_->hatch_links.find(entity.id); found != kept_->hatch_links.end())
                links = &found->second;
        // An insert keeps the subclass its file gave, whatever its rows and columns.
        if (kept_ && entity.type == "INSERT")
            if (auto found = kept_->insert_subclasses.find(entity.id);
                found != kept_->insert_subclasses.end())
                layout->subclasses.back() = found->second;
    }
    tag(0, plan ? plan->dxf_type : layout->dxf_type);
    tag(5, handle);
    if (kept_)
        if (auto reactors = kept_->reactors.find(entity.id); reactors != kept_->reactors.end())
            entity_reactors(reactors->second);
    tag(330, owner);
    if (plan)
        planned_body(*plan, entity);
    else
        body(*layout, attributes != nullptr, links);
    xdata(entity.xdata);
    if (attributes)
        for (const KeptObject& attribute : *attributes) write_kept(attribute, handle);
}

void Writer::planned_body(const dxf::LayoutPlan& plan, const Entity& entity)
{
    size_t step = 0;
    for (size_t s = 0; s < plan.subclasses.size(); ++s) {
        tag(100, plan.subclasses[s]);
        for (; step < plan.steps.size() && plan.steps[step].subclass == int(s); ++step) {
            const Group& g = entity.groups[plan.steps[step].index];
            if (dxf::is_degree_angle(plan.dxf_type, g.code))
                tag(g.code, degrees_text(g.real));
            else
                group(g);
        }
    }
}

void Writer::layout_object(const std::string& handle, const std::string& name, int order,
                           const std::string& record)
{
    tag(0, "LAYOUT");
    tag(5, handle);
    tag(330, h_.layouts);
    tag(100, "AcDbPlotSettings");
    tag(1, "");
    tag(2, "none_device");
    tag(4, "");
    tag(6, "");
    for (int code = 40; code <= 49; ++code) real(code, 0.0);
    real(140, 0.0);
    real(141, 0.0);
    real(142, 1.0);
    real(143, 1.0);
    tag(70, 688L);
    tag(72, 0L);
    tag(73, 0L);
    tag(74, 5L);
    tag(7, "");
    tag(75, 16L);
    real(147, 1.0);
    real(148, 0.0);
    real(149, 0.0);
    tag(100, "AcDbLayout");
    tag(1, name);
    tag(70, 1L);
    tag(71, long(order));
    point(10, {0, 0, 0}, true);
    point(11, {12, 9, 0}, true);
    point(12, {0, 0, 0});
    point(14, {1e20, 1e20, 1e20});
    point(15, {-1e20, -1e20, -1e20});
    real(146, 0.0);
    point(13, {0, 0, 0});
    point(16, {1, 0, 0});
    point(17, {0, 1, 0});
    tag(76, 0L);
    tag(330, record);
}

void Writer::write_objects()
{
    tag(0, "SECTION");
    tag(2, "OBJECTS");
    if (kept_structure_) {
        for (const KeptObject& object : kept_->objects) write_kept(object, "");
        tag(0, "ENDSEC");
        return;
    }
    tag(0, "DICTIONARY");
    tag(5, h_.root);
    tag(330, "0");
    tag(100, "AcDbDictionary");
    tag(281, 1L);
    tag(3, "ACAD_GROUP");
    tag(350, h_.groups);
    tag(3, "ACAD_LAYOUT");
    tag(350, h_.layouts);
    tag(0, "DICTIONARY");
    tag(5, h_.groups);
    tag(330, h_.root);
    tag(100, "AcDbDictionary");
    tag(281, 1L);
    tag(0, "DICTIONARY");
    tag(5, h_.layouts);
    tag(330, h_.root);
    tag(100, "AcDbDictionary");
    tag(281, 1L);
    tag(3, "Layout1");
    tag(350, h_.paper_layout);
    tag(3, "Model");
    tag(350, h_.model_layout);
    layout_object(h_.model_layout, "Model", 0, h_.model_record);
    layout_object(h_.paper_layout, "Layout1", 1, h_.paper_record);
    tag(0, "ENDSEC");
}

// Without the file's model space record and root dictionary the writer makes
// its own layouts, and the file's objects and the blocks of its other
// layouts cannot go with them: each kind is named.
void Writer::say_structure_left_out()
{
    const std::string own =
        ", which this host writes as " + version_ + " with its own dictionaries and layouts";
    std::string why = "of version " + kept_->version + own;
    if (kept_->version.empty()) why = own.substr(2) + ", as the file names no version";
    if (version_ == kept_->version)
        why =
            "which this host cannot write back without the file's model space record and root dictionary; it "
            "writes its own dictionaries and layouts";
    if (!kept_->objects.empty()) {
        std::map<std::string, long> types;
        for (const KeptObject& object : kept_->objects) ++types[object.type];
        std::string list;
        for (const auto& [type, count] : types)
            list += (list.empty() ? "" : ", ") + std::to_string(count) + " " + type;
        left_out.push_back("the objects of the file (" + list + ") " + why);
    }
    for (const KeptLayoutBlock& layout : kept_->layout_blocks) {
        const std::string name = upper(kept_value(layout.begin, 2));
        if (layout.entities.empty() || &layout == kept_layout_block("PAPER_SPACE")) continue;  // written
        left_out.push_back("the layout block " + kept_value(layout.begin, 2) + " with its " +
                           std::to_string(layout.entities.size()) + " entities, " + why);
    }
}

void Writer::write(const std::vector<DxfHeaderVariable>& header)
{
    choose_version();
    add_format_records();
    assign_handles();
    write_header(header);
    write_tables();
    write_blocks();
    tag(0, "SECTION");
    tag(2, "ENTITIES");
    write_entities(drawing_.model.ids(), h_.model_record, 0);
    tag(0, "ENDSEC");
    write_objects();
    if (kept_)
        for (const KeptSection& section : kept_->sections) {
            tag(0, "SECTION");
            kept_tag(2, section.name);
            kept_lines(section.head);
            // Records of these sections are not objects of the drawing: no handle is given to them.
            for (const KeptObject& object : section.objects) write_kept(object, "", false);
            tag(0, "ENDSEC");
        }
    tag(0, "EOF");
    write_handseed();
    if (kept_ && !kept_structure_) say_structure_left_out();
    for (const auto& [type, count] : legacy_left_out_)
        left_out.push_back(std::to_string(count) + " " + (type.empty() ? "records without a type" : type) +
                           " of the file before AC1015, which an " + version_ +
                           " file cannot hold as they are");
    if (characters_replaced_)
        left_out.push_back(std::to_string(characters_replaced_) +
                           " texts' characters beyond U+FFFF, which an " + version_ + " file cannot hold");
}

}  // namespace

namespace {

bool is_table_record(const Entity& entity)
{
    // Table records and entities never share a type name.
    const std::string& t = entity.type;
    return t == "LAYER" || t == "LTYPE" || t == "STYLE" || t == "APPID" || t == "BLOCK";
}

std::vector<Group> normal_groups(const Entity& entity, std::vector<Group> given, const Drawing& drawing)
{
    dxf::Layout layout = is_table_record(entity) ? dxf::record_layout(entity, std::move(given), entity.type)
                                                 : dxf::entity_layout(entity, std::move(given), drawing);
    std::vector<Group> groups;
    groups.reserve(layout.groups.size());
    for (auto& placed : layout.groups) {
        if (placed.group.kind() == ValueKind::Name) continue;
        if (placed.flat) placed.group.point.z = 0;
        groups.push_back(std::move(placed.group));
    }
    return groups;
}

}  // namespace

std::vector<Group> dxf_normal_groups(const Entity& entity, const Drawing& drawing)
{
    return normal_groups(entity, entity.groups, drawing);
}

void dxf_normalize(Entity& entity, const Drawing& drawing)
{
    std::vector<Group> given = std::move(entity.groups);
    entity.groups.clear();
    entity.groups = normal_groups(entity, std::move(given), drawing);
}

std::string dxf_write(const Drawing& drawing, const std::vector<DxfHeaderVariable>& header,
                      const DxfKept* kept, std::vector<std::string>* left_out)
{
    std::string text;
    Sink sink(text);
    Writer writer(drawing, kept, sink);
    writer.write(header);
    std::string why;  // a string takes every text
    sink.finish(why);
    if (left_out) *left_out = std::move(writer.left_out);
    return text;
}

bool dxf_save(const Drawing& drawing, const std::vector<DxfHeaderVariable>& header, const std::string& path,
              std::string& error, const DxfKept* kept, std::vector<std::string>* left_out)
{
    return replace_file_by(
        path,
        [&](int fd, std::string& why) {
            Sink sink(fd);
            Writer writer(drawing, kept, sink);
            writer.write(header);
            if (!sink.finish(why)) return false;
            if (left_out) *left_out = writer.left_out;
            return true;
        },
        error);
}

}  // namespace host
