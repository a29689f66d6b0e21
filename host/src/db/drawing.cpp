#include "db/drawing.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <utility>

#include "db/entities.h"
#include "db/list_stamps.h"
#include "db/spatial_index.h"
#include "db/sysvars.h"

namespace host {

namespace {

// A group of the code with one value field set.
template <typename T>
Group group_with(int code, T Group::*field, T value)
{
    Group g;
    g.code = code;
    g.*field = std::move(value);
    return g;
}

}  // namespace

Group Group::of_text(int code, std::string value)
{
    return group_with(code, &Group::text, std::move(value));
}

Group Group::of_real(int code, double value)
{
    return group_with(code, &Group::real, value);
}

Group Group::of_int(int code, long value)
{
    return group_with(code, &Group::integer, value);
}

Group Group::of_point(int code, Point3 value)
{
    return group_with(code, &Group::point, value);
}

Group Group::of_name(int code, long id)
{
    return group_with(code, &Group::name, id);
}

bool Group::operator==(const Group& other) const
{
    if (code != other.code) return false;
    switch (kind()) {
        case ValueKind::Text:
            return text == other.text;
        case ValueKind::Real:
            return real == other.real;
        case ValueKind::Int16:
        case ValueKind::Int32:
            return integer == other.integer;
        case ValueKind::Point:
            return point == other.point;
        case ValueKind::Name:
            return name == other.name;
    }
    return false;
}

const Group* Entity::find(int code) const
{
    for (const Group& g : groups)
        if (g.code == code) return &g;
    return nullptr;
}

Group* Entity::find(int code)
{
    for (Group& g : groups)
        if (g.code == code) return &g;
    return nullptr;
}

std::string Entity::text(int code, const std::string& absent) const
{
    const Group* g = find(code);
    return g ? g->text : absent;
}

double Entity::real(int code, double absent) const
{
    const Group* g = find(code);
    return g ? g->real : absent;
}

long Entity::integer(int code, long absent) const
{
    const Group* g = find(code);
    return g ? g->integer : absent;
}

Point3 Entity::point(int code) const
{
    const Group* g = find(code);
    return g ? g->point : Point3{};
}

static bool same_name(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const XDataApp* Entity::xdata_of(const std::string& app) const
{
    for (const XDataApp& x : xdata)
        if (same_name(x.app, app)) return &x;
    return nullptr;
}

void IdList::assign(std::vector<long> ids)
{
    ids_.assign(ids.data(), ids.data() + ids.size());
    ascending_ = std::adjacent_find(ids_.begin(), ids_.end(), std::greater_equal<long>()) == ids_.end();
    ++version_;
}

Drawing::~Drawing() = default;
Drawing::Drawing(Drawing&&) noexcept = default;
Drawing& Drawing::operator=(Drawing&&) noexcept = default;

Drawing::Drawing()
{
    name = "Drawing1.dwg";

    Entity layer;
    layer.type = "LAYER";
    layer.groups = {Group::of_text(2, "0"), Group::of_int(70, 0), Group::of_int(62, 7),
                    Group::of_text(6, "CONTINUOUS")};
    add_record("LAYER", layer);

    Entity ltype;
    ltype.type = "LTYPE";
    ltype.groups = {Group::of_text(2, "CONTINUOUS"), Group::of_int(70, 0), Group::of_text(3, "Solid line"),
                    Group::of_int(72, 65),           Group::of_int(73, 0), Group::of_real(40, 0.0)};
    add_record("LTYPE", ltype);

    Entity style;
    style.type = "STYLE";
    style.groups = {Group::of_text(2, "Standard"), Group::of_int(70, 0),    Group::of_real(40, 0.0),
                    Group::of_real(41, 1.0),       Group::of_real(50, 0.0), Group::of_int(71, 0),
                    Group::of_real(42, 2.5),       Group::of_text(3, "txt")};
    add_record("STYLE", style);

    Entity appid;
    appid.type = "APPID";
    appid.groups = {Group::of_text(2, "ACAD"), Group::of_int(70, 0)};
    add_record("APPID", appid);

    tables["BLOCK"];
    sysvars = sysvar_defaults();
}

long Drawing::add(Entity entity, long owner)
{
    entity.id = next_id();
    entity.owner = owner;
    const long id = entity.id;
    if (owner == 0)
        model.push_back(id);
    else
        block_entities[owner].push_back(id);
    store.add(std::move(entity));
    return id;
}

long Drawing::add_copy(const std::vector<std::uint64_t>& words, std::uint64_t*& copy)
{
    const long id = next_id();
    model.push_back(id);
    copy = store.add_copy(id, words);
    return id;
}

ListStamps& Drawing::list_stamps() const
{
    if (!stamps_) stamps_ = std::make_unique<ListStamps>();
    return *stamps_;
}

Entity& Drawing::add_entity(Entity entity, long owner)
{
    return *store.whole(add(std::move(entity), owner));
}

Entity& Drawing::add_record(const std::string& table, Entity record)
{
    record.id = next_id();
    record.owner = 0;
    if (record.type.empty()) record.type = table;
    tables[table].push_back(record.id);
    forget_found();
    return store.put(std::move(record));
}

Entity* Drawing::get(long id)
{
    Entity* entity = store.whole(id);
    if (entity) note_writable(*entity);
    return entity;
}

void Drawing::replace(Entity entity)
{
    Entity scratch;
    const Entity* before = look(entity.id, scratch);
    if (!before) return;
    note_writable(*before);
    if (before == &scratch)
        store.add(std::move(entity));
    else
        *store.whole(entity.id) = std::move(entity);  // kept whole: whoever holds it sees the change
}

void Drawing::changed(long id)
{
    get(id);
}

namespace {

bool is_table_record_type(const std::string& type)
{
    return type == "LAYER" || type == "BLOCK" || type == "STYLE" || type == "LTYPE" || type == "APPID";
}

// Records handed out writable that are noted before the names are indexed anew.
constexpr size_t kRenamedLimit = 4096;

}  // namespace

void Drawing::note_writable(const Entity& entity)
{
    if (entity.owner == 0 && is_table_record_type(entity.type)) {
        forget_found();
        if (name_index_.empty()) return;
        if (renamed_.size() >= kRenamedLimit) {
            name_index_.clear();  // cheaper to index every name again when next asked
            renamed_.clear();
            return;
        }
        renamed_.push_back(entity.id);
    } else if (spatial_) {
        spatial_->note_writable(*this, entity);
    }
}

SpatialIndex& Drawing::spatial() const
{
    if (!spatial_) spatial_ = std::make_unique<SpatialIndex>();
    return *spatial_;
}

const Entity* Drawing::get(long id) const
{
    return store.whole(id);
}

long Drawing::find_record_slowly(const std::vector<long>& records, const std::string& record_name) const
{
    for (long id : records) {
        const Entity* record = get(id);
        if (record && same_name(record->text(2), record_name)) return id;
    }
    return 0;
}

Drawing::NameIndex& Drawing::name_index(const std::string& table, const std::vector<long>& records) const
{
    if (!renamed_.empty()) {
        // Records that may have been renamed are found under their names now;
        // an entry left under an old name is caught when it is next asked for.
        for (long id : renamed_) {
            const Entity* record = get(id);
            if (!record) continue;
            auto index = name_index_.find(record->type);
            if (index == name_index_.end()) continue;
            auto [entry, added] = index->second.ids.try_emplace(upper_text(record->text(2)), id);
            if (added || entry->second == id) continue;
            const Entity* holder = get(entry->second);
            // Of two records of one name the first in the table counts (ids rise along it).
            if (!holder || !same_name(holder->text(2), record->text(2)) || id < entry->second)
                entry->second = id;
        }
        renamed_.clear();
    }
    NameIndex& index = name_index_[table];
    if (index.covered > records.size()) index = NameIndex{};
    for (; index.covered < records.size(); ++index.covered) {
        const long id = records[index.covered];
        if (const Entity* record = get(id)) index.ids.try_emplace(upper_text(record->text(2)), id);
    }
    return index;
}

void Drawing::forget_found() const
{
    for (FoundRecord& found : found_) found.table.clear();
    if (stamps_) stamps_->clear();
}

long Drawing::find_record(const std::string& table, const std::string& record_name) const
{
    for (const FoundRecord& found : found_)
        if (found.name == record_name && found.table == table && !table.empty()) return found.id;
    const long id = find_record_by_index(table, record_name);
    found_[found_next_] = {table, record_name, id};
    found_next_ = (found_next_ + 1) % found_.size();
    return id;
}

long Drawing::find_record_by_index(const std::string& table, const std::string& record_name) const
{
    auto t = tables.find(table);
    if (t == tables.end()) return 0;
    NameIndex& index = name_index(table, t->second);
    auto hit = index.ids.find(upper_text(record_name));
    if (hit == index.ids.end()) return 0;
    const Entity* record = get(hit->second);
    if (record && same_name(record->text(2), record_name)) return hit->second;
    // The record was renamed since: look through the table and keep what is found.
    const long found = find_record_slowly(t->second, record_name);
    if (found)
        hit->second = found;
    else
        index.ids.erase(hit);
    return found;
}

long Drawing::last_main() const
{
    for (auto it = model.rbegin(); it != model.rend(); ++it) {
        const std::string& type = store.type_of(*it);
        if (!type.empty() && !store.erased(*it) && type != "VERTEX" && type != "SEQEND") return *it;
    }
    return 0;
}

std::optional<std::span<const long>> Drawing::container_of(const Entity& entity) const
{
    if (entity.owner == 0) return model.ids();
    auto it = block_entities.find(entity.owner);
    if (it == block_entities.end()) return std::nullopt;
    return std::span<const long>(it->second);
}

namespace {

// The place of an id in a list. Ids rise along every list, since entities and
// records are appended as they are made, so bisection finds it; should a list
// ever be out of order, the answer is checked and the list searched.
std::optional<size_t> place_of(std::span<const long> list, long id)
{
    auto at = std::lower_bound(list.begin(), list.end(), id);
    if (at == list.end() || *at != id) at = std::find(list.begin(), list.end(), id);
    if (at == list.end()) return std::nullopt;
    return static_cast<size_t>(at - list.begin());
}

}  // namespace

std::optional<size_t> Drawing::index_in_container(const Entity& entity) const
{
    const auto list = container_of(entity);
    if (!list) return std::nullopt;
    return place_of(*list, entity.id);
}

std::optional<size_t> Drawing::index_in_table(const std::string& table, long id) const
{
    auto t = tables.find(table);
    if (t == tables.end()) return std::nullopt;
    return place_of(t->second, id);
}

long Drawing::next_id()
{
    static std::atomic<long> counter{0x1000};
    return ++counter;
}

}  // namespace host
