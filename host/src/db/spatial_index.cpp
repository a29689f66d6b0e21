#include "db/spatial_index.h"

#include <algorithm>
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#include <boost/iterator/function_output_iterator.hpp>
#include <cfloat>
#include <cmath>
#include <iterator>

namespace host {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

using BPoint = bg::model::point<float, 2, bg::cs::cartesian>;
using BBox = bg::model::box<BPoint>;
using Value = std::pair<BBox, long>;

BBox boost_box(const std::array<float, 4>& b)
{
    return BBox(BPoint(b[0], b[1]), BPoint(b[2], b[3]));
}

}  // namespace

struct SpatialIndex::Tree {
    bgi::rtree<Value, bgi::rstar<16>> rtree;
};

SpatialIndex::SpatialIndex() : tree_(std::make_unique<Tree>()) {}
SpatialIndex::~SpatialIndex() = default;

size_t SpatialIndex::size() const
{
    return tree_->rtree.size();
}

namespace {

bool is_main(const Entity& e)
{
    return e.type != "VERTEX" && e.type != "SEQEND";
}

// A float at or below the value, and one at or above it: the tree keeps its
// boxes in floats, rounded outwards, so that it never leaves out what the exact
// tests in doubles would find.
float float_down(double v)
{
    if (!(v > -FLT_MAX)) return -FLT_MAX;
    if (v >= FLT_MAX) return FLT_MAX;
    float f = static_cast<float>(v);
    if (static_cast<double>(f) > v) f = std::nextafter(f, -FLT_MAX);
    return f;
}

float float_up(double v)
{
    if (!(v < FLT_MAX)) return FLT_MAX;
    if (v <= -FLT_MAX) return -FLT_MAX;
    float f = static_cast<float>(v);
    if (static_cast<double>(f) < v) f = std::nextafter(f, FLT_MAX);
    return f;
}

// What a query region is widened by: more than every tolerance of the exact tests.
double query_margin(double v)
{
    return 1e-6 + 1e-12 * std::fabs(v);
}

// Rebuilding the whole tree costs about as much as inserting this many entries one by one.
constexpr size_t kRebuildShare = 4;

}  // namespace

std::optional<SpatialIndex::FBox> SpatialIndex::fbox_of(const std::optional<Rect>& r)
{
    if (!r) return std::nullopt;
    return FBox{float_down(r->x0), float_down(r->y0), float_up(r->x1), float_up(r->y1)};
}

SpatialIndex::FBox SpatialIndex::query_box(double x0, double y0, double x1, double y1)
{
    const Rect widened{x0 - query_margin(x0), y0 - query_margin(y0), x1 + query_margin(x1),
                       y1 + query_margin(y1)};
    return *fbox_of(widened);
}

void SpatialIndex::rebuild(const Drawing& drawing)
{
    std::vector<Value> values;
    values.reserve(drawing.model.size());
    Entity scratch;
    for (long id : drawing.model) {
        const Entity* e = drawing.look(id, scratch);
        if (!e || !is_main(*e)) continue;
        if (const std::optional<FBox> box = fbox_of(entity_box(drawing, *e)))
            values.emplace_back(boost_box(*box), id);
    }
    tree_->rtree = decltype(tree_->rtree)(values.begin(), values.end());  // packed in one go
    built_ = true;
    version_ = drawing.model.version();
    covered_ = drawing.model.size();
    last_covered_ = drawing.model.empty() ? 0 : drawing.model.back();
    writable_.clear();
}

bool SpatialIndex::sync(const Drawing& drawing)
{
    const IdList& model = drawing.model;
    if (!model.ascending()) {
        built_ = false;
        tree_->rtree.clear();
        writable_.clear();
        return false;
    }
    if (!built_ || model.version() != version_ || model.size() < covered_) {
        rebuild(drawing);
        return true;
    }
    // Entities changed through a writable pointer: out with the extents they
    // had, in with those they have now.
    Entity scratch;
    for (const auto& [id, before] : writable_) {
        const Entity* e = drawing.look(id, scratch);
        const std::optional<FBox> after = e ? fbox_of(entity_box(drawing, *e)) : std::nullopt;
        if (before == after) continue;
        if (before) tree_->rtree.remove(Value(boost_box(*before), id));
        if (after) tree_->rtree.insert(Value(boost_box(*after), id));
    }
    writable_.clear();
    // Entities appended since: one by one while they are few, else all anew.
    const size_t added = model.size() - covered_;
    if (added > 0 && added * kRebuildShare > size() + 1024) {
        rebuild(drawing);
        return true;
    }
    for (size_t i = covered_; i < model.size(); ++i) {
        const Entity* e = drawing.look(model[i], scratch);
        if (!e || !is_main(*e)) continue;
        if (const std::optional<FBox> box = fbox_of(entity_box(drawing, *e)))
            tree_->rtree.insert(Value(boost_box(*box), model[i]));
    }
    covered_ = model.size();
    last_covered_ = model.empty() ? 0 : model.back();
    return true;
}

