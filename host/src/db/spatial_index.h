// The spatial index of a drawing: the plan extents of model space's main
// entities in an R-tree, so that windows, crossings, fences, picks and the
// boundary finder look only at what lies near them. It is a filter: it gives
// the entities whose extents meet a region, and the caller makes the exact test.
//
// The index follows the drawing without being told of each change: it takes in
// the entities appended to model space when it is next asked, it looks again at
// every entity the drawing has handed out writable since (Drawing::get), and it
// starts again when model space was changed in any other way than appending.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "db/drawing.h"
#include "db/shapes.h"

namespace host {

class SpatialIndex {
public:
    SpatialIndex();
    ~SpatialIndex();

    // The main entities of model space (erased ones too: an erased entity can
    // come back) whose extents meet the rectangle, in drawing order.
    std::vector<long> meeting(const Drawing& drawing, const Rect& region);
    // Those whose extents come near the segment a-b, in drawing order.
    std::vector<long> near_segment(const Drawing& drawing, P2 a, P2 b);
    // The extents of everything indexed; nullopt when nothing is.
    std::optional<Rect> bounds(const Drawing& drawing);

    // The drawing is handing out the entity writable: keep the extents it has
    // now, so that they can be taken out of the tree if it changes.
    void note_writable(const Drawing& drawing, const Entity& entity);

    // How many entries the tree holds.
    size_t size() const;

private:
    // Extents as the tree keeps them: floats, rounded outwards.
    using FBox = std::array<float, 4>;
    struct Tree;

    static std::optional<FBox> fbox_of(const std::optional<Rect>& r);
    static FBox query_box(double x0, double y0, double x1, double y1);
    // Brings the tree up to date with the drawing; false when model space is
    // not in rising id order, and the callers then look at every entity.
    bool sync(const Drawing& drawing);
    void rebuild(const Drawing& drawing);
    std::vector<long> query(const std::vector<FBox>& boxes) const;

    std::unique_ptr<Tree> tree_;
    bool built_ = false;
    std::uint64_t version_ = 0;  // of model space when the tree was built
    size_t covered_ = 0;         // model space's entries taken in
    long last_covered_ = 0;      // the id of the last of them
    // Entities handed out writable since the last answer, with the extents the
    // tree has for them.
    std::unordered_map<long, std::optional<FBox>> writable_;
};

}  // namespace host
