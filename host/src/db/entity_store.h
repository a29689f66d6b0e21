// Where a drawing keeps its entities and table records, by id.
//
// A survey drawing holds millions of small entities (points, lines, texts,
// faces), and a general list of groups costs several hundred bytes for each.
// So the store keeps an entity packed where it can: the type and the codes of
// its groups (with the applications of its extended data) are shared by every
// entity of the same form, and the entity itself is a header word and its
// values, coordinates as doubles and texts as references into a text pool. A
// POINT then takes five words, a 3DFACE fourteen.
//
// An entity handed out as an Entity (whole) is unpacked for good, so that the
// pointer stays valid as long as the entity is in the store, as callers expect;
// readers that pass over many entities look at them through a scratch Entity
// instead (look), which leaves them packed. Table records and entities whose
// groups carry more than their code's kind of value are always kept whole.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct resbuf;

namespace host {

struct Entity;
struct GroupValues;
enum class ValueKind;

class EntityStore {
public:
    EntityStore();
    ~EntityStore();
    EntityStore(EntityStore&&) noexcept;
    EntityStore& operator=(EntityStore&&) noexcept;
    EntityStore(const EntityStore&) = delete;
    EntityStore& operator=(const EntityStore&) = delete;

    // Keeps the entity whole under its id (replacing what was there).
    Entity& put(Entity entity);
    // Keeps the entity under its id, packed when its groups allow.
    void add(Entity&& entity);

    // The entity whole, unpacked for good when it was packed; nullptr when none.
    Entity* whole(long id) const;
    // The entity without unpacking it for good: a whole one in place, a packed
    // one unpacked into scratch (valid until scratch is used again); nullptr when none.
    const Entity* look(long id, Entity& scratch) const;
    bool contains(long id) const { return slot(id) != 0; }
    // The list acdbEntGet gives of a packed entity (entity_list_rb of its
    // groups), made straight from its words: nullptr when it is erased. false,
    // and no list, for an entity kept whole, none, or a BLOCK.
    bool packed_list(long id, resbuf*& list) const;

    // Whether the entity is erased, and setting that, without unpacking it;
    // false when there is no such entity.
    bool erased(long id) const;
    bool set_erased(long id, bool erased);
    // The type (group 0) without unpacking; empty when there is no such entity.
    const std::string& type_of(long id) const;
    // What a selection judges an entity by before its other groups, without
    // unpacking it: its type, whether it is erased, its owner and its layer
    // (the first group 8, "0" when it has none). The views last until the
    // entity changes. false when there is no such entity.
    struct Outline {
        const std::string* type = nullptr;
        bool erased = false;
        long owner = 0;
        std::string_view layer;
    };
    bool outline(long id, Outline& out) const;

    bool erase(long id);
    size_t size() const { return count_; }
    // How many entities are kept packed.
    size_t packed() const { return packed_; }

    // The applications named in the extended data of entities and records that
    // are not erased.
    std::set<std::string> xdata_apps() const;

    // Copies of a packed entity, for making many entities of one form that
    // differ only in some values. The words of a packed entity of model space
    // (no owner, no parent, not erased) and where each of its groups' values
    // begins among them; false for any other entity.
    bool words_to_copy(long id, std::vector<std::uint64_t>& words,
                       std::vector<std::uint32_t>& value_at) const;
    // A new value in such words: a point's three coordinates from at on, or a
    // text of the group's code (false for one too long to keep packed).
    static void copy_point(std::uint64_t* at, double x, double y, double z);
    static bool text_fits(std::string_view text);
    std::uint64_t text_word(int code, std::string_view text);
    // Turns such words into the words of a form that keeps once the values of
    // the groups that do not vary, shared by every entity made of the words
    // after; value_at of the varying groups follows. A varying point group
    // that repeats an earlier varying point group (repeats: the earlier
    // group's index, else -1), as a triangular face's fourth corner repeats
    // its third, keeps no value of its own: every entity of the form has the
    // value of the earlier group there, and nothing is to be set at its
    // value_at. For words copied many times: each such form lasts as long as
    // the store.
    void share_values(std::vector<std::uint64_t>& words, const std::vector<bool>& varying,
                      const std::vector<int>& repeats, std::vector<std::uint32_t>& value_at);
    // Keeps a copy of the words as a new entity under its id (one the store
    // does not hold), and returns the copy for its new values to be set.
    std::uint64_t* add_copy(long id, const std::vector<std::uint64_t>& words);

private:
    struct Form;
    class IdTable;
    class WordArena;
    class TextPool;

    std::uint64_t slot(long id) const;
    // The words of a packed entity, or nullptr for one kept whole.
    std::uint64_t* words_of(std::uint64_t slot) const;
    static Entity* whole_of(std::uint64_t slot);
    void unpack(long id, const std::uint64_t* words, Entity& out) const;
    // The value of a kind that begins at from, which is moved past it.
    GroupValues read_value(ValueKind kind, const std::uint64_t*& from) const;
    // Calls f(k, place) for the first n groups and items of a packed entity
    // of the form whose values begin at values, place being where the value
    // of the k-th begins, until f returns false.
    template <class F>
    void for_each_value(const Form& form, const std::uint64_t* values, size_t n, F f) const;
    bool pack(const Entity& entity);
    std::uint32_t form_of(const Entity& entity);
    std::uint32_t find_form(const Entity& entity);
    static bool has_form(const Entity& entity, const Form& form);
    std::string_view text_at(std::uint64_t word) const;

    std::unique_ptr<IdTable> ids_;
    std::unique_ptr<WordArena> words_;
    std::unique_ptr<TextPool> texts_;
    std::vector<Form> forms_;
    std::unordered_map<std::string, std::uint32_t> form_index_;    // type and codes -> form
    std::unordered_map<std::string, std::uint32_t> shared_index_;  // form, shared values -> form
    std::unordered_map<std::string, std::uint64_t> names_;         // layer, style and such names in the pool
    std::string key_;                                              // reused for form keys
    std::array<std::uint32_t, 4> recent_forms_{~0u, ~0u, ~0u, ~0u};  // forms used last
    size_t recent_form_next_ = 0;
    // Names kept last, viewing the keys of names_.
    std::array<std::pair<std::string_view, std::uint64_t>, 4> recent_names_{};
    size_t recent_name_next_ = 0;
    size_t count_ = 0;
    mutable size_t packed_ = 0;
};

}  // namespace host
