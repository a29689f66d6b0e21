#include "db/list_stamps.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "db/entities.h"
#include "db/resbuf_convert.h"

namespace host {

namespace {

bool same_bits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string_view text_of(const resbuf* node)
{
    return node->resval.rstring ? std::string_view(node->resval.rstring) : std::string_view();
}

// Whether the node holds the value kept, as acdbEntMake would read it (a 2D
// point's height is 0); numbers to the bit, so that the copy is the entity
// the list would make.
bool same_value(RbValue kind, const Group& kept, const resbuf* node)
{
    switch (kind) {
        case RbValue::Text:  // compared up to its end, without measuring it first
            return node->resval.rstring
                       ? std::strncmp(node->resval.rstring, kept.text.c_str(), kept.text.size() + 1) == 0
                       : kept.text.empty();
        case RbValue::Real:
            return same_bits(node->resval.rreal, kept.real);
        case RbValue::Int16:
            return node->resval.rint == kept.integer;
        case RbValue::Int32:
            return node->resval.rlong == kept.integer;
        case RbValue::Point:
            return same_bits(node->resval.rpoint[0], kept.point.x) &&
                   same_bits(node->resval.rpoint[1], kept.point.y) &&
                   (node->restype == RTPOINT || same_bits(node->resval.rpoint[2], kept.point.z));
        case RbValue::Name:
            return node->resval.rlname[0] == kept.name;
        case RbValue::None:
            return true;
    }
    return false;
}

// The point of a point node as acdbEntMake reads it (a 2D point's height is 0).
Point3 point_read(const resbuf* node)
{
    return {node->resval.rpoint[0], node->resval.rpoint[1],
            node->restype == RTPOINT ? 0.0 : node->resval.rpoint[2]};
}

bool same_point(const Point3& a, const Point3& b)
{
    return same_bits(a.x, b.x) && same_bits(a.y, b.y) && same_bits(a.z, b.z);
}

}  // namespace

bool ListStamps::matches(const Stamp& stamp, const resbuf* list) const
{
    const resbuf* node = list;
    // The nodes passed, for a node that repeats one of them; each is set
    // before it is read (clearing them first would cost as much as the rest).
    std::array<const resbuf*, kRepeatingNodes> seen;
    size_t at = 0;
    for (const Node& kept : stamp.nodes) {
        if (!node || node->restype != kept.restype) return false;
        if (kept.unread ? kept.kind == RbValue::Text && !EntityStore::text_fits(text_of(node))
                        : !same_value(kept.kind, kept.value, node))
            return false;
        if (kept.repeats != kNoGroup && !same_point(point_read(node), point_read(seen[kept.repeats])))
            return false;
        if (at < seen.size()) seen[at++] = node;
        node = node->rbnext;
    }
    return node == nullptr;
}

long ListStamps::make(Drawing& drawing, const resbuf* list)
{
    if (drawing.pending.block || !drawing.pending.polyline.empty()) return 0;
    for (Stamp& stamp : stamps_) {
        if (stamp.nodes.empty() || !matches(stamp, list)) continue;
        if (++stamp.copies == kCopiesBeforeSharing) share_values(drawing, stamp, list);
        std::uint64_t* copy = nullptr;
        const long id = drawing.add_copy(stamp.words, copy);
        const resbuf* node = list;
        for (const Node& kept : stamp.nodes) {
            if (kept.unread && kept.repeats == kNoGroup) {
                std::uint64_t* at = copy + kept.value_at;
                if (kept.kind == RbValue::Point) {
                    const Point3 p = point_read(node);
                    EntityStore::copy_point(at, p.x, p.y, p.z);
                } else
                    *at = drawing.store.text_word(kept.value.code, text_of(node));
            }
            node = node->rbnext;
        }
        ++made_;
        return id;
    }
    return 0;
}

void ListStamps::keep(Drawing& drawing, const resbuf* list, const std::string& type, long id)
{
    Stamp stamp;
    std::vector<Group> groups;  // the list's, as it gives them
    for (const resbuf* node = list; node; node = node->rbnext) {
        Node kept;
        kept.restype = node->restype;
        kept.kind = restype_value(node->restype);
        kept.value = group_from_rb(node);
        if (kept.value.code != 0 && kept.value.code != -1) {
            kept.group = std::uint32_t(groups.size());
            groups.push_back(kept.value);
        }
        stamp.nodes.push_back(std::move(kept));
    }
    const std::vector<int> unread = unread_by_checks(type, groups);
    if (unread.empty()) return;
    std::vector<std::uint32_t> value_at;
    if (!drawing.store.words_to_copy(id, stamp.words, value_at)) return;
    Entity scratch;
    const Entity* made = drawing.look(id, scratch);
    if (!made || made->groups != groups || !made->xdata.empty()) return;

    for (Node& kept : stamp.nodes) {
        if (kept.group == kNoGroup) continue;
        kept.unread = (kept.kind == RbValue::Point || kept.kind == RbValue::Text) &&
                      std::find(unread.begin(), unread.end(), kept.value.code) != unread.end();
        kept.value_at = value_at[kept.group];
    }
    stamps_[next_] = std::move(stamp);
    next_ = (next_ + 1) % stamps_.size();
}

void ListStamps::share_values(Drawing& drawing, Stamp& stamp, const resbuf* list)
{
    std::vector<bool> varying;
    std::vector<int> repeats;
    std::vector<std::uint32_t> value_at;
    std::array<const resbuf*, kRepeatingNodes> seen{};
    size_t at = 0;
    for (const resbuf* node = list; node && at < seen.size(); node = node->rbnext) seen[at++] = node;
    for (size_t i = 0; i < stamp.nodes.size(); ++i) {
        Node& node = stamp.nodes[i];
        if (node.group == kNoGroup) continue;
        if (node.group >= varying.size()) {
            varying.resize(node.group + 1);
            repeats.resize(node.group + 1, -1);
            value_at.resize(node.group + 1);
        }
        varying[node.group] = node.unread;
        // A point the list gives again, as a triangular face its third corner
        // for its fourth: the copies from here on must give it again too.
        if (!node.unread || node.kind != RbValue::Point || i >= at) continue;
        for (size_t m = 0; m < i; ++m) {
            const Node& earlier = stamp.nodes[m];
            if (earlier.unread && earlier.kind == RbValue::Point &&
                same_point(point_read(seen[m]), point_read(seen[i]))) {
                node.repeats = std::uint32_t(m);
                repeats[node.group] = int(earlier.group);
                break;
            }
        }
    }
    const std::uint64_t form = stamp.words[0] >> 32;
    drawing.store.share_values(stamp.words, varying, repeats, value_at);
    const bool shared = (stamp.words[0] >> 32) != form;
    for (Node& node : stamp.nodes) {
        if (!shared) node.repeats = kNoGroup;  // the words stay as they were
        if (node.unread && shared) node.value_at = value_at[node.group];
    }
}

void ListStamps::clear()
{
    for (Stamp& stamp : stamps_) stamp.nodes.clear();
}

}  // namespace host
