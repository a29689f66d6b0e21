#include "db/entity_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "db/big_memory.h"
#include "db/drawing.h"
#include "db/resbuf_convert.h"

namespace host {

namespace {

// What a slot of the id table holds: 0 for no entity, an odd number for a
// packed entity (its place among the words, shifted up), else the address of
// an entity kept whole.
constexpr std::uint64_t kPackedBit = 1;

// The header word of a packed entity: its form in the upper half, flags below.
constexpr std::uint64_t kErased = 1;
constexpr std::uint64_t kHasOwner = 2;
constexpr std::uint64_t kHasParent = 4;

// A text in the pool: its place in the upper 40 bits, its length below.
constexpr int kLengthBits = 24;
constexpr std::uint64_t kLengthMask = (std::uint64_t(1) << kLengthBits) - 1;

// Groups whose texts are names shared by many entities: they are kept once.
bool is_name_code(int code)
{
    return code == 2 || code == 6 || code == 7 || code == 8;
}

std::uint64_t bits_of(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double double_of(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

size_t words_of_kind(ValueKind kind)
{
    return kind == ValueKind::Point ? 3 : 1;
}

// Whether a group carries nothing but the value of its code's kind, so that
// packing it keeps all there is of it.
bool only_its_value(const Group& g)
{
    const ValueKind kind = g.kind();
    if (kind != ValueKind::Text && !g.text.empty()) return false;
    if (kind != ValueKind::Real && g.real != 0) return false;
    if (kind != ValueKind::Int16 && kind != ValueKind::Int32 && g.integer != 0) return false;
    if (kind != ValueKind::Point && !(g.point == Point3{})) return false;
    if (kind != ValueKind::Name && g.name != 0) return false;
    return kind != ValueKind::Text || g.text.size() <= kLengthMask;
}

void append_bytes(std::string& key, std::uint32_t value)
{
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

// The shared part of packed entities: the type, and the codes of the groups
// and of each application's extended data, in order.
struct EntityStore::Form {
    std::string type;
    std::vector<int> codes;  // the groups', then each application's items'
    std::vector<ValueKind> kinds;
    size_t groups = 0;              // how many of the codes are the entity's groups
    std::vector<std::string> apps;  // applications of the extended data, in order
    std::vector<size_t> app_items;  // how many items each has
    size_t words = 0;               // value words of an entity of this form
    // A form of many copies (share_values) keeps the values that all its
    // entities share once: for each code whether its value is here, and the
    // values in order. Empty for other forms.
    std::vector<char> shared;
    std::vector<std::uint64_t> shared_words;
    // For each code of such a form, -1, or for a group that repeats an
    // earlier one's value, where that value begins among the entity's own
    // value words. Empty when no group repeats another.
    std::vector<std::int32_t> repeat_at;
};

// Items of packed entities (words, characters) in chunks that never move, so
// that growing costs no copying; what one entity stores lies in one chunk. A
// place is the chunk's number above kBits and the offset in it below. Chunks
// take from 32 KB, doubling up to 2 MB (big_memory).
template <class T, int kBits>
class Arena {
public:
    static constexpr size_t kLargest = (size_t(1) << kBits) > kHugePage / sizeof(T) ? kHugePage / sizeof(T)
                                                                                    : (size_t(1) << kBits);

    T* allocate(size_t n, std::uint64_t& place)
    {
        if (n > kLargest) {  // a chunk of its own
            T* own = add_chunk(n);
            place = std::uint64_t(chunks_.size() - 1) << kBits;
            current_ = nullptr;  // the next one starts a chunk again
            return own;
        }
        if (!current_ || used_ + n > size_) {
            // The new chunk holds at least this entity's items.
            size_ = std::min(kLargest, std::max({size_ * 2, (size_t(32) << 10) / sizeof(T), n}));
            current_ = add_chunk(size_);
            used_ = 0;
        }
        place = (std::uint64_t(chunks_.size() - 1) << kBits) | used_;
        T* items = current_ + used_;
        used_ += n;
        return items;
    }

    T* at(std::uint64_t place) const
    {
        return chunks_[place >> kBits].get() + (place & ((std::uint64_t(1) << kBits) - 1));
    }

private:
    std::vector<std::unique_ptr<T[], FreeMemory>> chunks_;
    T* current_ = nullptr;
    size_t size_ = 0;
    size_t used_ = 0;

    T* add_chunk(size_t n)
    {
        T* memory = static_cast<T*>(big_memory(n * sizeof(T)));
        if (!memory) throw std::bad_alloc();
        chunks_.emplace_back(memory);
        return memory;
    }
};

// Ids to slots, in pages of 4096 ids made as ids come: the ids of one drawing
// mostly follow each other, so that a slot costs about its own eight bytes.
// The pages are taken from an arena, in the large chunks of a large drawing.
class EntityStore::IdTable {
public:
    static constexpr int kBits = 12;
    static constexpr long kSize = 1L << kBits;

    std::uint64_t get(long id) const
    {
        if (id <= 0) return 0;
        const long page = (id >> kBits) - first_;
        if (page < 0 || page >= long(pages_.size()) || !pages_[page]) return 0;
        return pages_[page][id & (kSize - 1)];
    }

    std::uint64_t& at(long id)
    {
        const long page = id >> kBits;
        if (pages_.empty()) first_ = page;
        if (page < first_) {
            std::vector<std::uint64_t*> pages(size_t(first_ - page));
            pages.insert(pages.end(), pages_.begin(), pages_.end());
            pages_ = std::move(pages);
            first_ = page;
        }
        if (page - first_ >= long(pages_.size())) pages_.resize(size_t(page - first_ + 1));
        std::uint64_t*& slots = pages_[page - first_];
        if (!slots) {
            std::uint64_t place;
            slots = memory_.allocate(kSize, place);
            std::fill_n(slots, kSize, 0);  // no entities
        }
        return slots[id & (kSize - 1)];
    }

    // Calls f(id, slot) for every id that has an entity.
    template <class F>
    void for_each(F f) const
    {
        for (size_t p = 0; p < pages_.size(); ++p) {
            if (!pages_[p]) continue;
            for (long i = 0; i < kSize; ++i)
                if (std::uint64_t s = pages_[p][i]) f(((first_ + long(p)) << kBits) + i, s);
        }
    }

private:
    std::vector<std::uint64_t*> pages_;  // nullptr for a page without entities
    long first_ = 0;
    Arena<std::uint64_t, 18> memory_;
};

class EntityStore::WordArena : public Arena<std::uint64_t, 18> {};

// Texts of packed entities, one after another.
class EntityStore::TextPool {
public:
    // The pool word of a copy of the text.
    std::uint64_t add(std::string_view text)
    {
        const size_t n = text.size();
        if (n == 0) return 0;
        std::uint64_t place;
        std::memcpy(chars_.allocate(n, place), text.data(), n);
        return (place << kLengthBits) | n;
    }

    std::string_view at(std::uint64_t word) const
    {
        const size_t n = word & kLengthMask;
        if (n == 0) return {};
        return {chars_.at(word >> kLengthBits), n};
    }

private:
    Arena<char, 21> chars_;
};

EntityStore::EntityStore()
    : ids_(std::make_unique<IdTable>()),
      words_(std::make_unique<WordArena>()),
      texts_(std::make_unique<TextPool>())
{
}

EntityStore::~EntityStore()
{
    if (ids_) ids_->for_each([](long, std::uint64_t s) { delete whole_of(s); });
}

EntityStore::EntityStore(EntityStore&& other) noexcept : EntityStore()
{
    *this = std::move(other);
}

// What this store held goes to the other one, and goes with it.
EntityStore& EntityStore::operator=(EntityStore&& other) noexcept
{
    std::swap(ids_, other.ids_);
    std::swap(words_, other.words_);
    std::swap(texts_, other.texts_);
    std::swap(forms_, other.forms_);
    std::swap(form_index_, other.form_index_);
    std::swap(shared_index_, other.shared_index_);
    std::swap(names_, other.names_);
    std::swap(recent_forms_, other.recent_forms_);
    std::swap(recent_form_next_, other.recent_form_next_);
    std::swap(recent_names_, other.recent_names_);
    std::swap(recent_name_next_, other.recent_name_next_);
    std::swap(count_, other.count_);
    std::swap(packed_, other.packed_);
    return *this;
}

std::uint64_t EntityStore::slot(long id) const
{
    return ids_ ? ids_->get(id) : 0;
}

std::uint64_t* EntityStore::words_of(std::uint64_t slot) const
{
    return (slot & kPackedBit) ? words_->at(slot >> 1) : nullptr;
}

Entity* EntityStore::whole_of(std::uint64_t slot)
{
    return (slot & kPackedBit) ? nullptr : reinterpret_cast<Entity*>(slot);
}

Entity& EntityStore::put(Entity entity)
{
    erase(entity.id);
    Entity* kept = new Entity(std::move(entity));
    ids_->at(kept->id) = reinterpret_cast<std::uint64_t>(kept);
    ++count_;
    return *kept;
}

void EntityStore::add(Entity&& entity)
{
    erase(entity.id);
    if (pack(entity)) {
        ++count_;
        ++packed_;
        return;
    }
    put(std::move(entity));
}

std::uint64_t EntityStore::text_word(int code, std::string_view text)
{
    if (!is_name_code(code)) return texts_->add(text);
    // Entities made one after another mostly name the same few layers and styles.
    for (const auto& [name, word] : recent_names_)
        if (name == text) return word;
    auto found = names_.find(std::string(text));
    if (found == names_.end()) found = names_.emplace(text, texts_->add(text)).first;
    recent_names_[recent_name_next_] = {found->first, found->second};
    recent_name_next_ = (recent_name_next_ + 1) % recent_names_.size();
    return found->second;
}

// Whether the entity has the form's type and codes.
bool EntityStore::has_form(const Entity& entity, const Form& form)
{
    if (entity.groups.size() != form.groups || entity.xdata.size() != form.apps.size() ||
        entity.type != form.type || !form.shared.empty())
        return false;
    size_t k = 0;
    for (const Group& g : entity.groups)
        if (g.code != form.codes[k++]) return false;
    for (size_t a = 0; a < form.apps.size(); ++a) {
        const XDataApp& app = entity.xdata[a];
        if (app.items.size() != form.app_items[a] || app.app != form.apps[a]) return false;
        for (const Group& g : app.items)
            if (g.code != form.codes[k++]) return false;
    }
    return true;
}

std::string_view EntityStore::text_at(std::uint64_t word) const
{
    return texts_->at(word);
}

std::uint32_t EntityStore::form_of(const Entity& entity)
{
    // Entities made in bulk come in a few forms that follow each other.
    for (std::uint32_t index : recent_forms_)
        if (index < forms_.size() && has_form(entity, forms_[index])) return index;
    const std::uint32_t index = find_form(entity);
    recent_forms_[recent_form_next_] = index;
    recent_form_next_ = (recent_form_next_ + 1) % recent_forms_.size();
    return index;
}

std::uint32_t EntityStore::find_form(const Entity& entity)
{
    key_.clear();
    key_ += entity.type;
    key_ += '\0';
    append_bytes(key_, std::uint32_t(entity.groups.size()));
    for (const Group& g : entity.groups) append_bytes(key_, std::uint32_t(g.code));
    append_bytes(key_, std::uint32_t(entity.xdata.size()));
    for (const XDataApp& app : entity.xdata) {
        key_ += app.app;
        key_ += '\0';
        append_bytes(key_, std::uint32_t(app.items.size()));
        for (const Group& g : app.items) append_bytes(key_, std::uint32_t(g.code));
    }
    auto found = form_index_.find(key_);
    if (found != form_index_.end()) return found->second;

    Form form;
    form.type = entity.type;
    form.groups = entity.groups.size();
    auto take = [&](const Group& g) {
        form.codes.push_back(g.code);
        form.kinds.push_back(g.kind());
        form.words += words_of_kind(g.kind());
    };
    for (const Group& g : entity.groups) take(g);
    for (const XDataApp& app : entity.xdata) {
        form.apps.push_back(app.app);
        form.app_items.push_back(app.items.size());
        for (const Group& g : app.items) take(g);
    }
    const std::uint32_t index = std::uint32_t(forms_.size());
    forms_.push_back(std::move(form));
    form_index_.emplace(key_, index);
    return index;
}

bool EntityStore::pack(const Entity& entity)
{
    if (entity.id <= 0) return false;
    for (const Group& g : entity.groups)
        if (!only_its_value(g)) return false;
    for (const XDataApp& app : entity.xdata)
        for (const Group& g : app.items)
            if (!only_its_value(g)) return false;

    const std::uint32_t index = form_of(entity);
    const Form& form = forms_[index];
    std::uint64_t flags = entity.erased ? kErased : 0;
    if (entity.owner) flags |= kHasOwner;
    if (entity.parent) flags |= kHasParent;
    const size_t n = 1 + (entity.owner ? 1 : 0) + (entity.parent ? 1 : 0) + form.words;
    std::uint64_t place;
    std::uint64_t* w = words_->allocate(n, place);
    *w++ = (std::uint64_t(index) << 32) | flags;
    if (entity.owner) *w++ = std::uint64_t(entity.owner);
    if (entity.parent) *w++ = std::uint64_t(entity.parent);
    auto put_value = [&](const Group& g, ValueKind kind) {
        switch (kind) {
            case ValueKind::Text:
                *w++ = text_word(g.code, g.text);
                break;
            case ValueKind::Real:
                *w++ = bits_of(g.real);
                break;
            case ValueKind::Int16:
            case ValueKind::Int32:
                *w++ = std::uint64_t(g.integer);
                break;
            case ValueKind::Point:
                *w++ = bits_of(g.point.x);
                *w++ = bits_of(g.point.y);
                *w++ = bits_of(g.point.z);
                break;
            case ValueKind::Name:
                *w++ = std::uint64_t(g.name);
                break;
        }
    };
    size_t k = 0;
    for (const Group& g : entity.groups) put_value(g, form.kinds[k++]);
    for (const XDataApp& app : entity.xdata)
        for (const Group& g : app.items) put_value(g, form.kinds[k++]);
    ids_->at(entity.id) = (place << 1) | kPackedBit;
    return true;
}

template <class F>
void EntityStore::for_each_value(const Form& form, const std::uint64_t* values, size_t n, F f) const
{
    const std::uint64_t* own = values;
    const std::uint64_t* shared = form.shared_words.data();
    for (size_t k = 0; k < n; ++k) {
        const std::uint64_t* place;
        if (!form.repeat_at.empty() && form.repeat_at[k] >= 0) {
            place = values + form.repeat_at[k];
        } else {
            const std::uint64_t*& from = !form.shared.empty() && form.shared[k] ? shared : own;
            place = from;
            from += words_of_kind(form.kinds[k]);
        }
        if (!f(k, place)) return;
    }
}

void EntityStore::unpack(long id, const std::uint64_t* w, Entity& out) const
{
    const std::uint64_t header = *w++;
    const Form& form = forms_[header >> 32];
    out.id = id;
    out.type = form.type;
    out.erased = header & kErased;
    out.owner = (header & kHasOwner) ? long(*w++) : 0;
    out.parent = (header & kHasParent) ? long(*w++) : 0;
    out.groups.resize(form.groups);
    out.xdata.resize(form.apps.size());
    // The groups, then each application's items, in the order of the codes.
    size_t app = 0, item = 0;
    for (size_t a = 0; a < form.apps.size(); ++a) {
        out.xdata[a].app = form.apps[a];
        out.xdata[a].items.resize(form.app_items[a]);
    }
    for_each_value(form, w, form.codes.size(), [&](size_t k, const std::uint64_t* place) {
        Group* g;
        if (k < form.groups) {
            g = &out.groups[k];
        } else {
            while (item == out.xdata[app].items.size()) {
                ++app;
                item = 0;
            }
            g = &out.xdata[app].items[item++];
        }
        const GroupValues value = read_value(form.kinds[k], place);
        g->code = form.codes[k];
        g->text = value.text;
        g->real = value.real;
        g->integer = value.integer;
        g->point = value.point;
        g->name = value.name;
        return true;
    });
}

GroupValues EntityStore::read_value(ValueKind kind, const std::uint64_t*& from) const
{
    GroupValues value;
    switch (kind) {
        case ValueKind::Text:
            value.text = text_at(*from++);
            break;
        case ValueKind::Real:
            value.real = double_of(*from++);
            break;
        case ValueKind::Int16:
        case ValueKind::Int32:
            value.integer = long(*from++);
            break;
        case ValueKind::Point:
            value.point.x = double_of(*from++);
            value.point.y = double_of(*from++);
            value.point.z = double_of(*from++);
            break;
        case ValueKind::Name:
            value.name = long(*from++);
            break;
    }
    return value;
}

bool EntityStore::packed_list(long id, resbuf*& list) const
{
    list = nullptr;
    const std::uint64_t* w = words_of(slot(id));
    if (!w) return false;
    const std::uint64_t header = *w++;
    const Form& form = forms_[header >> 32];
    if (std::string_view(form.type) == "BLOCK") return false;  // a block's list shows more than its groups
    if (header & kErased) return true;
    if (header & kHasOwner) ++w;
    if (header & kHasParent) ++w;
    // Node by node, as entity_list_rb makes them of the unpacked groups.
    list = rb_from_value(-1, {.name = id});
    resbuf** tail = &list->rbnext;
    *tail = rb_from_value(0, {.text = form.type});
    tail = &(*tail)->rbnext;
    for_each_value(form, w, form.groups, [&](size_t k, const std::uint64_t* place) {
        *tail = rb_from_value(form.codes[k], read_value(form.kinds[k], place));
        tail = &(*tail)->rbnext;
        return true;
    });
    return true;
}

bool EntityStore::words_to_copy(long id, std::vector<std::uint64_t>& words,
                                std::vector<std::uint32_t>& value_at) const
{
    const std::uint64_t* w = words_of(slot(id));
    if (!w || (*w & (kErased | kHasOwner | kHasParent))) return false;
    const Form& form = forms_[*w >> 32];
    if (!form.shared.empty()) return false;
    words.assign(w, w + 1 + form.words);
    value_at.clear();
    std::uint32_t at = 1;
    for (size_t k = 0; k < form.groups; ++k) {
        value_at.push_back(at);
        at += std::uint32_t(words_of_kind(form.kinds[k]));
    }
    return true;
}

void EntityStore::share_values(std::vector<std::uint64_t>& words, const std::vector<bool>& varying,
                               const std::vector<int>& repeats, std::vector<std::uint32_t>& value_at)
{
    const std::uint32_t base = std::uint32_t(words[0] >> 32);
    if (!forms_[base].shared.empty()) return;
    key_.clear();
    append_bytes(key_, base);
    Form form = forms_[base];
    form.shared.assign(form.codes.size(), 1);
    form.words = 0;
    std::vector<std::uint64_t> own{words[0] & 0xffffffffu};
    for (size_t k = 0, at = 1; k < form.codes.size(); ++k) {
        const size_t n = words_of_kind(form.kinds[k]);
        const bool varies = k < varying.size() && varying[k];
        // A varying point that repeats an earlier varying point's value.
        const int earlier = varies && k < repeats.size() ? repeats[k] : -1;
        if (earlier >= 0 && size_t(earlier) < k && varying[size_t(earlier)] &&
            form.kinds[k] == ValueKind::Point && form.kinds[size_t(earlier)] == ValueKind::Point) {
            form.repeat_at.resize(form.codes.size(), -1);
            form.shared[k] = 0;
            form.repeat_at[k] = std::int32_t(value_at[size_t(earlier)] - 1);
            value_at[k] = value_at[size_t(earlier)];
            key_ += 'r';
            append_bytes(key_, std::uint32_t(earlier));
            at += n;
            continue;
        }
        std::vector<std::uint64_t>& to = varies ? own : form.shared_words;
        if (varies) {
            form.shared[k] = 0;
            form.words += n;
            value_at[k] = std::uint32_t(own.size());
        }
        to.insert(to.end(), words.begin() + long(at), words.begin() + long(at + n));
        key_ += varies ? 'v' : 's';
        at += n;
    }
    key_.append(reinterpret_cast<const char*>(form.shared_words.data()),
                form.shared_words.size() * sizeof(std::uint64_t));
    auto found = shared_index_.find(key_);
    std::uint32_t index;
    if (found != shared_index_.end()) {
        index = found->second;
    } else {
        index = std::uint32_t(forms_.size());
        forms_.push_back(std::move(form));
        shared_index_.emplace(key_, index);
    }
    own[0] |= std::uint64_t(index) << 32;
    words = std::move(own);
}

void EntityStore::copy_point(std::uint64_t* at, double x, double y, double z)
{
    at[0] = bits_of(x);
    at[1] = bits_of(y);
    at[2] = bits_of(z);
}

bool EntityStore::text_fits(std::string_view text)
{
    return text.size() <= kLengthMask;
}

std::uint64_t* EntityStore::add_copy(long id, const std::vector<std::uint64_t>& words)
{
    std::uint64_t place;
    std::uint64_t* copy = words_->allocate(words.size(), place);
    std::memcpy(copy, words.data(), words.size() * sizeof(std::uint64_t));
    ids_->at(id) = (place << 1) | kPackedBit;
    ++count_;
    ++packed_;
    return copy;
}

Entity* EntityStore::whole(long id) const
{
    const std::uint64_t s = slot(id);
    if (!s) return nullptr;
    if (Entity* e = whole_of(s)) return e;
    Entity* e = new Entity;
    unpack(id, words_of(s), *e);
    ids_->at(id) = reinterpret_cast<std::uint64_t>(e);
    --packed_;
    return e;
}

const Entity* EntityStore::look(long id, Entity& scratch) const
{
    const std::uint64_t s = slot(id);
    if (!s) return nullptr;
    if (const Entity* e = whole_of(s)) return e;
    unpack(id, words_of(s), scratch);
    return &scratch;
}

bool EntityStore::erased(long id) const
{
    const std::uint64_t s = slot(id);
    if (!s) return false;
    if (const Entity* e = whole_of(s)) return e->erased;
    return *words_of(s) & kErased;
}

bool EntityStore::set_erased(long id, bool erased)
{
    const std::uint64_t s = slot(id);
    if (!s) return false;
    if (Entity* e = whole_of(s)) {
        e->erased = erased;
        return true;
    }
    std::uint64_t& header = *words_of(s);
    header = erased ? (header | kErased) : (header & ~kErased);
    return true;
}

const std::string& EntityStore::type_of(long id) const
{
    static const std::string kNone;
    const std::uint64_t s = slot(id);
    if (!s) return kNone;
    if (const Entity* e = whole_of(s)) return e->type;
    return forms_[*words_of(s) >> 32].type;
}

bool EntityStore::outline(long id, Outline& out) const
{
    const std::uint64_t s = slot(id);
    if (!s) return false;
    if (const Entity* e = whole_of(s)) {
        const Group* layer = e->find(8);
        out = {&e->type, e->erased, e->owner, layer ? std::string_view(layer->text) : "0"};
        return true;
    }
    const std::uint64_t* w = words_of(s);
    const std::uint64_t header = *w++;
    const Form& form = forms_[header >> 32];
    out = {&form.type, bool(header & kErased), (header & kHasOwner) ? long(*w++) : 0, "0"};
    if (header & kHasParent) ++w;
    for_each_value(form, w, form.groups, [&](size_t k, const std::uint64_t* place) {
        if (form.codes[k] != 8 || form.kinds[k] != ValueKind::Text) return true;
        out.layer = text_at(*place);
        return false;
    });
    return true;
}

bool EntityStore::erase(long id)
{
    const std::uint64_t s = slot(id);
    if (!s) return false;
    if (Entity* e = whole_of(s))
        delete e;
    else
        --packed_;
    ids_->at(id) = 0;
    --count_;
    return true;
}

std::set<std::string> EntityStore::xdata_apps() const
{
    std::set<std::string> apps;
    ids_->for_each([&](long, std::uint64_t s) {
        if (const Entity* e = whole_of(s)) {
            if (!e->erased)
                for (const XDataApp& app : e->xdata) apps.insert(app.app);
            return;
        }
        const std::uint64_t header = *words_of(s);
        if (header & kErased) return;
        for (const std::string& app : forms_[header >> 32].apps) apps.insert(app);
    });
    return apps;
}

}  // namespace host
