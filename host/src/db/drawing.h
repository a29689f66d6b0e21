// The host's in-memory drawing: entities and table records as ordered lists of
// groups, extended data per application, erase flags, old-style polyline chains,
// block definitions and the symbol tables. The entity API (acdbEnt*), the DXF
// reader and writer and the picture renderer all work on this model.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace host {

struct Point3 {
    double x = 0, y = 0, z = 0;
    bool operator==(const Point3&) const = default;
};

// What a group code's value is, by the DXF rules of group codes.
enum class ValueKind { Text, Real, Int16, Int32, Point, Name };
ValueKind value_kind(int code);

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
    std::string type;            // group 0, upper case
    std::vector<Group> groups;   // every group but -1, 0 and the extended data, in order
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
    std::vector<Entity> polyline;             // header, then its VERTEXes; empty when none
    std::optional<Entity> block;              // the BLOCK record of a definition in progress
    std::vector<Entity> block_entities;       // the definition's entities so far, chains included
};

// Table names as the entity API spells them.
inline constexpr const char* kTables[] = {"LAYER", "LTYPE", "STYLE", "APPID", "BLOCK"};

struct Drawing {
    Drawing();  // a new drawing: layer "0", style "Standard", ltype "CONTINUOUS", appid "ACAD"

    std::string prefix;  // DWGPREFIX: the folder, ending in a separator
    std::string name;    // DWGNAME: "Drawing1.dwg" until saved under another name

    std::unordered_map<long, Entity> store;       // every entity and record by id
    std::vector<long> model;                      // model space in drawing order, VERTEX and SEQEND after their POLYLINE
    std::map<std::string, std::vector<long>> tables;   // table name -> records in table order
    std::map<long, std::vector<long>> block_entities;  // BLOCK record id -> the definition's entities in order
    std::map<std::string, SysVarValue> sysvars;        // upper-case name -> value; DWGPREFIX/DWGNAME come from prefix/name
    std::map<std::string, size_t> table_cursor;        // acdbTblNext's place per table
    PendingMake pending;                               // acdbEntMake's complex entity in progress

    // Adds an entity to model space (owner 0) or to a block definition and
    // gives it a new id; returns it.
    Entity& add_entity(Entity entity, long owner = 0);
    // Adds a record to a table and gives it a new id; returns it.
    Entity& add_record(const std::string& table, Entity record);

    Entity* get(long id);
    const Entity* get(long id) const;
    // The record named so in the table, matched without regard to case; 0 when none.
    long find_record(const std::string& table, const std::string& name) const;
    // The last main entity of model space that is not erased (never VERTEX or SEQEND); 0 when none.
    long last_main() const;

    // The list (model space or the block definition) an entity belongs to, and
    // its place in it; nullopt when it is in neither.
    const std::vector<long>* container_of(const Entity& entity) const;
    std::optional<size_t> index_in_container(const Entity& entity) const;

    // A new id, unique among all drawings of the host process.
    static long next_id();

private:
    // Places of ids in their containers, rebuilt when it no longer agrees.
    mutable std::unordered_map<long, size_t> place_cache_;
    mutable const std::vector<long>* place_cache_of_ = nullptr;
    mutable size_t place_cache_size_ = 0;
};

}  // namespace host
