// The DXF writer: the drawing's tables, block definitions, model space and the
// objects the format needs (root dictionary, layouts), with handles given out
// at writing time and owner handles that point where the format wants them.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <unordered_map>

#include "db/text_encoding.h"
#include "dxf/dxf.h"
#include "dxf/dxf_layout.h"
#include "dxf/file_replace.h"

namespace host {

namespace {

std::string upper(std::string text)
{
    for (char& c : text) c = char(std::toupper((unsigned char)c));
    return text;
}

// Reals with the fewest digits that read back to the same double.
std::string real_text(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
    return text;
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

// A value line cannot hold a line end: control characters are written as "^"
// and the character 64 places on ("^J" for a line feed), and a "^" that would
// read as such a pair as "^ ". Every value goes through here, names too.
void append_caret_encoded(std::string& out, const std::string& text)
{
    size_t plain = 0;
    while (plain < text.size() && (unsigned char)text[plain] >= 0x20 && text[plain] != '^') ++plain;
    if (plain == text.size()) {
        out += text;
        return;
    }
    out.append(text, 0, plain);
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
    explicit Writer(const Drawing& drawing) : drawing_(drawing) {}

    std::string write(const std::vector<DxfHeaderVariable>& header);

private:
    const Drawing& drawing_;
    std::string out_;
    unsigned long next_handle_ = 0x20;
    // The file is AC1015: texts in its code page, "\U+XXXX" for the rest.
    const CodePage* page_ = &default_code_page();

    std::string new_handle()
    {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%lX", next_handle_++);
        return buffer;
    }

    void tag(int code, const std::string& value)
    {
        out_ += std::to_string(code);
        out_ += '\n';
        if (is_ascii(value))
            append_caret_encoded(out_, value);
        else
            append_caret_encoded(out_, text_for_file(value, page_));
        out_ += '\n';
    }
    void tag(int code, long value) { tag(code, std::to_string(value)); }
    void real(int code, double value) { tag(code, real_text(value)); }
    void point(int code, const Point3& p, bool flat = false)
    {
        real(code, p.x);
        real(code + 10, p.y);
        if (!flat) real(code + 20, p.z);
    }
    void group(const Group& g, bool flat = false);
    // The groups of a laid-out entity or record, subclass by subclass.
    void body(const dxf::Layout& layout);
    void xdata(const std::vector<XDataApp>& apps);

    // Handles given out before writing, so references can point forward.
    struct Handles {
        std::map<std::string, std::string> table;  // table name -> head handle
        std::unordered_map<long, std::string> of;  // entity or record id -> handle
        std::string model_record, paper_record, model_begin, model_end, paper_begin, paper_end;
        std::unordered_map<long, std::pair<std::string, std::string>>
            block_ends;  // BLOCK record -> begin, end
        std::string root, groups, layouts, model_layout, paper_layout, dimstyle;
        std::string vport;
    } h_;

    // Records the file lists, defaults of the format added to the drawing's.
    std::map<std::string, std::vector<Entity>> extra_records_;

    void assign_handles();
    void add_format_records();
    std::vector<const Entity*> records(const std::string& table) const;
    std::vector<long> block_ids() const;

    void write_header(const std::vector<DxfHeaderVariable>& header);
    void write_tables();
    void table_head(const std::string& name, size_t count);
    void write_record(const Entity& entry, const std::string& table);
    void write_vport();
    void write_blocks();
    void block_begin(const std::string& handle, const std::string& owner, const std::string& name,
                     const Entity* entry, bool paper);
    void block_end(const std::string& handle, const std::string& owner, bool paper);
    void write_entities(const std::vector<long>& ids, const std::string& owner);
    void write_entity(const Entity& entity, const std::string& owner);
    void write_objects();
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
        case ValueKind::Name: {
            auto found = h_.of.find(g.name);
            tag(g.code, found == h_.of.end() ? std::string("0") : found->second);
            break;
        }
    }
}

void Writer::body(const dxf::Layout& layout)
{
    for (size_t s = 0; s < layout.subclasses.size(); ++s) {
        tag(100, layout.subclasses[s]);
        for (const auto& placed : layout.groups) {
            if (placed.subclass != int(s)) continue;
            if (dxf::is_degree_angle(layout.dxf_type, placed.group.code))
                tag(placed.group.code, degrees_text(placed.group.real));
            else
                group(placed.group, placed.flat);
        }
    }
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

// The format wants line types ByBlock and ByLayer, layer "0", and every
// application named in extended data registered; a drawing may lack them.
void Writer::add_format_records()
{
    auto has = [&](const std::string& table, const std::string& name) {
        for (const Entity* e : records(table))
            if (upper(e->text(2)) == upper(name)) return true;
        return false;
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
    std::set<std::string> apps;
    apps.insert("ACAD");
    auto collect = [&](const Entity& e) {
        for (const XDataApp& app : e.xdata) apps.insert(app.app);
    };
    for (const auto& [id, e] : drawing_.store)
        if (!e.erased) collect(e);
    for (const std::string& app : apps)
        if (!has("APPID", app)) add("APPID", app);
}

void Writer::assign_handles()
{
    h_.root = new_handle();
    h_.groups = new_handle();
    h_.layouts = new_handle();
    h_.model_layout = new_handle();
    h_.paper_layout = new_handle();
    for (const char* table :
         {"VPORT", "LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "APPID", "DIMSTYLE", "BLOCK_RECORD"})
        h_.table[table] = new_handle();
    h_.vport = new_handle();
    h_.dimstyle = new_handle();
    h_.model_record = new_handle();
    h_.paper_record = new_handle();
    h_.model_begin = new_handle();
    h_.model_end = new_handle();
    h_.paper_begin = new_handle();
    h_.paper_end = new_handle();
    for (const char* table : {"LTYPE", "LAYER", "STYLE", "APPID"})
        for (const Entity* e : records(table))
            if (e->id) h_.of[e->id] = new_handle();
    for (long id : block_ids()) {
        h_.of[id] = new_handle();
        h_.block_ends[id] = {new_handle(), new_handle()};
        for (long member :
             drawing_.block_entities.count(id) ? drawing_.block_entities.at(id) : std::vector<long>{})
            h_.of[member] = new_handle();
    }
    for (long id : drawing_.model) h_.of[id] = new_handle();
}

void Writer::write_header(const std::vector<DxfHeaderVariable>& header)
{
    std::string body = std::move(out_);
    out_.clear();
    tag(999, "cadhost");
    tag(0, "SECTION");
    tag(2, "HEADER");
    auto variable = [&](const std::string& name) { tag(9, "$" + name); };
    variable("ACADVER");
    tag(1, "AC1015");
    variable("DWGCODEPAGE");
    tag(3, "ANSI_1252");
    variable("INSBASE");
    point(10, {});
    variable("HANDSEED");
    tag(5, new_handle());
    std::set<std::string> written = {"ACADVER", "DWGCODEPAGE", "INSBASE", "HANDSEED"};
    for (const DxfHeaderVariable& v : header) {
        std::string name = upper(v.name);
        if (!written.insert(name).second) continue;
        variable(name);
        group(v.value);
    }
    tag(0, "ENDSEC");
    tag(0, "SECTION");
    tag(2, "CLASSES");
    tag(0, "ENDSEC");
    out_ += body;
}

void Writer::table_head(const std::string& name, size_t count)
{
    tag(0, "TABLE");
    tag(2, name);
    tag(5, h_.table[name]);
    tag(330, "0");
    tag(100, "AcDbSymbolTable");
    tag(70, long(count));
    if (name == "DIMSTYLE") {
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
    tag(330, h_.table[table]);
    body(layout);
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
    table_head("VPORT", 1);
    write_vport();
    tag(0, "ENDTAB");
    for (const char* table : {"LTYPE", "LAYER", "STYLE"}) {
        auto list = records(table);
        table_head(table, list.size());
        for (const Entity* e : list) write_record(*e, table);
        tag(0, "ENDTAB");
    }
    table_head("VIEW", 0);
    tag(0, "ENDTAB");
    table_head("UCS", 0);
    tag(0, "ENDTAB");
    auto apps = records("APPID");
    table_head("APPID", apps.size());
    for (const Entity* e : apps) write_record(*e, "APPID");
    tag(0, "ENDTAB");
    table_head("DIMSTYLE", 1);
    tag(0, "DIMSTYLE");
    tag(105, h_.dimstyle);
    tag(330, h_.table["DIMSTYLE"]);
    tag(100, "AcDbSymbolTableRecord");
    tag(100, "AcDbDimStyleTableRecord");
    tag(2, "Standard");
    tag(70, 0L);
    tag(0, "ENDTAB");

    auto blocks = block_ids();
    table_head("BLOCK_RECORD", blocks.size() + 2);
    auto block_record = [&](const std::string& handle, const std::string& name, const std::string& layout,
                            const Entity* entry) {
        tag(0, "BLOCK_RECORD");
        tag(5, handle);
        tag(330, h_.table["BLOCK_RECORD"]);
        tag(100, "AcDbSymbolTableRecord");
        tag(100, "AcDbBlockTableRecord");
        tag(2, name);
        tag(340, layout);
        if (entry) xdata(entry->xdata);
    };
    block_record(h_.model_record, "*Model_Space", h_.model_layout, nullptr);
    block_record(h_.paper_record, "*Paper_Space", h_.paper_layout, nullptr);
    for (long id : blocks) {
        const Entity* entry = drawing_.get(id);
        block_record(h_.of[id], entry->text(2), "0", entry);
    }
    tag(0, "ENDTAB");
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
    tag(8, "0");
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
    } else {
        tag(70, 0L);
        point(10, {});
        tag(3, name);
        tag(1, "");
    }
}

void Writer::block_end(const std::string& handle, const std::string& owner, bool paper)
{
    tag(0, "ENDBLK");
    tag(5, handle);
    tag(330, owner);
    tag(100, "AcDbEntity");
    if (paper) tag(67, 1L);
    tag(8, "0");
    tag(100, "AcDbBlockEnd");
}

void Writer::write_blocks()
{
    tag(0, "SECTION");
    tag(2, "BLOCKS");
    block_begin(h_.model_begin, h_.model_record, "*Model_Space", nullptr, false);
    block_end(h_.model_end, h_.model_record, false);
    block_begin(h_.paper_begin, h_.paper_record, "*Paper_Space", nullptr, true);
    block_end(h_.paper_end, h_.paper_record, true);
    for (long id : block_ids()) {
        const Entity* entry = drawing_.get(id);
        const std::string& record = h_.of[id];
        block_begin(h_.block_ends[id].first, record, entry->text(2), entry, false);
        auto members = drawing_.block_entities.find(id);
        if (members != drawing_.block_entities.end()) write_entities(members->second, record);
        block_end(h_.block_ends[id].second, record, false);
    }
    tag(0, "ENDSEC");
}

void Writer::write_entities(const std::vector<long>& ids, const std::string& owner)
{
    std::string chain_owner;  // the POLYLINE that owns the VERTEX and SEQEND entities that follow
    bool chain_erased = false;
    for (long id : ids) {
        const Entity* e = drawing_.get(id);
        if (!e) continue;
        bool member = e->type == "VERTEX" || e->type == "SEQEND";
        if (e->type == "POLYLINE") {
            chain_owner = h_.of[id];
            chain_erased = e->erased;
        }
        if (member) {
            if (chain_erased || chain_owner.empty()) continue;
            write_entity(*e, chain_owner);
            if (e->type == "SEQEND") chain_owner.clear();
            continue;
        }
        if (e->erased) continue;
        write_entity(*e, owner);
    }
}

void Writer::write_entity(const Entity& entity, const std::string& owner)
{
    dxf::Layout layout = dxf::entity_layout(entity, drawing_);
    tag(0, layout.dxf_type);
    tag(5, h_.of.count(entity.id) ? h_.of[entity.id] : new_handle());
    tag(330, owner);
    body(layout);
    xdata(entity.xdata);
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

std::string Writer::write(const std::vector<DxfHeaderVariable>& header)
{
    add_format_records();
    assign_handles();
    write_tables();
    write_blocks();
    tag(0, "SECTION");
    tag(2, "ENTITIES");
    write_entities(drawing_.model, h_.model_record);
    tag(0, "ENDSEC");
    write_objects();
    tag(0, "EOF");
    write_header(header);
    return std::move(out_);
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

std::string dxf_write(const Drawing& drawing, const std::vector<DxfHeaderVariable>& header)
{
    return Writer(drawing).write(header);
}

bool dxf_save(const Drawing& drawing, const std::vector<DxfHeaderVariable>& header, const std::string& path,
              std::string& error)
{
    return replace_file_contents(path, dxf_write(drawing, header), error);
}

}  // namespace host
