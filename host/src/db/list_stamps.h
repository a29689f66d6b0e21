// Entities that acdbEntMake made last from lists, kept as stamps: a list that
// differs from one of those lists only in values the entity checks never read
// (a point's place, a line's ends, a face's corners, a left-aligned text's
// place and words) makes a copy of the packed entity with those values
// changed, without taking the list apart and checking it again. An import
// makes its millions of points and labels that way, in a few forms that follow
// each other.
//
// The checks look at the drawing's records (the layer made or refused when
// locked, the style), so a drawing forgets its stamps whenever a record is
// added or handed out writable; and no stamp serves while a POLYLINE chain or a
// block definition is being made.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ads.h"
#include "db/drawing.h"
#include "db/resbuf_convert.h"

namespace host {

class ListStamps {
public:
    // Makes the entity of the list from a stamp that the list matches; its new
    // id, or 0 when no stamp matches.
    long make(Drawing& drawing, const resbuf* list);
    // Keeps a stamp of the entity of the type (upper case) just made from the
    // list; nothing when the checks completed or changed any of the list's
    // groups, or when the entity is not kept packed.
    void keep(Drawing& drawing, const resbuf* list, const std::string& type, long id);
    void clear();
    // How many entities the stamps have made.
    size_t made() const { return made_; }

private:
    static constexpr std::uint32_t kNoGroup = ~0u;  // the type and the name are no groups
    struct Node {
        int restype = 0;
        RbValue kind = RbValue::None;
        Group value;
        bool unread = false;             // its value may differ: it goes to value_at
        std::uint32_t group = kNoGroup;  // the group it gives
        std::uint32_t value_at = 0;      // where the value lies among the words
        // Once the values are shared: the earlier node whose point this node's
        // point must repeat, as the form keeps it once (kNoGroup: none).
        std::uint32_t repeats = kNoGroup;
    };
    struct Stamp {
        std::vector<Node> nodes;
        std::vector<std::uint64_t> words;
        size_t copies = 0;
    };
    // After this many copies the values that do not vary are kept once, in the
    // form of the copies that follow (EntityStore::share_values).
    static constexpr size_t kCopiesBeforeSharing = 32;
    // Nodes among the first this many may repeat another's point.
    static constexpr size_t kRepeatingNodes = 16;
    void share_values(Drawing& drawing, Stamp& stamp, const resbuf* list);
    bool matches(const Stamp& stamp, const resbuf* list) const;

    std::array<Stamp, 4> stamps_;
    size_t next_ = 0;
    size_t made_ = 0;
};

}  // namespace host
