#include "db/drawing.h"

#include <atomic>
#include <cctype>
#include <utility>

#include "db/sysvars.h"

namespace host {

ValueKind value_kind(int code)
{
    // Entity names: -1 the entity itself, -2 a block's first entity, 330-369 object ids.
    if (code == -1 || code == -2 || (code >= 330 && code <= 369)) return ValueKind::Name;
    // Points: only the code that starts a point; its 20/30 companions are not groups of their own.
    if ((code >= 10 && code <= 18) || code == 210 || (code >= 110 && code <= 112) ||
        (code >= 1010 && code <= 1013))
        return ValueKind::Point;
    if ((code >= 19 && code <= 59) || (code >= 113 && code <= 149) || (code >= 211 && code <= 239) ||
        (code >= 460 && code <= 469) || (code >= 1014 && code <= 1059))
        return ValueKind::Real;
    if ((code >= 90 && code <= 99) || (code >= 160 && code <= 169) || (code >= 420 && code <= 429) ||
        (code >= 440 && code <= 459) || code == 1071)
        return ValueKind::Int32;
    if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 299) ||
        (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070))
        return ValueKind::Int16;
    // Everything else carries text: 0-9, 100-105, 300-329, 390-399, 410-419, 430-439,
    // 470-479, 999, 1000-1009, and the filter operator -4.
    return ValueKind::Text;
}

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

Entity& Drawing::add_entity(Entity entity, long owner)
{
    entity.id = next_id();
    entity.owner = owner;
    const long id = entity.id;
    if (owner == 0)
        model.push_back(id);
    else
        block_entities[owner].push_back(id);
    return store[id] = std::move(entity);
}

Entity& Drawing::add_record(const std::string& table, Entity record)
{
    record.id = next_id();
    record.owner = 0;
    if (record.type.empty()) record.type = table;
    const long id = record.id;
    tables[table].push_back(id);
    return store[id] = std::move(record);
}

Entity* Drawing::get(long id)
{
    auto it = store.find(id);
    return it == store.end() ? nullptr : &it->second;
}

const Entity* Drawing::get(long id) const
{
    auto it = store.find(id);
    return it == store.end() ? nullptr : &it->second;
}

long Drawing::find_record(const std::string& table, const std::string& record_name) const
{
    auto t = tables.find(table);
    if (t == tables.end()) return 0;
    for (long id : t->second) {
        const Entity* record = get(id);
        if (record && same_name(record->text(2), record_name)) return id;
    }
    return 0;
}

long Drawing::last_main() const
{
    for (auto it = model.rbegin(); it != model.rend(); ++it) {
        const Entity* e = get(*it);
        if (e && !e->erased && e->type != "VERTEX" && e->type != "SEQEND") return *it;
    }
    return 0;
}

const std::vector<long>* Drawing::container_of(const Entity& entity) const
{
    if (entity.owner == 0) return &model;
    auto it = block_entities.find(entity.owner);
    return it == block_entities.end() ? nullptr : &it->second;
}

std::optional<size_t> Drawing::index_in_container(const Entity& entity) const
{
    const std::vector<long>* list = container_of(entity);
    if (!list) return std::nullopt;
    auto lookup = [&]() -> std::optional<size_t> {
        auto it = place_cache_.find(entity.id);
        if (it != place_cache_.end() && it->second < list->size() && (*list)[it->second] == entity.id)
            return it->second;
        return std::nullopt;
    };
    if (place_cache_of_ == list) {
        // Entities made since the last question were appended: index only those,
        // so that a walk which makes entities as it goes stays linear.
        for (size_t i = place_cache_size_; i < list->size(); ++i) place_cache_[(*list)[i]] = i;
        place_cache_size_ = list->size();
        // Every answer is checked against the list itself, so a place that a
        // removal or an insertion made stale is never given out.
        if (auto found = lookup()) return found;
    }
    // The list changed in its middle (or another one was asked last): index it again.
    place_cache_.clear();
    for (size_t i = 0; i < list->size(); ++i) place_cache_[(*list)[i]] = i;
    place_cache_of_ = list;
    place_cache_size_ = list->size();
    return lookup();
}

long Drawing::next_id()
{
    static std::atomic<long> counter{0x1000};
    return ++counter;
}

}  // namespace host
