// The host's in-memory drawing: entities and table records as ordered lists of
// groups, extended data per application, erase flags, old-style polyline chains,
// block definitions and the symbol tables. The entity API (acdbEnt*), the DXF
// reader and writer and the picture renderer all work on this model.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/big_memory.h"
#include "db/entity_store.h"

namespace host {

struct Point3 {
    double x = 0, y = 0, z = 0;
    bool operator==(const Point3&) const = default;
};

// What a group code's value is, by the DXF rules of group codes.
enum class ValueKind { Text, Real, Int16, Int32, Point, Name };

constexpr ValueKind value_kind_by_rules(int code)
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

// Every group of every entity made or read asks its kind: the codes in use are
// looked up in a table worked out from the rules when the host is compiled.
inline constexpr int kTabledCodes = 1072;
inline constexpr std::array<ValueKind, kTabledCodes> kCodeKinds = [] {
    std::array<ValueKind, kTabledCodes> table{};
    for (int c = 0; c < kTabledCodes; ++c) table[c] = value_kind_by_rules(c);
    return table;
}();
inline ValueKind value_kind(int code)
{
    return code >= 0 && code < kTabledCodes ? kCodeKinds[code] : value_kind_by_rules(code);
}

// One group of an entity list: a code and a value of the code's kind. Only the
// field of that kind is meaningful.
struct Group {
    int code = 0;
    std::string text;
    double real = 0;
    long integer = 0;
    Point3 point;
    long name = 0;  // an entity id

    static Group of_text(int code, std::string value);
    static Group of_real(int code, double value);
    static Group of_int(int code, long value);
    static Group of_point(int code, Point3 value);
    static Group of_name(int code, long id);
    ValueKind kind() const { return value_kind(code); }
    bool operator==(const Group& other) const;
};

// The extended data of one registered application: the groups after its 1001.
struct XDataApp {
    std::string app;
    std::vector<Group> items;
    bool operator==(const XDataApp&) const = default;
};

// An entity of a drawing, a block's entity, or a symbol table record
// (type "LAYER", "STYLE", "LTYPE", "APPID" or "BLOCK").
struct Entity {
    long id = 0;
    std::string type;             // group 0, upper case
    std::vector<Group> groups;    // every group but -1, 0 and the extended data, in order
    std::vector<XDataApp> xdata;  // per application, in the order attached
    bool erased = false;
    long owner = 0;   // 0 for model space and table records; else the BLOCK record's id
    long parent = 0;  // for VERTEX and SEQEND: the POLYLINE's id

    const Group* find(int code) const;
    Group* find(int code);
    std::string text(int code, const std::string& absent = "") const;
    double real(int code, double absent = 0) const;
    long integer(int code, long absent = 0) const;
    Point3 point(int code) const;
    std::string layer() const { return text(8, "0"); }
    const XDataApp* xdata_of(const std::string& app) const;  // without regard to case
};

// A system variable's value. type is the result type of the host API (RTSHORT,
// RTREAL, RTSTR, RTPOINT or RT3DPOINT); only the field of that type is meaningful.
struct SysVarValue {
    int type = 0;
    std::string text;
    double real = 0;
    long integer = 0;
    Point3 point;
    bool operator==(const SysVarValue&) const = default;
};

// A complex entity that acdbEntMake is building across calls: an old-style
// POLYLINE waiting for its SEQEND, or a block definition waiting for its ENDBLK.
struct PendingMake {
    std::vector<Entity> polyline;        // header, then its VERTEXes; empty when none
    std::optional<Entity> block;         // the BLOCK record of a definition in progress
    std::vector<Entity> block_entities;  // the definition's entities so far, chains included
};

// The ids of model space in drawing order. It reads like a std::vector<long>;
// appending is the common change, and every other change (clearing, assigning a
// new list) counts a new version, so that what is kept about the list (the
// spatial index of entity extents) knows when to start again.
class IdList {
    // A long list grows by remapping its pages (grow_memory), without copying.
    using Ids = GrowingArray<long>;

public:
    using value_type = long;
    using const_iterator = const long*;
    using iterator = const_iterator;  // ids change only through the list's own functions
    using const_reverse_iterator = std::reverse_iterator<const long*>;

    IdList() = default;
    IdList(std::vector<long> ids) { assign(std::move(ids)); }
    IdList& operator=(std::vector<long> ids)
    {
        assign(std::move(ids));
        return *this;
    }
    std::span<const long> ids() const { return {ids_.data(), ids_.size()}; }

    const_iterator begin() const { return ids_.begin(); }
    const_iterator end() const { return ids_.end(); }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }
    size_t size() const { return ids_.size(); }
    bool empty() const { return ids_.empty(); }
    long operator[](size_t i) const { return ids_[i]; }
    long front() const { return ids_.front(); }
    long back() const { return ids_.back(); }

    void push_back(long id)
    {
        if (!ids_.empty() && id <= ids_.back()) ascending_ = false;
        ids_.push_back(id);
    }
    void reserve(size_t n) { ids_.reserve(n); }
    void clear() { assign({}); }