void SpatialIndex::note_writable(const Drawing& drawing, const Entity& entity)
{
    if (!built_ || entity.owner != 0) return;
    // A VERTEX or SEQEND changes the extents of its POLYLINE.
    const Entity* main = &entity;
    Entity scratch;
    if (!is_main(entity)) {
        main = entity.parent ? drawing.look(entity.parent, scratch) : nullptr;
        if (!main) return;
    }
    // Entities appended since the tree was last brought up to date are taken in as they are then.
    if (main->id > last_covered_) return;
    if (writable_.count(main->id)) return;
    if (writable_.size() * kRebuildShare > size() + 1024) {
        // So much may have changed that building the tree again is cheaper.
        built_ = false;
        writable_.clear();
        return;
    }
    writable_.emplace(main->id, fbox_of(entity_box(drawing, *main)));
}

std::vector<long> SpatialIndex::query(const std::vector<FBox>& boxes) const
{
    std::vector<long> ids;
    for (const FBox& box : boxes)
        tree_->rtree.query(
            bgi::intersects(boost_box(box)),
            boost::make_function_output_iterator([&](const Value& v) { ids.push_back(v.second); }));
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

namespace {

std::vector<long> every_main(const Drawing& drawing)
{
    std::vector<long> ids;
    for (long id : drawing.model) {
        const std::string& type = drawing.store.type_of(id);
        if (!type.empty() && type != "VERTEX" && type != "SEQEND") ids.push_back(id);
    }
    return ids;
}

}  // namespace

std::vector<long> SpatialIndex::meeting(const Drawing& drawing, const Rect& region)
{
    if (!sync(drawing)) return every_main(drawing);
    return query({query_box(std::min(region.x0, region.x1), std::min(region.y0, region.y1),
                            std::max(region.x0, region.x1), std::max(region.y0, region.y1))});
}

std::vector<long> SpatialIndex::near_segment(const Drawing& drawing, P2 a, P2 b)
{
    if (!sync(drawing)) return every_main(drawing);
    // A long slanting segment is asked for in pieces, so that the boxes asked
    // for stay close to it.
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double slant = std::min(std::fabs(dx), std::fabs(dy));
    const double length = std::hypot(dx, dy);
    size_t pieces = 1;
    if (std::isfinite(length) && length > 0)
        pieces = static_cast<size_t>(std::clamp(std::ceil(64 * slant / length), 1.0, 64.0));
    std::vector<FBox> boxes;
    for (size_t i = 0; i < pieces; ++i) {
        const double t0 = static_cast<double>(i) / pieces, t1 = static_cast<double>(i + 1) / pieces;
        const P2 p{a.x + dx * t0, a.y + dy * t0};
        const P2 q = i + 1 == pieces ? b : P2{a.x + dx * t1, a.y + dy * t1};
        boxes.push_back(
            query_box(std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)));
    }
    return query(boxes);
}

std::optional<Rect> SpatialIndex::bounds(const Drawing& drawing)
{
    if (!sync(drawing)) {
        std::optional<Rect> all;
        Entity scratch;
        for (long id : every_main(drawing)) {
            const std::optional<Rect> box = entity_box(drawing, *drawing.look(id, scratch));
            if (!box) continue;
            if (!all)
                all = box;
            else
                all = Rect{std::min(all->x0, box->x0), std::min(all->y0, box->y0), std::max(all->x1, box->x1),
                           std::max(all->y1, box->y1)};
        }
        return all;
    }
    if (tree_->rtree.empty()) return std::nullopt;
    const BBox box = tree_->rtree.bounds();
    return Rect{box.min_corner().get<0>(), box.min_corner().get<1>(), box.max_corner().get<0>(),
                box.max_corner().get<1>()};
}

}  // namespace host