    // Counts every change but appending.
    std::uint64_t version() const { return version_; }
    // Whether the ids rise along the list (they do when entities are only ever
    // appended, since ids are given out in rising order): places can then be
    // found by bisection and drawing order is the order of ids.
    bool ascending() const { return ascending_; }

private:
    void assign(std::vector<long> ids);

    Ids ids_;
    std::uint64_t version_ = 0;
    bool ascending_ = true;
};

class SpatialIndex;
class ListStamps;

// Table names as the entity API spells them.
inline constexpr const char* kTables[] = {"LAYER", "LTYPE", "STYLE", "APPID", "BLOCK"};

struct Drawing {
    Drawing();  // a new drawing: layer "0", style "Standard", ltype "CONTINUOUS", appid "ACAD"
    ~Drawing();
    Drawing(Drawing&&) noexcept;
    Drawing& operator=(Drawing&&) noexcept;

    std::string prefix;  // DWGPREFIX: the folder, ending in a separator
    std::string name;    // DWGNAME: "Drawing1.dwg" until saved under another name

    EntityStore store;  // every entity and record by id
    IdList model;       // model space in drawing order, VERTEX and SEQEND after their POLYLINE
    std::map<std::string, std::vector<long>> tables;  // table name -> records in table order
    std::map<long, std::vector<long>>
        block_entities;  // BLOCK record id -> the definition's entities in order
    std::map<std::string, SysVarValue>
        sysvars;  // upper-case name -> value; DWGPREFIX/DWGNAME come from prefix/name
    std::map<std::string, size_t> table_cursor;  // acdbTblNext's place per table
    PendingMake pending;                         // acdbEntMake's complex entity in progress

    // Adds an entity to model space (owner 0) or to a block definition and
    // gives it a new id, which it returns; the entity is kept packed when it can be.
    long add(Entity entity, long owner = 0);
    // The same for a caller that goes on changing the entity: it is kept whole
    // and returned.
    Entity& add_entity(Entity entity, long owner = 0);
    // Adds a record to a table and gives it a new id; returns it.
    Entity& add_record(const std::string& table, Entity record);
    // Adds to model space a copy of the words of a packed entity
    // (EntityStore::words_to_copy) under a new id, which it returns; copy is
    // where the copy lies, for its new values to be set.
    long add_copy(const std::vector<std::uint64_t>& words, std::uint64_t*& copy);
    // The entities acdbEntMake made last from lists, to make more like them.
    ListStamps& list_stamps() const;

    // An entity or record by id; nullptr when none. The writable form tells the
    // drawing's indexes that the entity may change, so they look at it again
    // before they next answer.
    Entity* get(long id);
    const Entity* get(long id) const;
    // An entity for reading only, without keeping it whole (see EntityStore):
    // the pointer is good until scratch is used again.
    const Entity* look(long id, Entity& scratch) const { return store.look(id, scratch); }
    // Erases or restores one entity (not its VERTEXes) without changing it otherwise.
    void set_erased(long id, bool erased) { store.set_erased(id, erased); }
    // Puts a changed copy of an entity in the place of the entity of its id,
    // packed when it can be; for an entity that no caller holds whole.
    void replace(Entity entity);
    // Tells the indexes that an entity handed out writable has changed, for code
    // that asked the drawing for records or selections between taking the entity
    // and changing it (the changes made right after get need no word).
    void changed(long id);
    // The record named so in the table, matched without regard to case; 0 when none.
    long find_record(const std::string& table, const std::string& name) const;
    // The place of a record in its table; nullopt when it is not there.
    std::optional<size_t> index_in_table(const std::string& table, long id) const;
    // The last main entity of model space that is not erased (never VERTEX or SEQEND); 0 when none.
    long last_main() const;

    // The list (model space or the block definition) an entity belongs to, and
    // its place in it; nullopt when it is in neither.
    std::optional<std::span<const long>> container_of(const Entity& entity) const;
    std::optional<size_t> index_in_container(const Entity& entity) const;

    // The index of the extents of model space's main entities, brought up to
    // date with what changed since it was last asked.
    SpatialIndex& spatial() const;

    // A new id, unique among all drawings of the host process.
    static long next_id();

private:
    struct NameIndex {
        std::unordered_map<std::string, long> ids;  // upper-case name -> first record of that name
        size_t covered = 0;                         // how many records of the table it has taken in
    };
    NameIndex& name_index(const std::string& table, const std::vector<long>& records) const;
    long find_record_slowly(const std::vector<long>& records, const std::string& name) const;
    long find_record_by_index(const std::string& table, const std::string& name) const;
    void note_writable(const Entity& entity);

    mutable std::unordered_map<std::string, NameIndex> name_index_;  // per table
    // The last records found by name: entities made one after another mostly
    // name the same layer and style. Forgotten whenever a record is added or
    // handed out writable.
    struct FoundRecord {
        std::string table, name;
        long id = 0;
    };
    mutable std::array<FoundRecord, 4> found_;
    mutable size_t found_next_ = 0;
    void forget_found() const;
    mutable std::vector<long> renamed_;  // records handed out writable since the names were indexed
    mutable std::unique_ptr<SpatialIndex> spatial_;
    // Forgotten with the records found, since the checks they skip look at records.
    mutable std::unique_ptr<ListStamps> stamps_;
};

}  // namespace host
